#include "operators/op_support.h"
#include "operators/operator_cases.h"
#include "operators/operator_list.h"

namespace payfmt {
namespace {

using test::bytesOf;
using test::repeated;

class NibbleBitOpsTest : public test::OperatorCaseTest {};

TEST_F(NibbleBitOpsTest, BuffersWriteTheirByteCount) {
    check({
        {"BBUF", "HELLO", bytesOf({0x05}) + "HELLO", 0, 0},
        {"BBUF", "", bytesOf({0x00}), 0, 0},
        {"BBUF", repeated(255), bytesOf({0xFF}) + repeated(255), 0, 0},
        {"BBUF", repeated(256), "", kErrTooManyCharacters, 0},
        {"BBBUF", repeated(300), bytesOf({0x01, 0x2C}) + repeated(300), 0, 0},
        {"BBBUF", repeated(256), bytesOf({0x01, 0x00}) + repeated(256), 0, 0},
        {"DBUF", repeated(12), bytesOf({0x12}) + repeated(12), 0, 0},
        {"DBUF", repeated(100), "", kErrTooManyCharacters, 0},
        {"DDBUF", repeated(1234), bytesOf({0x12, 0x34}) + repeated(1234), 0, 0},
        {"DDBUF", repeated(10000), "", kErrTooManyCharacters, 0},
    }, true);
    EXPECT_EQ(lastReport("BBUF", repeated(256), true),
              "Apply_Buf: (E2060026) BBUF: operator may not manage more than 255 characters");
    EXPECT_EQ(lastReport("DDBUF", repeated(10000), true),
              "Apply_Buf: (E2060026) DDBUF: operator may not manage more than 9999 characters");
}

TEST_F(NibbleBitOpsTest, BuffersReadTheirByteCount) {
    check({
        {"BBUF", bytesOf({0x05}) + "HELLOXX", "HELLO", 0, 6},
        {"BBUF", bytesOf({0x00}) + "X", "", 0, 1},
        {"BBBUF", bytesOf({0x00, 0x02}) + "ABC", "AB", 0, 4},
        {"DBUF", bytesOf({0x1A}) + repeated(25), repeated(20), 0, 21},
        {"DDBUF", bytesOf({0x00, 0x12}) + repeated(12), repeated(12), 0, 14},
        {"BBUF", bytesOf({0x05}) + "ABC", "ABC", kWarnShortInput, 4},
        {"BBBUF", bytesOf({0x00, 0x05}) + "ABC", "ABC", kWarnShortInput, 5},
        {"DBUF", bytesOf({0x05}) + "ABC", "ABC", kWarnShortInput, 4},
        {"DDBUF", bytesOf({0x00, 0x05}) + "ABC", "ABC", kWarnShortInput, 5},
        {"BBUF", "", "", kErrLengthFieldShort, 0},
        {"BBBUF", bytesOf({0x00}), "", kErrLengthFieldShort, 0},
        {"DDBUF", bytesOf({0x00}), "", kErrLengthFieldShort, 0},
    });
    // The binary counts name the data length they expected, the BCD counts
    // the prefix and data together.
    EXPECT_EQ(lastReport("BBUF", bytesOf({0x05}) + "ABC"), "Apply_Buf: (A2060025) BBUF: expected 5 input characters, received 4");
    EXPECT_EQ(lastReport("BBBUF", bytesOf({0x00, 0x05}) + "ABC"),
              "Apply_Buf: (A2060025) BBBUF: expected 5 input characters, received 5");
    EXPECT_EQ(lastReport("DBUF", bytesOf({0x05}) + "ABC"), "Apply_Buf: (A2060025) DBUF: expected 6 input characters, received 4");
    EXPECT_EQ(lastReport("DDBUF", bytesOf({0x00, 0x05}) + "ABC"),
              "Apply_Buf: (A2060025) DDBUF: expected 7 input characters, received 5");
    EXPECT_EQ(lastReport("BBBUF", bytesOf({0x00})),
              "Apply_Buf: (E2060022) BBBUF: length field must contain at least 2 characters");
}

TEST_F(NibbleBitOpsTest, NibblesPackHexadecimalDigits) {
    check({
        {"BNIBBLES", "12345", bytesOf({0x05, 0x01, 0x23, 0x45}), 0, 0},
        {"NBUF", "12345", bytesOf({0x05, 0x01, 0x23, 0x45}), 0, 0},
        {"BNIBBLES", "", bytesOf({0x00}), 0, 0},
        {"BNIBBLES", "a", bytesOf({0x01, 0x0A}), 0, 0},
        {"BBNIBBLES", "1234", bytesOf({0x00, 0x04, 0x12, 0x34}), 0, 0},
        {"DNIBBLES", "123456789012", bytesOf({0x12, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12}), 0, 0},
        {"DDNIBBLES", "ABC", bytesOf({0x00, 0x03, 0x0A, 0xBC}), 0, 0},
        {"BNIBBLES", "12G4", "", kErrDataNotHex, 0},
        {"BNIBBLES", repeated(256, '1'), "", kErrTooManyCharacters, 0},
        {"DNIBBLES", repeated(100, '1'), "", kErrTooManyCharacters, 0},
    }, true);
    EXPECT_EQ(lastReport("BNIBBLES", "12G4", true), "Apply_Nibbles: (E2060029) BNIBBLES: data must be hexadecimal");
}

TEST_F(NibbleBitOpsTest, NibblesUnpackToHexadecimalText) {
    check({
        {"BNIBBLES", bytesOf({0x05, 0x01, 0x23, 0x45}), "12345", 0, 4},
        {"NBUF", bytesOf({0x04, 0x12, 0x34, 0x56}), "1234", 0, 3},
        {"BNIBBLES", bytesOf({0x05, 0x01, 0x23}), "123", kWarnShortInput, 3},
        {"BNIBBLES", bytesOf({0x05}), "", kWarnShortInput, 1},
        {"BNIBBLES", "", "", 0, 0},
        {"BNIBBLES", bytesOf({0x00, 0x12}), "", 0, 1},
        {"DDNIBBLES", bytesOf({0x00, 0x03, 0x01, 0x23}), "123", 0, 4},
        {"DNIBBLES", bytesOf({0x12, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12}), "123456789012", 0, 7},
        {"BBNIBBLES", bytesOf({0x00, 0x02, 0xAB}), "AB", 0, 3},
        // A two-byte count needs both bytes.
        {"BBNIBBLES", bytesOf({0x00}), "", kErrLengthFieldShort, 0},
        {"DDNIBBLES", bytesOf({0x00}), "", kErrLengthFieldShort, 0},
    });
    EXPECT_EQ(lastReport("BNIBBLES", bytesOf({0x05, 0x01, 0x23})),
              "Apply_Nibbles: (A2060025) BNIBBLES: expected 3 input characters, received 3");
}

TEST_F(NibbleBitOpsTest, BitTextAndBytes) {
    check({
        {"BIT2RAW", "101", bytesOf({0xA0}), 0, 3},
        {"BIT2RAW", "0000000111", bytesOf({0x01, 0xC0}), 0, 10},
        {"BIT2RAW", "11111111", bytesOf({0xFF}), 0, 8},
        {"BIT2RAW", "", "", 0, 0},
        {"BIT2RAW", "12", "", kInfoNotCharacter, 0},
        {"RAW2BIT", bytesOf({0xA0}), "10100000", 0, 1},
        {"RAW2BIT", bytesOf({0x01, 0x80}), "0000000110000000", 0, 2},
        {"RAW2BIT", "", "", 0, 0},
        // Consumption follows the rest of the chain.
        {"BIT2RAW.FIX(1)", "1010000011", bytesOf({0xA0}), 0, 8},
        {"RAW2BIT.FIX(3)", bytesOf({0xA0, 0xFF}), "101", 0, 1},
        {"RAW2BIT.FIX(9)", bytesOf({0xA0, 0xFF}), "101000001", 0, 2},
    });
    const auto r = input("BIT2RAW", "12");
    EXPECT_FALSE(r.produced);
    EXPECT_EQ(r.reports.back().location + ": " + r.reports.back().message,
              "Apply_Bit2Raw: (62060011) '2' is not a Bit character");
}

TEST_F(NibbleBitOpsTest, BitFieldsCarryTheirBitCount) {
    check({
        {"BBIT", "101", bytesOf({0x03, 0xA0}), 0, 0},
        {"BBIT", "", bytesOf({0x00}), 0, 0},
        {"BBBIT", "1010", bytesOf({0x00, 0x04, 0xA0}), 0, 0},
        {"BBBIT", repeated(300, '1'), bytesOf({0x01, 0x2C}) + repeated(37, '\xFF') + bytesOf({0xF0}), 0, 0},
        {"BBIT", repeated(256, '1'), "", kErrTooManyCharacters, 0},
        {"BBBIT", repeated(32768, '1'), "", kErrTooManyCharacters, 0},
        {"BBIT", "12", "", kInfoNotCharacter, 0},
    }, true);
    check({
        {"BBIT", bytesOf({0x03, 0xA0}), "101", 0, 2},
        {"BBIT", bytesOf({0x09, 0xA0, 0x80, 0x55}), "101000001", 0, 3},
        {"BBBIT", bytesOf({0x00, 0x04, 0xA0}), "1010", 0, 3},
        {"BBIT", bytesOf({0x00, 0xA0}), "", 0, 1},
        {"BBIT", bytesOf({0x10, 0xFF}), "11111111", kWarnShortInput, 2},
        {"BBBIT", bytesOf({0x80, 0x00, 0xFF}), "", kErrLengthTooLarge, 0},
    });
    EXPECT_EQ(lastReport("BBBIT", bytesOf({0x80, 0x00, 0xFF})),
              "TOpLLVarX.Apply: (E2060023) BBBIT: length field may not exceed 32767 characters");
    EXPECT_EQ(lastReport("BBIT", repeated(256, '1'), true),
              "TOpLLVarX.Apply: (E2060026) BBIT: operator may not manage more than 255 characters");
    // The data chain cuts the bits to the count and names itself when short.
    EXPECT_EQ(lastReport("BBIT", bytesOf({0x10, 0xFF})), "Apply_Fix: (A2060025) FIX: expected 16 input characters, received 8");
}

// An implementation serves only the names its table lists.
TEST_F(NibbleBitOpsTest, UnlistedNamesAreNotServed) {
    for (Operator op : {&ops::Buf, &ops::Nibbles}) {
        OpContext ctx(kDirectionInput);
        ctx.name = "XBUF";
        Output out;
        EXPECT_THROW(op(ctx, "AB", out, parser), TFormatError);
        EXPECT_FALSE(out.produced());
        EXPECT_EQ(settings.errors().entries().back().message, "(E2060001) XBUF: operator not found");
    }
}

}  // namespace
}  // namespace payfmt
