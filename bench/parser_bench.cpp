// Whole messages through the fixed-format parser: the bundled batch example
// parsed into a fresh copy of its template, and compiled back.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "public_api.h"

namespace {

using bench::Vars;

constexpr const char* kBatchJson = PAYFMT_EXAMPLES_DIR "/batch.json";
constexpr const char* kBatchMsg = PAYFMT_EXAMPLES_DIR "/batch.msg";

void BM_ParseBatch(benchmark::State& state) {
    bench::Example ex("bench-batch", kBatchJson, kBatchMsg);
    if (ex.status != 0) return state.SkipWithError(bench::lastError().c_str());
    bench::timeParse(state, ex);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseBatch);

void BM_CompileBatch(benchmark::State& state) {
    bench::Example ex("bench-batch", kBatchJson, kBatchMsg);
    if (ex.status != 0) return state.SkipWithError(bench::lastError().c_str());
    bench::timeCompile(state, ex);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompileBatch);

}  // namespace
