#include "model/net/NetLine.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetFill.h"
#include "model/net/NetMemberIndex.h"
#include "model/net/RectGrid.h"
#include "model/services/DocumentServices.h"
#include "model/services/Records.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <unordered_set>

// Terminals reach their groups through these; installed at start-up.
void InstallTerNetHooks()
{
    TerNetHooks hooks;
    hooks.groupId = [](const CNetLine* group) { return group->GetID(); };
    hooks.groupHolds = [](const CNetLine* group, const CTer* ter) { return group->HasItem(ter); };
    hooks.groupAdd = [](CNetLine* group, CTer* ter) { group->AddItem(ter); };
    hooks.groupRemove = [](CNetLine* group, CTer* ter) { group->RemoveTer(ter); };
    SetTerNetHooks(hooks);
}

namespace {

// The kinds that carry the group id in their own id, in the order MakeNetID seeds them.
constexpr int kOwnIdKinds[] = {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR, KIND_TEXT};

// Rectangles that overlap or only touch: copper that touches is connected, so the rectangle test
// in front of a contact test must not drop rectangles that share an edge.
bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// Members of more than this many are looked up through a grid when a whole group is tested.
constexpr std::size_t kGridFrom = 32;
// How many items ahead a walk over a large set of items asks for them from memory.
constexpr std::size_t kAhead = 8;

// The index slot of a member list, or -1 for the terminals, which are not filed.
int SlotOf(int kind)
{
    switch (kind) {
    case KIND_LINE:
        return NetMemberIndex::SLOT_LINE;
    case KIND_ARC:
        return NetMemberIndex::SLOT_ARC;
    case KIND_LAND:
        return NetMemberIndex::SLOT_LAND;
    case KIND_SUR:
        return NetMemberIndex::SLOT_SUR;
    case KIND_TEXT:
        return NetMemberIndex::SLOT_TEXT;
    case KIND_VIA:
        return NetMemberIndex::SLOT_VIA;
    case KIND_HOLE:
        return NetMemberIndex::SLOT_HOLE;
    default:
        return -1;
    }
}

} // namespace

CNetLine::CNetLine() = default;

CNetLine::CNetLine(std::uint32_t id, int wLayer, int attr) : m_nID(id), m_nAttr(attr), m_nWLayer(wLayer) {}

CNetLine::CNetLine(CNetLine& other)
{
    *this = other;
}

CNetLine& CNetLine::operator=(CNetLine& other)
{
    if (&other == this)
        return *this;
    DeleteContents();
    m_nID = other.m_nID;
    m_nAttr = other.m_nAttr;
    m_nWLayer = other.m_nWLayer;
    *this += other;
    return *this;
}

CNetLine::~CNetLine()
{
    m_index.reset();
    for (CItemBase* ter : m_Ters)
        static_cast<CTer*>(ter)->RemoveNetLine(this);
}

// ---------------------------------------------------------------------------------------------
// Lists

CItemBaseList& CNetLine::ListOf(int kind)
{
    switch (kind) {
    case KIND_LAND:
        return m_Lands;
    case KIND_ARC:
        return m_Arcs;
    case KIND_SUR:
        return m_Surs;
    case KIND_TEXT:
        return m_Texts;
    case KIND_HOLE:
        return m_Holes;
    case KIND_VIA:
        return m_Vias;
    case KIND_TER:
        return m_Ters;
    default:
        return m_Lines;
    }
}

void CNetLine::Append(CItemBaseList& list, CItemBase* item)
{
    const POSITION pos = list.AddTail(item);
    m_members.Add(item);
    if (&list == &m_Ters)
        m_terAt[item] = pos;
    if (m_index && &list != &m_Ters)
        m_index->Add(item, static_cast<NetMemberIndex::Slot>(SlotOf(item->GetKind())));
}

void CNetLine::Unlink(CItemBaseList& list, POSITION pos)
{
    if (&list != &m_Ters)
        m_index.reset();
    const CItemBase* item = list.GetAt(pos);
    list.RemoveAt(pos);
    m_members.Remove(item);
    if (&list == &m_Ters)
        m_terAt.erase(item);
}

bool CNetLine::Holds(const CItemBase* item) const
{
    return m_members.Count(item) > 0;
}

CNetLine::POSITION CNetLine::FindItem(const CItemBase* item)
{
    if (!item || !Holds(item))
        return POSITION();
    if (item->GetKind() == KIND_TER) {
        // A terminal stands in its list once.
        const auto it = m_terAt.find(item);
        return it == m_terAt.end() ? POSITION() : it->second;
    }
    return ListOf(item->GetKind()).Find(item);
}

