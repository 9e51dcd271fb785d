#include "core/text/KanaFold.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

#include "core/text/Unicode.h"

namespace mopira::kana {

namespace {

// A byte that is no character travels through the folding as this value plus the byte.
constexpr char32_t kRawByte = 0x110000;

constexpr char32_t kVoicedMark = 0x309B;       // ゛
constexpr char32_t kSemiVoicedMark = 0x309C;   // ゜
constexpr char32_t kCombiningVoiced = 0x3099;  // joins the kana before it
constexpr char32_t kCombiningSemiVoiced = 0x309A;
constexpr char32_t kHalfVoiced = 0xFF9E;  // ﾞ
constexpr char32_t kHalfSemiVoiced = 0xFF9F;
constexpr char32_t kLongVowel = 0x30FC;  // ー

// Full-width katakana of U+FF61 to U+FF9D, in order.
constexpr std::array<char16_t, 61> kHalfWidthKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3};

// The hiragana that take a voiced mark have their voiced form right after them, and the
// h-row its semi-voiced form after that.
bool TakesVoicedMark(char32_t c) {
    return (c >= 0x304B && c <= 0x3062 && c % 2 == 1) || c == 0x3064 || c == 0x3066 ||
           c == 0x3068 || (c >= 0x306F && c <= 0x307B && (c - 0x306F) % 3 == 0);
}
bool TakesSemiVoicedMark(char32_t c) {
    return c >= 0x306F && c <= 0x307B && (c - 0x306F) % 3 == 0;
}

char32_t HiraganaChar(char32_t c) {
    if (c >= 0xFF61 && c <= 0xFF9D) {
        c = kHalfWidthKana[c - 0xFF61];
    }
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
        return c - 0x60;
    }
    return c;
}

char32_t FoldChar(char32_t c) {
    if (c >= 'A' && c <= 'Z') {
        return c + ('a' - 'A');
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return FoldChar(c - 0xFEE0);
    }
    if (c == 0x3000) {
        return ' ';
    }
    return HiraganaChar(c);
}

// Joins a voiced mark to the kana before it, when that kana takes one.
bool JoinMark(std::u32string& out, char32_t mark) {
    if (out.empty()) {
        return false;
    }
    char32_t& last = out.back();
    const bool voiced = mark == kHalfVoiced || mark == kCombiningVoiced;
    if (voiced && last == 0x3046) {  // う゛ is ゔ
        last = 0x3094;
        return true;
    }
    if (voiced && TakesVoicedMark(last)) {
        last += 1;
        return true;
    }
    if (!voiced && TakesSemiVoicedMark(last)) {
        last += 2;
        return true;
    }
    return false;
}

std::u32string Decode(std::string_view text) {
    std::u32string chars;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        const std::size_t length = unicode::DecodeUtf8(text, pos, c);
        if (length == 0) {
            chars += kRawByte + static_cast<unsigned char>(text[pos]);
            ++pos;
        } else {
            chars += c;
            pos += length;
        }
    }
    return chars;
}

std::string Encode(std::u32string_view chars) {
    std::string text;
    for (char32_t c : chars) {
        if (c >= kRawByte) {
            text += static_cast<char>(c - kRawByte);
        } else {
            unicode::AppendUtf8(text, c);
        }
    }
    return text;
}

// The hiragana of the vowel a hiragana ends in; 0 for one that ends in none.
char32_t VowelOf(char32_t c) {
    static constexpr std::u32string_view kRows[] = {
        U"ぁあかがさざただなはばぱまゃやらゎわ", U"ぃいきぎしじちぢにひびぴみりゐ",
        U"ぅうくぐすずつづぬふぶぷむゅゆるゔ",   U"ぇえけげせぜてでねへべぺめれゑ",
        U"ぉおこごそぞとどのほぼぽもょよろを",
    };
    static constexpr char32_t kVowels[] = {U'あ', U'い', U'う', U'え', U'お'};
    for (std::size_t row = 0; row < std::size(kRows); ++row) {
        if (kRows[row].find(c) != std::u32string_view::npos) {
            return kVowels[row];
        }
    }
    return 0;
}

