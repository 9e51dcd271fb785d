#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

// What every encoding shares on the Unicode side: reading UTF-8 and UTF-16, writing UTF-8, and
// collecting the characters an encoding has no bytes for.
namespace mopira {

// Result of turning Unicode text into bytes: the bytes of every character that could be
// represented, and the characters that could not (each listed once, in order of first
// appearance). The text is usable only when nothing is missing.
struct EncodeResult {
    std::string bytes;
    std::u32string unrepresentable;

    bool Ok() const { return unrepresentable.empty(); }
};

namespace unicode {

inline constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that starts at `pos` (< text.size()), storing its
// code point; 0 when the bytes there are no character (a stray continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF or a sequence cut short).
inline std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t length = 0;
    // The second byte's range carries the rules against overlong forms, surrogates and
    // values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - pos < length) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second < low || second > high) {
        return 0;
    }
    c = (c << 6) | (second & 0x3F);
    for (std::size_t k = 2; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[pos + k]);
        if (!IsContinuation(next)) {
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t c);
void AppendUtf16(std::u16string& out, char32_t c);

// Encodes UTF-16 or UTF-8 text with `encode(c, bytes)`, which appends the bytes of one code
// point and returns false when the encoding has none. Unpaired surrogates and malformed
// UTF-8 are reported as U+FFFD, one for each malformed byte.
template <class EncodeChar>
class CUnicodeEncoder {
public:
    explicit CUnicodeEncoder(EncodeChar encode) : m_encode(std::move(encode)) {}

    EncodeResult FromUtf16(std::u16string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i];
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                Put(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
                ++i;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                Refuse(kReplacement);
            } else {
                Put(unit);
            }
        }
        return std::move(m_result);
    }

    EncodeResult FromUtf8(std::string_view text) {
        m_result.bytes.reserve(text.size());
        for (std::size_t i = 0; i < text.size();) {
            char32_t c = 0;
            const std::size_t length = DecodeUtf8(text, i, c);
            if (length == 0) {
                Refuse(kReplacement);
                ++i;
            } else {
                Put(c);
                i += length;
            }
        }
        return std::move(m_result);
    }

private:
    void Put(char32_t c) {
        if (!m_encode(c, m_result.bytes)) {
            Refuse(c);
        }
    }
    void Refuse(char32_t c) {
        if (m_seen.insert(c).second) {
            m_result.unrepresentable += c;
        }
    }

    EncodeChar m_encode;
    EncodeResult m_result;
    std::unordered_set<char32_t> m_seen;
};

}  // namespace unicode
}  // namespace mopira
