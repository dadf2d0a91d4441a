// Line geometry: bounds, hit tests, end snapping, crossings with other lines, trimming, joining
// and the transforms. Many operations work in the line frame: the plane turned about the start
// by minus the line's angle, in which the line runs from the start along +x.

#include "model/items/Line.h"

#include "model/services/FrameServices.h"
#include "platform/Cp932.h"
#include "platform/Fixed.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;

constexpr double kHairHalfWidth = 0.025;

// The normalised rectangle of two points grown by h.
CDRect SpanRect(const CDPoint& a, const CDPoint& b, double h)
{
    CDRect r(a, b);
    r.NormalizeRect();
    r.InflateRect(h);
    return r;
}

} // namespace

double CLine::GetHitHalfWidth() const
{
    const double h = GetLineWidth() * 0.5;
    return h == 0.0 ? kHairHalfWidth : h;
}

CDPoint CLine::FrameEnd(double angle) const
{
    CDPoint e = m_ptEnd;
    e.Rotate(m_ptStart, -angle);
    return e;
}

void CLine::RotateEnds(CDPoint& start, CDPoint& end, const CDPoint& c, double angle)
{
    start.Rotate(c, angle);
    end.Rotate(c, angle);
    // A turn that leaves the line within 1e-6 of horizontal (pointing left) or vertical makes it
    // exactly so.
    const double a = start.GetAngle(end);
    if (std::fabs(std::fabs(a) - kPi) <= GEOM_TOLERANCE)
        end.y = start.y;
    else if (std::fabs(std::fabs(a) - kHalfPi) <= GEOM_TOLERANCE)
        end.x = start.x;
}

// ---------------------------------------------------------------------------------------------
// Bounds

CDRect CLine::CalcBodyRect() const
{
    const double h = GetHitHalfWidth();
    CDRect r = SpanRect(m_ptStart, m_ptEnd, h);
    const struct
    {
        const CDPoint& tip;
        const CDPoint& other;
        int code;
    } ends[2] = {{m_ptStart, m_ptEnd, m_nStartArrow}, {m_ptEnd, m_ptStart, m_nEndArrow}};
    for (const auto& end : ends) {
        if (end.code > 0) {
            CDPoint pts[3] = {end.tip, end.other, CDPoint()};
            CalcArrowPoint(pts, end.code);
            const CDRect first = SpanRect(pts[0], pts[1], h);
            const CDRect second = SpanRect(pts[0], pts[2], h);
            r |= first;
            r |= second;
        } else if (end.code < 0) {
            r |= CDRect(end.tip, -(end.code >> 1) * 0.01);
        }
    }
    return r;
}

void CLine::CalcBoundingRect()
{
    CDRect r = CalcBodyRect();
    if (m_nType & LINE_NAMED)
        r |= Name().GetBoundingRect();
    SetBoundingRect(r);
    m_dAngle = m_ptStart.GetAngle(m_ptEnd);

    // The body without its caps.
    const double h = GetHitHalfWidth();
    const double x1 = m_ptStart.x, y1 = m_ptStart.y;
    const double x2 = FrameEnd(m_dAngle).x;
    CDPoint area[4] = {CDPoint(x1, y1 - h), CDPoint(x2, y1 - h), CDPoint(x2, y1 + h), CDPoint(x1, y1 + h)};
    for (CDPoint& p : area)
        p.Rotate(m_ptStart, m_dAngle);
    SetAreaRect(area);
}

// ---------------------------------------------------------------------------------------------
// Hit tests

int CLine::CheckPoint(const CDPoint& p)
{
    if (!GetBoundingRect().PtInRect(p))
        return 0;
    if (m_nType & LINE_NAMED) {
        if (Name().CheckPoint(p))
            return 1;
        // The same test on the line as if it had no name.
        if (!CalcBodyRect().PtInRect(p))
            return 0;
    }
    return CheckPointBody(p) ? 1 : 0;
}

