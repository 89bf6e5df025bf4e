// The XML parser through the dispatch ABI: how each kind of node lands in
// the value tree under the three switches, validation by DTD and by added
// schemas, documents that try to load what they should not, and what Compile
// writes back.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "api/iso8583_host.h"

namespace {

using kortest::Obj;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::childCount;
using kortest::exampleFile;
using kortest::propOf;

constexpr std::string_view kPainNamespace = "urn:iso:std:iso:20022:tech:xsd:pain.001.001.03";

// Every node below root: its name, its properties as "[Name=value;...]"
// (without the reports), "=" and its value, its children in braces.
std::string shape(VEXNODE root) {
    std::string s;
    for (uint32_t i = 0; i < childCount(root); ++i) {
        const VEXNODE n = VEXTreeGetChild(root, i);
        VEXBUF buf = nullptr;
        VEXTreeGetNodeName(n, &buf);
        s += (i ? " " : "") + test::bytes(buf);
        VEXBufFree(buf);
        uint32_t attrib = 0;
        VEXTreeGetNodeAttrib(n, &attrib);
        if (!(attrib & VEX_NODE_GROUP)) s += "'";
        VEXPROPS props = nullptr;
        VEXTreeGetNodeProps(n, &props);
        std::string listed;
        for (uint32_t k = 0; k < VEXPropsCount(props); ++k) {
            const char* name = nullptr;
            Var value;
            VEXPropsItemA(props, k, &name, &value.v);
            if (std::string_view(name) == "Value") continue;
            listed += (listed.empty() ? "" : ";") + std::string(name) + "=" +
                      (value.v.type == VEXVT_INT ? std::to_string(value.v.u.i) : value.str());
        }
        VEXPropsFree(props);
        if (!listed.empty()) s += "[" + listed + "]";
        if (const std::string value = propOf(n, "Value"); value != "<none>") s += "=" + value;
        if (childCount(n)) s += "{" + shape(n) + "}";
    }
    return s;
}

std::string status(int64_t code) {
    char s[16];
    std::snprintf(s, sizeof s, "%08X", static_cast<uint32_t>(code));
    return s;
}

class XmlHost {
public:
    explicit XmlHost(std::initializer_list<std::pair<const char*, bool>> switches = {}, const char* name = "x")
        : parser(Obj::create("PXML")) {
        EXPECT_EQ(parser.put("Name", Var::text(name)).status, 0u);
        for (const auto& [name, on] : switches) EXPECT_EQ(parser.put(name, Var::boolean(on)).status, 0u) << name;
        EXPECT_EQ(parser.call("Open", {}).status, 0u);
    }

    // The status Parse answers; the nodes go below root.
    int64_t parse(std::string_view text, VEXNODE root) {
        const Outcome r = parser.call("Parse", {Var::text(text), Var::integer(root), Var::text("")});
        EXPECT_EQ(r.status, 0u) << r.description;
        return r.result.v.u.i;
    }
    Outcome compile(VEXNODE tree) {
        return parser.call("Compile", {Var::text(""), Var::integer(tree), Var::text("")});
    }
    std::string roundTrip(std::string_view text) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        parse(text, root.get());
        const Outcome r = compile(root.get());
        EXPECT_EQ(r.status, 0u) << r.description;
        return r.args[0].str();
    }
    int64_t schemaAdd(std::string_view ns, const std::string& file) {
        const Outcome r = parser.call("SchemaAdd", {Var::text(ns), Var::text(file)});
        EXPECT_EQ(r.status, 0u) << r.description;
        return r.result.v.u.i;
    }

    Obj parser;
};

const std::filesystem::path& tempDir() {
    static const struct Dir {
        std::filesystem::path path = std::filesystem::temp_directory_path() / ("payfmt_xml_" + std::to_string(getpid()));
        ~Dir() { std::filesystem::remove_all(path); }
    } dir;
    return dir.path;
}

