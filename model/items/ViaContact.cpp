// A via's land on one layer: its hit test and its copper contact. The land's turret comes from the
// via's entry by the layer sheet's type bits and the wiring position; turret 0 means no land there.

#include "model/items/Land.h"
#include "model/items/Via.h"

int CVia::CheckPoint(int layer, int bits, const CDPoint& p) const
{
    const int turret = GetTurret(bits, layer, 0);
    if (turret == 0)
        return 0;
    CLand land(m_ptPoint, turret);
    return land.CheckPoint(p);
}

int CVia::CheckShort(int layer, int bits, CItemBase* other) const
{
    if (!other)
        return 0;
    const int turret = GetTurret(bits, layer, 1);
    if (turret == 0)
        return 0;
    CLand land(m_ptPoint, turret);
    if (const CVia* via = dynamic_cast<const CVia*>(other)) {
        const int theirs = via->GetTurret(bits, layer, 1);
        if (theirs == 0)
            return 0;
        CLand otherLand(via->m_ptPoint, theirs);
        return otherLand.CheckShort(&land);
    }
    return land.CheckShort(other);
}
