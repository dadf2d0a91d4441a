#pragma once
// 16.16 fixed-point conversions for FIXED and POINTFX: the 32-bit value is the number times
// 65536, its high half the signed integer part (value) and its low half the fraction (fract).

#include "platform/Numbers.h"
#include "platform/Types.h"

#include <cstdint>

namespace platform {

// The 32-bit 16.16 value a FIXED holds, and the FIXED for such a value.
constexpr std::int32_t FixedToLong(FIXED f)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(f.value)) << 16 |
                                     f.fract);
}

constexpr FIXED LongToFixed(std::int32_t v)
{
    FIXED f;
    f.fract = static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFF);
    f.value = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) >> 16));
    return f;
}

// d times 65536 truncated toward zero (saturating outside the 16.16 range; NaN gives 0).
inline FIXED DoubleToFixed(double d)
{
    return LongToFixed(TruncateToInt32(d * 65536.0));
}

inline double FixedToDouble(FIXED f)
{
    return FixedToLong(f) / 65536.0;
}

// The FIXED of a whole number (its integer part; the 16-bit integer part wraps).
constexpr FIXED IntToFixed(std::int32_t n)
{
    FIXED f;
    f.value = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(n)));
    return f;
}

inline POINTFX MakePointFx(double x, double y)
{
    POINTFX p;
    p.x = DoubleToFixed(x);
    p.y = DoubleToFixed(y);
    return p;
}

} // namespace platform
