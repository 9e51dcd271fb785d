#include <array>
#include <unordered_set>
#include <utility>

#include "core/text/Cp932.h"
#include "core/text/Cp932Table.h"

namespace mopira {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::uint16_t kNoCode = 0xFFFF;  // neither a one-byte nor a two-byte code

char16_t DecodeCharacter(std::string_view bytes, std::size_t pos, std::size_t length) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (length == 1) {
        return cp932::kSingleByte[lead];
    }
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    if (trail < cp932::kTrailFirst || trail > cp932::kTrailLast) {
        return kReplacement;
    }
    return cp932::kDoubleByte[cp932::LeadRow(lead) * cp932::kTrailCount +
                              (trail - cp932::kTrailFirst)];
}

// Several characters have two or three codes (the NEC and IBM extensions repeat some).
// Windows writes the JIS X 0208 code first, then NEC row 13, then the IBM extension, then
// the NEC-selected IBM extension; filling the table in that order gives the same choice.
constexpr unsigned kLeadPreference[] = {
    0x81, 0x82, 0x83, 0x84, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x91, 0x92,
    0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xE0, 0xE1,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0x87, 0xFA, 0xFB, 0xFC, 0xED, 0xEE,
    0x85, 0x86, 0xEB, 0xEC, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,
};
static_assert(std::size(kLeadPreference) == 60, "every lead byte once");

// The same JIS X 0208 characters as other systems map them (text pasted from a Mac or typed
// with some input methods): stored as the character the user sees, read back in the
// Windows form.
constexpr std::pair<char16_t, std::uint16_t> kJisVariants[] = {
    {u'\u00A2', 0x8191}, {u'\u00A3', 0x8192}, {u'\u00AC', 0x81CA}, {u'\u2014', 0x815C},
    {u'\u2016', 0x8161}, {u'\u2212', 0x817C}, {u'\u301C', 0x8160},
};

using EncodeTable = std::array<std::uint16_t, 0x10000>;

const EncodeTable& EncoderTable() {
    static const EncodeTable table = [] {
        EncodeTable result;
        result.fill(kNoCode);
        auto claim = [&result](char16_t unit, std::uint16_t code) {
            if (unit != kReplacement && result[unit] == kNoCode) {
                result[unit] = code;
            }
        };
        for (unsigned byte = 0; byte < 256; ++byte) {
            claim(cp932::kSingleByte[byte], static_cast<std::uint16_t>(byte));
        }
        for (unsigned lead : kLeadPreference) {
            for (unsigned trail = cp932::kTrailFirst; trail <= cp932::kTrailLast; ++trail) {
                claim(cp932::kDoubleByte[cp932::LeadRow(lead) * cp932::kTrailCount +
                                         (trail - cp932::kTrailFirst)],
                      static_cast<std::uint16_t>(lead * 256 + trail));
            }
        }
        for (const auto& [unit, code] : kJisVariants) {
            claim(unit, code);
        }
        return result;
    }();
    return table;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Collects the bytes of one encoding pass and the characters it could not write.
class CEncoder {
public:
    void Put(char32_t c) {
        const std::uint16_t code = c <= 0xFFFF ? EncoderTable()[c] : kNoCode;
        if (code == kNoCode) {
            if (m_seen.insert(c).second) {
                m_result.unrepresentable += c;
            }
        } else if (code < 0x100) {
            m_result.bytes += static_cast<char>(code);
        } else {
            m_result.bytes += static_cast<char>(code >> 8);
            m_result.bytes += static_cast<char>(code & 0xFF);
        }
    }
    EncodeResult Take() { return std::move(m_result); }

private:
    EncodeResult m_result;
    std::unordered_set<char32_t> m_seen;
};

// Length of the UTF-8 sequence led by `lead`, or 0 when it cannot lead one.
int Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

std::u16string Cp932::ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = CharLength(bytes, pos);
        text += DecodeCharacter(bytes, pos, length);
        pos += length;
    }
    return text;
}

std::string Cp932::ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = CharLength(bytes, pos);
        AppendUtf8(text, DecodeCharacter(bytes, pos, length));
        pos += length;
    }
    return text;
}

EncodeResult Cp932::FromUtf16(std::u16string_view text) {
    CEncoder encoder;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            encoder.Put(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            encoder.Put(kReplacement);
        } else {
            encoder.Put(unit);
        }
    }
    return encoder.Take();
}

EncodeResult Cp932::FromUtf8(std::string_view text) {
    CEncoder encoder;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = Utf8SequenceLength(lead);
        if (length == 1) {
            encoder.Put(lead);
            ++i;
            continue;
        }
        char32_t c = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        valid = valid && !(length == 3 && c < 0x800) && !(length == 4 && c < 0x10000) &&
                !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
        if (valid) {
            encoder.Put(c);
            i += length;
        } else {
            encoder.Put(kReplacement);
            ++i;
        }
    }
    return encoder.Take();
}

}  // namespace mopira
