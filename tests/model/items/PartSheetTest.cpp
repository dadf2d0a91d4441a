// The layer sheet's part operations: storing rules, building, deleting, iterating, counting by
// layer and marking bounds stale.

#include "model/items/Part.h"

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

namespace {

using testing_support::PartBoard;

class PartSheetTest : public ::testing::Test
{
protected:
    PartBoard board;

    static CPart WithSurface()
    {
        CPart part(CDPoint(0, 0), CDRect(0, 0, 4, 3), 0, 0, 0.0, 0);
        part.NewSur(testing_support::TriangleSur())->SetLayerNo(PartBoard::kTop);
        part.NewLand(CDPoint(0, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        return part;
    }
    static CSur* FirstSur(CPart& part)
    {
        POSITION pos = part.GetFirstSurPos();
        return part.GetNextSur(pos);
    }
};

TEST_F(PartSheetTest, StoredPartsKeepTheirLayersAndTheBoardFillsTheirSurfaces)
{
    CSheet work(SHEET_WORK);
    work.SetLayerNo(5);
    CPart* stored = work.NewPart(WithSurface());
    EXPECT_EQ(stored->GetParent(), &work);
    POSITION pos = stored->GetFirstLandPos();
    EXPECT_EQ(stored->GetNextLand(pos)->GetLayerNo(), PartBoard::kTop);
    EXPECT_EQ(FirstSur(*stored)->GetSurLineCount(), 0);

    CSheet viaParts(SHEET_BOARD_VIAPART);
    viaParts.SetLayerNo(LAYER_MAX);
    CPart* onBoard = viaParts.NewPart(WithSurface());
    EXPECT_GT(FirstSur(*onBoard)->GetSurLineCount(), 0);
}

TEST_F(PartSheetTest, CopiesOfPlacedBoardPartsLeaveTheBoardsGroups)
{
    const ScopedTerNetHooks oneWay{TerNetHooks{}};
    int group = 0;
    CPart part = WithSurface();
    part.SetRefName("R1");
    part.SetPlaced(1);
    part.NewTer(CDPoint(0, 0), CText("1", CDPoint(0, 0), 0))
        ->AddTailNetLine(reinterpret_cast<CNetLine*>(&group));

    CSheet board4(SHEET_BOARD_VIAPART);
    CPart* placed = board4.NewPart(part);
    POSITION pos = placed->GetFirstTerPos();
    // Stored from a part outside the board: the links come along.
    EXPECT_EQ(placed->GetNextTer(pos)->GetNetCount(), 1);

    CSheet selection(SHEET_SELECT_VIAPART);
    CPart* copy = selection.NewPart(*placed);
    pos = copy->GetFirstTerPos();
    EXPECT_EQ(copy->GetNextTer(pos)->GetNetCount(), 0);
    pos = placed->GetFirstTerPos();
    EXPECT_EQ(placed->GetNextTer(pos)->GetNetCount(), 1);

    // An unplaced board part keeps them in its copy.
    placed->SetPlaced(0);
    CPart* unplaced = selection.NewPart(*placed);
    pos = unplaced->GetFirstTerPos();
    EXPECT_EQ(unplaced->GetNextTer(pos)->GetNetCount(), 1);
}

TEST_F(PartSheetTest, BuildDeleteIterateAndCount)
{
    CSheet sheet(SHEET_BOARD_VIAPART);
    sheet.SetDocument(&board.doc);
    CPart* built = sheet.NewPart(CDPoint(1, 1), CDPoint(4, 3), CDPoint(0, 0), 8, 0x640002, 1.0, 0x12);
    EXPECT_EQ(built->GetOrg(), CDPoint(1, 1));
    EXPECT_EQ(built->GetPackageMax(), 8u);
    EXPECT_EQ(built->GetPackage(), 2u);
    EXPECT_EQ(built->GetType(), 0);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_PART), 1);

    CPart second = WithSurface();
    second.NewVia(CVia(CDPoint(2, 2), 1, nullptr, 0x3));
    sheet.NewPart(second);
    EXPECT_EQ(sheet.GetPart(1)->GetKindCount(KIND_SUR), 1);
    EXPECT_EQ(sheet.GetPart(2), nullptr);
    EXPECT_EQ(sheet.GetPart(-1), nullptr);
    int n = 0;
    for (POSITION pos = sheet.GetFirstPartPos(); pos; sheet.GetNextPart(pos))
        ++n;
    EXPECT_EQ(n, 2);

    // The parts' items per layer, with the vias of the sheet where the layer's type asks for them.
    sheet.NewVia(CVia(CDPoint(9, 9), 1, nullptr, 0x3));
    EXPECT_EQ(sheet.GetPartLayerCount(PartBoard::kTop, ID_INPUT_LAND), 1 + 1 + 1);
    EXPECT_EQ(sheet.GetPartLayerCount(PartBoard::kTop, ID_INPUT_SUR), 1);
    EXPECT_EQ(sheet.GetPartLayerCount(PartBoard::kTop, ID_INPUT_HOLE), 0);

    sheet.GetPart(1)->GetBoundingRect();
    sheet.ResetPartBoundRect();
    POSITION v = sheet.GetPart(1)->GetFirstViaPos();
    CVia* via = sheet.GetPart(1)->GetNextVia(v);
    via->GetBoundingRect();
    sheet.ResetPartBoundRect();
    // A stale via is measured again on request (its bounds follow the via table).
    board.doc.viaLand = board.doc.viaDisplay = board.doc.viaOuter = 1.0;
    EXPECT_NEAR(via->GetBoundingRect().Width(), 2.0, 1e-9);

    EXPECT_EQ(sheet.DeletePart(second), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_PART), 1);
    EXPECT_EQ(sheet.DeletePart(second), 0);
}

} // namespace
