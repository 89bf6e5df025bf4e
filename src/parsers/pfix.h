#pragma once
// TPFIX: the fixed-format parser and the base of every parser. It compiles a
// template tree into a message by running each node's output chain, and
// parses a message back into the tree by running each node's input chain,
// field after field, group inside group. As a component it is created by
// type name, named, opened into the list of open parsers and driven by
// member name.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/parser_core.h"
#include "framework/kor_component.h"
#include "parsers/parse_inherit.h"
#include "support/tree.h"

namespace payfmt {

class TParseContext;

// Where a parse walk reads: the message and how much of it is used.
struct Cursor {
    BytesView data;
    std::uint32_t position = 0;

    bool atEnd() const { return position >= data.size(); }
    BytesView rest() const { return position < data.size() ? data.substr(position) : BytesView(); }
    std::uint32_t left() const { return atEnd() ? 0 : static_cast<std::uint32_t>(data.size() - position); }
    void advance(std::uint32_t n) { position = static_cast<std::uint32_t>(std::min<std::size_t>(std::size_t{position} + n, data.size())); }
};

// Dispids of the members every parser has.
namespace parser_dispid {
inline constexpr std::int32_t kName = -800;
inline constexpr std::int32_t kPath = 118;
inline constexpr std::int32_t kRequiresDefTree = 124;
inline constexpr std::int32_t kParserType = 116;
inline constexpr std::int32_t kAllowNull = 10;
inline constexpr std::int32_t kCharSet = 2;
inline constexpr std::int32_t kProcessNull = 11;
inline constexpr std::int32_t kRecurse = 4;
inline constexpr std::int32_t kTSetGroups = 14;
inline constexpr std::int32_t kDefinitions = 21;
inline constexpr std::int32_t kOpen = 154;
inline constexpr std::int32_t kClose = 155;
inline constexpr std::int32_t kCompile = 152;
inline constexpr std::int32_t kParse = 151;
}  // namespace parser_dispid

// Status codes of the parser framework.
inline constexpr std::uint32_t kErrParserNotOpen = 0xE2070001;
inline constexpr std::uint32_t kErrParserUnnamed = 0xE2070002;
inline constexpr std::uint32_t kErrNoDefinitionTree = 0xE2070003;
inline constexpr std::uint32_t kErrParserNameTaken = 0xE2070004;
inline constexpr std::uint32_t kErrValueNotBlob = 0xE2060060;
inline constexpr std::uint32_t kErrOrphanRepeat = 0xE2060061;
inline constexpr std::uint32_t kErrNotAGroup = 0xE2060063;
inline constexpr std::uint32_t kInfoUnusedAfterParsing = 0x62060065;
inline constexpr std::uint32_t kErrRepeatNeedsIfo = 0xE2060066;
inline constexpr std::uint32_t kErrNoDestination = 0xE207000C;
inline constexpr std::uint32_t kErrMissingDefinition = 0xE207000B;
inline constexpr std::uint32_t kErrAllocation = 0xE20700F0;

class TPFIX : public TKORComponent, public ParserCore {
public:
    TPFIX();
    ~TPFIX() override;

    const TKORComponentInfo* GetComponentInfo() const override;

    const std::string& name() const { return name_; }
    void setName(std::string_view name) { name_ = name; }
    bool isOpen() const { return open_; }
    const std::string& parserType() const { return parserType_; }
    NodeId definitions() const { return definitions_.get(); }
    virtual bool RequiresDefTree() const { return false; }
    // "parser:" type "/" name, then the properties that differ from a new
    // parser's, as "Name=value" items after ";".
    std::string Path() const;

    // Parser-level settings that seed the root of every compile and parse.
    bool processNull = true;
    std::int32_t recurse = 32767;
    bool tSetGroups = true;
    TParseInherit rootRecord() const;

    // The parser's operations, in the order subclasses override them.
    virtual bool NodeHasData(NodeId node, const TParseInherit& inherited);
    virtual std::string GetParserName() const { return name_; }
    virtual void Close();
    virtual std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited);
    // The message comes back as bytes when it held bytes, else as IStr text.
    virtual std::uint32_t Compile(Variant& message, NodeId tree, std::string_view outputFormat);
    virtual void Open();
    virtual std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited);
    virtual std::uint32_t Parse(const Variant& message, NodeId tree, std::string_view inputFormat);
    virtual void SetDefTree(NodeId tree);

    // Copies a definition subtree into the value tree at index under parent
    // and parses the cursor's data into the copy.
    void SubParse(NodeId parent, NodeId definition, std::int64_t index, TParseContext& context, Cursor& cursor);

protected:
    explicit TPFIX(std::string parserType);

    void DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) override;
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;
    void DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) override;
    void DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value) override;

    // Keeps a copy of the tree as the definitions (0 drops them).
    void storeDefinitions(NodeId tree);
    // The most severe code recorded so far.
    std::uint32_t worstCode() const;
    [[noreturn]] void raise(std::string_view location, std::uint32_t code, std::initializer_list<std::string_view> args);

private:
    std::string name_;
    std::string registeredName_;
    std::string parserType_;
    bool open_ = false;
    OwnedTree definitions_;
};

}  // namespace payfmt
