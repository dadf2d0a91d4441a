// The hole list and the hole chart on the synthetic board (at scale 1 about 20,000 via holes and
// the parts' holes): the gathering with its plating test and sort, the tool table, and the chart's
// clearance check. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <array>
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

// Gathering, plating and the sort of the gathered holes (the sort is the sheet's own selection
// sort, kept as it is, so this grows with the square of the holes).
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
BENCHMARK(BM_MakeHoleList)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1);

// The sheet's sort alone on the same holes, unsorted: what of the gathering is the sort's.
void BM_SortHoleOnly(benchmark::State& state)
{
    HoleBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CSheet holes(SHEET_WORK);
        b.CopyHoles(holes);
        state.ResumeTiming();
        holes.SortHole();
    }
}
BENCHMARK(BM_SortHoleOnly)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1);

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

} // namespace

BENCHMARK_MAIN();
