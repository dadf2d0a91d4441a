// The board view's drawing: layers, selection, grid dots, user origin, XOR overlay, and what the
// zoom commands do to the window.

#include "tests/app/ViewFixture.h"

#include "model/items/Line.h"
#include "model/items/Via.h"

#include <QScreen>
#include <QTest>

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;

void UseGrid(CVELTADoc& doc, double pitch)
{
    tagGRID grid;
    grid.xPitch = grid.yPitch = pitch;
    grid.xOffset = grid.yOffset = 0.0;
    grid.marked = 1;
    doc.SetGrid(0, grid);
    doc.SetCurrentGrid(0);
}

int CountColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    }
    return n;
}

using ViewDrawTest = ViewFixture;

TEST_F(ViewDrawTest, FitsTheBoardAndDrawsTheLayerInItsColour)
{
    ASSERT_TRUE(doc->IsGridShown());
    UseGrid(*doc, 2.54);
    EXPECT_EQ(view->State().Device(), CSize(1000, 500));
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(80, 30), 10, 0));
    const QImage image = Grab();
    const COLORREF colour = doc->GetLayer(0).color;
    EXPECT_EQ(image.pixel(Pixel(50, 30)), qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

TEST_F(ViewDrawTest, SelectionIsWhite)
{
    UseGrid(*doc, 2.54);
    doc->GetSelectionSheet(0)->StoreCopy(CLine(CDPoint(20, 31), CDPoint(80, 31), 10, 0));
    EXPECT_EQ(Grab().pixel(Pixel(50, 31)), kWhite);
}

TEST_F(ViewDrawTest, GridDotsEveryFifthPitchWhenDense)
{
    // 0.1 mm is one pixel here: the dots come every 0.5 mm, on the grid through the user origin.
    UseGrid(*doc, 0.1);
    const QImage image = Grab();
    const QPoint origin = Pixel(10.0, 10.0);
    EXPECT_EQ(image.pixel(origin), kRed); // the origin's centre pixel
    EXPECT_EQ(image.pixel(Pixel(10.5, 20.0)), kWhite);
    EXPECT_EQ(image.pixel(Pixel(11.0, 20.0)), kWhite);
    EXPECT_EQ(image.pixel(Pixel(10.1, 20.0)), kBlack);
    EXPECT_EQ(image.pixel(Pixel(10.3, 20.0)), kBlack);
    // Dots stay on the board.
    EXPECT_EQ(image.pixel(Pixel(10.5, 20.0) + QPoint(0, 0)), kWhite);
}

TEST_F(ViewDrawTest, ZeroPitchDrawsNeitherDotsNorOrigin)
{
    UseGrid(*doc, 0.0001);
    const QImage image = Grab();
    EXPECT_EQ(CountColour(image, kWhite), 0);
    EXPECT_EQ(CountColour(image, kRed), 0);
}

TEST_F(ViewDrawTest, NothingIsDrawnWhilePrinting)
{
    UseGrid(*doc, 1.0);
    doc->GetSelectionSheet(0)->StoreCopy(CLine(CDPoint(20, 31), CDPoint(80, 31), 10, 0));
    view->SetPrinting(true);
    const QImage image = Grab();
    EXPECT_EQ(CountColour(image, kBlack), image.width() * image.height());
    view->SetPrinting(false);
    EXPECT_GT(CountColour(Grab(), kWhite), 0);
}

TEST_F(ViewDrawTest, XorFiguresTwiceRestoreTheImage)
{
    UseGrid(*doc, 2.54);
    const QImage before = Grab();
    view->DrawFocusRect(100, 100, 300, 200);
    EXPECT_EQ(view->XorCount(), 1);
    const QImage shown = Grab();
    EXPECT_NE(shown, before);
    EXPECT_EQ(shown.pixel(100, 100), kWhite); // black inverted
    view->DrawFocusRect(100, 100, 300, 200);
    EXPECT_EQ(view->XorCount(), 0);
    EXPECT_EQ(Grab(), before);
    // The selection drawn by XOR comes and goes the same way.
    doc->GetSelectionSheet(0)->StoreCopy(CLine(CDPoint(20, 31), CDPoint(80, 31), 10, 0));
    const QImage withSelection = Grab();
    view->ToggleSelectionXor(1);
    EXPECT_EQ(Grab().pixel(Pixel(50, 31)), kBlack); // white on white
    view->ToggleSelectionXor(1);
    EXPECT_EQ(Grab(), withSelection);
}

TEST_F(ViewDrawTest, TheShownWindowHoldsWhatTheViewDraws)
{
    // Repeated tracks: from their second sighting they are written from stamps, here into the
    // window's own backing store, where the viewport sits at an offset inside the window.
    UseGrid(*doc, 2.54);
    for (int i = 0; i < 40; ++i)
        doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(5.0 + 2.0 * i, 5), CDPoint(5.0 + 2.0 * i, 40), 10, 0));
    QWidget window;
    window.resize(kWidth + 40, kHeight + 40);
    view->setParent(&window);
    view->move(13, 7);
    window.show();
    const bool exposed = QTest::qWaitForWindowExposed(&window);
    for (int pass = 0; pass < 2; ++pass) {
        view->viewport()->repaint();
        QApplication::processEvents();
    }
    const QPoint at = view->viewport()->mapTo(&window, QPoint(0, 0));
    const QImage shown =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    view->setParent(nullptr); // the fixture owns the view
    ASSERT_TRUE(exposed);
    EXPECT_EQ(at, QPoint(13, 7));
    EXPECT_EQ(shown.copy(QRect(at, view->viewport()->size())), Grab());
}

