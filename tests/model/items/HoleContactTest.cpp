// Hole hit tests, snapping, contact between holes, the clearance between holes, the hole-to-hole
// rule, the merging of wire ids into groups and the hole's outline.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace testing_support;

constexpr double kPi = std::numbers::pi;

class HoleContactTest : public ContactTest
{
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
    return CHole(CDPoint(x, y), height, false, width, 0.1, angle);
}

// --- Hit tests ---

TEST_F(HoleContactTest, PointOnTheHole)
{
    CHole round = Round(0, 0, 1.0);
    EXPECT_EQ(round.CheckPoint(CDPoint(0.5, 0)), 1); // exactly on the edge, either side
    EXPECT_EQ(round.CheckPoint(CDPoint(-0.5, 0)), 1);
    EXPECT_EQ(round.CheckPoint(CDPoint(0, 0.5)), 1);
    EXPECT_EQ(round.CheckPoint(CDPoint(0.36, 0.36)), 0);

    CHole slot = Slot(0, 0, 1.0, 5.0);
    EXPECT_EQ(slot.CheckPoint(CDPoint(2.4, 0)), 1);
    EXPECT_EQ(slot.CheckPoint(CDPoint(0, 0.5)), 1);
    EXPECT_EQ(slot.CheckPoint(CDPoint(0, 0.6)), 0);
    EXPECT_EQ(slot.CheckPoint(CDPoint(2.4, 0.4)), 0); // outside the end's half circle

    // A box counts with its unrounded corners and edges.
    CHole box = Box(0, 0, 1.0, 2.0);
    EXPECT_EQ(box.CheckPoint(CDPoint(1.0, 0.5)), 1);
    EXPECT_EQ(box.CheckPoint(CDPoint(-1.0, -0.5)), 1);
    EXPECT_EQ(box.CheckPoint(CDPoint(1.01, 0)), 0);
    CHole turned = Box(0, 0, 1.0, 2.0, kPi / 2);
    EXPECT_EQ(turned.CheckPoint(CDPoint(0.4, 0.9)), 1);
    EXPECT_EQ(turned.CheckPoint(CDPoint(0.9, 0.4)), 0);
}

TEST_F(HoleContactTest, RectangleMeetsTheHole)
{
    CHole round = Round(0, 0, 2.0);
    EXPECT_EQ(round.CheckPoint(CDRect(-3, -3, 3, 3)), 1);     // encloses it
    EXPECT_EQ(round.CheckPoint(CDRect(-5, -0.1, 5, 0.1)), 1); // only its edges cross the circle
    EXPECT_EQ(round.CheckPoint(CDRect(0.9, 0.9, 5, 5)), 0);   // only the bounding box's corner
    EXPECT_EQ(round.CheckPoint(CDRect(0.5, 0.5, 5, 5)), 1);   // a corner on the hole
    EXPECT_EQ(round.CheckPoint(CDRect(-0.1, -0.1, 0.1, 0.1)), 1);
    EXPECT_EQ(round.CheckPoint(CDRect(2, 2, 5, 5)), 0);
    CHole turned = Box(0, 0, 1.0, 4.0, kPi / 4);
    EXPECT_EQ(turned.CheckPoint(CDRect(1.2, -0.3, 3, -0.2)), 0);
    EXPECT_EQ(turned.CheckPoint(CDRect(-3, 0.9, 3, 1.0)), 1); // crosses the turned box
}

