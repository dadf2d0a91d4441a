// Photo-plot output of a land: one flash of its aperture at its position.

#include "model/items/GerberSupport.h"
#include "model/items/Land.h"

void gerber::WriteFlash(CArchive& ar, tagGERBAR& g, const CDPoint& at, int turret, const CItemBase& board)
{
    if (turret < 0)
        turret = 0;
    // A flash ends any open stroke, whatever its aperture: otherwise the coordinate block below
    // would be read as a draw to the land.
    if (g.pendingExposure)
        EndStroke(ar, g);
    if (g.currentAperture != turret)
        SelectAperture(ar, g, turret, board);
    WritePoint(ar, g, at);
    WriteCode(ar, g, g.flashCode);
    // The flash leaves the exposure mode on flashing; the move code that follows makes the next
    // coordinate block a move, never a second flash or a draw from the land.
    EndStroke(ar, g);
}

void CLand::DataWriteGerbar(CArchive& ar, tagGERBAR& g)
{
    gerber::WriteFlash(ar, g, m_ptPoint, m_nTurret, *this);
}
