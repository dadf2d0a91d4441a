#include "model/net/NetFill.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"

#include <algorithm>

NetFill::NetFill(std::vector<Node> nodes, double margin) : m_grid(Rects(nodes)), m_margin(margin)
{
    std::vector<std::pair<std::uint64_t, int>> order;
    order.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
        order.emplace_back(m_grid.OrderKey(nodes[i].rect), static_cast<int>(i));
    std::sort(order.begin(), order.end());
    m_nodes.reserve(nodes.size());
    m_slot.resize(nodes.size());
    for (const auto& [key, given] : order) {
        m_slot[static_cast<std::size_t>(given)] = static_cast<int>(m_nodes.size());
        m_nodes.push_back(nodes[static_cast<std::size_t>(given)]);
    }
    for (int i = 0; i < GetCount(); ++i)
        m_grid.Insert(i, m_nodes[static_cast<std::size_t>(i)].rect);
    m_grid.Pack();
}

std::vector<CDRect> NetFill::Rects(const std::vector<Node>& nodes)
{
    std::vector<CDRect> rects;
    rects.reserve(nodes.size());
    for (const Node& node : nodes)
        rects.push_back(node.rect);
    return rects;
}

bool NetFill::Near(const CDRect& piece, const CDRect& from) const
{
    // Written so that a rectangle that is not finite is always tested.
    const double m = m_margin;
    return !(std::max(piece.left, piece.right) < std::min(from.left, from.right) - m ||
             std::min(piece.left, piece.right) > std::max(from.left, from.right) + m ||
             std::max(piece.top, piece.bottom) < std::min(from.top, from.bottom) - m ||
             std::min(piece.top, piece.bottom) > std::max(from.top, from.bottom) + m);
}

bool NetFill::Touches(const Node& piece, const Node& from)
{
    CItemBase* with = from.spread;
    const int kind = piece.item->GetKind();
    if (kind == KIND_VIA && piece.contact->GetTurretNo() == 0)
        return false;
    // The other kinds' own tests do not see a text; the text's frame test decides both ways.
    if (with->GetKind() == KIND_TEXT && kind != KIND_TEXT)
        return static_cast<CText*>(with)->CheckShort(piece.contact) != 0;
    switch (kind) {
    case KIND_LINE:
        return static_cast<CLine*>(piece.item)->CheckShort(with) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(piece.item)->CheckShort(with) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(piece.item)->CheckShort(with) != 0;
    case KIND_SUR:
        return static_cast<CSur*>(piece.item)->CheckShort(with) != 0;
    case KIND_TEXT:
        return static_cast<CText*>(piece.item)->CheckShort(with) != 0;
    case KIND_VIA:
        return static_cast<CLand*>(piece.contact)->CheckShort(with) != 0;
    case KIND_HOLE:
        return static_cast<CHole*>(piece.item)->CheckShort(with) != 0;
    default:
        return false;
    }
}
