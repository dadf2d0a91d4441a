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
    hooks.groupHolds = [](const CNetLine* group, const CTer* ter) {
        return static_cast<bool>(const_cast<CNetLine*>(group)->FindItem(ter));
    };
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

// A group member taken for the contact tests, in the order they try members: lines, arcs, lands,
// surfaces, texts, vias, holes. A via is seen as its land on the group's layer.
struct Member
{
    CItemBase* item;
    CItemBase* seen; // the item, or the via's land
    CDRect rect;
};

// Members of more than this many are looked up through a grid when a whole group is tested.
constexpr std::size_t kGridFrom = 32;

// A snapshot of a group's members for contact tests, with their via lands kept alive.
struct MemberTable
{
    std::vector<Member> members;
    std::deque<CLand> viaLands;
};

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
    list.AddTail(item);
    ++m_members[item];
}

void CNetLine::Unlink(CItemBaseList& list, POSITION pos)
{
    const CItemBase* item = list.GetAt(pos);
    list.RemoveAt(pos);
    const auto it = m_members.find(item);
    if (it != m_members.end() && --it->second <= 0)
        m_members.erase(it);
}

bool CNetLine::Holds(const CItemBase* item) const
{
    return m_members.find(item) != m_members.end();
}

CNetLine::POSITION CNetLine::FindItem(const CItemBase* item)
{
    if (!item || !Holds(item))
        return POSITION();
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
    m_rcBound |= other.m_rcBound;
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
    if (item->GetKind() == KIND_TER)
        static_cast<CTer*>(item)->RemoveNetLine(this);
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
    m_members.clear();
    m_rcBound.SetRectEmpty();
}

void CNetLine::DeleteAllItem()
{
    // Only members that nobody owns are freed, each once; the owner of any other frees it itself.
    std::vector<CItemBase*> unowned;
    std::unordered_set<const CItemBase*> seen;
    for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Holes, &m_Texts, &m_Vias, &m_Ters})
        for (CItemBase* item : *list)
            if (!item->GetParent() && seen.insert(item).second)
                unowned.push_back(item);
    DeleteContents();
    for (CItemBase* item : unowned)
        delete item;
}

// ---------------------------------------------------------------------------------------------
// Bounds and length

CLand CNetLine::ViaLand(const CVia& via, int layer) const
{
    return via.GetLand(m_nAttr, layer, 1);
}

void CNetLine::CalcBoundingRect()
{
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

// Whether a member counts as touching the item on a positive layer (the rectangles already meet).
bool MemberTouches(const Member& member, CItemBase* item)
{
    switch (member.item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(member.item)->CheckShort(item) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(member.item)->CheckShort(item) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(member.item)->CheckShort(item) != 0;
    case KIND_SUR:
        return static_cast<CSur*>(member.item)->CheckShort(item) != 0;
    case KIND_TEXT:
        return true;
    case KIND_VIA:
        return static_cast<CLand*>(member.seen)->CheckShort(item) != 0;
    case KIND_HOLE:
        return static_cast<CHole*>(member.item)->CheckShort(item) != 0;
    default:
        return false;
    }
}

} // namespace

