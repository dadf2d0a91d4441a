#include "model/net/NetFill.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"

#include <algorithm>

NetFill::NetFill(std::vector<Node> nodes, double margin) : NetFill(Rects(nodes), std::move(nodes), margin) {}

NetFill::NetFill(std::vector<CDRect> rects, std::vector<Node>&& nodes, double margin)
    : m_nodes(std::move(nodes)), m_rects(std::move(rects)), m_grid(m_rects), m_margin(margin)
{
    m_done.reserve(m_nodes.size());
    for (const Node& node : m_nodes)
        m_done.push_back(node.done ? 1 : 0);
    m_grid.InsertAll(m_rects);
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