CLine* CNetLine::GetNextLine(POSITION& pos)
{
    return static_cast<CLine*>(m_Lines.GetNext(pos));
}
CLand* CNetLine::GetNextLand(POSITION& pos)
{
    return static_cast<CLand*>(m_Lands.GetNext(pos));
}
CArc* CNetLine::GetNextArc(POSITION& pos)
{
    return static_cast<CArc*>(m_Arcs.GetNext(pos));
}
CSur* CNetLine::GetNextSur(POSITION& pos)
{
    return static_cast<CSur*>(m_Surs.GetNext(pos));
}
CText* CNetLine::GetNextText(POSITION& pos)
{
    return static_cast<CText*>(m_Texts.GetNext(pos));
}
CHole* CNetLine::GetNextHole(POSITION& pos)
{
    return static_cast<CHole*>(m_Holes.GetNext(pos));
}
CVia* CNetLine::GetNextVia(POSITION& pos)
{
    return static_cast<CVia*>(m_Vias.GetNext(pos));
}
CTer* CNetLine::GetNextTer(POSITION& pos)
{
    return static_cast<CTer*>(m_Ters.GetNext(pos));
}

CTer* CNetLine::GetFirstTer()
{
    return m_Ters.IsEmpty() ? nullptr : static_cast<CTer*>(m_Ters.GetHead());
}

CItemBase* CNetLine::GetHeadItem()
{
    for (CItemBaseList* list : {&m_Lands, &m_Lines, &m_Texts, &m_Arcs, &m_Holes, &m_Surs, &m_Vias, &m_Ters})
        if (!list->IsEmpty())
            return list->GetHead();
    return nullptr;
}

int CNetLine::IsEmpty() const
{
    return m_Lines.IsEmpty() && m_Lands.IsEmpty() && m_Arcs.IsEmpty() && m_Surs.IsEmpty() &&
           m_Texts.IsEmpty() && m_Vias.IsEmpty() && m_Holes.IsEmpty();
}

std::uint32_t CNetLine::GetCount(int code) const
{
    switch (code) {
    case 1:
        return static_cast<std::uint32_t>(m_Lines.GetCount());
    case 2:
        return static_cast<std::uint32_t>(m_Lands.GetCount());
    case 4:
        return static_cast<std::uint32_t>(m_Arcs.GetCount());
    case 5:
        return static_cast<std::uint32_t>(m_Vias.GetCount());
    case 6:
        return static_cast<std::uint32_t>(m_Texts.GetCount());
    case 7:
        return static_cast<std::uint32_t>(m_Holes.GetCount());
    case 8:
        return static_cast<std::uint32_t>(m_Surs.GetCount());
    case 9:
        return static_cast<std::uint32_t>(m_Ters.GetCount());
    default:
        return static_cast<std::uint32_t>(m_Lines.GetCount() + m_Lands.GetCount() + m_Arcs.GetCount() +
                                          m_Vias.GetCount() + m_Texts.GetCount() + m_Holes.GetCount() +
                                          m_Surs.GetCount() + m_Ters.GetCount());
    }
}

// ---------------------------------------------------------------------------------------------
// Adding, merging, stamping, removing

void CNetLine::AddItem(CItemBase* item)
{
    if (!item)
        return;
    GetBoundingRect();
    switch (item->GetKind()) {
    case KIND_LINE:
    case KIND_LAND:
    case KIND_ARC:
    case KIND_TEXT:
    case KIND_SUR: {
        item->SetID(m_nID);
        CDRect rect = item->GetBoundingRect();
        // A hairline's rectangle carries a margin for picking; its copper is narrower.
        if (item->GetKind() == KIND_LINE && item->GetLineWidth() == 0.0)
            rect.DeflateRect(0.025);
        m_rcBound |= rect;
        Append(ListOf(item->GetKind()), item);
        break;
    }
    case KIND_VIA: {
        auto* via = static_cast<CVia*>(item);
        if (m_nWLayer != 0)
            via->SetLayerID(m_nID, m_nWLayer);
        else if (m_nAttr & NETLINE_WIRING)
            via->SetID(m_nID);
        m_rcBound |= via->GetBoundingRect();
        if (!Holds(via))
            Append(m_Vias, via);
        break;
    }
    case KIND_HOLE: {
        auto* hole = static_cast<CHole*>(item);
        if (m_nWLayer != 0)
            hole->SetLayerID(m_nID, m_nWLayer);
        else
            hole->SetID(m_nID);
        if (Holds(hole))
            break;
        m_rcBound |= hole->GetBoundingRect();
        Append(m_Holes, hole);
        break;
    }
    case KIND_TER: {
        auto* ter = static_cast<CTer*>(item);
        if (!Holds(ter))
            Append(m_Ters, ter);
        if (!ter->FindNetLine(this))
            ter->AddTailNetLine(this);
        break;
    }
    default:
        break;
    }
}

