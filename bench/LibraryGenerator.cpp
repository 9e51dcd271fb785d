#include "LibraryGenerator.h"

#include <functional>
#include <map>
#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/text/Charset.h"

namespace mopira::bench {

namespace {

constexpr std::size_t kMinBytes = 8;
constexpr std::size_t kMaxBytes = 40;

std::vector<std::string> Encode(std::initializer_list<std::string_view> utf8) {
    std::vector<std::string> parts;
    for (std::string_view text : utf8) {
        parts.push_back(Cp932::FromUtf8Literal(text));
    }
    return parts;
}

}  // namespace

std::string GenerateFaceList(std::size_t count) {
    const auto lefts = Encode({"(", "(", "(", "ヽ(", "＼(", "(ﾉ", "o(", "((", "(*", "ｍ(", "Σ(",
                               "(っ", "「(", "(ﾟ", "⊂(", "(((", "ヾ("});
    const auto rights = Encode({")", ")", ")", ")ﾉ", ")／", ")o", "))", "*)", ")ｍ", ")ﾉｼ", "っ)",
                                ")」", "ﾟ)", ")⊃", ")))", ")ゞ", ")!!"});
    const auto eyes = Encode({"^", "´", "・", "＞", "ﾟ", "T",   "≧",   "◎",  "｀", "ー", "＾",
                              "･", "°", "＠", "＊", "≦", "・`", "´・", "￣", "￢", "⌒"});
    const auto mouths = Encode({"_",   "ω", "▽",  "∀", "ー", "д",  "Д", "o", "ε", "艸", "∇",
                                "_ゝ", "□", "ェ", "ρ", "ヮ", "〜", "3", "x", "ｰ", "皿"});
    // One-byte marks among them, so a face can always be brought to the length drawn for it.
    const auto marks =
        Encode({";",      "*", "☆",  "♪", "#", "?",  "!", "ﾉｼ",  "ｷﾗｰﾝ", "ｳﾌﾌ", "ﾆﾔﾘ",
                "ｼｮﾎﾞｰﾝ", "♡", "☆ﾐ", "ｯ", "…", "ぉ", "ﾉ", "ｸﾞｯ", "ﾊﾞｰﾝ", "=3"});
    std::vector<std::string> folders;
    for (std::string_view name :
         {"笑顔",   "挨拶", "驚き",   "悲しい", "怒り", "照れ", "動物", "喜び", "謝罪",   "応援",
          "その他", "AA",   "食べ物", "季節",   "仕事", "寝る", "泣く", "焦り", "ダンス", "Love"}) {
        for (int variant = 0; variant < 2; ++variant) {
            folders.push_back(Cp932::FromUtf8Literal(name) + (variant ? "2" : ""));
        }
    }

    std::mt19937 random(static_cast<unsigned>(count));
    auto pick = [&random](const std::vector<std::string>& from) -> const std::string& {
        return from[random() % from.size()];
    };
    // Hashes, not texts: a million texts would cost more memory than the library itself. A
    // rare collision only skips a face that was new.
    std::unordered_set<std::size_t> seen;
    seen.reserve(count);
    std::string bytes;
    bytes.reserve(count * 40);
    std::string face;
    while (seen.size() < count) {
        // Lengths spread evenly over kMinBytes to kMaxBytes: a face, with marks on either side
        // until it is as long as drawn.
        const std::size_t length = kMinBytes + random() % (kMaxBytes - kMinBytes + 1);
        const std::string& eye = pick(eyes);
        face = pick(lefts);
        face += eye;
        face += pick(mouths);
        face += eye;
        face += pick(rights);
        while (face.size() < length) {
            const std::string& mark = pick(marks);
            if (face.size() + mark.size() > kMaxBytes) {
                continue;
            }
            face.insert(random() % 2 ? face.size() : 0, mark);
        }
        if (!seen.insert(std::hash<std::string>{}(face)).second) {
            continue;
        }
        bytes += face;
        bytes += "\r\n";
        bytes += pick(folders);
        bytes += "\r\n\r\n";
    }
    return bytes;
}

const std::string& CachedFaceList(std::size_t count) {
    static std::map<std::size_t, std::string> cache;
    auto found = cache.find(count);
    if (found == cache.end()) {
        found = cache.emplace(count, GenerateFaceList(count)).first;
    }
    return found->second;
}

}  // namespace mopira::bench