TEST_F(HoleContactTest, SnapToPositionOrEndCentre)
{
    CHole slot = Slot(0, 0, 1.0, 5.0); // end centres at +-2
    CDPoint p(2.1, 0.2);
    EXPECT_EQ(slot.CheckItemPoint(p, 0.5), 1);
    EXPECT_NEAR(p.x, 2.0, 1e-12);
    EXPECT_NEAR(p.y, 0.0, 1e-12);
    CDPoint q(0.3, 0.1);
    EXPECT_EQ(slot.CheckItemPoint(q, 0.5), 1);
    EXPECT_EQ(q, CDPoint(0, 0));
    CDPoint far(0.9, 0);
    EXPECT_EQ(slot.CheckItemPoint(far, 0.5), 0); // picks the centre, 0.9 away
    EXPECT_EQ(far, CDPoint(0.9, 0));

    CHole upright = Slot(0, 0, 1.0, 5.0, kPi / 2);
    CDPoint r(0.2, 2.1);
    EXPECT_EQ(upright.CheckItemPoint(r, 0.5), 1);
    EXPECT_NEAR(r.x, 0.0, 1e-12);
    EXPECT_NEAR(r.y, 2.0, 1e-12);

    CHole round = Round(1, 1, 1.0);
    CDPoint s(1.375, 1.5);
    EXPECT_EQ(round.CheckItemPoint(s, 0.5), 0);
    EXPECT_EQ(round.CheckItemPoint(s, 0.625), 1);
    EXPECT_EQ(s, CDPoint(1, 1));
    // A negative tolerance snaps only a point on the hole.
    CDPoint on(1.25, 1.25), off(1.5, 1.5);
    EXPECT_EQ(round.CheckItemPoint(on, -1.0), 1);
    EXPECT_EQ(on, CDPoint(1, 1));
    EXPECT_EQ(round.CheckItemPoint(off, -1.0), 0);
}

// --- Holes against holes ---

struct HoleHoleCase
{
    const char* name;
    CHole a, b;
    int contact;
    double clearance;
    int violation; // hole-to-hole rule 0.25
};

