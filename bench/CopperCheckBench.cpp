// The copper clearance check of the synthetic board (see SyntheticBoard.h) at 1, 4 and 16 times
// the base board, run per wiring layer as the design rule check runs it: ids reset, copper groups
// given and gathered, part terminals linked, the check, markers placed. Also the check alone, and
// a variant with an inner plane layer that carries every via. All should grow about as n log n.

#include "bench/SyntheticBoard.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Via.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using bench::SyntheticBoard;

// The synthetic board with a third wiring layer, a plane between the two, on which every via is
// wired. The plane is drawn with the board's outline and a track across it that parts it in two,
// and some tracks and lands that touch nothing.
class PlaneBoard : public SyntheticBoard
{
public:
    static constexpr int kInner = 2, kPlaneW = 3;

    explicit PlaneBoard(int scale) : SyntheticBoard(scale)
    {
        m_plane = std::make_unique<CSheet>(kPlaneW, 0x9, kInner, this);
        m_plane->SetSheetType(SHEET_BOARD);
        CSheet& viaParts = ViaParts();
        CDRect extent;
        extent.SetRectEmpty();
        for (POSITION pos = viaParts.GetFirstViaPos(); pos;) {
            CVia* via = viaParts.GetNextVia(pos);
            via->InvertWire(kPlaneW);
            extent |= CDRect(via->GetPoint(), via->GetPoint());
        }
        extent.InflateRect(2.0);
        const CDPoint c[4] = {CDPoint(extent.left, extent.top), CDPoint(extent.right, extent.top),
                              CDPoint(extent.right, extent.bottom), CDPoint(extent.left, extent.bottom)};
        for (int i = 0; i < 4; ++i)
            m_plane->NewLine(c[i], c[(i + 1) % 4], kWideTrack, 0);
        const double middle = std::round((extent.left + extent.right) / 2.0) + 0.525;
        m_plane->NewLine(CDPoint(middle, extent.top), CDPoint(middle, extent.bottom), kWideTrack, 0);
        const int lone = 200 * scale;
        for (int i = 0; i < lone; ++i) {
            const double x = extent.left + 3.0 + std::fmod(i * 7.3, extent.Width() - 6.0);
            const double y = extent.top + 3.0 + std::fmod(i * 3.1, extent.Height() - 6.0);
            if (i % 2)
                m_plane->NewLand(CDPoint(x, y), kSquarePad);
            else
                m_plane->NewLine(CDPoint(x, y), CDPoint(x + 1.0, y), kTrack, 0);
        }
    }
    CSheet& Plane() { return *m_plane; }

    int GetWireLayerCount() override { return 3; }
    int GetWireLayer(int pos) override { return pos == kPlaneW ? kInner : SyntheticBoard::GetWireLayer(pos); }
    int GetWireLayerPos(int layer, bool withTerm) override
    {
        return layer == kInner ? kPlaneW : SyntheticBoard::GetWireLayerPos(layer, withTerm);
    }
    CSheet* GetBoardSheet(int layer) override
    {
        return layer == kInner ? m_plane.get() : SyntheticBoard::GetBoardSheet(layer);
    }

private:
    std::unique_ptr<CSheet> m_plane;
};

// The rule: 0.2 mm everywhere. The board's tracks lie at random, so the check reports some
// 600,000 violations on the base board and places a marker land at each of their 1.2 million
// points; at 16 times the board those markers alone take gigabytes, so the whole sequence is
// measured at 1 and 4 times, the check itself at 1, 4 and 16 times.
tagDRCSPEC Rule()
{
    tagDRCSPEC rule;
    rule.planeMode = 1;
    rule.holeToHole = rule.plainClearance = rule.netClearance = 0.2;
    rule.holeMargin = rule.partClearance = 0.2;
    return rule;
}

std::vector<CPart*> Parts(SyntheticBoard& board)
{
    std::vector<CPart*> parts;
    for (POSITION pos = board.ViaParts().GetFirstPartPos(); pos;)
        parts.push_back(board.ViaParts().GetNextPart(pos));
    return parts;
}

// Connectivity of one layer as the check builds it.
void Connect(CSheet& sheet, const std::vector<CPart*>& parts, std::vector<std::uint32_t>& groups)
{
    sheet.ResetNetID();
    sheet.MakeGroup();
    sheet.CorrectID2NetLine();
    for (CPart* part : parts) {
        if (sheet.IsNega())
            sheet.SetTerNetIDNega(part, &groups);
        else
            sheet.SetTerNetID(part, &groups);
    }
}

// The whole check of the layers; the number of violations.
long CheckLayers(SyntheticBoard& board, const std::vector<CSheet*>& layers, CSheet& marks)
{
    board.ViaParts().ResetNetID();
    const std::vector<CPart*> parts = Parts(board);
    std::vector<std::uint32_t> groups;
    long found = 0;
    for (CSheet* sheet : layers) {
        Connect(*sheet, parts, groups);
        tagDRCSPEC rule = Rule();
        sheet->DRC_ShortCheck(&rule, &groups);
        marks.SetMark(&rule, SyntheticBoard::kTrack);
        found += static_cast<long>(rule.errorPoints.size() / 4);
    }
    return found;
}

void RunCheck(benchmark::State& state, SyntheticBoard& board, const std::vector<CSheet*>& layers)
{
    CSheet marks;
    long found = CheckLayers(board, layers, marks);
    for (auto _ : state) {
        state.PauseTiming();
        marks.DeleteContents();
        state.ResumeTiming();
        found = CheckLayers(board, layers, marks);
    }
    state.counters["errors"] = static_cast<double>(found);
    state.SetComplexityN(board.ItemCount());
}

void BM_CopperCheck(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    RunCheck(state, board, {&board.Layer(SyntheticBoard::kTop), &board.Layer(SyntheticBoard::kBottom)});
}
BENCHMARK(BM_CopperCheck)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

void BM_CopperCheckWithPlane(benchmark::State& state)
{
    PlaneBoard board(static_cast<int>(state.range(0)));
    RunCheck(state, board,
             {&board.Layer(SyntheticBoard::kTop), &board.Plane(), &board.Layer(SyntheticBoard::kBottom)});
    CSheet& plane = board.Plane();
    state.counters["regions"] = plane.GetNetLineCount();
}
BENCHMARK(BM_CopperCheckWithPlane)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

// DRC_ShortCheck alone on both layers of the connected board.
void BM_ShortCheckOnly(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    board.ViaParts().ResetNetID();
    const std::vector<CPart*> parts = Parts(board);
    std::vector<std::uint32_t> groups;
    for (int layer : {SyntheticBoard::kTop, SyntheticBoard::kBottom})
        Connect(board.Layer(layer), parts, groups);
    long found = 0;
    for (auto _ : state) {
        found = 0;
        for (int layer : {SyntheticBoard::kTop, SyntheticBoard::kBottom}) {
            tagDRCSPEC rule = Rule();
            board.Layer(layer).DRC_ShortCheck(&rule, &groups);
            found += static_cast<long>(rule.errorPoints.size() / 4);
        }
    }
    state.counters["errors"] = static_cast<double>(found);
    state.SetComplexityN(board.ItemCount());
}
BENCHMARK(BM_ShortCheckOnly)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

} // namespace

BENCHMARK_MAIN();
