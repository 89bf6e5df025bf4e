#include "parsers/xml/pxml.h"

#include <climits>

#include "framework/arguments.h"
#include "framework/errors.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/parser_switch.h"
#include "parsers/xml/schema_set.h"

namespace payfmt {

namespace {

constexpr std::string_view kParseSource = "TPXML.Parse";
constexpr std::string_view kCompileSource = "TVEXParser.Compile";
constexpr std::string_view kSchemaAddSource = "TPXML.SchemaAdd";
constexpr std::string_view kDoCallSource = "TPXML.DoCall";

constexpr ParserSwitch<TPXML> kSwitches[] = {
    {xml_dispid::kAttribAsNodes, "AttribAsNodes", "Stores the element attributes as separate nodes", &TPXML::attribAsNodes,
     false},
    {xml_dispid::kAttribQualified, "AttribQualified", "Stores the attribute with its prefix", &TPXML::attribQualified,
     true},
    {xml_dispid::kNameQualified, "NameQualified", "Stores the names with its prefix", &TPXML::nameQualified, true},
};

class TVEXXMLParserInfo final : public TKORFIXParserInfo {
public:
    TVEXXMLParserInfo()
        : TKORFIXParserInfo(parserClass<TPXML>("TPXML", xmlParserInfo), "7c2e9a14-5b3d-4e61-9f80-2d4b6a1c0b04") {
        for (const auto& s : kSwitches) AddProperty(s.dispid, s.name).Describe(s.description).Help(kParserHelpFile, s.name);
        AddMethod(xml_dispid::kSchemaAdd, "SchemaAdd")
            .Describe("Adds a schema XSD file to the parser")
            .Help(kParserHelpFile, "SchemaAdd");
        Register();
    }
};

// Whitespace is not kept between elements, and nothing is fetched from the
// network whatever the loader is asked. Entities are left as references
// (not XML_PARSE_NOENT), which the conversion expands under its own budget:
// libxml2's own bound lets a few kilobytes grow into millions of nodes.
constexpr int kLoadOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;
// A reused parser context keeps every name it met in its dictionary; one
// that has met this many starts afresh, so that a long run of documents with
// ever new names does not grow without end.
constexpr int kDictionaryLimit = 50000;

void dropReferences(xmlNode* parent) {
    for (xmlNode* n = parent->children; n;) {
        xmlNode* next = n->next;
        if (n->type == XML_ENTITY_REF_NODE) {
            xmlUnlinkNode(n);
            xmlFreeNode(n);
        } else if (n->type == XML_ELEMENT_NODE) {
            dropReferences(n);
        }
        n = next;
    }
}

}  // namespace

const TKORComponentInfo& xmlParserInfo() {
    static const TVEXXMLParserInfo info;
    return info;
}

TPXML::TPXML() : Parser("PXML") {}

TPXML::~TPXML() = default;

bool TPXML::GetMember(std::int32_t dispid, Variant& value) { return getSwitch<TPXML>(kSwitches, *this, dispid, value); }

bool TPXML::SetMember(std::int32_t dispid, const Variant& value) {
    return setSwitch<TPXML>(kSwitches, *this, dispid, value);
}

void TPXML::reportSettings(Props& reported) const { reportSwitches<TPXML>(kSwitches, *this, reported); }

bool TPXML::CallMember(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    if (dispid != xml_dispid::kSchemaAdd) return false;
    const Arguments args(params, 2, kDoCallSource);
    args.require(0, {VarType::String});
    args.require(1, {VarType::String});
    result = Variant::integer(SchemaAdd(params[0].bytes(), params[1].bytes()));
    return true;
}

void TPXML::Open() {
    const bool wasOpen = isOpen();
    Parser::Open();
    // Opening an open parser keeps the schemas it was given.
    if (!wasOpen) schemas_ = std::make_unique<xml::SchemaSet>();
}

void TPXML::Close() {
    schemas_.reset();
    Parser::Close();
}

std::uint32_t TPXML::SchemaAdd(std::string_view ns, std::string_view file) {
    errors().reset();
    if (!schemas_) raise(kSchemaAddSource, kErrParserNotOpen, {GetParserName()});
    if (const auto failure = schemas_->add(ns, file))
        errors().record(kSchemaAddSource, kWarnSchemaNotLoaded, {GetParserName(), file, *failure});
    return worstCode();
}

std::uint32_t TPXML::Parse(const Variant& message, NodeId tree, std::string_view inputFormat) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    if (!message.isStr()) throw EInvalidParameter::type(1, message.typeName(), std::string(kParseSource));
    if (!inputFormat.empty()) throw EInvalidParameter::type(3, "format", std::string(kParseSource));
    if (!tree) raise(kParseSource, kErrNoDestination, {GetParserName()});
    clearReports(nodes().get(tree).props);
    Cursor cursor{message.bytes(), 0};
    return ParseInternal(cursor, tree, rootRecord());
}

