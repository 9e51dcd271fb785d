#pragma once

#include <span>

namespace mopira {

// A rectangle in screen pixels: a window's outer frame, or a screen's available area.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

// Where a saved window placement may really go on the screens there are now, so that no saved
// value can make a window larger than the screen or leave its title bar where the mouse cannot
// reach it. A window larger than the screen it is on (the one under most of its title bar, or
// the one under most of the window when the title bar is on none, else the first) is reduced to
// that screen and moved inside it; a window whose title bar would show less than `grip` pixels on
// every screen is moved back inside that screen. Anything else is left as saved. No screens: left
// as saved.
ScreenRect FitToScreens(const ScreenRect& window, std::span<const ScreenRect> screens,
                        int titleBarHeight, int grip = 100);

}  // namespace mopira
