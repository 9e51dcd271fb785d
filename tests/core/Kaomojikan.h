#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/KeywordTable.h"

namespace mopira {

// The real library of the tests, as its FaceList.dat holds it (CP932).
inline std::string KaomojikanFaceList() {
    std::ifstream file(MOPIRA_TEST_LIBRARY, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Readings a user would give its 22 folders, UTF-8 folder name first.
inline const std::vector<std::pair<std::string, std::string>>& KaomojikanReadings() {
    static const std::vector<std::pair<std::string, std::string>> readings = {
        {"AA", "あすきーあーと"}, {"てへぺろ", "てへぺろ"},
        {"なでなで", "なでなで"}, {"びっくり", "びっくり"},
        {"もぐもぐ", "もぐもぐ"}, {"オタク", "おたく"},
        {"キラキラ", "きらきら"}, {"コピペ", "こぴぺ"},
        {"チラッ", "ちらっ"},     {"倒れる", "たおれる"},
        {"動物", "どうぶつ"},     {"可愛い", "かわいい"},
        {"好き", "すき"},         {"嬉しい", "うれしい"},
        {"応援", "おうえん"},     {"怒る", "おこる"},
        {"投げる", "なげる"},     {"泣く", "なく"},
        {"照れる", "てれる"},     {"眠い", "ねむい"},
        {"笑顔", "えがお"},       {"量産型", "りょうさんがた"},
    };
    return readings;
}

inline CKeywordTable KaomojikanTable(Charset charset) {
    CKeywordTable table(charset);
    for (const auto& [folder, reading] : KaomojikanReadings()) {
        table.SetFolderReading(charset.FromUtf8(folder).bytes, reading);
    }
    return table;
}

}  // namespace mopira
