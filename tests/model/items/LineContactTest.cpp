// Line contact, clearance and outline: one table per pair of kinds (line-line, line-land,
// line-hole, line-arc), the hit-test boundary of a wide line, polylines and the outlines.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"
#include "tests/support/ErrorPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace testing_support;

constexpr double kPi = std::numbers::pi;
constexpr std::uint32_t kIdA = 0x101;
constexpr std::uint32_t kIdB = 0x201;

class LineContactTest : public ContactTest
{
};

// The words that a list of violations (pairs of points) appends.
std::vector<std::uint32_t> WordsOf(const std::vector<CDPoint>& points)
{
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        const auto w = Words(points[i], points[i + 1]);
        words.insert(words.end(), w.begin(), w.end());
    }
    return words;
}

// The track every table tests against: (0, 0) to (10, 0) on layer 0, 0.25 wide unless a row says.
CLine Track(int turret = T_LINE)
{
    CLine a(CDPoint(0, 0), CDPoint(10, 0), turret, 0);
    a.SetID(kIdA);
    a.SetLayerNo(0);
    return a;
}

// --- Line against line ---

struct LineLineCase
{
    const char* name;
    CDPoint start, end;
    int turretA, turretB;
    bool otherLayer; // the second line on the other wiring layer: the item test is geometric only
    int contact;
    int violation;
    std::vector<CDPoint> errors;
};

TEST_F(LineContactTest, LineAgainstLine)
{
    // Two 0.25 tracks, netted clearance 0.25: edges touch at axes 0.25 apart, the rule ends at 0.5.
    const std::vector<LineLineCase> cases = {
        {"parallel, edges touching", {0, 0.25}, {10, 0.25}, T_LINE, T_LINE, false, 1, 0, {}},
        {"parallel, edges touching, other layer", {0, 0.25}, {10, 0.25}, T_LINE, T_LINE, true, 1, 0, {}},
        {"parallel, just inside the clearance",
         {0, 0.375},
         {10, 0.375},
         T_LINE,
         T_LINE,
         false,
         0,
         1,
         {{0, 0.375}, {0, 0}}},
        {"parallel, exactly at the clearance", {0, 0.5}, {10, 0.5}, T_LINE, T_LINE, false, 0, 0, {}},
        {"parallel, just outside", {0, 0.625}, {10, 0.625}, T_LINE, T_LINE, false, 0, 0, {}},
        {"parallel, just inside, other layer",
         {0, 0.375},
         {10, 0.375},
         T_LINE,
         T_LINE,
         true,
         0,
         1,
         {{0, 0.375}, {0, 0}}},
        {"crossing", {5, -1}, {5, 1}, T_LINE, T_LINE, false, 1, 0, {}},
        {"end on end, no width", {10, 0}, {12, 1}, 0, 0, false, 1, 0, {}},
        {"0.2 wide, axes 0.2 apart", {0, 0.2}, {10, 0.2}, T_FINE, T_FINE, false, 1, 0, {}},
        {"0.2 wide, axes 0.21 apart",
         {0, 0.21},
         {10, 0.21},
         T_FINE,
         T_FINE,
         false,
         0,
         1,
         {{0, 0.21}, {0, 0}}},
        {"end beside the track's end, inside",
         {10.375, 0.25},
         {12, 3},
         T_LINE,
         T_LINE,
         false,
         0,
         1,
         {{10.375, 0.25}, {10, 0}}},
        {"round ends apart where square ends meet",
         {10.25, 0.25},
         {12, 3},
         T_LINE,
         T_LINE,
         false,
         0,
         1,
         {{10.25, 0.25}, {10, 0}}},
        {"square ends reach further", {10.25, 0.25}, {12, 3}, T_SQLINE, T_SQLINE, false, 1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLine a = Track(c.turretA);
        CLine b(c.start, c.end, c.turretB, 0);
        b.SetID(kIdB);
        b.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(a.CheckShort(&b), c.contact);
        EXPECT_EQ(b.CheckShort(&a), c.contact);
        EXPECT_EQ(a.CheckShort(static_cast<CItemBase*>(&b)), c.contact);
        tagDRCSPEC drc = rule;
        drc.netClearance = c.turretA == T_FINE ? 0.1 : 0.25;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), c.violation);
        EXPECT_EQ(drc.errorPoints, WordsOf(c.errors));
    }
}

