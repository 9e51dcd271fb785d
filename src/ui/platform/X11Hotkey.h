#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeyCombination>
#include <QObject>
#include <cstdint>
#include <vector>

#include "ui/platform/GlobalHotkey.h"

struct xcb_connection_t;

namespace mopira {

// A key grabbed on the X server's root window, so that it reaches this program whichever
// window has the focus. NumLock and CapsLock change the state a key arrives with, so the key
// is grabbed under every combination of the two.
class CX11Hotkey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // On the X server the application runs on; only where the platform is xcb.
    CX11Hotkey();
    ~CX11Hotkey() override;

    // Grabbed, Invalid (no key of this keyboard gives it), Taken, or Unsupported when Qt lends
    // no connection to the server.
    CGlobalHotkey::Result Grab(QKeyCombination keys);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void pressed();

private:
    void Ungrab();
    std::uint8_t KeyCodeOf(std::uint32_t keySym) const;
    // The modifier bit that the key giving `keySym` sets; 0 when no key of it is a modifier.
    std::uint16_t ModifierOf(std::uint32_t keySym) const;
    // The states of CapsLock and NumLock the key may come with.
    std::vector<std::uint16_t> LockVariants() const;

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_keyCode = 0;
    std::uint16_t m_modifiers = 0;
    std::uint16_t m_numLock = 0;
    std::uint16_t m_ignored = 0;  // CapsLock and NumLock
    // The time of the last release: X11 repeats a held key as a release and a press at once.
    std::uint32_t m_releasedAt = 0;
    bool m_bGrabbed = false;
};

}  // namespace mopira