bool CLine::CheckPointBody(const CDPoint& p)
{
    const double h = GetHitHalfWidth();
    const double a = GetAngle();
    CDPoint q = p;
    q.Rotate(m_ptStart, -a);
    const CDPoint e = FrameEnd(a);
    const double x1 = m_ptStart.x, y1 = m_ptStart.y, x2 = e.x;
    double distance;
    if (x1 <= q.x && q.x <= x2) {
        distance = std::fabs(q.y - y1);
    } else {
        if (std::fabs(q.x - x1) > h && std::fabs(q.x - x2) > h)
            return false;
        if (GetTurret().shape == TURRET_SQUARE)
            distance = std::fabs(q.y - y1);
        else
            distance = q.x > x2 ? q.GetLength(e) : q.GetLength(m_ptStart);
    }
    return distance <= h;
}

bool CLine::CheckPoint(const CDRect& r)
{
    if (!GetBoundingRect().IntersectRect(&r))
        return false;
    if (m_nType & LINE_NAMED) {
        if (Name().CheckPoint(r))
            return true;
        if (!CalcBodyRect().IntersectRect(&r))
            return false;
    }
    return CheckRectBody(r);
}

bool CLine::CheckRectBody(const CDRect& r)
{
    if (r.PtInRect(m_ptStart) || r.PtInRect(m_ptEnd))
        return true;
    const double h = GetHitHalfWidth();
    CDRect turned = r;
    turned.Rotate(m_ptStart, -GetAngle());
    const double y1 = m_ptStart.y;
    const double t = turned.top, b = turned.bottom;
    if (t < y1 && y1 < b)
        return true;
    return !(std::fabs(t - y1) > h && std::fabs(b - y1) > h);
}

