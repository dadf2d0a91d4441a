// The stored forms of a whole synthetic board (two wiring layers and the via and part sheet, see
// SyntheticBoard.h): the binary records of the board file and the item text form, written and read
// back, at 1, 4 and 16 times the base board. Each should grow about as n log n or better.

#include "bench/SyntheticBoard.h"
#include "platform/Archive.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kVersion = 6;

// One board at a time: the largest ones take a few gigabytes. It is freed at the end of main, not
// by a static destructor, which could run after what the board's items use is gone.
std::unique_ptr<bench::SyntheticBoard> g_board;
int g_builtScale = 0;

bench::SyntheticBoard& Board(int scale)
{
    if (g_builtScale != scale) {
        g_board.reset();
        g_board = std::make_unique<bench::SyntheticBoard>(scale);
        g_builtScale = scale;
    }
    return *g_board;
}

std::vector<std::uint8_t> WriteBinary(bench::SyntheticBoard& board)
{
    CArchive ar(CArchive::store);
    ar.SetDocument(&board);
    for (CSheet* sheet : board.Sheets())
        sheet->DataWrite(ar, kVersion);
    return ar.TakeData();
}

std::vector<std::uint8_t> WriteText(bench::SyntheticBoard& board)
{
    CArchive ar(CArchive::store);
    ar.SetDocument(&board);
    for (CSheet* sheet : board.Sheets())
        sheet->SerializeText(ar);
    return ar.TakeData();
}

void Report(benchmark::State& state, bench::SyntheticBoard& board, std::size_t bytes)
{
    state.SetComplexityN(board.ItemCount());
    state.SetItemsProcessed(state.iterations() * board.ItemCount());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_BinaryWrite(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    // Texts store their frame corners: bring the bounds up to date first, as saving does.
    for (CSheet* sheet : board.Sheets())
        sheet->GetBoundingRect();
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = WriteBinary(board);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    Report(state, board, size);
}

void BM_BinaryRead(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    for (CSheet* sheet : board.Sheets())
        sheet->GetBoundingRect();
    const std::vector<std::uint8_t> bytes = WriteBinary(board);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<CSheet>> read;
        for (CSheet* sheet : board.Sheets())
            read.push_back(board.EmptyLike(*sheet));
        CArchive ar(CArchive::load, bytes);
        ar.SetDocument(&board);
        state.ResumeTiming();
        for (auto& sheet : read)
            sheet->DataRead(ar, kVersion);
        state.PauseTiming();
        read.clear();
        state.ResumeTiming();
    }
    Report(state, board, bytes.size());
}

void BM_TextWrite(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> text = WriteText(board);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    Report(state, board, size);
}

void BM_TextRead(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    const std::vector<std::uint8_t> text = WriteText(board);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<CSheet>> read;
        for (CSheet* sheet : board.Sheets())
            read.push_back(board.EmptyLike(*sheet));
        CArchive ar(CArchive::load, text);
        ar.SetDocument(&board);
        state.ResumeTiming();
        for (auto& sheet : read)
            sheet->SerializeText(ar);
        state.PauseTiming();
        read.clear();
        state.ResumeTiming();
    }
    Report(state, board, text.size());
}

// Freeing a whole board (its sheets with every item and copper group); nothing is measured on the
// way. A board of its own each time, built outside the timing.
void BM_BoardFree(benchmark::State& state)
{
    long items = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto board = std::make_unique<bench::SyntheticBoard>(static_cast<int>(state.range(0)));
        items = board->ItemCount();
        state.ResumeTiming();
        board.reset();
    }
    state.SetComplexityN(items);
    state.SetItemsProcessed(state.iterations() * items);
}

BENCHMARK(BM_BinaryWrite)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_BinaryRead)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_TextWrite)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_BoardFree)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_TextRead)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_board.reset();
    benchmark::Shutdown();
    return 0;
}
