// The layer sheet's operations on vias, and the via kind's entry in the sheet's kind registry.

#include "model/items/Via.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps ViaKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CVia>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CVia>(static_cast<const CVia&>(item));
    };
    // A via belongs to every layer it joins: it keeps its own layer number.
    ops.takesSheetLayer = false;
    // The via and part sheets keep vias of all layers; copper-group ids are made again there.
    ops.stored = [](CSheet& sheet, CItemBase& item) {
        if (sheet.GetSheetBitType() & SHEETBIT_OWN_LAYERS)
            static_cast<CVia&>(item).ResetLayerID();
    };
    // Vias count by via number.
    ops.countSlot = [](const CItemBase& item) { return item.GetViaNo(); };
    return ops;
}

} // namespace

void RegisterViaSheetKind()
{
    RegisterSheetKind(KIND_VIA, ViaKindOps());
}

CVia* CSheet::NewVia(const CVia& via)
{
    return static_cast<CVia*>(StoreCopy(via));
}

CVia* CSheet::NewVia(CDPoint point, int viaNumber, int flags)
{
    // The via takes its entry from the board's via table.
    const CVia via(point, viaNumber, GetDocument(), flags);
    return NewVia(via);
}

int CSheet::DeleteVia(const CVia& via)
{
    return DeleteEqualItem(via);
}

POSITION CSheet::GetFirstViaPos()
{
    return GetFirstItemPos(KIND_VIA);
}

CVia* CSheet::GetNextVia(POSITION& pos)
{
    return static_cast<CVia*>(GetNextItem(KIND_VIA, pos));
}

CVia* CSheet::GetHeadVia()
{
    return static_cast<CVia*>(GetHeadItem(KIND_VIA));
}
