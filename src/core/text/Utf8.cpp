#include "core/text/Utf8.h"

#include <cstdint>
#include <cstring>

#include "core/text/CharOrder.h"

namespace mopira {

namespace {

// Form of a byte that is no character in a sort key: 0xFF leads no UTF-8 sequence, so the
// form stays prefix-free and sorts after every character.
constexpr unsigned char kInvalidMark = 0xFF;

bool EncodeCharacter(char32_t c, std::string& bytes) {
    unicode::AppendUtf8(bytes, c);
    return true;
}

// Calls `visit(c)` for the code point of each character; U+FFFD for a byte that is none.
template <class Visitor>
void ForEachCharacter(std::string_view bytes, Visitor visit) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = unicode::DecodeUtf8(bytes, pos, c);
        visit(length == 0 ? unicode::kReplacement : c);
        pos += length == 0 ? 1 : length;
    }
}

}  // namespace

bool Utf8::IsCharBoundary(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos >= text.size() ||
        !unicode::IsContinuation(static_cast<unsigned char>(text[pos]))) {
        return true;
    }
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
        if (!unicode::IsContinuation(static_cast<unsigned char>(text[pos - back]))) {
            // Any byte but a continuation byte starts a character; it covers `pos` only when
            // a sequence of more than `back` bytes starts there.
            return CharLength(text, pos - back) <= back;
        }
    }
    return true;
}

std::size_t Utf8::Find(std::string_view text, std::string_view fragment, std::size_t from) {
    for (std::size_t pos = text.find(fragment, from); pos != std::string_view::npos;
         pos = text.find(fragment, pos + 1)) {
        if (IsCharBoundary(text, pos) && IsCharBoundary(text, pos + fragment.size())) {
            return pos;
        }
    }
    return std::string_view::npos;
}

int Utf8::Compare(std::string_view a, std::string_view b) {
    const std::size_t prefix = char_order::CommonPrefix(a, b);
    if (prefix == a.size() || prefix == b.size()) {
        if (a.size() == b.size()) {
            return 0;
        }
        // The shorter text is the smaller unless it ends in a sequence cut short that the
        // longer one completes: cut short, its bytes are stray bytes, valued above it.
        const std::string_view longer = a.size() > b.size() ? a : b;
        if (!unicode::IsContinuation(static_cast<unsigned char>(longer[prefix]))) {
            return a.size() < b.size() ? -1 : 1;
        }
    } else if (const int order = char_order::CompareAsciiBytes(a[prefix], b[prefix])) {
        return order;
    }
    // Walk from the start of the character the first difference falls in. The nearest byte
    // before it that is no continuation byte starts a character in both texts; when the
    // three bytes before it are all continuation bytes, no character reaches across it.
    std::size_t start = prefix;
    for (std::size_t back = 1; back <= 3 && back <= prefix; ++back) {
        if (!unicode::IsContinuation(static_cast<unsigned char>(a[prefix - back]))) {
            start = prefix - back;
            break;
        }
    }
    return char_order::CompareCharacters<Utf8>(a.substr(start), b.substr(start),
                                               [](unsigned value) { return value; });
}

Utf8::Key Utf8::SortKey(std::string_view text) {
    // Characters keep their bytes, whose order is code point order; a byte that is no
    // character becomes the mark and the byte.
    unsigned char form[16 + 3] = {};  // spare bytes: a character may spill past the 16th
    std::size_t filled = 0;
    for (std::size_t pos = 0; pos < text.size() && filled < 16;) {
        const std::size_t length = CharLength(text, pos);
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (length == 1 && lead >= 0x80) {
            form[filled++] = kInvalidMark;
            form[filled++] = lead;
        } else {
            for (std::size_t k = 0; k < length; ++k) {
                form[filled++] = static_cast<unsigned char>(text[pos + k]);
            }
        }
        pos += length;
    }
    return TextKey::Pack(form);
}

int Utf8::CompareFolderNames(std::string_view a, std::string_view b) {
    return char_order::CompareFolderNames<Utf8>(a, b);
}

bool Utf8::IsValid(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t pos = 0; pos < size;) {
        // Eight bytes of ASCII at a time.
        if (size - pos >= sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + pos, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                pos += sizeof word;
                continue;
            }
        }
        const unsigned char lead = bytes[pos];
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        // Most Japanese: three bytes whose second byte has no special range.
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && size - pos >= 3 &&
            (bytes[pos + 1] & 0xC0) == 0x80 && (bytes[pos + 2] & 0xC0) == 0x80) {
            pos += 3;
            continue;
        }
        // The second byte's range carries the rules against overlong forms, surrogates and
        // values past U+10FFFF; the others are plain continuation bytes.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (size - pos < length || bytes[pos + 1] < low || bytes[pos + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if ((bytes[pos + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        pos += length;
    }
    return true;
}

std::u16string Utf8::ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    ForEachCharacter(bytes, [&text](char32_t c) { unicode::AppendUtf16(text, c); });
    return text;
}

std::string Utf8::ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    ForEachCharacter(bytes, [&text](char32_t c) { unicode::AppendUtf8(text, c); });
    return text;
}

EncodeResult Utf8::FromUtf16(std::u16string_view text) {
    return unicode::CUnicodeEncoder(EncodeCharacter).FromUtf16(text);
}

EncodeResult Utf8::FromUtf8(std::string_view text) {
    return unicode::CUnicodeEncoder(EncodeCharacter).FromUtf8(text);
}

}  // namespace mopira
