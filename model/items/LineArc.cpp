// Crossings of a line with an arc: of the infinite line with the arc's whole circle, of the segment
// with the arc within its sweep, and of a horizontal scan line with the arc (surface hatch fill).

#include "model/items/Arc.h"
#include "model/items/Line.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int CLine::CrossPoint(CArc* arc, CDPoint* out)
{
    const double a = GetAngle();
    const CDPoint& c = arc->GetCenter();
    const double r = arc->GetRadius();
    // The centre in the line frame, relative to the start.
    CDPoint cc(c.x - m_ptStart.x, c.y - m_ptStart.y);
    cc.Rotate(-a);
    double s;
    if (std::fabs(std::fabs(cc.y) - r) <= GEOM_TOLERANCE)
        s = 0.0; // tangent
    else if (std::fabs(cc.y) > r)
        return 0;
    else
        s = std::sqrt(r * r - cc.y * cc.y);
    CDPoint first(s, -cc.y);
    first.Rotate(a);
    out[0] = CDPoint(c.x + first.x, c.y + first.y);
    if (s > GEOM_TOLERANCE) {
        CDPoint second(-s, -cc.y);
        second.Rotate(a);
        out[1] = CDPoint(c.x + second.x, c.y + second.y);
        return 2;
    }
    return 1;
}

int CLine::CrossXPoint(CArc arc, CDPoint* out)
{
    const CDPoint& c = arc.GetCenter();
    const double r = arc.GetRadius();
    const double x1 = m_ptStart.x, x2 = m_ptEnd.x, y1 = m_ptStart.y;
    if (std::fabs(c.y - y1) > r)
        return 0;
    const double d = y1 - c.y;
    const double s = std::sqrt(std::max(r * r - d * d, 0.0));
    out[0].y = y1;
    out[1].y = y1;
    bool has0, has1;
    if (arc.IsCircle()) {
        out[0].x = c.x - s;
        out[1].x = c.x + s;
        has0 = has1 = true;
    } else {
        const double up = r > 0.0 ? std::asin(std::clamp(d / r, -1.0, 1.0)) : 0.0;
        has0 = arc.CheckAngle(up);
        has1 = arc.CheckAngle(std::numbers::pi - up);
        if (has0)
            out[0].x = c.x + s;
        if (has1)
            out[1].x = c.x - s;
    }
    int bits = 0;
    if (has0 && x1 <= out[0].x && out[0].x <= x2)
        bits |= 1;
    if (has1 && x1 <= out[1].x && out[1].x <= x2)
        bits |= 2;
    return bits;
}

int CLine::CrossAPoint(CArc arc, CDPoint* out)
{
    const double a = GetAngle();
    // Both copies turned about the start so that this line runs along +x.
    arc.ResetParent();
    arc.SetCheck(false);
    arc.Rotate(m_ptStart, -a);
    CLine flat(*this);
    flat.ResetParent();
    flat.SetCheck(false);
    flat.Rotate(m_ptStart, -a);
    const int bits = flat.CrossXPoint(arc, out);
    if (bits != 0) {
        out[0].Rotate(m_ptStart, a);
        out[1].Rotate(m_ptStart, a);
    }
    return bits;
}

int CLine::CrossAPoint(CArc arc)
{
    const double a = GetAngle();
    // The arc moved as a whole into the line frame with the start at the origin.
    arc.ResetParent();
    arc.SetCheck(false);
    arc.Offset(CDPoint(-m_ptStart.x, -m_ptStart.y), 0);
    arc.Rotate(CDPoint(0.0, 0.0), -a);
    const CDPoint& c = arc.GetCenter();
    const double r = arc.GetRadius();
    if (r < std::fabs(c.y))
        return 0;
    const double length = GetLength();
    const double s = std::sqrt(r * r - c.y * c.y);
    for (const double x : {c.x + s, c.x - s}) {
        if (0.0 <= x && x <= length && arc.CheckAngle(c.GetAngle(CDPoint(x, 0.0))))
            return 1;
    }
    return 0;
}
