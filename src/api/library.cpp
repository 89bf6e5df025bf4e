#include "api/library.h"

#include "components/emv_sequences.h"
#include "components/global_settings_info.h"
#include "engine/registries.h"
#include "operators/operator_table.h"
#include "parsers/core/parser_registry.h"
#include "parsers/families.h"
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

// Then the parser families and, of the fixed-format one, the default parser.
Ref<ParserComponent> bringUpDefaultParser() {
    addParserFamilies();
    Ref<ParserComponent> component = createParser("PFIX");
    component->parser().setName("Default");
    component->parser().Open();
    return component;
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

FormatCall::FormatCall(VEXNODE errorNode)
    : parser_(Library::instance().defaultParser()), errors_(parser_.errors()) {
    clearErrorInfo();
    errors_.reset();
    errors_.setErrorNode(errorNode);
}

FormatCall::~FormatCall() { errors_.setErrorNode(0); }

namespace {
// Loading the shared library brings everything up, so the first call does
// not pay for it and load order is fixed.
[[gnu::constructor]] void loadLibrary() { Library::instance(); }
}  // namespace

}  // namespace payfmt
