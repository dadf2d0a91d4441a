// The contact tests in their working forms against the plain forms they replace, on random items:
// the turn into a line's frame against the point's own turn (bit for bit), and line-line,
// line-land, line-hole and arc-land contact against the plain end-pad walk.

#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace testing_support;

constexpr double kPi = std::numbers::pi;

bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// --- The plain forms: a pad looked up by turret number at each end ---

CDPoint PlainFrameEnd(CLine& line, double a)
{
    CDPoint e = line.GetEndPoint();
    e.Rotate(line.GetStartPoint(), -a);
    return e;
}

int PlainLineLand(CLine& line, CLand* land)
{
    if (!contact::RectsMeet(line.GetBoundingRect(), land->GetBoundingRect()))
        return 0;
    const CDPoint& start = line.GetStartPoint();
    const CDPoint& end = line.GetEndPoint();
    const CDPoint& p = land->GetPoint();
    if (p == start || p == end)
        return 1;
    const double a = line.GetAngle();
    CDPoint q = p;
    q.Rotate(start, -a);
    const double x1 = start.x, y1 = start.y, x2 = PlainFrameEnd(line, a).x;
    if (line.GetLineWidth() + land->GetBoundingRect().Width() < 2.0 * std::fabs(q.y - y1))
        return 0;
    if (q.x < x1 || q.x > x2) {
        CLand cap(q.x < x1 ? start : end, line.GetTurretNo());
        return cap.CheckShort(land);
    }
    return 1;
}

int PlainLineLine(CLine& mine, CLine& other)
{
    if (!contact::RectsMeet(mine.GetBoundingRect(), other.GetBoundingRect()))
        return 0;
    const CDPoint &ms = mine.GetStartPoint(), &me = mine.GetEndPoint();
    const CDPoint &os = other.GetStartPoint(), &oe = other.GetEndPoint();
    if (os == me || oe == ms || oe == me || os == ms)
        return 1;
    CLand land(os, other.GetTurretNo());
    if (PlainLineLand(mine, &land))
        return 1;
    land.SetPoint(oe);
    if (PlainLineLand(mine, &land))
        return 1;
    land.SetTurretNo(mine.GetTurretNo(), false);
    land.SetPoint(ms);
    if (PlainLineLand(other, &land))
        return 1;
    land.SetPoint(me);
    if (PlainLineLand(other, &land))
        return 1;

    const double a = mine.GetAngle();
    CDPoint s = os, e = oe;
    s.Rotate(ms, -a);
    e.Rotate(ms, -a);
    const double x1 = ms.x, y1 = ms.y, x2 = PlainFrameEnd(mine, a).x;
    if (std::fabs(s.y - e.y) > GEOM_TOLERANCE) {
        if ((e.y - y1) * (s.y - y1) < 0.0) {
            const double x = s.x + (e.x - s.x) * (y1 - s.y) / (e.y - s.y);
            return (x1 <= x && x <= x2) ? 1 : 0;
        }
        return 0;
    }
    if (2.0 * std::fabs(s.y - y1) > mine.GetLineWidth() + other.GetLineWidth())
        return 0;
    return ((x1 <= s.x && s.x <= x2) || (x1 <= e.x && e.x <= x2)) ? 1 : 0;
}

// A round hole only (the other shapes are split into round holes and boxes first).
int PlainLineRoundHole(CLine& line, CHole* hole)
{
    if (!contact::RectsMeet(line.GetBoundingRect(), hole->GetBoundingRect()))
        return 0;
    const CDPoint& start = line.GetStartPoint();
    const CDPoint& end = line.GetEndPoint();
    const CDPoint& p = hole->GetPoint();
    if (p == start || p == end)
        return 1;
    double diameter, width, radius, angle;
    hole->GetSHoleData(diameter, width, radius, angle);
    const double a = line.GetAngle();
    CDPoint q = p;
    q.Rotate(start, -a);
    const double x1 = start.x, y1 = start.y, x2 = PlainFrameEnd(line, a).x;
    if ((line.GetLineWidth() + diameter) * 0.5 < std::fabs(q.y - y1))
        return 0;
    if (q.x < x1 || q.x > x2) {
        CLand cap(q.x < x1 ? start : end, line.GetTurretNo());
        return cap.CheckShort(hole);
    }
    return 1;
}

// --- Random items ---

const int kTurrets[] = {T_LINE, T_PAD, T_SQUARE, T_DONUT, T_THERMAL, T_MM, T_SQLINE, T_SMALL, T_FINE, T_SQUARE2};

class ContactFormsTest : public ContactTest, public ::testing::WithParamInterface<unsigned>
{
protected:
    // Points on a 0.125 grid (ends meet, edges touch exactly) or anywhere, in a small field so that
    // most pairs are near each other.
    CDPoint Point()
    {
        std::uniform_real_distribution<double> any(0.0, 6.0);
        std::uniform_int_distribution<int> grid(0, 48);
        if (coin(random) < 0.5)
            return CDPoint(grid(random) * 0.125, grid(random) * 0.125);
        return CDPoint(any(random), any(random));
    }

    // A second end along an axis, a diagonal or any direction.
    CDPoint EndFrom(const CDPoint& s)
    {
        std::uniform_real_distribution<double> length(0.0, 4.0);
        std::uniform_int_distribution<int> eighth(0, 7);
        const double u = coin(random);
        if (u < 0.15)
            return Point();
        const double l = u < 0.2 ? 0.0 : length(random);
        const double angle = u < 0.6 ? eighth(random) * kPi / 4.0 : coin(random) * 2.0 * kPi;
        return CDPoint(s.x + l * std::cos(angle), s.y + l * std::sin(angle));
    }

