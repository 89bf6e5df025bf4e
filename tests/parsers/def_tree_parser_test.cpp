#include "parsers/core/def_tree_parser.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_info.h"
#include "parsers/parser_fixture.h"
#include "support/error_info.h"

namespace payfmt {
namespace {

class DefTreeParserTest : public test::ParserTest {
protected:
    void SetUp() override {
        ParserTest::SetUp();
        defsComponent = newComponent<ParserComponent>(defTreeParserInfo(), std::make_unique<TKORDefTreeParser>());
        defs = static_cast<TKORDefTreeParser*>(&defsComponent->parser());
        defs->setName("defs." + parser->name());
    }
    Ref<ParserComponent> defsComponent;
    TKORDefTreeParser* defs = nullptr;
};

TEST_F(DefTreeParserTest, OpenNeedsDefinitionsAndKeepsACopy) {
    try {
        defs->Open();
        FAIL();
    } catch (const TFormatError&) {
        EXPECT_EQ(settings().errors().entries().back().message, "(E2070003) Definition tree is undefined");
    }
    const NodeId given = tree(R"j({"name":"defs","group":true,"children":[{"name":"f","props":{"Tag":"9F02"}}]})j");
    defsComponent->SetProperty(parser_dispid::kDefinitions, Variant::integer(given));
    EXPECT_NE(defs->definitions(), given);  // its own copy
    nodes().remove(given);
    trees.clear();
    EXPECT_TRUE(nodes().alive(defs->definitions()));
    defs->Open();
    EXPECT_TRUE(defs->isOpen());
    // Dropping the definitions closes the parser.
    defsComponent->SetProperty(parser_dispid::kDefinitions, Variant::integer(0));
    EXPECT_FALSE(defs->isOpen());
    EXPECT_THROW(defsComponent->SetProperty(parser_dispid::kDefinitions, Variant::integer(given)), VexError);
}

TEST_F(DefTreeParserTest, ChecksOnDefinitionNodes) {
    const NodeId root = tree(R"j({"name":"defs","group":true,"children":[
        {"name":"a","props":{"Bit":2,"ParserType":1}},
        {"name":"b","props":{"Bit":"x","ParserType":"2"}},
        {"name":"c","props":{"ParserType":3}}]})j");
    EXPECT_NO_THROW(defs->CheckGroup(root));
    EXPECT_THROW(defs->CheckGroup(nodes().child(root, 0)), TFormatError);
    EXPECT_EQ(settings().errors().entries().back().message, "(E2060063) a: node must be a group");
    EXPECT_THROW(defs->CheckProperty(root, "Bit", false, false, PropertyKind::Integer), VexError);  // "x"
    EXPECT_THROW(defs->CheckProperty(root, "Bit", false, false, PropertyKind::Text), TFormatError);  // c lacks it
    EXPECT_EQ(settings().errors().entries().back().message,
              "(E207000A) " + defs->name() + ": missing property Bit for node c");
    EXPECT_NO_THROW(defs->CheckProperty(root, "Bit", false, true, PropertyKind::Text));
    EXPECT_TRUE(defs->NodeKindIs(nodes().child(root, 1), 2));
    EXPECT_FALSE(defs->NodeKindIs(nodes().child(root, 1), 1));
    EXPECT_TRUE(defs->NodeKindIs(root, 0));  // absent counts as 0
}

TEST_F(DefTreeParserTest, RemoveChildrenOfKindStopsAfterAGreaterKind) {
    const NodeId root = tree(R"j({"name":"r","group":true,"children":[
        {"name":"k1","props":{"ParserType":1}},{"name":"k0"},{"name":"k1b","props":{"ParserType":1}},
        {"name":"k2","props":{"ParserType":2}},{"name":"k1c","props":{"ParserType":1}}]})j");
    std::size_t index = 0;
    defs->RemoveChildrenOfKind(1, root, index);
    std::vector<std::string> left;
    for (NodeId c : nodes().get(root).children) left.push_back(nodes().get(c).name);
    EXPECT_EQ(left, (std::vector<std::string>{"k0", "k2", "k1c"}));
    EXPECT_EQ(index, 1u);  // on k2
}

