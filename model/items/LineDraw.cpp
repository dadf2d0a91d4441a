// Line drawing: the thin line in its line type, the outline of a wide line (open or filled), the
// rubber band in XOR, arrow heads and dots, and the name text.

#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"

#include "platform/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Control points of a quarter circle drawn as one cubic Bezier segment lie this far along the
// tangents, in radii.
constexpr double kBezierQuarter = 0.55228475;

CPoint Dev(const CDPoint& p)
{
    return p.IntPoint();
}

// CDPoint::IntPoint with the scale taken once, for the many points of one outline: the scaled
// coordinate truncated toward zero, held to the 32-bit range, NaN as zero.
struct ScaledToInt
{
    double scale = CDPoint::GetScale();

    static std::int32_t Truncate(double v)
    {
        if (v != v)
            return 0;
        if (v >= 2147483647.0)
            return std::numeric_limits<std::int32_t>::max();
        if (v <= -2147483648.0)
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(v);
    }
    CPoint operator()(double x, double y) const { return CPoint(Truncate(scale * x), Truncate(scale * y)); }
};

// Convex hull, counter-clockwise, without collinear points.
std::vector<CDPoint> ConvexHull(std::vector<CDPoint> pts)
{
    std::sort(pts.begin(), pts.end(),
              [](const CDPoint& a, const CDPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    const auto turn = [](const CDPoint& o, const CDPoint& a, const CDPoint& b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<CDPoint> hull(2 * pts.size());
    std::size_t k = 0;
    for (const CDPoint& p : pts) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], p) <= 0)
            --k;
        hull[k++] = p;
    }
    for (std::size_t i = pts.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && turn(hull[k - 2], hull[k - 1], pts[i]) <= 0)
            --k;
        hull[k++] = pts[i];
    }
    hull.resize(k > 1 ? k - 1 : k);
    return hull;
}

} // namespace

void CLine::AddOutlinePath(platform::DrawContext* dc, const CDPoint& from, const CDPoint& to) const
{
    const double h = GetLineWidth() / 2;
    if (GetTurret().shape == TURRET_SQUARE) {
        std::vector<CDPoint> corners;
        for (const CDPoint& c : {from, to}) {
            corners.emplace_back(c.x - h, c.y - h);
            corners.emplace_back(c.x + h, c.y - h);
            corners.emplace_back(c.x + h, c.y + h);
            corners.emplace_back(c.x - h, c.y + h);
        }
        const std::vector<CDPoint> hull = ConvexHull(corners);
        dc->MoveTo(Dev(hull.front()));
        for (std::size_t i = 1; i < hull.size(); ++i)
            dc->LineTo(Dev(hull[i]));
        dc->CloseFigure();
        return;
    }
    // Two sides and a half circle round each end, each half two Bezier quarters.
    const double a = from.GetAngle(to);
    const CDPoint d(std::cos(a), std::sin(a));
    const CDPoint n(-d.y, d.x);
    const double k = kBezierQuarter * h;
    const ScaledToInt dev;
    const auto at = [&](const CDPoint& c, double along, double side) {
        return dev(c.x + d.x * along + n.x * side, c.y + d.y * along + n.y * side);
    };
    dc->MoveTo(at(from, 0, h));
    dc->LineTo(at(to, 0, h));
    const CPoint endCap[6] = {at(to, k, h),  at(to, h, k),  at(to, h, 0),
                              at(to, h, -k), at(to, k, -h), at(to, 0, -h)};
    dc->PolyBezierTo(endCap, 6);
    dc->LineTo(at(from, 0, -h));
    const CPoint startCap[6] = {at(from, -k, -h), at(from, -h, -k), at(from, -h, 0),
                                at(from, -h, k),  at(from, -k, h),  at(from, 0, h)};
    dc->PolyBezierTo(startCap, 6);
    dc->CloseFigure();
}

