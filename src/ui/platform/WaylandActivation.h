#pragma once

#include <QByteArray>

class QWindow;

namespace mopira {

// Asks the compositor, through the xdg-activation protocol on Qt's own connection, to activate
// `window` (which must be on screen) with `token`; false when Qt's Wayland platform does not lend
// its connection and the window's surface, or the compositor has no xdg-activation. (Qt 6.4's
// QWindow::requestActivate sends no token a program was handed.)
bool WaylandActivate(QWindow& window, const QByteArray& token);

}  // namespace mopira
