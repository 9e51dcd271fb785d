#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/builder/PartTable.h"

namespace mopira {

// The create tab's state without any widget: the parts tables, the current row of each
// category, the category shown in the variation list, the seven slot captions (which are the
// face) and which categories take part in the face.
class CFaceBuilder {
public:
    // Gives a pseudo-random number on each call, like rand(); injectable so tests can script
    // the draws and count them.
    using RandomSource = std::function<unsigned()>;

    // Captions as the window starts, "(^_^)" with a ";" waiting in the unchecked feelings.
    CFaceBuilder();

    // A CP932 table joins a UTF-8 builder as UTF-8; the first UTF-8 table makes the tables
    // and captions so far UTF-8. CP932 characters all have UTF-8 forms, and the parts are
    // never written back, so nothing is lost but the bytes of invalid characters.
    void SetTable(PartCategory category, PartTable table);
    const PartTable& Table(PartCategory category) const { return m_tables[Index(category)]; }

    // The encoding of every table, caption and composed face: UTF-8 once any table is,
    // else CP932, so a face never mixes encodings.
    Charset GetCharset() const { return m_charset; }

    const std::string& Caption(PartSlot slot) const { return m_captions[Index(slot)]; }
    bool IsIncluded(PartCategory category) const { return m_included[Index(category)]; }
    void SetIncluded(PartCategory category, bool included) {
        m_included[Index(category)] = included;
    }
    int CurrentRow(PartCategory category) const { return m_rows[Index(category)]; }
    std::optional<PartCategory> ShownCategory() const { return m_shown; }
    void SetShownCategory(PartCategory category) { m_shown = category; }

    // The included slots' captions joined in face order.
    std::string ComposeFace() const;
    // Whether that face has any character, without building it.
    bool HasFace() const;

    // Makes `row` the category's current row and puts its variations into the category's
    // slots. A row the table does not have changes nothing and returns false.
    bool SelectRow(PartCategory category, int row);
    // The part button's click: the next row, wrapping after the last; a table without rows
    // leaves everything as it is and returns false.
    bool StepRow(PartCategory category);
    // One draw per included category, in type-list order, each picking that category's row;
    // a category whose table has no rows keeps its slots.
    void Randomize(const RandomSource& random);

private:
    static std::size_t Index(PartCategory category) { return static_cast<std::size_t>(category); }
    static std::size_t Index(PartSlot slot) { return static_cast<std::size_t>(slot); }

    Charset m_charset;
    std::array<PartTable, kPartCategoryCount> m_tables;
    std::array<int, kPartCategoryCount> m_rows{};
    std::array<bool, kPartCategoryCount> m_included{};
    std::array<std::string, kPartSlotCount> m_captions;
    std::optional<PartCategory> m_shown;
};

}  // namespace mopira
