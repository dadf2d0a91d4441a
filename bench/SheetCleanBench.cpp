// Duplicate clean-up of a whole synthetic board (see SyntheticBoard.h), whose tracks, lands and vias
// hold a few per cent of exact and reversed copies, at 1, 4 and 16 times the base board. It should
// grow about as n log n or better.

#include "bench/SyntheticBoard.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void BM_CleanDupItem(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    long removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<CSheet>> copies;
        for (CSheet* sheet : board.Sheets()) {
            copies.push_back(board.EmptyLike(*sheet));
            *copies.back() += *sheet;
        }
        long before = 0;
        for (auto& sheet : copies)
            before += sheet->GetItemCount();
        state.ResumeTiming();
        for (auto& sheet : copies)
            sheet->CleanDupItem();
        state.PauseTiming();
        long after = 0;
        for (auto& sheet : copies)
            after += sheet->GetItemCount();
        removed = before - after;
        copies.clear();
        state.ResumeTiming();
    }
    state.counters["removed"] = static_cast<double>(removed);
    state.SetComplexityN(board.ItemCount());
    state.SetItemsProcessed(state.iterations() * board.ItemCount());
}

BENCHMARK(BM_CleanDupItem)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

} // namespace

BENCHMARK_MAIN();
