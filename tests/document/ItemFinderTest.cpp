#include "document/ItemFinder.h"
#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(ItemFinderTest, FirstEqualItemInListOrder)
{
    CSheet sheet(SHEET_WORK);
    CLine* first = sheet.NewLine(CDPoint(1, 1), CDPoint(2, 2), 1, 0);
    sheet.NewLine(CDPoint(1, 1), CDPoint(3, 3), 1, 0);
    CLine* third = sheet.NewLine(CDPoint(1, 1), CDPoint(2, 2), 1, 0);
    // Equal within the tolerance across a cell boundary of the index.
    CLand* land = sheet.NewLand(CDPoint(0.0009999995, -0.0020000004), 1);
    CText* empty = sheet.NewText(CText("", CDPoint(7, 7), 0));
    ItemFinder finder(sheet, 0x1FF, ItemFinder::EQUALITY);

    CLine probe(CDPoint(1.0000005, 1), CDPoint(2, 2), 1, 0);
    EXPECT_EQ(finder.FindEqual(probe), first);
    finder.Delete(first);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 2);
    EXPECT_EQ(finder.FindEqual(probe), third);
    CLine other(CDPoint(1, 1), CDPoint(2, 2), 2, 0); // another aperture
    EXPECT_EQ(finder.FindEqual(other), nullptr);

    CLand nearLand(CDPoint(0.001, -0.002), 1);
    EXPECT_EQ(finder.FindEqual(nearLand), land);
    CLand farLand(CDPoint(0.001003, -0.002), 1);
    EXPECT_EQ(finder.FindEqual(farLand), nullptr);

    // Empty texts are equal wherever they stand.
    CText anywhere("", CDPoint(-50, 3), 0);
    EXPECT_EQ(finder.FindEqual(anywhere), empty);
    finder.Forget(empty);
    EXPECT_EQ(finder.FindEqual(anywhere), nullptr);
    EXPECT_EQ(sheet.GetKindCount(KIND_TEXT), 1);
}

TEST(ItemFinderTest, EndsOfLinesBeforeArcs)
{
    CSheet sheet(SHEET_WORK);
    CArc* arc = sheet.NewArc(CDPoint(0, 0), 1.0, 0.0, 1.5, 0, 1);
    CLine* line = sheet.NewLine(CDPoint(5, 5), CDPoint(1, 0), 1, 0);
    ItemFinder finder(sheet, KIND_LINE | KIND_ARC, ItemFinder::ENDS);
    EXPECT_EQ(finder.FindEnd(CDPoint(1, 0.000001)), line);
    EXPECT_EQ(finder.FindEnd(CDPoint(1, 0.000002)), nullptr);
    finder.Delete(line);
    EXPECT_EQ(finder.FindEnd(CDPoint(1, 0)), arc);
    // Deleting an item other than the one found last.
    sheet.NewLine(CDPoint(9, 9), CDPoint(8, 8), 1, 0);
    ItemFinder again(sheet, KIND_LINE | KIND_ARC, ItemFinder::ENDS);
    CItemBase* tail = sheet.GetTailLine(0);
    again.FindEnd(CDPoint(1, 0));
    again.Delete(tail);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 0);
    EXPECT_EQ(again.FindEnd(CDPoint(9, 9)), nullptr);
}

} // namespace
