#include "operators/year_windows.h"

#include <cmath>

#include "support/civil_date.h"

namespace payfmt {

namespace {

int fromReference(const Settings& s, int) { return referenceYear(s); }

int fromDecade(const Settings& s, int y) {
    const int ref = referenceYear(s);
    return ref - ref % 10 + (y < s.decadeThreshold ? y + 10 : y);
}

int fromCentury(const Settings& s, int yy) { return yy < s.centuryThreshold ? 2000 + yy : 1900 + yy; }

int fromMillennium(const Settings&, int yyy) { return yyy < 500 ? 2000 + yyy : 1000 + yyy; }

int asWritten(const Settings&, int yyyy) { return yyyy; }

// By number of digits.
constexpr int (*kRules[])(const Settings&, int) = {fromReference, fromDecade, fromCentury, fromMillennium,
                                                   asWritten};

}  // namespace

int referenceYear(const Settings& s) {
    return civilFromSerial(static_cast<std::int64_t>(std::floor(s.referenceDate()))).year;
}

int completeYear(const Settings& s, int value, unsigned digits) {
    return kRules[digits < 4 ? digits : 4](s, value);
}

std::int32_t DateCentury(const Settings& s, std::int32_t yy) {
    return yy >= 0 && yy < 100 ? fromCentury(s, yy) : 0;
}

std::int32_t DateDeceny(const Settings& s, std::int32_t y) { return y >= 0 && y < 10 ? fromDecade(s, y) : 0; }

}  // namespace payfmt
