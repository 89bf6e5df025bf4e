#pragma once
// Format errors leaving a component. The engine and the parsers report
// through the error context and raise TFormatError; a component method turns
// that into the framework's own error, carrying the last report's code and
// location and the error text, which is what the host then reads.
#include <utility>

#include "engine/format_error.h"
#include "framework/errors.h"

namespace payfmt {

// The framework's error for the context's reports.
EKORError korErrorOf(const TFormatError& e);

// A format error raised by body leaves as the framework's error.
template <class F>
auto translated(F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (const TFormatError& e) {
        throw korErrorOf(e);
    }
}

// A scripted method: the error context starts empty, and a format error
// raised inside leaves as the framework's error.
template <class F>
auto scripted(TFormatError& errors, F&& body) {
    errors.reset();
    return translated(std::forward<F>(body));
}

}  // namespace payfmt
