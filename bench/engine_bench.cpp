// The chain engine: splitting formats and applying a three-operator chain.
#include <benchmark/benchmark.h>

#include "engine/chain.h"
#include "engine/parse_xfo.h"
#include "engine/parser_core.h"
#include "operators/operator_table.h"

namespace payfmt {
namespace {

void BM_ParseXFO(benchmark::State& state) {
    Settings settings;
    ParserCore parser(settings);
    for (auto _ : state) {
        XfoSplit s = ParseXFO(parser, "PADL(\"0\",2).RAW2DEC", true);
        benchmark::DoNotOptimize(s.name.data());
    }
}
BENCHMARK(BM_ParseXFO);

void BM_ApplyIFO_ThreeOperators(benchmark::State& state) {
    registerOperators();
    Settings settings;
    ParserCore parser(settings);
    for (auto _ : state) {
        OpContext ctx(kDirectionInput);
        Output out;
        ApplyIFO(parser, ctx, "HEX2RAW.INVERSE.RAW2DEC", "", false, "1234", out);
        benchmark::DoNotOptimize(out.view().data());
        settings.errors().reset();
    }
}
BENCHMARK(BM_ApplyIFO_ThreeOperators);

void BM_ApplyOFO_ThreeOperators(benchmark::State& state) {
    registerOperators();
    Settings settings;
    ParserCore parser(settings);
    for (auto _ : state) {
        OpContext ctx(kDirectionOutput);
        Output out;
        ApplyOFO(parser, ctx, "DEC2RAW.INVERSE.RAW2HEX", "4660", out);
        benchmark::DoNotOptimize(out.view().data());
        settings.errors().reset();
    }
}
BENCHMARK(BM_ApplyOFO_ThreeOperators);

}  // namespace
}  // namespace payfmt
