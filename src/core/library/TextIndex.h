#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mopira {

// A hash set of indices into a vector of texts, keyed by those texts, so a text is found
// without a second copy of it. Open addressing with linear probing keeps the table one flat
// array: loading a large library spends its time reading, not allocating nodes.
class CTextIndex {
public:
    explicit CTextIndex(const std::vector<std::string>& texts) : m_texts(&texts) {}

    void Clear();
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

    const std::vector<std::string>* m_texts;
    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

}  // namespace mopira
