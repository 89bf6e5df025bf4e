#pragma once
// Reading integers from text, as the length fields and arguments need it:
// an optional "-" (base 10 only), then digits of the base, nothing else.
#include <cstdint>
#include <string_view>

#include "support/status.h"

namespace payfmt {

struct NumberRead {
    Status status = 0;       // 0, VEX_E_FORMAT (no digit) or VEX_E_OVERFLOW
    std::int32_t value = 0;
    std::size_t end = 0;     // position after the last character read
};

// Reads from text[pos]; stops at the first character that is not a digit.
NumberRead readLong(std::string_view text, std::size_t pos, unsigned base);

}  // namespace payfmt
