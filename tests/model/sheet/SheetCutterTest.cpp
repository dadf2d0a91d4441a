// Cutter edits of a selection sheet: chamfer, fillet, divide, offset and trim along a cutter path.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"
#include "tests/support/SheetItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using testing_support::Items;
using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;

class SheetCutterTest : public ::testing::Test
{
protected:
    SheetCutterTest()
    {
        path.SetSheetType(SHEET_BOARD_VIAPART);
        board.doc.boardSheets[LAYER_MAX] = &path;
        board.doc.currentLayer = PartBoard::kTop;
        selection.SetSheetType(SHEET_SELECTION);
    }

    void Cut(CDPoint a, CDPoint b) { path.NewLine(a, b, 0, 0); }

    // Two lines meeting at a right angle at the origin, crossed by one path line.
    void RightAngle(int turretA = PartBoard::kTrack, int turretB = PartBoard::kTrack)
    {
        selection.NewLine(CDPoint(0, 0), CDPoint(20, 0), turretA, 0);
        selection.NewLine(CDPoint(0, 0), CDPoint(0, 20), turretB, 0);
        Cut(CDPoint(12, -1), CDPoint(-1, 12));
    }

    std::vector<CLine*> Lines() { return Items<CLine>(selection, KIND_LINE); }
    std::vector<CArc*> Arcs() { return Items<CArc>(selection, KIND_ARC); }

    PartBoard board;
    CSheet path{0, 0, LAYER_MAX, &board.doc};
    CSheet selection{1, 0x1, PartBoard::kTop, &board.doc};
};

void ExpectPoint(const CDPoint& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-6);
    EXPECT_NEAR(p.y, y, 1e-6);
}

TEST_F(SheetCutterTest, SymmetricChamfer)
{
    RightAngle();
    selection.CornerItem(10.0, 0.0);
    const double cut = 5.0 / std::sin(kPi / 4);
    std::vector<CLine*> lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    ExpectPoint(lines[0]->GetStartPoint(), cut, 0);
    ExpectPoint(lines[1]->GetStartPoint(), 0, cut);
    EXPECT_NEAR(lines[2]->GetLength(), 10.0, 1e-6);
    EXPECT_NEAR(cut, 7.0711, 1e-4);
}

TEST_F(SheetCutterTest, ChamferByTwoDistances)
{
    RightAngle();
    selection.GetHeadLine()->ModifyType(0x400, 0xE00);
    selection.CornerItem(3.0, 5.0);
    std::vector<CLine*> lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    ExpectPoint(lines[0]->GetStartPoint(), 3, 0);
    ExpectPoint(lines[1]->GetStartPoint(), 0, 5);
    EXPECT_EQ(lines[2]->GetType() & 0xE00, 0x400) << "the first line's line type";
}

