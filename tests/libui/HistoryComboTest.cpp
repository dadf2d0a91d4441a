#include "libui/HistoryCombo.h"

#include "platform/Profile.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class HistoryComboTest : public ::testing::Test
{
protected:
    void SetUp() override { platform::SetProfile(&profile); }
    void TearDown() override { platform::SetProfile(nullptr); }
    QStringList Items() const
    {
        QStringList out;
        for (int i = 0; i < combo.count(); ++i)
            out << combo.itemText(i);
        return out;
    }
    platform::MemoryProfile profile;
    CHistoryCombo combo;
};

TEST_F(HistoryComboTest, TypedTextsMoveUpAndAreSaved)
{
    profile.SetString("NumberIn", "Num0", "ABC");
    profile.SetString("NumberIn", "Num1", "12");
    profile.SetString("NumberIn", "Num", "gone");
    EXPECT_EQ(combo.LoadHistory("NumberIn", "Num"), "gone");
    EXPECT_EQ(Items(), QStringList({"ABC", "12"}));
    EXPECT_EQ(combo.currentText(), "gone"); // no longer listed, still shown
    EXPECT_EQ(combo.insertPolicy(), QComboBox::NoInsert);

    combo.lineEdit()->setText("abc");
    combo.SaveHistory(true);
    EXPECT_EQ(Items(), QStringList({"abc", "12"}));
    EXPECT_EQ(profile.GetString("NumberIn", "Num0"), "abc");
    EXPECT_EQ(profile.GetString("NumberIn", "Num"), "abc");

    for (int i = 0; i < 17; ++i)
        combo.AddString(QString::number(100 + i));
    EXPECT_EQ(combo.count(), 16);
    EXPECT_EQ(combo.itemText(0), "116");
    combo.SetMaxHistoryItems(2);
    EXPECT_EQ(combo.count(), 2);
    combo.ClearHistory(true);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_FALSE(profile.HasKey("NumberIn", "Num0"));
}

TEST_F(HistoryComboTest, ListWidensToItsWidestItem)
{
    combo.LoadHistory("S", "K");
    combo.AddString("x");
    combo.AddString(QString(60, QChar('W')));
    combo.resize(60, combo.sizeHint().height());
    combo.show();
    combo.showPopup();
    const int widest = combo.fontMetrics().horizontalAdvance(QString(60, QChar('W')));
    EXPECT_GE(combo.DroppedWidth(), widest + 6);
    EXPECT_GE(combo.view()->minimumWidth(), widest + 6);
    combo.hidePopup();

    std::vector<std::string> recent{"a.vbd", "b.vbd"};
    CHistoryCombo files;
    EXPECT_EQ(files.LoadHistory(&recent, true), "a.vbd");
    EXPECT_EQ(files.count(), 2);
}

} // namespace
