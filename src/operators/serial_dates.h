#pragma once
// Serial dates: the whole part counts days from 30 December 1899 (day 0),
// the fraction is the time of day. Every serial date here lies in the years
// an IDate can hold, 0 to 9999.
#include <string>
#include <string_view>

#include "engine/settings.h"
#include "operators/date_fields.h"
#include "support/civil_date.h"

namespace payfmt {

double serialFromDateTime(const DateTime& dt);

// Whether the whole part of a serial date lies in the years 0 to 9999.
bool withinSerialRange(double serial);

// The calendar day of a serial date's whole part. A value that is not finite
// stops with "not a valid parameter", one outside the years 0 to 9999 with
// "year must be in the range 0-9999".
CivilDate civilDayOf(double serial, const DateReport& report);

// The date and time of a serial date, to the nearest second; stops as
// civilDayOf does.
DateTime dateTimeFromSerial(double serial, const DateReport& report);

// The first 14 characters of an IDate as a serial date; the date must exist
// in the calendar. Reports at location "IDateToSerial".
double iDateToSerial(Settings& s, std::string_view idate);

// The IDate of a serial date. Reports at location "SerialToIDate".
std::string serialToIDate(Settings& s, double serial);

}  // namespace payfmt
