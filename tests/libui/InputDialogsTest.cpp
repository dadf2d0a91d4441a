#include "libui/DialogBuilder.h"
#include "libui/DlgNumberIn.h"
#include "libui/DlgPointIn.h"

#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/RangeText.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class InputDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetProfile(&profile);
        platform::SetMessageService(&messages);
        grid.kind = 0;
        grid.xPitch = 0.5;
        grid.yPitch = 0.25;
    }
    void TearDown() override
    {
        platform::SetMessageService(nullptr);
        platform::SetProfile(nullptr);
    }
    static QLineEdit* Field(QWidget* dialog, int id)
    {
        return FindControl<QComboBox>(dialog, id)->lineEdit();
    }
    static void Type(QWidget* dialog, int id, const char* text)
    {
        QLineEdit* edit = Field(dialog, id);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void Click(QWidget* dialog, int id)
    {
        QTest::mouseClick(FindControl<QAbstractButton>(dialog, id), Qt::LeftButton);
    }

    platform::MemoryProfile profile;
    platform::RecordingMessages messages;
    tagGRID grid;
};

TEST_F(InputDialogsTest, NumberInReadsValuesInItsUnit)
{
    struct Row
    {
        int unitButton;
        bool withGrid;
        const char* text;
        double x, y;
    };
    const Row rows[] = {
        {CDlgNumberIn::IdInch, false, "2", 50.8, 50.8},      {CDlgNumberIn::IdMillimetre, false, "1,2", 1, 2},
        {CDlgNumberIn::IdGrid, true, "4,4", 2, 1},           {CDlgNumberIn::IdMil, false, "1000", 25.4, 25.4},
        {CDlgNumberIn::IdMillimetre, false, "1..2*3", 1, 6},
    };
    for (const Row& row : rows) {
        CDlgNumberIn dialog;
        if (row.withGrid)
            dialog.SetGrid(grid);
        dialog.show();
        Click(&dialog, row.unitButton);
        Type(&dialog, CDlgNumberIn::IdValue, row.text);
        Click(&dialog, CDialogBuilder::IdOk);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << row.text;
        EXPECT_NEAR(dialog.GetPoint().x, row.x, 1e-12) << row.text;
        EXPECT_NEAR(dialog.GetPoint().y, row.y, 1e-12) << row.text;
    }
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(profile.GetInt("NumberIn", "Unit", -1), 0);
    EXPECT_EQ(profile.GetString("NumberIn", "Num0"), "1,2*3");
    EXPECT_EQ(profile.GetString("NumberIn", "Num"), "1,2*3");
}

TEST_F(InputDialogsTest, NumberInRefusesAndRemembers)
{
    profile.SetInt("NumberIn", "Unit", 3);
    profile.SetString("NumberIn", "Num0", "7");
    CDlgNumberIn dialog;
    dialog.show();
    // Without a grid the grid unit is not offered and the remembered one opens as millimetres.
    EXPECT_FALSE(FindControl<QRadioButton>(&dialog, CDlgNumberIn::IdGrid)->isEnabled());
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, CDlgNumberIn::IdMillimetre)->isChecked());
    EXPECT_EQ(FindControl<QComboBox>(&dialog, CDlgNumberIn::IdValue)->itemText(0), "7");

    const std::pair<const char*, std::string> refused[] = {
        {"", ""}, {"1,2,3", _J("エラー位置 4!")}, {"2/0", "(Division by zero)"}, {"Q", _J("エラー位置 1!")}};
    for (const auto& [text, message] : refused) {
        messages.Clear();
        Type(&dialog, CDlgNumberIn::IdValue, text);
        if (!*text)
            Field(&dialog, CDlgNumberIn::IdValue)->clear();
        Click(&dialog, CDialogBuilder::IdOk);
        EXPECT_TRUE(dialog.isVisible()) << text;
        EXPECT_EQ(messages.Count(), message.empty() ? 0u : 1u) << text;
        if (!message.empty() && messages.Count()) {
            EXPECT_EQ(messages.Last().text, message);
        }
    }

    profile.SetInt("NumberIn", "Unit", 1);
    CDlgNumberIn fixed;
    fixed.SetUnitEnable(0);
    fixed.SetGrid(grid);
    fixed.show();
    for (int id :
         {CDlgNumberIn::IdMillimetre, CDlgNumberIn::IdInch, CDlgNumberIn::IdMil, CDlgNumberIn::IdGrid})
        EXPECT_FALSE(FindControl<QRadioButton>(&fixed, id)->isEnabled()) << id;
    Type(&fixed, CDlgNumberIn::IdValue, "3");
    Click(&fixed, CDialogBuilder::IdOk);
    EXPECT_EQ(fixed.GetPoint().x, 3.0);
    EXPECT_EQ(profile.GetInt("NumberIn", "Unit", -1), 1);
}

