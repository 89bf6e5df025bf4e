#pragma once
// Parsers by type name and by parser URL ("parser:PFIX/rec;AllowNull=true"):
// the type is the component name, then the parser's name, then properties.
#include <string>
#include <string_view>

#include "parsers/pfix.h"

namespace payfmt {

inline constexpr std::uint32_t kErrUnknownParserType = 0xE2060062;

struct ParserUrl {
    std::string type, name, properties;
};

// An optional "parser:" (any case), the type up to "/", the name up to ";",
// the properties after it.
ParserUrl parseParserUrl(std::string_view url);

// A new parser of the type; a name that is not a parser type raises
// "%s: unknown parser type".
Ref<TPFIX> createParser(std::string_view type);

// Gives the parser a definition tree: through its Definitions property when
// it has one; a parser without definitions (TPFIX) keeps none. A non-zero
// handle must name a node.
void setDefinitionTree(TPFIX& parser, NodeId tree);

// A new, closed parser from a URL, its properties set by name; a non-zero
// tree becomes its definition tree.
Ref<TPFIX> createParserFromUrl(std::string_view url, NodeId tree);

}  // namespace payfmt
