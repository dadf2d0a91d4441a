// The clean-up dialog on real widgets: captions, the options it does not offer, the choices handed
// back, and the three options the profile section "CleanSection" remembers.

#include "dialogs/DlgClean.h"
#include "tests/dialogs/DataDialogTest.h"

namespace {

using DlgCleanTest = DataDialogTest<CDlgClean>;

TEST_F(DlgCleanTest, ChoicesComeBackAndTheUnusedOptionsAreNotOffered)
{
    CleanUpChoice data;
    ASSERT_TRUE(Run(data, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("重複整理"));
        for (int id : {CDlgClean::IdSurface, CDlgClean::IdHole, CDlgClean::IdPartDup})
            EXPECT_FALSE(Enabled(d, id)) << id;
        // The profile's defaults: view, resist and metal on.
        for (int id : {CDlgClean::IdView, CDlgClean::IdResist, CDlgClean::IdMetal})
            EXPECT_EQ(State(d, id), Qt::Checked) << id;
        EXPECT_EQ(State(d, CDlgClean::IdAllLayers), Qt::Checked);
        Shot(d, "DlgClean");
        Click(d, CDlgClean::IdWriteLayer);
        Click(d, CDlgClean::IdOutside);
        Click(d, CDlgClean::IdLine);
        Click(d, CDlgClean::IdMetal);
        Ok(d);
    }));
    EXPECT_EQ(data.target, 3);
    EXPECT_EQ(data.outside, 1);
    EXPECT_EQ(data.line, 1);
    EXPECT_EQ(data.view, 1);
    EXPECT_EQ(data.resist, 1);
    EXPECT_EQ(data.metal, 0);
}

TEST_F(DlgCleanTest, TheResistCheckTurnedOffStaysOffNextTimeAndCancelKeepsTheProfile)
{
    CleanUpChoice data;
    ASSERT_TRUE(Run(data, [](QDialog* d) {
        Click(d, CDlgClean::IdResist);
        Ok(d);
    }));
    EXPECT_EQ(profile.GetInt("CleanSection", "Resist", 1), 0);
    EXPECT_FALSE(Run(data, [](QDialog* d) {
        EXPECT_EQ(State(d, CDlgClean::IdResist), Qt::Unchecked);
        Click(d, CDlgClean::IdResist);
        Click(d, CDlgClean::IdView);
        d->reject();
    }));
    EXPECT_EQ(profile.GetInt("CleanSection", "Resist", 1), 0);
    EXPECT_EQ(profile.GetInt("CleanSection", "View", 0), 1);
}

TEST_F(DlgCleanTest, OptionsOutsideTheProfileStartAsTheCallerSetsThem)
{
    CleanUpChoice data;
    data.target = 2;
    data.outside = 1;
    ASSERT_TRUE(Run(data, [](QDialog* d) {
        EXPECT_EQ(State(d, CDlgClean::IdShownLayers), Qt::Checked);
        EXPECT_EQ(State(d, CDlgClean::IdOutside), Qt::Checked);
        Ok(d);
    }));
    EXPECT_EQ(data.target, 2);
}

} // namespace
