#include "model/geometry/Geometry.h"

#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <type_traits>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The records are passed by value as their plain forms, so the classes must keep their layout.
static_assert(std::is_standard_layout_v<CDPoint> && std::is_standard_layout_v<CDSize> &&
              std::is_standard_layout_v<CDRect>);
static_assert(!std::is_polymorphic_v<CDPoint> && !std::is_polymorphic_v<CDRect>);
static_assert(offsetof(tagDRECT, right) == 16 && offsetof(tagDRECT, bottom) == 24);

// The coordinate scale is process-wide: every test that sets it puts it back.
class ScaleGuard
{
public:
    explicit ScaleGuard(int scale) : m_old(CDPoint::GetScale()) { CDPoint::SetScale(scale); }
    ~ScaleGuard() { CDPoint::SetScale(m_old); }

private:
    int m_old;
};

TEST(GeometryPointTest, EqualityToleranceIsOneSidedAndInequalityIsExact)
{
    const CDPoint origin(0.0, 0.0);
    const CDPoint nearX(0.000001, 0.0);
    EXPECT_TRUE(origin == nearX);  // 0.000001 - 0.000001 <= 0 < 0.000002
    EXPECT_FALSE(nearX == origin); // 0.000001 < 0 + 0.000001 fails
    EXPECT_EQ(origin.EqCheck(nearX), 1);
    EXPECT_EQ(nearX.EqCheck(origin), 0);
    EXPECT_TRUE(origin != nearX);
    EXPECT_TRUE(nearX != origin);
    // The same rule on y, and a plain record on the right.
    const tagDPOINT nearY{0.0, 0.000001};
    EXPECT_TRUE(origin == nearY);
    EXPECT_FALSE(CDPoint(nearY) == (tagDPOINT{0.0, 0.0}));
    EXPECT_FALSE(origin == CDPoint(0.0, 0.0000011));
    EXPECT_FALSE(origin != CDPoint(0.0, 0.0));
}

TEST(GeometryPointTest, SizeEqualityIsExact)
{
    EXPECT_TRUE(CDSize(1.0, 2.0) == CDSize(1.0, 2.0));
    EXPECT_FALSE(CDSize(1.0, 2.0) == CDSize(1.0, 2.0000001));
    EXPECT_TRUE(CDSize(1.0, 2.0) != CDSize(1.0000001, 2.0));
}

TEST(GeometryPointTest, Arithmetic)
{
    CDPoint p(1.0, 2.0);
    const CDSize d = CDPoint(4.0, 6.0) - p;
    EXPECT_EQ(d, CDSize(3.0, 4.0));
    EXPECT_TRUE((p + d) == CDPoint(4.0, 6.0));
    EXPECT_TRUE((d + p) == CDPoint(4.0, 6.0));
    EXPECT_TRUE((d - p) == CDPoint(2.0, 2.0));
    EXPECT_TRUE((p * 2.0) == CDPoint(2.0, 4.0));
    EXPECT_TRUE(-p == CDPoint(-1.0, -2.0));
    p.Scale(CDPoint(1.0, 1.0), CDSize(2.0, 3.0));
    EXPECT_TRUE(p == CDPoint(1.0, 4.0));

    const CDRect r(1.0, 2.0, 3.0, 4.0);
    const CDRect moved = CDPoint(10.0, 20.0) + &r;
    EXPECT_TRUE(moved == CDRect(11.0, 22.0, 13.0, 24.0));
    EXPECT_TRUE((CDPoint(1.0, 2.0) - &r) == CDRect(0.0, 0.0, 2.0, 2.0));

    EXPECT_EQ(CDPoint(0.0, 0.0).NearCheckPoint(CDPoint(3.0, 4.0), 5.0), 1);
    EXPECT_EQ(CDPoint(0.0, 0.0).NearCheckPoint(CDPoint(3.0, 4.0), 4.999), 0);
    EXPECT_EQ(CDPoint(1.0, 2.0).cross(CDPoint(3.0, 4.0)), -2.0);
    EXPECT_EQ(CDPoint(1.0, 2.0).dot(CDPoint(3.0, 4.0)), 11.0);
}

