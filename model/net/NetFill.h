#pragma once
// One flood fill of a copper id over a fixed set of copper pieces. The pieces are filed in a grid of
// their rectangles, so that spreading from a piece tests only the pieces near it, not every piece of
// the layer. The fill walks an explicit work list: a group of any size needs no deep call chain.
//
// Which pieces a fill reaches does not depend on the order of spreading: a piece joins when it has
// no id yet and touches a piece that joined before it, so the set is everything reachable from the
// seed through pieces without an id.
//
// Inside, the pieces are kept in the order of their place on the board rather than the caller's:
// the fill goes from a piece to its neighbours, which then lie near it in memory. The caller's
// numbering still holds for operator[] and Spread, and the pieces are reached and taken in the
// same order as without the renumbering.

#include "model/geometry/DRect.h"
#include "model/items/ItemBase.h"
#include "model/net/RectGrid.h"

#include <algorithm>
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
    // The piece the caller gave at this index.
    Node& operator[](int index) { return m_nodes[Slot(index)]; }
    // Whether that piece is done, without a visit to its node.
    bool IsDone(int index) const { return Done(Slot(index)); }

    // Marks the seed done and spreads from it: each piece without an id for which
    // touches(piece, from) holds, `from` being a piece already reached, is given the id through
    // take(piece) and spreads in turn.
    template <class Touches, class Take> void Spread(int seed, Touches&& touches, Take&& take)
    {
        const std::size_t start = Slot(seed);
        m_nodes[start].done = true;
        MarkDone(start);
        m_work.clear();
        m_work.push_back(static_cast<int>(start));
        while (!m_work.empty()) {
            const int from = m_work.back();
            m_work.pop_back();
            Node& source = m_nodes[static_cast<std::size_t>(from)];
            CDRect query = source.spreadRect;
            query.InflateRect(m_margin);
            // The pieces near it that may join, gathered first and their items fetched from memory
            // all at once: on a large board each test would otherwise wait for its own item. They
            // are then tested in the order the grid gave them; only a piece's own test marks it, so
            // the outcome is that of testing each as it comes.
            m_near.clear();
            if (++m_stamp == 0) {
                std::fill(m_met.begin(), m_met.end(), 0u);
                m_stamp = 1;
            }
            m_grid.QueryFilings(query, [&](int index) {
                const std::size_t i = static_cast<std::size_t>(index);
                // The flags and rectangles sit in arrays of their own: most pieces near a large
                // fill are done or apart, and are passed over without touching their node. A piece
                // filed in several cells is taken at its first filing, as Query would take it.
                if (Done(i) || m_met[i] == m_stamp || !Near(m_rects[i], source.spreadRect))
                    return;
                m_met[i] = m_stamp;
                m_near.push_back(index);
                const Node& piece = m_nodes[i];
                __builtin_prefetch(piece.item);
                __builtin_prefetch(reinterpret_cast<const char*>(piece.item) + 64);
                if (piece.contact != piece.item)
                    __builtin_prefetch(piece.contact);
            });
            for (int index : m_near) {
                const std::size_t i = static_cast<std::size_t>(index);
                Node& piece = m_nodes[i];
                if (!touches(piece, source))
                    continue;
                piece.done = true;
                MarkDone(i);
                take(piece);
                m_work.push_back(index);
            }
        }
    }

private:
    NetFill(const std::vector<CDRect>& rects, std::vector<Node>&& nodes, double margin);
    bool Near(const CDRect& piece, const CDRect& from) const
    {
        // Written so that a rectangle that is not finite is always tested.
        const double m = m_margin;
        return !(std::max(piece.left, piece.right) < std::min(from.left, from.right) - m ||
                 std::min(piece.left, piece.right) > std::max(from.left, from.right) + m ||
                 std::max(piece.top, piece.bottom) < std::min(from.top, from.bottom) - m ||
                 std::min(piece.top, piece.bottom) > std::max(from.top, from.bottom) + m);
    }
    static std::vector<CDRect> Rects(const std::vector<Node>& nodes);
    bool Done(std::size_t i) const { return (m_done[i >> 6] >> (i & 63)) & 1u; }
    void MarkDone(std::size_t i) { m_done[i >> 6] |= std::uint64_t{1} << (i & 63); }
    std::size_t Slot(int index) const { return static_cast<std::size_t>(m_slot[static_cast<std::size_t>(index)]); }

    RectGrid m_grid;
    std::vector<Node> m_nodes;        // in board order
    std::vector<int> m_slot;          // where the caller's piece i stands in m_nodes
    std::vector<CDRect> m_rects;      // each node's rect
    // Each node's done, a bit each: the flags of a large board's fill then stay in the cache.
    std::vector<std::uint64_t> m_done;
    std::vector<int> m_work;
    std::vector<int> m_near;
    std::vector<std::uint32_t> m_met; // the query that last took each node
    std::uint32_t m_stamp = 0;
    double m_margin;
};
