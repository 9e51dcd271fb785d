#include "ui/library/AddFaceDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/app/DialogUnits.h"
#include "ui/app/Fonts.h"
#include "ui/app/MainDlg.h"
#include "ui/app/MessageBox.h"
#include "ui/app/TextConvert.h"
#include "ui/library/FieldText.h"
#include "ui/library/FolderTree.h"
#include "ui/library/SingleLineValidator.h"

namespace mopira {

CAddFaceDlg::CAddFaceDlg(CMainDlg& mainDlg, const std::string& face, const std::string& preselect)
    : QDialog(&mainDlg), m_mainDlg(mainDlg), m_strFace(face), m_newFolderDlg(this) {
    setObjectName(QStringLiteral("CAddFaceDlg"));
    setWindowTitle(res::kAddDlgCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(235), du.Y(195));

    // Created in the order of the keyboard's tab order.
    auto* icon = new QLabel(this);
    icon->setPixmap(res::LoadIcon(id::kAppIcon).pixmap(32, 32));
    icon->setGeometry(du.X(7), du.Y(7), 32, 32);

    auto* prompt = new QLabel(res::kAddDlgPrompt.toString(), this);
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setGeometry(du.Rect(36, 10, 115, 15).adjusted(0, 0, 0, du.Y(2)));

    auto* faceLabel = new QLabel(res::kContentLabel.toString(), this);
    faceLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    faceLabel->setGeometry(du.Rect(5, 37, 28, 10));

    m_edtFace = new QLineEdit(this);
    m_edtFace->setObjectName(QStringLiteral("m_edtFace"));
    m_edtFace->setGeometry(du.Rect(35, 30, 135, 18));
    m_edtFace->setFont(FaceFont(16));
    m_edtFace->setValidator(new CSingleLineValidator(m_edtFace));
    m_edtFace->setAccessibleName(AccessibleName(res::kContentLabel));
    faceLabel->setBuddy(m_edtFace);

    auto* folderLabel = new QLabel(res::kLocationLabel.toString(), this);
    folderLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    folderLabel->setGeometry(du.Rect(5, 57, 28, 8).adjusted(0, 0, 0, du.Y(2)));

    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setEnabled(false);
    m_btnOK->setGeometry(du.Rect(178, 7, 53, 14));

    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(178, 24, 53, 14));

    m_tree = new CFolderTree(mainDlg, m_newFolderDlg, this);
    m_tree->setGeometry(du.Rect(35, 55, 135, 133));
    m_tree->setAccessibleName(AccessibleName(res::kLocationLabel));
    folderLabel->setBuddy(m_tree);

    auto* newFolder = new QPushButton(res::kNewFolderButton.toString(), this);
    newFolder->setObjectName(QStringLiteral("m_btnNewFolder"));
    newFolder->setGeometry(du.Rect(178, 41, 53, 14));

    connect(m_edtFace, &QLineEdit::textChanged, this, &CAddFaceDlg::UpdateOkButton);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CAddFaceDlg::UpdateOkButton);
    connect(m_btnOK, &QPushButton::clicked, this, &CAddFaceDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CAddFaceDlg::reject);
    connect(newFolder, &QPushButton::clicked, m_tree, &CFolderTree::AddNewFolderNode);

    m_edtFace->setText(ToQString(m_strFace));
    m_tree->FillFolderTree(preselect);
    m_edtFace->setFocus();
}

void CAddFaceDlg::UpdateOkButton() {
    m_strFolder = m_tree->SelectedFolder();
    // Blanks count as text.
    m_btnOK->setEnabled(!m_edtFace->text().isEmpty() && IsUsableFolder(m_strFolder));
}

void CAddFaceDlg::accept() {
    if (!m_btnOK->isEnabled()) {
        return;
    }
    const QString text = m_edtFace->text();
    const std::optional<std::string> face = TakeFieldText(this, text, m_strFace);
    if (!face) {
        m_edtFace->setFocus();
        return;
    }
    if (m_mainDlg.Library().FindRecord(*face)) {
        ShowMessage(this, res::kDuplicateFace.toString().arg(text));
        m_edtFace->setFocus();
        return;
    }
    m_strFace = *face;
    QDialog::accept();
}

}  // namespace mopira
