// Copper groups of a large layer: 100,000 tracks, in chains of ten that touch end to end and lie
// apart from each other, given ids by a group's flood fill and gathered into groups by a board
// sheet. Both should grow about as n log n with the number of tracks.

#include "bench/SyntheticBoard.h"
#include "model/items/Line.h"
#include "model/net/NetLine.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <memory>

namespace {

constexpr int kChain = 10;

// Track i of the board: chains of ten 1 mm segments zigzagging along x, chains 1 mm apart in y and
// 12 mm apart in x, rows of 100 chains.
void TrackEnds(int i, CDPoint& a, CDPoint& b)
{
    const int chain = i / kChain, step = i % kChain;
    const double x0 = (chain % 100) * 12.0, y0 = (chain / 100) * 1.0;
    a = CDPoint(x0 + step, y0 + (step % 2) * 0.3);
    b = CDPoint(x0 + step + 1, y0 + ((step + 1) % 2) * 0.3);
}

void BM_MakeNetID(benchmark::State& state)
{
    const bench::TrackFrame frame({0.2}, 1); // turret 1: a round 0.2 track
    const int n = static_cast<int>(state.range(0));
    std::deque<CLine> tracks;
    CNetLine group(0, 1, 1);
    for (int i = 0; i < n; ++i) {
        CDPoint a, b;
        TrackEnds(i, a, b);
        tracks.emplace_back(a, b, 1, 0);
        group.AddItem(&tracks.back());
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (CLine& track : tracks)
            track.SetID(0);
        state.ResumeTiming();
        const int made = group.MakeNetID(0x101);
        state.counters["groups"] = made;
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_MakeNetID)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SheetGroups(benchmark::State& state)
{
    // The sheet's group steps come with the program's start-up hooks; without them it makes none.
    InstallQuarnHooks();
    const bench::TrackFrame frame({0.2}, 1);
    const int n = static_cast<int>(state.range(0));
    CSheet sheet(1, 0x1, 0, nullptr);
    sheet.SetSheetType(SHEET_BOARD);
    for (int i = 0; i < n; ++i) {
        CDPoint a, b;
        TrackEnds(i, a, b);
        sheet.NewLine(a, b, 1, 0);
    }
    for (auto _ : state) {
        state.PauseTiming();
        sheet.ResetNetID();
        state.ResumeTiming();
        sheet.MakeRubberGroup();
        benchmark::DoNotOptimize(sheet.GetNetLineCount());
    }
    state.counters["groups"] = sheet.GetNetLineCount();
    state.SetComplexityN(n);
}
BENCHMARK(BM_SheetGroups)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

BENCHMARK_MAIN();
