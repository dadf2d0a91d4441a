// Layer selection dialog: ticks in layer or check order, the filters and the remembered filter.

#include "libui/DlgLayerSel.h"
#include "libui/CheckListBox.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/ItemDialogFixture.h"

namespace {

class DlgLayerSelTest : public ItemDialogFixture
{
protected:
    DlgLayerSelTest()
    {
        for (int i = 0; i < LAYER_MAX; ++i) {
            frame.layers[static_cast<std::size_t>(i)].name = "L" + std::to_string(i + 1);
            frame.layers[static_cast<std::size_t>(i)].display = i % 2 == 0 ? 1 : 0;
        }
    }
    static CCheckListBox* List(QWidget* d) { return FindControl<CCheckListBox>(d, CDlgLayerSel::IdList); }
    // Ticks or unticks the row of a layer with the keyboard.
    static void Toggle(QWidget* d, int layer)
    {
        CCheckListBox* list = List(d);
        for (int row = 0; row < list->count(); ++row) {
            if (list->GetRowData(row) == layer - 1) {
                list->setFocus();
                list->setCurrentRow(row);
                QTest::keyClick(list->viewport(), Qt::Key_Space);
                return;
            }
        }
        ADD_FAILURE() << "no row for layer " << layer;
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
};

TEST_F(DlgLayerSelTest, ListTextHoldsTheSlotsInOrder)
{
    CDlgLayerSel dialog;
    dialog.m_order[2] = 7;
    dialog.m_order[11] = 1;
    dialog.m_order[127] = 3;
    dialog.show();
    // Without check order the slots are renumbered in layer order.
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  3, 12,128");
    ASSERT_EQ(List(&dialog)->count(), 128);
    EXPECT_EQ(List(&dialog)->item(2)->text(), "  3 L3");
    EXPECT_EQ(List(&dialog)->GetCheck(2), 1);
    Ok(&dialog);
    int order[128] = {};
    EXPECT_EQ(dialog.GetLayerList(order), "  3, 12,128");
    EXPECT_EQ(order[2], 1);
    EXPECT_EQ(order[11], 2);
    EXPECT_EQ(order[127], 3);

    CDlgLayerSel empty;
    EXPECT_EQ(empty.GetLayerList(order), "");
    EXPECT_EQ(order[2], 0);
}

TEST_F(DlgLayerSelTest, CheckOrderModeKeepsTheOrderOfTicking)
{
    CDlgLayerSel dialog;
    dialog.SetOrder(true);
    dialog.SetDispMode(0);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("レイヤ選択(チェック順)"));
    for (int layer : {5, 2, 9})
        Toggle(&dialog, layer);
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  5,  2,  9");
    Shot(&dialog, "layersel-order");
    Toggle(&dialog, 2);
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  5,  9");
    EXPECT_EQ(dialog.m_order[4], 1);
    EXPECT_EQ(dialog.m_order[8], 2);
    EXPECT_EQ(dialog.m_order[1], 0);
    Ok(&dialog);
    EXPECT_FALSE(profile.HasKey("Default", "LaySelMode"));
}

TEST_F(DlgLayerSelTest, LayerOrderModeSortsTheTicks)
{
    CDlgLayerSel dialog;
    dialog.show();
    for (int layer : {5, 2, 9})
        Toggle(&dialog, layer);
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  2,  5,  9");
    EXPECT_EQ(dialog.m_order[4], 2);
}

TEST_F(DlgLayerSelTest, FiltersKeepHiddenTicksAndClearEmptiesAll)
{
    profile.SetInt("Default", "LaySelMode", 9); // junk: all layers
    CDlgLayerSel dialog;
    dialog.m_order[1] = 1; // layer 2 is not displayed
    dialog.m_order[2] = 2;
    dialog.show();
    EXPECT_EQ(List(&dialog)->count(), 128);
    Click(&dialog, CDlgLayerSel::IdDisplayed);
    EXPECT_EQ(List(&dialog)->count(), 64);
    EXPECT_EQ(List(&dialog)->item(1)->text(), "  3 L3");
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  2,  3");
    Shot(&dialog, "layersel-displayed");
    Click(&dialog, CDlgLayerSel::IdClear);
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "");
    EXPECT_EQ(dialog.m_order[1], 0);
    Ok(&dialog);
    EXPECT_EQ(profile.GetInt("Default", "LaySelMode", -1), 2);

    // The remembered filter opens the next dialog.
    CDlgLayerSel next;
    next.show();
    EXPECT_EQ(State(&next, CDlgLayerSel::IdDisplayed), Qt::Checked);
}

TEST_F(DlgLayerSelTest, NoFrameGivesAnEmptyList)
{
    SetFrameServices(nullptr);
    CDlgLayerSel dialog;
    dialog.m_order[0] = 1;
    dialog.show();
    EXPECT_EQ(List(&dialog)->count(), 0);
    EXPECT_EQ(Text(&dialog, CDlgLayerSel::IdText), "  1");
    SetFrameServices(&frame);
}

} // namespace
