#include "parsers/families.h"

#include "parsers/bitmaps/pfbm.h"
#include "parsers/bitmaps/pvbm.h"
#include "parsers/core/parser_registry.h"
#include "parsers/edifact/pedi.h"
#include "parsers/fixed/pfix.h"
#include "parsers/iso8583/p8583.h"
#include "parsers/ltv/pltv.h"
#include "parsers/xml/pxml.h"

namespace payfmt {

// One line per family: its parser class and its info.
void addParserFamilies() {
    addParserFamily<TPFIX, fixParserInfo>();
    addParserFamily<TP8583, iso8583ParserInfo>();
    addParserFamily<TPLTV, ltvParserInfo>();
    addParserFamily<TPTLV, tlvParserInfo>();
    addParserFamily<TPBER, berParserInfo>();
    addParserFamily<TPTV, tvParserInfo>();
    addParserFamily<TPVBM, vbmParserInfo>();
    addParserFamily<TPFBM, fbmParserInfo>();
    addParserFamily<TPEDI, ediParserInfo>();
    addParserFamily<TPXML, xmlParserInfo>();
}

}  // namespace payfmt
