#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/text/Charset.h"
#include "core/text/LineReader.h"

namespace mopira {
namespace {

// Two-byte characters whose second byte is an ASCII character.
const std::string kSo = "\x83\x5C";   // ソ
const std::string kHyo = "\x95\x5C";  // 表
const std::string kNo = "\x83\x6D";   // ノ
const std::string kA = "\x82\xA0";    // あ
const std::string kHalfKa = "\xB6";   // ｶ

TEST(Cp932Boundaries, CharacterLengths) {
    EXPECT_EQ(Cp932::CharLength(kSo, 0), 2u);
    EXPECT_EQ(Cp932::CharLength(kHalfKa, 0), 1u);
    EXPECT_EQ(Cp932::CharLength("\x81", 0), 1u) << "a lead byte at the end stands alone";
    EXPECT_EQ(Cp932::CharLength("a\xE0", 1), 1u);
    EXPECT_EQ(Cp932::CharLength("\xFC\x40", 0), 2u);
    EXPECT_EQ(Cp932::CharLength("\xFD\x40", 0), 1u);
    EXPECT_EQ(Cp932::CharLength("\x80\x40", 0), 1u);
    EXPECT_EQ(Cp932::CharLength("\xA0\x40", 0), 1u);

    const std::string text = "a" + kSo + kHalfKa + "\x81";
    const std::vector<bool> boundaries = {true, true, false, true, true, true};
    for (std::size_t pos = 0; pos < boundaries.size(); ++pos) {
        EXPECT_EQ(Cp932::IsCharBoundary(text, pos), boundaries[pos]) << pos;
    }
}

TEST(Cp932Find, MatchesOnlyAtCharacterBoundaries) {
    struct Case {
        std::string text;
        std::string fragment;
        std::size_t expected;
    };
    const std::size_t none = std::string_view::npos;
    const std::vector<Case> cases = {
        {kSo, "\\", none},
        {kHyo + kSo, "\\", none},
        {kNo, "m", none},
        {kSo + "\\", "\\", 2},
        {"(" + kNo + ")m", "m", 4},
        {kSo + kSo, "\x5C\x83", none},  // straddles two characters
        {kSo + kSo, kSo, 0},
        {"a" + kSo + kSo, kSo, 1},
        {"\x83" + kSo, kSo, none},  // "\x83\x83" is one character, then a lone 0x5C
        {kHalfKa + kHalfKa, kHalfKa, 0},
        {"abc", "", 0},
        {"", "a", none},
        {std::string("x\0y", 3), std::string("\0y", 2), 1},
        {"ab\x81", "\x81", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932::Find(c.text, c.fragment), c.expected)
            << "text " << testing::PrintToString(c.text) << " fragment "
            << testing::PrintToString(c.fragment);
    }
    EXPECT_EQ(Cp932::Find("aXaX", "X", 2), 3u);
}

// Independent statement of the order: the sequence of character values, compared
// lexicographically.
std::vector<unsigned> CharValues(std::string_view text) {
    std::vector<unsigned> values;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        if (isLead && pos + 1 < text.size()) {
            values.push_back(lead * 256u + static_cast<unsigned char>(text[pos + 1]));
            pos += 2;
        } else {
            values.push_back(lead);
            pos += 1;
        }
    }
    return values;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(Cp932Compare, OrdersByCharacterValue) {
    struct Case {
        std::string a;
        std::string b;
        int expected;
    };
    const std::vector<Case> cases = {
        {"A", "a", -1},
        {"a", "ab", -1},
        {"", "", 0},
        {"", "\x81", -1},
        {kHalfKa, kA, -1},         // half-width katakana before any two-byte character
        {"\xDF", "\x81\x40", -1},  // even though its byte is larger than the lead
        {"\xFD", "\xE0\x40", -1},
        {"\x85", "\x81\x40", -1},  // a lone lead byte at the end is a one-byte character
        {kSo, kNo, -1},
        {kA, kA, 0},
        {"(" + kA + ")", "(" + kHalfKa + ")", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(Cp932::Compare(c.a, c.b)), c.expected)
            << testing::PrintToString(c.a) << " vs " << testing::PrintToString(c.b);
        EXPECT_EQ(Sign(Cp932::Compare(c.b, c.a)), -c.expected);
    }
}

TEST(Cp932Compare, AgreesWithCharacterValuesOnRandomTexts) {
    // Bytes drawn from the interesting classes: ASCII, trail-only values, half-width
    // katakana, lead bytes and the unassigned single bytes.
    const std::string alphabet = "a(^\x40\x5C\x7E\x80\xA0\xB1\xDF\xFD\x81\x82\x9F\xE0\xFC";
    std::mt19937 random(932);
    auto randomText = [&] {
        std::string text;
        const int length = static_cast<int>(random() % 6);
        for (int i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string a = randomText();
        std::string b = a.substr(0, random() % (a.size() + 1)) + randomText();
        const auto va = CharValues(a);
        const auto vb = CharValues(b);
        const int expected = va < vb ? -1 : (vb < va ? 1 : 0);
        ASSERT_EQ(Sign(Cp932::Compare(a, b)), expected)
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
    }
}

TEST(Cp932Compare, FolderNamesIgnoreAsciiCaseFirst) {
    EXPECT_LT(Cp932::CompareFolderNames("abc", "ABD"), 0);
    EXPECT_LT(Cp932::CompareFolderNames("b", "C"), 0);
    EXPECT_LT(Cp932::CompareFolderNames("A", "a"), 0) << "distinct names never tie";
    EXPECT_GT(Cp932::CompareFolderNames("a", "A"), 0);
    EXPECT_EQ(Cp932::CompareFolderNames("Ab", "Ab"), 0);
    EXPECT_LT(Cp932::CompareFolderNames("zoo", kA), 0);
    // A trail byte that looks like a letter is not a letter.
    EXPECT_GT(Cp932::CompareFolderNames("\x82\x61"
                                        "a",
                                        "\x82\x41"
                                        "b"),
              0);
}

TEST(LineReader, SplitsAtLfAndDropsTheCrBeforeIt) {
    const std::string bytes = std::string("one\r\ntwo\n\r\n\rthree\r\r\nla\0st", 25);
    CLineReader reader(bytes);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
    }
    const std::vector<std::string> expected = {"one", "two", "", "\rthree\r",
                                               std::string("la\0st", 5)};
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(line.empty());

    CLineReader endsWithLineEnd("a\r\n");
    ASSERT_TRUE(endsWithLineEnd.Next(line));
    EXPECT_FALSE(endsWithLineEnd.Next(line)) << "no phantom line after the last line end";
}

}  // namespace
}  // namespace mopira
