// The exported format functions, through libpayfmt.so.
#include <gtest/gtest.h>

#include <string>

#include "api/api_support.h"
#include "payfmt/format.hpp"

namespace {

using test::lastRecord;
using test::Record;

std::string text(VEXBUF b) { return test::bytes(b); }

struct Result {
    uint32_t status;
    bool produced;
    std::string out;
};

Result input(const char* value, const char* format) {
    VEXBUF out = reinterpret_cast<VEXBUF>(1);  // must be overwritten
    const uint32_t status = FormatInputA(value, format, &out, 0);
    Result r{status, out != nullptr, text(out)};
    VEXBufFree(out);
    return r;
}

Result output(const char* value, const char* format) {
    VEXBUF out = nullptr;
    const uint32_t status = FormatOutputA(value, format, &out, 0);
    Result r{status, out != nullptr, text(out)};
    VEXBufFree(out);
    return r;
}

TEST(FormatApi, InputAndOutputChains) {
    struct Case {
        const char* value;
        const char* format;
        bool isOutput;
        uint32_t status;
        const char* out;  // null: no result
    } cases[] = {
        {"12", "FIX(2).DEC2RAW", false, 0, "#0C"},
        {"#0C", "RAW2DEC", true, 0, "12"},
        {"12", "FOO", false, 0xE2060001, nullptr},
        {"300", "DEC2RAW.INVERSE.RAW2HEX", true, 0, "012C"},
        {"#0C#00", "RAW2DEC.PADL(\"0\",5)", true, 0, "00012"},
        {"7", "PADL(\"0\",12)", true, 0, "000000000007"},
        {"1234", "HEX2DEC", false, 0, "4660"},
        {"4660", "DEC2HEX", true, 0, "1234"},
        {"", "", false, 0, ""},
        {nullptr, nullptr, false, 0, ""},
        {"#G0", "NONE", false, 0xE2060029, nullptr},
        {"12a", "DEC2RAW", false, 0xE2060028, nullptr},
        {"12", "FIX(4)", false, 0xA2060025, "12"},  // a warning, with the result
        {"AB", "RAW2HEX.FOO", false, 0xE2060001, "4142"},
    };
    for (const auto& c : cases) {
        const Result r = c.isOutput ? output(c.value, c.format) : input(c.value, c.format);
        const std::string what = std::string(c.format ? c.format : "(null)") + " on " + (c.value ? c.value : "(null)");
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_EQ(r.produced, c.out != nullptr) << what;
        if (c.out) {
            EXPECT_EQ(r.out, c.out) << what;
        }
    }
}

TEST(FormatApi, StatusIsPublishedForTheCallingThread) {
    input("12", "FOO");
    Record r = lastRecord();
    EXPECT_EQ(r.code, 0xE2060001u);
    EXPECT_EQ(r.source, "ApplyOperator");
    EXPECT_EQ(r.description, "(E2060001) FOO: operator not found");
    // A clean call clears what an earlier call left.
    input("12", "FIX(2)");
    EXPECT_EQ(lastRecord().code, 0u);
    input("#4", "NONE");
    r = lastRecord();
    EXPECT_EQ(r.code, 0xE2060029u);
    EXPECT_EQ(r.description, "(E2060029) IStrToRaw: data must be hexadecimal");
}

TEST(FormatApi, ValidateReportsUnusedBytesAndWritesToTheErrorNode) {
    EXPECT_EQ(FormatValidateA("ABC", "FIX(2)", "", 0), 0x62060013u);
    EXPECT_EQ(lastRecord().description, "(62060013) There are 1 unused characters after the validation");
    EXPECT_EQ(FormatValidateA("12", "FIX(2)", "N2", 0), 0u);
    EXPECT_EQ(FormatValidateA("1X", "FIX(2)", "N2", 0), 0x62060011u);

    VEXNODE errors = VEXTreeCreateNode("errors", VEX_NODE_GROUP);
    EXPECT_EQ(FormatValidateA("1", "NONE", "N2-4", errors), 0xA2060025u);
    uint32_t count = 0;
    VEXTreeChildCount(errors, &count);
    ASSERT_EQ(count, 1u);
    VEXNODE report = VEXTreeGetChild(errors, 0);
    VEXVARIANT v;
    VEXVarInit(&v);
    ASSERT_EQ(VEXTreeGetPropA(report, "EC", &v), 0u);
    EXPECT_EQ(v.u.i, 0xA2060025);
    ASSERT_EQ(VEXTreeGetPropA(report, "Error", &v), 0u);
    EXPECT_STREQ(v.u.s, "(A2060025) N2-4: expected 2 input characters, received 1");
    // The node is not kept after the call.
    EXPECT_EQ(FormatValidateA("1", "NONE", "N2", 0), 0xA2060025u);
    VEXTreeChildCount(errors, &count);
    EXPECT_EQ(count, 1u);
    VEXVarClear(&v);
    VEXTreeDeleteNode(errors, -1);
    EXPECT_EQ(FormatValidateA("#G", "NONE", "", 0), 0xE2060029u);
}

TEST(FormatApi, ValidateFmtChecksSyntaxOnly) {
    EXPECT_EQ(FormatValidateFmtA("FIX(2", 0), 0xE206002Du);
    EXPECT_EQ(FormatValidateFmtA("FOO.BAR", 0), 0u);
    EXPECT_EQ(FormatValidateFmtA("FIX(2).DEC2RAW", 0), 0u);
    EXPECT_EQ(FormatValidateFmtA("", 0), 0u);
    EXPECT_EQ(FormatValidateFmtA(nullptr, 0), 0u);
    EXPECT_EQ(FormatValidateFmtA("FIX(2).PADL(\"0\",2", 0), 0xE206002Du);
    EXPECT_EQ(FormatValidateFmtA("FOO.PADL(\"0\",2", 0), 0u);  // checking ends at FOO
}

TEST(FormatApi, IStrConversions) {
    VEXBUF out = reinterpret_cast<VEXBUF>(1);
    EXPECT_EQ(FormatIStrToRawA("AB#00#0d", &out), 0);
    EXPECT_EQ(text(out), std::string("AB\0\r", 4));
    VEXBufClear(&out);
    out = reinterpret_cast<VEXBUF>(1);
    EXPECT_NE(FormatIStrToRawA("#G0", &out), 0);
    EXPECT_EQ(out, nullptr);
    const Record r = lastRecord();
    EXPECT_EQ(r.code, 0xE2060029u);
    EXPECT_EQ(r.source, "Parser.Converting IStr to Raw");
    EXPECT_EQ(FormatIStrToRawA("", &out), 0);
    EXPECT_EQ(out, nullptr);

    VEXVARIANT in, res;
    VEXVarInit(&in);
    VEXVarInit(&res);
    VEXVarSetBlob(&in, reinterpret_cast<const uint8_t*>("A\0#"), 3);
    EXPECT_EQ(FormatRawToIStrA(&in, &res), 0);
    EXPECT_STREQ(res.u.s, "A#00#23");
    VEXVarClear(&res);
    VEXVarSetStrA(&in, "\x7f", UINT32_MAX);
    EXPECT_EQ(FormatRawToIStrA(&in, &res), 0);
    EXPECT_STREQ(res.u.s, "#7F");
    VEXVarSetInt(&in, 5);  // neither text nor bytes: the result is left alone
    EXPECT_EQ(FormatRawToIStrA(&in, &res), 0);
    EXPECT_STREQ(res.u.s, "#7F");
    EXPECT_EQ(FormatRawToIStrA(nullptr, &res), 0);
    VEXVarClear(&in);
    VEXVarClear(&res);

    VEXBUF raw = nullptr;
    VEXBufCopy(&raw, "\x01" "a#", 3);
    CFormatRawToIStr(raw, &out);
    EXPECT_EQ(text(out), "#01a#23");
    VEXBufClear(&out);
    CFormatRawToIStr(nullptr, &out);
    EXPECT_EQ(text(out), "");
    VEXBufFree(out);
    VEXBufFree(raw);
}

TEST(FormatApi, RawToIStrForCppCallers) {
    std::string s;
    RawToIStr("\xff" "b", 2, s);
    EXPECT_EQ(s, "#FFb");
    RawToIStr(nullptr, 5, s);
    EXPECT_EQ(s, "");
}

TEST(FormatApi, CounterWraps) {
    SetCounter(41);
    EXPECT_EQ(IncCounter(), 42u);
    EXPECT_EQ(GetCounter(), 42u);
    SetCounter(4294967295u);
    EXPECT_EQ(IncCounter(), 0u);
}

TEST(FormatApi, NullResultPointerIsAccepted) {
    EXPECT_EQ(FormatInputA("12", "FIX(2)", nullptr, 0), 0u);
    EXPECT_EQ(FormatOutputA("12", "FIX(2)", nullptr, 0), 0u);
}

}  // namespace
