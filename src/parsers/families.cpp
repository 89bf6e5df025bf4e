#include "parsers/families.h"

#include "parsers/core/parser_registry.h"
#include "parsers/fixed/pfix.h"

namespace payfmt {

// One line per family: its parser class and its info.
void addParserFamilies() {
    addParserFamily<TPFIX, fixParserInfo>();
}

}  // namespace payfmt
