#pragma once
// EDA text: bytes 0x20-0x7E other than the backslash stand for themselves,
// every other byte is a backslash and two upper-case hexadecimal digits.
#include <optional>

#include "support/bytes.h"

namespace payfmt {

// Characters of EDA text that stand for one byte.
constexpr unsigned edaWidth(unsigned char b) { return b >= 0x20 && b <= 0x7E && b != '\\' ? 1 : 3; }

Bytes rawToEda(BytesView raw);

// Reads EDA text (escape digits in either case). A backslash not followed by
// two hexadecimal digits gives nullopt.
std::optional<Bytes> edaToRaw(std::string_view text);

}  // namespace payfmt
