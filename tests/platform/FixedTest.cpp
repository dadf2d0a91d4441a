#include "platform/Fixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

using namespace platform;

FIXED Fx(std::uint16_t fract, std::int16_t value)
{
    FIXED f;
    f.fract = fract;
    f.value = value;
    return f;
}

TEST(FixedTest, DoubleToFixedTruncatesTowardZero)
{
    struct Case
    {
        double d;
        FIXED want;
    };
    const Case cases[] = {
        {0.0, Fx(0, 0)},
        {1.5, Fx(0x8000, 1)},
        {-0.5, Fx(0x8000, -1)},          // -32768 = 0xFFFF8000
        {-1.5, Fx(0x8000, -2)},          // -98304 = 0xFFFE8000
        {0.1, Fx(0x1999, 0)},            // 6553.6 -> 6553
        {-0.1, Fx(0xE667, -1)},          // -6553.6 -> -6553
        {1.0 / 65536 * 0.99, Fx(0, 0)},  // below one step
        {40000.0, Fx(0xFFFF, 0x7FFF)},   // saturates
        {-40000.0, Fx(0x0000, -0x8000)}, // saturates
        {std::nan(""), Fx(0, 0)},
    };
    for (const Case& c : cases) {
        FIXED got = DoubleToFixed(c.d);
        EXPECT_EQ(got.value, c.want.value) << c.d;
        EXPECT_EQ(got.fract, c.want.fract) << c.d;
    }
}

TEST(FixedTest, ConversionsBack)
{
    EXPECT_EQ(FixedToDouble(DoubleToFixed(1.25)), 1.25);
    EXPECT_EQ(FixedToDouble(DoubleToFixed(-0.1)), -6553.0 / 65536);
    for (std::int32_t raw : {0, 1, -1, 0x12345678, -0x12345678, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(FixedToLong(LongToFixed(raw)), raw);
        EXPECT_EQ(FixedToDouble(LongToFixed(raw)), raw / 65536.0);
    }
    EXPECT_EQ(LongToFixed(-1), Fx(0xFFFF, -1));
    EXPECT_EQ(IntToFixed(3), Fx(0, 3));
    EXPECT_EQ(FixedToDouble(IntToFixed(-2)), -2.0);
}

TEST(FixedTest, PointFromTwoDoubles)
{
    POINTFX p = MakePointFx(1.5, -0.5);
    EXPECT_EQ(p.x, Fx(0x8000, 1));
    EXPECT_EQ(p.y, Fx(0x8000, -1));
}

} // namespace
