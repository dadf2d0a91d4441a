#include "model/input/ResizeLayout.h"

#include <algorithm>
#include <cstdint>

void CResizeLayout::Init(const CRect& dialog, const std::vector<ResizeRow>& rows,
                         const std::vector<CRect>& initial)
{
    m_dialog = dialog;
    m_rows = rows;
    m_initial = initial;
    m_initial.resize(m_rows.size());
}

int CResizeLayout::Find(int id) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

int CResizeLayout::Coord(const CRect& r, int edge)
{
    switch (edge) {
    case EdgeLeft:
        return r.left;
    case EdgeTop:
        return r.top;
    case EdgeRight:
        return r.right;
    case EdgeBottom:
        return r.bottom;
    case EdgeCentreX:
        return (r.left + r.right) / 2;
    case EdgeCentreY:
        return (r.top + r.bottom) / 2;
    default:
        return 0;
    }
}

int CResizeLayout::Size(const CRect& r, int edge)
{
    switch (edge) {
    case EdgeLeft:
    case EdgeRight:
    case EdgeCentreX:
        return r.Width();
    case EdgeTop:
    case EdgeBottom:
    case EdgeCentreY:
        return r.Height();
    default:
        return 0;
    }
}

bool CResizeLayout::Intersects(const CRect& a, const CRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

CRect CResizeLayout::FollowTopRight(const CRect& r, const CRect& previous, const CRect& client)
{
    const int dx = client.right - previous.right;
    const int dy = client.top - previous.top;
    return CRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

std::vector<CResizeLayout::Result> CResizeLayout::Compute(const CRect& client,
                                                          const std::vector<CRect>& current,
                                                          const std::vector<bool>& visible,
                                                          bool hideOverlapped) const
{
    std::vector<Result> out(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const ResizeRow& row = m_rows[i];
        const CRect& initial = m_initial[i];
        const CRect now = i < current.size() ? current[i] : initial;
        CRect rect = now;
        // Edge of the control being computed, its rule and its own edge code.
        const auto compute = [&](const ResizeBorder& rule, int edge) -> int {
            const int own = Coord(now, edge);
            CRect refInitial, refNow;
            if (rule.type == RuleFixed || rule.type == RuleProportional) {
                if (rule.id == 0) {
                    refInitial = m_dialog;
                    refNow = client;
                } else {
                    const int at = Find(rule.id);
                    if (at < 0 || static_cast<std::size_t>(at) >= i)
                        return own; // unknown or not yet computed: the edge stays
                    refInitial = m_initial[static_cast<std::size_t>(at)];
                    refNow = out[static_cast<std::size_t>(at)].rect;
                }
            }
            const std::int64_t distance = Coord(initial, edge) - Coord(refInitial, rule.edge);
            switch (rule.type) {
            case RuleFixed:
                return Coord(refNow, rule.edge) + static_cast<int>(distance);
            case RuleProportional: {
                int initialSize = Size(refInitial, edge);
                if (initialSize <= 0)
                    initialSize = 1;
                return Coord(refNow, rule.edge) +
                       static_cast<int>(Size(refNow, edge) * distance / initialSize);
            }
            case RuleKeepWidth:
                return rect.left + initial.Width();
            case RuleKeepHeight:
                return rect.top + initial.Height();
            default:
                return 0;
            }
        };
        rect.left = compute(row.left, EdgeLeft);
        rect.top = compute(row.top, EdgeTop);
        rect.right = compute(row.right, EdgeRight);
        rect.bottom = compute(row.bottom, EdgeBottom);
        out[i].id = row.id;
        out[i].rect = rect;
        out[i].candidate = i < visible.size() && visible[i];
    }
    if (hideOverlapped) {
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (!out[i].candidate)
                continue;
            for (std::size_t j = 0; j < i; ++j) {
                if (out[j].candidate && Intersects(out[i].rect, out[j].rect)) {
                    out[i].hidden = true;
                    out[i].rect = CRect();
                    break;
                }
            }
        }
    }
    return out;
}
