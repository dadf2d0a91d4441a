// The zoom and scroll arithmetic of the board view.

#include "app/ZoomState.h"

#include <gtest/gtest.h>

namespace {

constexpr int kBar = 16;

struct ZoomStateTest : ::testing::Test
{
    void SetUp() override
    {
        zoom.SetArea(1000, 500, kBar);
        zoom.SetZoomSizes(20000, 10000, 0, 0);
    }
    ZoomState zoom;
};

TEST_F(ZoomStateTest, FitsTheBoardAndMapsItWithYUp)
{
    EXPECT_EQ(zoom.Device(), CSize(1000, 500));
    EXPECT_FALSE(zoom.HasHBar());
    EXPECT_FALSE(zoom.HasVBar());
    EXPECT_EQ(zoom.PageStep(false), 100);
    EXPECT_EQ(zoom.LineStep(true), 5);
    // Logical (0, 0) is the bottom-left corner of the image.
    EXPECT_EQ(zoom.ToDevice(0, 0), QPointF(0, 500));
    EXPECT_EQ(zoom.ToDevice(20000, 10000), QPointF(1000, 0));
    EXPECT_EQ(zoom.ToLogical(500, 250), QPointF(10000, 5000));
}

TEST_F(ZoomStateTest, ZoomingInStopsAtTheSizeCap)
{
    ASSERT_TRUE(zoom.ZoomAt(CPoint(10000, 5000), 1000.0));
    EXPECT_EQ(zoom.Device(), CSize(262140, 131070));
    EXPECT_DOUBLE_EQ(zoom.Zoom(), 262.14);
    EXPECT_TRUE(zoom.HasHBar());
    EXPECT_TRUE(zoom.HasVBar());
    // The point stays in the middle of the client area.
    const QPointF centre = zoom.ToDevice(10000, 5000);
    EXPECT_NEAR(centre.x(), zoom.ClientWidth() / 2.0, 1.0);
    EXPECT_NEAR(centre.y(), zoom.ClientHeight() / 2.0, 1.0);
    // Once at the cap, zooming about the centre does nothing.
    EXPECT_FALSE(zoom.ZoomCentre(1.2));
}

TEST_F(ZoomStateTest, ZoomingOutBelowTheClientRefits)
{
    ASSERT_TRUE(zoom.ZoomAt(CPoint(10000, 5000), 2.0));
    EXPECT_EQ(zoom.Device(), CSize(2000, 1000));
    ASSERT_TRUE(zoom.ZoomAt(CPoint(10000, 5000), 0.25));
    EXPECT_EQ(zoom.Device(), CSize(1000, 500));
    EXPECT_FALSE(zoom.HasHBar());
    // With no scroll bar there is nothing to zoom out of.
    EXPECT_FALSE(zoom.ZoomAt(CPoint(0, 0), 0.5));
    EXPECT_FALSE(zoom.ZoomAt(CPoint(0, 0), 1.0));
}

TEST_F(ZoomStateTest, PreviousViewTwiceReturns)
{
    const ZoomViewRect fitted = zoom.View();
    ASSERT_TRUE(zoom.ZoomAt(CPoint(4000, 3000), 3.0));
    const ZoomViewRect zoomed = zoom.View();
    ASSERT_TRUE(zoom.PreviousView());
    EXPECT_EQ(zoom.View(), fitted);
    ASSERT_TRUE(zoom.PreviousView());
    EXPECT_EQ(zoom.View(), zoomed);
}

TEST_F(ZoomStateTest, WholeViewOnlyWithAScrollBar)
{
    EXPECT_FALSE(zoom.WholeView());
    zoom.ZoomAt(CPoint(4000, 3000), 3.0);
    EXPECT_TRUE(zoom.WholeView());
    EXPECT_EQ(zoom.Device(), CSize(1000, 500));
    EXPECT_DOUBLE_EQ(zoom.Zoom(), 1.0);
}

TEST_F(ZoomStateTest, ZoomRectShowsTheRectangle)
{
    ASSERT_TRUE(zoom.ZoomRect(2000, 1000, 4000, 2000));
    const QPointF a = zoom.ToDevice(2000, 2000);
    const QPointF b = zoom.ToDevice(4000, 1000);
    // The factor is taken before the scroll bars take their room.
    EXPECT_GE(a.x(), -kBar);
    EXPECT_GE(a.y(), -kBar);
    EXPECT_LE(b.x(), zoom.ClientWidth() + kBar);
    EXPECT_LE(b.y(), zoom.ClientHeight() + kBar);
    EXPECT_GT(b.x() - a.x(), zoom.ClientWidth() * 0.9);
    // A degenerate rectangle is ignored.
    const ZoomViewRect before = zoom.View();
    EXPECT_FALSE(zoom.ZoomRect(2000, 1000, 2000, 5000));
    EXPECT_EQ(zoom.View(), before);
}

TEST_F(ZoomStateTest, ThumbDragBeyond16BitsLandsTrue)
{
    zoom.ZoomAt(CPoint(10000, 5000), 100.0);
    const int target = 90000;
    ASSERT_GT(zoom.MaxScrollX(), target);
    const int pos = zoom.ScrollTarget(false, ZoomState::ThumbTrack, target);
    EXPECT_EQ(pos, target);
    zoom.SetScroll(false, pos);
    EXPECT_EQ(zoom.ScrollX(), target);
    EXPECT_EQ(zoom.ScrollTarget(false, ZoomState::Bottom, 0), zoom.MaxScrollX());
    EXPECT_EQ(zoom.ScrollTarget(false, ZoomState::Top, 0), 0);
    EXPECT_EQ(zoom.ScrollTarget(false, ZoomState::LineDown, 0), target + zoom.LineStep(false));
    EXPECT_EQ(zoom.ScrollTarget(false, ZoomState::PageUp, 0), target - zoom.PageStep(false));
}

TEST_F(ZoomStateTest, ScrollByLogicalMovesOnlyAxesWithBars)
{
    zoom.ZoomAt(CPoint(10000, 5000), 4.0);
    const int x = zoom.ScrollX();
    const int y = zoom.ScrollY();
    const QPoint moved = zoom.ScrollByLogical(1000, 1000);
    EXPECT_EQ(zoom.ScrollX(), x + 200); // 4000 px over 20000 units
    EXPECT_EQ(zoom.ScrollY(), y - 200); // y grows upward
    EXPECT_EQ(moved, QPoint(-200, 200));
    zoom.WholeView();
    EXPECT_EQ(zoom.ScrollByLogical(1000, 1000), QPoint(0, 0));
}

TEST(ZoomStateShape, OneBarTakesRoomAndASmallerImageIsCentred)
{
    ZoomState zoom;
    zoom.SetArea(1000, 500, kBar);
    zoom.SetZoomSizes(10000, 10000, 10, 10);
    // A square board in a wide window: centred across, no bars.
    EXPECT_EQ(zoom.Device(), CSize(500, 500));
    EXPECT_EQ(zoom.ScrollX(), -250);
    EXPECT_EQ(zoom.ToDevice(0, 0), QPointF(250, 500));
    // Zoomed so only the height overflows: the vertical bar narrows the client area.
    zoom.ZoomAt(CPoint(5000, 5000), 1.5);
    EXPECT_TRUE(zoom.HasVBar());
    EXPECT_FALSE(zoom.HasHBar());
    EXPECT_EQ(zoom.ClientWidth(), 1000 - kBar);
    EXPECT_EQ(zoom.ScrollX(), -(1000 - kBar - 750) / 2);
}

TEST(ZoomStateShape, ABoardWithoutSizeIgnoresResizes)
{
    ZoomState zoom;
    zoom.SetArea(800, 600, kBar);
    zoom.SetZoomSizes(0, 0, 10, 10);
    const ZoomViewRect before = zoom.View();
    zoom.Resize(1200, 900, kBar);
    EXPECT_EQ(zoom.View(), before);
    EXPECT_FALSE(zoom.ZoomAt(CPoint(0, 0), 2.0));
    EXPECT_EQ(zoom.Scale(), 0.0);
}

TEST(ZoomStateShape, GrowingTheWindowPastTheImageRefits)
{
    ZoomState zoom;
    zoom.SetArea(400, 200, kBar);
    zoom.SetZoomSizes(20000, 10000, 10, 10);
    zoom.ZoomAt(CPoint(0, 0), 1.5); // 600 x 300
    zoom.Resize(1000, 500, kBar);
    EXPECT_EQ(zoom.Device(), CSize(1000, 500));
    EXPECT_FALSE(zoom.HasHBar());
}

} // namespace
