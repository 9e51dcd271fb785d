#include "ui/library/PropertyDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

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

CPropertyDlg::CPropertyDlg(CMainDlg& mainDlg, RecordId posEdited)
    : QDialog(&mainDlg),
      m_mainDlg(mainDlg),
      m_posEdited(posEdited),
      m_strFace(mainDlg.Library().Text(posEdited)),
      m_newFolderDlg(this) {
    setObjectName(QStringLiteral("CPropertyDlg"));
    setWindowTitle(res::kPropertyDlgCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(190), du.Y(225));

    // The tab frames the page; the page's controls lie on it, as siblings drawn above it.
    auto* tab = new QTabWidget(this);
    tab->setObjectName(QStringLiteral("m_tab"));
    tab->addTab(new QWidget(tab), res::kPropertyTab.toString());
    tab->setFocusPolicy(Qt::NoFocus);
    tab->tabBar()->setFocusPolicy(Qt::NoFocus);
    tab->setGeometry(du.Rect(2, 2, 185, 203));

    auto* faceLabel = new QLabel(res::kContentLabel.toString(), this);
    faceLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    faceLabel->setGeometry(du.Rect(10, 32, 25, 8).adjusted(0, 0, 0, du.Y(2)));

    m_edtFace = new QLineEdit(this);
    m_edtFace->setObjectName(QStringLiteral("m_edtFace"));
    m_edtFace->setGeometry(du.Rect(40, 25, 140, 18));
    m_edtFace->setFont(FaceFont(16));
    m_edtFace->setValidator(new CSingleLineValidator(m_edtFace));
    m_edtFace->setAccessibleName(AccessibleName(res::kContentLabel));
    faceLabel->setBuddy(m_edtFace);

    auto* folderLabel = new QLabel(res::kLocationLabel.toString(), this);
    folderLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    folderLabel->setGeometry(du.Rect(10, 52, 25, 8).adjusted(0, 0, 0, du.Y(2)));

    m_tree = new CFolderTree(mainDlg, m_newFolderDlg, this);
    m_tree->setGeometry(du.Rect(40, 50, 140, 133));
    m_tree->setAccessibleName(AccessibleName(res::kLocationLabel));
    folderLabel->setBuddy(m_tree);

    auto* newFolder = new QPushButton(res::kNewFolderButton.toString(), this);
    newFolder->setObjectName(QStringLiteral("m_btnNewFolder"));
    newFolder->setGeometry(du.Rect(125, 185, 55, 14));

    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setGeometry(du.Rect(82, 209, 50, 14));

    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(137, 209, 50, 14));

    connect(m_edtFace, &QLineEdit::textChanged, this, &CPropertyDlg::UpdateOkButton);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CPropertyDlg::UpdateOkButton);
    connect(m_btnOK, &QPushButton::clicked, this, &CPropertyDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPropertyDlg::reject);
    connect(newFolder, &QPushButton::clicked, m_tree, &CFolderTree::AddNewFolderNode);

    m_tree->FillFolderTree(mainDlg.Library().Folder(posEdited));
    m_edtFace->setText(ToQString(m_strFace));
    m_edtFace->setFocus();
}

void CPropertyDlg::UpdateOkButton() {
    m_strFolder = m_tree->SelectedFolder();
    // Blanks count as text.
    m_btnOK->setEnabled(!m_edtFace->text().isEmpty() && IsUsableFolder(m_strFolder));
}

void CPropertyDlg::accept() {
    if (!m_btnOK->isEnabled()) {
        return;
    }
    const QString text = m_edtFace->text();
    const std::optional<std::string> face =
        TakeFieldText(this, text, m_mainDlg.Library().Text(m_posEdited));
    if (!face) {
        m_edtFace->setFocus();
        return;
    }
    const std::optional<RecordId> found = m_mainDlg.Library().FindRecord(*face);
    if (found && *found != m_posEdited) {
        ShowMessage(this, res::kDuplicateFace.toString().arg(text));
        m_edtFace->setFocus();
        return;
    }
    m_strFace = *face;
    QDialog::accept();
}

}  // namespace mopira
