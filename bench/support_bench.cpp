// IStr conversions and tree copies: the two support operations every
// exported call and every parse runs.
#include <benchmark/benchmark.h>

#include "engine/format_error.h"
#include "engine/istr.h"
#include "support/tree.h"

namespace payfmt {
namespace {

Bytes sampleField(std::size_t n) {
    Bytes b;
    for (std::size_t i = 0; i < n; ++i) b += static_cast<char>(i % 3 == 0 ? 0x80 + i % 64 : 'A' + i % 26);
    return b;
}

void BM_RawToIStr(benchmark::State& state) {
    const Bytes raw = sampleField(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(RawToIStr(raw));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_RawToIStr)->Arg(12)->Arg(256);

void BM_IStrToRaw(benchmark::State& state) {
    const std::string text = RawToIStr(sampleField(static_cast<std::size_t>(state.range(0))));
    TFormatError errors;
    for (auto _ : state) benchmark::DoNotOptimize(IStrToRaw(errors, text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_IStrToRaw)->Arg(12)->Arg(256);

// A message-sized value tree: a root with groups of fields, each with a Value.
NodeId buildTree(int groups, int fields) {
    const NodeId root = nodes().create("msg", kGroupAttrib);
    for (int g = 0; g < groups; ++g) {
        const NodeId group = nodes().create(std::string(1, 'g').append(std::to_string(g)), kGroupAttrib);
        nodes().addChild(root, group, -1);
        for (int f = 0; f < fields; ++f) {
            const NodeId field = nodes().create(std::string(1, 'f').append(std::to_string(f)), 0);
            nodes().get(field).props.set("Value", Variant::blob(sampleField(8)));
            nodes().addChild(group, field, -1);
        }
    }
    return root;
}

void BM_TreeDeepCopy(benchmark::State& state) {
    OwnedTree tree(buildTree(static_cast<int>(state.range(0)), 10));
    for (auto _ : state) {
        OwnedTree copy(nodes().copy(tree.get(), true));
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) * 11);
}
BENCHMARK(BM_TreeDeepCopy)->Arg(10)->Arg(1000);

}  // namespace
}  // namespace payfmt
