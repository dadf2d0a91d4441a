// Surface fill and outline housekeeping: the hatch pitch and scan lines, windows, negative
// surfaces, vertex shifts, turned surfaces, end snapping, clean-up, chaining and region numbering.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <set>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

enum Turrets
{
    T_FINE = 1,   // width 0.05: pitch 0.05
    T_NARROW = 2, // width 0.2: pitch 0.18
    T_WIDE = 3    // width 1.0: pitch 0.9
};

class SurFillTest : public ::testing::Test
{
protected:
    SurFillTest() : frame(&doc)
    {
        doc.turretTable[T_FINE] = tagTURRET{TURRET_ROUND, 0.05, 0.0};
        doc.turretTable[T_NARROW] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[T_WIDE] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

std::vector<CDPoint> Square(double x0, double y0, double x1, double y1)
{
    return {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
}

// Adds a closed polygon of lines to the surface (or to a window of it).
void AddPolygon(CSur& sur, const std::vector<CDPoint>& pts, int turret)
{
    for (std::size_t i = 0; i < pts.size(); ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % pts.size()], turret, 0));
}

CSur Polygon(const std::vector<CDPoint>& pts, int turret)
{
    CSur sur;
    AddPolygon(sur, pts, turret);
    sur.SetTurretNo(turret);
    return sur;
}

std::vector<CLine*> FillLines(CSur& sur)
{
    std::vector<CLine*> out;
    for (POSITION pos = sur.GetFirstSurLinePos(); pos;)
        out.push_back(sur.GetNextSurLine(pos));
    return out;
}

// Fill lines per scan height, in scan order.
std::map<double, std::vector<CLine*>> Rows(CSur& sur)
{
    std::map<double, std::vector<CLine*>> rows;
    for (CLine* line : FillLines(sur))
        rows[line->GetStartPoint().y].push_back(line);
    return rows;
}

TEST(SurFillPitchTest, PitchFollowsTheTurretWidth)
{
    const struct
    {
        double width, pitch;
    } cases[] = {{0.05, 0.05}, {0.1, 0.08}, {0.15, 0.13}, {0.2, 0.18}, {5.0, 4.5}, {6.0, 5.5}, {0.0, 0.05}};
    for (const auto& c : cases)
        EXPECT_NEAR(CSur::FillPitch(c.width), c.pitch, 1e-12) << c.width;
}

TEST_F(SurFillTest, ScanLinesRunFromOnePitchInsideTheBoundsToHalfAPitchShortOfTheEnd)
{
    // Width 1.0: the bounds run from 0 to 10 and the pitch is 0.9.
    CSur sur = Polygon(Square(0.5, 0.5, 9.5, 9.5), T_WIDE);
    sur.SetTurretNo(T_WIDE, true);
    const auto lines = FillLines(sur);
    ASSERT_EQ(lines.size(), 10u); // 0.9, 1.8, ..., 9.0; 9.9 is not below 10 - 0.45
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i]->GetStartPoint().y, 0.9 * static_cast<double>(i + 1), 1e-9);
        EXPECT_DOUBLE_EQ(lines[i]->GetStartPoint().x, 0.5);
        EXPECT_DOUBLE_EQ(lines[i]->GetEndPoint().x, 9.5);
        EXPECT_EQ(lines[i]->GetID(), i); // the scan line number
        EXPECT_EQ(lines[i]->GetTurretNo(), T_WIDE);
        EXPECT_EQ(lines[i]->GetType(), 0);
        EXPECT_EQ(lines[i]->GetParent(), &sur);
    }
}

TEST_F(SurFillTest, ASquareWindowLeavesTwoLinesOnItsRowsAndANegativeSurfaceThree)
{
    for (const bool nega : {false, true}) {
        CSur sur = Polygon(Square(0, 0, 10, 10), T_NARROW);
        sur.NewWindow(Polygon(Square(4, 4, 6, 6), T_NARROW));
        if (nega)
            sur.ModifyType(SUR_NEGA, SUR_NEGA);
        sur.MakeSurLine(true);
        const auto rows = Rows(sur);
        EXPECT_EQ(rows.size(), 56u);
        int windowRows = 0;
        for (const auto& [y, lines] : rows) {
            const bool throughWindow = y > 4 && y < 6;
            windowRows += throughWindow;
            ASSERT_EQ(lines.size(), throughWindow ? (nega ? 3u : 2u) : 1u) << y;
            EXPECT_DOUBLE_EQ(lines.front()->GetStartPoint().x, 0.0);
            EXPECT_DOUBLE_EQ(lines.back()->GetEndPoint().x, 10.0);
            if (throughWindow && !nega) {
                EXPECT_DOUBLE_EQ(lines[0]->GetEndPoint().x, 4.0);
                EXPECT_DOUBLE_EQ(lines[1]->GetStartPoint().x, 6.0);
            }
            for (const CLine* line : lines)
                EXPECT_EQ(line->GetID() == 0, nega || line == FillLines(sur).front()) << y;
        }
        EXPECT_EQ(windowRows, 11);
    }
}

