// The item tip window of the board view.

#include "app/ToolTip2.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFontMetrics>
#include <QTimer>

namespace {

TEST(ViewToolTip, StartNeedsTextAndKeepsTheFirstAnchor)
{
    CToolTip2 tip;
    QWidget owner;
    tip.Create(&owner);
    EXPECT_EQ(tip.StartTip(QPoint(5, 5)), 0);
    tip.SetTipText("A\nB  \n ");
    EXPECT_EQ(tip.GetTipText(), "A\nB");
    EXPECT_EQ(tip.StartTip(QPoint(10, 20)), 1);
    EXPECT_EQ(tip.StartTip(QPoint(30, 40)), 0);
    EXPECT_EQ(tip.Anchor(), QPoint(10, 20));
    // Shown only after the delay.
    EXPECT_FALSE(tip.isVisible());
    QEventLoop loop;
    QTimer::singleShot(CToolTip2::kDelayMs + 200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(tip.isVisible());
    tip.HideTip();
    EXPECT_FALSE(tip.isVisible());
    EXPECT_FALSE(tip.IsPending());
}

TEST(ViewToolTip, LeadingLineBreaksAreDropped)
{
    CToolTip2 tip;
    tip.SetTipText("\n\nA\nB");
    EXPECT_EQ(tip.Lines(), QStringList({"A", "B"}));
    const QFontMetrics metrics(tip.font());
    EXPECT_EQ(tip.TipSize().height(), 2 * metrics.height() + 2);
}

TEST(ViewToolTip, LongFileLineIsCappedKeepingTheFileName)
{
    CToolTip2 tip;
    const QString line =
        QStringLiteral("<ファイル /home/user/projects/boards/very/long/folder/names/that/go/on/and/on/"
                       "and/on/even/further/than/that/board-final.vlt");
    tip.SetTipText(QStringLiteral("部品 U1\n") + line);
    bool capped = false;
    EXPECT_EQ(tip.TipSize(&capped).width(), 407);
    EXPECT_TRUE(capped);
    const QFontMetrics metrics(tip.font());
    const QString shown = CToolTip2::ElidePath(line, metrics, 404);
    EXPECT_TRUE(shown.endsWith("/board-final.vlt")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("...")) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("<ファイル /home")));
    EXPECT_LE(metrics.horizontalAdvance(shown), 404);
    // A short file line is left as it is.
    EXPECT_EQ(CToolTip2::ElidePath("<a/b.vlt", metrics, 404), "<a/b.vlt");
}

TEST(ViewToolTip, PlacementKeepsTheTipOnTheScreens)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(200, 40);
    // Below the cursor normally.
    EXPECT_EQ(CToolTip2::Place(QPoint(100, 100), size, screen, 32, false), QPoint(101, 133));
    // Near the bottom it opens above the cursor.
    EXPECT_EQ(CToolTip2::Place(QPoint(100, 1050), size, screen, 32, false), QPoint(101, 1050 - 40 - 16 + 1));
    // Past the right edge it moves left.
    EXPECT_EQ(CToolTip2::Place(QPoint(1800, 100), size, screen, 32, false).x(), 1920 - 200 + 1);
    // Several screens: never above or left of the whole desktop.
    const QRect desktop(-1280, -200, 3200, 1280);
    EXPECT_EQ(CToolTip2::Place(QPoint(-1400, -300), size, desktop, 32, true), QPoint(-1279, -199));
}

} // namespace
