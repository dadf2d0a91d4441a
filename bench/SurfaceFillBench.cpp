// Surface fill: a large copper pour (a toothed outline of 2,000 segments with 200 cut-outs) hatched
// at a coarse and at the finest pitch, built from its outline lists, and chained into loops.

#include "bench/SyntheticBoard.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// Turret 1 is 0.05 wide (pitch 0.05), turret 2 is 0.2 wide (pitch 0.18).
bench::TrackFrame Frame()
{
    return bench::TrackFrame({0.05, 0.2}, 0);
}

// The outline: 2,000 segments round a toothed circle of radius about 100 mm; 200 small octagon
// cut-outs in a grid inside it. Segments come in a shuffled order and some run backwards, as they
// do in outlines read from a photo-plot.
struct Pour
{
    std::vector<std::unique_ptr<CLine>> owned;
    CItemBaseList lines, arcs, none, texts;
    std::vector<CSur> windows;

    explicit Pour(int turret)
    {
        const int segments = 2000;
        std::vector<CDPoint> ring;
        for (int i = 0; i < segments; ++i) {
            const double a = 2 * kPi * i / segments;
            const double r = (i % 2) ? 100.0 : 98.5;
            ring.emplace_back(r * std::cos(a), r * std::sin(a));
        }
        for (int k = 0; k < segments; ++k) {
            const int i = (k * 7) % segments; // a permutation of the segments
            const CDPoint& a = ring[static_cast<std::size_t>(i)];
            const CDPoint& b = ring[static_cast<std::size_t>((i + 1) % segments)];
            owned.push_back(k % 3 ? std::make_unique<CLine>(a, b, turret, 0)
                                  : std::make_unique<CLine>(b, a, turret, 0));
            lines.AddTail(owned.back().get());
        }
        for (int gx = 0; gx < 20; ++gx) {
            for (int gy = 0; gy < 10; ++gy) {
                const CDPoint c(-57.0 + 6.0 * gx, -54.0 + 12.0 * gy);
                CSur window;
                for (int j = 0; j < 8; ++j) {
                    const double a0 = 2 * kPi * j / 8 + 0.1, a1 = 2 * kPi * (j + 1) / 8 + 0.1;
                    window.AddLine(std::make_unique<CLine>(c + CDPoint(2 * std::cos(a0), 2 * std::sin(a0)),
                                                           c + CDPoint(2 * std::cos(a1), 2 * std::sin(a1)),
                                                           turret, 0));
                }
                windows.push_back(std::move(window));
            }
        }
    }

    std::unique_ptr<CSur> Build() const
    {
        auto sur = std::make_unique<CSur>(lines, arcs, none, texts);
        for (const CSur& window : windows)
            sur->NewWindow(window);
        return sur;
    }
};

void BM_SurfaceFill(benchmark::State& state)
{
    const bench::TrackFrame frame = Frame();
    const Pour pour(static_cast<int>(state.range(0)));
    std::unique_ptr<CSur> sur = pour.Build();
    for (auto _ : state) {
        sur->MakeSurLine(true);
        benchmark::DoNotOptimize(sur->GetSurLineCount());
    }
    state.counters["fill_lines"] = sur->GetSurLineCount();
}
BENCHMARK(BM_SurfaceFill)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SurfaceFillTurned(benchmark::State& state)
{
    const bench::TrackFrame frame = Frame();
    const Pour pour(2);
    std::unique_ptr<CSur> sur = pour.Build();
    sur->SetAngle(kPi / 6);
    for (auto _ : state) {
        sur->MakeSurLine(true);
        benchmark::DoNotOptimize(sur->GetSurLineCount());
    }
}
BENCHMARK(BM_SurfaceFillTurned)->Unit(benchmark::kMillisecond);

void BM_SurfaceBuild(benchmark::State& state)
{
    const bench::TrackFrame frame = Frame();
    const Pour pour(-1);
    for (auto _ : state) {
        CSur sur(pour.lines, pour.arcs, pour.none, pour.texts);
        benchmark::DoNotOptimize(sur.GetLineCount());
    }
}
BENCHMARK(BM_SurfaceBuild)->Unit(benchmark::kMillisecond);

void BM_SurfaceChain(benchmark::State& state)
{
    const bench::TrackFrame frame = Frame();
    const Pour pour(-1);
    std::unique_ptr<CSur> sur = pour.Build();
    for (auto _ : state) {
        CItemBaseList list;
        sur->CalcLineList(list);
        sur->ResetModify();
        benchmark::DoNotOptimize(list.GetCount());
    }
}
BENCHMARK(BM_SurfaceChain)->Unit(benchmark::kMillisecond);

// Region numbering of the strips of a negative pour; the strips inside the cut-outs are taken
// out of the numbering (as cutting would remove them), so the pour is one region round 200 holes.
void BM_SurfaceGroup(benchmark::State& state)
{
    const bench::TrackFrame frame = Frame();
    const Pour pour(static_cast<int>(state.range(0)));
    std::unique_ptr<CSur> sur = pour.Build();
    sur->ModifyType(SUR_NEGA, SUR_NEGA);
    sur->MakeSurLine(true);
    int groups = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (POSITION pos = sur->GetFirstSurLinePos(); pos;) {
            CLine* strip = sur->GetNextSurLine(pos);
            const CDPoint mid = strip->GetStartPoint().GetCenter(strip->GetEndPoint());
            const double gx = std::round((mid.x + 57.0) / 6.0), gy = std::round((mid.y + 54.0) / 12.0);
            const bool inHole = gx >= 0 && gx < 20 && gy >= 0 && gy < 10 &&
                                std::hypot(mid.x - (-57.0 + 6.0 * gx), mid.y - (-54.0 + 12.0 * gy)) < 2.0;
            const bool outside = std::hypot(mid.x, mid.y) > 98.0;
            strip->SetID(inHole || outside ? 1 : 0);
        }
        state.ResumeTiming();
        groups = sur->MakeSurLineGroup(0);
    }
    state.counters["groups"] = groups;
    state.counters["strips"] = sur->GetSurLineCount();
}
BENCHMARK(BM_SurfaceGroup)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
