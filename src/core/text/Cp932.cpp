#include "core/text/Cp932.h"

#include "core/text/CharOrder.h"

namespace mopira {

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
    const std::size_t prefix = char_order::CommonPrefix(a, b);
    if (prefix == a.size() || prefix == b.size()) {
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    if (const int order = char_order::CompareAsciiBytes(a[prefix], b[prefix])) {
        return order;
    }
    return char_order::CompareCharacters<Cp932>(a, b, [](unsigned value) { return value; });
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
    return TextKey::Pack(form);
}

int Cp932::CompareFolderNames(std::string_view a, std::string_view b) {
    return char_order::CompareFolderNames<Cp932>(a, b);
}

}  // namespace mopira
