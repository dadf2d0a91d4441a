// The board view's scroll bars on a shown window: which bars show, the steps of their actions,
// 32-bit thumb positions, and the strip painted after a scroll.

#include "tests/app/ViewFixture.h"

#include "model/items/Line.h"

#include <QApplication>
#include <QScrollBar>

#include <cstdlib>

namespace {

struct ViewScrollTest : ViewFixture
{
    void SetUp() override
    {
        ViewFixture::SetUp();
        view->show();
        QApplication::processEvents();
    }
};

TEST_F(ViewScrollTest, BarsOnlyWhenNeeded)
{
    tagGRID grid;
    grid.xPitch = grid.yPitch = 1.0;
    doc->SetGrid(0, grid);
    doc->SetCurrentGrid(0);
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(80, 30), 20, 0));
    doc->GetBoardSheet(1)->StoreCopy(CLine(CDPoint(50, 20), CDPoint(50, 40), 20, 0));
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    view->ZoomAt(CPoint(5000, 2500), 3.0, false);
    QApplication::processEvents();
    ASSERT_TRUE(view->horizontalScrollBar()->isVisible());
    ASSERT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->State().MaxScrollX());
    EXPECT_EQ(view->viewport()->width(), view->State().ClientWidth());
    EXPECT_EQ(view->viewport()->height(), view->State().ClientHeight());
    // VELTA_VIEW_PNG=file saves the window with its bars, to look at.
    if (const char* out = std::getenv("VELTA_VIEW_PNG"))
        view->grab().save(QString::fromLocal8Bit(out));
    view->WholeView();
    QApplication::processEvents();
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
}

TEST_F(ViewScrollTest, ActionsTakeTheViewsSteps)
{
    view->ZoomAt(CPoint(5000, 2500), 3.0, false);
    QScrollBar* bar = view->horizontalScrollBar();
    const int before = view->State().ScrollX();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view->State().ScrollX(), before + view->State().LineStep(false));
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(view->State().ScrollX(),
              std::max(0, before + view->State().LineStep(false) - view->State().PageStep(false)));
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view->State().ScrollX(), view->State().MaxScrollX());
    EXPECT_EQ(bar->value(), view->State().MaxScrollX());
}

TEST_F(ViewScrollTest, ThumbBeyond16BitsLandsTrue)
{
    view->ZoomAt(CPoint(5000, 2500), 200.0, false);
    QScrollBar* bar = view->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 100000);
    bar->setSliderDown(true);
    bar->setSliderPosition(100000);
    bar->setSliderDown(false);
    EXPECT_EQ(view->State().ScrollX(), 100000);
}

TEST_F(ViewScrollTest, ScrollingPaintsOnlyTheExposedStrip)
{
    view->ZoomAt(CPoint(5000, 2500), 3.0, false);
    QApplication::processEvents();
    view->painted.clear();
    view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QApplication::processEvents();
    ASSERT_FALSE(view->painted.empty());
    const int step = view->State().LineStep(false);
    for (const QRect& r : view->painted)
        EXPECT_LE(r.width(), step + 2) << r.x() << "," << r.width();
}

TEST_F(ViewScrollTest, CursorGoesToTheLogicalPoint)
{
    const QPoint centre = view->viewport()->mapToGlobal(QPoint(500, 250));
    QCursor::setPos(centre);
    QApplication::processEvents();
    ASSERT_EQ(QCursor::pos(), centre) << "the test platform moves the pointer";
    EXPECT_TRUE(view->MoveCursorToPoint(CPoint(2000, 1000)));
    EXPECT_EQ(view->CursorPos(), QPoint(200, 400));
    // Outside the board the point is clamped to it.
    EXPECT_TRUE(view->MoveCursorToPoint(CPoint(-500, -500)));
    EXPECT_EQ(view->CursorPos(), QPoint(0, 500));
}

} // namespace