// A file of the text in a folder of the test's own.
std::string tempFile(const std::string& name, std::string_view text) {
    const auto& dir = tempDir();
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
}

TEST(Xml, EveryNodeKindUnderEachSwitch) {
    struct Case {
        std::initializer_list<std::pair<const char*, bool>> switches;
        std::string_view text, shape;
        uint32_t code = 0;
    };
    const Case cases[] = {
        {{}, R"(<a x="1"><b/>hi</a>)", "a[XML_ATTR_x=1]{b XML_TEXT=hi}"},
        {{{"AttribAsNodes", true}}, R"(<a x="1"><b/>hi</a>)", "a{b XML_TEXT=hi x'=1}"},
        {{}, R"(<p:a xmlns:p="urn:p" p:y="2"/>)", "p:a[XML_ATTR_xmlns:p=urn:p;XML_ATTR_p:y=2]"},
        {{{"NameQualified", false}}, R"(<p:a xmlns:p="urn:p"><b/></p:a>)",
         "a[XML_PREFIX=p;XML_ATTR_xmlns:p=urn:p]{b[XML_PREFIX=]}"},
        {{{"AttribQualified", false}}, R"(<a xmlns="urn:d" xmlns:p="urn:p" p:y="2"/>)",
         "a[XML_ATTR_xmlns=urn:d;XML_ATTR_p=urn:p;XML_ATTR_y=2]"},
        // The declaration, the document type, comments, processing
        // instructions; entities replaced, a CDATA section by its kind;
        // whitespace between elements is not kept.
        {{},
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n"
         "<!DOCTYPE a [<!ENTITY co \"ACME &amp; co\">]>\n<!-- c -->\n"
         "<a>\n  <b>&co;</b>\n  <![CDATA[x<y]]><?pi d?><c> </c></a>",
         "XML_PROCESSING[XML_ATTR_version=1.0;XML_ATTR_encoding=ISO-8859-1;XML_ATTR_standalone=yes] XML_DOCTYPE "
         "XML_COMMENT= c  a{b{XML_TEXT=ACME & co} [ParserType=4]=x<y XML_PROCESSING[XML_TARGET=pi;XML_DATA=d] c{XML_TEXT= }}",
         // The DTD declares no element: the document is not valid.
         0x62070062},
        // Text joins what entities add to it; attributes take their entities.
        {{}, R"j(<!DOCTYPE a [<!ENTITY e "(&f;)"><!ENTITY f "<i>x</i>"><!ENTITY t "T&amp;">]><a v="1&t;2">[&e;]</a>)j",
         "XML_DOCTYPE a[XML_ATTR_v=1T&2]{XML_TEXT=[( i{XML_TEXT=x} XML_TEXT=)]}", 0x62070062},
        {{{"AttribAsNodes", true}}, "<?xml version=\"1.0\"?><a/>", "XML_PROCESSING{version'=1.0} a"},
    };
    for (const Case& c : cases) {
        XmlHost host(c.switches);
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        EXPECT_EQ(status(host.parse(c.text, root.get())), status(c.code)) << c.text;
        EXPECT_EQ(shape(root.get()), c.shape) << c.text;
    }
}

TEST(Xml, ValidationFailuresAreWarningsAndBadSyntaxIsFatalWithItsPlace) {
    XmlHost host;
    struct Case {
        std::string_view text;
        uint32_t code;
        std::string_view error, shape;
    };
    const Case cases[] = {
        {"<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]><a><c/></a>", 0x62070062,
         "(62070062) x: Schema Validation Error: Line 1, Pos 57: No declaration for element c", "XML_DOCTYPE a{c}"},
        {"<a>\n<b></a>", 0xE2070061,
         "(E2070061) x: Fatal Syntax Error: Line 2, Pos 8: Opening and ending tag mismatch: b line 2 and a", ""},
        {"", 0xE2070061, "(E2070061) x: Fatal Syntax Error: Line 1, Pos 1: Document is empty", ""},
        // An undeclared prefix does not stop the load.
        {"<p:a/>", 0x62070062, "(62070062) x: Schema Validation Error: Line 1, Pos 5: Namespace prefix p on a is not defined",
         "p:a"},
    };
    for (const Case& c : cases) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        EXPECT_EQ(status(host.parse(c.text, root.get())), status(c.code)) << c.text;
        EXPECT_EQ(propOf(root.get(), "Error"), c.error) << c.text;
        EXPECT_EQ(shape(root.get()), c.shape) << c.text;
    }
}

