#pragma once

#include <functional>
#include <optional>
#include <string>

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
    // After OK: the text (its original bytes when left unchanged) and the chosen folder.
    const std::string& Face() const { return m_strFace; }
    const std::string& Folder() const { return m_strFolder; }

    // Asked on OK when the library is CP932 and the text holds characters it lacks; true
    // when the library is UTF-8 afterwards. Without it, such a text is refused.
    void SetUtf8Offer(std::function<bool()> offer);

    void accept() override;

protected:
    // `face` fills the edit box; `posEdited` is the emoticon being changed, whose own text is
    // no duplicate, or none for a new one.
    CFaceDlg(QWidget* parent, const LibraryView& view, std::string face,
             std::optional<RecordId> posEdited);

    // The fields and buttons at their template places, labels made their buddies.
    void CreateFaceEdit(const CDialogUnits& du, QLabel* label, int x, int y, int cx, int cy);
    void CreateFolderTree(const CDialogUnits& du, QLabel* label, int x, int y, int cx, int cy);
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

    std::function<bool()> m_offerUtf8;
    // The encoding of m_strFace.
    Charset m_charset;
    std::optional<RecordId> m_posEdited;
    std::string m_strFace;
    std::string m_strFolder;
    CNewFolderDlg m_newFolderDlg;
    QLineEdit* m_edtFace = nullptr;
    CFolderTree* m_tree = nullptr;
    QPushButton* m_btnOK = nullptr;
};

}  // namespace mopira
