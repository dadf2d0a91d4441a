#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"

#include "platform/Messages.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class NumEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetMessageService(&messages);
        edit.show();
        edit.setFocus();
    }
    void TearDown() override { platform::SetMessageService(nullptr); }
    void Type(const char* keys)
    {
        for (const char* k = keys; *k; ++k) {
            QTest::keyClick(&edit, *k);
            QApplication::processEvents();
        }
    }

    platform::RecordingMessages messages;
    CNumEdit edit;
};

TEST_F(NumEditTest, TypingKeepsAValidNumber)
{
    struct Row
    {
        double minimum, maximum;
        const char* keys;
        const char* text;
    };
    const Row rows[] = {
        {10, 100, "15", "15"},   {10, 100, "-1", "-"}, {0, 100, "-", "-"},    {-100, 100, "-5", "-5"},
        {-100, 100, ".5", ".5"}, {0, 100, "1a2", "2"}, {0, 100, "150", "15"}, {0, 100, "1 2", "12"},
        {0, 100, "***", "***"},  {0, 100, "1.", "1."}, {0, 1e9, "1e3", "3"},
    };
    for (const Row& row : rows) {
        edit.clear();
        edit.SetRange(row.minimum, row.maximum);
        Type(row.keys);
        EXPECT_EQ(edit.text().toStdString(), row.text) << row.keys;
    }
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(NumEditTest, ARefusedKeyRestoresSelectsAndDropsQueuedKeys)
{
    edit.SetRange(0, 100);
    edit.SetShowErrors(true);
    Type("7");
    QTest::keyClick(&edit, Qt::Key_Backspace); // the empty text is not a number
    EXPECT_EQ(edit.text(), "7");
    EXPECT_EQ(edit.selectedText(), "7");
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, "Characters must be a number.\n");
    EXPECT_EQ(messages.Last().type & MB_ICONMASK, MB_ICONSTOP);
    // Keys arriving before the event loop has run again are dropped.
    QTest::keyClick(&edit, '5');
    EXPECT_EQ(edit.text(), "7");
    QApplication::processEvents();
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, '9');
    QApplication::processEvents();
    EXPECT_EQ(edit.text(), "79");
    QTest::keyClick(&edit, '9');
    EXPECT_EQ(edit.text(), "79");
    EXPECT_EQ(messages.Last().text, "Given value is out of range.\n");
}

TEST_F(NumEditTest, PastesAreFilteredLikeTyping)
{
    edit.SetRange(0, 100);
    edit.SetValue(5);
    QApplication::clipboard()->setText("1a");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "5");
    QApplication::processEvents();
    QApplication::clipboard()->setText("42");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "42");
}

TEST_F(NumEditTest, ValuesFormatStepAndRefuse)
{
    edit.SetRange(0, 100);
    EXPECT_TRUE(edit.SetValue(0.25));
    EXPECT_TRUE(edit.SetValue(1));
    EXPECT_EQ(edit.text(), "1.00");
    EXPECT_FALSE(edit.SetValue(101));
    EXPECT_EQ(edit.text(), "1.00");
    EXPECT_EQ(edit.GetFormat(3), "%.2f");

    edit.SetStep(1);
    edit.SetValue(100);
    edit.Step(1, false);
    EXPECT_EQ(edit.GetValue(), 100);
    edit.Step(1, true);
    EXPECT_EQ(edit.GetValue(), 0);

    CNumEdit tenth;
    tenth.SetStep(0.1);
    tenth.SetValue(0.1);
    tenth.Step(-1, false);
    EXPECT_EQ(tenth.GetValue(), 0.0);
    EXPECT_EQ(tenth.text(), "0.0");

    bool valid = true;
    edit.setText("abc");
    EXPECT_EQ(edit.GetValue(&valid), 0);
    EXPECT_FALSE(valid);
    EXPECT_EQ(edit.CheckWindowText(), 2);
    edit.setText("***");
    EXPECT_FALSE(edit.IsChanged());
}

TEST_F(NumEditTest, SpinStepsItsBuddyAndStaysParked)
{
    CNumSpinCtrl spin;
    spin.SetBuddy(&edit);
    EXPECT_EQ(edit.text(), "0");
    spin.SetRange(0, 10);
    spin.SetStep(0.5);
    spin.SetPos(2);
    QTest::mouseClick(spin.UpButton(), Qt::LeftButton);
    EXPECT_EQ(spin.GetPos(), 2.5);
    EXPECT_EQ(edit.text(), "2.5");
    QTest::mouseClick(spin.DownButton(), Qt::LeftButton);
    QTest::mouseClick(spin.DownButton(), Qt::LeftButton);
    EXPECT_EQ(spin.GetPos(), 1.5);
    for (int i = 0; i < 1500; ++i)
        spin.Click(1);
    EXPECT_EQ(spin.GetPos(), 10);
    EXPECT_GE(spin.GetPosition(), 0);
    EXPECT_LE(spin.GetPosition(), 1000);

    edit.setText("***");
    edit.SetUnchangedValue(7);
    QTest::mouseClick(spin.UpButton(), Qt::LeftButton);
    EXPECT_EQ(edit.GetValue(), 7);

    CNumSpinCtrl lonely;
    EXPECT_EQ(lonely.GetPos(), 0.0);
    EXPECT_EQ(lonely.GetStep(), 0.0);
    lonely.Click(1);
}

TEST(SpinButtonTest, IntegerPositionInTheBuddy)
{
    QLineEdit buddy;
    CSpinButton spin;
    spin.SetBuddyWidget(&buddy);
    spin.SetRange(0, 3);
    spin.SetPosition(2);
    EXPECT_EQ(buddy.text(), "2");
    spin.Click(1);
    spin.Click(1);
    EXPECT_EQ(buddy.text(), "3");
    spin.SetWrap(true);
    spin.Click(1);
    EXPECT_EQ(buddy.text(), "0");
    buddy.setText("2");
    spin.Click(-1);
    EXPECT_EQ(spin.GetPosition(), 1);
    QWheelEvent wheel(QPointF(4, 4), QPointF(4, 4), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&spin, &wheel);
    EXPECT_EQ(buddy.text(), "2");
}

} // namespace
