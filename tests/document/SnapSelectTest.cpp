#include "tests/document/EditFixture.h"

#include <cmath>

namespace {

class SnapSelectTest : public EditFixture
{
protected:
    void SetGrid(int index, double xPitch, double yPitch)
    {
        tagGRID grid;
        grid.xPitch = xPitch;
        grid.yPitch = yPitch;
        grid.marked = 1;
        doc->SetGrid(index, grid);
    }
};

TEST_F(SnapSelectTest, GridSnapTruncatesTowardZero)
{
    // The user origin 25.4 is 20 pitches of 1.27: the phase is 0.
    SetGrid(0, 1.27, 1.27);
    doc->SetCurrentGrid(0);
    EXPECT_NEAR(doc->GetGridPhase(-1).xOffset, 0.0, 1e-12);
    const std::pair<double, double> cases[] = {{0.63, 0.0},  {0.64, 1.27}, {-0.64, 0.0},
                                               {1.91, 2.54}, {-1.9, 0.0},  {-2.0, -1.27}};
    for (auto [x, expected] : cases) {
        const CDPoint p = doc->SnapToGrid(CDPoint(x, x), false);
        EXPECT_NEAR(p.x, expected, 1e-9) << x;
        EXPECT_NEAR(p.y, expected, 1e-9) << x;
    }
}

TEST_F(SnapSelectTest, AttributeSnapKeepsHalfPitchOnTheLowerPoint)
{
    SetGrid(3, 1.0, 1.0);
    doc->SetAttrGrid(3);
    doc->SetUserOrigin(CDPoint(0.0, 0.0));
    profile.SetInt("Sheet", "AttrMove", 1);
    const std::pair<double, double> cases[] = {{2.5, 2.0}, {2.51, 3.0}, {2.49, 2.0}};
    for (auto [x, expected] : cases)
        EXPECT_NEAR(doc->SnapAttrPoint(CDPoint(x, 0.0), false).x, expected, 1e-12) << x;
    profile.SetInt("Sheet", "AttrMove", 2);
    EXPECT_EQ(doc->SnapAttrPoint(CDPoint(2.5, 0.3), false).x, 2.5);
}

TEST_F(SnapSelectTest, GridOfNoPitchLeavesTheCoordinate)
{
    SetGrid(0, 0.0, -1.0);
    doc->SetCurrentGrid(0);
    const CDPoint p = doc->SnapToGrid(CDPoint(1.234, -5.678), false);
    EXPECT_EQ(p.x, 1.234);
    EXPECT_EQ(p.y, -5.678);
    EXPECT_EQ(doc->GetGridPhase(0).xOffset, 0.0);
    EXPECT_EQ(doc->GetGridPhase(0).yOffset, 0.0);
}

TEST_F(SnapSelectTest, ItemSnapTakesTheNearestCandidate)
{
    AddLand(0, CDPoint(10.0, 10.0));
    AddLine(1, CDPoint(10.3, 10.0), CDPoint(20.0, 10.0));
    CDPoint p(10.2, 10.0);
    ASSERT_TRUE(doc->SnapToItem(p));
    EXPECT_NEAR(p.x, 10.3, 1e-12);
    // With snapping, the grid snap returns the item point.
    SetGrid(0, 2.54, 2.54);
    EXPECT_NEAR(doc->SnapToGrid(CDPoint(10.1, 10.0), true).x, 10.0, 1e-12);
    // Nothing near: the point stays.
    CDPoint far(100.0, 100.0);
    EXPECT_FALSE(doc->SnapToItem(far));
    EXPECT_EQ(far.x, 100.0);
}

TEST_F(SnapSelectTest, ItemSnapStopsAtTenCandidates)
{
    // Ten lands on layer 0 lie 0.4 away, the eleventh (on layer 1) 0.1: it is never looked at.
    for (int i = 0; i < 10; ++i) {
        const double a = i * 0.3;
        AddLand(0, CDPoint(50.0 + 0.4 * std::cos(a), 50.0 + 0.4 * std::sin(a)));
    }
    AddLand(1, CDPoint(50.1, 50.0));
    CDPoint p(50.0, 50.0);
    ASSERT_TRUE(doc->SnapToItem(p));
    EXPECT_NEAR(p.GetLength(CDPoint(50.0, 50.0)), 0.4, 1e-9);
    // The selection's items are candidates too.
    doc->GetSelectionSheet(0)->NewLand(CDPoint(60.05, 60.0), 1);
    CDPoint q(60.0, 60.0);
    ASSERT_TRUE(doc->SnapToItem(q));
    EXPECT_NEAR(q.x, 60.05, 1e-12);
}

TEST_F(SnapSelectTest, UserOriginRoundTrip)
{
    CDPoint p(12.5, -3.25);
    doc->ToUserOrigin(p, 0);
    EXPECT_NEAR(p.x, 12.5 - 25.4, 1e-12);
    doc->FromUserOrigin(p, 0);
    EXPECT_NEAR(p.x, 12.5, 1e-12);
    EXPECT_NEAR(p.y, -3.25, 1e-12);
}

TEST_F(SnapSelectTest, OneRectangleTwiceSelectsThenDeselects)
{
    AddLine(0, CDPoint(1, 1), CDPoint(5, 1));
    AddLine(2, CDPoint(1, 2), CDPoint(5, 2));
    AddLand(3, CDPoint(3, 3));
    AddLine(2, CDPoint(50, 50), CDPoint(60, 50)); // outside
    const CDRect rect(0, 0, 10, 10);
    EXPECT_EQ(doc->SelectInRect(rect), kLayers);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(Selected(2), 1);
    EXPECT_EQ(Selected(3), 1);
    EXPECT_EQ(OnBoard(2), 1);
    // Every replaced-items sheet is a copy of its selection sheet, keeping its own role.
    for (int layer = 0; layer < kLayers; ++layer) {
        EXPECT_TRUE(*doc->GetReplacedSheet(layer) == *doc->GetSelectionSheet(layer)) << layer;
        EXPECT_EQ(doc->GetReplacedSheet(layer)->GetSheetType(), SHEET_REPLACED);
    }
    // Both ends of a line inside the rectangle are marked.
    CLine* line = doc->GetSelectionSheet(0)->GetHeadLine();
    EXPECT_TRUE(line->CheckStartEdge() && line->CheckEndEdge());
    EXPECT_FALSE(host.repaints.empty());

    doc->SelectInRect(rect);
    for (int layer = 0; layer < kLayers; ++layer)
        EXPECT_EQ(Selected(layer), 0) << layer;
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(OnBoard(2), 2);
    EXPECT_EQ(OnBoard(3), 1);
}

TEST_F(SnapSelectTest, ViasMoveOnlyOnTheCurrentLayer)
{
    AddVia(CDPoint(2, 2));
    AddLine(1, CDPoint(1, 1), CDPoint(3, 1));
    doc->SetCurrentLayer(1);
    doc->ToggleLayerInRect(CDRect(0, 0, 5, 5), 0);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 0);
    doc->ToggleLayerInRect(CDRect(0, 0, 5, 5), 1);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_EQ(doc->GetReplacedSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 0);
    EXPECT_EQ(Selected(1), 1);
    doc->ToggleLayerInRect(CDRect(0, 0, 5, 5), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 1);
}

