#include "parsers/iso8583/p8583.h"

#include <optional>
#include <string>

#include "engine/chain.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/iso8583/bitmap.h"

namespace payfmt {

namespace {

constexpr std::string_view kSetDefTreeSource = "T8583Parser.SetDefTree";
constexpr std::string_view kCompileSource = "T8583Parser.Compile";
// Both spellings are the parser's own: hosts match reports by location.
constexpr std::string_view kParseSource = "T8583Paser.Parse";
constexpr std::string_view kGetDefNodeSource = "T8583Parser.GetDefNode";
constexpr std::string_view kSaveFieldSource = "T8583Parser.SaveFieldAndError";

constexpr std::uint32_t kErrPropertyValue = 0xE2070009;
constexpr std::uint32_t kErrPropertyType = 0xE2060009;
constexpr std::uint32_t kSeverityErrorBits = 0xC0000000u;

constexpr std::int64_t kParserType8583 = 3;

class TKOR8583ParserInfo final : public TKORDefTreeParserInfo {
public:
    TKOR8583ParserInfo()
        : TKORDefTreeParserInfo(parserClass<TP8583>("TP8583", iso8583ParserInfo), "3b9d6f20-8e41-4c7a-b5d2-6a0f1c2e8583") {
        Register();
    }
};

std::optional<int> bitOf(const Variant* v) {
    if (!v) return std::nullopt;
    const auto bit = v->toInt();
    if (!bit || *bit < INT32_MIN || *bit > INT32_MAX) return std::nullopt;
    return static_cast<int>(*bit);
}

// The text of a format property; an absent or empty one is "". wrongType
// tells a property of another type.
std::string_view formatText(const NodeProps& props, std::string_view name, bool& wrongType) {
    const Variant* v = props.find(name);
    wrongType = v && !v->isEmpty() && !v->isStr();
    return v && v->isStr() ? v->bytes() : std::string_view();
}

}  // namespace

const TKORComponentInfo& iso8583ParserInfo() {
    static const TKOR8583ParserInfo info;
    return info;
}

TP8583::TP8583() : TKORDefTreeParser("P8583", false) {}

void TP8583::clearDefinitions() {
    for (OwnedTree& d : byBit_) d.reset();
}

void TP8583::SetDefTree(NodeId tree) {
    // The new definitions are made aside, so that the tree may be one the
    // parser holds now; they replace the old ones only when all is well.
    std::array<OwnedTree, kHighestBit - kLowestBit + 1> loaded;
    try {
        if (tree) {
            CheckGroup(tree);
            if (!NodeKindIs(tree, kParserType8583))
                raise(kSetDefTreeSource, kErrPropertyValue, {GetParserName(), prop::kParserType, "3"});
            CheckProperty(tree, prop::kBit, false, false, PropertyKind::Integer);
            for (const NodeId child : nodes().get(tree).children) {
                const std::int64_t bit = nodes().get(child).props.find(prop::kBit)->toInt().value_or(0);
                if (bit < kLowestBit || bit > kHighestBit)
                    raise(kSetDefTreeSource, kErrBitOutOfRange, {std::to_string(bit)});
                loaded[static_cast<std::size_t>(bit + 1)].reset(nodes().copy(child, true));
            }
        }
    } catch (...) {
        // Nothing of a refused tree stays, nor what was loaded before, and a
        // parser without definitions is not left open.
        clearDefinitions();
        Close();
        throw;
    }
    byBit_.swap(loaded);
}

bool TP8583::GetDefNode(NodeId, std::string_view, std::uint32_t, NodeId& node, const Variant& value) {
    const auto bit = bitOf(&value);
    node = bit ? definitionOf(*bit) : 0;
    if (node) return true;
    const std::string shown = value.toText().value_or(std::string(value.typeName()));
    errors().record(kGetDefNodeSource, kErrBitNotDefined, {GetParserName(), shown});
    return false;
}

bool TP8583::findDefinition(int bit, NodeId& node) {
    // Runs for every field: only a missing definition goes the way of a
    // scripted lookup, to be reported.
    node = definitionOf(bit);
    return node || GetDefNode(0, prop::kBit, kSeverityErrorBits, node, Variant::integer(bit));
}

void TP8583::SaveFieldAndError(NodeId parent, NodeId definition, NodeId& node, Cursor& cursor) {
    node = 0;
    if (!parent || !definition) return;
    OwnedTree copy(nodes().copy(definition, true));
    node = copy.get();
    nodes().addChild(parent, copy.release(), -1);
    NodeProps& props = nodes().get(node).props;
    const std::string& valueName = settings().valueName;
    // A definition that carries a value or reports (saved from an earlier
    // parse, say) must not pass them off as this message's.
    constexpr std::uint64_t reportBits = Props::bitOf(prop::kEC) | Props::bitOf(prop::kError) | Props::bitOf(prop::kOffset);
    if (props.mayHave(reportBits | Props::bitOf(valueName))) {
        for (const std::string_view stale : {std::string_view(valueName), prop::kEC, prop::kError, prop::kOffset})
            if (props.find(stale)) props.remove(stale);
    }

    const std::uint32_t start = cursor.position;
    OpContext octx(kDirectionInput);
    Output field;
    BytesView data;
    std::unique_ptr<ResolvedNode> own;
    if (const ResolvedNode* def = ResolvedNode::of(props, own)) {
        data = ApplyIFOView(*this, octx, def->ifoChain(*this), def->mask(*this), false, cursor.rest(), field);
    } else {
        // Some property has an unexpected type: read the formats one by one.
        bool wrongType = false;
        const std::string mask(formatText(props, prop::kIFM, wrongType));
        if (wrongType) raise(kSaveFieldSource, kErrPropertyType, {prop::kIFM, "string"});
        const std::string ifo(formatText(props, prop::kIFO, wrongType));
        if (wrongType) errors().record(kSaveFieldSource, kErrPropertyType, {prop::kIFO, "string"});
        ApplyIFO(*this, octx, ifo, mask, false, cursor.rest(), field);
        data = field.view();
    }
    cursor.advance(octx.consumed);
    if (!data.empty()) props.set(valueName, Variant::blob(data));
    if (nodes().get(node).isGroup() && props.find(prop::kParser)) handOver(node, data);

    if (attachReport(*this, props)) props.set(prop::kOffset, Variant::integer(start));
}

void TP8583::handOver(NodeId node, BytesView data) {
    // A group field whose Parser names another parser (EMV data in DE 55,
    // say) is read further by that parser; any other group stays one field.
    TParseContext ctx(rootRecord(), *this);
    ctx.SetNode(node);
    Parser& handler = ctx.GetParser();
    if (&handler == this || errors().holdsError() || ctx.GetRecurse() <= 0) return;
    const TParseInherit childRecord = ctx.ChildRecord();
    const bool keepValue = ctx.GetTSetGroups();
    ctx.SetNode(0);
    Cursor inner{data, 0};
    handler.ParseInternal(inner, node, childRecord);
    NodeProps& props = nodes().get(node).props;
    if (!keepValue && props.find(settings().valueName)) props.remove(settings().valueName);
}

bool TP8583::loadBitmap(NodeId node, int half, std::uint32_t start, const Cursor& cursor, Bitmap8583& bitmap) {
    // Eight bytes read by the field's IFO are the bitmap (hexadecimal text
    // decoded, for instance). A field that took eight bytes of the message
    // without a report and made something else of them (shown as text, say)
    // is a binary bitmap: those eight bytes are the bitmap. Anything else is
    // no bitmap, and reading on would only decode the message into the
    // wrong fields.
    const NodeProps& props = nodes().get(node).props;
    const Variant* v = props.find(settings().valueName);
    if (v && v->isBlob() && v->bytes().size() == Bitmap8583::kHalfBytes) {
        bitmap.loadHalf(half, v->bytes());
        return true;
    }
    if (cursor.position - start == Bitmap8583::kHalfBytes && !props.find(prop::kEC)) {
        bitmap.loadHalf(half, cursor.data.substr(start, Bitmap8583::kHalfBytes));
        return true;
    }
    if (cursor.atEnd()) errors().record(kParseSource, kErrEndOfMessage, {GetParserName(), std::to_string(cursor.data.size())});
    else errors().record(kParseSource, kErrInvalidBit, {GetParserName(), std::to_string(half)});
    return false;
}

std::uint32_t TP8583::ParseInternal(Cursor& cursor, NodeId tree, const TParseInherit&) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    // The reports that belong to no field go to the value tree's root (the
    // latest one stands). A root that gets none keeps what it holds: in a
    // message of another parser it is a group whose own field was reported
    // on, and a host's call clears the reports of its earlier run.
    TFormatError& errors = this->errors();
    auto finish = [&] { return FinishOnRoot(tree); };
    auto stop = [&](std::uint32_t at) { return FinishOnRoot(tree, at); };

