#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Reference model of the characters of a UTF-8 library text, written from the standard's
// table of well-formed sequences: each well-formed sequence is one character valued by its
// code point, every other byte one character valued after all code points.
struct RefChar {
    std::size_t pos;
    std::size_t length;
    unsigned value;
};

std::vector<RefChar> RefChars(std::string_view text) {
    auto in = [](unsigned char byte, unsigned low, unsigned high) {
        return byte >= low && byte <= high;
    };
    std::vector<RefChar> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        auto at = [&](std::size_t k) {
            return pos + k < text.size() ? static_cast<unsigned char>(text[pos + k]) : 0u;
        };
        const unsigned b0 = at(0);
        std::size_t length = 0;
        if (b0 < 0x80) {
            length = 1;
        } else if (in(b0, 0xC2, 0xDF) && in(at(1), 0x80, 0xBF)) {
            length = 2;
        } else if (((b0 == 0xE0 && in(at(1), 0xA0, 0xBF)) ||
                    ((in(b0, 0xE1, 0xEC) || in(b0, 0xEE, 0xEF)) && in(at(1), 0x80, 0xBF)) ||
                    (b0 == 0xED && in(at(1), 0x80, 0x9F))) &&
                   in(at(2), 0x80, 0xBF)) {
            length = 3;
        } else if (((b0 == 0xF0 && in(at(1), 0x90, 0xBF)) ||
                    (in(b0, 0xF1, 0xF3) && in(at(1), 0x80, 0xBF)) ||
                    (b0 == 0xF4 && in(at(1), 0x80, 0x8F))) &&
                   in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF)) {
            length = 4;
        }
        if (pos + length > text.size()) {
            length = 0;
        }
        unsigned value = 0x110000 + b0;
        if (length > 0) {
            const unsigned masks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
            value = b0 & masks[length];
            for (std::size_t k = 1; k < length; ++k) {
                value = (value << 6) | (at(k) & 0x3F);
            }
        } else {
            length = 1;
        }
        chars.push_back({pos, length, value});
        pos += length;
    }
    return chars;
}

bool RefBoundary(std::string_view text, std::size_t pos) {
    if (pos == text.size()) {
        return true;
    }
    for (const RefChar& c : RefChars(text)) {
        if (c.pos == pos) {
            return true;
        }
    }
    return false;
}

std::vector<unsigned> RefValues(std::string_view text) {
    std::vector<unsigned> values;
    for (const RefChar& c : RefChars(text)) {
        values.push_back(c.value);
    }
    return values;
}

// Texts of bytes from every class that matters: ASCII, continuation bytes, the leads with
// narrowed second bytes, leads that never start a character, and whole characters.
std::string RandomText(std::mt19937& random, int maxLength) {
    static const std::vector<std::string> pieces = {
        "a",       "A",    "(",    "\x80", "\x8F", "\x9F", "\xA0",         "\xBF",
        "\xC0",    "\xC2", "\xDF", "\xE0", "\xE3", "\xED", "\xEF",         "\xF0",
        "\xF4",    "\xF5", "\xFF", "é",    "ω",    "・",   "\xE3\x81\x82", "\xF0\x9F\x98\x80",
        "\xCC\x80"};
    std::string text;
    const int length = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1));
    for (int i = 0; i < length; ++i) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

TEST(Utf8Boundaries, EachWellFormedSequenceIsOneCharacterAndEveryOtherByteItsOwn) {
    struct Case {
        std::string text;
        std::vector<std::size_t> lengths;
    };
    const std::vector<Case> cases = {
        {"aé・\U0001F600", {1, 2, 3, 4}},
        {"\xC0\xAF", {1, 1}},                // overlong
        {"\xED\xA0\x80", {1, 1, 1}},         // a surrogate
        {"\xF4\x90\x80\x80", {1, 1, 1, 1}},  // past U+10FFFF
        {"\xE3\x81", {1, 1}},                // cut short
        {"\x81\xE3\x81\x82", {1, 3}},        // a stray continuation byte before a character
        {"\xF5\xFF", {1, 1}},
    };
    for (const Case& c : cases) {
        std::vector<std::size_t> lengths;
        for (std::size_t pos = 0; pos < c.text.size(); pos += lengths.back()) {
            lengths.push_back(Utf8::CharLength(c.text, pos));
        }
        EXPECT_EQ(lengths, c.lengths) << testing::PrintToString(c.text);
    }
}

