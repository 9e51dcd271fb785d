#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace mopira {

// A fast 64-bit fingerprint of a file's bytes, fed in pieces of any size: the result depends
// only on the bytes, not on how they were cut. It tells whether a file is still the one the
// program wrote or read; it is no defence against anyone crafting collisions.
class CContentHash {
public:
    void Update(std::string_view bytes) {
        // No bytes may come without a buffer, and memcpy must not be given a null pointer.
        if (bytes.empty()) {
            return;
        }
        m_length += bytes.size();
        std::size_t pos = 0;
        if (m_pending > 0) {
            const std::size_t take = std::min(bytes.size(), sizeof(m_buffer) - m_pending);
            std::memcpy(m_buffer + m_pending, bytes.data(), take);
            m_pending += take;
            pos = take;
            if (m_pending < sizeof(m_buffer)) {
                return;
            }
            Mix(Load(m_buffer));
            m_pending = 0;
        }
        for (; pos + 8 <= bytes.size(); pos += 8) {
            Mix(Load(bytes.data() + pos));
        }
        m_pending = bytes.size() - pos;
        std::memcpy(m_buffer, bytes.data() + pos, m_pending);
    }

    std::uint64_t Final() const {
        std::uint64_t h = m_state;
        if (m_pending > 0) {
            char tail[8] = {};
            std::memcpy(tail, m_buffer, m_pending);
            h = Step(h, Load(tail));
        }
        h ^= m_length * kPrime2;
        h ^= h >> 29;
        h *= kPrime1;
        h ^= h >> 32;
        return h;
    }

    static std::uint64_t Of(std::string_view bytes) {
        CContentHash hash;
        hash.Update(bytes);
        return hash.Final();
    }

private:
    static constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
    static constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

    static std::uint64_t Load(const char* bytes) {
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof(word));
        return word;
    }
    static std::uint64_t Step(std::uint64_t h, std::uint64_t word) {
        h ^= word * kPrime2;
        h = (h << 31) | (h >> 33);
        return h * kPrime1;
    }
    void Mix(std::uint64_t word) { m_state = Step(m_state, word); }

    std::uint64_t m_state = 0x27D4EB2F165667C5ull;
    std::uint64_t m_length = 0;
    char m_buffer[8] = {};
    std::size_t m_pending = 0;
};

}  // namespace mopira
