#include "operators/serial_dates.h"

#include <cmath>

#include "operators/op_support.h"

namespace payfmt {

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr std::int64_t kFirstDay = serialFromCivil(0, 1, 1);
constexpr std::int64_t kLastDay = serialFromCivil(9999, 12, 31);

}  // namespace

double serialFromDateTime(const DateTime& dt) {
    const int seconds = dt.hour * 3600 + dt.minute * 60 + dt.second;
    return static_cast<double>(serialFromCivil(dt.year, dt.month, dt.day)) +
           static_cast<double>(seconds) / kSecondsPerDay;
}

bool withinSerialRange(double serial) {
    const double whole = std::floor(serial);
    return whole >= static_cast<double>(kFirstDay) && whole <= static_cast<double>(kLastDay);
}

CivilDate civilDayOf(double serial, const DateReport& report) {
    if (!std::isfinite(serial)) report.errors.raise(report.location, kErrInvalidParameter, {report.name, "serial date"});
    if (!withinSerialRange(serial)) report.outOfRange("year", "0-9999");
    return civilFromSerial(static_cast<std::int64_t>(std::floor(serial)));
}

DateTime dateTimeFromSerial(double serial, const DateReport& report) {
    CivilDate c = civilDayOf(serial, report);
    auto seconds = static_cast<int>(std::lround((serial - std::floor(serial)) * kSecondsPerDay));
    if (seconds == kSecondsPerDay) {
        // So close to midnight that it rounds into the next day.
        c = civilDayOf(std::floor(serial) + 1, report);
        seconds = 0;
    }
    return DateTime{c.year, c.month, c.day, seconds / 3600, seconds / 60 % 60, seconds % 60};
}

double iDateToSerial(Settings& s, std::string_view idate) {
    const DateReport report{s.errors(), "IDateToSerial", "IDateToSerial"};
    return serialFromDateTime(readDateField(iDateLayout(), idate, s, report));
}

std::string serialToIDate(Settings& s, double serial) {
    const DateReport report{s.errors(), "SerialToIDate", "SerialToIDate"};
    return writeDateField(iDateLayout(), dateTimeFromSerial(serial, report));
}

}  // namespace payfmt
