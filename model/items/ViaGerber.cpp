// Photo-plot output and aperture usage of a via: the flash of the land it has on a layer.

#include "model/items/GerberSupport.h"
#include "model/items/Via.h"

void CVia::DataWriteGerbar(CArchive& ar, tagGERBAR& g, int bits, int layer)
{
    // A land byte beyond the aperture table has no aperture to flash (and is not counted).
    const int turret = GetTurret(bits, layer, 1);
    if (turret == 0 || !gerber::InTable(turret))
        return;
    // The flash of the via's land (GetLand) at its point, with the D code of the via's board.
    gerber::WriteFlash(ar, g, m_ptPoint, turret, *this);
}

void CVia::CheckTurret(tagDCODE* table, int bits, int layer) const
{
    const int turret = GetTurret(bits, layer, 1);
    if (turret != 0)
        gerber::CountFlash(table, turret);
}
