#include "core/library/TextStore.h"

#include <algorithm>

namespace mopira {

namespace {

// New texts go into blocks of this size; a longer text gets a block of its own length.
constexpr std::size_t kBlockSize = 1 << 20;

}  // namespace

std::uint32_t CTextStore::Adopt(std::string bytes) {
    m_blocks.push_back(std::make_shared<std::string>(std::move(bytes)));
    m_data.push_back(m_blocks.back()->data());
    m_bAppendable = false;
    return static_cast<std::uint32_t>(m_blocks.size() - 1);
}

TextRef CTextStore::Add(std::string_view text) {
    if (!m_bAppendable || m_blocks.back()->size() + text.size() > m_blocks.back()->capacity()) {
        auto block = std::make_shared<std::string>();
        // Reserved once: appending within it never moves the bytes stored before.
        block->reserve(std::max(kBlockSize, text.size()));
        m_blocks.push_back(std::move(block));
        m_data.push_back(m_blocks.back()->data());
        m_bAppendable = true;
    }
    std::string& block = *m_blocks.back();
    const std::size_t offset = block.size();
    block.append(text);
    return Ref(static_cast<std::uint32_t>(m_blocks.size() - 1), offset, text.size());
}

void CTextStore::Clear() {
    m_blocks.clear();
    m_data.clear();
    m_bAppendable = false;
}

void CTextStore::Swap(CTextStore& other) noexcept {
    m_blocks.swap(other.m_blocks);
    m_data.swap(other.m_data);
    std::swap(m_bAppendable, other.m_bAppendable);
}

CTextStore::Shared CTextStore::Share() const {
    Shared shared;
    shared.blocks.assign(m_blocks.begin(), m_blocks.end());
    shared.data = m_data;
    return shared;
}

}  // namespace mopira
