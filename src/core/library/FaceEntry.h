#pragma once

#include <string>

namespace mopira {

// One emoticon named by its text, with its folder, apart from any library.
struct FaceEntry {
    std::string text;
    std::string folder;
    bool operator==(const FaceEntry&) const = default;
};

}  // namespace mopira