TEST_F(InputDialogsTest, ControlsCarryTheirIdsCaptionsAndBuddies)
{
    CDlgPointIn dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("数値設定"));
    const std::pair<int, const char*> buttons[] = {
        {1501, "&mm"},      {1502, "i&nch"},  {1511, "m&ill"},   {1503, "&Grid"},  {1509, "絶対(&S)"},
        {1510, "相対(&C)"}, {1504, "↑ (&U)"}, {1505, "↓ (&D)"},  {1506, "← (&L)"}, {1507, "→ (&R)"},
        {1512, "倍(&L)"},   {1, "OK"},        {2, "キャンセル"},
    };
    for (const auto& [id, caption] : buttons) {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    }
    for (int id : {1648, 1649, 1631, 1632, 1633, 1634})
        EXPECT_TRUE(FindControl(&dialog, id)) << id;
    const std::pair<const char*, int> labels[] = {
        {"座標(&O)", 1648}, {"角度(&A)", 1649}, {"リピート(&T)", 1631}, {"文字増減(&B)", 1633}};
    for (const auto& [caption, buddy] : labels) {
        QLabel* found = nullptr;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            found = label->text() == QString::fromUtf8(caption) ? label : found;
        ASSERT_TRUE(found) << caption;
        EXPECT_EQ(found->buddy(), FindControl(&dialog, buddy)) << caption;
    }
    EXPECT_EQ(FindControl(&dialog, 9999), nullptr);
}

TEST_F(InputDialogsTest, PointInFoldsAnglesAndRefusesNothing)
{
    const std::pair<const char*, double> angles[] = {
        {"190", -170}, {"540", 180}, {"-90", -90}, {"45+45", 90}};
    for (const auto& [text, angle] : angles) {
        CDlgPointIn dialog;
        dialog.show();
        Type(&dialog, CDlgPointIn::IdAngle, text);
        Click(&dialog, CDialogBuilder::IdOk);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << text;
        EXPECT_EQ(dialog.GetAngle(), angle) << text;
        EXPECT_EQ(dialog.GetPoint().x, 0.0);
    }
    EXPECT_EQ(profile.GetString("NumberIn", "Ang0"), "45+45");
    EXPECT_FALSE(profile.HasKey("NumberIn", "Ang"));

    CDlgPointIn dialog;
    dialog.show();
    Type(&dialog, CDlgPointIn::IdPosition, "0");
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("移動データが0になりました"));

    // Both fields empty: OK does nothing.
    Field(&dialog, CDlgPointIn::IdPosition)->clear();
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Count(), 1u);

    // A wrong angle with a good coordinate fails the exchange.
    Type(&dialog, CDlgPointIn::IdPosition, "1,2");
    Type(&dialog, CDlgPointIn::IdAngle, "SQR(-1)");
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Last().text, "(An error was intercepted)");
    Type(&dialog, CDlgPointIn::IdAngle, "");
    Field(&dialog, CDlgPointIn::IdAngle)->clear();
    Type(&dialog, CDlgPointIn::IdPosition, "1,2,3");
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_EQ(messages.Last().text, _J("エラー位置 4!"));
    Type(&dialog, CDlgPointIn::IdPosition, "1,2");
    Click(&dialog, CDlgPointIn::IdInch);
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NEAR(dialog.GetPoint().x, 25.4, 1e-12);
    EXPECT_NEAR(dialog.GetPoint().y, 50.8, 1e-12);
    EXPECT_FALSE(dialog.MoveAction());
    EXPECT_EQ(profile.GetInt("PointIn", "Unit", -1), 1);
    EXPECT_EQ(profile.GetInt("PointIn", "Abs", -1), 0);
}

