#pragma once
// The board's wiring-layer stack and part-layer table, with the conversions between layer numbers,
// wiring positions and part-layer codes. The document keeps one; the test document uses the same.

#include "model/services/Records.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class LayerStack
{
public:
    LayerStack();

    std::vector<std::uint8_t> wireLayers; // layer numbers in stack order, position 1 first
    int wireCount = 0;                    // 1..32 once read from the settings
    std::array<tagPARTLAYER, PART_LAYER_COUNT> partLayers;

    // 1-based position of a layer in the wiring list; NOT of the index (-(i+1)) when the layer is a
    // negative (plane) layer; with withTerm the TERM pair counts as the first and last position.
    int WireLayerPos(int layer, bool withTerm, const std::function<bool(int)>& isNegative) const;
    // The layer at a 1-based wiring position (the caller keeps to 1..list size).
    int WireLayer(int pos) const;
    // Part-layer code to layer number for a board side (-1 for none).
    int PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) const;
    // Layer number to part-layer code for a board side; other layers come back unchanged.
    std::uint32_t LayerToPartLayer(int layer, bool side) const;
};
