// What a walk works out once per definition (parsed formats, compiled masks,
// typed settings) follows every change of what it was worked out from.
#include "parsers/parser_fixture.h"

namespace payfmt {
namespace {

class DefinitionCacheTest : public test::ParserTest {
protected:
    // A copy of the template parsed from message; its first field's value.
    std::string firstValue(NodeId templ, BytesView message, std::uint32_t* code = nullptr) {
        trees.emplace_back(nodes().copy(templ, true));
        const std::uint32_t c = parse(trees.back().get(), message);
        if (code) *code = c;
        return value(at(trees.back().get(), {0}));
    }
};

TEST_F(DefinitionCacheTest, AChangedFormatTakesEffectOnLaterCopiesAndOnTheCopyItself) {
    const NodeId templ = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(2)"}},{"name":"b"}]})j");
    EXPECT_EQ(firstValue(templ, "123456"), "12");
    const NodeId copy = trees.back().get();

    nodes().get(nodes().child(templ, 0)).props.set("IFO", Variant::text("FIX(3)"));
    EXPECT_EQ(firstValue(templ, "123456"), "123");

    // The earlier copy keeps the format it was made with, until it is given its own.
    EXPECT_EQ(parse(copy, "123456"), 0u);
    EXPECT_EQ(value(at(copy, {0})), "12");
    nodes().get(nodes().child(copy, 0)).props.set("ifo", Variant::text("FIX(4)"));
    EXPECT_EQ(parse(copy, "123456"), 0u);
    EXPECT_EQ(value(at(copy, {0})), "1234");
}

TEST_F(DefinitionCacheTest, ARegisteredSequenceChangedInBetweenIsExpandedAnew) {
    settings().sequences.store("TWOORTHREE", "FIX(2)");
    const NodeId templ = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"TWOORTHREE","OFO":"TWOORTHREE"}},{"name":"b"}]})j");
    EXPECT_EQ(firstValue(templ, "123456"), "12");
    settings().sequences.store("TWOORTHREE", "FIX(3)");
    EXPECT_EQ(firstValue(templ, "123456"), "123");
    settings().sequences.remove("TWOORTHREE");
    std::uint32_t code = 0;
    firstValue(templ, "123456", &code);
    EXPECT_EQ(code, 0xE2060001u);  // "operator not found" once it is gone
}

TEST_F(DefinitionCacheTest, MasksFollowTheParsersCharacterClasses) {
    const NodeId templ = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(1)","IFM":"Q1"}},{"name":"b"}]})j");
    std::uint32_t code = 0;
    firstValue(templ, "xy", &code);
    EXPECT_EQ(code, 0x62060011u);  // class Q starts empty
    parser->SetCharSet("Q", "[x]");
    firstValue(templ, "xy", &code);
    EXPECT_EQ(code, 0u);
    // Another parser with classes of its own reads the same definitions its own way.
    Ref<ParserComponent> other = createParser("PFIX");
    other->parser().setName("DefinitionCacheTest.other");
    other->parser().Open();
    trees.emplace_back(nodes().copy(templ, true));
    settings().errors().reset();
    EXPECT_EQ(other->parser().Parse(Variant::blob("xy"), trees.back().get(), ""), 0x62060011u);
    other->parser().Close();
}

TEST_F(DefinitionCacheTest, APropertyOfTheWrongTypeIsReportedOnEveryRun) {
    const NodeId templ = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(1)","AllowNull":"yes"}},{"name":"b"}]})j");
    for (int run = 0; run < 2; ++run) {
        std::uint32_t code = 0;
        firstValue(templ, "xy", &code);
        EXPECT_EQ(code, 0xE2060009u) << run;
        EXPECT_EQ(text(at(trees.back().get(), {0}), "Error"), "(E2060009) AllowNull: property must be a boolean") << run;
    }
}

}  // namespace
}  // namespace payfmt
