#pragma once

#include <cstdint>

// Microsoft's code page 932 as tables from bytes to UTF-16 code units; 0xFFFD marks a
// byte or pair that the code page does not assign.
namespace mopira::cp932 {

inline constexpr unsigned kTrailFirst = 0x40;
inline constexpr unsigned kTrailLast = 0xFC;
inline constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;

// Indexed by the byte; lead bytes map to 0xFFFD here.
extern const std::uint16_t kSingleByte[256];
// Row per lead byte (0x81-0x9F, then 0xE0-0xFC), column per trail byte 0x40-0xFC.
extern const std::uint16_t kDoubleByte[];

constexpr int LeadRow(unsigned lead) {
    if (lead >= 0x81 && lead <= 0x9F) {
        return static_cast<int>(lead - 0x81);
    }
    if (lead >= 0xE0 && lead <= 0xFC) {
        return static_cast<int>(lead - 0xE0 + 0x1F);
    }
    return -1;
}

}  // namespace mopira::cp932
