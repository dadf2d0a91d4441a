// Status texts of the board view.

#include "app/ViewStatusText.h"
#include "tests/app/ViewFixture.h"

namespace {

TEST(ViewStatusText, LineLengthAndAngle)
{
    EXPECT_EQ(ViewStatusText::LineText(0, 0, 3, 4, true),
              "dX:+3.0000000 dY:+4.0000000 L:5.0000000 A:+53.130102");
    EXPECT_EQ(ViewStatusText::LineText(0, 0, 3, 4, false), "X:3.0000000 Y:4.0000000 L:5.0000000 A:53.130102");
    // A zero length has angle 0.
    EXPECT_EQ(ViewStatusText::LineText(1, 1, 1, 1, false), "X:1.0000000 Y:1.0000000 L:0.0000000 A:0.0000000");
}

TEST(ViewStatusText, AnglesBelowTheStart)
{
    struct Row
    {
        double dx, dy, absolute, relative;
    };
    for (const Row& r : {Row{1, 0, 0, 0}, Row{0, 1, 90, 90}, Row{-1, 0, 180, 180}, Row{0, -1, 270, -90},
                         Row{1, -1, 315, -45}}) {
        EXPECT_NEAR(ViewStatusText::Angle(r.dx, r.dy, false), r.absolute, 1e-9) << r.dx << "," << r.dy;
        EXPECT_NEAR(ViewStatusText::Angle(r.dx, r.dy, true), r.relative, 1e-9) << r.dx << "," << r.dy;
    }
}

TEST(ViewStatusText, PromptsAndLockLabels)
{
    EXPECT_EQ(ViewStatusText::Prompt(32910, false, 0), QStringLiteral("始点をクリック"));
    EXPECT_EQ(ViewStatusText::Prompt(32917, true, 1),
              QStringLiteral("Backspace:直前取消 L+/:入力モード 45度"));
    EXPECT_EQ(ViewStatusText::Prompt(32910, true, 2),
              QStringLiteral(
                  "F5:寸法 F6:始点矢印 F7:終点矢印 A:円ライン切替 Backspace:直前取消 L+/:入力モード 90度"));
    EXPECT_EQ(ViewStatusText::Prompt(32918, true, 0), QStringLiteral("R:回転 XY:反転 +-:番号増減"));
    EXPECT_EQ(ViewStatusText::Prompt(32914, false, 0), QStringLiteral("円弧の中心をクリック"));
    EXPECT_EQ(ViewStatusText::ArcLockLabel(1), QStringLiteral("15度"));
    EXPECT_EQ(ViewStatusText::DefaultText(0, 3, 1, 1.5, 2.0, 32910, 0, 0, 4, 0, 0.0),
              "L:1 T:3 V:1 X:1.50000 Y:2.00000 [32910,0,0,4,0] Len = 0.000");
}

using ViewStatusPanes = ViewFixture;

TEST_F(ViewStatusPanes, MouseMoveWritesCoordinatesFromTheUserOrigin)
{
    view->ShowStatusText(CDPoint(13.0, 14.0));
    EXPECT_TRUE(status.panes.value(1).contains("X:3.00000 Y:4.00000")) << status.panes.value(1).toStdString();
    EXPECT_EQ(status.panes.value(0), QStringLiteral("始点をクリック"));
    // The prompt pane is written only when its text changes.
    const int writes = status.writes;
    view->ShowPrompt();
    EXPECT_EQ(status.writes, writes);
}

} // namespace
