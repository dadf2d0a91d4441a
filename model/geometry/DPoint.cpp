#include "model/geometry/DPoint.h"

#include "model/geometry/DRect.h"
#include "model/geometry/Geometry.h"
#include "platform/Fixed.h"
#include "platform/Numbers.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

int g_scale = 0;

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kThreeHalfPi = 4.71238898038469;

// Rotation by cos/sin, with results that land within the tolerance of one of the given values
// snapped onto it, so that repeated quarter-ish turns do not accumulate noise.
double Snap(double v, double first, double second)
{
    if (std::fabs(v - first) <= GEOM_TOLERANCE)
        return first;
    if (std::fabs(v - second) <= GEOM_TOLERANCE)
        return second;
    return v;
}

// cos and sin of the last angle a thread turned by: the points of a line, a surface or a rotated
// part all turn by one angle, and the values of the same angle are the same.
struct TurnValues
{
    std::uint64_t angle = 0;
    double cs = 1.0;
    double sn = 0.0;
};

thread_local TurnValues t_turn;

void CosSin(double angle, double& cs, double& sn)
{
    TurnValues& turn = t_turn;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(angle);
    if (bits != turn.angle) {
        turn.cs = std::cos(angle);
        turn.sn = std::sin(angle);
        turn.angle = bits;
    }
    cs = turn.cs;
    sn = turn.sn;
}

} // namespace

CDRect CDPoint::operator+(const tagDRECT* r) const
{
    return CDRect(r->left + x, r->top + y, r->right + x, r->bottom + y);
}

CDRect CDPoint::operator-(const tagDRECT* r) const
{
    return CDRect(r->left - x, r->top - y, r->right - x, r->bottom - y);
}

CPoint CDPoint::IntPoint() const
{
    const double scale = g_scale;
    return CPoint(platform::TruncateToInt32(scale * x), platform::TruncateToInt32(scale * y));
}

tagPOINTFX CDPoint::FxPoint() const
{
    return platform::MakePointFx(x, y);
}

void CDPoint::SetScale(int scale)
{
    g_scale = scale;
}

int CDPoint::GetScale()
{
    return g_scale;
}

CDPoint CDPoint::GetPoint(double angle, double length) const
{
    return CDPoint(x + length * std::cos(angle), y + length * std::sin(angle));
}

double CDPoint::GetAngle(const tagDPOINT& p) const
{
    return std::atan2(p.y - y, p.x - x);
}

double CDPoint::GetLength(const tagDPOINT& p) const
{
    const double dx = x - p.x;
    const double dy = y - p.y;
    return std::sqrt(dx * dx + dy * dy);
}

double CDPoint::GetLengthN(const tagDPOINT& p) const
{
    return platform::Atof(platform::Format("%.8G", GetLength(p)));
}

double CDPoint::GetMLength(const tagDPOINT& p) const
{
    return std::fabs(x - p.x) + std::fabs(y - p.y);
}

void CDPoint::Rotate(const CDPoint& c, double angle)
{
    if (std::fabs(angle) <= GEOM_TOLERANCE)
        return;
    const double dx = x - c.x;
    const double dy = y - c.y;
    if (angle == kHalfPi) {
        x = c.x - dy;
        y = c.y + dx;
        return;
    }
    if (angle == -kHalfPi || angle == kThreeHalfPi) {
        x = c.x + dy;
        y = c.y - dx;
        return;
    }
    double cs, sn;
    CosSin(angle, cs, sn);
    // The snap targets are the offsets from the centre; for the usual centre at the origin they are
    // the old coordinates.
    x = Snap(c.x + dx * cs - dy * sn, dx, dy);
    y = Snap(c.y + dx * sn + dy * cs, dx, dy);
}

void CDPoint::Rotate(double angle)
{
    double a = angle;
    NormalizeAngle(a);
    if (std::fabs(a) <= GEOM_TOLERANCE)
        return;
    const double ox = x;
    const double oy = y;
    if (std::fabs(a - kHalfPi) <= GEOM_TOLERANCE) {
        x = -oy;
        y = ox;
        return;
    }
    if (std::fabs(a + kHalfPi) <= GEOM_TOLERANCE || std::fabs(a - kThreeHalfPi) <= GEOM_TOLERANCE) {
        x = oy;
        y = -ox;
        return;
    }
    double cs, sn;
    CosSin(a, cs, sn);
    x = Snap(ox * cs - oy * sn, ox, oy);
    y = Snap(ox * sn + oy * cs, ox, oy);
}

int CDPoint::CrossCheck(const CDPoint* pts) const
{
    const CDPoint& s0 = pts[0];
    const CDPoint& s1 = pts[1];
    const CDPoint& s2 = pts[2];
    const double g = (x - s0.x) * (s2.y - s1.y) - (y - s0.y) * (s2.x - s1.x);
    if (std::fabs(g) > GEOM_TOLERANCE)
        return g < 0.0 ? 1 : 0;

    // Parallel: turn copies about this point so that s0 lies on the positive x axis, then look
    // whether s1 or s2 lies on the segment from here to s0. The caller's points stay as they are.
    CDPoint r0(s0.x - x, s0.y - y);
    CDPoint r1(s1.x - x, s1.y - y);
    CDPoint r2(s2.x - x, s2.y - y);
    const double turn = -std::atan2(r0.y, r0.x);
    r1.Rotate(turn);
    r0.Rotate(turn);
    if (std::fabs(r1.y) > GEOM_TOLERANCE)
        return 0;
    r2.Rotate(turn);
    if (0.0 <= r1.x && r1.x <= r0.x)
        return 1;
    if (0.0 <= r2.x && r2.x <= r0.x)
        return 1;
    return 0;
}
