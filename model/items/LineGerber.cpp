// Photo-plot output of a line: one stroke of its aperture, continued from the previous stroke when
// that ended on one of its ends, then the barbs of its arrow heads and its name text.

#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Text.h"

void gerber::WriteStroke(CArchive& ar, tagGERBAR& g, const CDPoint& start, const CDPoint& end, int turret,
                         const CItemBase& board)
{
    if (turret < 0)
        turret = 0;
    if (g.currentAperture != turret) {
        if (g.pendingExposure)
            EndStroke(ar, g);
        SelectAperture(ar, g, turret, board);
    }
    if (g.interpolation != 1) {
        WritePrefix(ar, g, g.linearCode);
        g.interpolation = 1;
    }

    // A stroke still open at one of the ends goes on from there; the comparison is exact, as the
    // previous point is the very point written last.
    const bool open = g.pendingExposure != 0;
    if (open && g.prevX == start.x && g.prevY == start.y) {
        WritePoint(ar, g, end);
    } else if (open && g.prevX == end.x && g.prevY == end.y) {
        WritePoint(ar, g, start);
    } else {
        WriteCode(ar, g, g.moveCode);
        WritePoint(ar, g, start);
        WriteCode(ar, g, g.drawCode);
        g.pendingExposure = 1;
        WritePoint(ar, g, end);
    }
}

const CItemBase& gerber::UnboundItem()
{
    thread_local const CLine unbound;
    return unbound;
}

void CLine::DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool textFlag)
{
    gerber::WriteStroke(ar, g, m_ptStart, m_ptEnd, m_nTurret, *this);

    // Each barb is a stroke from the tip; dots are not plotted.
    stroke::ForEachArrowBarb(*this, [&](CLine& barb) { barb.DataWriteGerbar(ar, g, false); });

    if (!IsNameEmpty())
        Name().DataWriteGerbar(ar, g, textFlag);
}
