#include "engine/engine_fixture.h"
#include "engine/registries.h"
#include "operators/date_fields.h"
#include "operators/op_support.h"
#include "operators/year_windows.h"
#include "support/civil_date.h"

namespace payfmt {
namespace {

constexpr std::uint32_t kNotDecimal = 0x62060031;
constexpr std::uint32_t kOutOfRange = 0x62060032;
constexpr std::uint32_t kZeroFilled = 0x62060033;

double serialOf(int y, int m, int d) { return static_cast<double>(serialFromCivil(y, m, d)); }

class DateOpsTest : public test::EngineTest {
protected:
    DateOpsTest() { settings.setReferenceDate(serialOf(2026, 3, 15)); }

    // A conversion and what it gives: the IDate or field, or the message it
    // stops with.
    struct Case {
        std::string format;
        Bytes in;
        std::string result;
    };
    void check(std::initializer_list<Case> cases, bool outputChain = false) {
        for (const auto& c : cases) {
            const auto r = outputChain ? output(c.format, c.in) : input(c.format, c.in);
            const std::string what = c.format + (outputChain ? " output on " : " input on ") + c.in;
            if (r.status == 0) {
                EXPECT_EQ(r.out, c.result) << what;
                EXPECT_TRUE(r.reports.empty()) << what;
            } else {
                ASSERT_EQ(r.reports.size(), 1u) << what;
                EXPECT_EQ(r.reports[0].message, c.result) << what;
                EXPECT_EQ(r.reports[0].location, "Apply_Date") << what;
                EXPECT_FALSE(r.produced) << what;  // no partial IDate
            }
        }
    }
};

TEST_F(DateOpsTest, InputReadsTheFieldIntoAnIDate) {
    check({
        {"YYMMDD", "260315", "20260315120000"},
        {"YDDD", "6032", "20260201120000"},
        {"HHMM", "0000", "20260101000000"},
        {"YYDDD", "24366", "20241231120000"},
        {"YYMMDD", "791231", "20791231120000"},
        {"YYMMDD", "801231", "19801231120000"},
        {"HHMMSSSS", "12304599", "20260101123045"},
        {"CCYYMMDD", "19991231", "19991231120000"},
        {"YYYYMMDD", "20260315", "20260315120000"},
        {"YYYYMM", "202603", "20260301120000"},
        {"YYMM", "2603", "20260301120000"},
        {"MMDD", "0315", "20260315120000"},
        {"MMDDYY", "031526", "20260315120000"},
        {"MMDDCCYY", "03152026", "20260315120000"},
        {"DDMMYY", "150326", "20260315120000"},
        {"DDMMYYYY", "15032026", "20260315120000"},
        {"MMYY", "0326", "20260301120000"},
        {"YYYDDD", "026074", "20260315120000"},
        {"YYYDDD", "999001", "19990101120000"},
        {"YYYDDD", "500001", "15000101120000"},
        {"YYYYMMDDHHMMSS", "20260315093045", "20260315093045"},
        {"YYYYMMDDHHMM", "202603150930", "20260315093000"},
        {"YYMMDDHHMMSS", "260315093045", "20260315093045"},
        {"YYMMDDHHMM", "2603150930", "20260315093000"},
        {"YYMMHHMMSS", "2603093045", "20260301093045"},
        {"MMDDHHMMSS", "0315093045", "20260315093045"},
        {"HHMMSS", "235959", "20260101235959"},
        {"HHMMSS", "000000", "20260101000000"},  // a time of midnight is not a zero-filled date
        {"yymmdd", "260315", "20260315120000"},
        {"YYYYMMDD", "00000101", "00000101120000"},
    });
}

TEST_F(DateOpsTest, InputStopsOnBadFields) {
    check({
        {"MMDD", "0229", "(62060032) MMDD: DD must be in the range 1-28"},
        {"YYMMDD", "000000", "(62060033) YYMMDD: date is zero-filled"},
        {"MMDD", "0000", "(62060033) MMDD: date is zero-filled"},
        {"YDDD", "0000", "(62060033) YDDD: date is zero-filled"},
        {"YYYYMMDD", "00000000", "(62060033) YYYYMMDD: date is zero-filled"},
        {"YYDDD", "25366", "(62060032) YYDDD: DDD must be in the range 1-365"},
        {"YDDD", "6000", "(62060032) YDDD: DDD must be in the range 1-365"},
        {"YYDDD", "24367", "(62060032) YYDDD: DDD must be in the range 1-366"},
        {"MMDD", "1301", "(62060032) MMDD: MM must be in the range 1-12"},
        {"YYYYMM", "202600", "(62060032) YYYYMM: MM must be in the range 1-12"},
        {"DDMMYY", "310426", "(62060032) DDMMYY: DD must be in the range 1-30"},
        {"DDMMYY", "320126", "(62060032) DDMMYY: DD must be in the range 1-31"},
        {"YYMMDD", "260300", "(62060032) YYMMDD: DD must be in the range 1-31"},
        {"YYMMDD", "240230", "(62060032) YYMMDD: DD must be in the range 1-29"},
        {"HHMM", "2400", "(62060032) HHMM: hh must be in the range 0-23"},
        {"HHMM", "1260", "(62060032) HHMM: mm must be in the range 0-59"},
        {"HHMMSS", "125960", "(62060032) HHMMSS: ss must be in the range 0-59"},
        {"YYMMDD", "26O315", "(62060031) YYMMDD: data must be decimal"},
        {"YYMMDD", "+26031", "(62060031) YYMMDD: data must be decimal"},
        {"HHMMSSSS", "1230459 ", "(62060031) HHMMSSSS: data must be decimal"},
        {"YYMMDD", "2603", "(A2060030) YYMMDD: expected 6 input characters, received 4"},
        {"YYYYMMDDHHMMSS", "", "(A2060030) YYYYMMDDHHMMSS: expected 14 input characters, received 0"},
    });
    // Only the field is looked at: what follows it may be anything.
    auto r = input("YYMMDD", "260315XY");
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.out, "20260315120000");
}

// Leap years follow the Gregorian rule: 1900 and 2100 are not leap years.
TEST_F(DateOpsTest, LeapYearsAreGregorian) {
    check({
        {"YYYYMMDD", "19000229", "(62060032) YYYYMMDD: DD must be in the range 1-28"},
        {"YYYYMMDD", "20000229", "20000229120000"},
        {"YYYYMMDD", "21000229", "(62060032) YYYYMMDD: DD must be in the range 1-28"},
        {"YYYYMMDD", "20240229", "20240229120000"},
        {"YYYDDD", "100366", "(62060032) YYYDDD: DDD must be in the range 1-365"},
        {"YYYDDD", "000366", "20001231120000"},
        {"YYYDDD", "100060", "21000301120000"},
    });
}

TEST_F(DateOpsTest, InputConsumesTheFieldLength) {
    struct {
        std::string format;
        Bytes in;
        std::uint32_t consumed;
        std::uint32_t status;
    } cases[] = {
        {"YYMMDD", "260315", 6, 0},
        {"YYMMDD", "2603151234", 6, 0},
        {"YYMMDD", "261315", 6, kOutOfRange},
        {"YYMMDD", "2603", 4, kWarnStoppedShortInput},  // never more than there is
        {"FIX(6).YYMMDD", "2603151234", 6, 0},
        {"HHMMSSSS", "12304599", 8, 0},
    };
    for (const auto& c : cases) {
        const auto r = input(c.format, c.in);
        EXPECT_EQ(r.consumed, c.consumed) << c.format << " on " << c.in;
        EXPECT_EQ(r.status, c.status) << c.format << " on " << c.in;
    }
}

TEST_F(DateOpsTest, OutputWritesTheIDateInTheLayout) {
    check({
        {"DDMMYY", "20260315093000", "150326"},
        {"YYDDD", "20260201000000", "26032"},
        {"HHMMSSSS", "20260315093045", "09304500"},
        {"YDDD", "20241231120000", "4366"},
        {"YYYDDD", "20240101120000", "024001"},
        {"YYYDDD", "19990301000000", "999060"},
        {"MMYY", "20260315093045", "0326"},
        {"MMDDYY", "20260315093045", "031526"},
        {"DDMMYYYY", "20260315093045", "15032026"},
        {"YYMMHHMMSS", "20260315093045", "2603093045"},
        {"HHMM", "20260315093045", "0930"},
        {"YYYYMMDDHHMMSS", "20260315093045", "20260315093045"},
        {"YYMMDD", "20260315093045XYZ", "260315"},
        {"YYMMDD", "2026031509", "(A2060030) YYMMDD: expected 14 input characters, received 10"},
        // The IDate must be one: the day of year could not be counted otherwise.
        {"YYDDD", "20261315093000", "(62060032) YYDDD: MM must be in the range 1-12"},
        {"YYMMDD", "2026031509300x", "(62060031) YYMMDD: data must be decimal"},
        {"YYMMDD", "00000000000000", "(62060033) YYMMDD: date is zero-filled"},
        {"HHMM", "20260315250000", "(62060032) HHMM: hh must be in the range 0-23"},
    }, true);
}

// Each layout writes a date of its own precision so that reading it back
// gives the same IDate.
TEST_F(DateOpsTest, EveryLayoutRoundTrips) {
    const DateTime bases[] = {{2026, 2, 1, 9, 30, 45}, {2024, 12, 31, 23, 59, 59}, {2021, 1, 1, 0, 0, 0}};
    for (const DateLayout& layout : dateLayouts()) {
        for (DateTime dt : bases) {
            if (!layout.has(kYear)) dt.year = 2026;
            if (!layout.has(kMonth) && !layout.has(kDayOfYear)) dt.month = 1;
            if (!layout.has(kDay) && !layout.has(kDayOfYear)) dt.day = 1;
            if (!layout.has(kHour)) dt.hour = 12;
            if (!layout.has(kMinute)) dt.minute = 0;
            if (!layout.has(kSecond)) dt.second = 0;
            const std::string idate = writeDateField(iDateLayout(), dt);
            const auto field = output(layout.name, idate);
            ASSERT_EQ(field.status, 0u) << layout.name << " " << idate;
            EXPECT_EQ(field.out.size(), layout.length) << layout.name;
            const auto back = input(layout.name, field.out);
            EXPECT_EQ(back.status, 0u) << layout.name << " " << field.out;
            EXPECT_EQ(back.out, idate) << layout.name << " " << field.out;
        }
    }
}

TEST_F(DateOpsTest, LayoutsOpenInputMasks) {
    ASSERT_EQ(dateLayouts().size(), 23u);
    std::size_t validation = 0;
    for (const OperatorDef& d : operatorTable()) validation += d.check != nullptr;
    EXPECT_EQ(validation, 24u);  // INSET and the dates
    for (const DateLayout& layout : dateLayouts()) {
        EXPECT_NE(validationRegistry().find(layout.name), nullptr) << layout.name;
        EXPECT_NE(conversionRegistry().find(layout.name), nullptr) << layout.name;
    }
    auto r = input("NONE", "260315", "YYMMDD");
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.consumed, 6u);
    r = input("NONE", "261315", "yymmdd");
    EXPECT_EQ(r.status, kOutOfRange);
    EXPECT_EQ(r.consumed, 6u);
    r = input("NONE", "2603", "YYMMDD");
    EXPECT_EQ(r.status, kWarnStoppedShortInput);
    EXPECT_EQ(r.consumed, 4u);
    r = input("NONE", "A60315", "YYMMDD");
    EXPECT_EQ(r.codes(), std::vector<std::uint32_t>{kNotDecimal});
    r = input("NONE", "000000", "YYMMDD");
    EXPECT_EQ(r.codes(), std::vector<std::uint32_t>{kZeroFilled});
}

