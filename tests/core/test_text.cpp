#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "RandomText.h"
#include "ReferenceText.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"
#include "core/text/LineReader.h"
#include "core/text/TextSort.h"

namespace mopira {
namespace {

using reference::Sign;

// Two-byte characters whose second byte is an ASCII character.
const std::string kSo = "\x83\x5C";   // ソ
const std::string kHyo = "\x95\x5C";  // 表
const std::string kNo = "\x83\x6D";   // ノ
const std::string kA = "\x82\xA0";    // あ
const std::string kHalfKa = "\xB6";   // ｶ
// ＜ ends in 0x83, which also leads ャ: in "＜ャ" the bytes of ャ appear once off the boundary.
const std::string kLess = "\x81\x83";     // ＜
const std::string kSmallYa = "\x83\x83";  // ャ

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
        {"(" + kLess + kSmallYa + ")", kSmallYa, 3},  // the false candidate at 2 overlaps it
        {kLess + kSmallYa + kSmallYa, kSmallYa + kSmallYa, 2},
        {kLess + kLess, kLess, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932::Find(c.text, c.fragment), c.expected)
            << "text " << testing::PrintToString(c.text) << " fragment "
            << testing::PrintToString(c.fragment);
    }
    EXPECT_EQ(Cp932::Find("aXaX", "X", 2), 3u);
}

TEST(Cp932Find, AgreesWithTheBoundaryRuleOnRandomTexts) {
    // Pieces whose bytes overlap: trail bytes that are lead bytes (＜, ャ, 亜), a trail byte
    // that is ASCII (ソ), a lone lead byte that takes the next piece's first byte.
    const std::vector<std::string> pieces = {kLess, kSmallYa, kSo,    "\x88\x9F", "\\",
                                             "(",   kHalfKa,  "\x83", "a",        "\xE0\x40"};
    std::mt19937 random(0x8183);
    for (int i = 0; i < 50000; ++i) {
        const std::string text = RandomText(random, pieces, 8);
        std::string fragment;
        if (random() % 2 == 0) {
            // Any run of bytes of the text: it occurs, but perhaps only off the boundaries.
            const std::size_t start = random() % (text.size() + 1);
            fragment = text.substr(start, random() % 5);
        } else {
            fragment = RandomText(random, pieces, 2);
        }
        const std::size_t from = random() % (text.size() + 2);

        ASSERT_EQ(Cp932::Find(text, fragment, from), reference::Find(text, fragment, from))
            << "text " << testing::PrintToString(text) << " fragment "
            << testing::PrintToString(fragment) << " from " << from;
    }
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
        ASSERT_EQ(Sign(Cp932::Compare(a, b)), reference::Compare(a, b))
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
    }
}

TEST(FolderCollation, IgnoresAsciiCaseFirstAtTheEdgesOfTheLetters) {
    struct Case {
        std::string a;
        std::string b;
        int expected;
    };
    // The rule in a few cases; the random names below hold the code to it everywhere.
    const std::vector<Case> cases = {
        {"ab", "ABC", -1},  // a prefix once case is ignored comes first
        {"A", "a", -1},     // equal but for case: by character value, never a tie
        {"b", "C", -1},     // case does not outweigh a later letter
        {"@", "a", -1},     // letters fold to capitals: @ before every letter,
        {"[", "z", 1},      // [ and ` after every one
        {"`", "Z", 1},
        {"_a", "a", 1},
        {"\x82\x81"
         "a",
         "\x82\x60"
         "b",
         1},  // a full-width letter does not fold: ａa after Ａb
        {"z", kHalfKa, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(Cp932::CompareFolderNames(c.a, c.b)), c.expected)
            << testing::PrintToString(c.a) << " vs " << testing::PrintToString(c.b);
        EXPECT_EQ(Sign(Cp932::CompareFolderNames(c.b, c.a)), -c.expected)
            << testing::PrintToString(c.b) << " vs " << testing::PrintToString(c.a);
    }
}

TEST(FolderCollation, AgreesWithTheFoldedCharacterValuesOnRandomNames) {
    const std::vector<std::string> pieces = {"@", "A", "B",     "Y",        "Z",        "[",
                                             "`", "a", "b",     "y",        "z",        "{",
                                             "_", "!", kHalfKa, "\x82\x61", "\x82\x41", "\x81"};
    std::mt19937 random(0x5B60);
    for (int i = 0; i < 50000; ++i) {
        const std::string a = RandomText(random, pieces, 4);
        const std::string b =
            a.substr(0, random() % (a.size() + 1)) + RandomText(random, pieces, 3);
        const int order = Sign(Cp932::CompareFolderNames(a, b));
        ASSERT_EQ(order, reference::CompareFolderNames(a, b))
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        ASSERT_EQ(order == 0, a == b) << "distinct names never tie";
    }
}

