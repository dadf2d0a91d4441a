#pragma once
// A two-layer test board for part tests: wiring layers 0 (component side) and 1 (solder side),
// part-layer pairs on layers of their own, a few turrets and a via entry, and board sheets for the
// two wiring layers. The frame answers for it.

#include "model/items/ItemBaseList.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/services/Records.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

namespace testing_support {

struct PartBoard
{
    // Layers of the pairs: component side first.
    static constexpr int kTop = 0, kBottom = 1;
    static constexpr int kSilkLineA = 12, kSilkLineB = 13;
    static constexpr int kSilkTextA = 10, kSilkTextB = 11;
    static constexpr int kResistA = 14, kResistB = 15;
    static constexpr int kOriginA = 16, kOriginB = 17;
    static constexpr int kTermA = 20, kTermB = 21;
    static constexpr int kHoleA = 30, kHoleB = 31;
    // Turrets: 1 a round 1.0 pad, 2 a 0.2 track, 3 a thermal, 4 a round 1.6 pad.
    static constexpr int kPad = 1, kTrack = 2, kThermal = 3, kBigPad = 4;

    FakeDocument doc;
    FakeFrameServices frame{&doc};
    // The board sheets of the two wiring layers: work layers 1 and 2, the first and the last
    // wiring layer (type bits 0x2 and 0x4).
    CSheet topSheet{1, 0x3, kTop, &doc};
    CSheet bottomSheet{2, 0x5, kBottom, &doc};

    PartBoard()
    {
        doc.SetWireLayers({kTop, kBottom});
        topSheet.SetSheetType(SHEET_BOARD);
        bottomSheet.SetSheetType(SHEET_BOARD);
        doc.boardSheets[kTop] = &topSheet;
        doc.boardSheets[kBottom] = &bottomSheet;
        doc.layerTypeWords[kTop] = 0x3;
        doc.layerTypeWords[kBottom] = 0x5;
        doc.SetPartLayer(PL_HOLE, kHoleA, kHoleB);
        doc.SetPartLayer(PL_SILKLINE, kSilkLineA, kSilkLineB);
        doc.SetPartLayer(PL_SILKTEXT, kSilkTextA, kSilkTextB);
        doc.SetPartLayer(PL_RESIST, kResistA, kResistB);
        doc.SetPartLayer(PL_ORIGIN, kOriginA, kOriginB);
        doc.SetPartLayer(PL_TERM, kTermA, kTermB);
        doc.turretTable[kPad] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[kTrack] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[kThermal] = tagTURRET{TURRET_THERMAL, 1.5, 1.0};
        doc.turretTable[kBigPad] = tagTURRET{TURRET_ROUND, 1.6, 0.0};
        tagVIA via;
        via.drill = 0.4;
        via.lands.fill(kPad);
        doc.viaTable[1] = via;
        // Via 1 measures as its 1.0 pad.
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        doc.displayLayers = {kTop,   kBottom, kSilkTextA, kSilkTextB, kSilkLineA, kSilkLineB,
                             kTermA, kTermB,  kHoleA,     kHoleB,     kResistA,   kResistB};
    }
};

// A surface in the triangle (0, 0), (4, 0), (4, 3) drawn with the track turret.
inline CSur TriangleSur()
{
    CLine edges[3] = {CLine(CDPoint(0, 0), CDPoint(4, 0), PartBoard::kTrack, 0),
                      CLine(CDPoint(4, 0), CDPoint(4, 3), PartBoard::kTrack, 0),
                      CLine(CDPoint(4, 3), CDPoint(0, 0), PartBoard::kTrack, 0)};
    CItemBaseList lines, arcs, none, texts;
    for (CLine& l : edges)
        lines.AddTail(&l);
    return CSur(lines, arcs, none, texts);
}

} // namespace testing_support
