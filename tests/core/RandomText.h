#pragma once

#include <random>
#include <string>
#include <vector>

namespace mopira {

// A text of 0 to `maxPieces` pieces drawn from `pieces`. Drawing from a few chosen pieces
// makes the cases that matter (a trail byte that is also a lead byte, letters at the edges
// of the ASCII range, lone lead bytes) meet each other often.
inline std::string RandomText(std::mt19937& random, const std::vector<std::string>& pieces,
                              int maxPieces) {
    std::string text;
    const auto count = static_cast<int>(random() % static_cast<unsigned>(maxPieces + 1));
    for (int i = 0; i < count; ++i) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

}  // namespace mopira
