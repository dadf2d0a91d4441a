// The layer sheet's line operations: storing copies, the building forms, deleting by equality,
// walking and counting.

#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class SheetLineTest : public ::testing::Test
{
protected:
    SheetLineTest() : frame(&doc) { doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0}; }

    FakeDocument doc;
    FakeFrameServices frame;
};

TEST_F(SheetLineTest, NewLineStoresACopyOnTheSheetsLayer)
{
    CSheet sheet(0, 0, 5, nullptr);
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0x200);
    line.SetName("N", 100, true);
    line.SetLayerNo(9);
    CLine* stored = sheet.NewLine(line);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &line);
    EXPECT_TRUE(*stored == line);
    EXPECT_EQ(stored->GetParent(), &sheet);
    EXPECT_EQ(stored->GetLayerNo(), 5);
    EXPECT_EQ(stored->GetName(), "N");
    EXPECT_EQ(stored->GetNameText()->GetParent(), stored);
    EXPECT_EQ(line.GetLayerNo(), 9); // the caller's line is left as it was
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LINE), 1);
    EXPECT_EQ(sheet.GetItemCount(), 1);

    CLine* built = sheet.NewLine(CDPoint(1, 1), CDPoint(2, 2), 3, 0x1000);
    EXPECT_EQ(built->GetType(), 0); // the building form drops the name bit
    EXPECT_EQ(built->GetTurretNo(), 3);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LINE), 2);
}

TEST_F(SheetLineTest, NewLineAtAPointContinuesTheLastLine)
{
    CSheet sheet;
    EXPECT_EQ(sheet.NewLine(CDPoint(1, 1)), nullptr); // nothing to continue

    sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), 3, 0x400);
    CLine* point = sheet.NewLine(CDPoint(5, 0));
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetStartPoint(), CDPoint(5, 0));
    EXPECT_EQ(point->GetEndPoint(), CDPoint(5, 0));
    EXPECT_EQ(point->GetTurretNo(), 3);
    EXPECT_EQ(point->GetType(), 0x400);
    EXPECT_EQ(sheet.GetTailLine(0), point);
}

TEST_F(SheetLineTest, DeleteWalkAndTail)
{
    CSheet sheet;
    for (int i = 0; i < 4; ++i)
        sheet.NewLine(CDPoint(i, 0), CDPoint(i, 1), 3, 0);
    EXPECT_EQ(sheet.GetHeadLine()->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(sheet.GetTailLine(0)->GetStartPoint(), CDPoint(3, 0));
    EXPECT_EQ(sheet.GetTailLine(1)->GetStartPoint(), CDPoint(3, 0));
    EXPECT_EQ(sheet.GetTailLine(2)->GetStartPoint(), CDPoint(2, 0));
    EXPECT_EQ(sheet.GetTailLine(4)->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(sheet.GetTailLine(5), nullptr);

    // Found by equality: another layer and id do not matter, swapped ends do.
    CLine probe(CDPoint(2, 0), CDPoint(2, 1), 3, 0);
    probe.SetLayerNo(40);
    EXPECT_EQ(sheet.DeleteLine(CLine(CDPoint(2, 1), CDPoint(2, 0), 3, 0)), 0);
    EXPECT_EQ(sheet.DeleteLine(probe), 1);
    EXPECT_EQ(sheet.DeleteLine(probe), 0);

    std::vector<double> xs;
    for (POSITION pos = sheet.GetFirstLinePos(); pos;)
        xs.push_back(sheet.GetNextLine(pos)->GetStartPoint().x);
    EXPECT_EQ(xs, (std::vector<double>{0, 1, 3}));

    std::array<unsigned, TURRET_MAX + 1> counts{};
    sheet.GetCount(ID_INPUT_LINE, counts.data());
    EXPECT_EQ(counts[3], 3u);
}

TEST_F(SheetLineTest, WholeSheetTransformsReachTheLines)
{
    CSheet sheet;
    sheet.NewLine(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    sheet.OffsetItem(CDPoint(1, 2), 0);
    EXPECT_EQ(sheet.GetHeadLine()->GetStartPoint(), CDPoint(1, 2));
    sheet.MirrorX(0);
    EXPECT_EQ(sheet.GetHeadLine()->GetEndPoint(), CDPoint(-11, 2));
    const CDRect r = sheet.GetBoundingRect();
    EXPECT_DOUBLE_EQ(r.left, -11.1);
    EXPECT_DOUBLE_EQ(r.right, -0.9);
}

} // namespace