    NodeId definition = 0, node = 0;
    if (!findDefinition(-1, definition)) return stop(cursor.position);
    SaveFieldAndError(tree, definition, node, cursor);
    if (errors.holdsError()) return finish();
    Bitmap8583 bitmap;
    for (int half = 0; half <= 1 && (half == 0 || bitmap.test(1)); ++half) {
        const std::uint32_t start = cursor.position;
        if (!findDefinition(half, definition)) return stop(start);
        SaveFieldAndError(tree, definition, node, cursor);
        if (errors.holdsError()) return finish();
        if (!loadBitmap(node, half, start, cursor, bitmap)) return stop(start);
    }
    for (int bit = 2; bit <= kHighestBit; ++bit) {
        if (!bitmap.test(bit)) continue;
        if (!findDefinition(bit, definition)) return stop(cursor.position);
        if (cursor.atEnd()) {
            errors.record(kParseSource, kErrEndOfMessage, {GetParserName(), std::to_string(cursor.data.size())});
            return stop(cursor.position);
        }
        SaveFieldAndError(tree, definition, node, cursor);
        if (errors.holdsError()) break;
    }
    return finish();
}

bool TP8583::writeBitmap(const Bitmap8583& bitmap, bool secondary, Bytes& out) {
    // The secondary bitmap is written as the primary one when it has no
    // definition of its own.
    const NodeId primary = definitionOf(0);
    const NodeId second = definitionOf(1) ? definitionOf(1) : primary;
    for (int half = 0; half <= (secondary ? 1 : 0); ++half) {
        const NodeId definition = half ? second : primary;
        bool wrongType = false;
        const std::string_view ofo = definition ? formatText(nodes().get(definition).props, prop::kOFO, wrongType) : "";
        if (ofo.empty()) {
            out.append(bitmap.half(half));
            continue;
        }
        OpContext octx(kDirectionOutput);
        Output written;
        ApplyOFO(*this, octx, ofo, bitmap.half(half), written);
        if (errors().holdsError()) return false;
        out.append(written.view());
    }
    return true;
}

