#include "operators/operator_cases.h"
#include "operators/op_support.h"

namespace payfmt {
namespace {

using test::bytesOf;

class NumericOpsTest : public test::OperatorCaseTest {};

TEST_F(NumericOpsTest, Dec2RawWritesLittleEndianOfTheNeededWidth) {
    check({
        {"DEC2RAW", "12", bytesOf({0x0C}), 0, 2},
        {"DEC2RAW", "0", bytesOf({0}), 0, 1},
        {"DEC2RAW", "255", bytesOf({0xFF}), 0, 3},
        {"DEC2RAW", "256", bytesOf({0, 1}), 0, 3},
        {"DEC2RAW", "300", bytesOf({0x2C, 1}), 0, 3},
        {"DEC2RAW", "65536", bytesOf({0, 0, 1}), 0, 5},
        {"DEC2RAW", "16777216", bytesOf({0, 0, 0, 1}), 0, 8},
        {"DEC2RAW", "-1", bytesOf({0xFF}), 0, 2},
        {"DEC2RAW", "12a", "", kErrDataNotDecimal, 2},
        {"DEC2RAW", "99999999999", "", kErrDataNotDecimal, 11},
        {"DEC2RAW", "", "", kWarnStoppedShortInput, 0},
    });
}

TEST_F(NumericOpsTest, Dec2RawMessages) {
    auto r = input("DEC2RAW", "");
    EXPECT_EQ(r.reports[0].message, "(A2060030) DEC2RAW: expected 1 input characters, received 0");
    EXPECT_FALSE(r.produced);
    r = input("DEC2RAW", "12a");
    EXPECT_EQ(r.reports[0].message, "(E2060028) DEC2RAW: data must be decimal");
}

TEST_F(NumericOpsTest, Raw2DecReadsUpToFourBytes) {
    check({
        {"RAW2DEC", bytesOf({0x0C}), "12", 0, 1},
        {"RAW2DEC", bytesOf({0x2C, 1}), "300", 0, 2},
        {"RAW2DEC", bytesOf({0xFF, 0xFF, 0xFF}), "16777215", 0, 3},
        {"RAW2DEC", bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), "-1", 0, 4},
        {"RAW2DEC", "", "0", 0, 0},
    });
    // A longer input leaves its tail to the rest of the chain.
    auto r = input("RAW2DEC", bytesOf({1, 0, 0, 0, 9, 9}));
    EXPECT_EQ(r.out, "1");
    EXPECT_EQ(r.consumed, 4u);
}

TEST_F(NumericOpsTest, HexAndBase64) {
    check({
        {"HEX2RAW", "0aFF", bytesOf({0x0A, 0xFF}), 0, 4},
        {"HEX2RAW", "123", bytesOf({0x12, 0x30}), 0, 3},
        {"HEX2RAW", "", "", 0, 0},
        {"RAW2HEX", bytesOf({0, 0xAB}), "00AB", 0, 2},
        {"BASE642RAW", "Zm9vYg==", "foob", 0, 8},
        {"BASE642RAW", "", "", 0, 0},
        {"RAW2BASE64", "foob", "Zm9vYg==", 0, 4},
        {"RAW2BASE64", "fo", "Zm8=", 0, 2},
        {"RAW2BASE64", "", "", 0, 0},
    });
    auto r = input("HEX2RAW", "0G");
    EXPECT_EQ(r.status, kInfoNotCharacter);
    EXPECT_EQ(r.reports[0].message, "(62060011) 'G' is not a hexadecimal character");
    EXPECT_FALSE(r.produced);
    r = input("BASE642RAW", "Zm9v!");
    EXPECT_EQ(r.status, kErrForeignException);
    EXPECT_EQ(r.reports[0].message, "Invalid Base64 text");
}

TEST_F(NumericOpsTest, Int2StrShapesByPicture) {
    check({
        {"INT2STR", bytesOf({0, 0, 1, 0x2C}), "300", 0, 4},
        {"INT2STR(4,\"0000000\")", bytesOf({0, 0, 1, 0x2C}), "0000300", 0, 4},
        {"INT2STR(4,\"9999999\")", bytesOf({0, 0, 1, 0x2C}), "    300", 0, 4},
        {"INT2STR(2,\"S999\",2)", bytesOf({0xFF, 0x38}), "-200", 0, 2},
        {"INT2STR(2,\"S999\",2)", bytesOf({0x00, 0xC8}), " 200", 0, 2},
        {"INT2STR(1,\"99+\",2)", bytesOf({0x85}), "123-", 0, 1},
        {"INT2STR(1,\"+99\",2)", bytesOf({0x05}), "+ 5", 0, 1},
        {"INT2STR(1,\"S+9\",2)", bytesOf({0x05}), "+5", 0, 1},
        {"INT2STR(1,\"9\",2)", bytesOf({0xFF}), "1", 0, 1},        // magnitude only
        {"INT2STR(1,\"9\",1)", bytesOf({0xFE}), "1", 0, 1},        // ones' complement
        {"INT2STR(1,\"S9\",1)", bytesOf({0xFE}), "-1", 0, 1},
        {"INT2STR(-2)", bytesOf({0x2C, 0x01}), "300", 0, 2},
        {"INT2STR(8)", bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "18446744073709551615", 0, 8},
        {"INT2STR(8,\"S9\",2)", bytesOf({0x80, 0, 0, 0, 0, 0, 0, 0}), "-9223372036854775808", 0, 8},
        {"INT2STR(8)", bytesOf({0x01, 0x00}), "256", 0, 2},  // size cut to the input
        {"INT2STR(0)", bytesOf({0, 0, 0, 7}), "7", 0, 4},
        {"INT2STR(9)", bytesOf({1}), "", kErrNotYetDefined, 0},
        {"INT2STR(4,\"9X\")", bytesOf({1}), "", kErrNotYetDefined, 0},
        {"INT2STR(4,\"9\",3)", bytesOf({1}), "", kErrNotYetDefined, 0},
        {"INT2STR(\"4\")", bytesOf({1}), "", kErrInvalidParameter, 0},
        {"INT2STR(4,5)", bytesOf({1}), "", kErrInvalidParameter, 0},
    });
    EXPECT_EQ(input("INT2STR(\"4\")", "x").reports[0].message,
              "(E2060005) INT2STR InputLen: not a valid parameter, expected integer");
    EXPECT_EQ(input("INT2STR(4,5)", "x").reports[0].message,
              "(E2060005) INT2STR FormatString: not a valid parameter, expected string");
}

TEST_F(NumericOpsTest, Str2IntWritesTheSizedInteger) {
    check({
        {"STR2INT", "300", bytesOf({0, 0, 1, 0x2C}), 0, 3},
        {"STR2INT(2,\"\",2)", "-200", bytesOf({0xFF, 0x38}), 0, 4},
        {"STR2INT(-2)", "300", bytesOf({0x2C, 0x01}), 0, 3},
        {"STR2INT(4,\"\",2)", " -5", bytesOf({0xFF, 0xFF, 0xFF, 0xFB}), 0, 3},
        {"STR2INT(4,\"\",2)", "5-", bytesOf({0xFF, 0xFF, 0xFF, 0xFB}), 0, 2},
        {"STR2INT(4,\"\",0)", " -5", bytesOf({0, 0, 0, 5}), 0, 3},
        {"STR2INT(4,\"\",0)", "5-", bytesOf({0, 0, 0, 5}), 0, 2},
        {"STR2INT(1,\"\",1)", "-1", bytesOf({0xFE}), 0, 2},
        {"STR2INT(1,\"\",1)", "1", bytesOf({0x01}), 0, 1},
        {"STR2INT(8)", "+2147483647", bytesOf({0, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF}), 0, 11},
        {"STR2INT(4,\"\",2)", "-2147483648", bytesOf({0x80, 0, 0, 0}), 0, 11},
        {"STR2INT(2)", "70000", "", kErrNumberTooLarge, 0},
        {"STR2INT", "2147483648", "", kErrDataNotDecimal, 0},
        {"STR2INT", "12a", "", kErrDataNotDecimal, 0},
        {"STR2INT", "  ", "", kErrDataNotDecimal, 0},
        {"STR2INT(4,\"\",3)", "1", "", kErrNotYetDefined, 0},
    });
    EXPECT_EQ(input("STR2INT(2)", "70000").reports[0].message,
              "(E206002A) STR2INT: cannot manage numbers greater than 2 bytes");
}

TEST_F(NumericOpsTest, IStrInsideAChain) {
    check({
        {"ISTR2RAW", "AB#30#0d", "AB0\r", 0, 8},
        {"RAW2ISTR", std::string("\0#A", 3), "#00#23A", 0, 3},
        {"ISTR2RAW", "#G1", "", 0xE2060029, 0},
    });
}

TEST_F(NumericOpsTest, InverseAndNone) {
    check({
        {"INVERSE", "ABC", "CBA", 0, 3},
        {"INVERSE", "", "", 0, 0},
        {"NONE", "ABC", "ABC", 0, 3},
    });
    check({{"INVERSE.INVERSE", "ABC", "ABC", 0, 0}}, true);
}

}  // namespace
}  // namespace payfmt
