#pragma once
// TKORDefTreeParser: the base of the parsers that keep a separate definition
// tree. Parsing looks up the definition of each field found in the message,
// copies it into the value tree and fills the copy with the fixed-format walk.
// These are the lookups and checks the message families share.
#include <cstdint>
#include <string>
#include <string_view>

#include "parsers/pfix.h"

namespace payfmt {

inline constexpr std::uint32_t kInfoFieldLengthClamped = 0x62070010;
inline constexpr std::uint32_t kErrMissingProperty = 0xE207000A;

enum class PropertyKind { Integer, Boolean, Text };

class TKORDefTreeParser : public TPFIX {
public:
    TKORDefTreeParser();
    const TKORComponentInfo* GetComponentInfo() const override;
    bool RequiresDefTree() const override { return true; }

    // Raises "%s: node must be a group" unless the node is one.
    void CheckGroup(NodeId node);
    // Every child (and, when recursive, every descendant) must hold the
    // property, unless it may be missing, and it must convert to the kind.
    void CheckProperty(NodeId node, std::string_view property, bool recursive, bool allowMissing, PropertyKind kind);
    // The node's ParserType as an integer (absent counts as 0) equals kind.
    bool NodeKindIs(NodeId node, std::int64_t kind);
    // From the child at index on, deletes the children of that kind and steps
    // over the others, stopping after the first of a greater kind.
    void RemoveChildrenOfKind(std::int64_t kind, NodeId parent, std::size_t& index);

    // The definition below root whose property has the value. Missing, it
    // records 0x?207000B (information unless severityBits say otherwise) and
    // answers the fallback node, named after the value, and false.
    virtual bool GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                            const Variant& value);
    // The same search; a missing definition raises code, one that is not a
    // group raises "%s: node must be a group".
    NodeId GetGroupRaise(NodeId root, std::string_view property, std::uint32_t code, const Variant& value);
    // Reads a length field with the input chain at the cursor and moves past
    // it; a length beyond the data left is clamped with a report.
    std::uint32_t GetFldLen(Cursor& cursor, std::string_view ifo);
    // Reads one field with its input chain and mask; answers the bytes used.
    std::uint32_t ReadField(Cursor& cursor, Bytes& field, std::string_view ifo, std::string_view ifm);

    NodeId fallbackNode = 0;
    bool alwaysFallback = false;

protected:
    explicit TKORDefTreeParser(std::string parserType);
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;
};

}  // namespace payfmt
