// Photo-plot output of a line: one stroke of its aperture, continued from the previous stroke when
// that ended on one of its ends, then the barbs of its arrow heads and its name text.

#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Text.h"

void CLine::DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool textFlag)
{
    const int turret = m_nTurret < 0 ? 0 : m_nTurret;
    if (g.currentAperture != turret) {
        if (g.pendingExposure)
            gerber::EndStroke(ar, g);
        gerber::SelectAperture(ar, g, turret, *this);
    }
    if (g.interpolation != 1) {
        gerber::WritePrefix(ar, g, g.linearCode);
        g.interpolation = 1;
    }

    // A stroke still open at one of the ends goes on from there; the comparison is exact, as the
    // previous point is the very point written last.
    const bool open = g.pendingExposure != 0;
    if (open && g.prevX == m_ptStart.x && g.prevY == m_ptStart.y) {
        gerber::WritePoint(ar, g, m_ptEnd);
    } else if (open && g.prevX == m_ptEnd.x && g.prevY == m_ptEnd.y) {
        gerber::WritePoint(ar, g, m_ptStart);
    } else {
        gerber::WriteCode(ar, g, g.moveCode);
        gerber::WritePoint(ar, g, m_ptStart);
        gerber::WriteCode(ar, g, g.drawCode);
        g.pendingExposure = 1;
        gerber::WritePoint(ar, g, m_ptEnd);
    }

    // Each barb is a stroke from the tip; dots are not plotted.
    stroke::ForEachArrowBarb(*this, [&](CLine& barb) { barb.DataWriteGerbar(ar, g, false); });

    if (!IsNameEmpty())
        Name().DataWriteGerbar(ar, g, textFlag);
}
