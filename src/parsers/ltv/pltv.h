#pragma once
// TPLTV: sequences of tagged data elements, flat or nested, in four modes:
//
//   LTV  length, tag, value   (the length counts tag and value)
//   TLV  tag, length, value
//   BER  tag, length, value with the tags and lengths of BER-TLV, where a
//        constructed tag holds further elements (EMV data)
//   TV   tag, value           (the value's own input chain tells its end)
//
// The tag and the length fields are converted by chains the parser holds as
// properties, so a message may carry them in decimal or hexadecimal text,
// binary or BER form. Each element's value is converted by the definition
// whose Tag matches; an element whose tag has no definition is kept raw
// under the "TNF" (tag not found) definition, named after its tag, and data
// that is no element lands under "TDL" (trailing data) when there is one.
// TPTLV, TPBER and TPTV are the same parser with other defaults.
#include <cstdint>
#include <string>
#include <string_view>

#include "parsers/core/def_tree_parser.h"
#include "parsers/core/held_format.h"
#include "parsers/ltv/tag_index.h"

namespace payfmt {

class TKORComponentInfo;
class TParseContext;
class ResolvedNode;

inline constexpr std::uint32_t kErrModeNotSupported = 0xE207000D;
inline constexpr std::uint32_t kInfoRemainingData = 0x62070012;
inline constexpr std::uint32_t kErrUnrecognisedTlv = 0xE2070031;

enum class LtvMode : std::int32_t { Ltv = 0, Tlv = 1, Ber = 2, Tv = 3 };

// Dispids of the family's members.
namespace ltv_dispid {
inline constexpr std::int32_t kLenIfm = 101;
inline constexpr std::int32_t kLenIfo = 102;
inline constexpr std::int32_t kLenOfo = 103;
inline constexpr std::int32_t kTagIfm = 104;
inline constexpr std::int32_t kTagIfo = 105;
inline constexpr std::int32_t kTagOfo = 106;
inline constexpr std::int32_t kMode = 125;
}  // namespace ltv_dispid

// One class's defaults.
struct LtvDefaults {
    std::string_view type;
    LtvMode mode;
    std::string_view lenIfo, lenOfo, tagIfo, tagOfo;
    bool published;  // its info lists the formats and the mode
};

class TPLTV : public TKORDefTreeParser {
public:
    TPLTV() : TPLTV(kDefaults) {}
    void SetDefTree(NodeId tree) override;
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
    // Looks a tag up (property "Tag"); see lookup.
    bool GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                    const Variant& value) override;
    bool GetMember(std::int32_t dispid, Variant& value) override;
    bool SetMember(std::int32_t dispid, const Variant& value) override;

    // The definition of the tag. A tag without one is reported (unless the
    // "TNF" definition asks that no tag be searched) and answers the "TNF"
    // definition, whose Name and Tag then hold the tag: false.
    bool lookup(std::string_view tag, NodeId& definition);
    // The lookup as compiling needs it: whether the tag has a definition,
    // reported as lookup reports it, the fallback definition left as it is.
    bool known(std::string_view tag) { return definitionOf(tag) != 0; }
    // The same for a value node with worked-out settings, whose tag field is
    // appended to field (false when the tag chain failed). What it finds is
    // kept with the settings, so that the copies of one definition find it
    // again without a search.
    bool tagFieldOf(const ResolvedNode& settings, Bytes& field);

    std::int32_t mode = 0;
    HeldFormat lenIfm, lenIfo, lenOfo, tagIfm, tagIfo, tagOfo;

protected:
    explicit TPLTV(const LtvDefaults& defaults);
    void reportSettings(Props& reported) const override;

private:
    static const LtvDefaults kDefaults;

    void clearDefinitions();
    // The definition of the tag from the index, 0 (reported unless no tag
    // is searched for) when it has none.
    NodeId definitionOf(std::string_view tag);
    // The elements of parent's children, appended to out.
    void compileElements(Bytes& out, NodeId parent, const TParseInherit& inherited);
    // Appends one element's header (its tag field, given, and its length
    // field) for its value; lengthBytes is the fewest bytes of a BER length
    // field.
    bool compileHeader(BytesView tagBytes, std::int32_t lengthBytes, BytesView value, Bytes& header);
    // Appends the tag field of the tag text.
    bool tagField(std::string_view tag, Bytes& field);
    // Whether the length field written reads back as the length, and passes
    // the length field's check; reported when not.
    bool lengthReadsBack(BytesView field, std::uint32_t length);
    // The elements at the cursor, appended to parent's children.
    void parseElements(Cursor& cursor, NodeId parent, const TParseInherit& inherited);
    // Reads an element's tag and value length; false when it is no element.
    bool parseHeader(Cursor& cursor, std::string& tag, std::int64_t& valueLength);
    // Reads the tag field; false when it took no byte.
    bool readTag(Cursor& cursor, std::string& tag);
    // The element's value, read from its data into a copy of its definition
    // appended to parent (ctx reads the level's nodes); answers the copy.
    NodeId parseValue(TParseContext& ctx, Cursor& cursor, NodeId parent, NodeId definition, bool found,
                      std::string_view tag, std::int64_t valueLength);
    // What is left from start is no element: kept under "TDL" when there is
    // one, and reported.
    void unrecognised(Cursor& cursor, std::uint32_t start, NodeId parent);

    LtvDefaults defaults_;
    // The "TNF" definition is the fallback node, and its NoTagSearch sets
    // alwaysFallback.
    NodeId tdl_ = 0;  // in definitions(): where trailing data lands; 0 when none
    TagIndex index_;
    // Changes whenever what is kept with a node's settings may no longer
    // hold: new definitions, another tag chain.
    std::uint64_t memoStamp_;
};

class TPTLV final : public TPLTV {
public:
    TPTLV();
};

class TPBER final : public TPLTV {
public:
    TPBER();
};

class TPTV final : public TPLTV {
public:
    TPTV();
};

// The info objects: TVEXLTVParserInfo, TVEXTLVParserInfo and TVEXTVParserInfo
// publish the seven formats and the mode; TVEXBERParserInfo publishes none of
// them, though its parser answers them by dispid.
const TKORComponentInfo& ltvParserInfo();
const TKORComponentInfo& tlvParserInfo();
const TKORComponentInfo& berParserInfo();
const TKORComponentInfo& tvParserInfo();

}  // namespace payfmt
