// The BER-TLV parser on the bundled DE 55 sample (18 EMV elements, 113
// bytes), through the C interface as a host drives it: each message parsed
// into a fresh tree, and a parsed tree compiled back. Two definition trees:
// the EMV one of the examples, which also turns every value into its written
// form (amounts and binary data as hexadecimal text) and back, and the same
// tags keeping every value as its bytes, which is the work the npm packages
// ber-tlv and node-tlv do. main.cpp sets both beside them (bench/peer/).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "public_api.h"

namespace {

using bench::Tree;

constexpr const char* kEmvDefinitions = PAYFMT_EXAMPLES_DIR "/emv/emv.json";
constexpr const char* kMessage = PAYFMT_EXAMPLES_DIR "/emv/de55.msg";
constexpr std::uint32_t kElements = 18;

// The EMV definitions, or the same tags with their values kept as bytes:
// every format emptied.
Tree definitions(bool emv) {
    Tree tree = Tree::fromJsonFile(kEmvDefinitions);
    if (emv) return tree;
    VEXVARIANT none{};
    VEXVarSetStrA(&none, "", 0);
    for (VEXNODE n = VEXTreeGetNextNode(tree.get(), tree.get()); n; n = VEXTreeGetNextNode(tree.get(), n))
        for (const char* format : {"IFO", "OFO", "IFM"}) VEXTreeSetPropA(n, format, &none);
    VEXVarClear(&none);
    return tree;
}

// An open PBER over the definitions, the sample and the tree one parse of
// it gave, checked to hold every element and to compile back.
struct Ber : bench::ParsedSample {
    explicit Ber(bool emv)
        : ParsedSample(emv ? "bench-ber-emv" : "bench-ber", "PBER", definitions(emv), bench::readFile(kMessage)) {
        if (!check()) return;
        ok = parsedCount() == kElements;
        if (!ok) fail("parse gave " + std::to_string(parsedCount()) + " elements, not " + std::to_string(kElements));
    }
    bool ok = false;
};

void countTags(benchmark::State& state) {
    state.counters["tags/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kElements), benchmark::Counter::kIsRate);
}

void parse(benchmark::State& state, bool emv) {
    Ber ber(emv);
    if (!ber.ok) return state.SkipWithError(ber.error.c_str());
    bench::timeParse(state, ber);
    countTags(state);
}

void compile(benchmark::State& state, bool emv) {
    Ber ber(emv);
    if (!ber.ok) return state.SkipWithError(ber.error.c_str());
    bench::timeCompile(state, ber);
    countTags(state);
}

void BM_BerParse_Payfmt(benchmark::State& state) { parse(state, false); }
void BM_BerCompile_Payfmt(benchmark::State& state) { compile(state, false); }
void BM_BerParseEmv_Payfmt(benchmark::State& state) { parse(state, true); }
void BM_BerCompileEmv_Payfmt(benchmark::State& state) { compile(state, true); }
BENCHMARK(BM_BerParse_Payfmt)->Repetitions(4);
BENCHMARK(BM_BerCompile_Payfmt)->Repetitions(4);
BENCHMARK(BM_BerParseEmv_Payfmt)->Repetitions(4);
BENCHMARK(BM_BerCompileEmv_Payfmt)->Repetitions(4);

}  // namespace