TEST(Xml, DocumentsLoadNothingAndEntityExpansionIsBounded) {
    std::string laughs = "<!DOCTYPE l [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><l>&l9;</l>";
    // Expansion that grows by many elements per reference, each reference
    // small: ten thousand references to a thousand elements.
    std::string wide = "<!DOCTYPE a [<!ENTITY e \"";
    for (int i = 0; i < 1000; ++i) wide += "<x/>";
    wide += "\">]><a>";
    for (int i = 0; i < 10000; ++i) wide += "&e;";
    wide += "</a>";
    const std::string secret = tempFile("secret.txt", "TOPSECRET");
    struct Case {
        std::string text;
        uint32_t code;
        std::string_view shape;
    };
    const Case cases[] = {
        {laughs, 0xE2070061, ""},
        {wide, 0xE2070061, ""},
        {"<!DOCTYPE a [<!ENTITY h SYSTEM \"file://" + secret + "\">]><a>x&h;y</a>", 0x62070062, "XML_DOCTYPE a{XML_TEXT=xy}"},
        {"<!DOCTYPE a SYSTEM \"" + secret + "\"><a>&h;</a>", 0x62070062, "XML_DOCTYPE a"},
        {"<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + secret + "\"> %p;]><a/>", 0x62070062, "XML_DOCTYPE a"},
        {"<!DOCTYPE a [<!ENTITY h SYSTEM \"http://127.0.0.1:9/x\">]><a>&h;</a>", 0x62070062, "XML_DOCTYPE a"},
    };
    XmlHost host;
    for (const Case& c : cases) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(status(host.parse(c.text, root.get())), status(c.code)) << c.text.substr(0, 80);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.text.substr(0, 80);
        EXPECT_EQ(shape(root.get()), c.shape) << c.text.substr(0, 80);
    }
    // The refusal is what the warning says.
    Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    host.parse(cases[2].text, root.get());
    EXPECT_NE(propOf(root.get(), "Error").find("not loaded: a message may not load files or network resources"),
              std::string::npos)
        << propOf(root.get(), "Error");
}

// Elements from entity content pay for their attributes too: ten thousand
// copies of a 10 kB attribute are not made.
TEST(Xml, EntityExpansionPaysForWhatItAdds) {
    const std::string big(10000, 'A');
    std::string text = "<!DOCTYPE r [<!ENTITY e0 \"<x a='" + big + "'/>\"><!ENTITY e1 \"";
    for (int i = 0; i < 10000; ++i) text += "&e0;";
    text += "\">]><r>&e1;</r>";
    XmlHost host;
    Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    EXPECT_EQ(status(host.parse(text, root.get())), "E2070061");
    EXPECT_EQ(childCount(root.get()), 0u);
    EXPECT_EQ(propOf(root.get(), "Error").rfind("(E2070061) x: Fatal Syntax Error: Line 1, Pos 0: entity references expand to more than ", 0), 0u)
        << propOf(root.get(), "Error");
}

