// Compiling: each child of a value node becomes one element, its value
// written first and its header (tag and length fields) put in front of it.
#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "engine/chain_cache.h"

#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/core/resolved_node.h"
#include "parsers/ltv/pltv.h"
#include "support/ber.h"
#include "support/hex.h"

namespace payfmt {

namespace {

constexpr std::string_view kCompileSource = "TLTVParser.Compile";
constexpr std::uint32_t kErrLengthFieldTooLong = 0xE2060023;

// A child tagged so is never written: it holds what a parse could not read.
constexpr std::string_view kTrailingData = "TDL";

// Runs an output chain over in and appends what it made to out; false when
// it failed.
bool appendOutput(Parser& parser, const ParsedChain& chain, BytesView in, Bytes& out) {
    OpContext octx(kDirectionOutput);
    Output made;
    ApplyOFO(parser, octx, chain, in, made);
    if (parser.errors().holdsError()) return false;
    out.append(made.view());
    return true;
}

// Hexadecimal text through HEX2RAW alone, decoded here the operator's way
// into to (emptied first): false, with nothing decoded, for text that is not
// whole bytes of hexadecimal digits, which goes to the chain for its reports.
bool hexDecoded(const ParsedChain& chain, std::string_view text, Bytes& to, BytesView& decoded) {
    if (chain.header != ParsedChain::Header::HexToRaw || text.size() % 2 != 0) return false;
    to.clear();
    if (hexToRaw(text, to) != text.size()) {
        to.clear();
        return false;
    }
    decoded = to;
    return true;
}

}  // namespace

std::uint32_t TPLTV::CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    compileElements(out, node, inherited);
    attachReport(*this, nodes().get(node).props);
    return worstCode();
}

void TPLTV::compileElements(Bytes& out, NodeId parent, const TParseInherit& inherited) {
    const NestingGuard guard(*this, kCompileSource);
    TFormatError& errors = this->errors();
    NodeTable& table = nodes();
    TParseContext ctx(inherited, *this);
    const std::string& valueName = settings().valueName;
    const std::uint64_t valueBit = Props::bitOf(valueName);
    Output converted;
    Bytes scratch, tagBytes;
    // Compiling adds and removes no node: the children stay where they are.
    const std::vector<NodeId>& children = table.get(parent).children;
    // Most elements report nothing: their nodes are not visited for it.
    const auto attach = [&](Node& n) {
        if (errors.entries().size() > 1 || errors.holdsError()) attachReport(*this, n.props);
    };
    for (std::size_t i = 0; i < children.size() && !errors.holdsError(); ++i) {
        const NodeId child = children[i];
        Node& n = table.get(child);
        clearReports(n.props);
        // Most elements are plain fields whose settings are worked out: they
        // are written here, without a context of their own. The others (a
        // constructed element, a structure, a property of an odd type) go
        // the general way below.
        std::unique_ptr<ResolvedNode> own;
        const ResolvedNode* def = n.isGroup() ? nullptr : ResolvedNode::of(n.props, own);
        const Variant* v = def ? n.props.find(valueName, valueBit) : nullptr;
        if (def && (!v || v->is(VarType::Null) || v->isEmpty() || v->isBlob())) {
            if (def->tag == kTrailingData) continue;
            tagBytes.clear();
            const BytesView data = v && v->isBlob() ? v->bytes() : BytesView();
            const bool processNull = def->processNull.value_or(inherited.processNull);
            if (!tagFieldOf(*def, tagBytes) || (data.empty() && !processNull)) {
                attach(n);
                continue;
            }
            BytesView value = data;
            const ParsedChain& ofo = def->ofoChain(*this);
            if (!ofo.plainNone && !hexDecoded(ofo, data, scratch, value)) {
                OpContext octx(kDirectionOutput);
                converted.reset();
                ApplyOFO(*this, octx, ofo, data, converted);
                value = converted.view();
            }
            if (!errors.holdsError() && (!value.empty() || processNull)) {
                const auto lengthBytes = static_cast<std::int32_t>(std::clamp<std::int64_t>(def->berLenMinSize, INT32_MIN, INT32_MAX));
                const std::size_t start = out.size();
                if (compileHeader(tagBytes, lengthBytes, value, out)) out.append(value);
                else out.resize(start);
            }
            attach(n);
            continue;
        }

        ctx.SetNode(child);
        const std::string tag(ctx.GetTag());
        if (tag == kTrailingData) continue;
        known(tag);
        const bool processNull = ctx.GetProcessNull();
        const std::int32_t lengthBytes = ctx.BerLenMinSize();
        // A constructed BER element holds elements; a value node that is a
        // plain field holds its value bytes, whatever its tag says.
        Bytes value;
        if (static_cast<LtvMode>(mode) == LtvMode::Ber && ctx.ConstructedBER() && ctx.GetRecurse() > 0 && n.isGroup()) {
            compileElements(value, child, ctx.ChildRecord());
        } else {
            TParseInherit field = inherited;
            field.processNull = processNull;
            CompileTemplate(*this, value, child, field);
        }
        ctx.SetNode(0);
        if (!errors.holdsError() && (!value.empty() || processNull)) {
            const std::size_t start = out.size();
            tagBytes.clear();
            if (tagField(tag, tagBytes) && compileHeader(tagBytes, lengthBytes, value, out)) out.append(value);
            else out.resize(start);
        }
        attachReport(*this, table.get(child).props);
    }
}

