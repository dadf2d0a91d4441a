// Land hit tests, contact, plane contact, clearance and outline: tables for land-land and
// land-hole, the shape rules of the pad, and the outline grown by a distance.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "platform/Fixed.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace testing_support;

constexpr std::uint32_t kIdA = 0x101;
constexpr std::uint32_t kIdB = 0x201;

class LandContactTest : public ContactTest
{
};

CLand Pad(double x, double y, int turret, std::uint32_t id = kIdA)
{
    CLand land(CDPoint(x, y), turret);
    land.SetID(id);
    land.SetLayerNo(0);
    return land;
}

// --- Hit tests ---

TEST_F(LandContactTest, PointOnThePad)
{
    CLand round = Pad(0, 0, T_ROUND2);
    EXPECT_EQ(round.CheckPoint(CDPoint(1, 0)), 1);
    EXPECT_EQ(round.CheckPoint(CDPoint(0.8, 0.8)), 0);
    CLand square = Pad(0, 0, T_SQUARE2);
    EXPECT_EQ(square.CheckPoint(CDPoint(0.8, 0.8)), 1);
    EXPECT_EQ(square.CheckPoint(CDPoint(1.0, -1.0)), 1);
    EXPECT_EQ(square.CheckPoint(CDPoint(1.01, 0)), 0);
    // Only the ring of a donut or a thermal pad counts.
    for (const int turret : {T_DONUT, T_THERMAL}) {
        CLand ring = Pad(0, 0, turret);
        EXPECT_EQ(ring.CheckPoint(CDPoint(0.4, 0)), 0);
        EXPECT_EQ(ring.CheckPoint(CDPoint(0.6, 0)), 1);
        EXPECT_EQ(ring.CheckPoint(CDPoint(1.0, 0)), 1);
        EXPECT_EQ(ring.CheckPoint(CDPoint(0.8, 0.8)), 0);
    }
}

TEST_F(LandContactTest, RectangleMeetsThePad)
{
    CLand round = Pad(0, 0, T_ROUND2);
    EXPECT_EQ(round.CheckPoint(CDRect(-0.1, -0.1, 0.1, 0.1)), 1); // holds the centre
    EXPECT_EQ(round.CheckPoint(CDRect(0.5, -0.2, 5.0, 0.2)), 1);  // an edge cuts the pad
    EXPECT_EQ(round.CheckPoint(CDRect(0.8, 0.8, 5.0, 5.0)), 0);   // only the bounding box's corner
    EXPECT_EQ(round.CheckPoint(CDRect(1.1, -1.0, 5.0, 1.0)), 0);
    CLand square = Pad(0, 0, T_SQUARE);
    EXPECT_EQ(square.CheckPoint(CDRect(0.5, 0.5, 2.0, 2.0)), 1); // corners touch
    EXPECT_EQ(square.CheckPoint(CDRect(0.6, 0.0, 2.0, 2.0)), 0);
    CLand donut = Pad(0, 0, T_DONUT);
    EXPECT_EQ(donut.CheckPoint(CDRect(-0.2, -0.2, 0.2, 0.2)), 0); // inside the opening
    EXPECT_EQ(donut.CheckPoint(CDRect(-0.2, -0.2, 0.7, 0.2)), 1); // its edge crosses the ring
    EXPECT_EQ(donut.CheckPoint(CDRect(-3, -3, 3, 3)), 1);         // encloses the pad
    EXPECT_EQ(donut.CheckPoint(CDRect(0.6, -0.1, 0.7, 0.1)), 1);  // lies on the ring
}

TEST_F(LandContactTest, SnapToThePosition)
{
    CLand land = Pad(1, 1, T_PAD);
    CDPoint p(1.375, 1.5);
    EXPECT_EQ(land.CheckItemPoint(p, 0.5), 0);
    EXPECT_EQ(land.CheckItemPoint(p, 0.625), 1);
    EXPECT_EQ(p, CDPoint(1, 1));
    CDPoint q(1.375, 1.5);
    EXPECT_EQ(land.CheckItemPoint(q, -0.625), 1); // a negative tolerance acts as its size
}

// --- Contact rules of the shapes ---

