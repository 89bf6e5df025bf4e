// The bitmap families find definitions by bit as a search of the tree would,
// also after the definitions were edited through their handle.
#include "parsers/bitmaps/bit_index.h"
#include "parsers/parser_fixture.h"

namespace payfmt {
namespace {

class BitIndexTest : public test::ParserTest {};

TEST_F(BitIndexTest, FindsTheFirstInTreeOrderAndFollowsEdits) {
    const NodeId defs = tree(R"j({"name":"defs","group":true,"children":[
        {"name":"a","props":{"Bit":2}},{"name":"g","group":true,"props":{"Bit":5},"children":[{"name":"inner","props":{"Bit":3}}]},
        {"name":"b","props":{"Bit":3}},{"name":"text","props":{"Bit":"7"}},{"name":"big","props":{"Bit":300}}]})j");
    BitIndex index;
    index.build(defs);
    auto nameOfBit = [&](int bit) {
        const NodeId n = index.find(bit);
        return n ? nodes().get(n).name : std::string("-");
    };
    EXPECT_EQ(nameOfBit(2), "a");
    EXPECT_EQ(nameOfBit(3), "inner");  // before b in pre-order
    EXPECT_EQ(nameOfBit(7), "text");
    EXPECT_EQ(nameOfBit(300), "big");  // beyond the index, searched for
    EXPECT_EQ(nameOfBit(4), "-");

    // A definition that no longer carries its bit gives way to the next one
    // that does; one added later is found; one removed is not answered.
    nodes().get(nodes().child(nodes().child(defs, 1), 0)).props.set("Bit", Variant::integer(9));
    EXPECT_EQ(nameOfBit(3), "b");
    EXPECT_EQ(nameOfBit(9), "inner");
    const NodeId added = nodes().create("added", 0);
    nodes().get(added).props.set("Bit", Variant::integer(4));
    nodes().addChild(defs, added, -1);
    EXPECT_EQ(nameOfBit(4), "added");
    nodes().remove(nodes().child(defs, 0));
    EXPECT_EQ(nameOfBit(2), "-");

    index.build(0);
    EXPECT_EQ(nameOfBit(3), "-");
}

}  // namespace
}  // namespace payfmt
