// Trees nested far deeper than any message: every operation that walks a
// tree answers with a status, never by running out of stack.
#include <gtest/gtest.h>

#include <string>

#include "api/api_support.h"

namespace {

// groups nested groups, built from the innermost out; the innermost holds
// one two-byte field.
VEXNODE nestedGroups(int groups) {
    VEXNODE inner = VEXTreeCreateNode("field", 0);
    VEXVARIANT ifo{};
    VEXVarSetStrA(&ifo, "FIX(2)", UINT32_MAX);
    VEXTreeSetPropA(inner, "IFO", &ifo);
    VEXVarClear(&ifo);
    for (int i = 0; i < groups; ++i) {
        const VEXNODE outer = VEXTreeCreateNode("group", VEX_NODE_GROUP);
        EXPECT_EQ(VEXTreeAddChild(outer, inner, -1), 0u);
        inner = outer;
    }
    return inner;
}

std::string nestedJson(int groups) {
    std::string json;
    for (int i = 0; i < groups; ++i) json += R"({"name":"g","group":true,"children":[)";
    json += R"({"name":"f"})";
    for (int i = 0; i < groups; ++i) json += "]}";
    return json;
}

TEST(DeepTrees, AHundredThousandNestedGroupsEndWithAStatus) {
    const uint32_t before = VEXTreeNodeCount();
    const VEXNODE root = nestedGroups(100000);

    // Parsing and compiling stop at the nesting bound with a report.
    EXPECT_EQ(FormatTSetA("AB", root, nullptr, "Value", nullptr), 0xE2070014u);
    EXPECT_EQ(test::lastRecord().description, "(E2070014) Default: groups nested deeper than 512 levels");
    VEXBUF message = reinterpret_cast<VEXBUF>(0x1);
    EXPECT_EQ(FormatTGetA(root, nullptr, "Value", &message, nullptr), 0xE2070014u);
    EXPECT_EQ(message, nullptr);

    // Copying and deleting walk without recursion.
    const VEXNODE copy = VEXTreeCopy(root, -1);
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(VEXTreeNodeCount(), before + 2 * 100001);
    EXPECT_EQ(VEXTreeDeleteNode(copy, -1), 0u);

    // JSON refuses what it cannot nest, both ways.
    VEXBUF json = nullptr;
    EXPECT_EQ(VEXTreeToJsonA(root, &json), VEX_E_INVALIDARG);
    EXPECT_EQ(json, nullptr);
    const std::string deep = nestedJson(100000);
    VEXNODE loaded = 0;
    EXPECT_EQ(VEXTreeFromJsonA(deep.data(), static_cast<uint32_t>(deep.size()), &loaded), VEX_E_FORMAT);
    EXPECT_EQ(loaded, 0u);

    EXPECT_EQ(VEXTreeDeleteNode(root, -1), 0u);
    EXPECT_EQ(VEXTreeNodeCount(), before);
}

TEST(DeepTrees, NestingUpToTheBoundStillWorks) {
    const test::Tree tree(nestedGroups(500));
    ASSERT_NE(tree.get(), 0u);
    EXPECT_EQ(FormatTSetA("AB", tree.get(), nullptr, "Value", nullptr), 0u);
    VEXBUF message = nullptr;
    EXPECT_EQ(FormatTGetA(tree.get(), nullptr, "Value", &message, nullptr), 0u);
    EXPECT_EQ(test::bytes(message), "AB");
    VEXBufFree(message);
    VEXBUF json = nullptr;
    ASSERT_EQ(VEXTreeToJsonA(tree.get(), &json), 0u);
    VEXNODE back = 0;
    EXPECT_EQ(VEXTreeFromJsonA(reinterpret_cast<const char*>(VEXBufData(json)), VEXBufLen(json), &back), 0u);
    VEXBufFree(json);
    const test::Tree again(back);
    EXPECT_EQ(again.json(), tree.json());
}

}  // namespace