TEST_F(DefTreeParserTest, DefinitionLookupFallsBackWithAReport) {
    const NodeId root = tree(R"j({"name":"defs","group":true,"children":[
        {"name":"amount","props":{"Tag":"9F02"}},{"name":"grp","group":true,"props":{"Tag":"70"}}]})j");
    const NodeId fallback = tree(R"j({"name":"unknown"})j");
    defs->fallbackNode = fallback;
    NodeId found = 0;
    EXPECT_TRUE(defs->GetDefNode(root, "Tag", 0, found, Variant::text("9F02")));
    EXPECT_EQ(nodes().get(found).name, "amount");
    EXPECT_FALSE(defs->GetDefNode(root, "Tag", 0, found, Variant::text("5A")));
    EXPECT_EQ(found, fallback);
    EXPECT_EQ(text(nodes().get(fallback), "Tag"), "5A");
    EXPECT_EQ(settings().errors().entries().back().message,
              "(6207000B) " + defs->name() + ": missing definition for Tag = 5A");
    EXPECT_FALSE(settings().errors().holdsError());
    defs->GetDefNode(root, "Tag", 0xC0000000, found, Variant::text("5B"));
    EXPECT_EQ(settings().errors().lastCode(), 0xE207000Bu);
    settings().errors().reset();
    defs->alwaysFallback = true;
    EXPECT_FALSE(defs->GetDefNode(root, "Tag", 0, found, Variant::text("9F02")));
    EXPECT_EQ(settings().errors().entries().size(), 1u);  // no search, no report
    EXPECT_EQ(defs->GetGroupRaise(root, "Tag", 0xE2070051, Variant::text("70")), nodes().child(root, 1));
    EXPECT_THROW(defs->GetGroupRaise(root, "Tag", 0xE2070051, Variant::text("9F02")), TFormatError);
    EXPECT_THROW(defs->GetGroupRaise(root, "Tag", 0xE2070051, Variant::text("99")), TFormatError);
    EXPECT_EQ(settings().errors().lastCode(), 0xE2070051u);
}

TEST_F(DefTreeParserTest, LengthFieldsAreClampedToTheData) {
    Bytes message("\x05" "ABC", 4);
    Cursor cursor{message, 0};
    EXPECT_EQ(defs->GetFldLen(cursor, "FIX(1)"), 3u);
    EXPECT_EQ(cursor.position, 1u);
    EXPECT_EQ(settings().errors().entries().back().message,
              "(62070010) FIX: length field indicates 5 - assuming maximum length of 3");
    Bytes field;
    EXPECT_EQ(defs->ReadField(cursor, field, "FIX(2)", "A2"), 2u);
    EXPECT_EQ(field, "AB");
    EXPECT_EQ(cursor.position, 3u);
}

TEST_F(DefTreeParserTest, SubParseCopiesADefinitionIntoTheValueTree) {
    const NodeId definition = tree(R"j({"name":"pan","props":{"IFO":"LLVAR","Value":{"istr":"stale"}}})j");
    const NodeId values = tree(R"j({"name":"msg","group":true})j");
    defsComponent->SetProperty(parser_dispid::kDefinitions, Variant::integer(values));
    defs->Open();
    TParseContext ctx(defs->rootRecord(), *defs);
    Bytes message = "05HELLO";
    Cursor cursor{message, 0};
    defs->SubParse(values, definition, -1, ctx, cursor);
    ASSERT_EQ(nodes().get(values).children.size(), 1u);
    EXPECT_EQ(value(at(values, {0})), "HELLO");
    EXPECT_EQ(value(nodes().get(definition)), "stale");  // the definition is untouched
    EXPECT_EQ(cursor.position, 7u);
    EXPECT_THROW(defs->SubParse(0, definition, -1, ctx, cursor), TFormatError);
    EXPECT_THROW(defs->SubParse(values, 0, -1, ctx, cursor), TFormatError);
    defs->Close();
}

}  // namespace
}  // namespace payfmt
