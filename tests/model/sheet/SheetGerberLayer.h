#pragma once
// One small copper layer for the Gerber round trip and its pictures: a track of two chained lines,
// a line between two lands, an arc each way, a circle and a via; and the file header that defines
// its apertures (D11 0.2 round, D12 0.5 round, D17 1.6 square, D18 1.6 round).

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"

#include <numbers>

namespace gerber_test {

inline void BuildLayer(FakeDocument& doc, CSheet& layer, CSheet& viaParts)
{
    doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
    doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
    doc.turretTable[7] = tagTURRET{TURRET_SQUARE, 1.6, 0.0};
    doc.turretTable[8] = tagTURRET{TURRET_ROUND, 1.6, 0.0};
    tagVIA via;
    via.drill = 0.8;
    via.lands.fill(8);
    doc.viaTable[1] = via;
    doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.8;
    doc.SetWireLayers({0});
    viaParts.SetSheetType(SHEET_BOARD_VIAPART);
    doc.boardSheets[LAYER_MAX] = &viaParts;
    viaParts.NewVia(CVia(CDPoint(20, 2), 1, &doc, 0x1));

    constexpr double kPi = std::numbers::pi;
    layer.NewLine(CDPoint(2, 2), CDPoint(12, 2), 1, 0);
    layer.NewLine(CDPoint(12, 2), CDPoint(12, 7), 1, 0);
    layer.NewLine(CDPoint(2, 7), CDPoint(2, 12), 2, 0);
    layer.NewLand(CDPoint(12, 7), 7);
    layer.NewLand(CDPoint(2, 7), 8);
    layer.NewArc(CArc(CDPoint(7, 12), 5, kPi, 0, ARC_CW, 2));
    layer.NewArc(CArc(CDPoint(17, 12), 5, kPi, 0, 0, 2));
    layer.NewArc(CArc(CDPoint(30, 10), 3, 0, 0, 0, 1));
}

inline const char* LayerHeader()
{
    return "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD11C,0.200*%\r\n%ADD12C,0.500*%\r\n%ADD17R,1.600X1.600*%\r\n"
           "%ADD18C,1.600*%\r\nG75*\r\nG01*\r\n";
}

} // namespace gerber_test