struct RomajiEntry {
    std::string_view romaji;
    std::string_view kana;
};

// The spelling listed first for a kana is the one ReadingToRomaji writes.
constexpr RomajiEntry kRomaji[] = {
    {"a", "あ"},     {"i", "い"},     {"u", "う"},     {"e", "え"},     {"o", "お"},
    {"ka", "か"},    {"ki", "き"},    {"ku", "く"},    {"ke", "け"},    {"ko", "こ"},
    {"kya", "きゃ"}, {"kyi", "きぃ"}, {"kyu", "きゅ"}, {"kye", "きぇ"}, {"kyo", "きょ"},
    {"ga", "が"},    {"gi", "ぎ"},    {"gu", "ぐ"},    {"ge", "げ"},    {"go", "ご"},
    {"gya", "ぎゃ"}, {"gyi", "ぎぃ"}, {"gyu", "ぎゅ"}, {"gye", "ぎぇ"}, {"gyo", "ぎょ"},
    {"sa", "さ"},    {"shi", "し"},   {"su", "す"},    {"se", "せ"},    {"so", "そ"},
    {"si", "し"},    {"sha", "しゃ"}, {"shu", "しゅ"}, {"she", "しぇ"}, {"sho", "しょ"},
    {"sya", "しゃ"}, {"syi", "しぃ"}, {"syu", "しゅ"}, {"sye", "しぇ"}, {"syo", "しょ"},
    {"za", "ざ"},    {"ji", "じ"},    {"zu", "ず"},    {"ze", "ぜ"},    {"zo", "ぞ"},
    {"zi", "じ"},    {"ja", "じゃ"},  {"ju", "じゅ"},  {"je", "じぇ"},  {"jo", "じょ"},
    {"zya", "じゃ"}, {"zyi", "じぃ"}, {"zyu", "じゅ"}, {"zye", "じぇ"}, {"zyo", "じょ"},
    {"jya", "じゃ"}, {"jyi", "じぃ"}, {"jyu", "じゅ"}, {"jye", "じぇ"}, {"jyo", "じょ"},
    {"ta", "た"},    {"chi", "ち"},   {"tsu", "つ"},   {"te", "て"},    {"to", "と"},
    {"ti", "ち"},    {"tu", "つ"},    {"cha", "ちゃ"}, {"chu", "ちゅ"}, {"che", "ちぇ"},
    {"cho", "ちょ"}, {"tya", "ちゃ"}, {"tyi", "ちぃ"}, {"tyu", "ちゅ"}, {"tye", "ちぇ"},
    {"tyo", "ちょ"}, {"cya", "ちゃ"}, {"cyi", "ちぃ"}, {"cyu", "ちゅ"}, {"cye", "ちぇ"},
    {"cyo", "ちょ"}, {"tha", "てゃ"}, {"thi", "てぃ"}, {"thu", "てゅ"}, {"the", "てぇ"},
    {"tho", "てょ"}, {"tsa", "つぁ"}, {"tsi", "つぃ"}, {"tse", "つぇ"}, {"tso", "つぉ"},
    {"twu", "とぅ"}, {"da", "だ"},    {"di", "ぢ"},    {"du", "づ"},    {"de", "で"},
    {"do", "ど"},    {"dya", "ぢゃ"}, {"dyi", "ぢぃ"}, {"dyu", "ぢゅ"}, {"dye", "ぢぇ"},
    {"dyo", "ぢょ"}, {"dha", "でゃ"}, {"dhi", "でぃ"}, {"dhu", "でゅ"}, {"dhe", "でぇ"},
    {"dho", "でょ"}, {"dwu", "どぅ"}, {"na", "な"},    {"ni", "に"},    {"nu", "ぬ"},
    {"ne", "ね"},    {"no", "の"},    {"nya", "にゃ"}, {"nyi", "にぃ"}, {"nyu", "にゅ"},
    {"nye", "にぇ"}, {"nyo", "にょ"}, {"nn", "ん"},    {"xn", "ん"},    {"ha", "は"},
    {"hi", "ひ"},    {"fu", "ふ"},    {"he", "へ"},    {"ho", "ほ"},    {"hu", "ふ"},
    {"hya", "ひゃ"}, {"hyi", "ひぃ"}, {"hyu", "ひゅ"}, {"hye", "ひぇ"}, {"hyo", "ひょ"},
    {"fa", "ふぁ"},  {"fi", "ふぃ"},  {"fe", "ふぇ"},  {"fo", "ふぉ"},  {"fya", "ふゃ"},
    {"fyu", "ふゅ"}, {"fyo", "ふょ"}, {"ba", "ば"},    {"bi", "び"},    {"bu", "ぶ"},
    {"be", "べ"},    {"bo", "ぼ"},    {"bya", "びゃ"}, {"byi", "びぃ"}, {"byu", "びゅ"},
    {"bye", "びぇ"}, {"byo", "びょ"}, {"pa", "ぱ"},    {"pi", "ぴ"},    {"pu", "ぷ"},
    {"pe", "ぺ"},    {"po", "ぽ"},    {"pya", "ぴゃ"}, {"pyi", "ぴぃ"}, {"pyu", "ぴゅ"},
    {"pye", "ぴぇ"}, {"pyo", "ぴょ"}, {"ma", "ま"},    {"mi", "み"},    {"mu", "む"},
    {"me", "め"},    {"mo", "も"},    {"mya", "みゃ"}, {"myi", "みぃ"}, {"myu", "みゅ"},
    {"mye", "みぇ"}, {"myo", "みょ"}, {"ya", "や"},    {"yu", "ゆ"},    {"yo", "よ"},
    {"yi", "い"},    {"ye", "いぇ"},  {"ra", "ら"},    {"ri", "り"},    {"ru", "る"},
    {"re", "れ"},    {"ro", "ろ"},    {"rya", "りゃ"}, {"ryi", "りぃ"}, {"ryu", "りゅ"},
    {"rye", "りぇ"}, {"ryo", "りょ"}, {"wa", "わ"},    {"wo", "を"},    {"wi", "うぃ"},
    {"we", "うぇ"},  {"wu", "う"},    {"wyi", "ゐ"},   {"wye", "ゑ"},   {"vu", "ゔ"},
    {"va", "ゔぁ"},  {"vi", "ゔぃ"},  {"ve", "ゔぇ"},  {"vo", "ゔぉ"},  {"vya", "ゔゃ"},
    {"vyu", "ゔゅ"}, {"vyo", "ゔょ"}, {"qa", "くぁ"},  {"qi", "くぃ"},  {"qe", "くぇ"},
    {"qo", "くぉ"},  {"kwa", "くぁ"}, {"gwa", "ぐぁ"}, {"ca", "か"},    {"ci", "し"},
    {"cu", "く"},    {"ce", "せ"},    {"co", "こ"},    {"xa", "ぁ"},    {"xi", "ぃ"},
    {"xu", "ぅ"},    {"xe", "ぇ"},    {"xo", "ぉ"},    {"la", "ぁ"},    {"li", "ぃ"},
    {"lu", "ぅ"},    {"le", "ぇ"},    {"lo", "ぉ"},    {"xya", "ゃ"},   {"xyu", "ゅ"},
    {"xyo", "ょ"},   {"lya", "ゃ"},   {"lyu", "ゅ"},   {"lyo", "ょ"},   {"xtu", "っ"},
    {"xtsu", "っ"},  {"ltu", "っ"},   {"ltsu", "っ"},  {"xwa", "ゎ"},   {"lwa", "ゎ"},
    {"-", "ー"},
};