CItemBase* CNetLine::CheckShortPositive(CItemBase* item, const CDRect& rect)
{
    for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts, &m_Holes}) {
        if (list == &m_Holes) {
            // The vias come before the holes.
            for (CItemBase* candidate : m_Vias) {
                CLand land = ViaLand(*static_cast<CVia*>(candidate), m_nWLayer);
                const Member member{candidate, &land, land.GetBoundingRect()};
                if (Meet(member.rect, rect) && MemberTouches(member, item))
                    return candidate;
            }
        }
        for (CItemBase* candidate : *list) {
            const Member member{candidate, candidate, candidate->GetBoundingRect()};
            if (Meet(member.rect, rect) && MemberTouches(member, item))
                return candidate;
        }
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
    if (!Meet(m_rcBound, other->m_rcBound))
        return 0;

    std::vector<CItemBase*> others;
    for (CItemBaseList* list : {&other->m_Lines, &other->m_Arcs, &other->m_Lands, &other->m_Surs,
                                &other->m_Texts, &other->m_Vias, &other->m_Holes})
        others.insert(others.end(), list->begin(), list->end());
    const std::size_t mine =
        GetCount(1) + GetCount(2) + GetCount(4) + GetCount(5) + GetCount(6) + GetCount(7) + GetCount(8);
    if (others.size() < kGridFrom || mine < kGridFrom) {
        for (CItemBase* item : others)
            if (CheckShortItem(item))
                return 1;
        return 0;
    }

    // Both groups are large: file this group's members in a grid once. Whether the groups touch
    // does not depend on which pair is found first.
    MemberTable table;
    for (CItemBaseList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts, &m_Vias, &m_Holes}) {
        for (CItemBase* candidate : *list) {
            Member member{candidate, candidate, CDRect()};
            if (candidate->GetKind() == KIND_VIA) {
                table.viaLands.push_back(ViaLand(*static_cast<CVia*>(candidate), m_nWLayer));
                member.seen = &table.viaLands.back();
            }
            member.rect = member.seen->GetBoundingRect();
            table.members.push_back(member);
        }
    }
    std::vector<CDRect> rects;
    rects.reserve(table.members.size());
    for (const Member& member : table.members)
        rects.push_back(member.rect);
    RectGrid grid(rects);
    for (std::size_t i = 0; i < rects.size(); ++i)
        grid.Insert(static_cast<int>(i), rects[i]);

    for (CItemBase* item : others) {
        CLand viaLand;
        CItemBase* seen = item;
        if (item->GetKind() == KIND_VIA) {
            viaLand = ViaLand(*static_cast<CVia*>(item), m_nWLayer);
            seen = &viaLand;
        }
        const CDRect rect = seen->GetBoundingRect();
        bool touched = false;
        grid.Query(rect, [&](int index) {
            const Member& member = table.members[static_cast<std::size_t>(index)];
            if (!touched && Meet(member.rect, rect) && MemberTouches(member, seen))
                touched = true;
        });
        if (touched)
            return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Clearance

void CNetLine::DRC_ShortCheck(tagDRCSPEC* drc, CNetLine* other)
{
    if (!drc || !other)
        return;
    CDRect grown = m_rcBound;
    grown.InflateRect(std::min({drc->holeToHole, drc->plainClearance, drc->netClearance}));
    for (CItemBase* item : other->m_Vias) {
        const CDRect rect = static_cast<CVia*>(item)->GetNetBoundingRect();
        if (Meet(rect, grown))
            DRC_ShortCheck(drc, item);
    }
    grown = m_rcBound;
    grown.InflateRect(drc->holeMargin);
    for (CItemBase* item : other->m_Holes)
        if (Meet(item->GetBoundingRect(), grown))
            DRC_ShortCheck(drc, item);
    grown = m_rcBound;
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

    CDRect grown = rect;
    grown.InflateRect(kind == KIND_VIA    ? drc->holeToHole
                      : kind == KIND_HOLE ? drc->holeMargin
                                          : drc->plainClearance);
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
    grown.InflateRect(kind == KIND_VIA    ? drc->plainClearance
                      : kind == KIND_HOLE ? drc->holeMargin
                                          : drc->netClearance);
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

// ---------------------------------------------------------------------------------------------
// Ids

int CNetLine::MakeNetID(std::uint32_t first)
{
    // Every member once (a list may name an item twice), in seeding order: the own-id kinds, then
    // the vias (seen as their lands on the W-layer), then the holes.
    std::vector<NetFill::Node> nodes;
    std::unordered_set<const CItemBase*> listed;
    std::deque<CLand> viaLands;
    for (int kind : kOwnIdKinds)
        for (CItemBase* item : ListOf(kind))
            if (listed.insert(item).second)
                nodes.push_back(
                    {item, item, item->GetBoundingRect(), item->GetBoundingRect(), item->GetID() != 0});
    for (CItemBase* item : m_Vias) {
        if (!listed.insert(item).second)
            continue;
        auto* via = static_cast<CVia*>(item);
        viaLands.push_back(ViaLand(*via, m_nWLayer));
        CLand& land = viaLands.back();
        nodes.push_back(
            {item, &land, land.GetBoundingRect(), land.GetBoundingRect(), via->GetLayerID(m_nWLayer) != 0});
    }
    for (CItemBase* item : m_Holes)
        if (listed.insert(item).second)
            nodes.push_back({item, item, item->GetBoundingRect(), item->GetBoundingRect(),
                             static_cast<CHole*>(item)->GetLayerID(m_nWLayer) != 0});

    NetFill fill(std::move(nodes));
    std::uint32_t id = first;
    const int layer = m_nWLayer;
    const int attr = m_nAttr;
    auto touches = [layer, attr](const NetFill::Node& piece, const NetFill::Node& from) {
        return NetFill::Touches(piece, from, layer, attr);
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
        return m_rcBound;
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
    return m_rcBound;
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