TEST_F(SurFillTest, AScanLineThroughAVertexMovesDownAndTheShiftCarriesOn)
{
    // Pitch 0.18 from -0.1: the 20th scan line would lie at 3.5, where the window has corners.
    CSur sur = Polygon(Square(0, 0, 10, 10), T_NARROW);
    sur.NewWindow(Polygon(Square(4, 3.5, 6, 5.5), T_NARROW));
    sur.MakeSurLine(true);
    const auto rows = Rows(sur);
    std::vector<double> ys;
    for (const auto& [y, lines] : rows)
        ys.push_back(y);
    ASSERT_GT(ys.size(), 21u);
    EXPECT_NEAR(ys[18], 3.32, 1e-9);
    EXPECT_NEAR(ys[19], 3.48, 1e-9); // evaluated at the new height: below the window, one line
    EXPECT_EQ(rows.at(ys[19]).size(), 1u);
    EXPECT_NEAR(ys[20], 3.66, 1e-9);
    EXPECT_EQ(rows.at(ys[20]).size(), 2u);
    for (const double y : ys)
        EXPECT_GT(std::fabs(y - 3.5), 1e-3);
}

TEST_F(SurFillTest, NonForcedFillRespectsTheNoFillAndFillMadeBits)
{
    CSur sur = Polygon(Square(0, 0, 10, 10), T_NARROW);
    sur.DeleteSurLine();
    sur.ModifyType(SUR_NOFILL, SUR_NOFILL);
    sur.MakeSurLine(false);
    EXPECT_EQ(sur.GetSurLineCount(), 0);
    sur.MakeSurLine(true);
    EXPECT_EQ(sur.GetSurLineCount(), 56);
    EXPECT_EQ(sur.GetType() & SUR_FILLED, 0); // a forced fill does not mark the fill current

    sur.ModifyType(0, SUR_NOFILL);
    sur.DeleteSurLine();
    sur.MakeSurLine(false);
    EXPECT_EQ(sur.GetSurLineCount(), 56);
    EXPECT_NE(sur.GetType() & SUR_FILLED, 0);
    // While current, a non-forced request keeps the lines as they are.
    CLine* first = FillLines(sur).front();
    sur.MakeSurLine(false);
    EXPECT_EQ(FillLines(sur).front(), first);
    sur.DeleteSurLine();
    EXPECT_EQ(sur.GetType() & SUR_FILLED, 0);
    EXPECT_EQ(sur.GetSurLineCount(), 0);
}

TEST_F(SurFillTest, TheHatchFollowsTheSurfaceAngle)
{
    for (const bool noFill : {false, true}) {
        CSur sur = Polygon(Square(0, 0, 10, 10), T_NARROW);
        sur.SetAngle(kPi / 2);
        if (noFill)
            sur.ModifyType(SUR_NOFILL, SUR_NOFILL);
        // A forced fill of a surface without fill is turned back with the outline as well.
        sur.MakeSurLine(true);
        const auto lines = FillLines(sur);
        ASSERT_EQ(lines.size(), 56u);
        for (const CLine* line : lines) {
            EXPECT_NEAR(line->GetStartPoint().x, line->GetEndPoint().x, 1e-9);
            EXPECT_GT(line->GetStartPoint().x, 0.0);
            EXPECT_LT(line->GetStartPoint().x, 10.0);
            EXPECT_NEAR(std::fabs(line->GetEndPoint().y - line->GetStartPoint().y), 10.0, 1e-9);
        }
        // The outline is back where it was and the angle unchanged.
        POSITION pos = sur.GetFirstLinePos();
        EXPECT_EQ(sur.GetNextLine(pos)->GetStartPoint(), CDPoint(0, 0));
        EXPECT_DOUBLE_EQ(sur.GetAngle(), kPi / 2);
    }
}