TEST_F(LandContactTest, ShapeRulesOfPadContact)
{
    CLand a = Pad(0, 0, T_PAD1);
    CLand b = Pad(1.0, 0, T_PAD1);
    EXPECT_EQ(a.CheckShort(&b), 1); // centres 1.0 apart, size 1
    CLand thermal = Pad(0, 0, T_THERMAL);
    CLand over = Pad(0.5, 0, T_PAD1);
    EXPECT_EQ(thermal.CheckShort(&over), 0);
    EXPECT_EQ(over.CheckShort(&thermal), 0);
    CHole hole(CDPoint(0, 0), 0.5, true, 0, 0, 0);
    EXPECT_EQ(thermal.CheckShort(&hole), 0);
    // A small pad in a donut's opening does not touch it; one reaching the ring does.
    CLand donut = Pad(0, 0, T_DONUT);
    CLand small = Pad(0.1, 0, T_SMALL);
    EXPECT_EQ(donut.CheckShort(&small), 0);
    EXPECT_EQ(small.CheckShort(&donut), 0);
    CLand reaching = Pad(0.3, 0, T_SMALL);
    EXPECT_EQ(donut.CheckShort(&reaching), 1);
    // A square pad of size 2 touches a hole crossing its edge and a hole that encloses it.
    CLand square = Pad(0, 0, T_SQUARE2);
    CHole crossing(CDPoint(1.4, 0), 1.0, true, 0, 0, 0);
    CHole enclosing(CDPoint(0, 1.2), 5.0, true, 0, 0, 0);
    CHole apart(CDPoint(1.6, 0), 1.0, true, 0, 0, 0);
    EXPECT_EQ(square.CheckShort(&crossing), 1);
    EXPECT_EQ(square.CheckShort(&enclosing), 1);
    EXPECT_EQ(square.CheckShort(&apart), 0);
    EXPECT_EQ(crossing.CheckShort(static_cast<CItemBase*>(&square)), 1);
}

// --- Land against land ---

struct LandLandCase
{
    const char* name;
    int turretA;
    CDPoint at;
    int turretB;
    bool otherLayer;
    int contact;
    int violation;
};

TEST_F(LandContactTest, LandAgainstLand)
{
    // Two 0.5 pads, netted clearance 0.25: touching at 0.5 apart, the rule ends at 0.75. Pads that
    // touch or overlap are as close as copper gets: the check reports them (the copper groups'
    // checks leave out the pads wired together).
    const std::vector<LandLandCase> cases = {
        {"round, same centre", T_PAD, {0, 0}, T_PAD, false, 1, 1},
        {"round, overlapping", T_PAD, {0.25, 0}, T_PAD, false, 1, 1},
        {"round, touching", T_PAD, {0.5, 0}, T_PAD, false, 1, 1},
        {"round, touching, other layer", T_PAD, {0.5, 0}, T_PAD, true, 1, 1},
        {"round, just inside", T_PAD, {0.625, 0}, T_PAD, false, 0, 1},
        {"round, just inside, other layer", T_PAD, {0.625, 0}, T_PAD, true, 0, 1},
        {"round, exactly at", T_PAD, {0.75, 0}, T_PAD, false, 0, 0},
        {"round, just outside", T_PAD, {0.875, 0}, T_PAD, false, 0, 0},
        {"round, diagonal, just inside", T_PAD, {0.375, 0.5}, T_PAD, false, 0, 1},
        {"round inside a square", T_PAD, {0.25, 0.25}, T_SQUARE2, false, 1, 1},
        {"square beside round, touching", T_PAD, {1.25, 0}, T_SQUARE2, false, 1, 1},
        {"square edge-on, just inside", T_PAD, {1.375, 0}, T_SQUARE2, false, 0, 1},
        {"square edge-on, exactly at", T_PAD, {1.5, 0}, T_SQUARE2, false, 0, 0},
        {"round beside square, just inside", T_SQUARE2, {1.375, 0}, T_PAD, false, 0, 1},
        {"two squares, overlapping", T_SQUARE, {0.5, 0.5}, T_SQUARE, false, 1, 1},
        {"two squares, edges touching", T_SQUARE, {1.0, 0}, T_SQUARE, false, 1, 1},
        {"two squares, just inside", T_SQUARE, {1.125, 0}, T_SQUARE, false, 0, 1},
        {"two squares, exactly at", T_SQUARE, {1.25, 0}, T_SQUARE, false, 0, 0},
        {"thermal over a pad is never connected", T_THERMAL, {0.5, 0}, T_PAD, false, 0, 1},
        {"pad in a donut's opening", T_DONUT, {0.1, 0}, T_SMALL, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLand a = Pad(0, 0, c.turretA, kIdA);
        CLand b = Pad(c.at.x, c.at.y, c.turretB, kIdB);
        b.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(a.CheckShort(&b), c.contact);
        EXPECT_EQ(b.CheckShort(static_cast<CItemBase*>(&a)), c.contact);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), c.violation);
        // This land's position, then the other's.
        EXPECT_EQ(drc.errorPoints, c.violation ? Words(CDPoint(0, 0), c.at) : std::vector<std::uint32_t>{});
    }
}

