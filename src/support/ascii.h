#pragma once
// ASCII-only character helpers: formats, names and notations are 8-bit text
// whose case rules must not depend on the C locale.
#include <string>
#include <string_view>

namespace payfmt {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool isAlnum(char c) { return isDigit(c) || isAlpha(c); }
constexpr char toUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
constexpr char toLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Value of a hexadecimal digit of either case, or -1.
constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr char hexDigit(unsigned v) { return "0123456789ABCDEF"[v & 15]; }

inline std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = toUpper(c);
    return r;
}

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && toUpper(a[i]) != toUpper(b[i])) return false;
    return true;
}

// <0, 0, >0 like strcmp, ignoring ASCII case.
inline int compareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(toUpper(a[i]));
        const unsigned char y = static_cast<unsigned char>(toUpper(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Upper-case hexadecimal text of a code, as many digits as it needs.
inline std::string hexCode(unsigned v) {
    std::string r;
    do {
        r.insert(r.begin(), hexDigit(v));
        v >>= 4;
    } while (v);
    return r;
}

}  // namespace payfmt
