#pragma once

#include <vector>

namespace mopira {

// The smallest outer window size the frame allows.
inline constexpr int kMinOuterWidth = 267;
inline constexpr int kMinOuterHeight = 270;

// One step of a page layout: a control is either sized (keeping its position) or moved
// (keeping its size). Positions are in the window's client coordinates.
struct ControlPlacement {
    enum class Kind { Size, Move };
    int controlId;
    Kind kind;
    int x;  // width, or left edge
    int y;  // height, or top edge

    bool operator==(const ControlPlacement&) const = default;
};

// What laying out page `tab` does for an outer window size of `width` x `height`, in order:
// the tab control and the top toolbar for every page, then the controls of the page (none
// for a tab other than 0 and 1). Sizes never go below zero, as happens while minimised.
std::vector<ControlPlacement> LayoutPage(int tab, int width, int height);

}  // namespace mopira
