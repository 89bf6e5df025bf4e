// A loaded document as value tree nodes: one group node per document node,
// in document order.
//
// libxml2 keeps a reference to an entity the document declares as a node
// pointing at the entity's content; it is replaced here by that content, as
// a reader of the text expects, under a budget proportional to the size of
// the document: a few hundred bytes of references may otherwise stand for
// gigabytes of nodes.
#include <string>

#include "engine/settings.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/xml/pxml.h"

namespace payfmt {

namespace {

constexpr std::string_view kLocation = "TPXML.Parse";
// What a node costs the budget beside its text.
constexpr std::size_t kNodeCost = 64;
// Entities referring to entities: libxml2 refuses loops, this bounds chains.
constexpr int kEntityNesting = 40;

// Raised when entity references expand past the budget.
struct ExpansionTooLarge {};

// The entity a reference node stands for, when the document declares it.
const xmlEntity* entityOf(const xmlNode& reference) {
    const xmlNode* target = reference.children;
    if (target && target->type == XML_ENTITY_DECL) return reinterpret_cast<const xmlEntity*>(target);
    return reference.doc ? xmlGetDocEntity(reference.doc, reference.name) : nullptr;
}

class DomReader {
public:
    DomReader(TPXML& parser, std::size_t budget)
        : parser_(parser), valueName_(parser.settings().valueName), budget_(budget) {}

    // The XML declaration, which libxml2 keeps as document settings rather
    // than as a node: a processing instruction with its pseudo-attributes.
    void appendDeclaration(const xmlDoc& doc, NodeId parent) {
        const NodeId node = appendGroup(parent, "XML_PROCESSING");
        if (doc.version) attribute(node, "version", xml::view(doc.version));
        if (doc.encoding) attribute(node, "encoding", xml::view(doc.encoding));
        if (doc.standalone >= 0) attribute(node, "standalone", doc.standalone ? "yes" : "no");
    }

    void appendList(NodeId parent, const xmlNode* first) {
        TextRun run;
        appendList(parent, first, run);
        flush(run);
    }

    bool referencesEntities() const { return referenced_; }
    // Where the reference that went over the budget stands.
    long line() const { return line_; }

private:
    // Text nodes in a row (text, then more from an entity) make one XML_TEXT
    // node, as they are one text in the document; its value is set when the
    // run ends, so that joining many pieces copies each once.
    struct TextRun {
        NodeId node = 0;
        std::string_view first;
        std::string joined;
        bool many = false;
    };

    void appendList(NodeId parent, const xmlNode* first, TextRun& run) {
        for (const xmlNode* n = first; n; n = n->next) {
            if (n->type == XML_ENTITY_REF_NODE) {
                expand(*n, [&](const xmlNode* content) { appendList(parent, content, run); });
                continue;
            }
            if (n->type != XML_TEXT_NODE) {
                flush(run);
                append(parent, *n);
                continue;
            }
            const std::string_view text = xml::view(n->content);
            if (!run.node) {
                run.node = appendGroup(parent, "XML_TEXT", n);
                run.first = text;
                continue;
            }
            charge(text.size());
            if (!run.many) run.joined.assign(run.first);
            run.many = true;
            run.joined.append(text);
        }
    }

    void flush(TextRun& run) {
        if (run.node) setValue(run.node, run.many ? std::string_view(run.joined) : run.first);
        run = TextRun{};
    }

    void append(NodeId parent, const xmlNode& n) {
        switch (n.type) {
            case XML_ELEMENT_NODE: return appendElement(parent, n);
            case XML_COMMENT_NODE: return setValue(appendGroup(parent, "XML_COMMENT", &n), xml::view(n.content));
            case XML_PI_NODE: return appendInstruction(parent, n);
            case XML_DTD_NODE:
            case XML_DOCUMENT_TYPE_NODE: appendGroup(parent, "XML_DOCTYPE", &n); return;
            default: break;
        }
        // Any other node keeps its kind; a CDATA section keeps its text.
        const NodeId node = appendGroup(parent, "", &n);
        nodes().get(node).props.set(prop::kParserType, Variant::integer(n.type));
        if (n.type == XML_CDATA_SECTION_NODE) setValue(node, xml::view(n.content));
    }

    // The target and data of an instruction other than the declaration are
    // kept, so that it is written back.
    void appendInstruction(NodeId parent, const xmlNode& n) {
        NodeProps& props = nodes().get(appendGroup(parent, "XML_PROCESSING", &n)).props;
        props.set("XML_TARGET", Variant::text(xml::view(n.name)));
        if (n.content) props.set("XML_DATA", Variant::text(xml::view(n.content)));
    }

