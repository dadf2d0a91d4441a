// Line geometry: bounds, hit tests, snapping, crossings, trimming, joining and transforms.

#include "model/items/Line.h"

#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class LineGeometryTest : public ::testing::Test
{
protected:
    LineGeometryTest() : frame(&doc)
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

void ExpectPoint(const CDPoint& got, double x, double y, const char* what = "")
{
    EXPECT_NEAR(got.x, x, 1e-9) << what;
    EXPECT_NEAR(got.y, y, 1e-9) << what;
}

// --- Bounds ---

TEST_F(LineGeometryTest, BoundsCoverWidthArrowsAndDots)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 0, 0);
    CDRect r = line.GetBoundingRect();
    EXPECT_DOUBLE_EQ(r.left, -0.025); // a hairline counts 0.025 on each side
    EXPECT_DOUBLE_EQ(r.bottom, 0.025);

    line.SetArrow(200, -100);
    r = line.GetBoundingRect();
    const double barbY = 2.0 * std::sin(15.0 * kPi / 180.0);
    EXPECT_NEAR(r.top, -barbY - 0.025, 1e-12);
    EXPECT_NEAR(r.bottom, barbY + 0.025, 1e-12);
    EXPECT_DOUBLE_EQ(r.right, 10.5); // dot of radius 0.5
    EXPECT_DOUBLE_EQ(r.left, -0.025);

    // An odd dot code takes the radius of the next even magnitude.
    line.SetArrow(0, -101);
    EXPECT_DOUBLE_EQ(line.GetBoundingRect().right, 10.51);

    CLine diagonal(CDPoint(0, 0), CDPoint(3, 4), 1, 0);
    EXPECT_DOUBLE_EQ(diagonal.GetAngle(), std::atan2(4.0, 3.0));
    const CDRect d = diagonal.GetBoundingRect();
    EXPECT_DOUBLE_EQ(d.left, -0.5);
    EXPECT_DOUBLE_EQ(d.bottom, 4.5);
}

TEST_F(LineGeometryTest, BoundsIncludeTheNameText)
{
    CLine line(CDPoint(0, 0), CDPoint(2, 0), 3, 0);
    line.SetName("A long name for a short line", 400, true);
    const CDRect withName = line.GetBoundingRect();
    const CDRect text = line.GetNameText()->GetBoundingRect();
    EXPECT_LE(withName.left, text.left);
    EXPECT_GE(withName.right, text.right);
    EXPECT_GT(withName.right, 2.1);
}

// --- Hit tests ---

TEST_F(LineGeometryTest, PointHitBoundaries)
{
    const struct
    {
        int turret;
        CDPoint p;
        int hit;
    } cases[] = {
        {1, {5, -0.5}, 1},    {1, {5, -0.51}, 0},   {1, {5, 0.5}, 0}, // the bounds are half-open
        {1, {10.3, 0.3}, 1},                                          // round cap, 0.42 from the end
        {1, {10.4, 0.45}, 0}, {2, {10.4, 0.45}, 1},                   // square cap
        {1, {-0.3, -0.3}, 1}, {1, {-0.4, -0.4}, 0}, {2, {-0.4, -0.4}, 1}, {1, {5, 0.49}, 1},
        {0, {5, 0.024}, 1},   {0, {5, -0.025}, 1},  {0, {5, -0.026}, 0},  {0, {5, 0.025}, 0},
    };
    for (const auto& c : cases) {
        CLine line(CDPoint(0, 0), CDPoint(10, 0), c.turret, 0);
        EXPECT_EQ(line.CheckPoint(c.p), c.hit) << c.turret << " " << c.p.x << "," << c.p.y;
    }

    // Turned lines are tested in their own frame.
    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 1, 0);
    EXPECT_EQ(diagonal.CheckPoint(CDPoint(5.3, 4.7)), 1); // 0.42 off the axis
    EXPECT_EQ(diagonal.CheckPoint(CDPoint(5.4, 4.6)), 0); // 0.57 off the axis
}

