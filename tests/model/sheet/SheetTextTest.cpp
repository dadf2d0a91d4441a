// The layer sheet's text operations.

#include "model/items/Text.h"
#include "model/sheet/Sheet.h"

#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class SheetTextTest : public ::testing::Test
{
protected:
    SheetTextTest() : frame(&doc), sheet(0, 0, 7, &doc) {}
    FakeDocument doc;
    FakeFrameServices frame;
    CSheet sheet;
};

TEST_F(SheetTextTest, NewTextStoresACopyOnTheSheet)
{
    CText mine("U1", CDPoint(1, 2), 3);
    CText* stored = sheet.NewText(mine);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &mine);
    EXPECT_EQ(stored->GetParent(), &sheet);
    EXPECT_EQ(stored->GetLayerNo(), 7);
    EXPECT_EQ(mine.GetLayerNo(), -1);
    EXPECT_EQ(stored->GetName(), "U1");
    EXPECT_EQ(stored->GetTurretNo(), 3);
    EXPECT_EQ(sheet.GetItemCount(), 1);

    mine.SetName(std::string("U2"));
    sheet.NewText(mine);
    POSITION pos = sheet.GetFirstTextPos();
    EXPECT_EQ(sheet.GetNextText(pos)->GetName(), "U1");
    EXPECT_EQ(sheet.GetNextText(pos)->GetName(), "U2");
    EXPECT_FALSE(pos);
    EXPECT_EQ(sheet.GetHeadText(), stored);

    EXPECT_EQ(sheet.DeleteText(CText("U3", CDPoint(1, 2), 3)), 0);
    EXPECT_EQ(sheet.DeleteText(CText("U1", CDPoint(1, 2), 3)), 1);
    EXPECT_EQ(sheet.GetItemCount(), 1);
    EXPECT_EQ(sheet.GetHeadText()->GetName(), "U2");
}

TEST_F(SheetTextTest, OnlyStrokeTextsCountTheirTurret)
{
    sheet.NewText(CText("S", CDPoint(0, 0), 5));
    sheet.NewText(CText("S", CDPoint(1, 0), 5));
    sheet.NewText(CText("T", CDPoint(2, 0), 0));
    std::array<unsigned, TURRET_MAX + 1> counts{};
    sheet.GetCount(ID_INPUT_TEXT, counts.data());
    EXPECT_EQ(counts[5], 2u);
    EXPECT_EQ(counts[0], 0u);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_TEXT), 3);
}

TEST_F(SheetTextTest, WholeSheetTransformsReachTheTexts)
{
    CText t("M", CDPoint(2, 3), 0);
    sheet.NewText(t);
    sheet.MirrorX(0.0);
    CText* stored = sheet.GetHeadText();
    EXPECT_DOUBLE_EQ(stored->GetPoint().x, -2.0);
    EXPECT_EQ(stored->GetOrign(), TEXT_ORG_BOTTOM_RIGHT);
    sheet.MirrorY(0.0);
    EXPECT_DOUBLE_EQ(stored->GetPoint().y, -3.0);
    EXPECT_EQ(stored->GetOrign(), TEXT_ORG_TOP_RIGHT);
    sheet.OffsetItem(CDPoint(1, 1), 0);
    EXPECT_DOUBLE_EQ(stored->GetPoint().x, -1.0);
    EXPECT_DOUBLE_EQ(stored->GetPoint().y, -2.0);
}

} // namespace
