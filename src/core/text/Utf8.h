#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/TextKey.h"
#include "core/text/Unicode.h"

namespace mopira {

// The text rules of UTF-8, the encoding of a library whose file starts with the byte order
// mark; the same members as Cp932. A well-formed sequence is one character; every byte that
// is not part of one (a stray continuation byte, an overlong form, a surrogate, a sequence cut
// short) is a character of its own, kept as it is and shown as U+FFFD. There is no
// normalisation: a combining mark is a character like any other.
struct Utf8 {
    static std::size_t CharLength(std::string_view text, std::size_t pos) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            return 1;
        }
        char32_t c = 0;
        const std::size_t length = unicode::DecodeUtf8(text, pos, c);
        return length == 0 ? 1 : length;
    }

    // Value of the character at `pos` that is `length` bytes long: its code point, or
    // 0x110000 plus the byte for a byte that is no character, which orders those after every
    // code point and among themselves by the byte.
    static unsigned CharValue(std::string_view text, std::size_t pos, std::size_t length) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            return lead;
        }
        char32_t c = 0;
        if (length > 1 && unicode::DecodeUtf8(text, pos, c) == length) {
            return c;
        }
        return kInvalidBase + lead;
    }

    // Constant time: only a continuation byte can be inside a character, and only inside one
    // whose lead stands at most three bytes before it.
    static bool IsCharBoundary(std::string_view text, std::size_t pos);

    // First position >= `from` where `fragment` occurs as whole characters of `text`: it
    // starts and ends on character boundaries. npos when there is none.
    static std::size_t Find(std::string_view text, std::string_view fragment, std::size_t from = 0);

    static bool Contains(std::string_view text, std::string_view fragment) {
        return Find(text, fragment) != std::string_view::npos;
    }

    // Code point order, bytes that are no character after all code points; for well-formed
    // text this is plain byte order. A text that is a prefix of another is the smaller.
    static int Compare(std::string_view a, std::string_view b);

    using Key = TextKey;
    static Key SortKey(std::string_view text);

    static int CompareFolderNames(std::string_view a, std::string_view b);

    static bool IsValid(std::string_view text);

    // UTF-8 repeats no character, so a search compares the bytes as they are.
    static std::string_view SearchForm(std::string_view text, std::string&) { return text; }
    static constexpr bool HasCodeVariants(std::string_view) { return false; }

    // Bytes to Unicode: a byte that is no character becomes U+FFFD.
    static std::u16string ToUtf16(std::string_view bytes);
    static std::string ToUtf8(std::string_view bytes);

    // Unicode to bytes: every character has its bytes; only malformed input (an unpaired
    // surrogate, malformed UTF-8) is reported, as U+FFFD.
    static EncodeResult FromUtf16(std::u16string_view text);
    static EncodeResult FromUtf8(std::string_view text);
    static std::string FromUtf8Literal(std::string_view text) { return FromUtf8(text).bytes; }

private:
    static constexpr unsigned kInvalidBase = 0x110000;
};

}  // namespace mopira
