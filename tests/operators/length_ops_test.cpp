#include "operators/op_support.h"
#include "operators/operator_cases.h"
#include "operators/operator_list.h"

namespace payfmt {
namespace {

using test::bytesOf;
using test::repeated;

class LengthOpsTest : public test::OperatorCaseTest {};

TEST_F(LengthOpsTest, TextLengthsWritePrefixes) {
    check({
        {"LLVAR", "HELLO", "05HELLO", 0, 0},
        {"LVAR", "ABC", "3ABC", 0, 0},
        {"LLLVAR", "12345", "00512345", 0, 0},
        {"HHHVAR", repeated(300), "12c" + repeated(300), 0, 0},
        {"HHVAR", repeated(255), "ff" + repeated(255), 0, 0},
        {"LL2VAR", repeated(10), "05" + repeated(10), 0, 0},
        {"HH2VAR", repeated(510), "ff" + repeated(510), 0, 0},
        {"LLLLLLVAR", "", "000000", 0, 0},
        {"HHHHHH2VAR", "", "000000", 0, 0},
        {"LVAR", repeated(10), "", kErrTooManyCharacters, 0},
        {"L2VAR", "ABC", "", kErrNotMultiple, 0},
        {"L2VAR", repeated(20), "", kErrTooManyCharacters, 0},
    }, true);
    EXPECT_EQ(lastReport("L2VAR", "ABC", true), "Apply_L2Var: (E2060027) L2VAR: data must be multiple of 2 characters");
    EXPECT_EQ(lastReport("L2VAR", repeated(20), true),
              "Apply_L2Var: (E2060026) L2VAR: operator may not manage more than 19 characters");
    EXPECT_EQ(lastReport("HHVAR", repeated(256), true),
              "Apply_HVar: (E2060026) HHVAR: operator may not manage more than 255 characters");
}

TEST_F(LengthOpsTest, TextLengthsReadFields) {
    check({
        {"LLVAR", "05HELLOXX", "HELLO", 0, 7},
        {"LLVAR", "10ABC", "ABC", kWarnShortInput, 5},
        {"LLVAR", "00", "", 0, 2},
        {"HVAR", "A" + repeated(12), repeated(10), 0, 11},
        {"HHVAR", "0a" + repeated(11), repeated(10), 0, 12},
        {"HHVAR", "0A" + repeated(11), repeated(10), 0, 12},
        {"LL2VAR", "02ABCDE", "ABCD", 0, 6},
        {"LL2VAR", "03ABCD", "ABCD", kWarnShortInput, 6},
        {"H2VAR", "2ABCDE", "ABCD", 0, 5},
        {"LLLLLLVAR", "000000", "", 0, 6},
        {"LLVAR", "1A", "", kErrLengthNotDecimal, 0},
        {"LLVAR", "-5ABCDE", "", kErrLengthNotDecimal, 0},
        {"LLVAR", " 5ABCDE", "", kErrLengthNotDecimal, 0},
        {"HHVAR", "G1", "", kErrLengthNotHex, 0},
        {"LLVAR", "1", "", kErrLengthFieldShort, 0},
        {"LLVAR", "", "", kErrLengthFieldShort, 0},
        {"HHHHHHVAR", "fffff", "", kErrLengthFieldShort, 0},
        {"HHHHHHVAR", "fffffz", "", kErrLengthNotHex, 0},
    });
    EXPECT_EQ(lastReport("LLVAR", "10ABC"), "Apply_LVar: (A2060025) LLVAR: expected 12 input characters, received 5");
    EXPECT_EQ(lastReport("LL2VAR", "03ABCD"), "Apply_L2Var: (A2060025) LL2VAR: expected 8 input characters, received 6");
    EXPECT_EQ(lastReport("LLVAR", "1A"), "Apply_LVar: (E2060020) LLVAR: length field must be decimal");
    EXPECT_EQ(lastReport("HHVAR", "G1"), "Apply_HVar: (E2060021) HHVAR: length field must be hexadecimal");
    EXPECT_EQ(lastReport("LLVAR", "1"), "Apply_LVar: (E2060022) LLVAR: length field must contain at least 2 characters");
}

// Every member of a family takes its digit count from its name; a name
// with no digit letters, or more than six, has no count to work with.
TEST_F(LengthOpsTest, DigitCountComesFromTheName) {
    for (const char* name : {"LVAR", "LLVAR", "LLLVAR", "LLLLVAR", "LLLLLVAR", "LLLLLLVAR"}) {
        const std::size_t digits = std::string_view(name).size() - 3;
        EXPECT_EQ(output(name, "AB").out, std::string(digits - 1, '0') + "2AB") << name;
    }
    for (const char* name : {"H2VAR", "HH2VAR", "HHH2VAR", "HHHH2VAR", "HHHHH2VAR", "HHHHHH2VAR"}) {
        const std::size_t digits = std::string_view(name).size() - 4;
        EXPECT_EQ(output(name, "ABCD").out, std::string(digits - 1, '0') + "2ABCD") << name;
    }
    for (const char* name : {"LLLLLLLVAR", "VAR"}) {
        OpContext ctx(kDirectionOutput);
        ctx.name = name;
        Output out;
        EXPECT_THROW(ops::LVar(ctx, "AB", out, parser), TFormatError) << name;
        EXPECT_FALSE(out.produced());
    }
    EXPECT_EQ(settings.errors().entries()[1].message, "(E2060026) LLLLLLLVAR: operator may not manage more than 7 characters");
    EXPECT_EQ(settings.errors().entries()[2].message, "(E2060026) VAR: operator may not manage more than 0 characters");
}

TEST_F(LengthOpsTest, ApmLengthsCountHexadecimalDigits) {
    check({
        {"APMLLVAR", "1234567", "07" + bytesOf({0x12, 0x34, 0x56, 0x70}), 0, 0},
        {"APMLLVAR", "", "00", 0, 0},
        {"APMLLLVAR", "12345", "005" + bytesOf({0x12, 0x34, 0x50}), 0, 0},
        {"APMLLVAR", repeated(100, '1'), "", kErrTooManyCharacters, 0},
        {"APMLLVAR", "12G4", "", kInfoNotCharacter, 0},
    }, true);
    check({
        {"APMLLVAR", "04" + bytesOf({0x12, 0x34}), "1234", 0, 4},
        {"APMLLVAR", "07" + bytesOf({0x12, 0x34, 0x56, 0x70, 0x99}), "1234567", 0, 6},
        {"APMLLVAR", "00" + bytesOf({0x12}), "", 0, 2},
        {"APMLLLVAR", "005" + bytesOf({0x12, 0x34, 0x50}), "12345", 0, 6},
        {"APMLLVAR", "1A" + bytesOf({0x12}), "", kErrDataNotDecimal, 0},
        // A sign reads as a count above what two digits can write.
        {"APMLLVAR", "-5" + bytesOf({0x12}), "", kErrLengthTooLarge, 0},
    });
    EXPECT_EQ(lastReport("APMLLVAR", repeated(100, '1'), true),
              "TOpLLVarX.Apply: (E2060026) APMLLVAR: operator may not manage more than 99 characters");
    EXPECT_EQ(lastReport("APMLLVAR", "-5" + bytesOf({0x12})),
              "TOpLLVarX.Apply: (E2060023) APMLLVAR: length field may not exceed 99 characters");
    // A nested chain that stops ends the operator with that chain's report.
    const auto r = output("APMLLVAR", "12G4");
    EXPECT_FALSE(r.produced);
    EXPECT_EQ(r.reports.back().message, "(62060011) 'G' is not a hexadecimal character");
}

TEST_F(LengthOpsTest, BerLengthHeaders) {
    check({
        {"BERLEN", repeated(5), bytesOf({0x05}), 0, 0},
        {"BERLEN", "", bytesOf({0x00}), 0, 0},
        {"BERLEN", repeated(127), bytesOf({0x7F}), 0, 0},
        {"BERLEN", repeated(128), bytesOf({0x81, 0x80}), 0, 0},
        {"BERLEN", repeated(200), bytesOf({0x81, 0xC8}), 0, 0},
        {"BERLEN", repeated(300), bytesOf({0x82, 0x01, 0x2C}), 0, 0},
        {"BERLEN", repeated(65536), bytesOf({0x83, 0x01, 0x00, 0x00}), 0, 0},
        {"BERLEN(3)", repeated(5), bytesOf({0x82, 0x00, 0x05}), 0, 0},
        {"BERLEN(5)", repeated(5), bytesOf({0x84, 0x00, 0x00, 0x00, 0x05}), 0, 0},
        {"BERLEN(2)", repeated(300), bytesOf({0x82, 0x01, 0x2C}), 0, 0},
        {"BERLEN(1)", repeated(5), bytesOf({0x05}), 0, 0},
        {"BERLEN(6)", repeated(5), bytesOf({0x05}), 0, 0},
        {"BERLEN(\"3\")", repeated(5), "", kErrInvalidParameter, 0},
    }, true);
    const Bytes longForm = bytesOf({0x84, 0x00, 0x00, 0x01, 0x00});
    check({
        {"BERLEN", bytesOf({0x82, 0x01, 0x2C}), bytesOf({0x2C, 0x01}), 0, 3},
        {"BERLEN", longForm + "DATA", bytesOf({0x00, 0x01, 0x00, 0x00}), 0, 5},
        {"BERLEN", bytesOf({0x05, 0x01}), bytesOf({0x05}), 0, 1},
        {"BERLEN", bytesOf({0x80}), "", 0, 1},
        {"BERLEN(3)", bytesOf({0x05}), bytesOf({0x05}), 0, 1},
        {"BERLEN", bytesOf({0x85, 0, 0, 0, 0, 1}), "", kErrLengthTooLarge, 0},
        {"BERLEN", bytesOf({0x82, 0x01}), "", kErrLengthTooLarge, 0},
        {"BERLEN", "", "", kErrLengthFieldShort, 0},
    });
    EXPECT_EQ(lastReport("BERLEN", bytesOf({0x82, 0x01})),
              "Apply_BerLen: (E2060023) BERLEN: length field may not exceed  the available data characters");
    EXPECT_EQ(lastReport("BERLEN", ""), "Apply_BerLen: (E2060022) BERLEN: length field must contain at least 1 characters");
}

TEST_F(LengthOpsTest, IfsfLengthHeaders) {
    check({
        {"IFSFLEN", repeated(20), bytesOf({0x14}), 0, 0},
        {"IFSFLEN", "", bytesOf({0x00}), 0, 0},
        {"IFSFLEN", repeated(254), bytesOf({0xFE}), 0, 0},
        // FF alone would read back as the start of the long form.
        {"IFSFLEN", repeated(255), bytesOf({0xFF, 0x00, 0xFF}), 0, 0},
        {"IFSFLEN", repeated(300), bytesOf({0xFF, 0x01, 0x2C}), 0, 0},
        {"IFSFLEN", repeated(65535), bytesOf({0xFF, 0xFF, 0xFF}), 0, 0},
        {"IFSFLEN", repeated(65536), "", kErrTooManyCharacters, 0},
    }, true);
    check({
        {"IFSFLEN", bytesOf({0xFF, 0x01, 0x2C, 0x41}), bytesOf({0x2C, 0x01}), 0, 3},
        {"IFSFLEN", bytesOf({0x14, 0x41}), bytesOf({0x14}), 0, 1},
        {"IFSFLEN", bytesOf({0xFF, 0x01}), "", kErrLengthFieldShort, 0},
        {"IFSFLEN", bytesOf({0xFF}), "", kErrLengthFieldShort, 0},
        {"IFSFLEN", "", "", kErrLengthFieldShort, 0},
    });
    EXPECT_EQ(lastReport("IFSFLEN", bytesOf({0xFF, 0x01})),
              "Apply_IfsfLen: (E2060022) IFSFLEN: length field must contain at least 3 characters");
    EXPECT_EQ(lastReport("IFSFLEN", repeated(65536), true),
              "Apply_IfsfLen: (E2060026) IFSFLEN: operator may not manage more than 65535 characters");
}

TEST_F(LengthOpsTest, BerTags) {
    check({
        {"BERTAG", bytesOf({0x9F, 0x02, 0x06}), "9F02", 0, 2},
        {"BERTAG", bytesOf({0x5A, 0x08}), "5A", 0, 1},
        {"BERTAG", bytesOf({0x1F, 0x81, 0x01}), "1F8101", 0, 3},
        {"BERTAG", bytesOf({0x3F, 0x7F, 0x01}), "3F7F", 0, 2},
        {"BERTAG", "", "", 0, 0},
        {"BERTAG", bytesOf({0x1F}), "", kWarnStoppedShortInput, 0},
        {"BERTAG", bytesOf({0x1F, 0x81, 0x82}), "", kWarnStoppedShortInput, 0},
    });
    EXPECT_EQ(lastReport("BERTAG", bytesOf({0x1F})), "Apply_BerTag: (A2060030) BERTAG: expected 2 input characters, received 1");
    EXPECT_EQ(lastReport("BERTAG", bytesOf({0x1F, 0x81, 0x82})),
              "Apply_BerTag: (A2060030) BERTAG: expected 4 input characters, received 3");
    EXPECT_FALSE(input("BERTAG", bytesOf({0x1F})).produced);
    EXPECT_EQ(lastReport("BERTAG", "A", true), "Apply_BerTag: (E2060002) BERTAG: not a valid output operator");
}

TEST_F(LengthOpsTest, EdifactFieldsEscapeAndEndAtTheTerminator) {
    check({
        {"EDIFACTFLD(\"+\",true)", "A+B", "A?+B+", 0, 0},
        {"EDIFACTFLD(\"+\",true)", "A'B:C?D", "A?'B?:C??D+", 0, 0},
        {"EDIFACTFLD(\"+\")", "A+B", "A+B+", 0, 0},
        {"EDIFACTFLD(\"+\",1)", "A+B", "A?+B+", 0, 0},
        {"EDIFACTFLD(\"'\",true,\"'\")", "A'B+C", "A?'B+C'", 0, 0},
        {"EDIFACTFLD(\"#0D#0A\")", "AB", "AB\r\n", 0, 0},
        {"EDIFACTFLD(\"+\",true)", "", "+", 0, 0},
    }, true);
    check({
        {"EDIFACTFLD(\"+\",true)", "A?+B+C", "A+B", 0, 5},
        {"EDIFACTFLD(\"+\",false)", "A?+B+C", "A?+B", 0, 5},
        {"EDIFACTFLD(\"+\")", "A?+B+C", "A?+B", 0, 5},
        {"EDIFACTFLD(\"+\",true)", "A??+B", "A?", 0, 4},
        {"EDIFACTFLD(\"+\",true)", "ABC", "ABC", 0, 3},
        {"EDIFACTFLD(\"+\",true)", "+ABC", "", 0, 1},
        {"EDIFACTFLD(\"+\",true)", "", "", 0, 0},
        {"EDIFACTFLD(\"#0D#0A\")", "AB\rC\r\nD", "AB\rC", 0, 6},
        {"EDIFACTFLD(\"\")", "AB", "AB", 0, 2},
        {"EDIFACTFLD(\"+\",true)", "AB?", "", kWarnStoppedShortInput, 0},
        {"EDIFACTFLD(\"+\",false)", "AB?", "", kWarnStoppedShortInput, 0},
        {"EDIFACTFLD", "AB", "", kErrRequiresParameters, 0},
        {"EDIFACTFLD(1)", "AB", "", kErrInvalidParameter, 0},
        {"EDIFACTFLD(\"+\",\"yes\")", "AB", "", kErrInvalidParameter, 0},
    });
    EXPECT_EQ(lastReport("EDIFACTFLD(\"+\",true)", "AB?"),
              "Apply_EdifactFld: (A2060030) EDIFACTFLD: expected 4 input characters, received 3");
    EXPECT_EQ(lastReport("EDIFACTFLD", "AB"), "Apply_EdifactFld: (E2060004) EDIFACTFLD: requires 2 parameters");
    EXPECT_EQ(lastReport("EDIFACTFLD(\"+\",\"yes\")", "AB"),
              "Apply_EdifactFld: (E2060005) EDIFACTFLD: not a valid parameter, expected boolean");
}

// Length operators frame a field inside a longer chain like any other.
TEST_F(LengthOpsTest, FramesComposeWithOtherOperators) {
    check({
        {"LLVAR.HEX2RAW", "041234XX", bytesOf({0x12, 0x34}), 0, 6},
        {"HHVAR.FIX(2)", "04ABCDXX", "AB", kInfoUnusedAfterOperator, 6},
        {"EDIFACTFLD(\"+\",true).LLVAR", "02A?+B+", "A+", kInfoUnusedAfterOperator, 7},
    });
}

}  // namespace
}  // namespace payfmt
