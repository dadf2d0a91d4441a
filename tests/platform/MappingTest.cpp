#include "platform/Mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using namespace platform;

TEST(Mapping, TextModeIsOneToOneAndIgnoresExtents)
{
    Mapping m;
    EXPECT_EQ(m.GetMapMode(), MM_TEXT);
    EXPECT_EQ(m.SetWindowExt(CSize(10, 10)), CSize(1, 1));
    EXPECT_EQ(m.GetWindowExt(), CSize(1, 1));
    m.SetWindowOrg(CPoint(5, 5));
    m.SetViewportOrg(CPoint(100, 200));
    EXPECT_EQ(m.LPtoDP(CPoint(5, 5)), CPoint(100, 200));
    EXPECT_EQ(m.LPtoDP(CPoint(6, 4)), CPoint(101, 199));
    EXPECT_EQ(m.DPtoLP(CPoint(101, 199)), CPoint(6, 4));
    EXPECT_EQ(m.SetMapMode(99), 0);
    EXPECT_EQ(m.GetMapMode(), MM_TEXT);
}

TEST(Mapping, FixedModesFollowTheResolutionWithYUpward)
{
    struct Case
    {
        int mode;
        int unitsPerInch;
    };
    const Case cases[] = {
        {MM_LOMETRIC, 254}, {MM_HIMETRIC, 2540}, {MM_LOENGLISH, 100}, {MM_HIENGLISH, 1000}, {MM_TWIPS, 1440},
    };
    for (const Case& c : cases) {
        Mapping m(600, 300);
        EXPECT_EQ(m.SetMapMode(c.mode), MM_TEXT);
        EXPECT_EQ(m.LPtoDP(CPoint(c.unitsPerInch, c.unitsPerInch)), CPoint(600, -300)) << c.mode;
        EXPECT_EQ(m.DPtoLP(CPoint(600, -300)), CPoint(c.unitsPerInch, c.unitsPerInch)) << c.mode;
        // Extents are fixed in these modes.
        m.SetViewportExt(CSize(1, 1));
        EXPECT_EQ(m.GetViewportExt(), CSize(600, -300)) << c.mode;
    }
    // A printer's resolution changes the fixed extents.
    Mapping m;
    m.SetMapMode(MM_HIMETRIC);
    m.SetResolution(1200, 1200);
    EXPECT_EQ(m.LPtoDP(CPoint(2540, -2540)), CPoint(1200, 1200));
}

TEST(Mapping, IsotropicKeepsUnitsSquare)
{
    Mapping m;
    m.SetMapMode(MM_ISOTROPIC);
    // Starts from the metric extents.
    EXPECT_EQ(m.GetWindowExt(), CSize(254, 254));
    EXPECT_EQ(m.GetViewportExt(), CSize(96, -96));

    m.SetWindowExt(CSize(1000, 1000));
    m.SetViewportExt(CSize(500, -300));
    EXPECT_EQ(m.GetViewportExt(), CSize(300, -300));
    m.SetViewportExt(CSize(-200, 800));
    EXPECT_EQ(m.GetViewportExt(), CSize(-200, 200));
    // Zero extents are refused.
    EXPECT_EQ(m.SetViewportExt(CSize(0, 5)), CSize(-200, 200));
    EXPECT_EQ(m.GetViewportExt(), CSize(-200, 200));
    EXPECT_EQ(m.SetWindowExt(CSize(5, 0)), CSize(1000, 1000));

    // Anisotropic keeps what it is given.
    m.SetMapMode(MM_ANISOTROPIC);
    m.SetViewportExt(CSize(500, -300));
    EXPECT_EQ(m.GetViewportExt(), CSize(500, -300));
    EXPECT_EQ(m.LPtoDP(CPoint(1000, 1000)), CPoint(500, -300));
}