std::uint32_t TP8583::CompileInternal(Bytes& out, NodeId tree, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    NodeProps& rootProps = nodes().get(tree).props;  // as for a parse
    TParseContext ctx(inherited, *this);
    TFormatError& errors = this->errors();
    auto finish = [&] { return FinishOnRoot(tree); };

    // The message may be built behind bytes of an enclosing walk.
    const std::size_t base = out.size();
    std::size_t bitmapAt = base;
    bool leadSeen = false;
    Bitmap8583 bits;
    const std::string& valueName = settings().valueName;
    for (std::size_t i = 0; i < nodes().get(tree).children.size(); ++i) {
        const NodeId child = nodes().get(tree).children[i];
        ctx.SetNode(child);
        const auto bit = bitOf(ctx.find(prop::kBit));
        if (!bit) {
            errors.record(kCompileSource, kErrPropertyNotType, {ctx.GetName(), prop::kBit, "integer"});
            attachReport(*this, rootProps);
            continue;
        }
        if (*bit == 0 || *bit == 1) continue;  // the bitmaps are made here
        NodeId definition = 0;
        if (!findDefinition(*bit, definition)) return finish();
        TParseInherit childRecord = ctx.ChildRecord();
        // A group that no other parser reads was parsed as one field, and is
        // written as one, from its value; one another parser reads has data
        // when its fields do.
        const bool handedOver = ctx.current().isGroup() && &ctx.GetParser() != this;
        if (ctx.current().isGroup() && !handedOver) childRecord.recurseLevel = 0;
        const Variant* v = ctx.find(valueName);
        const bool empty = handedOver ? !NodeHasData(child, inherited) : !v || !v->isBlob() || v->bytes().empty();
        if (empty && !ctx.GetProcessNull()) continue;
        ctx.SetNode(0);
        CompileTemplate(*this, out, child, childRecord);
        if (errors.holdsError()) return finish();
        const bool duplicate = *bit == -1 ? leadSeen : bits.test(*bit);
        if (duplicate) {
            errors.record(kCompileSource, kErrDuplicateBit, {GetParserName(), std::to_string(*bit)});
            attachReport(*this, nodes().get(child).props);  // the field that repeats the bit is the one to blame
        } else if (*bit == -1) {
            bitmapAt = out.size();
            leadSeen = true;
        } else {
            bits.set(*bit);
        }
        attachReport(*this, rootProps);
    }

    const bool secondary = bits.anySecondary();
    if (secondary) bits.set(1);
    Bytes bitmap;
    if (writeBitmap(bits, secondary, bitmap)) out.insert(bitmapAt, bitmap);
    return finish();
}

}  // namespace payfmt