TEST_F(SheetCutterTest, PairCarriesOverPathLines)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(20, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(0, 0), CDPoint(0, 20), PartBoard::kTrack, 0);
    Cut(CDPoint(10, -1), CDPoint(10, 1)); // crosses the first line only
    Cut(CDPoint(-1, 10), CDPoint(1, 10)); // crosses the second line only
    selection.CornerItem(3.0, 5.0);
    EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(SheetCutterTest, BadPairsAreSkipped)
{
    // Parallel lines: no corner.
    selection.NewLine(CDPoint(0, 0), CDPoint(20, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(0, 5), CDPoint(20, 5), PartBoard::kTrack, 0);
    Cut(CDPoint(10, -1), CDPoint(10, 6));
    selection.CornerItem(10.0, 0.0);
    selection.CornerRoundItem(2.0);
    ASSERT_EQ(Lines().size(), 2u);
    for (CLine* line : Lines())
        EXPECT_NEAR(line->GetLength(), 20.0, 1e-9);
    // Zero and negative radii do nothing.
    selection.CornerRoundItem(0.0);
    selection.CornerRoundItem(-1.0);
    EXPECT_TRUE(Arcs().empty());
}

TEST_F(SheetCutterTest, FilletIsTangentToBothLines)
{
    RightAngle(PartBoard::kPad, PartBoard::kTrack);
    selection.CornerRoundItem(2.0);
    std::vector<CLine*> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    ExpectPoint(lines[0]->GetStartPoint(), 2, 0);
    ExpectPoint(lines[1]->GetStartPoint(), 0, 2);
    std::vector<CArc*> arcs = Arcs();
    ASSERT_EQ(arcs.size(), 1u);
    CArc* arc = arcs[0];
    EXPECT_NEAR(arc->GetRadius(), 2.0, 1e-9);
    ExpectPoint(arc->GetCenter(), 2, 2);
    EXPECT_NEAR(arc->GetAngle(), kPi / 2, 1e-9) << "a quarter arc inside the corner";
    EXPECT_EQ(arc->GetTurretNo(), PartBoard::kTrack) << "the thinner line's turret";
    // Its ends are the two tangent points.
    std::vector<CDPoint> ends = {arc->GetStartPoint(), arc->GetEndPoint()};
    std::sort(ends.begin(), ends.end(), [](const CDPoint& a, const CDPoint& b) { return a.x < b.x; });
    ExpectPoint(ends[0], 0, 2);
    ExpectPoint(ends[1], 2, 0);
}

TEST_F(SheetCutterTest, FilletLargerThanTheLines)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(1, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(0, 0), CDPoint(0, 1), PartBoard::kTrack, 0);
    Cut(CDPoint(0.8, -1), CDPoint(-1, 0.8));
    selection.CornerRoundItem(5.0);
    for (CLine* line : Lines()) {
        EXPECT_TRUE(std::isfinite(line->GetStartPoint().x));
        EXPECT_TRUE(std::isfinite(line->GetEndPoint().y));
    }
    for (CArc* arc : Arcs())
        EXPECT_TRUE(std::isfinite(arc->GetRadius()));
}

