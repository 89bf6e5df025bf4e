#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "operators/date_functions.h"
#include "operators/date_layouts.h"
#include "operators/serial_dates.h"
#include "support/civil_date.h"

namespace payfmt {
namespace {

double serialOf(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return static_cast<double>(serialFromCivil(y, m, d)) + (hh * 3600 + mm * 60 + ss) / 86400.0;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class SerialDatesTest : public ::testing::Test {
protected:
    SerialDatesTest() { settings.setReferenceDate(serialOf(2026, 3, 15)); }

    // Runs f, which must stop; the message of its report.
    template <class F>
    std::string stopMessage(F&& f) {
        settings.errors().reset();
        try {
            f();
            return "no stop";
        } catch (const TFormatError&) {
            return settings.errors().entries().back().message;
        }
    }

    Settings settings;
};

TEST_F(SerialDatesTest, IDatesAndSerialsConvertBothWays) {
    struct {
        std::string idate;
        double serial;
    } cases[] = {
        {"18991230000000", 0},
        {"19000101000000", 2},
        {"19000101120000", 2.5},
        {"18991229180000", -0.25},  // whole part -1, a quarter of a day left
        {"20260315093045", serialOf(2026, 3, 15, 9, 30, 45)},
        {"20000229235959", serialOf(2000, 2, 29, 23, 59, 59)},
        {"00000101000000", serialOf(0, 1, 1)},
        {"99991231235959", serialOf(9999, 12, 31, 23, 59, 59)},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(iDateToSerial(settings, c.idate), c.serial) << c.idate;
        EXPECT_EQ(serialToIDate(settings, c.serial), c.idate) << c.idate;
    }
    EXPECT_EQ(serialOf(1900, 1, 1), 2.0);
    // Only the first 14 characters are read.
    EXPECT_DOUBLE_EQ(iDateToSerial(settings, "19000101000000 and more"), 2.0);
    // Times are rounded to the second, into the next day if need be.
    EXPECT_EQ(serialToIDate(settings, 2.0 + 0.4 / 86400), "19000101000000");
    EXPECT_EQ(serialToIDate(settings, 2.0 + 0.6 / 86400), "19000101000001");
    EXPECT_EQ(serialToIDate(settings, 2.9999999999), "19000102000000");
}

TEST_F(SerialDatesTest, BadIDatesAndSerialsStop) {
    struct {
        std::string idate, message;
    } cases[] = {
        {"2026031512000", "(A2060030) IDateToSerial: expected 14 input characters, received 13"},
        {"", "(A2060030) IDateToSerial: expected 14 input characters, received 0"},
        {"2026031512000x", "(62060031) IDateToSerial: data must be decimal"},
        {"2026-03-15 12:", "(62060031) IDateToSerial: data must be decimal"},
        {"00000000000000", "(62060033) IDateToSerial: date is zero-filled"},
        {"20261315120000", "(62060032) IDateToSerial: MM must be in the range 1-12"},
        {"20260230120000", "(62060032) IDateToSerial: DD must be in the range 1-28"},
        {"19000229120000", "(62060032) IDateToSerial: DD must be in the range 1-28"},
        {"21000229120000", "(62060032) IDateToSerial: DD must be in the range 1-28"},
        {"20260315240000", "(62060032) IDateToSerial: hh must be in the range 0-23"},
        {"20260315126000", "(62060032) IDateToSerial: mm must be in the range 0-59"},
        {"20260315120060", "(62060032) IDateToSerial: ss must be in the range 0-59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stopMessage([&] { iDateToSerial(settings, c.idate); }), c.message) << c.idate;
    EXPECT_EQ(settings.errors().lastLocation(), "IDateToSerial");

    const std::pair<double, std::string> serials[] = {
        {kNaN, "(E2060005) SerialToIDate: not a valid parameter, expected serial date"},
        {std::numeric_limits<double>::infinity(), "(E2060005) SerialToIDate: not a valid parameter, expected serial date"},
        {1e12, "(62060032) SerialToIDate: year must be in the range 0-9999"},
        {-1e12, "(62060032) SerialToIDate: year must be in the range 0-9999"},
        {serialOf(9999, 12, 31) + 1, "(62060032) SerialToIDate: year must be in the range 0-9999"},
        {serialOf(9999, 12, 31, 23, 59, 59) + 0.9 / 86400, "(62060032) SerialToIDate: year must be in the range 0-9999"},
        {serialOf(0, 1, 1) - 0.5, "(62060032) SerialToIDate: year must be in the range 0-9999"},
    };
    for (const auto& [serial, message] : serials)
        EXPECT_EQ(stopMessage([&] { serialToIDate(settings, serial); }), message) << serial;
}

TEST_F(SerialDatesTest, WeekDays) {
    EXPECT_EQ(DateWeekDay(settings, 2), 1);  // 1 January 1900, a Monday
    EXPECT_EQ(DateWeekDay(settings, 2.75), 1);
    EXPECT_EQ(DateWeekDay(settings, 8), 7);
    EXPECT_EQ(DateWeekDay(settings, 9), 1);
    EXPECT_EQ(DateWeekDay(settings, 1), 7);  // 31 December 1899, a Sunday
    EXPECT_EQ(DateWeekDay(settings, 0), 6);
    EXPECT_EQ(DateWeekDay(settings, -0.5), 5);
    EXPECT_EQ(DateWeekDay(settings, serialOf(2026, 3, 15)), 7);
    EXPECT_EQ(DateWeekDay(settings, serialOf(2026, 1, 1)), 4);
    EXPECT_EQ(stopMessage([&] { DateWeekDay(settings, kNaN); }),
              "(E2060005) DateWeekDay: not a valid parameter, expected serial date");
}

TEST_F(SerialDatesTest, Weeks) {
    for (int y = 1900; y <= 2100; ++y) EXPECT_EQ(DateWeek(settings, serialOf(y, 1, 1) + 0.5), 1) << y;
    // 1 January 2026 is a Thursday: the first Monday starts week 2.
    EXPECT_EQ(DateWeek(settings, serialOf(2026, 1, 4)), 1);
    EXPECT_EQ(DateWeek(settings, serialOf(2026, 1, 5)), 2);
    EXPECT_EQ(DateWeek(settings, serialOf(2026, 12, 31)), 53);
    // 1 January 2024 is a Monday.
    EXPECT_EQ(DateWeek(settings, serialOf(2024, 1, 7)), 1);
    EXPECT_EQ(DateWeek(settings, serialOf(2024, 1, 8)), 2);
    EXPECT_EQ(DateWeek(settings, kNaN), 0);
    EXPECT_EQ(DateWeek(settings, 1e12), 0);
    EXPECT_EQ(settings.errors().entries().size(), 1u);  // no report
}

TEST_F(SerialDatesTest, DayMonthYearAndLeapYears) {
    const double d = serialOf(2026, 3, 15, 23, 0, 0);
    EXPECT_EQ(DateDay(settings, d), 15);
    EXPECT_EQ(DateMonth(settings, d), 3);
    EXPECT_EQ(DateYear(settings, d), 2026);
    EXPECT_EQ(DateYear(settings, 0), 1899);
    const std::pair<int, bool> leap[] = {{1900, false}, {2000, true}, {2100, false}, {2024, true},
                                         {2026, false}, {1600, true}, {1996, true}};
    for (const auto& [year, isLeap] : leap) EXPECT_EQ(DateIsLeapYear(settings, serialOf(year, 7, 1)), isLeap) << year;
    EXPECT_EQ(stopMessage([&] { DateDay(settings, 1e9); }), "(62060032) DateDay: year must be in the range 0-9999");
    EXPECT_EQ(stopMessage([&] { DateIsLeapYear(settings, kNaN); }),
              "(E2060005) DateIsLeapYear: not a valid parameter, expected serial date");
}

TEST_F(SerialDatesTest, DateAdd) {
    struct {
        double date;
        std::int32_t years, months, days;
        double result;
    } cases[] = {
        {serialOf(2026, 1, 31), 0, 1, 0, serialOf(2026, 2, 28)},
        {serialOf(2024, 2, 29), 1, 0, 0, serialOf(2025, 2, 28)},
        {serialOf(2024, 2, 29), 4, 0, 0, serialOf(2028, 2, 29)},
        {serialOf(2024, 1, 31), 0, 1, 0, serialOf(2024, 2, 29)},
        {serialOf(2023, 1, 31), 1, 1, 0, serialOf(2024, 2, 28)},  // months cut first
        {serialOf(2026, 1, 1), 0, 0, 31, serialOf(2026, 2, 1)},
        {serialOf(2026, 1, 31), 0, 1, 1, serialOf(2026, 3, 1)},  // days first: 1 February
        {serialOf(2026, 3, 31), 0, -1, 0, serialOf(2026, 2, 28)},
        {serialOf(2026, 3, 31), 0, -13, 0, serialOf(2025, 2, 28)},
        {serialOf(2026, 3, 15), -126, 0, 0, serialOf(1900, 3, 15)},
        {serialOf(2026, 12, 15), 0, 1, 0, serialOf(2027, 1, 15)},
        {serialOf(2026, 1, 31, 9, 30, 0), 0, 1, 0, serialOf(2026, 2, 28, 9, 30, 0)},
        {-1.25, 0, 1, 0, serialOf(1900, 1, 28, 18, 0, 0)},
        {0, 1, 1, 0, 0},  // no date stays no date
        {-5, 0, 3, 5, 0},
        {1, 0, 1, 0, serialOf(1900, 1, 31)},
        {serialOf(2026, 3, 15), 0, 0, 0, serialOf(2026, 3, 15)},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DateAdd(settings, c.date, c.years, c.months, c.days), c.result)
            << c.date << " + " << c.years << "y " << c.months << "m " << c.days << "d";
    EXPECT_EQ(stopMessage([&] { DateAdd(settings, serialOf(9999, 12, 31), 1, 0, 0); }),
              "(62060032) DateAdd: year must be in the range 0-9999");
    EXPECT_EQ(stopMessage([&] { DateAdd(settings, serialOf(2026, 1, 1), 0, INT32_MAX, 0); }),
              "(62060032) DateAdd: year must be in the range 0-9999");
    EXPECT_EQ(stopMessage([&] { DateAdd(settings, serialOf(2026, 1, 1), INT32_MIN, INT32_MIN, 0); }),
              "(62060032) DateAdd: year must be in the range 0-9999");
    EXPECT_EQ(stopMessage([&] { DateAdd(settings, kNaN, 0, 0, 0); }),
              "(E2060005) DateAdd: not a valid parameter, expected serial date");
}

TEST_F(SerialDatesTest, DateStringsThroughTheLayouts) {
    const double d = serialOf(2026, 3, 15, 9, 30, 0);
    EXPECT_EQ(DateSerial2DateString(settings, d, "ddmmyy"), "150326");
    EXPECT_EQ(DateSerial2DateString(settings, d, "YYDDD"), "26074");
    EXPECT_EQ(DateSerial2DateString(settings, d, "YYYYMMDDHHMMSS"), "20260315093000");
    EXPECT_DOUBLE_EQ(DateString2DateSerial(settings, "150326", "DDMMYY"), serialOf(2026, 3, 15, 12, 0, 0));
    EXPECT_DOUBLE_EQ(DateString2DateSerial(settings, "0930", "hhmm"), serialOf(2026, 1, 1, 9, 30, 0));
    for (std::string_view bad : {"XYZ", "NONE", "INSET", ""}) {
        EXPECT_EQ(stopMessage([&] { DateSerial2DateString(settings, d, bad); }),
                  "(E2060001) " + std::string(bad) + ": operator not found");
        EXPECT_EQ(settings.errors().lastLocation(), "DateSerial2DateString");
        EXPECT_EQ(stopMessage([&] { DateString2DateSerial(settings, "150326", bad); }),
                  "(E2060001) " + std::string(bad) + ": operator not found");
    }
    EXPECT_EQ(stopMessage([&] { DateString2DateSerial(settings, "320326", "ddmmyy"); }),
              "(62060032) DDMMYY: DD must be in the range 1-31");
    EXPECT_EQ(settings.errors().lastLocation(), "DateString2DateSerial");
    EXPECT_EQ(stopMessage([&] { DateSerial2DateString(settings, kNaN, "DDMMYY"); }),
              "(E2060005) DDMMYY: not a valid parameter, expected serial date");
}

TEST_F(SerialDatesTest, ValidFormatsAreTheLayouts) {
    for (const DateLayout& l : dateLayouts()) EXPECT_TRUE(DateIsValidFormat(l.name)) << l.name;
    EXPECT_TRUE(DateIsValidFormat("yyyymmddhhmmss"));
    for (std::string_view no : {"", "NONE", "INSET", "YYMMDDX", "FIX"}) EXPECT_FALSE(DateIsValidFormat(no)) << no;
}

TEST_F(SerialDatesTest, RandomDatesStayWithinTheBounds) {
    EXPECT_EQ(DateRnd(settings, 100.25, 100.25), 100.25);
    EXPECT_EQ(DateRnd(settings, 100.25, 101.0), 100.25);  // less than a whole day apart
    std::set<double> seen;
    for (int i = 0; i < 300; ++i) {
        seen.insert(DateRnd(settings, 10.25, 12.5));
        seen.insert(DateRnd(settings, 12.5, 10.25));
    }
    EXPECT_EQ(seen, (std::set<double>{10.25, 11.25, 12.25}));
    EXPECT_EQ(stopMessage([&] { DateRnd(settings, kNaN, 3); }),
              "(E2060005) Date_Rnd: not a valid parameter, expected serial date");
    EXPECT_EQ(stopMessage([&] { DateRnd(settings, 0, 1e15); }), "(62060032) Date_Rnd: year must be in the range 0-9999");
}

}  // namespace
}  // namespace payfmt
