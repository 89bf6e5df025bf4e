#include <gtest/gtest.h>

#include <random>

#include "engine/format_error.h"
#include "engine/istr.h"

namespace payfmt {
namespace {

class IStrTest : public ::testing::Test {
protected:
    Bytes roundTrip(BytesView raw) { return IStrToRaw(errors, RawToIStr(raw)); }
    TFormatError errors;
};

TEST_F(IStrTest, EveryShortByteStringSurvives) {
    for (int a = 0; a < 256; ++a) {
        const Bytes one(1, static_cast<char>(a));
        ASSERT_EQ(roundTrip(one), one);
        for (int b = 0; b < 256; ++b) {
            const Bytes two{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(roundTrip(two), two);
        }
    }
    EXPECT_EQ(roundTrip(""), "");
}

TEST_F(IStrTest, SampledThreeByteStringsSurvive) {
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t v = rng();
        const Bytes three{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16)};
        ASSERT_EQ(roundTrip(three), three);
    }
}

TEST_F(IStrTest, EscapesExactlyTheNonPrintableBytesAndTheEscape) {
    EXPECT_EQ(IStrToRaw(errors, "AB#30#0d"), "AB0\r");
    EXPECT_EQ(RawToIStr("AB0\r"), "AB0#0D");
    EXPECT_EQ(RawToIStr(std::string("\x00\x7f\xff #~", 6)), "#00#7F#FF #23~");
    int escaped = 0;
    for (int b = 0; b < 256; ++b) escaped += RawToIStr(Bytes(1, static_cast<char>(b))).size() == 3;
    EXPECT_EQ(escaped, 162);
}

TEST_F(IStrTest, BadEscapesRaiseDataMustBeHexadecimal) {
    for (std::string bad : {"#4", "#G1", "AB#", "#", "#0G"}) {
        errors.reset();
        try {
            IStrToRaw(errors, bad);
            ADD_FAILURE() << bad;
        } catch (const TFormatError&) {
            EXPECT_EQ(errors.lastCode(), 0xE2060029u) << bad;
            EXPECT_EQ(errors.lastLocation(), "IStrToRaw");
            EXPECT_EQ(errors.entries().back().message, "(E2060029) IStrToRaw: data must be hexadecimal");
        }
    }
}

TEST_F(IStrTest, TextEndsAtFirstNul) {
    EXPECT_EQ(IStrToRaw(errors, std::string("AB\0#G", 5)), "AB");
}

}  // namespace
}  // namespace payfmt
