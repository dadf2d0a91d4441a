// Turret table dialog: the columns and cell texts, sizes typed to four decimals, inner sizes only
// below the outer size of donuts and thermals, the normalisation on OK, the defaults' range and the
// current turret.

#include "dialogs/DlgTurretTable.h"
#include "platform/J.h"
#include "tests/dialogs/NumberedTableFixture.h"

namespace {

class DlgTurretTableTest : public NumberedTableFixture
{
protected:
    void Fill(CDlgTurretTable& d)
    {
        d.m_turrets[1] = {TURRET_ROUND, 0.5, 0.0};
        d.m_turrets[2] = {TURRET_DONUT, 2.0, 1.0};
        d.m_turrets[3] = {TURRET_ROUND, 1.0, 0.4}; // a circle holding an inner size
        d.m_turrets[4] = {TURRET_THERMAL, 3.0, 3.0};
        d.m_turrets[120] = {TURRET_SQUARE, 1.27, 0.0};
        d.m_usage[1] = {12, 0, 3, 0, 1};
        d.m_nLineTurret = 1;
        d.m_nLandTurret = 120;
        d.m_nCurrent = 1;
    }
};

TEST_F(DlgTurretTableTest, ColumnsAndCells)
{
    CDlgTurretTable d;
    Fill(d);
    d.show();
    EXPECT_EQ(Captions(&d),
              (std::vector<std::string>{"", "No", _J("タイプ"), _J("外寸"), _J("内寸"), _J("ライン"),
                                        _J("円弧"), _J("面"), _J("ランド"), _J("文字")}));
    EXPECT_EQ(d.List()->GetItemCount(), 120);
    EXPECT_EQ(Cell(&d, 0, 1), "  1");
    EXPECT_EQ(Cell(&d, 0, 2), _J("円"));
    EXPECT_EQ(Cell(&d, 0, 3), "0.5");
    EXPECT_EQ(Cell(&d, 0, 4), ""); // a circle shows no inner size
    EXPECT_EQ(Cell(&d, 1, 2), _J("ﾄﾞｰﾅﾂ"));
    EXPECT_EQ(Cell(&d, 1, 4), "1.0");
    EXPECT_EQ(Cell(&d, 3, 2), _J("ｻｰﾏﾙ"));
    EXPECT_EQ(Cell(&d, 119, 1), "120");
    EXPECT_EQ(Cell(&d, 119, 2), _J("角"));
    // Usage counts; 0 shows as empty.
    EXPECT_EQ(Cell(&d, 0, 5), "12");
    EXPECT_EQ(Cell(&d, 0, 6), "");
    EXPECT_EQ(Cell(&d, 0, 7), "3");
    EXPECT_EQ(Cell(&d, 0, 9), "1");
    EXPECT_EQ(Text(&d, CDlgTurretTable::IdLine), "1");
    EXPECT_EQ(Text(&d, CDlgTurretTable::IdLand), "120");
    // The current turret's row is red.
    EXPECT_EQ(TextColour(&d, 1), RGB(255, 0, 0));
    EXPECT_FALSE(TextColour(&d, 0).has_value());
    Shot(&d, "DlgTurretTable");
}

TEST_F(DlgTurretTableTest, SizesAreTypedToFourDecimals)
{
    CDlgTurretTable d;
    Fill(d);
    d.show();
    EditCell(&d, 0, 3, "1.23456");
    EXPECT_DOUBLE_EQ(d.m_turrets[1].size1, 1.2346);
    EXPECT_EQ(Cell(&d, 0, 3), "1.2346");
    // Junk changes nothing.
    EditCell(&d, 0, 3, "abc");
    EXPECT_DOUBLE_EQ(d.m_turrets[1].size1, 1.2346);
    EXPECT_EQ(Cell(&d, 0, 3), "1.2346");
    // A donut's inner size equal to its outer one is refused at once.
    EditCell(&d, 1, 4, "2");
    EXPECT_EQ(d.m_turrets[2].size2, 0.0);
    EXPECT_EQ(Cell(&d, 1, 4), "");
    EditCell(&d, 1, 4, "0.75");
    EXPECT_DOUBLE_EQ(d.m_turrets[2].size2, 0.75);
    // A circle takes no inner size.
    EditCell(&d, 0, 4, "0.2");
    EXPECT_EQ(d.m_turrets[1].size2, 0.0);
}

TEST_F(DlgTurretTableTest, ShapeFromTheDropDownList)
{
    CDlgTurretTable d;
    Fill(d);
    d.show();
    const int column = DisplayColumn(&d, 2);
    ASSERT_NE(d.List()->EditCellCombo(0, column, false, false), nullptr);
    const std::string donut = _J("ﾄﾞｰﾅﾂ");
    d.List()->OnEndLabelEdit(0, column, &donut);
    EXPECT_EQ(d.m_turrets[1].shape, TURRET_DONUT);
    const std::string unknown = "star";
    d.List()->OnEndLabelEdit(0, column, &unknown);
    EXPECT_EQ(d.m_turrets[1].shape, TURRET_DONUT);
}

TEST_F(DlgTurretTableTest, OkNormalisesEveryEntry)
{
    CDlgTurretTable d;
    Fill(d);
    d.m_turrets[0] = {TURRET_DONUT, 1.0, 0.0};
    d.show();
    EditCell(&d, 1, 4, "2"); // refused: 0 stored
    Ok(&d);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(d.m_turrets[2].size2, 1.0); // half the outer size
    EXPECT_EQ(d.m_turrets[3].size2, 0.0);        // a circle keeps none
    EXPECT_DOUBLE_EQ(d.m_turrets[4].size2, 1.5); // inner not below outer
    EXPECT_DOUBLE_EQ(d.m_turrets[0].size2, 0.5); // entry 0 too
}

TEST_F(DlgTurretTableTest, DefaultsOutsideTheirRangeKeepTheDialogOpen)
{
    for (const char* text : {"121", "-1", "x"}) {
        messages.Clear();
        CDlgTurretTable d;
        d.show();
        Type(&d, CDlgTurretTable::IdLand, text);
        Ok(&d);
        EXPECT_TRUE(d.isVisible()) << text;
        EXPECT_EQ(LastMessage(), QString::fromUtf8("0 から 120 までの整数を入力してください。")) << text;
    }
    CDlgTurretTable d;
    d.show();
    Type(&d, CDlgTurretTable::IdLine, "120");
    Type(&d, CDlgTurretTable::IdLand, "0");
    Ok(&d);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.m_nLineTurret, 120);
    EXPECT_EQ(d.m_nLandTurret, 0);
}

TEST_F(DlgTurretTableTest, RightClickOrShiftDoubleClickMakesTheCurrentTurret)
{
    CDlgTurretTable d;
    Fill(d);
    d.show();
    RightClick(&d, 5);
    EXPECT_EQ(d.m_nCurrent, 5);
    EXPECT_EQ(TextColour(&d, 5), RGB(255, 0, 0));
    EXPECT_FALSE(TextColour(&d, 1).has_value());
    QRect rect;
    ASSERT_TRUE(d.List()->GetCellRect(7, 1, &rect));
    QTest::mouseDClick(d.List()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_EQ(d.m_nCurrent, 5); // without Shift nothing happens
    QTest::mouseDClick(d.List()->viewport(), Qt::LeftButton, Qt::ShiftModifier, rect.center());
    EXPECT_EQ(d.m_nCurrent, 7);
}

} // namespace
