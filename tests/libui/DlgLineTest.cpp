// Line and arc dialog, run by the items' edit operations with the Qt dialogs installed.

#include "libui/DlgLine.h"
#include "platform/RangeText.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/ItemDialogFixture.h"

#include <QComboBox>

namespace {

class DlgLineTest : public ItemDialogFixture
{
protected:
    DlgLineTest()
    {
        frame.dims.arrowLength = 200;
        frame.dims.dotSize = 100;
        frame.dims.textSize = 150;
    }
    static void ChooseType(QWidget* d, int index)
    {
        auto* combo = FindControl<QComboBox>(d, CDlgLine::IdLineType);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
};

TEST_F(DlgLineTest, LineTypeCountsOnlyWithTurretZero)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 5, 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLine::IdTurret), "5");
        ChooseType(d, 2);
        EXPECT_EQ(FindControl<QComboBox>(d, CDlgLine::IdLineType)->currentText(), QString::fromUtf8("破線"));
        Shot(d, "line-single");
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetLineType(), 0);

    OnDialog([](QDialog* d) {
        Type(d, CDlgLine::IdTurret, "0");
        ChooseType(d, 2);
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetTurretNo(), 0);
    EXPECT_EQ(line.GetLineType(), 0x400);

    OnDialog([](QDialog* d) {
        Type(d, CDlgLine::IdTurret, "121");
        Ok(d);
    });
    EXPECT_FALSE(line.InputText(false));
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(0, 120));
}

TEST_F(DlgLineTest, LengthButtonMakesAnAutomaticLength)
{
    CLine line(CDPoint(0, 0), CDPoint(12.5, 0), 1, 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLine::IdLengthText), "12.5");
        EXPECT_EQ(Text(d, CDlgLine::IdAngleText), QString::fromUtf8("0°"));
        EXPECT_FALSE(Enabled(d, CDlgLine::IdDisplay));
        Click(d, CDlgLine::IdLength);
        EXPECT_EQ(Text(d, CDlgLine::IdValue), "12.5");
        EXPECT_TRUE(Enabled(d, CDlgLine::IdDisplay));
        EXPECT_EQ(State(d, CDlgLine::IdDisplay), Qt::Checked);
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetType() & 0x7000, 0x3000);

    // Any other text is a plain name.
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLine::IdValue), "12.5");
        Type(d, CDlgLine::IdValue, QString::fromUtf8("幅"));
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetType() & 0x7000, 0x1000);
    EXPECT_EQ(line.GetName(), "\x95\x9D"); // 幅 in CP932

    // An empty text removes the name.
    OnDialog([](QDialog* d) {
        Type(d, CDlgLine::IdValue, "");
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetType() & 0x7000, 0);
}

TEST_F(DlgLineTest, FullCircleShowsItsCircumference)
{
    CArc arc(CDPoint(0, 0), 2.0, 0.0, 0.0, 0, 1);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("円弧の編集"));
        EXPECT_EQ(Text(d, CDlgLine::IdLengthText), "12.566371");
        EXPECT_EQ(Text(d, CDlgLine::IdAngleText), QString::fromUtf8("360°"));
        Click(d, CDlgLine::IdAngle);
        Shot(d, "arc-single");
        Ok(d);
    });
    EXPECT_TRUE(arc.InputText(false));
    EXPECT_EQ(arc.GetType() & 0x7000, 0x5000);
}

TEST_F(DlgLineTest, EndsCarryAnArrowOrADot)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    OnDialog([](QDialog* d) {
        Click(d, CDlgLine::IdStartArrow);
        Click(d, CDlgLine::IdStartDot);
        EXPECT_EQ(State(d, CDlgLine::IdStartArrow), Qt::Unchecked);
        Click(d, CDlgLine::IdEndArrow);
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetStartArrow(), -100);
    EXPECT_EQ(line.GetEndArrow(), 200);
    EXPECT_EQ(line.IsArrow(), 4 | 2);

    // Without frame services there is no dimension style: no arrow codes.
    SetFrameServices(nullptr);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgLine::IdStartDot), Qt::Checked);
        Ok(d);
    });
    EXPECT_TRUE(line.InputText(false));
    EXPECT_EQ(line.GetStartArrow(), 0);
    EXPECT_EQ(line.GetEndArrow(), 0);
    SetFrameServices(&frame);
}

TEST_F(DlgLineTest, SeveralItemsLeftUntouchedStayUnchanged)
{
    CLine blank;
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgLine::IdTurret), "***");
        EXPECT_EQ(Text(d, CDlgLine::IdValue), "***");
        EXPECT_EQ(Text(d, CDlgLine::IdLengthText), "{LEN}");
        EXPECT_EQ(FindControl<QComboBox>(d, CDlgLine::IdLineType)->currentText(), "***");
        EXPECT_EQ(State(d, CDlgLine::IdEndDot), Qt::PartiallyChecked);
        Shot(d, "line-multiple");
        Ok(d);
    });
    EXPECT_TRUE(blank.InputText(true));
    EXPECT_EQ(blank.GetTurretNo(), -1);
    EXPECT_EQ(blank.GetLineType(), 0xE00);
    EXPECT_EQ(blank.GetName(), "");
    EXPECT_DOUBLE_EQ(blank.GetStartPoint().x, 0x2AA);

    // A typed negative turret shows the marker again; a typed turret is taken.
    CArc arcBlank;
    OnDialog([](QDialog* d) {
        Type(d, CDlgLine::IdTurret, "-1");
        EXPECT_EQ(Text(d, CDlgLine::IdTurret), "***");
        Type(d, CDlgLine::IdTurret, "4");
        Click(d, CDlgLine::IdEndArrow); // indeterminate -> clear
        Ok(d);
    });
    LineDialogData data;
    data.item = &arcBlank;
    data.multiple = true;
    data.editKind = ID_INPUT_ARC;
    EXPECT_TRUE(dialogs.RunLineDialog(data));
    EXPECT_EQ(arcBlank.GetTurretNo(), 4);
    EXPECT_EQ(arcBlank.GetLineType(), 0xE00);
    EXPECT_DOUBLE_EQ(arcBlank.GetStartAngle(), 0x222); // the end dot follows the cleared end arrow
}

} // namespace