TEST_F(LineContactTest, LinesAreCulledByTheNettedClearance)
{
    // Netted 0.25, plain 0.5. The rectangle test grows the line by the netted clearance whatever
    // the ids; past it the ends are pads judged by the land rule (plain without ids).
    struct Case
    {
        const char* name;
        CDPoint start, end;
        std::uint32_t ids;
        int violation;
        std::vector<CDPoint> errors;
    };
    const Case cases[] = {
        {"no ids, edge gap 0.375, between the clearances", {0, 0.625}, {10, 0.625}, 0, 0, {}},
        {"ids, edge gap 0.375", {0, 0.625}, {10, 0.625}, kIdB, 0, {}},
        {"no ids, edge gap 0.125", {0, 0.375}, {10, 0.375}, 0, 1, {{0, 0.375}, {0, 0}}},
        {"ids, edge gap 0.125", {0, 0.375}, {10, 0.375}, kIdB, 1, {{0, 0.375}, {0, 0}}},
        // A diagonal line whose rectangle meets although its copper stays 0.457 from the track's
        // end: the track's end pad meets the plain clearance.
        {"no ids, diagonal past the end", {9.5, -1.5}, {11.5, 0.5}, 0, 1, {{10, 0}, {10.5, -0.5}}},
        {"ids, diagonal past the end", {9.5, -1.5}, {11.5, 0.5}, kIdB, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLine a = Track();
        a.SetID(c.ids == 0 ? 0 : kIdA);
        CLine b(c.start, c.end, T_LINE, 0);
        b.SetID(c.ids);
        tagDRCSPEC drc = rule;
        drc.netClearance = 0.25;
        drc.plainClearance = 0.5;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), c.violation);
        const std::vector<CDPoint> got = ErrorPointsOf(drc);
        ASSERT_EQ(got.size(), c.errors.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, c.errors[i].x, 1e-4);
            EXPECT_NEAR(got[i].y, c.errors[i].y, 1e-4);
        }
    }
}

TEST_F(LineContactTest, OtherLinesArrowBarbsAreChecked)
{
    // A line 1 above the track keeps the clearance; its start arrow's lower barb end comes closer.
    CLine a = Track();
    CLine b(CDPoint(2, 1), CDPoint(8, 1), T_LINE, 0);
    b.SetID(kIdB);
    tagDRCSPEC drc = rule;
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 0);
    b.SetArrow(250, 0);
    CDPoint barb[3] = {CDPoint(2, 1), CDPoint(8, 1), CDPoint()};
    CLine::CalcArrowPoint(barb, 250);
    ASSERT_LT(barb[2].y, 0.5); // the second barb end, 0.35 above the axis
    EXPECT_EQ(a.CheckShort(&b), 0);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 1);
    EXPECT_EQ(drc.errorPoints, Words(barb[2], CDPoint(barb[2].x, 0)));
    // A dot is not a barb.
    b.SetArrow(-100, 0);
    drc.errorPoints.clear();
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 0);
}

// --- Line against land ---

struct LineLandCase
{
    const char* name;
    int lineTurret;
    int landTurret;
    CDPoint at;
    bool otherLayer;
    int contact;
    int violation;
    std::vector<CDPoint> errors;
};

