#include "engine/engine_fixture.h"
#include "engine/mask.h"

namespace payfmt {
namespace {

class MaskTest : public test::EngineTest {
protected:
    test::ChainRun validate(std::string_view mask, BytesView in, bool allowNull = false) {
        OpContext ctx(kDirectionInput);
        Validate(parser, ctx, mask, in, allowNull);
        return finish(Output{}, ctx);
    }
};

TEST_F(MaskTest, TermsTakeTheirMaximumWhenThere) {
    struct Case {
        std::string mask;
        Bytes in;
        std::uint32_t consumed;
        std::vector<std::uint32_t> codes;
    } cases[] = {
        {"N2-4", "12345", 4, {}},
        {"N2-4", "123", 3, {}},
        {"N2-4", "1", 1, {kWarnExpectedInput}},
        {"N2+A3", "12ABC", 5, {}},
        {"N2+A3", "1XABC", 5, {kInfoNotClassCharacter}},
        {"N2+A3", "12AB", 4, {kWarnExpectedInput}},
        {"A", "x", 1, {}},
        {"a", "7", 1, {kInfoNotClassCharacter}},
        {"AN4", "A1b2", 4, {}},
        {"H4", "0aF9", 4, {}},
        {"[0-9 ]3", "1 2", 3, {}},
        {"[#41-#43]2", "CA", 2, {}},
        {"[z-a]1", "m", 1, {kInfoNotClassCharacter}},
        {"[-#2B]2", "+-", 2, {}},  // "+" separates terms, so a plus in a set is escaped
        {"[-+]2", "+-", 0, {kErrNotValidIfm}},
        {"[a-]2", "-a", 2, {}},
        {"N-3", "", 0, {}},
        {"  N2 \t", "12", 2, {}},
        {"*", "anything", 8, {}},
        {"", "anything", 8, {}},
        {"N12", "123", 3, {kWarnExpectedInput}},
        {"B2+N", "AB", 2, {kWarnExpectedInput}},
    };
    for (const auto& c : cases) {
        const auto r = validate(c.mask, c.in);
        EXPECT_EQ(r.consumed, c.consumed) << c.mask << " over " << c.in;
        EXPECT_EQ(r.codes(), c.codes) << c.mask << " over " << c.in;
    }
}

TEST_F(MaskTest, MessagesNameTheTermAndPositions) {
    auto r = validate("N2-4", "1");
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].message, "(A2060025) N2-4: expected 2 input characters, received 1");
    r = validate("N2+A3", "1XABC");
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].message, "(62060011) 'X' is not a N2 character");
    r = validate("N1", "\x01");
    EXPECT_EQ(r.reports[0].message, "(62060011) '#01' is not a N1 character");
    // A later term counts positions from the start of the whole slice.
    r = validate("N2+A3", "12A");
    EXPECT_EQ(r.reports[0].message, "(A2060025) A3: expected 5 input characters, received 3");
}

TEST_F(MaskTest, MalformedTermsAreNotValidIfms) {
    for (std::string mask : {"N5-2", "[0-9", "N1-2-3", "N2+N3-1"}) {
        const auto r = validate(mask, "12345");
        ASSERT_FALSE(r.reports.empty()) << mask;
        EXPECT_EQ(r.reports.back().code, kErrNotValidIfm) << mask;
    }
    EXPECT_EQ(validate("N5-2", "1").reports[0].message, "(E2060006) N5-2: not a valid IFM");
}

TEST_F(MaskTest, AllowNullAcceptsAnEmptyField) {
    EXPECT_TRUE(validate("N2", "", true).reports.empty());
    EXPECT_EQ(validate("N2", "", false).codes(), std::vector<std::uint32_t>{kWarnExpectedInput});
}

TEST_F(MaskTest, ClassesFollowTheParser) {
    parser.editCharClass('Q').set('!');
    EXPECT_TRUE(validate("Q", "!").reports.empty());
    parser.editCharClass('N').reset();
    EXPECT_EQ(validate("N", "1").codes(), std::vector<std::uint32_t>{kInfoNotClassCharacter});
}

TEST_F(MaskTest, TermParsing) {
    auto t = parseMaskTerm(parser, "A1-12");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->minimum, 1u);
    EXPECT_EQ(t->maximum, 12u);
    EXPECT_TRUE(t->set.test('z'));
    EXPECT_FALSE(t->set.test('1'));
    t = parseMaskTerm(parser, "N");
    EXPECT_EQ(t->minimum, 1u);
    EXPECT_EQ(t->maximum, 1u);
    t = parseMaskTerm(parser, "N1x2");  // every digit of the term is one number
    EXPECT_EQ(t->maximum, 12u);
    t = parseMaskTerm(parser, "N99999999999");
    EXPECT_EQ(t->maximum, 0x7FFFFFFFu);
}

TEST_F(MaskTest, InputChainValidatesItsOutput) {
    const auto r = input("RAW2HEX", "\x12\x34", "N3");
    EXPECT_EQ(r.out, "123");
    EXPECT_EQ(r.consumed, 2u);
    EXPECT_EQ(r.status, 0u);
}

}  // namespace
}  // namespace payfmt
