// The board view's edit and display commands run as the menus run them, checked on the document:
// modify through the item dialogs, surface convert and break, closing the cutter path, trap and
// part-number modes, the display ranges, and the enable rules of these commands.

#include "tests/app/ViewFixture.h"

#include "app/BoardInput.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeItemDialogs.h"

namespace {

struct ViewDisplayTest : ViewFixture
{
    void SetUp() override
    {
        ViewFixture::SetUp();
        layer = doc->GetWireLayerList().front();
        doc->SelectLayer(layer);
    }
    BoardInput& In() { return view->Input(); }
    CSheet* Board() { return doc->GetBoardSheet(layer); }
    void Square(double x, double y, double side)
    {
        CSheet outline;
        outline.NewLine(CDPoint(x, y), CDPoint(x + side, y), 1, 0);
        outline.NewLine(CDPoint(x + side, y), CDPoint(x + side, y + side), 1, 0);
        outline.NewLine(CDPoint(x + side, y + side), CDPoint(x, y + side), 1, 0);
        outline.NewLine(CDPoint(x, y + side), CDPoint(x, y), 1, 0);
        Board()->NewSur(&outline, false);
    }
    bool Enabled(int id)
    {
        bool enabled = false;
        bool checked = false;
        EXPECT_TRUE(view->OnUpdateViewCommand(id, enabled, checked)) << id;
        return enabled;
    }
    bool Checked(int id)
    {
        bool enabled = false;
        bool checked = false;
        view->OnUpdateViewCommand(id, enabled, checked);
        return checked;
    }
    void SelectAll() { ASSERT_TRUE(view->OnViewCommand(BoardInput::kSelectAll)); }

