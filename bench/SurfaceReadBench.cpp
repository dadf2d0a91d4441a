// Reading a layer that holds one square surface, through the board file's binary record (form 0)
// and through the item text form (form 1): a board-sized pour (200 mm and larger, filled) against
// a record of a few hundred bytes whose square spans 10^6 mm at the finest pitch, which is kept
// without fill.

#include "bench/SyntheticBoard.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Turret 1 is 0.05 wide (the finest pitch, 0.05), turret 2 is 0.2 wide (pitch 0.18).
bench::TrackFrame Frame()
{
    return bench::TrackFrame({0.05, 0.2}, 0);
}

std::unique_ptr<CSheet> BoardSheet()
{
    auto sheet = std::make_unique<CSheet>(1, 0x3, 0, nullptr);
    sheet->SetSheetType(SHEET_BOARD);
    return sheet;
}

CSur Square(double side, int turret)
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(0, 0), CDPoint(side, 0), CDPoint(side, side), CDPoint(0, side)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], turret, 0));
    sur.SetTurretNo(turret, true);
    return sur;
}

// The layer's binary record (form 0) or item text (form 1).
std::vector<std::uint8_t> Stored(double side, int turret, int form)
{
    std::unique_ptr<CSheet> sheet = BoardSheet();
    sheet->NewSur(Square(side, turret));
    CArchive ar(CArchive::store);
    if (form == 0)
        sheet->DataWrite(ar, 6);
    else
        sheet->SerializeText(ar);
    return ar.Data();
}

void Read(benchmark::State& state, double side, int turret)
{
    const bench::TrackFrame frame = Frame();
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    const int form = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t> bytes = Stored(side, turret, form);
    long fillLines = 0;
    for (auto _ : state) {
        std::unique_ptr<CSheet> sheet = BoardSheet();
        CArchive ar(CArchive::load, bytes);
        if (form == 0)
            sheet->DataRead(ar, 6);
        else
            sheet->SerializeText(ar);
        fillLines = sheet->GetHeadSur()->GetSurLineCount();
        benchmark::DoNotOptimize(fillLines);
    }
    platform::SetMessageService(nullptr);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["fill_lines"] = static_cast<double>(fillLines);
}

// The pour at 1x, 4x and 16x its area (a side of 200, 400 and 800 mm).
void BM_SurfaceReadPour(benchmark::State& state)
{
    Read(state, 200.0 * std::sqrt(static_cast<double>(state.range(1))), 2);
}
BENCHMARK(BM_SurfaceReadPour)
    ->ArgsProduct({{0, 1}, {1, 4, 16}})
    ->ArgNames({"form", "scale"})
    ->Unit(benchmark::kMillisecond);

void BM_SurfaceReadHugeSquare(benchmark::State& state)
{
    Read(state, 1.0e6, 1);
}
BENCHMARK(BM_SurfaceReadHugeSquare)->Arg(0)->Arg(1)->ArgName("form")->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