TEST_F(SurFillTest, ArcsBoundTheFill)
{
    // A full circle, and an upper half disc closed by a line.
    CSur circle;
    circle.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, 0, 0, T_NARROW));
    circle.SetTurretNo(T_NARROW);
    ASSERT_GT(circle.GetSurLineCount(), 50);
    for (const CLine* line : FillLines(circle)) {
        const double y = line->GetStartPoint().y;
        const double half = std::sqrt(25 - y * y);
        EXPECT_NEAR(line->GetStartPoint().x, -half, 1e-9);
        EXPECT_NEAR(line->GetEndPoint().x, half, 1e-9);
    }

    CSur half;
    half.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, kPi, 0, T_NARROW));
    half.AddLine(std::make_unique<CLine>(CDPoint(-5, 0), CDPoint(5, 0), T_NARROW, 0));
    half.SetTurretNo(T_NARROW);
    ASSERT_GT(half.GetSurLineCount(), 20);
    for (const CLine* line : FillLines(half)) {
        const double y = line->GetStartPoint().y;
        EXPECT_GT(y, 0.0);
        EXPECT_NEAR(line->GetEndPoint().x, std::sqrt(25 - y * y), 1e-9);
    }
}

TEST_F(SurFillTest, NormalizeSnapsLinesOntoArcEndsAndLaterLinesOntoEarlierOnes)
{
    CSur sur;
    sur.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 10, 0, kPi / 2, 0, T_NARROW)); // (10, 0) to (0, 10)
    CLine* nearStart = sur.AddLine(std::make_unique<CLine>(CDPoint(10.009, 0), CDPoint(10, -5), T_NARROW, 0));
    CLine* farEnd = sur.AddLine(std::make_unique<CLine>(CDPoint(-5, 10), CDPoint(0, 10.011), T_NARROW, 0));
    CLine* later =
        sur.AddLine(std::make_unique<CLine>(CDPoint(10.005, -5.005), CDPoint(20, -5), T_NARROW, 0));
    sur.Normalize();
    EXPECT_EQ(nearStart->GetStartPoint(), CDPoint(10, 0));
    EXPECT_DOUBLE_EQ(farEnd->GetEndPoint().y, 10.011);
    EXPECT_DOUBLE_EQ(later->GetStartPoint().x, 10.0); // onto the earlier line's end
    EXPECT_DOUBLE_EQ(later->GetStartPoint().y, -5.0);
}

// The snapping rule applied pair by pair, as it is defined, for comparison.
void PairwiseNormalize(std::vector<CDPoint>& ends, const std::vector<CDPoint>& arcEnds)
{
    const auto near = [](const CDPoint& a, const CDPoint& b) {
        return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) <= 0.0001;
    };
    const auto snap = [&](std::size_t line, const CDPoint& p) {
        if (near(ends[2 * line], p))
            ends[2 * line] = p;
        else if (near(ends[2 * line + 1], p))
            ends[2 * line + 1] = p;
    };
    const std::size_t n = ends.size() / 2;
    for (const CDPoint& p : arcEnds)
        for (std::size_t i = 0; i < n; ++i)
            snap(i, p);
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            const CDPoint s = ends[2 * a], e = ends[2 * a + 1];
            snap(b, s);
            snap(b, e);
        }
    }
}

TEST_F(SurFillTest, NormalizeMatchesThePairwiseRuleOnCrowdedEnds)
{
    // Ends drawn from a few clusters a little wider than the snapping radius, so that chains of
    // snaps and ends just outside the radius both occur. Outlines of a few lines and of many are
    // searched differently; some hold a pair of ends far out, where small outlines try every line.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.012, 0.012);
    std::uniform_int_distribution<int> cluster(0, 5);
    int snapped = 0;
    for (int round = 0; round < 30; ++round) {
        CSur sur;
        std::vector<CDPoint> ends;
        const int count = round % 3 == 2 ? 130 : 60;
        for (int i = 0; i < count; ++i) {
            CDPoint a(cluster(random) + jitter(random), cluster(random) * 0.5 + jitter(random));
            CDPoint b(cluster(random) + jitter(random), cluster(random) * 0.5 + jitter(random));
            if (round % 4 == 3 && i % 20 == 7) {
                a.x += 3.0e9;
                b.x = a.x + jitter(random);
            }
            ends.push_back(a);
            ends.push_back(b);
            sur.AddLine(std::make_unique<CLine>(a, b, T_NARROW, 0));
        }
        CArc* arc =
            sur.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 2.0 + jitter(random), 0, kPi / 2, 0, T_NARROW));
        const std::vector<CDPoint> before = ends;
        PairwiseNormalize(ends, {arc->GetStartPoint(), arc->GetEndPoint()});
        for (std::size_t k = 0; k < ends.size(); ++k)
            snapped += ends[k] != before[k];
        sur.Normalize();
        std::size_t i = 0;
        for (POSITION pos = sur.GetFirstLinePos(); pos; ++i) {
            CLine* line = sur.GetNextLine(pos);
            ASSERT_EQ(line->GetStartPoint().x, ends[2 * i].x) << round << " " << i;
            ASSERT_EQ(line->GetStartPoint().y, ends[2 * i].y) << round << " " << i;
            ASSERT_EQ(line->GetEndPoint().x, ends[2 * i + 1].x) << round << " " << i;
            ASSERT_EQ(line->GetEndPoint().y, ends[2 * i + 1].y) << round << " " << i;
        }
    }
    EXPECT_GT(snapped, 200);
}

