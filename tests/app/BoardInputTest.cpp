// The input machine without a window: timers and the focus guard, edge panning, the wiggle lock,
// characters as keypad keys and the rigid move's rectangle, over a board document and a fake view.

#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "tests/app/BoardInputFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct BoardInputTest : BoardInputFixture
{
    void SetUp() override
    {
        BoardInputFixture::SetUp();
        input->RegisterKey(0x61, [this](int) {
            keys.push_back(0x61);
            return true;
        });
    }
    void Click(CPoint p, int flags = 0)
    {
        input->OnLButtonDown(BoardInput::MK_LBUTTON | flags, p);
        input->OnLButtonUp(flags, p);
    }

    std::vector<int> keys;
};

TEST_F(BoardInputTest, FocusGuardSwallowsTheFirstClickUntilItsTimer)
{
    input->OnInputCommand(BoardInput::kLand);
    input->OnKillFocus();
    input->OnSetFocus(true);
    EXPECT_EQ(port.timers.count(ViewPort::kFocusTimer), 1u);
    Click(CPoint(200, 200));
    EXPECT_FALSE(input->m_bInputBusy);
    input->OnTimer(ViewPort::kFocusTimer);
    EXPECT_EQ(port.timers.count(ViewPort::kFocusTimer), 0u);
    Click(CPoint(200, 200));
    EXPECT_TRUE(input->m_bInputBusy);
    // A right press clears the guard at once.
    input->OnKillFocus();
    input->OnRButtonDown(BoardInput::MK_RBUTTON, CPoint(10, 10));
    EXPECT_FALSE(input->m_bIgnoreLeft);
}

TEST_F(BoardInputTest, PanTimerStopsItselfWhenAutoPanIsOff)
{
    port.StartTimer(ViewPort::kPanTimer, 300);
    input->m_bPanTimer = true;
    input->SetAutoPan(false);
    input->OnTimer(ViewPort::kPanTimer);
    EXPECT_EQ(port.timers.count(ViewPort::kPanTimer), 0u);
    EXPECT_EQ(port.scrolls, 0);
}

TEST_F(BoardInputTest, EdgePanScrollsOnlyWithTheSwitchOn)
{
    port.bars = true;
    input->OnInputCommand(BoardInput::kLine);
    Click(CPoint(2000, 1500));
    ASSERT_TRUE(input->m_bInputBusy);
    input->OnMouseMove(0, CPoint(3990, 1500));
    EXPECT_EQ(port.scrolls, 0);
    input->SetAutoPan(true);
    input->OnMouseMove(0, CPoint(3990, 1500));
    EXPECT_EQ(port.scrolls, 1);
    EXPECT_EQ(port.timers.count(ViewPort::kPanTimer), 1u);
    // Back inside the zone the timer goes.
    input->OnMouseMove(0, CPoint(2000, 1500));
    EXPECT_EQ(port.timers.count(ViewPort::kPanTimer), 0u);
}

TEST_F(BoardInputTest, NetTimerReloadsOnlyWithADocument)
{
    BoardInput orphan(nullptr, port);
    port.StartTimer(ViewPort::kNetTimer, 10000);
    orphan.OnTimer(ViewPort::kNetTimer);
    EXPECT_EQ(port.timers.count(ViewPort::kNetTimer), 0u);
}

TEST_F(BoardInputTest, WiggleStepsTheLock)
{
    profile.SetInt("Line", "MouseLock", 1);
    input->OnInputCommand(BoardInput::kLine);
    Click(CPoint(2000, 1500));
    const int lock = input->m_nLockMode;
    // Four reversals of the horizontal direction below the anchor.
    for (int i = 0; i < 5; ++i)
        input->OnMouseMove(0, CPoint(i % 2 ? 1950 : 2050, 1400));
    EXPECT_EQ(input->m_nLockMode, (lock + 1) % 3);
    EXPECT_EQ(input->m_nWiggle, 0);
}

TEST_F(BoardInputTest, MainKeyboardDigitsBecomeKeypadKeys)
{
    EXPECT_TRUE(input->OnChar('1', false));
    EXPECT_EQ(keys, std::vector<int>{0x61});
    // A keypad digit already down: the character is dropped.
    EXPECT_TRUE(input->OnChar('1', true));
    EXPECT_EQ(keys.size(), 1u);
    EXPECT_FALSE(input->OnChar('0', false));
    EXPECT_FALSE(input->OnChar('x', false));
}

TEST_F(BoardInputTest, RigidMoveCarriesTheRectangleWithTheItems)
{
    CSheet* sheet = doc->GetBoardSheet(layer);
    for (int i = 0; i < 50; ++i)
        sheet->StoreCopy(CLine(CDPoint(10 + i, 10), CDPoint(10 + i, 20), 20, 0));
    input->OnSelectAll();
    Click(CPoint(300, 150));
    ASSERT_EQ(input->m_nCommand, BoardInput::kMoving);
    ASSERT_EQ(input->m_bTrackRect, 1);
    input->OnMouseMove(0, CPoint(400, 250));
    input->OnMouseMove(0, CPoint(450, 260));
    const CDRect bounds = doc->GetItemsRect(2);
    EXPECT_NEAR(input->m_rcSelection.left, bounds.left, 1e-9);
    EXPECT_NEAR(input->m_rcSelection.top, bounds.top, 1e-9);
    EXPECT_NEAR(input->m_rcSelection.right, bounds.right, 1e-9);
    EXPECT_NEAR(input->m_rcSelection.bottom, bounds.bottom, 1e-9);
    Click(CPoint(450, 260));
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(sheet->GetCount(BoardInput::kLine), 50);
    // Undo puts the lines back where they were.
    doc->OnEditUndo();
    EXPECT_EQ(sheet->GetCount(BoardInput::kLine), 50);
    EXPECT_NEAR(sheet->GetBoundingRect().left, 10.0 - 0.5, 1.0);
}

} // namespace
