#include "ui/platform/X11Hotkey.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ui/platform/KeySym.h"

namespace mopira {

namespace {

// X11's keysyms of the keys that a global shortcut's modifiers sit on.
constexpr std::uint32_t kXkNumLock = 0xff7f;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

}  // namespace

CX11Hotkey::CX11Hotkey() {
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        m_connection = x11->connection();
    }
    if (m_connection) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
}

CX11Hotkey::~CX11Hotkey() {
    Ungrab();
}

std::uint8_t CX11Hotkey::KeyCodeOf(std::uint32_t keySym) const {
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count), nullptr));
    if (!mapping) {
        return 0;
    }
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perCode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int column = 0; column < perCode; ++column) {
            if (symbols[code * perCode + column] == keySym) {
                return std::uint8_t(setup->min_keycode + code);
            }
        }
    }
    return 0;
}

std::uint16_t CX11Hotkey::ModifierOf(std::uint32_t keySym) const {
    const std::uint8_t keyCode = KeyCodeOf(keySym);
    if (keyCode == 0) {
        return 0;
    }
    const XcbReply<xcb_get_modifier_mapping_reply_t> mapping(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping) {
        return 0;
    }
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == keyCode) {
                return std::uint16_t(1u << modifier);
            }
        }
    }
    return 0;
}

std::vector<std::uint16_t> CX11Hotkey::LockVariants() const {
    std::vector<std::uint16_t> variants = {0, XCB_MOD_MASK_LOCK};
    // Without a NumLock key there are only these two.
    if (m_numLock != 0) {
        variants.push_back(m_numLock);
        variants.push_back(std::uint16_t(XCB_MOD_MASK_LOCK | m_numLock));
    }
    return variants;
}

CGlobalHotkey::Result CX11Hotkey::Grab(QKeyCombination keys) {
    Ungrab();
    if (!m_connection) {
        return CGlobalHotkey::Result::Unsupported;
    }
    const std::uint32_t keySym = KeySymOf(keys.key());
    m_keyCode = keySym == 0 ? 0 : KeyCodeOf(keySym);
    if (m_keyCode == 0) {
        return CGlobalHotkey::Result::Invalid;
    }
    // Alt and Meta (the Super key) sit on whichever modifier the keyboard map gives them;
    // Mod1 and Mod4 on nearly every one.
    const std::uint16_t alt = ModifierOf(kKeySymAltL);
    const std::uint16_t super = ModifierOf(kKeySymSuperL);
    const Qt::KeyboardModifiers held = keys.keyboardModifiers();
    m_modifiers = 0;
    if (held & Qt::ShiftModifier) {
        m_modifiers |= XCB_MOD_MASK_SHIFT;
    }
    if (held & Qt::ControlModifier) {
        m_modifiers |= XCB_MOD_MASK_CONTROL;
    }
    if (held & Qt::AltModifier) {
        m_modifiers |= alt ? alt : std::uint16_t(XCB_MOD_MASK_1);
    }
    if (held & Qt::MetaModifier) {
        m_modifiers |= super ? super : std::uint16_t(XCB_MOD_MASK_4);
    }
    m_numLock = ModifierOf(kXkNumLock);
    m_ignored = std::uint16_t(XCB_MOD_MASK_LOCK | m_numLock);

    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint16_t locks : LockVariants()) {
        // Reported to the root window even while one of ours has the focus: the key is the
        // shortcut's everywhere, and is typed nowhere.
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root,
                                               std::uint16_t(m_modifiers | locks), m_keyCode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool taken = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (const XcbReply<xcb_generic_error_t> error{xcb_request_check(m_connection, cookie)}) {
            // BadAccess: another client grabbed the same key first.
            taken = true;
        }
    }
    m_bGrabbed = true;
    if (taken) {
        Ungrab();
        return CGlobalHotkey::Result::Taken;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    return CGlobalHotkey::Result::Grabbed;
}

void CX11Hotkey::Ungrab() {
    if (!m_bGrabbed) {
        return;
    }
    QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const std::uint16_t locks : LockVariants()) {
        xcb_ungrab_key(m_connection, m_keyCode, m_root, std::uint16_t(m_modifiers | locks));
    }
    xcb_flush(m_connection);
    m_bGrabbed = false;
}

bool CX11Hotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != m_root || key->detail != m_keyCode ||
        (key->state & ~m_ignored & 0xff) != m_modifiers) {
        return false;
    }
    if (type == XCB_KEY_RELEASE) {
        m_releasedAt = key->time;
    } else if (key->time != m_releasedAt) {
        // Later, so that Qt first takes the key's time as the user's last action: the window
        // manager lets the window that answers it take the focus.
        QMetaObject::invokeMethod(this, &CX11Hotkey::pressed, Qt::QueuedConnection);
    }
    // Qt has no window of its own for the root window and drops the event.
    return false;
}

}  // namespace mopira
