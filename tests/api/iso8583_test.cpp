// The ISO 8583 parser through the dispatch ABI: bitmaps built and read,
// definitions checked, and every stop of a parse reported where it happened.
#include <gtest/gtest.h>

#include "api/iso8583_host.h"

namespace {

using namespace std::string_literals;
using kortest::Iso8583Host;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::hexOf;
using kortest::propOf;

constexpr std::string_view kDefs = R"j({"name":"defs","group":true,"props":{"ParserType":3},"children":[
    {"name":"mti","props":{"Bit":-1,"IFO":"FIX(4)","IFM":"N4"}},
    {"name":"bitmap","props":{"Bit":0,"IFO":"FIX(8)"}},
    {"name":"bitmap2","props":{"Bit":1,"IFO":"FIX(8)"}},
    {"name":"pan","props":{"Bit":2,"IFO":"LLVAR","OFO":"LLVAR"}},
    {"name":"proc","props":{"Bit":3,"IFO":"FIX(6)","IFM":"N6"}},
    {"name":"stan","props":{"Bit":11,"IFO":"FIX(6)"}},
    {"name":"network","props":{"Bit":70,"IFO":"FIX(3)","IFM":"N3","EC":1644560401,"Error":"saved with the definition"}}]})j";

// Value nodes: bit, value, and the output chain when the field needs one.
std::string values(std::string_view children) {
    return R"j({"name":"msg","group":true,"children":[)j" + std::string(children) + "]}";
}

TEST(Iso8583, CompilePlacesTheBitmapAfterTheLeadingField) {
    Iso8583Host host("iso.compile", kDefs);
    constexpr std::string_view mti = R"j({"name":"m","props":{"Bit":-1,"Value":{"istr":"0800"}}})j";
    constexpr std::string_view pan = R"j({"name":"p","props":{"Bit":2,"OFO":"LLVAR","Value":{"istr":"4111"}}})j";
    constexpr std::string_view proc = R"j({"name":"c","props":{"Bit":3,"Value":{"istr":"000000"}}})j";
    constexpr std::string_view stan = R"j({"name":"s","props":{"Bit":11,"Value":{"istr":"123456"}}})j";
    constexpr std::string_view net = R"j({"name":"n","props":{"Bit":70,"Value":{"istr":"301"}}})j";
    constexpr std::string_view bitmaps = R"j({"name":"b0","props":{"Bit":0,"Value":{"istr":"XXXXXXXX"}}},
        {"name":"b1","props":{"Bit":1,"Value":{"istr":"YYYYYYYY"}}})j";
    constexpr std::string_view noValue = R"j({"name":"s","props":{"Bit":11}})j";
    struct Case {
        std::string what, children, hex;
    };
    const Case cases[] = {
        {"secondary bitmap for bit 70", std::string(mti) + "," + std::string(pan) + "," + std::string(net),
         "30383030" "C000000000000000" "0400000000000000" "3034" "34313131" "333031"},
        {"primary bitmap only", std::string(mti) + "," + std::string(proc),
         "30383030" "2000000000000000" "303030303030"},
        {"no leading field puts the bitmap first", std::string(stan), "0020000000000000" "313233343536"},
        {"value nodes for bits 0 and 1 are ignored", std::string(mti) + "," + std::string(bitmaps) + "," + std::string(proc),
         "30383030" "2000000000000000" "303030303030"},
        {"fields keep the value tree's order", std::string(mti) + "," + std::string(stan) + "," + std::string(proc),
         "30383030" "2020000000000000" "313233343536" "303030303030"},
        {"leading field after another field", std::string(proc) + "," + std::string(mti),
         "303030303030" "30383030" "2000000000000000"},
        {"an empty field is left out", std::string(mti) + "," + std::string(noValue), "30383030" "0000000000000000"},
    };
    for (const Case& c : cases) {
        Tree tree(values(c.children));
        int64_t status = -1;
        EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), c.hex) << c.what;
        EXPECT_EQ(status, 0) << c.what;
    }
}

