// The length-tag-value parsers through the dispatch ABI: the header each mode
// writes and reads back, BER nesting and long lengths, empty values, and what
// a parse makes of unknown tags, stray bytes and lengths that do not fit.
#include <gtest/gtest.h>

#include "api/iso8583_host.h"

namespace {

using namespace std::string_literals;
using kortest::Iso8583Host;
using kortest::Obj;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::hexOf;
using kortest::propOf;

constexpr uint32_t kGet = KOR_DISPATCH_GET | KOR_DISPATCH_METHOD;

// Values without chains are the element bytes as they stand; 02 and 9F41 read
// two bytes of whatever their element holds.
constexpr std::string_view kDefs = R"j({"name":"defs","group":true,"children":[
    {"name":"one","props":{"Tag":"01"}},{"name":"two","props":{"Tag":"02","IFO":"FIX(2)"}},
    {"name":"pan","props":{"Tag":"5A"}},{"name":"other","props":{"Tag":"9F03"}},
    {"name":"seq","props":{"Tag":"9F41","IFO":"FIX(2)"}},{"name":"tpl","props":{"Tag":"E1"}},
    {"name":"fci","props":{"Tag":"6F"}},{"name":"prop","props":{"Tag":"A5"}},
    {"name":"disc","props":{"Tag":"BF0C"}},{"name":"log","props":{"Tag":"9F4D"}},
    {"name":"trail","props":{"Tag":"TDL","Name":"Trailing"}}]})j";

std::string values(std::string_view children) {
    return R"j({"name":"msg","group":true,"children":[)j" + std::string(children) + "]}";
}

std::string leaf(std::string_view tag, std::string_view istr, std::string_view more = "") {
    return R"j({"name":"v","props":{"Tag":")j" + std::string(tag) + R"j(","Value":{"istr":")j" + std::string(istr) + "\"}" +
           std::string(more) + "}}";
}

std::string outline(VEXNODE root) { return kortest::outline(root, true); }

// The whole call, whatever it answers.
Outcome parseCall(const Iso8583Host& host, std::string_view message, VEXNODE root) {
    return host.parser.call("Parse", {Var::blob(message), Var::integer(root), Var::text("")});
}

TEST(Ltv, EachClassStartsWithItsModeAndFormats) {
    struct Case {
        const char* type;
        int64_t mode;
        const char *lenIfo, *lenOfo, *tagIfo, *tagOfo;
        bool named;  // the formats can be reached by name
    };
    const Case cases[] = {
        {"PLTV", 0, "FIX(2).DEC2RAW", "RAW2DEC.PADL(\"0\",2)", "FIX(2)", "PADR(\"_\",2)", true},
        {"PTLV", 1, "FIX(2).DEC2RAW", "LLVAR.FIX(2)", "FIX(2)", "PADR(\"_\",2)", true},
        {"PBER", 2, "berlen", "berlen", "bertag", "hex2raw", false},
        {"PTV", 3, "", "", "FIX(2)", "PADR(\"_\",2)", true},
    };
    for (const Case& c : cases) {
        const Obj parser = Obj::create(c.type);
        const auto text = [&](int32_t dispid) { return parser.invoke(dispid, kGet).result.str(); };
        EXPECT_EQ(text(101), "") << c.type;
        EXPECT_EQ(text(102), c.lenIfo) << c.type;
        EXPECT_EQ(text(103), c.lenOfo) << c.type;
        EXPECT_EQ(text(104), "") << c.type;
        EXPECT_EQ(text(105), c.tagIfo) << c.type;
        EXPECT_EQ(text(106), c.tagOfo) << c.type;
        EXPECT_EQ(parser.invoke(125, kGet).result.v.u.i, c.mode) << c.type;
        EXPECT_EQ(parser.get("ProcessNull").result.v.u.b, 1) << c.type;
        for (const char* name : {"LenIfo", "Mode"}) {
            const Outcome byName = parser.get(name);
            EXPECT_EQ(byName.status == 0, c.named) << c.type << " " << name;
            if (!c.named) {
                EXPECT_EQ(byName.description, "Member not found: 'TPBER."s + name + "'");
            }
        }
    }
}

