#pragma once

#include <cctype>
#include <cstddef>
#include <string_view>
#include <vector>

// Plain restatements of the CP932 text rules, written for clarity rather than speed, that the
// tests hold the core's fast versions against.
namespace mopira::reference {

struct Character {
    std::size_t pos;
    std::size_t length;
    unsigned value;  // the byte, or lead * 256 + trail
};

// The characters of `text` from its start: 0x81-0x9F and 0xE0-0xFC lead a two-byte character
// when a byte follows them; every other byte stands alone.
inline std::vector<Character> Characters(std::string_view text) {
    std::vector<Character> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        if (isLead && pos + 1 < text.size()) {
            characters.push_back({pos, 2, lead * 256u + static_cast<unsigned char>(text[pos + 1])});
        } else {
            characters.push_back({pos, 1, lead});
        }
        pos += characters.back().length;
    }
    return characters;
}

inline std::vector<unsigned> CharValues(std::string_view text) {
    std::vector<unsigned> values;
    for (const Character& character : Characters(text)) {
        values.push_back(character.value);
    }
    return values;
}

// Every position where a character starts, and the end of the text.
inline std::vector<std::size_t> Boundaries(std::string_view text) {
    std::vector<std::size_t> boundaries;
    for (const Character& character : Characters(text)) {
        boundaries.push_back(character.pos);
    }
    boundaries.push_back(text.size());
    return boundaries;
}

// The first character boundary at or after `from` where `fragment` follows; npos when none.
inline std::size_t Find(std::string_view text, std::string_view fragment, std::size_t from = 0) {
    for (std::size_t boundary : Boundaries(text)) {
        if (boundary >= from && text.substr(boundary).starts_with(fragment)) {
            return boundary;
        }
    }
    return std::string_view::npos;
}

inline int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Lexicographic order of the character values: -1, 0 or 1.
inline int Compare(std::string_view a, std::string_view b) {
    const auto va = CharValues(a);
    const auto vb = CharValues(b);
    return va < vb ? -1 : (vb < va ? 1 : 0);
}

// Folder order: character values with the one-byte ASCII lower-case letters taken as capitals
// first, then Compare between names that tie.
inline int CompareFolderNames(std::string_view a, std::string_view b) {
    auto folded = [](std::string_view text) {
        std::vector<unsigned> values = CharValues(text);
        for (unsigned& value : values) {
            if (value < 0x80 && std::islower(static_cast<int>(value))) {
                value = static_cast<unsigned>(std::toupper(static_cast<int>(value)));
            }
        }
        return values;
    };
    const auto fa = folded(a);
    const auto fb = folded(b);
    if (fa != fb) {
        return fa < fb ? -1 : 1;
    }
    return Compare(a, b);
}

}  // namespace mopira::reference
