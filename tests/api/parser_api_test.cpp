// Parsers through the dispatch ABI, as a host drives them by member name.
#include <gtest/gtest.h>

#include <cstring>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Var;

VEXNODE treeOf(const char* json) {
    VEXNODE root = 0;
    EXPECT_EQ(VEXTreeFromJsonA(json, static_cast<uint32_t>(std::strlen(json)), &root), 0u);
    return root;
}

std::string valueOf(VEXNODE node) {
    VEXVARIANT v;
    VEXVarInit(&v);
    std::string s = VEXTreeGetPropA(node, "Value", &v) == 0 ? std::string(reinterpret_cast<const char*>(v.u.p), v.length)
                                                           : "<none>";
    VEXVarClear(&v);
    return s;
}

Obj openParser(const char* name) {
    Obj p = Obj::create("PFIX");
    EXPECT_EQ(p.put("Name", Var::text(name)).status, 0u);
    EXPECT_EQ(p.call("Open", {}).status, 0u);
    return p;
}

TEST(ParserApi, CreateNameOpenCompileParseClose) {
    Obj p = openParser("rec");
    EXPECT_EQ(p.get("ParserType").result.str(), "PFIX");
    EXPECT_EQ(p.get("RequiresDefTree").result.v.u.b, 0);
    EXPECT_EQ(p.get("Path").result.str(), "parser:PFIX/rec");
    const VEXNODE tree = treeOf(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(2)","Value":{"istr":"12"}}},
        {"name":"b","props":{"IFO":"LLVAR","OFO":"LLVAR","Value":{"istr":"XYZ"}}}]})j");
    kortest::Outcome compiled = p.call("Compile", {Var::text(""), Var::integer(tree), Var::text("")});
    ASSERT_EQ(compiled.status, 0u) << compiled.description;
    EXPECT_EQ(compiled.result.v.u.i, 0);
    EXPECT_EQ(compiled.args[0].str(), "1203XYZ");  // written back as IStr text

    const VEXNODE parsed = treeOf(R"j({"name":"rec","group":true,"children":[
        {"name":"a","props":{"IFO":"FIX(2)"}},{"name":"b","props":{"IFO":"LLVAR"}}]})j");
    kortest::Outcome r = p.call("Parse", {Var::text("1203XYZ"), Var::integer(parsed), Var::text("")});
    ASSERT_EQ(r.status, 0u) << r.description;
    EXPECT_EQ(r.result.v.u.i, 0);
    EXPECT_EQ(valueOf(VEXTreeGetChild(parsed, 0)), "12");
    EXPECT_EQ(valueOf(VEXTreeGetChild(parsed, 1)), "XYZ");
    // Recorded reports come back as the method's answer.
    r = p.call("Parse", {Var::text("12"), Var::integer(parsed), Var::text("")});
    EXPECT_EQ(r.result.v.u.i, 0xE2060022);  // no length digits left for b
    EXPECT_EQ(p.call("Close", {}).status, 0u);
    r = p.call("Parse", {Var::text("12"), Var::integer(parsed), Var::text("")});
    EXPECT_EQ(r.status, static_cast<uint32_t>(KOR_E_EXCEPTION));
    EXPECT_EQ(r.description, "(E2070001) rec: The parser is not open");
    VEXTreeDeleteNode(tree, -1);
    VEXTreeDeleteNode(parsed, -1);
}

TEST(ParserApi, OpenNeedsANameAndAFreeOne) {
    Obj p = Obj::create("PFIX");
    kortest::Outcome r = p.call("Open", {});
    EXPECT_EQ(r.status, static_cast<uint32_t>(KOR_E_EXCEPTION));
    EXPECT_EQ(r.code, 0xE2070002u);
    EXPECT_EQ(r.description, "(E2070002) Paser name is undefined");
    EXPECT_EQ(r.source, "TVEXParser.Open");
    // "Default" is the library's own parser, open from load.
    p.put("Name", Var::text("default"));
    r = p.call("Open", {});
    EXPECT_EQ(r.code, 0xE2070004u);
    EXPECT_EQ(r.description, "(E2070004) default: parser name already exists");
}

TEST(ParserApi, RenamedParserClosesUnderItsFirstName) {
    Obj p = openParser("first");
    p.put("Name", Var::text("second"));
    EXPECT_EQ(p.call("Close", {}).status, 0u);
    Obj q = openParser("first");  // the name is free again
    EXPECT_EQ(q.call("Close", {}).status, 0u);
}