TEST(Utf8Boundaries, AgreeWithAWalkFromTheStartOnRandomTexts) {
    std::mt19937 random(8);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomText(random, 8);
        for (std::size_t pos = 0; pos <= text.size(); ++pos) {
            ASSERT_EQ(Utf8::IsCharBoundary(text, pos), RefBoundary(text, pos))
                << testing::PrintToString(text) << " at " << pos;
        }
    }
}

TEST(Utf8Find, MatchesWholeCharactersOnly) {
    const std::size_t none = std::string_view::npos;
    // あ is E3 81 82, ぁ E3 81 81, ア E3 82 A2.
    EXPECT_EQ(Utf8::Find("あ", "\x81\x82"), none) << "the second half of a character";
    EXPECT_EQ(Utf8::Find("あ", "\xE3\x81"), none) << "the first half of a character";
    EXPECT_EQ(Utf8::Find("ぁあ", "\x81\xE3"), none) << "straddling two characters";
    EXPECT_EQ(Utf8::Find("ぁあ", "あ"), 3u);
    EXPECT_EQ(Utf8::Find("\x82\xE3\x81\x82", "\x82"), 0u) << "a stray byte is a character";
    EXPECT_EQ(Utf8::Find("(ó)", "o"), none) << "no decomposition";
    // A combining mark is a character like any other: it is found alone, and a base
    // letter is found before it.
    EXPECT_EQ(Utf8::Find("(o\xCC\x81)", "\xCC\x81"), 2u);
    EXPECT_EQ(Utf8::Find("(o\xCC\x81)", "o"), 1u);
    EXPECT_EQ(Utf8::Find("ab", ""), 0u);

    std::mt19937 random(3);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomText(random, 8);
        const std::string fragment = RandomText(random, 2);
        std::size_t expected = none;
        for (std::size_t pos = text.find(fragment); pos != none;
             pos = text.find(fragment, pos + 1)) {
            if (RefBoundary(text, pos) && RefBoundary(text, pos + fragment.size())) {
                expected = pos;
                break;
            }
        }
        ASSERT_EQ(Utf8::Find(text, fragment), expected)
            << testing::PrintToString(text) << " " << testing::PrintToString(fragment);
    }
}

TEST(Utf8Compare, CodePointOrderWithStrayBytesLast) {
    EXPECT_LT(Utf8::Compare("A", "a"), 0);
    EXPECT_LT(Utf8::Compare("z", "é"), 0);
    EXPECT_LT(Utf8::Compare("\xEF\xBF\xBF", "\U0001F600"), 0);
    EXPECT_LT(Utf8::Compare("\U0010FFFF", "\x80"), 0) << "a stray byte after every code point";
    EXPECT_LT(Utf8::Compare("\x80", "\xFF"), 0);
    EXPECT_GT(Utf8::Compare("\xE3\x81", "\xE3\x81\x82"), 0)
        << "a sequence cut short is stray bytes, even before the bytes that complete it";
    EXPECT_LT(Utf8::Compare("\xE3\x81\x82", "\xE3\x81\x82\x82"), 0) << "a prefix is the smaller";
    EXPECT_GT(Utf8::Compare("\xE3\x81\x41", "\xE3\x81\x82"), 0) << "E3 alone is a stray byte";
    EXPECT_EQ(Utf8::Compare("é", "é"), 0);

    std::mt19937 random(932);
    for (int i = 0; i < 30000; ++i) {
        const std::string a = RandomText(random, 6);
        const std::string b = a.substr(0, random() % (a.size() + 1)) + RandomText(random, 4);
        const auto va = RefValues(a);
        const auto vb = RefValues(b);
        const int expected = va < vb ? -1 : (vb < va ? 1 : 0);
        ASSERT_EQ(Sign(Utf8::Compare(a, b)), expected)
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        ASSERT_EQ(Sign(Utf8::Compare(b, a)), -expected);
        // Keys never contradict the order.
        const auto keyA = Utf8::SortKey(a);
        const auto keyB = Utf8::SortKey(b);
        if (keyA != keyB) {
            ASSERT_EQ(keyA < keyB, expected < 0)
                << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        }
        if (Utf8::IsValid(a) && Utf8::IsValid(b)) {
            ASSERT_EQ(Sign(a.compare(b)), expected) << "well-formed text sorts as its bytes";
        }
    }
}