TEST_F(ViewDrawTest, WholeViewTwiceAlternates)
{
    view->OnZoomCommand(CVELTAView::ID_ZOOM_IN);
    view->OnZoomCommand(CVELTAView::ID_ZOOM_IN);
    const ZoomViewRect zoomed = view->State().View();
    ASSERT_GT(zoomed.cx, 1000);
    view->OnZoomCommand(CVELTAView::ID_ZOOM_WHOLE);
    EXPECT_EQ(view->State().Device(), CSize(1000, 500));
    view->OnZoomCommand(CVELTAView::ID_ZOOM_WHOLE);
    EXPECT_EQ(view->State().View(), zoomed);
    view->OnZoomCommand(CVELTAView::ID_ZOOM_WHOLE);
    EXPECT_EQ(view->State().Device(), CSize(1000, 500));
}

TEST_F(ViewDrawTest, ZoomCommandsStoreTheVisibleRectAndTrapDistance)
{
    profile.SetInt("Sheet", "Trap", 10);
    view->OnZoomCommand(CVELTAView::ID_ZOOM_IN);
    const CDRect stored = doc->GetViewRect();
    EXPECT_NEAR(stored.Width(), 100.0 / 1.2, 2.0); // less the scroll bar
    // Ten pixels at 12 pixels a millimetre.
    EXPECT_NEAR(doc->GetHitTolerance(), 10.0 / 12.0, 0.01);
}

TEST_F(ViewDrawTest, StoredViewIsShownAndABadOneGivesTheWholeBoard)
{
    doc->SetViewRect(CDRect(10.0, 10.0, 30.0, 20.0));
    view->ZoomToStoredView();
    EXPECT_EQ(view->State().Device(), CSize(5000, 2500));
    doc->SetViewRect(CDRect(500.0, 500.0, 600.0, 600.0)); // off the board
    view->ZoomToStoredView();
    EXPECT_EQ(view->State().Device(), CSize(1000, 500));
}

TEST_F(ViewDrawTest, ScrollingMovesPixelsAndKeepsTheImage)
{
    UseGrid(*doc, 2.54);
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(80, 30), 10, 0));
    view->ZoomAt(CPoint(5000, 2500), 4.0, false);
    view->ScrollByLogical(500, 0, false);
    // What is on screen after the pixel scroll equals a fresh drawing of the same view.
    const QImage scrolled = Grab();
    view->viewport()->update();
    EXPECT_EQ(Grab(), scrolled);
}

TEST_F(ViewDrawTest, InvalidateBoardRectCoversTheItemWithAMargin)
{
    // Nothing to assert on the window system offscreen but that huge rectangles do not overflow.
    view->InvalidateBoardRect(CDRect(-1e12, -1e12, 1e12, 1e12));
    view->InvalidateBoardRect(CDRect(10, 10, 20, 20));
    SUCCEED();
}

TEST_F(ViewDrawTest, PadAndCopperQueries)
{
    ASSERT_EQ(doc->GetCurrentLayer(), 0);
    doc->GetBoardSheet(LAYER_MAX)->StoreCopy(CVia(CDPoint(50, 25), 1, doc.get(), 0x3));
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(40, 30), 10, 0));
    const CDPoint a(50, 25);
    const CDPoint near(50.1, 25);
    const CDPoint away(60, 25);
    EXPECT_FALSE(view->IsSamePad(a, a, true));
    EXPECT_TRUE(view->IsSamePad(a, near, true));
    EXPECT_FALSE(view->IsSamePad(a, away, true));
    EXPECT_TRUE(view->IsSamePad(a, away, false));
    EXPECT_FALSE(view->IsSamePad(away, a, true)); // nothing under the first point
    EXPECT_TRUE(view->IsOnCopper(1, a));
    EXPECT_TRUE(view->IsOnCopper(1, CDPoint(30, 30)));
    EXPECT_FALSE(view->IsOnCopper(1, CDPoint(30, 40)));
    EXPECT_FALSE(view->IsOnCopper(0, a));
    EXPECT_FALSE(view->IsOnCopper(3, a));
}

} // namespace
