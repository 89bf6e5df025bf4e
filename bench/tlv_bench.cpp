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
using bench::Vars;

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
// it gave.
class Ber {
public:
    explicit Ber(bool emv)
        : message(bench::readFile(kMessage)), parser_(emv ? "bench-ber-emv" : "bench-ber", "PBER", definitions(emv).get()) {
        ok = check();
        if (!ok && error.empty()) error = bench::lastError();
    }

    std::uint32_t call(std::int32_t dispid, Vars<3>& args) { return parser_.call(dispid, args); }

    std::string message;
    Tree parsed;
    bool ok = false;
    std::string error;
    std::int32_t parseId = -1, compileId = -1;

private:
    bool check() {
        if (!parser_.ready()) return false;
        parseId = parser_.parseId;
        compileId = parser_.compileId;
        parsed = Tree(VEXTreeCreateNode("de55", VEX_NODE_GROUP));
        Vars<3> args;
        bench::setCallArgs(args, message, parsed.get());
        if (call(parseId, args) != 0) return false;
        std::uint32_t count = 0;
        VEXTreeChildCount(parsed.get(), &count);
        if (count != kElements) {
            error = "parse gave " + std::to_string(count) + " elements, not " + std::to_string(kElements);
            return false;
        }
        bench::setCallArgs(args, "", parsed.get());
        if (call(compileId, args) != 0) return false;
        if (bench::varBytes(args[0]) != message) {
            error = "compiled message differs from de55.msg";
            return false;
        }
        return true;
    }

    bench::Parser parser_;
};

void parse(benchmark::State& state, bool emv) {
    Ber ber(emv);
    if (!ber.ok) return state.SkipWithError(ber.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, ber.message, 0);
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        const VEXNODE root = VEXTreeCreateNode("de55", VEX_NODE_GROUP);
        VEXVarSetInt(&args[1], root);
        benchmark::DoNotOptimize(ber.call(ber.parseId, args));
        VEXTreeDeleteNode(root, -1);
    }
    bench::reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.counters["tags/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kElements), benchmark::Counter::kIsRate);
}

void compile(benchmark::State& state, bool emv) {
    Ber ber(emv);
    if (!ber.ok) return state.SkipWithError(ber.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, "", ber.parsed.get());
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(ber.call(ber.compileId, args));
    bench::reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.counters["tags/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kElements), benchmark::Counter::kIsRate);
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
