// The XML parser on the bundled pain.001 credit transfer (80 elements, 3 kB)
// through the C interface as a host drives it, beside a bare libxml2 parse
// of the same text in the same run: the pair shows in the ratio table as
// XmlParse, what turning the document into a value tree costs on top of
// reading it. Compile is timed alone (libxml2 has no counterpart for it).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <string>

#include "public_api.h"

namespace {

using bench::Tree;
using bench::Vars;

constexpr const char* kSample = PAYFMT_EXAMPLES_DIR "/xml/pain001.xml";

// An open PXML, the sample, and the tree one parse of it gave, checked to
// compile back to the sample.
struct Pain001 {
    Pain001() : parser("bench-pain001", "PXML"), text(bench::readFile(kSample)), parsed(VEXTreeCreateNode("doc", VEX_NODE_GROUP)) {
        ok = check();
    }
    bool check() {
        if (!parser.ready()) return fail(bench::lastError());
        Vars<3> args;
        setArgs(args, text, parsed.get());
        if (parser.call(parser.parseId, args) != 0) return fail(bench::lastError());
        setArgs(args, "", parsed.get());
        if (parser.call(parser.compileId, args) != 0) return fail(bench::lastError());
        if (bench::varBytes(args[0]) != text) return fail("compiled document differs from the sample");
        return true;
    }
    bool fail(std::string why) {
        error = std::move(why);
        return false;
    }
    static void setArgs(Vars<3>& args, const std::string& message, VEXNODE tree) {
        VEXVarSetStrA(&args[0], message.data(), static_cast<uint32_t>(message.size()));
        VEXVarSetInt(&args[1], tree);
        VEXVarSetStrA(&args[2], "", 0);
    }

    bench::Parser parser;
    std::string text;
    Tree parsed;
    bool ok = false;
    std::string error;
};

void BM_XmlParse_Payfmt(benchmark::State& state) {
    Pain001 sample;
    if (!sample.ok) return state.SkipWithError(sample.error.c_str());
    Vars<3> args;
    Pain001::setArgs(args, sample.text, 0);
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        const VEXNODE root = VEXTreeCreateNode("doc", VEX_NODE_GROUP);
        VEXVarSetInt(&args[1], root);
        benchmark::DoNotOptimize(sample.parser.call(sample.parser.parseId, args));
        VEXTreeDeleteNode(root, -1);
    }
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.text.size()));
}

void timeBareParse(benchmark::State& state, int options) {
    const std::string text = bench::readFile(kSample);
    xmlInitParser();
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        xmlDoc* doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, options);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// What any libxml2 user pays at the least: the text read into a document
// with the library's defaults, and the document freed.
void BM_XmlParse_HandWritten(benchmark::State& state) { timeBareParse(state, 0); }

// The same without the whitespace between elements, which PXML does not
// keep either: fewer nodes for libxml2 to make.
void BM_XmlParseNoBlanks_Libxml2(benchmark::State& state) { timeBareParse(state, XML_PARSE_NOBLANKS); }

void BM_XmlCompile_Payfmt(benchmark::State& state) {
    Pain001 sample;
    if (!sample.ok) return state.SkipWithError(sample.error.c_str());
    Vars<3> args;
    Pain001::setArgs(args, "", sample.parsed.get());
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(sample.parser.call(sample.parser.compileId, args));
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.text.size()));
}

BENCHMARK(BM_XmlParse_Payfmt)->Repetitions(4);
BENCHMARK(BM_XmlParse_HandWritten)->Repetitions(4);
BENCHMARK(BM_XmlParseNoBlanks_Libxml2)->Repetitions(4);
BENCHMARK(BM_XmlCompile_Payfmt)->Repetitions(4);

}  // namespace
