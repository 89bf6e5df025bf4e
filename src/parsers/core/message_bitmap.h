#pragma once
// The bit sets that announce a message's fields: bit n (from 1) is byte
// (n - 1) / 8 under the mask 0x80 >> ((n - 1) % 8), so that bit 1 is the top
// bit of the first byte. Bits outside the set read as clear and are never
// written.
#include <array>
#include <cstddef>
#include <cstdint>

#include "support/bytes.h"

namespace payfmt {

template <std::size_t ByteCount>
class MessageBitmap {
public:
    static constexpr int kBits = static_cast<int>(ByteCount * 8);

    bool test(int bit) const { return bit >= 1 && bit <= kBits && (bytes_[index(bit)] & mask(bit)); }
    void set(int bit) {
        if (bit >= 1 && bit <= kBits) bytes_[index(bit)] |= mask(bit);
    }
    // Copies bytes in from byte offset on, as far as the set reaches.
    void load(std::size_t offset, BytesView bytes) {
        for (std::size_t i = 0; i < bytes.size() && offset + i < ByteCount; ++i)
            bytes_[offset + i] = static_cast<std::uint8_t>(bytes[i]);
    }
    // count bytes from offset (no further than the set reaches).
    BytesView view(std::size_t offset, std::size_t count) const {
        if (offset > ByteCount) offset = ByteCount;
        if (count > ByteCount - offset) count = ByteCount - offset;
        return BytesView(reinterpret_cast<const char*>(bytes_.data()) + offset, count);
    }
    std::uint8_t byte(std::size_t i) const { return i < ByteCount ? bytes_[i] : 0; }
    void setByteBits(std::size_t i, std::uint8_t bits) {
        if (i < ByteCount) bytes_[i] |= bits;
    }

private:
    static std::size_t index(int bit) { return static_cast<std::size_t>(bit - 1) / 8; }
    static std::uint8_t mask(int bit) { return static_cast<std::uint8_t>(0x80u >> ((bit - 1) % 8)); }
    std::array<std::uint8_t, ByteCount> bytes_{};
};

}  // namespace payfmt
