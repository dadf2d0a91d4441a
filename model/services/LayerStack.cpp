#include "model/services/LayerStack.h"

LayerStack::LayerStack()
{
    for (int i = 0; i < PART_LAYER_COUNT; ++i) {
        partLayers[i].code = static_cast<std::int32_t>(kPartLayerCodes[i]);
        partLayers[i].name = kPartLayerKeywords[i];
    }
}

int LayerStack::WireLayerPos(int layer, bool withTerm, const std::function<bool(int)>& isNegative) const
{
    for (std::size_t i = 0; i < wireLayers.size(); ++i) {
        if (wireLayers[i] == layer) {
            const int index = static_cast<int>(i);
            return (isNegative && isNegative(layer)) ? ~index : index + 1;
        }
    }
    if (!withTerm)
        return 0;
    const tagPARTLAYER& term = partLayers[PL_TERM];
    if (layer == term.layerA)
        return 1;
    if (layer == term.layerB)
        return wireCount;
    return 0;
}

int LayerStack::WireLayer(int pos) const
{
    if (pos < 1 || pos > static_cast<int>(wireLayers.size()))
        return -1;
    return wireLayers[pos - 1];
}

int LayerStack::PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) const
{
    if (code == 0xFFFFFFFFu || code == 0)
        return -1;
    if (code > 0xFFFF) {
        const bool flip = (code & PARTLAYER_OTHER_SIDE) != 0;
        const std::uint32_t rest = code & ~PARTLAYER_OTHER_SIDE;
        for (const tagPARTLAYER& rec : partLayers) {
            if (static_cast<std::uint32_t>(rec.code) == rest)
                return ((side && !flip) || (!side && flip)) ? rec.layerA : rec.layerB;
        }
        return -1;
    }
    if (wireCount <= 0 || wireLayers.empty())
        return -1;
    int e = static_cast<int>(code & 0xFFFF) - 1;
    if (!side && swapEnds) {
        if (e == 0)
            e = wireCount - 1;
        else if (e == wireCount - 1)
            e = 0;
    }
    if (e > wireCount - 1)
        e = wireCount - 1;
    // Never read past the list even when the count and the list disagree.
    if (e >= static_cast<int>(wireLayers.size()))
        e = static_cast<int>(wireLayers.size()) - 1;
    return wireLayers[e];
}

std::uint32_t LayerStack::LayerToPartLayer(int layer, bool side) const
{
    if (layer < 0 || layer >= LAYER_MAX)
        return static_cast<std::uint32_t>(layer);
    for (const tagPARTLAYER& rec : partLayers) {
        const auto code = static_cast<std::uint32_t>(rec.code);
        if (layer == rec.layerA && side)
            return code;
        if (layer == rec.layerB && !side)
            return code;
        if ((layer == rec.layerA && !side) || (layer == rec.layerB && side))
            return code | PARTLAYER_OTHER_SIDE;
    }
    for (std::size_t i = 0; i < wireLayers.size(); ++i) {
        if (wireLayers[i] == layer)
            return static_cast<std::uint32_t>(i + 1);
    }
    return static_cast<std::uint32_t>(layer);
}
