// Hole drawing: round holes as circles (with the marks of test coupons and dummy holes in outline
// mode), rectangular holes as turned boxes and long holes as a path of two half circles.

#include "model/items/Hole.h"

#include "platform/DrawContext.h"

#include <cmath>
#include <numbers>

namespace {

// Half the diameter times the control-point factor of a quarter circle drawn as one cubic Bezier
// segment.
constexpr double kHalfBezierQuarter = 0.276142375;

CRect Grown(const CRect& r, int d)
{
    return CRect(r.left - d, r.top - d, r.right + d, r.bottom + d);
}

} // namespace

void CHole::DrawHole(platform::DrawContext* dc, int mode)
{
    if (!dc)
        return;
    const CRect grown = Grown(GetBoundingRect().IntRect(), 2);
    if (!dc->RectVisible(grown))
        return;
    const bool outline = (mode & 0x4) != 0;

    // Turned as the bounds are, so that quarter turns stay exact.
    const auto turned = [&](CDPoint p) {
        p.Rotate(m_ptPoint, m_dAngle);
        return p;
    };

    if (IsHole()) {
        const CRect box = Grown(grown, -2);
        if (!outline) {
            dc->Ellipse(box);
            return;
        }
        const CPoint on = CDPoint(m_ptPoint.x + m_dDia / 2, m_ptPoint.y).IntPoint();
        dc->Arc(box, on, on);
        const CPoint centre = m_ptPoint.IntPoint();
        if (m_nType & (HOLE_TEST | HOLE_CHECK)) {
            dc->MoveTo(box.left, centre.y);
            dc->LineTo(box.right, centre.y);
        }
        if (m_nType & HOLE_CHECK) {
            dc->MoveTo(centre.x, box.top);
            dc->LineTo(centre.x, box.bottom);
        }
        return;
    }

    if (IsHoleRect()) {
        CDRect wh;
        GetHoleWH(wh);
        const CDPoint corners[4] = {CDPoint(wh.left, wh.top), CDPoint(wh.left, wh.bottom),
                                    CDPoint(wh.right, wh.bottom), CDPoint(wh.right, wh.top)};
        CPoint points[5];
        for (int i = 0; i < 4; ++i)
            points[i] = turned(corners[i]).IntPoint();
        points[4] = points[0];
        if (outline)
            dc->Polyline(points, 5);
        else
            dc->Polygon(points, 4);
        return;
    }

    // Long hole: the left half circle as two Bezier quarters, the lower edge, the right half
    // circle (the same points turned half round), and the upper edge that closes the figure.
    const double d = m_dDia;
    const double w = m_dWidth;
    const double t = (w - d) / 2;
    const double k = d * kHalfBezierQuarter;
    const double x = m_ptPoint.x;
    const double y = m_ptPoint.y;
    CDPoint half[7] = {CDPoint(x - t, y + d / 2), CDPoint(x - t - k, y + d / 2),
                       CDPoint(x - w / 2, y + k), CDPoint(x - w / 2, y),
                       CDPoint(x - w / 2, y - k), CDPoint(x - t - k, y - d / 2),
                       CDPoint(x - t, y - d / 2)};
    CPoint points[7];
    for (int i = 0; i < 7; ++i) {
        half[i] = turned(half[i]);
        points[i] = half[i].IntPoint();
    }
    dc->BeginPath();
    dc->MoveTo(points[0]);
    dc->PolyBezierTo(points + 1, 6);
    for (int i = 0; i < 7; ++i)
        points[i] = CDPoint(2 * x - half[i].x, 2 * y - half[i].y).IntPoint();
    dc->LineTo(points[0]);
    dc->PolyBezierTo(points + 1, 6);
    dc->CloseFigure();
    dc->EndPath();
    if (outline)
        dc->StrokePath();
    else
        dc->StrokeAndFillPath();
}
