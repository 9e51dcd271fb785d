#pragma once

#include <cstddef>
#include <string_view>

// Character-by-character comparison shared by the encodings' rules: `Rules` gives CharLength
// and CharValue, and the order is that of the value sequences.
namespace mopira::char_order {

constexpr unsigned FoldAsciiCase(unsigned value) {
    return value >= 'a' && value <= 'z' ? value - ('a' - 'A') : value;
}

// Length of the longest common prefix of the texts in bytes.
inline std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t shorter = a.size() < b.size() ? a.size() : b.size();
    std::size_t prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix]) {
        ++prefix;
    }
    return prefix;
}

// The order of two differing bytes that follow a common prefix when both are below 0x80:
// in both encodings such a byte is a character of its own or the trail byte after the same
// lead, so byte order is character order. 0 when either byte is 0x80 or above.
inline int CompareAsciiBytes(char a, char b) {
    const auto byteA = static_cast<unsigned char>(a);
    const auto byteB = static_cast<unsigned char>(b);
    if (byteA >= 0x80 || byteB >= 0x80) {
        return 0;
    }
    return byteA < byteB ? -1 : 1;
}

// Walks both texts character by character; `project` maps a character value to the value
// that is compared, so one loop serves the exact and the case-folding order.
template <class Rules, class Projection>
int CompareCharacters(std::string_view a, std::string_view b, Projection project) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t lengthA = Rules::CharLength(a, i);
        const std::size_t lengthB = Rules::CharLength(b, j);
        const unsigned valueA = project(Rules::CharValue(a, i, lengthA));
        const unsigned valueB = project(Rules::CharValue(b, j, lengthB));
        if (valueA != valueB) {
            return valueA < valueB ? -1 : 1;
        }
        i += lengthA;
        j += lengthB;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

// Collation of folder names: ASCII letters compared case-insensitively first; names equal
// under that rule are ordered by the exact comparison, so distinct names never tie.
template <class Rules>
int CompareFolderNames(std::string_view a, std::string_view b) {
    const int folded = CompareCharacters<Rules>(a, b, FoldAsciiCase);
    return folded != 0 ? folded : Rules::Compare(a, b);
}

}  // namespace mopira::char_order
