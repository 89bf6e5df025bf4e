#include <gtest/gtest.h>

#include "engine/parser_core.h"
#include "support/ascii.h"

namespace payfmt {
namespace {

constexpr std::uint32_t kErrBadCharSetId = 0xE206000B;
constexpr std::uint32_t kErrNoBrackets = 0xE206000C;

CharSet setOf(std::string_view bytes) {
    CharSet s;
    for (unsigned char c : bytes) s.set(c);
    return s;
}

class SetCharSetTest : public ::testing::Test {
protected:
    // Runs SetCharSet; the code it raised, 0 when it did not.
    std::uint32_t set(std::string_view letter, std::string_view specifier) {
        settings.errors().reset();
        try {
            parser.SetCharSet(letter, specifier);
            return 0;
        } catch (const TFormatError&) {
            return settings.errors().lastCode();
        }
    }

    Settings settings;
    ParserCore parser{settings};
};

TEST_F(SetCharSetTest, BracketedListsRedefineTheClass) {
    struct {
        std::string letter, specifier, members;
    } cases[] = {
        {"a", "[0-9A-F]", "0123456789ABCDEF"},
        {"A", "[-+]", "-+"},
        {"Q", "[+-]", "+-"},
        {"z", "[a-c-]", "abc-"},
        {"K", "[z-a]", ""},  // a range whose end is below its start adds nothing
        {"K", "[]", ""},
        {"M", "[#41-#43#5D]", "ABC]"},
        {"M", "[#00]", std::string(1, '\0')},
        {"N", "[x-x]", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(set(c.letter, c.specifier), 0u) << c.specifier;
        EXPECT_EQ(parser.charClass(toUpper(c.letter[0])), setOf(c.members)) << c.specifier;
    }
}

TEST_F(SetCharSetTest, RedefiningReplacesWhatWasThere) {
    ASSERT_EQ(set("B", "[AB]"), 0u);
    EXPECT_EQ(parser.charClass('B'), setOf("AB"));
    EXPECT_EQ(parser.charClass('N'), setOf("0123456789"));  // other classes untouched
}

TEST_F(SetCharSetTest, BadLetterOrMissingBracketsLeaveTheClass) {
    const CharSet before = parser.charClass('N');
    struct {
        std::string letter, specifier;
        std::uint32_t code;
        std::string message;
    } cases[] = {
        {"1", "[AB]", kErrBadCharSetId, "(E206000B) 1: invalid character set identifier"},
        {"", "[AB]", kErrBadCharSetId, "(E206000B) : invalid character set identifier"},
        {"[", "[AB]", kErrBadCharSetId, "(E206000B) [: invalid character set identifier"},
        {"N", "0-9", kErrNoBrackets, "(E206000C) Character set specifiers must be surrounded by [ and ]"},
        {"N", "[0-9", kErrNoBrackets, "(E206000C) Character set specifiers must be surrounded by [ and ]"},
        {"N", "0-9]", kErrNoBrackets, "(E206000C) Character set specifiers must be surrounded by [ and ]"},
        {"N", "[", kErrNoBrackets, "(E206000C) Character set specifiers must be surrounded by [ and ]"},
        {"N", "", kErrNoBrackets, "(E206000C) Character set specifiers must be surrounded by [ and ]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(set(c.letter, c.specifier), c.code) << c.letter << " " << c.specifier;
        EXPECT_EQ(settings.errors().entries().back().message, c.message);
        EXPECT_EQ(settings.errors().lastLocation(), "TPFIX.SetCharSet");
        EXPECT_EQ(parser.charClass('N'), before);
    }
    // A bad escape inside the brackets stops as IStr decoding does.
    EXPECT_EQ(set("N", "[#4]"), 0xE2060029u);
    EXPECT_EQ(parser.charClass('N'), before);
}

TEST_F(SetCharSetTest, ResolvedSpecifiersAreNotStored) {
    EXPECT_EQ(parser.resolveCharSet("[0-2;]"), setOf("012;"));
    EXPECT_EQ(parser.resolveCharSet("nf"), setOf("0123456789 "));
    EXPECT_EQ(parser.resolveCharSet("x1."), setOf("+-CD"));  // not letters: ignored
    ASSERT_EQ(set("F", "[_]"), 0u);
    EXPECT_EQ(parser.resolveCharSet("F"), setOf("_"));  // a redefined class is what letters name
    EXPECT_EQ(parser.charClass('A').count(), 52u);
}

}  // namespace
}  // namespace payfmt
