#include "ui/platform/WaylandActivation.h"

#include <wayland-client.h>

#include <qpa/qplatformnativeinterface.h>
#include <QGuiApplication>
#include <QWindow>
#include <cstring>

#include "xdg-activation-v1-client-protocol.h"

namespace mopira {

namespace {

struct Globals {
    std::uint32_t activationName = 0;
};

void OnGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/) {
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        static_cast<Globals*>(data)->activationName = name;
    }
}

void OnGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

}  // namespace

bool WaylandActivate(QWindow& window, const QByteArray& token) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native) {
        return false;
    }
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window));
    if (!display || !surface) {
        return false;
    }
    // Our requests and their answers on a queue of our own, so that Qt's dispatching of its
    // own queue neither sees nor steals them.
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    wl_registry* registry = wl_display_get_registry(wrapper);
    Globals globals;
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    bool sent = false;
    if (wl_display_roundtrip_queue(display, queue) >= 0 && globals.activationName != 0) {
        auto* activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, globals.activationName, &xdg_activation_v1_interface, 1));
        xdg_activation_v1_activate(activation, token.constData(), surface);
        xdg_activation_v1_destroy(activation);
        sent = wl_display_roundtrip_queue(display, queue) >= 0;
    }
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    wl_event_queue_destroy(queue);
    return sent;
}

}  // namespace mopira
