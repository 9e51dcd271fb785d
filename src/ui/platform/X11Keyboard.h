#pragma once

// The X server's keyboard as another program sees it: where the input focus is, and keys
// typed through the XTEST extension. Only where the platform is xcb.
namespace mopira {

// Whether the server can type keys for the program (it has XTEST).
bool X11CanTypeKeys();

// Whether the input focus is on a window of another program (not on one of this program's,
// nor on none or the root, as while a window manager is still moving it).
bool X11FocusIsOnAnotherProgram();

// Whether the input focus is on `window` or inside it. The server's word, not Qt's: Qt learns
// of focus changes late while a key grab is active, as when a shortcut is pressed.
bool X11FocusIsIn(unsigned long window);

// Types Ctrl+V where the focus is; false when the server cannot.
bool X11TypePasteKeys();

}  // namespace mopira
