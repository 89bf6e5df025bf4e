#pragma once
// Hexadecimal text <-> bytes. Writing gives upper-case digits; reading takes
// either case and stops at the first non-digit.
#include <cstddef>

#include "support/bytes.h"

namespace payfmt {

// Appends the bytes of the leading hexadecimal digits of text to out and
// returns how many characters were used. An odd last digit fills the high
// nibble of a last byte whose low nibble is 0.
std::size_t hexToRaw(std::string_view text, Bytes& out);

void appendHex(Bytes& out, BytesView raw);
inline Bytes rawToHex(BytesView raw) {
    Bytes r;
    appendHex(r, raw);
    return r;
}

}  // namespace payfmt
