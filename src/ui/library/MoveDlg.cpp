#include "ui/library/MoveDlg.h"

#include <QLabel>
#include <QPushButton>

#include "res/StringTable.h"
#include "ui/library/FieldText.h"
#include "ui/library/FolderTree.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"

namespace mopira {

CMoveDlg::CMoveDlg(QWidget* parent, const LibraryView& view, const std::string& preselect,
                   QStringView caption, QStringView label)
    : CFixedDialog(parent), m_library(view.library), m_newFolderDlg(this) {
    setObjectName(QStringLiteral("CMoveDlg"));
    setWindowTitle((caption.isEmpty() ? res::kMoveDlgCaption : caption).toString());
    const QStringView labelText = label.isEmpty() ? res::kMoveLabel : label;
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(211), du.Y(165));

    auto* labelWidget = new QLabel(labelText.toString(), this);
    labelWidget->setGeometry(du.Rect(7, 7, 105, 8).adjusted(0, 0, 0, du.Y(2)));

    m_tree = new CFolderTree(view, m_newFolderDlg, this);
    m_tree->setGeometry(du.Rect(7, 20, 138, 138));
    m_tree->setAccessibleName(AccessibleName(labelText));
    labelWidget->setBuddy(m_tree);

    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setGeometry(du.Rect(154, 7, 53, 14));

    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(154, 24, 53, 14));

    auto* newFolder = new QPushButton(res::kNewFolderButton.toString(), this);
    newFolder->setObjectName(QStringLiteral("m_btnNewFolder"));
    newFolder->setGeometry(du.Rect(154, 41, 53, 14));

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CMoveDlg::OnFolderChanged);
    connect(m_btnOK, &QPushButton::clicked, this, &CMoveDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CMoveDlg::reject);
    connect(newFolder, &QPushButton::clicked, m_tree, &CFolderTree::AddNewFolderNode);

    m_tree->FillFolderTree(preselect);
    // The user confirms a folder by choosing it, even the one chosen in the window.
    m_btnOK->setEnabled(false);
    m_tree->setFocus();
}

void CMoveDlg::OnFolderChanged() {
    m_strFolder = m_tree->SelectedFolder();
    m_btnOK->setEnabled(IsUsableFolder(m_strFolder, m_library.GetCharset()));
}

QString CMoveDlg::FolderReading() const {
    return m_tree->NewFolderReading(m_strFolder);
}

}  // namespace mopira
