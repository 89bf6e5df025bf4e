#pragma once
// TKORDefTreeParser: the base of the families that keep a separate
// definition tree. Parsing looks up the definition of each field found in
// the message, copies it into the value tree and fills the copy with the
// template walk (SubParse). These are the lookups and checks the families
// share; until a family replaces them, compiling and parsing are the
// template walk.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "parsers/core/parser.h"

namespace payfmt {

class TKORComponentInfo;
class TParseContext;
class InputMask;
struct ParsedChain;

inline constexpr std::uint32_t kInfoFieldLengthClamped = 0x62070010;
inline constexpr std::uint32_t kErrMissingProperty = 0xE207000A;
inline constexpr std::uint32_t kErrPropertyNotType = 0xE2070008;
// The bitmap families' (ISO 8583 and the variable and fixed bitmaps).
inline constexpr std::uint32_t kErrDataTooShort = 0xE2070011;
inline constexpr std::uint32_t kErrBitsNotAscending = 0xE2070048;
inline constexpr std::uint32_t kErrInvalidBit = 0xE2070049;
inline constexpr std::uint32_t kErrBitmapTooLong = 0xE207004B;

enum class PropertyKind { Integer, Boolean, Text };

// What a length field's chain produced: a little-endian value of one to four
// bytes (missing high bytes are 0; bytes past the fourth do not count).
std::uint32_t littleEndianLength(BytesView bytes);

class TKORDefTreeParser : public Parser {
public:
    explicit TKORDefTreeParser(std::string parserType = "KORDefTreeParser", bool processNullByDefault = true)
        : Parser(std::move(parserType), processNullByDefault) {}
    bool RequiresDefTree() const override { return true; }
    // Keeps a copy of the whole tree.
    void SetDefTree(NodeId tree) override { storeDefinitions(tree); }
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;

    // Raises "%s: node must be a group" unless the node is one.
    void CheckGroup(NodeId node);
    // Every child (and, when recursive, every descendant) must hold the
    // property, unless it may be missing, and it must convert to the kind.
    void CheckProperty(NodeId node, std::string_view property, bool recursive, bool allowMissing, PropertyKind kind);
    // The node's ParserType as an integer (absent counts as 0) equals kind.
    bool NodeKindIs(NodeId node, std::int64_t kind);
    // The node's ParserType as an integer; absent, or no number, is 0.
    static std::int64_t KindOf(NodeId node);
    // From the child at index on, deletes the children of that kind and steps
    // over the others, stopping after the first of a greater kind.
    void RemoveChildrenOfKind(std::int64_t kind, NodeId parent, std::size_t& index);

    // As Parser's, and a missing definition answers the fallback node, named
    // after the value; with alwaysFallback set it answers the fallback node
    // without searching or reporting.
    bool GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                    const Variant& value) override;
    // The same search; a missing definition raises code, one that is not a
    // group raises "%s: node must be a group".
    NodeId GetGroupRaise(NodeId root, std::string_view property, std::uint32_t code, const Variant& value);
    // Reads a length field with the input chain at the cursor and moves past
    // it; a length beyond the data left is clamped with a report.
    std::uint32_t GetFldLen(Cursor& cursor, std::string_view ifo);
    // The same with a chain compiled before; lengthMask, when it checks
    // anything, validates the length field as it stands in the message.
    std::uint32_t GetFldLen(Cursor& cursor, const ParsedChain& ifo, const InputMask& lengthMask);
    // Reads one field with its input chain and mask; answers the bytes used.
    std::uint32_t ReadField(Cursor& cursor, Bytes& field, std::string_view ifo, std::string_view ifm);
    // Copies a definition subtree into the value tree at index under parent
    // (its values removed) and parses the cursor's data into the copy with
    // the template walk.
    void SubParse(NodeId parent, NodeId definition, std::int64_t index, TParseContext& context, Cursor& cursor);
    // The same with the record the copy inherits given.
    void SubParse(NodeId parent, NodeId definition, std::int64_t index, const TParseInherit& record, Cursor& cursor);

    // The fallback node named after what was looked for (its Name and Tag),
    // or 0 when there is none (any more).
    NodeId useFallback(std::string_view shown);

    // Where an earlier parse stopped (the root's Offset) no longer holds.
    static void ClearStop(NodeId root);
    // Attaches the reports that belong to no field to the value tree's root,
    // with the Offset where the parse stopped between fields when it did;
    // answers the worst code.
    std::uint32_t FinishOnRoot(NodeId root, std::optional<std::uint32_t> stoppedAt = std::nullopt);
    // Keeps the bytes after the cursor on a field named by the settings'
    // remaining-data name, appended to parent, with an information report
    // naming what read last; the cursor moves to the end.
    void AppendRemainingData(NodeId parent, Cursor& cursor, std::string_view lastOperator, std::string_view location);

    NodeId fallbackNode = 0;
    bool alwaysFallback = false;
};

// The info of TKORDefTreeParser itself: described, not created by name.
const TKORComponentInfo& defTreeParserInfo();

}  // namespace payfmt
