// The fixed-bitmap parser through the dispatch ABI: the bitmap it writes
// first, the bits it refuses, the size limits of the bitmap, and what a
// parse makes of a set bit without a definition and of bytes left over.
#include <gtest/gtest.h>

#include "api/iso8583_host.h"

namespace {

using namespace std::string_literals;
using kortest::Iso8583Host;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::outline;
using kortest::propOf;

constexpr std::string_view kDefs = R"j({"name":"defs","group":true,"children":[
    {"name":"One","props":{"Bit":1,"IFO":"FIX(2)"}},{"name":"Two","props":{"Bit":2,"IFO":"FIX(1)"}},
    {"name":"Three","props":{"Bit":3,"IFO":"LLVAR","OFO":"LLVAR"}},{"name":"Nine","props":{"Bit":9,"IFO":"FIX(1)"}}]})j";

std::string field(std::string_view name, int bit, std::string_view value, std::string_view more = "") {
    return R"j({"name":")j" + std::string(name) + R"j(","props":{"Bit":)j" + std::to_string(bit) + R"j(,"Value":{"istr":")j" +
           std::string(value) + "\"}" + std::string(more) + "}}";
}

std::string values(const std::string& fields) { return R"j({"name":"msg","group":true,"children":[)j" + fields + "]}"; }


Outcome compileCall(Iso8583Host& host, VEXNODE tree) {
    return host.parser.call("Compile", {Var::blob(""), Var::integer(tree), Var::text("")});
}

TEST(Fbm, BitmapComesFirstAndCompilesBackFromAParse) {
    Iso8583Host host("fbm", kDefs, "PFBM");
    // Field 2 has no data: its bit stays clear and nothing is written for it.
    Tree tree(values(field("One", 1, "AB") + "," + field("Two", 2, "") + "," + field("Three", 3, "xyz", R"j(,"OFO":"LLVAR")j")));
    const std::string message = "\xA0" "AB03xyz"s;
    EXPECT_EQ(host.compile(tree.get()), message);
    EXPECT_EQ(outline(tree.get()), "Bitmap=A0 One=AB Two= Three=xyz");

    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(message, parsed.get()), 0);
    EXPECT_EQ(outline(parsed.get()), "Bitmap=A0 One=AB Three=xyz");
    // The Bitmap node of the parse gives way to the one compiling makes.
    EXPECT_EQ(host.compile(parsed.get()), message);
    EXPECT_EQ(outline(parsed.get()), "Bitmap=A0 One=AB Three=xyz");

    // Bytes after the fields are kept, reported, and never compiled.
    Tree longer(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(message + "rest", longer.get()), 0x62060065);
    EXPECT_EQ(outline(longer.get()), "Bitmap=A0 One=AB Three=xyz Remaining Data=rest");
    EXPECT_NE(propOf(VEXTreeGetChild(longer.get(), 3), "Error").find("there are 4 unused characters after parsing"),
              std::string::npos);
    EXPECT_EQ(host.compile(longer.get()), message);
}

TEST(Fbm, BitsOutOfOrderOrBeyondTheBitmapStopTheCompile) {
    struct Case {
        std::string fields;
        std::string description;
    };
    const Case cases[] = {
        {field("Nine", 9, "x"), "(E2070049) fbm: Invalid value for bit 9"},
        {field("Three", 3, "x") + "," + field("Two", 2, "y"), "(E2070048) fbm: Bit property of Two is not in ascending order"},
        {field("Two", 2, "x") + "," + field("Two", 2, "y"), "(E2070048) fbm: Bit property of Two is not in ascending order"},
    };
    Iso8583Host host("fbm", kDefs, "PFBM");
    for (const Case& c : cases) {
        Tree tree(values(c.fields));
        const Outcome r = compileCall(host, tree.get());
        EXPECT_NE(r.status, 0u) << c.description;
        EXPECT_EQ(r.description, c.description);
    }
    // Sixteen bits make room for bit 9, in the second byte.
    ASSERT_EQ(host.parser.put("BitMapBits", Var::integer(16)).status, 0u);
    ASSERT_EQ(host.parser.put("BitMapIFO", Var::text("FIX(2)")).status, 0u);
    Tree tree(values(field("Nine", 9, "x")));
    EXPECT_EQ(host.compile(tree.get()), "\x00\x80x"s);
    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("\x00\x80x"s, parsed.get()), 0);
    EXPECT_EQ(outline(parsed.get()), "Bitmap=0080 Nine=x");
}

