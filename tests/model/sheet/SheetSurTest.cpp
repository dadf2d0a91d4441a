// The layer sheet's surface operations: storing copies with their layer and fill, building from
// lists and from another sheet, deleting, walking, counting, merging and whole-sheet transforms.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"

#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <vector>

namespace {

class SheetSurTest : public ::testing::Test
{
protected:
    SheetSurTest() : frame(&doc) { doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.2, 0.0}; }

    FakeDocument doc;
    FakeFrameServices frame;
};

CSur Square(double x0, double y0, double x1, double y1)
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], 2, 0));
    sur.SetTurretNo(2);
    sur.DeleteSurLine();
    return sur;
}

TEST_F(SheetSurTest, StoredSurfacesTakeTheLayerAndAFill)
{
    CSheet board(0, 0x1, 5, nullptr);
    board.SetSheetType(SHEET_BOARD);
    CSur sur = Square(0, 0, 10, 10);
    sur.SetLayerNo(9);
    CSur* stored = board.NewSur(sur);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &sur);
    EXPECT_EQ(stored->GetParent(), &board);
    EXPECT_EQ(stored->GetLayerNo(), 5);
    POSITION pos = stored->GetFirstLinePos();
    EXPECT_EQ(stored->GetNextLine(pos)->GetLayerNo(), 5);
    EXPECT_EQ(stored->GetSurLineCount(), 56);
    EXPECT_EQ(sur.GetSurLineCount(), 0);
    EXPECT_EQ(board.GetCount(ID_INPUT_SUR), 1);

    // No fill wanted: none made.
    CSur bare = Square(20, 0, 30, 10);
    bare.ModifyType(SUR_NOFILL, SUR_NOFILL);
    EXPECT_EQ(board.NewSur(bare)->GetSurLineCount(), 0);

    // The via and part sheet keeps the surface's own layer and makes no fill.
    CSheet parts(SHEET_BOARD_VIAPART);
    CSur* kept = parts.NewSur(sur);
    EXPECT_EQ(kept->GetLayerNo(), 9);
    EXPECT_EQ(kept->GetSurLineCount(), 0);
}

TEST_F(SheetSurTest, BuildingFromListsAndFromAnotherSheet)
{
    std::vector<std::unique_ptr<CLine>> owned;
    CItemBaseList lines, arcs, windows, texts;
    const CDPoint pts[4] = {CDPoint(0, 0), CDPoint(10, 0), CDPoint(10, 10), CDPoint(0, 10)};
    for (int i = 0; i < 4; ++i) {
        owned.push_back(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], 2, 0));
        lines.AddTail(owned.back().get());
    }

    // A board sheet makes the fill current; a work sheet only makes it.
    CSheet board(0, 0x1, 3, nullptr);
    board.SetSheetType(SHEET_BOARD);
    CSur* onBoard = board.NewSur(lines, arcs, windows, texts);
    ASSERT_NE(onBoard, nullptr);
    EXPECT_EQ(onBoard->GetSurLineCount(), 56);
    EXPECT_NE(onBoard->GetType() & SUR_FILLED, 0);
    EXPECT_EQ(onBoard->GetLayerNo(), 3);
    CSheet work;
    CSur* onWork = work.NewSur(lines, arcs, windows, texts);
    EXPECT_EQ(onWork->GetSurLineCount(), 56);
    EXPECT_EQ(onWork->GetType() & SUR_FILLED, 0);

    // From the lines and arcs of another sheet, optionally in reverse order.
    CSheet outline;
    for (int i = 0; i < 4; ++i) {
        CLine line(pts[i], pts[(i + 1) % 4], 2, 0);
        line.SetArrow(100, 0);
        outline.NewLine(line);
    }
    CSur* forward = work.NewSur(&outline, false);
    CSur* backward = work.NewSur(&outline, true);
    ASSERT_NE(forward, nullptr);
    ASSERT_NE(backward, nullptr);
    POSITION pos = forward->GetFirstLinePos();
    CLine* first = forward->GetNextLine(pos);
    EXPECT_EQ(first->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(first->GetStartArrow(), 0);
    pos = backward->GetFirstLinePos();
    EXPECT_EQ(backward->GetNextLine(pos)->GetStartPoint(), CDPoint(0, 10));
    EXPECT_EQ(outline.GetCount(ID_INPUT_LINE), 4); // the outline sheet keeps its items
    CSheet empty;
    EXPECT_EQ(work.NewSur(&empty, false), nullptr);
}

TEST_F(SheetSurTest, DeleteWalkCountAndMerge)
{
    CSheet sheet(0, 0, 1, nullptr);
    sheet.NewSur(Square(0, 0, 10, 10));
    sheet.NewSur(Square(20, 0, 30, 10));
    EXPECT_EQ(sheet.GetHeadSur()->GetPoint(), CDPoint(0, 0));
    int n = 0;
    for (POSITION pos = sheet.GetFirstSurPos(); pos; ++n)
        sheet.GetNextSur(pos);
    EXPECT_EQ(n, 2);
    unsigned counts[TURRET_MAX + 1] = {};
    sheet.GetCount(ID_INPUT_SUR, counts);
    EXPECT_EQ(counts[2], 2u);

    // Surfaces copied by += get a current fill.
    CSheet board(0, 0x1, 4, nullptr);
    board.SetSheetType(SHEET_BOARD);
    board += sheet;
    ASSERT_EQ(board.GetCount(ID_INPUT_SUR), 2);
    CSur* merged = board.GetHeadSur();
    EXPECT_EQ(merged->GetSurLineCount(), 56);
    EXPECT_NE(merged->GetType() & SUR_FILLED, 0);
    EXPECT_EQ(merged->GetLayerNo(), 4);

    EXPECT_EQ(sheet.DeleteSur(Square(20, 0, 30, 10)), 1);
    EXPECT_EQ(sheet.DeleteSur(Square(20, 0, 30, 10)), 0);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_SUR), 1);
}

TEST_F(SheetSurTest, WholeSheetTurnsTheFillUnlessTheLayerIsDrawnFilled)
{
    for (const int drawClass : {2, 4}) {
        CSheet sheet;
        tagLAYER layer = sheet.GetLayer();
        layer.drawClass = static_cast<std::uint8_t>(drawClass);
        sheet.SetLayer(layer);
        CSur* sur = sheet.NewSur(Square(0, 0, 10, 10));
        POSITION pos = sur->GetFirstSurLinePos();
        const CDPoint before = sur->GetNextSurLine(pos)->GetStartPoint();
        sheet.Rotate(CDPoint(0, 0), std::numbers::pi / 2);
        pos = sur->GetFirstSurLinePos();
        const CDPoint after = sur->GetNextSurLine(pos)->GetStartPoint();
        if (drawClass == 4)
            EXPECT_EQ(after, before);
        else
            EXPECT_EQ(after, CDPoint(-before.y, before.x));
        pos = sur->GetFirstLinePos();
        EXPECT_EQ(sur->GetNextLine(pos)->GetEndPoint(), CDPoint(0, 10));
    }
}

} // namespace