CNetLine& CNetLine::operator+=(CNetLine& other)
{
    if (&other == this)
        return *this;
    GetBoundingRect();
    m_rcBound |= other.GetBoundingRect();
    other.SetID(m_nID);
    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_SUR, KIND_TEXT, KIND_VIA, KIND_HOLE}) {
        CItemBaseList& mine = ListOf(kind);
        for (CItemBase* item : other.ListOf(kind))
            Append(mine, item);
    }
    // Copied first: linking back may reach the other group through the terminal.
    const std::vector<CItemBase*> ters(other.m_Ters.begin(), other.m_Ters.end());
    for (CItemBase* ter : ters)
        AddItem(ter);
    for (auto& item : other.m_owned)
        m_owned.push_back(std::move(item));
    other.m_owned.clear();
    CalcBoundingRect();
    return *this;
}

void CNetLine::SetID(std::uint32_t id)
{
    m_nID = id;
    for (int kind : kOwnIdKinds)
        for (CItemBase* item : ListOf(kind))
            item->SetID(id);
    for (CItemBase* item : m_Vias) {
        auto* via = static_cast<CVia*>(item);
        via->SetLayerID(id, m_nWLayer);
        if (id == 0)
            via->SetID(0);
    }
    for (CItemBase* item : m_Holes) {
        auto* hole = static_cast<CHole*>(item);
        hole->SetLayerID(id, m_nWLayer);
        if (id == 0)
            hole->SetID(0);
    }
    if (id != 0)
        return;
    const std::vector<CItemBase*> ters(m_Ters.begin(), m_Ters.end());
    for (CItemBase* item : ters) {
        auto* ter = static_cast<CTer*>(item);
        ter->RemoveNetLine(this);
        if (CItemBase* part = ter->GetParent(); part && part->GetKind() == KIND_PART)
            static_cast<CPart*>(part)->ResetID();
    }
    for (POSITION pos = m_Ters.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        m_Ters.GetNext(pos);
        Unlink(m_Ters, here);
    }
}

void CNetLine::RemoveItem(CItemBase* item)
{
    const POSITION pos = FindItem(item);
    if (!pos)
        return;
    Unlink(ListOf(item->GetKind()), pos);
    // A terminal left listing the group would keep a pointer to it after the group is freed.
    if (item->GetKind() == KIND_TER) {
        static_cast<CTer*>(item)->RemoveNetLine(this);
        m_boundsStale = true;
        return;
    }
    CalcBoundingRect();
}

void CNetLine::RemoveTer(CTer* ter)
{
    if (const POSITION pos = FindItem(ter))
        Unlink(m_Ters, pos);
    if (ter)
        ter->RemoveNetLine(this);
}

void CNetLine::DeleteContents()
{
    for (CItemBase* ter : m_Ters)
        static_cast<CTer*>(ter)->RemoveNetLine(this);
    for (CItemBaseList* list : {&m_Lines, &m_Lands, &m_Arcs, &m_Surs, &m_Texts, &m_Holes, &m_Vias, &m_Ters})
        list->RemoveAll();
    m_members.Clear();
    m_terAt.clear();
    m_index.reset();
    m_rcBound.SetRectEmpty();
    m_boundsStale = false;
}

void CNetLine::AdoptItem(std::unique_ptr<CItemBase> item)
{
    if (!item)
        return;
    AddItem(item.get());
    m_owned.push_back(std::move(item));
}

void CNetLine::DeleteAllItem()
{
    DeleteContents();
    // Taken out first: freeing a terminal reaches back into its groups.
    std::vector<std::unique_ptr<CItemBase>> owned = std::move(m_owned);
    m_owned.clear();
    owned.clear();
}

// ---------------------------------------------------------------------------------------------
// Bounds and length

CLand CNetLine::ViaLand(const CVia& via, int layer) const
{
    return NetMemberIndex::ViaLand(&via, m_nAttr, layer);
}

