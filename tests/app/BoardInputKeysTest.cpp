// The single keys of the input machine without a window: Enter and Apps as clicks with the
// modifiers, Backspace, the commands keys hand on, dimension and arrow toggles, arc directions and
// the part origin step, over a board document and a fake view.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/sheet/Sheet.h"
#include "tests/app/BoardInputFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct BoardInputKeysTest : BoardInputFixture
{
    CLine* SelectedLine()
    {
        return doc->GetSelectionSheet(layer)->NewLine(CDPoint(10, 10), CDPoint(30, 10), 20, 0);
    }
};

TEST_F(BoardInputKeysTest, EnterClicksWithTheModifiersHeld)
{
    input->OnInputCommand(BoardInput::kLine);
    port.cursor = CPoint(200, 100);
    EXPECT_TRUE(input->OnKeyDown(0x0D, 0));
    ASSERT_TRUE(input->m_bInputBusy);
    EXPECT_EQ(input->m_ptCentre, doc->SnapToGrid(CDPoint(20, 10), false));
    input->OnKeyDown(0x1B, 0);
    // Ctrl and Shift ride on the press (with the left button) and on the release: the press of
    // both modifiers is the gesture, and the release (no right button) ends the button state.
    input->OnKeyDown(0x0D, BoardInput::MK_CONTROL | BoardInput::MK_SHIFT);
    EXPECT_EQ(input->m_nCommand, BoardInput::kGesture);
    EXPECT_EQ(input->m_nButtonState, 0);
}

TEST_F(BoardInputKeysTest, BackspaceTakesBackTheLastSegment)
{
    input->OnInputCommand(BoardInput::kLine);
    // Nothing fixed yet: nothing to take back.
    port.cursor = CPoint(200, 100);
    input->OnKeyDown(0x0D, 0);
    EXPECT_FALSE(input->OnKeyDown(0x08, 0));
    port.cursor = CPoint(300, 100);
    input->OnMouseMove(0, port.cursor);
    input->OnKeyDown(0x0D, 0);
    ASSERT_EQ(input->m_nSegments, 1);
    ASSERT_EQ(doc->GetBoardSheet(layer)->GetCount(BoardInput::kLine), 1);
    EXPECT_TRUE(input->OnKeyDown(0x08, 0));
    EXPECT_EQ(doc->GetBoardSheet(layer)->GetCount(BoardInput::kLine), 0);
    EXPECT_EQ(input->m_nSegments, 0);
}

TEST_F(BoardInputKeysTest, KeysHandCommandsOnByTheirRows)
{
    struct Row
    {
        int key;
        int command;
        bool selection;
        int expected; // 0: nothing runs
    };
    const Row rows[] = {
        {'H', 0, false, 32968},
        {'E', 0, false, 0},
        {'E', 0, true, BoardInput::kModify},
        {'F', 0, true, 32971},
        {'R', 0, true, 32803},
        {'X', BoardInput::kMoveBase, true, BoardInput::kFlipX},
        {'Y', BoardInput::kMoveBase, true, BoardInput::kFlipY},
        {'Y', BoardInput::kArc, true, 0},
        {'D', BoardInput::kCutter, false, 32964},
        {'O', BoardInput::kCutter, false, 32965},
        {'L', BoardInput::kMoveBase, false, 32809},
    };
    for (const Row& row : rows) {
        port.commands.clear();
        doc->ClearSheets(2, true);
        if (row.selection)
            SelectedLine();
        input->m_nCommand = row.command;
        input->m_bInputBusy = false;
        input->OnKeyDown(row.key, 0);
        const std::vector<int> expected = row.expected ? std::vector<int>{row.expected} : std::vector<int>{};
        EXPECT_EQ(port.commands, expected) << static_cast<char>(row.key) << " in " << row.command;
    }
}

