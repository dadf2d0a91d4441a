// Arc contact, clearance and outline, and the rectangle hit test built on the outline.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"

#include "model/sheet/Sheet.h"
#include "tests/support/ErrorPoints.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using testing_support::ErrorPointsOf;

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
// 16.16 error points keep about 1.5e-5 of a millimetre.
constexpr double kFx = 1e-4;

constexpr int kTrack = 1;     // round, 0.25 wide
constexpr int kRoundPad = 2;  // round, 1.0
constexpr int kWideTrack = 3; // round, 0.5 wide

class ArcContactTest : public ::testing::Test
{
protected:
    ArcContactTest() : frame(&doc)
    {
        doc.SetWireLayers({0, 1});
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[kTrack] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[kRoundPad] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[kWideTrack] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        frame.dims = tagDIMS{200, 15.0 * kDeg, 0, 100, 250};
        drc.netClearance = 0.25;
        drc.plainClearance = 0.25;
        drc.holeMargin = 0.25;
    }

    // Centre (0, 0), radius 10, counter-clockwise from (10, 0) to (0, 10), 0.25 wide.
    static CArc Quarter(int turret = kTrack, int type = 0)
    {
        return CArc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, type, turret);
    }

    FakeDocument doc;
    FakeFrameServices frame;
    tagDRCSPEC drc;
};

void ExpectPoints(const std::vector<CDPoint>& got, const std::vector<CDPoint>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, kFx) << "point " << i;
        EXPECT_NEAR(got[i].y, want[i].y, kFx) << "point " << i;
    }
}

// --- Rectangle hit test ---

TEST_F(ArcContactTest, RectangleMeetsTheDrawnStroke)
{
    struct Case
    {
        const char* name;
        CDRect r;
        int turret;
        bool hit;
    };
    // The stroke of the quarter runs between radius 9.875 and 10.125; at 45 degrees its centre
    // line passes (7.0711, 7.0711).
    const Case cases[] = {
        {"holds the start point", CDRect(9.5, -0.5, 10.5, 0.5), kTrack, true},
        {"holds the end point", CDRect(-0.5, 9.5, 0.5, 10.5), kTrack, true},
        {"a corner on the stroke", CDRect(7.0, 7.0, 8.0, 8.0), kTrack, true},
        {"a side crosses the stroke, no corner on it", CDRect(6.0, 7.0, 9.0, 7.1), kTrack, true},
        {"a side crosses a hairline arc", CDRect(6.0, 7.0, 9.0, 7.1), 0, true},
        {"inside the bend, clear of the stroke", CDRect(2.0, 2.0, 6.0, 6.0), kTrack, false},
        {"outside, a corner just beyond the outer edge", CDRect(7.17, 7.17, 8.0, 8.0), kTrack, false},
        {"outside, a corner just within the outer edge", CDRect(7.15, 7.15, 8.0, 8.0), kTrack, true},
        {"beside the end, within its round cap", CDRect(-0.2, 9.95, -0.05, 10.05), kTrack, true},
        {"beside the end, beyond its round cap", CDRect(-0.4, 10.3, -0.2, 10.4), kTrack, false},
        {"wholly inside the stroke", CDRect(7.06, 7.06, 7.08, 7.08), kWideTrack, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc = Quarter(c.turret);
        EXPECT_EQ(arc.CheckPoint(c.r), c.hit);
    }
}

TEST_F(ArcContactTest, RectangleCrossingAClockwiseArcAndAFullCircle)
{
    // Clockwise from 90 to 0 degrees is the same quarter.
    CArc cw(CDPoint(0, 0), 10.0, kPi / 2, 0.0, ARC_CW, kTrack);
    EXPECT_TRUE(cw.CheckPoint(CDRect(6.0, 7.0, 9.0, 7.1)));
    EXPECT_FALSE(cw.CheckPoint(CDRect(-9.0, 7.0, -6.0, 7.1)));
    // A full circle is met all round; a rectangle in its hollow is not.
    CArc circle(CDPoint(0, 0), 10.0, 0.0, 0.0, 0, kTrack);
    EXPECT_TRUE(circle.CheckPoint(CDRect(-9.0, 7.0, -6.0, 7.1)));
    EXPECT_FALSE(circle.CheckPoint(CDRect(-3.0, -3.0, 3.0, 3.0)));
}

// --- Outline ---

struct ArcShape
{
    double cx, cy, r, start, end;
};

std::vector<ArcShape> ArcsOf(CSheet& sheet)
{
    std::vector<ArcShape> out;
    for (POSITION pos = sheet.GetFirstArcPos(); pos;) {
        const CArc* a = sheet.GetNextArc(pos);
        EXPECT_EQ(a->GetTurretNo(), 0);
        out.push_back(
            {a->GetCenter().x, a->GetCenter().y, a->GetRadius(), a->GetStartAngle(), a->GetEndAngle()});
    }
    return out;
}

void ExpectArcs(const std::vector<ArcShape>& got, const std::vector<ArcShape>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[i].cx, want[i].cx, 1e-9);
        EXPECT_NEAR(got[i].cy, want[i].cy, 1e-9);
        EXPECT_NEAR(got[i].r, want[i].r, 1e-9);
        EXPECT_NEAR(got[i].start, want[i].start, 1e-9);
        EXPECT_NEAR(got[i].end, want[i].end, 1e-9);
    }
}

