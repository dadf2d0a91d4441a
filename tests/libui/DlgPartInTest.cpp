// Part input dialog, run through the item-dialog entry with the Qt dialogs installed.

#include "libui/DlgPartIn.h"
#include "libui/HistoryCombo.h"
#include "model/services/StringTable.h"
#include "tests/support/ItemDialogFixture.h"

#include <QComboBox>

namespace {

class DlgPartInTest : public ItemDialogFixture
{
protected:
    bool Run(PartInDialogData& data, std::function<void(QDialog*)> steps)
    {
        OnDialog(std::move(steps));
        return dialogs.RunPartInDialog(data);
    }
    static void TypeName(QDialog* d, const QString& name)
    {
        auto* combo = FindControl<QComboBox>(d, CDlgPartIn::IdPartName);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), name);
    }
};

TEST_F(DlgPartInTest, FreshProfileAndAnEmptyName)
{
    PartInDialogData data;
    data.reference = "R?";
    EXPECT_FALSE(Run(data, [](QDialog* d) {
        EXPECT_EQ(State(d, 1589), Qt::Checked);
        EXPECT_EQ(State(d, 1593), Qt::Checked);
        EXPECT_EQ(State(d, 1581), Qt::Unchecked);
        EXPECT_EQ(State(d, CDlgPartIn::IdRefDisp), Qt::PartiallyChecked);
        EXPECT_EQ(State(d, CDlgPartIn::IdValueDisp), Qt::PartiallyChecked);
        EXPECT_EQ(State(d, CDlgPartIn::IdPartNameDisp), Qt::Unchecked);
        EXPECT_EQ(Text(d, CDlgPartIn::IdRef), "R?");
        EXPECT_EQ(Text(d, CDlgPartIn::IdX), "***");
        Shot(d, "part-input");
        Ok(d);
        EXPECT_EQ(d->focusWidget(), FindControl<QComboBox>(d, CDlgPartIn::IdPartName));
    }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, LoadQuarnString(IDS_PART_NAME_MISSING));

    EXPECT_TRUE(Run(data, [](QDialog* d) {
        TypeName(d, "DIP14");
        Ok(d);
    }));
    EXPECT_EQ(data.partName, "DIP14");
    EXPECT_EQ(data.reference, "R?");
    EXPECT_EQ(data.referenceDisplay, 2);
    EXPECT_EQ(data.excludedLayers, 0x9000000);
    EXPECT_FALSE(data.xGiven);
    EXPECT_FALSE(data.yGiven);
    EXPECT_FALSE(data.angleGiven);
    EXPECT_EQ(profile.GetInt("PartIn", "Disp", 0), 0x9000028);
}

TEST_F(DlgPartInTest, AllTogglesTheMaskAndTheOutlineBoxSetsBothClasses)
{
    profile.SetInt("PartIn", "Disp", 0x1 | 0x4 | 0x10);
    PartInDialogData data;
    EXPECT_TRUE(Run(data, [](QDialog* d) {
        EXPECT_EQ(State(d, CDlgPartIn::IdPartNameDisp), Qt::Checked);
        EXPECT_EQ(State(d, 1589), Qt::Unchecked);
        Click(d, CDlgPartIn::IdAll);
        EXPECT_EQ(State(d, 1581), Qt::Checked);
        EXPECT_EQ(State(d, 1591), Qt::Checked);
        Click(d, CDlgPartIn::IdAll);
        EXPECT_EQ(State(d, 1585), Qt::Unchecked);
        Click(d, 1591);
        TypeName(d, "QFP");
        Ok(d);
    }));
    EXPECT_EQ(static_cast<unsigned>(data.excludedLayers), 0x24000000u);
    EXPECT_EQ(data.partNameDisplay, 1);
    EXPECT_EQ(data.referenceDisplay, 1);
    EXPECT_EQ(data.valueDisplay, 1);
    EXPECT_EQ(profile.GetInt("PartIn", "Disp", 0), 0x24000015);
}

TEST_F(DlgPartInTest, GivenPositionAndAngle)
{
    // Junk in the profile shows as what its bits say, and history gaps end the list.
    profile.SetInt("PartIn", "Disp", -1);
    profile.SetString("Recent Part List", "Part0", "SOP8");
    profile.SetString("Recent Part List", "Part1", "DIP8");
    profile.SetString("Recent Part List", "Part3", "LOST");
    PartInDialogData data;
    EXPECT_TRUE(Run(data, [](QDialog* d) {
        auto* combo = FindControl<QComboBox>(d, CDlgPartIn::IdPartName);
        EXPECT_EQ(combo->count(), 2);
        combo->setCurrentIndex(1);
        Type(d, CDlgPartIn::IdX, "10/4");
        Type(d, CDlgPartIn::IdAngle, "90");
        Ok(d);
    }));
    EXPECT_EQ(data.partName, "DIP8");
    EXPECT_TRUE(data.xGiven);
    EXPECT_FALSE(data.yGiven);
    EXPECT_TRUE(data.angleGiven);
    EXPECT_DOUBLE_EQ(data.position.x, 2.5);
    EXPECT_NEAR(data.angle, std::numbers::pi / 2, 1e-12);

    // A field that does not evaluate keeps the dialog open.
    EXPECT_FALSE(Run(data, [](QDialog* d) {
        TypeName(d, "DIP8");
        Type(d, CDlgPartIn::IdY, "abc");
        Ok(d);
    }));
    EXPECT_TRUE(stayedOpen);
}

} // namespace
