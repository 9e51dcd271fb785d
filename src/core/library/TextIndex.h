#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mopira {

// A hash set of indices of texts, keyed by those texts, so a text is found without a second
// copy of it. Open addressing with linear probing keeps the table one flat array: loading a
// large library spends its time reading, not allocating nodes.
class CTextIndex {
public:
    // The text of an index, as its owner keeps it.
    using TextOf = std::string_view (*)(const void* owner, std::uint32_t index);

    CTextIndex(TextOf textOf, const void* owner) : m_textOf(textOf), m_owner(owner) {}
    // Indexes the texts of a vector.
    explicit CTextIndex(const std::vector<std::string>& texts)
        : m_textOf([](const void* owner, std::uint32_t index) -> std::string_view {
              return (*static_cast<const std::vector<std::string>*>(owner))[index];
          }),
          m_owner(&texts) {}

    void Clear();
    // Trades tables with another index; each keeps its owner.
    void SwapTable(CTextIndex& other) noexcept {
        m_slots.swap(other.m_slots);
        std::swap(m_count, other.m_count);
    }
    // Makes room for `count` entries without growing again.
    void Reserve(std::size_t count);

    std::optional<std::uint32_t> Find(std::string_view text) const;
    // Indexes texts[index]; false, changing nothing, when an equal text is indexed already.
    bool Insert(std::uint32_t index);
    // Removes texts[index], which must be indexed and unchanged since it was inserted.
    void Erase(std::uint32_t index);

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        std::uint32_t index = kEmpty;
        std::uint32_t hash = 0;
    };

    static std::uint32_t Hash(std::string_view text);
    // The slot holding `text`, or the empty slot where it would go.
    std::size_t Probe(std::string_view text, std::uint32_t hash) const;
    void Rehash(std::size_t capacity);

    std::string_view TextAt(std::uint32_t index) const { return m_textOf(m_owner, index); }

    TextOf m_textOf;
    const void* m_owner;
    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

}  // namespace mopira
