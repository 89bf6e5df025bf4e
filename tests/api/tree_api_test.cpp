// The tree and component exports through libpayfmt.so: value trees compiled
// and parsed with the default parser, and the references to the default
// parser and to the settings component.
#include <gtest/gtest.h>

#include <string>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Var;
using test::Tree;

// Two two-byte fields; the values live under the property named valueName.
std::string record(const char* valueName, const char* first, const char* second) {
    auto field = [&](const char* name, const char* value) {
        std::string f = std::string(R"j({"name":")j") + name + R"j(","props":{"IFO":"FIX(2)")j";
        if (value) f += std::string(R"j(,")j") + valueName + R"j(":{"blob":")j" + value + R"j("})j";
        return f + "}}";
    };
    return R"j({"name":"rec","group":true,"children":[)j" + field("a", first) + "," + field("b", second) + "]}";
}

std::string prop(VEXNODE node, const char* name) {
    Var v;
    if (VEXTreeGetPropA(node, name, &v.v) != 0) return "<none>";
    return v.v.type == VEXVT_BLOB ? std::string(reinterpret_cast<const char*>(v.v.u.p), v.v.length) : v.str();
}

Obj defaultParser() {
    KOROBJ o = nullptr;
    EXPECT_EQ(GetDefaultParser(&o), 0);
    return Obj(o);
}

struct TGet {
    uint32_t status;
    std::string message;
};

TGet tget(VEXNODE tree, const char* valueName) {
    VEXBUF out = reinterpret_cast<VEXBUF>(1);  // must be overwritten
    TGet r{FormatTGetA(tree, nullptr, valueName, &out, nullptr), test::bytes(out)};
    VEXBufFree(out);
    return r;
}

// The library's value property name as every parser sees it: the property
// in which the default parser, driven as a component, stores what it parsed.
std::string valueNameInUse() {
    const Tree tree(R"j({"name":"f","props":{"IFO":"FIX(2)"}})j");
    defaultParser().call("Parse", {Var::text("AB"), Var::integer(tree.get()), Var::text("")});
    for (const char* name : {"Value", "Data", ""})
        if (prop(tree.get(), name) == "AB") return name;
    return "<unknown>";
}

TEST(TreeApi, ValueTreesRoundTripThroughTheDefaultParser) {
    const Tree filled(record("Value", "4142", "0102"));
    const TGet compiled = tget(filled.get(), "Value");
    EXPECT_EQ(compiled.status, 0u);
    EXPECT_EQ(compiled.message, "AB#01#02");

    const Tree empty(record("Value", nullptr, nullptr));
    EXPECT_EQ(FormatTSetA(compiled.message.c_str(), empty.get(), nullptr, "Value", nullptr), 0u);
    EXPECT_EQ(prop(VEXTreeGetChild(empty.get(), 0), "Value"), "AB");
    EXPECT_EQ(prop(VEXTreeGetChild(empty.get(), 1), "Value"), "\x01\x02");
    EXPECT_EQ(tget(empty.get(), "Value").message, compiled.message);
}

TEST(TreeApi, ACallWorksOnTheValuePropertyItNames) {
    const Tree data(record("Data", "3132", "3334"));
    EXPECT_EQ(tget(data.get(), "Data").message, "1234");
    EXPECT_EQ(valueNameInUse(), "Value");
    EXPECT_EQ(tget(data.get(), "Value").message, "");  // nothing under Value: no message, no buffer

    const Tree parsed(record("Data", nullptr, nullptr));
    EXPECT_EQ(FormatTSetA("WXYZ", parsed.get(), nullptr, "Data", nullptr), 0u);
    const VEXNODE first = VEXTreeGetChild(parsed.get(), 0);
    EXPECT_EQ(prop(first, "Data"), "WX");
    EXPECT_EQ(prop(first, "Value"), "<none>");
    EXPECT_EQ(valueNameInUse(), "Value");
}

TEST(TreeApi, TheValueNameIsRestoredAfterFailingCalls) {
    const Tree tree(record("Data", "4142", nullptr));
    const Tree textValue(R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"Data":"text"}}]})j");
    struct Case {
        const char* what;
        uint32_t status;
        const char* source;  // of the thread's error record
        uint32_t (*call)(VEXNODE tree, VEXNODE textValue);
    };
    const Case cases[] = {
        {"compile a stale handle", VEX_E_HANDLE, "Parser.FormatTGet",
         [](VEXNODE, VEXNODE) { return tget(0x7FFFFFF0, "Data").status; }},
        {"compile a text value", 0xE2060060, "TVEXParser.Compile",
         [](VEXNODE, VEXNODE t) { return tget(t, "Data").status; }},
        {"parse an empty message", KOR_C_TYPEMISMATCH, "Parser.FormatTSet",
         [](VEXNODE t, VEXNODE) { return FormatTSetA("", t, nullptr, "Data", nullptr); }},
        {"parse a bad escape", 0xE2060029, "Parser.FormatTSet",
         [](VEXNODE t, VEXNODE) { return FormatTSetA("#G1", t, nullptr, "Data", nullptr); }},
        {"parse too short a message", 0xA2060025, "Apply_Fix",
         [](VEXNODE t, VEXNODE) { return FormatTSetA("AB", t, nullptr, "Data", nullptr); }},
        {"parse into a stale handle", VEX_E_HANDLE, "Parser.FormatTSet",
         [](VEXNODE, VEXNODE) { return FormatTSetA("ABCD", 0x7FFFFFF0, nullptr, "Data", nullptr); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(tree.get(), textValue.get()), c.status) << c.what;
        EXPECT_EQ(test::lastRecord().source, c.source) << c.what;
        EXPECT_EQ(valueNameInUse(), "Value") << c.what;
    }
}