TEST_F(LandContactTest, OverlappingPadsBreakThePlainClearance)
{
    // Size 1 pads 0.5 apart, plain clearance 0.3: the centres are far closer than 1 + 0.3.
    tagDRCSPEC drc = rule;
    drc.netClearance = 0.2;
    drc.plainClearance = 0.3;
    CLand a = Pad(0, 0, T_PAD1, 0);
    CLand b = Pad(0.5, 0, T_PAD1, 0);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 1);
    EXPECT_EQ(drc.errorPoints, Words(CDPoint(0, 0), CDPoint(0.5, 0)));
    EXPECT_EQ(b.DRC_ShortCheck(&drc, &a), 1);
}

TEST_F(LandContactTest, OverlapBreaksAZeroClearance)
{
    // With no clearance at all, pads that only touch keep the rule and pads that overlap break it,
    // whatever their shapes.
    struct Case
    {
        const char* name;
        int turretA;
        CDPoint at;
        int turretB;
        int violation;
    };
    const Case cases[] = {
        {"round, touching", T_PAD, {0.5, 0}, T_PAD, 0},
        {"round, overlapping", T_PAD, {0.375, 0}, T_PAD, 1},
        {"round and square, touching", T_PAD, {1.25, 0}, T_SQUARE2, 0},
        {"round and square, overlapping", T_PAD, {1.125, 0}, T_SQUARE2, 1},
        {"two squares, touching", T_SQUARE, {1.0, 0}, T_SQUARE, 0},
        {"two squares, overlapping", T_SQUARE, {0.875, 0.5}, T_SQUARE, 1},
        {"two squares, same place", T_SQUARE, {0, 0}, T_SQUARE, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tagDRCSPEC drc = rule;
        drc.netClearance = 0.0;
        CLand a = Pad(0, 0, c.turretA, kIdA);
        CLand b = Pad(c.at.x, c.at.y, c.turretB, kIdB);
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), c.violation);
        EXPECT_EQ(b.DRC_ShortCheck(&drc, &a), c.violation);
    }
}

TEST_F(LandContactTest, NettedAndPlainClearance)
{
    // Size 1 pads 1.25 apart, netted 0.2, plain 0.3: too close unless both carry a net id.
    tagDRCSPEC drc = rule;
    drc.netClearance = 0.2;
    drc.plainClearance = 0.3;
    CLand a = Pad(0, 0, T_PAD1, kIdA);
    CLand b = Pad(1.25, 0, T_PAD1, kIdB);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 0);
    b.SetID(0);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 1);
    a.SetID(0);
    b.SetID(kIdB);
    EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), 1);
    EXPECT_EQ(drc.errorPoints.size(), 8u); // four values per violation
}

// --- Land against hole ---

struct LandHoleCase
{
    const char* name;
    int turret;
    CHole hole;
    bool otherLayer;
    int contact;
    int violation;
};

CHole Round(double x, double y, double diameter)
{
    return CHole(CDPoint(x, y), diameter, true, 0.0, 0.0, 0.0);
}

CHole Slot(double x, double y, double diameter, double width, double angle = 0.0)
{
    return CHole(CDPoint(x, y), diameter, false, width, diameter * 0.5, angle);
}

