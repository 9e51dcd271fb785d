#pragma once

// What kind of desktop the program runs in, which decides how it reaches the rest of it.
namespace mopira {

// Whether Qt draws through the X server (the xcb platform), natively or under XWayland.
bool OnX11Platform();
// Whether Qt draws as a Wayland client.
bool OnWaylandPlatform();
// Whether the desktop is a Wayland session, whichever platform Qt runs on: under XWayland the
// X server reaches the X11 programs alone, and neither a key grab nor XTEST's keys reach a
// Wayland program that has the focus.
bool IsWaylandSession();

}  // namespace mopira
