// The part list dialog on real widgets: its captions, the placement options following
// "配置座標(&L)", the values handed back, and the view option's profile key.

#include "dialogs/DlgPartList.h"
#include "controls/FolderCombo.h"
#include "tests/dialogs/DataDialogTest.h"

#include <QPushButton>

namespace {

using DlgPartListTest = DataDialogTest<CDlgPartList>;

TEST_F(DlgPartListTest, CaptionsAndPlacementOptionsFollowThePlacementCheck)
{
    std::filesystem::create_directory(Work() / "out");
    PartListChoice data;
    data.baseFolder = Work().string();
    data.outputFolder = "out";
    data.partOriginX = 12.5;
    data.solderOriginY = -3.0;
    data.mirrorX = 1;
    const int placementIds[] = {CDlgPartList::IdPartOriginX,   CDlgPartList::IdPartOriginY,
                                CDlgPartList::IdSolderOriginX, CDlgPartList::IdSolderOriginY,
                                CDlgPartList::IdBySide,        CDlgPartList::IdMirrorX,
                                CDlgPartList::IdMirrorY,       CDlgPartList::IdUnplaced};
    bool checked = false;
    ASSERT_TRUE(Run(data, [&](QDialog* d) {
        checked = true;
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("部品表作成"));
        EXPECT_EQ(FindControl<QPushButton>(d, CDialogBuilder::IdOk)->text(), QString::fromUtf8("作成(&M)"));
        EXPECT_EQ(FindControl<QAbstractButton>(d, CDlgPartList::IdPlace)->text(),
                  QString::fromUtf8("配置座標(&L)"));
        EXPECT_EQ(Combo(d, CDlgPartList::IdOutputFolder)->currentText(), "out");
        for (int id : placementIds)
            EXPECT_FALSE(Enabled(d, id)) << id;
        // Disabled, the origins keep their values.
        EXPECT_EQ(Text(d, CDlgPartList::IdPartOriginX).toDouble(), 12.5);
        Click(d, CDlgPartList::IdPlace);
        for (int id : placementIds)
            EXPECT_TRUE(Enabled(d, id)) << id;
        Shot(d, "DlgPartList");
        Type(d, CDlgPartList::IdSolderOriginX, "100");
        Click(d, CDlgPartList::IdMirrorY);
        Click(d, CDlgPartList::IdBom);
        Click(d, CDlgPartList::IdPlace);
        for (int id : placementIds)
            EXPECT_FALSE(Enabled(d, id)) << id;
        Click(d, CDlgPartList::IdPlace);
        Ok(d);
    }));
    EXPECT_TRUE(checked);
    EXPECT_EQ(data.place, 1);
    EXPECT_EQ(data.bom, 1);
    EXPECT_EQ(data.partList, 0);
    EXPECT_EQ(data.mirrorX, 1);
    EXPECT_EQ(data.mirrorY, 1);
    EXPECT_DOUBLE_EQ(data.solderOriginX, 100.0);
    EXPECT_DOUBLE_EQ(data.solderOriginY, -3.0);
    EXPECT_DOUBLE_EQ(data.partOriginX, 12.5);
    EXPECT_EQ(data.outputFolder, "out");
}

TEST_F(DlgPartListTest, TheViewOptionSurvivesCancelAndIsWrittenOnOk)
{
    profile.SetInt("Tool", "PListView", 0);
    PartListChoice data;
    EXPECT_FALSE(Run(data, [](QDialog* d) {
        EXPECT_EQ(State(d, CDlgPartList::IdView), Qt::Unchecked);
        Click(d, CDlgPartList::IdView);
        d->reject();
    }));
    EXPECT_EQ(profile.GetInt("Tool", "PListView", 1), 0);
    EXPECT_TRUE(Run(data, [](QDialog* d) {
        Click(d, CDlgPartList::IdView);
        Ok(d);
    }));
    EXPECT_EQ(profile.GetInt("Tool", "PListView", 0), 1);
    EXPECT_EQ(data.view, 1);
}

TEST_F(DlgPartListTest, AnOriginThatIsNoNumberKeepsTheDialogOpen)
{
    PartListChoice data;
    data.place = 1;
    EXPECT_FALSE(Run(data, [](QDialog* d) {
        Type(d, CDlgPartList::IdPartOriginY, "-");
        Ok(d);
    }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Count(), 1u);
}

} // namespace
