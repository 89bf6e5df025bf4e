// Whole messages through the fixed-format parser: the bundled batch example
// parsed into a fresh copy of its template, and compiled back.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "api/library.h"
#include "support/tree_json.h"

namespace payfmt {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct BatchExample {
    BatchExample() {
        Library::instance();
        parser = newComponent<TPFIX>();
        parser->setName("bench");
        parser->Open();
        templ.reset(loadTree(PAYFMT_EXAMPLES_DIR "/batch.json"));
        message = readFile(PAYFMT_EXAMPLES_DIR "/batch.msg");
        filled.reset(nodes().copy(templ.get(), true));
        parser->Parse(Variant::blob(message), filled.get(), "");
    }
    ~BatchExample() { parser->Close(); }
    Ref<TPFIX> parser;
    OwnedTree templ, filled;
    Bytes message;
};

void BM_ParseBatch(benchmark::State& state) {
    BatchExample ex;
    for (auto _ : state) {
        OwnedTree tree(nodes().copy(ex.templ.get(), true));
        settings().errors().reset();
        benchmark::DoNotOptimize(ex.parser->Parse(Variant::blob(ex.message), tree.get(), ""));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ex.message.size()));
}
BENCHMARK(BM_ParseBatch);

void BM_CompileBatch(benchmark::State& state) {
    BatchExample ex;
    for (auto _ : state) {
        settings().errors().reset();
        Variant message = Variant::blob("");
        benchmark::DoNotOptimize(ex.parser->Compile(message, ex.filled.get(), ""));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompileBatch);

}  // namespace
}  // namespace payfmt
