#include "support/hex.h"

#include "support/ascii.h"

namespace payfmt {

std::size_t hexToRaw(std::string_view text, Bytes& out) {
    std::size_t used = 0;
    while (used < text.size() && hexValue(text[used]) >= 0) ++used;
    out.reserve(out.size() + (used + 1) / 2);
    for (std::size_t i = 0; i < used; i += 2) {
        const int hi = hexValue(text[i]);
        const int lo = i + 1 < used ? hexValue(text[i + 1]) : 0;
        out.push_back(static_cast<char>((hi << 4) | lo));
    }
    return used;
}

void appendHex(Bytes& out, BytesView raw) {
    const std::size_t at = out.size();
    out.resize(at + 2 * raw.size());
    char* p = out.data() + at;
    for (unsigned char b : raw) {
        *p++ = hexDigit(b >> 4);
        *p++ = hexDigit(b);
    }
}

}  // namespace payfmt
