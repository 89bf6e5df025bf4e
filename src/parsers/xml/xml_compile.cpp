// A value tree as an XML document: each group child of the value node
// becomes a node of the document, by name; leaves are attributes.
#include <libxml/chvalid.h>
#include <libxml/encoding.h>
#include <libxml/xmlsave.h>

#include <optional>
#include <string>

#include "engine/settings.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/xml/pxml.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::string_view kLocation = "TPXML.AddDOMChild";
constexpr std::string_view kAttributePrefix = "XML_ATTR_";
constexpr std::uint32_t kErrPropertyType = 0xE2070008;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// Whether every character is one XML 1.0 allows in a document: what
// libxml2 would otherwise write as a character reference that no parser
// then reads back.
bool xmlCharacters(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        if (*p < 0x80) {
            if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r') return false;
            ++p, --left;
            continue;
        }
        int length = static_cast<int>(std::min<std::size_t>(left, 4));
        const int c = xmlGetUTF8Char(p, &length);
        if (c < 0 || !xmlIsCharQ(c)) return false;
        p += length;
        left -= static_cast<std::size_t>(length);
    }
    return true;
}

class DomWriter {
public:
    DomWriter(TPXML& parser, xmlDoc* doc) : parser_(parser), doc_(doc), valueName_(parser.settings().valueName) {}

    // Adds the group children of node to the holder's list (the document's
    // when holder is null).
    void addList(xmlNode* holder, NodeId node) {
        const NestingGuard guard(parser_, kLocation);
        for (std::size_t i = 0; i < nodes().get(node).children.size(); ++i) {
            const NodeId child = nodes().get(node).children[i];
            if (nodes().get(child).isGroup()) add(holder, child);
        }
    }

    // After the whole tree: a default namespace that the top level declared
    // goes on the document element.
    void finish() {
        if (!topNamespace_) return;
        if (xmlNode* root = xmlDocGetRootElement(doc_)) declare(root, "xmlns", *topNamespace_);
    }

    bool declared() const { return declared_; }
    const std::string& encoding() const { return encoding_; }

private:
    void add(xmlNode* holder, NodeId id) {
        const Node& node = nodes().get(id);
        const std::string value = valueOf(node);
        const std::string& kind = node.name;
        if (equalsNoCase(kind, "XML_PROCESSING")) return takeDeclaration(id);
        if (equalsNoCase(kind, "XML_DOCTYPE")) return;
        if (equalsNoCase(kind, "XML_COMMENT")) return addComment(holder, value);
        if (equalsNoCase(kind, "XML_TEXT")) return append(holder, xmlNewDocTextLen(doc_, chars(value), size(value)), id);
        if (startsWithNoCase(kind, "xmlns")) return declareFromNode(holder, kind, value);
        // A name kept without its prefix gets it back (whatever the switch
        // says now: a prefix dropped would move the element out of its
        // namespace).
        std::string name = kind;
        if (name.find(':') == std::string::npos) {
            const Variant* prefix = node.props.find("XML_PREFIX");
            if (prefix && prefix->isStr() && !prefix->bytes().empty()) name = std::string(prefix->bytes()) + ":" + name;
        }
        if (name.empty()) return addUnnamed(holder, id, value);
        if (xmlValidateQName(xml::chars(name), 0) != 0) fail("'" + name + "' is not an XML name");
        xmlNode* element = xmlNewDocNode(doc_, nullptr, xml::chars(name), nullptr);
        append(holder, element, id);
        setAttributes(element, id);
        addList(element, id);
    }

    // A node kept by its kind: a CDATA section is written back as one, an
    // entity reference as what it holds.
    void addUnnamed(xmlNode* holder, NodeId id, const std::string& value) {
        const Variant* kind = nodes().get(id).props.find(prop::kParserType);
        const auto type = kind ? kind->toInt() : std::nullopt;
        if (type == XML_CDATA_SECTION_NODE) return append(holder, xmlNewCDataBlock(doc_, chars(value), size(value)), id);
        if (type == XML_ENTITY_REF_NODE) return addList(holder, id);
        fail("a node without name is not an XML node");
    }

    void addComment(xmlNode* holder, const std::string& value) {
        const std::size_t start = value.find_first_not_of(" \t\r\n");
        const std::string text = start == std::string::npos ? std::string() : value.substr(start);
        if (text.find("--") != std::string::npos || (!text.empty() && text.back() == '-'))
            fail("a comment may not hold \"--\" nor end with \"-\"");
        append(holder, xmlNewDocComment(doc_, xml::chars(text)), 0);
    }

    // A node named xmlns declares the default namespace of the element that
    // holds its list (one named xmlns:p the prefix p). The element is the
    // holder itself, whatever the node's place in the list; at the top level
    // it is the document element.
    void declareFromNode(xmlNode* holder, const std::string& name, const std::string& uri) {
        const bool prefixed = startsWithNoCase(name, "xmlns:");
        const std::string attribute = prefixed ? name : "xmlns";
        if (holder) return declare(holder, attribute, uri);
        if (!prefixed) topNamespace_ = uri;
    }

    // An empty default namespace declaration says nothing the element does
    // not already mean here: it is not written.
    void declare(xmlNode* element, const std::string& attribute, const std::string& uri) {
        if (uri.empty() && equalsNoCase(attribute, "xmlns")) return;
        xmlSetNsProp(element, nullptr, xml::chars(attribute), xml::chars(uri));
    }

