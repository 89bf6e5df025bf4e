#include "parsers/bitmaps/pvbm.h"

#include <algorithm>

#include "framework/errors.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/parser_switch.h"
#include "parsers/core/property_names.h"

namespace payfmt {

namespace {

constexpr std::string_view kSetDefTreeSource = "TVBMParser.SetDefTree";
constexpr std::string_view kCheckBitSource = "TVBMParser.CheckBit";
constexpr std::string_view kSetSource = "TVEXParser.DoSetProperty";
constexpr std::string_view kLength = "Length";
// A block of more bytes could not hold even one bit number of 8 bits.
constexpr std::int64_t kLongestBlock = TPVBM::kHighestBit / 8;

// The switches, with the names a parser URL sets them by.
constexpr ParserSwitch<TPVBM> kSwitches[] = {
    {vbm_dispid::kFlatParsing, "FlatParsing",
     "When false, creates an extra level to separate header, bitmaps, fields and footer", &TPVBM::flatParsing, true},
    {vbm_dispid::kGroupRecords, "GroupRecords",
     "Puts multiple record fields in separate groups when RecordCount is more than 1", &TPVBM::groupRecords, false},
    {vbm_dispid::kMessageLoop, "MessageLoop", "Allows to the VBM parser to loop through concatenanted messages",
     &TPVBM::messageLoop, false},
};
constexpr std::string_view kRecordCount = "RecordCount";
constexpr std::string_view kRecordCountDescription = "Specifies the number of records for a same bitmap";

class TVEXVBMParserInfo final : public TKORDefTreeParserInfo {
public:
    TVEXVBMParserInfo()
        : TKORDefTreeParserInfo(parserClass<TPVBM>("TPVBM", vbmParserInfo), "7c2e9a14-5b3d-4e61-9f80-2d4b6a1c0b01") {
        for (const auto& s : kSwitches) AddProperty(s.dispid, s.name).Describe(s.description).Help(kParserHelpFile, s.name);
        AddProperty(vbm_dispid::kRecordCount, kRecordCount)
            .Describe(kRecordCountDescription)
            .Help(kParserHelpFile, kRecordCount);
        Register();
    }
};

// The section's Length in bytes: absent is 0; anything but a number of 0
// to 65535 is refused.
std::uint16_t lengthOf(TPVBM& parser, NodeId section) {
    const Variant* v = nodes().get(section).props.find(kLength);
    if (!v) return 0;
    const auto length = v->toInt();
    if (!length || *length < 0 || *length > UINT16_MAX)
        parser.raise(kSetDefTreeSource, kErrPropertyNotType, {parser.GetParserName(), kLength, "integer"});
    return static_cast<std::uint16_t>(*length);
}

// A copy of the section whose every node carries the section's kind.
OwnedTree sectionCopy(NodeId section, VbmKind kind) {
    OwnedTree copy(nodes().copy(section, true));
    const Variant marked = Variant::integer(static_cast<std::int64_t>(kind));
    for (NodeId n = copy.get(); n; n = nodes().nextNode(copy.get(), n)) nodes().get(n).props.set(prop::kParserType, marked);
    return copy;
}

std::string_view textOf(NodeId node, std::string_view property) {
    const Variant* v = node ? nodes().get(node).props.find(property) : nullptr;
    return v && v->isStr() ? v->bytes() : std::string_view();
}

}  // namespace

const TKORComponentInfo& vbmParserInfo() {
    static const TVEXVBMParserInfo info;
    return info;
}

TPVBM::TPVBM() : TKORDefTreeParser("PVBM", false) {}

bool TPVBM::GetMember(std::int32_t dispid, Variant& value) {
    if (dispid == vbm_dispid::kRecordCount) {
        value = Variant::integer(recordCount);
        return true;
    }
    return getSwitch<TPVBM>(kSwitches, *this, dispid, value);
}

bool TPVBM::SetMember(std::int32_t dispid, const Variant& value) {
    if (dispid == vbm_dispid::kRecordCount) {
        const auto count = value.toInt();
        if (!count) throw EInvalidParameter::type(1, value.typeName(), std::string(kSetSource));
        if (*count < 0 || *count > UINT32_MAX) throw EInvalidParameter::overflow(1, *count, std::string(kSetSource));
        recordCount = static_cast<std::uint32_t>(*count);
        return true;
    }
    return setSwitch<TPVBM>(kSwitches, *this, dispid, value);
}

void TPVBM::reportSettings(Props& reported) const {
    reportSwitches<TPVBM>(kSwitches, *this, reported);
    if (recordCount != 1) reported.set(kRecordCount, Variant::integer(recordCount));
}

void TPVBM::clearDefinitions() {
    header_.reset();
    bitmap_.reset();
    fields_.reset();
    footer_.reset();
    headerLength_ = footerLength_ = blockLength_ = 0;
}

void TPVBM::SetDefTree(NodeId tree) {
    if (!tree) return clearDefinitions();
    // The tree given may hold the parser's own definitions: they go only
    // once the new ones are made.
    OwnedTree header, bitmap, fields, footer;
    std::uint16_t headerLength = 0, footerLength = 0, blockLength = 0;
    try {
        CheckGroup(tree);
        const NodeId h = GetGroupRaise(tree, prop::kParserType, kErrHeaderMissing, Variant::integer(1));
        const NodeId t = GetGroupRaise(tree, prop::kParserType, kErrFooterMissing, Variant::integer(4));
        const NodeId b = GetGroupRaise(tree, prop::kParserType, kErrBitmapMissing, Variant::integer(2));
        const NodeId f = GetGroupRaise(tree, prop::kParserType, kErrFieldsMissing, Variant::integer(3));
        headerLength = lengthOf(*this, h);
        footerLength = lengthOf(*this, t);
        blockLength = lengthOf(*this, b);
        // Without a block length there are no blocks to read or write, and
        // a block longer than 31 bytes holds bits no bitmap may have.
        if (blockLength == 0 || blockLength > kLongestBlock)
            raise(kSetDefTreeSource, kErrPropertyNotType, {GetParserName(), kLength, "number of bytes from 1 to 31"});
        header = sectionCopy(h, VbmKind::Header);
        footer = sectionCopy(t, VbmKind::Footer);
        bitmap = sectionCopy(b, VbmKind::Bitmap);
        fields = sectionCopy(f, VbmKind::Fields);
    } catch (...) {
        clearDefinitions();
        Close();
        throw;
    }
    header_ = std::move(header);
    footer_ = std::move(footer);
    bitmap_ = std::move(bitmap);
    fields_ = std::move(fields);
    headerLength_ = headerLength;
    footerLength_ = footerLength;
    blockLength_ = blockLength;

    // The bitmap's chains go through its hexadecimal text. Without an IFO a
    // block is that text itself: twice the block length in characters.
    const NodeId first = nodes().get(bitmap_.get()).children.empty() ? 0 : nodes().get(bitmap_.get()).children.front();
    const std::string_view ifo = textOf(first, prop::kIFO), ofo = textOf(first, prop::kOFO);
    bitmapIn_.assign(ifo.empty() ? "FIX(" + std::to_string(2 * blockLength_) + ").HEX2RAW" : std::string(ifo) + ".HEX2RAW");
    bitmapOut_.assign(ofo.empty() ? std::string("RAW2HEX") : "RAW2HEX." + std::string(ofo));
}

bool TPVBM::CheckBit(NodeId node, int& bit) {
    const Variant* v = nodes().get(node).props.find(prop::kBit);
    const auto held = v ? v->toInt() : std::nullopt;
    if (!held) {
        errors().record(kCheckBitSource, kErrInvalidBitProperty, {GetParserName(), std::to_string(bit)});
        return false;
    }
    if (*held > kHighestBit) raise(kCheckBitSource, kErrInvalidBit, {GetParserName(), nameOf(nodes().get(node))});
    bit = static_cast<int>(std::max<std::int64_t>(*held, INT32_MIN));
    return true;
}

bool TPVBM::announceable(int bit) const {
    const int blockBits = 8 * blockLength_;
    return bit >= 2 && bit <= maxBlocks() * blockBits && bit % blockBits != 1;
}

}  // namespace payfmt
