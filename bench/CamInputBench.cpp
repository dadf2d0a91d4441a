// CAM data input of a photo-plot file of one copper layer of the synthetic board: the input
// command end to end on a board document (the file read from disk into a work sheet, moved by the
// user origin, recorded for undo and added to the layer).

#include "bench/SyntheticBoard.h"
#include "document/CamInChoice.h"
#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "tests/support/GerberOutput.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

class ChoiceHost : public DocumentHost
{
public:
    void UpdateAllViews(int, const CDRect*, CItemBase*) override {}
    std::optional<PrinterPage> GetDefaultPrinterPage(bool, int) override { return std::nullopt; }
    bool RunCamInDialog(CamInChoice& answer) override
    {
        answer = choice;
        return true;
    }
    CamInChoice choice;
};

void BM_CamInput(benchmark::State& state)
{
    // The layer's photo-plot file behind a header of its own.
    std::filesystem::path file;
    {
        bench::SyntheticBoard board(static_cast<int>(state.range(0)));
        testing_support::GerberOutput out;
        out.g.photo = 1;
        out.ar.WriteString("%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.2*%\r\nG75*\r\nG01*\r\n");
        board.Layer(bench::SyntheticBoard::kTop).SerializeGerbar(out.ar, out.g);
        out.ar.WriteString("M02*\r\n");
        file = std::filesystem::temp_directory_path() /
               ("velta-bench-camin-" + std::to_string(::getpid()) + ".gbr");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.ar.Data().data()),
                   static_cast<std::streamsize>(out.ar.Data().size()));
    }
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    ChoiceHost host;
    host.choice.layer = 5;
    host.choice.dataFile = file.string();
    host.choice.extended = true;
    int items = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CVELTADoc>();
        doc->SetHost(&host);
        state.ResumeTiming();
        doc->OnCamDataInput();
        state.PauseTiming();
        items = doc->GetBoardSheet(5)->GetItemCount();
        doc.reset();
        state.ResumeTiming();
    }
    platform::SetMessageService(nullptr);
    platform::SetProfile(nullptr);
    std::filesystem::remove(file);
    state.counters["items"] = items;
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_CamInput)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK_MAIN();
