#pragma once

#include <array>
#include <string>

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

template <class Values>
struct IntSettingKey {
    const char* section;
    const char* key;
    int Values::*member;
};

using SettingKey = IntSettingKey<Settings>;

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

// Beyond the thirteen: how the window is called up from other programs. Everything is off but
// the tray icon, so a settings file of the thirteen alone runs the window as it always ran.
// A flag is on when its value is not 0.
struct SummonSettings {
    std::string hotkey;      // a key such as "Ctrl+Alt+K" that toggles the window from anywhere
    int hideAfterCopy = 0;   // a copy hides the window, giving the focus back
    int pasteAfterCopy = 0;  // with hideAfterCopy: the copy is pasted where the focus went back
    int tray = 1;            // an icon in the desktop's tray, where it has one
    int closeToTray = 0;     // with the icon shown: closing hides the window instead of ending
    // The keys that paste, such as "Ctrl+Shift+V"; empty: Ctrl+Shift+V where the program
    // pasted into is known to be a terminal, Ctrl+V elsewhere.
    std::string pasteKey;
    // What the desktop's remote-desktop portal gave to start typing again without asking.
    std::string remoteDesktopToken;
};

inline constexpr IntSettingKey<SummonSettings> kSummonIntKeys[] = {
    {"Window", "HideAfterCopy", &SummonSettings::hideAfterCopy},
    {"Window", "PasteAfterCopy", &SummonSettings::pasteAfterCopy},
    {"Window", "Tray", &SummonSettings::tray},
    {"Window", "CloseToTray", &SummonSettings::closeToTray},
};

struct TextSettingKey {
    const char* section;
    const char* key;
    std::string SummonSettings::*member;
};

// Written as soon as the desktop gives it, not only at close.
inline constexpr TextSettingKey kRemoteDesktopTokenKey = {"Window", "RemoteDesktopToken",
                                                          &SummonSettings::remoteDesktopToken};

inline constexpr TextSettingKey kSummonTextKeys[] = {
    {"Window", "Hotkey", &SummonSettings::hotkey},
    {"Window", "PasteKey", &SummonSettings::pasteKey},
    kRemoteDesktopTokenKey,
};

}  // namespace mopira
