#include <gtest/gtest.h>

#include "support/error_info.h"
#include "support/tree_json.h"

namespace payfmt {
namespace {

NodeId child(NodeId parent, std::string_view name, std::uint32_t attrib = 0) {
    const NodeId c = nodes().create(name, attrib);
    nodes().addChild(parent, c, -1);
    return c;
}

std::vector<std::string> preorder(NodeId root) {
    std::vector<std::string> names;
    for (NodeId n = root; n; n = nodes().nextNode(root, n)) names.push_back(nodes().get(n).name);
    return names;
}

TEST(Tree, WalksInPreOrderWithLevels) {
    OwnedTree t(nodes().create("root", kGroupAttrib));
    const NodeId a = child(t.get(), "a", kGroupAttrib);
    child(a, "a1");
    const NodeId a2 = child(a, "a2");
    child(t.get(), "b");
    EXPECT_EQ(preorder(t.get()), (std::vector<std::string>{"root", "a", "a1", "a2", "b"}));
    EXPECT_EQ(nodes().level(a2), 2u);
    EXPECT_EQ(nodes().nextSibling(a), nodes().child(t.get(), 1));
    EXPECT_EQ(nodes().child(t.get(), 2), 0u);
    // A walk of a subtree stays inside it.
    EXPECT_EQ(preorder(a), (std::vector<std::string>{"a", "a1", "a2"}));
}

TEST(Tree, AddChildInsertsMovesAndRefusesCycles) {
    OwnedTree t(nodes().create("root", kGroupAttrib));
    const NodeId a = child(t.get(), "a", kGroupAttrib);
    const NodeId b = child(t.get(), "b");
    const NodeId c = nodes().create("c", 0);
    nodes().addChild(t.get(), c, 0);
    EXPECT_EQ(preorder(t.get()), (std::vector<std::string>{"root", "c", "a", "b"}));
    nodes().addChild(a, b, -1);  // moves b under a
    EXPECT_EQ(preorder(t.get()), (std::vector<std::string>{"root", "c", "a", "b"}));
    EXPECT_EQ(nodes().get(b).parent, a);
    EXPECT_EQ(nodes().get(t.get()).children.size(), 2u);
    EXPECT_THROW(nodes().addChild(a, t.get(), -1), VexError);
    EXPECT_THROW(nodes().addChild(a, a, -1), VexError);
}

TEST(Tree, DeletingInvalidatesEveryHandleOfTheSubtree) {
    OwnedTree t(nodes().create("root", kGroupAttrib));
    const NodeId a = child(t.get(), "a", kGroupAttrib);
    const NodeId a1 = child(a, "a1");
    const std::size_t before = nodes().liveCount();
    nodes().remove(a);
    EXPECT_EQ(nodes().liveCount(), before - 2);
    EXPECT_FALSE(nodes().alive(a));
    EXPECT_FALSE(nodes().alive(a1));
    EXPECT_TRUE(nodes().get(t.get()).children.empty());
    try {
        nodes().get(a);
        FAIL() << "stale handle accepted";
    } catch (const VexError& e) {
        EXPECT_EQ(e.code(), VEX_E_HANDLE);
    }
    EXPECT_THROW(nodes().addChild(t.get(), a1, -1), VexError);
    EXPECT_FALSE(nodes().alive(0));
    EXPECT_FALSE(nodes().alive(0xFFFFFFFF));
}

TEST(Tree, StaleHandlesStayRefusedWhileSlotsAreReused) {
    std::vector<NodeId> dead;
    for (int i = 0; i < 10000; ++i) {
        const NodeId n = nodes().create("x", 0);
        dead.push_back(n);
        nodes().remove(n);
    }
    std::vector<OwnedTree> live;
    for (int i = 0; i < 10000; ++i) live.emplace_back(nodes().create("y", 0));
    for (NodeId d : dead) EXPECT_FALSE(nodes().alive(d));
}

TEST(Tree, DeepCopyOfTenThousandNodesIsIndependent) {
    OwnedTree t(nodes().create("root", kGroupAttrib));
    NodeId group = t.get();
    for (int i = 1; i < 10000; ++i) {
        const NodeId n = child(group, "n" + std::to_string(i), i % 100 == 0 ? kGroupAttrib : 0);
        nodes().get(n).props.set("Value", Variant::integer(i));
        if (i % 100 == 0) group = n;
    }
    OwnedTree copy(nodes().copy(t.get(), true));
    const auto original = preorder(t.get());
    ASSERT_EQ(original.size(), 10000u);
    EXPECT_EQ(preorder(copy.get()), original);
    EXPECT_EQ(nodes().get(copy.get()).parent, 0u);
    // Changing the copy leaves the original alone, and the other way round.
    for (NodeId n = copy.get(); n; n = nodes().nextNode(copy.get(), n)) nodes().get(n).props.set("Value", Variant::integer(-1));
    NodeId first = nodes().child(t.get(), 0);
    EXPECT_EQ(nodes().get(first).props.find("Value")->intValue(), 1);
    nodes().remove(first);
    EXPECT_EQ(preorder(copy.get()).size(), 10000u);
    OwnedTree single(nodes().copy(copy.get(), false));
    EXPECT_TRUE(nodes().get(single.get()).children.empty());
}

TEST(Tree, SearchFindsNodeByPropertyValue) {
    OwnedTree t(nodes().create("root", kGroupAttrib));
    const NodeId a = child(t.get(), "a");
    const NodeId b = child(t.get(), "b");
    nodes().get(a).props.set("Bit", Variant::integer(2));
    nodes().get(b).props.set("Bit", Variant::integer(3));
    nodes().get(t.get()).props.set("Bit", Variant::integer(3));
    EXPECT_EQ(nodes().search(t.get(), "bit", Variant::integer(3)), b);  // start itself is skipped
    EXPECT_EQ(nodes().search(t.get(), "Bit", Variant::text("2")), a);
    EXPECT_EQ(nodes().search(t.get(), "Bit", Variant::integer(4)), 0u);
}

TEST(TreeJson, RoundTripsNamesGroupsAndTypedProperties) {
    const std::string json = R"json({
  "name": "rec",
  "group": true,
  "props": {"IFO": "FIX(2)", "Length": 4, "AllowNull": true, "Ratio": 0.5,
            "Value": {"blob": "00FF"}, "Empty": null},
  "children": [{"name": "f1", "group": false, "attrib": 3}]
})json";
    OwnedTree t(treeFromJson(json));
    const Node& root = nodes().get(t.get());
    EXPECT_EQ(root.name, "rec");
    EXPECT_TRUE(root.isGroup());
    EXPECT_EQ(root.props.find("Value")->type(), VarType::Blob);
    EXPECT_EQ(root.props.find("Value")->bytes(), std::string("\0\xff", 2));
    EXPECT_EQ(root.props.find("Length")->intValue(), 4);
    EXPECT_EQ(nodes().get(root.children[0]).attrib, 3u);
    OwnedTree again(treeFromJson(treeToJson(t.get())));
    EXPECT_EQ(treeToJson(again.get()), treeToJson(t.get()));
    OwnedTree istr(treeFromJson(R"({"name":"v","props":{"Value":{"istr":"A#00"}}})"));
    EXPECT_EQ(nodes().get(istr.get()).props.find("Value")->bytes(), std::string("A\0", 2));
}

TEST(TreeJson, RefusesMalformedInputWithoutLeakingNodes) {
    const std::size_t before = nodes().liveCount();
    const char* bad[] = {
        "", "{", "[]", R"({"name": 3})", R"({"name":"a","children":[{"name":"b","oops":1}]})",
        R"({"props":{"V":{"blob":"ABC"}}})", R"({"props":{"V":{"istr":"#4"}}})", R"({"group":"yes"})",
    };
    for (const char* j : bad) {
        try {
            treeFromJson(j);
            ADD_FAILURE() << j;
        } catch (const VexError& e) {
            EXPECT_EQ(e.code(), VEX_E_FORMAT) << j;
        }
    }
    EXPECT_EQ(nodes().liveCount(), before);
    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += R"({"children":[)";
    deep += "{}";
    for (int i = 0; i < 2000; ++i) deep += "]}";
    EXPECT_THROW(treeFromJson(deep), VexError);
    EXPECT_EQ(nodes().liveCount(), before);
}

}  // namespace
}  // namespace payfmt
