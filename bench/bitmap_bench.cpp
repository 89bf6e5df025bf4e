// The bitmap parsers on the bundled samples, through the C interface as a
// host drives it: the two terminal-management messages (PVBM: header, a
// two-block bitmap, two records, trailer, twice; 494 bytes) and the terminal
// status record (PFBM, 59 bytes), each parsed into a fresh tree and compiled
// back from a parsed one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "public_api.h"

namespace {

using bench::Tree;
using bench::Vars;

struct Sample {
    const char* name;
    const char* type;
    std::vector<std::pair<const char*, const char*>> texts;  // text properties
    std::vector<std::pair<const char*, std::int64_t>> numbers;  // integer and boolean properties
};

const Sample kTms{"tms", "PVBM", {}, {{"RecordCount", 2}, {"GroupRecords", 1}, {"MessageLoop", 1}}};
const Sample kStatus{"status", "PFBM", {{"BitMapIFO", "FIX(4).HEX2RAW"}, {"BitMapOFO", "RAW2HEX"}}, {{"BitMapBits", 16}}};

// An open parser of the sample's type and settings over its definitions,
// the sample message and the tree one parse of it gave, checked to compile
// back to the message.
class Bitmaps {
public:
    explicit Bitmaps(const Sample& s)
        : message(bench::readFile(std::string(PAYFMT_EXAMPLES_DIR "/bitmaps/") + s.name + ".msg")),
          parser_((std::string("bench-") + s.name).c_str(), s.type,
                  Tree::fromJsonFile(std::string(PAYFMT_EXAMPLES_DIR "/bitmaps/") + s.name + ".json").get()) {
        ok = configure(s) && check();
        if (!ok && error.empty()) error = bench::lastError();
    }

    std::uint32_t call(std::int32_t dispid, Vars<3>& args) { return parser_.call(dispid, args); }

    std::string message;
    Tree parsed;
    bool ok = false;
    std::string error;
    std::int32_t parseId = -1, compileId = -1;

private:
    bool configure(const Sample& s) {
        if (!parser_.ready()) return false;
        Vars<1> value;
        for (const auto& [name, text] : s.texts) {
            VEXVarSetStrA(&value[0], text, static_cast<std::uint32_t>(-1));
            if (!parser_.put(name, value[0])) return false;
        }
        for (const auto& [name, number] : s.numbers) {
            VEXVarSetInt(&value[0], number);
            if (!parser_.put(name, value[0])) return false;
        }
        parseId = parser_.parseId;
        compileId = parser_.compileId;
        return true;
    }

    bool check() {
        parsed = Tree(VEXTreeCreateNode("msg", VEX_NODE_GROUP));
        Vars<3> args;
        bench::setCallArgs(args, message, parsed.get());
        if (call(parseId, args) != 0) return false;
        bench::setCallArgs(args, "", parsed.get());
        if (call(compileId, args) != 0) return false;
        if (bench::varBytes(args[0]) != message) {
            error = "compiled message differs from the sample";
            return false;
        }
        return true;
    }

    bench::Parser parser_;
};

void parse(benchmark::State& state, const Sample& sample) {
    Bitmaps b(sample);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, b.message, 0);
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        const VEXNODE root = VEXTreeCreateNode("msg", VEX_NODE_GROUP);
        VEXVarSetInt(&args[1], root);
        benchmark::DoNotOptimize(b.call(b.parseId, args));
        VEXTreeDeleteNode(root, -1);
    }
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.message.size()));
}

void compile(benchmark::State& state, const Sample& sample) {
    Bitmaps b(sample);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    Vars<3> args;
    bench::setCallArgs(args, "", b.parsed.get());
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(b.call(b.compileId, args));
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.message.size()));
}

void BM_VbmParse(benchmark::State& state) { parse(state, kTms); }
void BM_VbmCompile(benchmark::State& state) { compile(state, kTms); }
void BM_FbmParse(benchmark::State& state) { parse(state, kStatus); }
void BM_FbmCompile(benchmark::State& state) { compile(state, kStatus); }
BENCHMARK(BM_VbmParse);
BENCHMARK(BM_VbmCompile);
BENCHMARK(BM_FbmParse);
BENCHMARK(BM_FbmCompile);

}  // namespace
