// The layer sheet's operations on holes, and the hole kind's entry in the sheet's kind registry.

#include "model/items/Hole.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps HoleKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CHole>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CHole>(static_cast<const CHole&>(item));
    };
    // Holes use no aperture and are not counted.
    return ops;
}

} // namespace

void RegisterHoleSheetKind()
{
    RegisterSheetKind(KIND_HOLE, HoleKindOps());
}

CHole* CSheet::NewHole(const CHole& hole)
{
    return static_cast<CHole*>(StoreCopy(hole));
}

CHole* CSheet::NewHole(CDPoint point, double diameter, bool round, double width, double radius, double angle)
{
    const CHole hole(point, diameter, round, width, radius, angle);
    return NewHole(hole);
}

int CSheet::DeleteHole(const CHole& hole)
{
    return DeleteEqualItem(hole);
}

POSITION CSheet::GetFirstHolePos()
{
    return GetFirstItemPos(KIND_HOLE);
}

CHole* CSheet::GetNextHole(POSITION& pos)
{
    return static_cast<CHole*>(GetNextItem(KIND_HOLE, pos));
}

CHole* CSheet::GetHeadHole()
{
    return static_cast<CHole*>(GetHeadItem(KIND_HOLE));
}