TEST(Ltv, CompileWritesEachModesHeaderAndParsesItBack) {
    const std::string nested = R"j({"name":"f","group":true,"props":{"Tag":"6F"},"children":[
        {"name":"p","group":true,"props":{"Tag":"A5"},"children":[{"name":"d","group":true,"props":{"Tag":"BF0C"},
        "children":[{"name":"l","props":{"Tag":"9F4D","Value":{"blob":"0B0A"}}}]}]}]})j";
    struct Case {
        const char* what;
        const char* type;
        std::string children, message;
        bool same;  // parsing the message and compiling it again gives it back
    };
    const Case cases[] = {
        {"LTV counts tag and value", "PLTV", leaf("01", "ABC"), "0501ABC", true},
        {"TLV", "PTLV", leaf("01", "ABC") + "," + leaf("02", "xy"), "0103ABC0202xy", true},
        {"TV", "PTV", leaf("02", "xy") + "," + leaf("01", "ABC"), "02xy01ABC", true},
        {"constructed tag nests its children", "PBER",
         R"j({"name":"t","group":true,"props":{"Tag":"E1"},"children":[)j" + leaf("9F03", "#00#00#00#01#25#00") + "]}",
         "\xE1\x09\x9F\x03\x06\x00\x00\x00\x01\x25\x00"s, true},
        {"Constructed false writes the node's own value", "PBER", leaf("E1", "Z#01#12", R"j(,"Constructed":false)j"),
         "\xE1\x03\x5A\x01\x12"s, true},
        {"three levels deep", "PBER", nested, "\x6F\x0A\xA5\x08\xBF\x0C\x05\x9F\x4D\x02\x0B\x0A"s, true},
        {"BerLenMinSize 3", "PBER", leaf("9F03", "#01#02", R"j(,"BerLenMinSize":3)j"), "\x9F\x03\x82\x00\x02\x01\x02"s, false},
        {"BerLenMinSize 2", "PBER", leaf("9F03", "#01#02", R"j(,"BerLenMinSize":2)j"), "\x9F\x03\x81\x02\x01\x02"s, false},
        {"empty and missing values are written with length 0", "PBER",
         leaf("9F03", "") + R"j(,{"name":"n","props":{"Tag":"9F03"}})j", "\x9F\x03\x00\x9F\x03\x00"s, true},
        {"trailing data is never written", "PBER", leaf("5A", "#12") + "," + leaf("TDL", "zz"), "\x5A\x01\x12"s, true},
    };
    for (const Case& c : cases) {
        Iso8583Host host("ltv", kDefs, c.type);
        Tree tree(values(c.children));
        int64_t status = -1;
        EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), hexOf(c.message)) << c.what;
        EXPECT_EQ(status, 0) << c.what;
        Tree parsed(values(""));
        EXPECT_EQ(host.parse(c.message, parsed.get()), 0) << c.what;
        if (c.same) {
            EXPECT_EQ(hexOf(host.compile(parsed.get())), hexOf(c.message)) << c.what;
        }
    }
}

TEST(Ltv, BerLengthsTakeAsManyBytesAsTheyNeed) {
    Iso8583Host host("ltv", kDefs, "PBER");
    const std::pair<std::size_t, std::string> cases[] = {
        {127, "\x7F"s}, {128, "\x81\x80"s}, {200, "\x81\xC8"s}, {255, "\x81\xFF"s}, {256, "\x82\x01\x00"s}, {300, "\x82\x01\x2C"s},
    };
    for (const auto& [length, header] : cases) {
        const std::string value(length, 'x');
        Tree tree(values(leaf("5A", value) + "," + leaf("9F03", "#01")));
        const std::string message = "\x5A"s + header + value + "\x9F\x03\x01\x01"s;
        EXPECT_EQ(hexOf(host.compile(tree.get())), hexOf(message)) << length;
        Tree parsed(values(""));
        EXPECT_EQ(host.parse(message, parsed.get()), 0) << length;
        EXPECT_EQ(outline(parsed.get()), "pan=" + hexOf(value) + " other=01") << length;
    }
}

TEST(Ltv, ProcessNullDecidesWhetherAnEmptyElementIsWritten) {
    struct Case {
        bool processNull;
        const char* message;
    };
    // The middle node says the opposite of the parser.
    for (const Case& c : {Case{false, "02000101Q"}, Case{true, "01000101Q"}}) {
        Iso8583Host host("ltv", kDefs, "PTLV");
        ASSERT_EQ(host.parser.put("ProcessNull", Var::boolean(c.processNull)).status, 0u);
        const std::string own = c.processNull ? "false" : "true";
        Tree tree(values(leaf("01", "") + R"j(,{"name":"n","props":{"Tag":"02","ProcessNull":)j" + own + "}}," + leaf("01", "Q")));
        EXPECT_EQ(host.compile(tree.get()), c.message) << c.processNull;
    }
}

