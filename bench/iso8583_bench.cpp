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
using bench::Vars;

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
// parse of it gave.
class Iso8583 {
public:
    Iso8583() : message(bench::readFile(kMessage)), parser_("bench-iso8583", "P8583", definitions().get()) {
        ok = check();
        if (!ok && error.empty()) error = bench::lastError();
    }

    std::uint32_t call(std::int32_t dispid, Vars<3>& args) { return parser_.call(dispid, args); }

    std::string message;
    Tree parsed;
    std::int32_t parseId = -1;
    std::int32_t compileId = -1;
    bool ok = false;
    std::string error;

private:
    // Parses the sample once; false when the parser is not ready or the
    // parse did not give every field.
    bool check() {
        if (!parser_.ready()) return false;
        parseId = parser_.parseId;
        compileId = parser_.compileId;
        parsed = Tree(VEXTreeCreateNode("msg", VEX_NODE_GROUP));
        Vars<3> args;
        bench::setCallArgs(args, message, parsed.get());
        if (call(parseId, args) != 0) return false;
        // One node per line of the decoded fields: the parse found them all.
        const std::string fields = bench::readFile(kFields);
        std::uint32_t expected = 0;
        for (char c : fields) expected += c == '\n';
        std::uint32_t count = 0;
        VEXTreeChildCount(parsed.get(), &count);
        if (count != expected || expected == 0) {
            error = "parse gave " + std::to_string(count) + " fields, ascii.fields.txt has " + std::to_string(expected);
            return false;
        }
        return true;
    }

    bench::Parser parser_;
};

void BM_Iso8583Parse_Payfmt(benchmark::State& state) {
    Iso8583 iso;
    if (!iso.ok) return state.SkipWithError(iso.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, iso.message, 0);
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        const VEXNODE root = VEXTreeCreateNode("msg", VEX_NODE_GROUP);
        VEXVarSetInt(&args[1], root);
        benchmark::DoNotOptimize(iso.call(iso.parseId, args));
        VEXTreeDeleteNode(root, -1);
    }
    bench::reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * iso.message.size()));
}
BENCHMARK(BM_Iso8583Parse_Payfmt)->Repetitions(4);

void BM_Iso8583Compile_Payfmt(benchmark::State& state) {
    Iso8583 iso;
    if (!iso.ok) return state.SkipWithError(iso.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, "", iso.parsed.get());
    if (iso.call(iso.compileId, args) != 0) return state.SkipWithError(bench::lastError().c_str());
    if (args[0].type != VEXVT_BLOB || bench::varBytes(args[0]) != iso.message)
        return state.SkipWithError("compiled message differs from ascii.msg");
    // The message argument is in/out: it holds the last message, a blob, so
    // each call answers bytes again, as a host that reuses it sees.
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(iso.call(iso.compileId, args));
    bench::reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * iso.message.size()));
}
BENCHMARK(BM_Iso8583Compile_Payfmt)->Repetitions(4);

}  // namespace