TEST_F(LineGeometryTest, NamedLineIsHitOnItsName)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetName("NAME", 300, true);
    line.GetNameText()->SetPoint(CDPoint(20, 20));
    const CDRect text = line.GetNameText()->GetBoundingRect();
    const CDPoint inside = text.CenterPoint();
    EXPECT_EQ(line.CheckPoint(inside), 1);
    EXPECT_EQ(line.CheckPoint(CDPoint(5, 0)), 1);
    EXPECT_EQ(line.CheckPoint(CDPoint(15, 10)), 0); // inside the bounds, on neither
    EXPECT_TRUE(line.CheckPoint(CDRect(inside.x - 0.1, inside.y - 0.1, inside.x + 0.1, inside.y + 0.1)));
    EXPECT_FALSE(line.CheckPoint(CDRect(14, 9, 16, 11)));
}

TEST_F(LineGeometryTest, RectangleHits)
{
    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 3, 0);
    EXPECT_TRUE(diagonal.CheckPoint(CDRect(-1, -1, 1, 1)));    // holds the start
    EXPECT_TRUE(diagonal.CheckPoint(CDRect(4, 4.5, 6, 5.5)));  // straddles the axis
    EXPECT_FALSE(diagonal.CheckPoint(CDRect(6, 2, 8, 3)));     // in the bounds, off the line
    EXPECT_FALSE(diagonal.CheckPoint(CDRect(20, 20, 30, 30))); // apart

    // Within half the width of the axis.
    CLine flat(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    EXPECT_TRUE(flat.CheckPoint(CDRect(4, 0.3, 6, 1)));
    EXPECT_TRUE(flat.CheckPoint(CDRect(4, -2, 6, -0.45)));
    CLine thin(CDPoint(0, 0), CDPoint(10, 10), 3, 0);
    // Just off the axis by more than the half width, on both edges of the turned box.
    EXPECT_FALSE(thin.CheckPoint(CDRect(5.2, 4.0, 6.0, 4.8)));
}

TEST_F(LineGeometryTest, SnappingPrefersTheEndOnATie)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    CDPoint p(5, 0);
    EXPECT_EQ(line.CheckItemPoint(p, 4.9), 0);
    EXPECT_EQ(p, CDPoint(5, 0));
    EXPECT_EQ(line.CheckItemPoint(p, 5.0), 1);
    EXPECT_EQ(p, CDPoint(10, 0));
    CDPoint q(1, 1);
    EXPECT_EQ(line.CheckItemPoint(q, 1.5), 1);
    EXPECT_EQ(q, CDPoint(0, 0));
}

// --- Crossings ---

TEST_F(LineGeometryTest, ProjectionOntoTheLine)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    CDPoint p(5, 3);
    EXPECT_EQ(line.CrossPoint(&p), 1);
    EXPECT_EQ(p, CDPoint(5, 0));
    CDPoint beyond(12, 3);
    EXPECT_EQ(line.CrossPoint(&beyond), 0);
    EXPECT_EQ(beyond, CDPoint(12, 0));

    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 3, 0);
    CDPoint d(0, 10);
    EXPECT_EQ(diagonal.CrossPoint(&d), 1);
    ExpectPoint(d, 5, 5);
}

TEST_F(LineGeometryTest, CrossingOfInfiniteLines)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    CDPoint out(-1, -1);
    EXPECT_EQ(line.CrossPoint(CLine(CDPoint(3, 5), CDPoint(5, 1), 3, 0), &out), 1);
    ExpectPoint(out, 5.5, 0); // beyond the other segment: the lines are infinite
    out = CDPoint(-1, -1);
    EXPECT_EQ(line.CrossPoint(CLine(CDPoint(0, 1), CDPoint(10, 1), 3, 0), &out), 0);
    EXPECT_EQ(out, CDPoint(-1, -1));

    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 3, 0);
    EXPECT_EQ(diagonal.CrossPoint(CLine(CDPoint(0, 10), CDPoint(10, 0), 3, 0), &out), 1);
    ExpectPoint(out, 5, 5);
}

