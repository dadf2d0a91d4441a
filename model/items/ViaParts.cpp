// The land and the hole that a via is made of on each layer.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Via.h"

CLand CVia::GetLand(int bits, int layer, int photo) const
{
    return CLand(m_ptPoint, GetTurret(bits, layer, photo));
}

CHole CVia::GetHole() const
{
    CHole hole(m_ptPoint, GetVia().drill, true, 0.0, 0.0, 0.0);
    hole.SetType(hole.GetType() | m_nType | HOLE_THROUGH);
    return hole;
}
