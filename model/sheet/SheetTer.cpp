// The layer sheet's operations on terminals, and the terminal kind's entry in the sheet's kind
// registry.

#include "model/items/Ter.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps TerKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CTer>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CTer>(static_cast<const CTer&>(item));
    };
    // The terminal's number text takes the sheet's layer with it.
    ops.takesSheetLayer = false;
    ops.stored = [](CSheet& sheet, CItemBase& item) {
        if (!(sheet.GetSheetBitType() & SHEETBIT_OWN_LAYERS))
            static_cast<CTer&>(item).SetLayerNo(sheet.GetLayerNo());
    };
    return ops;
}

} // namespace

void RegisterTerSheetKind()
{
    RegisterSheetKind(KIND_TER, TerKindOps());
}

CTer* CSheet::NewTer(const CTer& ter)
{
    return static_cast<CTer*>(StoreCopy(ter));
}

CTer* CSheet::NewTer(CDPoint point, const CText& number, int type)
{
    // A new terminal's number stands centred above its point in the small terminal size.
    CText text(number);
    text.SetOrg(98);
    text.SetSize(64);
    const CTer ter(point, text, type);
    return NewTer(ter);
}

int CSheet::DeleteTer(const CTer& ter)
{
    return DeleteEqualItem(ter);
}

POSITION CSheet::GetFirstTerPos()
{
    return GetFirstItemPos(KIND_TER);
}

CTer* CSheet::GetNextTer(POSITION& pos)
{
    return static_cast<CTer*>(GetNextItem(KIND_TER, pos));
}

CTer* CSheet::GetHeadTer()
{
    return static_cast<CTer*>(GetHeadItem(KIND_TER));
}
