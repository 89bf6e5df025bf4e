#pragma once
// The parser families the library offers, by type name ("PFIX"). A family
// is entered once at load (parsers/families.cpp) with its info object, which
// also makes its component creatable by name for hosts.
#include <string_view>

#include "parsers/core/parser_component.h"

namespace payfmt {

using ParserFactory = Ref<ParserComponent> (*)();

// Enters the family under the component name of its info.
void addParserFamily(const TKORComponentInfo& info, ParserFactory create);

// Family P, described by the info that Info answers.
template <class P, const TKORComponentInfo& (*Info)()>
void addParserFamily() {
    addParserFamily(Info(), [] { return newComponent<ParserComponent>(Info(), std::make_unique<P>()); });
}

// A new, closed parser of the type (compared without regard to case); any
// other name raises "%s: unknown parser type".
Ref<ParserComponent> createParser(std::string_view type);

}  // namespace payfmt
