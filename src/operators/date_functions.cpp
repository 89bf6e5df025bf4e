#include "operators/date_functions.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/chain.h"
#include "operators/serial_dates.h"
#include "support/civil_date.h"

namespace payfmt {

namespace {

DateReport reportAs(Settings& s, std::string_view function) { return DateReport{s.errors(), function, function}; }

std::int64_t wholeDays(double serial) { return static_cast<std::int64_t>(std::floor(serial)); }

// Monday 1 to Sunday 7; day 2 (1 January 1900) was a Monday. Floored, so that
// the days before it count the same way.
std::int32_t weekDayOf(std::int64_t day) {
    const std::int64_t r = (day - 2) % 7;
    return static_cast<std::int32_t>((r < 0 ? r + 7 : r) + 1);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

const DateLayout& layoutFor(Settings& s, std::string_view function, std::string_view format) {
    const DateLayout* layout = findDateLayout(format);
    if (!layout) s.errors().raise(function, kErrOperatorNotFound, {format});
    return *layout;
}

std::mt19937_64& generator() {
    static std::mt19937_64 g{std::random_device{}()};
    return g;
}

}  // namespace

double DateAdd(Settings& s, double date, std::int32_t years, std::int32_t months, std::int32_t days) {
    const DateReport report = reportAs(s, "DateAdd");
    const double shifted = date + days;
    if (shifted == 0) return 0;  // no date
    const CivilDate c = civilDayOf(shifted, report);
    const std::int64_t monthIndex = std::int64_t{c.year} * 12 + (c.month - 1) + months;
    const auto afterMonths = static_cast<int>(floorDiv(monthIndex, 12));
    const int month = static_cast<int>(monthIndex - std::int64_t{afterMonths} * 12) + 1;
    const std::int64_t year = std::int64_t{afterMonths} + years;
    report.requireRange(year, "year", 0, 9999);
    const auto y = static_cast<int>(year);
    // Cut by the month step, then by the year step: 31 January 2023 plus one
    // month and one year is 28 February 2024, not the 29th.
    const int day = std::min({c.day, daysInMonth(afterMonths, month), daysInMonth(y, month)});
    return static_cast<double>(serialFromCivil(y, month, day)) + (shifted - std::floor(shifted));
}

std::int32_t DateDay(Settings& s, double date) { return civilDayOf(date, reportAs(s, "DateDay")).day; }

std::int32_t DateMonth(Settings& s, double date) { return civilDayOf(date, reportAs(s, "DateMonth")).month; }

std::int32_t DateYear(Settings& s, double date) { return civilDayOf(date, reportAs(s, "DateYear")).year; }

bool DateIsLeapYear(Settings& s, double date) {
    return isLeapYear(civilDayOf(date, reportAs(s, "DateIsLeapYear")).year);
}

std::int32_t DateWeekDay(Settings& s, double date) {
    civilDayOf(date, reportAs(s, "DateWeekDay"));
    return weekDayOf(wholeDays(date));
}

std::int32_t DateWeek(const Settings&, double date) {
    if (!std::isfinite(date) || !withinSerialRange(date)) return 0;
    const std::int64_t day = wholeDays(date);
    const std::int64_t newYear = serialFromCivil(civilFromSerial(day).year, 1, 1);
    return static_cast<std::int32_t>((day - newYear + weekDayOf(newYear) - 1) / 7 + 1);
}

std::string DateSerial2DateString(Settings& s, double date, std::string_view format) {
    const DateLayout& layout = layoutFor(s, "DateSerial2DateString", format);
    const DateReport report{s.errors(), "DateSerial2DateString", layout.name};
    return writeDateField(layout, dateTimeFromSerial(date, report));
}

double DateString2DateSerial(Settings& s, std::string_view text, std::string_view format) {
    const DateLayout& layout = layoutFor(s, "DateString2DateSerial", format);
    const DateReport report{s.errors(), "DateString2DateSerial", layout.name};
    return serialFromDateTime(readDateField(layout, text, s, report));
}

bool DateIsValidFormat(std::string_view name) { return findDateLayout(name) != nullptr; }

double DateRnd(Settings& s, double lowest, double highest) {
    const DateReport report = reportAs(s, "Date_Rnd");
    civilDayOf(lowest, report);
    civilDayOf(highest, report);
    const double from = std::min(lowest, highest);
    const auto span = static_cast<std::int64_t>(std::floor(std::max(lowest, highest) - from));
    return from + static_cast<double>(std::uniform_int_distribution<std::int64_t>(0, span)(generator()));
}

}  // namespace payfmt