TEST_F(LineGeometryTest, CrossingOfSegments)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    const struct
    {
        CDPoint s, e;
        int withPoint, plain;
    } cases[] = {
        {{0, 1}, {10, 2}, 0, 0},
        {{5, -1}, {5, 1}, 1, 1},
        {{11, -1}, {11, 1}, 0, 0},
        {{5, 0}, {5, 1}, 1, 1},             // touches the axis at its end, within the span
        {{10, 0}, {12, 3}, 1, 1},           // touches at this line's end
        {{0, 0.0004}, {10, -0.0004}, 0, 1}, // nearly parallel: only the plain test crosses
        {{-2, 0}, {12, 0}, 0, 0},           // collinear
    };
    for (const auto& c : cases) {
        CDPoint out(-1, -1);
        EXPECT_EQ(line.CrossAPoint(CLine(c.s, c.e, 3, 0), &out), c.withPoint) << c.s.x << "," << c.s.y;
        EXPECT_EQ(line.CrossAPoint(CLine(c.s, c.e, 3, 0)), c.plain) << c.s.x << "," << c.s.y;
        if (c.withPoint) {
            EXPECT_NEAR(out.y, 0.0, 1e-12);
        }
    }
    CDPoint out;
    EXPECT_EQ(line.CrossAPoint(CLine(CDPoint(5, -1), CDPoint(5, 1), 3, 0), &out), 1);
    ExpectPoint(out, 5, 0);

    CLine diagonal(CDPoint(0, 0), CDPoint(10, 10), 3, 0);
    EXPECT_EQ(diagonal.CrossAPoint(CLine(CDPoint(0, 10), CDPoint(10, 0), 3, 0), &out), 1);
    ExpectPoint(out, 5, 5);
    EXPECT_EQ(diagonal.CrossAPoint(CLine(CDPoint(30, 0), CDPoint(0, 30), 3, 0)), 0);
}

TEST_F(LineGeometryTest, CrossingWithAHorizontalScanLine)
{
    CLine scan(CDPoint(0, 2), CDPoint(10, 2), 0, 0);
    CDPoint out(-1, -1);
    EXPECT_EQ(scan.CrossXPoint(CLine(CDPoint(3, 0), CDPoint(5, 4), 0, 0), &out), 1);
    EXPECT_DOUBLE_EQ(out.x, 4.0);
    EXPECT_EQ(scan.CrossXPoint(CLine(CDPoint(3, 3), CDPoint(5, 4), 0, 0), &out), 0);   // above
    EXPECT_EQ(scan.CrossXPoint(CLine(CDPoint(12, 0), CDPoint(12, 4), 0, 0), &out), 0); // beyond
    EXPECT_EQ(scan.CrossXPoint(CLine(CDPoint(7, 2), CDPoint(9, 5), 0, 0), &out), 1);   // an end on it
    EXPECT_DOUBLE_EQ(out.x, 7.0);
    // An edge lying on the scan line counts at its start, without dividing by zero.
    out = CDPoint(-1, -1);
    EXPECT_EQ(scan.CrossXPoint(CLine(CDPoint(2, 2), CDPoint(6, 2), 0, 0), &out), 1);
    EXPECT_DOUBLE_EQ(out.x, 0.0);
}

// --- Trimming and joining ---

TEST_F(LineGeometryTest, TrimPointChoosesTheEnd)
{
    {
        CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
        EXPECT_EQ(line.TrimPoint(CDPoint(12, 0), 0), 2);
        EXPECT_EQ(line.GetEndPoint(), CDPoint(12, 0));
    }
    {
        // The picked half stays: picked at one half, trimmed at one quarter.
        CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
        line.SetFxRatioValue(0x8000);
        EXPECT_EQ(line.TrimPoint(CDPoint(2.5, 0), 0), 1);
        EXPECT_EQ(line.GetStartPoint(), CDPoint(2.5, 0));
        EXPECT_EQ(line.GetEndPoint(), CDPoint(10, 0));
    }
    {
        CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
        line.SetFxRatioValue(0x4000);
        EXPECT_EQ(line.TrimPoint(CDPoint(5, 0), 0), 2);
        EXPECT_EQ(line.GetEndPoint(), CDPoint(5, 0));
    }
    {
        CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
        EXPECT_EQ(line.TrimPoint(CDPoint(-2, 0), 0.5), 1); // before the start, then 0.5 back in
        ExpectPoint(line.GetStartPoint(), -1.5, 0);
        EXPECT_EQ(line.TrimPoint(CDPoint(12, 0), 1), 2);
        ExpectPoint(line.GetEndPoint(), 11, 0);
        EXPECT_EQ(line.TrimPoint(CDPoint(11, 0), 0), 2); // equal to the end
    }
    {
        CLine diagonal(CDPoint(0, 0), CDPoint(3, 4), 3, 0);
        EXPECT_EQ(diagonal.TrimPoint(CDPoint(6, 8), 5), 2);
        ExpectPoint(diagonal.GetEndPoint(), 3, 4);
    }
}

