#include "core/text/Cp932.h"

namespace mopira {

namespace {

constexpr unsigned FoldAsciiCase(unsigned value) {
    return value >= 'a' && value <= 'z' ? value - ('a' - 'A') : value;
}

// Walks both texts character by character; `project` maps a character value to the value
// that is compared, so one loop serves the exact and the case-folding order.
template <class Projection>
int CompareCharacters(std::string_view a, std::string_view b, Projection project) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t lengthA = Cp932::CharLength(a, i);
        const std::size_t lengthB = Cp932::CharLength(b, j);
        const unsigned valueA = project(Cp932::CharValue(a, i, lengthA));
        const unsigned valueB = project(Cp932::CharValue(b, j, lengthB));
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

}  // namespace

bool Cp932::IsCharBoundary(std::string_view text, std::size_t pos) {
    std::size_t boundary = 0;
    while (boundary < pos) {
        boundary += CharLength(text, boundary);
    }
    return boundary == pos;
}

std::size_t Cp932::Find(std::string_view text, std::string_view fragment, std::size_t from) {
    // Candidates come from a plain byte search; the boundary walk only ever moves forward,
    // so the whole search stays linear in the text's length.
    std::size_t boundary = 0;
    for (std::size_t pos = text.find(fragment, from); pos != std::string_view::npos;
         pos = text.find(fragment, pos + 1)) {
        while (boundary < pos) {
            boundary += CharLength(text, boundary);
        }
        if (boundary == pos) {
            return pos;
        }
    }
    return std::string_view::npos;
}

int Cp932::Compare(std::string_view a, std::string_view b) {
    // Sorting calls this a great many times, so the common cases avoid the character walk.
    // Up to the first differing byte both texts are equal; when both differing bytes are
    // below 0x80 they are either one-byte characters or trail bytes after the same lead,
    // and byte order is character order.
    std::size_t prefix = 0;
    const std::size_t shorter = a.size() < b.size() ? a.size() : b.size();
    while (prefix < shorter && a[prefix] == b[prefix]) {
        ++prefix;
    }
    if (prefix == shorter) {
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    const auto byteA = static_cast<unsigned char>(a[prefix]);
    const auto byteB = static_cast<unsigned char>(b[prefix]);
    if (byteA < 0x80 && byteB < 0x80) {
        return byteA < byteB ? -1 : 1;
    }
    return CompareCharacters(a, b, [](unsigned value) { return value; });
}

Cp932::Key Cp932::SortKey(std::string_view text) {
    // One-byte characters below 0x80 stay one byte; the others become 0x80 and the byte, and
    // two-byte characters keep their two bytes, whose lead is above 0x80. The form is
    // prefix-free, so comparing it byte by byte compares characters by value.
    unsigned char form[17] = {};  // one spare byte: a character may spill past the 16th
    std::size_t filled = 0;
    for (std::size_t pos = 0; pos < text.size() && filled < 16;) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            form[filled++] = byte;
            ++pos;
        } else if (IsLeadByte(byte) && pos + 1 < text.size()) {
            form[filled++] = byte;
            form[filled++] = static_cast<unsigned char>(text[pos + 1]);
            pos += 2;
        } else {
            form[filled++] = 0x80;
            form[filled++] = byte;
            ++pos;
        }
    }
    Key key;
    for (int i = 0; i < 8; ++i) {
        key.high = (key.high << 8) | form[i];
        key.low = (key.low << 8) | form[8 + i];
    }
    return key;
}

int Cp932::CompareFolderNames(std::string_view a, std::string_view b) {
    const int folded = CompareCharacters(a, b, FoldAsciiCase);
    return folded != 0 ? folded : Compare(a, b);
}

}  // namespace mopira
