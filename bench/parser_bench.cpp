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
    Vars<3> args;
    bench::setCallArgs(args, ex.message, 0);
    for (auto _ : state) {
        const VEXNODE copy = VEXTreeCopy(ex.templ.get(), -1);
        VEXVarSetInt(&args[1], copy);
        benchmark::DoNotOptimize(ex.parser.call(ex.parser.parseId, args));
        VEXTreeDeleteNode(copy, -1);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ex.message.size()));
}
BENCHMARK(BM_ParseBatch);

void BM_CompileBatch(benchmark::State& state) {
    bench::Example ex("bench-batch", kBatchJson, kBatchMsg);
    if (ex.status != 0) return state.SkipWithError(bench::lastError().c_str());
    Vars<3> args;
    bench::setCallArgs(args, "", ex.filled.get());
    if (ex.parser.call(ex.parser.compileId, args) != 0) return state.SkipWithError(bench::lastError().c_str());
    if (args[0].type != VEXVT_BLOB || bench::varBytes(args[0]) != ex.message)
        return state.SkipWithError("compiled message differs");
    for (auto _ : state) {
        VEXVarSetBlob(&args[0], nullptr, 0);  // a blob asks for bytes back
        benchmark::DoNotOptimize(ex.parser.call(ex.parser.compileId, args));
        VEXVarClear(&args[0]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompileBatch);

}  // namespace
