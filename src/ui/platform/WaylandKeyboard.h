#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace mopira {

// A keyboard of this program's own on a Wayland compositor that offers virtual keyboards (the
// wlroots ones: sway, Hyprland, river, labwc, Wayfire), whose keys go where the compositor's
// focus is, as the user's own would. Where the compositor also lists its windows to programs
// (wlroots' foreign-toplevel management), it tells the app id of the window that has the focus.
// It speaks on a connection of its own, so it works whether Qt runs on Wayland or under XWayland.
class CWaylandKeyboard {
public:
    CWaylandKeyboard();
    ~CWaylandKeyboard();
    CWaylandKeyboard(const CWaylandKeyboard&) = delete;
    CWaylandKeyboard& operator=(const CWaylandKeyboard&) = delete;

    // Whether the compositor offers a virtual keyboard; connects when not connected yet.
    bool IsAvailable();

    // Presses the keys of `keySyms` in their order and releases them in reverse, as a user types
    // Ctrl+V (the modifiers first, the key last); false when they could not be sent.
    bool TypeKeys(const std::vector<std::uint32_t>& keySyms);

    // The app id of the window that has the focus ("foot", "org.gnome.Terminal"); empty where
    // the compositor does not say.
    std::string ActiveAppId();

    // A window as the compositor lists it; its changes count once the compositor says done.
    struct Toplevel {
        CWaylandKeyboard* owner = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::string appId;
        std::string pendingAppId;
        bool activated = false;
        bool pendingActivated = false;
    };
    void AddToplevel(zwlr_foreign_toplevel_handle_v1* handle);
    void RemoveToplevel(Toplevel* toplevel);

private:
    bool Connect();
    void Disconnect();
    bool SendKeymap();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1* m_manager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_toplevels = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_windows;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
};

}  // namespace mopira
