#pragma once
// BER-TLV tags and definite lengths (ISO/IEC 8825-1) as EMV uses them: the
// one rule shared by the BERTAG and BERLEN operators and the parsers that
// read and write such headers directly.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "support/bytes.h"

namespace payfmt {

// The bytes the tag at the start of in takes: one, unless the low five bits
// of the first are all set; then up to the first following byte whose top
// bit is clear. More than in.size() when in ends inside the tag.
inline std::size_t berTagLength(BytesView in) {
    if (in.empty()) return 0;
    std::size_t length = 1;
    if ((byteAt(in, 0) & 0x1F) == 0x1F) {
        while (length < in.size() && byteAt(in, length) & 0x80) ++length;
        ++length;  // the last byte; past the input when every byte had its top bit set
    }
    return length;
}

// Appends the definite-length header of length: one byte below 128, else
// 80 + k and the length in k big-endian bytes; minimumSize 2 to 5 asks for
// at least that many header bytes (other values are ignored).
inline void appendBerLength(Bytes& out, std::uint64_t length, std::int64_t minimumSize) {
    std::size_t size = length < 0x80 ? 1 : length < 0x100 ? 2 : length < 0x10000 ? 3 : length < 0x1000000 ? 4 : 5;
    if (minimumSize >= 2 && minimumSize <= 5) size = std::max(size, static_cast<std::size_t>(minimumSize));
    if (size == 1) {
        out.push_back(static_cast<char>(length));
        return;
    }
    out.push_back(static_cast<char>(0x80 + size - 1));
    for (std::size_t i = size - 1; i-- > 0;) out.push_back(static_cast<char>(length >> (8 * i)));
}

struct BerLength {
    std::uint32_t value;  // the length
    std::uint32_t size;   // the header bytes it took
};

// The definite length at the start of in; none when in is empty or the
// header claims more than four length bytes or more than in holds.
inline std::optional<BerLength> readBerLength(BytesView in) {
    if (in.empty()) return std::nullopt;
    const std::uint8_t first = byteAt(in, 0);
    if (first < 0x80) return BerLength{first, 1};
    const std::size_t n = first - 0x80u;
    if (n > 4 || n > in.size() - 1) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 1; i <= n; ++i) value = value << 8 | byteAt(in, i);
    return BerLength{value, static_cast<std::uint32_t>(n + 1)};
}

}  // namespace payfmt
