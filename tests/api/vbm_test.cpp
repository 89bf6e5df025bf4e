// The variable-bitmap parser through the dispatch ABI: the blocks and
// continuation bits it writes, the fields it refuses to write unannounced,
// records, message loops, and what a parse makes of short, long and
// malformed messages.
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

// A two-byte header, bitmap blocks of eight bytes written as hexadecimal
// text (the bitmap group names no formats), the data fields, a two-byte
// footer.
std::string definitions(std::string_view bitmapProps = R"j("ParserType":2,"Length":8)j",
                        std::string_view bitmapChild = R"j({"name":"Map"})j") {
    return R"j({"name":"defs","group":true,"children":[
        {"name":"Header","group":true,"props":{"ParserType":1,"Length":2},"children":[{"name":"Kind","props":{"IFO":"FIX(2)"}}]},
        {"name":"Bitmap","group":true,"props":{)j" +
           std::string(bitmapProps) + "},\"children\":[" + std::string(bitmapChild) + R"j(]},
        {"name":"Fields","group":true,"props":{"ParserType":3},"children":[
            {"name":"Two","props":{"Bit":2,"IFO":"FIX(3)"}},{"name":"Three","props":{"Bit":3,"IFO":"FIX(1)"}},
            {"name":"Continued","props":{"Bit":65,"IFO":"FIX(1)"}},{"name":"Seventy","props":{"Bit":70,"IFO":"LLVAR","OFO":"LLVAR"}},
            {"name":"Last","props":{"Bit":192,"IFO":"FIX(1)"}},{"name":"Beyond","props":{"Bit":193,"IFO":"FIX(1)"}}]},
        {"name":"Footer","group":true,"props":{"ParserType":4,"Length":2},"children":[{"name":"End","props":{"IFO":"FIX(2)"}}]}]})j";
}

std::string node(std::string_view name, int kind, std::string_view value, std::string_view more = "") {
    return R"j({"name":")j" + std::string(name) + R"j(","props":{"ParserType":)j" + std::to_string(kind) +
           R"j(,"Value":{"istr":")j" + std::string(value) + "\"}" + std::string(more) + "}}";
}

// A data field's value node; Seventy keeps its output format, as a parsed
// copy of its definition would.
std::string field(std::string_view name, int bit, std::string_view value) {
    return node(name, 3, value, ",\"Bit\":" + std::to_string(bit) + (bit == 70 ? R"j(,"OFO":"LLVAR")j" : ""));
}

// A value tree: header H1, the data fields given, footer ZZ, then after.
std::string values(const std::string& fields, const std::string& after = "") {
    return R"j({"name":"msg","group":true,"children":[)j" + node("Kind", 1, "H1") + (fields.empty() ? "" : ",") + fields + "," +
           node("End", 4, "ZZ") + after + "]}";
}

std::string block(std::string_view firstBytes) { return std::string(firstBytes) + std::string(16 - firstBytes.size(), '0'); }


Outcome parseCall(Iso8583Host& host, std::string_view message, VEXNODE root) {
    return host.parser.call("Parse", {Var::blob(message), Var::integer(root), Var::text("")});
}

