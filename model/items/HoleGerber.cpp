// Drill output of a hole: its hits, as the long-hole drill mode of the settings lays them out.

#include "model/cam/CamWriter.h"
#include "model/items/Hole.h"
#include "platform/Archive.h"

#include <cmath>
#include <string>

namespace {

void WriteHit(CArchive& ar, tagGERBAR& g, const CDPoint& p)
{
    std::string block;
    ar.WriteString(FormatDrillPoint(block, g, p.x, p.y));
}

} // namespace

void CHole::DataWriteGerbar(CArchive& ar, tagGERBAR& g)
{
    const bool rect = IsHoleRect();
    if (IsHole() || (rect && std::fabs(m_dWidth - m_dDia) <= 1e-6)) {
        WriteHit(ar, g, m_ptPoint);
        return;
    }
    const double m = rect ? m_dWidth / 2.0 : (m_dWidth - m_dDia) / 2.0;
    const double c = std::cos(m_dAngle);
    const double s = std::sin(m_dAngle);
    const CDPoint minusEnd(m_ptPoint.x - m * c, m_ptPoint.y - m * s);
    const CDPoint plusEnd(m_ptPoint.x + m * c, m_ptPoint.y + m * s);

    switch (g.longHoleMode) {
    case 0:
    case 1:
        WriteHit(ar, g, m_ptPoint);
        break;
    case 2:
        WriteHit(ar, g, minusEnd);
        WriteHit(ar, g, plusEnd);
        break;
    case 3:
        WriteHit(ar, g, minusEnd);
        WriteHit(ar, g, plusEnd);
        WriteHit(ar, g, m_ptPoint);
        break;
    default: {
        // A row 0.1 apart from the - end, then the + end. Half widths such as 0.35 come out of
        // the subtraction a hair short (6.999... steps): they still get their last step.
        const int n = static_cast<int>(std::trunc(m * 20.0 + 1e-9));
        for (int i = 0; i < n; ++i)
            WriteHit(ar, g, CDPoint(minusEnd.x + i * c * 0.1, minusEnd.y + i * s * 0.1));
        WriteHit(ar, g, plusEnd);
        break;
    }
    }
}
