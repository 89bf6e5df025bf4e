#pragma once
// Counts calls of the global operator new (replaced in alloc_count.cpp), the
// library's allocations included since it is linked statically.
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