TEST_F(LineContactTest, LineAgainstLand)
{
    // A 0.25 track and a 0.5 pad, netted clearance 0.25: touching at 0.375, the rule ends at 0.625.
    // A pad on the track breaks the rule too (the copper groups' checks leave out the pads wired to
    // their tracks).
    const std::vector<LineLandCase> cases = {
        {"on the middle", T_LINE, T_PAD, {5, 0}, false, 1, 1, {{5, 0}, {5, 0}}},
        {"beside the middle, overlapping", T_LINE, T_PAD, {5, 0.25}, false, 1, 1, {{5, 0.25}, {5, 0}}},
        {"beside the middle, touching", T_LINE, T_PAD, {5, 0.375}, false, 1, 1, {{5, 0.375}, {5, 0}}},
        {"beside the middle, touching, other layer",
         T_LINE,
         T_PAD,
         {5, 0.375},
         true,
         1,
         1,
         {{5, 0.375}, {5, 0}}},
        {"beside the middle, just inside", T_LINE, T_PAD, {5, 0.5}, false, 0, 1, {{5, 0.5}, {5, 0}}},
        {"beside the middle, exactly at", T_LINE, T_PAD, {5, 0.625}, false, 0, 0, {}},
        {"beside the middle, just outside", T_LINE, T_PAD, {5, 0.75}, false, 0, 0, {}},
        {"beyond the end, touching", T_LINE, T_PAD, {10.375, 0}, false, 1, 1, {{10.375, 0}, {10, 0}}},
        {"beyond the end, just inside", T_LINE, T_PAD, {10.5, 0}, false, 0, 1, {{10.5, 0}, {10, 0}}},
        {"beyond the end, exactly at", T_LINE, T_PAD, {10.625, 0}, false, 0, 0, {}},
        {"square pad, just inside", T_LINE, T_SQUARE, {5, 0.75}, false, 0, 1, {{5, 0.75}, {5, 0}}},
        {"square pad, exactly at", T_LINE, T_SQUARE, {5, 0.875}, false, 0, 0, {}},
        {"square pad over the track", T_LINE, T_SQUARE, {5, 0.5}, false, 1, 1, {{5, 0.5}, {5, 0}}},
        {"track through a wide square pad", T_LINE, T_SQUARE2, {5, 0}, false, 1, 1, {{5, 0}, {5, 0}}},
        {"track ending in a wide square pad",
         T_LINE,
         T_SQUARE2,
         {9.75, 0.5},
         false,
         1,
         1,
         {{9.75, 0.5}, {9.75, 0}}},
        {"pad on the track's end", T_LINE, T_PAD, {10, 0}, false, 1, 1, {{10, 0}, {10, 0}}},
        {"0.4 pad 0.3 beside a 0.2 track", T_FINE, T_SMALL, {5, 0.3}, false, 1, 1, {{5, 0.3}, {5, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLine a = Track(c.lineTurret);
        CLand land(c.at, c.landTurret);
        land.SetID(kIdB);
        land.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(a.CheckShort(&land), c.contact);
        EXPECT_EQ(land.CheckShort(static_cast<CItemBase*>(&a)), c.contact);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &land), c.violation);
        EXPECT_EQ(drc.errorPoints, WordsOf(c.errors));
        // The land hands the pairing to the line.
        tagDRCSPEC again = rule;
        EXPECT_EQ(land.DRC_ShortCheck(&again, &a), c.violation);
        EXPECT_EQ(again.errorPoints, drc.errorPoints);
    }
}

TEST_F(LineContactTest, LandClearanceDependsOnTheLandsNetId)
{
    CLine a = Track();
    CLand land(CDPoint(5, 0.75), T_PAD);
    tagDRCSPEC drc = rule;
    drc.netClearance = 0.25;
    drc.plainClearance = 0.5;
    land.SetID(0);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &land), 1);
    land.SetID(kIdB);
    drc.errorPoints.clear();
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &land), 0);
}

TEST_F(LineContactTest, ArrowBarbsOfTheLineAreCheckedAgainstLands)
{
    CLine a = Track();
    a.SetArrow(0, 200); // end arrow: barbs from (10, 0) back toward the start, 2 long at 15 degrees
    CDPoint barb[3] = {CDPoint(10, 0), CDPoint(0, 0), CDPoint()};
    CLine::CalcArrowPoint(barb, 200);
    const CDPoint upper = barb[1].y > 0 ? barb[1] : barb[2];
    // Half a millimetre above the upper barb's end: far from the track, near the barb's end.
    CLand land(CDPoint(upper.x, upper.y + 0.5), T_PAD);
    land.SetID(kIdB);
    tagDRCSPEC drc = rule;
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &land), 1);
    EXPECT_EQ(drc.errorPoints, Words(land.GetPoint(), upper));
    CLine plain = Track();
    drc.errorPoints.clear();
    EXPECT_EQ(plain.DRC_ShortCheck(&drc, &land), 0);
}

