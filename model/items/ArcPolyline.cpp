// Arc arrows and approximation: the arrow heads at the ends, the polyline that stands for the arc
// in clearance checks, conversions and line-mode output, and the drawn length for statistics.

#include "model/items/Arc.h"

#include "model/items/Line.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The polyline's chords stay this close to the arc.
constexpr double kChordError = 0.05;
constexpr double kMinStep = 2.0 * 3.14159265358979323846 / 65536.0;
// Ends this far apart (squared) get a closing segment.
constexpr double kCloseDistance2 = 0.0001;

// The angle between polyline points on a circle of this radius: the chord's sagitta stays within
// the error, and the step within a quarter of a half turn. 0 when the radius is below the error
// (or so large that no step is left).
double PolylineStep(double radius)
{
    const double k = (radius - kChordError) / radius;
    if (!(k >= 0.0))
        return 0.0;
    double step = 2.0 * std::acos(k);
    if (step > kPi / 4.0)
        step = kPi / 4.0;
    // An absurd radius (tens of kilometres, read from a damaged file) would need billions of
    // points; no arc of a board comes near this many.
    if (step < kMinStep)
        step = kMinStep;
    return step > 0.0 ? step : 0.0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Arrows

void CArc::CalcArrowPoint(int end, CDPoint* points) const
{
    const double alpha = DimensionStyle().arrowAngle;
    const int code = end == 1 ? m_nStartArrow : m_nEndArrow;
    const double length = code * 0.01;
    // The barbs' axis leans in by half the head's length along the curve.
    const double lean = m_dRadius != 0.0 ? (code * 0.005) / m_dRadius : 0.0;
    CDPoint tip;
    double axis;
    if (end == 1) {
        tip = GetStartPoint();
        axis = IsCW() ? m_dStartAngle - kHalfPi - lean : m_dStartAngle + kHalfPi + lean;
    } else {
        tip = GetEndPoint();
        axis = IsCW() ? m_dEndAngle + kHalfPi + lean : m_dEndAngle - kHalfPi - lean;
    }
    points[0] = tip;
    points[1] = tip.GetPoint(axis + alpha, length);
    points[2] = tip.GetPoint(axis - alpha, length);
}

void CArc::GetStartArrowLine(CLine* first, CLine* second) const
{
    CDPoint pts[3];
    CalcArrowPoint(1, pts);
    *first = CLine(pts[0], pts[1], m_nTurret, 0);
    *second = CLine(pts[0], pts[2], m_nTurret, 0);
}

void CArc::GetEndArrowLine(CLine* first, CLine* second) const
{
    CDPoint pts[3];
    CalcArrowPoint(2, pts);
    *first = CLine(pts[0], pts[1], m_nTurret, 0);
    *second = CLine(pts[0], pts[2], m_nTurret, 0);
}

double CArc::GetDotRadius(int code)
{
    // ceil(|code| / 4) hundredths: the shift rounds toward minus infinity.
    return (code >> 2) * -0.01;
}

// ---------------------------------------------------------------------------------------------
// Polyline

template <class Put> int CArc::WalkPoints(bool reverse, Put put) const
{
    const double step = PolylineStep(m_dRadius);
    if (step == 0.0)
        return 0;

    // The walk: from `from` in the direction cw toward `to`.
    const bool cw = reverse ? !IsCW() : IsCW();
    const double from = reverse ? m_dEndAngle : m_dStartAngle;
    const double to = reverse ? m_dStartAngle : m_dEndAngle;
    const CDPoint last = GetPoint(to);

    double s = to - from;
    if (s <= 0.0)
        s += kTwoPi;
    // A full circle goes all the way round, whichever way its two angles lie within the tolerance.
    if (IsCircle())
        s = cw ? 0.0 : kTwoPi;
    int count = 0;
    CDPoint p;
    if (!cw) {
        for (int i = 0;; ++i) {
            const double t = i * step;
            if (!(t < s))
                break;
            p = GetPoint(from + t);
            put(count++, p);
        }
    } else {
        if (std::fabs(s - kTwoPi) <= GEOM_TOLERANCE)
            s = 0.0;
        for (int i = 0;; ++i) {
            const double t = kTwoPi - i * step;
            if (!(t > s))
                break;
            p = GetPoint(from + t);
            put(count++, p);
        }
    }
    if (count == 0 || std::fabs(p.x - last.x) > GEOM_TOLERANCE || std::fabs(p.y - last.y) > GEOM_TOLERANCE)
        put(count++, last);
    return count;
}

int CArc::MakePoint(tagDPOINT* out) const
{
    if (!out) {
        const double step = PolylineStep(m_dRadius);
        if (step == 0.0)
            return 0;
        if (IsCircle())
            return 4 + static_cast<int>(kTwoPi / step);
        double s = m_dEndAngle - m_dStartAngle;
        if (s <= 0.0)
            s += kTwoPi;
        const double a = IsCW() ? kTwoPi - s : s;
        return static_cast<int>(a / step) + 4;
    }
    return WalkPoints(false, [out](int i, const CDPoint& p) { out[i] = p; });
}

int CArc::MakeIntPoint(CPoint* out) const
{
    if (!out)
        return MakePoint(nullptr);
    return WalkPoints((m_nType & ARC_SWAPPED) != 0,
                      [out](int i, const CDPoint& p) { out[i] = p.IntPoint(); });
}

std::vector<CDPoint> CArc::GetSegmentPoints() const
{
    std::vector<CDPoint> points;
    const int capacity = MakePoint(nullptr);
    if (capacity > 0) {
        points.resize(static_cast<std::size_t>(capacity));
        points.resize(static_cast<std::size_t>(WalkPoints(
            false, [&points](int i, const CDPoint& p) { points[static_cast<std::size_t>(i)] = p; })));
    }
    if (points.empty()) {
        // Too small for any point: one segment from the start to the end.
        points.push_back(GetStartPoint());
        points.push_back(GetEndPoint());
    }
    return points;
}

bool CArc::ConvertLine(CSheet& sheet) const
{
    const int before = sheet.GetItemCount();
    const std::vector<CDPoint> points = GetSegmentPoints();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        CLine* line = sheet.NewLine(points[i], points[i + 1], m_nTurret, 0);
        if (line)
            line->SetID(m_nID);
    }
    const CDPoint end = GetEndPoint();
    const CDPoint& last = points.back();
    const double dx = end.x - last.x, dy = end.y - last.y;
    if (dx * dx + dy * dy > kCloseDistance2)
        sheet.NewLine(last, end, m_nTurret, 0);
    return sheet.GetItemCount() > before;
}

double CArc::GetGerbarLength() const
{
    double length = GetLength();
    if (m_nStartArrow > 0)
        length += 2.0 * m_nStartArrow * 0.01;
    if (m_nEndArrow > 0)
        length += 2.0 * m_nEndArrow * 0.01;
    return length;
}
