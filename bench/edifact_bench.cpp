// The EDIFACT parser on the bundled PAYMUL interchange (the UNA service
// string advice and 34 segments, 850 bytes, with released separators in RFF,
// FII and FTX), through the C interface as a host drives it: each message
// parsed into a fresh tree, and a parsed tree compiled back. main.cpp sets
// the parse rate beside the npm packages edifact and ts-edifact
// (bench/peer/).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "public_api.h"

namespace {

using bench::Tree;

constexpr const char* kDefinitions = PAYFMT_EXAMPLES_DIR "/edifact/paymul.json";
constexpr const char* kMessage = PAYFMT_EXAMPLES_DIR "/edifact/paymul.msg";
// UNA, UNB, the 32 segments UNH to UNT (as UNT counts them) and UNZ: the
// tree holds UNA as a segment of its own.
constexpr std::uint32_t kSegments = 35;

// An open PEDI over the PAYMUL definitions, the sample and the tree one
// parse of it gave, checked to hold every segment and to compile back.
struct Edifact : bench::ParsedSample {
    Edifact() : ParsedSample("bench-paymul", "PEDI", Tree::fromJsonFile(kDefinitions), bench::readFile(kMessage)) {
        if (!check()) return;
        ok = parsedCount() == kSegments;
        if (!ok)
            fail("parse of paymul.msg gave " + std::to_string(parsedCount()) + " top-level nodes, not its " +
                 std::to_string(kSegments) + " segments (UNA included)");
    }
    bool ok = false;
};

void countSegments(benchmark::State& state) {
    state.counters["segments/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kSegments), benchmark::Counter::kIsRate);
}

void BM_EdiParse_Payfmt(benchmark::State& state) {
    Edifact edi;
    if (!edi.ok) return state.SkipWithError(edi.error.c_str());
    bench::timeParse(state, edi);
    countSegments(state);
}

void BM_EdiCompile_Payfmt(benchmark::State& state) {
    Edifact edi;
    if (!edi.ok) return state.SkipWithError(edi.error.c_str());
    bench::timeCompile(state, edi);
    countSegments(state);
}

BENCHMARK(BM_EdiParse_Payfmt)->Repetitions(4);
BENCHMARK(BM_EdiCompile_Payfmt)->Repetitions(4);

}  // namespace
