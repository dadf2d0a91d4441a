// The copper clearance check of the synthetic board (see SyntheticBoard.h) at 1, 4 and 16 times
// the base board, run per wiring layer as the design rule check runs it: ids reset, copper groups
// given and gathered, part terminals linked, the check, markers placed. Also the check alone, and
// a variant with an inner plane layer that carries every via. All should grow about as n log n.

#include "bench/SyntheticBoard.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "model/sheet/TerminalLinks.h"

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
// points; at 16 times the board those markers take some 4 GB. With the plane the violations
// grow faster than the board (7.5 times from the base board to 4 times it), so that variant
// stops at 4 times.
tagDRCSPEC Rule()
{
    tagDRCSPEC rule;
    rule.planeMode = 1;
    rule.holeToHole = rule.plainClearance = rule.netClearance = 0.2;
    rule.holeMargin = rule.partClearance = 0.2;
    return rule;
}

// Hashes of the base board's error points (both wiring layers; with the plane between them).
constexpr std::uint32_t kPinnedBoth = 2061055360u, kPinnedPlane = 1100472016u;

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
    LinkPartTerminals(sheet, parts, &groups);
}

// What a check found: the violations and a hash of their error points in order, which must not
// change when the check is made faster.
struct Found
{
    long errors = 0;
    std::uint32_t hash = 2166136261u;

    void Add(const tagDRCSPEC& rule)
    {
        errors += static_cast<long>(rule.errorPoints.size() / 4);
        hash = bench::Fnv1a(rule.errorPoints.data(), rule.errorPoints.size() * sizeof(std::uint32_t), hash);
    }
};

// The whole check of the layers.
Found CheckLayers(SyntheticBoard& board, const std::vector<CSheet*>& layers, CSheet& marks,
                  const tagDRCSPEC& base)
{
    board.ViaParts().ResetNetID();
    const std::vector<CPart*> parts = Parts(board);
    std::vector<std::uint32_t> groups;
    Found found;
    for (CSheet* sheet : layers) {
        Connect(*sheet, parts, groups);
        tagDRCSPEC rule = base;
        sheet->DRC_ShortCheck(&rule, &groups);
        marks.SetMark(&rule, SyntheticBoard::kTrack);
        found.Add(rule);
    }
    return found;
}

// The error points of the base board as the check found them before it was made faster, by rule
// and layers: a run that finds others stops with an error.
void Pin(benchmark::State& state, const Found& found, std::uint32_t pinned)
{
    state.counters["errors"] = static_cast<double>(found.errors);
    state.counters["hash"] = static_cast<double>(found.hash);
    if (state.range(0) == 1 && pinned != 0 && found.hash != pinned)
        state.SkipWithError("the error points differ from the pinned ones");
}

void RunCheck(benchmark::State& state, SyntheticBoard& board, const std::vector<CSheet*>& layers,
              const tagDRCSPEC& rule, std::uint32_t pinned)
{
    CSheet marks;
    Found found = CheckLayers(board, layers, marks, rule);
    for (auto _ : state) {
        state.PauseTiming();
        marks.DeleteContents();
        state.ResumeTiming();
        found = CheckLayers(board, layers, marks, rule);
    }
    state.counters["marks"] = marks.GetCount(ID_INPUT_LAND);
    Pin(state, found, pinned);
    state.SetComplexityN(board.ItemCount());
}

void BM_CopperCheck(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    RunCheck(state, board, {&board.Layer(SyntheticBoard::kTop), &board.Layer(SyntheticBoard::kBottom)},
             Rule(), kPinnedBoth);
}
BENCHMARK(BM_CopperCheck)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

// The synthetic board leaves its parts' terminals without ids, so that each terminal's group is
// every pad and drill of its part, and each part is reported eight times over against the tracks
// near it: most of the 600,000 violations. This variant gives the terminals their ids first, as a
// part placed in the editor has them, so that the check runs with a real board's counts.
void NumberTerminals(SyntheticBoard& board)
{
    for (CPart* part : Parts(board)) {
        part->ReCalcTerID(&board);
        part->CalcNetBoundRect(&board);
    }
}

void BM_CopperCheckNumberedTerminals(benchmark::State& state)
{
    SyntheticBoard board(static_cast<int>(state.range(0)));
    NumberTerminals(board);
    RunCheck(state, board, {&board.Layer(SyntheticBoard::kTop), &board.Layer(SyntheticBoard::kBottom)},
             Rule(), 0);
}
BENCHMARK(BM_CopperCheckNumberedTerminals)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

void BM_CopperCheckWithPlane(benchmark::State& state)
{
    PlaneBoard board(static_cast<int>(state.range(0)));
    RunCheck(state, board,
             {&board.Layer(SyntheticBoard::kTop), &board.Plane(), &board.Layer(SyntheticBoard::kBottom)},
             Rule(), kPinnedPlane);
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
    Found found;
    for (auto _ : state) {
        found = Found();
        for (int layer : {SyntheticBoard::kTop, SyntheticBoard::kBottom}) {
            tagDRCSPEC rule = Rule();
            board.Layer(layer).DRC_ShortCheck(&rule, &groups);
            found.Add(rule);
        }
    }
    Pin(state, found, kPinnedBoth);
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
