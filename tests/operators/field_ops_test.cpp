#include "operators/op_support.h"
#include "operators/operator_cases.h"

namespace payfmt {
namespace {

using test::bytesOf;

class FieldOpsTest : public test::OperatorCaseTest {};

TEST_F(FieldOpsTest, FixCutsAndWarnsWhenShort) {
    check({
        {"FIX(2)", "1234", "12", 0, 2},
        {"FIX(0)", "12", "", 0, 0},
        {"FIX(4)", "12", "12", kWarnShortInput, 2},
        {"FIX", "12", "", kErrRequiresParameters, 0},
        {"FIX(\"2\")", "12", "", kErrInvalidParameter, 0},
        {"FIX(-1)", "12", "", kErrInvalidParameter, 0},
    });
    auto r = input("FIX(4)", "12");
    EXPECT_EQ(r.reports[0].message, "(A2060025) FIX: expected 4 input characters, received 2");
    EXPECT_EQ(r.reports[0].location, "Apply_Fix");
    EXPECT_EQ(input("FIX", "1").reports[0].message, "(E2060004) FIX: requires 1 parameters");
}

// The chains of the exported-API examples, through the engine.
TEST_F(FieldOpsTest, FixInsideChainsConsumesThroughBackMaps) {
    check({
        {"FIX(4).HEX2RAW", "1234\xFF", bytesOf({0x12, 0x34}), 0, 4},
        {"RAW2HEX.FIX(4)", bytesOf({0x12, 0x34, 0x56}), "1234", 0, 2},
        {"RAW2BASE64.FIX(8)", "ABCDEFGHI", "QUJDREVG", 0, 6},
        {"BASE642RAW.FIX(3)", "Zm9vYmFy", "foo", 0, 4},
        {"FIX(2).DEC2RAW", "12", bytesOf({0x0C}), 0, 2},
    });
}

TEST_F(FieldOpsTest, FixSlackToleratesTrailingBytes) {
    // RAW2DEC keeps its own count: "300" is one character longer than FIX(2) takes.
    auto r = input("RAW2DEC.FIX(2)", bytesOf({0x2C, 0x01}));
    EXPECT_EQ(r.codes(), std::vector<std::uint32_t>{kInfoUnusedAfterOperator});
    EXPECT_EQ(r.reports[0].message, "(6206002B) FIX: there are 1 unused characters after applying the operator");
    r = input("FIX(3,1).FIX(2)", "123");
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.consumed, 3u);
    r = input("FIX(3).FIX(2)", "123");
    EXPECT_EQ(r.status, kInfoUnusedAfterOperator);
}

TEST_F(FieldOpsTest, PadAndTrim) {
    check({
        {"PADL(\"0\",5)", "123", "00123", 0, 3},
        {"PADR(\" \",5)", "AB", "AB   ", 0, 2},
        {"PADL(\"0\",\"E\")", "123", "0123", 0, 3},
        {"PADL(\"0\",\"e\")", "1234", "1234", 0, 4},
        {"PADR(\"0\",\"E\")", "123", "1230", 0, 3},
        {"PADR(\"0\",\"O\")", "123", "123", 0, 3},
        {"PADR(\"0\",\"O\")", "12", "120", 0, 2},
        {"PADL(\"0\",2)", "12345", "45", 0, 5},
        {"PADR(\"0\",2)", "12345", "12", 0, 5},
        {"PADL(\"#00\",2)", bytesOf({0x0C}), bytesOf({0, 0x0C}), 0, 1},
        {"PADL(\"0\",0)", "12", "", 0, 2},
        {"PADL(\"0\")", "1", "", kErrRequiresParameters, 0},
        {"PADL(\"0\",\"X\")", "1", "", kErrInvalidParameter, 0},
        {"PADL(\"0\",-1)", "1", "", kErrInvalidParameter, 0},
        {"PADL(\"\",2)", "1", "", kErrInvalidParameter, 0},
        {"TRIM", "  A B  ", "A B", 0, 7},
        {"TRIML", "  A  ", "A  ", 0, 5},
        {"TRIMR", "  A  ", "  A", 0, 5},
        {"TRIM(\"0\")", "000", "", 0, 3},
        {"TRIML(\"0\")", "0120", "120", 0, 4},
        {"TRIM(\"\")", " x ", "x", 0, 3},
        {"TRIM(\"#00\")", bytesOf({0, 'A', 0}), "A", 0, 3},
        {"TRIM(1)", "x", "", kErrInvalidParameter, 0},
    });
    EXPECT_EQ(input("PADL(\"0\",\"X\")", "1").reports[0].message,
              "(E2060005) PADL: not a valid parameter, expected \"E\" or \"O\"");
}

TEST_F(FieldOpsTest, LeaveSkipPrepend) {
    check({
        {"LEAVE(2)", "ABCDE", "ABC", 0, 3},
        {"LEAVE", "ABCDE", "ABC", 0, 3},
        {"LEAVE(3)", "ABC", "", 0, 0},
        {"LEAVE(3)", "AB", "", kWarnShortInput, 0},
        {"LEAVE(3,1)", "AB", "", 0, 0},
        {"SKIP(2)", "ABCD", "CD", 0, 4},
        {"SKIP(10)", "ABCD", "", 0, 4},
        {"SKIP", "AB", "", kErrRequiresParameters, 0},
        {"SKIP(1,2)", "AB", "", kErrRequiresParameters, 0},
        {"SKIP(-1)", "AB", "", kErrInvalidParameter, 0},
        {"PREPEND(\"#02\")", "AB", "\x02" "AB", 0, 2},
        {"PREPEND", "AB", "AB", 0, 0},
    });
}

TEST_F(FieldOpsTest, Separators) {
    check({
        {"CHARSEP(\"[;,]\")", "A;B", "A", 0, 2},
        {"CHARSEP", "ABC,DEF", "ABC", 0, 4},
        {"CHARSEP", "ABC", "ABC", 0, 3},
        {"CHARSEP(\"n\")", "AB7C", "AB", 0, 3},
        {"CHARSEP(\"[#1C]\")", "AB\x1C" "C", "AB", 0, 3},
        {"CHARSEP(1)", "A", "", kErrInvalidParameter, 0},
        {"STRSEP(\"#0D#0A\")", "line1\r\nline2", "line1", 0, 7},
        {"STRSEP(\"#0D#0A\")", "no separator", "no separator", 0, 12},
        {"STRSEP", "x", "", kErrRequiresParameters, 0},
    });
    check({
        {"STRSEP(\"#0D#0A\")", "line1", "line1\r\n", 0, 0},
        {"CHARSEP", "A", "", kErrNotOutputOperator, 0},
    }, true);
}

TEST_F(FieldOpsTest, IndexTables) {
    check({
        {"STR2IND(\"NO\",\"YES\")", "YES", "1", 0, 3},
        {"STR2IND(\"NO\",\"YES\")", "yes", "?", kInfoNoMatch, 3},
        {"STR2IND(\"NO\",\"YES\")", "", "?", kInfoNoMatch, 0},
        {"INSET(\"A\",\"B\")", "B", "1", 0, 1},
        {"IND2STR(\"NO\",\"YES\")", "1", "YES", 0, 1},
        {"IND2STR(\"NO\",\"YES\")", "10", "YES", 0, 1},
        {"IND2STR(\"NO\",\"YES\")", "2", "(Not Found)", 0, 1},
        {"IND2STR(\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\",\"j\",\"k\")", "A", "k", 0, 1},
        {"IND2STR", "", "", kWarnStoppedShortInput, 0},
        {"IND2STR(\"x\")", "/", "", kInfoNotCharacter, 0},
        {"IND2STR(1)", "0", "", kErrInvalidParameter, 0},
        {"STR2IND(\"A\",2)", "B", "", kErrInvalidParameter, 0},
    });
    EXPECT_EQ(input("STR2IND(\"NO\")", "").reports[0].message, "(62060012) '' does not match any string");
    settings.noMatchText = "n/a";
    EXPECT_EQ(input("STR2IND(\"NO\")", "X").out, "n/a");
}

TEST_F(FieldOpsTest, InsetOpensAnInputMask) {
    auto r = input("NONE", "B", "INSET(\"A\",\"B\")");
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.consumed, 1u);
    r = input("NONE", "C", "INSET(\"A\",\"B\")");
    EXPECT_EQ(r.status, kInfoNoMatch);
}

