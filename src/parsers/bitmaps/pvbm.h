#pragma once
// TPVBM: records announced by a bitmap of chained blocks. A message is a
// fixed-length header, a bitmap of one or more blocks of L bytes, the data
// fields whose bits are set (for one or more records under the same bitmap)
// and a fixed-length footer; several messages may follow one another.
//
// Block k holds bits k * 8L + 1 to (k + 1) * 8L, and the first bit of each
// block (1, 8L + 1, 16L + 1 ...) says that another block follows. Bit
// numbers go up to 254, so a bitmap has at most 254 / 8L blocks.
//
// The definition tree holds four groups told apart by their ParserType:
// 1 the header, 2 the bitmap, 3 the data fields (each with its Bit), 4 the
// footer. Header, bitmap and footer carry their Length in bytes (the
// bitmap's is one block's). The bitmap group's first child tells how the
// bitmap is written relative to its hexadecimal text: its IFO reads one
// block of the message into that text, its OFO writes the text into the
// message; without them the bitmap is written as hexadecimal text. Every
// node copied from a definition carries its section's ParserType, which is
// how compiling tells the parts of a value tree apart.
#include <cstdint>
#include <optional>
#include <string>

#include "parsers/bitmaps/bit_index.h"
#include "parsers/core/def_tree_parser.h"
#include "parsers/core/held_format.h"
#include "parsers/core/message_bitmap.h"

namespace payfmt {

class TKORComponentInfo;
class TParseContext;

inline constexpr std::uint32_t kErrHeaderMissing = 0xE2070041;
inline constexpr std::uint32_t kErrFooterMissing = 0xE2070042;
inline constexpr std::uint32_t kErrBitmapMissing = 0xE2070043;
inline constexpr std::uint32_t kErrFieldsMissing = 0xE2070044;
inline constexpr std::uint32_t kErrInvalidBitProperty = 0xE2070047;
inline constexpr std::uint32_t kErrShorterThanHeaderAndFooter = 0xE207004A;

// Dispids of the family's members.
namespace vbm_dispid {
inline constexpr std::int32_t kRecordCount = 107;
inline constexpr std::int32_t kGroupRecords = 108;
inline constexpr std::int32_t kFlatParsing = 109;
inline constexpr std::int32_t kMessageLoop = 115;
}  // namespace vbm_dispid

// The sections of a message, by the ParserType that marks their nodes.
enum class VbmKind : std::int64_t { Header = 1, Bitmap = 2, Fields = 3, Footer = 4 };

class TPVBM final : public TKORDefTreeParser {
public:
    TPVBM();
    void SetDefTree(NodeId tree) override;
    NodeId definitions() const override { return fields_.get(); }
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
    bool GetMember(std::int32_t dispid, Variant& value) override;
    bool SetMember(std::int32_t dispid, const Variant& value) override;

    // Reads the node's Bit into bit. One that is no number is reported (with
    // the bit held before) and answers false; one above 254 raises.
    bool CheckBit(NodeId node, int& bit);
    // Compiles the children of the kind from index on (see vbm_compile.cpp).
    void CompileKind(VbmKind kind, NodeId tree, const TParseInherit& inherited, std::size_t& index, Bytes& out);
    // Builds the bitmap of the data nodes from index on, appends it to out
    // and puts its value nodes into the tree at index.
    void CompileBitMap(NodeId tree, int minimumBlocks, const TParseInherit& inherited, std::size_t index, Bytes& out);

    bool flatParsing = true;
    bool groupRecords = false;
    bool messageLoop = false;
    std::uint32_t recordCount = 1;

    static constexpr int kHighestBit = 254;

protected:
    void reportSettings(Props& reported) const override;

private:
    void clearDefinitions();
    // The blocks a bitmap may have: as many as fit in 254 bits.
    int maxBlocks() const { return kHighestBit / (8 * blockLength_); }
    // Whether a data field may have the bit: not a continuation bit, and
    // within the blocks a bitmap may have.
    bool announceable(int bit) const;
    // One message of the value tree: header, bitmap, data fields, footer.
    void compileMessage(NodeId message, const TParseInherit& inherited, Bytes& out);
    // One message at the cursor, appended to destination; false when the
    // parse must stop (the report says why).
    bool parseMessage(Cursor& cursor, NodeId destination, const TParseInherit& inherited,
                      std::optional<std::uint32_t>& stoppedAt, std::string& lastOperator);
    // The header or footer: length bytes parsed with the section's
    // definition; fewer when fewer are left, reported. False when the parse
    // must stop.
    bool parseSection(NodeId definition, std::uint32_t length, Cursor& cursor, NodeId destination,
                      const TParseInherit& inherited);
    // Inserts a copy of the section's definition under destination (which
    // inherits the record) at index and parses data into it; without
    // FlatParsing the copy stays a group, with it its children take its place.
    void insertSection(NodeId definition, BytesView data, NodeId destination, std::int64_t index,
                       const TParseInherit& inherited);
    // Reads the bitmap's blocks at the cursor into bitmap; answers its length
    // in bytes, 0 when it could not be read (reported).
    std::size_t readBitmap(Cursor& cursor, MessageBitmap<32>& bitmap, std::string& lastOperator);

    OwnedTree header_, bitmap_, fields_, footer_;
    std::uint16_t headerLength_ = 0, footerLength_ = 0, blockLength_ = 0;
    HeldFormat bitmapIn_, bitmapOut_;
    BitIndex byBit_;
};

// TVEXVBMParserInfo for TPVBM, registered under "PVBM".
const TKORComponentInfo& vbmParserInfo();

}  // namespace payfmt
