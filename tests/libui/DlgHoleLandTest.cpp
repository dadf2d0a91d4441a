// Hole and land dialogs, run by the items' edit operations with the Qt dialogs installed.

#include "libui/DlgHole.h"
#include "libui/DlgLand.h"
#include "libui/NumEdit.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/ItemDialogFixture.h"

#include <numbers>

namespace {

class DlgHoleTest : public ItemDialogFixture
{
protected:
    FakeDocument doc;
};

TEST_F(DlgHoleTest, LongHoleRadiusFollowsTheHeight)
{
    CHole hole(CDPoint(5, 5), 1.0, false, 3.0, 0.5, 0.0);
    ASSERT_FALSE(hole.IsHole());
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgHole::IdLong), Qt::Checked);
        EXPECT_DOUBLE_EQ(Text(d, CDlgHole::IdRadius).toDouble(), 0.5);
        EXPECT_TRUE(Edit(d, CDlgHole::IdRadius)->isReadOnly());
        EXPECT_FALSE(Enabled(d, CDlgHole::IdRadiusSpin));
        EXPECT_FALSE(Enabled(d, CDlgHole::IdDummy));
        EXPECT_FALSE(Enabled(d, CDlgHole::IdCoupon));
        Type(d, CDlgHole::IdDiameter, "1.6");
        EXPECT_DOUBLE_EQ(Text(d, CDlgHole::IdRadius).toDouble(), 0.8);
        Shot(d, "hole-long");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 1);
    EXPECT_DOUBLE_EQ(hole.GetHoleDia(), 1.6);
    EXPECT_DOUBLE_EQ(hole.GetHoleRadius(), 0.8);
    EXPECT_DOUBLE_EQ(hole.GetHoleWidth(), 3.0);
}

TEST_F(DlgHoleTest, LongHoleAsWideAsHighBecomesRound)
{
    CHole hole(CDPoint(5, 5), 1.0, false, 3.0, 0.5, 0.0);
    OnDialog([](QDialog* d) {
        Type(d, CDlgHole::IdWidth, "1");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 1);
    EXPECT_TRUE(hole.IsHole());
    EXPECT_DOUBLE_EQ(hole.GetHoleWidth(), 0.0);
}

TEST_F(DlgHoleTest, SquareHoleRadiusOverHalfTheHeightIsRefused)
{
    CHole hole(CDPoint(5, 5), 1.0, false, 3.0, 0.2, 0.0);
    ASSERT_TRUE(hole.IsHoleRect());
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgHole::IdSquare), Qt::Checked);
        EXPECT_FALSE(Edit(d, CDlgHole::IdRadius)->isReadOnly());
        Type(d, CDlgHole::IdRadius, "0.6");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("設定範囲エラー"));
    EXPECT_DOUBLE_EQ(hole.GetHoleRadius(), 0.2);
}

TEST_F(DlgHoleTest, MarksExcludeEachOtherAndLeaveShapedHoles)
{
    CHole hole(CDPoint(5, 5), 1.0, true, 0.0, 0.0, 0.0);
    OnDialog([](QDialog* d) {
        Click(d, CDlgHole::IdDummy);
        EXPECT_EQ(State(d, CDlgHole::IdDummy), Qt::Checked);
        Click(d, CDlgHole::IdCoupon);
        EXPECT_EQ(State(d, CDlgHole::IdCoupon), Qt::Checked);
        EXPECT_EQ(State(d, CDlgHole::IdDummy), Qt::Unchecked);
        Click(d, CDlgHole::IdSquare);
        EXPECT_EQ(State(d, CDlgHole::IdCoupon), Qt::Unchecked);
        EXPECT_FALSE(Enabled(d, CDlgHole::IdCoupon));
        Click(d, CDlgHole::IdRound);
        EXPECT_TRUE(Enabled(d, CDlgHole::IdCoupon));
        EXPECT_FALSE(Enabled(d, CDlgHole::IdWidth));
        Click(d, CDlgHole::IdDummy);
        Shot(d, "hole-round");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 1);
    EXPECT_TRUE(hole.IsCheckHole());
    EXPECT_FALSE(hole.IsTestHole());
}

TEST_F(DlgHoleTest, NewHolePositionNeedsBothCoordinates)
{
    doc.userOriginX = 10.0;
    CHole hole(CDPoint(15, 5), 1.0, true, 0.0, 0.0, 0.0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("ホール入力"));
        EXPECT_EQ(Text(d, CDlgHole::IdX), "***");
        Type(d, CDlgHole::IdX, "3");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, false, 0), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("座標指定エラー"));

    OnDialog([](QDialog* d) { Ok(d); });
    EXPECT_EQ(hole.InputHole(&doc, false, 0), 1);
    EXPECT_EQ(hole.GetPoint(), CDPoint(15, 5));

    OnDialog([](QDialog* d) {
        Type(d, CDlgHole::IdX, "1+2");
        Type(d, CDlgHole::IdY, "4");
        Ok(d);
    });
    EXPECT_EQ(hole.InputHole(&doc, false, 0), 2);
    EXPECT_EQ(hole.GetPoint(), CDPoint(13, 4));
}

