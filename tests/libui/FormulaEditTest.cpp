#include "libui/FormulaEdit.h"

#include "platform/J.h"
#include "platform/Messages.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(FormulaEditTest, ListsShowCommasAndFailuresShowOneBox)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    CFormulaEdit edit;
    edit.setText("1..2");
    EXPECT_EQ(edit.GetValueCount(), 2);
    EXPECT_EQ(edit.text(), "1,2");

    double values[3] = {9, 9, 9};
    edit.setText("1,2,3");
    EXPECT_TRUE(edit.GetValue(values, 2));
    EXPECT_EQ(values[1], 2);
    EXPECT_EQ(values[2], 9);

    double more[3] = {9, 9, 9};
    edit.setText("4,1/0,3");
    EXPECT_FALSE(edit.GetValue(more, 3));
    EXPECT_EQ(more[0], 4);
    EXPECT_EQ(more[1], 9);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, "(Division by zero)");
    EXPECT_EQ(messages.Last().type, MB_OK);

    edit.setText("");
    EXPECT_FALSE(edit.GetValue(more, 3));
    EXPECT_EQ(messages.Count(), 1u);

    edit.SetValue(2.0);
    EXPECT_EQ(edit.text(), "2");
    edit.SetValue(1e8);
    EXPECT_EQ(edit.text(), "100000000");
    platform::SetMessageService(nullptr);
}

TEST(FormulaEditTest, UnchangedMarkerIsSelectedOnClickAndInputMethodsAreOff)
{
    QComboBox combo;
    combo.setEditable(true);
    auto* edit = new CFormulaEdit;
    combo.setLineEdit(edit);
    combo.show();
    edit->setText("***");
    EXPECT_FALSE(edit->IsChanged());
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(edit->selectedText(), "***");
    QTest::keyClicks(edit, "5");
    EXPECT_EQ(edit->text(), "5");
    EXPECT_TRUE(edit->IsChanged());
    edit->setFocus();
    EXPECT_FALSE(edit->testAttribute(Qt::WA_InputMethodEnabled));

    // A character that CP932 cannot hold is refused where typed.
    edit->setText("12");
    edit->setText(QString::fromUtf8("1\xF0\x9F\x98\x80"));
    EXPECT_EQ(edit->text(), "12");
    edit->setText(QString::fromUtf8("１"));
    EXPECT_EQ(edit->GetText(), _J("１"));
}

} // namespace
