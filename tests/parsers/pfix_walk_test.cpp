#include "engine/istr.h"
#include "framework/errors.h"
#include "parsers/parser_fixture.h"

namespace payfmt {
namespace {

class PfixWalkTest : public test::ParserTest {};

TEST_F(PfixWalkTest, RootWithoutIfoConsumesOnlyWhatItsChildrenUse) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(2)"}},{"name":"b","props":{"IFO":"FIX(2)"}}]})j");
    EXPECT_EQ(parse(root, "123456"), 0x62060065u);
    EXPECT_EQ(settings().errors().entries().front().message, "(62060065) rec: there are 2 unused characters after parsing");
    EXPECT_EQ(value(at(root, {0})), "12");
    EXPECT_EQ(value(at(root, {1})), "34");
    EXPECT_EQ(value(at(root, {})), "1234");  // the group's data is what its children used
    EXPECT_EQ(text(at(root, {}), "EC"), std::to_string(0x62060065));
}

TEST_F(PfixWalkTest, RepeatedNodeBecomesOneSiblingPerRepetition) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"item","props":{"IFO":"FIX(2)","RepeatNode":1,"RepeatAutoNumber":0}}]})j");
    EXPECT_EQ(parse(root, "AABBCC"), 0u);
    const Node& r = at(root, {});
    ASSERT_EQ(r.children.size(), 3u);
    const char* names[] = {"item0", "item1", "item2"};
    const char* values[] = {"AA", "BB", "CC"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(at(root, {i}).name, names[i]);
        EXPECT_EQ(text(at(root, {i}), "Name"), names[i]);
        EXPECT_EQ(value(at(root, {i})), values[i]);
    }
}

TEST_F(PfixWalkTest, RepeatsEndWithTheDataAndLeaveNoEmptyCopy) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"head","props":{"IFO":"FIX(2)"}},
        {"name":"item","props":{"IFO":"FIX(2)","RepeatNode":1}}]})j");
    EXPECT_EQ(parse(root, "HH"), 0u);
    EXPECT_EQ(at(root, {}).children.size(), 1u);  // no data for any item: it leaves the tree
    const NodeId all = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"rest","props":{"RepeatNode":1}}]})j");
    EXPECT_EQ(parse(all, "ABCDE"), 0u);  // an empty chain takes everything at once
    ASSERT_EQ(at(all, {}).children.size(), 1u);
    EXPECT_EQ(value(at(all, {0})), "ABCDE");
}

TEST_F(PfixWalkTest, RepeatThatConsumesNothingStopsInsteadOfLooping) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"item","props":{"IFO":"FIX(0)","RepeatNode":1}}]})j");
    EXPECT_EQ(parse(root, "ABC"), 0xE2060066u);
    EXPECT_EQ(settings().errors().entries().front().message, "(E2060066) RepeatNode requires that an IFO/IFM is defined");
    EXPECT_EQ(at(root, {}).children.size(), 1u);
    EXPECT_EQ(text(at(root, {0}), "EC"), std::to_string(0xE2060066));
}

TEST_F(PfixWalkTest, GroupHandedToAnotherOpenParser) {
    Ref<ParserComponent> otherComponent = createParser("PFIX");
    Parser* other = &otherComponent->parser();
    other->setName("OtherParser");
    other->Open();
    other->editCharClass('Q').set('x');  // only the other parser knows class Q
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"g","group":true,"props":{"Parser":"otherparser"},"children":[
            {"name":"f","props":{"IFO":"FIX(1)","IFM":"Q"}}]}]})j");
    EXPECT_EQ(parse(root, "x"), 0u);
    EXPECT_EQ(value(at(root, {0, 0})), "x");
    other->Close();
    // Closed, it is not found: the running parser reports it.
    EXPECT_EQ(parse(root, "x"), 0xE2070001u);
    EXPECT_EQ(settings().errors().entries().front().message, "(E2070001) otherparser: The parser is not open");
}

