#pragma once

#include <QComboBox>
#include <QIcon>
#include <string>

#include "core/library/FaceLibrary.h"
#include "core/library/FolderList.h"
#include "core/library/LibraryEdit.h"

namespace mopira {

class CLibraryDocument;

// The location combo: "すべての顔文字" and "最近使った顔文字" first, then the library's folders one
// level in, each with a folder picture that opens while it is the chosen one. Items carry the
// folder's own bytes, so a name is never encoded back from what is shown. It keeps the folder
// list the dialogs' folder trees are filled from, and follows the document: a folder comes
// when a change first files an emoticon in it and goes when a change empties it; after a
// reload or a conversion the folders are listed again, the chosen one kept by its name.
class CFolderCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kAllFacesItem = 0;
    static constexpr int kRecentItem = 1;
    static constexpr int kFirstFolderItem = 2;

    explicit CFolderCombo(QWidget* parent = nullptr);

    void SetImages(const QIcon& folder, const QIcon& openFolder, const QIcon& allFaces,
                   const QIcon& recent);
    void Follow(const CLibraryDocument& document);

    // The library's folders, in the order shown.
    const CFolderList& Folders() const { return m_folders; }
    // Lists the library's folders anew; the chosen folder stays chosen when it is still there.
    void FillFolders(const CFaceLibrary& library);
    void AddFolderEntry(const std::string& folder);
    // A chosen folder that goes leaves no item chosen, rather than some other folder that the
    // list does not show.
    void RemoveFolderEntry(const std::string& folder);

    // Chooses the folder of exactly this name; false, changing nothing, when there is none.
    bool SelectFolder(const std::string& folder);
    void SelectAllFaces() { setCurrentIndex(kAllFacesItem); }
    void SelectRecent() { setCurrentIndex(kRecentItem); }
    bool IsRecentChosen() const { return currentIndex() == kRecentItem; }
    // The chosen folder's bytes; empty for the fixed items and for no item.
    std::string SelectedFolder() const { return FolderAt(currentIndex()); }
    // The folder bytes of the item; empty for the fixed items and for no item.
    std::string FolderAt(int index) const;
    static bool IsFolderItem(int index) { return index >= kFirstFolderItem; }
    // A folder is chosen, or the chosen one has been removed (no item is chosen then).
    bool IsFolderChosen() const {
        return currentIndex() != kAllFacesItem && currentIndex() != kRecentItem;
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FollowChange(const CFaceLibrary& library, const LibraryEdit& edit,
                      const EditOutcome& outcome);

    CFolderList m_folders;
    QIcon m_folder;
    QIcon m_openFolder;
    QIcon m_allFaces;
    QIcon m_recent;
};

}  // namespace mopira