std::uint32_t TPXML::Compile(Variant& message, NodeId tree, std::string_view outputFormat) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    if (!outputFormat.empty()) throw EInvalidParameter::type(3, "format", std::string(kCompileSource));
    if (!tree) raise(kCompileSource, kErrNoDestination, {GetParserName()});
    clearReports(nodes().get(tree).props);
    Bytes text;
    const std::uint32_t code = CompileInternal(text, tree, rootRecord());
    message = Variant::text(text);
    return code;
}

std::uint32_t TPXML::ParseInternal(Cursor& cursor, NodeId node, const TParseInherit&) {
    const BytesView text = cursor.rest();
    cursor.advance(cursor.left());
    if (const xml::DocPtr doc = load(text)) {
        const bool referencesEntities = appendDocument(doc.get(), node, text.size());
        if (schemas_ && !schemas_->empty() && !errors().holdsError()) {
            // The validator refuses entity references: it is given the
            // document with its entities replaced, which the conversion has
            // just found to stay within bounds.
            xml::DocPtr replaced;
            if (referencesEntities) {
                xml::ErrorSink ignored;  // the document loaded once already: its reports are made
                const xml::XmlScope scope(ignored, xml::Loads::Nothing);
                replaced = read(text, XML_PARSE_NOENT);
            }
            xmlDoc* checked = replaced ? replaced.get() : doc.get();
            // References to entities that are not declared stay, with nothing
            // behind them; the validator would stop at them.
            if (referencesEntities) dropReferences(reinterpret_cast<xmlNode*>(checked));
            if (const auto failure = schemas_->validate(checked))
                errors().record(kParseSource, kWarnSchemaInvalid, {GetParserName(), *failure});
        }
    }
    attachReport(*this, nodes().get(node).props);
    return worstCode();
}

std::uint32_t TPXML::CompileInternal(Bytes& out, NodeId node, const TParseInherit&) {
    writeDocument(node, out);
    return worstCode();
}

xml::DocPtr TPXML::read(BytesView text, int options) {
    if (context_ && xmlDictSize(context_->dict) > kDictionaryLimit) context_.reset();
    if (!context_) {
        context_.reset(xmlNewParserCtxt());
        if (!context_) raise(kParseSource, kErrAllocation, {GetParserName(), "XML parser"});
        xml::refuseLoads(context_.get());
    }
    return xml::DocPtr(xmlCtxtReadMemory(context_.get(), text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                         kLoadOptions | options));
}

xml::DocPtr TPXML::load(BytesView text) {
    xml::ErrorSink sink;
    const xml::XmlScope scope(sink, xml::Loads::Nothing);
    if (text.size() > INT_MAX) {
        errors().record(kParseSource, kErrXmlFatal, {GetParserName(), "Line 0, Pos 0: the document is larger than 2 GB"});
        return nullptr;
    }
    xml::DocPtr doc = read(text, XML_PARSE_DTDVALID);
    if (doc && !sink.failed()) return doc;
    errors().record(kParseSource, kWarnXmlInvalid, {GetParserName(), sink.located()});
    // A well-formed document loads without validation as it did with it.
    if (doc) return doc;
    sink.reset();
    doc = read(text, 0);
    if (doc) return doc;
    // libxml2 says nothing about an empty buffer.
    if (!sink.failed()) sink.fail(1, 1, text.empty() ? "Document is empty" : "the document could not be read");
    errors().record(kParseSource, kErrXmlFatal, {GetParserName(), sink.located()});
    return nullptr;
}

}  // namespace payfmt
