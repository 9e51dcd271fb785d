#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {
namespace {

std::string Bytes(unsigned code) {
    return code < 0x100 ? std::string(1, static_cast<char>(code))
                        : std::string{static_cast<char>(code >> 8), static_cast<char>(code)};
}

TEST(Cp932Codec, MicrosoftMappingBothWays) {
    struct Case {
        unsigned code;
        char16_t unicode;
    };
    const std::vector<Case> cases = {
        {0x5C, u'\u005C'},   {0x7E, u'\u007E'},   {0x815F, u'\uFF3C'}, {0x8160, u'\uFF5E'},
        {0x8161, u'\u2225'}, {0x817C, u'\uFF0D'}, {0x8191, u'\uFFE0'}, {0x8192, u'\uFFE1'},
        {0x81CA, u'\uFFE2'}, {0x82A0, u'\u3042'}, {0x889F, u'\u4E9C'}, {0x8740, u'\u2460'},
        {0xFA40, u'\u2170'}, {0xF040, u'\uE000'}, {0x00, u'\u0000'},   {0x20, u' '},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932::ToUtf16(Bytes(c.code)), std::u16string(1, c.unicode))
            << std::hex << c.code;
        const EncodeResult encoded = Cp932::FromUtf16(std::u16string(1, c.unicode));
        EXPECT_TRUE(encoded.Ok()) << std::hex << c.code;
        EXPECT_EQ(encoded.bytes, Bytes(c.code)) << std::hex << c.code;
    }
    for (unsigned byte = 0xA1; byte <= 0xDF; ++byte) {
        const auto unicode = static_cast<char16_t>(0xFF61 + (byte - 0xA1));
        EXPECT_EQ(Cp932::ToUtf16(Bytes(byte)), std::u16string(1, unicode));
        EXPECT_EQ(Cp932::FromUtf16(std::u16string(1, unicode)).bytes, Bytes(byte));
    }
}

// The single bytes that are neither ASCII, half-width katakana nor lead bytes: Windows reads
// 0x80 as U+0080 and the other four as private-use characters, and writes them back alike.
// Each stays one character even where the byte after it could trail a lead byte.
TEST(Cp932Codec, SingleBytes80A0FdFeFfBothWays) {
    struct Case {
        char byte;
        char16_t unicode;
        const char* utf8;
    };
    const std::vector<Case> cases = {
        {'\x80', u'\u0080', "\xC2\x80"},     {'\xA0', u'\uF8F0', "\xEF\xA3\xB0"},
        {'\xFD', u'\uF8F1', "\xEF\xA3\xB1"}, {'\xFE', u'\uF8F2', "\xEF\xA3\xB2"},
        {'\xFF', u'\uF8F3', "\xEF\xA3\xB3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(1, c.byte)));
        const std::string alone(1, c.byte);
        // あ, the byte, @ (a trail byte), the byte, あ
        const std::string bytes = "\x82\xA0" + alone + "\x40" + alone + "\x82\xA0";
        const std::u16string utf16 =
            u"あ" + std::u16string(1, c.unicode) + u"@" + std::u16string(1, c.unicode) + u"あ";
        const std::string utf8 = "あ" + std::string(c.utf8) + "@" + c.utf8 + "あ";

        EXPECT_EQ(Cp932::CharLength(bytes, 2), 1u);
        EXPECT_EQ(Cp932::ToUtf16(alone), std::u16string(1, c.unicode));
        EXPECT_EQ(Cp932::ToUtf16(bytes), utf16);
        EXPECT_EQ(Cp932::ToUtf8(bytes), utf8);

        const EncodeResult fromUtf16 = Cp932::FromUtf16(utf16);
        EXPECT_TRUE(fromUtf16.Ok());
        EXPECT_EQ(fromUtf16.bytes, bytes);
        const EncodeResult fromUtf8 = Cp932::FromUtf8(utf8);
        EXPECT_TRUE(fromUtf8.Ok());
        EXPECT_EQ(fromUtf8.bytes, bytes);
    }
}

TEST(Cp932Codec, RepeatedCharactersEncodeToTheCodeWindowsWrites) {
    // ≒ is in JIS X 0208 and NEC row 13, ⅰ in both IBM extension ranges, ￢ in all three.
    EXPECT_EQ(Cp932::ToUtf16("\x87\x90"), u"\u2252");
    EXPECT_EQ(Cp932::FromUtf16(u"\u2252").bytes, "\x81\xE0");
    EXPECT_EQ(Cp932::ToUtf16("\xEE\xEF"), u"\u2170");
    EXPECT_EQ(Cp932::FromUtf16(u"\u2170").bytes, "\xFA\x40");
    EXPECT_EQ(Cp932::ToUtf16("\xEE\xF9"), u"\uFFE2");
    EXPECT_EQ(Cp932::FromUtf16(u"\uFFE2").bytes, "\x81\xCA");
    EXPECT_EQ(Cp932::FromUtf16(u"\u2160").bytes, "\x87\x54");  // Ⅰ: NEC row 13 first
}

TEST(Cp932Codec, JisFormsFromOtherSystemsAreStoredAsTheirWindowsForm) {
    // 〜 − ‖ — ¢ £ ¬ as a Mac writes them; ¥ and ‾ are refused, not turned into \ and ~.
    const EncodeResult pasted = Cp932::FromUtf8("〜−‖—¢£¬");
    EXPECT_TRUE(pasted.Ok());
    EXPECT_EQ(Cp932::ToUtf8(pasted.bytes), "～－∥―￠￡￢");
    EXPECT_EQ(Cp932::FromUtf8("¥‾").unrepresentable, U"¥‾");
}

TEST(Cp932Codec, EveryAssignedCodeSurvivesDecodeAndEncode) {
    int repeated = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) {
            continue;
        }
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes = Bytes(lead * 256 + trail);
            const std::u16string text = Cp932::ToUtf16(bytes);
            ASSERT_EQ(text.size(), 1u);
            if (text[0] == 0xFFFD) {
                continue;
            }
            const EncodeResult encoded = Cp932::FromUtf16(text);
            ASSERT_TRUE(encoded.Ok()) << std::hex << lead << trail;
            if (encoded.bytes != bytes) {
                // Only the extensions repeat characters, and the code chosen decodes the same.
                ++repeated;
                EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA)
                    << std::hex << lead << trail;
                EXPECT_EQ(Cp932::ToUtf16(encoded.bytes), text);
            }
        }
    }
    EXPECT_GT(repeated, 300);
    EXPECT_LT(repeated, 420);
}