// --- Line against hole ---

struct LineHoleCase
{
    const char* name;
    CHole hole;
    bool otherLayer;
    int contact;
    int violation;
    std::vector<CDPoint> errors;
};

CHole Round(double x, double y, double diameter)
{
    return CHole(CDPoint(x, y), diameter, true, 0.0, 0.0, 0.0);
}

CHole Box(double x, double y, double height, double width, double angle = 0.0)
{
    return CHole(CDPoint(x, y), height, false, width, 0.0, angle);
}

CHole Slot(double x, double y, double diameter, double width, double angle = 0.0)
{
    return CHole(CDPoint(x, y), diameter, false, width, diameter * 0.5, angle);
}

TEST_F(LineContactTest, LineAgainstHole)
{
    // A 0.25 track and a hole of diameter 1, hole margin 0.25: touching at 0.625, the margin ends
    // at 0.875. A hole is no copper: only a track over its centre is wired to it.
    const std::vector<LineHoleCase> cases = {
        {"round, over the edge", Round(5, 0.5, 1.0), false, 1, 1, {{5, 0}, {5, 0.5}}},
        {"round, touching", Round(5, 0.625, 1.0), false, 1, 1, {{5, 0}, {5, 0.625}}},
        {"round, touching, other layer", Round(5, 0.625, 1.0), true, 1, 1, {{5, 0}, {5, 0.625}}},
        {"round, just inside the margin", Round(5, 0.75, 1.0), false, 0, 1, {{5, 0}, {5, 0.75}}},
        {"round, exactly at the margin", Round(5, 0.875, 1.0), false, 0, 0, {}},
        {"round, just outside", Round(5, 1.0, 1.0), false, 0, 0, {}},
        {"round, through the centre", Round(5, 0, 1.0), false, 1, 0, {}},
        {"round, centre just off the track's copper",
         Round(5, 0.1875, 1.0),
         false,
         1,
         1,
         {{5, 0}, {5, 0.1875}}},
        {"round, under the track's end", Round(10.1, 0, 1.0), false, 1, 0, {}},
        {"round, beyond the end, touching", Round(10.625, 0, 1.0), false, 1, 1, {{10, 0}, {10.625, 0}}},
        {"round, beyond the end, inside", Round(10.75, 0, 1.0), false, 0, 1, {{10, 0}, {10.75, 0}}},
        {"box within the track's width", Box(5, 0.6, 1.0, 2.0), false, 1, 1, {{5, 0}, {5, 0.6}}},
        {"box, just inside the margin", Box(5, 0.75, 1.0, 2.0), false, 0, 1, {{5, 0}, {5, 0.75}}},
        {"box, exactly at the margin", Box(5, 0.875, 1.0, 2.0), false, 0, 0, {}},
        {"track lying inside a box", Box(5, 0, 2.0, 12.0), false, 1, 0, {}},
        {"slot end touching", Slot(5, 0.625, 1.0, 3.0), false, 1, 1, {{5, 0}, {5, 0.625}}},
        {"slot, just inside", Slot(5, 0.75, 1.0, 3.0), false, 0, 1, {{5, 0}, {5, 0.75}}},
        {"slot across the track", Slot(5, 0, 1.0, 3.0, kPi / 2), false, 1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLine a = Track();
        CHole hole = c.hole;
        hole.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(a.CheckShort(&hole), c.contact);
        EXPECT_EQ(hole.CheckShort(static_cast<CItemBase*>(&a)), c.contact);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &hole), c.violation);
        EXPECT_EQ(drc.errorPoints, WordsOf(c.errors));
        tagDRCSPEC again = rule;
        EXPECT_EQ(hole.DRC_ShortCheck(&again, &a), c.violation);
        EXPECT_EQ(again.errorPoints, drc.errorPoints);
    }
}

