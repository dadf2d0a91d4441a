// The board view's single keys driven through real Qt key events on the offscreen platform: the
// lock keys, line and arc switching, Delete and the keypad in input commands, the part number,
// Enter, Shift, the arrows at the board's edge, Page Up in a surface, vias (J, G), surface windows
// (W), the auto-pan switch, commands posted to the frame and the F8 pick square.

#include "tests/app/ViewFixture.h"

#include "app/BoardInput.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The view with the commands it runs and posts recorded.
class KeyView : public TestView
{
public:
    using TestView::TestView;
    std::vector<int> ran;
    std::vector<int> posted;

    bool RunCommand(int id) override
    {
        ran.push_back(id);
        return TestView::RunCommand(id);
    }
    void PostFrameCommand(int id) override { posted.push_back(id); }
};

CSur Square(double x0, double y0, double x1, double y1)
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], 2, 0));
    sur.SetTurretNo(2);
    sur.DeleteSurLine();
    return sur;
}

struct ViewKeysTest : ViewFixture
{
    void SetUp() override
    {
        ViewFixture::SetUp();
        UseInputView<KeyView>();
    }
    KeyView& V() { return static_cast<KeyView&>(*view); }

    void Click(double x, double y)
    {
        Send(QEvent::MouseButtonPress, Pixel(x, y), Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, Pixel(x, y), Qt::LeftButton, Qt::NoButton);
    }
    void Move(double x, double y) { Send(QEvent::MouseMove, Pixel(x, y), Qt::NoButton, Qt::NoButton); }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(key), mods);
    }
    void Char(char c) { QTest::keyClick(view.get(), c); }
    // Line input with one point given and the cursor at (x, y), lock 0.
    void StartLine(double x, double y)
    {
        view->OnViewCommand(BoardInput::kLine);
        Click(20, 20);
        Move(x, y);
        In().m_nLockMode = 0;
    }
};

// --- Locks, line and arc ------------------------------------------------------------------------------

TEST_F(ViewKeysTest, LockKeysStepTheFloatingSegment)
{
    StartLine(30, 25);
    ASSERT_TRUE(In().m_bInputBusy);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_L);
        seen.push_back(In().m_nLockMode);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0}));
    // "+" from either keyboard: 0 and 2 go to 1, 1 to 2.
    Char('+');
    EXPECT_EQ(In().m_nLockMode, 1);
    Key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(In().m_nLockMode, 2);
    // Lock 2: the bend is square to the anchor on the longer side.
    EXPECT_EQ(In().m_ptEnd, CDPoint(30, 20));
    EXPECT_EQ(In().m_pFloatLine->GetEndPoint(), CDPoint(30, 20));
    EXPECT_EQ(In().m_pFloatLine2->GetStartPoint(), CDPoint(30, 20));
    Char('+');
    EXPECT_EQ(In().m_nLockMode, 1);
    // "/" ends any lock and leaves none alone.
    Char('/');
    EXPECT_EQ(In().m_nLockMode, 0);
    EXPECT_EQ(In().m_ptEnd, CDPoint(30, 25));
    Char('/');
    EXPECT_EQ(In().m_nLockMode, 0);
    Key(Qt::Key_L);
    Key(Qt::Key_L);
    Key(Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_EQ(In().m_nLockMode, 0);
}

TEST_F(ViewKeysTest, ASwitchesToTheArcAndBackKeepingTheLock)
{
    StartLine(30, 25);
    Key(Qt::Key_L);
    ASSERT_EQ(In().m_nLockMode, 1);
    const CDPoint bend = In().m_ptEnd;
    Key(Qt::Key_A);
    EXPECT_EQ(In().m_nCommand, BoardInput::kArc);
    EXPECT_EQ(In().m_nArcStep, 3);
    EXPECT_EQ(In().m_nInputCommand, BoardInput::kLine);
    EXPECT_EQ(In().m_pFloatLine2, nullptr);
    ASSERT_NE(In().m_pFloatLine, nullptr);
    EXPECT_EQ(In().m_pFloatLine->GetEndPoint(), bend);
    EXPECT_EQ(doc->GetCurrentSelectionSheet()->GetCount(BoardInput::kLine), 1);
    Key(Qt::Key_A);
    EXPECT_EQ(In().m_nCommand, BoardInput::kLine);
    EXPECT_EQ(In().m_nArcStep, -1);
    EXPECT_EQ(In().m_nLockMode, 1);
    ASSERT_NE(In().m_pFloatLine2, nullptr);
    EXPECT_EQ(doc->GetCurrentSelectionSheet()->GetCount(BoardInput::kLine), 2);
}