TEST(Cp932Codec, DecodingNeverFails) {
    EXPECT_EQ(Cp932::ToUtf16("a\x81"), u"a\uFFFD") << "lone lead byte at the end";
    EXPECT_EQ(Cp932::ToUtf16("\x81\x20z"), u"\uFFFDz") << "the pair is one character";
    EXPECT_EQ(Cp932::ToUtf16("\x85\x40"), u"\uFFFD") << "unassigned pair";
    EXPECT_EQ(Cp932::ToUtf8("(\x82\xA0)\xB1"), "(あ)ｱ");
    EXPECT_EQ(Cp932::ToUtf8(std::string("\0", 1)), std::string("\0", 1));
}

TEST(Cp932Codec, ReportsExactlyTheCharactersItCannotStore) {
    const EncodeResult bear = Cp932::FromUtf8("ʕ•ᴥ•ʔ");
    EXPECT_FALSE(bear.Ok());
    EXPECT_EQ(bear.unrepresentable, U"ʕ•ᴥʔ") << "each character once, in order";

    const EncodeResult wink = Cp932::FromUtf8("(｡•̀ᴗ-)✧");
    EXPECT_EQ(wink.unrepresentable, U"•\u0300ᴗ✧");

    const EncodeResult emoji = Cp932::FromUtf16(u"a\U0001F600b");
    EXPECT_EQ(emoji.unrepresentable, U"\U0001F600");
    EXPECT_EQ(emoji.bytes, "ab");

    EXPECT_EQ(Cp932::FromUtf16(std::u16string(1, char16_t(0xD800))).unrepresentable, U"\uFFFD")
        << "an unpaired surrogate";
    EXPECT_EQ(Cp932::FromUtf8("a\xC0\xAF"
                              "b")
                  .unrepresentable,
              U"\uFFFD")
        << "overlong";
    EXPECT_EQ(Cp932::FromUtf8("\xE3\x81").unrepresentable, U"\uFFFD") << "cut short";

    const EncodeResult face = Cp932::FromUtf8("(´・ω・｀)ｼｮﾎﾞｰﾝ");
    EXPECT_TRUE(face.Ok());
    EXPECT_EQ(Cp932::ToUtf8(face.bytes), "(´・ω・｀)ｼｮﾎﾞｰﾝ");
    EXPECT_EQ(Cp932::ToUtf16(face.bytes), u"(´・ω・｀)ｼｮﾎﾞｰﾝ");
}

}  // namespace
}  // namespace mopira