TEST_F(LineGeometryTest, TrimPointRemeasuresADimension)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetType(0x3000); // names are given after construction
    line.SetDimension(frame.GetDimensionStyle());
    line.TrimPoint(CDPoint(12.5, 0), 0);
    EXPECT_EQ(line.GetName(), "12.5");
}

TEST_F(LineGeometryTest, TrimLineJoinsCollinearLines)
{
    const struct
    {
        CDPoint s1, e1, s2, e2;
        int turret2;
        bool joined;
        CDPoint js, je;
    } cases[] = {
        {{0, 0}, {5, 0}, {8, 0}, {3, 0}, 3, true, {0, 0}, {8, 0}},
        {{0, 0}, {5, 0}, {8, 0}, {3, 0}, 1, false, {0, 0}, {5, 0}},
        {{0, 0}, {5, 0}, {8, 2e-6}, {3, 2e-6}, 3, false, {0, 0}, {5, 0}},
        {{0, 0}, {5, 0}, {7, 0}, {9, 0}, 3, true, {0, 0}, {9, 0}},   // across a gap
        {{2, 0}, {5, 0}, {0, 0}, {1, 0}, 3, true, {0, 0}, {5, 0}},   // behind the start
        {{2, 0}, {5, 0}, {0, 0}, {8, 0}, 3, true, {0, 0}, {8, 0}},   // covers both ends
        {{0, 0}, {10, 0}, {2, 0}, {3, 0}, 3, true, {0, 0}, {10, 0}}, // inside
        {{0, 0}, {5, 5}, {7, 7}, {6, 6}, 3, true, {0, 0}, {7, 7}},
        {{0, 0}, {5, 0}, {6, 1}, {8, 1}, 3, false, {0, 0}, {5, 0}}, // parallel, off the axis
    };
    for (const auto& c : cases) {
        CLine line(c.s1, c.e1, 3, 0);
        CLine other(c.s2, c.e2, c.turret2, 0);
        EXPECT_EQ(line.TrimLine(&other), c.joined) << c.s2.x << "," << c.e2.x;
        ExpectPoint(line.GetStartPoint(), c.js.x, c.js.y, "start");
        ExpectPoint(line.GetEndPoint(), c.je.x, c.je.y, "end");
    }
}

TEST_F(LineGeometryTest, TrimLineNameRules)
{
    const tagDIMS style = frame.GetDimensionStyle();
    CLine a(CDPoint(0, 0), CDPoint(5, 0), 3, 0);
    CLine b(CDPoint(5, 0), CDPoint(9, 0), 3, 0);
    a.SetName("X", 100, true);
    b.SetName("Y", 100, true);
    EXPECT_FALSE(a.TrimLine(&b)); // two different plain names
    b.SetName("X", 100, true);
    EXPECT_TRUE(a.TrimLine(&b));

    // Both auto dimensions must measure the same thing.
    CLine len(CDPoint(0, 0), CDPoint(5, 0), 3, 0);
    len.SetType(0x3000); // names are given after construction
    CLine ang(CDPoint(5, 0), CDPoint(9, 0), 3, 0);
    ang.SetType(0x5000); // names are given after construction
    len.SetDimension(style);
    ang.SetDimension(style);
    EXPECT_FALSE(len.TrimLine(&ang));

    // An unnamed line takes the other's name and measures itself.
    CLine plain(CDPoint(0, 0), CDPoint(5, 0), 3, 0);
    CLine measured(CDPoint(5, 0), CDPoint(7.5, 0), 3, 0);
    measured.SetType(0x3000); // names are given after construction
    measured.SetDimension(style);
    EXPECT_TRUE(plain.TrimLine(&measured));
    EXPECT_TRUE(plain.IsAutoSize());
    EXPECT_EQ(plain.GetName(), "7.5");
    EXPECT_EQ(plain.GetNameText()->GetParent(), &plain);

    // A named auto line joined with an unnamed one measures again.
    CLine more(CDPoint(7.5, 0), CDPoint(10, 0), 3, 0);
    EXPECT_TRUE(plain.TrimLine(&more));
    EXPECT_EQ(plain.GetName(), "10");
}

// --- Transforms ---

