// Parsing: the elements of a message, one after the other, each into a copy
// of its definition; a constructed BER element's value into its own copy.
#include <memory>
#include <string>

#include "engine/chain_cache.h"
#include "engine/char_set.h"
#include "engine/istr.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/ltv/pltv.h"
#include "support/ber.h"
#include "support/hex.h"

namespace payfmt {

namespace {

constexpr std::string_view kParseSource = "TLTVParser.Parse";

// A fresh copy of a definition carries nothing of an earlier message: no
// value and no report, in the whole subtree when it was copied whole.
void clearCopy(NodeId copy, const std::string& valueName) {
    const std::uint64_t stale = Props::bitOf(valueName) | Props::bitOf(prop::kEC) | Props::bitOf(prop::kError);
    NodeTable& table = nodes();
    // Most copies are one node: the walk of its subtree is not started.
    for (NodeId n = copy; n; n = n == copy && table.get(n).children.empty() ? 0 : table.nextNode(copy, n)) {
        NodeProps& props = table.get(n).props;
        if (!props.mayHave(stale)) continue;
        for (const std::string_view name : {std::string_view(valueName), prop::kEC, prop::kError})
            if (props.find(name)) props.remove(name);
    }
}

// Whether the data from the cursor on hold a byte outside the fill class.
// dataAt remembers where one was found, so that a long run of fill before
// the next element is not scanned again for every element.
bool dataLeft(const Cursor& cursor, const CharSet& fill, std::uint32_t& dataAt) {
    if (cursor.atEnd()) return false;
    if (dataAt >= cursor.position && dataAt < cursor.data.size()) return true;
    for (std::uint32_t i = cursor.position; i < cursor.data.size(); ++i) {
        if (!contains(fill, byteAt(cursor.data, i))) {
            dataAt = i;
            return true;
        }
    }
    return false;
}

// Whether reading a header reported more than information (a clamped
// length is one): a tag or length field cut short by the end of the data
// is no element, and keeping it would write bytes the message never held.
bool cutShort(const TFormatError& errors, std::size_t before) {
    const auto& entries = errors.entries();
    for (std::size_t i = before; i < entries.size(); ++i)
        if (severity(entries[i].code) >= 2) return true;
    return false;
}

}  // namespace

std::uint32_t TPLTV::ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    parseElements(cursor, node, inherited);
    return worstCode();
}

void TPLTV::parseElements(Cursor& cursor, NodeId parent, const TParseInherit& inherited) {
    const NestingGuard guard(*this, kParseSource);
    TFormatError& errors = this->errors();
    const CharSet& fill = charClass('F');
    TParseContext ctx(inherited, *this);
    std::uint32_t dataAt = 0;
    std::string tag;
    while (dataLeft(cursor, fill, dataAt)) {
        const std::uint32_t start = cursor.position;
        const std::size_t reports = errors.entries().size();
        std::int64_t valueLength = 0;
        if (errors.holdsError() || !parseHeader(cursor, tag, valueLength) || cutShort(errors, reports)) {
            unrecognised(cursor, start, parent);
            break;
        }
        NodeId definition = 0;
        const bool found = lookup(tag, definition);
        parseValue(ctx, cursor, parent, definition, found, tag, valueLength);
    }
    // What belongs to no element is the level's own.
    attachReport(*this, nodes().get(parent).props);
}

bool TPLTV::readTag(Cursor& cursor, std::string& tag) {
    // A BER tag is read here the operator's way; one cut short goes to the
    // operator, for its report.
    const ParsedChain& chain = tagIfo.chain(*this);
    if (chain.header == ParsedChain::Header::BerTag && tagIfm.text().empty()) {
        const std::size_t length = berTagLength(cursor.rest());
        if (length != 0 && length <= cursor.left()) {
            tag.clear();
            appendHex(tag, cursor.rest().substr(0, length));
            cursor.advance(static_cast<std::uint32_t>(length));
            return true;
        }
    }
    OpContext octx(kDirectionInput);
    Output field;
    const BytesView text = ApplyIFOView(*this, octx, chain, tagIfm.mask(*this), false, cursor.rest(), field);
    tag.assign(text);
    cursor.advance(octx.consumed);
    return octx.consumed != 0;
}

bool TPLTV::parseHeader(Cursor& cursor, std::string& tag, std::int64_t& valueLength) {
    switch (static_cast<LtvMode>(mode)) {
        case LtvMode::Ltv: {
            // The length counts the tag field as well.
            const std::int64_t length = GetFldLen(cursor, lenIfo.chain(*this), lenIfm.mask(*this));
            const std::uint32_t tagAt = cursor.position;
            if (!readTag(cursor, tag)) return false;
            valueLength = length - (cursor.position - tagAt);
            return valueLength >= 0;
        }
        case LtvMode::Tlv:
        case LtvMode::Ber:
            if (!readTag(cursor, tag)) return false;
            valueLength = GetFldLen(cursor, lenIfo.chain(*this), lenIfm.mask(*this));
            return true;
        case LtvMode::Tv:
            return readTag(cursor, tag);
    }
    errors().record(kParseSource, kErrModeNotSupported, {GetParserName(), std::to_string(mode)});
    return false;
}

