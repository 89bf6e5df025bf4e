#include "engine/istr.h"

#include "engine/format_error.h"
#include "support/ascii.h"

namespace payfmt {

namespace {
constexpr std::uint32_t kErrNotHex = 0xE2060029;
}

Bytes IStrToRaw(TFormatError& errors, std::string_view text, char escape) {
    if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    if (text.find(escape) == std::string_view::npos) return Bytes(text);
    Bytes raw;
    raw.reserve(text.size());
    for (std::size_t p = 0; p < text.size();) {
        if (text[p] != escape) {
            raw += text[p++];
            continue;
        }
        const int hi = p + 1 < text.size() ? hexValue(text[p + 1]) : -1;
        const int lo = p + 2 < text.size() ? hexValue(text[p + 2]) : -1;
        if (hi < 0 || lo < 0) errors.raise("IStrToRaw", kErrNotHex, {"IStrToRaw"});
        raw += static_cast<char>((hi << 4) | lo);
        p += 3;
    }
    return raw;
}

bool isIStr(std::string_view text, char escape) {
    if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    for (std::size_t p = text.find(escape); p != std::string_view::npos; p = text.find(escape, p + 3)) {
        if (p + 2 >= text.size() || hexValue(text[p + 1]) < 0 || hexValue(text[p + 2]) < 0) return false;
    }
    return true;
}

void appendIStr(std::string& out, BytesView raw, char escape) {
    out.reserve(out.size() + raw.size());
    for (unsigned char b : raw) {
        if (b >= 0x20 && b <= 0x7E && b != static_cast<unsigned char>(escape)) {
            out += static_cast<char>(b);
        } else {
            out += escape;
            out += hexDigit(b >> 4);
            out += hexDigit(b);
        }
    }
}

std::string RawToIStr(BytesView raw, char escape) {
    std::string out;
    appendIStr(out, raw, escape);
    return out;
}

}  // namespace payfmt
