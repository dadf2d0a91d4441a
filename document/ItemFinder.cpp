#include "document/ItemFinder.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Cells far larger than the comparison tolerance, so a question looks at one cell, rarely four.
constexpr double kCell = 1e-3;
// Equality compares points within 1e-6; derived points (an arc's ends) may add rounding.
constexpr double kReach = 4e-6;

// The point an item's class equality compares within the tolerance; none for items that compare
// without one (an empty text equals any empty text).
std::optional<CDPoint> EqualityPoint(CItemBase& item)
{
    switch (item.GetKind()) {
    case KIND_LINE:
        return static_cast<CLine&>(item).GetStartPoint();
    case KIND_LAND:
        return static_cast<CLand&>(item).GetPoint();
    case KIND_VIA:
        return static_cast<CVia&>(item).GetPoint();
    case KIND_HOLE:
        return static_cast<CHole&>(item).GetPoint();
    case KIND_TER:
        return static_cast<CTer&>(item).GetPoint();
    case KIND_ARC:
        return static_cast<CArc&>(item).GetCenter();
    case KIND_PART:
        return static_cast<CPart&>(item).GetOrg();
    case KIND_TEXT: {
        CText& text = static_cast<CText&>(item);
        if (text.GetName().empty())
            return std::nullopt;
        return text.GetPoint();
    }
    case KIND_SUR:
        return static_cast<CSur&>(item).GetPoint();
    default:
        return std::nullopt;
    }
}

bool WithinEnd(const CDPoint& a, const CDPoint& b)
{
    return std::fabs(a.x - b.x) <= GEOM_TOLERANCE && std::fabs(a.y - b.y) <= GEOM_TOLERANCE;
}

} // namespace

ItemFinder::ItemFinder(CSheet& sheet, int kinds, Mode mode) : m_sheet(sheet)
{
    std::size_t count = 0;
    for (int bit = 0; bit < SHEET_KIND_COUNT; ++bit)
        if (kinds & (1 << bit))
            count += static_cast<std::size_t>(sheet.GetKindCount(1 << bit));
    m_slots.reserve(count);
    m_cells.reserve(mode == ENDS ? 2 * count : count);
    for (int bit = 0; bit < SHEET_KIND_COUNT; ++bit) {
        const int kind = 1 << bit;
        if (!(kinds & kind))
            continue;
        if (mode == ENDS && kind != KIND_LINE && kind != KIND_ARC)
            continue;
        for (POSITION pos = sheet.GetFirstItemPos(kind); pos;) {
            const POSITION here = pos;
            CItemBase* item = sheet.GetNextItem(kind, pos);
            const auto slot = static_cast<std::uint32_t>(m_slots.size());
            m_slots.push_back(Slot{item, here, kind, true});
            if (mode == EQUALITY) {
                Add(slot, EqualityPoint(*item));
            } else if (kind == KIND_LINE) {
                Add(slot, static_cast<CLine*>(item)->GetStartPoint());
                Add(slot, static_cast<CLine*>(item)->GetEndPoint());
            } else {
                Add(slot, static_cast<CArc*>(item)->GetStartPoint());
                Add(slot, static_cast<CArc*>(item)->GetEndPoint());
            }
        }
    }
    std::sort(m_cells.begin(), m_cells.end());
    m_cells.erase(std::unique(m_cells.begin(), m_cells.end()), m_cells.end());
}

std::optional<std::uint64_t> ItemFinder::CellKey(double x, double y)
{
    const double cx = std::floor(x / kCell);
    const double cy = std::floor(y / kCell);
    constexpr double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (!(std::fabs(cx) < limit) || !(std::fabs(cy) < limit))
        return std::nullopt;
    const auto ux = static_cast<std::uint32_t>(static_cast<std::int32_t>(cx));
    const auto uy = static_cast<std::uint32_t>(static_cast<std::int32_t>(cy));
    return (static_cast<std::uint64_t>(ux) << 32) | uy;
}