TEST(Iso8583, CompileStopsOnBitsItCannotPlace) {
    Iso8583Host host("iso.badbits", kDefs);
    struct Case {
        const char* what;
        const char* children;
        int64_t status;
        const char* error;  // on the value tree's root
        const char* hex;
    };
    const Case cases[] = {
        {"a bit outside -1 to 128", R"j({"name":"m","props":{"Bit":-1,"Value":{"istr":"0800"}}},
            {"name":"x","props":{"Bit":200,"Value":{"istr":"1"}}},{"name":"c","props":{"Bit":3,"Value":{"istr":"000000"}}})j",
         0xE2070023, "(E2070023) iso.badbits: Bit 200 is not present in the definition tree", "30383030"},
        {"a bit without a definition", R"j({"name":"x","props":{"Bit":4,"Value":{"istr":"1"}}})j", 0xE2070023,
         "(E2070023) iso.badbits: Bit 4 is not present in the definition tree", ""},
        {"a duplicate as the last field still gets its bitmap",
         R"j({"name":"c","props":{"Bit":3,"Value":{"istr":"000000"}}},{"name":"d","props":{"Bit":3,"Value":{"istr":"111111"}}})j",
         0xE2070022, "(E2070022) iso.badbits: duplicate bit 3 in the message", "2000000000000000303030303030313131313131"},
        {"a duplicate ends the compile at the next field",
         R"j({"name":"c","props":{"Bit":3,"Value":{"istr":"000000"}}},{"name":"d","props":{"Bit":3,"Value":{"istr":"111111"}}},
            {"name":"s","props":{"Bit":11,"Value":{"istr":"123456"}}})j",
         0xE2070022, "(E2070022) iso.badbits: duplicate bit 3 in the message", "303030303030313131313131"},
        {"a Bit that is no number", R"j({"name":"q","props":{"Bit":"two","Name":"Odd"}})j", 0xE2070008,
         "(E2070008) Odd: property Bit should be a integer", "0000000000000000"},
    };
    for (const Case& c : cases) {
        Tree tree(values(c.children));
        int64_t status = 0;
        EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), c.hex) << c.what;
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(propOf(tree.get(), "Error"), c.error) << c.what;
    }
    // The field that repeats a bit carries the report; once the value tree
    // is mended, compiling it again leaves no report behind.
    Tree tree(values(R"j({"name":"c","props":{"Bit":3,"Value":{"istr":"000000"}}},
        {"name":"d","props":{"Bit":3,"Value":{"istr":"111111"}}})j"));
    host.compile(tree.get());
    EXPECT_EQ(propOf(tree.child(1), "Error"), "(E2070022) iso.badbits: duplicate bit 3 in the message");
    const Var eleven = Var::integer(11);
    ASSERT_EQ(VEXTreeSetPropA(tree.child(1), "Bit", &eleven.v), 0u);
    int64_t status = -1;
    EXPECT_EQ(hexOf(host.compile(tree.get(), &status)), "2020000000000000303030303030313131313131");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(propOf(tree.get(), "Error"), "<none>");
    EXPECT_EQ(propOf(tree.child(1), "Error"), "<none>");
}

