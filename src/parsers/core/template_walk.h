#pragma once
// The template walk: compiling a tree whose nodes carry both their formats
// and their values into a message, and parsing a message back into such a
// tree, field after field, group inside group. The fixed-format parser is
// this walk; the other families run it for the fields and groups they find.
#include <cstdint>
#include <string_view>

#include "parsers/core/cursor.h"
#include "parsers/core/parse_inherit.h"
#include "support/bytes.h"
#include "support/tree.h"

namespace payfmt {

class InputMask;
class NodeProps;
class Parser;
struct ParsedChain;

// Appends the node's compiled bytes to out; answers the worst code so far.
std::uint32_t CompileTemplate(Parser& parser, Bytes& out, NodeId node, const TParseInherit& inherited);

// Parses the node (and its repetitions) at the cursor and moves the cursor on.
std::uint32_t ParseTemplate(Parser& parser, Cursor& cursor, NodeId node, const TParseInherit& inherited);

// Reads one field that repeats nothing at the cursor, as the walk reads a
// plain field: through the input chain and mask given, its value set when
// it has one, the cursor moved past what the chain used. The reports are
// left for the caller to attach.
void ParseFieldWith(Parser& parser, Cursor& cursor, NodeProps& props, const ParsedChain& ifo, const InputMask& mask,
                    bool allowNull);

// One level of groups entered by a walk, counted per thread across every
// parser the walk passes through. Entering more than kMaxNesting levels
// raises "%s: groups nested deeper than %s levels" instead of recursing on
// towards the end of the stack.
class NestingGuard {
public:
    NestingGuard(Parser& parser, std::string_view location);
    ~NestingGuard();
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

}  // namespace payfmt