TEST_F(SurFillTest, IsCircleAndCleanNullItem)
{
    CSur open;
    open.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, 3.14, 0, T_NARROW));
    EXPECT_EQ(open.IsCircle(), 0);
    CSur closed;
    closed.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, 0.0005, 0, T_NARROW));
    EXPECT_EQ(closed.IsCircle(), 1);
    closed.AddLine(std::make_unique<CLine>(CDPoint(0, 0), CDPoint(1, 0), T_NARROW, 0));
    EXPECT_EQ(closed.IsCircle(), 0);

    CSur sur = Polygon(Square(0, 0, 10, 10), T_NARROW);
    EXPECT_EQ(sur.CleanNullItem(), 0);
    sur.AddLine(std::make_unique<CLine>(CDPoint(3, 3), CDPoint(3, 3.0000005), T_NARROW, 0));
    sur.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 0, 0, 1, 0, T_NARROW));
    CSur* window = sur.NewWindow(Polygon(Square(2, 2, 4, 4), T_NARROW));
    window->AddLine(std::make_unique<CLine>(CDPoint(5, 5), CDPoint(5, 5), T_NARROW, 0));
    EXPECT_EQ(sur.CleanNullItem(), 1);
    EXPECT_EQ(sur.GetLineCount(), 4);
    EXPECT_EQ(sur.GetArcCount(), 0);
    EXPECT_EQ(window->GetLineCount(), 4);
}

TEST_F(SurFillTest, ChainingJoinsLoopsAndResetModifyUndoesIt)
{
    CSur sur;
    CLine* l0 = sur.AddLine(std::make_unique<CLine>(CDPoint(0, 0), CDPoint(10, 0), T_NARROW, 0));
    CLine* l1 = sur.AddLine(std::make_unique<CLine>(CDPoint(10, 10), CDPoint(0, 10), T_NARROW, 0));
    CLine* l2 = sur.AddLine(std::make_unique<CLine>(CDPoint(10, 0), CDPoint(10, 10), T_NARROW, 0));
    CLine* l3 = sur.AddLine(std::make_unique<CLine>(CDPoint(0, 0), CDPoint(0, 10), T_NARROW, 0)); // backwards
    CLine* l4 = sur.AddLine(std::make_unique<CLine>(CDPoint(25, 0), CDPoint(15, 0), T_NARROW, 0));
    CArc* circle = sur.AddArc(std::make_unique<CArc>(CDPoint(40, 0), 2, 1, 1, 0, T_NARROW));
    CArc* half =
        sur.AddArc(std::make_unique<CArc>(CDPoint(20, 0), 5, kPi, 0, 0, T_NARROW)); // (15,0) to (25,0) below

    CItemBaseList list;
    sur.CalcLineList(list);
    std::vector<CItemBase*> order(list.begin(), list.end());
    const std::vector<CItemBase*> expected = {circle, l0, l2, l1, l3, l4, half};
    EXPECT_EQ(order, expected);
    std::vector<bool> firsts;
    for (CItemBase* item : order)
        firsts.push_back((item->GetType() & SUR_CHAIN_FIRST) != 0);
    EXPECT_EQ(firsts, (std::vector<bool>{true, true, false, false, false, true, false}));
    EXPECT_NE(l3->GetType() & SUR_CHAIN_REVERSED, 0);
    EXPECT_EQ(l3->GetStartPoint(), CDPoint(0, 10)); // swapped to point forward
    EXPECT_EQ(half->GetType() & SUR_CHAIN_REVERSED, 0);

    sur.ResetModify();
    EXPECT_EQ(l3->GetStartPoint(), CDPoint(0, 0));
    for (CItemBase* item : order)
        EXPECT_EQ(item->GetType() & (SUR_CHAIN_FIRST | SUR_CHAIN_REVERSED), 0);

    // A chain can be continued from a point by hand; an arc met at its end is walked backwards.
    CItemBaseList partial;
    partial.AddTail(l4);
    sur.CalcLineListSub(partial, CDPoint(25, 0));
    ASSERT_EQ(partial.GetCount(), 2);
    EXPECT_EQ(partial.GetTail(), half);
    EXPECT_NE(half->GetType() & SUR_CHAIN_REVERSED, 0);
    sur.ResetModify();
}

