#pragma once
// The bit set of an ISO 8583 message: bits 1 to 128, bit n at byte
// (n - 1) / 8 under the mask 0x80 >> ((n - 1) % 8), so that bit 1 (the
// secondary bitmap's flag) is the top bit of the first byte. Bytes 0 to 7 are
// the primary bitmap, 8 to 15 the secondary one.
#include <array>
#include <cstdint>

#include "support/bytes.h"

namespace payfmt {

class Bitmap8583 {
public:
    static constexpr int kHalfBytes = 8;
    static constexpr int kHighestBit = 128;

    bool test(int bit) const { return bit >= 1 && bit <= kHighestBit && (bytes_[index(bit)] & mask(bit)); }
    void set(int bit) {
        if (bit >= 1 && bit <= kHighestBit) bytes_[index(bit)] |= mask(bit);
    }
    // Whether any bit of the secondary bitmap (65 to 128) is set.
    bool anySecondary() const {
        for (int i = kHalfBytes; i < 2 * kHalfBytes; ++i)
            if (bytes_[i]) return true;
        return false;
    }
    // Loads the primary (half 0) or secondary (half 1) bitmap; bytes holds 8.
    void load(int half, BytesView bytes) {
        for (int i = 0; i < kHalfBytes; ++i) bytes_[half * kHalfBytes + i] = static_cast<std::uint8_t>(bytes[i]);
    }
    BytesView half(int half) const {
        return BytesView(reinterpret_cast<const char*>(bytes_.data()) + half * kHalfBytes, kHalfBytes);
    }

private:
    static int index(int bit) { return (bit - 1) / 8; }
    static std::uint8_t mask(int bit) { return static_cast<std::uint8_t>(0x80u >> ((bit - 1) % 8)); }
    std::array<std::uint8_t, 2 * kHalfBytes> bytes_{};
};

}  // namespace payfmt
