// Reading one net of many nodes from a net-list text: should grow linearly with the nodes.

#include "model/net/Net.h"
#include "model/net/NetDialect.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_MakeNetOfManyNodes(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::string text = "BIGNET ";
    for (int i = 0; i < n; ++i)
        text += "U" + std::to_string(i / 16) + "." + std::to_string(i % 16 + 1) + " ";
    for (auto _ : state) {
        CNet net;
        net.MakeNet(NETDIALECT_PADS, text);
        benchmark::DoNotOptimize(net.GetNodeCount());
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_MakeNetOfManyNodes)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(160000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK_MAIN();