TEST_F(SurFillTest, StripsOfTwoSeparateRegionsGetTwoGroups)
{
    CSur sur = Polygon(Square(0, 0, 10, 4), T_FINE);
    AddPolygon(sur, Square(0, 6, 10, 10), T_FINE);
    sur.ModifyType(SUR_NEGA, SUR_NEGA);
    sur.MakeSurLine(true);
    const auto lines = FillLines(sur);
    ASSERT_EQ(lines.size(), 160u);
    EXPECT_EQ(sur.MakeSurLineGroup(0x300), 2);
    for (const CLine* line : lines)
        EXPECT_EQ(line->GetID(), line->GetStartPoint().y < 5 ? 0x400u : 0x500u);
    // Numbered lines keep their ids.
    EXPECT_EQ(sur.MakeSurLineGroup(0x300), 0);
}

TEST_F(SurFillTest, RegionsJoinAroundCutOutsAcrossRows)
{
    // A U open toward the first scan lines and the same shape upside down: the two arms join only
    // through the rows below (or above) them, never straight across the notch.
    const std::vector<std::vector<CDPoint>> shapes = {
        {CDPoint(0, 0), CDPoint(3, 0), CDPoint(3, 6), CDPoint(7, 6), CDPoint(7, 0), CDPoint(10, 0),
         CDPoint(10, 10), CDPoint(0, 10)},
        {CDPoint(0, 0), CDPoint(10, 0), CDPoint(10, 10), CDPoint(7, 10), CDPoint(7, 4), CDPoint(3, 4),
         CDPoint(3, 10), CDPoint(0, 10)}};
    for (const auto& shape : shapes) {
        CSur sur = Polygon(shape, T_FINE);
        sur.MakeSurLine(true);
        for (CLine* line : FillLines(sur))
            line->SetID(0);
        EXPECT_EQ(sur.MakeSurLineGroup(0), 1);
        for (const CLine* line : FillLines(sur))
            ASSERT_EQ(line->GetID(), 256u);
    }
}

// The region numbering as it is defined, step by step (recursive flood, whole-list walks), for
// comparison with the surface's own.
struct ReferenceGrouping
{
    CSur& sur;
    std::vector<CLine*> lines;

    double Y(std::size_t i) const { return lines[i]->GetStartPoint().y; }
    bool Chk(std::size_t a, std::size_t b) const
    {
        const CDPoint ends[4] = {lines[a]->GetStartPoint(), lines[a]->GetEndPoint(),
                                 lines[b]->GetStartPoint(), lines[b]->GetEndPoint()};
        return sur.MakeSurLineGroupChk(ends) != 0;
    }

    void Sub(std::size_t seed)
    {
        const std::uint32_t g = lines[seed]->GetID();
        std::deque<std::size_t> queue{seed};
        while (!queue.empty()) {
            std::size_t r = queue.front();
            queue.pop_front();
            for (std::size_t i = r + 1; i < lines.size(); ++i) {
                if (lines[i]->GetID() != 0 || std::fabs(Y(i) - Y(r)) >= 0.1 || !Chk(r, i))
                    continue;
                lines[i]->SetID(g);
                for (std::size_t j = i + 1; j < lines.size(); ++j) {
                    if (lines[j]->GetID() != 0 || Y(j) != lines[i]->GetEndPoint().y)
                        break;
                    if (lines[j]->GetEndPoint().x > lines[r]->GetStartPoint().x &&
                        lines[j]->GetStartPoint().x < lines[r]->GetEndPoint().x) {
                        lines[j]->SetID(g);
                        queue.push_back(j);
                    }
                }
                r = i;
            }
        }
        for (std::size_t d = lines.size(); d-- > 0;) {
            if (lines[d]->GetID() != 0)
                continue;
            if (d == 0)
                return;
            bool joined = false;
            for (std::size_t k = d - 1; k < lines.size() && std::fabs(Y(k) - Y(d)) < 0.1; ++k) {
                if (lines[k]->GetID() == g && Chk(d, k)) {
                    lines[d]->SetID(g);
                    joined = true;
                    break;
                }
            }
            if (!joined)
                continue;
            for (std::size_t k = d - 1; k < lines.size() && std::fabs(Y(k) - Y(d)) < 0.1; ++k) {
                if (lines[k]->GetID() == 0 && Chk(d, k)) {
                    Sub(d);
                    break;
                }
            }
        }
    }

