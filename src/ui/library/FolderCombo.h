#pragma once

#include <QComboBox>
#include <QIcon>
#include <string>

#include "core/text/Charset.h"

namespace mopira {

// The location combo: "すべての顔文字" and "最近使った顔文字" first, then the folders one level
// in, each with a folder picture that opens while it is the chosen one. Items carry the folder's
// own bytes, so a name is never encoded back from what is shown.
class CFolderCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kAllFacesItem = 0;
    static constexpr int kRecentItem = 1;
    static constexpr int kFirstFolderItem = 2;

    explicit CFolderCombo(QWidget* parent = nullptr);

    void SetImages(const QIcon& folder, const QIcon& openFolder, const QIcon& allFaces,
                   const QIcon& recent);
    // Empties the combo and puts the two fixed items first.
    void ResetItems();
    void InsertFolder(int index, const std::string& folder, Charset charset);
    void RemoveFolder(int index);
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
    QIcon m_folder;
    QIcon m_openFolder;
    QIcon m_allFaces;
    QIcon m_recent;
};

}  // namespace mopira