TEST_F(DlgHoleTest, FailingFormulaKeepsTheDialogOpenAsTyped)
{
    CHole hole(CDPoint(5, 5), 1.0, true, 0.0, 0.0, 0.0);
    OnDialog([](QDialog* d) {
        Type(d, CDlgHole::IdX, "2/0");
        Ok(d);
        EXPECT_EQ(Text(d, CDlgHole::IdX), "2/0");
    });
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_GE(messages.Count(), 1u);
    EXPECT_EQ(hole.GetPoint(), CDPoint(5, 5));
}

TEST_F(DlgHoleTest, SeveralHolesChangingShapeNeedTheirSizes)
{
    CHole blank;
    OnDialog([](QDialog* d) {
        EXPECT_FALSE(Enabled(d, CDlgHole::IdX));
        EXPECT_EQ(State(d, CDlgHole::IdDummy), Qt::PartiallyChecked);
        Click(d, CDlgHole::IdSquare);
        Shot(d, "hole-multiple");
        Ok(d);
    });
    EXPECT_EQ(blank.InputHole(&doc, true, 1), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("形状を変更する場合は穴の設定値が必要です。"));

    // Untouched round holes hand back both marks unchanged.
    OnDialog([](QDialog* d) { Ok(d); });
    EXPECT_EQ(blank.InputHole(&doc, true, 1), 1);
    EXPECT_EQ(blank.GetType() & 0xF, 2 + 4 * 2);
}

TEST_F(DlgHoleTest, SeveralSquareHolesWithOnlyADiameterKeepTheirAngle)
{
    CHole blank;
    blank.SetType(0x20);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgHole::IdAngle), "***");
        Type(d, CDlgHole::IdDiameter, "1.2");
        Ok(d);
    });
    EXPECT_EQ(blank.InputHole(&doc, true, 1), 1);
    EXPECT_FALSE(stayedOpen);
    EXPECT_DOUBLE_EQ(blank.GetHoleDia(), 1.2);
    EXPECT_TRUE(blank.IsHoleRect());
    HoleDialogData data;
    data.multiple = true;
    data.edit = true;
    data.shape = 2;
    OnDialog([](QDialog* d) {
        Type(d, CDlgHole::IdDiameter, "1.2");
        Ok(d);
    });
    EXPECT_TRUE(dialogs.RunHoleDialog(data));
    EXPECT_DOUBLE_EQ(data.angleDeg, -1.0);
}

TEST_F(DlgHoleTest, OutOfRangeAngleOpensInRange)
{
    HoleDialogData data;
    data.edit = true;
    data.shape = 2;
    data.diameter = 1.0;
    data.width = 2.0;
    data.angleDeg = 1000.0;
    OnDialog([](QDialog* d) {
        EXPECT_DOUBLE_EQ(Text(d, CDlgHole::IdAngle).toDouble(), -80.0);
        Ok(d);
    });
    EXPECT_TRUE(dialogs.RunHoleDialog(data));
    EXPECT_DOUBLE_EQ(data.angleDeg, 280.0);
}

class DlgLandTest : public ItemDialogFixture
{
};

TEST_F(DlgLandTest, ZeroIsRefusedForOneLandAndKeepsSeveral)
{
    CLand land(CDPoint(1, 1), 5);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLand::IdTurret), "5");
        Type(d, CDlgLand::IdTurret, "0");
        Shot(d, "land-single");
        Ok(d);
    });
    EXPECT_FALSE(land.EditLand(false));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(1, 120));
    EXPECT_EQ(land.GetTurretNo(), 5);

    OnDialog([](QDialog* d) {
        Type(d, CDlgLand::IdTurret, "9");
        Ok(d);
    });
    EXPECT_TRUE(land.EditLand(false));
    EXPECT_EQ(land.GetTurretNo(), 9);

    CLand blank(CDPoint(), 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLand::IdTurret), "0");
        Shot(d, "land-multiple");
        Ok(d);
    });
    EXPECT_TRUE(blank.EditLand(true));
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(blank.GetTurretNo(), 0);
}

} // namespace