TEST_F(SnapSelectTest, PartsOnlyOnAPartLayerPair)
{
    CPart part(CDPoint(5, 5), CDRect(4, 4, 6, 6), 1, 0, 0.0, 0);
    part.NewLand(CDPoint(5, 5), 1)->SetLayerNo(0);
    part.NewLand(CDPoint(5, 5), 1)->SetLayerNo(2);
    doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    const CDRect rect(0, 0, 10, 10);
    doc->SetCurrentLayer(2);
    doc->ToggleLayerInRect(rect, 2);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 0);
    doc->SetCurrentLayer(0);
    doc->ToggleLayerInRect(rect, 0);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 0);
}

TEST_F(SnapSelectTest, TextSelectionTakesTextsOnly)
{
    doc->GetBoardSheet(2)->NewText(CText("A", CDPoint(2, 2), 0));
    AddLine(2, CDPoint(1, 1), CDPoint(3, 1));
    doc->SelectTextsInRect(CDRect(0, 0, 10, 10));
    EXPECT_EQ(doc->GetSelectionSheet(2)->GetKindCount(KIND_TEXT), 1);
    EXPECT_EQ(doc->GetBoardSheet(2)->GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(doc->GetReplacedSheet(2)->GetItemCount(), 1);
}

TEST_F(SnapSelectTest, DeselectSingleItemsByEquality)
{
    doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    EXPECT_EQ(doc->DeselectLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0)), 1);
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(doc->DeselectLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0)), 0);
}