constexpr std::size_t kLongestRomaji = 4;

struct RomajiTables {
    std::vector<RomajiEntry> byRomaji;  // sorted by romaji
    std::unordered_map<std::string_view, std::string_view> romajiOfKana;

    RomajiTables() : byRomaji(std::begin(kRomaji), std::end(kRomaji)) {
        std::sort(byRomaji.begin(), byRomaji.end(),
                  [](const RomajiEntry& a, const RomajiEntry& b) { return a.romaji < b.romaji; });
        for (const RomajiEntry& entry : kRomaji) {
            romajiOfKana.emplace(entry.kana, entry.romaji);
        }
    }

    const RomajiEntry* Find(std::string_view romaji) const {
        const auto found = std::lower_bound(
            byRomaji.begin(), byRomaji.end(), romaji,
            [](const RomajiEntry& entry, std::string_view key) { return entry.romaji < key; });
        return found != byRomaji.end() && found->romaji == romaji ? &*found : nullptr;
    }
    bool IsProperPrefix(std::string_view romaji) const {
        const auto found = std::upper_bound(
            byRomaji.begin(), byRomaji.end(), romaji,
            [](std::string_view key, const RomajiEntry& entry) { return key < entry.romaji; });
        return found != byRomaji.end() && found->romaji.starts_with(romaji);
    }
};

