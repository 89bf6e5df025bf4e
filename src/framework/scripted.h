#pragma once
// A scripted call on a component that works through the error context: the
// context starts empty, and a format error raised inside leaves the call as
// the framework's error, so that the host reads the report's code and text.
#include <utility>

#include "engine/format_error.h"
#include "framework/error_record.h"

namespace payfmt {

template <class F>
auto scripted(TFormatError& errors, F&& body) {
    errors.reset();
    try {
        return std::forward<F>(body)();
    } catch (const TFormatError& e) {
        throw korErrorOf(e);
    }
}

}  // namespace payfmt