TEST_F(PfixWalkTest, FieldReportsLandOnTheirNodeOnly) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(2)","IFM":"N2"}},{"name":"b","props":{"IFO":"FIX(2)","IFM":"N2"}}]})j");
    EXPECT_EQ(parse(root, "1X34"), 0x62060011u);
    EXPECT_EQ(text(at(root, {0}), "Error"), "(62060011) 'X' is not a N2 character");
    EXPECT_EQ(text(at(root, {1}), "EC"), "<none>");
    // Parsed again, a node keeps the reports of the latest run only.
    EXPECT_EQ(parse(root, "1234"), 0u);
    EXPECT_EQ(text(at(root, {0}), "EC"), "<none>");
}

TEST_F(PfixWalkTest, ErrorStopsTheWalkAndMarksTheNodesBeingHandled) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FOO"}},{"name":"b","props":{"IFO":"FIX(2)"}}]})j");
    EXPECT_EQ(parse(root, "1234"), 0xE2060001u);
    EXPECT_EQ(text(at(root, {0}), "EC"), std::to_string(0xE2060001));
    EXPECT_EQ(text(at(root, {}), "EC"), std::to_string(0xE2060001));
    EXPECT_EQ(value(at(root, {1})), "<none>");  // never reached
}

TEST_F(PfixWalkTest, RecurseLimitTreatsDeeperGroupsAsFields) {
    parser->recurse = 1;
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"g","group":true,"props":{"IFO":"FIX(2)"},"children":[{"name":"f","props":{"IFO":"FIX(1)"}}]}]})j");
    EXPECT_EQ(parse(root, "AB"), 0u);
    EXPECT_EQ(value(at(root, {0})), "AB");
    EXPECT_EQ(value(at(root, {0, 0})), "<none>");
}

TEST_F(PfixWalkTest, CompileRunsOutputChainsAndGroupChains) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"type","props":{"Value":{"blob":"3031"}}},
        {"name":"amount","props":{"OFO":"PADL(\"0\",6)","Value":{"istr":"125"}}},
        {"name":"data","group":true,"props":{"OFO":"LLVAR"},"children":[
            {"name":"x","props":{"Value":{"istr":"AB"}}},{"name":"y","props":{"Value":{"istr":"C"}}}]}]})j");
    std::uint32_t code = 1;
    EXPECT_EQ(compile(root, &code), "0100012503ABC");
    EXPECT_EQ(code, 0u);
}

TEST_F(PfixWalkTest, ProcessNullDecidesWhetherEmptyDataIsWritten) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"props":{"OFO":"PREPEND(\"<\")"},"children":[
        {"name":"a","props":{"OFO":"PADL(\"0\",2)"}},{"name":"b","props":{"OFO":"PADL(\"0\",2)","Value":null}}]})j");
    EXPECT_EQ(compile(root), "<0000");
    parser->processNull = false;
    EXPECT_EQ(compile(root), "");
    // A node's own ProcessNull governs its children, not itself.
    nodes().get(root).props.set("ProcessNull", Variant::boolean(true));
    EXPECT_EQ(compile(root), "<0000");
}

TEST_F(PfixWalkTest, ValueMustBeBytes) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"Value":"text"}}]})j");
    std::uint32_t code = 0;
    compile(root, &code);
    EXPECT_EQ(code, 0xE2060060u);
    EXPECT_EQ(text(at(root, {0}), "Error"), "(E2060060) Value: property should be a BLOB");
}

