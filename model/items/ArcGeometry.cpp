// Arc geometry: construction from points, the angle test, crossings with other arcs, hit tests,
// end snapping, trimming and overlap, the transforms and the bounding rectangle.

#include "model/items/Arc.h"

#include "model/geometry/Geometry.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr double kHairHalfWidth = 0.025;
constexpr double kDegree = std::numbers::pi / 180.0;

double Normalized(double angle)
{
    NormalizeAngle(angle);
    return angle;
}

// acos that a rounding step just beyond -1 or 1 cannot turn into NaN.
double SafeAcos(double c)
{
    return std::acos(std::clamp(c, -1.0, 1.0));
}

// The angle of p about c measured with acos from the x offset, the lower half taken as 2 pi
// minus it (below when p.y < c.y, or p.y <= c.y with lowerInclusive).
double AcosAngle(const CDPoint& c, const CDPoint& p, double radius, bool lowerInclusive)
{
    const double a = SafeAcos((p.x - c.x) / radius);
    const bool below = lowerInclusive ? p.y <= c.y : p.y < c.y;
    return below ? kTwoPi - a : a;
}

// The sweep of from -> to rounded to whole steps (15 or 45 degrees), the step count negated when
// asked: the rounded offset from `from`.
double SnapOffset(double from, double to, int snap, bool negate)
{
    const int step = snap == 1 ? 15 : 45;
    const int half = snap == 1 ? 8 : 23;
    const double g = std::floor((to - from) / kDegree);
    double q = std::floor(g / step);
    if (g - step * q >= half)
        q += 1.0;
    if (negate)
        q = -q;
    return q * step * kDegree;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction from points

void CArc::SetArcPoint(const CDPoint& centre, const CDPoint& start, const CDPoint& end)
{
    m_ptCenter = centre;
    m_dStartAngle = centre.GetAngle(start);
    m_dEndAngle = centre.GetAngle(end);
    m_dRadius = centre.GetLength(start);
    ResetAngle();
    MarkDirty();
}

void CArc::SetArcPoint2(const CDPoint& centre, const CDPoint& start, const CDPoint& end)
{
    m_ptCenter = centre;
    m_dRadius = centre.GetLength(start);
    if (m_dRadius > 0.0) {
        m_dStartAngle = AcosAngle(centre, start, m_dRadius, false);
        m_dEndAngle = AcosAngle(centre, end, m_dRadius, false);
    }
    MarkDirty();
}

void CArc::SetCenter(const CDPoint& p)
{
    const CDPoint s = GetStartPoint();
    const CDPoint e = GetEndPoint();
    if (s == e)
        return;
    const CDPoint m = s.GetCenter(e);
    CDPoint c;
    if (s.x != e.x && s.y != e.y) {
        // The parallel to the chord through p meets the chord's perpendicular bisector.
        const double k = (s.y - e.y) / (s.x - e.x);
        c.x = (m.y - p.y + k * p.x + m.x / k) / (k + 1.0 / k);
        c.y = p.y + k * (c.x - p.x);
    } else if (s.y == e.y) {
        c = CDPoint(m.x, p.y);
    } else {
        c = CDPoint(p.x, m.y);
    }
    SetArcPoint2(c, s, e);
}

CDPoint CArc::CalcCenterPoint(const CDPoint& p1, const CDPoint& p2, double radius) const
{
    if (!(radius > GEOM_TOLERANCE))
        return p1.GetCenter(p2);
    // In the frame where the chord runs along +x from p1.
    const double a = p1.GetAngle(p2);
    CDPoint q2 = p2;
    q2.Rotate(p1, -a);
    const double h = (q2.x - p1.x) / 2.0;
    CDPoint c((p1.x + q2.x) / 2.0, p1.y);
    // A radius that does not reach across the chord has no centre: the nearest is the midpoint.
    if (std::fabs(h - radius) > GEOM_TOLERANCE && radius > std::fabs(h)) {
        const double d = std::sqrt(radius * radius - h * h);
        c.y = IsCW() ? p1.y - d : p1.y + d;
    }
    c.Rotate(p1, a);
    return c;
}

void CArc::SetEndAngle(const CDPoint& p, int snap)
{
    const double distance = m_ptCenter.GetLength(p);
    if (distance > 0.0) {
        m_dEndAngle = AcosAngle(m_ptCenter, p, distance, true);
        if (snap == 1 || snap == 2)
            m_dEndAngle = m_dStartAngle + SnapOffset(m_dStartAngle, m_dEndAngle, snap, false);
    }
    NormalizeAngle(m_dEndAngle);
    if (m_nType & ARC_NAMED)
        ChangeDimension();
    MarkDirty();
}

void CArc::SetStartAngle(const CDPoint& p, int snap)
{
    const double distance = m_ptCenter.GetLength(p);
    if (distance > 0.0) {
        m_dStartAngle = AcosAngle(m_ptCenter, p, distance, true);
        if (snap == 1 || snap == 2)
            m_dStartAngle = m_dEndAngle + SnapOffset(m_dEndAngle, m_dStartAngle, snap, snap == 2 && IsCW());
    }
    NormalizeAngle(m_dStartAngle);
    if (m_nType & ARC_AUTO_ANGLE)
        ChangeDimension();
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Angles and crossings

bool CArc::CheckAngle(double angle) const
{
    if (IsCircle())
        return true;
    const double d = Normalized(angle - (IsCW() ? m_dEndAngle : m_dStartAngle));
    return d <= GetSweep();
}

int CArc::CrossPoint(CDPoint* p)
{
    const double theta = m_ptCenter.GetAngle(*p);
    if (!CheckAngle(theta))
        return 0;
    *p = GetPoint(theta);
    return (*p != GetStartPoint() && *p != GetEndPoint()) ? 1 : 0;
}

int CArc::CrossPoint(CArc* other, CDPoint* out)
{
    const double r1 = m_dRadius, r2 = other->m_dRadius;
    const double d = m_ptCenter.GetLength(other->m_ptCenter);
    const double a = m_ptCenter.GetAngle(other->m_ptCenter);
    if (std::fabs(d - (r1 + r2)) <= GEOM_TOLERANCE) {
        out[0] = GetPoint(a);
        return 1;
    }
    if (d >= r1 + r2)
        return 0;
    const double c = (r1 * r1 + d * d - r2 * r2) / (2.0 * d * r1);
    // Also false for an undefined c (equal centres).
    if (!(c >= -1.0 && c <= 1.0))
        return 0;
    const double t = std::acos(c);
    out[0] = GetPoint(a + t);
    out[1] = GetPoint(a - t);
    return 2;
}

bool CArc::CrossAPoint(CArc other)
{
    if (!GetBoundingRect().IntersectRect(&other.GetBoundingRect()))
        return false;
    const double r1 = m_dRadius, r2 = other.m_dRadius;
    const double d = m_ptCenter.GetLength(other.m_ptCenter);
    if (d <= GEOM_TOLERANCE)
        return false;
    const double c = (r1 * r1 + d * d - r2 * r2) / (2.0 * d * r1);
    const double a = m_ptCenter.GetAngle(other.m_ptCenter);
    if (std::fabs(std::fabs(c) - 1.0) > GEOM_TOLERANCE) {
        if (!(std::fabs(c) < 1.0))
            return false;
        const double t1 = std::acos(c);
        const double t2 = SafeAcos((r2 * r2 + d * d - r1 * r1) / (2.0 * d * r2));
        return (CheckAngle(a + t1) && other.CheckAngle(a + kPi - t2)) ||
               (CheckAngle(a - t1) && other.CheckAngle(a + kPi + t2));
    }
    // The circles touch: from this centre the touching point lies toward the other centre (c
    // positive) or away from it; from the other centre it lies back toward this one only when the
    // circles touch from outside.
    if (c >= 0.0) {
        if (d >= r1)
            return CheckAngle(a) && other.CheckAngle(a + kPi);
        return CheckAngle(a) && other.CheckAngle(a);
    }
    return CheckAngle(a + kPi) && other.CheckAngle(a + kPi);
}

// ---------------------------------------------------------------------------------------------
// Hit tests

bool CArc::CheckPoint(const CDPoint& p)
{
    double h = GetLineWidth() / 2.0;
    if (h == 0.0)
        h = kHairHalfWidth;
    const double d = p.GetLength(m_ptCenter);
    if (d > m_dRadius + h || d < m_dRadius - h)
        return false;
    if (CheckAngle(m_ptCenter.GetAngle(p)))
        return true;
    return p.GetLength(GetStartPoint()) <= h || p.GetLength(GetEndPoint()) <= h;
}

int CArc::CheckItemPoint(CDPoint& p, double distance)
{
    double w = GetLineWidth();
    if (w == 0.0)
        w = 0.1;
    const double d = p.GetLength(m_ptCenter);
    if (d > m_dRadius + w || d < m_dRadius - w)
        return 0;
    const CDPoint s = GetStartPoint();
    const CDPoint e = GetEndPoint();
    // The nearer end by Manhattan distance; a tie goes to the end point.
    const CDPoint nearer = p.GetMLength(e) <= p.GetMLength(s) ? e : s;
    const double dx = p.x - nearer.x, dy = p.y - nearer.y;
    if (distance * distance >= dx * dx + dy * dy) {
        p = nearer;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Trimming and overlap

int CArc::TrimPoint(const CDPoint& p1, const CDPoint& p2)
{
    ResetAngle();
    const double ratio = m_nFxRatio / 65536.0;
    const double whole = IsCircle() ? kTwoPi : GetSweep();
    const double phi = IsCW() ? m_dStartAngle - whole * ratio : m_dStartAngle + whole * ratio;
    const CDPoint picked = GetPoint(phi);

    int result;
    if (IsCircle()) {
        const double t1 = m_ptCenter.GetAngle(p1);
        const double t2 = m_ptCenter.GetAngle(p2);
        CArc piece(*this);
        piece.ResetParent();
        piece.m_dStartAngle = t1;
        piece.m_dEndAngle = t2;
        if (piece.CheckPoint(picked)) {
            m_dStartAngle = t1;
            m_dEndAngle = t2;
        } else {
            m_dStartAngle = t2;
            m_dEndAngle = t1;
        }
        ResetAngle();
        result = 3;
    } else {
        double theta = m_ptCenter.GetAngle(p1);
        if (!(p1 == p2)) {
            // Across the direction p1 -> p2: is the picked point on the same side of the centre
            // as the cutting line?
            const double dir = p1.GetAngle(p2);
            CDPoint q = picked;
            CDPoint l = p1;
            q.Rotate(m_ptCenter, -dir);
            l.Rotate(m_ptCenter, -dir);
            if ((q.y - m_ptCenter.y) * (l.y - m_ptCenter.y) > 0.0)
                theta = m_ptCenter.GetAngle(p2);
        }
        CArc toTheta(*this);
        toTheta.ResetParent();
        toTheta.m_dEndAngle = theta;
        if (std::fabs(m_dStartAngle - theta) < 0.001 || !toTheta.CheckPoint(picked)) {
            m_dStartAngle = Normalized(theta);
            result = 1;
        } else {
            CArc fromTheta(*this);
            fromTheta.ResetParent();
            fromTheta.m_dStartAngle = theta;
            if (std::fabs(theta - m_dEndAngle) < 0.001 || !fromTheta.CheckPoint(picked) || ratio > 0.5) {
                m_dEndAngle = Normalized(theta);
                result = 2;
            } else {
                m_dStartAngle = Normalized(theta);
                result = 1;
            }
        }
    }
    MarkDirty();
    if (IsAutoDim())
        ChangeDimension();
    return result;
}

int CArc::TrimArc(CArc* other)
{
    // The other centre as seen from this one, turned onto +x at distance g.
    const double g = m_ptCenter.GetLength(other->m_ptCenter);
    const double psi = m_ptCenter.GetAngle(other->m_ptCenter);
    const double r1 = m_dRadius, r2 = other->m_dRadius;
    if (!(g > 0.0))
        return 0;
    const double c = (r1 * r1 - r2 * r2 + g * g) / (2.0 * g);
    if (r1 < std::fabs(c))
        return 0;
    const double x = std::atan2(std::sqrt(r1 * r1 - c * c), c);
    m_dStartAngle = psi + x;
    m_dEndAngle = psi - x;
    ResetAngle();
    MarkDirty();
    other->SetStartAngle(GetEndPoint(), 0);
    other->SetEndAngle(GetStartPoint(), 0);
    return 3;
}

int CArc::AndArc(CArc* other)
{
    if (other->IsCircle())
        return 1;
    if (IsCircle()) {
        m_dStartAngle = other->m_dStartAngle;
        m_dEndAngle = other->m_dEndAngle;
        MarkDirty();
        return 1;
    }
    double l = m_dEndAngle - m_dStartAngle;
    if (l < 0.0)
        l += kTwoPi;
    const double o = Normalized(other->m_dStartAngle - m_dStartAngle);
    const double f = Normalized(other->m_dEndAngle - m_dStartAngle);
    if (f <= o) {
        // The other holds this start.
        if (l <= f)
            return 1;
        if (l <= o) {
            m_dEndAngle = other->m_dEndAngle;
            MarkDirty();
            return 1;
        }
        // Two pieces: this keeps the part from its start, the other the part to this end.
        const double otherEnd = other->m_dEndAngle;
        other->m_dEndAngle = m_dEndAngle;
        other->MarkDirty();
        m_dEndAngle = otherEnd;
        MarkDirty();
        return 2;
    }
    if (l <= o)
        return 0;
    m_dStartAngle = other->m_dStartAngle;
    if (l > f)
        m_dEndAngle = other->m_dEndAngle;
    MarkDirty();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CArc::Offset(const CDPoint& p, int snap)
{
    if (m_bStartCheck && !m_bEndCheck) {
        SetStartAngle(p, snap);
    } else if (m_bEndCheck && !m_bStartCheck) {
        SetEndAngle(p, snap);
    } else {
        CItemBase::Offset(p);
        m_ptCenter += p;
        if (m_nType & ARC_NAMED)
            Name().Offset(p);
        if (m_pParent)
            m_pParent->ResetBounding();
    }
}

void CArc::OffsetInc(const CDPoint& d)
{
    if (m_bStartCheck && !m_bEndCheck)
        Offset(GetStartPoint() + d, 0);
    else if (m_bEndCheck && !m_bStartCheck)
        Offset(GetEndPoint() + d, 0);
    else
        Offset(d, 0);
}

void CArc::Rotate(const CDPoint& center, double angle)
{
    m_ptCenter.Rotate(center, angle);
    m_dStartAngle += angle;
    m_dEndAngle += angle;
    if (m_nType & ARC_NAMED)
        Name().Rotate(center, angle);
    ResetAngle();
    MarkDirty();
}

void CArc::MirrorX(double x)
{
    CItemBase::MirrorX(x);
    m_nType ^= ARC_CW;
    m_ptCenter.x = 2.0 * x - m_ptCenter.x;
    m_dStartAngle = kPi - m_dStartAngle;
    m_dEndAngle = kPi - m_dEndAngle;
    ResetAngle();
    // The base turned its angle field, which holds the sweep: measure again.
    MarkDirty();
    if (m_nType & ARC_NAMED)
        SetDimension(DimensionStyle());
}

void CArc::MirrorY(double y)
{
    CItemBase::MirrorY(y);
    m_nType ^= ARC_CW;
    m_ptCenter.y = 2.0 * y - m_ptCenter.y;
    m_dStartAngle = kTwoPi - m_dStartAngle;
    m_dEndAngle = kTwoPi - m_dEndAngle;
    ResetAngle();
    MarkDirty();
    if (m_nType & ARC_NAMED)
        SetDimension(DimensionStyle());
}

void CArc::Scale(const CDPoint& origin, const CDSize& factors)
{
    CDPoint start = GetStartPoint();
    start.Scale(origin, factors);
    m_ptCenter.Scale(origin, factors);
    m_dRadius = m_ptCenter.GetLength(start);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Bounds

void CArc::CalcBoundingRect()
{
    const double h = GetLineWidth() / 2.0;
    CDRect r;
    if (IsCircle()) {
        r = CDRect(m_ptCenter, m_dRadius + h);
        m_dAngle = m_dStartAngle;
    } else {
        const double sweep = GetSweep();
        // Counted counter-clockwise from the arc's first end in that sense.
        const double from = IsCW() ? m_dEndAngle : m_dStartAngle;
        r = CDRect(GetStartPoint(), GetEndPoint());
        r.NormalizeRect();
        for (int k = 0; k < 4; ++k) {
            const double axis = k * kHalfPi;
            if (Normalized(axis - from) <= sweep) {
                const CDPoint q = GetPoint(axis);
                r.left = std::min(r.left, q.x);
                r.right = std::max(r.right, q.x);
                r.top = std::min(r.top, q.y);
                r.bottom = std::max(r.bottom, q.y);
            }
        }
        r.InflateRect(h);
        m_dAngle = sweep;
    }
    stroke::ForEachArrowBarb(*this, [&](CLine& barb) { r |= barb.GetBoundingRect(); });
    // A name text left behind by an arc that lost its name is not shown, so it does not count.
    if (m_nType & ARC_NAMED)
        r |= Name().GetBoundingRect();
    SetBoundingRect(r);
    CopyAreaRect();
}