TEST(Vbm, BitmapBlocksCarryTheirContinuationBitsAndNothingIsWrittenUnannounced) {
    struct Case {
        const char* what;
        std::string fields;
        std::string message;  // only the header when the compile is refused
        int64_t status;
        std::string report;
    };
    const Case cases[] = {
        {"bit 2 alone needs one block", field("Two", 2, "ABC"), "H1" + block("40") + "ABCZZ", 0, ""},
        // A field is announced exactly when the walk writes it: by its
        // parent's ProcessNull, and only before the footer.
        {"an empty field's own ProcessNull does not write it",
         node("Two", 3, "", R"j(,"Bit":2,"ProcessNull":true,"OFO":"PADR(\" \",3)")j") + "," + field("Three", 3, "x"),
         "H1" + block("20") + "xZZ", 0, ""},
        // The first block's first byte is 0xC0: continuation and bit 2. Bit
        // 70 is in the second block, whose own first bit (65) stays clear.
        {"bits 2 and 70 need two blocks", field("Two", 2, "ABC") + "," + field("Seventy", 70, "hello"),
         "H1" + block("C0") + block("04") + "ABC05helloZZ", 0, ""},
        {"bit 192 is the last of three blocks", field("Last", 192, "x"),
         "H1" + block("80") + block("80") + "0000000000000001" "xZZ", 0, ""},
        {"bit 193 would need a fourth block", field("Two", 2, "ABC") + "," + field("Beyond", 193, "x"), "H1", 0xE2070049,
         "vbm: Invalid value for bit Beyond"},
        {"bit 65 is the second block's continuation bit", field("Continued", 65, "x"), "H1", 0xE2070049,
         "vbm: Invalid value for bit Continued"},
        {"the same bit twice", field("Two", 2, "ABC") + "," + field("Two", 2, "DEF"), "H1", 0xE2070048,
         "vbm: Bit property of Two is not in ascending order"},
        {"descending bits", field("Three", 3, "x") + "," + field("Two", 2, "ABC"), "H1", 0xE2070048,
         "vbm: Bit property of Two is not in ascending order"},
        {"a bit that is no number", node("Odd", 3, "x", R"j(,"Bit":"two")j"), "H1", 0xE2070047,
         "vbm: Invalid property for bit 0"},
        {"a field without data leaves its bit clear", field("Two", 2, "") + "," + field("Three", 3, "x"),
         "H1" + block("20") + "xZZ", 0, ""},
    };
    Iso8583Host host("vbm", definitions(), "PVBM");
    Tree late(values(field("Two", 2, "ABC"), "," + field("Three", 3, "x")));
    EXPECT_EQ(host.compile(late.get()), "H1" + block("40") + "ABCZZ");
    for (const Case& c : cases) {
        Tree tree(values(c.fields));
        int64_t status = -1;
        EXPECT_EQ(host.compile(tree.get(), &status), c.message) << c.what;
        EXPECT_EQ(status, c.status) << c.what;
        if (!c.report.empty()) {
            EXPECT_NE(propOf(tree.get(), "Error").find(c.report), std::string::npos) << c.what << ": " << propOf(tree.get(), "Error");
            continue;
        }
        Tree parsed(R"j({"name":"msg","group":true})j");
        EXPECT_EQ(host.parse(c.message, parsed.get()), 0) << c.what;
        EXPECT_EQ(host.compile(parsed.get()), c.message) << c.what;
    }
}

TEST(Vbm, RecordsUnderOneBitmapRepeatTheirBits) {
    Iso8583Host host("vbm", definitions(), "PVBM");
    ASSERT_EQ(host.parser.put("RecordCount", Var::integer(2)).status, 0u);
    const std::string both = field("Two", 2, "ABC") + "," + field("Three", 3, "x") + "," + field("Two", 2, "DEF") + "," +
                             field("Three", 3, "y");
    Tree tree(values(both));
    const std::string message = "H1" + block("60") + "ABCxDEFyZZ";
    EXPECT_EQ(host.compile(tree.get()), message);
    // A record without a field the bitmap announces would shift every field
    // after it for a reader; so would a record too few.
    const std::string noThree = field("Two", 2, "ABC") + "," + field("Three", 3, "x") + "," + field("Two", 2, "DEF");
    for (const std::string& fields : {noThree, field("Two", 2, "ABC")}) {
        Tree uneven(values(fields));
        int64_t status = 0;
        EXPECT_EQ(host.compile(uneven.get(), &status), "H1");
        EXPECT_EQ(status, 0xE2070011);
        EXPECT_EQ(propOf(uneven.get(), "Error"), "(E2070011) vbm: data to short to process Record 2");
    }

    ASSERT_EQ(host.parser.put("RecordCount", Var::integer(3)).status, 0u);
    ASSERT_EQ(host.parser.put("GroupRecords", Var::boolean(true)).status, 0u);
    const std::string three = "H1" + block("40") + "ABCDEFGHIZZ";
    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(three, parsed.get()), 0);
    EXPECT_EQ(outline(parsed.get()), "Kind=H1 Map=" + block("40") + " Record 1{Two=ABC} Record 2{Two=DEF} Record 3{Two=GHI} End=ZZ");
    EXPECT_EQ(host.compile(parsed.get()), three);
}