    void setAttributes(xmlNode* element, NodeId id) {
        const Node& node = nodes().get(id);
        if (parser_.attribAsNodes) {
            for (const NodeId child : node.children) {
                const Node& leaf = nodes().get(child);
                if (!leaf.isGroup()) setAttribute(element, leaf.name, valueOf(leaf));
            }
            return;
        }
        const Props all = node.props.items();
        for (const auto& [name, value] : all.items()) {
            if (!startsWithNoCase(name, kAttributePrefix)) continue;
            const auto text = value.toText();
            if (!text) fail("attribute " + name + " is not text");
            setAttribute(element, name.substr(kAttributePrefix.size()), *text);
        }
    }

    void setAttribute(xmlNode* element, const std::string& name, const std::string& value) {
        if (xmlValidateQName(xml::chars(name), 0) != 0) fail("'" + name + "' is not an XML attribute name");
        if (!xmlCharacters(value)) fail("attribute " + name + " holds characters XML does not allow");
        declare(element, name, value);
    }

    // The declaration's settings from an XML_PROCESSING node's attributes.
    void takeDeclaration(NodeId id) {
        const Node& node = nodes().get(id);
        const auto setting = [&](std::string_view name, const std::string& value) {
            if (equalsNoCase(name, "version")) {
                if (value.size() < 3 || value.compare(0, 2, "1.") != 0 ||
                    value.find_first_not_of("0123456789", 2) != std::string::npos)
                    fail("'" + value + "' is not an XML version");
                xmlFree(const_cast<xmlChar*>(doc_->version));
                doc_->version = xmlStrdup(xml::chars(value));
            } else if (equalsNoCase(name, "encoding")) {
                xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(value.c_str());
                if (!handler) fail("encoding '" + value + "' is not known");
                xmlCharEncCloseFunc(handler);
                encoding_ = value;
            } else if (equalsNoCase(name, "standalone")) {
                doc_->standalone = equalsNoCase(value, "yes") ? 1 : 0;
            }
        };
        declared_ = true;
        if (parser_.attribAsNodes) {
            for (const NodeId child : node.children)
                if (!nodes().get(child).isGroup()) setting(nodes().get(child).name, valueOf(nodes().get(child)));
            return;
        }
        const Props all = node.props.items();
        for (const auto& [name, value] : all.items())
            if (startsWithNoCase(name, kAttributePrefix))
                setting(std::string_view(name).substr(kAttributePrefix.size()), value.toText().value_or(""));
    }

    // The node's Value as text: absent or empty is no text; anything but
    // text is refused.
    std::string valueOf(const Node& node) {
        const Variant* v = node.props.find(valueName_);
        if (!v || v->isEmpty() || v->is(VarType::Null)) return {};
        if (!v->isStr()) parser_.raise(kLocation, kErrPropertyType, {parser_.GetParserName(), valueName_, "string"});
        const std::string text(v->bytes());
        if (!xmlCharacters(text)) fail("the value of " + node.name + " holds characters XML does not allow");
        return text;
    }

    void append(xmlNode* holder, xmlNode* child, NodeId id) {
        if (!child) parser_.raise(kLocation, kErrAllocation, {parser_.GetParserName(), "XML node"});
        if (!holder) {
            // The document holds one element, comments and processing
            // instructions; text there would not be XML.
            if (child->type == XML_ELEMENT_NODE && xmlDocGetRootElement(doc_)) {
                xmlFreeNode(child);
                fail("a document has one element at its top level; '" + nodes().get(id).name + "' would be a second");
            }
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                const bool blank = xmlIsBlankNode(child);
                xmlFreeNode(child);
                if (blank) return;
                fail("text at the top level of a document");
            }
        }
        xmlAddChild(holder ? holder : reinterpret_cast<xmlNode*>(doc_), child);
    }

    [[noreturn]] void fail(const std::string& reason) {
        parser_.raise(kLocation, kErrXmlFatal, {parser_.GetParserName(), reason});
    }

    static const xmlChar* chars(const std::string& s) { return xml::chars(s); }
    static int size(const std::string& s) { return static_cast<int>(s.size()); }

    TPXML& parser_;
    xmlDoc* doc_;
    const std::string& valueName_;
    bool declared_ = false;
    std::string encoding_;
    std::optional<std::string> topNamespace_;
};

}  // namespace

void TPXML::writeDocument(NodeId tree, Bytes& out) {
    xml::ErrorSink sink;
    const xml::XmlScope scope(sink, xml::Loads::Nothing);
    const xml::DocPtr doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc) raise(kLocation, kErrAllocation, {GetParserName(), "XML document"});
    DomWriter writer(*this, doc.get());
    writer.addList(nullptr, tree);
    writer.finish();
    // No declaration unless the tree has one, as the document it was read
    // from had none.
    const int options = XML_SAVE_FORMAT | (writer.declared() ? 0 : XML_SAVE_NO_DECL);
    const std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buffer(xmlBufferCreate(), xmlBufferFree);
    if (!buffer) raise(kLocation, kErrAllocation, {GetParserName(), "XML text"});
    xmlSaveCtxt* save =
        xmlSaveToBuffer(buffer.get(), writer.encoding().empty() ? nullptr : writer.encoding().c_str(), options);
    if (!save) raise(kLocation, kErrAllocation, {GetParserName(), "XML text"});
    xmlSaveDoc(save, doc.get());
    xmlSaveClose(save);
    if (sink.failed()) raise(kLocation, kErrXmlFatal, {GetParserName(), sink.located()});
    out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())), static_cast<std::size_t>(xmlBufferLength(buffer.get())));
}

}  // namespace payfmt
