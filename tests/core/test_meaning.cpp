#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Kaomojikan.h"
#include "core/library/MeaningIndex.h"
#include "core/library/TextQuery.h"
#include "core/text/KanaFold.h"

namespace mopira {
namespace {

using Order = CFaceLibrary::Order;

// The rule of a meaning match, said plainly: the folded word starts with the folded token,
// or with the token read as romaji followed by a kana its last letters may become; a long
// vowel mark after a kana counts as the vowel it lengthens.
bool StartsWord(std::string_view utf8Token, std::string_view word) {
    const std::string token = kana::FoldForMatch(utf8Token);
    const std::string folded = kana::FoldLongVowels(kana::FoldForMatch(word));
    if (folded.starts_with(kana::FoldLongVowels(token))) {
        return true;
    }
    kana::RomajiReading romaji = kana::ConvertRomaji(token);
    romaji.kana = kana::FoldLongVowels(romaji.kana);
    if (!folded.starts_with(romaji.kana)) {
        return false;
    }
    const std::string_view rest = std::string_view(folded).substr(romaji.kana.size());
    const std::vector<std::string> next = kana::KanaStartingWith(romaji.pending);
    return romaji.pending.empty() || std::any_of(next.begin(), next.end(), [rest](auto& kana) {
               return rest.starts_with(kana);
           });
}

// What a search must list, record by record: the fragment search first, as it is, then every
// other record each of whose tokens is a fragment of it or starts one of its words.
MeaningSearchResult Reference(const CFaceLibrary& library, const CKeywordTable& table,
                              std::string_view query, Order order) {
    MeaningSearchResult expected;
    expected.rows = library.SearchByText(query, order);
    expected.byText = expected.rows.size();
    const std::vector<std::string_view> tokens = SplitQuery(query);
    if (tokens.empty()) {
        return expected;
    }
    const Charset charset = library.GetCharset();
    const std::set<RecordId> byText(expected.rows.begin(), expected.rows.end());
    std::vector<std::set<RecordId>> fragments;
    for (std::string_view token : tokens) {
        const std::vector<RecordId> found = library.SearchByText(token);
        fragments.emplace_back(found.begin(), found.end());
    }
    std::vector<RecordId> byMeaning;
    for (RecordId id : library.Records()) {
        std::vector<std::string> words = {charset.ToUtf8(library.Folder(id)),
                                          std::string(table.FolderReading(library.Folder(id)))};
        for (const std::string& keyword : table.FaceKeywords(library.Text(id))) {
            words.push_back(keyword);
        }
        bool all = !byText.contains(id);
        for (std::size_t t = 0; t < tokens.size() && all; ++t) {
            all = fragments[t].contains(id) ||
                  std::any_of(words.begin(), words.end(), [&](const std::string& word) {
                      return StartsWord(charset.ToUtf8(tokens[t]), word);
                  });
        }
        if (all) {
            byMeaning.push_back(id);
        }
    }
    if (order == Order::Text) {
        library.SortRecordsByText(byMeaning, true);
    }
    expected.rows.insert(expected.rows.end(), byMeaning.begin(), byMeaning.end());
    return expected;
}

void Load(CFaceLibrary& library, Charset charset) {
    library.LoadFaceList(KaomojikanFaceList());
    if (charset.GetEncoding() == Encoding::Utf8) {
        ASSERT_TRUE(library.ConvertToUtf8().empty());
    }
}

TEST(SearchByMeaning, FindsEveryFaceOfAFolderByItsReadingNameOrRomaji) {
    for (Charset charset : {Charset(Encoding::Cp932), Charset(Encoding::Utf8)}) {
        CFaceLibrary library;
        Load(library, charset);
        const CKeywordTable table = KaomojikanTable(charset);
        const std::vector<RecordId> crying =
            library.RecordsInFolder(charset.FromUtf8Literal("泣く"), Order::Text);
        ASSERT_EQ(crying.size(), 62u);
        for (std::string query : {"なく", "naku", "ナク", "泣", "ﾅｸ", "NAKU", "nak", "なk"}) {
            const MeaningSearchResult found =
                SearchByMeaning(library, table, charset.FromUtf8Literal(query), Order::Text);
            for (RecordId id : crying) {
                EXPECT_NE(std::find(found.rows.begin(), found.rows.end(), id), found.rows.end())
                    << query;
            }
        }
        // What the fragment search lists comes first and as it was; the folders' faces follow.
        const std::string query = charset.FromUtf8Literal("ω な");
        const MeaningSearchResult found = SearchByMeaning(library, table, query, Order::Text);
        const std::vector<RecordId> byText = library.SearchByText(query, Order::Text);
        ASSERT_EQ(found.byText, byText.size());
        EXPECT_TRUE(std::equal(byText.begin(), byText.end(), found.rows.begin()));
        EXPECT_GT(found.rows.size(), byText.size());
    }
}

// Random queries of fragments, readings, names, romaji (whole and half typed), katakana and
// keywords, over the real library with keywords given to random faces, in both encodings
// and both orders.
TEST(SearchByMeaning, AgreesWithThePlainRuleOnRandomQueries) {
    const std::vector<std::string> tokens = {
        "なく", "naku", "ナク", "泣",   "ﾅｸ",       "nak",    "na",  "n",        "nn",   "k",
        "ω",    "(",    "ﾟ",    "´",    "かわ",     "kawaii", "kaw", "neko",     "ネコ", "猫",
        "cry",  "CRY",  "ｗ",   "^",    "び",       "bikku",  "ｷﾗ",  "kirakira", "AA",   "aa",
        "a",    "すき", "suki", "sk",   "どうぶつ", "dob",    "tya", "chi",      "ちら", "-",
        "ー",   "ｰ",    "量産", "nyaa", "nya-",     "にゃあ", "ﾆｬｰ", "raa",      "んー"};
    const std::vector<std::string> keywords = {"ねこ", "cry",      "さけぶ",   "smile",
                                               "ｽﾏｲﾙ", "ニコニコ", "猫",       "ちゃ",
                                               "ー",   "にゃーー", "ラーメン", "うんー"};
    std::mt19937 random(3);
    for (Charset charset : {Charset(Encoding::Cp932), Charset(Encoding::Utf8)}) {
        CFaceLibrary library;
        Load(library, charset);
        CKeywordTable table = KaomojikanTable(charset);
        const std::vector<RecordId> records = library.Records();
        for (int i = 0; i < 150; ++i) {
            const RecordId id = records[random() % records.size()];
            table.SetFaceKeywords(
                std::string(library.Text(id)),
                {keywords[random() % keywords.size()], keywords[random() % keywords.size()]});
        }
        const CMeaningIndex index(library, table);
        for (int round = 0; round < 300; ++round) {
            std::string query = random() % 5 == 0 ? " " : "";
            for (int t = 1 + static_cast<int>(random() % 3); t > 0; --t) {
                query += tokens[random() % tokens.size()] + (random() % 4 == 0 ? "  " : " ");
            }
            query = charset.FromUtf8Literal(query);
            for (Order order : {Order::Library, Order::Text}) {
                const MeaningSearchResult found = index.Search(query, order);
                const MeaningSearchResult expected = Reference(library, table, query, order);
                ASSERT_EQ(found.rows, expected.rows) << charset.ToUtf8(query);
                ASSERT_EQ(found.byText, expected.byText) << charset.ToUtf8(query);
            }
        }
        EXPECT_EQ(index.Search("  ", Order::Text).rows, library.RecordsByText());
        const MeaningSearchResult nyaa = index.Search("nyaa", Order::Text);
        EXPECT_GT(nyaa.rows.size(), nyaa.byText);  // the faces given にゃーー
    }
}

}  // namespace
}  // namespace mopira