    void appendElement(NodeId parent, const xmlNode& n) {
        const NodeId node = appendGroup(parent, qualified(n.ns, n.name, parser_.nameQualified), &n);
        if (!parser_.nameQualified)
            nodes().get(node).props.set("XML_PREFIX", Variant::text(n.ns ? xml::view(n.ns->prefix) : ""));
        {
            const NestingGuard guard(parser_, kLocation);
            appendList(node, n.children);
        }
        // Namespace declarations are attributes to a host, as they are in
        // the text; libxml2 keeps them apart.
        for (const xmlNs* ns = n.nsDef; ns; ns = ns->next) {
            if (!ns->prefix) name_ = "xmlns";
            else if (parser_.attribQualified) name_.assign("xmlns:").append(xml::view(ns->prefix));
            else name_.assign(xml::view(ns->prefix));
            attribute(node, name_, xml::view(ns->href));
        }
        for (const xmlAttr* a = n.properties; a; a = a->next) {
            const std::string_view name = qualified(a->ns, a->name, parser_.attribQualified);
            const xmlNode* value = a->children;
            if (!value || (value->type == XML_TEXT_NODE && !value->next)) {
                attribute(node, name, value ? xml::view(value->content) : "");
                continue;
            }
            std::string text;
            attributeText(value, text);
            attribute(node, name, text);
        }
    }

    // An attribute's value from its text and entity reference nodes; white
    // space from an entity counts as a blank, as in the text.
    void attributeText(const xmlNode* first, std::string& text) {
        for (const xmlNode* n = first; n; n = n->next) {
            if (n->type == XML_ENTITY_REF_NODE) {
                expand(*n, [&](const xmlNode* content) { attributeText(content, text); });
                continue;
            }
            if (n->type != XML_TEXT_NODE) continue;
            const std::string_view piece = xml::view(n->content);
            charge(piece.size());
            const std::size_t from = text.size();
            text += piece;
            if (nesting_ > 0)
                for (std::size_t i = from; i < text.size(); ++i)
                    if (text[i] == '\t' || text[i] == '\n' || text[i] == '\r') text[i] = ' ';
        }
    }

    template <class F>
    void expand(const xmlNode& reference, F&& content) {
        referenced_ = true;
        const xmlEntity* entity = entityOf(reference);
        if (!entity || !entity->children) return;
        if (nesting_ == 0) line_ = xmlGetLineNo(&reference);
        if (nesting_ == kEntityNesting) throw ExpansionTooLarge{};
        ++nesting_;
        content(entity->children);
        --nesting_;
    }

    // Whatever an entity reference adds comes out of the budget: its nodes,
    // their names, text and attributes.
    void charge(std::size_t bytes) {
        if (nesting_ == 0) return;
        const std::size_t cost = kNodeCost + bytes;
        if (cost > budget_) throw ExpansionTooLarge{};
        budget_ -= cost;
    }

    // The name with its prefix or without, in a buffer reused from name to
    // name: valid until the next call.
    std::string_view qualified(const xmlNs* ns, const xmlChar* local, bool withPrefix) {
        name_.clear();
        if (withPrefix && ns && ns->prefix) name_.assign(xml::view(ns->prefix)).append(":");
        return name_.append(xml::view(local));
    }

    // An attribute as an XML_ATTR_ property, or as a leaf child after the
    // element's other children.
    void attribute(NodeId element, std::string_view name, std::string_view value) {
        charge(name.size() + value.size());
        if (parser_.attribAsNodes) {
            const NodeId leaf = nodes().create(name, 0);
            nodes().addChild(element, leaf, -1);
            setValue(leaf, value);
            return;
        }
        attributeName_.assign("XML_ATTR_").append(name);
        nodes().get(element).props.set(attributeName_, Variant::text(value));
    }

    NodeId appendGroup(NodeId parent, std::string_view name, const xmlNode* from = nullptr) {
        charge(name.size() + (from && from->content ? xml::view(from->content).size() : 0));
        const NodeId node = nodes().create(name, kGroupAttrib);
        nodes().addChild(parent, node, -1);
        return node;
    }

    void setValue(NodeId node, std::string_view text) { nodes().get(node).props.set(valueName_, Variant::text(text)); }

    TPXML& parser_;
    const std::string& valueName_;
    std::size_t budget_;
    int nesting_ = 0;  // entity references being expanded
    bool referenced_ = false;
    long line_ = 0;
    std::string name_, attributeName_;
};

}  // namespace

bool TPXML::appendDocument(xmlDoc* doc, NodeId parent, std::size_t textSize) {
    // A conversion that fails half way leaves the value node as it was.
    const std::size_t before = nodes().get(parent).children.size();
    const auto rollBack = [&] {
        while (nodes().get(parent).children.size() > before) nodes().remove(nodes().get(parent).children.back());
    };
    // Entities may add eight times the document's size, and a megabyte.
    const std::size_t budget = 8 * textSize + (std::size_t{1} << 20);
    DomReader reader(*this, budget);
    try {
        // libxml2 marks a document without declaration by standalone -1.
        if (doc->standalone != -1) reader.appendDeclaration(*doc, parent);
        reader.appendList(parent, doc->children);
    } catch (const ExpansionTooLarge&) {
        rollBack();
        errors().record(kLocation, kErrXmlFatal,
                        {GetParserName(), "Line " + std::to_string(reader.line()) +
                                              ", Pos 0: entity references expand to more than " + std::to_string(budget) +
                                              " bytes"});
    } catch (...) {
        rollBack();
        throw;
    }
    return reader.referencesEntities();
}

}  // namespace payfmt
