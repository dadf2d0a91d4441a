// Part item: the part dialog, what it is given and how its answer is applied.

#include "model/items/Part.h"

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;

class PartEditTest : public ::testing::Test
{
protected:
    PartBoard board;
    FakeItemDialogs dialogs;

    CPart Part()
    {
        CPart part(CDPoint(10, 10), CDRect(9, 9, 13, 11), 0, 0, 0.0, 0);
        part.SetRefName("R1");
        part.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
        part.NewLand(CDPoint(10, 10), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewLand(CDPoint(12, 10), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewTer(CDPoint(10, 10), CText("1", CDPoint(10, 10), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewTer(CDPoint(12, 10), CText("2", CDPoint(12, 10), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewLine(CDPoint(9, 9), CDPoint(13, 9), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kSilkLineA);
        part.ReCalcTerID(&board.doc);
        return part;
    }
    static CLand* SecondLand(CPart& part)
    {
        POSITION pos = part.GetFirstLandPos();
        part.GetNextLand(pos);
        return part.GetNextLand(pos);
    }
};

TEST_F(PartEditTest, TheDialogGetsACodedCopyAndUserCoordinates)
{
    board.doc.userOriginX = 4;
    CPart part = Part();
    part.SetScale(150);
    part.SetType(PART_SMD);
    dialogs.onPart = [](PartDialogData& data) {
        POSITION pos = data.part->GetFirstLandPos();
        EXPECT_EQ(data.part->GetNextLand(pos)->GetLayerNo(), 1);
        EXPECT_EQ(data.part->GetRefNameText()->GetLayerNo(), static_cast<int>(PLC_SILKTEXT));
    };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_EQ(dialogs.lastPart.x, 6.0);
    EXPECT_EQ(dialogs.lastPart.y, 10.0);
    EXPECT_EQ(dialogs.lastPart.typeBefore, PART_SMD);
    EXPECT_EQ(dialogs.lastPart.scaleBefore, 150);
    EXPECT_FALSE(dialogs.lastPart.multiple);
    // Confirming without changes leaves the part on its board layers.
    EXPECT_EQ(SecondLand(part)->GetLayerNo(), PartBoard::kTop);
    EXPECT_EQ(part.GetRefNameText()->GetLayerNo(), PartBoard::kSilkTextA);
}

TEST_F(PartEditTest, CancelRestoresThePart)
{
    CPart part = Part();
    dialogs.answer = false;
    dialogs.onPart = [](PartDialogData& data) {
        data.part->SetRefName("R9");
        data.x = 50;
    };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_EQ(part.GetRefName(), "R1");
    EXPECT_EQ(part.GetOrg(), CDPoint(10, 10));
    EXPECT_EQ(SecondLand(part)->GetLayerNo(), PartBoard::kTop);
}

TEST_F(PartEditTest, ChangesMovesAndTurns)
{
    CPart part = Part();
    dialogs.onPart = [](PartDialogData& data) { data.part->SetRefName("R2"); };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_EQ(part.GetRefName(), "R2");

    dialogs.onPart = [](PartDialogData& data) {
        data.x = 20;
        data.angleDeg = 90;
    };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 2);
    EXPECT_EQ(part.GetOrg(), CDPoint(20, 10));
    EXPECT_NEAR(part.GetAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(SecondLand(part)->GetPoint(), CDPoint(20, 12));
}

TEST_F(PartEditTest, GoingToTheOtherSideMirrorsOnceAndComingBackRestores)
{
    CPart part = Part();
    dialogs.onPart = [](PartDialogData& data) { data.part->SetType(data.part->GetType() | PART_OTHER_SIDE); };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_FALSE(part.IsPartSide());
    EXPECT_TRUE(part.GetType() & PART_MIRRORED);
    EXPECT_EQ(SecondLand(part)->GetPoint(), CDPoint(8, 10));
    EXPECT_EQ(SecondLand(part)->GetLayerNo(), PartBoard::kBottom);
    POSITION pos = part.GetFirstTerPos();
    EXPECT_EQ(part.GetNextTer(pos)->GetLayerNo(), PartBoard::kTermB);
    EXPECT_EQ(part.GetRefNameText()->GetLayerNo(), PartBoard::kSilkTextB);

    // Editing again on the same side does not mirror again.
    dialogs.onPart = nullptr;
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_EQ(SecondLand(part)->GetPoint(), CDPoint(8, 10));

    dialogs.onPart = [](PartDialogData& data) {
        data.part->SetType(data.part->GetType() & ~PART_OTHER_SIDE);
    };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_TRUE(part.IsPartSide());
    EXPECT_FALSE(part.GetType() & PART_MIRRORED);
    EXPECT_EQ(SecondLand(part)->GetPoint(), CDPoint(12, 10));
    EXPECT_EQ(SecondLand(part)->GetLayerNo(), PartBoard::kTop);
    pos = part.GetFirstTerPos();
    EXPECT_EQ(part.GetNextTer(pos)->GetLayerNo(), PartBoard::kTermA);
}

TEST_F(PartEditTest, ScalablePartsTakeTheNewScale)
{
    CPart part = Part();
    part.SetType(PART_SCALABLE);
    part.SetScale(100);
    dialogs.onPart = [](PartDialogData& data) { data.part->SetScale(200); };
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_EQ(part.GetScale(), 200u);
    EXPECT_EQ(SecondLand(part)->GetPoint(), CDPoint(14, 10));
}

TEST_F(PartEditTest, MultipleModeKeepsTheDialogCodes)
{
    CPart part = Part();
    dialogs.onPart = [](PartDialogData& data) {
        data.part->GetPartNameText()->SetPoint(CDPoint(0x2AAAA, 128383.0));
    };
    EXPECT_EQ(part.EditPart(&board.doc, true, true), 1);
    EXPECT_TRUE(dialogs.lastPart.multiple);
    EXPECT_TRUE(dialogs.lastPart.partNameAllowed);
    EXPECT_EQ(part.GetPartNameText()->GetPoint(), CDPoint(0x2AAAA, 128383.0));
    EXPECT_EQ(SecondLand(part)->GetLayerNo(), PartBoard::kTop);
}

} // namespace
