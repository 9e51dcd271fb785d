#include "LibraryGenerator.h"

#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/text/Charset.h"

namespace mopira::bench {

namespace {

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
                               "(っ", "٩(", "「(", "(ﾟ", "⊂(", "(((", "ヾ("});
    const auto rights = Encode({")", ")", ")", ")ﾉ", ")／", ")o", "))", "*)", ")ｍ", ")ﾉｼ", "っ)",
                                ")۶", ")」", "ﾟ)", ")⊃", ")))", ")ゞ", ")!!"});
    const auto eyes = Encode({"^", "´", "・", "＞", "ﾟ", "T",   "≧",   "◎", "｀", "ー", "＾",
                              "･", "°", "＠", "＊", "≦", "・`", "´・", "ˇ", "￣", "￢", "⌒"});
    const auto mouths = Encode({"_",   "ω", "▽",  "∀", "ー", "д",  "Д",  "o", "ε", "艸", "∇",
                                "_ゝ", "□", "ェ", "ρ", "ヮ", "﹏", "〜", "3", "x", "ｰ",  "皿"});
    const auto marks = Encode({"",   "",     "",    ";",   "*",      "☆", "♪",  "#", "?", "!",
                               "ﾉｼ", "ｷﾗｰﾝ", "ｳﾌﾌ", "ﾆﾔﾘ", "ｼｮﾎﾞｰﾝ", "♡", "☆ﾐ", "ｯ", "…", "ぉ"});
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
    std::unordered_set<std::string> seen;
    std::string bytes;
    bytes.reserve(count * 36);
    while (seen.size() < count) {
        const std::string& eye = pick(eyes);
        std::string face = pick(marks) + pick(lefts) + pick(marks) + eye + pick(mouths) + eye +
                           pick(marks) + pick(rights) + pick(marks);
        if (!seen.insert(face).second) {
            continue;
        }
        bytes += face;
        bytes += "\r\n";
        bytes += pick(folders);
        bytes += "\r\n\r\n";
    }
    return bytes;
}

}  // namespace mopira::bench