TEST(Iso8583, DefinitionsAreCheckedAndARefusedTreeLeavesNone) {
    kortest::Obj parser = kortest::Obj::create("P8583");
    parser.put("Name", Var::text("iso.defs"));
    EXPECT_EQ(parser.get("ParserType").result.str(), "P8583");
    EXPECT_EQ(parser.get("RequiresDefTree").result.v.u.b, 1);
    EXPECT_EQ(parser.get("ProcessNull").result.v.u.b, 0);

    Tree good(kDefs);
    ASSERT_EQ(parser.put("Definitions", Var::integer(good.get())).status, 0u);
    // Definitions answers the parser's copy of the bit 0 definition.
    const VEXNODE held = static_cast<VEXNODE>(parser.get("Definitions").result.v.u.i);
    EXPECT_NE(held, good.get());
    EXPECT_EQ(propOf(held, "Bit"), "0");
    ASSERT_EQ(parser.call("Open", {}).status, 0u);

    struct Case {
        const char* what;
        const char* tree;
        const char* description;
    };
    const Case cases[] = {
        {"root without ParserType 3", R"j({"name":"d","group":true,"props":{"ParserType":2},"children":[
            {"name":"b","props":{"Bit":0,"IFO":"FIX(8)"}}]})j",
         "(E2070009) iso.defs: property ParserType should have value 3"},
        {"bit 129", R"j({"name":"d","group":true,"props":{"ParserType":"3"},"children":[
            {"name":"b","props":{"Bit":0,"IFO":"FIX(8)"}},{"name":"x","props":{"Bit":129}}]})j",
         "(E2070021) P8583: found bit 129 outside range -1 to 128"},
        {"bit -2", R"j({"name":"d","group":true,"props":{"ParserType":3},"children":[
            {"name":"b","props":{"Bit":0,"IFO":"FIX(8)"}},{"name":"x","props":{"Bit":-2}}]})j",
         "(E2070021) P8583: found bit -2 outside range -1 to 128"},
        {"child without Bit", R"j({"name":"d","group":true,"props":{"ParserType":3},"children":[
            {"name":"b","props":{"Bit":0,"IFO":"FIX(8)"}},{"name":"x","props":{"IFO":"FIX(1)"}}]})j",
         "(E207000A) iso.defs: missing property Bit for node x"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(parser.put("Definitions", Var::integer(good.get())).status, 0u);
        Tree bad(c.tree);
        const Outcome r = parser.put("Definitions", Var::integer(bad.get()));
        EXPECT_EQ(r.status, static_cast<uint32_t>(KOR_E_EXCEPTION)) << c.what;
        EXPECT_EQ(r.description, c.description) << c.what;
        // Nothing of the earlier definitions survives, and the parser is closed.
        EXPECT_EQ(parser.get("Definitions").result.v.u.i, 0) << c.what;
        EXPECT_EQ(parser.call("Open", {}).description, "(E2070003) Definition tree is undefined") << c.what;
    }
}

TEST(Iso8583, ParseReadsBothBitmapsAndKeepsTheDefinitionFormats) {
    Iso8583Host host("iso.parse", kDefs);
    const std::string message = "0800" "\xC0\0\0\0\0\0\0\0" "\x04\0\0\0\0\0\0\0" "044111" "301"s;
    Tree tree(values(""));
    ASSERT_EQ(host.parse(message, tree.get()), 0);
    ASSERT_EQ(kortest::childCount(tree.get()), 5u);
    const char* const names[] = {"mti", "bitmap", "bitmap2", "pan", "network"};
    const std::string data[] = {"0800", std::string("\xC0\0\0\0\0\0\0\0", 8), std::string("\x04\0\0\0\0\0\0\0", 8), "4111", "301"};
    for (uint32_t i = 0; i < 5; ++i) {
        VEXBUF name = nullptr;
        VEXTreeGetNodeName(tree.child(i), &name);
        EXPECT_EQ(test::bytes(name), names[i]);
        VEXBufFree(name);
        EXPECT_EQ(propOf(tree.child(i), "Value"), data[i]) << i;
        EXPECT_EQ(propOf(tree.child(i), "Offset"), "<none>") << i;  // only reported fields carry one
        EXPECT_EQ(propOf(tree.child(i), "Error"), "<none>") << i;   // not even one the definition carried
    }
    EXPECT_EQ(propOf(tree.child(3), "OFO"), "LLVAR");
    // The parsed tree compiles back to the message.
    EXPECT_EQ(hexOf(host.compile(tree.get())), hexOf(message));
}

