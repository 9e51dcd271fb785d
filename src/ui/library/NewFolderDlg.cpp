#include "ui/library/NewFolderDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "res/StringTable.h"
#include "ui/library/FieldText.h"
#include "ui/library/SingleLineValidator.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ReadingProposer.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// The dialog's height in dialog units, and with the note that no readings are proposed.
constexpr int kHeight = 84;
constexpr int kNoteHeight = 89;

}  // namespace

CNewFolderDlg::CNewFolderDlg(QWidget* parent)
    : CFixedDialog(parent), m_proposer(&CReadingProposer::Shared()) {
    setObjectName(QStringLiteral("m_newFolderDlg"));
    setWindowTitle(res::kNewFolderDlgCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(187), du.Y(kHeight));

    // A labelled single-line field whose label starts at `y`. Both fields are made before the
    // buttons: they come first in the tab order.
    auto addField = [this, &du](QStringView labelText, const QString& name, int y) {
        auto* label = new QLabel(labelText.toString(), this);
        label->setGeometry(du.Rect(7, y, 63, 8).adjusted(0, 0, 0, du.Y(2)));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setGeometry(du.Rect(7, y + 11, 113, 13));
        edit->setValidator(new CSingleLineValidator(edit));
        edit->setAccessibleName(AccessibleName(labelText));
        label->setBuddy(edit);
        return edit;
    };
    m_edtName = addField(res::kFolderNameLabel, QStringLiteral("m_edtName"), 9);
    m_edtReading = addField(res::kFolderReadingLabel, QStringLiteral("m_edtReading"), 38);

    m_lblNoProposals = new QLabel(res::kNoReadingProposals.toString(), this);
    m_lblNoProposals->setObjectName(QStringLiteral("m_lblNoProposals"));
    m_lblNoProposals->setWordWrap(true);
    m_lblNoProposals->setGeometry(du.Rect(7, 66, 173, 16));
    m_lblNoProposals->hide();

    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setGeometry(du.Rect(130, 7, 50, 14));

    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(130, 24, 50, 14));

    connect(m_edtName, &QLineEdit::textChanged, this, &CNewFolderDlg::OnNameChanged);
    // Only the user's own edits count: a proposal set into the field is no edit. A reading
    // cleared lets proposals come back.
    connect(m_edtReading, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_bReadingEdited = !text.isEmpty(); });
    connect(m_btnOK, &QPushButton::clicked, this, &CNewFolderDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CNewFolderDlg::reject);
    SetName({});
}

void CNewFolderDlg::SetName(const std::string& name) {
    m_strName = name;
    m_strReading.clear();
    m_bReadingEdited = false;
    // Proposed once below, also for the name the field already shows (which emits no change).
    const QSignalBlocker blocker(m_edtName);
    m_edtName->setText(ToQString(name, m_charset));
    OnNameChanged();
    m_edtName->setFocus();
}

void CNewFolderDlg::showEvent(QShowEvent* event) {
    // The proposer starts with the first dialog shown, so that missing proposals are said at
    // once rather than by the dialog growing under the user's typing.
    const bool note = !m_proposer->Available();
    m_lblNoProposals->setVisible(note);
    const CDialogUnits du(font());
    setFixedHeight(du.Y(note ? kNoteHeight : kHeight));
    CFixedDialog::showEvent(event);
}

void CNewFolderDlg::OnNameChanged() {
    UpdateOkButton();
    if (!m_bReadingEdited) {
        m_edtReading->setText(m_proposer->Propose(m_edtName->text()));
    }
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
    m_strReading = m_edtReading->text().trimmed();
    CFixedDialog::accept();
}

}  // namespace mopira
