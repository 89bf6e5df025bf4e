// The exported format functions on typical field chains, as a host calls them.
#include <benchmark/benchmark.h>

#include "payfmt/format.h"

namespace {

void runInput(benchmark::State& state, const char* value, const char* format) {
    for (auto _ : state) {
        VEXBUF out = nullptr;
        benchmark::DoNotOptimize(FormatInputA(value, format, &out, 0));
        VEXBufFree(out);
    }
}

void runOutput(benchmark::State& state, const char* value, const char* format) {
    for (auto _ : state) {
        VEXBUF out = nullptr;
        benchmark::DoNotOptimize(FormatOutputA(value, format, &out, 0));
        VEXBufFree(out);
    }
}

void BM_FormatInput_Fix2Dec2Raw(benchmark::State& s) { runInput(s, "12", "FIX(2).DEC2RAW"); }
void BM_FormatInput_Raw2DecPadl(benchmark::State& s) { runInput(s, "#0C", "RAW2DEC.PADL(\"0\",2)"); }
void BM_FormatInput_Fix12Padl(benchmark::State& s) { runInput(s, "000000001250", "FIX(12).PADL(\"0\",12)"); }
void BM_FormatOutput_Fix2Dec2Raw(benchmark::State& s) { runOutput(s, "12", "FIX(2).DEC2RAW"); }
void BM_FormatOutput_Raw2DecPadl(benchmark::State& s) { runOutput(s, "#0C", "RAW2DEC.PADL(\"0\",2)"); }
void BM_FormatOutput_Fix12Padl(benchmark::State& s) { runOutput(s, "1250", "FIX(12).PADL(\"0\",12)"); }

BENCHMARK(BM_FormatInput_Fix2Dec2Raw);
BENCHMARK(BM_FormatInput_Raw2DecPadl);
BENCHMARK(BM_FormatInput_Fix12Padl);
BENCHMARK(BM_FormatOutput_Fix2Dec2Raw);
BENCHMARK(BM_FormatOutput_Raw2DecPadl);
BENCHMARK(BM_FormatOutput_Fix12Padl);

}  // namespace