TEST_F(LineContactTest, HoleCornerNearADiagonalLine)
{
    // The foot of the perpendicular and the line's ends stay clear; the box corner grown by the
    // margin lies on the line.
    CLine diagonal(CDPoint(-1, 3), CDPoint(3, -1), T_LINE, 0);
    CHole box = Box(0, 0, 1.0, 2.0);
    tagDRCSPEC drc = rule;
    EXPECT_EQ(diagonal.CheckShort(&box), 0);
    EXPECT_EQ(box.DRC_ShortCheck(&drc, &diagonal), 1);
    EXPECT_EQ(drc.errorPoints, Words(CDPoint(0, 0), CDPoint(1.25, 0.75)));
}

TEST_F(LineContactTest, HoleArrowBarbsAreCheckedAfterTheLine)
{
    CLine a = Track();
    a.SetArrow(0, 200);
    CDPoint barb[3] = {CDPoint(10, 0), CDPoint(0, 0), CDPoint()};
    CLine::CalcArrowPoint(barb, 200);
    const CDPoint upper = barb[1].y > 0 ? barb[1] : barb[2];
    CHole hole = Round(upper.x, upper.y + 0.75, 1.0); // 0.125 beyond the barb's copper
    tagDRCSPEC drc = rule;
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &hole), 1);
    EXPECT_EQ(drc.errorPoints, Words(upper, hole.GetPoint()));
    CLine plain = Track();
    drc.errorPoints.clear();
    EXPECT_EQ(plain.DRC_ShortCheck(&drc, &hole), 0);
}

// --- Line against arc (the arc decides the clearance, chord by chord) ---

struct LineArcCase
{
    const char* name;
    CArc arc;
    bool otherLayer;
    int contact;
    int violation;
};

TEST_F(LineContactTest, LineAgainstArc)
{
    // Lower half circles of radius 1, 0.25 wide, above the track: the edges touch when the arc's
    // lowest point stands 0.25 above the axis, and the rule of 0.25 ends at 0.5.
    const std::vector<LineArcCase> cases = {
        {"lowest point touching", CArc(CDPoint(5, 1.25), 1.0, kPi, 0.0, 0, T_LINE), false, 1, 0},
        {"lowest point touching, other layer", CArc(CDPoint(5, 1.25), 1.0, kPi, 0.0, 0, T_LINE), true, 1, 0},
        {"just inside the clearance", CArc(CDPoint(5, 1.375), 1.0, kPi, 0.0, 0, T_LINE), false, 0, 1},
        {"exactly at the clearance", CArc(CDPoint(5, 1.5), 1.0, kPi, 0.0, 0, T_LINE), false, 0, 0},
        {"just outside", CArc(CDPoint(5, 1.625), 1.0, kPi, 0.0, 0, T_LINE), false, 0, 0},
        {"dipping across the track", CArc(CDPoint(5, 0.5), 1.0, kPi, 0.0, 0, T_LINE), false, 1, 0},
        {"ending on the track", CArc(CDPoint(5, 1), 1.0, kPi, 1.5 * kPi, 0, T_LINE), false, 1, 0},
        {"upper half, ends exactly at the clearance", CArc(CDPoint(5, 0.5), 1.0, 0.0, kPi, 0, T_LINE), false,
         0, 0},
        {"upper half, ends just inside", CArc(CDPoint(5, 0.375), 1.0, 0.0, kPi, 0, T_LINE), false, 0, 1},
        {"wide circle across the track", CArc(CDPoint(5, 0), 0.75, 0.0, 0.0, 0, T_MM), false, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLine a = Track();
        CArc arc = c.arc;
        arc.SetID(kIdB);
        arc.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(a.CheckShort(&arc), c.contact);
        EXPECT_EQ(a.CheckShort(static_cast<CItemBase*>(&arc)), c.contact);
        EXPECT_EQ(arc.CheckShort(static_cast<CItemBase*>(&a)), c.contact);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &arc), c.violation);
        // One violation: a point of the arc's polyline and its foot on the track.
        ASSERT_EQ(drc.errorPoints.size(), c.violation ? 4u : 0u);
        if (c.violation) {
            EXPECT_EQ(drc.errorPoints[3], 0u);
        }
    }
}

// --- Hit test and polyline contact ---

