#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/library/FaceLibrary.h"

namespace mopira {

class CKeywordTable;

struct MeaningSearchResult {
    // The records found: first those whose text holds every token, as SearchByText lists
    // them, then those found by meaning, in the same order among themselves.
    std::vector<RecordId> rows;
    // How many of `rows` SearchByText finds.
    std::size_t byText = 0;
};

// Finding emoticons by what they mean. A token of the query (the pieces between half-width
// spaces) matches an emoticon when it is a fragment of its text, as SearchByText has it, or
// when, folded (kana::FoldForMatch), it is the start of one of the emoticon's keywords, of
// its folder's name or of its folder's reading, folded too. Romaji in a token is read as
// kana as well, and letters at its end that make no kana yet match the kana they may
// become, so "nak" finds なく while it is being typed. A long vowel mark after a kana
// matches the vowel it lengthens, so "nyaa" finds にゃー. An emoticon is found when every
// token matches it, each by either rule.
//
// The index folds the folders' names and readings and the emoticons' keywords once; a
// search then costs the fragment search and a look at a few bits per record. It refers to
// `library`, so it is made again when the library or the table changes.
class CMeaningIndex {
public:
    CMeaningIndex(const CFaceLibrary& library, const CKeywordTable& table);

    // Every record, in `order`, when the query has no token.
    MeaningSearchResult Search(std::string_view query, CFaceLibrary::Order order) const;

private:
    struct FolderForms {
        std::string name;
        std::string reading;
    };

    const CFaceLibrary& m_library;
    // By folder number, folded.
    std::vector<FolderForms> m_folders;
    // The records that have keywords, by id, with their keywords folded.
    std::vector<std::pair<RecordId, std::vector<std::string>>> m_keywords;
};

// The same for one search, without keeping the index.
MeaningSearchResult SearchByMeaning(const CFaceLibrary& library, const CKeywordTable& table,
                                    std::string_view query, CFaceLibrary::Order order);

}  // namespace mopira