// Whether `sorted` lists the texts as `expected` does; a failure shows the first place where
// they part, as text.
testing::AssertionResult SameOrder(const std::vector<std::string>& texts,
                                   const std::vector<std::size_t>& sorted,
                                   const std::vector<std::size_t>& expected) {
    const auto [at, _] = std::mismatch(sorted.begin(), sorted.end(), expected.begin());
    if (at == sorted.end()) {
        return testing::AssertionSuccess();
    }
    const auto place = static_cast<std::size_t>(at - sorted.begin());
    return testing::AssertionFailure()
           << "at " << place << " of " << sorted.size() << ": " << Cp932::ToUtf8(texts[*at])
           << " (#" << *at << ") instead of " << Cp932::ToUtf8(texts[expected[place]]) << " (#"
           << expected[place] << ")";
}

// Sorts the indices of `texts` both ways and holds them against a stable sort by plain
// character values, so equal texts must keep their order in both directions.
void ExpectSortedByCharacterValues(const std::vector<std::string>& texts) {
    std::vector<std::size_t> ids(texts.size());
    std::iota(ids.begin(), ids.end(), 0);
    auto textOf = [&texts](std::size_t id) -> std::string_view { return texts[id]; };
    std::vector<std::vector<unsigned>> values;
    for (const std::string& text : texts) {
        values.push_back(reference::CharValues(text));
    }
    auto expected = [&](bool ascending) {
        std::vector<std::size_t> order = ids;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return ascending ? values[a] < values[b] : values[b] < values[a];
        });
        return order;
    };
    std::vector<std::size_t> ascending = ids;
    SortByText(ascending, textOf, Charset(), true);
    EXPECT_TRUE(SameOrder(texts, ascending, expected(true)));
    std::vector<std::size_t> descending = ids;
    SortByText(descending, textOf, Charset(), false);
    EXPECT_TRUE(SameOrder(texts, descending, expected(false)));
}

// Texts that tie on their 16-byte sort keys: long shared beginnings, some ending with a
// two-byte character or a half-width one (two key bytes) across the 16th byte, then short
// random endings, with repeats.
TEST(TextSort, BothDirectionsFollowCharacterValuesWhereKeysTie) {
    const std::vector<std::string> beginnings = {"",
                                                 std::string(15, '('),
                                                 std::string(16, '('),
                                                 std::string(15, '(') + kA,
                                                 std::string(15, '(') + kHalfKa,
                                                 std::string(14, '(') + kSo + kHalfKa + kHalfKa,
                                                 std::string(6, '\xB1') + "(("};
    const std::vector<std::string> pieces = {"a", "A", "(", kHalfKa, kA, kSo, kNo, "\x81", "\xFD"};
    std::mt19937 random(16);
    std::vector<std::string> texts;
    for (int i = 0; i < 4000; ++i) {
        texts.push_back(beginnings[random() % beginnings.size()] + RandomText(random, pieces, 3));
    }
    ExpectSortedByCharacterValues(texts);
}

// The emoticons of a real library, each also behind the beginnings of three long ones of
// them, so that many pairs tie on their sort keys.
std::vector<std::string> RealTextsWithSharedBeginnings(const std::string& bytes) {
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    std::vector<std::string> faces;
    library.ForEachRecord([&](RecordId id) { faces.emplace_back(library.Text(id)); });

    std::vector<std::string> beginnings;
    for (const std::string& face : faces) {
        if (face.size() >= 17 && beginnings.size() < 3) {
            beginnings.push_back(face.substr(0, 17));
        }
    }
    std::vector<std::string> texts = faces;
    for (const std::string& beginning : beginnings) {
        for (const std::string& face : faces) {
            texts.push_back(beginning + face);
        }
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    std::shuffle(texts.begin(), texts.end(), std::mt19937(715));
    return texts;
}

TEST(TextSort, DescendingIsAscendingReversedOnARealLibrary) {
    std::ifstream file(MOPIRA_TEST_LIBRARY, std::ios::binary);
    ASSERT_TRUE(file) << MOPIRA_TEST_LIBRARY;
    const std::vector<std::string> texts = RealTextsWithSharedBeginnings(
        {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
    ASSERT_GT(texts.size(), 700u * 4);
    ExpectSortedByCharacterValues(texts);

    std::vector<std::size_t> ascending(texts.size());
    std::iota(ascending.begin(), ascending.end(), 0);
    std::vector<std::size_t> descending = ascending;
    auto textOf = [&texts](std::size_t id) -> std::string_view { return texts[id]; };
    SortByText(ascending, textOf, Charset(), true);
    SortByText(descending, textOf, Charset(), false);
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_TRUE(SameOrder(texts, descending, ascending)) << "the texts are distinct";
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