    int layer = 0;
    FakeItemDialogs dialogs;
};

TEST_F(ViewDisplayTest, ModifyWithoutAChangeRecordsNothing)
{
    Board()->NewLine(CDPoint(10, 10), CDPoint(20, 10), 2, 0);
    SelectAll();
    const std::size_t history = doc->GetUndoHistory().size();
    dialogs.answer = true; // OK with nothing changed
    view->OnViewCommand(CVELTAView::ID_MODIFY);
    EXPECT_EQ(dialogs.calls, 1);
    EXPECT_EQ(doc->GetUndoHistory().size(), history);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(Board()->GetCount(BoardInput::kLine), 1);
}

TEST_F(ViewDisplayTest, ModifyWithAChangeIsOneUndoStep)
{
    Board()->NewLine(CDPoint(10, 10), CDPoint(20, 10), 2, 0);
    SelectAll();
    dialogs.onLine = [](LineDialogData& data) { data.item->SetTurretNo(3); };
    view->OnViewCommand(CVELTAView::ID_MODIFY);
    ASSERT_EQ(Board()->GetCount(BoardInput::kLine), 1);
    EXPECT_EQ(Board()->GetHeadLine()->GetTurretNo(), 3);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    doc->OnEditUndo();
    ASSERT_EQ(Board()->GetCount(BoardInput::kLine), 1);
    EXPECT_EQ(Board()->GetHeadLine()->GetTurretNo(), 2);
    EXPECT_FALSE(doc->CanUndo());
}

TEST_F(ViewDisplayTest, BreakingTwoSurfacesIsOneUndoStep)
{
    Square(10, 10, 5);
    Square(30, 10, 5);
    SelectAll();
    ASSERT_TRUE(Enabled(CVELTAView::ID_SURFACE_CONVERT));
    view->OnViewCommand(CVELTAView::ID_SURFACE_CONVERT);
    EXPECT_EQ(Board()->GetCount(BoardInput::kSurface), 0);
    EXPECT_EQ(Board()->GetCount(BoardInput::kLine), 8);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    doc->OnEditUndo();
    EXPECT_EQ(Board()->GetCount(BoardInput::kSurface), 2);
    EXPECT_EQ(Board()->GetCount(BoardInput::kLine), 0);
    EXPECT_FALSE(doc->CanUndo());
}

TEST_F(ViewDisplayTest, AClosedOutlineBecomesOneSurfaceAndAStrayLineStays)
{
    Board()->NewLine(CDPoint(10, 10), CDPoint(15, 10), 1, 0);
    Board()->NewLine(CDPoint(15, 10), CDPoint(15, 15), 1, 0);
    Board()->NewLine(CDPoint(15, 15), CDPoint(10, 10), 1, 0);
    Board()->NewLine(CDPoint(40, 40), CDPoint(45, 40), 1, 0);
    SelectAll();
    view->OnViewCommand(CVELTAView::ID_SURFACE_CONVERT);
    EXPECT_EQ(Board()->GetCount(BoardInput::kSurface), 1);
    EXPECT_EQ(Board()->GetCount(BoardInput::kLine), 1);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    doc->OnEditUndo();
    EXPECT_EQ(Board()->GetCount(BoardInput::kSurface), 0);
    EXPECT_EQ(Board()->GetCount(BoardInput::kLine), 4);
}

TEST_F(ViewDisplayTest, HomeTwiceTogglesBetweenTheRangeAndThePreviousView)
{
    view->OnViewCommand(CVELTAView::ID_ZOOM_IN);
    view->OnViewCommand(CVELTAView::ID_ZOOM_IN);
    view->OnViewCommand(32853); // the visible area becomes display 1
    const CDRect range = doc->GetViewRect();
    view->OnViewCommand(CVELTAView::ID_ZOOM_WHOLE);
    const CDRect whole = doc->GetViewRect();
    ASSERT_FALSE(whole == range);
    view->OnViewCommand(CVELTAView::ID_SHOW_RANGE1);
    EXPECT_EQ(doc->GetViewRect(), range);
    view->OnViewCommand(CVELTAView::ID_SHOW_RANGE1);
    EXPECT_NEAR(doc->GetViewRect().left, whole.left, 0.02);
    EXPECT_NEAR(doc->GetViewRect().right, whole.right, 0.02);
    view->OnViewCommand(CVELTAView::ID_SHOW_RANGE1);
    EXPECT_EQ(doc->GetViewRect(), range);
}

TEST_F(ViewDisplayTest, TrapAndPartNumberModesToggle)
{
    EXPECT_FALSE(Checked(CVELTAView::ID_TRAP));
    view->OnViewCommand(CVELTAView::ID_TRAP);
    EXPECT_TRUE(In().m_bSnapItem);
    EXPECT_TRUE(Checked(CVELTAView::ID_TRAP));
    view->OnViewCommand(CVELTAView::ID_TRAP);
    EXPECT_FALSE(In().m_bSnapItem);

    In().m_nCommand = BoardInput::kLand;
    In().m_nInputCommand = BoardInput::kLand;
    view->OnViewCommand(CVELTAView::ID_PART_NUMBER_CLICK);
    EXPECT_EQ(In().m_nCommand, BoardInput::kPartNumberClick);
    EXPECT_EQ(In().m_nSavedCommand, BoardInput::kLand);
    EXPECT_TRUE(Checked(CVELTAView::ID_PART_NUMBER_CLICK));
    view->OnViewCommand(CVELTAView::ID_PART_NUMBER_CLICK);
    EXPECT_EQ(In().m_nCommand, BoardInput::kLand);
}

TEST_F(ViewDisplayTest, ClosingTheCutterPathJoinsItsEnds)
{
    BoardInput& in = In();
    in.m_nCommand = in.m_nInputCommand = BoardInput::kCutter;
    EXPECT_FALSE(Enabled(CVELTAView::ID_CLOSE_CUTTER));
    in.m_bInputBusy = true;
    in.m_nSegments = 2;
    in.m_ptFirst = CDPoint(10, 10);
    in.m_ptCentre = CDPoint(20, 15);
    ASSERT_TRUE(Enabled(CVELTAView::ID_CLOSE_CUTTER));
    view->OnViewCommand(CVELTAView::ID_CLOSE_CUTTER);
    CSheet* path = doc->GetBoardSheet(LAYER_MAX);
    ASSERT_EQ(path->GetCount(BoardInput::kLine), 1);
    EXPECT_EQ(path->GetHeadLine()->GetStartPoint(), CDPoint(20, 15));
    EXPECT_EQ(path->GetHeadLine()->GetEndPoint(), CDPoint(10, 10));
    EXPECT_FALSE(in.m_bInputBusy);
}

TEST_F(ViewDisplayTest, LayerMoveNeedsAMoveOfMoreThanViasAndParts)
{
    EXPECT_FALSE(Enabled(CVELTAView::ID_LAYER_MOVE));
    doc->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(5, 5), 1, 0);
    SelectAll();
    ASSERT_EQ(In().m_nCommand, BoardInput::kMoveBase);
    EXPECT_FALSE(Enabled(CVELTAView::ID_LAYER_MOVE)); // only a via
    EXPECT_FALSE(Enabled(CVELTAView::ID_LAYER_SETTINGS));
    EXPECT_TRUE(Enabled(CVELTAView::ID_MODIFY));
    view->OnViewCommand(BoardInput::kCancel);
    Board()->NewLine(CDPoint(10, 10), CDPoint(20, 10), 2, 0);
    SelectAll();
    EXPECT_TRUE(Enabled(CVELTAView::ID_LAYER_MOVE));
    EXPECT_TRUE(Enabled(CVELTAView::ID_TURRET_SETTINGS));
    view->OnViewCommand(BoardInput::kCancel);
    EXPECT_TRUE(Enabled(CVELTAView::ID_LAYER_SETTINGS));
    EXPECT_FALSE(Enabled(CVELTAView::ID_MODIFY));
}

} // namespace