TEST_F(InputDialogsTest, PointInStepsOnlyInRelativeMode)
{
    {
        CDlgPointIn dialog;
        dialog.show();
        Type(&dialog, CDlgPointIn::IdPosition, "12");
        for (int id : {1504, 1505, 1506, 1507, 1512})
            EXPECT_FALSE(FindControl(&dialog, id)->isEnabled()) << id;
        QLineEdit* edit = Field(&dialog, CDlgPointIn::IdPosition);
        edit->setCursorPosition(1);
        QTest::keyClick(edit, Qt::Key_Left);
        EXPECT_EQ(edit->cursorPosition(), 0);
        QTest::keyClick(edit, Qt::Key_Right);
        EXPECT_EQ(edit->cursorPosition(), 1);
        EXPECT_TRUE(dialog.isVisible());
    }
    struct Row
    {
        int key;
        int cursor; // -1: end
        bool ends;
        double x, y;
    };
    const Row rows[] = {
        {Qt::Key_Up, -1, true, 0, 2},    {Qt::Key_Down, 0, true, 0, -2},  {Qt::Key_Left, 0, true, -2, 0},
        {Qt::Key_Left, 1, false, 0, 0},  {Qt::Key_Right, -1, true, 2, 0}, {Qt::Key_Right, 0, false, 0, 0},
        {Qt::Key_PageUp, 0, true, 2, 2},
    };
    for (const Row& row : rows) {
        profile.SetInt("PointIn", "Abs", 1);
        CDlgPointIn dialog;
        dialog.show();
        Type(&dialog, CDlgPointIn::IdAngle, "30");
        Type(&dialog, CDlgPointIn::IdPosition, "2");
        QLineEdit* edit = Field(&dialog, CDlgPointIn::IdPosition);
        edit->setCursorPosition(row.cursor < 0 ? edit->text().length() : row.cursor);
        QTest::keyClick(edit, static_cast<Qt::Key>(row.key));
        EXPECT_EQ(!dialog.isVisible(), row.ends) << row.key << " " << row.cursor;
        if (!row.ends)
            continue;
        EXPECT_EQ(dialog.GetPoint().x, row.x);
        EXPECT_EQ(dialog.GetPoint().y, row.y);
        EXPECT_EQ(dialog.GetAngle(), 0.0);
        EXPECT_TRUE(dialog.MoveAction());
        EXPECT_EQ(dialog.IsScale(), row.key == Qt::Key_PageUp);
    }
    // Shift and a selection leave the keys alone.
    CDlgPointIn dialog;
    dialog.show();
    Type(&dialog, CDlgPointIn::IdPosition, "2");
    QTest::keyClick(Field(&dialog, CDlgPointIn::IdPosition), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_TRUE(dialog.isVisible());
    Field(&dialog, CDlgPointIn::IdPosition)->selectAll();
    QTest::keyClick(Field(&dialog, CDlgPointIn::IdPosition), Qt::Key_Up);
    EXPECT_TRUE(dialog.isVisible());
    // The buttons: a neutral scale is refused, an arrow ends the dialog.
    Type(&dialog, CDlgPointIn::IdPosition, "1,1");
    Click(&dialog, CDlgPointIn::IdScale);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Last().text, _J("スケールが1になりました"));
    Type(&dialog, CDlgPointIn::IdPosition, "0,0");
    Click(&dialog, CDlgPointIn::IdScale); // a first value of 0 does nothing
    EXPECT_TRUE(dialog.isVisible());
    Type(&dialog, CDlgPointIn::IdPosition, "4,4");
    Click(&dialog, CDlgPointIn::IdUp);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetPoint().y, 4.0);
    EXPECT_FALSE(dialog.IsScale());
    EXPECT_EQ(profile.GetInt("PointIn", "Abs", -1), 1);
    EXPECT_EQ(profile.GetString("NumberIn", "Pos0"), "4,4");
}

TEST_F(InputDialogsTest, PointInListChoiceEnablesTheSteps)
{
    profile.SetInt("PointIn", "Abs", 1);
    profile.SetString("NumberIn", "Pos0", "3");
    CDlgPointIn dialog;
    dialog.show();
    EXPECT_FALSE(FindControl(&dialog, CDlgPointIn::IdUp)->isEnabled());
    auto* combo = FindControl<QComboBox>(&dialog, CDlgPointIn::IdPosition);
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(combo->currentText(), "3");
    EXPECT_TRUE(FindControl(&dialog, CDlgPointIn::IdUp)->isEnabled());
    Click(&dialog, CDlgPointIn::IdAbsolute);
    EXPECT_FALSE(FindControl(&dialog, CDlgPointIn::IdUp)->isEnabled());
}

