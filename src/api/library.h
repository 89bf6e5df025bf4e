#pragma once
// The library's process-wide objects, brought up once in load order: the
// settings record (with the error context and sequence store) and the
// settings component over it, the operator registries, the default parser
// "Default" (open from load), the operator table, and the component families.
#include <cstdint>

#include "components/global_settings.h"
#include "parsers/core/parser_component.h"

namespace payfmt {

class Library {
public:
    static Library& instance();

    TGlobalSettings& globalSettings() { return *globalSettings_; }
    ParserComponent& defaultParserComponent() { return *defaultParser_; }
    Parser& defaultParser() { return defaultParser_->parser(); }
    std::uint32_t counter = 0;

private:
    Library();
    // Made in this order, released in the reverse one.
    Ref<TGlobalSettings> globalSettings_;
    Ref<ParserComponent> defaultParser_;
};

// Every export starts the same way: the thread's error record cleared, the
// error context reset and the call's error node stored. The node is dropped
// again when the scope ends.
class FormatCall {
public:
    explicit FormatCall(VEXNODE errorNode = 0);
    ~FormatCall();
    FormatCall(const FormatCall&) = delete;
    FormatCall& operator=(const FormatCall&) = delete;

    Parser& parser() { return parser_; }
    TFormatError& errors() { return errors_; }

private:
    Parser& parser_;
    TFormatError& errors_;
};

}  // namespace payfmt
