#pragma once
// Parsers by parser URL ("parser:PFIX/rec;AllowNull=true"): the type is the
// component name, then the parser's name, then properties.
#include <string>
#include <string_view>

#include "parsers/core/parser_component.h"

namespace payfmt {

inline constexpr std::uint32_t kErrUnknownParserType = 0xE2060062;

struct ParserUrl {
    std::string type, name, properties;
};

// An optional "parser:" (any case), the type up to "/", the name up to ";",
// the properties after it.
ParserUrl parseParserUrl(std::string_view url);

// Gives the parser a definition tree: through its Definitions property when
// it has one; a parser without definitions (TPFIX) keeps none. A non-zero
// handle must name a node.
void setDefinitionTree(ParserComponent& parser, NodeId tree);

// A new, closed parser from a URL, its properties set by name; a non-zero
// tree becomes its definition tree.
Ref<ParserComponent> createParserFromUrl(std::string_view url, NodeId tree);

}  // namespace payfmt