TEST_F(LineContactTest, HitTestBoundaryOfAOneMillimetreLine)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), T_MM, 0);
    EXPECT_EQ(line.CheckPoint(CDPoint(5, -0.5)), 1);
    EXPECT_EQ(line.CheckPoint(CDPoint(5, -0.51)), 0);
    EXPECT_EQ(line.CheckPoint(CDPoint(-0.5, 0)), 1); // round end
    EXPECT_EQ(line.CheckPoint(CDPoint(10.36, 0.36)), 0);
}

TEST_F(LineContactTest, PolylineContact)
{
    CLine a = Track();
    // Around the track's end: only the closing segment of the ring crosses it.
    const CDPoint around[4] = {{4, 1}, {12, 1}, {12, -1}, {4, -1}};
    EXPECT_EQ(a.CheckShort(around, 4), 0);
    EXPECT_EQ(a.CheckShort(around, -4), 1);
    const CDPoint across[2] = {{5, -1}, {5, 1}};
    EXPECT_EQ(a.CheckShort(across, 2), 1);
    const CDPoint touchingPoint[2] = {{5, 0.125}, {5, 3}};
    EXPECT_EQ(a.CheckShort(touchingPoint, 2), 1);
    const CDPoint above[3] = {{0, 1}, {5, 2}, {10, 1}};
    EXPECT_EQ(a.CheckShort(above, 3), 0);
    EXPECT_EQ(a.CheckShort(across, 1), 0);
    EXPECT_EQ(a.CheckShort(across, 0), 0);
}

// --- Outlines ---

struct Outline
{
    std::vector<CLine*> lines;
    std::vector<CArc*> arcs;
};

Outline Collect(CSheet& sheet)
{
    Outline o;
    for (POSITION pos = sheet.GetFirstLinePos(); pos;)
        o.lines.push_back(sheet.GetNextLine(pos));
    for (POSITION pos = sheet.GetFirstArcPos(); pos;)
        o.arcs.push_back(sheet.GetNextArc(pos));
    return o;
}

void ExpectPoint(const CDPoint& got, double x, double y)
{
    EXPECT_NEAR(got.x, x, 1e-9);
    EXPECT_NEAR(got.y, y, 1e-9);
}

