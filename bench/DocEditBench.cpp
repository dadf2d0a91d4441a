// Editing a whole synthetic board through the document: one rectangle that selects everything and
// the same rectangle toggling it back, undo and redo of moving everything, and the item snap under
// the cursor. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>

namespace {

// A document holding the synthetic board: its two wiring layers, the part layers and the vias
// and parts, every layer used shown and enabled.
struct DocBoard
{
    explicit DocBoard(int scale) : board(scale)
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        doc = std::make_unique<CVELTADoc>();
        using B = bench::SyntheticBoard;
        for (int layer :
             {B::kTop, B::kBottom, B::kSilkA, B::kSilkB, B::kHoleA, B::kHoleB, B::kTermA, B::kTermB})
            for (int set : {0, 2, 5}) {
                tagLAYER* record = doc->GetSetSheet(set, layer)->GetLayerPoint();
                record->display = record->enable = 1;
            }
        bench::MoveIntoDocument(board, *doc);
        doc->BuildLayerLists();
        doc->FillLayerCombo(false);
        doc->SetHitTolerance(0.5);
        extent = doc->GetItemsRect(0);
        extent.InflateRect(1.0);
    }

    bench::SyntheticBoard board;
    std::unique_ptr<CVELTADoc> doc;
    CDRect extent;
};

void BM_SelectAllByRectAndBack(benchmark::State& state)
{
    DocBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        b.doc->SelectInRect(b.extent);
        b.doc->SelectInRect(b.extent);
    }
    state.counters["items"] = static_cast<double>(b.doc->CountItems(0, 0));
}
BENCHMARK(BM_SelectAllByRectAndBack)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_UndoRedoMoveAll(benchmark::State& state)
{
    DocBoard b(static_cast<int>(state.range(0)));
    CVELTADoc& doc = *b.doc;
    doc.SelectInRect(b.extent);
    doc.OffsetSelection(CDPoint(1.27, 0.0), 1, true);
    doc.StoreUndo(5, 3);
    doc.StoreUndo(2, 5);
    doc.MoveAllSheets(2, 0);
    doc.ClearSheets(5, true);
    for (auto _ : state) {
        doc.OnEditUndo();
        doc.OnEditRedo();
    }
    state.counters["items"] = static_cast<double>(doc.CountItems(0, 0));
}
BENCHMARK(BM_UndoRedoMoveAll)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SnapToItem(benchmark::State& state)
{
    DocBoard b(static_cast<int>(state.range(0)));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(b.extent.left, b.extent.right);
    std::uniform_real_distribution<double> y(b.extent.top, b.extent.bottom);
    // The first snap after a change builds the sheets' indexes; mouse moves reuse them.
    const auto before = std::chrono::steady_clock::now();
    CDPoint first(x(random), y(random));
    b.doc->SnapToItem(first);
    state.counters["first_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
    long found = 0;
    for (auto _ : state) {
        CDPoint p(x(random), y(random));
        found += b.doc->SnapToItem(p) ? 1 : 0;
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_SnapToItem)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// The item tip and the via placement test under the moving cursor (the sheets' indexes built by a
// first call): query answers true or false at a random point of the board.
template <class Query>
void CursorQuery(benchmark::State& state, unsigned seed, const char* counter, Query query)
{
    DocBoard b(static_cast<int>(state.range(0)));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> x(b.extent.left, b.extent.right);
    std::uniform_real_distribution<double> y(b.extent.top, b.extent.bottom);
    query(*b.doc, CDPoint(x(random), y(random)));
    long yes = 0;
    for (auto _ : state)
        yes += query(*b.doc, CDPoint(x(random), y(random))) ? 1 : 0;
    state.counters[counter] = static_cast<double>(yes);
}

void BM_ItemTipText(benchmark::State& state)
{
    std::string tip;
    CursorQuery(state, 11, "found", [&tip](CVELTADoc& doc, CDPoint p) { return doc.GetItemTipText(p, tip); });
}
BENCHMARK(BM_ItemTipText)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_CanPlaceVia(benchmark::State& state)
{
    CursorQuery(state, 13, "placeable", [](CVELTADoc& doc, CDPoint p) { return doc.CanPlaceVia(p, true); });
}
BENCHMARK(BM_CanPlaceVia)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// A cutter trim where a short path crosses the middle of the board, and exploding one placed
// part with its undo: single commands as the user runs them.
void BM_CutterTrim(benchmark::State& state)
{
    DocBoard b(static_cast<int>(state.range(0)));
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    const CDPoint middle((b.extent.left + b.extent.right) / 2, (b.extent.top + b.extent.bottom) / 2);
    b.doc->SetCurrentLayer(bench::SyntheticBoard::kTop);
    for (auto _ : state) {
        b.doc->GetBoardSheet(LAYER_MAX)->NewLine(middle, CDPoint(middle.x + 2.0, middle.y + 2.0), 0, 0);
        b.doc->OnCutterEdit(32968);
    }
    platform::SetMessageService(nullptr);
}
BENCHMARK(BM_CutterTrim)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExplodePart(benchmark::State& state)
{
    DocBoard b(static_cast<int>(state.range(0)));
    platform::RecordingMessages messages;
    messages.SetDefaultAnswer(IDYES);
    platform::SetMessageService(&messages);
    for (auto _ : state) {
        b.doc->SelectItem(b.doc->GetBoardSheet(LAYER_MAX)->GetHeadPart(), LAYER_MAX);
        b.doc->OnExplodePart();
        b.doc->OnEditUndo();
    }
    platform::SetMessageService(nullptr);
}
BENCHMARK(BM_ExplodePart)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
