#pragma once
// Small pieces shared by the copper-contact and clearance tests of the item classes.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/services/Records.h"
#include "platform/Fixed.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace contact {

// Rectangles that overlap or only share an edge or a corner: copper that touches is connected,
// so a contact test must not give up on rectangles that merely touch.
inline bool RectsMeet(const tagDRECT& a, const tagDRECT& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// The rectangle grown by d on every side.
inline CDRect Grown(const tagDRECT& r, double d)
{
    CDRect g(r);
    g.InflateRect(d);
    return g;
}

// The point in the rectangle, edges included.
inline bool PtInRectClosed(const tagDRECT& r, const tagDPOINT& p)
{
    return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

// Distance from p to the nearest point of the rectangle (0 inside).
inline double DistanceToRect(const tagDRECT& r, const tagDPOINT& p)
{
    const double dx = std::max({r.left - p.x, 0.0, p.x - r.right});
    const double dy = std::max({r.top - p.y, 0.0, p.y - r.bottom});
    return std::sqrt(dx * dx + dy * dy);
}

// Margins applied through a closed contact test (a hole grown by the margin, then touched) are
// taken this much smaller, so that an item exactly at the margin passes as it does everywhere else.
constexpr double kAtRule = 1e-7;

// A value rounded to 8 significant digits, as "%.8G" prints it and the rule values are typed.
// The last value rounded is remembered: a check rounds the same few widths over and over.
inline double Round8(double v)
{
    thread_local double lastIn = 0.0, lastOut = 0.0;
    if (v == lastIn && !std::signbit(v) && !std::signbit(lastIn))
        return lastOut;
    const double out = platform::Atof(platform::Format("%.8G", v));
    lastIn = v;
    lastOut = out;
    return out;
}

// d < limit, both taken to 8 significant digits: a distance exactly at the rule is not closer
// than the rule, whatever the rounding of the sums that made the limit. Rounding never reverses
// an order, so d >= limit is never closer, and d below limit by more than ten digit steps of the
// larger is always closer; only near-equal values are rounded.
inline bool Closer(double d, double limit)
{
    if (d >= limit)
        return false;
    if (limit - d > 1e-6 * std::max(std::fabs(d), std::fabs(limit)))
        return true;
    return Round8(d) < Round8(limit);
}

// Distance from p to the segment a-b.
inline double DistanceToSegment(const CDPoint& p, const CDPoint& a, const CDPoint& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return p.GetLength(CDPoint(a.x + t * dx, a.y + t * dy));
}

// Distance between the segments a1-a2 and b1-b2 (0 when they cross or touch).
inline double SegmentDistance(const CDPoint& a1, const CDPoint& a2, const CDPoint& b1, const CDPoint& b2)
{
    const auto side = [](const CDPoint& o, const CDPoint& p, const CDPoint& q) {
        return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
    };
    const double d1 = side(b1, b2, a1), d2 = side(b1, b2, a2);
    const double d3 = side(a1, a2, b1), d4 = side(a1, a2, b2);
    if (((d1 < 0.0 && d2 > 0.0) || (d1 > 0.0 && d2 < 0.0)) &&
        ((d3 < 0.0 && d4 > 0.0) || (d3 > 0.0 && d4 < 0.0)))
        return 0.0;
    return std::min({DistanceToSegment(a1, b1, b2), DistanceToSegment(a2, b1, b2),
                     DistanceToSegment(b1, a1, a2), DistanceToSegment(b2, a1, a2)});
}

// Whether the segment a-b meets the rectangle (an end inside, or crossing or touching an edge).
inline bool SegmentMeetsRect(const CDPoint& a, const CDPoint& b, const tagDRECT& r)
{
    if (PtInRectClosed(r, a) || PtInRectClosed(r, b))
        return true;
    const CDPoint corners[4] = {CDPoint(r.left, r.top), CDPoint(r.right, r.top), CDPoint(r.right, r.bottom),
                                CDPoint(r.left, r.bottom)};
    for (int i = 0; i < 4; ++i)
        if (SegmentDistance(a, b, corners[i], corners[(i + 1) % 4]) == 0.0)
            return true;
    return false;
}

// Turns points about a centre by one angle with the very arithmetic of CDPoint::Rotate (the same
// special angles, cosine and sine, and snapping), the cosine and sine worked out once: a contact
// test turns several points into a line's frame, and the point's own turn looks them up again
// for every point whenever two lines' angles alternate.
class Turn
{
public:
    Turn(const CDPoint& centre, double angle) : m_centre(centre)
    {
        if (std::fabs(angle) <= GEOM_TOLERANCE)
            m_how = How::None;
        else if (angle == kHalfPi)
            m_how = How::Quarter;
        else if (angle == -kHalfPi || angle == kThreeHalfPi)
            m_how = How::BackQuarter;
        else {
            m_cs = std::cos(angle);
            m_sn = std::sin(angle);
        }
    }

    CDPoint operator()(const CDPoint& p) const
    {
        if (m_how == How::None)
            return p;
        const double dx = p.x - m_centre.x;
        const double dy = p.y - m_centre.y;
        if (m_how == How::Quarter)
            return CDPoint(m_centre.x - dy, m_centre.y + dx);
        if (m_how == How::BackQuarter)
            return CDPoint(m_centre.x + dy, m_centre.y - dx);
        return CDPoint(Snap(m_centre.x + dx * m_cs - dy * m_sn, dx, dy),
                       Snap(m_centre.y + dx * m_sn + dy * m_cs, dx, dy));
    }

private:
    static constexpr double kHalfPi = 1.5707963267948966;
    static constexpr double kThreeHalfPi = 4.71238898038469;
    enum class How
    {
        None,
        Quarter,
        BackQuarter,
        Any
    };

    static double Snap(double v, double first, double second)
    {
        if (std::fabs(v - first) <= GEOM_TOLERANCE)
            return first;
        if (std::fabs(v - second) <= GEOM_TOLERANCE)
            return second;
        return v;
    }

    CDPoint m_centre;
    How m_how = How::Any;
    double m_cs = 1.0;
    double m_sn = 0.0;
};

// One 16.16 word of an error point.
inline std::uint32_t FixedWord(double v)
{
    return static_cast<std::uint32_t>(platform::FixedToLong(platform::DoubleToFixed(v)));
}

// Appends one violation to the rule record: x, y of the first position, x, y of the second.
inline void AppendErrorPoints(tagDRCSPEC* drc, const tagDPOINT& first, const tagDPOINT& second)
{
    drc->errorPoints.push_back(FixedWord(first.x));
    drc->errorPoints.push_back(FixedWord(first.y));
    drc->errorPoints.push_back(FixedWord(second.x));
    drc->errorPoints.push_back(FixedWord(second.y));
}

// Joins ids to the run of ids list[first, end) of a copper-group list when the run holds any of
// them: the ids it lacks go in at the run's end. Whether it did.
inline bool JoinGroupRun(std::vector<std::uint32_t>& list, std::size_t first, std::size_t end,
                         const std::vector<std::uint32_t>& ids)
{
    const auto runBegin = list.begin() + static_cast<std::ptrdiff_t>(first);
    const auto runEnd = list.begin() + static_cast<std::ptrdiff_t>(end);
    const bool shares = std::any_of(
        ids.begin(), ids.end(), [&](std::uint32_t id) { return std::find(runBegin, runEnd, id) != runEnd; });
    if (!shares)
        return false;
    std::vector<std::uint32_t> missing;
    for (const std::uint32_t id : ids)
        if (std::find(runBegin, runEnd, id) == runEnd)
            missing.push_back(id);
    list.insert(runEnd, missing.begin(), missing.end());
    return true;
}

// While one lives on a thread, a text converted to strokes for a clearance test keeps its strokes
// for the later tests of the same text (a check meets one text in many pairs). The items must
// not move meanwhile; a text that changed anyway, or a new one at a freed one's address, is
// converted again. Scopes nest: the outermost one holds the strokes.
class StrokeCacheScope
{
public:
    StrokeCacheScope();
    ~StrokeCacheScope();
    StrokeCacheScope(const StrokeCacheScope&) = delete;
    StrokeCacheScope& operator=(const StrokeCacheScope&) = delete;

private:
    bool m_outer;
};

} // namespace contact
