#include "api/library.h"

#include "engine/registries.h"
#include "parsers/parser_info.h"
#include "operators/operator_table.h"
#include "parsers/messages/emv_sequences.h"
#include "support/error_info.h"

namespace payfmt {

namespace {

// The settings record comes first, then the two registries it sits beside,
// then the default parser with its registered component info.
Ref<TPFIX> bringUpDefaultParser() {
    settings();
    conversionRegistry();
    validationRegistry();
    fixParserInfo();
    Ref<TPFIX> parser = newComponent<TPFIX>();
    parser->setName("Default");
    parser->Open();
    return parser;
}

}  // namespace

Library::Library() : defaultParser_(bringUpDefaultParser()) {
    registerOperators();
    loadEmvSequences();
}

Library& Library::instance() {
    static Library library;
    return library;
}

FormatCall::FormatCall(VEXNODE errorNode) {
    clearErrorInfo();
    errors().reset();
    errors().setErrorNode(errorNode);
}

FormatCall::~FormatCall() { errors().setErrorNode(0); }

namespace {
// Loading the shared library brings everything up, so the first call does
// not pay for it and load order is fixed.
[[gnu::constructor]] void loadLibrary() { Library::instance(); }
}  // namespace

}  // namespace payfmt