std::unique_ptr<NetMemberIndex> CNetLine::BuildMemberIndex()
{
    static constexpr int kOrder[] = {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR,
                                     KIND_TEXT, KIND_VIA, KIND_HOLE};
    std::vector<std::pair<CItemBase*, NetMemberIndex::Slot>> items;
    items.reserve(m_members.Size());
    for (int kind : kOrder)
        for (CItemBase* item : ListOf(kind))
            items.emplace_back(item, static_cast<NetMemberIndex::Slot>(SlotOf(kind)));
    auto index = std::make_unique<NetMemberIndex>(m_nAttr, m_nWLayer, std::vector<CDRect>());
    index->AddAll(items);
    return index;
}

NetMemberIndex& CNetLine::KeepMemberIndex()
{
    if (!m_index)
        m_index = BuildMemberIndex();
    return *m_index;
}

void CNetLine::ReleaseMemberIndex()
{
    m_index.reset();
}

void CNetLine::CalcBoundingRect()
{
    m_boundsStale = false;
    if (m_index) {
        // The index holds every member's rectangle as this walk would take it.
        m_rcBound = m_index->GetBounds();
        return;
    }
    m_rcBound.SetRectEmpty();
    for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts})
        for (CItemBase* item : *list)
            m_rcBound |= item->GetBoundingRect();
    for (CItemBase* item : m_Vias) {
        auto* via = static_cast<CVia*>(item);
        if (via->GetTurret(m_nAttr, m_nWLayer, 1) != 0) {
            CLand land = ViaLand(*via, m_nWLayer);
            m_rcBound |= land.GetBoundingRect();
        } else {
            CHole hole = via->GetHole();
            m_rcBound |= hole.GetBoundingRect();
        }
    }
    for (CItemBase* item : m_Holes)
        m_rcBound |= item->GetBoundingRect();
}

double CNetLine::GetLength()
{
    double length = 0.0;
    for (CItemBase* item : m_Lines) {
        const auto* line = static_cast<CLine*>(item);
        const CDPoint& a = line->GetStartPoint();
        const CDPoint& b = line->GetEndPoint();
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    for (CItemBase* item : m_Arcs) {
        auto* arc = static_cast<CArc*>(item);
        if (std::fabs(arc->GetStartAngle() - arc->GetEndAngle()) >= 0.001)
            length += arc->GetRadius() * arc->GetAngle();
        else
            length += arc->GetRadius() * 2.0 * std::numbers::pi;
    }
    return length;
}

// ---------------------------------------------------------------------------------------------
// Contact

namespace {

// Whether a member (seen as `seen`: a via as its land) counts as touching the item on a positive
// layer, the rectangles already meeting. A text counts on its rectangle alone, as a member and as
// the item tested, so that two groups touch or not whichever of them is asked.
bool MemberTouches(CItemBase* member, CItemBase* seen, CItemBase* item)
{
    if (item->GetKind() == KIND_TEXT)
        return true;
    switch (member->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(member)->CheckShort(item) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(member)->CheckShort(item) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(member)->CheckShort(item) != 0;
    case KIND_SUR:
        return static_cast<CSur*>(member)->CheckShort(item) != 0;
    case KIND_TEXT:
        return true;
    case KIND_VIA:
        return static_cast<CLand*>(seen)->CheckShort(item) != 0;
    case KIND_HOLE:
        return static_cast<CHole*>(member)->CheckShort(item) != 0;
    default:
        return false;
    }
}

} // namespace

CItemBase* CNetLine::CheckShortPositive(CItemBase* item, const CDRect& rect)
{
    if (m_index) {
        // The first member in list order that touches, as the walk below finds it.
        std::vector<int> near;
        m_index->Near(rect, near);
        for (int index : near) {
            const NetMemberIndex::Member& member = (*m_index)[index];
            if (MemberTouches(member.item, member.seen, item))
                return member.item;
        }
        return nullptr;
    }
    for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts, &m_Holes}) {
        if (list == &m_Holes) {
            // The vias come before the holes.
            for (CItemBase* candidate : m_Vias) {
                CLand land = ViaLand(*static_cast<CVia*>(candidate), m_nWLayer);
                if (Meet(land.GetBoundingRect(), rect) && MemberTouches(candidate, &land, item))
                    return candidate;
            }
        }
        for (CItemBase* candidate : *list)
            if (Meet(candidate->GetBoundingRect(), rect) && MemberTouches(candidate, candidate, item))
                return candidate;
    }
    return nullptr;
}