TEST_F(ArcContactTest, OutlineOfTheStrokeGrownByADistance)
{
    struct Case
    {
        const char* name;
        CArc arc;
        int flag;
        double grow;
        std::vector<ArcShape> arcs;
    };
    const Case cases[] = {
        {"counter-clockwise: outer, inner, caps behind the start and past the end",
         Quarter(),
         0,
         0.1,
         {{0, 0, 10.225, 0, kPi / 2},
          {0, 0, 9.775, 0, kPi / 2},
          {10, 0, 0.225, kPi, 0},
          {0, 10, 0.225, kPi / 2, 1.5 * kPi}}},
        {"clockwise: the caps turn the other way",
         CArc(CDPoint(0, 0), 10.0, kPi / 2, 0.0, ARC_CW, kTrack),
         0,
         0.1,
         {{0, 0, 10.225, kPi / 2, 0},
          {0, 0, 9.775, kPi / 2, 0},
          {0, 10, 0.225, kPi / 2, 1.5 * kPi},
          {10, 0, 0.225, kPi, 0}}},
        {"full circle: two circles, no caps",
         CArc(CDPoint(1, 2), 3.0, 0.0, 0.0, 0, kTrack),
         0,
         0.0,
         {{1, 2, 3.125, 0, 0}, {1, 2, 2.875, 0, 0}}},
        {"flag 1: the outer arc alone", Quarter(), 1, 0.1, {{0, 0, 10.225, 0, kPi / 2}}},
        {"hairline without growth: the centre line alone", Quarter(0), 0, 0.0, {{0, 0, 10.0, 0, kPi / 2}}},
        {"hairline grown: the turret's width is not counted",
         Quarter(0),
         0,
         0.5,
         {{0, 0, 10.5, 0, kPi / 2},
          {0, 0, 9.5, 0, kPi / 2},
          {10, 0, 0.5, kPi, 0},
          {0, 10, 0.5, kPi / 2, 1.5 * kPi}}},
        {"a negative growth beyond the half width counts as none",
         Quarter(),
         0,
         -0.5,
         {{0, 0, 10.0, 0, kPi / 2}}},
        {"no inner arc when the growth reaches the centre",
         CArc(CDPoint(0, 0), 0.2, 0.0, kPi / 2, 0, kTrack),
         0,
         0.1,
         {{0, 0, 0.425, 0, kPi / 2}, {0.2, 0, 0.225, kPi, 0}, {0, 0.2, 0.225, kPi / 2, 1.5 * kPi}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc = c.arc;
        CSheet sheet;
        arc.GetFrameData(&sheet, c.flag, c.grow);
        ExpectArcs(ArcsOf(sheet), c.arcs);
        EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 0);
    }
}

TEST_F(ArcContactTest, OutlineOfArrowsAndDots)
{
    // An arrow head: its two barbs outlined as round lines (two sides and two caps each).
    CArc arrow = Quarter();
    arrow.SetArrow(200, 0);
    CSheet sheet;
    arrow.GetFrameData(&sheet, 0, 0.1);
    EXPECT_EQ(sheet.GetKindCount(KIND_ARC), 4 + 2 * 2);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 2 * 2);

    // A dot at the end: one circle of the dot's radius plus the growth.
    CArc dot = Quarter();
    dot.SetArrow(0, -100);
    CSheet dotSheet;
    dot.GetFrameData(&dotSheet, 1, 0.1);
    const double radius = 0.1 + CArc::GetDotRadius(-100);
    ExpectArcs(ArcsOf(dotSheet), {{0, 0, 10.225, 0, kPi / 2}, {0, 10, radius, 0, 0}});
}

