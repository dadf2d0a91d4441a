#include "model/sheet/PlaneRegions.h"

#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"

#include <algorithm>

PlaneRegions::PlaneRegions(CSheet& frame) : m_wLayer(static_cast<std::uint32_t>(frame.GetWLayer()))
{
    CSur* sur = frame.GetHeadSur();
    if (!sur)
        return;
    m_have = true;
    m_rect = sur->GetBoundingRect();
    double highest = 0.0;
    for (POSITION pos = sur->GetFirstSurLinePos(); pos;) {
        const CLine* line = sur->GetNextSurLine(pos);
        const CDPoint& s = line->GetStartPoint();
        const CDPoint& e = line->GetEndPoint();
        highest = m_strips.empty() ? s.y : std::max(highest, s.y);
        m_strips.push_back({s.y, std::min(s.x, e.x), std::max(s.x, e.x), line->GetID()});
        m_highest.push_back(highest);
    }
}

std::uint32_t PlaneRegions::At(const CDPoint& point) const
{
    if (!m_have || point.x < m_rect.left || point.x > m_rect.right || point.y < m_rect.top ||
        point.y > m_rect.bottom)
        return 0;
    // The first strip (in fill order) whose row is not below the point: the first at which the
    // highest row so far reaches the point's.
    const auto first = std::lower_bound(m_highest.begin(), m_highest.end(), point.y);
    if (first == m_highest.end())
        return 0;
    // Along that row only: a point in a clearance between strips lies on no region.
    const double row = m_strips[static_cast<std::size_t>(first - m_highest.begin())].y;
    for (auto i = static_cast<std::size_t>(first - m_highest.begin());
         i < m_strips.size() && m_strips[i].y == row; ++i)
        if (m_strips[i].x1 <= point.x && point.x <= m_strips[i].x2)
            return (m_strips[i].id & ~0xFFu) | (m_wLayer & 0xFFu);
    return 0;
}
