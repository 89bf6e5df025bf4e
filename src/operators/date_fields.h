#pragma once
// Reading a date field of any layout into a date and time, and writing one
// out. An IDate ("YYYYMMDDhhmmss") is the field of the layout YYYYMMDDHHMMSS.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/settings.h"
#include "operators/date_layouts.h"

namespace payfmt {

constexpr std::uint32_t kInfoDateNotDecimal = 0x62060031;
constexpr std::uint32_t kInfoDateOutOfRange = 0x62060032;
constexpr std::uint32_t kInfoDateZeroFilled = 0x62060033;

struct DateTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// Where a date conversion stops: the location of the report and the name
// (a layout, a function) that opens every message.
struct DateReport {
    TFormatError& errors;
    std::string_view location;
    std::string_view name;

    [[noreturn]] void shortInput(std::size_t expected, std::size_t received) const;
    [[noreturn]] void notDecimal() const;
    [[noreturn]] void zeroFilled() const;
    [[noreturn]] void outOfRange(std::string_view label, std::string_view range) const;
    // Stops with "label must be in the range lo-hi" unless lo <= value <= hi.
    void requireRange(std::int64_t value, std::string_view label, std::int64_t lo, std::int64_t hi) const;
};

// The date and time of the first layout.length characters of field. Short or
// non-decimal input, an all-zero date and any part outside the calendar stop
// the conversion. Parts the layout lacks: the reference year, month and day
// 1, hour 12, minute and second 0.
DateTime readDateField(const DateLayout& layout, std::string_view field, const Settings& s,
                       const DateReport& report);

// The layout's field for a date: each part's last digits in its place, the
// day of year as three digits, every other character "0".
std::string writeDateField(const DateLayout& layout, const DateTime& dt);

// The day of the year, 1 for 1 January.
int dayOfYear(const DateTime& dt);

}  // namespace payfmt