TEST_F(LineGeometryTest, OffsetMovesTheMarkedEndOnly)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetCheck(2, true);
    line.Offset(CDPoint(0, 5));
    EXPECT_EQ(line.GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(line.GetEndPoint(), CDPoint(10, 5));

    line.SetCheck(true);
    line.Offset(CDPoint(1, 1));
    EXPECT_EQ(line.GetStartPoint(), CDPoint(1, 1));
    EXPECT_EQ(line.GetEndPoint(), CDPoint(11, 6));
    EXPECT_DOUBLE_EQ(line.GetBoundingRect().left, 0.9);
}

TEST_F(LineGeometryTest, OffsetCarriesAndRemeasuresTheName)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetType(0x3000); // names are given after construction
    line.SetDimension(frame.GetDimensionStyle());
    line.Offset(CDPoint(0, 3));
    EXPECT_EQ(line.GetNameText()->GetPoint(), CDPoint(5, 3.1));
    line.SetCheck(1, true);
    line.Offset(CDPoint(-5, 0));
    EXPECT_EQ(line.GetName(), "15");
}

TEST_F(LineGeometryTest, RotateMakesQuarterTurnsExact)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(line.GetEndPoint().x, 0.0);
    EXPECT_EQ(line.GetEndPoint().y, 10.0);
    EXPECT_DOUBLE_EQ(line.GetAngle(), kPi / 2);

    CLine flat(CDPoint(0, 1), CDPoint(10, 1), 3, 0);
    flat.Rotate(CDPoint(0, 0), kPi);
    EXPECT_EQ(flat.GetEndPoint().y, flat.GetStartPoint().y);
    ExpectPoint(flat.GetEndPoint(), -10, -1);

    CLine slanted(CDPoint(0, 0), CDPoint(3, 4), 3, 0);
    slanted.Rotate(CDPoint(1, 1), -std::atan2(4.0, 3.0) + kPi / 2);
    EXPECT_EQ(slanted.GetEndPoint().x, slanted.GetStartPoint().x);
    EXPECT_NEAR(slanted.GetLength(), 5.0, 1e-9);
}

TEST_F(LineGeometryTest, RotateAndMirrorCarryAPlainName)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetName("P", 100, true);
    line.Rotate(CDPoint(0, 0), kPi / 2);
    ExpectPoint(line.GetNameText()->GetPoint(), 0, 5);
    EXPECT_NEAR(line.GetNameText()->GetAngle(), kPi / 2, 1e-12);
    line.MirrorX(2);
    ExpectPoint(line.GetNameText()->GetPoint(), 4, 5);
    line.MirrorY(0);
    ExpectPoint(line.GetNameText()->GetPoint(), 4, -5);
}

TEST_F(LineGeometryTest, RotateRemeasuresADimension)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetType(0x5000); // names are given after construction
    line.SetDimension(frame.GetDimensionStyle());
    EXPECT_EQ(line.GetName(), "0" + _J("°"));
    line.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(line.GetName(), "90" + _J("°"));
}

TEST_F(LineGeometryTest, MirrorsAndScale)
{
    CLine line(CDPoint(1, 0), CDPoint(3, 2), 3, 0);
    line.MirrorX(0);
    EXPECT_EQ(line.GetStartPoint(), CDPoint(-1, 0));
    EXPECT_EQ(line.GetEndPoint(), CDPoint(-3, 2));
    line.MirrorY(1);
    EXPECT_EQ(line.GetStartPoint(), CDPoint(-1, 2));
    EXPECT_EQ(line.GetEndPoint(), CDPoint(-3, 0));
    EXPECT_DOUBLE_EQ(line.GetBoundingRect().left, -3.1);

    CLine s(CDPoint(1, 1), CDPoint(3, 3), 3, 0);
    s.Scale(CDPoint(0, 0), CDSize(2, 3));
    EXPECT_EQ(s.GetStartPoint(), CDPoint(2, 3));
    EXPECT_EQ(s.GetEndPoint(), CDPoint(6, 9));
    s.SetCheck(1, true);
    s.Scale(CDPoint(0, 0), CDSize(0.5, 0.5));
    EXPECT_EQ(s.GetStartPoint(), CDPoint(1, 1.5));
    EXPECT_EQ(s.GetEndPoint(), CDPoint(6, 9));

    CLine named(CDPoint(0, 0), CDPoint(4, 0), 3, 0);
    named.SetName("S", 100, true);
    named.Scale(CDPoint(0, 0), CDSize(2, 2));
    EXPECT_EQ(named.GetNameText()->GetPoint(), CDPoint(4, 0));
}

} // namespace
