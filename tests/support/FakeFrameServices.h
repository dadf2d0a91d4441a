#pragma once
// Main-frame answers for model tests. Constructing one installs it; destroying it uninstalls it.
// With a document set, turret and via entries come from that document's tables, as the frame does.

#include "model/services/FrameServices.h"

#include <map>

class FakeDocument;

class FakeFrameServices : public FrameServices
{
public:
    explicit FakeFrameServices(FakeDocument* doc = nullptr);
    ~FakeFrameServices() override;

    FakeDocument* document;
    std::array<tagLAYER, LAYER_MAX + 1> layers{};
    std::array<tagTEXTSIZE, 17> textSizes{};
    tagDIMS dims{};
    std::map<int, int> dcodes; // turret -> D code; absent: turret + 10
    int drawMode = 0;
    int coordScale = 100;

    tagTURRET GetTurret(int number) override;
    tagVIA GetVia(int number) override;
    tagLAYER GetLayer(int layer) override;
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int kind) override;
    void SetDrawMode(int mode) override { drawMode = mode; }
    int GetDrawMode() override { return drawMode; }
    int GetWireLayerCount() override;
    int GetTurretDCode(int turret) override;
    tagTEXTSIZE GetTextSize(int index) override;
    tagDIMS GetDimensionStyle() override;
    int GetCoordScale() override;
    bool IsLayerDisplayed(int layer) override;
    DocumentServices* GetCurrentDocument() override;

private:
    FrameServices* m_previous;
};
