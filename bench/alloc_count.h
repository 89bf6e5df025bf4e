#pragma once
// Counts the heap allocations of the process (malloc and everything built on
// it, operator new included; alloc_count.cpp).
#include <benchmark/benchmark.h>

#include <cstdint>

namespace bench {

std::uint64_t allocationCount();

// Reports the allocations since `before` as "allocs" per iteration.
inline void reportAllocations(benchmark::State& state, std::uint64_t before) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocationCount() - before), benchmark::Counter::kAvgIterations);
}

}  // namespace bench
