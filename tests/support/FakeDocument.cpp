#include "tests/support/FakeDocument.h"

#include "model/geometry/DPoint.h"

FakeDocument::FakeDocument()
{
    // The defaults the program's settings give, as FakeFrameServices has them.
    textSizes.fill(tagTEXTSIZE{0, 2.0, 2.0, 0.5});
    dims.arrowLength = 200;
    dims.arrowAngle = 15.0 * 3.141592653589793 / 180.0;
    dims.dotSize = 100;
    dims.textSize = 250;
}

void FakeDocument::SetWireLayers(std::vector<std::uint8_t> layers)
{
    stack.wireCount = static_cast<int>(layers.size());
    stack.wireLayers = std::move(layers);
}

void FakeDocument::SetPartLayer(int index, int layerA, int layerB)
{
    stack.partLayers.at(index).layerA = static_cast<std::uint8_t>(layerA);
    stack.partLayers.at(index).layerB = static_cast<std::uint8_t>(layerB);
}

COLORREF FakeDocument::GetNetColor(int netId)
{
    if (!netColoring)
        return 0xFFFFFF;
    auto it = netColors.find(netId);
    return it == netColors.end() ? 0xFFFFFF : it->second;
}

int FakeDocument::GetDispLayers(std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), displayLayers.begin(), displayLayers.end());
    return static_cast<int>(displayLayers.size());
}

CSheet* FakeDocument::GetHoleSheet(int index)
{
    if (index == 0)
        return GetBoardSheet(currentLayer);
    return nullptr;
}

int FakeDocument::GetWireLayerPos(int layer, bool withTerm)
{
    return stack.WireLayerPos(layer, withTerm, [this](int l) {
        return l >= 0 && l <= LAYER_MAX && (layerTypeWords[l] & 0x8) != 0;
    });
}

int FakeDocument::GetWireLayer(int pos)
{
    return stack.WireLayer(pos);
}

int FakeDocument::PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds)
{
    return stack.PartLayerToLayer(code, side, swapEnds);
}

std::uint32_t FakeDocument::LayerToPartLayer(int layer, bool side)
{
    return stack.LayerToPartLayer(layer, side);
}

int FakeDocument::FindTurretByDCode(int)
{
    return -1;
}

double FakeDocument::GetTCodeSize(int)
{
    return 0.0;
}

int FakeDocument::FindTCode(CHole*, bool)
{
    return 0;
}

int FakeDocument::CollectHoles(std::vector<CHole*>& list, bool)
{
    list.insert(list.end(), holes.begin(), holes.end());
    return static_cast<int>(list.size());
}

void FakeDocument::ToUserOrigin(CDPoint& point, int)
{
    point.x -= userOriginX;
    point.y -= userOriginY;
}

void FakeDocument::FromUserOrigin(CDPoint& point, int)
{
    point.x += userOriginX;
    point.y += userOriginY;
}

int FakeDocument::AssignApertureTurret(const std::string&, int, tagGERBAR*)
{
    return 0;
}

double FakeDocument::CalcViaSize(int, int, double* displayRadius, double* outerRadius)
{
    if (displayRadius)
        *displayRadius = viaDisplay;
    if (outerRadius)
        *outerRadius = viaOuter;
    return viaLand;
}

CNetLine* FakeDocument::FindNetLine(int id)
{
    if ((id & 0xFF) == 0 || (id & 0xFF) > stack.wireCount)
        return nullptr;
    return findNetLine ? findNetLine(id) : nullptr;
}

void FakeDocument::GetFileTime(int which, std::time_t* out)
{
    if (out && which >= 0 && which <= 2)
        *out = fileTimes[which];
}

CSheet* FakeDocument::GetBoardSheet(int layer)
{
    return (layer >= 0 && layer <= LAYER_MAX) ? boardSheets[layer] : nullptr;
}

CSheet* FakeDocument::GetSelectionSheet(int layer)
{
    return (layer >= 0 && layer <= LAYER_MAX) ? selectionSheets[layer] : nullptr;
}

tagPARTLAYER FakeDocument::GetPartLayer(int index)
{
    return (index >= 0 && index < PART_LAYER_COUNT) ? stack.partLayers[index] : tagPARTLAYER{};
}

tagVIA FakeDocument::GetViaEntry(int number)
{
    return (number >= 0 && number <= VIA_MAX) ? viaTable[number] : tagVIA{};
}

tagTURRET FakeDocument::GetTurretEntry(int number)
{
    return (number >= 0 && number <= TURRET_MAX) ? turretTable[number] : tagTURRET{};
}

int FakeDocument::GetTurretDCode(int turret)
{
    const auto it = dcodes.find(turret);
    return it == dcodes.end() ? turret + 10 : it->second;
}

tagTEXTSIZE FakeDocument::GetTextSizeEntry(int index)
{
    if (index < 0)
        index = 0;
    return index < static_cast<int>(textSizes.size()) ? textSizes[static_cast<std::size_t>(index)]
                                                      : tagTEXTSIZE{};
}
