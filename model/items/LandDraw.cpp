// Land drawing: the marks of a class-1 layer, outlined and filled pads, donuts and thermal reliefs
// made of ring sectors.

#include "model/items/Land.h"

#include "platform/DrawContext.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;

// Control points of a quarter circle drawn as one cubic Bezier segment lie this far along the
// tangents, in radii.
constexpr double kBezierQuarter = 0.55228475;

CRect Grown(const CRect& r, int d)
{
    return CRect(r.left - d, r.top - d, r.right + d, r.bottom + d);
}

} // namespace

void CLand::DrawTurmalSub(platform::DrawContext* dc, double outer, double inner, double turn,
                          double halfGap) const
{
    const double cs = std::cos(turn);
    const double sn = std::sin(turn);
    const auto at = [&](double x, double y) {
        return CDPoint(m_ptPoint.x + x * cs - y * sn, m_ptPoint.y + x * sn + y * cs).IntPoint();
    };

    // A sector without room between its edges has nothing to draw (and no angle to take).
    if (!(outer > 0.0) || std::fabs(halfGap) >= outer)
        return;

    // The outer arc from A to B.
    const double alpha = std::asin(halfGap / outer);
    const double c = outer * std::cos(alpha);
    const CPoint a = at(c, halfGap);
    dc->MoveTo(a);
    const CPoint outerArc[3] = {at(c, outer * kBezierQuarter), at(outer * kBezierQuarter, c), at(halfGap, c)};
    dc->PolyBezierTo(outerArc, 3);

    // Down the edge to the inner arc, back along it and up the other edge. An inner circle that
    // the edges do not reach leaves the corner where they meet.
    if (inner > std::fabs(halfGap)) {
        const double beta = std::asin(halfGap / inner);
        const double d = inner * std::cos(beta);
        dc->LineTo(at(halfGap, d));
        const CPoint innerArc[3] = {at(inner * kBezierQuarter, d), at(d, inner * kBezierQuarter),
                                    at(d, halfGap)};
        dc->PolyBezierTo(innerArc, 3);
    } else {
        dc->LineTo(at(halfGap, halfGap));
    }
    dc->LineTo(a);
}

void CLand::DrawLand(platform::DrawContext* dc, int mode)
{
    if (!dc)
        return;
    const CRect grown = Grown(GetBoundingRect().IntRect(), 2);
    if (!dc->RectVisible(grown))
        return;
    const int drawClass = mode & 0xF;
    if (drawClass != 1 && drawClass != 2 && drawClass != 4 && drawClass != 8)
        return;

    const bool filled = (mode & 0x4) != 0;
    platform::Brush previousBrush;
    if (!filled)
        previousBrush = dc->SelectStockBrush(NULL_BRUSH);

    const tagTURRET turret = GetTurret();
    const double outer = turret.size1 / 2;
    const double inner = turret.size2 / 2;
    const CRect box = Grown(grown, -2);
    const CRect innerBox = CDRect(m_ptPoint, inner).IntRect();

    if (drawClass == 1) {
        switch (turret.shape) {
        case TURRET_SQUARE:
            dc->Rectangle(box);
            break;
        case TURRET_DONUT:
            dc->Ellipse(box);
            dc->Ellipse(innerBox);
            break;
        case TURRET_THERMAL:
            dc->Ellipse(box);
            dc->MoveTo(m_ptPoint.GetPoint(45 * kDegree, outer).IntPoint());
            dc->LineTo(m_ptPoint.GetPoint(225 * kDegree, outer).IntPoint());
            dc->MoveTo(m_ptPoint.GetPoint(135 * kDegree, outer).IntPoint());
            dc->LineTo(m_ptPoint.GetPoint(315 * kDegree, outer).IntPoint());
            break;
        default: {
            // A pentagon with a line from the centre to its top vertex (bottom when turned down).
            const double sign = (mode & 0x80) ? -1.0 : 1.0;
            dc->MoveTo(m_ptPoint.IntPoint());
            for (const double degrees : {90.0, 162.0, 234.0, 306.0, 18.0, 90.0})
                dc->LineTo(m_ptPoint.GetPoint(sign * degrees * kDegree, outer).IntPoint());
            break;
        }
        }
    } else {
        switch (turret.shape) {
        case TURRET_SQUARE:
            dc->Rectangle(box);
            break;
        case TURRET_DONUT:
            if (filled) {
                dc->BeginPath();
                for (const double turn : {0.0, kPi / 2, kPi, -kPi / 2})
                    DrawTurmalSub(dc, outer, inner, turn, 0.0);
                dc->EndPath();
                dc->StrokeAndFillPath();
            } else {
                dc->Ellipse(box);
                dc->Ellipse(innerBox);
            }
            break;
        case TURRET_THERMAL: {
            // Four sectors centred on 0, 90, 180 and 270 degrees; the spokes between them lie on
            // the diagonals.
            const double gap = (outer - inner) / 2;
            if (filled)
                dc->BeginPath();
            for (const double turn : {kPi / 4, 3 * kPi / 4, 5 * kPi / 4, -kPi / 4})
                DrawTurmalSub(dc, outer, inner, turn, gap);
            if (filled) {
                dc->EndPath();
                dc->StrokeAndFillPath();
            }
            break;
        }
        default:
            dc->Ellipse(box);
            break;
        }
    }

    if (!filled)
        dc->SelectBrush(previousBrush);
}
