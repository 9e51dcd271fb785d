#include "core/builder/FaceBuilder.h"

namespace mopira {

CFaceBuilder::CFaceBuilder()
    : m_included{true, true, true, false}, m_captions{"(", "", "^", "_", "^", ";", ")"} {
    for (const PartCategoryInfo& info : AllPartCategories()) {
        m_tables[Index(info.category)].width = info.recordWidth;
    }
}

namespace {

void MakeUtf8(PartTable& table) {
    if (table.charset.GetEncoding() == Encoding::Utf8) {
        return;
    }
    for (std::string& text : table.strings) {
        text = Cp932::ToUtf8(text);
    }
    table.charset = Charset(Encoding::Utf8);
}

}  // namespace

void CFaceBuilder::SetTable(PartCategory category, PartTable table) {
    if (table.charset.GetEncoding() == Encoding::Utf8 &&
        m_charset.GetEncoding() != Encoding::Utf8) {
        for (PartTable& other : m_tables) {
            MakeUtf8(other);
        }
        for (std::string& caption : m_captions) {
            caption = Cp932::ToUtf8(caption);
        }
        m_charset = Charset(Encoding::Utf8);
    }
    if (m_charset.GetEncoding() == Encoding::Utf8) {
        MakeUtf8(table);
    }
    m_tables[Index(category)] = std::move(table);
}

std::string CFaceBuilder::ComposeFace() const {
    std::string face;
    for (const PartSlotInfo& slot : AllPartSlots()) {
        if (IsIncluded(slot.category)) {
            face += Caption(slot.slot);
        }
    }
    return face;
}

bool CFaceBuilder::HasFace() const {
    for (const PartSlotInfo& slot : AllPartSlots()) {
        if (IsIncluded(slot.category) && !Caption(slot.slot).empty()) {
            return true;
        }
    }
    return false;
}

bool CFaceBuilder::SelectRow(PartCategory category, int row) {
    const PartTable& table = Table(category);
    if (row < 0 || static_cast<std::size_t>(row) >= table.RowCount()) {
        return false;
    }
    m_rows[Index(category)] = row;
    for (const PartSlotInfo& slot : AllPartSlots()) {
        if (slot.category == category) {
            m_captions[Index(slot.slot)] =
                table.Variation(static_cast<std::size_t>(row), slot.variation);
        }
    }
    return true;
}

bool CFaceBuilder::StepRow(PartCategory category) {
    const auto rows = static_cast<int>(Table(category).RowCount());
    if (rows == 0) {
        return false;
    }
    const int next = CurrentRow(category) + 1;
    return SelectRow(category, next >= rows ? 0 : next);
}

void CFaceBuilder::Randomize(const RandomSource& random) {
    for (const PartCategoryInfo& info : AllPartCategories()) {
        if (!IsIncluded(info.category)) {
            continue;
        }
        const unsigned draw = random();
        const std::size_t rows = Table(info.category).RowCount();
        if (rows > 0) {
            SelectRow(info.category, static_cast<int>(draw % rows));
        }
    }
}

}  // namespace mopira
