#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <string>

#include "ui/controls/FixedDialog.h"
#include "ui/library/LibraryView.h"
#include "ui/library/NewFolderDlg.h"

class QPushButton;

namespace mopira {

class CFolderTree;

// Asks for the folder that the selected emoticons move to.
class CMoveDlg : public CFixedDialog {
    Q_OBJECT

public:
    // The tree starts on `preselect`, or on "すべての顔文字" when that is empty; OK waits for
    // the user to choose a folder either way.
    // The import asks for a folder with the same tree under its own caption and label.
    CMoveDlg(QWidget* parent, const LibraryView& view, const std::string& preselect,
             QStringView caption = {}, QStringView label = {});

    // A new folder's name with characters a CP932 library lacks asks this; true when the
    // library is UTF-8 afterwards. Without it, such a name is refused.
    void SetUtf8Offer(std::function<bool()> offer) {
        m_newFolderDlg.SetUtf8Offer(std::move(offer));
    }

    // After OK: the folder chosen.
    const std::string& Folder() const { return m_strFolder; }
    // After OK: the reading given to the chosen folder when the dialog made it; else empty.
    QString FolderReading() const;

private:
    void OnFolderChanged();

    // Read for its encoding, which a new folder's name may change.
    const CFaceLibrary& m_library;
    std::string m_strFolder;
    CNewFolderDlg m_newFolderDlg;
    CFolderTree* m_tree = nullptr;
    QPushButton* m_btnOK = nullptr;
};

}  // namespace mopira
