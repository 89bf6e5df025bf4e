// Date formats and serial dates through the public C interface. Every input
// here carries its year in four digits, so no result depends on today.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "api/api_support.h"

namespace {

using test::bytes;
using test::lastRecord;

struct Formatted {
    uint32_t status = 0;
    std::string text;
    bool produced = false;
};

Formatted format(bool output, const char* value, const char* fmt) {
    VEXBUF out = nullptr;
    Formatted f;
    f.status = output ? FormatOutputA(value, fmt, &out, 0) : FormatInputA(value, fmt, &out, 0);
    f.produced = out != nullptr;
    f.text = bytes(out);
    VEXBufFree(out);
    return f;
}

TEST(DateApi, FormatsConvertFieldsAndIDates) {
    struct {
        bool output;
        std::string value, format, result;
    } cases[] = {
        {false, "20260315", "YYYYMMDD", "20260315120000"},
        {false, "15032026", "ddmmyyyy", "20260315120000"},
        {false, "202603150930", "YYYYMMDDHHMM", "20260315093000"},
        {false, "20240229XYZ", "FIX(8).CCYYMMDD", "20240229120000"},
        {true, "20260315093045", "DDMMYY", "150326"},
        {true, "20260201000000", "YYDDD", "26032"},
        {true, "20260315093045", "HHMMSSSS", "09304500"},
        {true, "20241231000000", "YDDD", "4366"},
        {true, "20260315093045", "MMDDCCYY", "03152026"},
    };
    for (const auto& c : cases) {
        const auto f = format(c.output, c.value.c_str(), c.format.c_str());
        EXPECT_EQ(f.status, 0u) << c.format << " " << c.value;
        EXPECT_EQ(f.text, c.result) << c.format << " " << c.value;
    }
}

TEST(DateApi, BadDatesAreReported) {
    struct {
        bool output;
        const char* value;
        const char* format;
        uint32_t status;
        std::string message;
    } cases[] = {
        {false, "20260230", "YYYYMMDD", 0x62060032, "(62060032) YYYYMMDD: DD must be in the range 1-28"},
        {false, "19000229", "YYYYMMDD", 0x62060032, "(62060032) YYYYMMDD: DD must be in the range 1-28"},
        {false, "2026031", "YYYYMMDD", 0xA2060030, "(A2060030) YYYYMMDD: expected 8 input characters, received 7"},
        {false, "00000000", "YYYYMMDD", 0x62060033, "(62060033) YYYYMMDD: date is zero-filled"},
        {false, "2026#00315", "YYYYMMDD", 0x62060031, "(62060031) YYYYMMDD: data must be decimal"},
        {false, nullptr, "YYYYMMDD", 0xA2060030, "(A2060030) YYYYMMDD: expected 8 input characters, received 0"},
        {true, "2026031509", "YYMMDD", 0xA2060030, "(A2060030) YYMMDD: expected 14 input characters, received 10"},
    };
    for (const auto& c : cases) {
        const auto f = format(c.output, c.value, c.format);
        EXPECT_EQ(f.status, c.status) << c.format;
        EXPECT_FALSE(f.produced) << c.format;
        const auto r = lastRecord();
        EXPECT_EQ(r.description, c.message);
        EXPECT_EQ(r.source, "Apply_Date");
    }
}

TEST(DateApi, DateFormatsValidate) {
    EXPECT_EQ(FormatValidateA("20260315", "NONE", "YYYYMMDD", 0), 0u);
    EXPECT_EQ(FormatValidateA("20261315", "NONE", "yyyymmdd", 0), 0x62060032u);
    EXPECT_EQ(FormatValidateA("2026031599", "NONE", "YYYYMMDD", 0), 0x62060013u);  // two left over
    EXPECT_EQ(FormatValidateFmtA("YYYYMMDD.DDMMYYYY", 0), 0u);
}

TEST(DateApi, SerialsAndIDatesRoundTrip) {
    struct {
        const char* idate;
        double serial;
    } cases[] = {
        {"18991230000000", 0},
        {"19000101000000", 2},
        {"19000101120000", 2.5},
        {"20260315180000", 46096.75},
        {"99991231235959", 2958465 + 86399.0 / 86400},
    };
    for (const auto& c : cases) {
        double serial = -1;
        EXPECT_EQ(IDateToSerial(c.idate, &serial), 0) << c.idate;
        EXPECT_DOUBLE_EQ(serial, c.serial) << c.idate;
        char idate[15] = "xxxxxxxxxxxxxx";
        EXPECT_EQ(SerialToIDate(c.serial, idate), 0) << c.idate;
        EXPECT_STREQ(idate, c.idate);
    }
}

TEST(DateApi, BadDateTextNeverCrashes) {
    struct {
        const char* idate;
        uint32_t status;
        std::string message;
    } cases[] = {
        {nullptr, 0xA2060030, "(A2060030) IDateToSerial: expected 14 input characters, received 0"},
        {"", 0xA2060030, "(A2060030) IDateToSerial: expected 14 input characters, received 0"},
        {"2026", 0xA2060030, "(A2060030) IDateToSerial: expected 14 input characters, received 4"},
        {"abcdefghijklmn", 0x62060031, "(62060031) IDateToSerial: data must be decimal"},
        {"20260229000000", 0x62060032, "(62060032) IDateToSerial: DD must be in the range 1-28"},
        {"21000229000000", 0x62060032, "(62060032) IDateToSerial: DD must be in the range 1-28"},
        {"20260315240000", 0x62060032, "(62060032) IDateToSerial: hh must be in the range 0-23"},
        {"00000000000000", 0x62060033, "(62060033) IDateToSerial: date is zero-filled"},
    };
    for (const auto& c : cases) {
        double serial = 7;
        EXPECT_EQ(static_cast<uint32_t>(IDateToSerial(c.idate, &serial)), c.status) << c.message;
        EXPECT_EQ(serial, 7) << c.message;  // unchanged
        const auto r = lastRecord();
        EXPECT_EQ(r.code, c.status);
        EXPECT_EQ(r.description, c.message);
        EXPECT_EQ(r.source, "IDateToSerial");
    }
    EXPECT_EQ(static_cast<uint32_t>(IDateToSerial("20260315000000", nullptr)), VEX_E_POINTER);
    EXPECT_EQ(lastRecord().source, "IDateToSerial");

    char idate[15] = "unchanged";
    const std::pair<double, uint32_t> serials[] = {
        {std::numeric_limits<double>::quiet_NaN(), 0xE2060005},
        {-std::numeric_limits<double>::infinity(), 0xE2060005},
        {1e300, 0x62060032},
        {-1e7, 0x62060032},
    };
    for (const auto& [serial, status] : serials) {
        EXPECT_EQ(static_cast<uint32_t>(SerialToIDate(serial, idate)), status) << serial;
        EXPECT_STREQ(idate, "");
        EXPECT_EQ(lastRecord().source, "SerialToIDate");
    }
    EXPECT_EQ(static_cast<uint32_t>(SerialToIDate(2, nullptr)), VEX_E_POINTER);
    // A success clears what an earlier call published.
    EXPECT_EQ(SerialToIDate(2, idate), 0);
    EXPECT_EQ(lastRecord().code, 0u);
}

TEST(DateApi, RandomDates) {
    EXPECT_EQ(Date_Rnd(46096.5, 46096.5), 46096.5);
    std::set<double> seen;
    for (int i = 0; i < 300; ++i) seen.insert(Date_Rnd(46096.5, 46098.5));
    EXPECT_EQ(seen, (std::set<double>{46096.5, 46097.5, 46098.5}));
    EXPECT_TRUE(std::isnan(Date_Rnd(std::numeric_limits<double>::quiet_NaN(), 2)));
    EXPECT_EQ(lastRecord().source, "Date_Rnd");
    EXPECT_TRUE(std::isnan(Date_Rnd(0, 1e300)));
    EXPECT_EQ(lastRecord().code, 0x62060032u);
}

}  // namespace
