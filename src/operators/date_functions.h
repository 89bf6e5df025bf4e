#pragma once
// The date functions the settings component offers to scripts. Dates are
// serial dates; each function reports at a location of its own name, and a
// date that is not finite or lies outside the years 0 to 9999 stops it.
// DateCentury and DateDeceny are with the year windows.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/settings.h"

namespace payfmt {

// Adds the days, then the months (the day cut to the month's last day), then
// the years (29 February becoming 28 February outside leap years); the time
// of day stays. A date that is exactly 0 after the days is left at 0.
double DateAdd(Settings& s, double date, std::int32_t years, std::int32_t months, std::int32_t days);

std::int32_t DateDay(Settings& s, double date);
std::int32_t DateMonth(Settings& s, double date);
std::int32_t DateYear(Settings& s, double date);
bool DateIsLeapYear(Settings& s, double date);
// Monday 1 to Sunday 7.
std::int32_t DateWeekDay(Settings& s, double date);
// Week 1 is the week, starting on Monday, that holds 1 January; 0 for a date
// the week cannot be computed for.
std::int32_t DateWeek(const Settings& s, double date);

// The date written in a layout; an unknown layout name stops with
// "operator not found".
std::string DateSerial2DateString(Settings& s, double date, std::string_view format);
// The serial date of a field written in a layout.
double DateString2DateSerial(Settings& s, std::string_view text, std::string_view format);
bool DateIsValidFormat(std::string_view name);

// lowest plus a random whole number of days from 0 to the whole part of the
// distance between the two (the bounds may come in either order).
double DateRnd(Settings& s, double lowest, double highest);

}  // namespace payfmt
