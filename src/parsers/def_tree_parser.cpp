#include "parsers/def_tree_parser.h"

#include "engine/chain.h"
#include "parsers/node_props.h"
#include "parsers/parser_info.h"

namespace payfmt {

namespace {

class DefTreeParserInfo final : public TKORDefTreeParserInfo {
public:
    // The base class is described but not created by name: only its message
    // families are.
    DefTreeParserInfo() : TKORDefTreeParserInfo(componentClass<TKORDefTreeParser>("TKORDefTreeParser"), {}) {}
};

bool converts(const Variant& v, PropertyKind kind) {
    switch (kind) {
        case PropertyKind::Integer: return v.toInt().has_value();
        case PropertyKind::Boolean: return v.toBool().has_value();
        case PropertyKind::Text: return v.toText().has_value();
    }
    return false;
}

}  // namespace

TKORDefTreeParser::TKORDefTreeParser() : TKORDefTreeParser("KORDefTreeParser") {}

TKORDefTreeParser::TKORDefTreeParser(std::string parserType) : TPFIX(std::move(parserType)) {}

const TKORComponentInfo* TKORDefTreeParser::GetComponentInfo() const {
    static const DefTreeParserInfo info;
    return &info;
}

void TKORDefTreeParser::CheckGroup(NodeId node) {
    const Node& n = nodes().get(node);
    if (!n.isGroup()) raise("TVEXParser.CheckGroup", kErrNotAGroup, {n.name});
}

void TKORDefTreeParser::CheckProperty(NodeId node, std::string_view property, bool recursive, bool allowMissing,
                                      PropertyKind kind) {
    const std::vector<NodeId> children = nodes().get(node).children;
    for (NodeId child : children) {
        const Node& c = nodes().get(child);
        const Variant* v = c.props.find(property);
        if (!v) {
            if (!allowMissing) raise("TVEXParser.CheckProperty", kErrMissingProperty, {GetParserName(), property, c.name});
        } else if (!converts(*v, kind)) {
            throwVex(VEX_E_TYPE | 0xC0000000u, "TVEXParser.CheckProperty",
                     "Property " + std::string(property) + " of node " + c.name + " cannot be converted from " +
                         std::string(v->typeName()));
        }
        if (recursive) CheckProperty(child, property, recursive, allowMissing, kind);
    }
}

bool TKORDefTreeParser::NodeKindIs(NodeId node, std::int64_t kind) {
    const Variant* v = nodes().get(node).props.find(prop::kParserType);
    if (!v) return kind == 0;
    const auto k = v->toInt();
    return k && *k == kind;
}

void TKORDefTreeParser::RemoveChildrenOfKind(std::int64_t kind, NodeId parent, std::size_t& index) {
    while (index < nodes().get(parent).children.size() && !errors().holdsError()) {
        const NodeId child = nodes().get(parent).children[index];
        const Variant* v = nodes().get(child).props.find(prop::kParserType);
        const std::int64_t k = v ? v->toInt().value_or(0) : 0;
        if (k == kind) {
            nodes().remove(child);
            continue;
        }
        if (k > kind) return;
        ++index;
    }
}

bool TKORDefTreeParser::GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                                   const Variant& value) {
    if (!alwaysFallback) {
        if (const NodeId found = nodes().search(root, property, value)) {
            node = found;
            return true;
        }
        const std::string shown = value.toText().value_or(std::string(value.typeName()));
        const std::uint32_t code = (kErrMissingDefinition & 0x3FFFFFFFu) | (severityBits ? severityBits : 0x40000000u);
        errors().record("TVEXParser.GetDefNode", code, {GetParserName(), property, shown});
    }
    if (fallbackNode && nodes().alive(fallbackNode)) {
        const std::string shown = value.toText().value_or(std::string());
        NodeProps& p = nodes().get(fallbackNode).props;
        p.set(prop::kName, Variant::text(shown));
        p.set(prop::kTag, Variant::text(shown));
    }
    node = fallbackNode;
    return false;
}

NodeId TKORDefTreeParser::GetGroupRaise(NodeId root, std::string_view property, std::uint32_t code,
                                        const Variant& value) {
    const NodeId found = nodes().search(root, property, value);
    if (!found) raise("TVEXParser.GetGroupRaise", code, {GetParserName()});
    if (!nodes().get(found).isGroup()) raise("TVEXParser.GetGroupRaise", kErrNotAGroup, {nodes().get(found).name});
    return found;
}

std::uint32_t TKORDefTreeParser::GetFldLen(Cursor& cursor, std::string_view ifo) {
    OpContext ctx(kDirectionInput);
    Output field;
    ApplyIFO(*this, ctx, ifo, "", false, cursor.rest(), field);
    cursor.advance(ctx.consumed);
    // Fewer than four bytes are the low bytes of the length.
    const BytesView bytes = field.view();
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 4); ++i) length |= std::uint32_t{byteAt(bytes, i)} << (8 * i);
    if (length > cursor.left()) {
        errors().record("TVEXParser.GetFldLen", kInfoFieldLengthClamped,
                        {ctx.name, std::to_string(length), std::to_string(cursor.left())});
        length = cursor.left();
    }
    return length;
}

std::uint32_t TKORDefTreeParser::ReadField(Cursor& cursor, Bytes& field, std::string_view ifo, std::string_view ifm) {
    OpContext ctx(kDirectionInput);
    Output out;
    ApplyIFO(*this, ctx, ifo, ifm, false, cursor.rest(), out);
    field = Bytes(out.view());
    cursor.advance(ctx.consumed);
    return ctx.consumed;
}

void TKORDefTreeParser::DoGetProperty(std::int32_t dispid, Variant& value) {
    if (dispid == parser_dispid::kDefinitions) {
        value = Variant::integer(definitions());
        return;
    }
    TPFIX::DoGetProperty(dispid, value);
}

void TKORDefTreeParser::DoSetProperty(std::int32_t dispid, const Variant& value) {
    if (dispid != parser_dispid::kDefinitions) return TPFIX::DoSetProperty(dispid, value);
    const auto handle = value.toInt();
    if (!handle) throw EInvalidParameter::type(1, value.typeName(), "TVEXParser.DoSetProperty");
    const auto tree = static_cast<NodeId>(*handle);
    if (tree) nodes().get(tree);  // refuses a stale handle before anything changes
    storeDefinitions(tree);
    // A definition-tree parser without definitions cannot stay open.
    if (!tree) Close();
    SetDefTree(definitions());
}

}  // namespace payfmt