TEST_F(DateOpsTest, ShortYearsFollowTheWindows) {
    check({
        {"YDDD", "0001", "20300101120000"},
        {"YDDD", "1001", "20210101120000"},
        {"YDDD", "9001", "20290101120000"},
        {"YDDD", "5001", "20250101120000"},
    });
    settings.setReferenceDate(serialOf(2023, 6, 1));
    EXPECT_EQ(settings.decadeThreshold, -2);
    check({
        {"YDDD", "0001", "20200101120000"},
        {"YDDD", "9001", "20290101120000"},
        {"HHMM", "1200", "20230101120000"},
    });
    settings.setReferenceDate(serialOf(2027, 6, 1));  // threshold 2: 2022 to 2031
    check({
        {"YDDD", "2001", "20220101120000"},
        {"YDDD", "1001", "20310101120000"},
    });
    settings.centuryThreshold = 50;
    check({
        {"YYMMDD", "490101", "20490101120000"},
        {"YYMMDD", "500101", "19500101120000"},
    });
}

TEST_F(DateOpsTest, CenturyAndDecenyForTheSettingsComponent) {
    struct {
        std::int32_t value, century, deceny;
    } cases[] = {
        {0, 2000, 2030}, {1, 2001, 2021}, {9, 2009, 2029}, {10, 2010, 0},
        {79, 2079, 0},   {80, 1980, 0},   {99, 1999, 0},   {100, 0, 0},
        {-1, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateCentury(settings, c.value), c.century) << c.value;
        EXPECT_EQ(DateDeceny(settings, c.value), c.deceny) << c.value;
    }
    EXPECT_EQ(referenceYear(settings), 2026);
    EXPECT_EQ(completeYear(settings, 7, 0), 2026);
    EXPECT_EQ(completeYear(settings, 1999, 4), 1999);
}

}  // namespace
}  // namespace payfmt
