#pragma once
// The library's process-wide objects, brought up once in load order: the
// settings record (with the error context and sequence store), the operator
// registries, the default parser, and the operator table.
#include <cstdint>

#include "engine/parser_core.h"

namespace payfmt {

class Library {
public:
    static Library& instance();

    ParserCore& defaultParser() { return defaultParser_; }
    std::uint32_t counter = 0;

private:
    Library();
    ParserCore defaultParser_;
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

    ParserCore& parser() { return Library::instance().defaultParser(); }
    TFormatError& errors() { return parser().errors(); }
};

}  // namespace payfmt
