// The outline crossing test of two sheets: which pairs are tried first decides the point reported.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "platform/Fixed.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class SheetContactTest : public ::testing::Test
{
protected:
    FakeDocument doc;
    FakeFrameServices frame{&doc};
};

CDPoint At(const tagPOINTFX& p)
{
    return CDPoint(platform::FixedToDouble(p.x), platform::FixedToDouble(p.y));
}

TEST_F(SheetContactTest, LinesAgainstLinesComeFirst)
{
    CSheet mine(SHEET_WORK), theirs(SHEET_WORK);
    mine.NewLine(CDPoint(0, 0), CDPoint(10, 0), 0, 0);
    // Stored first and crossed nearer the start, the circle still comes after the line.
    theirs.NewArc(CDPoint(2, 0), 1.0, 0.0, 0.0, 0, 0);
    theirs.NewLine(CDPoint(6, -1), CDPoint(6, 1), 0, 0);
    tagPOINTFX at{};
    EXPECT_EQ(mine.CheckFrameShort(&theirs, &at), 1);
    EXPECT_EQ(at, CDPoint(6, 0).FxPoint());

    // Without the line: the circle's first crossing along the line.
    CSheet circleOnly(SHEET_WORK);
    circleOnly.NewArc(CDPoint(2, 0), 1.0, 0.0, 0.0, 0, 0);
    EXPECT_EQ(mine.CheckFrameShort(&circleOnly, &at), 1);
    EXPECT_EQ(at, CDPoint(1, 0).FxPoint());
}

TEST_F(SheetContactTest, ArcsAgainstLinesBeforeArcs)
{
    CSheet mine(SHEET_WORK), theirs(SHEET_WORK);
    mine.NewArc(CDPoint(0, 0), 1.0, 0.0, 0.0, 0, 0);
    theirs.NewArc(CDPoint(2, 0), 1.5, 0.0, 0.0, 0, 0);
    theirs.NewLine(CDPoint(0.5, -2), CDPoint(0.5, 2), 0, 0);
    tagPOINTFX at{};
    EXPECT_EQ(mine.CheckFrameShort(&theirs, &at), 1);
    const CDPoint line = At(at);
    EXPECT_NEAR(line.x, 0.5, 1e-4);
    EXPECT_NEAR(std::fabs(line.y), std::sqrt(0.75), 1e-4);

    CSheet arcOnly(SHEET_WORK);
    arcOnly.NewArc(CDPoint(2, 0), 1.5, 0.0, 0.0, 0, 0);
    EXPECT_EQ(mine.CheckFrameShort(&arcOnly, &at), 1);
    const CDPoint arc = At(at);
    EXPECT_NEAR(arc.x, 0.6875, 1e-4);
    EXPECT_NEAR(std::fabs(arc.y), std::sqrt(1.0 - 0.6875 * 0.6875), 1e-4);
}

TEST_F(SheetContactTest, ArcsCountOnlyWithinTheirSweeps)
{
    // Whole circles about (0, 0) and (0, -1.5), radius 1, cross at y = -0.75: below the first
    // centre and above the second.
    const double pi = std::acos(-1.0);
    CSheet upper(SHEET_WORK), lower(SHEET_WORK);
    upper.NewArc(CDPoint(0, 0), 1.0, 0.0, pi, 0, 0);
    lower.NewArc(CDPoint(0, -1.5), 1.0, pi, 0.0, 0, 0);
    tagPOINTFX at = CDPoint(7, 7).FxPoint();
    const tagPOINTFX before = at;
    EXPECT_EQ(upper.CheckFrameShort(&lower, &at), 0);
    EXPECT_EQ(at, before);

    CSheet circle(SHEET_WORK), cap(SHEET_WORK);
    circle.NewArc(CDPoint(0, 0), 1.0, 0.0, 0.0, 0, 0);
    cap.NewArc(CDPoint(0, -1.5), 1.0, 0.0, pi, 0, 0);
    EXPECT_EQ(circle.CheckFrameShort(&cap, &at), 1);
    EXPECT_NEAR(At(at).y, -0.75, 1e-4);
    EXPECT_NEAR(std::fabs(At(at).x), std::sqrt(1.0 - 0.75 * 0.75), 1e-4);

    CSheet empty(SHEET_WORK);
    EXPECT_EQ(circle.CheckFrameShort(&empty, &at), 0);
    EXPECT_EQ(circle.CheckFrameShort(nullptr, &at), 0);
    EXPECT_EQ(circle.CheckFrameShort(&cap, nullptr), 1);
}

} // namespace
