#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/text/KanaFold.h"
#include "core/text/Unicode.h"

namespace mopira::kana {
namespace {

struct Pair {
    std::string input;
    std::string expected;
};

TEST(KanaFold, BringsTheFormsOfOneWordTogether) {
    const std::vector<Pair> pairs = {
        {"ナク", "なく"},
        {"ﾅｸ", "なく"},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞ", "がぎぐげご"},
        {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ぱぴぷぺぽ"},
        {"ｳﾞｧｲｵﾘﾝ", "ゔぁいおりん"},
        {"ｰ･｡｢｣､ｦｯｬ", "ー・。「」、をっゃ"},
        {"ﾞﾟ", "゛゜"},                // a mark with no kana before it stays a mark
        {"ｱﾞ", "あ゛"},                // and so after a kana that takes none
        {"か\u3099は\u309A", "がぱ"},  // combining marks join
        {"ＮＡＫＵ１！", "naku1!"},    // full-width ASCII
        {"Naku", "naku"},
        {"泣\u3000く", "泣 く"},  // the ideographic space
        {"ヴヽヾ", "ゔゝゞ"},
        {"(´・ω・)", "(´・ω・)"},  // emoticons keep their characters
        {"a\xFF"
         "b\xE3\x81",
         "a\xFF"
         "b\xE3\x81"},  // and bytes that are no character
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(FoldForMatch(pair.input), pair.expected) << pair.input;
    }
}

TEST(KanaFold, LongVowelMarksAfterKanaBecomeTheirVowels) {
    const std::vector<Pair> pairs = {
        {"にゃー", "にゃあ"},   {"らーめん", "らあめん"}, {"すーぱー", "すうぱあ"},
        {"ねーー", "ねええ"},  // a run lengthens the same vowel
        {"んー", "んー"},       {"っー", "っー"},         {"ー", "ー"},
        {"(ー_ー)", "(ー_ー)"},  // a mark after no kana is a line
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(FoldLongVowels(pair.input), pair.expected) << pair.input;
    }
}

TEST(KanaFold, HiraganaOfKatakanaLeavesTheRestAsTyped) {
    const std::vector<Pair> pairs = {
        {"ネコ", "ねこ"},
        {"ｶﾞｯｶﾘｰ", "がっかりー"},
        {"ヴヵヶ", "ゔゕゖ"},
        {"ク\u3099", "ぐ"},
        // Unlike matching, letters, full-width forms and spaces are the user's own.
        {"ＤＳ Naku　ﾈｺ！", "ＤＳ Naku　ねこ！"},
        {"泣く(´・ω・)", "泣く(´・ω・)"},
        {"\xFFア", "\xFFあ"},
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(ToHiragana(pair.input), pair.expected) << pair.input;
    }
}

TEST(Romaji, ConvertsAsAnInputMethodWhileTyping) {
    struct Case {
        std::string romaji;
        std::string kana;
        std::string pending;
    };
    const std::vector<Case> cases = {
        {"naku", "なく", ""},
        {"nak", "な", "k"},
        {"nakky", "なっ", "ky"},
        {"n", "", "n"},
        {"kanji", "かんじ", ""},
        {"kannji", "かんじ", ""},
        {"kan'i", "かんい", ""},
        {"kani", "かに", ""},
        {"hon", "ほ", "n"},
        {"honn", "ほん", ""},
        {"nyaa", "にゃあ", ""},
        {"kko", "っこ", ""},
        {"matcha", "まっちゃ", ""},
        {"shi si chi ti tsu tu fu hu", "し し ち ち つ つ ふ ふ", ""},
        {"ja zya jya jo", "じゃ じゃ じゃ じょ", ""},
        {"ra-men", "らーめ", "n"},  // a last n may still begin な
        {"xtu ltu ltsu xa la xya lyo xwa", "っ っ っ ぁ ぁ ゃ ょ ゎ", ""},
        {"thi dhi fa vu wo", "てぃ でぃ ふぁ ゔ を", ""},
        {"(^o^)", "(^お^)", ""},  // letters that make kana amid signs still do
        {"qwz", "qw", "z"},       // letters that make none stay as they are
        {"なk", "な", "k"},
    };
    for (const Case& c : cases) {
        const RomajiReading reading = ConvertRomaji(c.romaji);
        EXPECT_EQ(reading.kana, c.kana) << c.romaji;
        EXPECT_EQ(reading.pending, c.pending) << c.romaji;
    }
}

TEST(Romaji, LettersStillTypedMayBecomeTheKanaThatStartWithThem) {
    auto has = [](const std::vector<std::string>& kana, const std::string& one) {
        return std::find(kana.begin(), kana.end(), one) != kana.end();
    };
    const std::vector<std::string> k = KanaStartingWith("k");
    EXPECT_TRUE(has(k, "か") && has(k, "こ") && has(k, "きゃ") && has(k, "っ"));
    EXPECT_FALSE(has(k, "な"));
    const std::vector<std::string> n = KanaStartingWith("n");
    EXPECT_TRUE(has(n, "な") && has(n, "にゃ") && has(n, "ん"));
    EXPECT_FALSE(has(n, "っ"));
    const std::vector<std::string> ts = KanaStartingWith("ts");
    EXPECT_TRUE(has(ts, "つ") && has(ts, "つぁ"));
    EXPECT_FALSE(has(ts, "た"));
    EXPECT_TRUE(KanaStartingWith("").empty());
}

// Every reading written as romaji for an input method converts back to itself; readings of
// random kana meet every rule of small tsu, ん and the long vowel at every place.
TEST(Romaji, EveryReadingComesBackFromTheRomajiWrittenForIt) {
    std::vector<std::string> kana;
    for (char32_t c = 0x3041; c <= 0x3094; ++c) {
        kana.emplace_back();
        unicode::AppendUtf8(kana.back(), c);
    }
    kana.emplace_back("ー");
    for (const std::string& one : kana) {
        ASSERT_TRUE(IsReading(one)) << one;
        const auto romaji = ReadingToRomaji(one);
        ASSERT_TRUE(romaji.has_value()) << one;
        EXPECT_EQ(ConvertRomaji(*romaji).kana, one) << *romaji;
    }
    const std::vector<std::string> kOften = {"っ", "ん", "ゃ", "ー"};
    std::mt19937 random(23);
    for (int round = 0; round < 20000; ++round) {
        std::string reading;
        const int length = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < length; ++i) {
            // っ, ん, small kana and ー often, so that they meet each other.
            reading +=
                random() % 3 == 0 ? kOften[random() % kOften.size()] : kana[random() % kana.size()];
        }
        const auto romaji = ReadingToRomaji(reading);
        ASSERT_TRUE(romaji.has_value()) << reading;
        const RomajiReading back = ConvertRomaji(*romaji);
        ASSERT_EQ(back.kana, reading) << *romaji;
        ASSERT_EQ(back.pending, "") << *romaji;
        for (char c : *romaji) {
            ASSERT_TRUE((c >= 'a' && c <= 'z') || c == '-') << *romaji;
        }
    }
    EXPECT_EQ(ReadingToRomaji("なく"), "naku");
    EXPECT_EQ(ReadingToRomaji("かんじ"), "kanji");
    EXPECT_EQ(ReadingToRomaji("ほん"), "honn");
    EXPECT_EQ(ReadingToRomaji("きっちゃ"), "kiccha");
    EXPECT_FALSE(IsReading("なく1"));
    EXPECT_FALSE(IsReading(""));
    EXPECT_FALSE(IsReading("ゕ"));
}

}  // namespace
}  // namespace mopira::kana
