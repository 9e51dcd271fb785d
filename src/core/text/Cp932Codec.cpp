#include <array>
#include <utility>

#include "core/text/Cp932.h"
#include "core/text/Cp932Table.h"

namespace mopira {

namespace {

constexpr char16_t kReplacement = unicode::kReplacement;
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

// Appends the code of `c`; false when the code page has none.
bool EncodeCharacter(char32_t c, std::string& bytes) {
    if (c < 0x80) {
        bytes += static_cast<char>(c);  // ASCII stands for itself
        return true;
    }
    const std::uint16_t code = c <= 0xFFFF ? EncoderTable()[c] : kNoCode;
    if (code == kNoCode) {
        return false;
    }
    if (code >= 0x100) {
        bytes += static_cast<char>(code >> 8);
    }
    bytes += static_cast<char>(code & 0xFF);
    return true;
}

// For every two-byte code, the code Windows writes for its character; the code itself for
// the characters that have only one, and for unassigned codes.
struct CodeVariants {
    std::array<std::uint16_t, 0x10000> preferred{};
    // Codes that other codes stand for.
    std::array<bool, 0x10000> hasVariants{};
};

const CodeVariants& Variants() {
    static const CodeVariants variants = [] {
        CodeVariants result;
        for (unsigned code = 0; code < 0x10000; ++code) {
            result.preferred[code] = static_cast<std::uint16_t>(code);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (cp932::LeadRow(lead) < 0) {
                continue;
            }
            for (unsigned trail = cp932::kTrailFirst; trail <= cp932::kTrailLast; ++trail) {
                const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t unit = DecodeCharacter(std::string_view(pair, 2), 0, 2);
                const unsigned code = lead * 256 + trail;
                const std::uint16_t preferred = EncoderTable()[unit];
                if (unit != kReplacement && preferred != code) {
                    result.preferred[code] = preferred;
                    result.hasVariants[preferred] = true;
                }
            }
        }
        return result;
    }();
    return variants;
}

// Lead bytes of the ranges that repeat characters: NEC row 13, the NEC-selected IBM
// extension and the IBM extension.
constexpr bool MayRepeat(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
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
        unicode::AppendUtf8(text, DecodeCharacter(bytes, pos, length));
        pos += length;
    }
    return text;
}

EncodeResult Cp932::FromUtf16(std::u16string_view text) {
    return unicode::CUnicodeEncoder(EncodeCharacter).FromUtf16(text);
}

EncodeResult Cp932::FromUtf8(std::string_view text) {
    // The common case in one pass, written straight into the result: an import converts
    // every line of a file of a million.
    const EncodeTable& table = EncoderTable();
    EncodeResult result;
    result.bytes.resize(text.size());  // CP932 never takes more bytes than UTF-8
    char* out = result.bytes.data();
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            *out++ = static_cast<char>(lead);
            ++pos;
            continue;
        }
        char32_t c = 0;
        std::size_t length = 0;
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && text.size() - pos >= 3 &&
            (static_cast<unsigned char>(text[pos + 1]) & 0xC0) == 0x80 &&
            (static_cast<unsigned char>(text[pos + 2]) & 0xC0) == 0x80) {
            // Most Japanese: three bytes whose second byte has no special range.
            c = (char32_t(lead & 0x0F) << 12) |
                (char32_t(static_cast<unsigned char>(text[pos + 1]) & 0x3F) << 6) |
                char32_t(static_cast<unsigned char>(text[pos + 2]) & 0x3F);
            length = 3;
        } else {
            length = unicode::DecodeUtf8(text, pos, c);
        }
        const std::uint16_t code = length != 0 && c <= 0xFFFF ? table[c] : kNoCode;
        if (code == kNoCode) {
            // Something CP932 lacks, or malformed UTF-8: the general encoder names it.
            return unicode::CUnicodeEncoder(EncodeCharacter).FromUtf8(text);
        }
        if (code >= 0x100) {
            *out++ = static_cast<char>(code >> 8);
        }
        *out++ = static_cast<char>(code & 0xFF);
        pos += length;
    }
    result.bytes.resize(static_cast<std::size_t>(out - result.bytes.data()));
    return result;
}

bool Cp932::IsValid(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (DecodeCharacter(text, pos, length) == kReplacement) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::string_view Cp932::SearchForm(std::string_view text, std::string& buffer) {
    bool copied = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (length == 2 && MayRepeat(lead)) {
            const unsigned code = lead * 256u + static_cast<unsigned char>(text[pos + 1]);
            const std::uint16_t preferred = Variants().preferred[code];
            if (preferred != code) {
                if (!copied) {
                    buffer.assign(text);
                    copied = true;
                }
                buffer[pos] = static_cast<char>(preferred >> 8);
                buffer[pos + 1] = static_cast<char>(preferred & 0xFF);
            }
        }
        pos += length;
    }
    return copied ? std::string_view(buffer) : text;
}

bool Cp932::HasCodeVariants(std::string_view searchForm) {
    for (std::size_t pos = 0; pos < searchForm.size();) {
        const std::size_t length = CharLength(searchForm, pos);
        if (length == 2 &&
            Variants().hasVariants[static_cast<unsigned char>(searchForm[pos]) * 256u +
                                   static_cast<unsigned char>(searchForm[pos + 1])]) {
            return true;
        }
        pos += length;
    }
    return false;
}

}  // namespace mopira
