#pragma once

#include <QString>

#include "core/app/Settings.h"
#include "ui/controls/FixedDialog.h"

class QCheckBox;
class QKeySequenceEdit;
class QLabel;

namespace mopira {

// The ways of calling the window up, and what a copy does: the shortcut (taken by pressing
// it), hiding after a copy, pasting after it and the paste keys, the tray icon and closing to
// it. Every change is announced at once; the owner applies it, writes it and says through
// SetHotkeyState what became of a shortcut. There is nothing to confirm, so it only closes.
class CSettingsDlg : public CFixedDialog {
    Q_OBJECT

public:
    // `canPaste`: whether typing into another program works on this desktop at all.
    CSettingsDlg(const SummonSettings& settings, bool canPaste, QWidget* parent = nullptr);

    const SummonSettings& Settings() const { return m_settings; }
    // Shows the shortcut that is in force (after a refusal, the one before) and what the
    // desktop said of it, in words; empty when there is nothing to say.
    void SetHotkeyState(const QString& keys, const QString& state);

signals:
    void settingsChanged(const mopira::SummonSettings& settings);

private:
    void OnChanged();
    void UpdateStates();

    SummonSettings m_settings;
    bool m_bCanPaste;
    // The owner is putting its state into the controls: no change of the user's.
    bool m_bShowing = false;
    QKeySequenceEdit* m_edtHotkey = nullptr;
    QLabel* m_lblHotkeyState = nullptr;
    QCheckBox* m_chkHideAfterCopy = nullptr;
    QCheckBox* m_chkPasteAfterCopy = nullptr;
    QKeySequenceEdit* m_edtPasteKey = nullptr;
    QCheckBox* m_chkTray = nullptr;
    QCheckBox* m_chkCloseToTray = nullptr;
};

}  // namespace mopira