TEST(Ltv, ParseReportsWhatItCouldNotRead) {
    struct Case {
        const char* what;
        const char* type;
        std::string message;
        int64_t status;
        const char* outline;
        int node;  // which child carries the report; -1 for the root
        const char* error;
    };
    const Case cases[] = {
        {"spaces after the last element", "PBER", "\x5A\x01\x12   "s, 0, "pan=12", -1, "<none>"},
        {"LTV elements", "PLTV", "0501ABC0402xy", 0, "one=414243 two=7879", -1, "<none>"},
        {"unknown tag kept raw under its own name", "PBER", "\x5A\x01\x12\xDF\x60\x02\x01\x23"s, 0x6207000B,
         "pan=12 DF60=0123", 1, "(6207000B) ltv: missing definition for Tag = DF60"},
        {"BER length past the end", "PBER", "\x5A\x05\x12"s, 0x62070010, "pan=12", 0,
         "(62070010) BERLEN: length field indicates 5 - assuming maximum length of 1"},
        {"LTV length past the end", "PLTV", "0601ABC", 0x62070010, "one=414243", 0,
         "(62070010) FIX: length field indicates 6 - assuming maximum length of 5"},
        {"value longer than its definition reads", "PBER", "\x9F\x41\x04" "1234"s, 0x62070012, "seq=3132", 0,
         "(62070012) ltv: remaining data after processing 9F41"},
        {"a header cut short is no element", "PTLV", "0103ABC0", 0xE2070031, "one=414243 trail=30", 1,
         "(E2070031) ltv: Unrecognised TLV data: '0'"},
        {"length field no number: the conversion's status", "PTLV", "0103ABC01x#", 0xE2060028, "one=414243 trail=30317823",
         1, "(E2070031) ltv: Unrecognised TLV data: '01x#23'"},
    };
    for (const Case& c : cases) {
        Iso8583Host host("ltv", kDefs, c.type);
        Tree tree(values(""));
        EXPECT_EQ(host.parse(c.message, tree.get()), c.status) << c.what;
        EXPECT_EQ(outline(tree.get()), c.outline) << c.what;
        EXPECT_EQ(propOf(c.node < 0 ? tree.get() : tree.child(c.node), "Error"), c.error) << c.what;
    }
    // The unknown tag's node is named after it, and goes back as it came.
    Iso8583Host host("ltv", kDefs, "PBER");
    Tree tree(values(""));
    const std::string message = "\xDF\x60\x02\x01\x23\x5A\x01\x12"s;
    host.parse(message, tree.get());
    EXPECT_EQ(propOf(tree.child(0), "Name"), "DF60");
    EXPECT_EQ(propOf(tree.child(0), "Tag"), "DF60");
    EXPECT_EQ(hexOf(host.compile(tree.get())), hexOf(message));
}

TEST(Ltv, DataThatIsNoElementIsReportedWithOrWithoutAPlaceForIt) {
    const std::string message = "\x5A\x01\x12?\xA3"s;  // a tag that does not end
    for (const bool withTdl : {true, false}) {
        Iso8583Host host("ltv", withTdl ? kDefs : R"j({"name":"defs","group":true,"children":[
            {"name":"pan","props":{"Tag":"5A"}}]})j", "PBER");
        Tree tree(values(""));
        EXPECT_EQ(host.parse(message, tree.get()), 0xE2070031) << withTdl;
        EXPECT_EQ(outline(tree.get()), withTdl ? "pan=12 trail=3FA3" : "pan=12") << withTdl;
        const char* report = "(E2070031) ltv: Unrecognised TLV data: '?#A3'";
        EXPECT_EQ(propOf(tree.get(), "Error"), report) << withTdl;
        if (withTdl) {
            EXPECT_EQ(propOf(tree.child(1), "Name"), "Trailing");
            EXPECT_EQ(propOf(tree.child(1), "Error"), report);
        }
    }
}

TEST(Ltv, AGenericDecoderTakesEveryTagWithoutComplaint) {
    const std::string message = "\x9F\x02\x02" "12" "\xE1\x04\x5A\x02\x12\x34"s;
    for (const bool recurse : {true, false}) {
        const std::string defs = R"j({"name":"defs","group":true,"children":[
            {"name":"any","props":{"Tag":"TNF","NoTagSearch":true,"AllowRecurse":)j" + std::string(recurse ? "true" : "false") +
                                 R"j(}},{"name":"amount","props":{"Tag":"9F02","IFO":"FIX(1)"}}]})j";
        Iso8583Host host("ltv", defs, "PBER");
        Tree tree(values(""));
        EXPECT_EQ(host.parse(message, tree.get()), 0) << recurse;
        EXPECT_EQ(outline(tree.get()), recurse ? "9F02=3132 E1{5A=1234}" : "9F02=3132 E1=5A021234") << recurse;
        EXPECT_EQ(propOf(tree.child(1), "Name"), "E1");
        int64_t status = -1;
        EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), hexOf(message)) << recurse;
        EXPECT_EQ(status, 0) << recurse;
    }
}