CItemBase* CNetLine::CheckShortNegative(CItemBase* item, const CDRect& rect)
{
    if (item->GetKind() != KIND_LAND || !static_cast<CLand*>(item)->IsTharmal())
        return nullptr;
    for (CItemBase* candidate : m_Lands) {
        auto* land = static_cast<CLand*>(candidate);
        if (land->IsTharmal() && Meet(land->GetBoundingRect(), rect) && land->CheckShort(item))
            return candidate;
    }
    for (CItemBase* candidate : m_Vias) {
        auto* via = static_cast<CVia*>(candidate);
        if (!via->CheckWire(m_nWLayer))
            continue;
        CLand land = ViaLand(*via, m_nWLayer);
        if (Meet(land.GetBoundingRect(), rect) && land.CheckShort(item))
            return candidate;
    }
    return nullptr;
}

CItemBase* CNetLine::CheckShortItem(CItemBase* item)
{
    if (!item)
        return nullptr;
    CLand viaLand;
    if (item->GetKind() == KIND_VIA) {
        viaLand = ViaLand(*static_cast<CVia*>(item), m_nWLayer);
        item = &viaLand;
    }
    const CDRect rect = item->GetBoundingRect();
    return (m_nAttr & NETLINE_NEGATIVE) ? CheckShortNegative(item, rect) : CheckShortPositive(item, rect);
}

int CNetLine::CheckShortItem(CNetLine* other)
{
    if (!other)
        return 0;
    if (m_nAttr & NETLINE_NEGATIVE) {
        for (CItemBase* item : other->m_Vias) {
            auto* via = static_cast<CVia*>(item);
            if (via->CheckWire(m_nWLayer) && via->GetLayerID(m_nWLayer) == m_nID)
                return 1;
        }
        for (CItemBase* item : other->m_Holes) {
            auto* hole = static_cast<CHole*>(item);
            if (hole->CheckWire(m_nWLayer) && hole->GetLayerID(m_nWLayer) == m_nID)
                return 1;
        }
        return 0;
    }
    if (!Meet(GetBoundingRect(), other->GetBoundingRect()))
        return 0;

    const std::size_t mine =
        GetCount(1) + GetCount(2) + GetCount(4) + GetCount(5) + GetCount(6) + GetCount(7) + GetCount(8);
    const std::size_t theirs = other->GetCount(1) + other->GetCount(2) + other->GetCount(4) +
                               other->GetCount(5) + other->GetCount(6) + other->GetCount(7) +
                               other->GetCount(8);
    if (!m_index && other->m_index && other->m_nAttr == m_nAttr && other->m_nWLayer == m_nWLayer) {
        // A small group against a large one (a part's terminal against a net): each of this
        // group's members is looked up among the other's members near it, the pairs tested the
        // same way round as below.
        NetMemberIndex& theirIndex = *other->m_index;
        auto mineTouch = [&](CItemBase* member, CItemBase* seen) {
            return theirIndex.Any(seen->GetBoundingRect(), [&](const NetMemberIndex::Member& item) {
                return MemberTouches(member, seen, item.seen);
            });
        };
        for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts, &m_Vias, &m_Holes})
            for (CItemBase* member : *list) {
                if (member->GetKind() == KIND_VIA) {
                    CLand land = ViaLand(*static_cast<CVia*>(member), m_nWLayer);
                    if (mineTouch(member, &land))
                        return 1;
                } else if (mineTouch(member, member)) {
                    return 1;
                }
            }
        return 0;
    }
    if (!m_index && (theirs < kGridFrom || mine < kGridFrom)) {
        for (CItemBaseList* list : {&other->m_Lines, &other->m_Arcs, &other->m_Lands, &other->m_Surs,
                                    &other->m_Texts, &other->m_Vias, &other->m_Holes})
            for (CItemBase* item : *list)
                if (CheckShortItem(item))
                    return 1;
        return 0;
    }

    // Whether the groups touch does not depend on which pair is found first: each of the other's
    // members is looked up among this group's members near it.
    std::unique_ptr<NetMemberIndex> temporary;
    NetMemberIndex* index = m_index.get();
    if (!index) {
        temporary = BuildMemberIndex();
        index = temporary.get();
    }
    auto touches = [index](CItemBase* seen) {
        return index->Any(seen->GetBoundingRect(), [seen](const NetMemberIndex::Member& member) {
            return MemberTouches(member.item, member.seen, seen);
        });
    };
    if (other->m_index && other->m_nAttr == m_nAttr && other->m_nWLayer == m_nWLayer) {
        // The other's via lands are the ones this group would make.
        const NetMemberIndex& theirIndex = *other->m_index;
        for (int i = 0; i < theirIndex.GetCount(); ++i)
            if (touches(theirIndex[i].seen))
                return 1;
        return 0;
    }
    for (CItemBaseList* list : {&other->m_Lines, &other->m_Arcs, &other->m_Lands, &other->m_Surs,
                                &other->m_Texts, &other->m_Vias, &other->m_Holes})
        for (CItemBase* item : *list) {
            if (item->GetKind() == KIND_VIA) {
                CLand land = ViaLand(*static_cast<CVia*>(item), m_nWLayer);
                if (touches(&land))
                    return 1;
            } else if (touches(item)) {
                return 1;
            }
        }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Clearance