TEST_F(PfixWalkTest, CompileThenParseRoundTripsANestedTemplate) {
    const char* templ = R"j({"name":"rec","group":true,"children":[
        {"name":"type","props":{"IFO":"FIX(2)","IFM":"N2"}},
        {"name":"holder","props":{"IFO":"LLVAR","OFO":"LLVAR"}},
        {"name":"items","group":true,"props":{"IFO":"LLLVAR","OFO":"LLLVAR"},"children":[
            {"name":"item","group":true,"props":{"IFO":"FIX(6)","RepeatNode":1},"children":[
                {"name":"code","props":{"IFO":"FIX(2)"}},
                {"name":"amount","props":{"IFO":"FIX(4).TRIML(\"0\")","OFO":"PADL(\"0\",4)"}}]}]},
        {"name":"tail","props":{"IFO":"BBUF","OFO":"BBUF"}}]})j";
    const NodeId values = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"type","props":{"Value":{"istr":"01"}}},
        {"name":"holder","props":{"Value":{"istr":"ALICE"}}},
        {"name":"items","group":true,"children":[
            {"name":"item","group":true,"children":[{"name":"code","props":{"Value":{"istr":"A1"}}},
                                                    {"name":"amount","props":{"Value":{"istr":"5"}}}]},
            {"name":"item","group":true,"children":[{"name":"code","props":{"Value":{"istr":"B2"}}},
                                                    {"name":"amount","props":{"Value":{"istr":"1250"}}}]}]},
        {"name":"tail","props":{"Value":{"blob":"00FF23"}}}]})j");
    // Compiling needs the formats: they live in the template, values in the value tree.
    const NodeId compiled = tree(templ);
    // Fill the template with the values by position, item repeated as in the values.
    NodeId items = nodes().child(compiled, 2);
    nodes().addChild(items, nodes().copy(nodes().child(items, 0), true), -1);
    for (NodeId a = values, b = compiled; a; a = nodes().nextNode(values, a), b = nodes().nextNode(compiled, b)) {
        ASSERT_NE(b, 0u);
        if (const Variant* v = nodes().get(a).props.find("Value")) nodes().get(b).props.set("Value", *v);
    }
    std::uint32_t code = 1;
    const Bytes message = compile(compiled, &code);
    ASSERT_EQ(code, 0u);
    EXPECT_EQ(RawToIStr(message), "0105ALICE012A10005B21250#03#00#FF#23");

    const NodeId parsed = tree(templ);
    ASSERT_EQ(parse(parsed, message), 0u);
    for (NodeId a = values, b = parsed; a; a = nodes().nextNode(values, a), b = nodes().nextNode(parsed, b)) {
        ASSERT_NE(b, 0u) << nodes().get(a).name;
        EXPECT_EQ(nodes().get(a).name, nodes().get(b).name);
        if (!nodes().get(a).isGroup()) {
            EXPECT_EQ(value(nodes().get(a)), value(nodes().get(b))) << nodes().get(a).name;
        }
    }
    EXPECT_EQ(compile(parsed), message);
}

TEST_F(PfixWalkTest, ClosedParserAndEmptyMessageAreRefused) {
    const NodeId root = tree(R"j({"name":"rec","group":true})j");
    EXPECT_THROW(parser->Parse(Variant::blob(""), root, ""), EInvalidParameter);
    parser->Close();
    try {
        Variant message = Variant::text("");
        parser->Compile(message, root, "");
        FAIL();
    } catch (const TFormatError&) {
        EXPECT_EQ(settings().errors().entries().back().message,
                  "(E2070001) PfixWalkTest.ClosedParserAndEmptyMessageAreRefused: The parser is not open");
        EXPECT_EQ(settings().errors().lastLocation(), "TVEXParser.Compile");
    }
    parser->Open();
}

TEST_F(PfixWalkTest, ScriptFormatsWrapTheWholeMessage) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"IFO":"FIX(2)","Value":{"istr":"AB"}}}]})j");
    Variant message = Variant::text("");
    settings().errors().reset();
    EXPECT_EQ(parser->Compile(message, root, "LLVAR"), 0u);
    EXPECT_EQ(message.bytes(), "02AB");  // IStr text, since the message held text
    EXPECT_EQ(parser->Parse(Variant::text("02CD"), root, "LLVAR"), 0u);
    EXPECT_EQ(value(at(root, {0})), "CD");
}

TEST_F(PfixWalkTest, NodeHasDataLooksThroughGroups) {
    const NodeId root = tree(R"j({"name":"rec","group":true,"children":[
        {"name":"g","group":true,"children":[{"name":"a"},{"name":"b","props":{"Value":{"istr":"x"}}}]},
        {"name":"e"}]})j");
    TParseInherit record = parser->rootRecord();
    record.processNull = false;
    EXPECT_TRUE(parser->NodeHasData(root, record));
    EXPECT_FALSE(parser->NodeHasData(nodes().child(root, 1), record));
    record.processNull = true;
    EXPECT_TRUE(parser->NodeHasData(nodes().child(root, 1), record));
}

}  // namespace
}  // namespace payfmt