TEST(Ltv, ModeOutsideTheFourIsRefused) {
    Iso8583Host host("ltv", kDefs, "PBER");
    ASSERT_EQ(host.parser.invoke(125, KOR_DISPATCH_PUT, {Var::integer(7)}).status, 0u);
    EXPECT_EQ(host.parser.invoke(125, kGet).result.v.u.i, 7);
    const char* report = "(E207000D) ltv: mode 7 not supported";
    Tree parsed(values(""));
    EXPECT_EQ(host.parse("\x5A\x01\x12"s, parsed.get()), 0xE207000D);
    EXPECT_EQ(propOf(parsed.get(), "Error"), report);
    Tree tree(values(leaf("5A", "#12")));
    int64_t status = 0;
    EXPECT_EQ(host.compile(tree.get(), &status), "");
    EXPECT_EQ(status, 0xE207000D);
    EXPECT_EQ(propOf(tree.get(), "Error"), report);
}

TEST(Ltv, LengthFieldsAreChecked) {
    // Tag and value of 100 bytes take three digits where the reader takes two.
    Iso8583Host ltv("ltv", kDefs, "PLTV");
    Tree fits(values(leaf("01", std::string(97, 'A'))));
    EXPECT_EQ(ltv.compile(fits.get()), "9901" + std::string(97, 'A'));
    Tree tooLong(values(leaf("01", std::string(98, 'A'))));
    int64_t status = 0;
    EXPECT_EQ(ltv.compile(tooLong.get(), &status), "");
    EXPECT_EQ(status, 0xE2060023);
    EXPECT_EQ(propOf(tooLong.child(0), "Error"), "(E2060023) RAW2DEC.PADL(\"0\",2): length field may not exceed 2 characters");

    // LenIfm checks the length field as it stands, before its conversion.
    Iso8583Host tlv("ltv.read", kDefs, "PTLV");
    ASSERT_EQ(tlv.parser.put("LenIfo", Var::text("FIX(2).HEX2RAW")).status, 0u);
    ASSERT_EQ(tlv.parser.put("LenIfm", Var::text("N2")).status, 0u);
    Tree good(values(""));
    EXPECT_EQ(tlv.parse("0110ABCDEFGHIJKLMNOP", good.get()), 0);
    Tree hex(values(""));
    EXPECT_EQ(tlv.parse("010AABCDEFGHIJ", hex.get()), 0x62060011);
    EXPECT_EQ(propOf(hex.child(0), "Error"), "(62060011) 'A' is not a N2 character");

    Iso8583Host written("ltv.write", kDefs, "PTLV");
    ASSERT_EQ(written.parser.put("LenIfm", Var::text("A2")).status, 0u);
    Tree tree(values(leaf("01", "ABC")));
    written.compile(tree.get(), &status);
    EXPECT_EQ(status, 0x62060011);
    EXPECT_EQ(propOf(tree.child(0), "Error"), "(62060011) '3' is not a A2 character");
}

// count constructed E1 elements, one inside the other, around 5A 01 12.
std::string nestedMessage(int count) {
    std::string m = "\x5A\x01\x12"s;
    for (int i = 0; i < count; ++i) {
        const std::size_t n = m.size();
        const std::string length = n < 0x80 ? std::string(1, char(n)) : n < 0x100 ? "\x81"s + char(n) : "\x82"s + char(n >> 8) + char(n);
        m = "\xE1"s + length + m;
    }
    return m;
}