void CNetLine::DRC_ShortCheck(tagDRCSPEC* drc, CNetLine* other)
{
    if (!drc || !other)
        return;
    CDRect grown = GetBoundingRect();
    grown.InflateRect(std::min({drc->holeToHole, drc->plainClearance, drc->netClearance}));
    if (other->m_index) {
        // The other's vias, holes, then its lines, arcs, lands, surfaces and texts near this
        // group, in the order of its lists: the order of the kept index.
        NetMemberIndex& index = *other->m_index;
        std::vector<int> near;
        index.NearVias(grown, near);
        for (int i : near)
            DRC_ShortCheck(drc, index[i].item);
        grown = GetBoundingRect();
        grown.InflateRect(drc->holeMargin);
        index.Near(grown, near);
        for (int i : near)
            if (index[i].item->GetKind() == KIND_HOLE)
                DRC_ShortCheck(drc, index[i].item);
        grown = GetBoundingRect();
        grown.InflateRect(std::min(drc->plainClearance, drc->netClearance));
        index.Near(grown, near);
        for (int i : near) {
            const int kind = index[i].item->GetKind();
            if (kind != KIND_HOLE && kind != KIND_VIA)
                DRC_ShortCheck(drc, index[i].item);
        }
        return;
    }
    for (CItemBase* item : other->m_Vias) {
        const CDRect rect = static_cast<CVia*>(item)->GetNetBoundingRect();
        if (Meet(rect, grown))
            DRC_ShortCheck(drc, item);
    }
    grown = GetBoundingRect();
    grown.InflateRect(drc->holeMargin);
    for (CItemBase* item : other->m_Holes)
        if (Meet(item->GetBoundingRect(), grown))
            DRC_ShortCheck(drc, item);
    grown = GetBoundingRect();
    grown.InflateRect(std::min(drc->plainClearance, drc->netClearance));
    for (CItemBaseList* list :
         {&other->m_Lines, &other->m_Arcs, &other->m_Lands, &other->m_Surs, &other->m_Texts})
        for (CItemBase* item : *list)
            if (Meet(item->GetBoundingRect(), grown))
                DRC_ShortCheck(drc, item);
}

void CNetLine::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item)
        return;
    const int layer = m_nWLayer != 0 ? m_nWLayer : static_cast<int>(m_nID & 0xFF);
    const int kind = item->GetKind();
    CLand viaLand;
    CItemBase* tested = item;
    if (kind == KIND_VIA) {
        auto* via = static_cast<CVia*>(item);
        viaLand = via->GetLand(m_nAttr, layer, 1);
        viaLand.SetID(via->GetLayerID(layer));
        tested = &viaLand;
    }
    const CDRect rect = tested->GetBoundingRect();

    const double viaGrow = kind == KIND_VIA    ? drc->holeToHole
                           : kind == KIND_HOLE ? drc->holeMargin
                                               : drc->plainClearance;
    const double copperGrow = kind == KIND_VIA    ? drc->plainClearance
                              : kind == KIND_HOLE ? drc->holeMargin
                                                  : drc->netClearance;
    if (m_index && m_nWLayer != 0) {
        CheckNearMembers(drc, tested, rect, viaGrow, copperGrow);
        return;
    }
    CDRect grown = rect;
    grown.InflateRect(viaGrow);
    for (CItemBase* member : m_Vias) {
        auto* via = static_cast<CVia*>(member);
        CLand land = via->GetLand(m_nAttr, layer, 1);
        land.SetID(via->GetLayerID(layer));
        if (Meet(land.GetBoundingRect(), grown))
            land.DRC_ShortCheck(drc, tested);
    }
    grown = rect;
    grown.InflateRect(drc->holeMargin);
    for (CItemBase* member : m_Holes)
        if (Meet(member->GetBoundingRect(), grown))
            static_cast<CHole*>(member)->DRC_ShortCheck(drc, tested);
    grown = rect;
    grown.InflateRect(copperGrow);
    for (CItemBase* member : m_Lines)
        if (Meet(member->GetBoundingRect(), grown))
            static_cast<CLine*>(member)->DRC_ShortCheck(drc, tested);
    for (CItemBase* member : m_Lands)
        if (Meet(member->GetBoundingRect(), grown))
            static_cast<CLand*>(member)->DRC_ShortCheck(drc, tested);
    for (CItemBase* member : m_Arcs)
        if (Meet(member->GetBoundingRect(), grown))
            static_cast<CArc*>(member)->DRC_ShortCheck(drc, tested);
    for (CItemBase* member : m_Surs)
        if (Meet(member->GetBoundingRect(), grown))
            static_cast<CSur*>(member)->DRC_ShortCheck(drc, tested);
    for (CItemBase* member : m_Texts)
        if (Meet(member->GetBoundingRect(), rect))
            static_cast<CText*>(member)->DRC_ShortCheck(drc, tested);
}

