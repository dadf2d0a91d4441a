// The layer sheet's operations on surfaces, and the surface kind's entry in the sheet's kind
// registry.

#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"

#include <vector>

namespace {

// Whether storing a surface into the sheet makes its fill (see SurfaceStored).
bool StoringMakesFill(const CSheet& sheet, const CSur& sur)
{
    return !(sheet.GetSheetBitType() & SHEETBIT_OWN_LAYERS) && !sur.IsNoCont();
}

// A surface stored into a sheet whose items take the sheet's layer takes it down to every outline
// item, and its fill is made for the outline it now has.
void SurfaceStored(CSheet& sheet, CItemBase& item)
{
    CSur& sur = static_cast<CSur&>(item);
    if (!(sheet.GetSheetBitType() & SHEETBIT_OWN_LAYERS))
        sur.SetLayerNo(sheet.GetLayerNo());
    if (StoringMakesFill(sheet, sur))
        sur.MakeSurLine(true);
}

// Gives a stored surface a current fill (MakeSurLine(false)). Where storing has just made it, the
// fill is already current for this very outline and is only marked so.
void MakeFillCurrent(CSheet& sheet, CSur& sur)
{
    if (StoringMakesFill(sheet, sur))
        sur.ModifyType(SUR_FILLED, SUR_FILLED);
    else
        sur.MakeSurLine(false);
}

SheetKindOps SurKindOps()
{
    SheetKindOps ops;
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CSur>(static_cast<const CSur&>(item));
    };
    ops.equal = [](const CItemBase& stored, const CItemBase& given) {
        return static_cast<const CSur&>(stored) == static_cast<const CSur&>(given);
    };
    ops.offset = [](CItemBase& item, const CDPoint& delta, int) { static_cast<CSur&>(item).Offset(delta); };
    ops.mirrorX = [](CItemBase& item, double x, bool fill) { static_cast<CSur&>(item).MirrorX(x, fill); };
    ops.mirrorY = [](CItemBase& item, double y, bool fill) { static_cast<CSur&>(item).MirrorY(y, fill); };
    ops.rotate = [](CItemBase& item, const CDPoint& centre, double angle, bool fill) {
        static_cast<CSur&>(item).Rotate(centre, angle, fill);
    };
    // The layer goes down to the outline through CSur::SetLayerNo.
    ops.takesSheetLayer = false;
    ops.stored = SurfaceStored;
    ops.merged = [](CSheet& sheet, CItemBase& item) { MakeFillCurrent(sheet, static_cast<CSur&>(item)); };
    // Surfaces count by aperture.
    ops.countSlot = [](const CItemBase& item) { return item.GetTurretNo(); };
    return ops;
}

} // namespace

void RegisterSurSheetKind()
{
    RegisterSheetKind(KIND_SUR, SurKindOps());
}

CSur* CSheet::NewSur(const CSur& sur)
{
    return static_cast<CSur*>(StoreCopy(sur));
}

CSur* CSheet::NewSur(CItemBaseList& lines, CItemBaseList& arcs, CItemBaseList& windows, CItemBaseList& texts)
{
    const CSur built(lines, arcs, windows, texts);
    CSur* stored = NewSur(built);
    if (stored && (GetSheetBitType() & SHEETBIT_BOARD))
        MakeFillCurrent(*this, *stored);
    return stored;
}

CSur* CSheet::NewSur(std::unique_ptr<CSur> sur)
{
    auto* stored = static_cast<CSur*>(StoreItem(std::move(sur)));
    if (stored && (GetSheetBitType() & SHEETBIT_BOARD))
        MakeFillCurrent(*this, *stored);
    return stored;
}

CSur* CSheet::NewSur(CSheet* outline, bool reverse)
{
    if (!outline)
        return nullptr;
    CItemBaseList lines, arcs, windows, texts;
    // The list constructor copies the items and clears their arrows on the copies.
    for (POSITION pos = outline->GetFirstItemPos(KIND_LINE); pos;) {
        CItemBase* line = outline->GetNextItem(KIND_LINE, pos);
        if (reverse)
            lines.AddHead(line);
        else
            lines.AddTail(line);
    }
    for (POSITION pos = outline->GetFirstItemPos(KIND_ARC); pos;) {
        CItemBase* arc = outline->GetNextItem(KIND_ARC, pos);
        if (reverse)
            arcs.AddHead(arc);
        else
            arcs.AddTail(arc);
    }
    if (lines.IsEmpty() && arcs.IsEmpty())
        return nullptr;
    return NewSur(lines, arcs, windows, texts);
}

int CSheet::DeleteSur(const CSur& sur)
{
    return DeleteEqualItem(sur);
}

POSITION CSheet::GetFirstSurPos()
{
    return GetFirstItemPos(KIND_SUR);
}

CSur* CSheet::GetNextSur(POSITION& pos)
{
    return static_cast<CSur*>(GetNextItem(KIND_SUR, pos));
}

CSur* CSheet::GetHeadSur()
{
    return static_cast<CSur*>(GetHeadItem(KIND_SUR));
}
