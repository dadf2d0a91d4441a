#include "tests/support/FakeDocument.h"

#include "model/geometry/DPoint.h"
#include "model/items/Hole.h"

#include <cmath>
#include <cstdlib>

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

int FakeDocument::FindTurretByDCode(int dcode)
{
    const auto found = dcodeTurrets.find(dcode);
    return found == dcodeTurrets.end() ? -1 : found->second;
}

double FakeDocument::GetTCodeSize(int tcode)
{
    const auto found = toolSizes.find(tcode);
    return found == toolSizes.end() ? 0.0 : found->second;
}

int FakeDocument::FindTCode(CHole* hole, bool)
{
    for (std::size_t i = 0; hole && i < tools.size(); ++i) {
        if (std::fabs(tools[i].diameter - hole->GetHoleDia()) <= 1e-6 &&
            (tools[i].holeType & HOLE_THROUGH) == (hole->GetType() & HOLE_THROUGH))
            return static_cast<int>(i);
    }
    return 0;
}

tagTCODE FakeDocument::GetToolEntry(int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < tools.size()
               ? tools[static_cast<std::size_t>(index)]
               : tagTCODE{};
}

tagDSTROKE FakeDocument::GetDCodeStroke(int dcode)
{
    const auto found = strokes.find(dcode);
    return found == strokes.end() ? tagDSTROKE{} : found->second;
}

int FakeDocument::AssignGerberAperture(const std::string& apertureDef, const std::vector<std::string>& macros,
                                       tagGERBAR*)
{
    apertureDefs.push_back(apertureDef);
    apertureMacros = macros;
    const int dcode = std::atoi(apertureDef.c_str() + (apertureDef.empty() ? 0 : 1));
    const auto found = apertureTurrets.find(dcode);
    if (found == apertureTurrets.end())
        return -1;
    dcodeTurrets[dcode] = found->second;
    return found->second;
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