TEST(ParserApi, ReleasingAnOpenParserFreesItsName) {
    {
        Obj p = openParser("transient");
    }
    Obj q = openParser("transient");
    EXPECT_EQ(q.call("Close", {}).status, 0u);
}

TEST(ParserApi, CharSetIsIndexedByLetterOrNumber) {
    Obj p = Obj::create("PFIX");
    EXPECT_EQ(p.get("CharSet", {Var::integer(1)}).result.str(), "[A-Za-z]");
    EXPECT_EQ(p.get("CharSet", {Var::text("a")}).result.str(), "[A-Za-z]");
    // Runs of two or more are ranges; "-" itself goes last.
    EXPECT_EQ(p.get("CharSet", {Var::text("S")}).result.str(), "[ -,.-/:-@[-`{-~-]");
    EXPECT_EQ(p.get("CharSet", {Var::integer(27)}).result.str(), "[]");
    EXPECT_EQ(p.get("CharSet", {Var::text("B")}).result.str(), "[#00-,.-#FF-]");
    EXPECT_EQ(p.byName("CharSet", KOR_DISPATCH_PUT, {Var::text("N"), Var::text("[9-0]")}).status, 0u);
    EXPECT_EQ(p.get("CharSet", {Var::text("N")}).result.str(), "[]");
    EXPECT_EQ(p.byName("CharSet", KOR_DISPATCH_PUT, {Var::text("N"), Var::text("[0-9]")}).status, 0u);
    EXPECT_EQ(p.get("CharSet", {Var::text("n")}).result.str(), "[0-9]");
    kortest::Outcome r = p.byName("CharSet", KOR_DISPATCH_PUT, {Var::text("N"), Var::text("0-9")});
    EXPECT_EQ(r.description, "(E206000C) Character set specifiers must be surrounded by [ and ]");
    EXPECT_EQ(p.get("CharSet", {Var::text("N")}).result.str(), "[0-9]");
    r = p.byName("CharSet", KOR_DISPATCH_PUT, {Var::text("?"), Var::text("[x]")});
    EXPECT_EQ(r.description, "(E206000B) ?: invalid character set identifier");
    r = p.byName("CharSet", KOR_DISPATCH_PUT, {Var::text("Q"), Var::text("[-+]")});
    EXPECT_EQ(p.get("CharSet", {Var::text("Q")}).result.str(), "[+-]");
}

TEST(ParserApi, PropertiesAndMembers) {
    Obj p = Obj::create("PFIX");
    EXPECT_EQ(p.get("AllowNull").result.v.u.b, 0);
    EXPECT_EQ(p.get("ProcessNull").result.v.u.b, 1);
    EXPECT_EQ(p.get("Recurse").result.v.u.i, 32767);
    EXPECT_EQ(p.get("TSetGroups").result.v.u.b, 1);
    p.put("AllowNull", Var::boolean(true));
    p.put("Recurse", Var::integer(3));
    p.put("Name", Var::text("x"));
    EXPECT_EQ(p.get("Path").result.str(), "parser:PFIX/x;AllowNull=true;Recurse=3");
    EXPECT_EQ(p.put("ParserType", Var::text("P8583")).code, 0xC0020003u);  // read-only
    EXPECT_EQ(p.get("Definitions").code, 0xC0020003u);  // only definition-tree parsers have one
    kortest::Outcome r = p.call("Compile", {Var::text(""), Var::integer(0)});
    EXPECT_EQ(r.status, static_cast<uint32_t>(KOR_E_BADPARAMCOUNT));
    r = p.call("Parse", {Var::text("x"), Var::integer(0), Var::integer(1)});
    EXPECT_EQ(r.description, "Type mismatch for parameter 3 (Integer)");
    r = p.call("Parse", {Var::integer(1), Var::integer(0), Var::text("")});
    EXPECT_EQ(r.description, "Type mismatch for parameter 1 (Integer)");
}

TEST(ParserApi, EmptyMessageIsAParameterError) {
    Obj p = openParser("empty");
    const VEXNODE tree = treeOf(R"j({"name":"rec","group":true})j");
    kortest::Outcome r = p.call("Parse", {Var::text(""), Var::integer(tree), Var::text("")});
    EXPECT_EQ(r.status, static_cast<uint32_t>(KOR_E_TYPEMISMATCH));
    EXPECT_EQ(r.source, "TVEXParser.Parse");
    p.call("Close", {});
    VEXTreeDeleteNode(tree, -1);
}

}  // namespace
