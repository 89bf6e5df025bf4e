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

// An open P8583 over the ascii definitions, its sample message and the tree
// one parse of it gave.
class Iso8583 {
public:
    Iso8583() : message(bench::readFile(kMessage)) {
        ok = open();
        if (!ok && error.empty()) error = bench::lastError();
    }
    Iso8583(const Iso8583&) = delete;
    Iso8583& operator=(const Iso8583&) = delete;
    ~Iso8583() {
        if (!obj_) return;
        KORInvokeByNameA(obj_, "Close", KOR_DISPATCH_METHOD, nullptr, 0, nullptr, nullptr);
        KORRelease(obj_);
    }

    // Parse or Compile with (message, tree, format): the dispatch status,
    // else the method's own answer; 0 when both are clean.
    std::uint32_t call(std::int32_t dispid, Vars<3>& args) {
        VEXVARIANT result{};
        const std::uint32_t status = KORInvoke(obj_, dispid, KOR_DISPATCH_METHOD, args.v.data(), 3, &result, nullptr);
        const auto answer = result.type == VEXVT_INT ? static_cast<std::uint32_t>(result.u.i) : 0u;
        VEXVarClear(&result);
        return status ? status : answer;
    }

    std::string message;
    Tree parsed;
    std::int32_t parseId = -1;
    std::int32_t compileId = -1;
    bool ok = false;
    std::string error;

private:
    // Sets the parser up and parses the sample once; false on the first failure.
    bool open() {
        if (KORCreateObjectA("P8583", nullptr, 0, &obj_) != 0) return false;
        Vars<1> value;
        VEXVarSetStrA(&value[0], "bench-iso8583", static_cast<uint32_t>(-1));
        if (KORInvokeByNameA(obj_, "Name", KOR_DISPATCH_PUT, &value[0], 1, nullptr, nullptr) != 0) return false;
        // The parser keeps its own copy of the definitions.
        const Tree defs = Tree::fromJsonFile(kDefinitions);
        if (!defs.get()) return false;
        VEXVarSetInt(&value[0], defs.get());
        if (KORInvokeByNameA(obj_, "Definitions", KOR_DISPATCH_PUT, &value[0], 1, nullptr, nullptr) != 0) return false;
        if (KORInvokeByNameA(obj_, "Open", KOR_DISPATCH_METHOD, nullptr, 0, nullptr, nullptr) != 0) return false;
        if (KORGetIDsOfNamesA(obj_, "Parse", &parseId) != 0 || KORGetIDsOfNamesA(obj_, "Compile", &compileId) != 0)
            return false;

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

    KOROBJ obj_ = nullptr;
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
