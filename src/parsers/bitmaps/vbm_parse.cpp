// Parsing messages of the variable-bitmap parser: header, bitmap blocks,
// the records of data fields the bitmap announces, footer; then the next
// message (MessageLoop) or the bytes left as remaining data.
#include "engine/chain.h"
#include "parsers/bitmaps/pvbm.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"

namespace payfmt {

namespace {

constexpr std::string_view kParseSource = "TVBMParser.Parse";

// Puts the children of the group at index under parent in its place.
void flatten(NodeId parent, std::size_t index) {
    const NodeId group = nodes().get(parent).children[index];
    if (!nodes().get(group).isGroup()) return;
    // Each last child goes right after the group, so that they keep their order.
    while (!nodes().get(group).children.empty()) nodes().addChild(parent, nodes().get(group).children.back(), index + 1);
    nodes().remove(group);
}

NodeId appendGroup(NodeId parent, const std::string& name) {
    OwnedTree group(nodes().create(name, kGroupAttrib));
    const NodeId id = group.get();
    nodes().addChild(parent, group.release(), -1);
    return id;
}

}  // namespace

void TPVBM::insertSection(NodeId definition, BytesView data, NodeId destination, std::int64_t index,
                          const TParseInherit& inherited) {
    TParseInherit record = childRecordOf(*this, destination, inherited);
    // A section that is flattened is entered one level further than its
    // fields will sit.
    if (flatParsing && record.recurseLevel < INT32_MAX) ++record.recurseLevel;
    const std::size_t before = nodes().get(destination).children.size();
    const std::size_t at = index < 0 ? before : static_cast<std::size_t>(index);
    Cursor cursor{data, 0};
    SubParse(destination, definition, index, record, cursor);
    if (!flatParsing) return;
    // The copy, and the repetitions of it a RepeatNode section makes (none
    // when it found no data), each give way to their fields.
    const std::size_t after = nodes().get(destination).children.size();
    for (std::size_t k = after > before ? after - before : 0; k-- > 0;) flatten(destination, at + k);
}

bool TPVBM::parseSection(NodeId definition, std::uint32_t length, Cursor& cursor, NodeId destination,
                         const TParseInherit& inherited) {
    const std::uint32_t taken = std::min(length, cursor.left());
    insertSection(definition, cursor.rest().substr(0, taken), destination, -1, inherited);
    cursor.advance(taken);
    // A header or footer cut short is a message cut short.
    if (taken < length) errors().record(kParseSource, kErrDataTooShort, {GetParserName(), nameOf(nodes().get(definition))});
    return !errors().holdsError();
}

std::size_t TPVBM::readBitmap(Cursor& cursor, MessageBitmap<32>& bitmap, std::string& lastOperator) {
    const std::size_t length = blockLength_;
    for (int k = 0;; ++k) {
        // The block before announced one more than a bitmap may have.
        if (k == maxBlocks()) {
            errors().record(kParseSource, kErrBitmapTooLong, {GetParserName()});
            return 0;
        }
        OpContext octx(kDirectionInput);
        Output block;
        const std::size_t reports = errors().entries().size();
        ApplyIFO(*this, octx, bitmapIn_.chain(*this), InputMask::none(), false, cursor.rest(), block);
        lastOperator = octx.name;
        cursor.advance(octx.consumed);
        if (errors().holdsError()) return 0;
        // A block that took nothing would be read again for ever; one that
        // gave fewer bytes than a block, or that its chain reported on (cut
        // short, not hexadecimal), is no bitmap.
        if (octx.consumed == 0 || block.view().size() < length || errors().entries().size() != reports) {
            errors().record(kParseSource, kErrDataTooShort, {GetParserName(), "bitmap"});
            return 0;
        }
        bitmap.load(k * length, block.view().substr(0, length));
        if (!(bitmap.byte(k * length) & 0x80)) return (k + 1) * length;
    }
}

bool TPVBM::parseMessage(Cursor& cursor, NodeId destination, const TParseInherit& inherited,
                         std::optional<std::uint32_t>& stoppedAt, std::string& lastOperator) {
    if (!parseSection(header_.get(), headerLength_, cursor, destination, inherited)) {
        stoppedAt = cursor.position;
        return false;
    }

    const std::uint32_t bitmapStart = cursor.position;
    MessageBitmap<32> bitmap;
    const std::size_t bitmapLength = readBitmap(cursor, bitmap, lastOperator);
    if (!bitmapLength) {
        stoppedAt = bitmapStart;
        return false;
    }
    insertSection(bitmap_.get(), cursor.data.substr(bitmapStart, cursor.position - bitmapStart), destination, -1, inherited);
    if (errors().holdsError()) return false;

    const int blockBits = 8 * blockLength_;
    const int lastBit = static_cast<int>(8 * bitmapLength);
    auto announced = [&](int bit) { return bit % blockBits != 1 && bitmap.test(bit); };
    bool anyField = false;
    for (int bit = 2; bit <= lastBit && !anyField; ++bit) anyField = announced(bit);
    // A bitmap that announces no field has no records to read.
    const TParseInherit destinationRecord = childRecordOf(*this, destination, inherited);
    std::uint32_t recordStart = cursor.position;
    for (std::uint32_t record = 1; anyField && record <= recordCount; ++record) {
        // Records that find no data, or use none, would repeat without end.
        if (cursor.atEnd() || (record > 1 && cursor.position == recordStart)) {
            errors().record(kParseSource, kErrDataTooShort, {GetParserName(), "Record " + std::to_string(record)});
            stoppedAt = cursor.position;
            return false;
        }
        recordStart = cursor.position;
        NodeId parent = destination;
        TParseInherit fieldRecord = destinationRecord;
        if (groupRecords) {
            parent = appendGroup(destination, "Record " + std::to_string(record));
            nodes().get(parent).props.set(prop::kParserType, Variant::integer(static_cast<std::int64_t>(VbmKind::Fields)));
            fieldRecord = childRecordOf(*this, parent, destinationRecord);
        }
        for (int bit = 2; bit <= lastBit; ++bit) {
            if (!announced(bit)) continue;
            const NodeId definition = byBit_.require(*this, bit);
            if (!definition) {
                stoppedAt = cursor.position;
                return false;
            }
            SubParse(parent, definition, -1, fieldRecord, cursor);
            if (errors().holdsError()) return false;
        }
    }

    if (parseSection(footer_.get(), footerLength_, cursor, destination, inherited)) return true;
    stoppedAt = cursor.position;
    return false;
}

std::uint32_t TPVBM::ParseInternal(Cursor& cursor, NodeId tree, const TParseInherit& inherited) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(tree);
    const std::uint32_t frame = std::uint32_t{headerLength_} + footerLength_;
    if (cursor.left() < frame) raise(kParseSource, kErrShorterThanHeaderAndFooter, {GetParserName()});

    byBit_.build(fields_.get());
    std::optional<std::uint32_t> stoppedAt;
    std::string lastOperator;
    const TParseInherit messageRecord = messageLoop ? childRecordOf(*this, tree, inherited) : inherited;
    for (std::uint32_t number = 1; !cursor.atEnd(); ++number) {
        if (number > 1 && cursor.left() < frame) {
            errors().record(kParseSource, kErrShorterThanHeaderAndFooter, {GetParserName()});
            return FinishOnRoot(tree, cursor.position);
        }
        const NodeId destination = messageLoop ? appendGroup(tree, "Message " + std::to_string(number)) : tree;
        if (!parseMessage(cursor, destination, messageRecord, stoppedAt, lastOperator)) return FinishOnRoot(tree, stoppedAt);
        if (!messageLoop && !cursor.atEnd()) AppendRemainingData(tree, cursor, lastOperator, kParseSource);
    }
    return FinishOnRoot(tree);
}

}  // namespace payfmt
