#include "libui/Resizer.h"
#include "libui/DialogBuilder.h"
#include "libui/Gripper.h"
#include "libui/SpinButton.h"

#include "platform/Messages.h"
#include "platform/RangeText.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QWidget* Named(QWidget* parent, QWidget* w, int id, const QRect& geometry)
{
    w->setParent(parent);
    if (id)
        w->setObjectName(QString::number(id));
    w->setGeometry(geometry);
    return w;
}

class ResizerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.resize(300, 100);
        label = static_cast<QLabel*>(Named(&dialog, new QLabel("&Name"), 0, QRect(150, 10, 40, 20)));
        Named(&dialog, new QLineEdit, 100, QRect(200, 10, 80, 20));
        other = static_cast<QLabel*>(Named(&dialog, new QLabel("&Wide"), 0, QRect(10, 40, 40, 20)));
        Named(&dialog, new QLineEdit, 101, QRect(60, 40, 100, 20));
        Named(&dialog, new QPushButton("Go"), 200, QRect(220, 70, 70, 24));
        Named(&dialog, new QLineEdit, 300, QRect(10, 70, 60, 20));
        spin = static_cast<CSpinButton*>(Named(&dialog, new CSpinButton, 0, QRect(70, 70, 16, 20)));
        spin->SetBuddyWidget(FindControl(&dialog, 300));
        dialog.show();
    }
    QRect Geometry(int id) const { return FindControl(&dialog, id)->geometry(); }

    // 100 moves with the right edge; 101 stretches with it; 300 stretches by half the growth.
    const CResizer::CBorderInfo rules[3] = {
        {100, {1, 0, 3}, {1, 0, 2}, {3, 0, 0}, {4, 0, 0}},
        {101, {1, 0, 1}, {1, 0, 2}, {1, 0, 3}, {4, 0, 0}},
        {300, {1, 0, 1}, {1, 0, 2}, {2, 0, 3}, {4, 0, 0}},
    };
    QWidget dialog;
    QLabel* label = nullptr;
    QLabel* other = nullptr;
    CSpinButton* spin = nullptr;
};

TEST_F(ResizerTest, ControlsLabelsButtonsAndSpinsFollowTheSize)
{
    CResizer resizer;
    ASSERT_TRUE(resizer.Init(&dialog, nullptr, rules, 3));
    EXPECT_EQ(resizer.GetMinSize(), QPoint(300, 100));
    dialog.resize(500, 150);
    resizer.Move();
    EXPECT_EQ(Geometry(100), QRect(400, 10, 80, 20));
    EXPECT_EQ(label->pos(), QPoint(350, 10)); // the label travels with its field, the table's first row
    EXPECT_EQ(Geometry(101), QRect(60, 40, 300, 20));
    EXPECT_EQ(other->pos(), QPoint(10, 40));
    EXPECT_EQ(Geometry(200), QRect(420, 70, 70, 24)); // unruled: keeps its distance to the right edge
    // 70 + (70 - 300) * 500 / 300 ... proportional to the right edge: 500 + 500 * (70 - 300) / 300.
    EXPECT_EQ(Geometry(300).right() + 1, 500 + 500 * (70 - 300) / 300);
    EXPECT_EQ(spin->x(), Geometry(300).x() + Geometry(300).width() - 1);
    EXPECT_EQ(spin->y(), Geometry(300).y());

    resizer.ResetSize();
    EXPECT_EQ(dialog.size(), QSize(300, 100));
}

TEST_F(ResizerTest, OverlappedControlsHideWithTheirLabels)
{
    // 100 rides the right and bottom edges over 101, which stays put; 100 comes first, so 101 hides.
    const CResizer::CBorderInfo rows[] = {
        {100, {1, 0, 3}, {1, 0, 4}, {3, 0, 0}, {4, 0, 0}},
        {101, {1, 0, 1}, {1, 0, 2}, {1, 0, 1}, {1, 0, 2}},
    };
    CResizer resizer;
    resizer.Init(&dialog, nullptr, rows, 2);
    dialog.resize(200, 130);
    resizer.Move();
    EXPECT_EQ(Geometry(100), QRect(100, 40, 80, 20));
    EXPECT_TRUE(Geometry(101).isEmpty());
    EXPECT_FALSE(other->isVisible());
    EXPECT_TRUE(label->isVisible());
    dialog.resize(300, 100);
    resizer.Move();
    EXPECT_EQ(Geometry(101), QRect(60, 40, 100, 20));
    EXPECT_TRUE(other->isVisible());
    EXPECT_EQ(other->pos(), QPoint(10, 40));

    CResizer keep;
    keep.Init(&dialog, nullptr, rows, 2, false);
    dialog.resize(200, 130);
    keep.Move();
    EXPECT_EQ(Geometry(101), QRect(60, 40, 100, 20));
    EXPECT_TRUE(other->isVisible());
}

TEST(ResizerLayoutTest, ALayoutIsSwitchedOffAndTheGripSitsInTheCorner)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName("100");
    layout->addWidget(edit);
    dialog.resize(200, 80);
    dialog.show();
    const CResizer::CBorderInfo rows[] = {{100, {1, 0, 1}, {1, 0, 2}, {1, 0, 3}, {1, 0, 4}}};
    CResizer resizer;
    resizer.Init(&dialog, nullptr, rows, 1);
    EXPECT_FALSE(layout->isEnabled());
    const QRect before = edit->geometry();
    dialog.resize(300, 120);
    resizer.Move();
    EXPECT_EQ(edit->geometry(), before.adjusted(0, 0, 100, 40));

    CGripper grip(&dialog);
    EXPECT_FALSE(grip.Create(nullptr));
    ASSERT_TRUE(grip.Create(&dialog));
    EXPECT_EQ(grip.geometry().bottomRight(), QPoint(299, 119));
    dialog.resize(350, 150);
    grip.CalcParentSize();
    EXPECT_EQ(grip.geometry().bottomRight(), QPoint(349, 149));
}

TEST(DialogBuilderTest, RangeChecksShowTheRangeAndSelectTheField)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    QDialog dialog;
    CDialogBuilder b(&dialog);
    b.Label("&Count", 0, 0);
    auto* count = b.Add(10, new QLineEdit(&dialog), 0, 1);
    auto* size = b.Add(11, new QLineEdit(&dialog), 1, 1);
    dialog.show();
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 10), count);
    EXPECT_EQ(ControlId(size), 11);

    struct Row
    {
        const char* text;
        bool ok;
    };
    int value = -1;
    for (const Row& row :
         {Row{"5", true}, Row{" 0 ", true}, Row{"-1", false}, Row{"1.5", false}, Row{"x", false}}) {
        count->setText(row.text);
        EXPECT_EQ(CheckIntRange(count, 0, 10, value), row.ok) << row.text;
    }
    EXPECT_EQ(messages.Count(), 3u);
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(0, 10));
    EXPECT_EQ(count->selectedText(), "x");
    double number = 0;
    size->setText("2.5");
    EXPECT_TRUE(CheckNumberRange(size, 0.1, 3, number));
    EXPECT_EQ(number, 2.5);
    size->setText("inf");
    EXPECT_FALSE(CheckNumberRange(size, 0.1, 3, number));
    EXPECT_EQ(messages.Last().text, platform::NumberRangeText(0.1, 3));
    platform::SetMessageService(nullptr);
}

} // namespace
