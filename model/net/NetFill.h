#pragma once
// One flood fill of a copper id over a fixed set of copper pieces. The pieces are filed in a grid of
// their rectangles, so that spreading from a piece tests only the pieces near it, not every piece of
// the layer. The fill walks an explicit work list: a group of any size needs no deep call chain.
//
// Which pieces a fill reaches does not depend on the order of spreading: a piece joins when it has
// no id yet and touches a piece that joined before it, so the set is everything reachable from the
// seed through pieces without an id.

#include "model/geometry/DRect.h"
#include "model/items/ItemBase.h"
#include "model/net/RectGrid.h"

#include <cstdint>
#include <vector>

class NetFill
{
public:
    struct Node
    {
        CItemBase* item = nullptr;    // the piece that takes the id
        CItemBase* contact = nullptr; // what is tested for contact with it (a via: its contact land)
        CItemBase* spread = nullptr;  // what the contact tests see of it as it spreads (a via: its land)
        CDRect rect;                  // its rectangle as a piece that may be reached
        CDRect spreadRect;            // the rectangle of `spread`, where the id spreads from it
        bool done = false;            // it has an id
    };

    // A piece is tested only when its rectangle comes within margin of the spreading piece's
    // (rectangles that merely touch count: touching copper is connected).
    explicit NetFill(std::vector<Node> nodes, double margin = 0.0);

    // Whether piece touches the copper that from shows: the piece's own contact test (a via's by
    // its contact land, which touches nothing without a turret), but a text's frame test where
    // either side is a text, so that the fill reaches the same pieces whichever side it comes from.
    static bool Touches(const Node& piece, const Node& from);

    int GetCount() const { return static_cast<int>(m_nodes.size()); }
    Node& operator[](int index) { return m_nodes[static_cast<std::size_t>(index)]; }

    // Marks the seed done and spreads from it: each piece without an id for which
    // touches(piece, from) holds, `from` being a piece already reached, is given the id through
    // take(piece) and spreads in turn.
    template <class Touches, class Take> void Spread(int seed, Touches&& touches, Take&& take)
    {
        m_nodes[static_cast<std::size_t>(seed)].done = true;
        m_done[static_cast<std::size_t>(seed)] = 1;
        m_work.clear();
        m_work.push_back(seed);
        while (!m_work.empty()) {
            const int from = m_work.back();
            m_work.pop_back();
            Node& source = m_nodes[static_cast<std::size_t>(from)];
            CDRect query = source.spreadRect;
            query.InflateRect(m_margin);
            // A piece that is done is never taken again: the grid forgets it, so that a pile of
            // pieces on one spot (copies pasted over each other) is walked once, not again from
            // each of them.
            auto done = [this](int index) { return m_done[static_cast<std::size_t>(index)] != 0; };
            m_grid.QueryLive(query, done, [&](int index) {
                const std::size_t i = static_cast<std::size_t>(index);
                // The flags and rectangles sit in arrays of their own: most pieces near a large
                // fill are apart, and are passed over without touching their node.
                if (!Near(m_rects[i], source.spreadRect))
                    return;
                Node& piece = m_nodes[i];
                if (!touches(piece, source))
                    return;
                piece.done = true;
                m_done[i] = 1;
                take(piece);
                m_work.push_back(index);
            });
        }
    }

private:
    NetFill(std::vector<CDRect> rects, std::vector<Node>&& nodes, double margin);
    bool Near(const CDRect& piece, const CDRect& from) const;
    static std::vector<CDRect> Rects(const std::vector<Node>& nodes);

    std::vector<Node> m_nodes;
    std::vector<CDRect> m_rects;      // each node's rect
    std::vector<std::uint8_t> m_done; // each node's done
    RectGrid m_grid;
    std::vector<int> m_work;
    double m_margin;
};
