// Photo-plot output and aperture usage of a surface: its outline, windows and fill lines as
// strokes of their apertures (no area-fill blocks).

#include "model/items/Arc.h"
#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"

#include <cmath>
#include <numbers>

namespace {

// The length statistics count a circle whole: its angles differ by less than 0.001.
double ArcStrokeLength(CArc& arc)
{
    if (std::fabs(arc.GetStartAngle() - arc.GetEndAngle()) < 0.001)
        return arc.GetRadius() * 2.0 * std::numbers::pi;
    return arc.GetRadius() * arc.GetAngle();
}

void CountLines(tagDCODE* table, CSur& sur, POSITION pos, bool fill)
{
    while (pos) {
        CLine* line = fill ? sur.GetNextSurLine(pos) : sur.GetNextLine(pos);
        gerber::CountStroke(table, line->GetTurretNo(), line->GetLength());
    }
}

// The outline lines and arcs of a surface or window, then its windows'. A window's fill would
// expose the very area it cuts out: it is neither written nor counted (nor drawn).
void WriteOutline(CSur& sur, CArchive& ar, tagGERBAR& g)
{
    for (POSITION pos = sur.GetFirstLinePos(); pos;)
        sur.GetNextLine(pos)->DataWriteGerbar(ar, g, false);
    for (POSITION pos = sur.GetFirstArcPos(); pos;)
        sur.GetNextArc(pos)->DataWriteGerbarCopy(ar, g, false);
    for (POSITION pos = sur.GetFirstWndPos(); pos;)
        WriteOutline(*sur.GetNextWnd(pos), ar, g);
}

void CountOutline(CSur& sur, tagDCODE* table)
{
    CountLines(table, sur, sur.GetFirstLinePos(), false);
    for (POSITION pos = sur.GetFirstArcPos(); pos;) {
        CArc* arc = sur.GetNextArc(pos);
        gerber::CountStroke(table, arc->GetTurretNo(), ArcStrokeLength(*arc));
    }
    for (POSITION pos = sur.GetFirstWndPos(); pos;)
        CountOutline(*sur.GetNextWnd(pos), table);
}

} // namespace

void CSur::DataWriteGerbar(CArchive& ar, tagGERBAR& g)
{
    WriteOutline(*this, ar, g);
    // The fill as it stands: a surface whose fill was never made writes its outline only, and a
    // surface without fill writes none, as it shows none.
    if (m_nType & SUR_NOFILL)
        return;
    for (POSITION pos = GetFirstSurLinePos(); pos;)
        GetNextSurLine(pos)->DataWriteGerbar(ar, g, false);
}

void gerber::CountSurfaceAsMade(tagDCODE* table, CSur& sur)
{
    CountOutline(sur, table);
    if (sur.IsNoCont())
        return;
    CountLines(table, sur, sur.GetFirstSurLinePos(), true);
}

void CSur::CheckTurret(tagDCODE* table)
{
    CountOutline(*this, table);
    // The fill is counted as a fill made now would be, except for a surface that keeps none: its
    // output writes no fill.
    if (m_nType & SUR_NOFILL)
        return;
    CSur scratch(*this);
    scratch.SetParent(nullptr);
    scratch.MakeSurLine(true);
    CountLines(table, scratch, scratch.GetFirstSurLinePos(), true);
}
