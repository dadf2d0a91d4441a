// Surface attributes pushed down to the outline, bounds, and the transforms with and without the
// stretch (edge) mode.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

class SurGeometryTest : public ::testing::Test
{
protected:
    SurGeometryTest() : frame(&doc)
    {
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// A 10 x 10 square of turret 2 with a 2 x 2 window in its middle, filled.
CSur SquareWithWindow()
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(0, 0), CDPoint(10, 0), CDPoint(10, 10), CDPoint(0, 10)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], 2, 0));
    CSur window;
    const CDPoint inner[4] = {CDPoint(4, 4), CDPoint(6, 4), CDPoint(6, 6), CDPoint(4, 6)};
    for (int i = 0; i < 4; ++i)
        window.AddLine(std::make_unique<CLine>(inner[i], inner[(i + 1) % 4], 2, 0));
    sur.NewWindow(window);
    sur.SetTurretNo(2);
    return sur;
}

std::vector<CLine*> Lines(CSur& sur)
{
    std::vector<CLine*> out;
    for (POSITION pos = sur.GetFirstLinePos(); pos;)
        out.push_back(sur.GetNextLine(pos));
    return out;
}

CSur* FirstWindow(CSur& sur)
{
    POSITION pos = sur.GetFirstWndPos();
    return sur.GetNextWnd(pos);
}

CLine* FirstFill(CSur& sur)
{
    POSITION pos = sur.GetFirstSurLinePos();
    return sur.GetNextSurLine(pos);
}

TEST_F(SurGeometryTest, TurretAndLayerReachEveryOutlineItem)
{
    CSur sur = SquareWithWindow();
    const int filled = sur.GetSurLineCount();
    ASSERT_GT(filled, 0);
    sur.SetTurretNo(3);
    EXPECT_EQ(sur.GetTurretNo(), 3);
    for (CLine* line : Lines(sur))
        EXPECT_EQ(line->GetTurretNo(), 3);
    for (CLine* line : Lines(*FirstWindow(sur)))
        EXPECT_EQ(line->GetTurretNo(), 3);
    EXPECT_DOUBLE_EQ(sur.GetLineWidth(), 1.0);
    EXPECT_LT(sur.GetSurLineCount(), filled); // a wider pitch

    // The same number without refresh leaves the fill alone; with refresh it is made again.
    sur.DeleteSurLine();
    sur.SetTurretNo(3, false);
    EXPECT_EQ(sur.GetSurLineCount(), 0);
    sur.SetTurretNo(3, true);
    EXPECT_GT(sur.GetSurLineCount(), 0);

    sur.SetLayerNo(7);
    EXPECT_EQ(sur.GetLayerNo(), 7);
    for (CLine* line : Lines(sur))
        EXPECT_EQ(line->GetLayerNo(), 7);
    EXPECT_EQ(FirstWindow(sur)->GetLayerNo(), 7);
    EXPECT_EQ(FirstFill(sur)->GetLayerNo(), -1); // fill lines keep theirs
}

TEST_F(SurGeometryTest, BoundsCoverTheOutlineOnly)
{
    CSur sur = SquareWithWindow();
    sur.AddArc(std::make_unique<CArc>(CDPoint(10, 5), 5, 3 * kPi / 2, kPi / 2, 0, 2));
    // A window that sticks out does not count.
    CSur outside;
    outside.AddLine(std::make_unique<CLine>(CDPoint(-50, -50), CDPoint(-40, -50), 2, 0));
    sur.NewWindow(outside);
    const CDRect r = sur.GetBoundingRect();
    EXPECT_NEAR(r.left, -0.1, 1e-9);
    EXPECT_NEAR(r.top, -0.1, 1e-9);
    EXPECT_NEAR(r.right, 15.1, 1e-9);
    EXPECT_NEAR(r.bottom, 10.1, 1e-9);
}

