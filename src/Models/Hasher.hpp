#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavelor {

/// Streaming 64-bit hash (FNV-1a with a final avalanche), fed field by field so
/// that records can say exactly which bytes make up their hash.
class Hasher {
public:
    void feed(std::span<const std::byte> bytes)
    {
        for (std::byte b : bytes) {
            m_state ^= static_cast<std::uint64_t>(b);
            m_state *= 0x100000001b3ULL;
        }
    }
    void feedByte(std::uint8_t value) { feed(std::as_bytes(std::span(&value, 1))); }
    void feedUInt64(std::uint64_t value) { feed(std::as_bytes(std::span(&value, 1))); }

    std::size_t finalize() const
    {
        std::uint64_t h = m_state;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ULL;
        h ^= h >> 33;
        return static_cast<std::size_t>(h);
    }

private:
    std::uint64_t m_state = 0xcbf29ce484222325ULL;
};

} // namespace tavelor
