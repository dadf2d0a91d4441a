// Whole-sheet changes and conversions of a layer sheet, and its copy and comparison.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"
#include "tests/support/SheetItems.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::Items;
using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;
constexpr int kPad = PartBoard::kPad;
constexpr int kTrack = PartBoard::kTrack;

class SheetTransformTest : public testing_support::BoardSheetTest
{
};

TEST_F(SheetTransformTest, CopyAndComparison)
{
    CSheet other(0, 0, 7, nullptr);
    other.SetSheetType(SHEET_SELECTION);
    CSheet empty(SHEET_WORK);
    EXPECT_TRUE(other == empty);

    sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), kTrack, 0);
    sheet.NewLand(CDPoint(1, 1), kPad);
    sheet.SetCrossLayerNo(4);
    sheet.SetCrossLayerName("pair");
    other.SetCrossLayerNo(9);
    other.NewText(CText("old", CDPoint(0, 0), 0));
    other = sheet;
    EXPECT_EQ(other.GetLayerNo(), PartBoard::kTop);
    EXPECT_EQ(other.GetSheetType(), sheet.GetSheetType());
    EXPECT_EQ(other.GetDocument(), &board.doc);
    EXPECT_EQ(other.GetCrossLayerName(), "pair");
    EXPECT_EQ(other.GetCrossLayerNo(), 9);
    EXPECT_EQ(other.GetCount(ID_INPUT_TEXT), 0);
    EXPECT_EQ(other.GetItemCount(), 2);
    EXPECT_TRUE(other == sheet);
    EXPECT_NE(other.GetHeadLine(), sheet.GetHeadLine());

    // Another item of the same count and bounds still differs.
    CSheet moved(SHEET_WORK);
    moved = sheet;
    moved.GetHeadLand()->SetTurretNo(kTrack, false);
    EXPECT_FALSE(moved == sheet);
    moved = sheet;
    moved.NewLand(CDPoint(1, 1), kPad);
    EXPECT_FALSE(moved == sheet);
}

TEST_F(SheetTransformTest, TurretAndViaChanges)
{
    CSheet empty(SHEET_WORK);
    empty.ChangeTurret(kPad, false);
    EXPECT_TRUE(empty.IsEmpty());

    sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), kTrack, 0);
    sheet.NewArc(CArc(CDPoint(3, 3), 1.0, 0.0, kPi, 0, kTrack));
    sheet.NewLand(CDPoint(1, 1), kTrack);
    CText trueType("T", CDPoint(0, 0), 0);
    trueType.GetBoundingRect();
    sheet.NewText(trueType);
    sheet.NewText(CText("S", CDPoint(0, 5), kTrack));
    sheet.ChangeTurret(kPad, false);
    EXPECT_EQ(sheet.GetHeadLine()->GetTurretNo(), kPad);
    EXPECT_EQ(sheet.GetHeadArc()->GetTurretNo(), kPad);
    EXPECT_EQ(sheet.GetHeadLand()->GetTurretNo(), kPad);
    const std::vector<CText*> texts = Items<CText>(sheet, KIND_TEXT);
    EXPECT_EQ(texts[0]->GetTurretNo(), 0);
    EXPECT_EQ(texts[1]->GetTurretNo(), kPad);

    sheet.NewVia(CVia(CDPoint(9, 9), 1, &board.doc, 0x3));
    board.doc.viaTable[2] = board.doc.viaTable[1];
    sheet.ChangeVia(2);
    EXPECT_EQ(sheet.GetHeadVia()->GetViaNo(), 2);

    sheet.SetCheck(true);
    EXPECT_TRUE(sheet.GetHeadLine()->CheckStartEdge() && sheet.GetHeadLine()->CheckEndEdge());
    EXPECT_TRUE(sheet.GetHeadArc()->CheckStartEdge() && sheet.GetHeadArc()->CheckEndEdge());
}

