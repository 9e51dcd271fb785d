#include "core/library/MeaningIndex.h"

#include <algorithm>
#include <cstdint>

#include "core/library/KeywordTable.h"
#include "core/library/TextQuery.h"
#include "core/text/KanaFold.h"

namespace mopira {

namespace {

// One way a token may be meant: folded text that a word must start with, then, when the
// token ends in letters that make no kana yet, one of the kana they may become.
struct StartPattern {
    std::string prefix;
    std::vector<std::string> next;

    bool Matches(std::string_view folded) const {
        if (!folded.starts_with(prefix)) {
            return false;
        }
        const std::string_view rest = folded.substr(prefix.size());
        return next.empty() || std::any_of(next.begin(), next.end(), [rest](const auto& kana) {
                   return rest.starts_with(kana);
               });
    }
};

// A word or token as it is matched: folded, with long vowel marks as the vowels they lengthen.
std::string FoldWord(std::string_view utf8) {
    return kana::FoldLongVowels(kana::FoldForMatch(utf8));
}

// The token as typed (folded), and read as romaji when that makes a difference.
std::vector<StartPattern> PatternsOf(std::string_view utf8Token) {
    std::vector<StartPattern> patterns;
    const std::string folded = kana::FoldForMatch(utf8Token);
    kana::RomajiReading romaji = kana::ConvertRomaji(folded);
    if (romaji.kana != folded || !romaji.pending.empty()) {
        patterns.push_back(
            {kana::FoldLongVowels(romaji.kana), kana::KanaStartingWith(romaji.pending)});
    }
    patterns.push_back({kana::FoldLongVowels(folded), {}});
    return patterns;
}

using Mask = std::uint64_t;
constexpr std::size_t kMaskBits = 64;

// Sets the bit of every token one of whose patterns starts one of `words`.
void MarkMatches(const std::vector<std::vector<StartPattern>>& tokens,
                 const std::vector<std::string_view>& words, Mask* mask) {
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const bool matches = std::any_of(words.begin(), words.end(), [&](std::string_view word) {
            return std::any_of(
                tokens[t].begin(), tokens[t].end(),
                [word](const StartPattern& pattern) { return pattern.Matches(word); });
        });
        if (matches) {
            mask[t / kMaskBits] |= Mask(1) << (t % kMaskBits);
        }
    }
}

}  // namespace

CMeaningIndex::CMeaningIndex(const CFaceLibrary& library, const CKeywordTable& table)
    : m_library(library) {
    const Charset charset = library.GetCharset();
    m_folders.resize(library.FolderNumbers());
    for (std::uint32_t number = 0; number < m_folders.size(); ++number) {
        const std::string& name = library.FolderName(number);
        m_folders[number].name = FoldWord(charset.ToUtf8(name));
        m_folders[number].reading = FoldWord(table.FolderReading(name));
    }
    for (const auto& [text, keywords] : table.AllFaceKeywords()) {
        const auto id = library.FindRecord(text);
        if (!id) {
            continue;
        }
        std::vector<std::string> folded;
        for (const std::string& keyword : keywords) {
            folded.push_back(FoldWord(keyword));
        }
        m_keywords.emplace_back(*id, std::move(folded));
    }
    std::sort(m_keywords.begin(), m_keywords.end());
}

MeaningSearchResult CMeaningIndex::Search(std::string_view query, CFaceLibrary::Order order) const {
    MeaningSearchResult result;
    const std::vector<std::string_view> tokens = SplitQuery(query);
    if (tokens.empty()) {
        result.rows =
            order == CFaceLibrary::Order::Text ? m_library.RecordsByText() : m_library.Records();
        result.byText = result.rows.size();
        return result;
    }
    const Charset charset = m_library.GetCharset();
    std::vector<std::vector<StartPattern>> patterns;
    for (std::string_view token : tokens) {
        patterns.push_back(PatternsOf(charset.ToUtf8(token)));
    }

    // Which tokens each folder and each emoticon with keywords matches by meaning, one bit a
    // token: the pass over the records below then reads bits instead of comparing words.
    const std::size_t words = (tokens.size() + kMaskBits - 1) / kMaskBits;
    std::vector<Mask> folderMasks(m_folders.size() * words);
    for (std::size_t f = 0; f < m_folders.size(); ++f) {
        MarkMatches(patterns, {m_folders[f].name, m_folders[f].reading}, &folderMasks[f * words]);
    }
    std::vector<Mask> keywordMasks(m_keywords.size() * words);
    for (std::size_t k = 0; k < m_keywords.size(); ++k) {
        const std::vector<std::string_view> keywords(m_keywords[k].second.begin(),
                                                     m_keywords[k].second.end());
        MarkMatches(patterns, keywords, &keywordMasks[k * words]);
    }

    std::vector<RecordId> byMeaning;
    charset.Visit([&](auto rules) {
        std::vector<CQueryMatcher<decltype(rules)>> matchers;
        for (std::string_view token : tokens) {
            matchers.emplace_back(token);
        }
        std::size_t nextKeywords = 0;
        std::vector<Mask> mask(words);
        m_library.ForEachRecord([&](RecordId id) {
            const Mask* folder = &folderMasks[m_library.FolderNumber(id) * words];
            std::copy(folder, folder + words, mask.begin());
            while (nextKeywords < m_keywords.size() && m_keywords[nextKeywords].first < id) {
                ++nextKeywords;
            }
            if (nextKeywords < m_keywords.size() && m_keywords[nextKeywords].first == id) {
                for (std::size_t w = 0; w < words; ++w) {
                    mask[w] |= keywordMasks[nextKeywords * words + w];
                }
            }
            bool byText = true;
            const std::string_view text = m_library.Text(id);
            for (std::size_t t = 0; t < tokens.size(); ++t) {
                if (matchers[t].Matches(text)) {
                    continue;
                }
                if ((mask[t / kMaskBits] >> (t % kMaskBits) & 1) == 0) {
                    return;
                }
                byText = false;
            }
            (byText ? result.rows : byMeaning).push_back(id);
        });
    });
    if (order == CFaceLibrary::Order::Text) {
        m_library.SortRecordsByText(result.rows, true);
        m_library.SortRecordsByText(byMeaning, true);
    }
    result.byText = result.rows.size();
    result.rows.insert(result.rows.end(), byMeaning.begin(), byMeaning.end());
    return result;
}

MeaningSearchResult SearchByMeaning(const CFaceLibrary& library, const CKeywordTable& table,
                                    std::string_view query, CFaceLibrary::Order order) {
    return CMeaningIndex(library, table).Search(query, order);
}

}  // namespace mopira
