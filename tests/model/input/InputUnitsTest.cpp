#include "model/input/InputUnits.h"

#include "platform/J.h"

#include <gtest/gtest.h>

namespace {

TEST(InputUnitsTest, FactorsAndUsableUnits)
{
    tagGRID grid;
    grid.xPitch = 0.5;
    grid.yPitch = 0.25;
    EXPECT_EQ(CInputUnits::Factor(0, grid, 0), 1.0);
    EXPECT_EQ(CInputUnits::Factor(1, grid, 1), 25.4);
    EXPECT_EQ(CInputUnits::Factor(2, grid, 0), 0.0254);
    EXPECT_EQ(CInputUnits::Factor(3, grid, 0), 0.5);
    EXPECT_EQ(CInputUnits::Factor(3, grid, 1), 0.25);
    EXPECT_EQ(CInputUnits::Factor(7, grid, 0), 1.0);

    EXPECT_EQ(CInputUnits::Usable(3, grid), 3);
    EXPECT_EQ(CInputUnits::Usable(7, grid), 0);
    EXPECT_EQ(CInputUnits::Usable(-1, grid), 0);
    EXPECT_EQ(CInputUnits::Usable(2, grid), 2);
    grid.kind = 1; // radial
    EXPECT_EQ(CInputUnits::Usable(3, grid), 0);
    grid.kind = CInputUnits::NoGrid;
    EXPECT_EQ(CInputUnits::Usable(3, grid), 0);
}

TEST(InputUnitsTest, AnglesFoldIntoHalfTurns)
{
    const std::pair<double, double> rows[] = {{190, -170}, {540, 180},  {-90, -90},   {180, 180},
                                              {360, 0},    {-180, 180}, {720.5, 0.5}, {-370, -10}};
    for (const auto& [in, out] : rows)
        EXPECT_NEAR(CInputUnits::FoldAngle(in), out, 1e-9) << in;
    // A huge angle folds at once instead of counting turns.
    const double huge = CInputUnits::FoldAngle(1e300);
    EXPECT_TRUE(huge >= -180 && huge <= 180) << huge;
}

TEST(InputUnitsTest, ZeroCheckAndSteps)
{
    EXPECT_EQ(CInputUnits::ZeroCheck(0, 0, 0, false), _J("移動データが0になりました"));
    EXPECT_EQ(CInputUnits::ZeroCheck(0, 0, 5e-7, false), _J("移動データが0になりました"));
    EXPECT_EQ(CInputUnits::ZeroCheck(0, 0, 1, false), "");
    EXPECT_EQ(CInputUnits::ZeroCheck(1, 1, 0, true), _J("スケールが1になりました"));
    EXPECT_EQ(CInputUnits::ZeroCheck(0, 0, 0, true), _J("スケールが0になりました"));
    EXPECT_EQ(CInputUnits::ZeroCheck(1, 0, 0, true), "");
    EXPECT_EQ(CInputUnits::ZeroCheck(2, 2, 0, true), "");

    struct Row
    {
        int kind;
        double x, y;
    };
    const Row rows[] = {{CInputUnits::StepUp, 0, 2},
                        {CInputUnits::StepDown, 0, -2},
                        {CInputUnits::StepLeft, -2, 0},
                        {CInputUnits::StepRight, 2, 0},
                        {CInputUnits::StepScale, 2, 3}};
    for (const Row& row : rows) {
        double x = 9, y = 9;
        CInputUnits::StepPoint(row.kind, 2, 3, x, y);
        EXPECT_EQ(x, row.x);
        EXPECT_EQ(y, row.y);
    }
}

} // namespace
