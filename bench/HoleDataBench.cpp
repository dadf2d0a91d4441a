// The hole list and the hole chart on the synthetic board (at scale 1 about 20,000 via holes and
// the parts' holes): the gathering with its plating test and sort, the tool table, and the chart's
// clearance check; and the drill side of the CAM output. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "cam/CamOutput.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using B = bench::SyntheticBoard;

// Answers every question with its default button and shows nothing.
class SilentMessages : public platform::MessageService
{
public:
    int Show(const std::string&, const std::string&, unsigned type) override
    {
        return platform::DefaultMessageAnswer(type);
    }
};

struct HoleBoard
{
    explicit HoleBoard(int scale) : board(scale)
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        platform::SetMessageService(&messages);
        doc = std::make_unique<CVELTADoc>();
        doc->GetBoardSheet(B::kTop)->SetWLayer(1);
        doc->GetBoardSheet(B::kBottom)->SetWLayer(2);
        doc->GetBoardSheet(B::kHoleA)->ModifyType(0x10000, 0);
        bench::MoveIntoDocument(board, *doc);
        // The footprints are placed, so their drills are gathered and tested for plating too.
        CSheet* viaParts = doc->GetBoardSheet(LAYER_MAX);
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;)
            viaParts->GetNextPart(pos)->ModifyType(PART_PLACED, PART_PLACED);
        doc->BuildLayerLists();
        doc->BuildPartList(true);
        flags.fill(0);
        flags[B::kHoleA] = 1;
    }
    ~HoleBoard() { platform::SetMessageService(nullptr); }

    // The holes the chart gets, unsorted: the vias' and the placed parts'.
    void CopyHoles(CSheet& out)
    {
        CSheet* viaParts = doc->GetBoardSheet(LAYER_MAX);
        for (POSITION pos = viaParts->GetFirstViaPos(); pos;)
            out.NewHole(viaParts->GetNextVia(pos)->GetHole());
        for (CPart* part : doc->GetPartList())
            for (POSITION pos = part->GetFirstHolePos(); pos;)
                out.NewHole(*part->GetNextHole(pos));
    }

    bench::SyntheticBoard board;
    SilentMessages messages;
    std::unique_ptr<CVELTADoc> doc;
    std::array<int, LAYER_MAX> flags{};
};

// Gathering, plating and the sort of the gathered holes.
void BM_MakeHoleList(benchmark::State& state)
{
    HoleBoard b(static_cast<int>(state.range(0)));
    int holes = 0;
    for (auto _ : state) {
        CSheet out(SHEET_WORK);
        holes = b.doc->MakeHoleList(b.flags.data(), &out, 240);
    }
    state.counters["holes"] = holes;
}
BENCHMARK(BM_MakeHoleList)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

// The sheet's sort alone on the same holes, unsorted: what of the gathering is the sort's.
void BM_SortHoleOnly(benchmark::State& state)
{
    HoleBoard b(static_cast<int>(state.range(0)));
    CSheet holes(SHEET_WORK);
    for (auto _ : state) {
        state.PauseTiming();
        holes.DeleteContents();
        b.CopyHoles(holes);
        state.ResumeTiming();
        holes.SortHole();
    }
}
BENCHMARK(BM_SortHoleOnly)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

// The chart's symbols and clearance check on the gathered holes.
void BM_HoleChartCheck(benchmark::State& state)
{
    HoleBoard b(static_cast<int>(state.range(0)));
    CSheet holes(SHEET_WORK);
    b.CopyHoles(holes);
    tagHOLEDATA data;
    data.codeLayer = 40;
    data.code = {1.0, 0.5, 0.5, 0.0};
    data.tableLayer = -1;
    data.error = true;
    data.errorText = "ERR";
    data.errorValue = 0.3;
    for (auto _ : state)
        b.doc->RunHoleChart(data, holes);
    state.counters["holes"] = holes.GetKindCount(KIND_HOLE);
    state.counters["marks"] = b.doc->GetBoardSheet(40)->GetItemCount();
}
BENCHMARK(BM_HoleChartCheck)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

// The drill side of the CAM output: the drill file of the hole layer with its two drill lists and
// its report.
void BM_DrillOutput(benchmark::State& state)
{
    HoleBoard b(static_cast<int>(state.range(0)));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velta-drill-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    b.doc->SetPathName(folder.string() + "/board.vbd");
    CamOutChoice choice;
    choice.boardFolder = folder.string();
    tagGERBAR g;
    g.absolute = 1;
    g.metric = 1;
    g.scale = 1.0;
    g.endOfBlock = '\n';
    g.endCode = "M02";
    g.toolDigits = 2;
    choice.records = {tagGERBAR{}, g};
    choice.settings.drill.number = 3;
    choice.settings.drill.outputs = {"1:drill:board.drl:" + std::to_string(B::kHoleA + 1)};
    choice.settings.drillYes1 = true;
    choice.settings.drillText1 = "hst";
    choice.settings.drillYes2 = true;
    choice.settings.drillText2 = "hst";
    for (auto _ : state)
        OutputCamData(*b.doc, 1, choice);
    state.counters["drill_bytes"] = static_cast<double>(std::filesystem::file_size(folder / "board.drl"));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_DrillOutput)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
