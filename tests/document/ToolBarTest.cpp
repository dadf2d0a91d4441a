#include "platform/J.h"
#include "tests/document/EditFixture.h"

#include "model/items/Hole.h"

namespace {

class ToolBarTest : public EditFixture
{
protected:
    void Register(int index, const std::string& name)
    {
        tagGRID grid;
        grid.xPitch = grid.yPitch = 0.5 * (index + 1);
        grid.marked = 1;
        grid.name = name;
        doc->SetGrid(index, grid);
    }
    CText* AddSelectedText(int height)
    {
        CText* text = doc->GetSelectionSheet(0)->NewText(CText("T", CDPoint(1, 1), 0));
        LOGFONTA font = *text->GetFont();
        font.lfHeight = height;
        text->SetFontRecord(font);
        return text;
    }
};

TEST_F(ToolBarTest, LayerComboListsEnabledLayers)
{
    ASSERT_EQ(host.layerCombo.entries.size(), 4u);
    EXPECT_EQ(host.layerCombo.entries[0].text, "  1 : L1");
    EXPECT_EQ(host.layerCombo.entries[3].data, 3);
    EXPECT_EQ(host.layerCombo.selected, 0);
    // Terminal input lists the terminal pair; surface input in progress only the current layer.
    doc->GetLayerStack().partLayers[PL_TERM].layerA = 2;
    host.tool = 32918;
    doc->FillLayerCombo(false);
    ASSERT_EQ(host.layerCombo.entries.size(), 2u);
    EXPECT_EQ(host.layerCombo.entries[0].data, 2);
    EXPECT_EQ(host.layerCombo.entries[1].data, 1);
    doc->FillLayerCombo(true);
    EXPECT_EQ(host.layerCombo.entries.size(), 4u);
    host.tool = 32917;
    host.inputInProgress = true;
    doc->FillLayerCombo(false);
    ASSERT_EQ(host.layerCombo.entries.size(), 1u);
    EXPECT_EQ(host.layerCombo.entries[0].data, 0);
    // A terminal pair naming no layer lists nothing of it.
    host.tool = 32918;
    doc->GetLayerStack().partLayers[PL_TERM].layerA = 255;
    doc->FillLayerCombo(false);
    EXPECT_EQ(host.layerCombo.entries.size(), 1u);
}

TEST_F(ToolBarTest, LayerComboHandlers)
{
    doc->OnLayerComboCloseUp(2);
    EXPECT_EQ(doc->GetCurrentLayer(), 2);
    EXPECT_EQ(host.layerChanges, 1);
    EXPECT_EQ(host.focuses, 1);
    EXPECT_EQ(host.repaints.back().hint, 3);
    EXPECT_EQ(doc->GetEnableList().front().second, 2);
    doc->OnLayerComboCloseUp(2); // unchanged
    EXPECT_EQ(host.layerChanges, 1);
    doc->OnLayerComboCloseUp(-1); // not in the table
    doc->OnLayerComboCloseUp(500);
    EXPECT_EQ(doc->GetCurrentLayer(), 2);
    doc->OnLayerComboCancel();
    EXPECT_EQ(host.focuses, 2);
}

TEST_F(ToolBarTest, SelectLayerReordersTheLists)
{
    doc->SelectLayer(2);
    // The display list keeps its order by order value; the enable list starts with the layer.
    std::vector<int> display, enable;
    for (auto [order, layer] : doc->GetDisplayList())
        display.push_back(layer);
    for (auto [order, layer] : doc->GetEnableList())
        enable.push_back(layer);
    EXPECT_EQ(display, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(enable, (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(host.layerCombo.selected, 2);
    // Cross layers: switch only to a different, enabled layer.
    doc->GetBoardSheet(2)->SetCrossLayerNo(3);
    doc->SwitchToCrossLayer();
    EXPECT_EQ(doc->GetCurrentLayer(), 3);
    doc->GetBoardSheet(3)->SetCrossLayerNo(60);
    doc->SwitchToCrossLayer();
    EXPECT_EQ(doc->GetCurrentLayer(), 3);
}

TEST_F(ToolBarTest, ToolComboTextsAndSteps)
{
    doc->Turret(4) = tagTURRET{TURRET_THERMAL, 2.0, 1.0};
    doc->SetCurrentTurret(2);
    doc->FillTurretCombo(true);
    ASSERT_EQ(host.toolCombo.entries.size(), 4u);
    EXPECT_EQ(host.toolCombo.entries[0].text, "  1: C 1.0");
    EXPECT_EQ(host.toolCombo.entries[1].text, "  2: C 0.2");
    EXPECT_EQ(host.toolCombo.entries[3].text, "  4: T 2.0");
    EXPECT_EQ(host.toolCombo.selected, 1);
    doc->StepToolCombo(true, false);
    doc->StepToolCombo(true, false);
    doc->StepToolCombo(true, false);
    EXPECT_EQ(doc->GetCurrentTurret(), 4);
    EXPECT_EQ(host.toolCombo.selected, 3);
    for (int i = 0; i < 6; ++i)
        doc->StepToolCombo(false, false);
    EXPECT_EQ(doc->GetCurrentTurret(), 1);

    doc->FillTurretCombo(false);
    ASSERT_EQ(host.toolCombo.entries.size(), 1u);
    EXPECT_EQ(host.toolCombo.entries[0].text, " 1: 0.4   1");
    EXPECT_FALSE(doc->IsTurretMode());
}

TEST_F(ToolBarTest, ToolComboCloseUpAppliesToTheSelection)
{
    doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(5, 0), 2, 0);
    doc->FillTurretCombo(true);
    doc->OnToolComboCloseUp(3);
    EXPECT_EQ(doc->GetCurrentTurret(), 3);
    EXPECT_EQ(doc->GetSelectionSheet(0)->GetHeadLine()->GetTurretNo(), 3);
    EXPECT_EQ(host.repaints.back().hint, 1);
    doc->OnToolComboCloseUp(999); // outside the table: nothing
    EXPECT_EQ(doc->GetCurrentTurret(), 3);
}

TEST_F(ToolBarTest, SteppingSelectedNumbersKeepsTheirBounds)
{
    CSheet* vias = doc->GetSelectionSheet(LAYER_MAX);
    CVia* top = vias->NewVia(CDPoint(1, 1), 64, 0);
    doc->StepSelectionNumbers(1, false);
    EXPECT_EQ(top->GetViaNo(), 64);
    top->SetViaNo(1);
    doc->StepSelectionNumbers(-1, false);
    EXPECT_EQ(top->GetViaNo(), 1);
    top->SetViaNo(5);
    doc->StepSelectionNumbers(-1, false);
    EXPECT_EQ(top->GetViaNo(), 4);
    EXPECT_EQ(doc->GetCurrentVia(), 4);
    top->SetViaNo(0);
    doc->StepSelectionNumbers(-1, false);
    EXPECT_EQ(top->GetViaNo(), 0);
    vias->DeleteContents();

    CText* high = AddSelectedText(3000);
    CText* low = AddSelectedText(22);
    doc->StepSelectionNumbers(1, false);
    EXPECT_EQ(high->GetFont()->lfHeight, 3000);
    EXPECT_EQ(low->GetFont()->lfHeight, 27);
    doc->StepSelectionNumbers(-1, false);
    doc->StepSelectionNumbers(-1, false);
    EXPECT_EQ(low->GetFont()->lfHeight, 20);
    EXPECT_EQ(high->GetFont()->lfHeight, 2990);

    CHole* hole = doc->GetSelectionSheet(0)->NewHole(CDPoint(3, 3), 19.9, true, 0.0, 0.0, 0.0);
    doc->StepSelectionNumbers(1, false);
    EXPECT_DOUBLE_EQ(hole->GetHoleDia(), 20.0);
    doc->StepSelectionNumbers(1, false);
    EXPECT_DOUBLE_EQ(hole->GetHoleDia(), 20.0);

    CLine* zero = doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 0, 0);
    CLine* arrowed = doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 2), CDPoint(1, 2), 2, 0);
    arrowed->SetArrow(55, 250);
    doc->StepSelectionNumbers(-1, false);
    EXPECT_EQ(zero->GetTurretNo(), 0);
    EXPECT_EQ(arrowed->GetTurretNo(), 1);
    doc->StepSelectionNumbers(-1, true);
    EXPECT_EQ(arrowed->GetStartArrow(), 50);
    EXPECT_EQ(arrowed->GetEndArrow(), 240);
    doc->StepSelectionNumbers(1, true);
    doc->StepSelectionNumbers(1, true);
    EXPECT_EQ(arrowed->GetEndArrow(), 250);
    EXPECT_EQ(zero->GetStartArrow(), 0);
}