TEST_F(SheetCutterTest, DivideArcsAndALoneLine)
{
    selection.NewArc(CArc(CDPoint(0, 0), 3.0, 0.0, 0.0, 0, PartBoard::kTrack));
    selection.DivideItem(4);
    std::vector<CArc*> arcs = Arcs();
    ASSERT_EQ(arcs.size(), 4u);
    for (CArc* arc : arcs)
        EXPECT_NEAR(arc->GetAngle(), kPi / 2, 1e-9);

    selection.DeleteContents();
    selection.NewLine(CDPoint(0, 0), CDPoint(9, 0), PartBoard::kTrack, 0);
    selection.DivideItem(3);
    ASSERT_EQ(Lines().size(), 3u);
    for (CLine* line : Lines())
        EXPECT_NEAR(line->GetLength(), 3.0, 1e-9);

    // Two lines and no path: nothing is divided; counts of 0 and +-1 divide nothing.
    selection.DeleteContents();
    selection.NewLine(CDPoint(0, 0), CDPoint(9, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(0, 5), CDPoint(9, 5), PartBoard::kTrack, 0);
    for (int count : {3, 1, 0, -1})
        selection.DivideItem(count);
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(SheetCutterTest, LadderBetweenCrossedLines)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(10, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(10, 8), CDPoint(0, 8), PartBoard::kTrack, 0);
    Cut(CDPoint(5, -1), CDPoint(5, 9));
    selection.DivideItem(-4);
    std::vector<CLine*> lines = Lines();
    ASSERT_EQ(lines.size(), 5u);
    std::vector<double> ys;
    for (CLine* line : lines) {
        EXPECT_NEAR(line->GetStartPoint().y, line->GetEndPoint().y, 1e-9);
        EXPECT_NEAR(line->GetLength(), 10.0, 1e-9);
        ys.push_back(line->GetStartPoint().y);
    }
    std::sort(ys.begin(), ys.end());
    const std::vector<double> expected = {0, 2, 4, 6, 8};
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_NEAR(ys[i], expected[i], 1e-9);
}

struct OffsetCase
{
    int count;
    double distance;
    std::vector<double> radii;
};

TEST_F(SheetCutterTest, ConcentricOffsets)
{
    const OffsetCase cases[] = {
        {-3, 1.0, {5, 6, 7, 8}},
        {3, 1.0, {5, 6.2, 7.4, 8.6}},
        {-3, -2.0, {1, 3, 5}}, // radii of 0 and below are left out
        {0, 1.0, {5}},
    };
    for (const OffsetCase& c : cases) {
        SCOPED_TRACE(c.count);
        selection.DeleteContents();
        selection.NewArc(CArc(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, PartBoard::kTrack));
        selection.OffsetItem(c.distance, c.count);
        std::vector<double> radii;
        for (CArc* arc : Arcs())
            radii.push_back(arc->GetRadius());
        std::sort(radii.begin(), radii.end());
        ASSERT_EQ(radii.size(), c.radii.size());
        for (std::size_t i = 0; i < radii.size(); ++i)
            EXPECT_NEAR(radii[i], c.radii[i], 1e-9);
    }
}

TEST_F(SheetCutterTest, ParallelOffsetsFollowThePath)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(10, 0), PartBoard::kTrack, 0);
    Cut(CDPoint(2, -1), CDPoint(2, 1));
    Cut(CDPoint(8, -1), CDPoint(8, 1)); // second crossing farther along: to the left
    selection.OffsetItem(1.5, -2);
    std::vector<double> ys;
    for (CLine* line : Lines())
        ys.push_back(line->GetStartPoint().y);
    std::sort(ys.begin(), ys.end());
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_NEAR(ys[1], 1.5, 1e-9);
    EXPECT_NEAR(ys[2], 3.0, 1e-9);

    // Path in the other direction: the copies go to the other side.
    selection.DeleteContents();
    path.DeleteContents();
    selection.NewLine(CDPoint(0, 0), CDPoint(10, 0), PartBoard::kTrack, 0);
    Cut(CDPoint(8, -1), CDPoint(8, 1));
    Cut(CDPoint(2, -1), CDPoint(2, 1));
    selection.OffsetItem(1.5, -1);
    ys.clear();
    for (CLine* line : Lines())
        ys.push_back(line->GetStartPoint().y);
    std::sort(ys.begin(), ys.end());
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(ys[0], -1.5, 1e-9);
}

TEST_F(SheetCutterTest, TrimExtendsTwoLines)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(5, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(10, 2), CDPoint(10, 8), PartBoard::kTrack, 0);
    selection.TrimItem();
    std::vector<CLine*> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    ExpectPoint(lines[0]->GetEndPoint(), 10, 0);
    ExpectPoint(lines[1]->GetStartPoint(), 10, 0);
}

TEST_F(SheetCutterTest, TrimLineAndArc)
{
    selection.NewLine(CDPoint(-10, 1), CDPoint(-6, 1), PartBoard::kTrack, 0);
    selection.NewArc(CArc(CDPoint(0, 0), 3.0, kPi / 2, kPi, 0, PartBoard::kTrack));
    Cut(CDPoint(-8, 0), CDPoint(-8, 2));
    Cut(CDPoint(-1.5, 1.5), CDPoint(-3, 3));
    selection.TrimItem();
    // The arc is cut where it meets the line's extension and the line runs up to that point.
    const CDPoint meet(-std::sqrt(8.0), 1.0);
    ExpectPoint(selection.GetHeadLine()->GetEndPoint(), meet.x, meet.y);
    ExpectPoint(selection.GetHeadArc()->GetEndPoint(), meet.x, meet.y);
    ExpectPoint(selection.GetHeadArc()->GetStartPoint(), 0, 3);
}

} // namespace
