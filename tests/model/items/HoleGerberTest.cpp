// Drill hits of holes in every long-hole drill mode.

#include "model/items/Hole.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

Blocks Hits(CHole& hole, int longHoleMode)
{
    GerberOutput out;
    out.g.longHoleMode = longHoleMode;
    hole.DataWriteGerbar(out.ar, out.g);
    return out.Blocks();
}

CHole LongHole(double diameter, double width, double angle = 0.0)
{
    return CHole(CDPoint(0, 0), diameter, false, width, diameter / 2, angle);
}

TEST(HoleGerberTest, LongHoleModes)
{
    CHole hole = LongHole(1.0, 1.5); // m = 0.25
    ASSERT_EQ(hole.GetHoleShape(), HOLE_LONG);
    EXPECT_EQ(Hits(hole, 0), (Blocks{"X0Y0"}));
    EXPECT_EQ(Hits(hole, 1), (Blocks{"X0Y0"}));
    EXPECT_EQ(Hits(hole, 2), (Blocks{"X-250Y0", "X250Y0"}));
    EXPECT_EQ(Hits(hole, 3), (Blocks{"X-250Y0", "X250Y0", "X0Y0"}));
    // A row 0.1 apart from the - end (n = trunc(0.25 x 20) = 5), then the + end.
    const Blocks row{"X-250Y0", "X-150Y0", "X-50Y0", "X50Y0", "X150Y0", "X250Y0"};
    EXPECT_EQ(Hits(hole, 4), row);
    EXPECT_EQ(Hits(hole, 9), row);
}

TEST(HoleGerberTest, RowsAlongTheHoleAndShortRows)
{
    CHole wider = LongHole(1.0, 1.54); // n = trunc(5.4) = 5, then the end at 0.27
    EXPECT_EQ(Hits(wider, 4), (Blocks{"X-270Y0", "X-170Y0", "X-70Y0", "X30Y0", "X130Y0", "X270Y0"}));

    CHole turned = LongHole(1.0, 1.2, std::numbers::pi / 2); // m = 0.1 along y
    EXPECT_EQ(Hits(turned, 4), (Blocks{"X0Y-100", "X0Y0", "X0Y100"}));

    // 0.35 comes out of 1.7 - 1 a hair short: the row still takes its seventh step.
    CHole odd = LongHole(1.0, 1.7);
    EXPECT_EQ(Hits(odd, 4).size(), 8u);

    CHole round = LongHole(1.0, 1.0); // width = diameter: no row, the + end is the position
    EXPECT_EQ(Hits(round, 4), (Blocks{"X0Y0"}));
}

TEST(HoleGerberTest, RoundAndRectangularHoles)
{
    CHole round(CDPoint(2, 3), 0.8, true, 0.0, 0.0, 0.0);
    CHole square(CDPoint(2, 3), 1.0, false, 1.0, 0.1, 0.0);
    CHole rect(CDPoint(2, 3), 1.0, false, 2.0, 0.1, 0.0);
    ASSERT_TRUE(square.IsHoleRect());
    for (int mode = 0; mode <= 4; ++mode) {
        EXPECT_EQ(Hits(round, mode), (Blocks{"X2000Y3000"})) << mode;
        EXPECT_EQ(Hits(square, mode), (Blocks{"X2000Y3000"})) << mode;
    }
    // A rectangular hole's ends lie half its width from the position.
    EXPECT_EQ(Hits(rect, 2), (Blocks{"X1000Y3000", "X3000Y3000"}));
    EXPECT_EQ(Hits(rect, 4).size(), 21u);
}

TEST(HoleGerberTest, HitTypeEndings)
{
    CHole round(CDPoint(2, 3), 0.8, true, 0.0, 0.0, 0.0);
    GerberOutput out;
    out.g.hitType = 2;
    round.DataWriteGerbar(out.ar, out.g);
    EXPECT_EQ(out.Text(), "X2000Y3000M05*");
}

} // namespace
