#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Japanese text folded for finding by meaning: the forms a user may type for the same word
// (hiragana or katakana, full-width or half-width, romaji) brought to one, all in UTF-8.
namespace mopira::kana {

// The matching form of UTF-8 text: katakana become hiragana, half-width katakana become
// hiragana with their voiced marks joined (ｶﾞ is が), full-width ASCII and the ideographic
// space become half-width, ASCII letters become lower-case, and a combining voiced mark joins
// the kana before it. Everything else, bytes that are no character included, stays as it is.
std::string FoldForMatch(std::string_view text);

// UTF-8 text with its katakana as hiragana: full-width and half-width katakana (half-width
// voiced marks joined, the half-width punctuation made full-width) and combining marks
// joined, as FoldForMatch does; every other character stays as it is.
std::string ToHiragana(std::string_view text);

// Folded text with each long vowel mark after a kana written as the vowel it lengthens
// (にゃー as にゃあ, らーめん as らあめん), so that romaji typed with the vowel doubled finds a
// word written with the mark. A mark after anything else (ん, っ, no kana) stays.
std::string FoldLongVowels(std::string_view folded);

// Whether folded text is a reading an input method can be given: hiragana (ぁ to ゔ) and
// the long vowel mark ー only, at least one character.
bool IsReading(std::string_view folded);

// Romaji converted as an input method converts it while the user types.
struct RomajiReading {
    std::string kana;
    // Letters at the end that do not yet make a kana ("k" of "nak", "ky", a single "n"):
    // the start of the next kana's romaji.
    std::string pending;
};

// Converts the romaji in folded text: the Hepburn and kunrei spellings and those input
// methods take (shi/si, chi/ti, tsu/tu, fu/hu, ja/zya/jya, nya), a doubled consonant as
// small tsu (kko, tchi), n' and nn as ん and a single n before a consonant too, - as ー,
// small kana after x or l (xtu, ltsu, la, xya, xwa). Letters that make no kana and every
// other character are kept as they are.
RomajiReading ConvertRomaji(std::string_view folded);

// The kana whose romaji starts with `pending` (of ConvertRomaji): what the letters typed so
// far may become. Empty for no letters.
std::vector<std::string> KanaStartingWith(std::string_view pending);

// The romaji that ConvertRomaji turns back into `reading` (IsReading): Hepburn spellings,
// っ as the next consonant doubled or xtu, ん as n before a consonant and nn elsewhere.
std::optional<std::string> ReadingToRomaji(std::string_view reading);

}  // namespace mopira::kana
