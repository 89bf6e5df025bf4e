// The EDIFACT parser through the dispatch ABI: the text it compiles (empty
// elements in the middle kept, trailing ones trimmed, separators released),
// what it parses text into, and the definition trees it refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "api/iso8583_host.h"

namespace {

using namespace std::string_literals;
using kortest::Iso8583Host;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::outline;
using kortest::propOf;

// Segments UNH, BGM and LIN; BGM's 1225 takes its formats from the data
// element definitions, LIN's 7140 has none there and keeps its own.
constexpr std::string_view kDefs = R"j({"name":"defs","group":true,"children":[
  {"name":"Message","group":true,"children":[{"name":"UNH","props":{"Name":"UNH","Mandatory":true,"RepeatNode":1}}]},
  {"name":"Segments","group":true,"children":[
    {"name":"UNH","group":true,"props":{"Name":"UNH"},"children":[
      {"name":"Ref","props":{"Name":"0062"}},
      {"name":"Id","group":true,"props":{"Name":"S009"},"children":[
        {"name":"Type","props":{"Name":"0065"}},{"name":"Version","props":{"Name":"0052"}},
        {"name":"Release","props":{"Name":"0054"}},{"name":"Agency","props":{"Name":"0051"}}]}]},
    {"name":"BGM","group":true,"props":{"Name":"BGM"},"children":[
      {"name":"Doc","group":true,"props":{"Name":"C002"},"children":[{"name":"Code","props":{"Name":"1001"}}]},
      {"name":"Number","props":{"Name":"1004"}},
      {"name":"Function","props":{"Name":"1225","IFO":"FIX(9)"}}]},
    {"name":"LIN","group":true,"props":{"Name":"LIN"},"children":[
      {"name":"Line","props":{"Name":"1082"}},{"name":"Action","props":{"Name":"1229"}},
      {"name":"Item","props":{"Name":"7140","IFO":"TRIML(\"0\")","OFO":"PADL(\"0\",4)"}}]}]},
  {"name":"Elements","group":true,"children":[
    {"name":"1004","props":{"Name":"1004","IFM":"ANS0-35"}},
    {"name":"1225","props":{"Name":"1225","IFO":"TRIMR","OFO":"PADR(\" \",2)"}}]}]})j";

// A value tree of segments written "TAG|element|element": an element with
// "^" in it is a composite of the components it separates.
std::string valuesOf(std::initializer_list<std::string_view> segments) {
    const auto leaf = [](std::string_view name, std::string_view value) {
        return R"j({"name":")j" + std::string(name) + R"j(","props":{"Value":{"istr":")j" + std::string(value) + "\"}}}";
    };
    std::string json = R"j({"name":"msg","group":true,"children":[)j";
    for (const std::string_view segment : segments) {
        std::vector<std::string> parts;
        std::stringstream in{std::string(segment)};
        for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
        if (segment.ends_with('|')) parts.emplace_back();
        if (json.back() == '}') json += ",";
        json += R"j({"name":")j" + parts[0] + R"j(","group":true,"children":[)j";
        for (std::size_t i = 1; i < parts.size(); ++i) {
            if (i > 1) json += ",";
            const std::string name = "E" + std::to_string(i);
            if (parts[i].find('^') == std::string::npos) {
                json += leaf(name, parts[i]);
                continue;
            }
            json += R"j({"name":")j" + name + R"j(","group":true,"children":[)j";
            std::stringstream components{parts[i] + "^"};
            std::string c;
            for (int k = 1; std::getline(components, c, '^'); ++k) json += (k > 1 ? "," : "") + leaf("C" + std::to_string(k), c);
            json += "]}";
        }
        json += "]}";
    }
    return json + "]}";
}

// Every node's formats and run marks, depth first: what a run must leave as
// it found it.
std::string formatsOf(VEXNODE node) {
    std::string s;
    for (uint32_t i = 0; i < kortest::childCount(node); ++i) {
        const VEXNODE n = VEXTreeGetChild(node, i);
        for (const char* p : {"IFO", "OFO", "IFOCopy", "OFOCopy", "ParserType"}) s += propOf(n, p) + ";";
        s += "{" + formatsOf(n) + "}";
    }
    return s;
}