TEST_F(SheetTransformTest, ScalingKeepsArcsOnlyUnderEqualFactors)
{
    sheet.NewLine(CDPoint(1, 1), CDPoint(2, 1), kTrack, 0);
    sheet.NewArc(CArc(CDPoint(2, 2), 1.0, 0.0, kPi / 2, 0, kTrack));
    sheet.NewLand(CDPoint(3, 1), kPad);
    sheet.NewText(CText("T", CDPoint(1, 3), 0));
    sheet.NewHole(CDPoint(4, 4), 0.8, true, 0, 0, 0);

    CSheet even(SHEET_WORK);
    even = sheet;
    even.ScaleItem(CDPoint(0, 0), CDSize(2, 2));
    ASSERT_EQ(even.GetCount(ID_INPUT_ARC), 1);
    EXPECT_DOUBLE_EQ(even.GetHeadArc()->GetRadius(), 2.0);
    EXPECT_EQ(even.GetHeadArc()->GetCenter(), CDPoint(4, 4));
    EXPECT_EQ(even.GetHeadLine()->GetEndPoint(), CDPoint(4, 2));
    EXPECT_EQ(even.GetHeadLand()->GetPoint(), CDPoint(6, 2));
    EXPECT_EQ(even.GetHeadText()->GetPoint(), CDPoint(2, 6));
    EXPECT_EQ(even.GetHeadHole()->GetPoint(), CDPoint(8, 8));
    EXPECT_EQ(even.GetHeadLand()->GetBoundingRect().CenterPoint(), CDPoint(6, 2));

    CSheet uneven(SHEET_WORK);
    uneven = sheet;
    uneven.ScaleItem(CDPoint(0, 0), CDSize(2, 1));
    EXPECT_EQ(uneven.GetCount(ID_INPUT_ARC), 0);
    ASSERT_GT(uneven.GetCount(ID_INPUT_LINE), 2);
    EXPECT_EQ(uneven.GetItemCount(), uneven.GetCount(ID_INPUT_LINE) + 3);
    // The arc's segments are scaled: its start (3, 2) becomes (6, 2), its end (2, 3) becomes (4, 3).
    const std::vector<CLine*> lines = Items<CLine>(uneven, KIND_LINE);
    EXPECT_EQ(lines[1]->GetStartPoint(), CDPoint(6, 2));
    EXPECT_EQ(lines.back()->GetEndPoint(), CDPoint(4, 3));
    for (CLine* line : lines)
        EXPECT_EQ(line->GetLayerNo(), PartBoard::kTop);

    CSheet empty(SHEET_WORK);
    empty.ScaleItem(CDPoint(0, 0), CDSize(2, 1));
    EXPECT_TRUE(empty.IsEmpty());
}

TEST_F(SheetTransformTest, AttributeTextsMoveOnlyWhenSelected)
{
    sheet.NewText(CText("A", CDPoint(1, 1), 0));
    sheet.NewText(CText("B", CDPoint(5, 5), 0));
    sheet.SetTextSel(CDRect(0, 0, 3, 3));
    sheet.OffsetAttr(CDPoint(0, 0));
    EXPECT_EQ(sheet.GetHeadText()->GetPoint(), CDPoint(1, 1));
    sheet.OffsetAttr(CDPoint(1, 2));
    const std::vector<CText*> texts = Items<CText>(sheet, KIND_TEXT);
    EXPECT_EQ(texts[0]->GetPoint(), CDPoint(2, 3));
    EXPECT_EQ(texts[1]->GetPoint(), CDPoint(5, 5));

    sheet.MirrorXText(10);
    EXPECT_EQ(texts[0]->GetPoint(), CDPoint(18, 3));
    EXPECT_EQ(texts[1]->GetPoint(), CDPoint(5, 5));
    sheet.RotateText(CDPoint(0, 0), kPi);
    EXPECT_EQ(texts[0]->GetPoint(), CDPoint(-18, -3));
}

