// The drawing context's own conversion of logical points gives what the mapping gives, held to
// +-2^27: over mappings of every kind (y up and down, zooms in and out, origins far out, extents
// that put many points on halves) and points at random, near the origins and at the ends of the
// 32-bit range.

#include "platform/qt/QPainterDrawContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using platform::Mapping;
using platform::QPainterDrawContext;

namespace {

struct MappingCase
{
    const char* name;
    int mode;
    CSize window, viewport;
    CPoint windowOrg, viewportOrg;
};

void PrintTo(const MappingCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeviceMappingTest : public ::testing::TestWithParam<MappingCase>
{
};

CPoint Plain(const Mapping& mapping, CPoint p)
{
    constexpr std::int32_t limit = 1 << 27;
    const CPoint d = mapping.LPtoDP(p);
    return CPoint(std::clamp(d.x, -limit, limit), std::clamp(d.y, -limit, limit));
}

TEST_P(DeviceMappingTest, GivesTheMappingsPoints)
{
    const MappingCase& c = GetParam();
    Mapping mapping;
    mapping.SetMapMode(c.mode);
    mapping.SetWindowExt(c.window);
    mapping.SetViewportExt(c.viewport);
    mapping.SetWindowOrg(c.windowOrg);
    mapping.SetViewportOrg(c.viewportOrg);
    QPainterDrawContext::DeviceMapping fast;
    fast.Take(mapping);

    std::vector<CPoint> points;
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    for (const std::int32_t v : {lo, lo + 1, -(1 << 27), -1, 0, 1, 1 << 27, hi - 1, hi}) {
        points.emplace_back(v, 0);
        points.emplace_back(0, v);
        points.emplace_back(v, v);
        points.emplace_back(c.windowOrg.x + (v >> 8), c.windowOrg.y - (v >> 8));
    }
    std::mt19937 rng(static_cast<unsigned>(c.window.cx * 31 + c.viewport.cy));
    for (int i = 0; i < 20000; ++i) {
        // Near the window origin (the view), then anywhere.
        const std::int32_t spread = i < 15000 ? 200000 : hi;
        std::uniform_int_distribution<std::int32_t> near(-spread, spread);
        const std::int64_t x = std::int64_t(c.windowOrg.x) + near(rng);
        const std::int64_t y = std::int64_t(c.windowOrg.y) + near(rng);
        points.emplace_back(static_cast<std::int32_t>(std::clamp<std::int64_t>(x, lo, hi)),
                            static_cast<std::int32_t>(std::clamp<std::int64_t>(y, lo, hi)));
    }
    for (const CPoint& p : points) {
        const CPoint expected = Plain(mapping, p);
        const CPoint got = fast.ToDevice(p, mapping);
        ASSERT_EQ(got.x, expected.x) << p.x << "," << p.y;
        ASSERT_EQ(got.y, expected.y) << p.x << "," << p.y;
    }
}

const MappingCase kMappings[] = {
    {"text", MM_TEXT, CSize(1, 1), CSize(1, 1), CPoint(0, 0), CPoint(0, 0)},
    {"board view whole", MM_ANISOTROPIC, CSize(10000, 10000), CSize(720, -720), CPoint(15000, 15000),
     CPoint(1920, 1080)},
    {"board view a tenth", MM_ANISOTROPIC, CSize(10000, 10000), CSize(2277, -2277), CPoint(15000, 15000),
     CPoint(1920, 1080)},
    // Two logical units a pixel: every odd offset lies on a half.
    {"halves", MM_ANISOTROPIC, CSize(2, 2), CSize(1, -1), CPoint(1, -3), CPoint(5, 7)},
    {"thirds", MM_ANISOTROPIC, CSize(3, 3), CSize(-1, 1), CPoint(-7, 2), CPoint(0, 0)},
    {"zoomed in", MM_ANISOTROPIC, CSize(10, 10), CSize(137, -137), CPoint(-123456, 654321), CPoint(40, 30)},
    {"origin far out", MM_ANISOTROPIC, CSize(1000, 1000), CSize(7, -7), CPoint(2000000000, -2000000000),
     CPoint(1 << 25, -(1 << 25))},
    {"viewport origin past the range", MM_ANISOTROPIC, CSize(1, 1), CSize(1, 1), CPoint(0, 0),
     CPoint(1 << 26, 3)},
    {"isotropic", MM_ISOTROPIC, CSize(254, 100), CSize(96, -96), CPoint(10, 10), CPoint(-5, 600)},
    {"low metric", MM_LOMETRIC, CSize(1, 1), CSize(1, 1), CPoint(33, -44), CPoint(100, 100)},
    {"twips", MM_TWIPS, CSize(1, 1), CSize(1, 1), CPoint(0, 0), CPoint(0, 0)},
};

INSTANTIATE_TEST_SUITE_P(Mappings, DeviceMappingTest, ::testing::ValuesIn(kMappings));

} // namespace