TEST(Utf8Compare, FolderNamesIgnoreAsciiCaseFirst) {
    EXPECT_LT(Utf8::CompareFolderNames("abc", "ABD"), 0);
    EXPECT_LT(Utf8::CompareFolderNames("A", "a"), 0) << "distinct names never tie";
    EXPECT_LT(Utf8::CompareFolderNames("Zoo", "é"), 0);
    EXPECT_LT(Utf8::CompareFolderNames("É", "é"), 0) << "only ASCII letters fold";
    EXPECT_GT(Utf8::CompareFolderNames("ｂ", "B"), 0) << "nor do full-width ones";
}

TEST(Utf8Codec, StrayBytesShowAsReplacementAndEveryCharacterEncodes) {
    EXPECT_EQ(Utf8::ToUtf16("a\xE3\x81"
                            "b\U0001F600"),
              u"a\uFFFD\uFFFDb\U0001F600");
    EXPECT_EQ(Utf8::ToUtf8("ʕ\xFF•ᴥ•ʔ"), "ʕ\uFFFD•ᴥ•ʔ");
    EXPECT_FALSE(Utf8::IsValid("ʕ\xFF"));
    EXPECT_TRUE(Utf8::IsValid("(｡•̀ᴗ-)✧"));

    const EncodeResult bear = Utf8::FromUtf16(u"ʕ•ᴥ•ʔ\U0001F600\uFFFD");
    EXPECT_TRUE(bear.Ok());
    EXPECT_EQ(bear.bytes, "ʕ•ᴥ•ʔ\U0001F600\uFFFD") << "a real U+FFFD is a character too";
    const EncodeResult broken = Utf8::FromUtf16(std::u16string(u"a") + char16_t(0xDC00) + u"b");
    EXPECT_EQ(broken.unrepresentable, U"\uFFFD") << "an unpaired surrogate";
    EXPECT_EQ(broken.bytes, "ab");
    EXPECT_EQ(Utf8::FromUtf8("a\xC0\xAF").unrepresentable, U"\uFFFD");
    EXPECT_EQ(Utf8::FromUtf8Literal("(´・ω・｀)"), "(´・ω・｀)");
}

TEST(CharsetValue, DispatchesToTheRulesOfItsEncoding) {
    const Charset cp932;
    const Charset utf8(Encoding::Utf8);
    EXPECT_EQ(cp932.GetEncoding(), Encoding::Cp932) << "CP932 unless asked";
    EXPECT_EQ(cp932.FromUtf8Literal("あ"), "\x82\xA0");
    EXPECT_EQ(utf8.FromUtf8Literal("あ"), "あ");
    EXPECT_EQ(cp932.ToUtf8("\x82\xA0"), "あ");
    EXPECT_EQ(utf8.CharLength("あ", 0), 3u);
    EXPECT_FALSE(utf8.Contains("あ", "\x82"));
    EXPECT_EQ(cp932.FileMark(), "");
    EXPECT_EQ(utf8.FileMark(), "\xEF\xBB\xBF");

    std::string_view marked =
        "\xEF\xBB\xBF"
        "a";
    EXPECT_EQ(Charset::TakeFileMark(marked), utf8);
    EXPECT_EQ(marked, "a");
    std::string_view plain =
        "\xEF\xBB"
        "a";
    EXPECT_EQ(Charset::TakeFileMark(plain), cp932);
    EXPECT_EQ(plain,
              "\xEF\xBB"
              "a");
}

}  // namespace
}  // namespace mopira