TEST_F(SheetTransformTest, MakePartCopiesTheWorkSheetWithoutItsLabels)
{
    CSheet work(SHEET_WORK);
    work.SetDocument(&board.doc);
    work.SetLayerNo(PartBoard::kTop);
    work.NewLine(CDPoint(0, 0), CDPoint(2, 0), kTrack, 0);
    CArc* arc = work.NewArc(CArc(CDPoint(1, 1), 0.5, 0.0, kPi, 0, kTrack));
    arc->SetCheck(true);
    work.NewLand(CDPoint(0, 0), kPad);
    for (const char* label : {"name", "REF", "vAl", "Name", "kept"})
        work.NewText(CText(label, CDPoint(3, 3), 0));
    CText property("&MAKER& ACME ", CDPoint(3, 4), 0);
    work.NewText(property);
    work.NewTer(CDPoint(0, 0), CText("1", CDPoint(0, 0), 0), 0);
    CHole* plated = work.NewHole(CDPoint(0, 0), 0.6, true, 0, 0, 0);
    plated->ModifyType(0x6, 0);
    CHole* bare = work.NewHole(CDPoint(9, 9), 0.6, true, 0, 0, 0);
    bare->ModifyType(0x4, 0);

    CPart part(CDPoint(0, 0), CDRect(-1, -1, 3, 3), 0, 0, 0.0, 0);
    part.GetRefNameText()->Disp(0);
    work.MakePart(part);
    EXPECT_EQ(part.GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(part.GetKindCount(KIND_ARC), 1);
    EXPECT_EQ(part.GetKindCount(KIND_LAND), 1);
    EXPECT_EQ(part.GetKindCount(KIND_TER), 1);
    EXPECT_EQ(part.GetKindCount(KIND_HOLE), 2);
    std::vector<std::string> texts;
    for (POSITION pos = part.GetFirstTextPos(); pos;)
        texts.push_back(part.GetNextText(pos)->GetName());
    EXPECT_EQ(texts, (std::vector<std::string>{"kept", "&MAKER&ACME"}));
    // The work sheet's lines are marked at both ends, its arcs at neither.
    EXPECT_TRUE(work.GetHeadLine()->CheckStartEdge() && work.GetHeadLine()->CheckEndEdge());
    EXPECT_FALSE(arc->CheckStartEdge() || arc->CheckEndEdge());
    POSITION pos = part.GetFirstArcPos();
    CArc* partArc = part.GetNextArc(pos);
    EXPECT_FALSE(partArc->CheckStartEdge() || partArc->CheckEndEdge());
    pos = part.GetFirstHolePos();
    EXPECT_EQ(part.GetNextHole(pos)->GetType() & 0x7, 0x1);
    EXPECT_EQ(part.GetNextHole(pos)->GetType() & 0x7, 0x0);
    EXPECT_TRUE(part.GetRefNameText()->IsDisp());
    // The work sheet keeps its items.
    EXPECT_EQ(work.GetItemCount(), 12);
}

TEST_F(SheetTransformTest, ConvertLineKeepsArcsAndAddsTheirSegments)
{
    sheet.NewArc(CArc(CDPoint(1, 1), 1.0, 0.0, kPi, 0, kTrack));
    EXPECT_EQ(sheet.ConvertLine(), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_ARC), 1);
    const int segments = sheet.GetCount(ID_INPUT_LINE);
    EXPECT_GT(segments, 1);
    for (CLine* line : Items<CLine>(sheet, KIND_LINE))
        EXPECT_EQ(line->GetLayerNo(), PartBoard::kTop);

    // A line becomes its outline and goes itself.
    CSheet lines(SHEET_WORK);
    lines.SetLayerNo(3);
    lines.NewLine(CDPoint(0, 0), CDPoint(5, 0), kTrack, 0);
    EXPECT_EQ(lines.ConvertLine(), 1);
    EXPECT_EQ(lines.GetItemCount(), lines.GetCount(ID_INPUT_LINE) + lines.GetCount(ID_INPUT_ARC));
    for (CLine* line : Items<CLine>(lines, KIND_LINE))
        EXPECT_EQ(line->GetTurretNo(), 0);
}

} // namespace
