#include "ui/app/PlatformWindow.h"

#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include "ui/platform/DesktopSession.h"
#ifdef MOPIRA_HAVE_X11
#include "ui/platform/X11Keyboard.h"
#endif

namespace mopira {

#ifdef Q_OS_WIN

bool AppendSystemMenuItem(QWidget* window, int command, const QString& text) {
    HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(window->winId()), FALSE);
    if (!menu) {
        return false;
    }
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command),
                  reinterpret_cast<LPCWSTR>(text.utf16()));
    return true;
}

int SystemMenuCommand(const QByteArray& eventType, void* message) {
    if (eventType != "windows_generic_MSG") {
        return 0;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND ? static_cast<int>(msg->wParam & 0xFFF0) : 0;
}

#else

bool AppendSystemMenuItem(QWidget*, int, const QString&) {
    return false;
}

int SystemMenuCommand(const QByteArray&, void*) {
    return 0;
}

#endif

bool HasKeyboardFocus(const QWidget& window) {
#ifdef MOPIRA_HAVE_X11
    if (OnX11Platform()) {
        return window.isVisible() && X11FocusIsIn(window.winId());
    }
#endif
    return window.isActiveWindow();
}

}  // namespace mopira
