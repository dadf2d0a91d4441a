#include "model/geometry/Geometry.h"

#include "platform/Archive.h"

#include <cmath>
#include <cstdint>
#include <numbers>

void NormalizeAngle(double& angle)
{
    constexpr double pi = std::numbers::pi;
    constexpr double twoPi = 2.0 * pi;
    double a = angle;
    if (a < -100.0 || a > 100.0) {
        const double turns = std::trunc(a / twoPi);
        if (std::fabs(turns) < 2147483648.0)
            a -= static_cast<std::int32_t>(turns) * twoPi;
        else
            // Far beyond a 32-bit turn count: subtracting whole turns could leave a remainder that
            // adding 2*pi no longer changes, so take the exact remainder instead.
            a = std::fmod(a, twoPi);
    }
    while (a < 0.0)
        a += twoPi;
    while (a > twoPi)
        a -= twoPi;
    if (std::fabs(a) <= GEOM_TOLERANCE || std::fabs(a - twoPi) <= GEOM_TOLERANCE)
        a = 0.0;
    else if (std::fabs(a - pi) <= GEOM_TOLERANCE)
        a = pi;
    angle = a;
}

CArchive& WriteDPoint(CArchive& ar, const tagDPOINT& p)
{
    return ar << p.x << p.y;
}

CArchive& ReadDPoint(CArchive& ar, tagDPOINT& p)
{
    return ar >> p.x >> p.y;
}
