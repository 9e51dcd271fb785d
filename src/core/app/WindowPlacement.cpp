#include "core/app/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace mopira {

namespace {

// Overlap of two spans, computed wide so that saved values at the ends of int cannot wrap.
std::int64_t Overlap(std::int64_t a, std::int64_t aLength, std::int64_t b, std::int64_t bLength) {
    return std::max<std::int64_t>(0, std::min(a + aLength, b + bLength) - std::max(a, b));
}

int ClampInto(std::int64_t pos, std::int64_t length, int start, int extent) {
    const std::int64_t last = std::int64_t{start} + extent - length;
    return static_cast<int>(
        std::clamp<std::int64_t>(pos, start, std::max<std::int64_t>(start, last)));
}

}  // namespace

ScreenRect FitToScreens(const ScreenRect& window, std::span<const ScreenRect> screens,
                        int titleBarHeight, int grip) {
    if (screens.empty()) {
        return window;
    }
    const std::int64_t width = std::max(window.width, 0);
    const std::int64_t height = std::max(window.height, 0);
    // The screen under most of the title bar, and how much of the bar shows there; when the
    // bar is on none, the screen under most of the window, else the first.
    const ScreenRect* home = &screens.front();
    std::int64_t covered = 0;
    for (const ScreenRect& screen : screens) {
        const std::int64_t area = Overlap(window.x, width, screen.x, screen.width) *
                                  Overlap(window.y, height, screen.y, screen.height);
        if (area > covered) {
            covered = area;
            home = &screen;
        }
    }
    std::int64_t shown = 0;
    for (const ScreenRect& screen : screens) {
        const bool barOnScreen =
            Overlap(window.y, std::max(titleBarHeight, 1), screen.y, screen.height) > 0;
        const std::int64_t across =
            barOnScreen ? Overlap(window.x, width, screen.x, screen.width) : 0;
        if (across > shown) {
            shown = across;
            home = &screen;
        }
    }
    ScreenRect fitted = window;
    const bool tooLarge = width > home->width || height > home->height;
    fitted.width = static_cast<int>(std::min<std::int64_t>(width, home->width));
    fitted.height = static_cast<int>(std::min<std::int64_t>(height, home->height));
    if (tooLarge || shown < std::min<std::int64_t>(grip, width)) {
        fitted.x = ClampInto(window.x, fitted.width, home->x, home->width);
        fitted.y = ClampInto(window.y, fitted.height, home->y, home->height);
    }
    return fitted;
}

}  // namespace mopira
