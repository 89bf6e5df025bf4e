#pragma once
// The parser seam. Every message family is one Parser. What a family writes
// is four operations:
//
//   SetDefTree       takes (or drops) the definition tree it parses against;
//   CompileInternal  turns a value tree into message bytes;
//   ParseInternal    turns message bytes into a value tree;
//   GetDefNode       finds the definition of a field it met in a message;
//
// plus, when it has any, the members its component info adds (GetMember,
// SetMember, CallMember). Everything else is common and lives here: the name
// and the open/close protocol with the list of open parsers, the settings that
// seed every walk, and the scripted Compile and Parse with their message
// conversions. ParserComponent makes any Parser a scriptable component, the
// template walk (template_walk.h) is the fixed-format walk that families
// reuse for fields and groups, and a family is brought into the library by
// one line in parsers/families.cpp.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "engine/parser_core.h"
#include "parsers/core/cursor.h"
#include "parsers/core/parse_inherit.h"
#include "support/tree.h"

namespace payfmt {

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
inline constexpr std::uint32_t kErrTooDeep = 0xE2070014;
inline constexpr std::uint32_t kErrAllocation = 0xE20700F0;

class Parser : public ParserCore {
public:
    // parserType is the family's type name ("PFIX"), which is also the name
    // its component is created by; a family may start with ProcessNull off.
    explicit Parser(std::string parserType, bool processNullByDefault = true);
    // An open parser leaves the list of open parsers, so that nobody reaches
    // it through the list afterwards.
    ~Parser() override;
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // ---- What a family implements ----
    virtual bool RequiresDefTree() const { return false; }
    // Takes the definitions from the caller's tree, keeping copies of its
    // own; 0 drops them. A parser without definitions keeps nothing. A tree
    // that fails a check leaves no definitions loaded.
    virtual void SetDefTree(NodeId tree);
    // The definitions the parser holds (what Definitions answers); 0 when none.
    virtual NodeId definitions() const { return definitions_.get(); }
    virtual std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) = 0;
    virtual std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) = 0;
    // The definition below root whose property has the value. Missing, it
    // records "%s: missing definition for %s = %s" (information, unless
    // severityBits give the severity) and answers false with node 0.
    virtual bool GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                            const Variant& value);
    // The report GetDefNode records for a definition it did not find.
    void reportMissingDefinition(std::string_view property, std::uint32_t severityBits, std::string_view shown);
    // Members of the family's own; each answers false for a dispid it does
    // not have, which the component then reports as not found.
    virtual bool GetMember(std::int32_t dispid, Variant& value);
    virtual bool SetMember(std::int32_t dispid, const Variant& value);
    virtual bool CallMember(std::int32_t dispid, std::span<Variant> params, Variant& result);

    // ---- Common to every parser ----
    const std::string& name() const { return name_; }
    // The registered name stays what the first Open made it.
    void setName(std::string_view name) { name_ = name; }
    std::string GetParserName() const { return name_; }
    const std::string& parserType() const { return parserType_; }
    bool isOpen() const { return open_; }

    // A family with resources of its own (the XML parser's schemas) takes
    // them up and lets them go around these.
    virtual void Open();
    virtual void Close();
    // Hands the tree to SetDefTree; 0 drops the definitions, which also
    // closes the parser. A handle that names no node is refused before
    // anything changes.
    void assignDefinitions(NodeId tree);
    // The message comes back as bytes when it held bytes, else as IStr text.
    // A family whose messages are text of their own (XML) replaces both.
    virtual std::uint32_t Compile(Variant& message, NodeId tree, std::string_view outputFormat);
    // A text message is IStr; an empty one is refused.
    virtual std::uint32_t Parse(const Variant& message, NodeId tree, std::string_view inputFormat);
    // Whether compiling the node would write anything (the bitmap families
    // set a field's bit by it).
    bool NodeHasData(NodeId node, const TParseInherit& inherited);
    // Whether the template walk writes anything for the node: NodeHasData,
    // but by the walk's own rule that a node follows its parent's
    // ProcessNull and its own governs only its children. The bitmap
    // families announce a field by it, so that no bit goes without its
    // field nor a field without its bit.
    bool NodeWritesData(NodeId node, const TParseInherit& inherited);

    // "parser:" type "/" name, then the settings that differ from a new
    // parser's as "Name=value" items after ";".
    std::string Path() const;

    // Parser-level settings that seed the root of every compile and parse
    // (AllowNull is ParserCore's, as the engine reads it too).
    bool processNull;
    std::int32_t recurse = 32767;
    bool tSetGroups = true;
    TParseInherit rootRecord() const;

    // The most severe code recorded so far.
    std::uint32_t worstCode() const;
    [[noreturn]] void raise(std::string_view location, std::uint32_t code,
                            std::initializer_list<std::string_view> args = {});

protected:
    // Keeps a copy of the tree as the definitions (0 drops them).
    void storeDefinitions(NodeId tree);
    // Adds the family's settings that differ from a new parser's to what
    // Path reports, by the names a parser URL sets them by.
    virtual void reportSettings(Props&) const {}

private:
    bool hasData(NodeId node, const TParseInherit& inherited, bool ownProcessNull);

    std::string name_;
    std::string registeredName_;
    std::string parserType_;
    bool processNullByDefault_;
    bool open_ = false;
    OwnedTree definitions_;
    Bytes buffer_;  // Compile's message, kept for its capacity
};

}  // namespace payfmt