    int Turret() { return kTurrets[std::uniform_int_distribution<std::size_t>(0, std::size(kTurrets) - 1)(random)]; }

    std::mt19937 random{GetParam()};
    std::uniform_real_distribution<double> coin{0.0, 1.0};
};

TEST_P(ContactFormsTest, TurnIntoALinesFrameIsThePointsOwnTurn)
{
    const double special[] = {0.0,       1e-7,      -1e-7,    kPi / 2.0,        -kPi / 2.0, 3.0 * kPi / 2.0,
                              kPi,       -kPi,      kPi / 4.0, 4.71238898038469, 1.5707963267948966};
    for (int i = 0; i < 3000; ++i) {
        const CDPoint centre = i % 3 == 0 ? CDPoint(0, 0) : Point();
        const double angle = i < 300 ? special[static_cast<std::size_t>(i) % std::size(special)]
                                     : (coin(random) - 0.5) * 4.0 * kPi;
        const contact::Turn turn(centre, angle);
        for (int k = 0; k < 4; ++k) {
            // Some points a hair off a quarter turn of themselves, to reach the snapping.
            CDPoint p = k == 3 ? CDPoint(centre.x + 1e-7, centre.y - 2.5) : Point();
            if (k == 2)
                p = CDPoint(centre.x + (p.y - centre.y), centre.y + (p.y - centre.y) + 3e-7);
            CDPoint expected = p;
            expected.Rotate(centre, angle);
            const CDPoint got = turn(p);
            ASSERT_TRUE(SameBits(got.x, expected.x) && SameBits(got.y, expected.y))
                << "angle " << angle << " point " << p.x << ", " << p.y;
        }
    }
}

TEST_P(ContactFormsTest, LineContactEqualsThePlainEndPadWalk)
{
    std::vector<CLine> lines;
    for (int i = 0; i < 70; ++i) {
        const CDPoint s = Point();
        lines.emplace_back(s, EndFrom(s), Turret(), 0);
    }
    std::vector<CLand> lands;
    std::vector<CHole> holes;
    for (int i = 0; i < 40; ++i) {
        lands.emplace_back(Point(), Turret());
        holes.emplace_back(Point(), 0.25 + 0.125 * (i % 8), true, 0.0, 0.0, 0.0);
    }
    // Lands and holes exactly at the ends of some lines.
    for (std::size_t i = 0; i < 10; ++i) {
        lands.emplace_back(lines[i].GetEndPoint(), Turret());
        holes.emplace_back(lines[i + 10].GetStartPoint(), 0.5, true, 0.0, 0.0, 0.0);
    }

    int touching = 0, pairs = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t j = 0; j < lines.size(); ++j) {
            if (i == j)
                continue;
            const int expected = PlainLineLine(lines[i], lines[j]);
            ASSERT_EQ(lines[i].CheckShort(&lines[j]), expected) << "lines " << i << ", " << j;
            touching += expected;
            ++pairs;
        }
        for (std::size_t k = 0; k < lands.size(); ++k) {
            const int expected = PlainLineLand(lines[i], &lands[k]);
            ASSERT_EQ(lines[i].CheckShort(&lands[k]), expected) << "line " << i << ", land " << k;
            ASSERT_EQ(lands[k].CheckShort(&lines[i]), expected) << "land " << k << ", line " << i;
        }
        for (std::size_t k = 0; k < holes.size(); ++k)
            ASSERT_EQ(lines[i].CheckShort(&holes[k]), PlainLineRoundHole(lines[i], &holes[k]))
                << "line " << i << ", hole " << k;
    }
    // The boards hold both answers in fair numbers.
    EXPECT_GT(touching, pairs / 20);
    EXPECT_LT(touching, pairs - pairs / 20);
}

TEST_P(ContactFormsTest, ArcEndsEqualPadsOfTheArcsTurretNumber)
{
    for (int i = 0; i < 60; ++i) {
        const double start = coin(random) * 2.0 * kPi, sweep = coin(random) * 1.5 * kPi;
        CArc arc(Point(), 0.5 + coin(random) * 2.0, start, start + sweep, 0, Turret());
        arc.GetBoundingRect();
        for (int k = 0; k < 20; ++k) {
            CLand land(k < 4 ? (k % 2 ? arc.GetEndPoint() : arc.GetStartPoint()) : Point(), Turret());
            // The plain form: the stroke, or a pad of the arc's turret number at either end.
            int expected = 0;
            if (contact::RectsMeet(arc.GetBoundingRect(), land.GetBoundingRect())) {
                const CDRect padRect = land.GetBoundingRect();
                const double reach = (padRect.Width() + arc.GetLineWidth()) / 2.0;
                const double d = land.GetPoint().GetLength(arc.GetCenter());
                if (d <= arc.GetRadius() + reach && d >= arc.GetRadius() - reach) {
                    if (arc.CheckAngle(arc.GetCenter().GetAngle(land.GetPoint()))) {
                        expected = 1;
                    } else {
                        CLand cap(arc.GetStartPoint(), arc.GetTurretNo());
                        expected = cap.CheckShort(&land);
                        if (!expected) {
                            cap.SetPoint(arc.GetEndPoint());
                            expected = cap.CheckShort(&land);
                        }
                    }
                }
            }
            ASSERT_EQ(arc.CheckShort(&land), expected) << "arc " << i << ", land " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ContactFormsTest, ::testing::Values(1u, 2u, 3u, 5u, 8u, 13u));

} // namespace
