#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mopira {

// Result of turning Unicode text into bytes: the bytes of every character that could be
// represented, and the characters that could not (each listed once, in order of first
// appearance). The text is usable only when nothing is missing.
struct EncodeResult {
    std::string bytes;
    std::u32string unrepresentable;

    bool Ok() const { return unrepresentable.empty(); }
};

// Everything that depends on the byte encoding of the program's texts: Microsoft's code
// page 932 (Shift_JIS with the NEC and IBM extensions). Callers reach it through the
// `Charset` alias, so another encoding can stand beside this one without changing them.
struct Cp932 {
    // 0x81-0x9F and 0xE0-0xFC start a two-byte character; every other byte is a character of
    // its own, half-width katakana 0xA1-0xDF included.
    static constexpr bool IsLeadByte(unsigned char byte) {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }

    // Length of the character that starts at `pos` (< text.size()): 2 for a lead byte with a
    // byte after it, else 1. A lead byte that ends the text is a one-byte character.
    static constexpr std::size_t CharLength(std::string_view text, std::size_t pos) {
        return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
    }

    // Value of the character that starts at `pos` and is `length` bytes long: the byte itself,
    // or lead * 256 + trail.
    static constexpr unsigned CharValue(std::string_view text, std::size_t pos,
                                        std::size_t length) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        return length == 1 ? lead : lead * 256u + static_cast<unsigned char>(text[pos + 1]);
    }

    static bool IsCharBoundary(std::string_view text, std::size_t pos);

    // First position >= `from` where `fragment` occurs starting on a character boundary of
    // `text`; npos when there is none. The second byte of a two-byte character never starts
    // a match. An empty fragment matches at `from` when that is a boundary.
    static std::size_t Find(std::string_view text, std::string_view fragment, std::size_t from = 0);

    static bool Contains(std::string_view text, std::string_view fragment) {
        return Find(text, fragment) != std::string_view::npos;
    }

    // Orders texts character by character by CharValue; a text that is a prefix of another
    // is the smaller. Every two-byte character therefore sorts after every one-byte one, and
    // the order is case-sensitive. Returns <0, 0 or >0.
    static int Compare(std::string_view a, std::string_view b);

    // The first 16 bytes of a form of `text` whose plain byte order is Compare's order,
    // packed big-endian: texts whose keys differ compare as their keys do; equal keys need
    // Compare. Sorting on keys first spares most of the character walks.
    struct Key {
        std::uint64_t high = 0;
        std::uint64_t low = 0;
        auto operator<=>(const Key&) const = default;
    };
    static Key SortKey(std::string_view text);

    // Collation of folder names: ascending with ASCII letters compared case-insensitively;
    // names equal under that rule are ordered by Compare, so distinct names never tie.
    // Any strict order that ignores ASCII case first would do; this one is ours.
    static int CompareFolderNames(std::string_view a, std::string_view b);

    // Bytes to Unicode. Never fails: a byte or pair the code page does not assign becomes
    // U+FFFD, taking the same bytes that CharLength gives it.
    static std::u16string ToUtf16(std::string_view bytes);
    static std::string ToUtf8(std::string_view bytes);

    // Unicode to bytes, with the characters that have no code in the code page listed.
    // Invalid UTF-8 sequences and unpaired surrogates are reported as U+FFFD.
    static EncodeResult FromUtf16(std::u16string_view text);
    static EncodeResult FromUtf8(std::string_view text);

    // Convenience for literals in the source, which are UTF-8: all of them are representable.
    static std::string FromUtf8Literal(std::string_view text) { return FromUtf8(text).bytes; }
};

}  // namespace mopira
