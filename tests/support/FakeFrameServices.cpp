#include "tests/support/FakeFrameServices.h"

#include "tests/support/FakeDocument.h"

FakeFrameServices::FakeFrameServices(FakeDocument* doc) : document(doc), m_previous(GetFrameServices())
{
    for (auto& t : textSizes)
        t = tagTEXTSIZE{0, 2.0, 2.0, 0.5};
    dims.arrowLength = 200;
    dims.arrowAngle = 15.0 * 3.141592653589793 / 180.0;
    dims.dotSize = 100;
    dims.textSize = 250;
    SetFrameServices(this);
}

FakeFrameServices::~FakeFrameServices()
{
    SetFrameServices(m_previous);
}

tagTURRET FakeFrameServices::GetTurret(int number)
{
    if (number < 0)
        return tagTURRET{TURRET_ROUND, 0.01, 0.0};
    if (!document || number > TURRET_MAX)
        return tagTURRET{};
    return document->turretTable[number];
}

tagVIA FakeFrameServices::GetVia(int number)
{
    if (!document || number < 0 || number > VIA_MAX)
        return tagVIA{};
    return document->viaTable[number];
}

tagLAYER FakeFrameServices::GetLayer(int layer)
{
    if (!document || layer < 0 || layer > LAYER_MAX)
        return tagLAYER{};
    return layers[layer];
}

void FakeFrameServices::GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int)
{
    const std::uint32_t question = flags[0];
    for (int i = 0; i < LAYER_MAX; ++i) {
        if (question == 0)
            flags[i] = 1;
        else if (question == 2)
            flags[i] = layers[i].display;
        else if (question == 3)
            flags[i] = layers[i].enable;
    }
}

int FakeFrameServices::GetWireLayerCount()
{
    return document ? document->GetWireLayerCount() : 0;
}

int FakeFrameServices::GetTurretDCode(int turret)
{
    auto it = dcodes.find(turret);
    return it == dcodes.end() ? turret + 10 : it->second;
}

tagTEXTSIZE FakeFrameServices::GetTextSize(int index)
{
    if (index < 0)
        index = 0;
    if (index > 16)
        return tagTEXTSIZE{};
    return textSizes[index];
}

tagDIMS FakeFrameServices::GetDimensionStyle()
{
    return document ? dims : tagDIMS{};
}

int FakeFrameServices::GetCoordScale()
{
    return document ? coordScale : 100;
}

bool FakeFrameServices::IsLayerDisplayed(int layer)
{
    return layer >= 0 && layer <= LAYER_MAX && layers[layer].display != 0;
}

DocumentServices* FakeFrameServices::GetCurrentDocument()
{
    return document;
}