TEST_F(HoleContactTest, HoleAgainstHole)
{
    const std::vector<HoleHoleCase> cases = {
        {"round, touching", Round(0, 0, 1), Round(1.0, 0, 1), 1, 0.0, 1},
        {"round, overlapping", Round(0, 0, 1), Round(0.5, 0, 1), 1, -0.5, 1},
        {"round, within the rule", Round(0, 0, 1), Round(1.125, 0, 1), 0, 0.125, 0},
        {"round, beyond the rule's box", Round(0, 0, 1), Round(1.5, 0, 1), 0, 0.5, 0},
        {"round beside a slot", Round(4, 2, 1), Slot(0, 0, 1, 10), 0, 1.0, 0},
        {"round beside a turned slot", Round(-2, 4, 1), Slot(0, 0, 1, 10, kPi / 2), 0, 1.0, 0},
        {"round beyond a slot's end", Round(7, 0, 1), Slot(0, 0, 1, 10), 0, 1.5, 0},
        {"round beyond a box's end", Round(7, 0.75, 1), Box(0, 0, 1, 10), 0, std::hypot(2.0, 0.25) - 0.5, 0},
        {"slot near a round hole's rule box", Slot(0, 0, 1, 3), Round(2.125, 0, 1), 0, 0.125, 1},
        {"slots side by side", Slot(0, 0, 1, 5), Slot(0, 2, 1, 5), 0, 1.0, 0},
        {"slots end to end", Slot(0, 0, 1, 5), Slot(6, 0, 1, 5), 0, 1.0, 0},
        {"crossing slots", Slot(0, 0, 1, 5), Slot(0, 0, 1, 5, kPi / 2), 1, -1.0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CHole a = c.a, b = c.b;
        EXPECT_EQ(a.CheckShort(&b), c.contact);
        EXPECT_EQ(b.CheckShort(&a), c.contact);
        EXPECT_NEAR(a.GetClearance(&b), c.clearance, 1e-9);
        EXPECT_NEAR(b.GetClearance(&a), c.clearance, 1e-9);
        EXPECT_EQ(a.CheckClearance(&b, c.clearance - 0.01), 1);
        EXPECT_EQ(a.CheckClearance(&b, c.clearance + 0.01), 0);
        tagDRCSPEC drc = rule;
        EXPECT_EQ(a.DRC_ShortCheck(&drc, &b), c.violation);
        EXPECT_TRUE(drc.errorPoints.empty()); // the hole rule records nothing
    }
}

TEST_F(HoleContactTest, ClearanceOnlyBetweenHoles)
{
    CHole hole = Round(0, 0, 1);
    CLine line(CDPoint(5, 0), CDPoint(6, 0), T_LINE, 0);
    CLand land(CDPoint(5, 0), T_PAD);
    EXPECT_DOUBLE_EQ(hole.GetClearance(&line), -1.0);
    EXPECT_DOUBLE_EQ(hole.GetClearance(&land), -1.0);
    EXPECT_EQ(hole.CheckClearance(&line, 0.0), 0);
    EXPECT_EQ(hole.CheckShort(static_cast<CItemBase*>(&line)), 0);
}

TEST_F(HoleContactTest, LineThroughTheCentreNeverViolates)
{
    CLine line(CDPoint(-5, 0), CDPoint(5, 0), T_FINE, 0);
    for (CHole hole : {Round(0, 0, 1), Slot(0, 0, 1, 3), Box(0, 0, 1, 2, 0.3)}) {
        tagDRCSPEC drc = rule;
        EXPECT_EQ(hole.DRC_ShortCheck(&drc, &line), 0);
        EXPECT_TRUE(drc.errorPoints.empty());
    }
}

TEST_F(HoleContactTest, TrackOrArcOverTheEdgeButNotTheCentre)
{
    // A hole of 1.0 at the origin, margin 0.25; 0.2 strokes whose centre line runs 0.4 from the
    // hole's centre cross its edge, and ones over the centre are wired to it.
    const CHole hole = Round(0, 0, 1.0);
    const CLine overEdge(CDPoint(-2, 0.4), CDPoint(2, 0.4), T_FINE, 0);
    const CLine overCentre(CDPoint(-2, 0), CDPoint(2, 0), T_FINE, 0);
    // Quarter-turn arcs of radius 10 whose middle passes 0.4 from, or through, the hole's centre.
    const CArc arcOverEdge(CDPoint(0, -9.6), 10.0, kPi / 4, 3 * kPi / 4, 0, T_FINE);
    const CArc arcOverCentre(CDPoint(0, -10), 10.0, kPi / 4, 3 * kPi / 4, 0, T_FINE);
    struct Case
    {
        const char* name;
        CItemBase* item;
        int violation;
    };
    CLine edgeLine = overEdge, centreLine = overCentre;
    CArc edgeArc = arcOverEdge, centreArc = arcOverCentre;
    const Case cases[] = {
        {"track over the edge", &edgeLine, 1},
        {"track over the centre", &centreLine, 0},
        {"arc over the edge", &edgeArc, 1},
        {"arc over the centre", &centreArc, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHole h = hole;
        EXPECT_EQ(h.CheckShort(c.item), 1);
        tagDRCSPEC fromHole = rule;
        EXPECT_EQ(h.DRC_ShortCheck(&fromHole, c.item), c.violation);
        EXPECT_EQ(fromHole.errorPoints.size(), c.violation ? 4u : 0u);
        tagDRCSPEC fromItem = rule;
        const int other = c.item->GetKind() == KIND_LINE
                              ? static_cast<CLine*>(c.item)->DRC_ShortCheck(&fromItem, &h)
                              : static_cast<CArc*>(c.item)->DRC_ShortCheck(&fromItem, &h);
        EXPECT_EQ(other, c.violation);
    }
    // The foot of the perpendicular on the track, and the hole's centre.
    CHole h = hole;
    tagDRCSPEC drc = rule;
    ASSERT_EQ(h.DRC_ShortCheck(&drc, &edgeLine), 1);
    EXPECT_EQ(drc.errorPoints, Words(CDPoint(0, 0.4), CDPoint(0, 0)));
}

// --- Wire ids into groups ---

TEST_F(HoleContactTest, MergeWireIdsIntoGroups)
{
    CHole hole = Round(0, 0, 1);
    hole.SetLayerID(0x101, 1);
    hole.SetLayerID(0x303, 3);
    hole.SetID(0x101);

    std::vector<std::uint32_t> groups;
    EXPECT_EQ(hole.CheckNet(4, &groups), 1);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0x101, 0x303, 0}));

    groups = {0x303, 0x505, 0};
    EXPECT_EQ(hole.CheckNet(4, &groups), 1);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0x303, 0x505, 0x101, 0}));

    // A run already holding every id stays; the first run that shares an id takes them.
    groups = {0x707, 0, 0x101, 0x303, 0, 0x303, 0};
    EXPECT_EQ(hole.CheckNet(4, &groups), 1);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0x707, 0, 0x101, 0x303, 0, 0x303, 0}));

    // The own id leads when the layers do not hold it.
    hole.SetID(0x909);
    groups.clear();
    EXPECT_EQ(hole.CheckNet(4, &groups), 1);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0x909, 0x101, 0x303, 0}));

    // Only the layers counted; a part header is not an id.
    hole.SetID(0);
    groups = {0xFFFFFFFFu, 0x303, 7, 0x505, 0};
    EXPECT_EQ(hole.CheckNet(2, &groups), 1);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0xFFFFFFFFu, 0x303, 7, 0x505, 0, 0x101, 0}));

    // One layer, or no ids: nothing changes.
    groups = {0x505, 0};
    EXPECT_EQ(hole.CheckNet(1, &groups), 1);
    CHole bare = Round(0, 0, 1);
    EXPECT_EQ(bare.CheckNet(4, &groups), 0);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{0x505, 0}));
}