void CNetLine::CheckNearMembers(tagDRCSPEC* drc, CItemBase* tested, const CDRect& rect, double viaGrow,
                                double copperGrow)
{
    // The members near the item from the kept index, visited as the walk of the lists visits them:
    // vias, holes, lines, lands, arcs, surfaces, texts, each list in its order.
    const auto rank = [](int kind) {
        switch (kind) {
        case KIND_VIA:
            return 0;
        case KIND_HOLE:
            return 1;
        case KIND_LINE:
            return 2;
        case KIND_LAND:
            return 3;
        case KIND_ARC:
            return 4;
        case KIND_SUR:
            return 5;
        default:
            return 6;
        }
    };
    CDRect query = rect;
    query.InflateRect(std::max({0.0, viaGrow, copperGrow, drc->holeMargin}));
    std::vector<int> near;
    m_index->Near(query, near);
    NetMemberIndex& index = *m_index;
    std::stable_sort(near.begin(), near.end(), [&](int a, int b) {
        return rank(index[a].item->GetKind()) < rank(index[b].item->GetKind());
    });
    CDRect viaRect = rect, holeRect = rect, copperRect = rect;
    viaRect.InflateRect(viaGrow);
    holeRect.InflateRect(drc->holeMargin);
    copperRect.InflateRect(copperGrow);
    const int layer = m_nWLayer;
    for (int i : near) {
        const NetMemberIndex::Member& member = index[i];
        switch (member.item->GetKind()) {
        case KIND_VIA: {
            if (!Meet(member.rect, viaRect))
                break;
            auto* via = static_cast<CVia*>(member.item);
            CLand land = via->GetLand(m_nAttr, layer, 1);
            land.SetID(via->GetLayerID(layer));
            land.DRC_ShortCheck(drc, tested);
            break;
        }
        case KIND_HOLE:
            if (Meet(member.rect, holeRect))
                static_cast<CHole*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        case KIND_LINE:
            if (Meet(member.rect, copperRect))
                static_cast<CLine*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        case KIND_LAND:
            if (Meet(member.rect, copperRect))
                static_cast<CLand*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        case KIND_ARC:
            if (Meet(member.rect, copperRect))
                static_cast<CArc*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        case KIND_SUR:
            if (Meet(member.rect, copperRect))
                static_cast<CSur*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        case KIND_TEXT:
            if (Meet(member.rect, rect))
                static_cast<CText*>(member.item)->DRC_ShortCheck(drc, tested);
            break;
        default:
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Ids

int CNetLine::MakeNetID(std::uint32_t first)
{
    // Every member once (a list may name an item twice), in seeding order: the own-id kinds, then
    // the vias, then the holes.
    std::unordered_set<const CItemBase*> repeated;
    auto firstTime = [&](const CItemBase* item) {
        return m_members.Count(item) < 2 || repeated.insert(item).second;
    };
    std::vector<CItemBase*> pieces, vias, holes;
    pieces.reserve(m_members.Size());
    for (int kind : kOwnIdKinds)
        for (CItemBase* item : ListOf(kind))
            if (firstTime(item))
                pieces.push_back(item);
    for (CItemBase* item : m_Vias)
        if (firstTime(item))
            vias.push_back(item);
    for (CItemBase* item : m_Holes)
        if (firstTime(item))
            holes.push_back(item);
    return MakeNetID(first, pieces, vias, holes, m_nAttr, m_nWLayer);
}

int CNetLine::MakeNetID(std::uint32_t first, const std::vector<CItemBase*>& pieces,
                        const std::vector<CItemBase*>& vias, const std::vector<CItemBase*>& holes, int attr,
                        int wLayer)
{
    // The vias are seen as their lands on the W-layer.
    std::vector<NetFill::Node> nodes;
    nodes.reserve(pieces.size() + vias.size() + holes.size());
    std::deque<CLand> viaLands;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        // The items of a large board lie far apart: each is fetched while earlier ones are read.
        if (i + kAhead < pieces.size())
            __builtin_prefetch(pieces[i + kAhead]);
        CItemBase* item = pieces[i];
        const CDRect rect = item->GetBoundingRect();
        nodes.push_back({item, item, item, rect, rect, item->GetID() != 0});
    }
    for (CItemBase* item : vias) {
        auto* via = static_cast<CVia*>(item);
        viaLands.push_back(NetMemberIndex::ViaLand(via, attr, wLayer));
        CLand& land = viaLands.back();
        nodes.push_back({item, &land, &land, land.GetBoundingRect(), land.GetBoundingRect(),
                         via->GetLayerID(wLayer) != 0});
    }
    for (CItemBase* item : holes)
        nodes.push_back({item, item, item, item->GetBoundingRect(), item->GetBoundingRect(),
                         static_cast<CHole*>(item)->GetLayerID(wLayer) != 0});

    NetFill fill(std::move(nodes));
    std::uint32_t id = first;
    const int layer = wLayer;
    auto touches = [](const NetFill::Node& piece, const NetFill::Node& from) {
        return NetFill::Touches(piece, from);
    };
    auto take = [&id, layer](NetFill::Node& piece) {
        switch (piece.item->GetKind()) {
        case KIND_VIA:
            static_cast<CVia*>(piece.item)->SetLayerID(id, layer);
            break;
        case KIND_HOLE:
            static_cast<CHole*>(piece.item)->SetLayerID(id, layer);
            break;
        default:
            piece.item->SetID(id);
            break;
        }
    };

    int count = 0;
    for (int i = 0; i < fill.GetCount(); ++i) {
        NetFill::Node& seed = fill[i];
        if (seed.done || seed.item->GetKind() == KIND_HOLE)
            continue;
        take(seed);
        fill.Spread(i, touches, take);
        ++count;
        id += 256;
    }
    return count;
}

CDRect CNetLine::GetSameIDItem(CNetLine* source)
{
    if (!source)
        return GetBoundingRect();
    const int layer = source->m_nWLayer;
    // Copied first: the source may be this group.
    std::vector<CItemBase*> items;
    for (int kind : kOwnIdKinds)
        for (CItemBase* item : source->ListOf(kind))
            if (item->GetID() == m_nID)
                items.push_back(item);
    for (CItemBase* item : source->m_Vias)
        if (static_cast<CVia*>(item)->GetLayerID(layer) == m_nID)
            items.push_back(item);
    for (CItemBase* item : source->m_Holes)
        if (static_cast<CHole*>(item)->GetLayerID(layer) == m_nID)
            items.push_back(item);
    for (CItemBase* item : items)
        AddItem(item);
    return GetBoundingRect();
}

void CNetLine::GetAllNetLine(DocumentServices* doc, std::vector<CNetLine*>* list)
{
    if (!list)
        return;
    std::unordered_set<const CNetLine*> listed(list->begin(), list->end());
    if (listed.insert(this).second)
        list->push_back(this);
    if (!doc)
        return;
    const int layers = doc->GetWireLayerCount();

    // Depth first as a chain of calls would go: a group found is listed at once and asked before
    // the group that found it goes on. Each frame holds the ids its group still has to look up.
    struct Frame
    {
        std::vector<std::uint32_t> ids;
        std::size_t next = 0;
    };
    auto frameOf = [layers](CNetLine* group) {
        Frame frame;
        for (CItemBase* item : group->m_Vias)
            for (int k = 1; k <= layers; ++k) {
                const std::uint32_t id = static_cast<CVia*>(item)->GetLayerID(k);
                if (id != 0 && id != group->m_nID)
                    frame.ids.push_back(id);
            }
        for (CItemBase* item : group->m_Holes)
            for (int k = 1; k <= layers; ++k) {
                const std::uint32_t id = static_cast<CHole*>(item)->GetLayerID(k);
                if (id != 0 && id != group->m_nID)
                    frame.ids.push_back(id);
            }
        return frame;
    };
    std::vector<Frame> stack;
    stack.push_back(frameOf(this));
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.ids.size()) {
            stack.pop_back();
            continue;
        }
        const std::uint32_t id = top.ids[top.next++];
        CNetLine* found = doc->FindNetLine(static_cast<int>(id));
        if (!found || !listed.insert(found).second)
            continue;
        list->push_back(found);
        stack.push_back(frameOf(found));
    }
}
