#include "ui/platform/WaylandKeyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace mopira {

namespace {

struct Globals {
    std::uint32_t seat = 0;
    std::uint32_t manager = 0;
    std::uint32_t toplevels = 0;
    std::uint32_t toplevelsVersion = 0;
};

void OnGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    auto* globals = static_cast<Globals*>(data);
    const std::string_view offered(interface);
    if (offered == wl_seat_interface.name && globals->seat == 0) {
        globals->seat = name;
    } else if (offered == zwp_virtual_keyboard_manager_v1_interface.name) {
        globals->manager = name;
    } else if (offered == zwlr_foreign_toplevel_manager_v1_interface.name) {
        globals->toplevels = name;
        globals->toplevelsVersion = version;
    }
}

void OnGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

using Toplevel = CWaylandKeyboard::Toplevel;

constexpr zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {
    [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {},  // title
    [](void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
        static_cast<Toplevel*>(data)->pendingAppId = appId;
    },
    [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},  // output_enter
    [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},  // output_leave
    [](void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->pendingActivated = false;
        const auto* state = static_cast<const std::uint32_t*>(states->data);
        for (std::size_t i = 0; i < states->size / sizeof *state; ++i) {
            toplevel->pendingActivated =
                toplevel->pendingActivated ||
                state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        }
    },
    [](void* data, zwlr_foreign_toplevel_handle_v1*) {  // done
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->appId = toplevel->pendingAppId;
        toplevel->activated = toplevel->pendingActivated;
    },
    [](void* data, zwlr_foreign_toplevel_handle_v1*) {  // closed
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->owner->RemoveToplevel(toplevel);
    },
    [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},  // parent
};

constexpr zwlr_foreign_toplevel_manager_v1_listener kToplevelsListener = {
    [](void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
        static_cast<CWaylandKeyboard*>(data)->AddToplevel(handle);
    },
    [](void*, zwlr_foreign_toplevel_manager_v1*) {},  // finished
};

std::uint32_t NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The first key of the keymap whose first level gives `keySym`; 0 when none does.
xkb_keycode_t KeyCodeOf(xkb_keymap* keymap, std::uint32_t keySym) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         code <= xkb_keymap_max_keycode(keymap); ++code) {
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms);
        for (int i = 0; i < count; ++i) {
            if (syms[i] == keySym) {
                return code;
            }
        }
    }
    return 0;
}

}  // namespace

CWaylandKeyboard::CWaylandKeyboard() = default;

CWaylandKeyboard::~CWaylandKeyboard() {
    Disconnect();
}

bool CWaylandKeyboard::IsAvailable() {
    return m_keyboard || Connect();
}

bool CWaylandKeyboard::Connect() {
    Disconnect();
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        return false;
    }
    Globals globals;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, &globals);
    if (wl_display_roundtrip(m_display) < 0 || globals.seat == 0 || globals.manager == 0) {
        Disconnect();
        return false;
    }
    m_seat =
        static_cast<wl_seat*>(wl_registry_bind(m_registry, globals.seat, &wl_seat_interface, 1));
    m_manager = static_cast<zwp_virtual_keyboard_manager_v1*>(wl_registry_bind(
        m_registry, globals.manager, &zwp_virtual_keyboard_manager_v1_interface, 1));
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
    if (globals.toplevels != 0) {
        m_toplevels = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            m_registry, globals.toplevels, &zwlr_foreign_toplevel_manager_v1_interface,
            std::min<std::uint32_t>(globals.toplevelsVersion, 3)));
        zwlr_foreign_toplevel_manager_v1_add_listener(m_toplevels, &kToplevelsListener, this);
    }
    // A compositor that does not trust us says so with an error on the connection.
    if (!SendKeymap() || wl_display_roundtrip(m_display) < 0) {
        Disconnect();
        return false;
    }
    return true;
}