TEST_F(ToolBarTest, GridMenuWithoutGrids)
{
    const MenuData menu = doc->BuildGridMenu();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].id, 32811);
    EXPECT_EQ(menu[0].text, _J("グリッド未登録"));
    EXPECT_FALSE(menu[0].enabled);
    const MenuData patterns = doc->BuildLayerPatternMenu();
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].id, 32920);
    EXPECT_FALSE(patterns[0].enabled);
}

TEST_F(ToolBarTest, GridMenuLabelsAndChecks)
{
    for (int k : {0, 9, 10, 15})
        Register(k, "G" + std::to_string(k));
    doc->SetCurrentGrid(10);
    const MenuData menu = doc->BuildGridMenu();
    ASSERT_EQ(menu.size(), 6u);
    EXPECT_EQ(menu[0].text, " &1 : G0");
    EXPECT_EQ(menu[1].text, "1&0 : G9");
    EXPECT_EQ(menu[2].text, "11 : G10\t&A");
    EXPECT_EQ(menu[2].id, 32821);
    EXPECT_TRUE(menu[2].checked);
    EXPECT_EQ(menu[3].text, "16 : G15\t&F");
    EXPECT_TRUE(menu[4].separator);
    EXPECT_EQ(menu[5].id, 32827);
    EXPECT_EQ(menu[5].text, _J("グリッド非表示(&H)"));
    EXPECT_FALSE(menu[5].checked);
    doc->OnGridOff();
    EXPECT_TRUE(doc->BuildGridMenu()[5].checked);
    EXPECT_EQ(host.repaints.back().hint, 3);
}

