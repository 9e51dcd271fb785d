#include "core/builder/PartTable.h"

#include "core/text/LineReader.h"

namespace mopira {

namespace {

constexpr std::array<PartCategoryInfo, kPartCategoryCount> kCategories = {{
    {PartCategory::Eye, "Eye.dat", 3, false},
    {PartCategory::Mouth, "Mouth.dat", 2, false},
    {PartCategory::Edge, "Edge.dat", 3, true},
    {PartCategory::Emotion, "Emotion.dat", 3, true},
}};

constexpr std::array<PartSlotInfo, kPartSlotCount> kSlots = {{
    {PartSlot::EdgeLeft, PartCategory::Edge, 1},
    {PartSlot::EmotionLeft, PartCategory::Emotion, 1},
    {PartSlot::EyeLeft, PartCategory::Eye, 1},
    {PartSlot::Mouth, PartCategory::Mouth, 1},
    {PartSlot::EyeRight, PartCategory::Eye, 2},
    {PartSlot::EmotionRight, PartCategory::Emotion, 2},
    {PartSlot::EdgeRight, PartCategory::Edge, 2},
}};

}  // namespace

const PartCategoryInfo& InfoOf(PartCategory category) {
    return kCategories[static_cast<std::size_t>(category)];
}

const PartSlotInfo& InfoOf(PartSlot slot) {
    return kSlots[static_cast<std::size_t>(slot)];
}

const std::array<PartSlotInfo, kPartSlotCount>& AllPartSlots() {
    return kSlots;
}

const std::array<PartCategoryInfo, kPartCategoryCount>& AllPartCategories() {
    return kCategories;
}

const std::string& PartTable::Variation(std::size_t row, int variation) const {
    static const std::string none;
    return variation < width ? strings[row * width + variation] : none;
}

PartTable LoadPartTable(std::string_view bytes, int width, bool recogniseNone) {
    PartTable table;
    table.width = width;
    table.charset = Charset::TakeFileMark(bytes);
    CLineReader reader(bytes);
    std::string_view line;
    while (reader.Next(line)) {
        if (line.empty()) {
            continue;
        }
        table.strings.emplace_back(line);
        for (int k = 1; k < width; ++k) {
            reader.Next(line);
            if (line.empty()) {
                continue;
            }
            table.strings.emplace_back(recogniseNone && line == "none" ? std::string_view() : line);
        }
    }
    return table;
}

PartTable LoadPartTable(std::string_view bytes, PartCategory category) {
    const PartCategoryInfo& info = InfoOf(category);
    return LoadPartTable(bytes, info.recordWidth, info.recogniseNone);
}

}  // namespace mopira
