#include "model/text/TrueTypeOutline.h"

#include "platform/Fixed.h"

#include <cmath>

MAT2 IdentityMat2()
{
    MAT2 m;
    m.eM11 = platform::IntToFixed(1);
    m.eM22 = platform::IntToFixed(1);
    return m;
}

MAT2 RotationMat2(double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    MAT2 m;
    m.eM11 = platform::DoubleToFixed(c);
    m.eM12 = platform::DoubleToFixed(s);
    m.eM21 = platform::DoubleToFixed(-s);
    m.eM22 = platform::DoubleToFixed(c);
    return m;
}

bool IsIdentity(const MAT2& m)
{
    return m == IdentityMat2();
}

POINTFX TransformPoint(const MAT2& m, POINTFX p)
{
    const std::int64_t x = platform::FixedToLong(p.x);
    const std::int64_t y = platform::FixedToLong(p.y);
    const std::int64_t x2 = platform::FixedToLong(m.eM11) * x + platform::FixedToLong(m.eM21) * y;
    const std::int64_t y2 = platform::FixedToLong(m.eM12) * x + platform::FixedToLong(m.eM22) * y;
    // Arithmetic shift floors; adding half first rounds to nearest.
    POINTFX r;
    r.x = platform::LongToFixed(static_cast<std::int32_t>((x2 + 0x8000) >> 16));
    r.y = platform::LongToFixed(static_cast<std::int32_t>((y2 + 0x8000) >> 16));
    return r;
}
