// Photo-plot output of a land: one flash of its aperture at its position.

#include "model/items/GerberSupport.h"
#include "model/items/Land.h"

void CLand::DataWriteGerbar(CArchive& ar, tagGERBAR& g)
{
    const int turret = m_nTurret < 0 ? 0 : m_nTurret;
    // A flash ends any open stroke, whatever its aperture: otherwise the coordinate block below
    // would be read as a draw to the land.
    if (g.pendingExposure)
        gerber::EndStroke(ar, g);
    if (g.currentAperture != turret)
        gerber::SelectAperture(ar, g, turret, *this);
    gerber::WritePoint(ar, g, m_ptPoint);
    gerber::WriteCode(ar, g, g.flashCode);
    // The flash leaves the exposure mode on flashing; the move code that follows makes the next
    // coordinate block a move, never a second flash or a draw from the land.
    gerber::EndStroke(ar, g);
}