const RomajiTables& Tables() {
    static const RomajiTables tables;
    return tables;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o';
}
bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsRomaji(char c) {
    return IsLetter(c) || c == '-';
}
// A consonant whose doubling an input method writes as っ.
bool Doubles(char c) {
    return IsLetter(c) && !IsVowel(c) && c != 'n';
}

// Text with each character folded by `fold` and voiced marks joined to the kana before them.
std::string FoldKana(std::string_view text, char32_t (*fold)(char32_t)) {
    std::u32string folded;
    folded.reserve(text.size());
    for (char32_t c : Decode(text)) {
        if (c == kHalfVoiced || c == kCombiningVoiced || c == kHalfSemiVoiced ||
            c == kCombiningSemiVoiced) {
            if (!JoinMark(folded, c)) {
                folded += c == kHalfVoiced       ? kVoicedMark
                          : c == kHalfSemiVoiced ? kSemiVoicedMark
                                                 : c;
            }
            continue;
        }
        folded += c >= kRawByte ? c : fold(c);
    }
    return Encode(folded);
}

}  // namespace

std::string FoldForMatch(std::string_view text) {
    return FoldKana(text, FoldChar);
}

std::string ToHiragana(std::string_view text) {
    return FoldKana(text, HiraganaChar);
}

std::string FoldLongVowels(std::string_view folded) {
    static constexpr std::string_view kMark = "ー";
    if (folded.find(kMark) == std::string_view::npos) {
        return std::string(folded);
    }
    std::u32string chars = Decode(folded);
    for (std::size_t i = 1; i < chars.size(); ++i) {
        if (chars[i] == kLongVowel) {
            // A run of marks lengthens the same vowel.
            if (const char32_t vowel = VowelOf(chars[i - 1])) {
                chars[i] = vowel;
            }
        }
    }
    return Encode(chars);
}

bool IsReading(std::string_view folded) {
    const std::u32string chars = Decode(folded);
    return !chars.empty() && std::all_of(chars.begin(), chars.end(), [](char32_t c) {
        return (c >= 0x3041 && c <= 0x3094) || c == kLongVowel;
    });
}