TEST_F(FieldOpsTest, DigitPackingRoundTrips) {
    const Bytes packed = bytesOf({0x28, 0x3E, 0x0C, 0x16, 0x1A, 0x41, 0x1A, 0x42});
    check({
        {"CONV(\"ATEA2D27B\")", "12345=AB", packed, 0, 8},
        {"CONV(\"atea7b22d\")", packed, "12345=AB", 0, 8},
        {"CONV(\"ATEA2D27B\")", "129", bytesOf({0x28, 0x19}), 0, 3},
        {"CONV(\"ATEA2D27B\")", "7", bytesOf({0x0E}), 0, 1},
        {"CONV(\"ATEA2D27B\")", "0001", bytesOf({0x00, 0x1D}), 0, 4},
        {"CONV(\"ATEA7B22D\")", bytesOf({0x00, 0x1D, 0x7F}), "000199", 0, 3},
        {"CONV(\"ATEA2D27B\")", "", "", 0, 0},
        {"CONV(\"ATEA2D27B\")", "1", bytesOf({0x08}), 0, 1},
        {"CONV", "1", "", kErrRequiresParameters, 0},
        {"CONV(\"XYZ\")", "1", "", kErrInvalidParameter, 0},
    });
    EXPECT_EQ(input("CONV(\"xyz\")", "1").reports[0].message,
              "(E2060005) XYZ: not a valid parameter, expected valid conversion identifier");
}

TEST_F(FieldOpsTest, DigitPackingStopsAtForeignBytes) {
    // Packing leaves the byte it cannot pack; unpacking counts it as used.
    auto r = input("CONV(\"ATEA2D27B\")", "12#34");
    EXPECT_EQ(r.out, bytesOf({0x28}));
    r = input("CONV(\"ATEA7B22D\")", bytesOf({0x28, 0x80, 0x28}));
    EXPECT_EQ(r.out, "12");
    r = input("CONV(\"ATEA7B22D\")", bytesOf({0x28, 0x1A}));  // a marker at the very end
    EXPECT_EQ(r.out, "12");
    // Consumption maps back by position: two packed bytes stand for four digits.
    r = input("CONV(\"ATEA2D27B\")", "1234AB", "B2");
    EXPECT_EQ(r.consumed, 4u);
}

}  // namespace
}  // namespace payfmt
