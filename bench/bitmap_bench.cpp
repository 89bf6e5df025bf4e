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
struct Bitmaps : bench::ParsedSample {
    explicit Bitmaps(const Sample& s)
        : ParsedSample((std::string("bench-") + s.name).c_str(), s.type,
                       Tree::fromJsonFile(std::string(PAYFMT_EXAMPLES_DIR "/bitmaps/") + s.name + ".json"),
                       bench::readFile(std::string(PAYFMT_EXAMPLES_DIR "/bitmaps/") + s.name + ".msg")) {
        ok = configure(s) && check();
    }
    bool configure(const Sample& s) {
        Vars<1> value;
        for (const auto& [name, text] : s.texts) {
            VEXVarSetStrA(&value[0], text, static_cast<std::uint32_t>(-1));
            if (!parser.put(name, value[0])) return fail(bench::lastError());
        }
        for (const auto& [name, number] : s.numbers) {
            VEXVarSetInt(&value[0], number);
            if (!parser.put(name, value[0])) return fail(bench::lastError());
        }
        return true;
    }
    bool ok = false;
};

void BM_VbmParse(benchmark::State& state) {
    Bitmaps b(kTms);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    bench::timeParse(state, b);
}
void BM_VbmCompile(benchmark::State& state) {
    Bitmaps b(kTms);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    bench::timeCompile(state, b);
}
void BM_FbmParse(benchmark::State& state) {
    Bitmaps b(kStatus);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    bench::timeParse(state, b);
}
void BM_FbmCompile(benchmark::State& state) {
    Bitmaps b(kStatus);
    if (!b.ok) return state.SkipWithError(b.error.c_str());
    bench::timeCompile(state, b);
}
BENCHMARK(BM_VbmParse);
BENCHMARK(BM_VbmCompile);
BENCHMARK(BM_FbmParse);
BENCHMARK(BM_FbmCompile);

}  // namespace
