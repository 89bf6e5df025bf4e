#include "support/number.h"

#include "support/ascii.h"

namespace payfmt {

NumberRead readLong(std::string_view text, std::size_t pos, unsigned base) {
    NumberRead r;
    r.end = pos;
    if (base < 2 || base > 36) {
        r.status = VEX_E_INVALIDARG;
        return r;
    }
    bool negative = false;
    std::size_t p = pos;
    if (base == 10 && p < text.size() && text[p] == '-') {
        negative = true;
        ++p;
    }
    const std::size_t digitsStart = p;
    std::int64_t v = 0;
    bool overflow = false;
    for (; p < text.size(); ++p) {
        const char c = text[p];
        int d;
        if (isDigit(c)) d = c - '0';
        else if (isAlpha(c)) d = toUpper(c) - 'A' + 10;
        else break;
        if (d >= static_cast<int>(base)) break;
        if (!overflow) {
            v = v * base + d;
            if (v > 2147483648LL) overflow = true;
        }
    }
    r.end = p;
    if (p == digitsStart) {
        r.status = VEX_E_FORMAT;
        r.end = pos;
        return r;
    }
    if (negative) v = -v;
    if (overflow || v > 2147483647LL || v < -2147483648LL) {
        r.status = VEX_E_OVERFLOW;
        return r;
    }
    r.value = static_cast<std::int32_t>(v);
    return r;
}

}  // namespace payfmt
