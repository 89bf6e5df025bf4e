#include <stdexcept>

#include "engine/chain_cache.h"
#include "engine/engine_fixture.h"
#include "engine/mask.h"
#include "engine/registries.h"

namespace payfmt {
namespace {

using test::bytesOf;

class ChainTest : public test::EngineTest {};

TEST_F(ChainTest, EmptyOrBlankFormatAppliesNone) {
    for (std::string format : {"", " RAW2HEX", ".RAW2HEX"}) {
        const auto r = input(format, "AB");
        EXPECT_EQ(r.out, "AB") << format;
        EXPECT_EQ(r.consumed, 2u) << format;
        EXPECT_EQ(r.status, 0u) << format;
    }
}

TEST_F(ChainTest, NamesIgnoreCase) {
    EXPECT_EQ(input("raw2hex", "\x0c").out, "0C");
    EXPECT_EQ(input("RaW2HeX", "\x0c").out, "0C");
}

TEST_F(ChainTest, UnknownOperatorStopsTheChain) {
    auto r = input("FIX2", "12");
    EXPECT_EQ(r.codes(), std::vector<std::uint32_t>{kErrOperatorNotFound});
    EXPECT_EQ(r.reports[0].message, "(E2060001) FIX2: operator not found");
    EXPECT_EQ(r.reports[0].location, "ApplyOperator");
    EXPECT_FALSE(r.produced);
    // A later unknown operator leaves the output of the last one that ran.
    r = input("RAW2HEX.FOO", "\x0c");
    EXPECT_TRUE(r.produced);
    EXPECT_EQ(r.out, "0C");
    EXPECT_EQ(r.status, kErrOperatorNotFound);
}

TEST_F(ChainTest, SyntaxErrorRunsNoOperator) {
    const auto r = input("RAW2HEX(2", "\x0c");
    EXPECT_EQ(r.codes(), std::vector<std::uint32_t>{kErrBadParameterChar});
    EXPECT_FALSE(r.produced);
}

// The consumed count flows back through the back-maps: what the mask takes of
// the last output is mapped to bytes of the caller's input.
TEST_F(ChainTest, ConsumptionFollowsBackMaps) {
    struct Case {
        std::string format, mask;
        Bytes in, out;
        std::uint32_t consumed;
    } cases[] = {
        {"HEX2RAW", "", "1234", bytesOf({0x12, 0x34}), 4},
        {"HEX2RAW", "B1", "1234", bytesOf({0x12}), 2},
        {"RAW2HEX", "B4", bytesOf({1, 2, 3}), "0102", 2},
        {"RAW2HEX", "B3", bytesOf({1, 2, 3}), "010", 2},
        {"BASE642RAW", "B3", "Zm9vYmFy", "foo", 4},
        {"RAW2BASE64", "B8", "ABCDEFGHI", "QUJDREVG", 6},
        {"INVERSE", "B2", "ABC", "CB", 2},
        {"NONE.NONE", "B1", "ABC", "A", 1},
        {"ISTR2RAW", "B1", "#41B", "A", 3},
        {"ISTR2RAW", "B2", "#41B", "AB", 4},
        {"HEX2RAW", "", "123", bytesOf({0x12, 0x30}), 3},  // never more than the input
        {"RAW2HEX.HEX2RAW", "B1", "ABC", "A", 1},
    };
    for (const auto& c : cases) {
        const auto r = input(c.format, c.in, c.mask);
        EXPECT_EQ(r.out, c.out) << c.format << " " << c.mask;
        EXPECT_EQ(r.consumed, c.consumed) << c.format << " " << c.mask;
        EXPECT_EQ(r.status, 0u) << c.format << " " << c.mask;
    }
}

TEST_F(ChainTest, LeftoverOfAnOwnCountOperatorIsReported) {
    const auto r = input("RAW2DEC", bytesOf({0x2C, 0x01}), "N2");
    EXPECT_EQ(r.out, "30");
    EXPECT_EQ(r.consumed, 2u);
    ASSERT_EQ(r.codes(), std::vector<std::uint32_t>{kInfoUnusedAfterOperator});
    EXPECT_EQ(r.reports[0].message, "(6206002B) N2: there are 1 unused characters after applying the operator");
}

TEST_F(ChainTest, OutputChainRunsInOrderAndArgumentsDoNotCarryOver) {
    EXPECT_EQ(output("RAW2HEX.HEX2RAW", "\x12\x34").out, "\x12\x34");
    // INT2STR has no parentheses, so it reads big-endian with its defaults.
    EXPECT_EQ(output("STR2INT(-2).INT2STR", "300").out, "11265");
    EXPECT_EQ(output("STR2INT(-2).INT2STR(-2)", "300").out, "300");
}

TEST_F(ChainTest, OutputChainFailureLeavesNoResult) {
    const auto r = output("RAW2HEX.FOO", "x");
    EXPECT_FALSE(r.produced);
    EXPECT_EQ(r.status, kErrOperatorNotFound);
}

TEST_F(ChainTest, BuiltInSequencesReadAndWriteBigEndianHex) {
    EXPECT_EQ(input("HEX2DEC", "1234").out, "4660");
    EXPECT_EQ(output("DEC2HEX", "4660").out, "1234");
    EXPECT_EQ(output("DEC2HEX", "18").out, "12");
}

TEST_F(ChainTest, SequenceChangesReachFormatsAlreadyUsed) {
    EXPECT_EQ(input("TWOHEX", "12").status, kErrOperatorNotFound);
    settings.sequences.store("TWOHEX", "HEX2RAW.RAW2DEC");
    EXPECT_EQ(input("TWOHEX", "0C").out, "12");
    settings.sequences.remove("TWOHEX");
    EXPECT_EQ(input("TWOHEX", "0C").status, kErrOperatorNotFound);
}

TEST_F(ChainTest, SelfExpandingSequenceFailsWithoutRecursing) {
    settings.sequences.store("GROW", "NONE.GROW");  // grows by one operator per expansion
    auto r = input("GROW", "x");
    EXPECT_EQ(r.status, kErrSequenceLoop);
    settings.sequences.store("SELF", "SELF");
    r = output("SELF", "x");
    EXPECT_EQ(r.status, kErrSequenceLoop);
}

TEST_F(ChainTest, OverlongChainIsRefused) {
    std::string format = "NONE";
    for (std::size_t i = 0; i < kMaxChainSteps; ++i) format += ".NONE";
    EXPECT_EQ(input(format, "x").status, kErrTooManyOperators);
}

// Operators used to check re-entrancy and the exception boundary.
void nestedHexOperator(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    OpContext own(kDirectionInput);
    ApplyIFO(parser, own, "HEX2RAW", "B1", false, in, out);
    ctx.consumed = own.consumed;
}

void throwingOperator(OpContext&, BytesView, Output&, ParserCore&) { throw std::runtime_error("device unplugged"); }

TEST_F(ChainTest, OperatorsCanRunChainsReentrantly) {
    conversionRegistry().add(settings.errors(), "TESTNESTED", nestedHexOperator);
    // The nested chain's mask cut its output, but the next operator sees the
    // operator's whole buffer.
    const auto r = input("TESTNESTED.RAW2HEX", "0AFF");
    EXPECT_EQ(r.out, "0AFF");
    EXPECT_EQ(r.consumed, 2u);
    EXPECT_EQ(r.status, 0u);
}

TEST_F(ChainTest, ForeignExceptionsBecomeReportsNotCrashes) {
    conversionRegistry().add(settings.errors(), "TESTTHROW", throwingOperator);
    auto r = input("RAW2HEX.TESTTHROW", "A");
    EXPECT_EQ(r.status, kErrForeignException);
    EXPECT_EQ(r.reports.back().message, "device unplugged");
    EXPECT_EQ(r.reports.back().location, "ApplyOperator");
    EXPECT_EQ(r.out, "41");
    r = output("TESTTHROW", "A");
    EXPECT_EQ(r.status, kErrForeignException);
}

TEST_F(ChainTest, ChainCacheKeepsOnlyBoundedEntries) {
    for (int i = 0; i < 5000; ++i) input("RAW2HEX.NONE(" + std::to_string(i) + ")", "x");
    EXPECT_LE(settings.chains.size(), 4096u);
}

}  // namespace
}  // namespace payfmt

