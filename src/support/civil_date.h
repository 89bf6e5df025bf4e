#pragma once
// Proleptic Gregorian calendar arithmetic and serial dates (day 0 is
// 30 December 1899, the fraction is the time of day).
#include <cstdint>

namespace payfmt {

struct CivilDate {
    int year = 1899;
    int month = 12;  // 1-12
    int day = 30;    // 1-31
};

// Days since 1 January 1970 of a civil date, and back.
constexpr std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// Serial day number of 1970-01-01.
constexpr std::int64_t kSerialOfUnixEpoch = 25569;

constexpr std::int64_t serialFromCivil(int y, int m, int d) { return daysFromCivil(y, m, d) + kSerialOfUnixEpoch; }
constexpr CivilDate civilFromSerial(std::int64_t serial) { return civilFromDays(serial - kSerialOfUnixEpoch); }

constexpr bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// 28 to 31; month 1-12.
constexpr int daysInMonth(int y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

static_assert(serialFromCivil(1899, 12, 30) == 0);
static_assert(serialFromCivil(1900, 1, 1) == 2);

// The local date and time now, as a serial date.
double serialNow();

}  // namespace payfmt