TEST(Edi, CompileTrimsTrailingEmptiesKeepsMiddleOnesAndReleasesSeparators) {
    struct Case {
        std::initializer_list<std::string_view> segments;
        std::string text;
    };
    const Case cases[] = {
        {{"BGM|220||"}, "BGM+220'"},
        {{"UNH|1|ORDERS^D^^96A"}, "UNH+1+ORDERS:D::96A'"},
        {{"LIN|1||X"}, "LIN+1++X'"},
        {{"LIN|^^|^X^|"}, "LIN++:X'"},
        {{"UNT"}, "UNT'"},
        // Released separators are data: no trimming reaches them.
        {{"FTX|A+B:C'D?E|x:^y+^"}, "FTX+A?+B?:C?'D??E+x?::y?+'"},
        {{"FTX|?|+"}, "FTX+??+?+'"},
        {{"BGM|1^|2", "UNZ|1"}, "BGM+1+2'UNZ+1'"},
        // Only a UNA that holds its six characters is written as it stands.
        {{"UNA|1||"}, "UNA+1'"},
    };
    Iso8583Host host("edi", kDefs, "PEDI");
    // Neither the parser's nor a node's ProcessNull drops an empty element.
    ASSERT_EQ(host.parser.put("ProcessNull", Var::boolean(false)).status, 0u);
    // A root with a format of its own sends the whole tree through the walk.
    for (const bool walked : {false, true}) {
        for (const Case& c : cases) {
            Tree tree(valuesOf(c.segments));
            VEXVARIANT off{}, none{};
            VEXVarSetBool(&off, 0);
            VEXTreeSetPropA(tree.child(0), "ProcessNull", &off);
            VEXVarSetStrA(&none, "NONE", 4);
            if (walked) VEXTreeSetPropA(tree.get(), "OFO", &none);
            VEXVarClear(&none);
            int64_t status = -1;
            EXPECT_EQ(host.compile(tree.get(), &status), c.text) << *c.segments.begin() << (walked ? " (walk)" : "");
            EXPECT_EQ(status, 0);
        }
    }
}

TEST(Edi, CompilePutsItsChainsAfterTheNodesOwnAndLeavesThemAsTheyWere) {
    Iso8583Host host("edi", kDefs, "PEDI");
    // A leaf segment holds its text itself; a ParserType of another family
    // leaves the level to the depth; an empty OFO and a property of the
    // host's named like a mark of the run stay as they are.
    Tree tree(R"j({"name":"msg","group":true,"children":[
        {"name":"UNA","props":{"Value":{"istr":":+.? '"}}},
        {"name":"LIN","group":true,"props":{"OFO":"NONE"},"children":[
          {"name":"Line","props":{"Value":{"istr":"7"},"OFO":"PADL(\"0\",3)"}},
          {"name":"Item","group":true,"props":{"ParserType":"DE"},"children":[
            {"name":"Id","props":{"Value":{"istr":"A+B"},"ParserType":"CDE","IFO":"FIX(3)"}}]},
          {"name":"Other","props":{"Value":{"istr":"1+2"},"ParserType":"XYZ","OFO":"","OFOCopy":"PADL(\"0\",5)"}}]},
        {"name":"FTX","props":{"Value":{"istr":"a+b:c"}}},
        {"name":"UNT","props":{}}]})j");
    const std::string before = formatsOf(tree.get());
    EXPECT_EQ(host.compile(tree.get()), "UNA:+.? 'LIN+007+A?+B+1?+2'FTX+a?+b?:c'UNT'");
    EXPECT_EQ(formatsOf(tree.get()), before);

    // A tag that holds a separator would end its segment early.
    for (const bool walked : {false, true}) {
        Tree injected(valuesOf({"BGM|1", "A'UNH|1"}));
        const Var none = Var::text("NONE");
        if (walked) VEXTreeSetPropA(injected.get(), "OFO", &none.v);
        const std::string formats = formatsOf(injected.get());
        const Outcome refused = host.parser.call("Compile", {Var::blob(""), Var::integer(injected.get()), Var::text("")});
        EXPECT_NE(refused.status, 0u);
        EXPECT_EQ(refused.description,
                  "(E2070008) edi: property Name should be a segment tag without separators or release character");
        EXPECT_EQ(formatsOf(injected.get()), formats);
    }
    // A failed compile writes nothing, not the segments before the failure.
    Tree failing(R"j({"name":"msg","group":true,"children":[{"name":"BGM","group":true,"children":[
        {"name":"a","props":{"Value":{"istr":"1"}}}]},{"name":"UNH","group":true,"children":[
        {"name":"a","props":{"Value":5}}]}]})j");
    int64_t status = 0;
    EXPECT_EQ(host.compile(failing.get(), &status), "");
    EXPECT_EQ(status, static_cast<int64_t>(0xE2060060));
}