NodeId TPLTV::parseValue(TParseContext& ctx, Cursor& cursor, NodeId parent, NodeId definition, bool found,
                         std::string_view tag, std::int64_t valueLength) {
    NodeTable& table = nodes();
    const std::string& valueName = settings().valueName;
    const bool tv = static_cast<LtvMode>(mode) == LtvMode::Tv;
    // In TV mode the value's own input chain tells where it ends.
    const BytesView input = tv ? cursor.rest() : cursor.rest().substr(0, static_cast<std::size_t>(valueLength));

    // How the definition takes the value: as elements of their own (a
    // constructed BER tag), as a fixed structure (a group), or as one field.
    // A definition whose settings are worked out is read from them; one with
    // a property of an odd type through a context, which reports it.
    bool nest = false, structure = false, keepGroupValue = true;
    TParseInherit childRecord;
    OwnedTree copy;
    const bool ber = static_cast<LtvMode>(mode) == LtvMode::Ber;
    std::unique_ptr<ResolvedNode> own;
    const ResolvedNode* settled = nullptr;
    if (definition) {
        const Node& d = table.get(definition);
        settled = ResolvedNode::of(table.get(definition).props, own);
        if (settled && !(ber && settled->constructedBER())) {
            structure = d.isGroup() && (found || tv);
        } else {
            ctx.SetNode(definition);
            nest = ber && ctx.ConstructedBER() && ctx.GetRecurse() > 0;
            structure = !nest && d.isGroup() && (found || tv);
            if (nest) {
                childRecord = ctx.ChildRecord();
                keepGroupValue = ctx.GetTSetGroups();
            }
            ctx.SetNode(0);
        }
        copy.reset(table.copy(definition, structure));
        clearCopy(copy.get(), valueName);
    } else {
        copy.reset(table.create(tag, 0));
        NodeProps& props = table.get(copy.get()).props;
        props.set(prop::kName, Variant::text(tag));
        props.set(prop::kTag, Variant::text(tag));
        props.set(prop::kAllowRecurse, Variant::boolean(false));
    }
    const NodeId node = copy.get();
    table.addChild(parent, copy.release(), -1);
    if (!found) table.get(node).name = tag;

    // An element without a definition keeps its bytes as they are (in TV
    // mode the fallback's chain has to say how many it takes).
    std::uint32_t used = static_cast<std::uint32_t>(input.size());
    if (structure) {
        Cursor fields{input, 0};
        ParseTemplate(*this, fields, node, ctx.inherited());
        used = fields.position;
    } else if ((found || tv) && settled && settled->ifm.empty() && settled->ifoChain(*this).plainNone) {
        // The value as it stands, as NONE gives it.
        if (!input.empty()) table.get(node).props.set(valueName, Variant::blob(input));
    } else if ((found || tv) && settled && settled->ifm.empty() &&
               settled->ifoChain(*this).header == ParsedChain::Header::RawToHex) {
        // Binary data shown as hexadecimal text, the operator's way.
        if (!input.empty()) table.get(node).props.set(valueName, Variant::blob(rawToHex(input)));
    } else if (found || tv) {
        OpContext octx(kDirectionInput);
        Output field;
        BytesView data;
        if (settled) {
            data = ApplyIFOView(*this, octx, settled->ifoChain(*this), settled->mask(*this),
                                settled->allowNull.value_or(ctx.inherited().allowNull), input, field);
        } else {
            ctx.SetNode(node);
            data = ApplyIFOView(*this, octx, ctx.ifoChain(), ctx.mask(), ctx.GetAllowNull(), input, field);
            ctx.SetNode(0);
        }
        if (!data.empty()) table.get(node).props.set(valueName, Variant::blob(data));
        used = octx.consumed;
    } else if (!input.empty()) {
        table.get(node).props.set(valueName, Variant::blob(input));
    }
    if (tv) valueLength = used;
    else if (used < valueLength) errors().record(kParseSource, kInfoRemainingData, {GetParserName(), tag});
    const BytesView value = cursor.rest().substr(0, static_cast<std::size_t>(valueLength));
    cursor.advance(static_cast<std::uint32_t>(valueLength));
    attachReport(*this, table.get(node).props);

    if (nest && !errors().holdsError()) {
        table.get(node).attrib |= kGroupAttrib;
        Cursor elements{value, 0};
        parseElements(elements, node, childRecord);
        if (!keepGroupValue) {
            NodeProps& props = table.get(node).props;
            if (props.find(valueName)) props.remove(valueName);
        }
    }
    return node;
}

void TPLTV::unrecognised(Cursor& cursor, std::uint32_t start, NodeId parent) {
    const BytesView rest = cursor.data.substr(start);
    NodeId kept = 0;
    if (tdl_ && nodes().alive(tdl_)) {
        OwnedTree copy(nodes().copy(tdl_, false));
        clearCopy(copy.get(), settings().valueName);
        if (!rest.empty()) nodes().get(copy.get()).props.set(settings().valueName, Variant::blob(rest));
        kept = copy.get();
        nodes().addChild(parent, copy.release(), -1);
    }
    errors().record(kParseSource, kErrUnrecognisedTlv, {GetParserName(), RawToIStr(rest, settings().escape)});
    cursor.advance(cursor.left());
    if (kept) attachReport(*this, nodes().get(kept).props);
}

}  // namespace payfmt
