// Compiling: each child of a value node becomes one element, its value
// written first and its header (tag and length fields) put in front of it.
#include <string>

#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "parsers/ltv/pltv.h"

namespace payfmt {

namespace {

constexpr std::string_view kCompileSource = "TLTVParser.Compile";
constexpr std::uint32_t kErrLengthFieldTooLong = 0xE2060023;

// A child tagged so is never written: it holds what a parse could not read.
constexpr std::string_view kTrailingData = "TDL";

void clearReports(NodeProps& props) {
    constexpr std::uint64_t bits = Props::bitOf(prop::kEC) | Props::bitOf(prop::kError);
    if (!props.mayHave(bits)) return;
    for (const std::string_view name : {prop::kEC, prop::kError})
        if (props.find(name)) props.remove(name);
}

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
    std::string tag;
    Bytes header;
    for (std::size_t i = 0; i < table.get(parent).children.size() && !errors.holdsError(); ++i) {
        const NodeId child = table.get(parent).children[i];
        ctx.SetNode(child);
        Node& n = ctx.current();
        clearReports(n.props);
        tag.assign(ctx.GetTag());
        NodeId definition = 0;
        lookup(tag, definition);
        if (tag == kTrailingData) continue;

        const bool processNull = ctx.GetProcessNull();
        const std::int32_t lengthBytes = ctx.BerLenMinSize();
        const std::size_t start = out.size();
        // A constructed BER element holds elements; a value node that is a
        // plain field holds its value bytes, whatever its tag says.
        if (static_cast<LtvMode>(mode) == LtvMode::Ber && ctx.ConstructedBER() && ctx.GetRecurse() > 0 && n.isGroup()) {
            compileElements(out, child, ctx.ChildRecord());
        } else {
            TParseInherit field = inherited;
            field.processNull = processNull;
            CompileTemplate(*this, out, child, field);
        }
        if (!errors.holdsError() && (out.size() > start || processNull)) {
            header.clear();
            if (compileHeader(tag, lengthBytes, BytesView(out).substr(start), header)) out.insert(start, header);
        }
        if (errors.holdsError()) out.resize(start);
        attachReport(*this, table.get(child).props);
    }
}

bool TPLTV::compileHeader(std::string_view tag, std::int32_t lengthBytes, BytesView value, Bytes& header) {
    Bytes tagField;
    if (!appendOutput(*this, tagOfo.chain(*this), tag, tagField)) return false;
    Bytes lengthField;
    switch (static_cast<LtvMode>(mode)) {
        case LtvMode::Ltv: {
            // The length counts the tag field, and goes to the chain as four
            // bytes, least significant first.
            const std::uint32_t length = static_cast<std::uint32_t>(tagField.size() + value.size());
            const char bytes[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                                   static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
            if (!appendOutput(*this, lenOfo.chain(*this), BytesView(bytes, 4), lengthField)) return false;
            if (!lengthReadsBack(lengthField, length)) return false;
            header.append(lengthField);
            header.append(tagField);
            return true;
        }
        case LtvMode::Tlv:
        case LtvMode::Ber: {
            const bool wider = static_cast<LtvMode>(mode) == LtvMode::Ber && lengthBytes >= 2;
            const ParsedChain& chain =
                wider ? *(lenOfoWide_ = settings().chains.get(lenOfo.text() + "(" + std::to_string(lengthBytes) + ")", true,
                                                               settings().sequences))
                      : lenOfo.chain(*this);
            if (!appendOutput(*this, chain, value, lengthField)) return false;
            if (!lengthReadsBack(lengthField, static_cast<std::uint32_t>(value.size()))) return false;
            header.append(tagField);
            header.append(lengthField);
            return true;
        }
        case LtvMode::Tv:
            header.append(tagField);
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
    static const InputMask none{};
    ApplyIFO(*this, octx, lenIfo.chain(*this), none, false, field, read);
    std::uint32_t readBack = 0;
    const BytesView bytes = read.view();
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 4); ++i) readBack |= std::uint32_t{byteAt(bytes, i)} << (8 * i);
    if (!errors().holdsError() && (octx.consumed != field.size() || readBack != length))
        errors().record(kCompileSource, kErrLengthFieldTooLong, {lenOfo.text(), std::to_string(octx.consumed)});
    if (!lenIfm.text().empty() && !errors().holdsError()) {
        OpContext check(kDirectionInput);
        lenIfm.mask(*this).validate(*this, check, field, false);
    }
    return !errors().holdsError();
}

}  // namespace payfmt
