#include "ui/app/SettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "res/StringTable.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

// A key as the settings file writes it ("Ctrl+Alt+K"); the edit shows it in the same form.
QString KeysText(const QKeySequence& keys) {
    return keys.toString(QKeySequence::PortableText);
}

// One key, taken as it is pressed: the plain edit waits a second for up to four keys before
// it says what it has, but a shortcut is one key, and it is checked at once.
class CKeyEdit : public QKeySequenceEdit {
public:
    CKeyEdit(const std::string& keys, std::function<void()> changed, QWidget* parent)
        : QKeySequenceEdit(
              QKeySequence::fromString(QString::fromStdString(keys), QKeySequence::PortableText),
              parent),
          m_changed(std::move(changed)) {
        setClearButtonEnabled(true);
        // Waiting edits and the clear button say so here.
        connect(this, &QKeySequenceEdit::keySequenceChanged, this, [this] { m_changed(); });
        if (auto* line = findChild<QLineEdit*>()) {
            connect(line, &QLineEdit::textChanged, this, [this](const QString& text) {
                if (text.isEmpty()) {
                    m_changed();
                }
            });
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QKeySequenceEdit::keyPressEvent(event);
        const QKeySequence keys = keySequence();
        if (keys.count() > 0 && keys != m_last) {
            // Ends the recording at the first key.
            setKeySequence(QKeySequence(keys[0]));
            m_last = keySequence();
            m_changed();
        }
    }

private:
    std::function<void()> m_changed;
    QKeySequence m_last;
};

QKeySequenceEdit* NewKeyEdit(const char* name, const std::string& keys,
                             std::function<void()> changed, QWidget* parent) {
    auto* edit = new CKeyEdit(keys, std::move(changed), parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QCheckBox* NewCheckBox(const char* name, QStringView text, int value, QWidget* parent) {
    auto* box = new QCheckBox(text.toString(), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(value != 0);
    return box;
}

}  // namespace

CSettingsDlg::CSettingsDlg(const SummonSettings& settings, bool canPaste, QWidget* parent)
    : CFixedDialog(parent), m_settings(settings), m_bCanPaste(canPaste) {
    setWindowTitle(res::kSettingsCaption.toString());
    setFont(FaceFont(9));

    const auto changed = [this] { OnChanged(); };
    m_edtHotkey = NewKeyEdit("m_edtHotkey", settings.hotkey, changed, this);
    m_lblHotkeyState = new QLabel(this);
    m_lblHotkeyState->setObjectName(QStringLiteral("m_lblHotkeyState"));
    m_lblHotkeyState->setWordWrap(true);
    m_lblHotkeyState->setTextFormat(Qt::PlainText);
    m_chkHideAfterCopy =
        NewCheckBox("m_chkHideAfterCopy", res::kHideAfterCopyItem, settings.hideAfterCopy, this);
    m_chkPasteAfterCopy =
        NewCheckBox("m_chkPasteAfterCopy", res::kPasteAfterCopyItem, settings.pasteAfterCopy, this);
    m_edtPasteKey = NewKeyEdit("m_edtPasteKey", settings.pasteKey, changed, this);
    m_chkTray = NewCheckBox("m_chkTray", res::kTrayItem, settings.tray, this);
    m_chkCloseToTray =
        NewCheckBox("m_chkCloseToTray", res::kCloseToTrayItem, settings.closeToTray, this);

    // The edit's own hint is not the program's language where Qt's translation is missing.
    m_edtHotkey->findChild<QLineEdit*>()->setPlaceholderText(res::kNoHotkey.toString());
    m_edtPasteKey->findChild<QLineEdit*>()->setPlaceholderText(res::kAutomaticPasteKey.toString());
    auto* hotkeyLabel = new QLabel(res::kHotkeyLabel.toString(), this);
    hotkeyLabel->setBuddy(m_edtHotkey);
    auto* pasteKeyLabel = new QLabel(res::kPasteKeyLabel.toString(), this);
    pasteKeyLabel->setBuddy(m_edtPasteKey);
    m_edtPasteKey->setToolTip(res::kPasteKeyTip.toString());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(res::kCloseCaption.toString());
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("m_btnClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(hotkeyLabel, m_edtHotkey);
    form->addRow(QString(), m_lblHotkeyState);
    form->addRow(m_chkHideAfterCopy);
    form->addRow(m_chkPasteAfterCopy);
    form->addRow(pasteKeyLabel, m_edtPasteKey);
    form->addRow(m_chkTray);
    form->addRow(m_chkCloseToTray);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QCheckBox* box : {m_chkHideAfterCopy, m_chkPasteAfterCopy, m_chkTray, m_chkCloseToTray}) {
        connect(box, &QCheckBox::toggled, this, &CSettingsDlg::OnChanged);
    }
    UpdateStates();
}

void CSettingsDlg::SetHotkeyState(const QString& keys, const QString& state) {
    m_settings.hotkey = keys.toStdString();
    m_bShowing = true;
    m_edtHotkey->setKeySequence(QKeySequence::fromString(keys, QKeySequence::PortableText));
    m_bShowing = false;
    m_lblHotkeyState->setText(state);
}

void CSettingsDlg::UpdateStates() {
    // Pasting needs the focus back in the other program, which hiding gives it; closing to
    // the tray needs the icon.
    const bool pastes = m_bCanPaste && m_chkHideAfterCopy->isChecked();
    m_chkPasteAfterCopy->setEnabled(pastes);
    m_edtPasteKey->setEnabled(pastes && m_chkPasteAfterCopy->isChecked());
    m_chkCloseToTray->setEnabled(m_chkTray->isChecked());
}

void CSettingsDlg::OnChanged() {
    if (m_bShowing) {
        return;
    }
    UpdateStates();
    m_settings.hotkey = KeysText(m_edtHotkey->keySequence()).toStdString();
    m_settings.pasteKey = KeysText(m_edtPasteKey->keySequence()).toStdString();
    m_settings.hideAfterCopy = m_chkHideAfterCopy->isChecked() ? 1 : 0;
    m_settings.pasteAfterCopy = m_chkPasteAfterCopy->isChecked() ? 1 : 0;
    m_settings.tray = m_chkTray->isChecked() ? 1 : 0;
    m_settings.closeToTray = m_chkCloseToTray->isChecked() ? 1 : 0;
    emit settingsChanged(m_settings);
}

}  // namespace mopira