// --- Arc against arc ---

// The quarter of the fixture ends at (0, 10) running left; the other arc ends at (0, 10 + gap)
// running right and bends away upward, so the two come closest at their ends, gap apart. Both
// are 0.25 wide: their copper touches up to a gap of 0.25, and the clearance of 0.25 is kept
// from a gap of 0.5 on.
TEST_F(ArcContactTest, ArcAgainstArc)
{
    struct Case
    {
        const char* name;
        double gap;
        int otherLayer;
        int contact;
        int violation;
    };
    const Case cases[] = {
        {"overlapping", 0.2, 0, 1, 0},
        {"touching edge to edge", 0.249, 0, 1, 0},
        {"just inside the clearance", 0.49, 0, 0, 1},
        {"exactly at the clearance", 0.5, 0, 0, 0},
        {"just outside the clearance", 0.51, 0, 0, 0},
        // The layer sheet pairs only items of one layer; the arcs' own tests are geometric.
        {"overlapping, on another wiring layer", 0.2, 1, 1, 0},
        {"just inside, on another wiring layer", 0.49, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc = Quarter();
        arc.SetLayerNo(0);
        CArc other(CDPoint(0, 20 + c.gap), 10.0, kPi, 1.5 * kPi, 0, kTrack);
        other.SetLayerNo(c.otherLayer);
        EXPECT_EQ(arc.CheckShort(&other), c.contact);
        EXPECT_EQ(other.CheckShort(&arc), c.contact);
        EXPECT_EQ(arc.CheckShort(static_cast<CItemBase*>(&other)), c.contact);

        // A violation marks the other arc's end as a pad, then the nearest end of this arc.
        tagDRCSPEC rule = drc;
        EXPECT_EQ(arc.DRC_ShortCheck(&rule, &other), c.violation);
        if (c.violation)
            ExpectPoints(ErrorPointsOf(rule), {CDPoint(0, 10), CDPoint(0, 10 + c.gap)});
        else
            EXPECT_TRUE(rule.errorPoints.empty());
    }
}

TEST_F(ArcContactTest, ArcTooSmallForThePolylineTouchesAsOneChord)
{
    // Radius 0.04 gives no polyline point; the arc is taken as the chord from its start to its end.
    CArc tiny(CDPoint(0, 10.1), 0.04, 0.0, kPi, 0, kTrack);
    CArc arc = Quarter();
    EXPECT_EQ(tiny.CheckShort(&arc), 1);
    CArc away(CDPoint(0, 10.45), 0.04, 0.0, kPi, 0, kTrack);
    EXPECT_EQ(away.CheckShort(&arc), 0);
    tagDRCSPEC rule = drc;
    EXPECT_EQ(away.DRC_ShortCheck(&rule, &arc), 1);
    EXPECT_EQ(rule.errorPoints.size(), 4u);
}

// --- Arc against land ---

TEST_F(ArcContactTest, ArcAgainstLand)
{
    struct Case
    {
        const char* name;
        CDPoint at;
        int landLayer;
        int contact;
        int violation;
    };
    // A round pad of 1.0: beside the stroke its copper touches from 0.625 off the centre line, and
    // the clearance of 0.25 is kept from 0.875 on. Below the start the round end counts alike. A
    // pad on the stroke breaks the rule as it does on a line.
    const double r45 = std::sqrt(0.5);
    const Case cases[] = {
        {"on the centre line within the sweep", CDPoint(10 * r45, 10 * r45), 0, 1, 1},
        {"on the stroke within the sweep", CDPoint(10.5 * r45, 10.5 * r45), 0, 1, 1},
        {"just beyond the band within the sweep", CDPoint(10.7 * r45, 10.7 * r45), 0, 0, 1},
        {"on the start", CDPoint(10, 0), 0, 1, 1},
        {"touching the round end", CDPoint(10, -0.6), 0, 1, 1},
        {"touching the round end edge to edge", CDPoint(10, -0.625), 0, 1, 1},
        {"just inside the clearance", CDPoint(10, -0.87), 0, 0, 1},
        {"exactly at the clearance", CDPoint(10, -0.875), 0, 0, 0},
        {"just outside the clearance", CDPoint(10, -0.88), 0, 0, 0},
        {"touching, on another wiring layer", CDPoint(10, -0.6), 1, 1, 1},
        {"just inside, on another wiring layer", CDPoint(10, -0.87), 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc = Quarter();
        arc.SetLayerNo(0);
        CLand land(c.at, kRoundPad);
        land.SetLayerNo(c.landLayer);
        EXPECT_EQ(arc.CheckShort(&land), c.contact);
        EXPECT_EQ(arc.CheckShort(static_cast<CItemBase*>(&land)), c.contact);
        EXPECT_EQ(land.CheckShort(static_cast<CItemBase*>(&arc)), c.contact);

        tagDRCSPEC rule = drc;
        EXPECT_EQ(arc.DRC_ShortCheck(&rule, &land), c.violation);
        EXPECT_EQ(rule.errorPoints.size(), c.violation ? 4u : 0u);
        if (c.violation && c.at.x == 10.0)
            ExpectPoints(ErrorPointsOf(rule), {c.at, CDPoint(10, 0)});
        // The land hands the pairing to the arc.
        tagDRCSPEC fromLand = drc;
        EXPECT_EQ(land.DRC_ShortCheck(&fromLand, &arc), c.violation);
    }
}

TEST_F(ArcContactTest, StartArrowViolatesWhereTheArcDoesNot)
{
    CArc arc = Quarter();
    arc.SetArrow(200, 0);
    CDPoint head[3];
    arc.CalcArrowPoint(1, head);
    // The barb that leans away from the centre, and a pad 0.8 further out: 0.8 beyond the barb's
    // end, more than 0.875 from the arc itself.
    const CDPoint barb = head[1].x > head[2].x ? head[1] : head[2];
    const CDPoint at(barb.x + 0.8, barb.y);
    CLand land(at, kRoundPad);

    CArc bare = Quarter();
    tagDRCSPEC rule = drc;
    EXPECT_EQ(bare.DRC_ShortCheck(&rule, &land), 0);
    EXPECT_EQ(arc.DRC_ShortCheck(&rule, &land), 1);
    ExpectPoints(ErrorPointsOf(rule), {at, barb});

    // An end arrow far from the pad does not undo the start's violation.
    arc.SetArrow(200, 200);
    tagDRCSPEC both = drc;
    EXPECT_EQ(arc.DRC_ShortCheck(&both, &land), 1);
}

TEST_F(ArcContactTest, HoleMarginReachesTheChordsWhereTheNettedClearanceStops)
{
    // Below the start, the item's rectangle lies 0.3 from the arc's: within the hole margin of
    // 0.5 but beyond the netted clearance of 0.2.
    tagDRCSPEC rule;
    rule.holeMargin = 0.5;
    rule.netClearance = 0.2;
    rule.plainClearance = 0.2;
    CArc arc = Quarter();
    CHole hole(CDPoint(10, -0.925), 1.0, true, 0.0, 0.0, 0.0);
    EXPECT_EQ(arc.DRC_ShortCheck(&rule, &hole), 1);
    ExpectPoints(ErrorPointsOf(rule), {CDPoint(10, 0), CDPoint(10, -0.925)});

    tagDRCSPEC forLand = rule;
    forLand.errorPoints.clear();
    CLand land(CDPoint(10, -0.925), kRoundPad);
    EXPECT_EQ(arc.DRC_ShortCheck(&forLand, &land), 0);
    EXPECT_TRUE(forLand.errorPoints.empty());
}

TEST_F(ArcContactTest, ArcAgainstHoleClearance)
{
    struct Case
    {
        const char* name;
        CDPoint at;
        int contact;
        int violation;
    };
    // A hole of diameter 1 below the start, hole margin 0.25: the hole touches the round end from
    // 0.625 off the start and keeps the margin from 0.875 on. A hole is no copper: only a stroke
    // over its centre is wired to it.
    const double r45 = std::sqrt(0.5);
    const Case cases[] = {
        {"centre under the stroke", CDPoint(10 * r45, 10 * r45), 1, 0},
        {"centre under the round end", CDPoint(10, -0.1), 1, 0},
        {"over the stroke's edge", CDPoint(10.5 * r45, 10.5 * r45), 1, 1},
        {"over the round end", CDPoint(10, -0.5), 1, 1},
        {"touching the round end", CDPoint(10, -0.625), 1, 1},
        {"just inside the margin", CDPoint(10, -0.75), 0, 1},
        {"exactly at the margin", CDPoint(10, -0.875), 0, 0},
        {"just outside the margin", CDPoint(10, -1.0), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc = Quarter();
        CHole hole(c.at, 1.0, true, 0.0, 0.0, 0.0);
        EXPECT_EQ(arc.CheckShort(&hole), c.contact);
        tagDRCSPEC rule = drc;
        EXPECT_EQ(arc.DRC_ShortCheck(&rule, &hole), c.violation);
        EXPECT_EQ(rule.errorPoints.size(), c.violation ? 4u : 0u);
        if (c.violation && c.at.x == 10.0)
            ExpectPoints(ErrorPointsOf(rule), {CDPoint(10, 0), c.at});
        // The hole hands the pairing to the arc.
        tagDRCSPEC fromHole = drc;
        EXPECT_EQ(hole.DRC_ShortCheck(&fromHole, &arc), c.violation);
    }
}

TEST_F(ArcContactTest, ArcAgainstHoleContact)
{
    // A hole touches the stroke like a pad of its diameter, round ends included.
    CArc arc = Quarter();
    CHole beside(CDPoint(10, -0.6), 1.0, true, 0.0, 0.0, 0.0);
    CHole edge(CDPoint(10, -0.625), 1.0, true, 0.0, 0.0, 0.0);
    CHole clear(CDPoint(10, -0.65), 1.0, true, 0.0, 0.0, 0.0);
    EXPECT_EQ(arc.CheckShort(static_cast<CItemBase*>(&beside)), 1);
    EXPECT_EQ(arc.CheckShort(&edge), 1);
    EXPECT_EQ(arc.CheckShort(&clear), 0);
}

TEST_F(ArcContactTest, KindsWithoutContact)
{
    CArc arc = Quarter();
    CArc distant(CDPoint(100, 100), 1.0, 0.0, kPi, 0, kTrack);
    tagDRCSPEC rule = drc;
    EXPECT_EQ(arc.CheckShort(static_cast<CItemBase*>(nullptr)), 0);
    EXPECT_EQ(arc.CheckShort(&distant), 0);
    EXPECT_EQ(arc.DRC_ShortCheck(&rule, &distant), 0);
    EXPECT_EQ(arc.DRC_ShortCheck(&rule, nullptr), 0);
    EXPECT_TRUE(rule.errorPoints.empty());
}

} // namespace