TEST_F(ViewKeysTest, AInArcInputAtAnotherStepDoesNothing)
{
    view->OnViewCommand(BoardInput::kArc);
    Click(20, 20);
    ASSERT_EQ(In().m_nArcStep, 1);
    Key(Qt::Key_A);
    EXPECT_EQ(In().m_nCommand, BoardInput::kArc);
    EXPECT_EQ(In().m_nArcStep, 1);
}

TEST_F(ViewKeysTest, DFlipsTheBendOfALockedSegmentOnly)
{
    StartLine(30, 25);
    // Unlocked: the segment is straight, nothing to flip.
    Key(Qt::Key_D);
    EXPECT_EQ(In().m_ptEnd, CDPoint(30, 25));
    Key(Qt::Key_L);
    Key(Qt::Key_L);
    ASSERT_EQ(In().m_ptEnd, CDPoint(30, 20));
    Key(Qt::Key_D);
    EXPECT_EQ(In().m_ptEnd, CDPoint(20, 25));
    EXPECT_EQ(In().m_pFloatLine->GetEndPoint(), CDPoint(20, 25));
    EXPECT_EQ(In().m_pFloatLine2->GetStartPoint(), CDPoint(20, 25));
}

// --- Delete, keypad, part number ------------------------------------------------------------------------

TEST_F(ViewKeysTest, DeleteRunsOnlyOutsideInputMoveAndCopy)
{
    StartLine(30, 25);
    ASSERT_FALSE(doc->IsSelectionEmpty());
    Key(Qt::Key_Delete);
    EXPECT_TRUE(V().ran.empty());
    Key(Qt::Key_Escape);
    doc->GetSelectionSheet(top)->NewText(CText("T1", CDPoint(5, 5), 0));
    for (int command : {int(BoardInput::kMoving), int(BoardInput::kCopying), int(BoardInput::kTerminal),
                        int(BoardInput::kCutter)}) {
        In().m_nCommand = command;
        Key(Qt::Key_Delete);
        EXPECT_TRUE(V().ran.empty()) << command;
    }
    In().m_nCommand = BoardInput::kMoveBase;
    Key(Qt::Key_Delete);
    EXPECT_EQ(V().ran, std::vector<int>{57632});
}

