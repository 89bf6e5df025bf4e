#pragma once
// The 23 date layouts: where each part of a date stands in a field. One
// table serves reading a field into a date and writing a date into a field.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace payfmt {

enum DatePart : std::uint8_t { kYear, kMonth, kDay, kDayOfYear, kHour, kMinute, kSecond, kDatePartCount };

// A part's digits in the field; no digits means the layout lacks the part.
struct DateSpan {
    std::uint8_t offset = 0;
    std::uint8_t digits = 0;
};

struct DateLayout {
    std::string_view name;
    std::uint8_t length;  // field characters; may hold digits no part reads
    std::array<DateSpan, kDatePartCount> parts;

    bool has(DatePart p) const { return parts[p].digits != 0; }
};

std::span<const DateLayout> dateLayouts();
// The layout of a name in any case, or null.
const DateLayout* findDateLayout(std::string_view name);
// YYYYMMDDHHMMSS: the layout of the IDate itself.
const DateLayout& iDateLayout();

}  // namespace payfmt
