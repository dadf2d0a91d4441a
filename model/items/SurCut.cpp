// Cutting a surface's fill where items lie: the strips of a negative surface that an item covers
// are removed, so that the strips left over are the copper-free regions of a plane layer; with no
// item, the strips that reach the outermost border go.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"

#include <algorithm>
#include <limits>

namespace {

// Rows a little beyond the item's rectangle are still looked at, and strips this close to the
// border count as reaching it.
constexpr double kMargin = 0.05;

// Whether the item's own hit test takes p.
bool ItemHits(CItemBase* item, const CDPoint& p)
{
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckPoint(p) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckPoint(p) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckPoint(p);
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckPoint(p) != 0;
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckPoint(p) != 0;
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckPoint(p, false);
    default:
        return false;
    }
}

} // namespace

void CSur::CutSurLine(CItemBase* item)
{
    if (item) {
        constexpr int kCutKinds = KIND_LINE | KIND_LAND | KIND_ARC | KIND_TEXT | KIND_HOLE | KIND_SUR;
        if (item == this || !(item->GetKind() & kCutKinds))
            return;
        const CDRect rect = item->GetBoundingRect();
        const double low = rect.top - kMargin, high = rect.bottom + kMargin;
        // The strips lie row by row, but a turned surface's rows are not sorted by their start y,
        // so every strip is looked at; only those whose row lies within the band are tested.
        for (POSITION pos = m_SurLines.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CLine* line = static_cast<CLine*>(m_SurLines.GetNext(pos));
            const CDPoint& s = line->GetStartPoint();
            if (s.y < low || !(s.y < high))
                continue;
            const CDPoint middle((s.x + line->GetEndPoint().x) / 2.0, s.y);
            if (ItemHits(item, middle))
                m_SurLines.RemoveAt(at);
        }
        return;
    }

    if (m_SurLines.IsEmpty())
        return;
    double left = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    for (CItemBase* it : m_SurLines) {
        const CLine* line = static_cast<const CLine*>(it);
        left = std::min(left, line->GetStartPoint().x);
        right = std::max(right, line->GetEndPoint().x);
    }
    for (POSITION pos = m_SurLines.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const CLine* line = static_cast<const CLine*>(m_SurLines.GetNext(pos));
        if (line->GetStartPoint().x <= left + kMargin || line->GetEndPoint().x >= right - kMargin)
            m_SurLines.RemoveAt(at);
    }
}
