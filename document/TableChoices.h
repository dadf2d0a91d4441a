#pragma once
// What the board view's table and layer-move dialogs take and give back, as the document hands
// them to its host.

#include "document/BoardRecords.h"
#include "model/services/Records.h"

#include <array>
#include <vector>

// The turret table: the 121 entries, what uses each turret (lines, arcs, surfaces, lands, texts),
// the two defaults and the current turret as number - 1 (-1: none).
struct TurretTableChoice
{
    std::array<tagTURRET, TURRET_MAX + 1> turrets{};
    std::array<std::array<int, 5>, TURRET_MAX + 1> usage{};
    int landTurret = 0;
    int lineTurret = 0;
    int current = -1;
};

// The via table: the 65 entries, the current via as number - 1 and the two default via numbers
// (new vias, vias the program makes).
struct ViaTableChoice
{
    std::array<tagVIA, VIA_MAX + 1> vias{};
    int current = 0;
    int defaultVia = 1;
    int autoVia = 1;
};

// The layer settings: the 128 layer records with their item counts and type words, the current
// layer, the reversed display order and the 16 layer patterns.
struct LayerTableChoice
{
    std::array<tagLAYER, LAYER_MAX> layers{};
    std::array<int, LAYER_MAX> counts{};
    std::array<int, LAYER_MAX> types{};
    int current = 0;
    int reverse = 0;
    std::array<tagLAYERPATTERN, LAYER_PATTERN_COUNT> patterns{};
};

// The layer move: the source layers in, one target per source (or, copied to all, any number of
// targets for the first source) out, with the copy and all-targets switches.
struct LayerMoveChoice
{
    std::vector<int> sources;
    std::vector<int> targets;
    bool copy = false;
    bool allTargets = false;
};