    int Run(unsigned counter)
    {
        int groups = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i]->GetID() != 0)
                continue;
            counter += 256;
            lines[i]->SetID(counter);
            Sub(i);
            ++groups;
        }
        return groups;
    }
};

TEST_F(SurFillTest, RegionNumberingMatchesItsDefinitionOnRandomCutOuts)
{
    // Strips of a fine hatch with random patches taken out (as cutting round items does) and random
    // posts in the outline that connectors must not cross.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coord(0.5, 7.5);
    for (int round = 0; round < 12; ++round) {
        CSur sur = Polygon(Square(0, 0, 8, 3), T_FINE);
        for (int i = 0; i < 16; ++i) {
            const double x = coord(random), y = coord(random) * 0.3;
            sur.AddLine(std::make_unique<CLine>(CDPoint(x, y), CDPoint(x + 0.05, y + 0.6), T_FINE, 0));
        }
        sur.ModifyType(SUR_NEGA, SUR_NEGA);
        sur.MakeSurLine(true);
        std::vector<std::pair<double, double>> holes;
        for (int i = 0; i < 8; ++i)
            holes.emplace_back(coord(random), coord(random) * 0.375);
        std::vector<CLine*> lines = FillLines(sur);
        const auto reset = [&] {
            for (CLine* line : lines) {
                const CDPoint m = line->GetStartPoint().GetCenter(line->GetEndPoint());
                bool cut = false;
                for (const auto& [hx, hy] : holes)
                    cut = cut || (std::fabs(m.x - hx) < 0.8 && std::fabs(m.y - hy) < 0.2);
                line->SetID(cut ? 1 : 0);
            }
        };
        reset();
        const int groups = sur.MakeSurLineGroup(0);
        std::vector<std::uint32_t> ids;
        for (const CLine* line : lines)
            ids.push_back(line->GetID());
        reset();
        ReferenceGrouping reference{sur, lines};
        EXPECT_EQ(groups, reference.Run(0)) << round;
        for (std::size_t i = 0; i < lines.size(); ++i)
            ASSERT_EQ(ids[i], lines[i]->GetID()) << round << " " << i;
    }
}

TEST_F(SurFillTest, StripsConnectByOverlapOrByAClearPathBetweenTheirMiddles)
{
    CSur open = Polygon(Square(-10, -10, 20, 20), T_FINE);
    const CDPoint overlap[4] = {CDPoint(0, 0), CDPoint(2, 0), CDPoint(2, 0.05), CDPoint(3, 0.05)};
    EXPECT_EQ(open.MakeSurLineGroupChk(overlap), 1); // touching ranges count
    const CDPoint sameRow[4] = {CDPoint(0, 0), CDPoint(1, 0), CDPoint(2, 0), CDPoint(3, 0)};
    EXPECT_EQ(open.MakeSurLineGroupChk(sameRow), 0);
    const CDPoint apart[4] = {CDPoint(0, 0), CDPoint(1, 0), CDPoint(2, 0.05), CDPoint(3, 0.05)};
    EXPECT_EQ(open.MakeSurLineGroupChk(apart), 1);

    CSur walled = Polygon(Square(-10, -10, 20, 20), T_FINE);
    walled.AddLine(std::make_unique<CLine>(CDPoint(1.5, -1), CDPoint(1.5, 1), T_FINE, 0));
    EXPECT_EQ(walled.MakeSurLineGroupChk(apart), 0);
    CSur arcWalled = Polygon(Square(-10, -10, 20, 20), T_FINE);
    arcWalled.AddArc(std::make_unique<CArc>(CDPoint(0.5, 0), 1.0, 0, 0, 0, T_FINE));
    EXPECT_EQ(arcWalled.MakeSurLineGroupChk(apart), 0);
}

} // namespace
