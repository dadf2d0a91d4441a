// The layer sheet's operations on lands, and the land kind's entry in the sheet's kind registry.

#include "model/items/Land.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps LandKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CLand>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CLand>(static_cast<const CLand&>(item));
    };
    // Lands count by aperture.
    ops.countSlot = [](const CItemBase& item) { return item.GetTurretNo(); };
    return ops;
}

} // namespace

void RegisterLandSheetKind()
{
    RegisterSheetKind(KIND_LAND, LandKindOps());
}

CLand* CSheet::NewLand(const CLand& land)
{
    return static_cast<CLand*>(StoreCopy(land));
}

CLand* CSheet::NewLand(CDPoint point, int turret)
{
    const CLand land(point, turret);
    return NewLand(land);
}

int CSheet::DeleteLand(const CLand& land)
{
    return DeleteEqualItem(land);
}

POSITION CSheet::GetFirstLandPos()
{
    return GetFirstItemPos(KIND_LAND);
}

CLand* CSheet::GetNextLand(POSITION& pos)
{
    return static_cast<CLand*>(GetNextItem(KIND_LAND, pos));
}

CLand* CSheet::GetHeadLand()
{
    return static_cast<CLand*>(GetHeadItem(KIND_LAND));
}
