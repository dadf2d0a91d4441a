// Copper groups of the whole synthetic board (see SyntheticBoard.h) at 1, 4 and 16 times the base
// board: the groups of both wiring layers built from scratch by their sheets, and the id flood fill
// of one group holding every piece of the top layer with the vias. Both should grow about as
// n log n.

#include "bench/SyntheticBoard.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using bench::SyntheticBoard;

void ResetIds(SyntheticBoard& board)
{
    for (CSheet* sheet : board.Sheets())
        sheet->ResetNetID();
}

// One pass before the timed ones: it measures the items' rectangles (as drawing a loaded board
// does) and grows the heap, which the first of several checks of a session pays alone.
void RubberGroups(SyntheticBoard& board)
{
    board.Layer(SyntheticBoard::kTop).MakeRubberGroup();
    board.Layer(SyntheticBoard::kBottom).MakeRubberGroup();
}

void BM_RubberGroups(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    ResetIds(board);
    RubberGroups(board);
    for (auto _ : state) {
        state.PauseTiming();
        ResetIds(board);
        state.ResumeTiming();
        RubberGroups(board);
    }
    state.counters["top"] = board.Layer(SyntheticBoard::kTop).GetNetLineCount();
    state.counters["bottom"] = board.Layer(SyntheticBoard::kBottom).GetNetLineCount();
    state.SetComplexityN(board.ItemCount());
}
BENCHMARK(BM_RubberGroups)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

void BM_BoardNetID(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    CSheet& top = board.Layer(SyntheticBoard::kTop);
    const int layer = top.GetWLayer();
    // Every copper piece of the top layer and every via, as the sheet gathers them for its groups.
    CNetLine work(0, layer, top.GetType());
    std::vector<CItemBase*> items;
    for (int kind : {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR, KIND_TEXT})
        for (POSITION pos = top.GetFirstItemPos(kind); pos;)
            items.push_back(top.GetNextItem(kind, pos));
    std::vector<CVia*> vias;
    CSheet& viaParts = board.ViaParts();
    for (POSITION pos = viaParts.GetFirstItemPos(KIND_VIA); pos;)
        vias.push_back(static_cast<CVia*>(viaParts.GetNextItem(KIND_VIA, pos)));
    for (CItemBase* item : items)
        work.AddItem(item);
    for (CVia* via : vias)
        work.AddItem(via);
    auto reset = [&] {
        for (CItemBase* item : items)
            item->SetID(0);
        for (CVia* via : vias)
            via->SetLayerID(0, layer);
    };
    // A first fill grows the heap, as in BM_RubberGroups.
    reset();
    int made = work.MakeNetID(static_cast<std::uint32_t>(layer) + 256u);
    for (auto _ : state) {
        state.PauseTiming();
        reset();
        state.ResumeTiming();
        made = work.MakeNetID(static_cast<std::uint32_t>(layer) + 256u);
    }
    state.counters["groups"] = made;
    state.SetComplexityN(static_cast<long>(items.size() + vias.size()));
}
BENCHMARK(BM_BoardNetID)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

} // namespace

BENCHMARK_MAIN();
