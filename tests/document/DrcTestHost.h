#pragma once
// A board for the design rule check tests: three wiring layers with their work layers, part
// outlines on layers of their own, the marker turrets, message boxes recorded and the check's
// dialog answered by the test.

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "tests/document/ToolCommandHost.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <iterator>

class DrcHost : public ToolCommandHost
{
public:
    bool RunDrcDialog(DrcChoice& choice, CVELTADoc&) override
    {
        offered = choice;
        ++dialogs;
        if (!drc)
            return false;
        drc(choice);
        return true;
    }
    std::optional<ProjectWorkEntry> FindProjectWork(const std::string&) override { return project; }

    std::function<void(DrcChoice&)> drc;
    std::optional<ProjectWorkEntry> project;
    DrcChoice offered;
    int dialogs = 0;
};

class DrcFixture : public EditFixture
{
protected:
    static constexpr int kOutline = 40;       // component-side outlines; solder side 41
    static constexpr int kOutput = 114;       // default first output layer
    static constexpr int kMarkTurret = 10;
    static constexpr int kOutlineTurret = 15;

    void SetUp() override
    {
        EditFixture::SetUp();
        WriteFile(Board(), Section("GRID", "") + Section("DISP_LAYER", "") + Section("LAYER_TABLE", "") +
                               Section("DRC_CHECK", "SIZE : 0.25 ;\r\n"));
        doc->SetHost(&drcHost);
        platform::SetMessageService(&messages);
        platform::SetClock(&clock);
        folder = Board().parent_path();
        doc->SetPathName((folder / "board.VBD").string());
        LayerStack& stack = doc->GetLayerStack();
        stack.wireLayers = {0, 1, 2};
        stack.wireCount = 3;
        doc->GetBoardSheet(2)->ModifyType(0x1, 0);
        doc->GetBoardSheet(1)->ModifyType(0, 0x4);
        doc->GetBoardSheet(2)->ModifyType(0x4, 0);
        for (int layer = 0; layer < 3; ++layer)
            doc->GetBoardSheet(layer)->SetWLayer(layer + 1);
        for (int index : {PL_DIPOUTLINE, PL_SMDOUTLINE}) {
            tagPARTLAYER& outline = stack.partLayers[static_cast<std::size_t>(index)];
            outline.layerA = kOutline;
            outline.layerB = kOutline + 1;
        }
        doc->Turret(kMarkTurret).size1 = 0.5;
        doc->Turret(kOutlineTurret).size1 = 0.8;
        doc->BuildLayerLists();
    }
    void TearDown() override
    {
        platform::SetClock(nullptr);
        platform::SetMessageService(nullptr);
        EditFixture::TearDown();
    }

    // A placed part at `at`: a square outline of half size `half` on the component-side outline
    // layer and one pad with its terminal at each offset (layer 0), pins numbered from 1.
    CPart* AddPart(const std::string& ref, CDPoint at, double half, std::vector<CDPoint> pads = {},
                   int type = PART_PLACED | PART_SMD)
    {
        CPart part;
        part.SetRefName(ref.c_str());
        part.SetPartName("PKG");
        part.SetValue("V");
        part.SetType(type);
        part.SetOrg(CDPoint(0, 0));
        const CDPoint corners[] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
        if (half > 0)
            for (int i = 0; i < 4; ++i)
                part.NewLine(corners[i], corners[(i + 1) % 4], 2, 0)->SetLayerNo(kOutline);
        std::uint32_t id = 1;
        for (const CDPoint& p : pads) {
            CLand* pad = part.NewLand(p, 1);
            pad->SetLayerNo(0);
            pad->SetID(id);
            part.NewTer(p, CText(std::to_string(id), p, 0))->SetID(id);
            ++id;
        }
        CPart* placed = doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
        placed->Offset(at, true);
        return placed;
    }
    // Runs the check with the dialog's defaults changed by `choose`.
    void Run(std::function<void(DrcChoice&)> choose = [](DrcChoice&) {})
    {
        drcHost.drc = std::move(choose);
        doc->OnDesignRuleCheck();
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
    // Lands of the turret on the layer.
    int Lands(int layer, int turret)
    {
        int count = 0;
        CSheet* sheet = doc->GetBoardSheet(layer);
        for (POSITION pos = sheet->GetFirstLandPos(); pos;)
            count += sheet->GetNextLand(pos)->GetTurretNo() == turret;
        return count;
    }

    DrcHost drcHost;
    platform::RecordingMessages messages;
    platform::FixedClock clock{1700000000};
    std::filesystem::path folder;
};
