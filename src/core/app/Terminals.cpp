#include "core/app/Terminals.h"

#include <algorithm>
#include <array>
#include <string>

namespace mopira {

namespace {

// Terminals whose names do not say so; any name holding "term" is taken for one.
constexpr std::array<std::string_view, 24> kTerminals = {
    "alacritty", "blackbox",    "console", "contour", "foot",   "footclient", "ghostty", "guake",
    "hyper",     "kgx",         "kitty",   "konsole", "ptyxis", "rio",        "rxvt",    "sakura",
    "st",        "st-256color", "tabby",   "tilda",   "tilix",  "urxvt",      "yakuake", "zutty",
};

}  // namespace

bool IsTerminalName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (lower.find("term") != std::string::npos) {
        return true;
    }
    // A reverse-DNS app id ("org.kde.konsole") names the program last.
    const std::string_view last = std::string_view(lower).substr(lower.rfind('.') + 1);
    return std::find(kTerminals.begin(), kTerminals.end(), last) != kTerminals.end();
}

}  // namespace mopira