// The loader is the process's: a host thread that puts its own in front of
// it while a document is parsed does not get to load what the document names.
TEST(Xml, AnotherThreadsLoaderDoesNotServeDocuments) {
    const std::string secret = tempFile("secret2.txt", "TOPSECRET");
    const std::string text = "<!DOCTYPE a [<!ENTITY h SYSTEM \"file://" + secret + "\">]><a>x&h;</a>";
    std::atomic<bool> done{false};
    std::thread host([&] {
        const std::string_view own = "<x/>";
        while (!done) {
            const xmlExternalEntityLoader saved = xmlGetExternalEntityLoader();
            xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
            xmlFreeDoc(xmlReadMemory(own.data(), static_cast<int>(own.size()), nullptr, nullptr, 0));
            xmlSetExternalEntityLoader(saved);
        }
    });
    XmlHost parser;
    std::string seen;
    for (int i = 0; i < 300 && seen.empty(); ++i) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        parser.parse(text, root.get());
        if (shape(root.get()) != "XML_DOCTYPE a{XML_TEXT=x}") seen = shape(root.get());
    }
    done = true;
    host.join();
    EXPECT_EQ(seen, "");
}

// A schema validates a document that refers to its entities as the text the
// entities stand for.
TEST(Xml, SchemasSeeEntitiesReplaced) {
    XmlHost host;
    EXPECT_EQ(host.schemaAdd("", tempFile("plain.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>"
                                                       "<xs:element name='a' type='xs:decimal'/></xs:schema>")),
              0);
    // An entity with no content leaves no reference for the validator.
    for (const auto& [value, code] : {std::pair{"2", "62070062"}, std::pair{"x", "62070063"}, std::pair{"", "62070062"}}) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        // The DTD declares no element: DTD validation warns first.
        const std::string text = std::string("<!DOCTYPE a [<!ENTITY n \"") + value + "\">]><a>1&n;</a>";
        host.parse(text, root.get());
        EXPECT_EQ(propOf(root.get(), "Error").substr(1, 8), code) << propOf(root.get(), "Error");
        EXPECT_EQ(shape(root.get()), std::string("XML_DOCTYPE a{XML_TEXT=1") + value + "}");
    }
}

xmlParserInputPtr refuseAll(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

// Schemas load what they include through our loader, even when the host
// has put another in front of it since; the host's is back afterwards.
TEST(Xml, SchemasLoadThroughOurLoaderWhateverTheHostInstalled) {
    XmlHost host;
    Tree warm(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    host.parse("<a/>", warm.get());  // the library's loader is in place
    const xmlExternalEntityLoader before = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(refuseAll);
    const auto schema = [](std::string_view body) {
        return "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:n'>" + std::string(body) +
               "</xs:schema>";
    };
    EXPECT_EQ(host.schemaAdd("urn:n", tempFile("n1.xsd", schema("<xs:element name='A' type='xs:int'/>"))), 0);
    EXPECT_EQ(host.schemaAdd("urn:n", tempFile("n2.xsd", schema("<xs:element name='B' type='xs:int'/>"))), 0);
    EXPECT_EQ(xmlGetExternalEntityLoader(), refuseAll);
    xmlSetExternalEntityLoader(before);
    for (const auto& [text, code] : {std::pair{"<B xmlns='urn:n'>1</B>", 0}, std::pair{"<B xmlns='urn:n'>x</B>", 0x62070063}}) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        EXPECT_EQ(status(host.parse(text, root.get())), status(code)) << propOf(root.get(), "Error");
    }
}

TEST(Xml, NothingReachesStandardError) {
    std::fflush(stderr);
    const std::string captured = tempFile("stderr.txt", "");
    const int saved = dup(2);
    std::FILE* sink = std::fopen(captured.c_str(), "w");
    dup2(fileno(sink), 2);
    {
        XmlHost host;
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        host.parse("<a><b></a>", root.get());
        host.parse("<!DOCTYPE a SYSTEM \"/nonexistent.dtd\"><a/>", root.get());
        host.schemaAdd("urn:x", tempFile("broken.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:element/></xs:schema>"));
        host.schemaAdd("urn:x", "/nonexistent.xsd");
    }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(sink);
    std::ifstream in(captured);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "");
}

}  // namespace