TEST_F(BoardInputKeysTest, F5MakesSelectedLinesDimensionsAndBack)
{
    CLine* line = SelectedLine();
    input->m_nCommand = BoardInput::kMoveBase;
    input->OnKeyDown(0x74, 0);
    EXPECT_EQ(line->GetType() & 0x7000, 0x3000);
    EXPECT_FALSE(line->IsNameEmpty());
    input->OnKeyDown(0x74, 0);
    EXPECT_EQ(line->GetType() & 0x7000, 0);
    // With Shift the angle is measured.
    input->OnKeyDown(0x74, BoardInput::MK_SHIFT);
    EXPECT_EQ(line->GetType() & 0x7000, 0x5000);
}

TEST_F(BoardInputKeysTest, F6AndF7ToggleArrowHeads)
{
    CLine* line = SelectedLine();
    input->m_nCommand = BoardInput::kMoveBase;
    input->OnKeyDown(0x75, 0);
    EXPECT_NE(line->GetStartArrow(), 0);
    EXPECT_EQ(line->GetEndArrow(), 0);
    input->OnKeyDown(0x76, 0);
    EXPECT_NE(line->GetEndArrow(), 0);
    input->OnKeyDown(0x75, 0);
    EXPECT_EQ(line->GetStartArrow(), 0);
}

TEST_F(BoardInputKeysTest, DTurnsSelectedArcsAround)
{
    CArc* arc = doc->GetSelectionSheet(layer)->NewArc(CLine(CDPoint(50, 50), CDPoint(60, 50), 20, 0), true);
    ASSERT_NE(arc, nullptr);
    const int before = arc->GetType() & 0x100;
    input->m_nCommand = BoardInput::kMoveBase;
    EXPECT_TRUE(input->OnKeyDown('D', 0));
    EXPECT_EQ(arc->GetType() & 0x100, before ^ 0x100);
    // No arc selected: D does nothing.
    doc->ClearSheets(2, true);
    EXPECT_FALSE(input->OnKeyDown('D', 0));
}

TEST_F(BoardInputKeysTest, TTogglesItemSnappingAndF11NeedsNets)
{
    const bool snap = input->m_bSnapItem;
    input->OnKeyDown('T', 0);
    EXPECT_NE(input->m_bSnapItem, snap);
    input->m_bShowNets = false;
    // Without a net list the key is not taken and nothing is shown.
    EXPECT_FALSE(input->OnKeyDown(0x7A, 0));
    EXPECT_FALSE(input->m_bShowNets);
}

} // namespace

namespace {

TEST_F(BoardInputKeysTest, OStepsTheSelectedPartToItsNextOrigin)
{
    const int origin = doc->PartLayerToLayer(0x2000000, true, false);
    CPart part(CDPoint(10, 10), CDRect(9, 9, 21, 11), 1, 0, 0.0, 0);
    part.NewLand(CDPoint(10, 10), 1)->SetLayerNo(origin);
    part.NewLand(CDPoint(20, 10), 1)->SetLayerNo(origin);
    CPart* stored = doc->GetSelectionSheet(LAYER_MAX)->NewPart(part);
    ASSERT_NE(stored, nullptr);
    input->m_nCommand = BoardInput::kMoveBase;
    EXPECT_TRUE(input->OnKeyDown('O', 0));
    // The second origin land now lies where the origin was.
    EXPECT_EQ(stored->GetOrg(), CDPoint(10, 10));
    std::vector<CDPoint> lands;
    for (POSITION pos = stored->GetFirstLandPos(); pos;)
        lands.push_back(stored->GetNextLand(pos)->GetPoint());
    EXPECT_EQ(lands, (std::vector<CDPoint>{CDPoint(0, 10), CDPoint(10, 10)}));
    // A locked part stays.
    stored->ModifyType(0x80, 0);
    input->OnKeyDown('O', 0);
    EXPECT_EQ(stored->GetOrg(), CDPoint(10, 10));
}

} // namespace