TEST_F(ViewKeysTest, KeypadDigitsSetTheTextOriginExceptInTerminalInput)
{
    CText* text = doc->GetSelectionSheet(top)->NewText(CText("T1", CDPoint(5, 5), 0));
    const int before = text->GetType();
    In().m_nCommand = BoardInput::kTerminal;
    Key(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(text->GetType(), before);
    In().m_nCommand = BoardInput::kMoveBase;
    Key(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_NE(text->GetType(), before);
    // The main keyboard's digit is the same key.
    const int centred = text->GetType();
    Char('7');
    EXPECT_NE(text->GetType(), centred);
}

TEST_F(ViewKeysTest, MinusKeepsThePartNumberAtZeroOrMore)
{
    In().m_nCommand = BoardInput::kPartNumberClick;
    Char('+');
    Char('+');
    EXPECT_EQ(In().m_ref.number, 2);
    for (int i = 0; i < 4; ++i)
        Char('-');
    EXPECT_EQ(In().m_ref.number, 0);
    Key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(In().m_ref.number, 0);
}

// --- Enter, Shift -----------------------------------------------------------------------------------------

TEST_F(ViewKeysTest, EnterClicksAtTheCursor)
{
    view->OnViewCommand(BoardInput::kLine);
    In().m_ptCursor = CDPoint(40.3, 20.2);
    // The arrow puts the (logical) cursor on the grid; Enter clicks there.
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    ASSERT_TRUE(In().m_bInputBusy);
    EXPECT_EQ(In().m_ptCentre, CDPoint(41, 20));
}

TEST_F(ViewKeysTest, HeldShiftTogglesRelativeCoordinatesOnce)
{
    StartLine(30, 25);
    const bool before = V().IsRelative();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(view.get(), &press);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
        QApplication::sendEvent(view.get(), &repeat);
    }
    EXPECT_NE(V().IsRelative(), before);
    // Not busy: Shift does nothing.
    Key(Qt::Key_Escape);
    const bool now = V().IsRelative();
    QApplication::sendEvent(view.get(), &press);
    EXPECT_EQ(V().IsRelative(), now);
}

// --- Arrows, pages ----------------------------------------------------------------------------------------

TEST_F(ViewKeysTest, ArrowsStopAtTheBoardEdgeOnTheGrid)
{
    In().m_nCommand = 0;
    In().m_ptCursor = CDPoint(99.7, 20.3);
    // Clamped to the width, the whole point snapped.
    Key(Qt::Key_Right);
    EXPECT_EQ(In().m_ptCursor, CDPoint(100, 20));
    Key(Qt::Key_Right);
    EXPECT_EQ(In().m_ptCursor, CDPoint(100, 20));
    In().m_ptCursor = CDPoint(30.2, 0.4);
    Key(Qt::Key_Down);
    EXPECT_EQ(In().m_ptCursor, CDPoint(30, 0));
    // Shift steps by the line division.
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(In().m_ptCursor, CDPoint(30, std::min(50, V().LineDivision())));
}

TEST_F(ViewKeysTest, ShiftPageUpStepsTheToolButNotInAStartedSurface)
{
    view->OnViewCommand(BoardInput::kSurface);
    Click(20, 20);
    Move(30, 20);
    Click(30, 20);
    ASSERT_EQ(In().m_nSegments, 1);
    const int turret = doc->GetCurrentTurret();
    Key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(doc->GetCurrentTurret(), turret);
    Key(Qt::Key_Escape);
    view->OnViewCommand(BoardInput::kLine);
    const int lineTurret = doc->GetCurrentTurret();
    Key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_NE(doc->GetCurrentTurret(), lineTurret);
}

TEST_F(ViewKeysTest, PageUpZoomsIn)
{
    const double before = view->ZoomFactor();
    In().m_ptCursor = CDPoint(50, 25);
    Key(Qt::Key_PageUp);
    EXPECT_GT(view->ZoomFactor(), before);
    Key(Qt::Key_PageDown);
    EXPECT_NEAR(view->ZoomFactor(), before, before * 1e-6);
}

// --- J, G, W ---------------------------------------------------------------------------------------------

TEST_F(ViewKeysTest, JTakesAViaAwayAsOneUndoableStep)
{
    doc->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(30, 20), 1, 0x3);
    In().m_ptCursor = CDPoint(30, 20);
    Key(Qt::Key_J);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kVia), 0);
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kVia), 1);
}

TEST_F(ViewKeysTest, JPutsAViaOnCopperOnlyWhereOneMayGo)
{
    doc->GetBoardSheet(top)->NewLine(CDPoint(10, 20), CDPoint(50, 20), 2, 0);
    In().m_ptCursor = CDPoint(30, 20);
    Key(Qt::Key_J);
    ASSERT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kVia), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadVia()->GetPoint(), CDPoint(30, 20));
    // A line on a layer that is not a wiring layer: no via there.
    int other = -1;
    for (const auto& entry : doc->GetDisplayList()) {
        const auto& wires = doc->GetWireLayerList();
        if (entry.second < LAYER_MAX && std::find(wires.begin(), wires.end(), entry.second) == wires.end()) {
            other = entry.second;
            break;
        }
    }
    ASSERT_GE(other, 0);
    doc->GetBoardSheet(other)->NewLine(CDPoint(10, 40), CDPoint(50, 40), 2, 0);
    In().m_ptCursor = CDPoint(30, 40);
    Key(Qt::Key_J);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kVia), 1);
}

TEST_F(ViewKeysTest, CtrlGInvertsSelectedViasAtTheFirstPlaneLayer)
{
    CVia* via = doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(30, 20), 1, 0x3);
    const int mask = via->GetWireLay();
    const std::size_t history = doc->GetUndoHistory().size();
    // No plane layer: nothing happens.
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(via->GetWireLay(), mask);
    EXPECT_FALSE(doc->IsModified());
    // Wiring positions 2 and the last are planes: Ctrl takes the first, Shift the last.
    const int count = doc->GetWireLayerCount();
    ASSERT_GE(count, 2);
    for (int pos : {2, count}) {
        CSheet* sheet = doc->GetBoardSheet(doc->GetWireLayer(pos));
        sheet->SetType(sheet->GetType() | 0x8);
    }
    CVia expected(*via);
    expected.InvertWire(2);
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(via->GetWireLay(), expected.GetWireLay());
    EXPECT_NE(via->GetWireLay(), mask);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetUndoHistory().size(), history);
    expected.InvertWire(count);
    Key(Qt::Key_G, Qt::ShiftModifier);
    EXPECT_EQ(via->GetWireLay(), expected.GetWireLay());
}

