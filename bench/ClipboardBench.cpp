// Cut, copy and paste of selected tracks through the board view and the system clipboard
// (100,000 tracks times 1, 4 and 16). Each iteration times one command on a fresh selection.

#include "app/BoardInput.h"
#include "app/VELTAView.h"
#include "document/VELTADoc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kTracks = 100000;

struct Scope
{
    Scope()
    {
        platform::SetProfile(&profile);
        platform::SetMessageService(&messages);
    }
    ~Scope()
    {
        platform::SetMessageService(nullptr);
        platform::SetProfile(nullptr);
    }
    platform::MemoryProfile profile;
    platform::RecordingMessages messages;
};

struct ClipboardBoard
{
    explicit ClipboardBoard(int count)
    {
        const auto master = std::filesystem::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf";
        doc.GetSettingFile().SetPath(master.string());
        doc.LoadSettings();
        doc.SetBoardSize(CDSize(1000.0, 1000.0));
        layer = doc.GetWireLayerList().front();
        doc.SelectLayer(layer);
        Fill(count);
        view = std::make_unique<CVELTAView>(&doc);
        view->resize(1000, 800);
        view->OnInitialUpdate();
    }
    void Fill(int count)
    {
        CSheet* sheet = doc.GetBoardSheet(layer);
        for (int i = 0; i < count; ++i) {
            const double x = 5.0 + (i % 400) * 2.4;
            const double y = 5.0 + (i / 400 % 4000) * 0.24;
            sheet->StoreCopy(CLine(CDPoint(x, y), CDPoint(x + 2.0, y), 20, 0));
        }
    }
    void SelectAll()
    {
        view->OnViewCommand(BoardInput::kCancel);
        view->OnViewCommand(BoardInput::kSelectAll);
    }
    Scope scope;
    CVELTADoc doc;
    int layer = 0;
    std::unique_ptr<CVELTAView> view;
};

void BM_Copy(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0)) * kTracks;
    ClipboardBoard board(count);
    for (auto _ : state) {
        state.PauseTiming();
        board.SelectAll();
        state.ResumeTiming();
        board.view->OnViewCommand(CVELTAView::ID_EDIT_COPY);
    }
    state.counters["tracks"] = count;
}

void BM_Cut(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0)) * kTracks;
    ClipboardBoard board(count);
    for (auto _ : state) {
        state.PauseTiming();
        if (board.doc.CountItems(0, 0) == 0)
            board.Fill(count);
        board.SelectAll();
        state.ResumeTiming();
        board.view->OnViewCommand(CVELTAView::ID_EDIT_CUT);
    }
    state.counters["tracks"] = count;
}

void BM_Paste(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0)) * kTracks;
    ClipboardBoard board(count);
    board.SelectAll();
    board.view->OnViewCommand(CVELTAView::ID_EDIT_COPY);
    board.doc.ClearSheets(0, true);
    for (auto _ : state) {
        state.PauseTiming();
        board.view->OnViewCommand(BoardInput::kCancel);
        state.ResumeTiming();
        board.view->OnEditPaste(false, false);
    }
    if (board.doc.CountItems(2, 0) != count)
        state.SkipWithError("the paste did not bring every track");
    state.counters["tracks"] = count;
}

} // namespace

BENCHMARK(BM_Copy)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Cut)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Paste)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::string missing;
    if (!InstallQuarnHooks(&missing))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