TEST(Vbm, MessagesBackToBackLoopOrRemain) {
    Iso8583Host host("vbm", definitions(), "PVBM");
    const std::string one = "H1" + block("40") + "ABCZZ", two = "H2" + block("20") + "xZZ";

    Tree rest(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(one + two, rest.get()), 0x62060065);
    EXPECT_EQ(outline(rest.get()), "Kind=H1 Map=" + block("40") + " Two=ABC End=ZZ Remaining Data=" + two);
    const VEXNODE remaining = VEXTreeGetChild(rest.get(), 4);
    EXPECT_EQ(propOf(remaining, "EC"), std::to_string(0x62060065));
    EXPECT_NE(propOf(remaining, "Error").find("FIX: there are 21 unused characters after parsing"), std::string::npos)
        << propOf(remaining, "Error");
    EXPECT_EQ(host.compile(rest.get()), one);  // remaining data is no part of a message

    ASSERT_EQ(host.parser.put("MessageLoop", Var::boolean(true)).status, 0u);
    ASSERT_EQ(host.parser.put("FlatParsing", Var::boolean(false)).status, 0u);
    Tree looped(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(one + two, looped.get()), 0);
    EXPECT_EQ(outline(looped.get()), "Message 1{Header{Kind=H1} Bitmap{Map=" + block("40") +
                                         "} Two=ABC Footer{End=ZZ}} Message 2{Header{Kind=H2} Bitmap{Map=" + block("20") +
                                         "} Three=x Footer{End=ZZ}}");
    EXPECT_EQ(host.compile(looped.get()), one + two);
    // A report of an earlier compile does not outlive it.
    const VEXNODE three = VEXTreeGetChild(VEXTreeGetChild(looped.get(), 1), 2);
    Var text = Var::text("x");
    ASSERT_EQ(VEXTreeSetPropA(three, "Value", &text.v), 0u);
    int64_t status = 0;
    host.compile(looped.get(), &status);
    EXPECT_EQ(status, 0xE2060060);
    Var blob = Var::blob("x");
    ASSERT_EQ(VEXTreeSetPropA(three, "Value", &blob.v), 0u);
    EXPECT_EQ(host.compile(looped.get(), &status), one + two);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(propOf(VEXTreeGetChild(looped.get(), 1), "EC"), "<none>");
}

TEST(Vbm, DeeplyNestedDataGroupsEndWithAStatus) {
    Iso8583Host host("vbm", definitions(), "PVBM");
    Tree tree(values(""));
    Var kind = Var::integer(3);
    VEXNODE inner = VEXTreeCreateNode("g", VEX_NODE_GROUP);
    for (int i = 0; i < 100000; ++i) {
        VEXTreeSetPropA(inner, "ParserType", &kind.v);
        const VEXNODE outer = VEXTreeCreateNode("g", VEX_NODE_GROUP);
        VEXTreeAddChild(outer, inner, -1);
        inner = outer;
    }
    VEXTreeSetPropA(inner, "ParserType", &kind.v);
    ASSERT_EQ(VEXTreeAddChild(tree.get(), inner, 1), 0u);
    int64_t status = 0;
    EXPECT_EQ(host.compile(tree.get(), &status), "H1");
    EXPECT_EQ(status, 0xE2070047);  // the inner groups are fields without a Bit
}

TEST(Vbm, BinaryBitmapThroughTheBitmapFormats) {
    // Blocks of two bytes: bits 1, 17, 33 ... announce one more block, so
    // bit 70 is in the fifth.
    const std::string blockNode = R"j({"name":"Block","props":{"IFO":"FIX(2).RAW2HEX","OFO":"HEX2RAW","RepeatNode":1}})j";
    Iso8583Host host("vbm", definitions(R"j("ParserType":2,"Length":2)j", blockNode), "PVBM");
    Tree tree(values(field("Two", 2, "ABC") + "," + field("Seventy", 70, "hello")));
    const std::string message = "H1\xC0\x00\x80\x00\x80\x00\x80\x00\x04\x00" "ABC05helloZZ"s;
    EXPECT_EQ(host.compile(tree.get()), message);
    EXPECT_EQ(outline(tree.get()), "Kind=H1 Block=C000 Block=8000 Block=8000 Block=8000 Block=0400 Two=ABC Seventy=hello End=ZZ");

    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(message, parsed.get()), 0);
    EXPECT_EQ(outline(parsed.get()), outline(tree.get()));
}