TEST_F(ViewKeysTest, WMakesASelectedSurfaceAWindowOfTheOneAroundIt)
{
    CSheet* board = doc->GetBoardSheet(top);
    CSheet* sel = doc->GetSelectionSheet(top);
    board->NewSur(Square(5, 5, 45, 40));
    sel->NewSur(Square(10, 10, 20, 20));
    sel->NewSur(Square(60, 10, 70, 20));
    In().m_nCommand = BoardInput::kMoveBase;
    Key(Qt::Key_W);
    EXPECT_TRUE(sel->IsEmpty());
    // The container with its window, and the surface that fits nowhere back on the board.
    ASSERT_EQ(board->GetCount(BoardInput::kSurface), 2);
    int windows = 0;
    for (POSITION pos = board->GetFirstSurPos(); pos;)
        windows += board->GetNextSur(pos)->GetWndCount();
    EXPECT_EQ(windows, 1);
    // One step takes it back: the container without the window, the window a surface again.
    doc->OnEditUndo();
    EXPECT_EQ(board->GetCount(BoardInput::kSurface), 3);
    windows = 0;
    for (POSITION pos = board->GetFirstSurPos(); pos;)
        windows += board->GetNextSur(pos)->GetWndCount();
    EXPECT_EQ(windows, 0);
}

TEST_F(ViewKeysTest, WWithNoContainerChangesNothing)
{
    CSheet* sel = doc->GetSelectionSheet(top);
    sel->NewSur(Square(60, 10, 70, 20));
    In().m_nCommand = BoardInput::kMoveBase;
    Key(Qt::Key_W);
    EXPECT_EQ(sel->GetCount(BoardInput::kSurface), 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

// --- Switches, posted commands, F8
// ---------------------------------------------------------------------------

TEST_F(ViewKeysTest, F14AndScrollLockToggleTheAutoPanSwitch)
{
    const bool before = In().IsAutoPan();
    Key(Qt::Key_F14);
    EXPECT_NE(In().IsAutoPan(), before);
    Key(Qt::Key_ScrollLock);
    EXPECT_EQ(In().IsAutoPan(), before);
}

TEST_F(ViewKeysTest, PAndSArePostedToTheFrame)
{
    Key(Qt::Key_P);
    EXPECT_TRUE(V().posted.empty());
    Key(Qt::Key_S);
    doc->GetSelectionSheet(top)->NewText(CText("T1", CDPoint(5, 5), 0));
    Key(Qt::Key_P);
    EXPECT_EQ(V().posted, (std::vector<int>{32961, 32795}));
}

TEST_F(ViewKeysTest, F8PicksTextsWithinTenPixelsOfTheCursor)
{
    CText* placed = doc->GetBoardSheet(top)->NewText(CText("T1", CDPoint(30, 20), 0));
    ASSERT_NE(placed, nullptr);
    In().m_nCommand = 0;
    In().m_ptCursor = CDPoint(30.3, 20.3);
    Key(Qt::Key_Right);
    Key(Qt::Key_Left);
    ASSERT_EQ(In().m_ptCursor, CDPoint(30, 20.3));
    Key(Qt::Key_F8);
    const CDRect pick = In().m_rcPick;
    const double pixel = std::fabs(view->DeviceToBoard(CPoint(1, 0)).x - view->DeviceToBoard(CPoint(0, 0)).x);
    EXPECT_NEAR(std::fabs(pick.right - pick.left), 20 * pixel, 1e-6);
    EXPECT_NEAR(std::fabs(pick.bottom - pick.top), 20 * pixel, 1e-6);
    EXPECT_EQ(doc->GetSelectionSheet(top)->GetCount(BoardInput::kText), 1);
    EXPECT_EQ(In().m_nCommand, BoardInput::kAttrMove);
    EXPECT_TRUE(In().m_bInputBusy);
    // Nothing under the square: nothing selected, the command stays.
    Key(Qt::Key_Escape);
    doc->ClearSheets(0, true);
    In().m_nCommand = 0;
    Key(Qt::Key_F8);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(In().m_nCommand, 0);
}

} // namespace
