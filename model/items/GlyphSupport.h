#pragma once
// The walk over a TrueType glyph contour that drawing a text and converting it into lines share.

#include "model/text/TrueTypeOutline.h"
#include "platform/Fixed.h"

#include <cstddef>
#include <cstdint>

namespace glyph {

// The implied on-curve point between two control points, taken on the 16.16 values.
inline POINTFX FxMidpoint(const POINTFX& a, const POINTFX& b)
{
    const auto mid = [](FIXED u, FIXED v) {
        const std::int64_t sum =
            static_cast<std::int64_t>(platform::FixedToLong(u)) + platform::FixedToLong(v);
        return platform::LongToFixed(static_cast<std::int32_t>(sum >> 1));
    };
    POINTFX m;
    m.x = mid(a.x, b.x);
    m.y = mid(a.y, b.y);
    return m;
}

// Walks the curves of a contour after its start point: each point of a polyline (or of a spline
// too short to bend) goes to line(p); each quadratic piece of a spline, the implied on-curve points
// put between its control points, goes to quad(from, control, to).
template <class Line, class Quad> void WalkContour(const TrueTypeContour& contour, Line line, Quad quad)
{
    POINTFX last = contour.pfxStart;
    for (const TrueTypeCurve& curve : contour.curves) {
        if (curve.apfx.empty())
            continue;
        if (curve.wType != TT_PRIM_QSPLINE || curve.apfx.size() < 2) {
            for (const POINTFX& p : curve.apfx)
                line(p);
            last = curve.apfx.back();
            continue;
        }
        const std::size_t n = curve.apfx.size();
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const POINTFX end = i + 2 == n ? curve.apfx[n - 1] : FxMidpoint(curve.apfx[i], curve.apfx[i + 1]);
            quad(last, curve.apfx[i], end);
            last = end;
        }
    }
}

} // namespace glyph
