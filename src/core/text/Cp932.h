#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/TextKey.h"
#include "core/text/Unicode.h"

namespace mopira {

// The text rules of Microsoft's code page 932 (Shift_JIS with the NEC and IBM extensions),
// the encoding of every library without a byte order mark. Callers reach it through a
// `Charset`, which chooses between these rules and Utf8's; both structs have the same members.
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

    // A TextKey of `text` for Compare's order.
    using Key = TextKey;
    static Key SortKey(std::string_view text);

    // Collation of folder names: ascending with ASCII letters compared case-insensitively;
    // names equal under that rule are ordered by Compare, so distinct names never tie.
    // Any strict order that ignores ASCII case first would do; this one is ours.
    static int CompareFolderNames(std::string_view a, std::string_view b);

    // Whether every character of `text` is one the code page assigns.
    static bool IsValid(std::string_view text);

    // Searching treats the codes of a character that the code page repeats (NEC row 13 and
    // the IBM extensions, e.g. ∵ at 0x879A, 0x81E6 and 0xFA5B) as one, so a text is found by
    // a copy typed or pasted with the other code. The search form of a text writes each such
    // character with the code Windows writes for it; every repeated code is two bytes, like
    // its preferred code, so the form keeps the text's length and character boundaries.
    // Returns `text` itself when it has no repeated code, else the form built in `buffer`.
    static std::string_view SearchForm(std::string_view text, std::string& buffer);
    // Whether a search form holds a character that has other codes, so texts must be read in
    // their search form to match it.
    static bool HasCodeVariants(std::string_view searchForm);

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