TEST(TreeApi, NullArgumentsAreHarmless) {
    const Tree tree(record("Value", "4142", "4344"));
    EXPECT_EQ(FormatTGetA(tree.get(), nullptr, "Value", nullptr, nullptr), 0u);
    EXPECT_EQ(FormatTGetA(0, nullptr, "Value", nullptr, nullptr), 0u);
    EXPECT_EQ(tget(tree.get(), nullptr).message, "");  // no name: no values found
    EXPECT_EQ(FormatTSetA(nullptr, tree.get(), nullptr, "Value", nullptr), KOR_C_TYPEMISMATCH);
    EXPECT_EQ(valueNameInUse(), "Value");
}

TEST(TreeApi, GetDefaultParserHandsOutTheOneDefaultParser) {
    const uint32_t objects = KORObjectCount();
    {
        const Obj first = defaultParser();
        const Obj second = defaultParser();
        EXPECT_EQ(first.get(), second.get());
        EXPECT_EQ(first.get("Name").result.str(), "Default");
        EXPECT_EQ(first.get("ParserType").result.str(), "PFIX");
        EXPECT_EQ(first.get("Path").result.str(), "parser:PFIX/Default");
    }
    EXPECT_EQ(KORObjectCount(), objects);
    EXPECT_EQ(GetDefaultParser(nullptr), static_cast<int32_t>(VEX_E_POINTER));
    EXPECT_EQ(test::lastRecord().source, "Parser.GetDefaultParser");
    EXPECT_EQ(defaultParser().get("Name").result.str(), "Default");  // still there
}

TEST(TreeApi, GetFormatRefHandsOutTheSettingsComponent) {
    KOROBJ first = nullptr, second = nullptr;
    ASSERT_EQ(GetFormatRef(&first), 0);
    ASSERT_EQ(GetFormatRef(&second), 0);
    EXPECT_EQ(first, second);
    KORCOMPONENTINFO info{};
    ASSERT_EQ(KORGetComponentInfoA(first, &info), 0u);
    EXPECT_STREQ(info.class_name, "TGlobalSettings");
    EXPECT_GT(KORRelease(first), 0u);
    EXPECT_GT(KORRelease(second), 0u);  // the library keeps its own reference
    EXPECT_EQ(GetFormatRef(nullptr), static_cast<int32_t>(VEX_E_POINTER));
    EXPECT_EQ(test::lastRecord().source, "FrmUtil.GetFormatRef");
}

}  // namespace
