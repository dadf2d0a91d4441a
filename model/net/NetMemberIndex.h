#pragma once
// The members of one copper group filed in a grid of their rectangles, for contact and clearance
// tests of items against the group that look only at the members near the item. A via is kept as
// its land on the group's layer, made once when the via is filed. Each member carries its place in
// the group's order (lines, arcs, lands, surfaces, texts, vias, holes, each list in its own order),
// and the lookups that list members return them in that order, so that a caller can take the first
// member that passes a test as a walk of the lists would. Members filed at once are stored in the
// order of their place on the board, not in the group's order.
//
// The index holds a snapshot: it is built for a pass over groups whose items do not move meanwhile
// and is dropped when members leave the group.

#include "model/geometry/DRect.h"
#include "model/items/ItemBase.h"
#include "model/items/Land.h"
#include "model/net/RectGrid.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

class NetMemberIndex
{
public:
    // The member lists in the order contact tests try them.
    enum Slot
    {
        SLOT_LINE,
        SLOT_ARC,
        SLOT_LAND,
        SLOT_SUR,
        SLOT_TEXT,
        SLOT_VIA,
        SLOT_HOLE,
        SLOT_COUNT
    };

    struct Member
    {
        CItemBase* item; // the member
        CItemBase* seen; // what contact tests see of it: the item, or the via's land
        CDRect rect;     // the rectangle of `seen`
        std::uint64_t order; // its place in the group's order
    };

    // An empty index of a group with this attribute (sheet type word) and W-layer; the sample
    // rectangles set the grid's cell size (none: the members first filed at once set it).
    NetMemberIndex(int attr, int wLayer, const std::vector<CDRect>& sample);

    // Files a member at the end of its list.
    void Add(CItemBase* item, Slot slot);
    // Files members at the end of their lists at once (faster than one by one).
    void AddAll(const std::vector<std::pair<CItemBase*, Slot>>& items);

    // The member's land on the group's layer as contact tests see it.
    static CLand ViaLand(const CItemBase* via, int attr, int wLayer);

    int GetCount() const { return static_cast<int>(m_members.size()); }
    // A member by its storage index (as Near returns them), not its place in the group's order.
    const Member& operator[](int index) const { return m_members[static_cast<std::size_t>(index)]; }
    // The union of the rectangles that a group's bounds are made of: a via by its land, or its drill
    // hole when it has no land on the layer.
    const CDRect& GetBounds() const { return m_bounds; }

    // The indices of the members whose rectangle meets the rectangle (edges touching included), in
    // member order.
    void Near(const CDRect& rect, std::vector<int>& out);
    // The indices of the vias whose connectivity square (CVia::GetNetBoundingRect) meets the
    // rectangle, in member order.
    void NearVias(const CDRect& rect, std::vector<int>& out);
    // Calls visit(member) for every member whose rectangle meets the rectangle, in no fixed order;
    // stops early when visit returns true, and returns whether it did.
    template <class Visit> bool Any(const CDRect& rect, Visit&& visit)
    {
        bool found = false;
        m_grid.Query(rect, [&](int index) {
            if (found)
                return;
            const Member& member = m_members[static_cast<std::size_t>(index)];
            if (Meet(member.rect, rect) && visit(member))
                found = true;
        });
        return found;
    }

    static bool Meet(const CDRect& a, const CDRect& b)
    {
        return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
               std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
    }

private:
    Member Make(CItemBase* item, Slot slot);
    // Files the vias not yet in the via grid.
    void FileVias();

    int m_nAttr;
    int m_nWLayer;
    RectGrid m_grid;
    std::vector<Member> m_members;
    // The vias by their connectivity squares: grid entry k is member m_vias[k]. The grid holds
    // the first m_viaRects.size() of them.
    RectGrid m_viaGrid;
    std::vector<int> m_vias;
    std::vector<CDRect> m_viaRects;
    bool m_viaSized;
    std::deque<CLand> m_viaLands;
    bool m_sized;
    std::uint64_t m_next = 0;
    CDRect m_bounds;
};
