// The input work of one mouse move on the board view, without painting: a selection of 10,000
// tracks (times 1, 4 and 16) carried rigidly, and a floating line of line input following the
// cursor. The view behind the input machine is a stand-in that only counts repaint requests.

#include "app/BoardInput.h"
#include "document/VELTADoc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "platform/Profile.h"
#include "tests/support/FakeViewPort.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The profile is in place before the document reads it.
struct ProfileScope
{
    ProfileScope() { platform::SetProfile(&profile); }
    ~ProfileScope() { platform::SetProfile(nullptr); }
    platform::MemoryProfile profile;
};

struct Board
{
    Board()
    {
        const auto master = std::filesystem::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf";
        doc.GetSettingFile().SetPath(master.string());
        doc.LoadSettings();
        doc.SetBoardSize(CDSize(400.0, 300.0));
        tagGRID grid;
        grid.xPitch = grid.yPitch = 0.1;
        doc.SetGrid(0, grid);
        doc.SetCurrentGrid(0);
    }
    ProfileScope scope;
    CVELTADoc doc;
};

void BM_RigidMove(benchmark::State& state)
{
    Board board;
    const int count = static_cast<int>(state.range(0));
    const int layer = board.doc.GetWireLayerList().front();
    board.doc.SelectLayer(layer);
    CSheet* sheet = board.doc.GetBoardSheet(layer);
    for (int i = 0; i < count; ++i) {
        const double x = 5.0 + (i % 200) * 1.9;
        const double y = 5.0 + (i / 200 % 280) * 1.0;
        sheet->StoreCopy(CLine(CDPoint(x, y), CDPoint(x + 1.5, y), 20, 0));
    }
    FakeViewPort port;
    BoardInput input(&board.doc, port);
    input.OnSelectAll();
    input.OnLButtonDown(BoardInput::MK_LBUTTON, CPoint(1000, 1000));
    input.OnLButtonUp(0, CPoint(1000, 1000));
    if (input.m_nCommand != BoardInput::kMoving || input.m_bTrackRect != 1) {
        state.SkipWithError("the selection does not move rigidly");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        ++step;
        input.OnMouseMove(0, CPoint(1000 + (step & 1) * 10, 1000));
    }
    state.counters["items"] = count;
    state.counters["repaints/move"] =
        static_cast<double>(port.repaints) / static_cast<double>(state.iterations());
}

void BM_FloatingLine(benchmark::State& state)
{
    Board board;
    const int count = static_cast<int>(state.range(0));
    const int layer = board.doc.GetWireLayerList().front();
    board.doc.SelectLayer(layer);
    CSheet* sheet = board.doc.GetBoardSheet(layer);
    for (int i = 0; i < count; ++i) {
        const double x = 5.0 + (i % 200) * 1.9;
        const double y = 5.0 + (i / 200 % 280) * 1.0;
        sheet->StoreCopy(CLine(CDPoint(x, y), CDPoint(x + 1.5, y), 20, 0));
    }
    FakeViewPort port;
    BoardInput input(&board.doc, port);
    input.OnInputCommand(BoardInput::kLine);
    input.OnLButtonDown(BoardInput::MK_LBUTTON, CPoint(1005, 1005));
    input.OnLButtonUp(0, CPoint(1005, 1005));
    int step = 0;
    for (auto _ : state) {
        ++step;
        input.OnMouseMove(0, CPoint(1500 + (step & 7) * 10, 1200 + (step & 3) * 10));
    }
    state.counters["repaints/move"] =
        static_cast<double>(port.repaints) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_RigidMove)->Arg(10000)->Arg(40000)->Arg(160000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloatingLine)->Arg(10000)->Arg(40000)->Arg(160000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // The document copies items through the model's registered kinds.
    std::string missing;
    if (!InstallQuarnHooks(&missing))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