TEST(GeometryPointTest, Distances)
{
    const CDPoint o(0.0, 0.0);
    EXPECT_EQ(o.GetLength(CDPoint(3.0, -4.0)), 5.0);
    EXPECT_EQ(o.GetMLength(CDPoint(3.0, -4.0)), 7.0);
    EXPECT_EQ(o.GetLengthN(CDPoint(1.234567891, 0.0)), 1.2345679);
    EXPECT_EQ(o.GetLengthN(CDPoint(0.0, 12345.678951)), 12345.679);
    EXPECT_EQ(o.GetAngle(CDPoint(-1.0, 0.0)), kPi);
    EXPECT_EQ(o.GetAngle(CDPoint(0.0, -2.0)), -kPi / 2);
    const CDPoint q = CDPoint(1.0, 1.0).GetPoint(kPi / 2, 2.0);
    EXPECT_NEAR(q.x, 1.0, 1e-15);
    EXPECT_EQ(q.y, 3.0);
    EXPECT_TRUE(CDPoint(1.0, 2.0).GetCenter(CDPoint(3.0, 6.0)) == CDPoint(2.0, 4.0));
}

TEST(GeometryPointTest, IntegerAndFixedForms)
{
    {
        const ScaleGuard guard(0);
        // Before a board sets the scale, integer forms are zero and sizes are not divided.
        EXPECT_EQ(CDPoint(5.0, 7.0).IntPoint(), CPoint(0, 0));
        EXPECT_EQ(CDSize(250.0, 50.0).DivSize(), CDSize(250.0, 50.0));
    }
    const ScaleGuard guard(100);
    EXPECT_EQ(CDPoint(1.239, -1.239).IntPoint(), CPoint(123, -123));
    EXPECT_EQ(CDSize(0.019, -2.5).IntSize(), CSize(1, -250));
    EXPECT_EQ(CDRect(-0.015, 0.015, 2.999, -3.0).IntRect(), CRect(-1, 1, 299, -300));
    EXPECT_EQ(CDSize(250.0, 50.0).DivSize(), CDSize(2.5, 0.5));

    const tagPOINTFX fx = CDPoint(1.5, -0.25).FxPoint();
    EXPECT_EQ(fx.x.value, 1);
    EXPECT_EQ(fx.x.fract, 0x8000);
    EXPECT_EQ(fx.y.value, -1);
    EXPECT_EQ(fx.y.fract, 0xC000);
}

TEST(GeometryAngleTest, NormalizeAngle)
{
    struct Case
    {
        double in;
        double out;
    };
    const Case exact[] = {
        {0.0, 0.0},
        {kTwoPi, 0.0},
        {-0.0000005, 0.0},
        {kTwoPi - 0.0000005, 0.0},
        {6.2831858, 0.0},
        {kPi + 0.0000009, kPi},
        {kPi - 0.0000009, kPi},
        {250.0, 250.0 - 39 * kTwoPi},
        {1.0, 1.0},
        {kPi + 0.0000011, kPi + 0.0000011},
    };
    for (const Case& c : exact) {
        double a = c.in;
        NormalizeAngle(a);
        EXPECT_EQ(a, c.out) << "in " << c.in;
    }
    const Case nearly[] = {
        {-7.0, -7.0 + 2 * kTwoPi},
        {kTwoPi + 1.0, 1.0},
        {-100.5, -100.5 + 16 * kTwoPi},
        {-kPi / 2, 3 * kPi / 2},
    };
    for (const Case& c : nearly) {
        double a = c.in;
        NormalizeAngle(a);
        EXPECT_NEAR(a, c.out, 1e-12) << "in " << c.in;
    }
    // Far beyond a 32-bit count of turns the angle still ends in range (and the call returns).
    for (double huge : {1e20, -1e20, 1e300}) {
        double a = huge;
        NormalizeAngle(a);
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, kTwoPi);
    }
}

