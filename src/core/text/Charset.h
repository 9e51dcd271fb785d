#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/Cp932.h"
#include "core/text/Utf8.h"

namespace mopira {

// The encodings a library or parts file can be in.
enum class Encoding { Cp932, Utf8 };

// The text rules of one encoding, carried by value by whatever holds texts in it (a library,
// a parts table). Each member chooses the rules once per call; a loop over many texts calls
// Visit once and uses the rule struct inside, so no byte pays for the choice.
class Charset {
public:
    using Key = TextKey;

    constexpr Charset() = default;
    constexpr explicit Charset(Encoding encoding) : m_encoding(encoding) {}

    constexpr Encoding GetEncoding() const { return m_encoding; }
    constexpr bool operator==(const Charset&) const = default;

    // Calls `visit(Cp932{})` or `visit(Utf8{})`, whose members are all static.
    template <class Visitor>
    constexpr decltype(auto) Visit(Visitor&& visit) const {
        if (m_encoding == Encoding::Utf8) {
            return visit(Utf8{});
        }
        return visit(Cp932{});
    }

    // The bytes a file in this encoding starts with: the UTF-8 byte order mark, or none.
    constexpr std::string_view FileMark() const {
        return m_encoding == Encoding::Utf8 ? kUtf8Mark : std::string_view();
    }
    // The encoding of file content by its first bytes; drops the mark from `bytes`.
    static constexpr Charset TakeFileMark(std::string_view& bytes) {
        if (bytes.starts_with(kUtf8Mark)) {
            bytes.remove_prefix(kUtf8Mark.size());
            return Charset(Encoding::Utf8);
        }
        return Charset(Encoding::Cp932);
    }

    std::size_t CharLength(std::string_view text, std::size_t pos) const {
        return Visit([&](auto rules) { return rules.CharLength(text, pos); });
    }
    bool IsCharBoundary(std::string_view text, std::size_t pos) const {
        return Visit([&](auto rules) { return rules.IsCharBoundary(text, pos); });
    }
    std::size_t Find(std::string_view text, std::string_view fragment, std::size_t from = 0) const {
        return Visit([&](auto rules) { return rules.Find(text, fragment, from); });
    }
    bool Contains(std::string_view text, std::string_view fragment) const {
        return Visit([&](auto rules) { return rules.Contains(text, fragment); });
    }
    int Compare(std::string_view a, std::string_view b) const {
        return Visit([&](auto rules) { return rules.Compare(a, b); });
    }
    Key SortKey(std::string_view text) const {
        return Visit([&](auto rules) { return rules.SortKey(text); });
    }
    int CompareFolderNames(std::string_view a, std::string_view b) const {
        return Visit([&](auto rules) { return rules.CompareFolderNames(a, b); });
    }
    // Whether every character of `text` is one the encoding defines (no byte shown as U+FFFD).
    bool IsValid(std::string_view text) const {
        return Visit([&](auto rules) { return rules.IsValid(text); });
    }
    std::u16string ToUtf16(std::string_view bytes) const {
        return Visit([&](auto rules) { return rules.ToUtf16(bytes); });
    }
    std::string ToUtf8(std::string_view bytes) const {
        return Visit([&](auto rules) { return rules.ToUtf8(bytes); });
    }
    EncodeResult FromUtf16(std::u16string_view text) const {
        return Visit([&](auto rules) { return rules.FromUtf16(text); });
    }
    EncodeResult FromUtf8(std::string_view text) const {
        return Visit([&](auto rules) { return rules.FromUtf8(text); });
    }
    std::string FromUtf8Literal(std::string_view text) const {
        return Visit([&](auto rules) { return rules.FromUtf8Literal(text); });
    }

private:
    static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

    Encoding m_encoding = Encoding::Cp932;
};

}  // namespace mopira
