#include "ui/platform/DesktopSession.h"

#include <QGuiApplication>

namespace mopira {

bool OnX11Platform() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool OnWaylandPlatform() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool IsWaylandSession() {
    return OnWaylandPlatform() || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

}  // namespace mopira