TEST(GeometryRotateTest, AboutOriginTakesExactQuarterTurns)
{
    struct Case
    {
        double angle;
        double x, y;
    };
    const Case cases[] = {
        {kPi / 2 + 0.0000005, -2.0, 1.0},
        {3 * kPi / 2, 2.0, -1.0},
        {-kPi / 2, 2.0, -1.0},
        {0.0000009, 1.0, 2.0},
        {kTwoPi - 0.0000009, 1.0, 2.0},
    };
    for (const Case& c : cases) {
        CDPoint p(1.0, 2.0);
        p.Rotate(c.angle);
        EXPECT_EQ(p.x, c.x) << "angle " << c.angle;
        EXPECT_EQ(p.y, c.y) << "angle " << c.angle;
    }
}

TEST(GeometryRotateTest, AboutOriginSnapsNoiseOntoOldCoordinates)
{
    // A half turn of (0, 1): x comes out as -1.2e-16 and snaps to the old x, exactly 0.
    CDPoint p(0.0, 1.0);
    p.Rotate(kPi);
    EXPECT_EQ(p.x, 0.0);
    EXPECT_FALSE(std::signbit(p.x));
    EXPECT_NEAR(p.y, -1.0, 1e-15);

    CDPoint q(1.0, 0.0);
    q.Rotate(kPi / 4);
    EXPECT_NEAR(q.x, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(q.y, std::sqrt(0.5), 1e-15);
}

TEST(GeometryRotateTest, TurnsMatchCosAndSinOfTheirOwnAngleWhateverTurnCameBefore)
{
    // Angles repeat, alternate and differ by one step of a double, so that a turn follows turns
    // by the same angle, by a neighbouring one and by its negation.
    const auto snap = [](double v, double first, double second) {
        if (std::fabs(v - first) <= GEOM_TOLERANCE)
            return first;
        if (std::fabs(v - second) <= GEOM_TOLERANCE)
            return second;
        return v;
    };
    const double base = 0.7;
    const double angles[] = {base, std::nextafter(base, 1.0), -base, 1.2, 2.5};
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(0, 4);
    std::uniform_real_distribution<double> coordinate(-50.0, 50.0);
    for (int i = 0; i < 2000; ++i) {
        const double a = angles[pick(random)];
        const CDPoint c(i % 2 ? coordinate(random) : 0.0, i % 2 ? coordinate(random) : 0.0);
        const CDPoint p(coordinate(random), coordinate(random));
        const double dx = p.x - c.x, dy = p.y - c.y;
        const double x = snap(c.x + dx * std::cos(a) - dy * std::sin(a), dx, dy);
        const double y = snap(c.y + dx * std::sin(a) + dy * std::cos(a), dx, dy);
        CDPoint q = p;
        if (c.x == 0.0 && a > 0.0)
            q.Rotate(a);
        else
            q.Rotate(c, a);
        ASSERT_EQ(q.x, x) << i;
        ASSERT_EQ(q.y, y) << i;
    }
}

TEST(GeometryRotateTest, AboutCentre)
{
    const CDPoint c(10.0, 10.0);
    CDPoint p(11.0, 10.0);
    p.Rotate(c, 1.5707963267948966);
    EXPECT_EQ(p.x, 10.0);
    EXPECT_EQ(p.y, 11.0);

    for (double a : {-1.5707963267948966, 4.71238898038469}) {
        CDPoint r(11.0, 10.0);
        r.Rotate(c, a);
        EXPECT_EQ(r.x, 10.0);
        EXPECT_EQ(r.y, 9.0);
    }

    CDPoint unchanged(11.0, 10.0);
    unchanged.Rotate(c, -0.000001);
    EXPECT_EQ(unchanged.x, 11.0);
    EXPECT_EQ(unchanged.y, 10.0);

    // Not the exact double of pi/2: the general path with cos and sin.
    CDPoint g(11.0, 10.0);
    g.Rotate(c, 1.5707963);
    EXPECT_NE(g.x, 10.0);
    EXPECT_NEAR(g.x, 10.0, 1e-7);
    EXPECT_NEAR(g.y, 11.0, 1e-12);

    // The angle about a centre is taken as given, not normalised: 2*pi + pi/2 turns the long way
    // through cos and sin and lands in the same place.
    CDPoint w(11.0, 10.0);
    w.Rotate(c, kTwoPi + kPi / 2);
    EXPECT_NEAR(w.x, 10.0, 1e-12);
    EXPECT_NEAR(w.y, 11.0, 1e-12);
}

TEST(GeometryPointTest, CrossCheck)
{
    const CDPoint p(0.0, 0.0);
    struct Case
    {
        CDPoint s0, s1, s2;
        int expected;
    };
    const Case cases[] = {
        {{10, 0}, {5, -1}, {5, 1}, 1},  // g < 0
        {{10, 0}, {5, 1}, {5, -1}, 0},  // g > 0
        {{10, 0}, {3, 0}, {20, 0}, 1},  // collinear, s1 on the segment
        {{10, 0}, {12, 0}, {7, 0}, 1},  // collinear, s2 on the segment
        {{10, 0}, {12, 0}, {20, 0}, 0}, // collinear, both beyond s0
        {{10, 0}, {-3, 0}, {-9, 0}, 0}, // collinear, both behind P
        {{10, 0}, {3, 1}, {8, 1}, 0},   // parallel, apart
        {{0, 10}, {0, 4}, {0, 30}, 1},  // collinear on a turned line
    };
    for (const Case& c : cases) {
        CDPoint pts[3] = {c.s0, c.s1, c.s2};
        EXPECT_EQ(p.CrossCheck(pts), c.expected) << c.s0.x << "," << c.s0.y << " " << c.s1.x << "," << c.s1.y;
        // The caller's points are left alone.
        EXPECT_TRUE(pts[0] == c.s0 && pts[1] == c.s1 && pts[2] == c.s2);
    }
    // Away from the origin the parallel test works from this point.
    CDPoint pts[3] = {{15, 5}, {8, 5}, {30, 5}};
    EXPECT_EQ(CDPoint(5.0, 5.0).CrossCheck(pts), 1);
}

TEST(GeometryRectTest, ConstructionAndCorners)
{
    const CDRect square(CDPoint(1.0, 2.0), 0.5);
    EXPECT_TRUE(square == CDRect(0.5, 1.5, 1.5, 2.5));
    const CDRect sized(CDPoint(1.0, 2.0), CDSize(3.0, 4.0));
    EXPECT_TRUE(sized == CDRect(1.0, 2.0, 4.0, 6.0));
    EXPECT_EQ(sized.Size(), CDSize(3.0, 4.0));
    EXPECT_TRUE(sized.CenterPoint() == CDPoint(2.5, 4.0));

    CDRect r(CDPoint(5.0, 6.0), CDPoint(1.0, 2.0)); // not normalised
    EXPECT_EQ(r.left, 5.0);
    EXPECT_EQ(r.Width(), -4.0);
    EXPECT_EQ(r.IsRectEmpty(), 1);
    r.NormalizeRect();
    EXPECT_TRUE(r == CDRect(1.0, 2.0, 5.0, 6.0));
    EXPECT_EQ(r.IsRectEmpty(), 0);

    // The corners are points inside the rectangle: writing one moves the rectangle's edges.
    r.TopLeft() = CDPoint(0.0, 1.0);
    r.BottomRight().Offset(1.0, 1.0);
    EXPECT_EQ(r.left, 0.0);
    EXPECT_EQ(r.top, 1.0);
    EXPECT_EQ(r.right, 6.0);
    EXPECT_EQ(r.bottom, 7.0);
    EXPECT_TRUE(r.TopLeft() == CDPoint(0.0, 1.0));

    CDRect n(0.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(n.IsRectNull(), 1);
    EXPECT_EQ(CDRect(0.0, 0.0, 0.0, 1e-300).IsRectNull(), 0);
    r.SetRectEmpty();
    EXPECT_EQ(r.IsRectNull(), 1);
}

TEST(GeometryRectTest, EqualityToleranceIsOneSided)
{
    const CDRect a(0.0, 0.0, 1.0, 1.0);
    const CDRect b(0.0, 0.0, 1.000001, 1.0);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(b == a);
    EXPECT_TRUE(b != a);
    EXPECT_EQ(a.EqualRect(&b), 1);
    EXPECT_FALSE(a == CDRect(0.0, 0.0, 1.0, 1.0000011));
}

TEST(GeometryRectTest, PtInRectCountsLeftAndTopEdgesOnly)
{
    const CDRect r(0.0, 0.0, 10.0, 5.0);
    EXPECT_EQ(r.PtInRect(CDPoint(0.0, 0.0)), 1);
    EXPECT_EQ(r.PtInRect(CDPoint(9.999, 4.999)), 1);
    EXPECT_EQ(r.PtInRect(CDPoint(10.0, 2.0)), 0);
    EXPECT_EQ(r.PtInRect(CDPoint(5.0, 5.0)), 0);
    EXPECT_EQ(r.PtInRect(CDPoint(-0.000001, 2.0)), 0);
}

TEST(GeometryRectTest, IsRectOutSideOnlyWhenWhollyBeyondAnEdge)
{
    const CDPoint extent(100.0, 100.0);
    struct Case
    {
        CDRect r;
        int out;
    };
    const Case cases[] = {
        {{-5, 10, 5, 20}, 0},     // reaches over the left edge
        {{10, -5, 20, 5}, 0},     // reaches over the top edge: the same rule as x
        {{-20, 10, -5, 20}, 1},   // wholly left
        {{10, -20, 20, -5}, 1},   // wholly below 0 on y
        {{95, 10, 105, 20}, 0},   // reaches over the far x edge
        {{101, 10, 120, 20}, 1},  // wholly beyond x
        {{10, 95, 20, 105}, 0},   // reaches over the far y edge
        {{10, 101, 20, 120}, 1},  // wholly beyond y
        {{0, 0, 100, 100}, 0},    // the work area itself
        {{-10, -10, 110, 110}, 0} // covers the work area
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.r.IsRectOutSide(extent), c.out)
            << c.r.left << "," << c.r.top << " " << c.r.right << "," << c.r.bottom;
}

TEST(GeometryRectTest, IntersectionMakesNullRectangleWhenOnlyTouching)
{
    const CDRect a(0.0, 0.0, 10.0, 10.0);
    const CDRect touching(10.0, 0.0, 20.0, 10.0);
    const CDRect overlapping(5.0, 5.0, 15.0, 15.0);

    EXPECT_EQ(a.IntersectRect(&touching), 0);
    EXPECT_EQ(a.IntersectRect(&overlapping), 1);
    EXPECT_TRUE(a == CDRect(0.0, 0.0, 10.0, 10.0)); // the test form leaves the rectangle alone

    CDRect r(1.0, 2.0, 3.0, 4.0);
    EXPECT_EQ(r.IntersectRect(&a, &touching), 0);
    EXPECT_EQ(r.IsRectNull(), 1);
    EXPECT_EQ(r.IntersectRect(&a, &overlapping), 1);
    EXPECT_TRUE(r == CDRect(5.0, 5.0, 10.0, 10.0));

    CDRect inPlace = a;
    inPlace &= overlapping;
    EXPECT_TRUE(inPlace == CDRect(5.0, 5.0, 10.0, 10.0));
    EXPECT_EQ((a & CDRect(0.0, 10.0, 10.0, 20.0)).IsRectNull(), 1);
    EXPECT_EQ((a & CDRect(20.0, 20.0, 30.0, 30.0)).IsRectNull(), 1);
}

TEST(GeometryRectTest, UnionTreatsNullRectangleAsAbsent)
{
    const CDRect null(0.0, 0.0, 0.0, 0.0);
    const CDRect a(1.0, 1.0, 2.0, 2.0);
    const CDRect touching(2.0, 1.0, 3.0, 2.0);

    CDRect r = a;
    r |= null;
    EXPECT_TRUE(r == a);
    CDRect n = null;
    n |= a;
    EXPECT_TRUE(n == a);
    EXPECT_TRUE((a | touching) == CDRect(1.0, 1.0, 3.0, 2.0));

    CDRect u;
    EXPECT_EQ(u.UnionRect(&null, &a), 1);
    EXPECT_TRUE(u == a);
    EXPECT_EQ(u.UnionRect(&a, &null), 1);
    EXPECT_TRUE(u == a);
    EXPECT_EQ(u.UnionRect(&null, &null), 0);
    EXPECT_EQ(u.IsRectNull(), 1);
    // A degenerate outcome (no height) answers 0 but is still the union.
    const CDRect flat1(0.0, 5.0, 1.0, 5.0);
    const CDRect flat2(2.0, 5.0, 3.0, 5.0);
    EXPECT_EQ(u.UnionRect(&flat1, &flat2), 0);
    EXPECT_TRUE(u == CDRect(0.0, 5.0, 3.0, 5.0));
    // A rectangle that is not null but has one zero corner is not treated as absent.
    const CDRect fromOrigin(0.0, 0.0, 1.0, 1.0);
    EXPECT_TRUE((fromOrigin | CDRect(5.0, 5.0, 6.0, 6.0)) == CDRect(0.0, 0.0, 6.0, 6.0));
}

TEST(GeometryRectTest, InflateDeflateOffset)
{
    CDRect r(0.0, 0.0, 10.0, 4.0);
    r.InflateRect(1.0, 2.0);
    EXPECT_TRUE(r == CDRect(-1.0, -2.0, 11.0, 6.0));
    r.DeflateRect(CDSize(1.0, 2.0));
    EXPECT_TRUE(r == CDRect(0.0, 0.0, 10.0, 4.0));
    r += CDPoint(1.0, 1.0);
    EXPECT_TRUE(r == CDRect(1.0, 1.0, 11.0, 5.0));
    EXPECT_TRUE((r - CDSize(1.0, 1.0)) == CDRect(0.0, 0.0, 10.0, 4.0));

    // With a rectangle argument the coordinates are scaled one by one.
    const CDRect factors(2.0, 3.0, 4.0, 5.0);
    CDRect s(1.0, 1.0, 1.0, 1.0);
    s += &factors;
    EXPECT_TRUE(s == factors);
    s -= &factors;
    EXPECT_TRUE(s == CDRect(1.0, 1.0, 1.0, 1.0));
}

TEST(GeometryRectTest, MirrorAndRotate)
{
    CDRect r(1.0, 2.0, 3.0, 5.0);
    r.MirrorX(0.0);
    EXPECT_TRUE(r == CDRect(-3.0, 2.0, -1.0, 5.0));
    r.MirrorY(1.0);
    EXPECT_TRUE(r == CDRect(-3.0, -3.0, -1.0, 0.0));

    CDRect q(0.0, 0.0, 4.0, 2.0);
    q.Rotate(CDPoint(0.0, 0.0), 1.5707963267948966);
    EXPECT_TRUE(q == CDRect(-2.0, 0.0, 0.0, 4.0));
    CDRect d(0.0, 0.0, 2.0, 2.0);
    d.Rotate(CDPoint(1.0, 1.0), kPi / 4);
    EXPECT_NEAR(d.left, 1.0 - std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(d.bottom, 1.0 + std::sqrt(2.0), 1e-12);

    const CDPoint pts[4] = {{3.0, 1.0}, {-1.0, 2.0}, {0.0, -4.0}, {2.0, 7.0}};
    CDRect b;
    b.ResetRect(pts);
    EXPECT_TRUE(b == CDRect(-1.0, -4.0, 3.0, 7.0));

    CDRect lr(1.0, 2.0, 3.0, 4.0);
    lr.SwapLeftRight();
    EXPECT_TRUE(lr == CDRect(3.0, 2.0, 1.0, 4.0));
    EXPECT_EQ(lr.SubtractRect(&b, &q), 0);
    EXPECT_TRUE(lr == CDRect(3.0, 2.0, 1.0, 4.0));
}

TEST(GeometryArchiveTest, PointIsSixteenLittleEndianBytes)
{
    CArchive out(CArchive::store);
    WriteDPoint(out, CDPoint(1.5, -2.0));
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0};
    EXPECT_EQ(out.Data(), expected);

    CArchive in(CArchive::load, out.Data());
    tagDPOINT p{};
    ReadDPoint(in, p);
    EXPECT_EQ(p.x, 1.5);
    EXPECT_EQ(p.y, -2.0);
    EXPECT_THROW(ReadDPoint(in, p), ArchiveError);
}

} // namespace