TEST(Iso8583, ParseStopsWhereTheMessageGoesWrong) {
    constexpr std::string_view noSecondary = R"j({"name":"defs","group":true,"props":{"ParserType":3},"children":[
        {"name":"mti","props":{"Bit":-1,"IFO":"FIX(4)"}},{"name":"bitmap","props":{"Bit":0,"IFO":"FIX(8)"}},
        {"name":"pan","props":{"Bit":2,"IFO":"LLVAR"}},{"name":"proc","props":{"Bit":3,"IFO":"FIX(6)","IFM":"N6"}}]})j";
    Iso8583Host host("iso.stop", noSecondary);
    struct Case {
        const char* what;
        std::string message;
        int64_t status;
        const char* error;       // on the root
        uint32_t fields;         // nodes parsed before the stop
        const char* rootOffset;  // where a stop between fields happened
    };
    const Case cases[] = {
        {"bit 1 without a definition", "0800" "\x80\0\0\0\0\0\0\0" "12345678"s, 0xE2070023,
         "(E2070023) iso.stop: Bit 1 is not present in the definition tree", 2, "12"},
        {"message ends before a present bit", "0800" "\x60\0\0\0\0\0\0\0" "044111"s, 0xE2070024,
         "(E2070024) iso.stop: End of message encountered after 18 bytes", 3, "18"},
        {"fewer than 8 bytes for the bitmap", "0800" "\x60\0\0"s, 0xE2070024,
         "(E2070024) iso.stop: End of message encountered after 7 bytes", 2, "4"},
        {"message of the leading field only", "08", 0xE2070024,
         "(E2070024) iso.stop: End of message encountered after 2 bytes", 2, "2"},
    };
    for (const Case& c : cases) {
        Tree tree(values(""));
        EXPECT_EQ(host.parse(c.message, tree.get()), c.status) << c.what;
        EXPECT_EQ(propOf(tree.get(), "Error"), c.error) << c.what;
        EXPECT_EQ(kortest::childCount(tree.get()), c.fields) << c.what;
        EXPECT_EQ(propOf(tree.get(), "Offset"), c.rootOffset) << c.what;
    }
}

TEST(Iso8583, AReportedFieldCarriesWhereItStarts) {
    Iso8583Host host("iso.field", kDefs);
    Tree tree(values(""));
    const std::string message = "0800" "\x60\0\0\0\0\0\0\0" "00" "12X456"s;
    EXPECT_EQ(host.parse(message, tree.get()), 0x62060011);  // X is no digit
    ASSERT_EQ(kortest::childCount(tree.get()), 4u);
    // An empty field gets no Value.
    EXPECT_EQ(propOf(tree.child(2), "Value"), "<none>");
    EXPECT_EQ(propOf(tree.child(3), "EC"), std::to_string(0x62060011));
    EXPECT_EQ(propOf(tree.child(3), "Offset"), "14");
    EXPECT_EQ(propOf(tree.get(), "Offset"), "<none>");
}

TEST(Iso8583, HexadecimalBitmapsParseAndCompileBack) {
    constexpr std::string_view hexDefs = R"j({"name":"defs","group":true,"props":{"ParserType":3},"children":[
        {"name":"mti","props":{"Bit":-1,"IFO":"FIX(4)"}},
        {"name":"bitmap","props":{"Bit":0,"IFO":"FIX(16).HEX2RAW","OFO":"RAW2HEX"}},
        {"name":"bitmap2","props":{"Bit":1,"IFO":"FIX(16).HEX2RAW","OFO":"RAW2HEX"}},
        {"name":"proc","props":{"Bit":3,"IFO":"FIX(6)"}},{"name":"network","props":{"Bit":70,"IFO":"FIX(3)"}}]})j";
    Iso8583Host host("iso.hex", hexDefs);
    const std::string message = "0800A0000000000000000400000000000000000000301";
    Tree tree(values(""));
    ASSERT_EQ(host.parse(message, tree.get()), 0);
    ASSERT_EQ(kortest::childCount(tree.get()), 5u);
    EXPECT_EQ(hexOf(propOf(tree.child(1), "Value")), "A000000000000000");
    EXPECT_EQ(propOf(tree.child(3), "Value"), "000000");
    EXPECT_EQ(propOf(tree.child(4), "Value"), "301");
    EXPECT_EQ(host.compile(tree.get()), message);

    // Text that is no bitmap stops the parse at the bitmap, cut short or not.
    struct Case {
        std::string message;
        int64_t status;
        const char* error;
    };
    const Case broken[] = {
        {"0800A00000000000000G000000", 0xE2070049, "(E2070049) iso.hex: Invalid value for bit 0"},
        {"0800A0000000", 0xE2070024, "(E2070024) iso.hex: End of message encountered after 12 bytes"},
    };
    for (const Case& c : broken) {
        Tree cut(values(""));
        EXPECT_EQ(host.parse(c.message, cut.get()), c.status);
        EXPECT_EQ(propOf(cut.get(), "Error"), c.error);
        EXPECT_EQ(propOf(cut.get(), "Offset"), "4");
        EXPECT_EQ(kortest::childCount(cut.get()), 2u);
    }
}

}  // namespace

