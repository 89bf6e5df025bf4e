#pragma once
// TPFIX: the fixed-format parser. It needs no definition tree: the tree it
// is given carries both the formats and the values, and compiling and
// parsing are the template walk over it. It is also the library's default
// parser, "Default", on which the exported format functions run.
#include "parsers/core/parser.h"

namespace payfmt {

class TKORComponentInfo;

class TPFIX final : public Parser {
public:
    TPFIX() : Parser("PFIX") {}
    std::uint32_t CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) override;
    std::uint32_t ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) override;
};

// TKORFIXParserInfo for TPFIX, registered under "PFIX".
const TKORComponentInfo& fixParserInfo();

}  // namespace payfmt
