#pragma once
// TParseContext: how a compile or parse walk reads one node. It holds the
// node's property list while the node is handled, answers typed properties
// with their defaults and the settings inherited from the parent, and
// attaches reports to the node.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "parsers/parse_inherit.h"
#include "support/props.h"
#include "support/tree.h"

namespace payfmt {

class TPFIX;

class TParseContext {
public:
    TParseContext(const TParseInherit& inherited, TPFIX& parser);
    TParseContext(const TParseContext&) = delete;
    TParseContext& operator=(const TParseContext&) = delete;

    // Attaches the node; its earlier run's EC and Error no longer count.
    // Changes are kept aside and reach the node only through StoreProps, so
    // attaching costs no copy of the node's properties. 0 detaches.
    void SetNode(NodeId node);
    NodeId node() const { return node_; }
    void StoreProps();
    // A property as the context sees it: its own changes over the node's.
    const Variant* find(std::string_view name) const;

    std::string GetIFO();
    std::string GetIFM();
    std::string GetOFO();
    std::string GetTag();
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
    TPFIX& GetParser();

    TParseInherit ChildRecord();
    void SetValue(BytesView data);
    // Renames the node: its Name property and its name in the tree.
    void SetName(std::string_view name);
    // Appends the running auto-number to the name when there is one.
    void AutoNumber();
    // Attaches the reports made since the last attachment (or the error the
    // walk is unwinding with) to the held properties as EC and Error.
    void RecordError();

    TPFIX& parser() { return parser_; }
    bool checkRemainder = false;
    std::int32_t autoNumber = -1;

private:
    template <class T>
    T read(std::string_view name, T fallback, std::string_view location);

    void set(std::string_view name, Variant value);

    TParseInherit inherited_;
    TPFIX& parser_;
    NodeId node_ = 0;
    Props changes_;  // set since SetNode, not yet stored
};

}  // namespace payfmt
