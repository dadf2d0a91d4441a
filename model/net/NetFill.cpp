#include "model/net/NetFill.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"

#include <algorithm>

NetFill::NetFill(std::vector<Node> nodes, double margin) : NetFill(Rects(nodes), std::move(nodes), margin) {}

NetFill::NetFill(const std::vector<CDRect>& rects, std::vector<Node>&& nodes, double margin)
    : m_grid(rects), m_margin(margin)
{
    const std::vector<int> order = m_grid.SpatialOrder(rects);
    const std::size_t n = nodes.size();
    m_slot.resize(n);
    m_nodes.reserve(n);
    m_rects.reserve(n);
    m_done.assign((n + 63) / 64, 0u);
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < n; ++k) {
        // Read in board order, so from all over the caller's array: each node is fetched from
        // memory while earlier ones are copied.
        if (k + kAhead < n) {
            const std::size_t ahead = static_cast<std::size_t>(order[k + kAhead]);
            __builtin_prefetch(&nodes[ahead]);
            __builtin_prefetch(&rects[ahead]);
        }
        const std::size_t i = static_cast<std::size_t>(order[k]);
        m_slot[i] = static_cast<int>(k);
        m_nodes.push_back(nodes[i]);
        m_rects.push_back(rects[i]);
        if (nodes[i].done)
            MarkDone(k);
    }
    m_met.assign(n, 0u);
    // Filed in the caller's order: a query then meets the pieces in the order it met them before
    // they were renumbered, so that the pieces are taken in the same order (a take may hand out
    // numbers as it goes).
    m_grid.InsertAll(m_rects, &m_slot);
}

std::vector<CDRect> NetFill::Rects(const std::vector<Node>& nodes)
{
    std::vector<CDRect> rects;
    rects.reserve(nodes.size());
    for (const Node& node : nodes)
        rects.push_back(node.rect);
    return rects;
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
