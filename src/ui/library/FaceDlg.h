#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "ui/controls/FixedDialog.h"
#include "ui/library/LibraryView.h"
#include "ui/library/NewFolderDlg.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace mopira {

class CDialogUnits;
class CFolderTree;

// What the add and properties dialogs share: an emoticon's text in a large edit box, the
// folder tree, and the rules of OK. OK needs a text and a real folder; on OK, characters the
// library cannot store and the text of another emoticon are refused and the dialog stays.
// Each dialog lays out its own template.
class CFaceDlg : public CFixedDialog {
    Q_OBJECT

public:
    // After OK: the text as typed, and the chosen folder in the library's bytes.
    const QString& FaceText() const { return m_strFace; }
    const std::string& Folder() const { return m_strFolder; }
    // After OK: the keywords typed (UTF-8), split at blanks.
    const std::vector<std::string>& Keywords() const { return m_keywords; }
    // After OK: the reading given to the chosen folder when the dialog made it; else empty.
    QString FolderReading() const;
    // The keywords the field starts with.
    void SetKeywords(const std::vector<std::string>& keywords);

    // Asked on OK with the text and the folder: true lets the dialog end, false keeps it open
    // (the check has told the user why). The caller stores the text in the library's encoding
    // and refuses another emoticon's text there.
    using Check = std::function<bool(const QString& face, const std::string& folder)>;
    void SetCheck(Check check) { m_check = std::move(check); }
    // Asked when a new folder's name holds characters a CP932 library lacks; true when the
    // library is UTF-8 afterwards. Without it, such a name is refused.
    void SetUtf8Offer(std::function<bool()> offer);

    void accept() override;

protected:
    // `face` fills the edit box.
    CFaceDlg(QWidget* parent, const LibraryView& view, QString face);

    // The fields and buttons at their template places, labels made their buddies.
    void CreateFaceEdit(const CDialogUnits& du, QLabel* label, int x, int y, int cx, int cy);
    void CreateFolderTree(const CDialogUnits& du, QLabel* label, int x, int y, int cx, int cy);
    // The keywords' field, its label on the line above it.
    void CreateKeywordEdit(const CDialogUnits& du, int x, int y, int cx);
    QPushButton* CreateNewFolderButton(const CDialogUnits& du, int x, int y, int cx, int cy);
    void CreateOkButton(const CDialogUnits& du, int x, int y, int cx, int cy);
    QPushButton* CreateCancelButton(const CDialogUnits& du, int x, int y, int cx, int cy);
    // Connects the fields and buttons, fills them and gives the edit box the focus.
    void Start(QPushButton* newFolder, QPushButton* cancel, const std::string& preselect);

    const LibraryView m_view;

private:
    void UpdateOkButton();
    // The library became UTF-8 while the dialog showed: what it holds takes the new bytes.
    void FollowCharset();

    Check m_check;
    // The encoding of the folders shown.
    Charset m_charset;
    QString m_strFace;
    std::string m_strFolder;
    std::vector<std::string> m_keywords;
    CNewFolderDlg m_newFolderDlg;
    QLineEdit* m_edtFace = nullptr;
    QLineEdit* m_edtKeywords = nullptr;
    CFolderTree* m_tree = nullptr;
    QPushButton* m_btnOK = nullptr;
};

}  // namespace mopira