namespace {

TEST(Xml, CompileWritesBackWhatWasParsed) {
    struct Case {
        std::initializer_list<std::pair<const char*, bool>> switches;
        std::string text, written;
    };
    const std::string pain = exampleFile("xml", "pain001.xml");
    const Case cases[] = {
        {{}, pain, pain},
        {{{"AttribAsNodes", true}}, pain, pain},
        {{{"NameQualified", false}, {"AttribQualified", false}}, pain, pain},
        // No declaration in, none out; the declaration's encoding is the
        // output's.
        {{}, R"(<a x="1"><b/>hi</a>)", "<a x=\"1\"><b/>hi</a>\n"},
        {{}, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>M\xFCller &amp; S\xF6hne</a>",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>M\xFCller &amp; S\xF6hne</a>\n"},
        {{{"NameQualified", false}}, R"(<p:a xmlns:p="urn:p"><p:b p:y="1"/><c/></p:a>)",
         "<p:a xmlns:p=\"urn:p\">\n  <p:b p:y=\"1\"/>\n  <c/>\n</p:a>\n"},
        // Comments lose their leading blanks; a CDATA section stays one;
        // entities are written as what they stand for, the DTD not at all.
        {{}, "<!DOCTYPE a [<!ENTITY co \"ACME\">]><!--   c --><a>x&co;y<![CDATA[1<2]]></a>",
         "<!--c -->\n<a>xACMEy<![CDATA[1<2]]></a>\n"},
        // The undeclaration of a default namespace is not written.
        {{}, R"(<a xmlns="urn:d"><b xmlns="">t</b></a>)", "<a xmlns=\"urn:d\">\n  <b>t</b>\n</a>\n"},
        // Instructions keep their place; names of the current rules; text
        // without declaration is UTF-8, the XML default, not references.
        {{}, "<?xml version=\"1.0\" standalone=\"no\"?><a><?keep me?><xmlnsConfig>1</xmlnsConfig></a>",
         "<?xml version=\"1.0\" standalone=\"no\"?>\n<a>\n  <?keep me?>\n  <xmlnsConfig>1</xmlnsConfig>\n</a>\n"},
        {{}, "<n\u20AC b\u20AC=\"M\u00FCller \u540D\">\u540D</n\u20AC>", "<n\u20AC b\u20AC=\"M\u00FCller \u540D\">\u540D</n\u20AC>\n"},
        // An encoding libxml2 reaches through iconv.
        {{}, "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80</a>",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>\x80</a>\n"},
        // Entity text in an attribute counts its white space as blanks.
        {{}, "<!DOCTYPE a [<!ENTITY e \"x&#9;y\">]><a v=\"1&e;2\"/>", "<a v=\"1x y2\"/>\n"},
    };
    for (const Case& c : cases) {
        XmlHost host(c.switches);
        EXPECT_EQ(host.roundTrip(c.text), c.written) << c.text.substr(0, 60);
    }
}

TEST(Xml, CompileBuildsFromTreesAndRefusesWhatWouldNotBeXml) {
    struct Case {
        std::string_view tree;
        std::string written;  // or the error's description
        uint32_t status = 0;
    };
    const Case cases[] = {
        // A node named xmlns declares the default namespace of the element
        // holding it, wherever it stands, and on the document element at the
        // top level; text that reads like a declaration stays text.
        {R"j([{"name":"a","group":true,"children":[{"name":"xmlns","group":true,"props":{"Value":"urn:x"}},
             {"name":"b","group":true,"children":[{"name":"XML_TEXT","group":true,"props":{"Value":"v xmlns=\"\" w"}}]}]}])j",
         "<a xmlns=\"urn:x\">\n  <b>v xmlns=\"\" w</b>\n</a>\n"},
         {R"j([{"name":"XML_COMMENT","group":true,"props":{"Value":" c"}},{"name":"XMLNS","group":true,"props":{"Value":"urn:y"}},
             {"name":"a","group":true,"props":{"XML_ATTR_xmlns":"","XML_ATTR_n":7}}])j",
         "<!--c-->\n<a n=\"7\" xmlns=\"urn:y\"/>\n"},
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_version":"1.0","XML_ATTR_encoding":"UTF-8","XML_ATTR_standalone":"yes"}},
             {"name":"a","group":true,"props":{"XML_PREFIX":"p","XML_ATTR_xmlns:p":"urn:p"}}])j",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<p:a xmlns:p=\"urn:p\"/>\n"},
        // Attribute values are text, whatever they hold.
        {R"j([{"name":"a","group":true,"props":{"XML_ATTR_v":"AT&T <x> &lt;"}}])j", "<a v=\"AT&amp;T &lt;x&gt; &amp;lt;\"/>\n"},
        {R"j([{"name":"a b","group":true}])j", "(E2070061) x: Fatal Syntax Error: 'a b' is not an XML name", 0xE2070061},
        {R"j([{"name":"p:a","group":true,"children":[{"name":"b","group":true,"props":{"XML_ATTR_q:c":"1","XML_ATTR_xmlns:p":"urn:p"}}]}])j",
         "(E2070061) x: Fatal Syntax Error: prefix p of p:a is not declared", 0xE2070061},
        {R"j([{"name":"a","group":true,"props":{"XML_ATTR_xmlns:p":""}}])j",
         "(E2070061) x: Fatal Syntax Error: namespace prefix p declared empty", 0xE2070061},
        {R"j([{"name":"a","group":true},{"name":"b","group":true}])j",
         "(E2070061) x: Fatal Syntax Error: a document has one element at its top level; 'b' would be a second", 0xE2070061},
        {R"j([{"name":"XML_COMMENT","group":true,"props":{"Value":"a--b"}}])j",
         "(E2070061) x: Fatal Syntax Error: a comment may not hold \"--\" nor end with \"-\"", 0xE2070061},
        {R"j([{"name":"a","group":true,"children":[{"name":"XML_TEXT","group":true,"props":{"Value":5}}]}])j",
         "(E2070008) x: property Value should be a string", 0xE2070008},
        {R"j([{"name":"a","group":true,"children":[{"name":"XML_TEXT","group":true,"props":{"Value":"a\u0001b"}}]}])j",
         "(E2070061) x: Fatal Syntax Error: the value of XML_TEXT holds characters XML does not allow", 0xE2070061},
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_encoding":"NO-SUCH"}}])j",
         "(E2070061) x: Fatal Syntax Error: encoding 'NO-SUCH' is not known", 0xE2070061},
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_encoding":"HTML"}},{"name":"a","group":true}])j",
         "(E2070061) x: Fatal Syntax Error: encoding 'HTML' is not known", 0xE2070061},
        // A declared encoding holds the markup, or the document is refused;
        // text takes references.
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_encoding":"ISO-8859-1"}},
             {"name":"a","group":true,"children":[{"name":"XML_TEXT","group":true,"props":{"Value":"\u540D\u00FC"}}]}])j",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>&#21517;\xFC</a>\n"},
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_encoding":"ISO-8859-1"}},{"name":"\u03A9","group":true}])j",
         "(E2070061) x: Fatal Syntax Error: '\u03A9' cannot be written in ISO-8859-1", 0xE2070061},
        {R"j([{"name":"XML_PROCESSING","group":true,"props":{"XML_ATTR_encoding":"ISO-8859-1"}},
             {"name":"XML_COMMENT","group":true,"props":{"Value":"\u20AC"}},{"name":"a","group":true}])j",
         "(E2070061) x: Fatal Syntax Error: '\u20AC' cannot be written in ISO-8859-1", 0xE2070061},
        {R"j([{"name":"XML_COMMENT","group":true,"props":{"Value":"c"}}])j",
         "(E2070061) x: Fatal Syntax Error: a document needs an element", 0xE2070061},
        // A malformed (overlong) UTF-8 sequence is no text.
        {R"j([{"name":"a","group":true,"props":{"XML_ATTR_v":{"istr":"x#C0#BCy"}}}])j",
         "(E2070061) x: Fatal Syntax Error: attribute v holds characters XML does not allow", 0xE2070061},
    };
    XmlHost host;
    for (const Case& c : cases) {
        Tree tree(R"j({"name":"doc","group":true,"children":)j" + std::string(c.tree) + "}");
        const Outcome r = host.compile(tree.get());
        EXPECT_EQ(r.code, c.status) << c.tree;
        EXPECT_EQ(c.status ? r.description : r.args[0].str(), c.written) << c.tree;
    }
}

