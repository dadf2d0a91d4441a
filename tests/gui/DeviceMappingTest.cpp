// The drawing context's own conversion of logical points gives what the mapping gives, held to
// +-2^27: over mappings of every kind (y up and down, zooms in and out, origins far out, extents
// that put many points on halves) and points at random, near the origins and at the ends of the
// 32-bit range.

#include "platform/qt/QPainterDrawContext.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
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

// Rectangles about the edges of the image (the clip) and well inside and outside it, wide and
// thin, either way round: the context's answer is that of the rounded device box.
TEST_P(DeviceMappingTest, RectVisibleAsTheRoundedBoxSays)
{
    const MappingCase& c = GetParam();
    constexpr int width = 120, height = 90;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QPainterDrawContext dc(&painter);
    dc.SetMapMode(c.mode);
    dc.SetWindowExt(c.window);
    dc.SetViewportExt(c.viewport);
    dc.SetWindowOrg(c.windowOrg);
    dc.SetViewportOrg(c.viewportOrg);
    const Mapping& mapping = dc.GetMapping();
    // Logical units a device unit, to jitter corners across device edges.
    const int unit = std::max(1, static_cast<int>(std::abs(static_cast<double>(mapping.GetWindowExt().cx)) /
                                                 std::abs(static_cast<double>(mapping.GetViewportExt().cx))));
    std::mt19937 rng(static_cast<unsigned>(c.viewport.cx * 17 + c.window.cy));
    std::uniform_int_distribution<int> deviceX(-30, width + 30);
    std::uniform_int_distribution<int> deviceY(-30, height + 30);
    std::uniform_int_distribution<int> jitter(-2 * unit, 2 * unit);
    int seen = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto add = [](std::int32_t v, int d) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(v) + d, INT32_MIN, INT32_MAX));
        };
        const auto logical = [&](int x, int y) {
            const CPoint p = mapping.DPtoLP(CPoint(x, y));
            return CPoint(add(p.x, jitter(rng)), add(p.y, jitter(rng)));
        };
        const CPoint a = logical(deviceX(rng), deviceY(rng));
        // Thin rectangles half the time: a bare line's box.
        const CPoint b = i % 2 ? logical(deviceX(rng), deviceY(rng)) : CPoint(add(a.x, jitter(rng)), a.y);
        const CRect r(a.x, a.y, b.x, b.y);
        const CPoint da = Plain(mapping, a);
        const CPoint db = Plain(mapping, b);
        const std::int64_t left = std::min(da.x, db.x), right = std::max(da.x, db.x);
        const std::int64_t top = std::min(da.y, db.y), bottom = std::max(da.y, db.y);
        const bool expected = left < width && 0 < std::max(right, left + 1) && top < height &&
                              0 < std::max(bottom, top + 1);
        seen += expected;
        ASSERT_EQ(dc.RectVisible(r), expected) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // Beyond the 32-bit logical range no point lands on the image; elsewhere some must.
    if (std::abs(c.viewportOrg.x) < (1 << 24)) {
        EXPECT_GT(seen, 0);
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
    // Both axes are converted together: one on halves beside one that never is.
    {"halves across, thirds down", MM_ANISOTROPIC, CSize(2, 3), CSize(1, -1), CPoint(3, -1), CPoint(2, 9)},
    {"thirds across, halves down", MM_ANISOTROPIC, CSize(3, 2), CSize(-1, 1), CPoint(-5, 4), CPoint(7, -3)},
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

// The context follows every change of its mapping, whichever setter makes it and in whatever order:
// a filled rectangle covers the device box the plain mapping gives its corners.
TEST(DeviceMappingContext, FollowsEveryChangeOfTheMapping)
{
    struct Step
    {
        const char* name;
        std::function<void(platform::DrawContext&)> set;
    };
    const Step steps[] = {
        {"viewport origin", [](platform::DrawContext& dc) { dc.SetViewportOrg(CPoint(60, 100)); }},
        {"extents", [](platform::DrawContext& dc) {
             dc.SetMapMode(MM_ANISOTROPIC);
             dc.SetWindowExt(CSize(10, 10));
             dc.SetViewportExt(CSize(7, -7));
         }},
        {"window origin", [](platform::DrawContext& dc) { dc.SetWindowOrg(CPoint(-30, 20)); }},
        {"viewport origin again", [](platform::DrawContext& dc) { dc.SetViewportOrg(CPoint(20, 150)); }},
        {"window origin again", [](platform::DrawContext& dc) { dc.SetWindowOrg(CPoint(-23, 7)); }},
        {"viewport extent", [](platform::DrawContext& dc) { dc.SetViewportExt(CSize(13, -9)); }},
        {"window extent", [](platform::DrawContext& dc) { dc.SetWindowExt(CSize(20, 30)); }},
        {"viewport origin a third time", [](platform::DrawContext& dc) { dc.SetViewportOrg(CPoint(41, 33)); }},
        {"map mode", [](platform::DrawContext& dc) { dc.SetMapMode(MM_TEXT); }},
    };
    QImage image(200, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    QPainterDrawContext dc(&painter);
    dc.SelectStockPen(NULL_PEN);
    dc.SelectBrush(platform::Brush::Solid(RGB(0, 0, 0)));
    const CRect figure(10, 10, 50, 60);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.set(dc);
        image.fill(Qt::white);
        dc.Rectangle(figure);
        const CPoint a = Plain(dc.GetMapping(), CPoint(figure.left, figure.top));
        const CPoint b = Plain(dc.GetMapping(), CPoint(figure.right, figure.bottom));
        const QRect expected(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                             QPoint(std::max(a.x, b.x) - 1, std::max(a.y, b.y) - 1));
        ASSERT_FALSE(expected.isEmpty());
        ASSERT_TRUE(image.rect().contains(expected));
        QRect ink;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != 0xFFFFFFFF)
                    ink |= QRect(x, y, 1, 1);
            }
        }
        EXPECT_EQ(ink, expected);
    }
}

} // namespace