TEST(Vbm, MalformedMessagesEndWithAReportAndReadNothingBeyond) {
    struct Case {
        const char* what;
        std::string message;
        uint32_t status;  // of the call: a message that cannot be parsed at all is refused
        int64_t result;
        std::string report;  // on the value tree's root
        std::string outline;
    };
    const std::string two = "H1" + block("40");
    const Case cases[] = {
        {"shorter than header and footer", "H1Z", 0xE207004A, 0, "", ""},
        {"ends inside the bitmap", "H1C00000ZZ", 0, 0xE2070011, "vbm: data to short to process bitmap", "Kind=H1"},
        {"a bitmap that is no hexadecimal text", "H1C0000000000000ZZ0000000000000000ZZ", 0, 0xE2070011,
         "vbm: data to short to process bitmap", "Kind=H1"},
        {"a third block announces a fourth", "H1" + block("80") + block("80") + block("80") + "ZZ", 0, 0xE207004B,
         "vbm: Bitmap may not exceed 255 bits", "Kind=H1"},
        {"a bit without a definition", "H1" + block("10") + "xZZ", 0, 0xE207000B, "vbm: missing definition for Bit = 4",
         "Kind=H1 Map=" + block("10")},
        {"no field where the bitmap announces one", two, 0, 0xE2070011, "vbm: data to short to process Record 1",
         "Kind=H1 Map=" + block("40")},
        {"a footer cut short", two + "ABCZ", 0, 0xE2070011, "vbm: data to short to process Footer",
         "Kind=H1 Map=" + block("40") + " Two=ABC End=Z"},
    };
    Iso8583Host host("vbm", definitions(), "PVBM");
    for (const Case& c : cases) {
        Tree tree(R"j({"name":"msg","group":true})j");
        const Outcome r = parseCall(host, c.message, tree.get());
        EXPECT_EQ(r.status ? r.code : 0u, c.status) << c.what;
        if (c.status) {
            EXPECT_EQ(r.description, "(E207004A) vbm: Data shorter than header and footer") << c.what;
            EXPECT_EQ(kortest::childCount(tree.get()), 0u) << c.what;
            continue;
        }
        EXPECT_EQ(r.result.v.u.i, c.result) << c.what;
        EXPECT_NE(propOf(tree.get(), "Error").find(c.report), std::string::npos) << c.what << ": " << propOf(tree.get(), "Error");
        EXPECT_EQ(outline(tree.get()), c.outline) << c.what;
    }
}

TEST(Vbm, RecordsThatReadNothingDoNotRepeatWithoutEnd) {
    std::string defs = definitions();
    defs.replace(defs.find(R"j("IFO":"FIX(3)")j"), 14, R"j("IFO":"FIX(0)")j");
    Iso8583Host host("vbm", defs, "PVBM");
    ASSERT_EQ(host.parser.put("RecordCount", Var::integer(UINT32_MAX)).status, 0u);
    ASSERT_EQ(host.parser.put("GroupRecords", Var::boolean(true)).status, 0u);
    Tree tree(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("H1" + block("40") + "ZZ", tree.get()), 0xE2070011);
    EXPECT_EQ(outline(tree.get()), "Kind=H1 Map=" + block("40") + " Record 1{Two}");

    // A bitmap that announces nothing has no records, however many are asked for.
    Tree empty(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("H1" + block("") + "ZZ", empty.get()), 0);
    EXPECT_EQ(outline(empty.get()), "Kind=H1 Map=" + block("") + " End=ZZ");
}

