#include "model/net/NetMemberIndex.h"

#include "model/items/Hole.h"
#include "model/items/Via.h"

#include <algorithm>

NetMemberIndex::NetMemberIndex(int attr, int wLayer, const std::vector<CDRect>& sample)
    : m_nAttr(attr), m_nWLayer(wLayer), m_grid(sample), m_viaGrid(sample), m_viaSized(!sample.empty()),
      m_sized(!sample.empty())
{
    m_bounds.SetRectEmpty();
}

CLand NetMemberIndex::ViaLand(const CItemBase* via, int attr, int wLayer)
{
    return static_cast<const CVia*>(via)->GetLand(attr, wLayer, 1);
}

NetMemberIndex::Member NetMemberIndex::Make(CItemBase* item, Slot slot)
{
    Member member{item, item, CDRect(), (static_cast<std::uint64_t>(slot) << 48) | m_next++};
    if (slot == SLOT_VIA) {
        m_viaLands.push_back(ViaLand(item, m_nAttr, m_nWLayer));
        CLand& land = m_viaLands.back();
        member.seen = &land;
        member.rect = land.GetBoundingRect();
        if (land.GetTurretNo() != 0) {
            m_bounds |= member.rect;
        } else {
            CHole hole = static_cast<CVia*>(item)->GetHole();
            m_bounds |= hole.GetBoundingRect();
        }
    } else {
        member.rect = item->GetBoundingRect();
        m_bounds |= member.rect;
    }
    return member;
}

void NetMemberIndex::Add(CItemBase* item, Slot slot)
{
    m_members.push_back(Make(item, slot));
    m_grid.Insert(GetCount() - 1, m_members.back().rect);
    if (slot == SLOT_VIA)
        m_vias.push_back(GetCount() - 1);
}

void NetMemberIndex::FileVias()
{
    if (m_viaRects.size() == m_vias.size())
        return;
    const std::size_t from = m_viaRects.size();
    for (std::size_t k = from; k < m_vias.size(); ++k)
        m_viaRects.push_back(
            static_cast<CVia*>(m_members[static_cast<std::size_t>(m_vias[k])].item)->GetNetBoundingRect());
    if (from == 0 && !m_viaSized) {
        // Sized as the member grid was: by the members' rectangles.
        std::vector<CDRect> rects;
        rects.reserve(m_members.size());
        for (const Member& member : m_members)
            rects.push_back(member.rect);
        m_viaGrid = RectGrid(rects);
        m_viaSized = true;
    }
    if (from == 0) {
        m_viaGrid.InsertAll(m_viaRects);
        return;
    }
    for (std::size_t k = from; k < m_vias.size(); ++k)
        m_viaGrid.Insert(static_cast<int>(k), m_viaRects[k]);
}

void NetMemberIndex::NearVias(const CDRect& rect, std::vector<int>& out)
{
    // Only the clearance checks ask for vias by their connectivity squares: their grid is made
    // when first asked for, not for every group a contact pass files.
    FileVias();
    out.clear();
    m_viaGrid.Query(rect, [&](int k) {
        if (Meet(m_viaRects[static_cast<std::size_t>(k)], rect))
            out.push_back(m_vias[static_cast<std::size_t>(k)]);
    });
    std::sort(out.begin(), out.end(), [this](int a, int b) {
        return m_members[static_cast<std::size_t>(a)].order < m_members[static_cast<std::size_t>(b)].order;
    });
}

void NetMemberIndex::AddAll(const std::vector<std::pair<CItemBase*, Slot>>& items)
{
    if (!m_members.empty()) {
        for (const auto& [item, slot] : items)
            Add(item, slot);
        return;
    }
    // Made in member order (their order numbers and via lands), then stored in the order of their
    // place on the board, so that the members a query meets lie together in memory. Near and
    // NearVias sort by the order numbers, which this does not change.
    std::vector<Member> made;
    std::vector<CDRect> rects;
    made.reserve(items.size());
    rects.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        // The members of a large group lie far apart in memory: each is fetched while earlier
        // ones are read.
        if (i + 8 < items.size())
            __builtin_prefetch(items[i + 8].first);
        made.push_back(Make(items[i].first, items[i].second));
        rects.push_back(made.back().rect);
    }
    // Grids made without a sample fit the members filed first.
    if (!m_sized) {
        m_sized = true;
        m_grid = RectGrid(rects);
    }
    const std::vector<int> order = m_grid.SpatialOrder(rects);
    m_members.reserve(items.size());
    std::vector<CDRect> stored;
    stored.reserve(items.size());
    for (int index : order) {
        m_members.push_back(made[static_cast<std::size_t>(index)]);
        stored.push_back(rects[static_cast<std::size_t>(index)]);
    }
    m_grid.InsertAll(stored);
    for (int i = 0; i < GetCount(); ++i)
        if ((m_members[static_cast<std::size_t>(i)].order >> 48) == SLOT_VIA)
            m_vias.push_back(i);
}

void NetMemberIndex::Near(const CDRect& rect, std::vector<int>& out)
{
    out.clear();
    m_grid.Query(rect, [&](int index) {
        if (Meet(m_members[static_cast<std::size_t>(index)].rect, rect))
            out.push_back(index);
    });
    std::sort(out.begin(), out.end(), [this](int a, int b) {
        return m_members[static_cast<std::size_t>(a)].order < m_members[static_cast<std::size_t>(b)].order;
    });
}