TEST_F(LineContactTest, OutlineOfARoundLineGrownByATenth)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), T_MM, 0);
    CSheet sheet(SHEET_WORK);
    line.GetFrameData(&sheet, 0.1);
    const Outline o = Collect(sheet);
    ASSERT_EQ(o.lines.size(), 2u);
    ASSERT_EQ(o.arcs.size(), 2u);
    ExpectPoint(o.lines[0]->GetStartPoint(), 0, 0.6);
    ExpectPoint(o.lines[0]->GetEndPoint(), 10, 0.6);
    ExpectPoint(o.lines[1]->GetStartPoint(), 0, -0.6);
    ExpectPoint(o.lines[1]->GetEndPoint(), 10, -0.6);
    for (const CLine* l : o.lines) {
        EXPECT_EQ(l->GetTurretNo(), 0);
        EXPECT_EQ(l->GetType(), 0);
    }
    // Half circles of radius 0.6: the left one about the start, the right one about the end.
    ExpectPoint(o.arcs[0]->GetCenter(), 0, 0);
    EXPECT_NEAR(o.arcs[0]->GetRadius(), 0.6, 1e-12);
    EXPECT_NEAR(o.arcs[0]->GetStartAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(o.arcs[0]->GetEndAngle(), 1.5 * kPi, 1e-12);
    ExpectPoint(o.arcs[1]->GetCenter(), 10, 0);
    EXPECT_NEAR(o.arcs[1]->GetRadius(), 0.6, 1e-12);
    EXPECT_NEAR(o.arcs[1]->GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_NEAR(o.arcs[1]->GetEndAngle(), kPi / 2, 1e-12);
    for (const CArc* arc : o.arcs)
        EXPECT_NEAR(arc->GetSweep(), kPi, 1e-12);
}

TEST_F(LineContactTest, OutlineOfAThinOrTurretZeroLineIsItsCentreLine)
{
    CLine line(CDPoint(1, 2), CDPoint(4, 6), 0, 0);
    CSheet sheet(SHEET_WORK);
    line.GetFrameData(&sheet, 0.0);
    Outline o = Collect(sheet);
    ASSERT_EQ(o.lines.size(), 1u);
    EXPECT_TRUE(o.arcs.empty());
    ExpectPoint(o.lines[0]->GetStartPoint(), 1, 2);
    ExpectPoint(o.lines[0]->GetEndPoint(), 4, 6);

    // A growth that eats the whole width leaves the centre line too.
    CLine wide(CDPoint(0, 0), CDPoint(1, 0), T_MM, 0);
    CSheet shrunk(SHEET_WORK);
    wide.GetFrameData(&shrunk, -0.5);
    o = Collect(shrunk);
    EXPECT_EQ(o.lines.size(), 1u);
    EXPECT_TRUE(o.arcs.empty());

    CSheet converted(SHEET_WORK);
    EXPECT_EQ(wide.ConvertLine(converted), 1);
    EXPECT_EQ(converted.GetKindCount(KIND_LINE), 2);
    EXPECT_EQ(converted.GetKindCount(KIND_ARC), 2);
}

TEST_F(LineContactTest, OutlineOfASquareEndedLine)
{
    // Axis-parallel: the rectangle of the two end squares.
    CLine flat(CDPoint(0, 0), CDPoint(4, 0), T_SQLINE, 0);
    CSheet rect(SHEET_WORK);
    flat.GetFrameData(&rect, 0.0);
    Outline o = Collect(rect);
    ASSERT_EQ(o.lines.size(), 4u);
    EXPECT_TRUE(o.arcs.empty());
    ExpectPoint(o.lines[0]->GetStartPoint(), -0.125, -0.125);
    ExpectPoint(o.lines[1]->GetStartPoint(), 4.125, -0.125);
    ExpectPoint(o.lines[2]->GetStartPoint(), 4.125, 0.125);
    ExpectPoint(o.lines[3]->GetStartPoint(), -0.125, 0.125);
    ExpectPoint(o.lines[3]->GetEndPoint(), -0.125, -0.125);

    // Rising to the right: the hexagon of the squares' outer corners, closed.
    CLine rising(CDPoint(0, 0), CDPoint(2, 1), T_SQLINE, 0);
    CSheet hex(SHEET_WORK);
    rising.GetFrameData(&hex, 0.125);
    o = Collect(hex);
    ASSERT_EQ(o.lines.size(), 6u);
    const double w = 0.25;
    const CDPoint expected[6] = {{-w, -w}, {w, -w}, {2 + w, 1 - w}, {2 + w, 1 + w}, {2 - w, 1 + w}, {-w, w}};
    for (int i = 0; i < 6; ++i) {
        ExpectPoint(o.lines[i]->GetStartPoint(), expected[i].x, expected[i].y);
        ExpectPoint(o.lines[i]->GetEndPoint(), expected[(i + 1) % 6].x, expected[(i + 1) % 6].y);
    }

    // Falling to the left mirrors it: the hull still holds both squares.
    CLine falling(CDPoint(2, 1), CDPoint(0, 0), T_SQLINE, 0);
    CSheet mirrored(SHEET_WORK);
    falling.GetFrameData(&mirrored, 0.125);
    o = Collect(mirrored);
    ASSERT_EQ(o.lines.size(), 6u);
    for (const CDPoint corner :
         {CDPoint(-w, -w), CDPoint(2 + w, 1 + w), CDPoint(w, -w), CDPoint(2 - w, 1 + w)}) {
        bool found = false;
        for (const CLine* l : o.lines)
            found = found || l->GetStartPoint() == corner;
        EXPECT_TRUE(found) << corner.x << ", " << corner.y;
    }
}

TEST_F(LineContactTest, OutlineIncludesArrowBarbs)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), T_LINE, 0);
    line.SetArrow(200, 0);
    CSheet sheet(SHEET_WORK);
    line.GetFrameData(&sheet, 0.0);
    // The line and each of its two barbs: two sides and two caps apiece.
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 6);
    EXPECT_EQ(sheet.GetKindCount(KIND_ARC), 6);
}

} // namespace