// --- Outline ---

TEST_F(HoleContactTest, OutlineOfASlot)
{
    for (const double grow : {0.0, 0.1}) {
        SCOPED_TRACE(grow);
        const double h = 0.5 + grow;
        CHole slot = Slot(0, 0, 1.0, 3.0);
        CSheet sheet(SHEET_WORK);
        slot.GetFrameData(&sheet, grow);
        ASSERT_EQ(sheet.GetKindCount(KIND_LINE), 2);
        ASSERT_EQ(sheet.GetKindCount(KIND_ARC), 2);
        POSITION pos = sheet.GetFirstLinePos();
        const CLine* lower = sheet.GetNextLine(pos);
        const CLine* upper = sheet.GetNextLine(pos);
        EXPECT_EQ(lower->GetStartPoint(), CDPoint(-1, -h));
        EXPECT_EQ(lower->GetEndPoint(), CDPoint(1, -h));
        EXPECT_EQ(upper->GetStartPoint(), CDPoint(1, h));
        EXPECT_EQ(upper->GetEndPoint(), CDPoint(-1, h));
        pos = sheet.GetFirstArcPos();
        const CArc* left = sheet.GetNextArc(pos);
        const CArc* right = sheet.GetNextArc(pos);
        EXPECT_EQ(left->GetCenter(), CDPoint(-1, 0));
        EXPECT_EQ(right->GetCenter(), CDPoint(1, 0));
        EXPECT_NEAR(left->GetRadius(), h, 1e-12);
        EXPECT_NEAR(left->GetStartAngle(), kPi / 2, 1e-12);
        EXPECT_NEAR(left->GetEndAngle(), 1.5 * kPi, 1e-12);
        EXPECT_NEAR(right->GetStartAngle(), 1.5 * kPi, 1e-12);
        EXPECT_NEAR(right->GetEndAngle(), kPi / 2, 1e-12);
    }
}

TEST_F(HoleContactTest, OutlineOfRoundAndTurnedHoles)
{
    CHole round = Round(2, 3, 1.0);
    CSheet circle(SHEET_WORK);
    round.GetFrameData(&circle, 0.25);
    ASSERT_EQ(circle.GetKindCount(KIND_ARC), 1);
    EXPECT_TRUE(circle.GetHeadArc()->IsCircle());
    EXPECT_NEAR(circle.GetHeadArc()->GetRadius(), 0.75, 1e-12);

    CHole none = Round(0, 0, 0.0);
    CSheet empty(SHEET_WORK);
    none.GetFrameData(&empty, 0.0);
    EXPECT_TRUE(empty.IsEmpty());

    CHole box = Box(0, 0, 1.0, 2.0, kPi / 2);
    CSheet sides(SHEET_WORK);
    box.GetFrameData(&sides, 0.0);
    ASSERT_EQ(sides.GetKindCount(KIND_LINE), 4);
    const CDPoint corners[4] = {{0.5, -1}, {0.5, 1}, {-0.5, 1}, {-0.5, -1}};
    int i = 0;
    for (POSITION pos = sides.GetFirstLinePos(); pos; ++i) {
        const CLine* l = sides.GetNextLine(pos);
        EXPECT_NEAR(l->GetStartPoint().x, corners[i].x, 1e-12);
        EXPECT_NEAR(l->GetStartPoint().y, corners[i].y, 1e-12);
    }
    EXPECT_EQ(sides.GetKindCount(KIND_ARC), 0);
}

} // namespace
