// The name text of lines and arcs is held only once it is used; until then the item reads and
// copies as if it held the empty text of a fresh item, and assignment keeps its rules: the name
// goes with a named item only, and an unnamed source leaves the target's own name.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ItemNameTest : public ::testing::Test
{
protected:
    ItemNameTest() : frame(&doc) { doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.5, 0.0}; }

    FakeDocument doc;
    FakeFrameServices frame;
};

TEST_F(ItemNameTest, TracksStaySmall)
{
    // A track without a name carries no text and no lock: the size of a whole board depends
    // on it.
    EXPECT_LE(sizeof(CLine), 200u);
    EXPECT_LE(sizeof(CArc), 256u);
}

TEST_F(ItemNameTest, UnnamedItemsReadAsAFreshEmptyText)
{
    const CLine line(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    EXPECT_TRUE(line.IsNameEmpty());
    EXPECT_EQ(line.GetName(), "");
    const CText fresh;
    EXPECT_TRUE(*line.GetNameText() == fresh);
    EXPECT_EQ(line.GetNameText()->GetSize(), fresh.GetSize());
    EXPECT_EQ(line.GetNameText()->GetParent(), &line); // its owner, even asked through const

    const CArc arc(CDPoint(0, 0), 2.0, 0.0, 1.0, 0, 1);
    EXPECT_EQ(arc.GetName(), "");
    EXPECT_TRUE(*arc.GetNameText() == fresh);
}

TEST_F(ItemNameTest, AssignmentCopiesANameOnlyFromANamedItem)
{
    CLine named(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    named.SetName("GND", 120, true);
    CLine plain(CDPoint(5, 5), CDPoint(6, 6), 1, 0);

    CLine copy(named);
    EXPECT_FALSE(copy.IsNameEmpty());
    EXPECT_EQ(copy.GetName(), "GND");
    EXPECT_EQ(copy.GetNameText()->GetParent(), &copy);
    EXPECT_EQ(copy.GetNameText()->GetSize(), 120);
    EXPECT_NE(copy.GetNameText(), named.GetNameText());

    // An unnamed source leaves the target's own text (which its type no longer shows).
    copy = plain;
    EXPECT_TRUE(copy.IsNameEmpty());
    EXPECT_EQ(copy.GetName(), "GND");

    CLine fromPlain(plain);
    EXPECT_EQ(fromPlain.GetName(), "");

    CArc arc(CDPoint(0, 0), 2.0, 0.0, 1.0, 0, 1);
    arc.SetName("A1", 100, true);
    CArc arcCopy(arc);
    EXPECT_EQ(arcCopy.GetName(), "A1");
    EXPECT_EQ(arcCopy.GetNameText()->GetParent(), &arcCopy);
    EXPECT_TRUE(arcCopy == arc);
}

TEST_F(ItemNameTest, ClearingTheNameOfAnUnnamedItemStillMarksItsOwners)
{
    CSheet sheet;
    CLine* line = sheet.NewLine(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    CArc* arc = sheet.NewArc(CDPoint(0, 0), 2.0, 0.0, 1.0, 0, 1);
    const CDRect before = sheet.GetBoundingRect();
    line->SetName("");
    arc->SetName("");
    EXPECT_TRUE(line->IsNameEmpty());
    EXPECT_EQ(arc->GetName(), "");
    EXPECT_TRUE(sheet.GetBoundingRect() == before);

    // A name given later grows the bounds as before.
    line->SetName("LONG NAME", 300, true);
    EXPECT_GT(std::abs(line->GetBoundingRect().Height()), 0.5);
}

TEST_F(ItemNameTest, SheetWalksOverTextsMakeNoNameTexts)
{
    // Resetting the text selection and turning the texts of a whole sheet touch only the names
    // that exist; a named line's text still turns.
    CSheet sheet;
    CLine* plain = sheet.NewLine(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    CArc* arc = sheet.NewArc(CDPoint(0, 0), 2.0, 0.0, 1.0, 0, 1);
    CLine* named = sheet.NewLine(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    named->SetName("N", 100, true);
    const CDPoint at = named->GetNameText()->GetPoint();
    sheet.ResetTextSel();
    sheet.RotateText(CDPoint(0, 0), std::acos(-1.0) / 2);
    EXPECT_EQ(plain->HeldNameText(), nullptr);
    EXPECT_EQ(arc->HeldNameText(), nullptr);
    ASSERT_NE(named->HeldNameText(), nullptr);
    EXPECT_NEAR(named->GetNameText()->GetPoint().x, -at.y, 1e-9);
    EXPECT_NEAR(named->GetNameText()->GetPoint().y, at.x, 1e-9);
}

} // namespace
