// Sorting a large grid by a header click: 100,000 rows of 10 columns must sort in under 200 ms.
// The owner makes every text from the row's data word, as the program's tables do from their records.

#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxListCtrl.h"
#include "controls/GfxListSorter.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::uint32_t Mix(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::unique_ptr<CGfxListCtrl> MakeGrid(int rows)
{
    auto grid = std::make_unique<CGfxListCtrl>();
    CGfxColumnManager* m = grid->CreateColumnManager();
    int order[10];
    for (int id = 0; id < 10; ++id) {
        // Column 1 sorts texts, 2 integers, 3 reals; the others are texts as well.
        std::uint32_t flags = 0x020;
        if (id == 2)
            flags |= 0x008;
        if (id == 3)
            flags |= 0x010;
        char caption[16];
        std::snprintf(caption, sizeof caption, "C%d", id);
        m->AddColumn(id, caption, "", 0, 60, flags);
        order[id] = id;
    }
    m->SetColumnOrder(10, order);
    grid->SetupColumns();
    grid->m_pfnCellText = [](int, int column, std::intptr_t data, std::string& out) {
        const std::uint32_t h =
            Mix(static_cast<std::uint32_t>(data) * 16u + static_cast<std::uint32_t>(column));
        char text[32];
        switch (column) {
        case 2:
            std::snprintf(text, sizeof text, "%d", static_cast<int>(h % 200000) - 100000);
            break;
        case 3:
            std::snprintf(text, sizeof text, "%u.%u", h % 100000, h % 97);
            break;
        default:
            std::snprintf(text, sizeof text, "%c%u%s", static_cast<char>('A' + h % 26), h % 5000,
                          h & 1 ? "A" : "");
        }
        out = text;
    };
    for (int i = 0; i < rows; ++i)
        grid->InsertItemData(i, i);
    grid->resize(800, 600);
    return grid;
}

void SortOnHeaderClick(benchmark::State& state, int column)
{
    const int rows = static_cast<int>(state.range(0));
    auto grid = MakeGrid(rows);
    CGfxHeaderCtrl* header = grid->GetHeaderCtrl();
    for (auto _ : state) {
        emit header->sectionClicked(column); // what a click on the section does
        benchmark::DoNotOptimize(grid->GetItemData(0));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_GridSortText(benchmark::State& state)
{
    SortOnHeaderClick(state, 1);
}
void BM_GridSortInteger(benchmark::State& state)
{
    SortOnHeaderClick(state, 2);
}
void BM_GridSortReal(benchmark::State& state)
{
    SortOnHeaderClick(state, 3);
}

// The keys and the sort alone, without the grid's model and view.
void BM_SorterOnly(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    auto grid = MakeGrid(0);
    for (auto _ : state) {
        CGfxListSorter sorter(
            rows,
            [&](int row) {
                std::string text;
                grid->m_pfnCellText(row, 1, row, text);
                return text;
            },
            false, false);
        benchmark::DoNotOptimize(sorter.Sort(true));
    }
}

void BM_GridFill(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeGrid(static_cast<int>(state.range(0))));
}

// 1x, 4x and 16x of the target size.
BENCHMARK(BM_GridSortText)->Arg(100000)->Arg(400000)->Arg(1600000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridSortInteger)->Arg(100000)->Arg(400000)->Arg(1600000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridSortReal)->Arg(100000)->Arg(400000)->Arg(1600000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SorterOnly)->Arg(100000)->Arg(400000)->Arg(1600000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridFill)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
