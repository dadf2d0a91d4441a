#pragma once
// Records of the board's settings tables that only the document and the program's dialogs use.

#include <cstdint>
#include <string>
#include <vector>

// A pair of layers that the view switches between (0-based layers).
struct tagCROSSLAYER
{
    std::uint8_t layer1 = 0;
    std::uint8_t layer2 = 0;
    std::string name; // CP932
};

// A stored display state: a current layer and the shown layers with their enable flags.
struct tagLAYERPATTERN
{
    std::uint8_t layer = 0;            // current layer, 0-based
    std::vector<std::uint8_t> layers;  // 0-based layer numbers
    std::vector<std::uint8_t> enables; // one per layer: 1 enabled, 0 only shown
    std::uint8_t option = 0;
    std::string name; // CP932; empty: the pattern is not registered
};

constexpr int GRID_COUNT = 16;
constexpr int LAYER_PATTERN_COUNT = 16;
constexpr int CROSS_LAYER_MAX = 32;
constexpr int TEXT_SIZE_COUNT = 16; // entries 1..16; entry 0 is the template
