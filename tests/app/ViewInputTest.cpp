// The board view's input driven through real Qt mouse, wheel and key events on the offscreen
// platform: chained lines with their vias, arcs, surfaces, the cutter, selection clicks, drags,
// gestures, the wheel and the focus guard, checked on the document afterwards.

#include "tests/app/ViewFixture.h"

#include "app/BoardInput.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

// The view with its popups recorded instead of run.
class InputView : public TestView
{
public:
    using TestView::TestView;
    std::vector<QString> popups;

protected:
    int ExecPopup(QMenu& menu, const QPoint&) override
    {
        QString captions;
        for (QAction* action : menu.actions())
            captions += action->text() + QLatin1Char('|');
        popups.push_back(captions);
        return 0;
    }
};

struct ViewInputTest : ViewFixture
{
    void SetUp() override
    {
        ViewFixture::SetUp();
        UseInputView<InputView>();
    }
    InputView& V() { return static_cast<InputView&>(*view); }

    void Click(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        ClickPixel(Pixel(x, y), mods);
    }
    void ClickPixel(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods);
        Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
    }
    void RightClick(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPoint p = Pixel(x, y);
        Send(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton, mods);
        Send(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton, mods);
    }
    void Move(double x, double y, Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers mods = {})
    {
        Send(QEvent::MouseMove, Pixel(x, y), Qt::NoButton, buttons, mods);
    }
    void MovePixel(QPoint p, Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers mods = {})
    {
        Send(QEvent::MouseMove, p, Qt::NoButton, buttons, mods);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(view.get(), key, mods);
    }
    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers mods)
    {
        QWheelEvent event(QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    }

    int Lines(int layer) { return doc->GetBoardSheet(layer)->GetCount(BoardInput::kLine); }
    int Vias() { return doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kVia); }
    CVia* FirstVia() { return doc->GetBoardSheet(LAYER_MAX)->GetHeadVia(); }
    int WireBit(int layer) { return 1 << (doc->GetBoardSheet(layer)->GetWLayer() - 1); }
};

// --- Chained line ----------------------------------------------------------------------------------

TEST_F(ViewInputTest, LineTwoClicksOnOnePointFixNothing)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    Move(20, 20);
    Click(20, 20);
    EXPECT_EQ(Lines(top), 0);
    EXPECT_TRUE(In().m_bInputBusy);
    Move(30, 20);
    Click(30, 20);
    EXPECT_EQ(Lines(top), 1);
    EXPECT_EQ(In().m_nSegments, 1);
    // The next segment floats from the end of the fixed one.
    EXPECT_EQ(In().m_ptCentre, CDPoint(30, 20));
}

TEST_F(ViewInputTest, LayerChangePutsOneViaWithBothBits)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    Move(30, 20);
    Click(30, 20);
    ASSERT_EQ(Lines(top), 1);
    // The floating pair goes over to the cross layer.
    Key(Qt::Key_C);
    ASSERT_EQ(doc->GetCurrentLayer(), bottom);
    Move(30, 30);
    Click(30, 30);
    ASSERT_EQ(Lines(bottom), 1);
    ASSERT_EQ(Vias(), 1);
    EXPECT_EQ(FirstVia()->GetPoint(), CDPoint(30, 20));
    EXPECT_EQ(FirstVia()->GetWireLay(), WireBit(top) | WireBit(bottom));
}

TEST_F(ViewInputTest, ClicksOnTheLastEndDropAndTakeBackAVia)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    Move(30, 20);
    Click(30, 20);
    ASSERT_EQ(Lines(top), 1);
    // Second click on the end: a via with only this layer's bit, input on the cross layer.
    Click(30, 20);
    ASSERT_EQ(Vias(), 1);
    EXPECT_EQ(FirstVia()->GetWireLay(), WireBit(top));
    EXPECT_EQ(doc->GetCurrentLayer(), bottom);
    // Third: the via goes and the layer changes back.
    Click(30, 20);
    EXPECT_EQ(Vias(), 0);
    EXPECT_EQ(doc->GetCurrentLayer(), top);
    EXPECT_EQ(Lines(top), 1);
}

