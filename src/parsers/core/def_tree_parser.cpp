#include "parsers/core/def_tree_parser.h"

#include "engine/chain.h"
#include "engine/chain_cache.h"
#include "engine/mask.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "support/ber.h"

namespace payfmt {

namespace {

class DefTreeParserInfo final : public TKORDefTreeParserInfo {
public:
    DefTreeParserInfo() : TKORDefTreeParserInfo(parserClass<TKORDefTreeParser>("TKORDefTreeParser", defTreeParserInfo), {}) {}
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

const TKORComponentInfo& defTreeParserInfo() {
    static const DefTreeParserInfo info;
    return info;
}

std::uint32_t TKORDefTreeParser::CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) {
    return CompileTemplate(*this, out, node, inherited);
}

std::uint32_t TKORDefTreeParser::ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) {
    return ParseTemplate(*this, cursor, node, inherited);
}

void TKORDefTreeParser::CheckGroup(NodeId node) {
    const Node& n = nodes().get(node);
    if (!n.isGroup()) raise("TVEXParser.CheckGroup", kErrNotAGroup, {n.name});
}

void TKORDefTreeParser::CheckProperty(NodeId node, std::string_view property, bool recursive, bool allowMissing,
                                      PropertyKind kind) {
    const NestingGuard nesting(*this, "TVEXParser.CheckProperty");
    for (std::size_t i = 0; i < nodes().get(node).children.size(); ++i) {
        const NodeId child = nodes().get(node).children[i];
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

std::int64_t TKORDefTreeParser::KindOf(NodeId node) {
    const Variant* v = nodes().get(node).props.find(prop::kParserType);
    return v ? v->toInt().value_or(0) : 0;
}

void TKORDefTreeParser::RemoveChildrenOfKind(std::int64_t kind, NodeId parent, std::size_t& index) {
    while (index < nodes().get(parent).children.size() && !errors().holdsError()) {
        const NodeId child = nodes().get(parent).children[index];
        const std::int64_t k = KindOf(child);
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
    if (!alwaysFallback && Parser::GetDefNode(root, property, severityBits, node, value)) return true;
    node = useFallback(value.toText().value_or(std::string()));
    return false;
}

NodeId TKORDefTreeParser::useFallback(std::string_view shown) {
    // The definitions may have been edited through their handle: the
    // fallback node may be gone.
    if (!fallbackNode || !nodes().alive(fallbackNode)) return 0;
    NodeProps& p = nodes().get(fallbackNode).props;
    p.set(prop::kName, Variant::text(shown));
    p.set(prop::kTag, Variant::text(shown));
    return fallbackNode;
}

NodeId TKORDefTreeParser::GetGroupRaise(NodeId root, std::string_view property, std::uint32_t code,
                                        const Variant& value) {
    const NodeId found = nodes().search(root, property, value);
    if (!found) raise("TVEXParser.GetGroupRaise", code, {GetParserName()});
    if (!nodes().get(found).isGroup()) raise("TVEXParser.GetGroupRaise", kErrNotAGroup, {nodes().get(found).name});
    return found;
}

namespace {

// The length a length field's chain produced (fewer than four bytes are its
// low bytes), clamped to the data left with a report.
std::uint32_t clamped(Parser& parser, std::string_view chainName, std::uint32_t length, const Cursor& cursor) {
    if (length > cursor.left()) {
        parser.errors().record("TVEXParser.GetFldLen", kInfoFieldLengthClamped,
                               {chainName, std::to_string(length), std::to_string(cursor.left())});
        length = cursor.left();
    }
    return length;
}

}  // namespace

std::uint32_t littleEndianLength(BytesView bytes) {
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 4); ++i) length |= std::uint32_t{byteAt(bytes, i)} << (8 * i);
    return length;
}

std::uint32_t TKORDefTreeParser::GetFldLen(Cursor& cursor, std::string_view ifo) {
    OpContext ctx(kDirectionInput);
    Output field;
    ApplyIFO(*this, ctx, ifo, "", false, cursor.rest(), field);
    cursor.advance(ctx.consumed);
    return clamped(*this, ctx.name, littleEndianLength(field.view()), cursor);
}

std::uint32_t TKORDefTreeParser::GetFldLen(Cursor& cursor, const ParsedChain& ifo, const InputMask& lengthMask) {
    // A BER length is read here the operator's way; what the operator would
    // refuse goes to it, for its report.
    if (ifo.header == ParsedChain::Header::BerLen && lengthMask.acceptsAll()) {
        if (const auto length = readBerLength(cursor.rest())) {
            cursor.advance(length->size);
            return clamped(*this, "BERLEN", length->value, cursor);
        }
    }
    OpContext ctx(kDirectionInput);
    Output field;
    ApplyIFO(*this, ctx, ifo, InputMask::none(), false, cursor.rest(), field);
    if (!lengthMask.acceptsAll() && !errors().holdsError()) {
        OpContext check(kDirectionInput);
        lengthMask.validate(*this, check, cursor.rest().substr(0, ctx.consumed), false);
    }
    cursor.advance(ctx.consumed);
    return clamped(*this, ctx.name, littleEndianLength(field.view()), cursor);
}

std::uint32_t TKORDefTreeParser::ReadField(Cursor& cursor, Bytes& field, std::string_view ifo, std::string_view ifm) {
    OpContext ctx(kDirectionInput);
    Output out;
    ApplyIFO(*this, ctx, ifo, ifm, false, cursor.rest(), out);
    field = out.take();
    cursor.advance(ctx.consumed);
    return ctx.consumed;
}

void TKORDefTreeParser::ClearStop(NodeId root) {
    NodeProps& props = nodes().get(root).props;
    if (props.find(prop::kOffset)) props.remove(prop::kOffset);
}

std::uint32_t TKORDefTreeParser::FinishOnRoot(NodeId root, std::optional<std::uint32_t> stoppedAt) {
    NodeProps& props = nodes().get(root).props;
    attachReport(*this, props);
    if (stoppedAt) props.set(prop::kOffset, Variant::integer(*stoppedAt));
    return worstCode();
}

void TKORDefTreeParser::AppendRemainingData(NodeId parent, Cursor& cursor, std::string_view lastOperator,
                                            std::string_view location) {
    OwnedTree node(nodes().create(settings().remainingDataName, 0));
    NodeProps& props = nodes().get(node.get()).props;
    props.set(settings().valueName, Variant::blob(cursor.rest()));
    errors().record(location, kInfoUnusedAfterParsing, {lastOperator, std::to_string(cursor.left())});
    attachReport(*this, props);
    nodes().addChild(parent, node.release(), -1);
    cursor.advance(cursor.left());
}

void TKORDefTreeParser::SubParse(NodeId parent, NodeId definition, std::int64_t index, TParseContext& context,
                                 Cursor& cursor) {
    SubParse(parent, definition, index, context.ChildRecord(), cursor);
}

void TKORDefTreeParser::SubParse(NodeId parent, NodeId definition, std::int64_t index, const TParseInherit& record,
                                 Cursor& cursor) {
    if (!parent || !nodes().alive(parent)) raise("PFIX.SubParse", kErrNoDestination, {GetParserName()});
    if (!definition || !nodes().alive(definition))
        raise("PFIX.SubParse", kErrMissingDefinition, {GetParserName(), "Internal", ""});
    OwnedTree copy(nodes().copy(definition, true));
    for (NodeId n = copy.get(); n; n = nodes().nextNode(copy.get(), n)) nodes().get(n).props.remove(settings().valueName);
    const NodeId inserted = copy.get();
    nodes().addChild(parent, copy.release(), index);
    if (!cursor.data.empty()) ParseTemplate(*this, cursor, inserted, record);
}

}  // namespace payfmt