TEST(Ltv, NestingIsBounded) {
    Iso8583Host host("ltv", kDefs, "PBER");
    Tree deep(values(""));
    // As deep as a parse goes, compiling goes too.
    const std::string message = nestedMessage(511);
    ASSERT_EQ(host.parse(message, deep.get()), 0);
    EXPECT_EQ(hexOf(host.compile(deep.get())), hexOf(message));

    Tree tooDeep(values(""));
    const Outcome parsed = parseCall(host, nestedMessage(1000), tooDeep.get());
    EXPECT_EQ(parsed.status, static_cast<uint32_t>(KOR_E_EXCEPTION));
    EXPECT_EQ(parsed.description, "(E2070014) ltv: groups nested deeper than 512 levels");

    Tree chain(values(""));
    VEXNODE at = chain.get();
    for (int i = 0; i < 1000; ++i) {
        const VEXNODE group = VEXTreeCreateNode("t", VEX_NODE_GROUP);
        const Var tag = Var::text("E1");
        VEXTreeSetPropA(group, "Tag", &tag.v);
        VEXTreeAddChild(at, group, -1);
        at = group;
    }
    const Outcome compiled = host.parser.call("Compile", {Var::blob(""), Var::integer(chain.get()), Var::text("")});
    EXPECT_EQ(compiled.status, static_cast<uint32_t>(KOR_E_EXCEPTION));
    EXPECT_EQ(compiled.description, "(E2070014) ltv: groups nested deeper than 512 levels");

    // Recurse 1 enters one constructed tag; the one inside keeps its bytes.
    ASSERT_EQ(host.parser.put("Recurse", Var::integer(1)).status, 0u);
    Tree once(values(""));
    const std::string twice = nestedMessage(2);
    EXPECT_EQ(host.parse(twice, once.get()), 0);
    EXPECT_EQ(outline(once.get()), "tpl{tpl=5A0112}");
    EXPECT_EQ(hexOf(host.compile(once.get())), hexOf(twice));
}

}  // namespace

namespace {

// Compiling keeps what it found for a tag with the definition's settings:
// new definitions, and another tag chain, are still seen at once.
TEST(Ltv, CompileFollowsNewDefinitionsAndTagChains) {
    Iso8583Host host("ltv", kDefs, "PBER");
    Tree tree(values(""));
    const std::string message = "\x5A\x01\x12\x9F\x03\x01\x34"s;
    ASSERT_EQ(host.parse(message, tree.get()), 0);
    for (int run = 0; run < 2; ++run) {
        int64_t status = -1;
        EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), hexOf(message));
        EXPECT_EQ(status, 0);
    }
    // Definitions without 9F03: the parsed tree still compiles, with the
    // tag reported as unknown.
    Tree fewer(R"j({"name":"defs","group":true,"children":[{"name":"pan","props":{"Tag":"5A"}}]})j");
    ASSERT_EQ(host.parser.put("Definitions", Var::integer(fewer.get())).status, 0u);
    ASSERT_EQ(host.parser.call("Open", {}).status, 0u);
    int64_t status = -1;
    EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), hexOf(message));
    EXPECT_EQ(status, 0x6207000B);
    EXPECT_EQ(propOf(tree.child(1), "Error"), "(6207000B) ltv: missing definition for Tag = 9F03");
    // A tag chain of another kind takes over at once.
    ASSERT_EQ(host.parser.invoke(106, KOR_DISPATCH_PUT, {Var::text("HEX2RAW.PADL(\"#00\",3)")}).status, 0u);
    EXPECT_EQ(hexOf(host.compile(tree.get())), "00005A0112009F030134");
}

}  // namespace

namespace {

// A parser's URL names the formats and the mode it changed, and gives them
// back to the parser made from it.
TEST(Ltv, ThePathCarriesChangedFormatsBackIntoANewParser) {
    KOROBJ s = nullptr;
    ASSERT_EQ(GetFormatRef(&s), 0);
    const Obj settings(s);
    const Obj parser = Obj::create("PTLV");
    parser.put("Name", Var::text("ltv.url"));
    ASSERT_EQ(parser.put("LenOfo", Var::text("LLLVAR.FIX(3)")).status, 0u);
    ASSERT_EQ(parser.put("LenIfo", Var::text("FIX(3).DEC2RAW")).status, 0u);
    const std::string path = parser.get("Path").result.str();
    EXPECT_NE(path.find("LenOfo="), std::string::npos) << path;
    EXPECT_EQ(path.find("TagOfo"), std::string::npos) << path;
    Tree defs(kDefs);
    const Outcome made = settings.call("ParserCreateFromPath", {Var::text(path), Var::integer(defs.get())});
    ASSERT_EQ(made.status, 0u) << made.description;
    const Obj copy = Obj::held(made.result);
    EXPECT_EQ(copy.get("Path").result.str(), path);
    ASSERT_EQ(copy.call("Open", {}).status, 0u);
    Tree tree(values(leaf("01", "ABC")));
    const Outcome compiled = copy.call("Compile", {Var::blob(""), Var::integer(tree.get()), Var::text("")});
    EXPECT_EQ(kortest::blobOf(compiled.args[0]), "01003ABC");
    copy.call("Close", {});
}

}  // namespace
