#include "engine/engine_fixture.h"
#include "operators/op_support.h"
#include "support/codepage.h"

namespace payfmt {
namespace {

using test::bytesOf;

constexpr std::uint32_t kErrUnknownConversion = 0xE206002C;

class CharsetOpsTest : public test::EngineTest {
protected:
    struct Case {
        std::string format;
        Bytes in;
        Bytes out;
        std::uint32_t consumed;
    };
    void check(std::string_view page, std::initializer_list<Case> cases) {
        settings.selectCodePage(page);
        for (const auto& c : cases) {
            const std::string what = std::string(page) + ": " + c.format + " on " + ::testing::PrintToString(c.in);
            auto r = input(c.format, c.in);
            EXPECT_EQ(r.status, 0u) << what;
            EXPECT_EQ(r.out, c.out) << what;
            EXPECT_EQ(r.consumed, c.consumed) << what;
            // Output chains translate the same way.
            EXPECT_EQ(output(c.format, c.in).out, c.out) << what;
        }
    }
};

TEST_F(CharsetOpsTest, AnsiFollowsTheChosenPage) {
    check("cp_037", {
        {"ANSI2EBC", "A1", bytesOf({0xC1, 0xF1}), 2},
        {"EBC2ANSI", bytesOf({0x5B}), "$", 1},
        {"EBC2ANSI", bytesOf({0x4A}), bytesOf({0xA2}), 1},  // cent sign
    });
    check("cp_285", {
        {"EBC2ANSI", bytesOf({0x5B}), bytesOf({0xA3}), 1},  // pound sign
        {"EBC2ANSI", bytesOf({0x4A}), "$", 1},
        {"ANSI2EBC", bytesOf({0xA3}), bytesOf({0x5B}), 1},
    });
    check("cp_278", {
        {"EBC2ANSI", bytesOf({0x5B, 0x7B, 0x7C}), bytesOf({0xC5, 0xC4, 0xD6}), 3},
        {"ANSI2EBC", bytesOf({0xA7}), bytesOf({0x4A}), 1},  // section sign
    });
    check("cp_eccf", {
        {"ANSI2EBC", "[", bytesOf({0x4A}), 1},
        {"EBC2ANSI", bytesOf({0x4A}), "[", 1},
    });
    check("CP_037", {
        {"EBC2ANSI", bytesOf({0x5B}), "$", 1},
    });
    EXPECT_EQ(settings.codePageName, "CP_037");
}

TEST_F(CharsetOpsTest, AsciiEbcdicIgnoresThePage) {
    for (std::string_view page : {"cp_eccf", "cp_037", "cp_278", "cp_285"}) {
        check(page, {
            {"ASC2EBC", "[A1", bytesOf({0x4A, 0xC1, 0xF1}), 3},
            {"EBC2ASC", bytesOf({0x4A, 0x5B}), "[$", 2},
            {"ASC2EBC", "", "", 0},
        });
    }
}

TEST_F(CharsetOpsTest, EveryByteRoundTripsThroughEachPage) {
    Bytes all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (std::string_view page : {"cp_eccf", "cp_037", "cp_278", "cp_285"}) {
        settings.selectCodePage(page);
        EXPECT_EQ(input("ANSI2EBC.EBC2ANSI", all).out, all) << page;
        EXPECT_EQ(input("EBC2ANSI.ANSI2EBC", all).out, all) << page;
    }
    EXPECT_EQ(input("ASC2EBC.EBC2ASC", all).out, all);
}

TEST_F(CharsetOpsTest, UnknownPageIsRefusedAndThePageStays) {
    settings.selectCodePage("cp_285");
    for (std::string_view name : {"cp_500", "", "cp_0370", "285"}) {
        try {
            settings.selectCodePage(name);
            ADD_FAILURE() << name << " was accepted";
        } catch (const TFormatError&) {
        }
        EXPECT_EQ(settings.errors().lastCode(), kErrUnknownConversion);
        EXPECT_EQ(settings.errors().entries().back().message,
                  "(E206002C) " + std::string(name) + ": unknown conversion identifier");
        settings.errors().reset();
        EXPECT_EQ(settings.codePageName, "cp_285");
        EXPECT_EQ(settings.ebcdicToLatin, &findCodePage("285")->toLatin1);
        EXPECT_EQ(settings.latinToEbcdic, &findCodePage("285")->toEbcdic);
    }
}

TEST_F(CharsetOpsTest, ConsumptionPassesThroughTheTranslation) {
    auto r = input("EBC2ANSI.FIX(5)", bytesOf({0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8}));
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.out, "ABCDE");
    EXPECT_EQ(r.consumed, 5u);
    r = input("ASC2EBC.FIX(2)", "ABC");
    EXPECT_EQ(r.out, bytesOf({0xC1, 0xC2}));
    EXPECT_EQ(r.consumed, 2u);
    // As the mask takes it.
    r = input("EBC2ASC", bytesOf({0xF1, 0xF2, 0xC1}), "N2");
    EXPECT_EQ(r.consumed, 2u);
}

TEST_F(CharsetOpsTest, EdaText) {
    check("cp_eccf", {
        {"EDA2RAW", "a\\5Cb\\0a", "a\\b\n", 8},
        {"EDA2RAW", "", "", 0},
        {"RAW2EDA", bytesOf({'a', '\\', 0x00, 0xFF}), "a\\5C\\00\\FF", 4},
    });
    auto r = input("EDA2RAW.RAW2EDA", "x\\0d");
    EXPECT_EQ(r.out, "x\\0D");
}

// An escape stands for one byte in three characters: what the rest of the
// chain used is counted back by position.
TEST_F(CharsetOpsTest, EdaConsumptionMapsBackByPosition) {
    struct {
        std::string format;
        Bytes in;
        Bytes out;
        std::uint32_t consumed;
    } cases[] = {
        {"EDA2RAW.FIX(2)", "\\41\\42XYZ", "AB", 6},
        {"EDA2RAW.FIX(3)", "\\41B\\43D", "ABC", 7},
        {"EDA2RAW.FIX(1)", "Q\\41", "Q", 1},
        {"RAW2EDA.FIX(4)", bytesOf({0x01, 'A', 'B'}), "\\01A", 2},
        {"RAW2EDA.FIX(2)", bytesOf({0x01, 'A'}), "\\0", 1},  // part of an escape uses its byte
        {"RAW2EDA.FIX(1)", "AB", "A", 1},
    };
    for (const auto& c : cases) {
        auto r = input(c.format, c.in);
        EXPECT_EQ(r.out, c.out) << c.format;
        EXPECT_EQ(r.consumed, c.consumed) << c.format;
        EXPECT_EQ(r.status, 0u) << c.format;
    }
}

TEST_F(CharsetOpsTest, EdaNotesItsInverse) {
    OpContext ctx(kDirectionInput);
    Output out;
    ApplyOperator(parser, ctx, "EDA2RAW", "A", out);
    EXPECT_EQ(ctx.inverse, "RAW2EDA");
    EXPECT_FALSE(ctx.ownCount);
    ApplyOperator(parser, ctx, "RAW2EDA", "A", out);
    EXPECT_EQ(ctx.inverse, "Eda2Raw");
}

TEST_F(CharsetOpsTest, BadEdaEscapeIsReportedNotDropped) {
    for (std::string_view bad : {"\\4", "ab\\", "\\4G", "\\\\"}) {
        auto r = input("EDA2RAW", Bytes(bad));
        EXPECT_EQ(r.status, kErrForeignException) << bad;
        EXPECT_FALSE(r.produced) << bad;
        ASSERT_EQ(r.reports.size(), 1u) << bad;
        EXPECT_EQ(r.reports[0].message, "Invalid escape in EDA text");
        EXPECT_EQ(r.reports[0].location, "ApplyOperator");
    }
}

}  // namespace
}  // namespace payfmt