CHole Box(double x, double y, double height, double width, double angle = 0.0)
{
    return CHole(CDPoint(x, y), height, false, width, 0.0, angle);
}

TEST_F(LandContactTest, LandAgainstHole)
{
    // A 0.5 pad and a hole of diameter 1, hole margin 0.25: touching at 0.75, the margin ends at 1.
    // A hole under the pad, touching or overlapping it, breaks the margin too (the copper groups'
    // checks leave out the pads wired to their holes).
    const std::vector<LandHoleCase> cases = {
        {"round, overlapping", T_PAD, Round(0.5, 0, 1.0), false, 1, 1},
        {"round, touching", T_PAD, Round(0.75, 0, 1.0), false, 1, 1},
        {"round, touching, other layer", T_PAD, Round(0.75, 0, 1.0), true, 1, 1},
        {"round, just inside", T_PAD, Round(0.875, 0, 1.0), false, 0, 1},
        {"round, exactly at", T_PAD, Round(1.0, 0, 1.0), false, 0, 0},
        {"round, just outside", T_PAD, Round(1.125, 0, 1.0), false, 0, 0},
        {"hole on the pad's centre", T_PAD, Round(0, 0, 0.3), false, 1, 1},
        {"slot end, touching", T_PAD, Slot(1.75, 0, 1.0, 3.0), false, 1, 1},
        {"slot end, just inside", T_PAD, Slot(1.875, 0, 1.0, 3.0), false, 0, 1},
        {"slot end, exactly at", T_PAD, Slot(2.0, 0, 1.0, 3.0), false, 0, 0},
        {"slot side, just inside", T_PAD, Slot(0, 0.875, 1.0, 3.0), false, 0, 1},
        {"box over the pad's edge", T_PAD, Box(1.2, 0, 1.0, 2.0), false, 1, 1},
        {"box, just inside", T_PAD, Box(1.375, 0, 1.0, 2.0), false, 0, 1},
        {"box, exactly at", T_PAD, Box(1.5, 0, 1.0, 2.0), false, 0, 0},
        {"square pad, just inside", T_SQUARE, Round(1.125, 0, 1.0), false, 0, 1},
        {"square pad, exactly at", T_SQUARE, Round(1.25, 0, 1.0), false, 0, 0},
        {"hole in a donut's opening, just inside", T_DONUT, Round(0, 0, 0.75), false, 0, 1},
        {"hole in a donut's opening, exactly at", T_DONUT, Round(0, 0, 0.5), false, 0, 0},
        {"thermal never touches", T_THERMAL, Round(0.5, 0, 1.0), false, 0, 0},
        {"thermal round its hole", T_THERMAL, Round(0, 0, 0.8), false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLand land = Pad(0, 0, c.turret);
        CHole hole = c.hole;
        hole.SetLayerNo(c.otherLayer ? 1 : 0);
        EXPECT_EQ(land.CheckShort(&hole), c.contact);
        EXPECT_EQ(hole.CheckShort(static_cast<CItemBase*>(&land)), c.contact);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(land.DRC_ShortCheck(&drc, &hole), c.violation);
        EXPECT_EQ(drc.errorPoints,
                  c.violation ? Words(CDPoint(0, 0), hole.GetPoint()) : std::vector<std::uint32_t>{});
        tagDRCSPEC again = rule;
        EXPECT_EQ(hole.DRC_ShortCheck(&again, &land), c.violation);
        EXPECT_EQ(again.errorPoints, drc.errorPoints);
    }
}

// --- Plane contact ---

TEST_F(LandContactTest, PlaneContactOfAThermalPad)
{
    CLand pad = Pad(0, 0, T_PAD);
    CLine through(CDPoint(-2, 0), CDPoint(2, 0), T_LINE, 0);
    for (const int mode : {1, 2}) {
        tagPOINTFX where{};
        EXPECT_EQ(pad.CheckTHShort(&through, &where, mode), 1);
        EXPECT_EQ(where, CDPoint(0, 0).FxPoint());
    }
    // Across the pad without covering its centre: only the outline test finds it.
    CLine beside(CDPoint(-2, 0.2), CDPoint(2, 0.2), T_LINE, 0);
    tagPOINTFX where = CDPoint(9, 9).FxPoint();
    EXPECT_EQ(pad.CheckTHShort(&beside, &where, 1), 0);
    EXPECT_EQ(where, CDPoint(9, 9).FxPoint());
    EXPECT_EQ(pad.CheckTHShort(&beside, &where, 2), 1);
    // The first crossing of the line's outline (its lower side at y = 0.075) with the pad circle.
    const double x = std::sqrt(0.25 * 0.25 - 0.075 * 0.075);
    EXPECT_NEAR(platform::FixedToDouble(where.x), -x, 1e-4);
    EXPECT_NEAR(platform::FixedToDouble(where.y), 0.075, 1e-4);
    // An arc across the pad, its stroke short of the centre.
    CArc arc(CDPoint(0, 1.2), 1.0, 3.14159265358979, 0.0, 0, T_FINE);
    EXPECT_EQ(pad.CheckTHShort(&arc, &where, 1), 0);
    EXPECT_EQ(pad.CheckTHShort(&arc, &where, 2), 1);
    EXPECT_NEAR(std::hypot(platform::FixedToDouble(where.x), platform::FixedToDouble(where.y)), 0.25, 1e-4);
    // Clear of the pad in every mode.
    CLine clear(CDPoint(-2, 0.5), CDPoint(2, 0.5), T_LINE, 0);
    EXPECT_EQ(pad.CheckTHShort(&clear, &where, 2), 0);
    // Another land covering the position; a hole is no plane copper.
    CLand big = Pad(0.3, 0, T_PAD1);
    EXPECT_EQ(pad.CheckTHShort(&big, &where, 1), 1);
    CHole hole = Round(0, 0, 1.0);
    EXPECT_EQ(pad.CheckTHShort(&hole, &where, 2), 0);
}

// --- Outline ---

TEST_F(LandContactTest, OutlineGrownByATenth)
{
    CLand square = Pad(0, 0, T_SQUARE);
    CSheet box(SHEET_WORK);
    square.GetFrameData(&box, 0.1);
    ASSERT_EQ(box.GetKindCount(KIND_LINE), 4);
    const CDPoint corners[4] = {{-0.6, -0.6}, {0.6, -0.6}, {0.6, 0.6}, {-0.6, 0.6}};
    int i = 0;
    for (POSITION pos = box.GetFirstLinePos(); pos; ++i) {
        const CLine* l = box.GetNextLine(pos);
        EXPECT_NEAR(l->GetStartPoint().x, corners[i].x, 1e-12);
        EXPECT_NEAR(l->GetStartPoint().y, corners[i].y, 1e-12);
        EXPECT_NEAR(l->GetEndPoint().x, corners[(i + 1) % 4].x, 1e-12);
        EXPECT_NEAR(l->GetEndPoint().y, corners[(i + 1) % 4].y, 1e-12);
    }

    CLand donut = Pad(0, 0, T_DONUT);
    CSheet rings(SHEET_WORK);
    donut.GetFrameData(&rings, 0.1);
    ASSERT_EQ(rings.GetKindCount(KIND_ARC), 2);
    POSITION pos = rings.GetFirstArcPos();
    CArc* outer = rings.GetNextArc(pos);
    CArc* inner = rings.GetNextArc(pos);
    EXPECT_NEAR(outer->GetRadius(), 1.1, 1e-12);
    EXPECT_NEAR(inner->GetRadius(), 0.4, 1e-12);
    EXPECT_TRUE(outer->IsCircle());

    for (const int turret : {T_PAD, T_THERMAL}) {
        CLand land = Pad(2, 3, turret);
        CSheet circle(SHEET_WORK);
        land.GetFrameData(&circle, 0.1);
        ASSERT_EQ(circle.GetKindCount(KIND_ARC), 1);
        EXPECT_EQ(circle.GetKindCount(KIND_LINE), 0);
        EXPECT_EQ(circle.GetHeadArc()->GetCenter(), CDPoint(2, 3));
    }

    // Nothing left to outline.
    CLand none = Pad(0, 0, T_PAD);
    CSheet empty(SHEET_WORK);
    none.GetFrameData(&empty, -0.25);
    EXPECT_TRUE(empty.IsEmpty());
}

} // namespace