TEST_F(ToolBarTest, GridCommandsWriteTheSection)
{
    Register(0, "A");
    Register(1, "B");
    doc->OnGridList(32812);
    EXPECT_EQ(doc->GetCurrentGrid(), 1);
    doc->OnGridList(32811 + 16); // outside the list
    EXPECT_EQ(doc->GetCurrentGrid(), 1);
    // The dialog's answer comes back; a cancelled dialog changes nothing.
    doc->OnGridSettings();
    EXPECT_EQ(doc->GetCurrentGrid(), 1);
    host.gridAnswer = [](std::array<tagGRID, 16>& grids, int& current, bool& shown) {
        grids[5].name = "NEW";
        grids[5].marked = 1;
        current = 5;
        shown = false;
    };
    doc->OnGridSettings();
    EXPECT_EQ(doc->GetCurrentGrid(), 5);
    EXPECT_EQ(doc->GetGrid(5).name, "NEW");
    EXPECT_FALSE(doc->IsGridShown());
    EXPECT_NE(ReadFile(Board()).find("\"NEW\""), std::string::npos);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(ToolBarTest, LayerPatternsApplyAndCheck)
{
    tagLAYERPATTERN pattern;
    pattern.layer = 2;
    pattern.layers = {0, 3};
    pattern.enables = {1, 0};
    pattern.name = "P";
    doc->SetLayerPattern(1, pattern);
    MenuData menu = doc->BuildLayerPatternMenu();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].text, " &2 : P");
    EXPECT_FALSE(menu[0].checked);
    doc->OnLayerPattern(32921);
    EXPECT_EQ(doc->GetCurrentLayer(), 2);
    EXPECT_TRUE(doc->GetBoardSheet(0)->IsEnable());
    EXPECT_TRUE(doc->GetBoardSheet(3)->IsDisp());
    EXPECT_FALSE(doc->GetBoardSheet(3)->IsEnable());
    EXPECT_FALSE(doc->GetBoardSheet(1)->IsDisp());
    EXPECT_EQ(doc->GetDisplayList().size(), 3u);
    EXPECT_TRUE(doc->BuildLayerPatternMenu()[0].checked);
    // Patterns naming no layer of the board do nothing.
    pattern.layer = 200;
    doc->SetLayerPattern(2, pattern);
    doc->OnLayerPattern(32922);
    doc->OnLayerPattern(32920 + 40);
    EXPECT_EQ(doc->GetCurrentLayer(), 2);
}

TEST_F(ToolBarTest, DropDownMenus)
{
    doc->OnToolBarDropDown(32810);
    doc->OnToolBarDropDown(32786);
    doc->OnToolBarDropDown(32942);
    doc->OnToolBarDropDown(32775);
    ASSERT_EQ(host.dropDowns.size(), 3u);
    EXPECT_EQ(host.dropDowns[0].menu[0].id, 32811);
    EXPECT_EQ(host.dropDowns[1].menu[0].id, 32920);
    const MenuData& tools = host.dropDowns[2].menu;
    EXPECT_EQ(host.dropDowns[2].images, 135);
    ASSERT_EQ(tools.size(), 6u);
    EXPECT_TRUE(std::all_of(tools.begin(), tools.end(), [](const MenuEntry& e) { return e.enabled; }));
    EXPECT_EQ(host.frameDropDowns, (std::vector<int>{32775}));
    // While something is selected, part list, hole data and clean-up are grey.
    doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    int grey = 0;
    for (const MenuEntry& e : doc->BuildToolsMenu())
        if (!e.enabled) {
            ++grey;
            EXPECT_TRUE(e.id == 32955 || e.id == 32846 || e.id == 32956) << e.id;
        }
    EXPECT_EQ(grey, 3);
}

} // namespace
