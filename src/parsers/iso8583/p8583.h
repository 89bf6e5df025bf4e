#pragma once
// TP8583: ISO 8583 messages. A message is an optional leading field (bit -1,
// usually the message type), the primary bitmap, the secondary bitmap when
// bit 1 is set, then the data elements 2 to 128 in ascending bit order. The
// definitions are the children of a definition tree keyed by their Bit
// property; each keeps its formats (IFO, IFM, OFO).
//
// Parsing appends to the value tree a copy of the definition of each field
// the bitmap announces, with the field's data as its Value. Compiling writes
// the value tree's children in their order and inserts the bitmap, made from
// their bits, right after the bit -1 field.
//
// A bitmap may be sent as bytes or as text: the bitmap field's IFO decides.
// When it reads eight bytes (FIX(8), or FIX(16).HEX2RAW for hexadecimal
// text) those are the bitmap; compiling writes the bitmap through the
// field's OFO.
#include <array>
#include <cstdint>

#include "parsers/core/def_tree_parser.h"

namespace payfmt {

class Bitmap8583;
class TKORComponentInfo;

inline constexpr std::uint32_t kErrBitOutOfRange = 0xE2070021;
inline constexpr std::uint32_t kErrDuplicateBit = 0xE2070022;
inline constexpr std::uint32_t kErrBitNotDefined = 0xE2070023;
inline constexpr std::uint32_t kErrEndOfMessage = 0xE2070024;

class TP8583 final : public TKORDefTreeParser {
public:
    TP8583();
    void SetDefTree(NodeId tree) override;
    // The bit 0 definition: a parser without one cannot be opened.
    NodeId definitions() const override { return definitionOf(0); }
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
    // Ignores root and property: the value is a bit number. A bit without a
    // definition reports "%s: Bit %s is not present in the definition tree".
    bool GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                    const Variant& value) override;
    // Appends a copy of the definition to parent and reads its field at the
    // cursor with its IFO and IFM; node is the copy.
    void SaveFieldAndError(NodeId parent, NodeId definition, NodeId& node, Cursor& cursor);

    static constexpr int kLowestBit = -1;
    static constexpr int kHighestBit = 128;

private:
    NodeId definitionOf(int bit) const { return bit < kLowestBit || bit > kHighestBit ? 0 : byBit_[bit + 1].get(); }
    bool findDefinition(int bit, NodeId& node);
    void clearDefinitions();
    // Takes the primary (half 0) or secondary (half 1) bitmap from its parsed
    // field, which started at start; false, reported, when the message ends
    // before it.
    bool loadBitmap(NodeId node, int half, std::uint32_t start, const Cursor& cursor, Bitmap8583& bitmap);
    // Hands a group field's data to the parser its Parser property names.
    void handOver(NodeId node, BytesView data);
    // The bitmap as it goes into the message: through the bitmap fields' OFO.
    bool writeBitmap(const Bitmap8583& bitmap, bool secondary, Bytes& out);

    std::array<OwnedTree, kHighestBit - kLowestBit + 1> byBit_;
};

// TKOR8583ParserInfo for TP8583, registered under "P8583".
const TKORComponentInfo& iso8583ParserInfo();

}  // namespace payfmt