TEST(Vbm, DefinitionTreesMissingASectionOrItsLengthAreRefused) {
    const std::string good = definitions();
    auto without = [&](std::string_view section) {
        std::string d = good;
        const auto at = d.find(section);
        d.replace(d.find("\"ParserType\":", at), 14, "\"ParserType\":9");
        return d;
    };
    struct Case {
        std::string tree;
        std::string description;
    };
    const Case cases[] = {
        {without("Header"), "(E2070041) vbm: Header definition node missing"},
        {without("Footer"), "(E2070042) vbm: Footer definition node missing"},
        {without("Bitmap"), "(E2070043) vbm: Bitmap definition node missing"},
        {without("Fields"), "(E2070044) vbm: Fields definition node missing"},
        {definitions(R"j("ParserType":2,"Length":"eight")j"), "(E2070008) vbm: property Length should be a integer"},
        {definitions(R"j("ParserType":2)j"), "(E2070008) vbm: property Length should be a number of bytes from 1 to 31"},
        {definitions(R"j("ParserType":2,"Length":32)j"), "(E2070008) vbm: property Length should be a number of bytes from 1 to 31"},
    };
    for (const Case& c : cases) {
        Iso8583Host host("vbm", good, "PVBM");
        Tree defs(c.tree);
        const Outcome set = host.parser.put("Definitions", Var::integer(defs.get()));
        EXPECT_NE(set.status, 0u) << c.description;
        EXPECT_EQ(set.description, c.description);
        // Nothing of the refused tree, nor of the one before, is kept.
        EXPECT_EQ(host.parser.get("Definitions").result.v.u.i, 0) << c.description;
        EXPECT_NE(host.parser.call("Open", {}).status, 0u) << c.description;
    }
}

TEST(Vbm, MembersStartAtTheirDefaultsAndShowInThePath) {
    Iso8583Host host("vbm", definitions(), "PVBM");
    constexpr uint32_t kProp = KOR_MEMBER_PROPERTY;
    kortest::expectMembers(host.parser, {
        {"FlatParsing", 109, kProp, "When false, creates an extra level to separate header, bitmaps, fields and footer",
         "payfmt#FlatParsing", 0},
        {"GroupRecords", 108, kProp, "Puts multiple record fields in separate groups when RecordCount is more than 1",
         "payfmt#GroupRecords", 0},
        {"MessageLoop", 115, kProp, "Allows to the VBM parser to loop through concatenanted messages", "payfmt#MessageLoop", 0},
        {"RecordCount", 107, kProp, "Specifies the number of records for a same bitmap", "payfmt#RecordCount", 0},
    }, true);
    EXPECT_EQ(host.parser.get("FlatParsing").result.v.u.b, 1);
    EXPECT_EQ(host.parser.get("GroupRecords").result.v.u.b, 0);
    EXPECT_EQ(host.parser.get("MessageLoop").result.v.u.b, 0);
    EXPECT_EQ(host.parser.get("RecordCount").result.v.u.i, 1);
    EXPECT_EQ(host.parser.get("ProcessNull").result.v.u.b, 0);
    EXPECT_EQ(host.parser.get("Path").result.str(), "parser:PVBM/vbm");
    EXPECT_NE(host.parser.put("RecordCount", Var::integer(-1)).status, 0u);
    ASSERT_EQ(host.parser.put("RecordCount", Var::integer(4)).status, 0u);
    ASSERT_EQ(host.parser.put("FlatParsing", Var::boolean(false)).status, 0u);
    const std::string path = host.parser.get("Path").result.str();
    EXPECT_EQ(path, "parser:PVBM/vbm;FlatParsing=false;RecordCount=4");
    KOROBJ s = nullptr;
    ASSERT_EQ(GetFormatRef(&s), 0);
    const kortest::Obj settings(s);
    Tree defs(definitions());
    const Outcome made = settings.call("ParserCreateFromPath", {Var::text(path), Var::integer(defs.get())});
    ASSERT_EQ(made.status, 0u) << made.description;
    const kortest::Obj copy = kortest::Obj::held(made.result);
    EXPECT_EQ(copy.get("RecordCount").result.v.u.i, 4);
    EXPECT_EQ(copy.get("FlatParsing").result.v.u.b, 0);
    // The definitions a host reads back are the data fields, each marked as one.
    const auto fields = static_cast<VEXNODE>(host.parser.get("Definitions").result.v.u.i);
    EXPECT_EQ(kortest::childCount(fields), 6u);
    EXPECT_EQ(propOf(VEXTreeGetChild(fields, 0), "ParserType"), "3");
}

}  // namespace
