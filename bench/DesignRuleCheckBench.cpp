// The whole design rule check on the synthetic board through the document: connectivity from
// scratch, connectivity nets, the reports, copper clearance on both wiring layers, part clearance
// on both sides, marks. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// Answers the check's dialog with the defaults and every report; nothing else is shown.
class CheckHost : public DocumentHost
{
public:
    void UpdateAllViews(int, const CDRect*, CItemBase*) override {}
    std::optional<PrinterPage> GetDefaultPrinterPage(bool, int) override { return std::nullopt; }
    bool RunDrcDialog(DrcChoice& choice, CVELTADoc&) override
    {
        choice.copperMode = 1;
        choice.layers.fill(1);
        choice.componentSide = choice.solderSide = 1;
        choice.reverseNet = choice.reverseIndex = choice.pinCount = 1;
        choice.netFormat = 9;
        choice.viewFiles = 0;
        return true;
    }
};

struct CheckBoard
{
    explicit CheckBoard(int scale) : board(scale)
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        doc = std::make_unique<CVELTADoc>();
        using B = bench::SyntheticBoard;
        bench::MoveIntoDocument(board, *doc);
        for (int index : {PL_DIPOUTLINE, PL_SMDOUTLINE}) {
            tagPARTLAYER& outline = doc->GetLayerStack().partLayers[static_cast<std::size_t>(index)];
            outline.layerA = B::kSilkA;
            outline.layerB = B::kSilkB;
        }
        doc->GetBoardSheet(B::kTop)->SetWLayer(1);
        doc->GetBoardSheet(B::kBottom)->SetWLayer(2);
        doc->Turret(10).size1 = 0.5;
        doc->Turret(15).size1 = 0.8;
        doc->BuildLayerLists();
        folder = std::filesystem::temp_directory_path() / ("velta_drc_bench_" + std::to_string(scale));
        std::filesystem::create_directories(folder);
        doc->SetPathName((folder / "board.vbd").string());
        doc->SetHost(&host);
    }
    ~CheckBoard()
    {
        doc.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    bench::SyntheticBoard board;
    CheckHost host;
    std::unique_ptr<CVELTADoc> doc;
    std::filesystem::path folder;
};

void BM_DesignRuleCheck(benchmark::State& state)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    CheckBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state)
        b.doc->OnDesignRuleCheck();
    state.counters["marks"] = static_cast<double>(b.doc->GetBoardSheet(114)->GetItemCount());
    if (messages.Count() > 0)
        state.SetLabel(messages.Last().text.substr(0, messages.Last().text.find('\n')));
    platform::SetMessageService(nullptr);
}
BENCHMARK(BM_DesignRuleCheck)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
