#pragma once
// TPXML: XML documents as value trees. The parser needs no definitions and
// runs no operator chains: each node of the document becomes one group node
// (elements by name, text as "XML_TEXT", comments as "XML_COMMENT", the
// declaration and processing instructions as "XML_PROCESSING", the document
// type as "XML_DOCTYPE"), and three switches decide how attributes and
// prefixes are kept. libxml2 reads, validates and writes the documents.
//
// A message is loaded with DTD validation first; a document that fails it is
// still converted when it is well formed, with the failure as a warning.
// Schemas added with SchemaAdd then validate every document parsed.
// Documents never load anything themselves: external entities and DTDs are
// refused (and reported), and the entities it declares may expand only so far.
#include <cstdint>
#include <memory>
#include <string_view>

#include "parsers/core/parser.h"
#include "parsers/xml/xml_library.h"

namespace payfmt {

class TKORComponentInfo;
namespace xml {
class SchemaSet;
}

namespace xml_dispid {
inline constexpr std::int32_t kAttribAsNodes = 117;
inline constexpr std::int32_t kAttribQualified = 119;
inline constexpr std::int32_t kNameQualified = 126;
inline constexpr std::int32_t kSchemaAdd = 156;
}  // namespace xml_dispid

inline constexpr std::uint32_t kErrXmlFatal = 0xE2070061;
inline constexpr std::uint32_t kWarnXmlInvalid = 0x62070062;
inline constexpr std::uint32_t kWarnSchemaInvalid = 0x62070063;
inline constexpr std::uint32_t kWarnSchemaNotLoaded = 0x62070064;

class TPXML final : public Parser {
public:
    TPXML();
    ~TPXML() override;

    bool attribAsNodes = false;
    bool attribQualified = true;
    bool nameQualified = true;

    // Open starts an empty schema set; Close lets it go.
    void Open() override;
    void Close() override;
    // The message is the XML text itself (not IStr), and so is what Compile
    // gives back; neither takes a format.
    std::uint32_t Compile(Variant& message, NodeId tree, std::string_view outputFormat) override;
    std::uint32_t Parse(const Variant& message, NodeId tree, std::string_view inputFormat) override;
    // A field handed to the parser holds a whole document.
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;

    bool GetMember(std::int32_t dispid, Variant& value) override;
    bool SetMember(std::int32_t dispid, const Variant& value) override;
    bool CallMember(std::int32_t dispid, std::span<Variant> params, Variant& result) override;
    // Adds an XSD file to the schemas every parse validates against; a file
    // that cannot be loaded or compiled is reported (a warning) and left out.
    std::uint32_t SchemaAdd(std::string_view ns, std::string_view file);

protected:
    void reportSettings(Props& reported) const override;

private:
    // The document of the text, loaded as described above; null (with the
    // fatal error recorded) when it is not well formed.
    xml::DocPtr load(BytesView text);
    // One libxml2 read of the text with our options and these.
    xml::DocPtr read(BytesView text, int options);
    // The document's nodes as children of parent (xml_parse.cpp); what its
    // entities may add is bounded by the size of its text. Whether the
    // document refers to entities it declares.
    bool appendDocument(xmlDoc* doc, NodeId parent, std::size_t textSize);
    // The value tree's children as an XML document (xml_compile.cpp).
    void writeDocument(NodeId tree, Bytes& out);

    std::unique_ptr<xml::SchemaSet> schemas_;  // while open
    xml::ParserContextPtr context_;            // reused from parse to parse
};

// TVEXXMLParserInfo for TPXML, registered under "PXML".
const TKORComponentInfo& xmlParserInfo();

}  // namespace payfmt
