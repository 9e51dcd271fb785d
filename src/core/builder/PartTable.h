#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

// The kinds of part a face is made of, in the order of the create tab's type list.
enum class PartCategory { Eye, Mouth, Edge, Emotion };
inline constexpr std::size_t kPartCategoryCount = 4;

// The seven places of a face, in the order they are joined.
enum class PartSlot { EdgeLeft, EmotionLeft, EyeLeft, Mouth, EyeRight, EmotionRight, EdgeRight };
inline constexpr std::size_t kPartSlotCount = 7;

struct PartCategoryInfo {
    PartCategory category;
    const char* fileName;
    int recordWidth;     // lines per record: the row name and one or two variations
    bool recogniseNone;  // a variation line "none" stands for an empty part
};

struct PartSlotInfo {
    PartSlot slot;
    PartCategory category;
    int variation;  // 1 or 2
};

const PartCategoryInfo& InfoOf(PartCategory category);
const PartSlotInfo& InfoOf(PartSlot slot);
// The slots in the order they are joined into a face.
const std::array<PartSlotInfo, kPartSlotCount>& AllPartSlots();
const std::array<PartCategoryInfo, kPartCategoryCount>& AllPartCategories();

// One parts file as read: the lines that were kept, in file order, the record width and the
// encoding of the strings. Row i is the strings from i * width on: its name, then its
// variations. Strings behind the last complete row belong to no row.
struct PartTable {
    std::vector<std::string> strings;
    int width = 3;
    Charset charset;

    std::size_t RowCount() const { return strings.size() / static_cast<std::size_t>(width); }
    const std::string& Name(std::size_t row) const { return strings[row * width]; }
    // Variation 1 or 2 of `row`; empty for a variation the record width does not have.
    const std::string& Variation(std::size_t row, int variation) const;
};

// Reads parts-file bytes: blank lines before a record are skipped, an empty variation line
// is not stored (so the rows behind it shift), and with `recogniseNone` a variation line
// that is exactly "none" is stored as an empty part. A file that starts with the UTF-8 byte
// order mark is UTF-8, any other CP932.
PartTable LoadPartTable(std::string_view bytes, int width, bool recogniseNone);
PartTable LoadPartTable(std::string_view bytes, PartCategory category);

}  // namespace mopira
