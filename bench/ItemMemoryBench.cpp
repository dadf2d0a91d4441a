// Memory of the synthetic board: every allocation of the program is counted, and the board's
// live bytes once built, the peak while it was built and the bytes per item are reported at each
// scale, beside the sizes of the item classes themselves.

#include "bench/SyntheticBoard.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void* Counted(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    const long long live = g_live.fetch_add(static_cast<long long>(malloc_usable_size(p))) +
                           static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void Uncounted(void* p) noexcept
{
    if (!p)
        return;
    g_live.fetch_sub(static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}

} // namespace

void* operator new(std::size_t n)
{
    return Counted(n);
}
void* operator new[](std::size_t n)
{
    return Counted(n);
}
void operator delete(void* p) noexcept
{
    Uncounted(p);
}
void operator delete[](void* p) noexcept
{
    Uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    Uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    Uncounted(p);
}

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

void BM_BoardMemory(benchmark::State& state)
{
    long long live = 0, peak = 0;
    long items = 0;
    for (auto _ : state) {
        const long long before = g_live.load();
        g_peak.store(before);
        {
            bench::SyntheticBoard board(static_cast<int>(state.range(0)));
            live = g_live.load() - before;
            items = board.ItemCount();
        }
        peak = g_peak.load() - before;
    }
    state.counters["live_MiB"] = static_cast<double>(live) / kMiB;
    state.counters["peak_MiB"] = static_cast<double>(peak) / kMiB;
    state.counters["items"] = static_cast<double>(items);
    state.counters["bytes_per_item"] = static_cast<double>(live) / static_cast<double>(std::max(items, 1L));
}

void BM_ItemSizes(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(state.iterations());
    state.counters["CLine"] = sizeof(CLine);
    state.counters["CArc"] = sizeof(CArc);
    state.counters["CVia"] = sizeof(CVia);
    state.counters["CLand"] = sizeof(CLand);
    state.counters["CText"] = sizeof(CText);
    state.counters["CHole"] = sizeof(CHole);
    state.counters["CPart"] = sizeof(CPart);
    state.counters["CTer"] = sizeof(CTer);
    state.counters["CSur"] = sizeof(CSur);
}

} // namespace

BENCHMARK(BM_BoardMemory)->Arg(1)->Arg(4)->Arg(16)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemSizes)->Iterations(1);

BENCHMARK_MAIN();