RomajiReading ConvertRomaji(std::string_view folded) {
    const RomajiTables& tables = Tables();
    RomajiReading result;
    std::size_t i = 0;
    while (i < folded.size()) {
        const char c = folded[i];
        if (!IsRomaji(c)) {
            result.kana += c;
            ++i;
            continue;
        }
        const char next = i + 1 < folded.size() ? folded[i + 1] : '\0';
        if (c == 'n' && next == '\'') {
            result.kana += "ん";
            i += 2;
            continue;
        }
        if (c == 'n' && next != '\0' && !IsVowel(next) && next != 'y' && next != 'n') {
            result.kana += "ん";
            ++i;
            continue;
        }
        if (Doubles(c) && (next == c || (c == 't' && next == 'c'))) {
            result.kana += "っ";
            ++i;
            continue;
        }
        std::size_t run = i;
        while (run < folded.size() && run - i < kLongestRomaji && IsRomaji(folded[run])) {
            ++run;
        }
        const RomajiEntry* match = nullptr;
        for (std::size_t length = run - i; length > 0 && match == nullptr; --length) {
            match = tables.Find(folded.substr(i, length));
        }
        if (match != nullptr) {
            result.kana += match->kana;
            i += match->romaji.size();
            continue;
        }
        const std::string_view rest = folded.substr(i);
        if (std::all_of(rest.begin(), rest.end(), IsRomaji) && tables.IsProperPrefix(rest)) {
            result.pending = rest;
            break;
        }
        result.kana += c;
        ++i;
    }
    return result;
}

std::vector<std::string> KanaStartingWith(std::string_view pending) {
    std::vector<std::string> kana;
    if (pending.empty()) {
        return kana;
    }
    auto add = [&kana](std::string_view text) {
        if (std::find(kana.begin(), kana.end(), text) == kana.end()) {
            kana.emplace_back(text);
        }
    };
    for (const RomajiEntry& entry : kRomaji) {
        if (entry.romaji.starts_with(pending)) {
            add(entry.kana);
        }
    }
    // One consonant may be the first of a doubled one, and "n" the ん of "n'".
    if (pending.size() == 1 && Doubles(pending[0])) {
        add("っ");
    }
    if (pending == "n") {
        add("ん");
    }
    return kana;
}

std::optional<std::string> ReadingToRomaji(std::string_view reading) {
    const RomajiTables& tables = Tables();
    // The kana of the reading with their romaji, the longest kana first (きゃ before き).
    std::vector<std::pair<std::string_view, std::string_view>> pieces;
    for (std::size_t pos = 0; pos < reading.size();) {
        std::string_view romaji;
        std::size_t length = 0;
        for (std::size_t chars = 2; chars > 0 && romaji.empty(); --chars) {
            std::size_t end = pos;
            for (std::size_t k = 0; k < chars && end < reading.size(); ++k) {
                char32_t c = 0;
                const std::size_t step = unicode::DecodeUtf8(reading, end, c);
                end += step == 0 ? 1 : step;
            }
            const auto found = tables.romajiOfKana.find(reading.substr(pos, end - pos));
            if (found != tables.romajiOfKana.end()) {
                romaji = found->second;
                length = end - pos;
            }
        }
        if (romaji.empty()) {
            return std::nullopt;
        }
        pieces.emplace_back(reading.substr(pos, length), romaji);
        pos += length;
    }
    // What a kana is written as depends on what is written for the kana after it.
    std::vector<std::string> written(pieces.size());
    for (std::size_t k = pieces.size(); k-- > 0;) {
        const std::string_view next =
            k + 1 < pieces.size() ? std::string_view(written[k + 1]) : std::string_view();
        if (pieces[k].first == "っ" && !next.empty() && Doubles(next[0])) {
            written[k] = next[0];
        } else if (pieces[k].first == "ん") {
            const bool alone = !next.empty() && IsLetter(next[0]) && !IsVowel(next[0]) &&
                               next[0] != 'y' && next[0] != 'n';
            written[k] = alone ? "n" : "nn";
        } else {
            written[k] = pieces[k].second;
        }
    }
    std::string out;
    for (const std::string& piece : written) {
        out += piece;
    }
    return out;
}

}  // namespace mopira::kana
