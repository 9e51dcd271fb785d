#pragma once

#include <array>

namespace mopira {

// The thirteen integers kept between runs, with their defaults. Nothing is clamped when they
// are read; each user of a value decides what an unexpected one means.
struct Settings {
    int x = -1;  // outer left edge; -1 when no position is saved
    int y = -1;
    int cx = 250;  // outer size, used only with a saved position
    int cy = 200;
    int topMost = 0;  // exactly 1 turns always-on-top on at start
    int tab = 0;
    int find = 0;  // 0 by location, 1 by text
    int view = 0;  // 0 details, any other value list
    int content = 150;
    int folder = 200;
    int type = 80;
    int value1 = 100;
    int value2 = 100;
};

struct SettingKey {
    const char* section;
    const char* key;
    int Settings::*member;
};

inline constexpr std::size_t kSettingCount = 13;

// Read at start-up in this order.
inline constexpr std::array<SettingKey, kSettingCount> kSettingsReadOrder = {{
    {"Window", "X", &Settings::x},
    {"Window", "Y", &Settings::y},
    {"Window", "CX", &Settings::cx},
    {"Window", "CY", &Settings::cy},
    {"Window", "TopMost", &Settings::topMost},
    {"Window", "Tab", &Settings::tab},
    {"List", "Find", &Settings::find},
    {"List", "View", &Settings::view},
    {"List", "Content", &Settings::content},
    {"List", "Folder", &Settings::folder},
    {"List", "Type", &Settings::type},
    {"List", "Value1", &Settings::value1},
    {"List", "Value2", &Settings::value2},
}};

// Written at close in this order.
inline constexpr std::array<SettingKey, kSettingCount> kSettingsWriteOrder = {{
    {"Window", "X", &Settings::x},
    {"Window", "Y", &Settings::y},
    {"Window", "CX", &Settings::cx},
    {"Window", "CY", &Settings::cy},
    {"Window", "Tab", &Settings::tab},
    {"Window", "TopMost", &Settings::topMost},
    {"List", "View", &Settings::view},
    {"List", "Find", &Settings::find},
    {"List", "Content", &Settings::content},
    {"List", "Folder", &Settings::folder},
    {"List", "Type", &Settings::type},
    {"List", "Value1", &Settings::value1},
    {"List", "Value2", &Settings::value2},
}};

}  // namespace mopira