void ItemFinder::Add(std::uint32_t slot, const std::optional<CDPoint>& point)
{
    const auto key = point ? CellKey(point->x, point->y) : std::nullopt;
    if (!key) {
        m_pointless.push_back(slot);
        return;
    }
    m_cells.emplace_back(*key, slot);
}

template <class F> void ItemFinder::ForNear(const std::optional<CDPoint>& point, double reach, F f) const
{
    const auto low = point ? CellKey(point->x - reach, point->y - reach) : std::nullopt;
    const auto high = point ? CellKey(point->x + reach, point->y + reach) : std::nullopt;
    if (!low || !high) {
        for (std::uint32_t slot : m_pointless)
            f(slot);
        return;
    }
    const auto x0 = static_cast<std::uint32_t>(*low >> 32);
    const auto x1 = static_cast<std::uint32_t>(*high >> 32);
    const auto y0 = static_cast<std::uint32_t>(*low);
    const auto y1 = static_cast<std::uint32_t>(*high);
    for (std::uint32_t x = x0;; ++x) {
        for (std::uint32_t y = y0;; ++y) {
            const std::uint64_t key = (static_cast<std::uint64_t>(x) << 32) | y;
            auto it = std::lower_bound(m_cells.begin(), m_cells.end(), std::make_pair(key, std::uint32_t{0}));
            for (; it != m_cells.end() && it->first == key; ++it)
                f(it->second);
            if (y == y1)
                break;
        }
        if (x == x1)
            break;
    }
}

CItemBase* ItemFinder::FindEqual(CItemBase& given)
{
    const SheetKindOps* ops = FindSheetKind(given.GetKind());
    if (!ops || !ops->equal)
        return nullptr;
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    ForNear(EqualityPoint(given), kReach, [&](std::uint32_t slot) {
        const Slot& s = m_slots[slot];
        if (slot < best && s.alive && s.kind == given.GetKind() && ops->equal(*s.item, given))
            best = slot;
    });
    if (best >= m_slots.size())
        return nullptr;
    m_lastFound = best;
    return m_slots[best].item;
}

CItemBase* ItemFinder::FindEnd(const CDPoint& point)
{
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    ForNear(point, kReach, [&](std::uint32_t slot) {
        const Slot& s = m_slots[slot];
        if (slot >= best || !s.alive)
            return;
        bool meets = false;
        if (s.kind == KIND_LINE) {
            const CLine& line = *static_cast<CLine*>(s.item);
            meets = WithinEnd(line.GetStartPoint(), point) || WithinEnd(line.GetEndPoint(), point);
        } else if (s.kind == KIND_ARC) {
            const CArc& arc = *static_cast<CArc*>(s.item);
            meets = WithinEnd(arc.GetStartPoint(), point) || WithinEnd(arc.GetEndPoint(), point);
        }
        if (meets)
            best = slot;
    });
    if (best >= m_slots.size())
        return nullptr;
    m_lastFound = best;
    return m_slots[best].item;
}

std::int64_t ItemFinder::SlotOf(const CItemBase* item)
{
    if (m_lastFound < m_slots.size() && m_slots[m_lastFound].item == item && m_slots[m_lastFound].alive)
        return m_lastFound;
    if (m_slotOf.empty())
        for (std::uint32_t slot = 0; slot < m_slots.size(); ++slot)
            m_slotOf.emplace(m_slots[slot].item, slot);
    const auto it = m_slotOf.find(item);
    if (it == m_slotOf.end() || !m_slots[it->second].alive)
        return -1;
    return it->second;
}

void ItemFinder::Delete(CItemBase* item)
{
    const std::int64_t slot = SlotOf(item);
    if (slot < 0)
        return;
    Slot& s = m_slots[static_cast<std::size_t>(slot)];
    s.alive = false;
    m_sheet.DeleteItemAt(s.kind, s.pos);
}

void ItemFinder::Forget(CItemBase* item)
{
    const std::int64_t slot = SlotOf(item);
    if (slot >= 0)
        m_slots[static_cast<std::size_t>(slot)].alive = false;
}
