#pragma once

#include <QByteArrayList>
#include <cstdint>
#include <vector>

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

// The WM_CLASS of the window holding the input focus (its instance and class names, as
// "xterm" and "XTerm"); empty when it has none.
QByteArrayList X11FocusedClass();

// Presses the keys of `keySyms` in their order where the focus is, and releases them in
// reverse (as Ctrl+V: the modifiers first); false when the server cannot, or a keysym is on no
// key of its keyboard.
bool X11TypeKeys(const std::vector<std::uint32_t>& keySyms);

}  // namespace mopira