namespace {

TEST(Iso8583, CreatedFromAParserUrlWithItsDefinitions) {
    KOROBJ s = nullptr;
    ASSERT_EQ(GetFormatRef(&s), 0);
    const kortest::Obj settings(s);
    EXPECT_EQ(settings.get("ParserTypes", {Var::integer(1)}).result.str(), "P8583");
    Tree defs(kDefs);
    const Outcome made = settings.call("ParserCreateFromPath", {Var::text("parser:P8583/iso.url;ProcessNull=true"),
                                                                Var::integer(defs.get())});
    ASSERT_EQ(made.status, 0u) << made.description;
    const kortest::Obj parser = kortest::Obj::held(made.result);
    EXPECT_EQ(parser.get("Path").result.str(), "parser:P8583/iso.url;ProcessNull=true");
    ASSERT_EQ(parser.call("Open", {}).status, 0u);
    // With ProcessNull an empty field is written: here a zero length.
    Tree tree(values(R"j({"name":"p","props":{"Bit":2,"OFO":"LLVAR"}})j"));
    const Outcome compiled = parser.call("Compile", {Var::blob(""), Var::integer(tree.get()), Var::text("")});
    EXPECT_EQ(hexOf(kortest::blobOf(compiled.args[0])), "4000000000000000" "3030");
    parser.call("Close", {});
}

}  // namespace

namespace {

// An ISO 8583 message inside a frame of another parser: the frame's group
// hands its field to the ISO 8583 parser named in its Parser property.
TEST(Iso8583, MessageInsideAFixedFrame) {
    Iso8583Host iso("iso.nested", kDefs);
    kortest::Obj frame = kortest::Obj::create("PFIX");
    frame.put("Name", Var::text("iso.frame"));
    ASSERT_EQ(frame.call("Open", {}).status, 0u);
    Tree tree(R"j({"name":"frame","group":true,"children":[{"name":"hdr","props":{"IFO":"FIX(2)"}},
        {"name":"iso","group":true,"props":{"Parser":"iso.nested","IFO":"LLLVAR","OFO":"LLLVAR","IFM":"N18"}},
        {"name":"trl","props":{"IFO":"FIX(3)"}}]})j");
    const std::string message = "H1" "018" "0800" "\x20\0\0\0\0\0\0\0" "000000" "END"s;
    const Outcome parsed = frame.call("Parse", {Var::blob(message), Var::integer(tree.get()), Var::text("")});
    ASSERT_EQ(parsed.status, 0u) << parsed.description;
    EXPECT_EQ(parsed.result.v.u.i, 0x62060011);  // the bitmap is no digit
    const VEXNODE group = tree.child(1);
    // The group keeps the report on its own field.
    EXPECT_EQ(propOf(group, "EC"), std::to_string(0x62060011));
    ASSERT_EQ(kortest::childCount(group), 3u);
    EXPECT_EQ(propOf(VEXTreeGetChild(group, 2), "Value"), "000000");
    EXPECT_EQ(propOf(tree.child(2), "Value"), "END");
    const Outcome compiled = frame.call("Compile", {Var::blob(""), Var::integer(tree.get()), Var::text("")});
    EXPECT_EQ(kortest::blobOf(compiled.args[0]), message);
    frame.call("Close", {});
}

}  // namespace

namespace {

// A group field is one field unless its Parser names another parser: parsed
// from its IFO alone, and compiled back from its value, not from the fields
// its definition lists.
TEST(Iso8583, AGroupFieldOfItsOwnRoundTripsAsOneField) {
    Iso8583Host host("iso.group", R"j({"name":"defs","group":true,"props":{"ParserType":3},"children":[
        {"name":"mti","props":{"Bit":-1,"IFO":"FIX(4)"}},{"name":"bitmap","props":{"Bit":0,"IFO":"FIX(8)"}},
        {"name":"private","group":true,"props":{"Bit":3,"IFO":"LLVAR","OFO":"LLVAR"},
         "children":[{"name":"inner","props":{"IFO":"FIX(2)"}}]}]})j");
    const std::string message = "0800" "\x20\0\0\0\0\0\0\0"s + "05ABCDE";
    Tree tree(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse(message, tree.get()), 0);
    EXPECT_EQ(propOf(tree.child(2), "Value"), "ABCDE");
    EXPECT_EQ(host.compile(tree.get()), message);
}

}  // namespace
