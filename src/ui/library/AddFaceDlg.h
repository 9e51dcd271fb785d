#pragma once

#include <QDialog>
#include <string>

#include "ui/library/NewFolderDlg.h"

class QLineEdit;
class QPushButton;

namespace mopira {

class CFolderTree;
class CMainDlg;

// Asks for a new emoticon and the folder to file it in. It refuses a text the library holds
// already and characters the library cannot store; the caller stores what it accepted.
class CAddFaceDlg : public QDialog {
    Q_OBJECT

public:
    // The edit box starts with `face` (the composed face, or nothing); the tree starts on
    // `preselect`, or on "すべての顔文字" when that is empty.
    CAddFaceDlg(CMainDlg& mainDlg, const std::string& face, const std::string& preselect);

    // After OK: the emoticon and its folder.
    const std::string& Face() const { return m_strFace; }
    const std::string& Folder() const { return m_strFolder; }

    void accept() override;

private:
    void UpdateOkButton();

    const CMainDlg& m_mainDlg;
    std::string m_strFace;
    std::string m_strFolder;
    CNewFolderDlg m_newFolderDlg;
    QLineEdit* m_edtFace = nullptr;
    CFolderTree* m_tree = nullptr;
    QPushButton* m_btnOK = nullptr;
};

}  // namespace mopira
