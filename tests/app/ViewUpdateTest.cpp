// Document changes reaching the board view, and what activating a board window refreshes.

#include "tests/app/ViewEditFixture.h"

#include <QApplication>

namespace {

struct ViewUpdateTest : ViewEditFixture
{
    // The rectangles painted for a change, after the paint events ran.
    std::vector<QRect> PaintedFor(int hint, const CDRect* area, CItemBase* object)
    {
        view->show();
        QApplication::processEvents();
        view->painted.clear();
        view->OnUpdate(hint, area, object);
        QApplication::processEvents();
        return view->painted;
    }
};

TEST_F(ViewUpdateTest, AnItemRepaintsItsOwnBoundsAndNoObjectEverything)
{
    CLine* line = AddLine(top, CDPoint(20, 20), CDPoint(30, 20));
    const std::vector<QRect> item = PaintedFor(0, nullptr, line);
    ASSERT_FALSE(item.empty());
    const QRect client = view->viewport()->rect();
    EXPECT_TRUE(item.front().contains(Pixel(25, 20)));
    EXPECT_LT(item.front().width(), client.width() / 2);
    const std::vector<QRect> all = PaintedFor(3, nullptr, nullptr);
    ASSERT_FALSE(all.empty());
    EXPECT_GE(all.front().width(), client.width() - 1);
    // Other hints repaint the rectangle the document names.
    const CDRect area(60, 10, 70, 20);
    const std::vector<QRect> part = PaintedFor(1, &area, nullptr);
    ASSERT_FALSE(part.empty());
    EXPECT_TRUE(part.front().contains(Pixel(65, 15)));
    EXPECT_FALSE(part.front().contains(Pixel(25, 20)));
}

TEST_F(ViewUpdateTest, BoardSizeHintResizesTheScrollableBoard)
{
    doc->SetBoardSize(CDSize(400.0, 50.0));
    view->OnUpdate(2, nullptr, nullptr);
    // The whole wider board fits the view now.
    EXPECT_GE(view->VisibleLogical().width(), 400.0 * doc->GetCoordScale() - 1.0);
    EXPECT_GE(doc->GetViewRect().Width(), 399.0);
}

TEST_F(ViewUpdateTest, ActivationRefillsTheCombosAndWatchesTheNetFile)
{
    view->OnActivateView(false);
    EXPECT_FALSE(In().m_bNetTimer);
    view->OnViewCommand(BoardInput::kVia);
    view->OnActivateView(true);
    EXPECT_TRUE(In().m_bNetTimer);
    EXPECT_FALSE(doc->IsTurretMode()); // the via combo in via input
    // Without nets there is nothing to draw: the nets' display goes off.
    EXPECT_FALSE(In().m_bShowNets);
    view->OnViewCommand(BoardInput::kLine);
    view->OnActivateView(true);
    EXPECT_TRUE(doc->IsTurretMode());
}

} // namespace
