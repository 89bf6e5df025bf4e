#pragma once
// The one process-wide lock that serialises every exported entry point. The
// library's state (error context, default parser, sequences, counter, trees)
// is process-wide, so concurrent calls are queued instead of interleaved.
// Recursive, because entry points call each other (a component method may
// use the tree functions a host also calls directly).
#include <mutex>

namespace payfmt {

std::recursive_mutex& processLock();

using ProcessGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace payfmt
