#pragma once
// TPFBM: records that begin with a bitmap of a fixed number of bits (at most
// 255), followed by the fields whose bits are set, in ascending bit order.
// The bitmap's size and how it is written are the parser's properties:
// BitMapIFO reads it from the message into its binary form, BitMapOFO writes
// the binary form into the message and BitMapDisplay turns it into the text
// of the "Bitmap" node that a value tree starts with. The definitions are
// the children of the definition tree, each with its Bit and formats.
#include <cstdint>

#include "parsers/bitmaps/bit_index.h"
#include "parsers/core/def_tree_parser.h"
#include "parsers/core/held_format.h"

namespace payfmt {

class TKORComponentInfo;

// Dispids of the family's members.
namespace fbm_dispid {
inline constexpr std::int32_t kBitMapBits = 120;
inline constexpr std::int32_t kBitMapIFO = 121;
inline constexpr std::int32_t kBitMapOFO = 122;
inline constexpr std::int32_t kBitMapDisplay = 123;
}  // namespace fbm_dispid

class TPFBM final : public TKORDefTreeParser {
public:
    TPFBM();
    void SetDefTree(NodeId tree) override;
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
    bool GetMember(std::int32_t dispid, Variant& value) override;
    bool SetMember(std::int32_t dispid, const Variant& value) override;

    static constexpr int kMostBits = 255;

    std::uint16_t bitMapBits = 8;
    HeldFormat bitMapIfo{"fix(1)"}, bitMapOfo, bitMapDisplay{"raw2hex"};

protected:
    void reportSettings(Props& reported) const override;

private:
    // The bitmap as the Value of a "Bitmap" node put first in the tree.
    void insertBitmapNode(NodeId tree, BytesView bitmap, std::int64_t index);

    BitIndex byBit_;
};

// TVEXFBMParserInfo for TPFBM, registered under "PFBM".
const TKORComponentInfo& fbmParserInfo();

}  // namespace payfmt
