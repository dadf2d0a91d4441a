#pragma once
// What the board model asks of the application's main frame: answers for the current board.
// Installed once at start-up; null when no frame exists (then callers use their own defaults).

#include "model/services/Records.h"

#include <array>
#include <cstdint>

class DocumentServices;

class FrameServices
{
public:
    virtual ~FrameServices() = default;

    virtual tagTURRET GetTurret(int number) = 0;
    virtual tagVIA GetVia(int number) = 0;
    virtual tagLAYER GetLayer(int layer) = 0;
    // flags[0] on entry selects the question: 0 all 1; 1 layer has items of the kind; 2 display
    // byte; 3 enable byte.
    virtual void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int kind) = 0;
    virtual void SetDrawMode(int mode) = 0;
    virtual int GetDrawMode() = 0;
    virtual int GetWireLayerCount() = 0;
    virtual int GetTurretDCode(int turret) = 0;
    virtual tagTEXTSIZE GetTextSize(int index) = 0;
    virtual tagDIMS GetDimensionStyle() = 0;
    virtual int GetCoordScale() = 0;
    virtual bool IsLayerDisplayed(int layer) = 0;
    // The frame's current board document, or null.
    virtual DocumentServices* GetCurrentDocument() = 0;
};

FrameServices* GetFrameServices();
void SetFrameServices(FrameServices* services);
