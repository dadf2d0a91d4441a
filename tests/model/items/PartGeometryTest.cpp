// Part item: transforms with their locks, rectangles, the orientation from the terminals, the
// "COC" area and the hit tests.

#include "model/items/Part.h"

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;

class PartGeometryTest : public ::testing::Test
{
protected:
    PartBoard board;

    static CPart Simple()
    {
        CPart part(CDPoint(0, 0), CDRect(-1, -1, 1, 1), 0, 0, 0.0, 0);
        part.SetPartName("P");
        part.GetPartNameText()->SetPoint(CDPoint(0, 2));
        part.NewLand(CDPoint(1, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewLine(CDPoint(1, 0), CDPoint(3, 0), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
        part.NewTer(CDPoint(1, 0), CText("1", CDPoint(1, 0), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewHole(CDPoint(1, 0), 0.6, true, 0, 0, 0)->SetLayerNo(PartBoard::kHoleA);
        part.NewVia(CVia(CDPoint(-2, 0), 1, nullptr, 0x3));
        return part;
    }

    static CDPoint FirstLand(CPart& part)
    {
        POSITION pos = part.GetFirstLandPos();
        return part.GetNextLand(pos)->GetPoint();
    }
};

TEST_F(PartGeometryTest, LocksHoldUnlessForced)
{
    CPart part = Simple();
    part.SetType(PART_MOVE_LOCK | PART_ROTATE_LOCK);
    part.Offset(CDPoint(5, 5));
    part.Scale(CDPoint(10, 10), CDSize(2, 2));
    part.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(part.GetOrg(), CDPoint(0, 0));
    EXPECT_EQ(FirstLand(part), CDPoint(1, 0));
    EXPECT_DOUBLE_EQ(part.GetAngle(), 0.0);

    part.Offset(CDPoint(5, 5), true);
    EXPECT_EQ(part.GetOrg(), CDPoint(5, 5));
    EXPECT_EQ(FirstLand(part), CDPoint(6, 5));
    part.Rotate(CDPoint(5, 5), kPi / 2, true);
    EXPECT_EQ(FirstLand(part), CDPoint(5, 6));
    EXPECT_NEAR(part.GetAngle(), kPi / 2, 1e-12);
    // Scaling moves the part so that its origin scales; the items keep their size.
    part.Scale(CDPoint(0, 0), CDSize(2, 2), true);
    EXPECT_EQ(part.GetOrg(), CDPoint(10, 10));
    EXPECT_EQ(FirstLand(part), CDPoint(10, 11));
    part.Scale(CDPoint(3, 3), CDSize(1, 1), true);
    EXPECT_EQ(part.GetOrg(), CDPoint(10, 10));
}

TEST_F(PartGeometryTest, NamedTextsFollowByTheirRules)
{
    CPart part = Simple();
    // The empty reference does not turn, the name moves even when empty.
    part.GetRefNameText()->SetPoint(CDPoint(4, 0));
    part.Rotate(CDPoint(0, 0), kPi, false);
    EXPECT_EQ(part.GetRefNameText()->GetPoint(), CDPoint(4, 0));
    EXPECT_EQ(part.GetPartNameText()->GetPoint(), CDPoint(0, -2));
    part.SetPartName("");
    part.Offset(CDPoint(1, 1));
    EXPECT_EQ(part.GetPartNameText()->GetPoint(), CDPoint(1, -1));
    EXPECT_EQ(part.GetRefNameText()->GetPoint(), CDPoint(4, 0));

    // Scale about the origin: pad positions and lines scale, holes stay.
    CPart scaled = Simple();
    scaled.Scale(2.0);
    EXPECT_EQ(FirstLand(scaled), CDPoint(2, 0));
    POSITION pos = scaled.GetFirstLinePos();
    EXPECT_EQ(scaled.GetNextLine(pos)->GetEndPoint(), CDPoint(6, 0));
    pos = scaled.GetFirstHolePos();
    EXPECT_EQ(scaled.GetNextHole(pos)->GetPoint(), CDPoint(1, 0));
}

TEST_F(PartGeometryTest, MirrorTurnsTheSideOver)
{
    CPart part = Simple();
    part.MirrorX(0.5);
    EXPECT_EQ(part.GetOrg(), CDPoint(1, 0));
    EXPECT_EQ(FirstLand(part), CDPoint(0, 0));
    POSITION pos = part.GetFirstViaPos();
    EXPECT_EQ(part.GetNextVia(pos)->GetPoint(), CDPoint(3, 0));
    part.MirrorY(1);
    EXPECT_EQ(part.GetOrg(), CDPoint(1, 2));
}

TEST_F(PartGeometryTest, BoundsOfListedLayersAndOfEverything)
{
    CPart part = Simple();
    const CDRect all = part.GetBoundingRect();
    EXPECT_LE(all.left, -2.0);
    EXPECT_GE(all.right, 3.0);
    // Only the top copper and the vias.
    part.CalcBoundRect(std::vector<std::uint8_t>{PartBoard::kTop});
    const CDRect top = part.GetBoundingRect();
    EXPECT_NEAR(top.right, 3.1, 1e-9);
    EXPECT_LT(top.top, 1.0);
    EXPECT_LT(top.bottom, 1.0);
    // The area corners follow: 0 (left, bottom) and 2 (right, top).
    CPart copy(part);
    EXPECT_TRUE(copy.GetBoundingRect() == all);
}

TEST_F(PartGeometryTest, OrientationFromTheLowestTerminal)
{
    struct Case
    {
        std::vector<CDPoint> pins; // the first one gets the lowest id
        bool top;
        double angle;
    } cases[] = {
        {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, true, 0.0},
        {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, false, kPi},
        {{{1, -1}, {1, 1}, {-1, 1}, {-1, -1}}, true, kPi / 2},
        {{{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}, true, kPi},
        {{{-1, 1}, {-1, -1}, {1, -1}, {1, 1}}, true, 3 * kPi / 2},
        {{{-2, 0}, {2, 0}}, true, 0.0},
        {{{2, 0}, {-2, 0}}, true, kPi},
        {{{0, 2}, {0, -2}}, true, 3 * kPi / 2},
        {{{0, -2}, {0, 2}}, true, kPi / 2},
        {{{-1, -1}, {1, 1}}, true, std::atan2(1.0, 1.0)},
        {{{-1, -1}, {0, -1}, {1, 1}}, true, kPi},        // the second shares the origin's x, above it
        {{{-1, -1}, {1, 0}, {1, 1}}, true, 3 * kPi / 2}, // the second shares its y, to the right
        {{{5, 5}}, true, 0.0},
    };
    for (const Case& c : cases) {
        CPart part;
        part.SetType(c.top ? 0 : PART_OTHER_SIDE);
        std::uint32_t id = 1;
        for (const CDPoint& p : c.pins)
            part.NewTer(p, CText("1", p, 0))->SetID(id++);
        EXPECT_NEAR(part.GetAngleTer(), c.angle, 1e-12) << c.pins.size() << " pins";
    }
}

TEST_F(PartGeometryTest, COCAreaOfTheFirstSurfaceOnTheLayer)
{
    CPart part;
    CDRect rect(1, 1, 2, 2);
    EXPECT_EQ(part.GetCOCArea(PartBoard::kTop, rect), 0.0);
    EXPECT_TRUE(rect.IsRectNull());
    CSur* sur = part.NewSur(testing_support::TriangleSur());
    sur->SetLayerNo(PartBoard::kTop);
    sur->SetProperty("COC", "1.5 2.0");
    EXPECT_DOUBLE_EQ(part.GetCOCArea(PartBoard::kTop, rect), 1.5);
    EXPECT_LT(rect.left, 0.0);
    EXPECT_GT(rect.right, 4.0);
    sur->SetProperty("COC", "3");
    EXPECT_DOUBLE_EQ(part.GetCOCArea(PartBoard::kTop, rect), 0.0);
}

TEST_F(PartGeometryTest, HitTestsByLayerAndVias)
{
    CPart part = Simple();
    EXPECT_EQ(part.CheckPoint(CDPoint(-2, 0), PartBoard::kBottom), 1) << "a via answers on any layer";
    EXPECT_EQ(part.CheckPoint(CDPoint(-2, 0), -1), 0);
    EXPECT_EQ(part.CheckPoint(CDPoint(2.5, 0), PartBoard::kTop), 1);
    EXPECT_EQ(part.CheckPoint(CDPoint(2.5, 0), PartBoard::kBottom), 0);
    EXPECT_EQ(part.CheckPoint(CDPoint(50, 50), PartBoard::kTop), 0);
    EXPECT_EQ(part.CheckPoint(CDRect(2.4, -0.1, 2.6, 0.1), PartBoard::kTop), 1);
    EXPECT_EQ(part.CheckPoint(CDRect(2.4, 3, 2.6, 4), PartBoard::kTop), 0);

    POSITION pos = part.GetFirstLinePos();
    CLine* line = part.GetNextLine(pos);
    line->SetID(6);
    EXPECT_EQ(part.GetPointItemID(CDPoint(2.5, 0), PartBoard::kTop, 1, 3), 6u);
    EXPECT_EQ(part.GetPointItemID(CDPoint(2.5, 0), -1, 1, 3), 0u);
}

TEST_F(PartGeometryTest, SnapTakesTheNearestCandidate)
{
    CPart part;
    for (double x : {0.0, 1.0, 2.0})
        part.NewLand(CDPoint(x, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    CDPoint p(1.3, 0.1);
    EXPECT_EQ(part.CheckItemPoint(p, PartBoard::kTop, 2.0), 1);
    EXPECT_EQ(p, CDPoint(1, 0));
    CDPoint far(10, 10);
    EXPECT_EQ(part.CheckItemPoint(far, PartBoard::kTop, 2.0), 0);

    // Only the first ten candidates count: an eleventh, nearer one is never considered.
    CPart many;
    for (int i = 0; i < 10; ++i)
        many.NewLand(CDPoint(0.5 + 0.01 * i, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    many.NewLand(CDPoint(0.0, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    CDPoint q(0.05, 0);
    EXPECT_EQ(many.CheckItemPoint(q, PartBoard::kTop, 2.0), 1);
    EXPECT_EQ(q, CDPoint(0.5, 0));
}

} // namespace
