#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace mopira {

// Appends a separator and a command to the window's system menu where the program can reach
// that menu (Windows); returns false elsewhere, where the window manager owns it.
bool AppendSystemMenuItem(QWidget* window, int command, const QString& text);

// The system-menu command a native message carries, or 0.
int SystemMenuCommand(const QByteArray& eventType, void* message);

// Whether the keyboard's input goes to `window` now. On X11 the server says so: Qt hears of
// the focus late while a key is grabbed, and a shortcut comes with a grab.
bool HasKeyboardFocus(const QWidget& window);

}  // namespace mopira
