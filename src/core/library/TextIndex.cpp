#include "core/library/TextIndex.h"

#include <functional>

namespace mopira {

namespace {

// At most half full, so probes stay short.
constexpr std::size_t kMinCapacity = 16;

std::size_t CapacityFor(std::size_t count) {
    std::size_t capacity = kMinCapacity;
    while (capacity < 2 * count) {
        capacity *= 2;
    }
    return capacity;
}

}  // namespace

std::uint32_t CTextIndex::Hash(std::string_view text) {
    const std::size_t hash = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

void CTextIndex::Clear() {
    m_slots.clear();
    m_count = 0;
}

void CTextIndex::Reserve(std::size_t count) {
    if (CapacityFor(count) > m_slots.size()) {
        Rehash(CapacityFor(count));
    }
}

void CTextIndex::Rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(m_slots);
    const std::size_t mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.index != kEmpty) {
            std::size_t at = slot.hash & mask;
            while (m_slots[at].index != kEmpty) {
                at = (at + 1) & mask;
            }
            m_slots[at] = slot;
        }
    }
}

std::size_t CTextIndex::Probe(std::string_view text, std::uint32_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = hash & mask;
    while (m_slots[at].index != kEmpty &&
           (m_slots[at].hash != hash || TextAt(m_slots[at].index) != text)) {
        at = (at + 1) & mask;
    }
    return at;
}

std::optional<std::uint32_t> CTextIndex::Find(std::string_view text) const {
    if (m_count == 0) {
        return std::nullopt;
    }
    const Slot& slot = m_slots[Probe(text, Hash(text))];
    if (slot.index == kEmpty) {
        return std::nullopt;
    }
    return slot.index;
}

bool CTextIndex::Insert(std::uint32_t index) {
    Reserve(m_count + 1);
    const std::string_view text = TextAt(index);
    const std::uint32_t hash = Hash(text);
    const std::size_t at = Probe(text, hash);
    if (m_slots[at].index != kEmpty) {
        return false;
    }
    m_slots[at] = Slot{index, hash};
    ++m_count;
    return true;
}

void CTextIndex::Erase(std::uint32_t index) {
    const std::string_view text = TextAt(index);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t hole = Probe(text, Hash(text));
    if (m_slots[hole].index != index) {
        return;
    }
    // Backward-shift deletion: pull later entries of the probe run into the hole when their
    // home slot lies at or before it, so no tombstones are needed.
    std::size_t next = (hole + 1) & mask;
    while (m_slots[next].index != kEmpty) {
        const std::size_t home = m_slots[next].hash & mask;
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
        next = (next + 1) & mask;
    }
    m_slots[hole] = Slot{};
    --m_count;
}

}  // namespace mopira
