#pragma once

#include <QDialog>
#include <string>

#include "core/library/FaceLibrary.h"
#include "ui/library/NewFolderDlg.h"

class QLineEdit;
class QPushButton;

namespace mopira {

class CFolderTree;
class CMainDlg;

// Changes the text and the folder of one emoticon. It refuses the text of another emoticon
// and characters the library cannot store; the caller stores what it accepted.
class CPropertyDlg : public QDialog {
    Q_OBJECT

public:
    // `posEdited` is the emoticon being changed: its text fills the edit box and the tree
    // starts on its folder.
    CPropertyDlg(CMainDlg& mainDlg, RecordId posEdited);

    // After OK: the emoticon's new text (its own bytes when left unchanged) and folder.
    const std::string& Face() const { return m_strFace; }
    const std::string& Folder() const { return m_strFolder; }

    void accept() override;

private:
    void UpdateOkButton();

    const CMainDlg& m_mainDlg;
    RecordId m_posEdited;
    std::string m_strFace;
    std::string m_strFolder;
    CNewFolderDlg m_newFolderDlg;
    QLineEdit* m_edtFace = nullptr;
    CFolderTree* m_tree = nullptr;
    QPushButton* m_btnOK = nullptr;
};

}  // namespace mopira
