#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mopira {

// Where a text's bytes lie in a CTextStore.
struct TextRef {
    std::uint32_t block = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// A record as the library stores it: where its text lies, and its folder's number.
struct StoredRecord {
    // The folder of a removed record: its id stays taken, so ids keep the library order.
    static constexpr std::uint32_t kRemoved = UINT32_MAX;
    TextRef text;
    std::uint32_t folder = kRemoved;
};

// The bytes of many texts in a few large blocks that only ever grow at their end, so a text
// never moves once stored: a file as read can be a block of its own, its texts used where they
// lie, and a snapshot of the blocks stays valid while texts are added after it, on another
// thread if need be. Texts replaced or removed stay in their block until the store is cleared.
class CTextStore {
public:
    // Takes the bytes of a whole file as a block; its texts are then referred to by offset.
    std::uint32_t Adopt(std::string bytes);
    TextRef Ref(std::uint32_t block, std::size_t offset, std::size_t length) const {
        return {block, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)};
    }
    // Stores a copy of `text` after the others.
    TextRef Add(std::string_view text);
    // All the bytes of a block, as they are now.
    std::string_view Block(std::uint32_t block) const { return *m_blocks[block]; }
    std::string_view View(TextRef ref) const {
        return {m_data[ref.block] + ref.offset, ref.length};
    }
    void Clear();
    void Swap(CTextStore& other) noexcept;

    // The blocks as they are now, with where their bytes start: what a snapshot needs to read
    // every text stored so far, whatever is added later.
    struct Shared {
        std::vector<std::shared_ptr<const std::string>> blocks;
        std::vector<const char*> data;
        std::string_view View(TextRef ref) const {
            return {data[ref.block] + ref.offset, ref.length};
        }
    };
    Shared Share() const;

private:
    std::vector<std::shared_ptr<std::string>> m_blocks;
    // Where each block's bytes start; a block never reallocates, so this never changes.
    std::vector<const char*> m_data;
    // The block that takes new texts while it has room; none when the last one is adopted.
    bool m_bAppendable = false;
};

}  // namespace mopira
