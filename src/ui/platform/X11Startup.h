#pragma once

#include <QByteArray>
#include <cstdint>

// A desktop's launch of a program as X11 window managers follow it: the user's action it
// started from, and the end of its startup notification. Only where the platform is xcb.
namespace mopira {

// Asks the window manager to activate `window` for a user action at X server time `time` (from
// a startup id), which focus-stealing prevention measures against the focused window's last use.
void X11ActivateWindow(unsigned long window, std::uint32_t time);

// Tells the desktop that the launch `startupId` is done (its busy cursor or spinner stops); sent
// from `window`. A later start that only handed its request on never shows a window to do so.
void X11EndStartup(unsigned long window, const QByteArray& startupId);

}  // namespace mopira
