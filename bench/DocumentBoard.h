#pragma once
// The synthetic board moved into a board document: its tables, layer stack, the two wiring layers
// and the via and part sheet. The synthetic board's own sheets are emptied (the document owns the
// items now).

#include "bench/SyntheticBoard.h"
#include "document/VELTADoc.h"
#include "model/sheet/Sheet.h"

namespace bench {

inline void MoveIntoDocument(SyntheticBoard& board, CVELTADoc& doc)
{
    using B = SyntheticBoard;
    for (int n = 0; n <= TURRET_MAX; ++n)
        doc.Turret(n) = board.GetTurretEntry(n);
    for (int n = 1; n <= VIA_MAX; ++n)
        doc.Via(n) = board.GetViaEntry(n);
    doc.GetLayerStack().wireLayers = board.GetWireLayerList();
    doc.GetLayerStack().wireCount = board.GetWireLayerCount();
    for (int i = 0; i < PART_LAYER_COUNT; ++i)
        doc.GetLayerStack().partLayers[static_cast<std::size_t>(i)] = board.GetPartLayer(i);
    doc.GetBoardSheet(B::kTop)->ModifyType(0x3, 0);
    doc.GetBoardSheet(B::kBottom)->ModifyType(0x5, 0);
    *doc.GetBoardSheet(B::kTop) += board.Layer(B::kTop);
    *doc.GetBoardSheet(B::kBottom) += board.Layer(B::kBottom);
    *doc.GetBoardSheet(LAYER_MAX) += board.ViaParts();
    // Merging into the document's via and part sheet made the document that sheet's owner: the
    // synthetic board's copies go while the document is there.
    for (CSheet* sheet : board.Sheets())
        sheet->DeleteContents();
}

} // namespace bench
