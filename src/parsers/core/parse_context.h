#pragma once
// TParseContext: how a compile or parse walk reads one node. It answers the
// node's typed properties with their defaults and the settings inherited
// from the parent, and keeps what the walk changes (the value, a new name,
// the reports) aside until StoreProps writes it to the node.
//
// Reading is cheap: the node's settings come worked out from its definition
// (ResolvedNode), and only a node with a property of an unexpected type is
// read property by property, so that each read reports it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/format_error.h"
#include "parsers/core/parse_inherit.h"
#include "parsers/core/resolved_node.h"
#include "support/inline_list.h"
#include "support/tree.h"

namespace payfmt {

class Parser;

// What a node gets attached of the reports: those made since the last
// attachment (which then collapse to the most severe), or the error a walk
// is unwinding with. False when there is nothing to attach.
bool takeReport(TFormatError& errors, bool detailed, std::uint32_t& code, std::string& text);
// takeReport written straight to a node's properties as EC and Error, for
// walks that read a node without a context; false when there was nothing.
bool attachReport(Parser& parser, NodeProps& props);
// The node's Name property as text, or its name in the tree without one:
// how reports name a node.
std::string nameOf(const Node& node);
// What the node hands down to its children when it inherits the record.
TParseInherit childRecordOf(Parser& parser, NodeId node, const TParseInherit& inherited);
// Removes a node's EC and Error: a new run starts without the reports of
// an earlier one.
void clearReports(NodeProps& props);

class TParseContext {
public:
    TParseContext(const TParseInherit& inherited, Parser& parser);
    TParseContext(const TParseContext&) = delete;
    TParseContext& operator=(const TParseContext&) = delete;

    // Attaches the node; its earlier run's EC and Error no longer count.
    // Changes made before are dropped unless stored. 0 detaches.
    void SetNode(NodeId node);
    NodeId node() const { return node_; }
    // Writes the changes to the node, replacing its old EC and Error.
    void StoreProps();
    // Takes the node's EC and Error as made by this run (another parser
    // that worked on the node reported there), so that StoreProps keeps
    // them unless a newer report replaces them.
    void KeepReports();
    // A property as the context sees it: its own changes over the node's.
    const Variant* find(std::string_view name) const;

    std::string_view GetIFO();
    std::string_view GetIFM();
    std::string_view GetOFO();
    std::string_view GetTag();
    bool GetAllowNull();
    bool GetProcessNull();
    bool GetTSetGroups();
    // The levels of groups that may still be entered; 0 when AllowRecurse is false.
    std::int32_t GetRecurse();
    std::int64_t GetRepeatCount();
    std::int32_t GetAutoNumber();
    std::int32_t GetBit();
    bool ConstructedBER();
    std::int32_t BerLenMinSize();
    // The Name property as text, or the node's own name when there is none.
    std::string GetName();
    // The parser named by the Parser property, or the running one.
    Parser& GetParser();

    // The node's formats ready to run.
    const ParsedChain& ifoChain();
    const ParsedChain& ofoChain();
    const InputMask& mask();
    // The output chain is known to be NONE alone, which walks need not run.
    bool ofoIsNone();

    TParseInherit ChildRecord();
    void SetValue(BytesView data);
    // Renames the node: its Name property and its name in the tree.
    void SetName(std::string_view name);
    // Appends the running auto-number to the name when there is one.
    void AutoNumber();
    // Attaches the reports made since the last attachment (or the error the
    // walk is unwinding with) as EC and Error.
    void RecordError();

    Parser& parser() { return parser_; }
    TFormatError& errors() { return errors_; }
    // What the parent handed down.
    const TParseInherit& inherited() const { return inherited_; }
    // The attached node (there must be one).
    Node& current() { return *n_; }
    bool checkRemainder = false;
    std::int32_t autoNumber = -1;

private:
    template <class T>
    T read(std::string_view name, T fallback, std::string_view location);
    void set(std::string_view name, Variant value);

    struct Change {
        std::string_view name;  // a property name of the framework's, or the value name
        Variant value;
    };

    TParseInherit inherited_;
    Parser& parser_;
    TFormatError& errors_;
    NodeId node_ = 0;
    Node* n_ = nullptr;
    const ResolvedNode* def_ = nullptr;  // null: read the node property by property
    std::unique_ptr<ResolvedNode> ownDef_;
    std::shared_ptr<const ParsedChain> slowChain_;
    std::unique_ptr<InputMask> slowMask_;
    InlineList<Change, 4> changes_;  // the value, the name, EC and Error
};

}  // namespace payfmt
