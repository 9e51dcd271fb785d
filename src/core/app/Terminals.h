#pragma once

#include <string_view>

namespace mopira {

// Whether a program named `name` (an X11 WM_CLASS part or a Wayland app id, such as "xterm",
// "Gnome-terminal" or "org.kde.konsole") is a terminal, which pastes with Ctrl+Shift+V: Ctrl+V
// there is a control character for the program running inside.
bool IsTerminalName(std::string_view name);

}  // namespace mopira