TEST_F(InputDialogsTest, PointInGridCopyAndRangeCheck)
{
    profile.SetInt("PointIn", "Unit", 3);
    profile.SetInt("PointIn", "Abs", 1);
    CDlgPointIn dialog;
    dialog.SetGrid(grid);
    dialog.SetCopy(true);
    dialog.show();
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, CDlgPointIn::IdGrid)->isChecked());
    EXPECT_TRUE(FindControl(&dialog, CDlgPointIn::IdRepeat)->isEnabled());
    EXPECT_TRUE(FindControl(&dialog, CDlgPointIn::IdCount)->isEnabled());
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgPointIn::IdRepeat)->text(), "1");
    Click(&dialog, CDlgPointIn::IdAbsolute);
    EXPECT_FALSE(FindControl(&dialog, CDlgPointIn::IdRepeat)->isEnabled());
    Click(&dialog, CDlgPointIn::IdRelative);

    auto* repeat = FindControl<QLineEdit>(&dialog, CDlgPointIn::IdRepeat);
    repeat->setText("101");
    Type(&dialog, CDlgPointIn::IdPosition, "4,4");
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(0, 100));
    EXPECT_EQ(repeat->selectedText(), "101");
    repeat->setText("3");
    FindControl<QLineEdit>(&dialog, CDlgPointIn::IdCount)->setText("-5");
    Click(&dialog, CDialogBuilder::IdOk);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetPoint().x, 2.0);
    EXPECT_EQ(dialog.GetPoint().y, 1.0);
    EXPECT_EQ(dialog.GetRepeat(), 3);
    EXPECT_EQ(dialog.GetCount(), -5);
    EXPECT_TRUE(dialog.MoveAction());

    // Without copy mode the name step is 0 and its field is off; a unit the dialog does not know
    // opens as millimetres.
    profile.SetInt("PointIn", "Unit", 7);
    profile.SetString("PointIn", "Abs", "junk");
    CDlgPointIn plain;
    plain.show();
    EXPECT_FALSE(FindControl(&plain, CDlgPointIn::IdCount)->isEnabled());
    EXPECT_FALSE(FindControl(&plain, CDlgPointIn::IdRepeat)->isEnabled());
    EXPECT_FALSE(FindControl(&plain, CDlgPointIn::IdGrid)->isEnabled());
    EXPECT_TRUE(FindControl<QRadioButton>(&plain, CDlgPointIn::IdMillimetre)->isChecked());
    EXPECT_EQ(plain.GetCount(), 0);
    EXPECT_TRUE(FindControl<QRadioButton>(&plain, CDlgPointIn::IdAbsolute)->isChecked());
}

TEST_F(InputDialogsTest, RunHandsTheRecordBack)
{
    NumberInDialogData data;
    data.grid = grid;
    data.hasGrid = true;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CDlgNumberIn*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        Click(dialog, CDlgNumberIn::IdGrid);
        Type(dialog, CDlgNumberIn::IdValue, "2,8");
        Click(dialog, CDialogBuilder::IdOk);
    });
    EXPECT_TRUE(CDlgNumberIn::Run(data));
    EXPECT_EQ(data.first, 1.0);
    EXPECT_EQ(data.second, 2.0);

    PointInDialogData point;
    point.copy = true;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CDlgPointIn*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        Type(dialog, CDlgPointIn::IdAngle, "90");
        Click(dialog, CDialogBuilder::IdCancel);
    });
    EXPECT_FALSE(CDlgPointIn::Run(point));
}

} // namespace

namespace {

// The dialogs as the user sees them: drawn offscreen, and saved for a look when
// VELTA_SCREENSHOT_DIR names a folder.
TEST_F(InputDialogsTest, DialogsDraw)
{
    const QString folder = qEnvironmentVariable("VELTA_SCREENSHOT_DIR");
    const auto save = [&](QWidget& dialog, const char* name) {
        dialog.adjustSize();
        const QImage image = dialog.grab().toImage();
        EXPECT_FALSE(image.isNull());
        EXPECT_GT(image.width(), 200);
        if (!folder.isEmpty()) {
            EXPECT_TRUE(image.save(folder + "/" + name));
        }
    };
    CDlgNumberIn number;
    number.show();
    Type(&number, CDlgNumberIn::IdValue, "1..2");
    save(number, "number-in-mm.png");

    profile.SetInt("PointIn", "Abs", 1);
    profile.SetInt("PointIn", "Unit", 3);
    CDlgPointIn point;
    point.SetGrid(grid);
    point.SetCopy(true);
    point.show();
    Type(&point, CDlgPointIn::IdPosition, "2.54,0");
    Type(&point, CDlgPointIn::IdAngle, "90");
    save(point, "point-in-grid-copy.png");

    profile.SetInt("PointIn", "Abs", 0);
    profile.SetInt("PointIn", "Unit", 0);
    CDlgPointIn plain;
    plain.show();
    save(plain, "point-in-mm.png");
}

} // namespace