void CLine::DrawLine(platform::DrawContext* dc, int mode)
{
    if (!dc)
        return;
    if ((m_nType & 0x80) && m_ptStart == m_ptEnd)
        return;
    CDRect area = GetBoundingRect();
    GetAngle();
    area.InflateRect(4.0);
    // area.IntRect(), with the scale taken once.
    const ScaledToInt dev;
    const CPoint topLeft = dev(area.left, area.top);
    const CPoint bottomRight = dev(area.right, area.bottom);
    if (!dc->RectVisible(CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y)))
        return;
    if (GetLineWidth() / 2 == 0.0)
        mode = 1;

    switch (mode & ~0x80) {
    case 1:
        if (GetLineType() != 0) {
            platform::Pen pen = dc->GetPen();
            pen.style = stroke::LineTypePenStyle(GetLineType(), PS_SOLID);
            const platform::Pen previous = dc->SelectPen(pen);
            dc->MoveTo(Dev(m_ptStart));
            dc->LineTo(Dev(m_ptEnd));
            dc->SelectPen(previous);
        } else {
            dc->MoveTo(Dev(m_ptStart));
            dc->LineTo(Dev(m_ptEnd));
        }
        break;
    case 2:
    case 4:
    case 8:
        dc->BeginPath();
        AddOutlinePath(dc, m_ptStart, m_ptEnd);
        dc->EndPath();
        if ((mode & ~0x80) == 4)
            dc->StrokeAndFillPath();
        else
            dc->StrokePath();
        break;
    default:
        break;
    }

    DrawArrow(dc, m_ptEnd, mode);
    if (!IsNameEmpty())
        Name().DrawTextA(dc, 1);
}

void CLine::DrawLine(platform::DrawContext* dc, CDPoint to, int mode)
{
    if (!dc)
        return;
    const int previousRop = dc->SetROP2(R2_XORPEN);
    if (m_nTurret == 0 || GetLineWidth() == 0.0)
        mode = 1;
    const int body = mode & ~0x80;
    const int style = body == 1 ? stroke::LineTypePenStyle(GetLineType(), PS_SOLID) : PS_SOLID;
    const platform::Pen previousPen = dc->SelectPen(platform::Pen(style, 0, RGB(255, 255, 255)));
    if (body == 1) {
        dc->MoveTo(Dev(m_ptStart));
        dc->LineTo(Dev(to));
    } else if (body == 2 || body == 4 || body == 8) {
        dc->BeginPath();
        AddOutlinePath(dc, m_ptStart, to);
        dc->EndPath();
        if (body == 4) {
            const platform::Brush previousBrush = dc->SelectStockBrush(WHITE_BRUSH);
            dc->FillPath();
            dc->SelectBrush(previousBrush);
        } else {
            dc->StrokePath();
        }
    }
    DrawArrow(dc, to, mode);
    dc->SelectPen(previousPen);
    dc->SetROP2(previousRop);
}

void CLine::DrawName(platform::DrawContext* dc)
{
    if (m_Name.Has()) // an empty text draws nothing
        Name().DrawTextA(dc, 1);
}

void CLine::DrawArrow(platform::DrawContext* dc, CDPoint end, int mode)
{
    if (m_nStartArrow == 0 && m_nEndArrow == 0)
        return; // most lines: neither end has a head or a dot
    const auto head = [&](const CDPoint& tip, const CDPoint& other, int code) {
        if (code > 0) {
            CDPoint pts[3] = {tip, other, CDPoint()};
            CalcArrowPoint(pts, code, DimensionStyle().arrowAngle);
            CLine first(tip, pts[1], m_nTurret, 0);
            CLine second(tip, pts[2], m_nTurret, 0);
            first.DrawLine(dc, mode);
            second.DrawLine(dc, mode);
        } else if (code < 0) {
            // A dot: the whole circle.
            const CRect box = CDRect(tip, -(code >> 1) * 0.01).IntRect();
            const CPoint on(box.right, box.top + (box.bottom - box.top) / 2);
            dc->Arc(box, on, on);
        }
    };
    head(m_ptStart, end, m_nStartArrow);
    head(end, m_ptStart, m_nEndArrow);
}