TEST_F(ViewInputTest, RightClickWithoutSegmentEndsTheInput)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    ASSERT_TRUE(In().m_bInputBusy);
    Move(25, 25);
    RightClick(25, 25, Qt::ShiftModifier);
    EXPECT_FALSE(In().m_bInputBusy);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(Lines(top), 0);
    EXPECT_TRUE(V().popups.empty());
}

TEST_F(ViewInputTest, ShiftRightClickStepsBackASegment)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    Move(30, 20);
    Click(30, 20);
    Move(30, 30);
    Click(30, 30);
    ASSERT_EQ(Lines(top), 2);
    RightClick(30, 35, Qt::ShiftModifier);
    EXPECT_EQ(Lines(top), 1);
    EXPECT_EQ(In().m_nSegments, 1);
    EXPECT_TRUE(In().m_bInputBusy);
    EXPECT_EQ(In().m_ptCentre, CDPoint(30, 20));
}

TEST_F(ViewInputTest, EscapeEndsAChainAndClearsTheFloatingLines)
{
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    Move(30, 20);
    Click(30, 20);
    Move(40, 20);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(In().m_bInputBusy);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(Lines(top), 1);
    EXPECT_EQ(In().m_nCommand, BoardInput::kLine);
}

// --- Arc ---------------------------------------------------------------------------------------------

struct ArcCase
{
    int lock;
    double step; // degrees the end angle keeps to
};

class ViewInputArcTest : public ViewInputTest, public ::testing::WithParamInterface<ArcCase>
{
};

