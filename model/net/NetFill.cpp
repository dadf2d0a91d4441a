#include "model/net/NetFill.h"

#include <algorithm>

NetFill::NetFill(std::vector<Node> nodes, double margin)
    : m_nodes(std::move(nodes)), m_grid(Rects(m_nodes)), m_margin(margin)
{
    for (int i = 0; i < GetCount(); ++i)
        m_grid.Insert(i, m_nodes[static_cast<std::size_t>(i)].rect);
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