TEST_F(SurGeometryTest, RotateAndMirrorMoveOutlineWindowsAndFill)
{
    CSur sur = SquareWithWindow();
    const CDPoint fillStart = FirstFill(sur)->GetStartPoint();
    sur.Rotate(CDPoint(0, 0), 0.0, true);
    EXPECT_EQ(FirstFill(sur)->GetStartPoint(), fillStart);

    sur.Rotate(CDPoint(0, 0), kPi / 2, true);
    EXPECT_EQ(Lines(sur)[1]->GetStartPoint(), CDPoint(0, 10));
    EXPECT_EQ(Lines(*FirstWindow(sur))[0]->GetStartPoint(), CDPoint(-4, 4));
    EXPECT_EQ(FirstFill(sur)->GetStartPoint(), CDPoint(-fillStart.y, fillStart.x));
    EXPECT_DOUBLE_EQ(sur.GetAngle(), 0.0); // the hatch direction is not the outline's

    // Without fill (a layer drawn filled), the fill lines stay.
    CSur still = SquareWithWindow();
    still.Rotate(CDPoint(0, 0), kPi / 2, false);
    EXPECT_EQ(FirstFill(still)->GetStartPoint(), fillStart);

    CSur mirrored = SquareWithWindow();
    mirrored.MirrorX(20, true);
    EXPECT_EQ(Lines(mirrored)[0]->GetStartPoint(), CDPoint(40, 0));
    EXPECT_EQ(FirstFill(mirrored)->GetStartPoint(), CDPoint(40 - fillStart.x, fillStart.y));
    EXPECT_DOUBLE_EQ(mirrored.GetAngle(), kPi);
    mirrored.MirrorY(1, true);
    EXPECT_EQ(Lines(mirrored)[0]->GetStartPoint(), CDPoint(40, 2));
    EXPECT_EQ(Lines(*FirstWindow(mirrored))[0]->GetStartPoint(), CDPoint(36, -2));
}

TEST_F(SurGeometryTest, StretchModeMovesOnlyMarkedEnds)
{
    CSur sur = SquareWithWindow();
    const CDPoint fillStart = FirstFill(sur)->GetStartPoint();
    sur.SetCheck(CDRect(9, -1, 11, 11)); // the right side
    ASSERT_NE(sur.CheckEdge(), 0);
    sur.Offset(CDPoint(5, 0));
    const auto lines = Lines(sur);
    EXPECT_EQ(lines[0]->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(lines[0]->GetEndPoint(), CDPoint(15, 0));
    EXPECT_EQ(lines[1]->GetStartPoint(), CDPoint(15, 0));
    EXPECT_EQ(lines[1]->GetEndPoint(), CDPoint(15, 10));
    EXPECT_EQ(lines[3]->GetStartPoint(), CDPoint(0, 10));
    EXPECT_EQ(Lines(*FirstWindow(sur))[0]->GetStartPoint(), CDPoint(4, 4)); // nothing marked there
    EXPECT_EQ(FirstFill(sur)->GetStartPoint(), fillStart);

    // Turning and mirroring do nothing in stretch mode.
    sur.Rotate(CDPoint(0, 0), 1.0, true);
    sur.MirrorX(3, true);
    EXPECT_EQ(Lines(sur)[1]->GetEndPoint(), CDPoint(15, 10));

    // A plain move takes everything along.
    CSur plain = SquareWithWindow();
    plain.Offset(CDPoint(1, 2));
    EXPECT_EQ(Lines(plain)[0]->GetStartPoint(), CDPoint(1, 2));
    EXPECT_EQ(Lines(*FirstWindow(plain))[0]->GetStartPoint(), CDPoint(5, 6));
    EXPECT_EQ(FirstFill(plain)->GetStartPoint(), CDPoint(fillStart.x + 1, fillStart.y + 2));
}

TEST_F(SurGeometryTest, ScaleKeepsArcsOnlyUnderEqualFactors)
{
    CSur even;
    even.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, kPi, 0, 2));
    even.AddLine(std::make_unique<CLine>(CDPoint(-5, 0), CDPoint(5, 0), 2, 0));
    CSur uneven(even);
    even.Scale(CDPoint(0, 0), CDSize(2, 2));
    ASSERT_EQ(even.GetArcCount(), 1);
    EXPECT_DOUBLE_EQ(even.GetHeadArc()->GetRadius(), 10.0);
    EXPECT_EQ(Lines(even)[0]->GetEndPoint(), CDPoint(10, 0));

    uneven.Scale(CDPoint(0, 0), CDSize(2, 1));
    EXPECT_EQ(uneven.GetArcCount(), 0);
    const auto lines = Lines(uneven);
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0]->GetEndPoint(), CDPoint(10, 0));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const CDPoint p = lines[i]->GetEndPoint();
        EXPECT_NEAR(p.x * p.x / 100 + p.y * p.y / 25, 1.0, 1e-9); // on the scaled ellipse
        EXPECT_EQ(lines[i]->GetParent(), &uneven);
    }
}

} // namespace