TEST_P(ViewInputArcTest, EndFollowsTheUnsnappedCursorUnderTheLock)
{
    view->OnViewCommand(BoardInput::kArc);
    Click(50, 25);
    Move(60, 25);
    Click(60, 25); // radius 10, the arc floats
    ASSERT_EQ(In().m_nArcStep, 2);
    In().m_nLockMode = GetParam().lock;
    // An off-grid point: the end angle comes from it, not from the snapped one.
    const double a = 37.0 * 3.14159265358979 / 180.0;
    const QPoint p = Pixel(50 + 10 * std::cos(a), 25 + 10 * std::sin(a));
    MovePixel(p);
    ClickPixel(p);
    CSheet* board = doc->GetBoardSheet(top);
    ASSERT_EQ(board->GetCount(BoardInput::kArc), 1);
    CArc* arc = board->GetHeadArc();
    const double sweep = std::fabs(arc->GetEndAngle() - arc->GetStartAngle()) * 180.0 / 3.14159265358979;
    if (GetParam().step == 0.0) {
        EXPECT_NEAR(std::fmod(sweep, 360.0), 37.0, 1.0);
    } else {
        const double steps = sweep / GetParam().step;
        EXPECT_NEAR(steps, std::round(steps), 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Locks, ViewInputArcTest,
                         ::testing::Values(ArcCase{0, 0.0}, ArcCase{1, 15.0}, ArcCase{2, 45.0}));

TEST_F(ViewInputTest, ShiftGivesAFullCircle)
{
    view->OnViewCommand(BoardInput::kArc);
    Click(50, 25);
    Move(60, 25);
    Click(60, 25);
    Move(50, 35);
    Click(50, 35, Qt::ShiftModifier);
    CSheet* board = doc->GetBoardSheet(top);
    ASSERT_EQ(board->GetCount(BoardInput::kArc), 1);
    EXPECT_TRUE(board->GetHeadArc()->IsCircle());
}

TEST_F(ViewInputTest, FloatingArcIgnoresMovesWithButtonOrModifier)
{
    view->OnViewCommand(BoardInput::kArc);
    Click(50, 25);
    Move(60, 25);
    Click(60, 25);
    ASSERT_NE(In().m_pFloatArc, nullptr);
    Move(50, 35);
    const double end = In().m_pFloatArc->GetEndAngle();
    Move(40, 25, Qt::NoButton, Qt::ShiftModifier);
    Move(40, 24, Qt::NoButton, Qt::ControlModifier);
    Move(41, 25, Qt::RightButton);
    EXPECT_EQ(In().m_pFloatArc->GetEndAngle(), end);
    Move(40, 25);
    EXPECT_NE(In().m_pFloatArc->GetEndAngle(), end);
}

// --- Surface -----------------------------------------------------------------------------------------

TEST_F(ViewInputTest, TriangleClosesIntoASurface)
{
    for (bool ctrl : {false, true}) {
        SCOPED_TRACE(ctrl);
        doc->GetBoardSheet(top)->DeleteContents();
        view->OnViewCommand(BoardInput::kSurface);
        Click(20, 10);
        Move(40, 10);
        Click(40, 10);
        Move(30, 30);
        Click(30, 30);
        Move(20, 10);
        Click(20, 10, ctrl ? Qt::ControlModifier : Qt::NoModifier);
        CSheet* board = doc->GetBoardSheet(top);
        ASSERT_EQ(board->GetCount(BoardInput::kSurface), 1);
        EXPECT_EQ(board->GetCount(BoardInput::kLine), 0);
        EXPECT_EQ((board->GetHeadSur()->GetType() & 0x8000) != 0, ctrl);
        EXPECT_FALSE(In().m_bInputBusy);
        EXPECT_TRUE(doc->IsSelectionEmpty());
    }
}

TEST_F(ViewInputTest, OutlineInsideASurfaceBecomesItsCutOut)
{
    auto outline = [&](std::initializer_list<CDPoint> points) {
        view->OnViewCommand(BoardInput::kSurface);
        for (const CDPoint& p : points) {
            Move(p.x, p.y);
            Click(p.x, p.y);
        }
    };
    outline({{10, 5}, {60, 5}, {60, 45}, {10, 45}, {10, 5}});
    CSheet* board = doc->GetBoardSheet(top);
    ASSERT_EQ(board->GetCount(BoardInput::kSurface), 1);
    const std::size_t before = doc->GetUndoHistory().size();
    outline({{20, 10}, {30, 10}, {25, 20}, {20, 10}});
    EXPECT_EQ(board->GetCount(BoardInput::kSurface), 1);
    const auto& history = doc->GetUndoHistory();
    ASSERT_GT(history.size(), before);
    // The last two steps: the surface before (3) and after (5).
    EXPECT_EQ(history.back(), 5u);
    bool sawBefore = false;
    for (std::size_t i = before; i < history.size(); ++i)
        sawBefore = sawBefore || history[i] == 3u;
    EXPECT_TRUE(sawBefore);
}

// --- Cutter ------------------------------------------------------------------------------------------

TEST_F(ViewInputTest, CutterFirstClickOnALineSplitsItIntoAMove)
{
    doc->GetBoardSheet(top)->StoreCopy(CLine(CDPoint(10, 20), CDPoint(50, 20), 20, 0));
    view->OnViewCommand(BoardInput::kCutter);
    Click(30, 20);
    EXPECT_EQ(In().m_nCommand, BoardInput::kMoving);
    EXPECT_TRUE(In().m_bInputBusy);
    EXPECT_FALSE(doc->IsSelectionEmpty());
}

TEST_F(ViewInputTest, CutterElsewhereStartsAPath)
{
    view->OnViewCommand(BoardInput::kCutter);
    Click(30, 30);
    EXPECT_EQ(In().m_nCommand, BoardInput::kCutter);
    Click(30, 30); // no length: nothing
    EXPECT_EQ(In().m_nSegments, 0);
    Move(40, 30);
    Click(40, 30);
    EXPECT_EQ(In().m_nSegments, 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kLine), 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

// --- Selection clicks and moves ------------------------------------------------------------------------

TEST_F(ViewInputTest, CtrlClickingTheLastSelectedItemAwayAsksForACommand)
{
    doc->GetBoardSheet(top)->StoreCopy(CLine(CDPoint(10, 20), CDPoint(50, 20), 20, 0));
    view->OnViewCommand(BoardInput::kLine);
    Click(30, 20, Qt::ControlModifier);
    ASSERT_FALSE(doc->IsSelectionEmpty());
    EXPECT_EQ(In().m_nCommand, BoardInput::kMoveBase);
    Click(30, 20, Qt::ControlModifier);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(In().m_nCommand, BoardInput::kLine);
    EXPECT_EQ(status.panes.value(0), QStringLiteral("コマンドを選択してください"));
}

TEST_F(ViewInputTest, CtrlClickWhileMovingDropsACopyPerClick)
{
    doc->GetBoardSheet(top)->StoreCopy(CLine(CDPoint(10, 20), CDPoint(20, 20), 20, 0));
    view->OnViewCommand(BoardInput::kLine);
    Click(15, 20, Qt::ControlModifier);
    Click(15, 20); // base point
    ASSERT_EQ(In().m_nCommand, BoardInput::kMoving);
    Move(15, 30);
    Click(15, 30, Qt::ControlModifier);
    EXPECT_EQ(In().m_nCommand, BoardInput::kCopying);
    Move(15, 40);
    Click(15, 40);
    Move(15, 45);
    Click(15, 45);
    Key(Qt::Key_Escape);
    // The original moved to the Ctrl click, and one copy per later click.
    EXPECT_EQ(Lines(top), 3);
    CSheet* board = doc->GetBoardSheet(top);
    for (POSITION pos = board->GetFirstItemPos(KIND_LINE); pos;)
        EXPECT_NE(static_cast<CLine*>(board->GetNextItem(KIND_LINE, pos))->GetStartPoint().y, 20.0);
    // The move itself went into the history: undo brings the original back.
    ASSERT_TRUE(doc->IsSelectionEmpty());
    for (int i = 0; i < 3; ++i)
        doc->OnEditUndo();
    ASSERT_EQ(Lines(top), 1);
    EXPECT_EQ(board->GetHeadLine()->GetStartPoint(), CDPoint(10, 20));
}

// --- Drags, gestures, wheel ------------------------------------------------------------------------------

TEST_F(ViewInputTest, DragBeyondEightPixelsStartsRangeSelection)
{
    view->OnViewCommand(BoardInput::kLine);
    const QPoint p = Pixel(50, 25);
    Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    MovePixel(p + QPoint(8, 8), Qt::LeftButton);
    EXPECT_EQ(In().m_nCommand, BoardInput::kLine);
    MovePixel(p + QPoint(9, 0), Qt::LeftButton);
    EXPECT_EQ(In().m_nCommand, BoardInput::kRange);
    EXPECT_EQ(status.panes.value(0), QStringLiteral("選択範囲を指定します"));
    Send(QEvent::MouseButtonRelease, p + QPoint(9, 0), Qt::LeftButton, Qt::NoButton);
    // Nothing was inside: back to the input command.
    EXPECT_EQ(In().m_nCommand, BoardInput::kLine);
}

TEST_F(ViewInputTest, TwoButtonGesturesChooseTheZoomModes)
{
    struct Row
    {
        QPoint offset;
        int mode;
        const char* prompt;
    };
    const Row rows[] = {{{-11, -21}, 1, "拡大表示します"},
                        {{11, 21}, 7, "表示範囲を指定します"},
                        {{0, 50}, 8, "図面のセンター移動"},
                        {{0, -50}, 8, "図面のセンター移動"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        view->OnViewCommand(BoardInput::kLine);
        const QPoint p = Pixel(50, 25);
        Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
        MovePixel(p + row.offset, Qt::LeftButton | Qt::RightButton);
        EXPECT_EQ(In().m_nCommand, row.mode);
        EXPECT_EQ(status.panes.value(0), QString::fromUtf8(row.prompt));
        Send(QEvent::MouseButtonRelease, p + row.offset, Qt::LeftButton, Qt::RightButton);
        Send(QEvent::MouseButtonRelease, p + row.offset, Qt::RightButton, Qt::NoButton);
        EXPECT_GT(In().m_nCommand, 9);
        view->WholeView();
    }
}

TEST_F(ViewInputTest, CtrlWheelOutsideTheClientZoomsAboutTheCentre)
{
    view->show();
    QApplication::processEvents();
    view->ZoomAt(CPoint(3000, 2000), 3.0, false);
    QApplication::processEvents();
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QRectF before = view->VisibleLogical();
    // Over the scroll bar, outside the client area.
    QWheelEvent event(QPointF(2, 10), QPointF(bar->mapToGlobal(QPoint(2, 10))), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &event);
    const QRectF after = view->VisibleLogical();
    EXPECT_LT(after.width(), before.width());
    EXPECT_NEAR(after.center().x(), before.center().x(), before.width() * 0.01);
    EXPECT_NEAR(after.center().y(), before.center().y(), before.height() * 0.01);
}

TEST_F(ViewInputTest, ImpossibleEventOrdersPlaceNothing)
{
    view->OnViewCommand(BoardInput::kLine);
    const QPoint p = Pixel(20, 20);
    // Release and double click with no press, wheel with both buttons.
    Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
    Send(QEvent::MouseButtonRelease, p, Qt::MiddleButton, Qt::NoButton);
    QWheelEvent wheel(QPointF(p), QPointF(view->viewport()->mapToGlobal(p)), QPoint(), QPoint(0, 120),
                      Qt::LeftButton | Qt::RightButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    // A click off the board.
    Click(-50, -50);
    Move(-40, -50);
    Click(-40, -50);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_FALSE(In().m_bInputBusy);
    EXPECT_EQ(Vias(), 0);
}

// --- Focus and scrolling -----------------------------------------------------------------------------------

TEST_F(ViewInputTest, ClickRightAfterFocusPlacesNothing)
{
    view->OnViewCommand(BoardInput::kLand);
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(view.get(), &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(view.get(), &in);
    Click(20, 20);
    EXPECT_FALSE(In().m_bInputBusy);
    QTest::qWait(150);
    // A loaded machine may deliver the timer late.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !In().m_bIgnoreLeft; }, 2000));
    Click(20, 20);
    EXPECT_TRUE(In().m_bInputBusy);
    Move(30, 20);
    Click(30, 20);
    EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLand), 1);
}

TEST_F(ViewInputTest, RangeRectangleKeepsItsBoardCornersWhileScrolling)
{
    view->show();
    QApplication::processEvents();
    view->ZoomAt(CPoint(5000, 2500), 3.0, false);
    QApplication::processEvents();
    view->OnViewCommand(BoardInput::kLine);
    const QPoint p = Pixel(50, 25);
    In().m_bIgnoreLeft = false;
    Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    MovePixel(p + QPoint(40, 30), Qt::LeftButton);
    ASSERT_EQ(In().m_nCommand, BoardInput::kRange);
    const CDPoint anchor = view->DeviceToBoard(In().m_ptPress);
    view->ScrollLine(1, 1);
    QApplication::processEvents();
    const CDPoint after = view->DeviceToBoard(In().m_ptPress);
    EXPECT_NEAR(after.x, anchor.x, 0.05);
    EXPECT_NEAR(after.y, anchor.y, 0.05);
    EXPECT_NE(QPoint(In().m_ptPress.x, In().m_ptPress.y), p);
}

} // namespace

namespace {

TEST_F(ViewInputTest, DoubleClickIsNeverAlsoAPress)
{
    view->OnViewCommand(BoardInput::kLand);
    const QPoint p = Pixel(20, 20);
    Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(In().m_bInputBusy);
    Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    // The floating land went; nothing was placed by the second click.
    EXPECT_FALSE(In().m_bInputBusy);
    EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLand), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
}

TEST_F(ViewInputTest, MiddleClickStepsTheLockWhenTheProfileSaysSo)
{
    profile.SetInt("Line", "MidLineLock", 1);
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 20);
    const int lock = In().m_nLockMode;
    const QPoint p = Pixel(25, 20);
    Send(QEvent::MouseButtonPress, p, Qt::MiddleButton, Qt::MiddleButton);
    Send(QEvent::MouseButtonRelease, p, Qt::MiddleButton, Qt::NoButton);
    EXPECT_EQ(In().m_nLockMode, (lock + 1) % 3);
    // With Ctrl held at the release nothing happens.
    Send(QEvent::MouseButtonPress, p, Qt::MiddleButton, Qt::MiddleButton);
    Send(QEvent::MouseButtonRelease, p, Qt::MiddleButton, Qt::NoButton, Qt::ControlModifier);
    EXPECT_EQ(In().m_nLockMode, (lock + 1) % 3);
}

TEST_F(ViewInputTest, RightClickWithNothingFloatingShowsTheInputPopup)
{
    view->OnViewCommand(BoardInput::kCutter);
    doc->GetBoardSheet(LAYER_MAX)->StoreCopy(CLine(CDPoint(10, 10), CDPoint(20, 10), 0, 0));
    RightClick(40, 40);
    ASSERT_EQ(V().popups.size(), 1u);
    EXPECT_TRUE(V().popups.back().contains(QStringLiteral("カッター編集")));
}

TEST_F(ViewInputTest, WheelTurnsASelectionByThirtyDegrees)
{
    doc->GetBoardSheet(top)->StoreCopy(CLine(CDPoint(20, 20), CDPoint(30, 20), 20, 0));
    view->OnViewCommand(BoardInput::kLand);
    Click(25, 20, Qt::ControlModifier);
    ASSERT_FALSE(doc->IsSelectionEmpty())
        << In().m_nCommand << " " << In().m_bInputBusy << " " << doc->GetCurrentLayer();
    Wheel(Pixel(25, 20), 120, Qt::NoModifier);
    CLine* line = doc->GetSelectionSheet(top)->GetHeadLine();
    ASSERT_NE(line, nullptr);
    const CDPoint s = line->GetStartPoint();
    const CDPoint e = line->GetEndPoint();
    const double angle = std::atan2(e.y - s.y, e.x - s.x) * 180.0 / 3.14159265358979;
    EXPECT_NEAR(std::fabs(angle), 30.0, 1e-6);
}

// Draws a chained line and saves the view (to VELTA_INPUT_PNG when set, to look at it under Xvfb
// with QT_QPA_PLATFORM=xcb, or offscreen); the floating segment shows beside the fixed ones.
TEST_F(ViewInputTest, ChainedLineScreenshot)
{
    QTemporaryDir temporary;
    QString out = qEnvironmentVariable("VELTA_INPUT_PNG");
    if (out.isEmpty())
        out = temporary.filePath("chain.png");
    view->show();
    QApplication::processEvents();
    // Showing the view gives it the focus: clicks count once the focus guard has passed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !In().m_bIgnoreLeft; }, 2000));
    view->OnViewCommand(BoardInput::kLine);
    Click(20, 15);
    Move(45, 15);
    Click(45, 15);
    Move(45, 35);
    Click(45, 35);
    Move(70, 40);
    QApplication::processEvents();
    const QImage before = view->grab().toImage();
    EXPECT_TRUE(before.save(out));
    EXPECT_EQ(Lines(top), 2);
    // The floating segment follows the cursor: moving it changes the picture.
    Move(70, 10);
    QApplication::processEvents();
    EXPECT_NE(view->grab().toImage(), before);
}

} // namespace