TEST_F(SnapSelectTest, HiddenLayersAreNotSelected)
{
    AddLine(3, CDPoint(1, 1), CDPoint(2, 2));
    for (int set : {0, 2, 5})
        doc->GetSetSheet(set, 3)->GetLayerPoint()->enable = 0;
    doc->BuildLayerLists();
    EXPECT_EQ(doc->SelectInRect(CDRect(0, 0, 10, 10)), kLayers - 1);
    EXPECT_EQ(OnBoard(3), 1);
}

// --- Selection and edit services ---

TEST_F(SnapSelectTest, FirstSelectedItemStartsACleanRecord)
{
    doc->GetReplacedSheet(2)->NewLine(CDPoint(9, 9), CDPoint(8, 8), 2, 0);
    CLine* a = AddLine(0, CDPoint(0, 0), CDPoint(1, 0));
    CLine* b = AddLine(0, CDPoint(0, 1), CDPoint(1, 1));
    doc->SelectItem(a, -1);
    EXPECT_EQ(doc->GetReplacedSheet(2)->GetItemCount(), 0);
    doc->GetReplacedSheet(2)->NewLine(CDPoint(9, 9), CDPoint(8, 8), 2, 0);
    CItemBase* copy = doc->SelectItem(b, -1);
    EXPECT_EQ(doc->GetReplacedSheet(2)->GetItemCount(), 1);
    EXPECT_EQ(copy, doc->GetSelectionSheet(0)->GetTailLine(0));
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_EQ(Selected(0), 2);
    EXPECT_EQ(doc->GetReplacedSheet(0)->GetItemCount(), 2);
    doc->DeselectItem(copy, 0);
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(doc->GetReplacedSheet(0)->GetItemCount(), 1);
}

TEST_F(SnapSelectTest, SkipMaskOfAllKindsMovesNothing)
{
    doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    host.repaints.clear();
    doc->MoveLayerItems(0x1FF, 2, 0, true);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_TRUE(doc->GetRepaintRect().IsRectNull());
    EXPECT_TRUE(host.repaints.empty());
    doc->MoveLayerItems(0, 2, 0, true);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_FALSE(doc->GetRepaintRect().IsRectNull());
}

TEST_F(SnapSelectTest, FrameMoveLeavesClosedOutlines)
{
    CSheet* sel = doc->GetSelectionSheet(0);
    sel->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    sel->NewLine(CDPoint(1, 0), CDPoint(1, 1), 2, 0);
    sel->NewLine(CDPoint(1, 1), CDPoint(0, 0), 2, 0);
    sel->NewLine(CDPoint(5, 5), CDPoint(6, 6), 2, 0); // open
    sel->NewLand(CDPoint(3, 3), 1);
    doc->MoveLayerItemsInFrame(2, 0, true);
    EXPECT_EQ(sel->GetKindCount(KIND_LINE), 3);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetKindCount(KIND_LAND), 1);
}

TEST_F(SnapSelectTest, SetMovesFollowTheViaAndPartFlags)
{
    doc->GetSelectionSheet(1)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    EXPECT_FALSE(doc->MoveSetItems(2, 0, true, true));
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 1);
    // Without wiring or part layers enabled, vias stay where they are.
    for (int layer : {0, 1})
        doc->GetBoardSheet(layer)->ModifyType(0, 0x110001);
    doc->FillLayerCombo(false);
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(2, 2), 1, 0);
    EXPECT_TRUE(doc->MoveSetItems(2, 0, true, true));
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 1);
}

TEST_F(SnapSelectTest, CountsAndEmptiness)
{
    AddLine(0, CDPoint(0, 0), CDPoint(1, 0));
    AddLine(1, CDPoint(0, 0), CDPoint(1, 0));
    doc->GetSelectionSheet(2)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    AddVia(CDPoint(3, 3));
    EXPECT_EQ(doc->CountItems(0, ID_INPUT_LINE), 2);
    EXPECT_EQ(doc->CountItems(0, 0), 3);
    EXPECT_EQ(doc->CountItems(2, ID_INPUT_LINE), 1);
    EXPECT_EQ(doc->CountLayerItems(2, ID_INPUT_LINE), 1);
    EXPECT_FALSE(doc->IsSelectionEmpty());
    EXPECT_FALSE(doc->IsSelectionUnchanged());
    doc->ClearSheets(2, true);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_TRUE(doc->IsSelectionUnchanged());
}

