#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "core/library/FaceLibrary.h"
#include "core/library/KeywordTable.h"

namespace mopira {

// The real library of the tests, as its FaceList.dat holds it (CP932).
inline std::string KaomojikanFaceList() {
    std::ifstream file(MOPIRA_TEST_LIBRARY, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The readings of its 22 folders, as its Keywords.dat gives them.
inline CKeywordTable KaomojikanTable(Charset charset) {
    std::ifstream file(MOPIRA_TEST_DATA_DIR "/Keywords.dat", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return CKeywordTable::Read(bytes, charset).table;
}

}  // namespace mopira