int CLine::CheckItemPoint(CDPoint& p, double distance)
{
    // The nearer end by Manhattan distance; a tie goes to the end point.
    const CDPoint& nearer = p.GetMLength(m_ptEnd) <= p.GetMLength(m_ptStart) ? m_ptEnd : m_ptStart;
    if (p.GetLength(nearer) <= distance) {
        p = nearer;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Crossings

int CLine::CrossPoint(CDPoint* p)
{
    const double a = GetAngle();
    CDPoint q = *p;
    q.Rotate(m_ptStart, -a);
    const CDPoint e = FrameEnd(a);
    const int result = (m_ptStart.x <= q.x && q.x <= e.x) ? 1 : 0;
    CDPoint foot(q.x, m_ptStart.y);
    foot.Rotate(m_ptStart, a);
    if (std::fabs(foot.x - p->x) >= GEOM_TOLERANCE || std::fabs(foot.y - p->y) >= GEOM_TOLERANCE)
        *p = foot;
    return result;
}

int CLine::CrossPoint(CLine other, CDPoint* out)
{
    const double a = GetAngle();
    CDPoint s = other.m_ptStart, e = other.m_ptEnd;
    RotateEnds(s, e, m_ptStart, -a);
    if (std::fabs(s.y - e.y) <= GEOM_TOLERANCE)
        return 0;
    const double y1 = m_ptStart.y;
    CDPoint cross(s.x + (y1 - s.y) * (e.x - s.x) / (e.y - s.y), y1);
    cross.Rotate(m_ptStart, a);
    if (out)
        *out = cross;
    return 1;
}

int CLine::CrossAPoint(CLine other, CDPoint* out)
{
    const double a = GetAngle();
    CDPoint s = other.m_ptStart, e = other.m_ptEnd;
    RotateEnds(s, e, m_ptStart, -a);
    const double y1 = m_ptStart.y;
    if (std::fabs(s.y - e.y) < 0.001)
        return 0;
    if ((s.y - y1) * (e.y - y1) > 0.0)
        return 0;
    const double x = s.x + (y1 - s.y) * (e.x - s.x) / (e.y - s.y);
    if (x < m_ptStart.x || x > FrameEnd(a).x)
        return 0;
    CDPoint cross(x, y1);
    cross.Rotate(m_ptStart, a);
    if (out)
        *out = cross;
    return 1;
}

int CLine::CrossAPoint(CLine other)
{
    const double a = GetAngle();
    CDPoint s(other.m_ptStart.x - m_ptStart.x, other.m_ptStart.y - m_ptStart.y);
    CDPoint e(other.m_ptEnd.x - m_ptStart.x, other.m_ptEnd.y - m_ptStart.y);
    RotateEnds(s, e, CDPoint(0.0, 0.0), -a);
    if (std::fabs(s.y - e.y) <= GEOM_TOLERANCE)
        return 0;
    if (s.y * e.y > 0.0)
        return 0;
    const double x = s.x - s.y * (e.x - s.x) / (e.y - s.y);
    return (0.0 <= x && x <= GetLength()) ? 1 : 0;
}

int CLine::CrossXPoint(CLine other, CDPoint* out)
{
    const double sx = other.m_ptStart.x - m_ptStart.x, sy = other.m_ptStart.y - m_ptStart.y;
    const double ex = other.m_ptEnd.x - m_ptStart.x, ey = other.m_ptEnd.y - m_ptStart.y;
    if (sy * ey > 0.0)
        return 0;
    // An edge lying on the scan line counts at the scan line's start.
    double x = 0.0;
    if (std::fabs(sy) > GEOM_TOLERANCE || std::fabs(ey) > GEOM_TOLERANCE)
        x = sx - sy * (ex - sx) / (ey - sy);
    if (x < 0.0 || x > m_ptEnd.x - m_ptStart.x)
        return 0;
    if (out)
        *out = CDPoint(x + m_ptStart.x, 0.0);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Trimming and joining

int CLine::TrimPoint(const CDPoint& p, double length)
{
    const double a = GetAngle();
    bool atEnd;
    if (p == m_ptStart) {
        atEnd = false;
    } else if (p == m_ptEnd) {
        atEnd = true;
    } else {
        CDPoint q = p;
        q.Rotate(m_ptStart, -a);
        const double x1 = m_ptStart.x;
        const double x2 = FrameEnd(a).x;
        if (q.x < x1) {
            atEnd = false;
        } else if (q.x == x1 || q.x >= x2) {
            atEnd = true;
        } else {
            // Strictly inside: the part that holds the picked position stays.
            const double ratio = (m_nFxRatio >> 16) + (m_nFxRatio & 0xFFFF) / 65536.0;
            const double xf = x1 + ratio * (x2 - x1);
            const std::int32_t picked = platform::TruncateToInt32(xf * 65536.0);
            atEnd = platform::FixedToLong(platform::DoubleToFixed(q.x)) >= picked;
        }
    }

    CDPoint moved = p;
    if (length != 0.0) {
        // Along the line from p toward the other end, in the frame of that other end.
        const CDPoint pivot = atEnd ? m_ptStart : m_ptEnd;
        moved.Rotate(pivot, -a);
        moved.x += atEnd ? -length : length;
        moved.Rotate(pivot, a);
    }
    if (atEnd)
        m_ptEnd = moved;
    else
        m_ptStart = moved;

    if (IsAutoDim())
        SetDimension(DimensionStyle());
    MarkDirty();
    return atEnd ? 2 : 1;
}

bool CLine::TrimLine(CLine* other)
{
    if (m_nTurret != other->m_nTurret)
        return false;
    const bool thisAuto = IsAutoDim(), otherAuto = other->IsAutoDim();
    if (!thisAuto && !otherAuto) {
        if (!IsNameEmpty() && !other->IsNameEmpty() && platform::MbsCmp(GetName(), other->GetName()) != 0)
            return false;
    } else if (thisAuto && otherAuto) {
        if ((m_nType & LINE_AUTO_SIZE) != (other->m_nType & LINE_AUTO_SIZE))
            return false;
    }

    const double a = GetAngle();
    CDPoint s = other->m_ptStart, e = other->m_ptEnd;
    RotateEnds(s, e, m_ptStart, -a);
    if (std::fabs(s.y - e.y) > GEOM_TOLERANCE || std::fabs(s.y - m_ptStart.y) > GEOM_TOLERANCE)
        return false;

    const double x1 = m_ptStart.x;
    const double x2 = FrameEnd(a).x;
    const bool reversed = s.x > e.x;
    const double backX = reversed ? e.x : s.x;
    const CDPoint& back = reversed ? other->m_ptEnd : other->m_ptStart;
    const double forwardX = reversed ? s.x : e.x;
    const CDPoint& forward = reversed ? other->m_ptStart : other->m_ptEnd;
    const CDPoint newStart = backX <= x1 ? back : m_ptStart;
    const CDPoint newEnd = x2 >= forwardX ? m_ptEnd : forward;
    m_ptStart = newStart;
    m_ptEnd = newEnd;

    if (IsNameEmpty() && !other->IsNameEmpty()) {
        int bits = LINE_NAMED;
        if (other->m_nType & LINE_AUTO_SIZE)
            bits |= LINE_AUTO_SIZE;
        else if (other->m_nType & LINE_AUTO_ANGLE)
            bits |= LINE_AUTO_ANGLE;
        m_nType = (m_nType & ~(LINE_NAMED | LINE_AUTO_SIZE | LINE_AUTO_ANGLE)) | bits;
        // The name bit is only meaningful with a name text: take the other's.
        m_Name.Assign(other->m_Name.Peek(), this);
        SetDimension(DimensionStyle());
    } else if (!IsNameEmpty() && other->IsNameEmpty()) {
        SetDimension(DimensionStyle());
    }
    MarkDirty();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CLine::Offset(const CDPoint& d)
{
    if (m_bStartCheck == m_bEndCheck) {
        CItemBase::Offset(d);
        if (m_nType & LINE_NAMED)
            Name().Offset(d);
        m_ptStart += d;
        m_ptEnd += d;
    } else {
        if (m_bStartCheck)
            m_ptStart += d;
        else
            m_ptEnd += d;
        if (m_nType & LINE_NAMED)
            SetDimension(DimensionStyle());
    }
    MarkDirty();
}

void CLine::Scale(const CDPoint& origin, const CDSize& factors)
{
    const bool onlyStart = m_bStartCheck && !m_bEndCheck;
    const bool onlyEnd = m_bEndCheck && !m_bStartCheck;
    if (!onlyEnd)
        m_ptStart.Scale(origin, factors);
    if (!onlyStart)
        m_ptEnd.Scale(origin, factors);
    if (IsAutoDim()) {
        SetDimension(DimensionStyle());
    } else if (m_nType & LINE_NAMED) {
        CDPoint p = Name().GetPoint();
        p.Scale(origin, factors);
        Name().SetPoint(p);
    }
    MarkDirty();
}

void CLine::Rotate(const CDPoint& center, double angle)
{
    CItemBase::Rotate(center, angle);
    RotateEnds(m_ptStart, m_ptEnd, center, angle);
    if (IsAutoDim())
        SetDimension(DimensionStyle());
    else if (m_nType & LINE_NAMED)
        Name().Rotate(center, angle); // a plain name turns with its line
    MarkDirty();
}

void CLine::MirrorX(double x)
{
    CItemBase::MirrorX(x);
    m_ptStart.x = 2.0 * x - m_ptStart.x;
    m_ptEnd.x = 2.0 * x - m_ptEnd.x;
    if (IsAutoDim())
        SetDimension(DimensionStyle());
    else if (m_nType & LINE_NAMED)
        Name().MirrorX(x, true); // a plain name stays beside and along its line
    MarkDirty();
}

void CLine::MirrorY(double y)
{
    CItemBase::MirrorY(y);
    m_ptStart.y = 2.0 * y - m_ptStart.y;
    m_ptEnd.y = 2.0 * y - m_ptEnd.y;
    if (IsAutoDim())
        SetDimension(DimensionStyle());
    else if (m_nType & LINE_NAMED)
        Name().MirrorY(y, true);
    MarkDirty();
}
