#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace mopira {

class CX11Hotkey;

// One key that reaches this program whichever window has the focus, for calling the window up
// from anywhere. Only X11 lets a program take a key for the whole desktop; elsewhere (Wayland,
// which leaves shortcuts to the desktop's own settings) registering says so.
class CGlobalHotkey : public QObject {
    Q_OBJECT

public:
    enum class Result {
        Off,          // no key given
        Grabbed,      // the key is ours until this object goes
        Invalid,      // not one key, or a key that types a character without Ctrl, Alt or Meta
        Taken,        // another program holds it
        Unsupported,  // the window system offers no such key
    };

    explicit CGlobalHotkey(QObject* parent = nullptr);
    ~CGlobalHotkey() override;

    // Takes the key written as `keys` in the portable form ("Ctrl+Alt+K"), releasing the one
    // held before.
    Result Register(const QString& keys);
    void Unregister();

    // One key from its written form; nothing when the text does not name exactly one key that
    // may be taken from every other program (a bare "K" would stop the user from typing k
    // anywhere).
    static std::optional<QKeyCombination> Parse(const QString& keys);

signals:
    void activated();

private:
    std::unique_ptr<CX11Hotkey> m_x11;
};

}  // namespace mopira
