// CAM output of the synthetic board (at scale 1: 100,000 tracks, 20,000 vias, 500 parts on two
// copper layers): the photo files of both copper layers and the drill file, with the list files,
// the drill lists and the reports. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "cam/CamOutput.h"
#include "document/CamOutChoice.h"
#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

using B = bench::SyntheticBoard;

class SilentMessages : public platform::MessageService
{
public:
    int Show(const std::string&, const std::string&, unsigned type) override
    {
        return platform::DefaultMessageAnswer(type);
    }
};

tagGERBAR Record(bool photo)
{
    tagGERBAR g;
    g.absolute = 1;
    g.metric = 1;
    g.scale = 1.0;
    g.endOfBlock = photo ? '*' : '\n';
    g.photo = photo ? 1 : 0;
    g.extended = photo ? 1 : 0;
    SetStandardCamCodes(g);
    g.apertureCode = "G54D";
    g.endCode = "M02";
    g.toolDigits = 2;
    return g;
}

struct CamBoard
{
    CamBoard(int scale, bool placed = false) : board(scale)
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        platform::SetMessageService(&messages);
        folder = std::filesystem::temp_directory_path() / ("velta-cam-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        doc = std::make_unique<CVELTADoc>();
        doc->GetBoardSheet(B::kTop)->SetWLayer(1);
        doc->GetBoardSheet(B::kBottom)->SetWLayer(2);
        doc->GetBoardSheet(B::kHoleA)->ModifyType(0x10000, 0);
        bench::MoveIntoDocument(board, *doc);
        if (placed) {
            CSheet* viaParts = doc->GetBoardSheet(LAYER_MAX);
            for (POSITION pos = viaParts->GetFirstPartPos(); pos;)
                viaParts->GetNextPart(pos)->ModifyType(PART_PLACED, PART_PLACED);
        }
        doc->BuildLayerLists();
        doc->BuildPartList(true);
        doc->SetPathName(folder.string() + "/board.vbd");

        choice.boardFolder = folder.string();
        choice.records = {Record(true), Record(false)};
        choice.settings.photo.number = 3;
        choice.settings.drill.number = 3;
        choice.settings.photo.outputs = {"1:top:top.gbr:1", "1:bottom:bottom.gbr:2"};
        choice.settings.drill.outputs = {"1:drill:board.drl:" + std::to_string(B::kHoleA + 1)};
        choice.settings.drillYes1 = true;
        choice.settings.drillText1 = "hst";
        choice.settings.drillYes2 = true;
        choice.settings.drillText2 = "hst";
    }
    ~CamBoard()
    {
        platform::SetMessageService(nullptr);
        std::filesystem::remove_all(folder);
    }

    bench::SyntheticBoard board;
    SilentMessages messages;
    std::filesystem::path folder;
    std::unique_ptr<CVELTADoc> doc;
    CamOutChoice choice;
};

void BM_CamOutput(benchmark::State& state)
{
    CamBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        OutputCamData(*b.doc, 0, b.choice);
        OutputCamData(*b.doc, 1, b.choice);
    }
    state.counters["photo_bytes"] = static_cast<double>(std::filesystem::file_size(b.folder / "top.gbr") +
                                                        std::filesystem::file_size(b.folder / "bottom.gbr"));
    state.counters["drill_bytes"] = static_cast<double>(std::filesystem::file_size(b.folder / "board.drl"));
}
BENCHMARK(BM_CamOutput)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same with the parts placed: their copper and names go onto the photo files and their
// drills, tested for plating, into the drill file.
void BM_CamOutputPlaced(benchmark::State& state)
{
    CamBoard b(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        OutputCamData(*b.doc, 0, b.choice);
        OutputCamData(*b.doc, 1, b.choice);
    }
    state.counters["drill_bytes"] = static_cast<double>(std::filesystem::file_size(b.folder / "board.drl"));
}
BENCHMARK(BM_CamOutputPlaced)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CamPhotoOnly(benchmark::State& state)
{
    CamBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state)
        OutputCamData(*b.doc, 0, b.choice);
}
BENCHMARK(BM_CamPhotoOnly)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
