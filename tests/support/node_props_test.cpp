#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/node_props.h"

namespace payfmt {
namespace {

std::vector<std::string> names(const NodeProps& p) {
    std::vector<std::string> r;
    const Props items = p.items();
    for (const auto& [name, value] : items.items()) r.push_back(name + "=" + value.toText().value_or("?"));
    return r;
}

NodeProps definition() {
    NodeProps d;
    d.set("IFO", Variant::text("FIX(2)"));
    d.set("IFM", Variant::text("N2"));
    d.set("OFO", Variant::text(""));
    return d;
}

TEST(NodeProps, ACopyChangesOnlyItselfAndKeepsTheOrderOfItems) {
    NodeProps def = definition();
    NodeProps copy = def;
    copy.set("value", Variant::text("12"));  // new: last
    copy.set("ifm", Variant::text("N1"));    // shared: in its place
    copy.remove("OFO");
    EXPECT_EQ(names(copy), (std::vector<std::string>{"IFO=FIX(2)", "IFM=N1", "value=12"}));
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(names(def), (std::vector<std::string>{"IFO=FIX(2)", "IFM=N2", "OFO="}));
    EXPECT_EQ(copy.find("OFO"), nullptr);
    ASSERT_NE(def.find("ofo"), nullptr);

    // Setting a removed item brings it back, at its old place.
    copy.set("OFO", Variant::text("X"));
    EXPECT_EQ(names(copy), (std::vector<std::string>{"IFO=FIX(2)", "IFM=N1", "OFO=X", "value=12"}));
    // Removing an item the copy added forgets it altogether.
    copy.remove("VALUE");
    EXPECT_EQ(copy.find("value"), nullptr);
    EXPECT_EQ(copy.size(), 3u);
}

TEST(NodeProps, ManyChangesFoldIntoItemsOfTheNodesOwn) {
    NodeProps def = definition();
    NodeProps copy = def;
    const char* added[] = {"A", "B", "C", "D", "E", "F"};
    for (const char* n : added) copy.set(n, Variant::integer(1));
    copy.remove("IFO");
    EXPECT_EQ(names(copy), (std::vector<std::string>{"IFM=N2", "OFO=", "A=1", "B=1", "C=1", "D=1", "E=1", "F=1"}));
    EXPECT_EQ(names(def), (std::vector<std::string>{"IFO=FIX(2)", "IFM=N2", "OFO="}));
    // A copy of the copy sees the same, and its changes stay its own.
    NodeProps second = copy;
    second.set("A", Variant::integer(2));
    EXPECT_EQ(copy.find("A")->intValue(), 1);
    EXPECT_EQ(second.find("a")->intValue(), 2);
}

TEST(NodeProps, AssignmentReplacesAllAndClearForgetsAll) {
    NodeProps p = definition();
    Props other;
    other.set("Only", Variant::integer(7));
    p = other;
    EXPECT_EQ(names(p), (std::vector<std::string>{"Only=7"}));
    p.clear();
    EXPECT_TRUE(p.empty());
    EXPECT_EQ(p.find("Only"), nullptr);
}

// A cache worked out from IFO alone.
class IfoCache final : public NodeCache {
public:
    static inline const char kind = 0;
    IfoCache() : NodeCache(&kind, Props::bitOf("IFO")) {}
    bool dependsOn(std::string_view name) const override { return name == "IFO"; }
};

TEST(NodeProps, TheCacheIsSharedUntilAnItemItDependsOnChanges) {
    NodeProps def = definition();
    std::unique_ptr<NodeCache> cache = std::make_unique<IfoCache>();
    ASSERT_TRUE(def.setCache(cache));
    NodeProps copy = def;
    EXPECT_EQ(copy.cache(), def.cache());

    copy.set("Value", Variant::blob("12"));  // no concern of the cache
    EXPECT_NE(copy.cache(), nullptr);
    copy.set("IFO", Variant::text("FIX(3)"));  // the copy's own format now
    EXPECT_EQ(copy.cache(), nullptr);
    EXPECT_NE(def.cache(), nullptr);
    std::unique_ptr<NodeCache> another = std::make_unique<IfoCache>();
    EXPECT_FALSE(copy.setCache(another));  // it would describe the shared items, not this node
    EXPECT_NE(another, nullptr);

    // Alone with its items, a node changes them in place and drops the cache.
    NodeProps alone = definition();
    ASSERT_TRUE(alone.setCache(another));
    alone.set("IFM", Variant::text("N3"));
    EXPECT_NE(alone.cache(), nullptr);
    alone.set("IFO", Variant::text("FIX(1)"));
    EXPECT_EQ(alone.cache(), nullptr);
}

}  // namespace
}  // namespace payfmt
