// The layer sheet's arc operations: storing copies, the building forms, deleting by equality,
// iteration, counting and the arc rule of the whole-sheet move.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class SheetArcTest : public ::testing::Test
{
protected:
    SheetArcTest() : frame(&doc), sheet(0, 0, 5, nullptr)
    {
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
    CSheet sheet;
};

TEST_F(SheetArcTest, NewArcStoresACopyOnTheSheetsLayer)
{
    CArc arc(CDPoint(1, 2), 3.0, 0.0, 1.0, 0x200, 3);
    arc.SetLayerNo(9);
    CArc* stored = sheet.NewArc(arc);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &arc);
    EXPECT_TRUE(*stored == arc);
    EXPECT_EQ(stored->GetParent(), &sheet);
    EXPECT_EQ(stored->GetLayerNo(), 5);
    EXPECT_EQ(arc.GetLayerNo(), 9);
    EXPECT_EQ(sheet.GetItemCount(), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_ARC), 1);
    EXPECT_EQ(sheet.GetHeadArc(), stored);

    CArc* built = sheet.NewArc(CDPoint(0, 0), 2.0, -kPi / 2, kPi, ARC_CW, 3);
    EXPECT_NEAR(built->GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_TRUE(built->IsCW());
    EXPECT_EQ(built->GetLineWidth(), 0.2);

    int seen = 0;
    for (POSITION pos = sheet.GetFirstArcPos(); pos;) {
        const CArc* item = sheet.GetNextArc(pos);
        EXPECT_EQ(item, seen == 0 ? stored : built);
        ++seen;
    }
    EXPECT_EQ(seen, 2);

    unsigned counts[TURRET_MAX + 1] = {};
    sheet.GetCount(ID_INPUT_ARC, counts);
    EXPECT_EQ(counts[3], 2u);
}

TEST_F(SheetArcTest, CircleAroundAnEndOfALine)
{
    CLine line(CDPoint(1, 1), CDPoint(4, 5), 3, 0x400);
    const CArc* atStart = sheet.NewArc(line, true);
    EXPECT_EQ(atStart->GetCenter(), CDPoint(1, 1));
    EXPECT_NEAR(atStart->GetRadius(), 5.0, 1e-12);
    EXPECT_TRUE(atStart->IsCircle());
    EXPECT_NEAR(atStart->GetStartAngle(), std::atan2(4.0, 3.0), 1e-12);
    EXPECT_EQ(atStart->GetType(), 0x400);
    EXPECT_EQ(atStart->GetTurretNo(), 3);

    const CArc* atEnd = sheet.NewArc(line, false);
    EXPECT_EQ(atEnd->GetCenter(), CDPoint(4, 5));
    EXPECT_NEAR(atEnd->GetStartAngle(), std::atan2(-4.0, -3.0) + 2 * kPi, 1e-12);
    EXPECT_EQ(atEnd->GetStartAngle(), atEnd->GetEndAngle());
}

TEST_F(SheetArcTest, DeleteArcFreesAnEqualArc)
{
    const CArc arc(CDPoint(1, 2), 3.0, 0.0, 1.0, 0, 3);
    sheet.NewArc(arc);
    EXPECT_EQ(sheet.DeleteArc(CArc(CDPoint(1, 2), 3.0, 0.0, 1.5, 0, 3)), 0);
    EXPECT_EQ(sheet.DeleteArc(arc), 1);
    EXPECT_EQ(sheet.GetItemCount(), 0);
    EXPECT_EQ(sheet.GetHeadArc(), nullptr);
    EXPECT_EQ(sheet.DeleteArc(arc), 0);
}

TEST_F(SheetArcTest, OffsetItemLeavesStretchedArcsUnlessAllArcsMove)
{
    CArc* free = sheet.NewArc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, 0, 3);
    CArc* both = sheet.NewArc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, 0, 3);
    both->SetCheck(true);
    CArc* stretched = sheet.NewArc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, 0, 3);
    stretched->SetCheck(2, true);

    sheet.OffsetItem(CDPoint(1, 0), 0);
    EXPECT_EQ(free->GetCenter(), CDPoint(1, 0));
    EXPECT_EQ(both->GetCenter(), CDPoint(1, 0));
    EXPECT_EQ(stretched->GetCenter(), CDPoint(0, 0));
    EXPECT_NEAR(stretched->GetEndAngle(), kPi / 2, 1e-12);

    // With every arc moving, the stretched one's marked end follows the move.
    sheet.OffsetItem(CDPoint(-10, -10), 1);
    EXPECT_EQ(free->GetCenter(), CDPoint(-9, -10));
    EXPECT_EQ(stretched->GetCenter(), CDPoint(0, 0));
    EXPECT_NEAR(stretched->GetEndAngle(), kPi, 1e-12);
}

TEST_F(SheetArcTest, WholeSheetTransformsReachTheArcs)
{
    CArc* arc = sheet.NewArc(CDPoint(5, 0), 1.0, 0.0, kPi / 2, 0, 3);
    sheet.MirrorX(0.0);
    EXPECT_EQ(arc->GetCenter(), CDPoint(-5, 0));
    EXPECT_TRUE(arc->IsCW());
    sheet.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(arc->GetCenter(), CDPoint(0, -5));
    sheet.MirrorY(0.0);
    EXPECT_EQ(arc->GetCenter(), CDPoint(0, 5));
    EXPECT_FALSE(arc->IsCW());
}

} // namespace
