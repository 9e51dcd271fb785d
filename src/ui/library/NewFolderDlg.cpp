#include "ui/library/NewFolderDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "res/StringTable.h"
#include "ui/library/FieldText.h"
#include "ui/library/SingleLineValidator.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

CNewFolderDlg::CNewFolderDlg(QWidget* parent) : CFixedDialog(parent) {
    setObjectName(QStringLiteral("m_newFolderDlg"));
    setWindowTitle(res::kNewFolderDlgCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(187), du.Y(55));

    auto* label = new QLabel(res::kFolderNameLabel.toString(), this);
    label->setGeometry(du.Rect(7, 9, 63, 8).adjusted(0, 0, 0, du.Y(2)));

    m_edtName = new QLineEdit(this);
    m_edtName->setObjectName(QStringLiteral("m_edtName"));
    m_edtName->setGeometry(du.Rect(7, 20, 113, 13));
    m_edtName->setValidator(new CSingleLineValidator(m_edtName));
    m_edtName->setAccessibleName(AccessibleName(res::kFolderNameLabel));
    label->setBuddy(m_edtName);

    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setGeometry(du.Rect(130, 7, 50, 14));

    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(130, 24, 50, 14));

    connect(m_edtName, &QLineEdit::textChanged, this, &CNewFolderDlg::UpdateOkButton);
    connect(m_btnOK, &QPushButton::clicked, this, &CNewFolderDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CNewFolderDlg::reject);
    SetName({});
}

void CNewFolderDlg::SetName(const std::string& name) {
    m_strName = name;
    m_edtName->setText(ToQString(name, m_charset));
    m_edtName->setFocus();
    UpdateOkButton();
}

void CNewFolderDlg::UpdateOkButton() {
    const QString text = m_edtName->text();
    // Blanks count as a name.
    m_btnOK->setEnabled(!text.isEmpty() && text != res::kAllFaces);
}

void CNewFolderDlg::accept() {
    if (!m_btnOK->isEnabled()) {
        return;
    }
    if (m_offerUtf8 && NeedsUtf8(m_edtName->text(), {}, m_charset) && m_offerUtf8()) {
        // The taken names follow the library's new bytes.
        for (std::string& taken : m_folderNames) {
            taken = m_charset.ToUtf8(taken);
        }
        m_charset = Charset(Encoding::Utf8);
    }
    const std::optional<std::string> name = TakeFieldText(this, m_edtName->text(), {}, m_charset);
    if (!name) {
        m_edtName->setFocus();
        return;
    }
    if (std::find(m_folderNames.begin(), m_folderNames.end(), *name) != m_folderNames.end()) {
        ShowMessage(this, res::kFolderNameTaken.toString());
        m_edtName->setFocus();
        m_edtName->selectAll();
        return;
    }
    m_strName = *name;
    CFixedDialog::accept();
}

}  // namespace mopira
