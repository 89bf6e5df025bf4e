// A value tree as an XML document: each group child of the value node
// becomes a node of the document, by name; leaves are attributes.
#include <iconv.h>
#include <cerrno>
#include <libxml/encoding.h>
#include <libxml/xmlsave.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/settings.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/xml/pxml.h"
#include "parsers/xml/xml_text.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::string_view kLocation = "TPXML.AddDOMChild";
constexpr std::string_view kAttributePrefix = "XML_ATTR_";
constexpr std::uint32_t kErrPropertyType = 0xE2070008;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// A node named xmlns, or xmlns: and a prefix, declares a namespace.
bool declaresNamespace(std::string_view name) { return equalsNoCase(name, "xmlns") || startsWithNoCase(name, "xmlns:"); }

std::string_view textOf(const Node& node, std::string_view property) {
    const Variant* v = node.props.find(property);
    return v && v->isStr() ? v->bytes() : std::string_view();
}

// Converts UTF-8 text into an encoding, to learn whether the encoding can
// hold it: markup (names, comments, CDATA, instructions) has no escape for a
// character it cannot.
class Encoder {
public:
    explicit Encoder(const std::string& encoding) : cd_(iconv_open(encoding.c_str(), "UTF-8")) {}
    ~Encoder() {
        if (ok()) iconv_close(cd_);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    bool holds(std::string_view text) {
        std::string in(text);
        char* from = in.data();
        std::size_t left = in.size();
        char buffer[256];
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (left > 0) {
            char* to = buffer;
            std::size_t room = sizeof buffer;
            if (iconv(cd_, &from, &left, &to, &room) == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

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
    // goes on the document element, and a document has one.
    void finish() {
        xmlNode* root = xmlDocGetRootElement(doc_);
        if (!root) fail("a document needs an element");
        if (topNamespace_) declare(root, "xmlns", *topNamespace_);
        checkPrefixes(root);
        if (!encoding_.empty() && !equalsNoCase(encoding_, "UTF-8")) checkEncoding(reinterpret_cast<xmlNode*>(doc_));
    }

    bool declared() const { return declared_; }
    const std::string& encoding() const { return encoding_; }

private:
    void add(xmlNode* holder, NodeId id) {
        const Node& node = nodes().get(id);
        const std::string value = valueOf(node);
        const std::string& kind = node.name;
        if (equalsNoCase(kind, "XML_PROCESSING")) return addInstruction(holder, id);
        if (equalsNoCase(kind, "XML_DOCTYPE")) return;
        if (equalsNoCase(kind, "XML_COMMENT")) return addComment(holder, value);
        if (equalsNoCase(kind, "XML_TEXT")) return append(holder, xmlNewDocTextLen(doc_, chars(value), size(value)), id);
        if (declaresNamespace(kind)) return declareFromNode(holder, kind, value);
        // A name kept without its prefix gets it back (whatever the switch
        // says now: a prefix dropped would move the element out of its
        // namespace).
        std::string name = kind;
        if (const std::string_view prefix = textOf(node, "XML_PREFIX"); !prefix.empty() && name.find(':') == std::string::npos)
            name = std::string(prefix) + ":" + name;
        if (name.empty()) return addUnnamed(holder, id, value);
        if (!xml::isQualifiedName(name)) fail("'" + name + "' is not an XML name");
        xmlNode* element = xmlNewDocNode(doc_, nullptr, chars(name), nullptr);
        append(holder, element, id);
        setAttributes(element, id);
        addList(element, id);
    }

    // A node kept by its kind: a CDATA section is written back as one, an
    // entity reference as what it holds.
    void addUnnamed(xmlNode* holder, NodeId id, const std::string& value) {
        const Variant* kind = nodes().get(id).props.find(prop::kParserType);
        const auto type = kind ? kind->toInt() : std::nullopt;
        if (type == XML_CDATA_SECTION_NODE) {
            if (value.find("]]>") != std::string::npos) fail("a CDATA section may not hold \"]]>\"");
            return append(holder, xmlNewCDataBlock(doc_, chars(value), size(value)), id);
        }
        if (type == XML_ENTITY_REF_NODE) return addList(holder, id);
        fail("a node without name is not an XML node");
    }

    void addComment(xmlNode* holder, const std::string& value) {
        const std::size_t start = value.find_first_not_of(" \t\r\n");
        const std::string text = start == std::string::npos ? std::string() : value.substr(start);
        if (text.find("--") != std::string::npos || (!text.empty() && text.back() == '-'))
            fail("a comment may not hold \"--\" nor end with \"-\"");
        append(holder, xmlNewDocComment(doc_, chars(text)), 0);
    }

    // An instruction with a target is written back; one without is the
    // declaration, whose attributes set the document's version, encoding
    // and standalone.
    void addInstruction(xmlNode* holder, NodeId id) {
        const Node& node = nodes().get(id);
        const std::string target(textOf(node, "XML_TARGET"));
        if (target.empty() || equalsNoCase(target, "xml")) return takeDeclaration(id);
        const std::string data(textOf(node, "XML_DATA"));
        if (!xml::isQualifiedName(target) || target.find(':') != std::string::npos)
            fail("'" + target + "' is not a processing instruction target");
        if (!xml::isXmlText(data) || data.find("?>") != std::string::npos)
            fail("the data of processing instruction " + target + " may not hold \"?>\" or characters XML does not allow");
        append(holder, xmlNewDocPI(doc_, chars(target), data.empty() ? nullptr : chars(data)), id);
    }

    // A node named xmlns declares the default namespace of the element that
    // holds its list (one named xmlns:p the prefix p). The element is the
    // holder itself, whatever the node's place in the list; at the top level
    // it is the document element.
    void declareFromNode(xmlNode* holder, const std::string& name, const std::string& uri) {
        const bool prefixed = startsWithNoCase(name, "xmlns:");
        const std::string attribute = prefixed ? "xmlns" + name.substr(5) : "xmlns";
        if (holder) return declare(holder, attribute, uri);
        if (!prefixed) topNamespace_ = uri;
    }

    // Every prefix of an element's or attribute's name is declared on it or
    // above it (xml is declared by XML itself): written otherwise, the
    // document would not read back with its namespaces.
    void checkPrefixes(xmlNode* element) {
        std::unordered_map<std::string, bool> known;
        const auto check = [&](const xmlChar* qualified) {
            const std::string_view name = xml::view(qualified);
            const auto colon = name.find(':');
            if (colon == std::string_view::npos) return;
            const std::string prefix(name.substr(0, colon));
            if (prefix == "xml") return;
            auto [it, fresh] = known.try_emplace(prefix, false);
            if (fresh) {
                const std::string declaration = "xmlns:" + prefix;
                for (xmlNode* n = element; n && n->type == XML_ELEMENT_NODE && !it->second; n = n->parent)
                    it->second = xmlHasProp(n, chars(declaration)) != nullptr;
            }
            if (!it->second) fail("prefix " + prefix + " of " + std::string(name) + " is not declared");
        };
        check(element->name);
        for (xmlAttr* a = element->properties; a; a = a->next)
            if (!xml::view(a->name).starts_with("xmlns:")) check(a->name);
        for (xmlNode* n = element->children; n; n = n->next)
            if (n->type == XML_ELEMENT_NODE) checkPrefixes(n);
    }

    // An empty default namespace declaration says nothing the element does
    // not already mean here: it is not written. A prefix cannot be
    // undeclared so.
    void declare(xmlNode* element, const std::string& attribute, const std::string& uri) {
        if (writable(attribute, uri)) xmlSetNsProp(element, nullptr, chars(attribute), chars(uri));
    }

    // Whether an attribute is written: not an empty default namespace
    // declaration; anything that would not read back as XML is refused.
    bool writable(const std::string& name, const std::string& value) {
        if (value.empty() && equalsNoCase(name, "xmlns")) return false;
        if (value.empty() && startsWithNoCase(name, "xmlns:")) fail("namespace prefix " + name.substr(6) + " declared empty");
        if (!xml::isQualifiedName(name)) fail("'" + name + "' is not an XML attribute name");
        if (!xml::isXmlText(value)) fail("attribute " + name + " holds characters XML does not allow");
        return true;
    }

    void setAttributes(xmlNode* element, NodeId id) {
        const Node& node = nodes().get(id);
        Attributes list(*this, element);
        if (parser_.attribAsNodes) {
            for (const NodeId child : node.children) {
                const Node& leaf = nodes().get(child);
                if (!leaf.isGroup()) list.add(leaf.name, valueOf(leaf));
            }
            return;
        }
        node.props.forEach([&](std::string_view name, const Variant& value) {
            if (!startsWithNoCase(name, kAttributePrefix)) return;
            const auto text = value.toText();
            if (!text) fail("attribute " + std::string(name) + " is not text");
            list.add(std::string(name.substr(kAttributePrefix.size())), *text);
        });
    }

    // An element's attributes, each new one linked after the last in
    // constant time: libxml2's own setter looks for the name first, which
    // makes many attributes cost their square.
    class Attributes {
    public:
        Attributes(DomWriter& writer, xmlNode* element) : writer_(writer), element_(element) {}
        void add(const std::string& name, const std::string& value) {
            if (!writer_.writable(name, value)) return;
            // A second attribute of a name replaces the first.
            if (!names_.insert(name).second) {
                xmlSetNsProp(element_, nullptr, chars(name), chars(value));
                return;
            }
            // The value is text: xmlNewDocProp would read "&" in it as the
            // start of a reference.
            xmlAttr* attribute = xmlNewDocProp(writer_.doc_, chars(name), nullptr);
            xmlNode* text = attribute ? xmlNewDocText(writer_.doc_, chars(value)) : nullptr;
            if (!text) {
                if (attribute) xmlFreeProp(attribute);
                writer_.parser_.raise(kLocation, kErrAllocation, {writer_.parser_.GetParserName(), "XML attribute"});
            }
            attribute->children = attribute->last = text;
            text->parent = reinterpret_cast<xmlNode*>(attribute);
            attribute->parent = element_;
            if (last_) {
                last_->next = attribute;
                attribute->prev = last_;
            } else {
                element_->properties = attribute;
            }
            last_ = attribute;
        }

    private:
        DomWriter& writer_;
        xmlNode* element_;
        xmlAttr* last_ = nullptr;
        std::unordered_set<std::string> names_;
    };

    // The declaration's settings from an XML_PROCESSING node's attributes.
    void takeDeclaration(NodeId id) {
        const Node& node = nodes().get(id);
        const auto setting = [&](std::string_view name, const std::string& value) {
            if (equalsNoCase(name, "version")) {
                if (value.size() < 3 || value.compare(0, 2, "1.") != 0 ||
                    value.find_first_not_of("0123456789", 2) != std::string::npos)
                    fail("'" + value + "' is not an XML version");
                xmlFree(const_cast<xmlChar*>(doc_->version));
                doc_->version = xmlStrdup(chars(value));
            } else if (equalsNoCase(name, "encoding")) {
                // One libxml2 reads as well as writes, and the converter
                // that tells what it can hold knows it.
                xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(value.c_str());
                bool both = handler && handler->input && handler->output;
#ifdef LIBXML_ICONV_ENABLED
                both = both || (handler && handler->iconv_in && handler->iconv_out);
#endif
#ifdef LIBXML_ICU_ENABLED
                both = both || (handler && handler->uconv_in && handler->uconv_out);
#endif
                if (handler) xmlCharEncCloseFunc(handler);
                if (!both || !Encoder(value).ok()) fail("encoding '" + value + "' is not known");
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
        node.props.forEach([&](std::string_view name, const Variant& value) {
            if (startsWithNoCase(name, kAttributePrefix))
                setting(name.substr(kAttributePrefix.size()), value.toText().value_or(""));
        });
    }

    // Names, comments, CDATA sections and instructions in the encoding: a
    // character it cannot hold would come out as a character reference,
    // which markup does not read as one.
    void checkEncoding(xmlNode* first) {
        Encoder encoder(encoding_);
        for (xmlNode* n = first->children; n; n = n->next) {
            const auto check = [&](const xmlChar* text) {
                if (text && !encoder.holds(xml::view(text)))
                    fail("'" + std::string(xml::view(text)) + "' cannot be written in " + encoding_);
            };
            if (n->type == XML_ELEMENT_NODE) {
                check(n->name);
                for (xmlAttr* a = n->properties; a; a = a->next) check(a->name);
                checkEncoding(n);
            } else if (n->type == XML_COMMENT_NODE || n->type == XML_CDATA_SECTION_NODE) {
                check(n->content);
            } else if (n->type == XML_PI_NODE) {
                check(n->name);
                check(n->content);
            }
        }
    }

    // The node's Value as text: absent or empty is no text; anything but
    // text is refused.
    std::string valueOf(const Node& node) {
        const Variant* v = node.props.find(valueName_);
        if (!v || v->isEmpty() || v->is(VarType::Null)) return {};
        if (!v->isStr()) parser_.raise(kLocation, kErrPropertyType, {parser_.GetParserName(), valueName_, "string"});
        const std::string text(v->bytes());
        if (!xml::isXmlText(text)) fail("the value of " + node.name + " holds characters XML does not allow");
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
    // libxml2 writes the declaration when it converts to an encoding named
    // in it. Without one the text is UTF-8, the XML default, and the
    // declaration (when the tree has one) is written here: libxml2 would
    // name the encoding, or else write every other character as a reference.
    const bool named = !writer.encoding().empty();
    if (writer.declared() && !named) {
        out.append("<?xml version=\"").append(xml::view(doc->version)).append("\"");
        if (doc->standalone >= 0) out.append(doc->standalone ? " standalone=\"yes\"" : " standalone=\"no\"");
        out.append("?>\n");
    }
    const int options = XML_SAVE_FORMAT | (named ? 0 : XML_SAVE_NO_DECL);
    const std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buffer(xmlBufferCreate(), xmlBufferFree);
    if (!buffer) raise(kLocation, kErrAllocation, {GetParserName(), "XML text"});
    xmlSaveCtxt* save = xmlSaveToBuffer(buffer.get(), named ? writer.encoding().c_str() : "UTF-8", options);
    if (!save) raise(kLocation, kErrAllocation, {GetParserName(), "XML text"});
    xmlSaveDoc(save, doc.get());
    xmlSaveClose(save);
    if (sink.failed()) raise(kLocation, kErrXmlFatal, {GetParserName(), sink.located()});
    out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())), static_cast<std::size_t>(xmlBufferLength(buffer.get())));
}

}  // namespace payfmt
