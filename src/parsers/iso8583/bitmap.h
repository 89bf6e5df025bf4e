#pragma once
// The bit set of an ISO 8583 message: bits 1 to 128, where bit 1 (the
// secondary bitmap's flag) is the top bit of the first byte. Bytes 0 to 7 are
// the primary bitmap, 8 to 15 the secondary one.
#include "parsers/core/message_bitmap.h"

namespace payfmt {

class Bitmap8583 : public MessageBitmap<16> {
public:
    static constexpr int kHalfBytes = 8;
    static constexpr int kHighestBit = kBits;

    // Whether any bit of the secondary bitmap (65 to 128) is set.
    bool anySecondary() const {
        for (int i = kHalfBytes; i < 2 * kHalfBytes; ++i)
            if (byte(static_cast<std::size_t>(i))) return true;
        return false;
    }
    // Loads the primary (half 0) or secondary (half 1) bitmap; bytes holds 8.
    void loadHalf(int half, BytesView bytes) { load(static_cast<std::size_t>(half * kHalfBytes), bytes.substr(0, kHalfBytes)); }
    BytesView half(int half) const { return view(static_cast<std::size_t>(half * kHalfBytes), kHalfBytes); }
};

}  // namespace payfmt
