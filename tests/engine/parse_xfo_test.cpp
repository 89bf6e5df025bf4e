#include <gtest/gtest.h>

#include "engine/parse_xfo.h"
#include "engine/parser_core.h"
#include "support/variant_text.h"

namespace payfmt {
namespace {

class ParseXfoTest : public ::testing::Test {
protected:
    ParseXfoTest() : parser(settings) {}

    std::string argsText(const XfoSplit& s) {
        std::string t;
        for (const auto& a : s.args) t += (t.empty() ? "" : ",") + writeNotation(a);
        return t;
    }

    Settings settings;
    ParserCore parser;
};

TEST_F(ParseXfoTest, SplitsTheFirstOperator) {
    struct Case {
        std::string format;
        bool strict;
        std::string name, args, rest;
        std::uint32_t code;  // recorded, or 0
    } cases[] = {
        {"", true, "NONE", "", "", 0},
        {" FIX(2)", true, "NONE", "", "", 0},
        {".DEC2RAW", true, "NONE", "", "", 0},
        {"\"x\"", true, "NONE", "", "", 0},
        {"fix(2).dec2raw", true, "FIX", "2", "dec2raw", 0},
        {"RAW2DEC.PADL(\"0\",2)", true, "RAW2DEC", "", "PADL(\"0\",2)", 0},
        {"PADL(\"0\",2)", true, "PADL", "\"0\",2", "", 0},
        {"INVERSE.PADL(\"#00\",1)", true, "INVERSE", "", "PADL(\"#00\",1)", 0},
        {"FIX(2)X", true, "FIX", "2", "", 0},
        {"FIX(2)XY", true, "FIX", "2", "Y", 0},
        {"FIX2", true, "FIX2", "", "", 0},
        {"FIX( 2 , 3 ).X", true, "FIX", "2,3", "X", 0},
        {"FIX(2", true, "FIX", "", "", kErrBadParameterChar},
        {"FIX(2,", true, "FIX", "", "", kErrBadParameterChar},
        {"FIX(abc)", true, "FIX", "", "", kErrBadParameterChar},
        {"A B", true, "A", "", "B", kErrBadParameterChar},
        {"N2+A3", false, "N2", "", "A3", 0},
        {std::string("AB\0CD", 5), true, "AB", "", "", 0},
    };
    for (const auto& c : cases) {
        settings.errors().reset();
        const XfoSplit s = ParseXFO(parser, c.format, c.strict);
        EXPECT_EQ(s.name, c.name) << c.format;
        EXPECT_EQ(argsText(s), c.args) << c.format;
        EXPECT_EQ(s.rest, c.rest) << c.format;
        EXPECT_EQ(settings.errors().lastCode(), c.code) << c.format;
    }
}

TEST_F(ParseXfoTest, BadParameterMessageNamesOperatorAndCharacter) {
    ParseXFO(parser, "FIX(2", true);
    EXPECT_EQ(settings.errors().entries().back().message,
              "(E206002D) FIX: invalid character found ('(') in the parameters");
    settings.errors().reset();
    ParseXFO(parser, "FIX(2)", true);
    ParseXFO(parser, "A;B", true);
    EXPECT_EQ(settings.errors().entries().back().message,
              "(E206002D) A: invalid character found (';') in the parameters");
}

TEST_F(ParseXfoTest, SequencesExpandTextually) {
    settings.sequences.store("TWOHEX", "FIX(2).HEX2RAW");
    XfoSplit s = ParseXFO(parser, "twohex.RAW2DEC", true);
    EXPECT_EQ(s.name, "FIX");
    EXPECT_EQ(s.rest, "HEX2RAW.RAW2DEC");
    // Arguments after a sequence name attach to its last operator.
    settings.sequences.store("S", "A.B");
    s = ParseXFO(parser, "S(1).X", true);
    EXPECT_EQ(s.name, "A");
    EXPECT_EQ(s.rest, "B(1).X");
    // Expansion parses strictly whatever the caller asked.
    settings.sequences.store("LOOSE", "A B");
    ParseXFO(parser, "LOOSE", false);
    EXPECT_EQ(settings.errors().lastCode(), kErrBadParameterChar);
}

TEST_F(ParseXfoTest, SequenceExpandingIntoItselfIsRefused) {
    settings.sequences.store("LOOP", "LOOP.X");
    XfoSplit s = ParseXFO(parser, "LOOP", true);
    EXPECT_EQ(settings.errors().lastCode(), kErrSequenceLoop);
    EXPECT_EQ(settings.errors().entries().back().message, "(E206000E) LOOP: operator sequence expands into itself");
    settings.errors().reset();
    settings.sequences.store("PING", "PONG");
    settings.sequences.store("PONG", "PING(1)");
    ParseXFO(parser, "PING", true);
    EXPECT_EQ(settings.errors().lastCode(), kErrSequenceLoop);
    (void)s;
}

}  // namespace
}  // namespace payfmt
