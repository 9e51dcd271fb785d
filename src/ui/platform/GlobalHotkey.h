#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "ui/platform/ActivationToken.h"

namespace mopira {

class CPortalShortcut;
class CX11Hotkey;

// One key that reaches this program whichever window has the focus, for calling the window up
// from anywhere. X11 lets a program take a key for the whole desktop; a Wayland desktop lends
// one through the desktop portal where it has GlobalShortcuts (and may ask the user first).
// Elsewhere, and under XWayland, whose grabs never see a key pressed in a Wayland program,
// registering says that the desktop's own settings are the way.
class CGlobalHotkey : public QObject {
    Q_OBJECT

public:
    enum class Result {
        Off,          // no key given
        Grabbed,      // the key is ours until this object goes
        Invalid,      // not one key, or a key that types a character without Ctrl, Alt or Meta
        Taken,        // another program holds it
        Unsupported,  // the window system offers no such key
        Pending,      // asked of the desktop, which answers with settled()
        Refused,      // the user or the desktop declined
    };

    explicit CGlobalHotkey(QObject* parent = nullptr);
    ~CGlobalHotkey() override;

    // Takes the key written as `keys` in the portable form ("Ctrl+Alt+K"), releasing the one
    // held before.
    Result Register(const QString& keys, const QString& description = {});
    void Unregister();

    // One key from its written form; nothing when the text does not name exactly one key that
    // may be taken from every other program (a bare "K" would stop the user from typing k
    // anywhere).
    static std::optional<QKeyCombination> Parse(const QString& keys);

signals:
    // The key was pressed; a desktop that lends its keys may give a token to take the focus.
    void activated(const mopira::ActivationToken& token);
    // What became of a Pending registration.
    void settled(mopira::CGlobalHotkey::Result result);

private:
    std::unique_ptr<CX11Hotkey> m_x11;
    std::unique_ptr<CPortalShortcut> m_portal;
};

}  // namespace mopira