TEST_F(SnapSelectTest, ChainFromAPointSharedByThreeLines)
{
    AddLine(0, CDPoint(0, 0), CDPoint(1, 0));
    AddLine(0, CDPoint(0, 0), CDPoint(0, 1));
    AddLine(0, CDPoint(-1, 0), CDPoint(0, 0));
    AddLine(0, CDPoint(1, 0), CDPoint(2, 0));        // joins a far end
    AddLine(0, CDPoint(2, 0.000002), CDPoint(3, 0)); // 2e-6 away: not joined
    AddLine(0, CDPoint(7, 7), CDPoint(8, 8));
    EXPECT_TRUE(doc->SelectChain(CDPoint(0, 0), 0, false));
    EXPECT_EQ(Selected(0), 4);
    EXPECT_EQ(OnBoard(0), 2);
    for (POSITION pos = doc->GetSelectionSheet(0)->GetFirstLinePos(); pos;) {
        CLine* line = doc->GetSelectionSheet(0)->GetNextLine(pos);
        EXPECT_TRUE(line->CheckStartEdge() && line->CheckEndEdge());
    }
    EXPECT_FALSE(doc->SelectChain(CDPoint(50, 50), 0, false));
    EXPECT_TRUE(doc->DeselectChain(CDPoint(2, 0), 0, false));
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(OnBoard(0), 6);
    EXPECT_EQ(doc->GetReplacedSheet(0)->GetItemCount(), 0);
}

TEST_F(SnapSelectTest, ChainFollowsTheCrossLayer)
{
    for (int layer : {0, 1})
        for (int set : {0, 2})
            doc->GetSetSheet(set, layer)->SetCrossLayerNo(1 - layer);
    AddLine(0, CDPoint(0, 0), CDPoint(1, 0));
    AddLine(1, CDPoint(0, 0), CDPoint(0, -1));
    doc->GetBoardSheet(1)->NewArc(CDPoint(0, -2), 1.0, M_PI / 2, M_PI, 0, 2);
    EXPECT_TRUE(doc->SelectChain(CDPoint(1, 0), 0, true));
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(Selected(1), 2);
    EXPECT_TRUE(doc->DeselectChain(CDPoint(0, 0), 0, true));
    EXPECT_EQ(Selected(0) + Selected(1), 0);
}

TEST_F(SnapSelectTest, LongChainsTakeNoStack)
{
    constexpr int n = 100000;
    CSheet* board = doc->GetBoardSheet(0);
    for (int i = 0; i < n; ++i)
        board->NewLine(CDPoint(i * 0.01, 0), CDPoint((i + 1) * 0.01, 0), 2, 0);
    EXPECT_TRUE(doc->SelectChain(CDPoint(n * 0.005, 0), 0, false));
    EXPECT_EQ(Selected(0), n);
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_TRUE(doc->DeselectChain(CDPoint(0, 0), 0, false));
    EXPECT_EQ(OnBoard(0), n);
    EXPECT_EQ(Selected(0), 0);
}

TEST_F(SnapSelectTest, CutterTargetsInPathOrder)
{
    // The path from left to right crosses three vertical lines listed out of order, one twice
    // (it is taken once), and an arc twice.
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(0, 0), CDPoint(10, 0), 2, 0);
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(0, 0.5), CDPoint(10, 0.5), 2, 0);
    AddLine(0, CDPoint(7, -1), CDPoint(7, 1));
    AddLine(0, CDPoint(2, -1), CDPoint(2, 1));
    AddLine(0, CDPoint(4, -1), CDPoint(4, 1));
    AddLine(0, CDPoint(4, 5), CDPoint(5, 5));                          // not crossed
    doc->GetBoardSheet(0)->NewArc(CDPoint(9, 0), 0.5, 0.0, 0.0, 0, 2); // a full circle
    doc->SelectCutterTargets(0x1 | 0x8);
    CSheet* sel = doc->GetSelectionSheet(0);
    ASSERT_EQ(sel->GetKindCount(KIND_LINE), 3);
    std::vector<double> xs;
    for (POSITION pos = sel->GetFirstLinePos(); pos;)
        xs.push_back(sel->GetNextLine(pos)->GetStartPoint().x);
    EXPECT_EQ(xs, (std::vector<double>{2, 4, 7}));
    EXPECT_EQ(OnBoard(0), 5);
    ASSERT_EQ(sel->GetKindCount(KIND_ARC), 1);
    // Crossed at x 8.5 and 9.5: the crossing nearer the path's start is recorded.
    CArc check(*sel->GetHeadArc());
    check.SetFxRatio(CDPoint(8.5, 0));
    EXPECT_EQ(sel->GetHeadArc()->GetFxRatio(), check.GetFxRatio());
}

} // namespace
