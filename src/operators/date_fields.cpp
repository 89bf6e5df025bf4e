#include "operators/date_fields.h"

#include <algorithm>
#include <array>

#include "operators/op_support.h"
#include "operators/year_windows.h"
#include "support/ascii.h"
#include "support/civil_date.h"

namespace payfmt {

namespace {

int digitsAt(std::string_view field, DateSpan span) {
    int v = 0;
    for (char c : field.substr(span.offset, span.digits)) v = v * 10 + (c - '0');
    return v;
}

// The time parts, checked after the date, in the order the messages name them.
struct TimeRange {
    int DateTime::*field;
    std::string_view label;
    int highest;
};
constexpr TimeRange kTimeRanges[] = {
    {&DateTime::hour, "hh", 23},
    {&DateTime::minute, "mm", 59},
    {&DateTime::second, "ss", 59},
};

}  // namespace

void DateReport::shortInput(std::size_t expected, std::size_t received) const {
    errors.raise(location, kWarnStoppedShortInput, {name, std::to_string(expected), std::to_string(received)});
}

void DateReport::notDecimal() const { errors.raise(location, kInfoDateNotDecimal, {name}); }

void DateReport::zeroFilled() const { errors.raise(location, kInfoDateZeroFilled, {name}); }

void DateReport::outOfRange(std::string_view label, std::string_view range) const {
    errors.raise(location, kInfoDateOutOfRange, {name, label, range});
}

void DateReport::requireRange(std::int64_t value, std::string_view label, std::int64_t lo, std::int64_t hi) const {
    if (value < lo || value > hi) outOfRange(label, std::to_string(lo) + "-" + std::to_string(hi));
}

DateTime readDateField(const DateLayout& layout, std::string_view field, const Settings& s,
                       const DateReport& report) {
    if (field.size() < layout.length) report.shortInput(layout.length, field.size());
    field = field.substr(0, layout.length);
    if (!std::all_of(field.begin(), field.end(), isDigit)) report.notDecimal();

    std::array<int, kDatePartCount> v{};
    for (unsigned p = 0; p < kDatePartCount; ++p) v[p] = digitsAt(field, layout.parts[p]);
    if (v[kYear] == 0 && v[kMonth] == 0 && v[kDay] == 0 && v[kDayOfYear] == 0 &&
        (layout.has(kYear) || layout.has(kMonth)))
        report.zeroFilled();

    DateTime dt;
    dt.year = completeYear(s, v[kYear], layout.parts[kYear].digits);
    dt.month = layout.has(kMonth) ? v[kMonth] : 1;
    dt.day = layout.has(kDay) ? v[kDay] : 1;
    dt.hour = layout.has(kHour) ? v[kHour] : 12;
    dt.minute = v[kMinute];
    dt.second = v[kSecond];

    report.requireRange(dt.month, "MM", 1, 12);
    report.requireRange(dt.day, "DD", 1, daysInMonth(dt.year, dt.month));
    if (layout.has(kDayOfYear)) {
        report.requireRange(v[kDayOfYear], "DDD", 1, isLeapYear(dt.year) ? 366 : 365);
        const CivilDate c = civilFromSerial(serialFromCivil(dt.year, 1, 1) + v[kDayOfYear] - 1);
        dt.month = c.month;
        dt.day = c.day;
    }
    for (const TimeRange& t : kTimeRanges) report.requireRange(dt.*t.field, t.label, 0, t.highest);
    return dt;
}

std::string writeDateField(const DateLayout& layout, const DateTime& dt) {
    const std::array<int, kDatePartCount> v = {dt.year, dt.month, dt.day, dayOfYear(dt),
                                               dt.hour, dt.minute, dt.second};
    std::string field(layout.length, '0');
    for (unsigned p = 0; p < kDatePartCount; ++p) {
        const DateSpan span = layout.parts[p];
        int rest = v[p];
        for (unsigned i = span.digits; i-- > 0; rest /= 10) field[span.offset + i] = static_cast<char>('0' + rest % 10);
    }
    return field;
}

int dayOfYear(const DateTime& dt) {
    return static_cast<int>(serialFromCivil(dt.year, dt.month, dt.day) - serialFromCivil(dt.year, 1, 1)) + 1;
}

}  // namespace payfmt