bool CWaylandKeyboard::SendKeymap() {
    // A plain US keymap: the keys are chosen by their keysyms, which any layout's program reads
    // the same (Ctrl+V is a paste whatever the user's own layout).
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
    m_keymap = m_context ? xkb_keymap_new_from_names(m_context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                         : nullptr;
    if (!m_keymap) {
        return false;
    }
    const std::unique_ptr<char, decltype(&std::free)> text(
        xkb_keymap_get_as_string(m_keymap, XKB_KEYMAP_FORMAT_TEXT_V1), &std::free);
    if (!text) {
        return false;
    }
    const std::size_t size = std::strlen(text.get()) + 1;
    const int fd = memfd_create("mopira-keymap", MFD_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd, text.get(), size) == static_cast<ssize_t>(size);
    if (written) {
        zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<std::uint32_t>(size));
    }
    close(fd);
    return written;
}

void CWaylandKeyboard::AddToplevel(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->owner = this;
    toplevel->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, toplevel.get());
    m_windows.push_back(std::move(toplevel));
}

void CWaylandKeyboard::RemoveToplevel(Toplevel* toplevel) {
    zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    std::erase_if(m_windows, [toplevel](const auto& window) { return window.get() == toplevel; });
}

std::string CWaylandKeyboard::ActiveAppId() {
    if (!m_toplevels || wl_display_roundtrip(m_display) < 0) {
        return {};
    }
    for (const auto& window : m_windows) {
        if (window->activated) {
            return window->appId;
        }
    }
    return {};
}

void CWaylandKeyboard::Disconnect() {
    for (const auto& window : m_windows) {
        zwlr_foreign_toplevel_handle_v1_destroy(window->handle);
    }
    m_windows.clear();
    if (m_toplevels) {
        zwlr_foreign_toplevel_manager_v1_destroy(m_toplevels);
    }
    if (m_keyboard) {
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    }
    if (m_manager) {
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    }
    if (m_seat) {
        wl_seat_destroy(m_seat);
    }
    if (m_registry) {
        wl_registry_destroy(m_registry);
    }
    if (m_display) {
        wl_display_disconnect(m_display);
    }
    if (m_keymap) {
        xkb_keymap_unref(m_keymap);
    }
    if (m_context) {
        xkb_context_unref(m_context);
    }
    m_keyboard = nullptr;
    m_toplevels = nullptr;
    m_manager = nullptr;
    m_seat = nullptr;
    m_registry = nullptr;
    m_display = nullptr;
    m_keymap = nullptr;
    m_context = nullptr;
}

bool CWaylandKeyboard::TypeKeys(const std::vector<std::uint32_t>& keySyms) {
    // A compositor restarted since, or one that closed the connection: once more, anew.
    if (m_display && wl_display_get_error(m_display) != 0) {
        Disconnect();
    }
    if (!IsAvailable()) {
        return false;
    }
    std::vector<xkb_keycode_t> codes;
    for (const std::uint32_t keySym : keySyms) {
        const xkb_keycode_t code = KeyCodeOf(m_keymap, keySym);
        if (code == 0) {
            return false;
        }
        codes.push_back(code);
    }
    // The modifiers the keys held down make, as the compositor must be told them.
    const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(m_keymap),
                                                                       &xkb_state_unref);
    const auto send = [&](xkb_keycode_t code, bool down) {
        // Wayland's key codes are the kernel's, eight below X11's and xkb's.
        zwp_virtual_keyboard_v1_key(
            m_keyboard, NowMs(), code - 8,
            down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
        xkb_state_update_key(state.get(), code, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        zwp_virtual_keyboard_v1_modifiers(
            m_keyboard, xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED),
            xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LATCHED),
            xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED),
            xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE));
    };
    for (const xkb_keycode_t code : codes) {
        send(code, true);
    }
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        send(*code, false);
    }
    return wl_display_roundtrip(m_display) >= 0;
}

}  // namespace mopira