TEST(Fbm, BitmapSizeAndFormatsAreParserProperties) {
    Iso8583Host host("fbm", kDefs, "PFBM");
    constexpr uint32_t kProp = KOR_MEMBER_PROPERTY;
    kortest::expectMembers(host.parser, {
        {"BitMapBits", 120, kProp, "Number of bits in the bitmap", "payfmt#BitMapBits", 0},
        {"BitMapIFO", 121, kProp, "Operator to convert input bitmap into binary", "payfmt#BitMapIFO", 0},
        {"BitMapOFO", 122, kProp, "Operator to convert binary bitmap into output format", "payfmt#BitMapOFO", 0},
        {"BitMapDisplay", 123, kProp, "Operator to convert binary bitmap into display format", "payfmt#BitMapDisplay", 0},
    }, true);
    EXPECT_EQ(host.parser.get("BitMapBits").result.v.u.i, 8);
    EXPECT_EQ(host.parser.get("BitMapIFO").result.str(), "fix(1)");
    EXPECT_EQ(host.parser.get("BitMapOFO").result.str(), "");
    EXPECT_EQ(host.parser.get("BitMapDisplay").result.str(), "raw2hex");
    EXPECT_EQ(host.parser.get("ProcessNull").result.v.u.b, 0);
    EXPECT_EQ(host.parser.put("BitMapBits", Var::integer(255)).status, 0u);
    const Outcome tooMany = host.parser.put("BitMapBits", Var::integer(256));
    EXPECT_EQ(tooMany.description, "(E207004B) fbm: Bitmap may not exceed 255 bits");
    const Outcome none = host.parser.put("BitMapBits", Var::integer(0));
    EXPECT_EQ(none.description, "(E2070008) fbm: property BitMapBits should be a number of bits from 1 to 255");
    EXPECT_EQ(host.parser.get("BitMapBits").result.v.u.i, 255);

    // A bitmap written as hexadecimal text, shown as binary digits.
    ASSERT_EQ(host.parser.put("BitMapBits", Var::integer(8)).status, 0u);
    ASSERT_EQ(host.parser.put("BitMapIFO", Var::text("FIX(2).HEX2RAW")).status, 0u);
    ASSERT_EQ(host.parser.put("BitMapOFO", Var::text("RAW2HEX")).status, 0u);
    ASSERT_EQ(host.parser.put("BitMapDisplay", Var::text("RAW2BIT")).status, 0u);
    EXPECT_EQ(host.parser.get("Path").result.str(),
              R"(parser:PFBM/fbm;BitMapIFO="FIX(2).HEX2RAW";BitMapOFO="RAW2HEX";BitMapDisplay="RAW2BIT")");
    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("C0ABz", parsed.get()), 0);
    EXPECT_EQ(outline(parsed.get()), "Bitmap=11000000 One=AB Two=z");
    EXPECT_EQ(host.compile(parsed.get()), "C0ABz");

    // A bitmap IFO that reads more than 32 bytes is refused.
    ASSERT_EQ(host.parser.put("BitMapIFO", Var::text("FIX(33)")).status, 0u);
    Tree big(R"j({"name":"msg","group":true})j");
    const Outcome r = host.parser.call("Parse", {Var::blob(std::string(40, 'x')), Var::integer(big.get()), Var::text("")});
    EXPECT_EQ(r.description, "(E207004B) FIX: Bitmap may not exceed 255 bits");
}

TEST(Fbm, ASetBitWithoutADefinitionStopsTheParse) {
    Iso8583Host host("fbm", kDefs, "PFBM");
    // Definitions edited through their handle count as they stand: a new
    // first definition of bit 1 is the one found.
    const auto defs = static_cast<VEXNODE>(host.parser.get("Definitions").result.v.u.i);
    Tree first(R"j({"name":"NewOne","props":{"Bit":1,"IFO":"FIX(3)"}})j");
    ASSERT_EQ(VEXTreeAddChild(defs, first.get(), 0), 0u);
    Tree edited(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("\x80" "ABC"s, edited.get()), 0);
    EXPECT_EQ(outline(edited.get()), "Bitmap=80 NewOne=ABC");
    VEXTreeDeleteNode(VEXTreeGetChild(defs, 0), -1);

    Tree tree(R"j({"name":"msg","group":true})j");
    // Bits 1 and 5: field 1 is read, 5 has no definition.
    EXPECT_EQ(host.parse("\x88" "ABcd"s, tree.get()), 0xE207000B);
    EXPECT_EQ(outline(tree.get()), "Bitmap=88 One=AB");
    EXPECT_EQ(propOf(tree.get(), "Error"), "(E207000B) fbm: missing definition for Bit = 5");
    EXPECT_EQ(propOf(tree.get(), "Offset"), "3");
}

TEST(Fbm, DefinitionsWithoutABitAreRefused) {
    Iso8583Host host("fbm", kDefs, "PFBM");
    Tree bad(R"j({"name":"defs","group":true,"children":[{"name":"One","props":{"IFO":"FIX(2)"}}]})j");
    const Outcome set = host.parser.put("Definitions", Var::integer(bad.get()));
    EXPECT_EQ(set.description, "(E207000A) fbm: missing property Bit for node One");
    EXPECT_EQ(host.parser.get("Definitions").result.v.u.i, 0);
}

}  // namespace