TEST(Edi, ParseSplitsLevelsReleasesSeparatorsAndRestoresFormats) {
    Iso8583Host host("edi", kDefs, "PEDI");
    Tree parsed(R"j({"name":"msg","group":true})j");
    const std::string message = "UNA:+.? '\r\nUNH+1+ORDERS:D::96A'\r\nBGM+220:X+DOC?+1?:X??Y?'+9 'LIN+1++0042'";
    EXPECT_EQ(host.parse(message, parsed.get()), 0x62060065);
    EXPECT_EQ(outline(parsed.get()),
              "UNA=:+.? ' UNH{Ref=1 Id{Type=ORDERS Version=D Release Agency=96A}} "
              "BGM{Doc{Code=220} Number=DOC+1:X?Y' Function=9} LIN{Line=1 Action Item=42}");
    // A composite with more components than its definition reports the rest.
    EXPECT_NE(propOf(VEXTreeGetChild(VEXTreeGetChild(parsed.child(2), 0), 0), "Error")
                  .find("there are 1 unused characters after parsing"), std::string::npos);
    // Each element keeps the formats its definitions give it, the element
    // definition's before the segment's own, and no mark of the run.
    const VEXNODE function = VEXTreeGetChild(parsed.child(2), 2);
    EXPECT_EQ(propOf(function, "IFO"), "TRIMR");
    EXPECT_EQ(propOf(function, "OFO"), "PADR(\" \",2)");
    const VEXNODE item = VEXTreeGetChild(parsed.child(3), 2);
    EXPECT_EQ(propOf(item, "IFO"), "TRIML(\"0\")");
    EXPECT_EQ(formatsOf(parsed.child(1)), "<none>;<none>;<none>;<none>;<none>;{}<none>;<none>;<none>;<none>;<none>;{"
              "<none>;<none>;<none>;<none>;<none>;{}<none>;<none>;<none>;<none>;<none>;{}"
              "<none>;<none>;<none>;<none>;<none>;{}<none>;<none>;<none>;<none>;<none>;{}}");
    // The definitions are untouched, and the tree compiles back (the line
    // breaks between segments are no part of it).
    EXPECT_EQ(propOf(VEXTreeGetChild(host.parser.get("Definitions").result.v.u.i, 1), "ParserType"), "SEG");
    EXPECT_EQ(host.compile(parsed.get()), "UNA:+.? 'UNH+1+ORDERS:D::96A'BGM+220+DOC?+1?:X??Y?'+9 'LIN+1++0042'");
}

// Names, values and reports of every node, depth first.
std::string dump(VEXNODE node) {
    std::string s;
    for (uint32_t i = 0; i < kortest::childCount(node); ++i) {
        const VEXNODE n = VEXTreeGetChild(node, i);
        VEXBUF name = nullptr;
        VEXTreeGetNodeName(n, &name);
        s += test::bytes(name) + "=" + propOf(n, "Value") + "!" + propOf(n, "Error") + "{" + dump(n) + "}";
        VEXBufFree(name);
    }
    return s;
}

// The definitions with an IFO and OFO of NONE on every element and
// component: they leave every field as it is, but send it through the walk.
std::string walkedDefinitions(std::string_view definitions) {
    Tree walked(definitions);
    const Var none = Var::text("NONE");
    const VEXNODE segments = walked.child(1);
    for (VEXNODE n = VEXTreeGetNextNode(segments, segments); n; n = VEXTreeGetNextNode(segments, n)) {
        if (VEXTreeGetParent(n) == segments) continue;
        VEXTreeSetPropA(n, "IFO", &none.v);
        VEXTreeSetPropA(n, "OFO", &none.v);
    }
    VEXBUF json = nullptr;
    EXPECT_EQ(VEXTreeToJsonA(walked.get(), &json), 0u);
    std::string text = test::bytes(json);
    VEXBufFree(json);
    return text;
}

