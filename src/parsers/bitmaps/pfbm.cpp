#include "parsers/bitmaps/pfbm.h"

#include <algorithm>

#include "framework/errors.h"
#include "parsers/core/message_bitmap.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"

namespace payfmt {

namespace {

constexpr std::string_view kSetSource = "TFBMParser.DoSetProperty";
constexpr std::string_view kCompileSource = "TFBMParser.Compile";
constexpr std::string_view kCompileBitMapSource = "TFBMParser.CompileBitMap";
constexpr std::string_view kParseSource = "TFBMParser.Parse";
constexpr std::string_view kBitmapNode = "Bitmap";
constexpr std::string_view kBitMapBits = "BitMapBits";
constexpr std::size_t kMostBytes = (TPFBM::kMostBits + 7) / 8;

// The formats, with the names a parser URL sets them by.
struct FormatMember {
    std::int32_t dispid;
    std::string_view name, description;
    HeldFormat TPFBM::*format;
    std::string_view fallback;
};

constexpr FormatMember kFormats[] = {
    {fbm_dispid::kBitMapIFO, "BitMapIFO", "Operator to convert input bitmap into binary", &TPFBM::bitMapIfo, "fix(1)"},
    {fbm_dispid::kBitMapOFO, "BitMapOFO", "Operator to convert binary bitmap into output format", &TPFBM::bitMapOfo, ""},
    {fbm_dispid::kBitMapDisplay, "BitMapDisplay", "Operator to convert binary bitmap into display format",
     &TPFBM::bitMapDisplay, "raw2hex"},
};

const FormatMember* formatMember(std::int32_t dispid) {
    const auto it = std::ranges::find(kFormats, dispid, &FormatMember::dispid);
    return it == std::end(kFormats) ? nullptr : it;
}

class TVEXFBMParserInfo final : public TKORDefTreeParserInfo {
public:
    TVEXFBMParserInfo()
        : TKORDefTreeParserInfo(parserClass<TPFBM>("TPFBM", fbmParserInfo), "7c2e9a14-5b3d-4e61-9f80-2d4b6a1c0b02") {
        AddProperty(fbm_dispid::kBitMapBits, kBitMapBits).Describe("Number of bits in the bitmap").Help(kParserHelpFile, kBitMapBits);
        for (const FormatMember& m : kFormats) AddProperty(m.dispid, m.name).Describe(m.description).Help(kParserHelpFile, m.name);
        Register();
    }
};

}  // namespace

const TKORComponentInfo& fbmParserInfo() {
    static const TVEXFBMParserInfo info;
    return info;
}

TPFBM::TPFBM() : TKORDefTreeParser("PFBM", false) {}

bool TPFBM::GetMember(std::int32_t dispid, Variant& value) {
    if (dispid == fbm_dispid::kBitMapBits) {
        value = Variant::integer(bitMapBits);
        return true;
    }
    const FormatMember* m = formatMember(dispid);
    if (!m) return false;
    value = Variant::text((this->*(m->format)).text());
    return true;
}

bool TPFBM::SetMember(std::int32_t dispid, const Variant& value) {
    if (dispid == fbm_dispid::kBitMapBits) {
        const auto bits = value.toInt();
        if (!bits) throw EInvalidParameter::type(1, value.typeName(), std::string(kSetSource));
        if (*bits > kMostBits) raise(kSetSource, kErrBitmapTooLong, {GetParserName()});
        // A bitmap of no bits announces nothing: a record of it would be
        // the bitmap alone, whatever follows.
        if (*bits < 1) raise(kSetSource, kErrPropertyNotType, {GetParserName(), kBitMapBits, "number of bits from 1 to 255"});
        bitMapBits = static_cast<std::uint16_t>(*bits);
        return true;
    }
    const FormatMember* m = formatMember(dispid);
    if (!m) return false;
    (this->*(m->format)).assign(value, kSetSource);
    return true;
}

void TPFBM::reportSettings(Props& reported) const {
    if (bitMapBits != 8) reported.set(kBitMapBits, Variant::integer(bitMapBits));
    for (const FormatMember& m : kFormats) {
        const std::string& text = (this->*(m.format)).text();
        if (text != m.fallback) reported.set(m.name, Variant::text(text));
    }
}

void TPFBM::SetDefTree(NodeId tree) {
    if (tree) {
        try {
            CheckGroup(tree);
            CheckProperty(tree, prop::kBit, false, false, PropertyKind::Integer);
        } catch (...) {
            // A refused tree leaves no definitions, and no open parser.
            storeDefinitions(0);
            Close();
            throw;
        }
    }
    storeDefinitions(tree);
}

void TPFBM::insertBitmapNode(NodeId tree, BytesView bitmap, std::int64_t index) {
    OpContext octx(kDirectionOutput);
    Output shown;
    ApplyOFO(*this, octx, bitMapDisplay.chain(*this), bitmap, shown);
    OwnedTree node(nodes().create(kBitmapNode, 0));
    NodeProps& props = nodes().get(node.get()).props;
    props.set(settings().valueName, Variant::blob(shown.view()));
    attachReport(*this, props);
    nodes().addChild(tree, node.release(), index);
}

std::uint32_t TPFBM::CompileInternal(Bytes& out, NodeId tree, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    std::size_t index = 0;
    RemoveChildrenOfKind(2, tree, index);

    TParseContext ctx(inherited, *this);
    ctx.SetNode(tree);
    const TParseInherit childRecord = ctx.ChildRecord();
    MessageBitmap<kMostBytes> bitmap;
    int highest = 0;
    for (std::size_t i = 0; i < nodes().get(tree).children.size();) {
        const NodeId child = nodes().get(tree).children[i];
        ctx.SetNode(child);
        const int bit = ctx.GetBit();
        // The "Bitmap" node and the remaining data of a parse are no fields.
        if (bit < 1) {
            ctx.SetNode(0);
            nodes().remove(child);
            continue;
        }
        if (bit <= highest)
            raise(kCompileBitMapSource, kErrBitsNotAscending, {GetParserName(), nameOf(nodes().get(child))});
        highest = bit;
        if (bit > bitMapBits) raise(kCompileBitMapSource, kErrInvalidBit, {GetParserName(), std::to_string(bit)});
        if (NodeWritesData(child, childRecord)) bitmap.set(bit);
        ++i;
    }
    ctx.SetNode(0);
    // What checking the fields reported belongs to the tree, not to the
    // Bitmap node made next.
    attachReport(*this, nodes().get(tree).props);

    const BytesView binary = bitmap.view(0, (bitMapBits + 7u) / 8u);
    OpContext octx(kDirectionOutput);
    Output written;
    ApplyOFO(*this, octx, bitMapOfo.chain(*this), binary, written);
    if (!errors().holdsError()) out.append(written.view());
    insertBitmapNode(tree, binary, 0);
    for (std::size_t i = 1; i < nodes().get(tree).children.size() && !errors().holdsError(); ++i)
        CompileTemplate(*this, out, nodes().get(tree).children[i], childRecord);
    return FinishOnRoot(tree);
}

std::uint32_t TPFBM::ParseInternal(Cursor& cursor, NodeId tree, const TParseInherit& inherited) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    const std::uint32_t start = cursor.position;
    OpContext octx(kDirectionInput);
    Output bitmapField;
    ApplyIFO(*this, octx, bitMapIfo.chain(*this), InputMask::none(), false, cursor.rest(), bitmapField);
    cursor.advance(octx.consumed);
    if (bitmapField.view().size() > kMostBytes) raise(kParseSource, kErrBitmapTooLong, {octx.name});
    if (errors().holdsError()) return FinishOnRoot(tree, start);
    MessageBitmap<kMostBytes> bitmap;
    bitmap.load(0, bitmapField.view());
    insertBitmapNode(tree, bitmapField.view(), -1);

    const TParseInherit childRecord = childRecordOf(*this, tree, inherited);
    byBit_.build(definitions());
    for (int bit = 1; bit <= bitMapBits; ++bit) {
        if (!bitmap.test(bit)) continue;
        const NodeId definition = byBit_.require(*this, bit);
        if (!definition) return FinishOnRoot(tree, cursor.position);
        SubParse(tree, definition, -1, childRecord, cursor);
        if (errors().holdsError()) return FinishOnRoot(tree);
    }
    if (!cursor.atEnd()) AppendRemainingData(tree, cursor, octx.name, kParseSource);
    return FinishOnRoot(tree);
}

}  // namespace payfmt