namespace payfmt {
namespace {

// Chains that callers may read in place (NONE, FIX(n) or LLVAR alone) give what
// running them gives: the same field, consumption and reports.
TEST_F(ChainTest, FieldsReadInPlaceMatchTheChainRun) {
    struct Case {
        const char* format;
        const char* mask;
        const char* in;
    };
    const Case cases[] = {
        {"FIX(4)", "", "1234XY"},   {"FIX(4)", "N4", "12X4"},  {"FIX(4)", "N2", "1234"}, {"FIX(0)", "", "12"},
        {"FIX(6)", "N6", "123"},    {"FIX(4)", "MMDD", "1399"}, {"", "N2", "12345"},     {"NONE", "A1-3", "AB1"},
        {"FIX(3)", "", ""},         {"LLVAR", "", "05ABCDEXY"}, {"LLVAR", "N3", "05123XY"}, {"LLLVAR", "", "002AB"},
        {"LLVAR", "", "9"},         {"LLVAR", "", "1X"},       {"LLVAR", "", "99AB"},  {"LVAR", "A1", "0"},
        // A field up to its terminator, releases kept or dropped.
        {"EDIFACTFLD(\"+\")", "", "AB+CD"},         {"EDIFACTFLD(\"+\",true)", "", "A?+B+C"},
        {"EDIFACTFLD(\"+\",false)", "", "A?+B+C"},  {"EDIFACTFLD(\"+\",false)", "", "A??+B"},
        {"EDIFACTFLD(\"+\",true)", "", "AB?"},      {"EDIFACTFLD(\"'\")", "", "ABC"},
        {"EDIFACTFLD(\"+\",true)", "N2", "123+"},   {"EDIFACTFLD(\"#23\")", "", "A#B"},
        {"EDIFACTFLD(\"+\",1)", "", "A?+B+C"},      {"EDIFACTFLD(\"+\",true)", "", "+"},
    };
    for (const Case& c : cases) {
        const test::ChainRun run = input(c.format, c.in, c.mask);
        const auto chain = settings.chains.get(c.format, true, settings.sequences);
        const InputMask mask = InputMask::compile(parser, c.mask);
        OpContext ctx(kDirectionInput);
        Output out;
        const Bytes field(ApplyIFOView(parser, ctx, *chain, mask, false, c.in, out));
        const auto& es = settings.errors().entries();
        const std::vector<ErrorEntry> reports(es.begin() + 1, es.end());
        settings.errors().reset();
        SCOPED_TRACE(std::string(c.format) + " / " + c.mask + " / " + c.in);
        EXPECT_EQ(field, run.out);
        EXPECT_EQ(ctx.consumed, run.consumed);
        ASSERT_EQ(reports.size(), run.reports.size());
        for (std::size_t i = 0; i < reports.size(); ++i) EXPECT_EQ(reports[i].message, run.reports[i].message);
    }
}

}  // namespace
}  // namespace payfmt
