#pragma once
// What every exported function does at the edge: take the process lock, run
// the C++ code, and turn any exception into a status and the thread's error
// record, so that nothing is ever thrown across the C interface.
#include <cstdint>
#include <functional>
#include <new>
#include <string_view>
#include <utility>

#include "payfmt/kor.h"
#include "payfmt/vex.h"
#include "support/error_info.h"
#include "support/lock.h"

namespace payfmt {

// Out parameters are write-only: what the caller's variable holds may be
// garbage or a value the caller already released, so it is never read or
// freed. Each export writes "no result" (null, 0, an empty variant, a zeroed
// record) through them before anything else, so that every way out of the
// call leaves them defined; a variant so emptied takes its value by plain
// assignment afterwards.
template <class T>
void resetOut(T* out) noexcept {
    if (out) *out = T{};
}

// Whether an out variant lies inside an array of input variants: emptying it
// first would destroy an argument, so such calls are refused.
inline bool pointsInto(const VEXVARIANT* out, const VEXVARIANT* first, std::uint32_t count) noexcept {
    if (!out || !first) return false;
    const std::less_equal<const VEXVARIANT*> le;
    return le(first, out) && !le(first + count, out);
}

// Publishes the failure for the calling thread and returns its status.
Status reportFailure(std::string_view source) noexcept;

template <class F>
Status guarded(std::string_view source, F&& body) noexcept {
    try {
        ProcessGuard lock(processLock());
        return std::forward<F>(body)();
    } catch (...) {
        return reportFailure(source);
    }
}

// For functions that answer a value: fallback on failure.
template <class T, class F>
T guardedValue(std::string_view source, T fallback, F&& body) noexcept {
    try {
        ProcessGuard lock(processLock());
        return std::forward<F>(body)();
    } catch (...) {
        reportFailure(source);
        return fallback;
    }
}

// The status of the exception being handled, as the component framework
// reports it: a report of the error context keeps its code and message, a
// support-layer failure its record, anything else becomes 0xC0000000. The
// record is published for the calling thread with the given location.
Status frameworkStatus(std::string_view location) noexcept;

// Throws VEX_E_POINTER when a required pointer is null.
void requirePointer(const void* p, std::string_view source, std::string_view what);

// Reads a C text argument; a null pointer reads as empty text.
inline std::string_view textArg(const char* s) { return s ? std::string_view(s) : std::string_view(); }

}  // namespace payfmt
