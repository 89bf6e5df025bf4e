#pragma once
// The count in front of a binary field: one or two bytes, either binary
// (big-endian) or BCD (two decimal digits a byte, tens in the high nibble,
// most significant byte first).
#include <cstddef>
#include <cstdint>
#include <string>

#include "operators/op_support.h"
#include "support/bytes.h"

namespace payfmt {

struct CountPrefix {
    std::size_t size;  // 1 or 2
    bool bcd;

    constexpr std::uint32_t largest() const {
        if (bcd) return size == 1 ? 99 : 9999;
        return size == 1 ? 255 : 65535;
    }

    // "operator may not manage more than" when n is more than it counts.
    void requireCountable(const OpEnv& env, std::size_t n) const {
        if (n > largest()) env.stop(kErrTooManyCharacters, {env.name(), std::to_string(largest())});
    }
    // "length field must contain at least" when in cannot hold it.
    void requirePresent(const OpEnv& env, BytesView in) const {
        if (in.size() < size) env.stop(kErrLengthFieldShort, {env.name(), std::to_string(size)});
    }

    // Reads the first size bytes of in, which must hold them. BCD nibbles
    // count as they are, unchecked: 1A reads as 20.
    std::uint32_t read(BytesView in) const {
        std::uint32_t n = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t b = byteAt(in, i);
            n = bcd ? (n * 10 + (b >> 4)) * 10 + (b & 15) : n << 8 | b;
        }
        return n;
    }

    // Appends n, which is at most largest().
    void write(std::uint32_t n, Bytes& out) const {
        const std::uint32_t radix = bcd ? 100 : 256;  // what one byte holds
        for (std::uint32_t unit = size == 2 ? radix : 1; unit > 0; unit /= radix) {
            const std::uint32_t v = n / unit % radix;
            out.push_back(static_cast<char>(bcd ? (v / 10) << 4 | v % 10 : v));
        }
    }
};

}  // namespace payfmt
