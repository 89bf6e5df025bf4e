// The ISO 8583 parser on the bundled ascii sample (a 0200 with both bitmaps
// and 26 data elements), through the C interface as a host drives it: each
// message parsed into a fresh tree, and a parsed tree compiled back.
// main.cpp sets these beside the npm package iso_8583 (bench/peer/).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "public_api.h"

namespace {

using bench::Tree;

constexpr const char* kDefinitions = PAYFMT_EXAMPLES_DIR "/iso8583/ascii.json";
constexpr const char* kMessage = PAYFMT_EXAMPLES_DIR "/iso8583/ascii.msg";
constexpr const char* kFields = PAYFMT_EXAMPLES_DIR "/iso8583/ascii.fields.txt";

// The ascii definitions with DE 55 kept as one field, as the npm package
// keeps it: the examples hand it to an EMV parser, whose work the BER-TLV
// benchmarks time on their own.
Tree definitions() {
    Tree tree = Tree::fromJsonFile(kDefinitions);
    VEXVARIANT none{};
    VEXVarSetStrA(&none, "", 0);
    for (VEXNODE n = VEXTreeGetNextNode(tree.get(), tree.get()); n; n = VEXTreeGetNextNode(tree.get(), n)) {
        VEXTreeSetPropA(n, "Parser", &none);
        VEXTreeSetNodeAttrib(n, 0);  // a field, not a group another parser fills
    }
    VEXVarClear(&none);
    return tree;
}

// An open P8583 over those definitions, its sample message and the tree one
// parse of it gave, checked to hold every field and to compile back.
struct Iso8583 : bench::ParsedSample {
    Iso8583() : ParsedSample("bench-iso8583", "P8583", definitions(), bench::readFile(kMessage)) {
        if (!check()) return;
        // One node per line of the decoded fields: the parse found them all.
        const std::string fields = bench::readFile(kFields);
        std::uint32_t expected = 0;
        for (char c : fields) expected += c == '\n';
        ok = parsedCount() == expected && expected != 0;
        if (!ok) fail("parse gave " + std::to_string(parsedCount()) + " fields, ascii.fields.txt has " + std::to_string(expected));
    }
    bool ok = false;
};

void BM_Iso8583Parse_Payfmt(benchmark::State& state) {
    Iso8583 iso;
    if (!iso.ok) return state.SkipWithError(iso.error.c_str());
    bench::timeParse(state, iso);
}
BENCHMARK(BM_Iso8583Parse_Payfmt)->Repetitions(4);

void BM_Iso8583Compile_Payfmt(benchmark::State& state) {
    Iso8583 iso;
    if (!iso.ok) return state.SkipWithError(iso.error.c_str());
    bench::timeCompile(state, iso);
}
BENCHMARK(BM_Iso8583Compile_Payfmt)->Repetitions(4);

}  // namespace
