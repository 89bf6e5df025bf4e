#pragma once
// Years written with fewer than four digits, completed from the settings'
// reference date and thresholds.
#include <cstdint>

#include "engine/settings.h"

namespace payfmt {

int referenceYear(const Settings& s);

// The four-digit year of a value written with digits (0 to 4) digits; with
// none, the reference year. Two digits: 2000 + yy below the century
// threshold, else 1900 + yy. One digit: within the reference year's decade,
// y + 10 when y is below the decade threshold. Three digits: 2000 + yyy
// below 500, else 1000 + yyy.
int completeYear(const Settings& s, int value, unsigned digits);

// The same for the settings component: 0 for a value that does not have the
// digits (below 0, or 100 and more for DateCentury, 10 and more for
// DateDeceny).
std::int32_t DateCentury(const Settings& s, std::int32_t yy);
std::int32_t DateDeceny(const Settings& s, std::int32_t y);

}  // namespace payfmt
