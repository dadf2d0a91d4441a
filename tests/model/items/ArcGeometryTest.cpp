// Arc geometry: construction from points, the angle test, crossings (arc with arc and line with
// arc), hit tests, snapping, trimming and overlap, transforms, bounds, arrows and the polyline.

#include "model/items/Arc.h"
#include "model/items/Line.h"

#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

#define EXPECT_POINT(p, px, py)                                                                              \
    do {                                                                                                     \
        EXPECT_NEAR((p).x, (px), 1e-9);                                                                      \
        EXPECT_NEAR((p).y, (py), 1e-9);                                                                      \
    } while (0)

class ArcGeometryTest : public ::testing::Test
{
protected:
    ArcGeometryTest() : frame(&doc)
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[4] = tagTURRET{TURRET_ROUND, 0.4, 0.0};
        frame.dims = tagDIMS{200, 15.0 * kDeg, 0, 100, 250};
    }

    // Centre (0, 0), radius 10, counter-clockwise from a to b degrees.
    static CArc Quarter(double a = 0.0, double b = 90.0, int type = 0, int turret = 0)
    {
        return CArc(CDPoint(0, 0), 10.0, a * kDeg, b * kDeg, type, turret);
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction from points ---

TEST_F(ArcGeometryTest, ArcFromCentreAndEndPoints)
{
    CArc arc;
    arc.SetArcPoint(CDPoint(1, 1), CDPoint(11, 1), CDPoint(1, -4));
    EXPECT_EQ(arc.GetCenter(), CDPoint(1, 1));
    EXPECT_EQ(arc.GetRadius(), 10.0);
    EXPECT_EQ(arc.GetStartAngle(), 0.0);
    EXPECT_NEAR(arc.GetEndAngle(), 1.5 * kPi, 1e-12);

    // The acos form: below the centre the angle is 2 pi minus acos.
    CArc two;
    two.SetArcPoint2(CDPoint(0, 0), CDPoint(0, -5), CDPoint(-5, 0));
    EXPECT_EQ(two.GetRadius(), 5.0);
    EXPECT_NEAR(two.GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_NEAR(two.GetEndAngle(), kPi, 1e-12);
}

TEST_F(ArcGeometryTest, CentreOfAnArcThroughTwoPoints)
{
    const CArc ccw = Quarter();
    const CArc cw = Quarter(0, 90, ARC_CW);
    // Radius equal to half the chord, radius 0, and a radius that does not reach: the midpoint.
    EXPECT_POINT(ccw.CalcCenterPoint(CDPoint(0, 0), CDPoint(10, 0), 5.0), 5, 0);
    EXPECT_POINT(ccw.CalcCenterPoint(CDPoint(0, 0), CDPoint(10, 0), 0.0), 5, 0);
    EXPECT_POINT(ccw.CalcCenterPoint(CDPoint(0, 0), CDPoint(10, 0), 2.0), 5, 0);
    // Left of p1 -> p2 for counter-clockwise, right for clockwise.
    EXPECT_POINT(ccw.CalcCenterPoint(CDPoint(0, 0), CDPoint(10, 0), 13.0), 5, 12);
    EXPECT_POINT(cw.CalcCenterPoint(CDPoint(0, 0), CDPoint(10, 0), 13.0), 5, -12);
    EXPECT_POINT(ccw.CalcCenterPoint(CDPoint(0, 0), CDPoint(0, 10), 13.0), -12, 5);
}

TEST_F(ArcGeometryTest, SetCenterKeepsTheEnds)
{
    CArc arc = Quarter();
    arc.SetCenter(CDPoint(1, 1)); // already on the bisector of the chord (10, 0)-(0, 10)
    EXPECT_POINT(arc.GetCenter(), 1, 1);
    EXPECT_POINT(arc.GetStartPoint(), 10, 0);
    EXPECT_POINT(arc.GetEndPoint(), 0, 10);
    arc.SetCenter(CDPoint(-2, 0)); // the parallel through it meets the bisector at (-1, -1)
    EXPECT_POINT(arc.GetCenter(), -1, -1);
    EXPECT_POINT(arc.GetStartPoint(), 10, 0);
    EXPECT_POINT(arc.GetEndPoint(), 0, 10);

    CArc circle(CDPoint(0, 0), 10.0, 1.0, 1.0, 0, 0);
    circle.SetCenter(CDPoint(5, 5));
    EXPECT_EQ(circle.GetCenter(), CDPoint(0, 0));
}

TEST_F(ArcGeometryTest, EndAngleSnapsToFifteenAndFortyFiveDegrees)
{
    struct Case
    {
        double degrees;
        int snap;
        double expected;
    };
    const Case cases[] = {{22.5, 1, 15}, {23.5, 1, 30}, {67.5, 2, 45}, {68.5, 2, 90}, {33.3, 0, 33.3}};
    for (const Case& c : cases) {
        CArc arc = Quarter(0, 10);
        arc.SetEndAngle(CDPoint(10 * std::cos(c.degrees * kDeg), 10 * std::sin(c.degrees * kDeg)), c.snap);
        EXPECT_NEAR(arc.GetEndAngle(), c.expected * kDeg, 1e-9) << c.degrees << " " << c.snap;
    }
    // A point level with the centre on the left is at pi; below it the lower half.
    CArc arc = Quarter();
    arc.SetEndAngle(CDPoint(-3, 0), 0);
    EXPECT_NEAR(arc.GetEndAngle(), kPi, 1e-12);
    arc.SetEndAngle(CDPoint(0, -3), 0);
    EXPECT_NEAR(arc.GetEndAngle(), 1.5 * kPi, 1e-12);

    // The start counts its steps from the end.
    CArc start = Quarter();
    start.SetStartAngle(CDPoint(10 * std::cos(70 * kDeg), 10 * std::sin(70 * kDeg)), 1);
    EXPECT_NEAR(start.GetStartAngle(), 75 * kDeg, 1e-9);
}

TEST_F(ArcGeometryTest, MovingAnEndRemeasuresTheDimension)
{
    CArc arc = Quarter();
    arc.SetDimension(frame.GetDimensionStyle());
    arc.SetEndAngle(CDPoint(-1, 1), 0);
    EXPECT_EQ(arc.GetName().substr(0, 3), "135");
    arc.SetStartAngle(CDPoint(1, 1), 0);
    EXPECT_EQ(arc.GetName().substr(0, 2), "90");
}

// --- Angle test and crossings ---

TEST_F(ArcGeometryTest, AngleTestFollowsTheDirection)
{
    const CArc ccw = Quarter();
    EXPECT_TRUE(ccw.CheckAngle(0.0));
    EXPECT_TRUE(ccw.CheckAngle(kPi / 4));
    EXPECT_TRUE(ccw.CheckAngle(kPi / 2));
    EXPECT_FALSE(ccw.CheckAngle(kPi));
    EXPECT_FALSE(ccw.CheckAngle(-kPi / 4));
    EXPECT_TRUE(ccw.CheckAngle(2 * kPi + kPi / 4));

    const CArc cw = Quarter(0, 90, ARC_CW); // the other three quarters
    EXPECT_TRUE(cw.CheckAngle(kPi));
    EXPECT_TRUE(cw.CheckAngle(-kPi / 4));
    EXPECT_FALSE(cw.CheckAngle(kPi / 4));

    EXPECT_TRUE(CArc(CDPoint(), 1.0, 2.0, 2.0, 0, 0).CheckAngle(5.0));
}

TEST_F(ArcGeometryTest, PointOntoTheArc)
{
    CArc arc = Quarter();
    CDPoint inside(3, 4);
    EXPECT_EQ(arc.CrossPoint(&inside), 1);
    EXPECT_POINT(inside, 6, 8);
    // Exactly at the start angle: moved onto the arc, but it is an end.
    CDPoint atStart(15, 0);
    EXPECT_EQ(arc.CrossPoint(&atStart), 0);
    EXPECT_POINT(atStart, 10, 0);
    CDPoint outside(-5, 0);
    EXPECT_EQ(arc.CrossPoint(&outside), 0);
    EXPECT_POINT(outside, -5, 0);
}

TEST_F(ArcGeometryTest, CrossingsOfTwoCircles)
{
    CArc a(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, 0);
    CDPoint out[2];
    CArc crossing(CDPoint(8, 0), 5.0, 0.0, 1.0, 0, 0); // the sweep is not looked at
    ASSERT_EQ(a.CrossPoint(&crossing, out), 2);
    EXPECT_POINT(out[0], 4, 3);
    EXPECT_POINT(out[1], 4, -3);
    CArc touching(CDPoint(10, 0), 5.0, 0.0, 0.0, 0, 0);
    ASSERT_EQ(a.CrossPoint(&touching, out), 1);
    EXPECT_POINT(out[0], 5, 0);
    CArc apart(CDPoint(11, 0), 5.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(a.CrossPoint(&apart, out), 0);
    CArc concentric(CDPoint(0, 0), 3.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(a.CrossPoint(&concentric, out), 0);
    CArc inside(CDPoint(1, 0), 1.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(a.CrossPoint(&inside, out), 0);
}

TEST_F(ArcGeometryTest, ArcsCrossWithinTheirSweeps)
{
    CArc a(CDPoint(0, 0), 5.0, 0.0, kPi / 2, 0, 3);
    // The crossing (4, 3) lies on the other's upper left quarter, (4, -3) on its lower left one.
    EXPECT_TRUE(a.CrossAPoint(CArc(CDPoint(8, 0), 5.0, kPi / 2, kPi, 0, 3)));
    EXPECT_FALSE(a.CrossAPoint(CArc(CDPoint(8, 0), 5.0, kPi, 1.5 * kPi, 0, 3)));
    // Touching from outside at this start.
    EXPECT_TRUE(a.CrossAPoint(CArc(CDPoint(10, 0), 5.0, kPi / 2, 1.5 * kPi, 0, 3)));
    EXPECT_FALSE(a.CrossAPoint(CArc(CDPoint(10, 0), 5.0, -kPi / 2, kPi / 2, 0, 3)));
    // Concentric circles never cross.
    EXPECT_FALSE(a.CrossAPoint(CArc(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, 3)));

    // Touching from inside: a small circle inside a large one touches it at the side away from
    // the large one's centre, and a large one round a small one at the side away from its own.
    CArc big(CDPoint(0, 0), 3.0, kPi / 2, 1.5 * kPi, 0, 3); // the left half
    CArc small(CDPoint(-1, 0), 2.0, 0.0, 0.0, 0, 3);        // touches at (-3, 0)
    EXPECT_TRUE(small.CrossAPoint(big));
    EXPECT_TRUE(big.CrossAPoint(small));
    CArc right(CDPoint(0, 0), 3.0, -kPi / 2, kPi / 2, 0, 3);
    EXPECT_FALSE(small.CrossAPoint(right));
    EXPECT_FALSE(right.CrossAPoint(small));
}

// --- Hit tests and snapping ---

TEST_F(ArcGeometryTest, PointHitWithWidthAndRoundEnds)
{
    CArc hair = Quarter(); // width 0 counts as 0.05
    EXPECT_TRUE(hair.CheckPoint(CDPoint(0, 10.02)));
    EXPECT_FALSE(hair.CheckPoint(CDPoint(0, 10.03)));
    EXPECT_FALSE(hair.CheckPoint(CDPoint(-10, 0)));
    // Beyond the sweep but within 0.025 of an end.
    EXPECT_TRUE(hair.CheckPoint(CDPoint(10, -0.02)));
    EXPECT_FALSE(hair.CheckPoint(CDPoint(10, -0.03)));

    CArc wide = Quarter(0, 90, 0, 4); // half width 0.2
    EXPECT_TRUE(wide.CheckPoint(CDPoint(7.2, 7.2)));
    EXPECT_TRUE(wide.CheckPoint(CDPoint(9.9, -0.15)));
    EXPECT_FALSE(wide.CheckPoint(CDPoint(10.15, -0.15)));
}

TEST_F(ArcGeometryTest, EndSnapping)
{
    CArc arc = Quarter();
    CDPoint p(9.95, 0.05);
    EXPECT_EQ(arc.CheckItemPoint(p, 0.2), 1);
    EXPECT_POINT(p, 10, 0);
    CDPoint q(0.1, 9.95);
    EXPECT_EQ(arc.CheckItemPoint(q, 0.2), 1);
    EXPECT_POINT(q, 0, 10);
    // Too far from the end, or off the ring by more than the width (0.1 for a hairline).
    CDPoint far(7.07, 7.07);
    EXPECT_EQ(arc.CheckItemPoint(far, 1.0), 0);
    EXPECT_POINT(far, 7.07, 7.07);
    CDPoint offRing(9.85, 0);
    EXPECT_EQ(arc.CheckItemPoint(offRing, 1.0), 0);
}

// --- Trimming and overlap ---

TEST_F(ArcGeometryTest, TrimKeepsThePickedPart)
{
    CArc arc = Quarter(0, 180);
    arc.SetFxRatio(CDPoint(10 * std::cos(kPi / 4), 10 * std::sin(kPi / 4))); // a quarter of the sweep
    EXPECT_EQ(arc.TrimPoint(CDPoint(0, 10), CDPoint(0, 10)), 2);
    EXPECT_EQ(arc.GetStartAngle(), 0.0);
    EXPECT_NEAR(arc.GetEndAngle(), kPi / 2, 1e-12);

    CArc other = Quarter(0, 180);
    other.SetFxRatio(CDPoint(-7, 7)); // three quarters
    EXPECT_EQ(other.TrimPoint(CDPoint(0, 10), CDPoint(0, 10)), 1);
    EXPECT_NEAR(other.GetStartAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(other.GetEndAngle(), kPi, 1e-12);

    // Cut by a line y = 5: of its two crossings the one beyond the picked top is taken.
    CArc cut = Quarter(0, 180);
    cut.SetFxRatio(CDPoint(0, 10));
    const double x = std::sqrt(75.0);
    EXPECT_EQ(cut.TrimPoint(CDPoint(x, 5), CDPoint(-x, 5)), 2);
    EXPECT_EQ(cut.GetStartAngle(), 0.0);
    EXPECT_NEAR(cut.GetEndAngle(), 150 * kDeg, 1e-9);
}

TEST_F(ArcGeometryTest, TrimOpensAFullCircleAroundThePickedPoint)
{
    CArc upper(CDPoint(0, 0), 10.0, 0.0, 0.0, 0, 0);
    upper.SetFxRatio(CDPoint(0, 10));
    EXPECT_EQ(upper.TrimPoint(CDPoint(10, 0), CDPoint(-10, 0)), 3);
    EXPECT_EQ(upper.GetStartAngle(), 0.0);
    EXPECT_NEAR(upper.GetEndAngle(), kPi, 1e-12);

    CArc lower(CDPoint(0, 0), 10.0, 0.0, 0.0, 0, 0);
    lower.SetFxRatio(CDPoint(0, -10));
    EXPECT_EQ(lower.TrimPoint(CDPoint(10, 0), CDPoint(-10, 0)), 3);
    EXPECT_NEAR(lower.GetStartAngle(), kPi, 1e-12);
    EXPECT_EQ(lower.GetEndAngle(), 0.0);
}

TEST_F(ArcGeometryTest, TrimArcLeavesTheOuterBoundary)
{
    CArc a(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, 0);
    CArc b(CDPoint(8, 0), 5.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(a.TrimArc(&b), 3);
    const double x = std::atan2(3.0, 4.0);
    EXPECT_NEAR(a.GetStartAngle(), x, 1e-12);
    EXPECT_NEAR(a.GetEndAngle(), 2 * kPi - x, 1e-12);
    EXPECT_NEAR(b.GetStartAngle(), kPi + x, 1e-9);
    EXPECT_NEAR(b.GetEndAngle(), kPi - x, 1e-9);
    EXPECT_POINT(b.GetStartPoint(), 4, -3);
    EXPECT_POINT(b.GetEndPoint(), 4, 3);

    CArc c(CDPoint(0, 0), 5.0, 1.0, 2.0, 0, 0);
    CArc far(CDPoint(20, 0), 5.0, 1.0, 2.0, 0, 0);
    EXPECT_EQ(c.TrimArc(&far), 0);
    EXPECT_EQ(c.GetStartAngle(), 1.0);
    EXPECT_EQ(far.GetStartAngle(), 1.0);
}

TEST_F(ArcGeometryTest, OverlapOfTwoSweeps)
{
    struct Case
    {
        double a1, b1, a2, b2; // degrees: this, other
        int result;
        double ra, rb; // this afterwards
        double oa, ob; // the other afterwards
    };
    const Case cases[] = {
        {0, 270, 180, 90, 2, 0, 90, 180, 270},  // each holds the other's start: two pieces
        {0, 90, 180, 270, 0, 0, 90, 180, 270},  // apart
        {0, 180, 90, 270, 1, 90, 180, 90, 270}, // the other holds this end
        {0, 270, 90, 180, 1, 90, 180, 90, 180}, // the other inside this
        {0, 90, 270, 180, 1, 0, 90, 270, 180},  // this inside the other
        {0, 180, 270, 90, 1, 0, 90, 270, 90},   // the other holds this start
    };
    for (const Case& c : cases) {
        CArc self = Quarter(c.a1, c.b1);
        CArc other = Quarter(c.a2, c.b2);
        EXPECT_EQ(self.AndArc(&other), c.result) << c.a1 << " " << c.a2;
        EXPECT_NEAR(self.GetStartAngle(), c.ra * kDeg, 1e-9) << c.a1 << " " << c.a2;
        EXPECT_NEAR(self.GetEndAngle(), c.rb * kDeg, 1e-9) << c.a1 << " " << c.a2;
        EXPECT_NEAR(other.GetStartAngle(), c.oa * kDeg, 1e-9) << c.a1 << " " << c.a2;
        EXPECT_NEAR(other.GetEndAngle(), c.ob * kDeg, 1e-9) << c.a1 << " " << c.a2;
    }
    // Full circles: the other's circle keeps this; this circle takes the other's sweep.
    CArc part = Quarter(10, 20);
    CArc circle(CDPoint(), 10.0, 1.0, 1.0, 0, 0);
    EXPECT_EQ(part.AndArc(&circle), 1);
    EXPECT_NEAR(part.GetStartAngle(), 10 * kDeg, 1e-12);
    EXPECT_EQ(circle.AndArc(&part), 1);
    EXPECT_NEAR(circle.GetEndAngle(), 20 * kDeg, 1e-12);
}

// --- Transforms ---

TEST_F(ArcGeometryTest, OffsetMovesTheWholeArcOrTheMarkedEnd)
{
    CArc arc(CDPoint(1, 1), 2.0, 0.0, 1.0, 0, 0);
    arc.GetBoundingRect();
    arc.Offset(CDPoint(2, 3), 0);
    EXPECT_EQ(arc.GetCenter(), CDPoint(3, 4));
    EXPECT_EQ(arc.GetStartAngle(), 0.0);
    EXPECT_NEAR(arc.GetBoundingRect().left, 3.0 + 2 * std::cos(1.0), 1e-9);

    CArc end = Quarter();
    end.SetCheck(2, true);
    end.Offset(CDPoint(-5, 5), 0);
    EXPECT_EQ(end.GetCenter(), CDPoint(0, 0));
    EXPECT_NEAR(end.GetEndAngle(), 135 * kDeg, 1e-12);

    // Increments: the marked end moves by d, snapped as given by Offset's rules.
    CArc start = Quarter();
    start.SetCheck(1, true);
    start.OffsetInc(CDPoint(0, 10));
    EXPECT_NEAR(start.GetStartAngle(), 45 * kDeg, 1e-12);
    CArc whole = Quarter();
    whole.OffsetInc(CDPoint(1, 0));
    EXPECT_EQ(whole.GetCenter(), CDPoint(1, 0));
}

TEST_F(ArcGeometryTest, RotateMirrorAndScale)
{
    CArc arc(CDPoint(10, 0), 1.0, 0.0, kPi / 2, 0, 0);
    arc.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_POINT(arc.GetCenter(), 0, 10);
    EXPECT_NEAR(arc.GetStartAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(arc.GetEndAngle(), kPi, 1e-12);

    // Mirrors turn the direction; the points are mirrored and the sweep stays.
    CArc mx(CDPoint(5, 0), 1.0, 0.0, kPi / 2, 0, 0);
    mx.GetBoundingRect();
    mx.MirrorX(0.0);
    EXPECT_TRUE(mx.IsCW());
    EXPECT_POINT(mx.GetCenter(), -5, 0);
    EXPECT_POINT(mx.GetStartPoint(), -6, 0);
    EXPECT_POINT(mx.GetEndPoint(), -5, 1);
    EXPECT_NEAR(mx.GetAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(mx.GetBoundingRect().left, -6.0, 1e-12);

    CArc my(CDPoint(0, 5), 1.0, 0.0, kPi / 2, 0, 0);
    my.MirrorY(0.0);
    EXPECT_TRUE(my.IsCW());
    EXPECT_POINT(my.GetStartPoint(), 1, -5);
    EXPECT_POINT(my.GetEndPoint(), 0, -6);
    EXPECT_NEAR(my.GetAngle(), kPi / 2, 1e-12);

    // A named arc becomes an angle dimension of the current style.
    CArc named = Quarter();
    named.SetName("L", 100, true);
    named.MirrorX(0.0);
    EXPECT_TRUE(named.IsAutoAng());
    EXPECT_EQ(named.GetNameText()->GetSize(), 250);
    EXPECT_EQ(named.GetName(), std::string("90") + _J("°"));

    CArc scaled(CDPoint(1, 0), 1.0, 0.0, kPi / 2, 0, 0);
    scaled.Scale(CDPoint(0, 0), CDSize(2, 2));
    EXPECT_POINT(scaled.GetCenter(), 2, 0);
    EXPECT_NEAR(scaled.GetRadius(), 2.0, 1e-12);
    EXPECT_NEAR(scaled.GetEndAngle(), kPi / 2, 1e-12);
}

// --- Bounds ---

TEST_F(ArcGeometryTest, BoundsHoldTheEndsAndTheAxisPointsWithinTheSweep)
{
    struct Case
    {
        double a, b;
        int type;
        CDRect expected;
    };
    const double s = 10 * std::cos(kPi / 4);
    const Case cases[] = {
        {0, 90, 0, CDRect(-0.1, -0.1, 10.1, 10.1)},
        {0, 90, ARC_CW, CDRect(-10.1, -10.1, 10.1, 10.1)},
        {45, 135, 0, CDRect(-s - 0.1, s - 0.1, s + 0.1, 10.1)},
        {135, 45, ARC_CW, CDRect(-s - 0.1, s - 0.1, s + 0.1, 10.1)},
        {30, 30, 0, CDRect(-10.1, -10.1, 10.1, 10.1)},
    };
    for (const Case& c : cases) {
        CArc arc = Quarter(c.a, c.b, c.type, 3);
        const CDRect r = arc.GetBoundingRect();
        EXPECT_NEAR(r.left, c.expected.left, 1e-9) << c.a << " " << c.b;
        EXPECT_NEAR(r.top, c.expected.top, 1e-9) << c.a << " " << c.b;
        EXPECT_NEAR(r.right, c.expected.right, 1e-9) << c.a << " " << c.b;
        EXPECT_NEAR(r.bottom, c.expected.bottom, 1e-9) << c.a << " " << c.b;
    }
    CArc circle = Quarter(30, 30);
    EXPECT_EQ(circle.GetAngle(), 30 * kDeg);
}

TEST_F(ArcGeometryTest, ArrowHeadsEnlargeTheBoundsButDotsDoNot)
{
    CArc plain = Quarter(0, 90, 0, 3);
    const CDRect base = plain.GetBoundingRect();

    CArc dotted = Quarter(0, 90, 0, 3);
    dotted.SetArrow(-300, -300);
    EXPECT_EQ(dotted.GetBoundingRect(), base);

    CArc headed = Quarter(0, 90, 0, 3);
    headed.SetArrow(0, 500); // at (0, 10), barbs 5 long leaning back along the arc
    CDPoint pts[3];
    headed.CalcArrowPoint(2, pts);
    EXPECT_POINT(pts[0], 0, 10);
    const double axis = -0.25; // the end angle - pi/2 - 500 x 0.005 / 10
    EXPECT_POINT(pts[1], 5 * std::cos(axis + 15 * kDeg), 10 + 5 * std::sin(axis + 15 * kDeg));
    EXPECT_POINT(pts[2], 5 * std::cos(axis - 15 * kDeg), 10 + 5 * std::sin(axis - 15 * kDeg));
    EXPECT_NEAR(headed.GetBoundingRect().bottom, 10 + 5 * std::sin(axis + 15 * kDeg) + 0.1, 1e-9);
}

TEST_F(ArcGeometryTest, ArrowHeadsFollowTheDirection)
{
    CArc ccw = Quarter(0, 90);
    ccw.SetArrow(100, 0);
    CDPoint pts[3];
    ccw.CalcArrowPoint(1, pts);
    const double axis = kPi / 2 + 0.05;
    EXPECT_POINT(pts[0], 10, 0);
    EXPECT_POINT(pts[1], 10 + std::cos(axis + 15 * kDeg), std::sin(axis + 15 * kDeg));

    CArc cw = Quarter(0, 90, ARC_CW);
    cw.SetArrow(100, 0);
    cw.CalcArrowPoint(1, pts);
    const double back = -kPi / 2 - 0.05;
    EXPECT_POINT(pts[2], 10 + std::cos(back - 15 * kDeg), std::sin(back - 15 * kDeg));

    CLine first, second;
    cw.GetStartArrowLine(&first, &second);
    EXPECT_POINT(first.GetStartPoint(), 10, 0);
    EXPECT_POINT(second.GetEndPoint(), pts[2].x, pts[2].y);
    EXPECT_EQ(first.GetType(), 0);

    EXPECT_NEAR(CArc::GetDotRadius(-100), 0.25, 1e-12);
    EXPECT_NEAR(CArc::GetDotRadius(-101), 0.26, 1e-12);
}

// --- Polyline ---

TEST_F(ArcGeometryTest, PolylineOfACounterClockwiseQuarterCircle)
{
    const CArc arc = Quarter();
    const double step = 2 * std::acos(0.995);
    EXPECT_EQ(arc.MakePoint(nullptr), static_cast<int>((kPi / 2) / step) + 4);
    std::vector<tagDPOINT> pts(static_cast<std::size_t>(arc.MakePoint(nullptr)));
    ASSERT_EQ(arc.MakePoint(pts.data()), 9);
    for (int i = 0; i < 8; ++i)
        EXPECT_POINT(pts[static_cast<std::size_t>(i)], 10 * std::cos(i * step), 10 * std::sin(i * step));
    EXPECT_POINT(pts[8], 0, 10);
}

TEST_F(ArcGeometryTest, PolylineStepIsCappedAtAnEighthTurn)
{
    const CArc arc(CDPoint(0, 0), 0.5, 0.0, 100 * kDeg, 0, 0);
    std::vector<tagDPOINT> pts(static_cast<std::size_t>(arc.MakePoint(nullptr)));
    ASSERT_EQ(arc.MakePoint(pts.data()), 4);
    EXPECT_POINT(pts[0], 0.5, 0);
    EXPECT_POINT(pts[1], 0.5 * std::cos(kPi / 4), 0.5 * std::sin(kPi / 4));
    EXPECT_POINT(pts[2], 0, 0.5);
    EXPECT_POINT(pts[3], 0.5 * std::cos(100 * kDeg), 0.5 * std::sin(100 * kDeg));
}

TEST_F(ArcGeometryTest, AbsurdRadiusKeepsThePolylineBounded)
{
    // A circle of 1e12 mm (a damaged file) once asked for billions of points.
    const CArc arc(CDPoint(0, 0), 1e12, 0.0, 0.0, 0, 0);
    const int count = arc.MakePoint(nullptr);
    EXPECT_GT(count, 0);
    EXPECT_LE(count, 65536 + 4);
    EXPECT_EQ(arc.GetSegmentPoints().size(), static_cast<std::size_t>(count) - 3);
}

TEST_F(ArcGeometryTest, ArcTooSmallForAPolylineIsOneSegment)
{
    const CArc arc(CDPoint(1, 1), 0.04, 0.0, kPi / 2, 0, 3);
    EXPECT_EQ(arc.MakePoint(nullptr), 0);
    tagDPOINT unused{};
    EXPECT_EQ(arc.MakePoint(&unused), 0);
    const std::vector<CDPoint> seg = arc.GetSegmentPoints();
    ASSERT_EQ(seg.size(), 2u);
    EXPECT_POINT(seg[0], 1.04, 1);
    EXPECT_POINT(seg[1], 1, 1.04);

    CArc withId = arc;
    withId.SetID(9);
    CSheet sheet;
    EXPECT_TRUE(withId.ConvertLine(sheet));
    ASSERT_EQ(sheet.GetItemCount(), 1);
    const CLine* line = sheet.GetHeadLine();
    EXPECT_POINT(line->GetStartPoint(), 1.04, 1);
    EXPECT_POINT(line->GetEndPoint(), 1, 1.04);
    EXPECT_EQ(line->GetTurretNo(), 3);
    EXPECT_EQ(line->GetID(), 9u);
}

TEST_F(ArcGeometryTest, ClockwiseAndFullCirclePolylines)
{
    const CArc cw = Quarter(90, 0, ARC_CW);
    std::vector<tagDPOINT> pts(static_cast<std::size_t>(cw.MakePoint(nullptr)));
    ASSERT_EQ(cw.MakePoint(pts.data()), 9);
    EXPECT_POINT(pts[0], 0, 10);
    EXPECT_POINT(pts[1], 10 * std::cos(kPi / 2 - 2 * std::acos(0.995)),
                 10 * std::sin(kPi / 2 - 2 * std::acos(0.995)));
    EXPECT_POINT(pts[8], 10, 0);

    // A full circle goes all the way round, also with its angles a little apart either way.
    for (const double end : {0.0, 0.0005, -0.0005}) {
        for (const int type : {0, static_cast<int>(ARC_CW)}) {
            const CArc circle(CDPoint(0, 0), 10.0, 1.0, 1.0 + end, type, 0);
            std::vector<tagDPOINT> ring(static_cast<std::size_t>(circle.MakePoint(nullptr)));
            const int n = circle.MakePoint(ring.data());
            EXPECT_GE(n, 32) << end << " " << type;
            EXPECT_LE(n, static_cast<int>(ring.size()));
        }
    }
}

TEST_F(ArcGeometryTest, DevicePolylineRunsBackwardsWhenSwapped)
{
    const int oldScale = CDPoint::GetScale();
    CDPoint::SetScale(100);
    const CArc forward = Quarter();
    const CArc backward = Quarter(0, 90, ARC_SWAPPED);
    std::vector<CPoint> a(static_cast<std::size_t>(forward.MakeIntPoint(nullptr)));
    std::vector<CPoint> b(static_cast<std::size_t>(backward.MakeIntPoint(nullptr)));
    ASSERT_EQ(forward.MakeIntPoint(a.data()), 9);
    ASSERT_EQ(backward.MakeIntPoint(b.data()), 9);
    EXPECT_EQ(a[0], CPoint(1000, 0));
    EXPECT_EQ(a[8], CPoint(0, 1000));
    EXPECT_EQ(b[0], CPoint(0, 1000));
    EXPECT_EQ(b[8], CPoint(1000, 0));
    CDPoint::SetScale(oldScale);
}

TEST_F(ArcGeometryTest, ConvertLineAndGerberLength)
{
    CArc arc = Quarter(0, 90, 0, 3);
    arc.SetID(5);
    CSheet sheet;
    sheet.NewLine(CDPoint(0, 0), CDPoint(1, 0), 0, 0);
    EXPECT_TRUE(arc.ConvertLine(sheet));
    EXPECT_EQ(sheet.GetItemCount(), 1 + 8);
    POSITION pos = sheet.GetFirstLinePos();
    sheet.GetNextLine(pos);
    CDPoint previous(10, 0);
    while (pos) {
        const CLine* line = sheet.GetNextLine(pos);
        EXPECT_EQ(line->GetStartPoint(), previous);
        EXPECT_EQ(line->GetTurretNo(), 3);
        EXPECT_EQ(line->GetID(), 5u);
        previous = line->GetEndPoint();
    }
    EXPECT_POINT(previous, 0, 10);

    arc.SetArrow(100, -50);
    EXPECT_NEAR(arc.GetGerbarLength(), 5 * kPi + 2.0, 1e-12);
    EXPECT_NEAR(CArc(CDPoint(), 1.0, 2.0, 2.0, 0, 0).GetGerbarLength(), 2 * kPi, 1e-12);
}

// --- Line with arc ---

TEST_F(ArcGeometryTest, InfiniteLineWithCircle)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 0, 0);
    CDPoint out[2];
    CArc crossing(CDPoint(5, 3), 5.0, 0.0, 1.0, 0, 0); // the sweep is not looked at
    ASSERT_EQ(line.CrossPoint(&crossing, out), 2);
    EXPECT_POINT(out[0], 9, 0);
    EXPECT_POINT(out[1], 1, 0);
    CArc tangent(CDPoint(5, 5), 5.0, 0.0, 0.0, 0, 0);
    ASSERT_EQ(line.CrossPoint(&tangent, out), 1);
    EXPECT_POINT(out[0], 5, 0);
    CArc far(CDPoint(5, 10), 5.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(line.CrossPoint(&far, out), 0);
    // Beyond the segment's ends still counts.
    CArc beyond(CDPoint(30, 0), 5.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(line.CrossPoint(&beyond, out), 2);

    CLine up(CDPoint(0, 0), CDPoint(0, 10), 0, 0);
    CArc side(CDPoint(3, 5), 5.0, 0.0, 0.0, 0, 0);
    ASSERT_EQ(up.CrossPoint(&side, out), 2);
    EXPECT_POINT(out[0], 0, 9);
    EXPECT_POINT(out[1], 0, 1);
}

TEST_F(ArcGeometryTest, ScanLineWithArc)
{
    CLine scan(CDPoint(0, 0), CDPoint(20, 0), 0, 0);
    CDPoint out[2];
    EXPECT_EQ(scan.CrossXPoint(CArc(CDPoint(10, 3), 5.0, 0.0, 0.0, 0, 0), out), 3);
    EXPECT_NEAR(out[0].x, 6, 1e-12);
    EXPECT_NEAR(out[1].x, 14, 1e-12);
    EXPECT_EQ(out[0].y, 0.0);
    // An arc's right crossing goes first.
    EXPECT_EQ(scan.CrossXPoint(CArc(CDPoint(10, -3), 5.0, 0.0, kPi, 0, 0), out), 3);
    EXPECT_NEAR(out[0].x, 14, 1e-12);
    EXPECT_NEAR(out[1].x, 6, 1e-12);
    EXPECT_EQ(scan.CrossXPoint(CArc(CDPoint(10, -3), 5.0, kPi, 0.0, 0, 0), out), 0);
    EXPECT_EQ(scan.CrossXPoint(CArc(CDPoint(10, 9), 5.0, 0.0, 0.0, 0, 0), out), 0);
    // Only crossings within the scan line count.
    CLine half(CDPoint(0, 0), CDPoint(10, 0), 0, 0);
    EXPECT_EQ(half.CrossXPoint(CArc(CDPoint(10, 3), 5.0, kPi, 0.0, 0, 0), out), 2);
    EXPECT_NEAR(out[1].x, 6, 1e-12);
}

TEST_F(ArcGeometryTest, SegmentWithArc)
{
    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 0, 0);
    CDPoint out[2];
    const double h = 5 / std::sqrt(2.0);
    EXPECT_EQ(diagonal.CrossAPoint(CArc(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, 0), out), 2);
    EXPECT_POINT(out[1], h, h);

    CLine line(CDPoint(0, 0), CDPoint(10, 0), 0, 0);
    EXPECT_EQ(line.CrossAPoint(CArc(CDPoint(5, 3), 5.0, 0.0, kPi, 0, 0)), 0);
    EXPECT_EQ(line.CrossAPoint(CArc(CDPoint(5, 3), 5.0, kPi, 0.0, 0, 0)), 1);
    EXPECT_EQ(CLine(CDPoint(2, 0), CDPoint(8, 0), 0, 0).CrossAPoint(CArc(CDPoint(5, 3), 5.0, kPi, 0.0, 0, 0)),
              0);
    EXPECT_EQ(line.CrossAPoint(CArc(CDPoint(5, 6), 5.0, 0.0, 0.0, 0, 0)), 0);

    // An arc being stretched is still moved as a whole for the test.
    CArc marked(CDPoint(5, 3), 5.0, kPi, 0.0, 0, 0);
    marked.SetCheck(1, true);
    EXPECT_EQ(CLine(CDPoint(1, 4), CDPoint(11, 4), 0, 0).CrossAPoint(marked), 0);
    EXPECT_EQ(CLine(CDPoint(0, -1), CDPoint(10, -1), 0, 0).CrossAPoint(marked), 1);
}

} // namespace
