#include "api/library.h"

#include "engine/registries.h"
#include "operators/global_settings_info.h"
#include "operators/operator_table.h"
#include "parsers/parser_info.h"
#include "parsers/messages/emv_sequences.h"
#include "support/error_info.h"

namespace payfmt {

namespace {

// The settings record comes first, then the component over it, then the two
// registries it sits beside.
Ref<TGlobalSettings> bringUpSettings() {
    settings();
    globalSettingsInfo();
    Ref<TGlobalSettings> component = newComponent<TGlobalSettings>();
    conversionRegistry();
    validationRegistry();
    return component;
}

// Then the default parser with its registered component info.
Ref<TPFIX> bringUpDefaultParser() {
    fixParserInfo();
    Ref<TPFIX> parser = newComponent<TPFIX>();
    parser->setName("Default");
    parser->Open();
    return parser;
}

}  // namespace

Library::Library() : globalSettings_(bringUpSettings()), defaultParser_(bringUpDefaultParser()) {
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
