#pragma once

#include <compare>
#include <cstdint>

namespace mopira {

// The first 16 bytes of a form of a text whose plain byte order is the encoding's character
// order, packed big-endian: texts whose keys differ compare as their keys do; equal keys need
// the full comparison. Sorting on keys first spares most of the character walks.
struct TextKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    auto operator<=>(const TextKey&) const = default;

    // Packs the first 16 bytes of `form`, which the caller pads with zeros.
    static TextKey Pack(const unsigned char* form) {
        TextKey key;
        for (int i = 0; i < 8; ++i) {
            key.high = (key.high << 8) | form[i];
            key.low = (key.low << 8) | form[8 + i];
        }
        return key;
    }
};

}  // namespace mopira
