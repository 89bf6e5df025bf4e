#include "support/eda.h"

#include "support/ascii.h"

namespace payfmt {

Bytes rawToEda(BytesView raw) {
    Bytes out;
    out.reserve(raw.size());
    for (unsigned char b : raw) {
        if (edaWidth(b) == 1) {
            out += static_cast<char>(b);
        } else {
            out += '\\';
            out += hexDigit(b >> 4);
            out += hexDigit(b);
        }
    }
    return out;
}

std::optional<Bytes> edaToRaw(std::string_view text) {
    Bytes out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int hi = hexValue(text[i + 1]);
        const int lo = hexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>((hi << 4) | lo);
        i += 2;
    }
    return out;
}

}  // namespace payfmt