TEST(Xml, SchemasAddedByNamespaceValidateEveryParse) {
    const std::string pain = exampleFile("xml", "pain001.xml"), invalid = exampleFile("xml", "pain001_invalid.xml");
    const std::string xsd = std::string(PAYFMT_EXAMPLES_DIR) + "/xml/pain001.xsd";
    XmlHost host;
    EXPECT_EQ(status(host.schemaAdd("urn:x", "/nonexistent.xsd")), "62070064");
    EXPECT_EQ(status(host.schemaAdd(kPainNamespace, xsd)), "00000000");
    Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    EXPECT_EQ(host.parse(pain, root.get()), 0);
    EXPECT_EQ(status(host.parse(invalid, root.get())), "62070063");
    EXPECT_EQ(propOf(root.get(), "Error"),
              "(62070063) x: Schema Validation Error: Element '{urn:iso:std:iso:20022:tech:xsd:pain.001.001.03}InstdAmt': "
              "'12.5O' is not a valid value of the atomic type "
              "'{urn:iso:std:iso:20022:tech:xsd:pain.001.001.03}ActiveOrHistoricCurrencyAndAmount_SimpleType'.");

    // An envelope whose payload is of another namespace, that namespace in
    // two files: every schema added takes part.
    const auto schema = [](std::string_view ns, std::string_view body) {
        return "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' elementFormDefault='qualified' targetNamespace='" +
               std::string(ns) + "'>" + std::string(body) + "</xs:schema>";
    };
    XmlHost mixed({}, "y");
    EXPECT_EQ(mixed.schemaAdd("urn:env", tempFile("env.xsd", schema("urn:env", "<xs:element name='Env'><xs:complexType><xs:sequence>"
                                                                        "<xs:any namespace='##other' maxOccurs='9'/></xs:sequence>"
                                                                        "</xs:complexType></xs:element>"))),
              0);
    EXPECT_EQ(mixed.schemaAdd("urn:pay", tempFile("amt.xsd", schema("urn:pay", "<xs:element name='Amt' type='xs:decimal'/>"))), 0);
    EXPECT_EQ(mixed.schemaAdd("urn:pay", tempFile("ref.xsd", schema("urn:pay", "<xs:element name='Ref' type='xs:int'/>"))), 0);
    // A file whose namespace is not the one it is added under is refused,
    // and the set stays as it was.
    const Outcome wrong = mixed.parser.call("SchemaAdd", {Var::text("urn:other"), Var::text(tempFile("other.xsd", schema("urn:pay", "")))});
    EXPECT_EQ(status(wrong.result.v.u.i), "62070064");
    const std::string other = tempFile("other.xsd", schema("urn:pay", ""));
    EXPECT_EQ(test::lastRecord().description, "(62070064) y: Schema " + other +
                                                  " could not be loaded: Line 1, Pos 0: the schema's target namespace is "
                                                  "'urn:pay', not 'urn:other'");
    const std::string env = "<Env xmlns='urn:env' xmlns:p='urn:pay'><p:Amt>1.5</p:Amt><p:Ref>7</p:Ref>";
    struct Case {
        std::string text;
        uint32_t code;
    };
    const Case cases[] = {
        {env + "</Env>", 0},
        {env + "<p:Ref>x</p:Ref></Env>", 0x62070063},
        {env + "<p:Other/></Env>", 0x62070063},
    };
    for (const Case& c : cases) {
        Tree doc(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        EXPECT_EQ(status(mixed.parse(c.text, doc.get())), status(c.code)) << c.text << propOf(doc.get(), "Error");
    }
    // Closing lets the schemas go.
    mixed.parser.call("Close", {});
    mixed.parser.call("Open", {});
    Tree doc(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    EXPECT_EQ(mixed.parse(cases[2].text, doc.get()), 0);
}

TEST(Xml, MembersAndArguments) {
    Obj parser = Obj::create("PXML");
    parser.put("Name", Var::text("x"));
    const Outcome early = parser.call("SchemaAdd", {Var::text("urn:x"), Var::text("a.xsd")});
    EXPECT_EQ(early.description, "(E2070001) x: The parser is not open");
    EXPECT_EQ(parser.get("AttribAsNodes").result.v.u.b, 0);
    EXPECT_NE(parser.get("AttribQualified").result.v.u.b, 0);
    EXPECT_NE(parser.get("NameQualified").result.v.u.b, 0);
    parser.put("NameQualified", Var::boolean(false));
    EXPECT_EQ(parser.get("Path").result.str(), "parser:PXML/x;NameQualified=false");
    EXPECT_EQ(parser.get("RequiresDefTree").result.v.u.b, 0);
    parser.call("Open", {});
    Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
    struct Case {
        std::vector<Var> args;
        std::string method;
        uint32_t status;
    };
    std::vector<Case> cases;
    cases.push_back({{Var::blob("<a/>"), Var::integer(root.get()), Var::text("")}, "Parse", KOR_C_TYPEMISMATCH});
    cases.push_back({{Var::text("<a/>"), Var::integer(root.get()), Var::text("FIX(2)")}, "Parse", KOR_C_TYPEMISMATCH});
    cases.push_back({{Var::text("<a/>"), Var::integer(0), Var::text("")}, "Parse", 0xE207000C});
    cases.push_back({{Var::text(""), Var::integer(root.get()), Var::text("RAW2HEX")}, "Compile", KOR_C_TYPEMISMATCH});
    cases.push_back({{Var::text("urn:x")}, "SchemaAdd", KOR_C_BADPARAMCOUNT});
    cases.push_back({{Var::text("urn:x"), Var::integer(1)}, "SchemaAdd", KOR_C_TYPEMISMATCH});
    for (Case& c : cases) EXPECT_EQ(status(parser.call(c.method.c_str(), c.args).code), status(c.status)) << c.method;
    parser.call("Close", {});
}

}  // namespace

namespace {

// Whatever a cut or damaged copy of the sample does, it ends with a status;
// and what parses without error compiles to a document that parses into the
// same tree again.
TEST(Xml, EveryCutAndDamagedCopyOfTheSampleEndsWithAStatus) {
    const std::string pain = exampleFile("xml", "pain001.xml");
    std::vector<std::string> copies;
    for (std::size_t size = 0; size < pain.size(); size += 13) copies.push_back(pain.substr(0, size));
    for (std::size_t at = 0; at < pain.size(); at += 17) {
        for (const char c : {'<', '&', '\0', '\xFF', '"'}) {
            copies.push_back(pain);
            copies.back()[at] = c;
        }
    }
    XmlHost host;
    std::size_t parsed = 0;
    for (const std::string& copy : copies) {
        Tree root(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        const int64_t code = host.parse(copy, root.get());
        if ((static_cast<uint32_t>(code) >> 30) == 3) {
            EXPECT_EQ(childCount(root.get()), 0u);
            continue;
        }
        ++parsed;
        const Outcome written = host.compile(root.get());
        ASSERT_EQ(written.status, 0u) << written.description << "\n" << copy;
        Tree again(VEXTreeCreateNode("doc", VEX_NODE_GROUP));
        host.parse(written.args[0].str(), again.get());
        EXPECT_EQ(shape(again.get()), shape(root.get())) << copy;
    }
    EXPECT_GT(parsed, 50u);  // the round trip was tried, not only failures
}

}  // namespace
