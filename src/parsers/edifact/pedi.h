#pragma once
// TPEDI: EDIFACT interchanges. The parser converts no data element itself:
// it gives each node an operator chain built on EDIFACTFLD, which joins or
// splits one level of the syntax (segment, data element, component), and
// lets the template walk do the rest. A segment definition names its data
// elements in order (a group among them holds a composite's components);
// each element's formats come from the data element definitions, shared by
// every segment and found by Name.
//
// Definition tree, children of the root by position: the message
// definitions (checked and kept), the segment definitions (one child per
// segment tag, found by Name) and the data element definitions.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "parsers/core/def_tree_parser.h"
#include "parsers/core/held_format.h"
#include "parsers/edifact/edi_syntax.h"

namespace payfmt {

class TKORComponentInfo;
class EdiInputTemplates;

// Dispids of the family's members.
namespace edi_dispid {
inline constexpr std::int32_t kSegmentSeparator = 110;
inline constexpr std::int32_t kDataSeparator = 111;
inline constexpr std::int32_t kComponentSeparator = 112;
inline constexpr std::int32_t kEscapeCharacter = 113;
inline constexpr std::int32_t kBinaryEscapeCharacter = 114;
}  // namespace edi_dispid

inline constexpr std::uint32_t kErrMessageGroupMissing = 0xE2070051;
inline constexpr std::uint32_t kErrSegmentGroupMissing = 0xE2070052;
inline constexpr std::uint32_t kErrElementGroupMissing = 0xE2070053;

// What a node is to the syntax: its ParserType on the way in and out.
enum class EdiLevel { None, Segment, Element, Component };
// The level a ParserType names ("SEG", "DE", "CDE"); None for any other.
EdiLevel levelNamed(std::string_view type);

class TPEDI final : public TKORDefTreeParser {
public:
    TPEDI();
    ~TPEDI() override;
    void SetDefTree(NodeId tree) override;
    NodeId definitions() const override { return segments_.get(); }
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
    // The separators read as one-character texts; they cannot be set.
    bool GetMember(std::int32_t dispid, Variant& value) override;

    const EdiSeparators& separators() const { return separators_; }
    // The chain that joins (output) or splits (input) one level of the
    // syntax for a node: EDIFACTFLD on the level's separator, releasing
    // special characters for a field and leaving a group's text as it is;
    // a segment's output chain also writes its tag first.
    std::string levelChain(EdiLevel level, bool group, std::string_view tag = {}) const;
    // The segment definition of the tag, as the definitions stood at the
    // last refreshSegments; 0 when there is none.
    NodeId findSegment(std::string_view tag) const;
    void refreshSegments();
    // Raises "%s: property %s should be a %s" for a segment whose tag
    // (its Name) is empty or holds a separator or the release character:
    // written as it stands, it would end the segment early or start another.
    void checkTag(const Node& segment);
    // The data element definition of the name; 0 when there is none.
    NodeId findElement(std::string_view name) const;

private:
    void clearDefinitions();
    void indexSegments();
    // EDIFACTFLD on the separator, releasing special characters or not.
    std::string fieldChain(char separator, bool release) const;
    void appendServiceAdvice(NodeId root, Cursor& cursor);
    void parseSegment(NodeId root, BytesView segment, const TParseInherit& record);
    // Splits a segment whose elements and components are plain fields into
    // a copy of its plain template, field by field as the walk would.
    void parseDirect(NodeId segment, Cursor& elements, const TParseInherit& record);
    // Whether a segment's nodes are all written by their level's chain
    // alone, and writing it so, without the walk.
    bool writesDirectly(NodeId segment);
    void writeDirect(NodeId segment, Bytes& out);
    void forgetTemplates();

    EdiSeparators separators_;
    OwnedTree messages_, segments_, elements_;
    // Segment definitions by tag (children of segments_, which a host can
    // reach and edit), with each definition and the version of its
    // properties the index was built from, and data element definitions by
    // name (the first in pre-order).
    std::unordered_map<std::string, NodeId> segmentByTag_, elementByName_;
    std::vector<std::pair<NodeId, std::uint32_t>> indexed_;
    // A segment, and its tag, read off the message.
    HeldFormat segmentIn_, tagIn_;
    // The input chains of a plain element, a composite and a component.
    HeldFormat elementIn_, compositeIn_, componentIn_;
    // The segment definitions made ready for input, as they are met.
    std::unique_ptr<EdiInputTemplates> templates_;
    class ParseScope;
    std::uint64_t parses_ = 0;  // top-level parses so far
    int parsing_ = 0;           // parses running, one inside another
};

// A format property that is there and not empty: what the chains of a run
// are put after, and what is saved to be put back.
bool holdsFormat(const Variant* format);

// TVEXEDIParserInfo for TPEDI, registered under "PEDI".
const TKORComponentInfo& ediParserInfo();

}  // namespace payfmt