namespace {

// What a value node's settings keep for the parser that compiled it: the
// definition its tag found and its tag field.
struct TagMemo final : ResolvedNode::FamilyMemo {
    static const char kKind;
    TagMemo() : FamilyMemo(&kKind) {}
    std::uint64_t stamp = 0;      // the parser's, when this was found
    std::uint64_t sequences = 0;  // the registered sequences' generation then
    NodeId definition = 0;        // kept only when it shares these settings
    Bytes field;
    bool pure = false;            // the tag chain is HEX2RAW alone: field holds
};

const char TagMemo::kKind = 0;

}  // namespace

bool TPLTV::tagFieldOf(const ResolvedNode& settings, Bytes& field) {
    auto* memo = settings.memo && settings.memo->kind == &TagMemo::kKind ? static_cast<TagMemo*>(settings.memo.get()) : nullptr;
    const std::uint64_t sequences = this->settings().sequences.generation();
    if (memo && memo->stamp == memoStamp_ && memo->sequences == sequences && memo->definition) {
        // A definition that still shares these settings still has this tag.
        const Node* d = nodes().find(memo->definition);
        if (d && d->props.cache() == &settings) {
            if (memo->pure) {
                field.append(memo->field);
                return true;
            }
            return tagField(settings.tag, field);
        }
    }
    const std::string_view tag = settings.tag;
    const NodeId definition = definitionOf(tag);
    const std::size_t start = field.size();
    if (!tagField(tag, field)) return false;
    const Node* d = definition ? nodes().find(definition) : nullptr;
    if (!d || d->props.cache() != &settings) return true;
    auto made = std::make_unique<TagMemo>();
    made->stamp = memoStamp_;
    made->sequences = sequences;
    made->definition = definition;
    made->pure = tagOfo.chain(*this).header == ParsedChain::Header::HexToRaw;
    made->field.assign(BytesView(field).substr(start));
    settings.memo = std::move(made);
    return true;
}

bool TPLTV::tagField(std::string_view tag, Bytes& field) {
    const ParsedChain& chain = tagOfo.chain(*this);
    BytesView decoded;
    if (hexDecoded(chain, tag, field, decoded)) return true;
    return appendOutput(*this, chain, tag, field);
}

bool TPLTV::compileHeader(BytesView tagBytes, std::int32_t lengthBytes, BytesView value, Bytes& header) {
    const std::size_t start = header.size();
    switch (static_cast<LtvMode>(mode)) {
        case LtvMode::Ltv: {
            // The length counts the tag field, and goes to the chain as four
            // bytes, least significant first.
            const std::uint32_t length = static_cast<std::uint32_t>(tagBytes.size() + value.size());
            const char bytes[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                                   static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
            if (!appendOutput(*this, lenOfo.chain(*this), BytesView(bytes, 4), header)) return false;
            if (!lengthReadsBack(BytesView(header).substr(start), length)) return false;
            header.append(tagBytes);
            return true;
        }
        case LtvMode::Tlv:
        case LtvMode::Ber: {
            header.append(tagBytes);
            const std::size_t lengthAt = header.size();
            const bool ber = static_cast<LtvMode>(mode) == LtvMode::Ber;
            const ParsedChain& chain = lenOfo.chain(*this);
            if (ber && chain.header == ParsedChain::Header::BerLen) {
                // Written the operator's way; with a BERLEN reader it reads back.
                appendBerLength(header, value.size(), lengthBytes);
                if (lenIfo.chain(*this).header == ParsedChain::Header::BerLen && lenIfm.text().empty()) return true;
            } else if (ber && lengthBytes >= 2) {
                const auto wide = settings().chains.get(lenOfo.text() + "(" + std::to_string(lengthBytes) + ")", true,
                                                        settings().sequences);
                if (!appendOutput(*this, *wide, value, header)) return false;
            } else if (!appendOutput(*this, chain, value, header)) {
                return false;
            }
            return lengthReadsBack(BytesView(header).substr(lengthAt), static_cast<std::uint32_t>(value.size()));
        }
        case LtvMode::Tv:
            header.append(tagBytes);
            return true;
    }
    errors().record(kCompileSource, kErrModeNotSupported, {GetParserName(), std::to_string(mode)});
    return false;
}

bool TPLTV::lengthReadsBack(BytesView field, std::uint32_t length) {
    // A length chain that writes more digits than its reader takes (two
    // decimal digits for 100 bytes, say) would corrupt the message for every
    // reader: such an element is refused. The length field's own check, when
    // there is one, applies to it as well.
    OpContext octx(kDirectionInput);
    Output read;
    ApplyIFO(*this, octx, lenIfo.chain(*this), InputMask::none(), false, field, read);
    const std::uint32_t readBack = littleEndianLength(read.view());
    if (!errors().holdsError() && (octx.consumed != field.size() || readBack != length))
        errors().record(kCompileSource, kErrLengthFieldTooLong, {lenOfo.text(), std::to_string(octx.consumed)});
    if (!lenIfm.text().empty() && !errors().holdsError()) {
        OpContext check(kDirectionInput);
        lenIfm.mask(*this).validate(*this, check, field, false);
    }
    return !errors().holdsError();
}

}  // namespace payfmt