TEST(Mapping, RoundsToTheNearestUnitAndConvertsSizesByMagnitude)
{
    Mapping m;
    m.SetMapMode(MM_ANISOTROPIC);
    m.SetWindowExt(CSize(3, 3));
    m.SetViewportExt(CSize(1, -1));
    EXPECT_EQ(m.LPtoDP(CPoint(1, 1)), CPoint(0, 0));  // 0.33
    EXPECT_EQ(m.LPtoDP(CPoint(2, 2)), CPoint(1, -1)); // 0.67
    EXPECT_EQ(m.LPtoDP(CPoint(-2, -2)), CPoint(-1, 1));
    EXPECT_EQ(m.LPtoDP(CSize(6, 6)), CSize(2, 2));
    EXPECT_EQ(m.LPtoDP(CSize(-6, 6)), CSize(-2, 2));
    EXPECT_EQ(m.DPtoLP(CSize(2, 2)), CSize(6, 6));
    EXPECT_EQ(m.LPtoDP(CRect(0, 0, 3, 3)), CRect(0, 0, 1, -1));
    EXPECT_EQ(m.DPtoLP(CRect(0, 0, 1, -1)), CRect(0, 0, 3, 3));
    EXPECT_DOUBLE_EQ(m.LPtoDPX(1.5), 0.5);
    EXPECT_DOUBLE_EQ(m.LPtoDPY(1.5), -0.5);
    // Far outside the device's range the result is clamped, not wrapped.
    m.SetViewportExt(CSize(1000000, 1000000));
    m.SetWindowExt(CSize(1, 1));
    EXPECT_EQ(m.LPtoDP(CPoint(2000000000, -2000000000)), CPoint(2147483647, -2147483647 - 1));
}

namespace {

// The nearest integer as the library gives it, held to the 32-bit range.
std::int32_t Literal(double v)
{
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (!(v > lo))
        return std::numeric_limits<std::int32_t>::min();
    if (!(v < hi))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llround(v));
}

} // namespace

// Rounding written without a library call gives what the nearest-integer call gives, halves away
// from zero, over random values, halves and the ends of the range.
TEST(Mapping, RoundingToAUnitMatchesNearestInteger)
{
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.5,
                                  1.5,
                                  -2.5,
                                  0.49999999999999994,
                                  -0.49999999999999994,
                                  2147483646.5,
                                  2147483646.9999998,
                                  2147483647.0,
                                  -2147483647.5,
                                  -2147483648.0,
                                  -2147483648.5,
                                  1e300,
                                  -1e300,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::ldexp(1.0, static_cast<int>(rng() % 34));
        const double v = std::uniform_real_distribution<double>(-scale, scale)(rng);
        values.push_back(v);
        values.push_back(std::floor(v) + 0.5); // a half
        values.push_back(std::nextafter(std::floor(v) + 0.5, 0.0));
    }
    for (const double v : values)
        EXPECT_EQ(RoundToUnit(v), Literal(v)) << v;
}

// Points converted by the mapping land where the formula puts them, rounded to the nearest unit:
// random extents and origins in every mode, with scales that put many points on halves.
TEST(Mapping, ConvertsPointsAsTheFormulaOverRandomMappings)
{
    std::mt19937 rng(17);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        Mapping m(any(50, 1200), any(50, 1200));
        m.SetMapMode(any(MM_TEXT, MM_ANISOTROPIC));
        const int big = round % 4 == 0 ? 1000000000 : 20000;
        const int wx = any(1, big) * (any(0, 1) ? 1 : -1);
        const int wy = round % 3 == 0 ? 2 : any(1, big) * (any(0, 1) ? 1 : -1);
        m.SetWindowExt(CSize(wx, wy));
        m.SetViewportExt(
            CSize(round % 5 == 0 ? wx / 2 + 1 : any(1, 5000), round % 3 == 0 ? -1 : -any(1, 5000)));
        m.SetWindowOrg(CPoint(any(-big, big), any(-big, big)));
        m.SetViewportOrg(CPoint(any(-3000, 3000), any(-3000, 3000)));
        const CSize w = m.GetWindowExt();
        const CSize v = m.GetViewportExt();
        const CPoint wo = m.GetWindowOrg();
        const CPoint vo = m.GetViewportOrg();
        for (int i = 0; i < 200; ++i) {
            const int range = i % 10 == 0 ? std::numeric_limits<int>::max() : big;
            const CPoint p(any(-range, range), any(-range, range));
            const CPoint expected(
                Literal((p.x - static_cast<double>(wo.x)) * v.cx / static_cast<double>(w.cx) + vo.x),
                Literal((p.y - static_cast<double>(wo.y)) * v.cy / static_cast<double>(w.cy) + vo.y));
            ASSERT_EQ(m.LPtoDP(p), expected) << p.x << "," << p.y << " round " << round;
        }
    }
}
