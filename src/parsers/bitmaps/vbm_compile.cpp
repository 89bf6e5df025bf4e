// Compiling a value tree of the variable-bitmap parser: the header, the
// bitmap made from the data fields that hold data, the data fields in the
// tree's order, the footer. The bitmap's value nodes are made anew from the
// bitmap written.
#include <algorithm>
#include <vector>

#include "engine/chain.h"
#include "parsers/bitmaps/pvbm.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"

namespace payfmt {

namespace {

constexpr std::string_view kCompileSource = "TVBMParser.Compile";
constexpr std::string_view kCompileBitMapSource = "TVBMParser.CompileBitMap";

}  // namespace

void TPVBM::CompileKind(VbmKind kind, NodeId tree, const TParseInherit& inherited, std::size_t& index, Bytes& out) {
    const TParseInherit childRecord = childRecordOf(*this, tree, inherited);
    const std::int64_t wanted = static_cast<std::int64_t>(kind);
    while (index < nodes().get(tree).children.size() && !errors().holdsError()) {
        const NodeId child = nodes().get(tree).children[index];
        const std::int64_t k = KindOf(child);
        if (k > wanted) return;
        if (k == wanted) CompileTemplate(*this, out, child, childRecord);
        ++index;
    }
}

void TPVBM::CompileBitMap(NodeId tree, int minimumBlocks, const TParseInherit& inherited, std::size_t index, Bytes& out) {
    using Bits = MessageBitmap<32>;
    Bits bits;
    int highest = 1, bit = 0;
    // Several records share the bitmap: each must carry the fields it
    // announces. A record is a record group, or in a flat tree the fields
    // up to where the bits start again.
    std::vector<Bits> records;
    int lastInRecord = 0;
    auto beginRecord = [&] {
        records.emplace_back();
        lastInRecord = 0;
    };
    // Checks a data field and sets its bit when the walk will write it.
    auto consider = [&](NodeId node, const TParseInherit& record) {
        if (!CheckBit(node, bit) || !NodeWritesData(node, record)) return;
        // A field the bitmap cannot announce (bit 0, a continuation bit, a
        // bit beyond the blocks a bitmap may have) would be read as another
        // field by every reader of the message.
        if (!announceable(bit)) {
            errors().record(kCompileBitMapSource, kErrInvalidBit, {GetParserName(), nameOf(nodes().get(node))});
            return;
        }
        if (recordCount == 1 && bit <= highest) {
            errors().record(kCompileBitMapSource, kErrBitsNotAscending, {GetParserName(), nameOf(nodes().get(node))});
            return;
        }
        if (recordCount != 1) {
            if (records.empty() || bit <= lastInRecord) beginRecord();
            records.back().set(bit);
            lastInRecord = bit;
        }
        highest = std::max(highest, bit);
        bits.set(bit);
    };
    // The data fields CompileKind will write: those up to the first node of
    // a later part. A record group (a data group without a Bit, as
    // GroupRecords makes) holds its record's fields.
    const TParseInherit childRecord = childRecordOf(*this, tree, inherited);
    for (std::size_t i = index; i < nodes().get(tree).children.size(); ++i) {
        const NodeId child = nodes().get(tree).children[i];
        const std::int64_t kind = KindOf(child);
        if (kind > static_cast<std::int64_t>(VbmKind::Fields)) break;
        if (kind < static_cast<std::int64_t>(VbmKind::Fields)) continue;
        const Node& n = nodes().get(child);
        if (!n.isGroup() || n.props.find(prop::kBit)) {
            consider(child, childRecord);
            continue;
        }
        if (recordCount != 1) beginRecord();
        const TParseInherit fieldRecord = childRecordOf(*this, child, childRecord);
        for (std::size_t f = 0; f < nodes().get(child).children.size(); ++f) consider(nodes().get(child).children[f], fieldRecord);
    }
    if (highest > 1 && recordCount != 1) {
        auto same = [&](const Bits& record) { return record.view(0, 32) == bits.view(0, 32); };
        const auto differing = std::ranges::find_if_not(records, same);
        if (records.size() != recordCount || differing != records.end()) {
            const std::size_t first = std::min<std::size_t>(differing - records.begin(), recordCount);
            errors().record(kCompileBitMapSource, kErrDataTooShort, {GetParserName(), "Record " + std::to_string(first + 1)});
        }
    }
    if (errors().holdsError()) return;

    const int blockBits = 8 * blockLength_;
    const int blocks = std::min(std::max((highest - 1) / blockBits + 1, minimumBlocks), maxBlocks());
    for (int k = 0; k + 1 < blocks; ++k) bits.setByteBits(static_cast<std::size_t>(k) * blockLength_, 0x80);
    OpContext octx(kDirectionOutput);
    Output written;
    ApplyOFO(*this, octx, bitmapOut_.chain(*this), bits.view(0, static_cast<std::size_t>(blocks) * blockLength_), written);
    if (errors().holdsError()) return;
    out.append(written.view());
    insertSection(bitmap_.get(), written.view(), tree, static_cast<std::int64_t>(index), inherited);
}

void TPVBM::compileMessage(NodeId message, const TParseInherit& inherited, Bytes& out) {
    std::size_t index = 0;
    CompileKind(VbmKind::Header, message, inherited, index, out);
    if (errors().holdsError()) return;
    // The bitmap nodes of an earlier run give way to the bitmap made now.
    RemoveChildrenOfKind(static_cast<std::int64_t>(VbmKind::Bitmap), message, index);
    CompileBitMap(message, 0, inherited, index, out);
    if (errors().holdsError()) return;
    CompileKind(VbmKind::Fields, message, inherited, index, out);
    if (errors().holdsError()) return;
    CompileKind(VbmKind::Footer, message, inherited, index, out);
}

std::uint32_t TPVBM::CompileInternal(Bytes& out, NodeId tree, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    // With MessageLoop the messages of a parse are groups of their own
    // ("Message 1" ...), written one after the other.
    bool looped = false;
    if (messageLoop) {
        const TParseInherit messageRecord = childRecordOf(*this, tree, inherited);
        for (std::size_t i = 0; i < nodes().get(tree).children.size() && !errors().holdsError(); ++i) {
            const NodeId child = nodes().get(tree).children[i];
            if (!nodes().get(child).isGroup() || KindOf(child) != 0) continue;
            clearReports(nodes().get(child).props);
            compileMessage(child, messageRecord, out);
            attachReport(*this, nodes().get(child).props);
            looped = true;
        }
    }
    if (!looped) compileMessage(tree, inherited, out);
    return FinishOnRoot(tree);
}

}  // namespace payfmt
