#pragma once
// A board document for the editing tests: four shown and enabled layers (0 and 1 wiring layers,
// the part pair on 0 and 1), a few turrets and a via entry, a snap tolerance, and a host that
// records what the document asks of the windows.

#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Profile.h"
#include "tests/document/SettingsFixture.h"
#include "tests/support/FakeDocumentHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class EditHost : public FakeDocumentHost
{
public:
    struct Post
    {
        int message, wParam, lParam;
    };
    struct DropDown
    {
        int button;
        MenuData menu;
        int images;
    };

    bool IsFrameMinimised() override { return minimised; }
    void TitleChanged(const std::string& title) override { titles.push_back(title); }
    void PostMainMessage(int message, int wParam, int lParam) override
    {
        posts.push_back({message, wParam, lParam});
    }
    bool AskSaveModified() override
    {
        ++questions;
        return answer;
    }
    int GetActiveTool() override { return tool; }
    bool IsInputInProgress() override { return inputInProgress; }
    void LayerChanged() override { ++layerChanges; }
    void FocusActiveView() override { ++focuses; }
    void SetLayerCombo(const ComboData& combo) override { layerCombo = combo; }
    void SetToolCombo(const ComboData& combo) override { toolCombo = combo; }
    void SelectLayerComboItem(int index) override { layerCombo.selected = index; }
    void SelectToolComboItem(int index) override { toolCombo.selected = index; }
    bool RunGridDialog(std::array<tagGRID, 16>& grids, int& current, bool& shown) override
    {
        if (!gridAnswer)
            return false;
        gridAnswer(grids, current, shown);
        return true;
    }
    void ShowDropDownMenu(int button, const MenuData& menu, int images) override
    {
        dropDowns.push_back({button, menu, images});
    }
    void MainFrameDropDown(int button) override { frameDropDowns.push_back(button); }

    bool minimised = false;
    bool answer = true;
    int questions = 0;
    int tool = 0;
    bool inputInProgress = false;
    int layerChanges = 0;
    int focuses = 0;
    std::vector<std::string> titles;
    std::vector<Post> posts;
    ComboData layerCombo;
    ComboData toolCombo;
    std::function<void(std::array<tagGRID, 16>&, int&, bool&)> gridAnswer;
    std::vector<DropDown> dropDowns;
    std::vector<int> frameDropDowns;
};

class EditFixture : public SettingsFixture
{
protected:
    static constexpr int kLayers = 4;

    void SetUp() override
    {
        SettingsFixture::SetUp();
        platform::SetProfile(&profile);
        // The sections the commands write.
        WriteFile(Board(), Section("GRID", "") + Section("DISP_LAYER", "") + Section("LAYER_TABLE", ""));
        doc = std::make_unique<CVELTADoc>();
        doc->GetSettingFile().SetPath(Board());
        doc->SetHost(&host);
        doc->GetLayerStack().wireLayers = {0, 1};
        doc->GetLayerStack().wireCount = 2;
        tagPARTLAYER& term = doc->GetLayerStack().partLayers[PL_TERM];
        term.layerA = 0;
        term.layerB = 1;
        const double sizes[] = {0.0, 1.0, 0.2, 1.6};
        for (int n = 1; n <= 3; ++n)
            doc->Turret(n).size1 = sizes[n];
        tagVIA& via = doc->Via(1);
        via.drill = 0.4;
        via.lands.fill(1);
        for (int layer = 0; layer < kLayers; ++layer) {
            for (int set : {0, 2, 5}) {
                CSheet* sheet = doc->GetSetSheet(set, layer);
                sheet->GetLayerPoint()->display = 1;
                sheet->GetLayerPoint()->enable = 1;
                sheet->GetLayerPoint()->order = static_cast<std::uint8_t>(layer);
                sheet->GetLayerPoint()->name = "L" + std::to_string(layer + 1);
            }
        }
        doc->GetBoardSheet(0)->ModifyType(0x3, 0);
        doc->GetBoardSheet(1)->ModifyType(0x5, 0);
        doc->BuildLayerLists();
        doc->FillLayerCombo(false);
        doc->SetHitTolerance(0.5);
        host.repaints.clear();
    }
    void TearDown() override
    {
        doc.reset();
        platform::SetProfile(nullptr);
        SettingsFixture::TearDown();
    }

    CLine* AddLine(int layer, CDPoint a, CDPoint b) { return doc->GetBoardSheet(layer)->NewLine(a, b, 2, 0); }
    CVia* AddVia(CDPoint p) { return doc->GetBoardSheet(LAYER_MAX)->NewVia(p, 1, 0); }
    CLand* AddLand(int layer, CDPoint p) { return doc->GetBoardSheet(layer)->NewLand(p, 1); }
    int OnBoard(int layer) { return doc->GetBoardSheet(layer)->GetItemCount(); }
    int Selected(int layer) { return doc->GetSelectionSheet(layer)->GetItemCount(); }

    platform::MemoryProfile profile;
    EditHost host;
    std::unique_ptr<CVELTADoc> doc;
};
