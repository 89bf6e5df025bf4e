#include "support/base64.h"

#include <array>

namespace payfmt {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> makeDecodeTable() {
    std::array<signed char, 256> t{};
    for (auto& v : t) v = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return t;
}

constexpr auto kDecode = makeDecodeTable();

}  // namespace

Bytes rawToBase64(BytesView raw) {
    Bytes out;
    out.reserve((raw.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= raw.size(); i += 3) {
        const unsigned v = (byteAt(raw, i) << 16) | (byteAt(raw, i + 1) << 8) | byteAt(raw, i + 2);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = raw.size() - i;
    if (rest) {
        unsigned v = byteAt(raw, i) << 16;
        if (rest == 2) v |= byteAt(raw, i + 1) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<Bytes> base64ToRaw(std::string_view text) {
    // Padding may only close the last group.
    std::size_t len = text.size();
    std::size_t pad = 0;
    while (len > 0 && text[len - 1] == '=' && pad < 2) {
        --len;
        ++pad;
    }
    if (pad && (len + pad) % 4 != 0) return std::nullopt;
    if (len % 4 == 1) return std::nullopt;
    Bytes out;
    out.reserve(len / 4 * 3 + 2);
    unsigned acc = 0;
    int bits = 0;
    for (std::size_t i = 0; i < len; ++i) {
        const int v = kDecode[static_cast<unsigned char>(text[i])];
        if (v < 0) return std::nullopt;
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

}  // namespace payfmt
