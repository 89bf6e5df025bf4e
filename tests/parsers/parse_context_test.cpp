#include "parsers/core/parse_context.h"
#include "parsers/parser_fixture.h"

namespace payfmt {
namespace {

class ParseContextTest : public test::ParserTest {};

TEST_F(ParseContextTest, TypedReadsAnswerDefaultsAndRecordWrongTypes) {
    TParseInherit inherited;
    inherited.allowNull = true;
    TParseContext ctx(inherited, *parser);
    ctx.SetNode(tree(R"j({"name":"f","props":{"AllowNull":"yes","RepeatNode":2,"IFO":"FIX(2)","Bit":"x"}})j"));
    EXPECT_TRUE(ctx.GetAllowNull());  // the inherited value stands
    ASSERT_EQ(settings().errors().entries().size(), 2u);
    EXPECT_EQ(settings().errors().entries()[1].message, "(E2060009) AllowNull: property must be a boolean");
    EXPECT_EQ(settings().errors().entries()[1].location, "TParsingContext.GetAllowNull");
    EXPECT_EQ(ctx.GetRepeatCount(), 2);
    EXPECT_EQ(ctx.GetIFO(), "FIX(2)");
    EXPECT_EQ(ctx.GetIFM(), "");
    EXPECT_EQ(ctx.GetBit(), -32768);
    EXPECT_EQ(settings().errors().lastLocation(), "TParsingContext.GetTag");
    EXPECT_EQ(ctx.BerLenMinSize(), 1);
    EXPECT_TRUE(ctx.GetProcessNull());
    EXPECT_TRUE(ctx.GetTSetGroups());
}

TEST_F(ParseContextTest, InheritanceFlowsThroughChildRecords) {
    TParseInherit inherited;
    inherited.recurseLevel = 32767;
    TParseContext ctx(inherited, *parser);
    ctx.SetNode(tree(R"j({"name":"g","group":true,"props":{"ProcessNull":false,"AllowRecurse":false}})j"));
    EXPECT_EQ(ctx.GetRecurse(), 0);
    const TParseInherit child = ctx.ChildRecord();
    EXPECT_FALSE(child.processNull);
    EXPECT_EQ(child.recurseLevel, 0);
    EXPECT_FALSE(child.allowNull);
    ctx.SetNode(tree(R"j({"name":"h","group":true})j"));
    EXPECT_EQ(ctx.GetRecurse(), 32767);
    EXPECT_EQ(ctx.ChildRecord().recurseLevel, 32766);
}

TEST_F(ParseContextTest, ConstructedTagsFollowTheirFirstDigit) {
    struct Case {
        std::string props;
        bool constructed;
    } cases[] = {
        {R"j({"Tag":"6F"})j", true},  {R"j({"Tag":"9F02"})j", false}, {R"j({"Tag":"a5"})j", true},
        {R"j({"Tag":"6F","Constructed":false})j", false}, {R"j({"Tag":"9F","Constructed":true})j", true},
        {R"j({})j", false},
    };
    for (const auto& c : cases) {
        TParseContext ctx({}, *parser);
        ctx.SetNode(tree(std::string(R"j({"name":"t","props":)j") + c.props + "}"));
        EXPECT_EQ(ctx.ConstructedBER(), c.constructed) << c.props;
    }
}

TEST_F(ParseContextTest, AutoNumberTakesTheLargerOfCounterAndProperty) {
    TParseContext ctx({}, *parser);
    ctx.SetNode(tree(R"j({"name":"Item","props":{"RepeatAutoNumber":1}})j"));
    EXPECT_EQ(ctx.GetAutoNumber(), 1);
    ctx.AutoNumber();
    EXPECT_EQ(ctx.GetName(), "Item1");
    ctx.autoNumber = 5;
    EXPECT_EQ(ctx.GetAutoNumber(), 5);  // a smaller RepeatAutoNumber is ignored
    ctx.SetNode(tree(R"j({"name":"Plain"})j"));
    ctx.autoNumber = -1;
    EXPECT_EQ(ctx.GetAutoNumber(), -1);
    ctx.AutoNumber();
    EXPECT_EQ(ctx.GetName(), "Plain");
}

TEST_F(ParseContextTest, UnknownParserNameFallsBackToTheRunningParser) {
    TParseContext ctx({}, *parser);
    ctx.SetNode(tree(R"j({"name":"g","group":true,"props":{"Parser":"nobody"}})j"));
    EXPECT_EQ(&ctx.GetParser(), parser);
    EXPECT_EQ(settings().errors().entries().back().message, "(E2070001) nobody: The parser is not open");
    EXPECT_EQ(settings().errors().lastLocation(), "TParsingContext.GetParser");
}

TEST_F(ParseContextTest, SetNodeDropsEarlierErrorsAndStoreWritesBack) {
    const NodeId n = tree(R"j({"name":"f","props":{"EC":5,"Error":"old","IFO":"X"}})j");
    TParseContext ctx({}, *parser);
    ctx.SetNode(n);
    EXPECT_EQ(nodes().get(n).props.size(), 3u);  // nothing reaches the node before StoreProps
    ctx.SetValue("ab");
    ctx.StoreProps();
    EXPECT_EQ(text(nodes().get(n), "EC"), "<none>");
    EXPECT_EQ(value(nodes().get(n)), "ab");
}

TEST_F(ParseContextTest, RecordErrorAttachesNewReportsOnce) {
    const NodeId first = tree(R"j({"name":"a"})j");
    const NodeId second = tree(R"j({"name":"b"})j");
    TParseContext ctx({}, *parser);
    ctx.SetNode(first);
    settings().errors().record("x", 0xA2060025, {"FIX", "4", "2"});
    ctx.RecordError();
    ctx.StoreProps();
    EXPECT_EQ(text(nodes().get(first), "EC"), std::to_string(0xA2060025));
    EXPECT_EQ(text(nodes().get(first), "Error"), "(A2060025) FIX: expected 4 input characters, received 2");
    // The warning was attached; the next node stays clean.
    ctx.SetNode(second);
    ctx.RecordError();
    ctx.StoreProps();
    EXPECT_EQ(text(nodes().get(second), "EC"), "<none>");
}

}  // namespace
}  // namespace payfmt