// Plain segments are split and written by the parser itself; a format of a
// node's own sends them through the walk with the level chains. Both must
// give the same trees and the same text, for the sample, for segments that
// hold more or less than their definitions, and for a mask that is no mask.
TEST(Edi, SegmentsSplitDirectlyOrByTheWalkComeOutTheSame) {
    const std::string paymul = kortest::exampleFile("edifact", "paymul.json");
    std::string broken = paymul;
    const std::string sequence = R"("props": {"Name": "1050", "IFM": "N1-6"})";
    ASSERT_NE(broken.find(sequence), std::string::npos);
    broken.replace(broken.find(sequence), sequence.size(), R"("props": {"Name": "1050", "IFM": "{[("})");
    const struct {
        const std::string& definitions;
        std::vector<std::string> messages;
    } cases[] = {
        {paymul,
         {kortest::exampleFile("edifact", "paymul.msg"),
          "LIN+1+2+3+4'DTM'RFF+:'MOA+9:1:EUR:X:Y:Z'NAD+BE+++A:B:C:D+S?:1'FTX+A+B+C:D+E?'F:G??:H'",
          "UNT+1A+1'CNT+2:x'"}},  // values the masks refuse
        {broken, {"SEQ+1+5:y'LIN+1'"}},
    };
    for (const auto& c : cases) {
        Iso8583Host direct("edi", c.definitions, "PEDI"), walk("edi-walk", walkedDefinitions(c.definitions), "PEDI");
        for (const std::string& message : c.messages) {
            Tree a(R"j({"name":"msg","group":true})j"), b(R"j({"name":"msg","group":true})j");
            EXPECT_EQ(direct.parse(message, a.get()), walk.parse(message, b.get())) << message;
            EXPECT_EQ(dump(a.get()), dump(b.get())) << message;
            int64_t compiledA = 0, compiledB = 0;
            EXPECT_EQ(direct.compile(a.get(), &compiledA), walk.compile(b.get(), &compiledB)) << message;
            EXPECT_EQ(compiledA, compiledB) << message;
        }
    }
    // Elements beyond the definition are reported on their segment.
    Iso8583Host host("edi", paymul, "PEDI");
    Tree longer(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("LIN+1+2+3+4'", longer.get()), 0x62060065);
    EXPECT_EQ(propOf(longer.child(0), "Error"), "(62060065) LIN: there are 3 unused characters after parsing");
}

// The host can change the definitions through Definitions between parses;
// the next parse reads by them as they stand.
TEST(Edi, DefinitionsChangedThroughTheirHandleTakeEffect) {
    Iso8583Host host("edi", kDefs, "PEDI");
    Tree first(R"j({"name":"msg","group":true})j");
    host.parse("LIN+00042+A'", first.get());
    EXPECT_EQ(outline(first.get()), "LIN{Line=00042 Action=A Item}");
    const VEXNODE segments = static_cast<VEXNODE>(host.parser.get("Definitions").result.v.u.i);
    const VEXNODE lin = VEXTreeGetChild(segments, 2);
    const Var trimmed = Var::text("TRIML(\"0\")"), renamed = Var::text("LIX");
    VEXTreeSetPropA(VEXTreeGetChild(lin, 0), "IFO", &trimmed.v);
    VEXTreeSetPropA(VEXTreeGetChild(segments, 1), "Name", &renamed.v);
    Tree second(R"j({"name":"msg","group":true})j");
    host.parse("LIN+00042+A'LIX+9'", second.get());
    EXPECT_EQ(outline(second.get()), "LIN{Line=42 Action=A Item} BGM{Doc{Code=9} Number Function}");
}

TEST(Edi, UnknownSegmentIsKeptByNameAndTheParseGoesOn) {
    Iso8583Host host("edi", kDefs, "PEDI");
    Tree parsed(R"j({"name":"msg","group":true})j");
    EXPECT_EQ(host.parse("UNH+1'FOO+1:2'BGM+220'", parsed.get()), static_cast<int64_t>(0xE207000B));
    EXPECT_EQ(outline(parsed.get()), "UNH{Ref=1 Id{Type Version Release Agency}} FOO BGM{Doc{Code=220} Number Function}");
    EXPECT_EQ(propOf(parsed.child(1), "EC"), std::to_string(0xE207000Bu));
    EXPECT_EQ(propOf(parsed.child(1), "Error"), "(E207000B) edi: missing definition for Name = FOO");
    EXPECT_EQ(propOf(parsed.get(), "EC"), "<none>");
}

TEST(Edi, MessageCutInsideAReleaseStopsWithAReport) {
    Iso8583Host host("edi", kDefs, "PEDI");
    for (const std::string& message : {"UNH+1'BGM+22?"s, "UNA:+."s}) {
        Tree parsed(R"j({"name":"msg","group":true})j");
        EXPECT_EQ(host.parse(message, parsed.get()), static_cast<int64_t>(0xA2060030)) << message;
        const bool advice = message.starts_with("UNA");
        const VEXNODE reported = advice ? parsed.child(0) : parsed.get();
        EXPECT_NE(propOf(reported, "Error").find("expected"), std::string::npos) << message;
        EXPECT_EQ(propOf(parsed.get(), "Offset"), advice ? "<none>" : "6");
    }
}

TEST(Edi, SeparatorsAreReadOnlyParserProperties) {
    Iso8583Host host("edi", kDefs, "PEDI");
    constexpr uint32_t kProp = KOR_MEMBER_PROPERTY, kReadOnly = 0x4000000;
    kortest::expectMembers(host.parser, {
        {"SegmentSeparator", 110, kProp, "Character used for separating segments", "payfmt#SegmentSeparator", kReadOnly},
        {"DataSeparator", 111, kProp, "Character used for separating data elements", "payfmt#DataSeparator", kReadOnly},
        {"ComponentSeparator", 112, kProp, "Character used for separating data elements components",
         "payfmt#ComponentSeparator", kReadOnly},
        {"EscapeCharacter", 113, kProp, "Used as release character", "payfmt#EscapeCharacter", kReadOnly},
        {"BinaryEscapeCharacter", 114, kProp, "Used as release character for binary blocks",
         "payfmt#BinaryEscapeCharacter", kReadOnly},
    }, true);
    std::string shown;
    for (const char* name : {"SegmentSeparator", "DataSeparator", "ComponentSeparator", "EscapeCharacter", "BinaryEscapeCharacter"})
        shown += host.parser.get(name).result.str();
    EXPECT_EQ(shown, "'+:?@");
    const Outcome set = host.parser.put("DataSeparator", Var::text("*"));
    EXPECT_NE(set.status, 0u);
    EXPECT_NE(set.description.find("Member not found"), std::string::npos) << set.description;
    EXPECT_EQ(host.parser.get("DataSeparator").result.str(), "+");
}

TEST(Edi, DefinitionTreesMissingAGroupOrAPropertyAreRefused) {
    struct Case {
        std::string_view tree;
        std::string description;
    };
    const Case cases[] = {
        {R"j({"name":"d","group":true})j", "(E2070051) edi: Message definition group node missing"},
        {R"j({"name":"d","group":true,"children":[{"name":"m","group":true}]})j",
         "(E2070052) edi: Segment definition group node missing"},
        {R"j({"name":"d","group":true,"children":[{"name":"m","group":true},{"name":"s","group":true}]})j",
         "(E2070053) edi: Data Elements definition group node missing"},
        {R"j({"name":"d","group":true,"children":[{"name":"m","group":true},{"name":"s","group":true,"children":[
           {"name":"UNH","group":true,"props":{"Name":"UNH"},"children":[{"name":"Ref"}]}]},{"name":"e","group":true}]})j",
         "(E207000A) edi: missing property Name for node Ref"},
        {R"j({"name":"d","group":true,"children":[{"name":"m","group":true,"children":[
           {"name":"UNH","props":{"Name":"UNH","Mandatory":"perhaps"}}]},{"name":"s","group":true},{"name":"e","group":true}]})j",
         "Property Mandatory of node UNH cannot be converted from String"},
    };
    for (const Case& c : cases) {
        Iso8583Host host("edi", kDefs, "PEDI");
        Tree tree(c.tree);
        const Outcome set = host.parser.put("Definitions", Var::integer(tree.get()));
        EXPECT_NE(set.status, 0u) << c.description;
        EXPECT_EQ(set.description, c.description);
        // A refused tree leaves the parser closed, without definitions.
        EXPECT_EQ(host.parser.get("Definitions").result.v.u.i, 0);
        EXPECT_EQ(host.parser.call("Parse", {Var::blob("UNH+1'"), Var::integer(tree.get()), Var::text("")}).description,
                  "(E2070001) edi: The parser is not open");
    }
}

}  // namespace
