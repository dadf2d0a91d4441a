// Part item: terminal groups (the ids that tie a part's copper to its terminals), virtual
// terminals, the through-hole test and the per-layer item counts.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/ItemSort.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

#include <vector>

// The items of one wiring layer that the flood works on, kind by kind in the order they were
// gathered, with the via test's arguments of that layer.
struct CPart::FloodArray
{
    std::vector<CItemBase*> lines, lands, arcs, vias, texts, holes, surs;
    int wirePos = 0;
    int sheetType = 0;

    bool Empty() const
    {
        return lines.empty() && lands.empty() && arcs.empty() && vias.empty() && texts.empty() &&
               holes.empty() && surs.empty();
    }
};

namespace {

// Whether a line, arc, land, surface or text touches the item, by its own contact test.
int Touches(CItemBase* candidate, CItemBase* item)
{
    switch (candidate->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(candidate)->CheckShort(item);
    case KIND_ARC:
        return static_cast<CArc*>(candidate)->CheckShort(item);
    case KIND_LAND:
        return static_cast<CLand*>(candidate)->CheckShort(item);
    case KIND_SUR:
        return static_cast<CSur*>(candidate)->CheckShort(item);
    case KIND_TEXT:
        return static_cast<CText*>(candidate)->CheckShort(item);
    default:
        return 0;
    }
}

// The point a virtual terminal stands on for an item that no terminal claims.
CDPoint ReferencePoint(CItemBase* item)
{
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->GetStartPoint();
    case KIND_LAND:
        return static_cast<CLand*>(item)->GetPoint();
    case KIND_SUR:
        return static_cast<CSur*>(item)->GetPoint();
    case KIND_ARC:
        return static_cast<CArc*>(item)->GetStartPoint();
    case KIND_HOLE:
        return static_cast<CHole*>(item)->GetPoint();
    case KIND_VIA:
        return static_cast<CVia*>(item)->GetPoint();
    default:
        return CDPoint();
    }
}

} // namespace

void CPart::ReCalcTerID(DocumentServices* doc)
{
    SortTer();
    ResetTerID(doc);
    for (CItemBase* item : m_Holes) {
        CHole* hole = static_cast<CHole*>(item);
        hole->ModifyType(CheckTH(hole, doc) ? HOLE_THROUGH : 0, HOLE_THROUGH);
    }
    CalcNetBoundRect(doc);
}

void CPart::SortTer()
{
    SelectionSort<CTer>(m_Ters);
}

void CPart::ResetTerID(DocumentServices* doc)
{
    // A virtual terminal that no copper group links is made again below from the copper it
    // stands for; were it kept until after the claims, that copper would keep the id of a terminal
    // that no longer exists.
    for (POSITION pos = m_Ters.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const CTer* ter = static_cast<const CTer*>(m_Ters.GetNext(pos));
        if (ter->IsVirtualTer() && ter->IsNetEmpty())
            m_Ters.RemoveAt(at);
    }

    std::uint32_t n = 0;
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->SetID(++n);
    m_nNetCount = n;
    for (CItemList* list : {&m_Lines, &m_Lands, &m_Arcs, &m_Texts, &m_Surs, &m_Holes, &m_Vias})
        for (CItemBase* item : *list)
            item->SetID(0);
    if (!doc)
        return;

    const bool side = IsPartSide();
    const tagPARTLAYER holePair = doc->GetPartLayer(PL_HOLE);
    const int holeLayer = side ? holePair.layerA : holePair.layerB;
    const int wireCount = doc->GetWireLayerCount();
    std::uint32_t counter = n;
    for (int w = 1; w <= wireCount; ++w) {
        const int layer = doc->GetWireLayer(w);
        const CSheet* sheet = layer >= 0 && layer < LAYER_MAX ? doc->GetBoardSheet(layer) : nullptr;
        const int sheetType = sheet ? sheet->GetType() : 0;
        // Plane layers join copper through thermals, not by touching: they take no part.
        if ((sheetType & 0x8) || doc->GetWireLayerPos(layer, false) < 0)
            continue;
        FloodArray array;
        array.wirePos = w;
        array.sheetType = sheetType;
        GetItemPtr(array, layer, holeLayer);
        if (array.Empty())
            continue;
        for (CItemBase* item : array.surs)
            static_cast<CSur*>(item)->MakeSurLine(true);
        counter = MakeGroup(array, counter);
    }

    // Each terminal claims the copper under it.
    const tagPARTLAYER termPair = doc->GetPartLayer(PL_TERM);
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        const CDPoint& p = ter->GetPoint();
        const bool top = ter->GetLayerNo() == termPair.layerA;
        CItemBase* found = nullptr;
        for (CItemBase* i : m_Lines)
            if (!found && i->GetID() && static_cast<CLine*>(i)->CheckPoint(p))
                found = i;
        for (CItemBase* i : m_Arcs)
            if (!found && i->GetID() && static_cast<CArc*>(i)->CheckPoint(p))
                found = i;
        for (CItemBase* i : m_Lands)
            if (!found && i->GetID() && static_cast<CLand*>(i)->CheckPoint(p))
                found = i;
        for (CItemBase* i : m_Surs)
            if (!found && i->GetID() && static_cast<CSur*>(i)->CheckPoint(p, false))
                found = i;
        for (CItemBase* i : m_Vias)
            if (!found && i->GetID() &&
                static_cast<CVia*>(i)->CheckPoint(top ? 1 : wireCount, top ? 3 : 5, p))
                found = i;
        for (CItemBase* i : m_Holes)
            if (!found && i->GetID() && static_cast<CHole*>(i)->CheckPoint(p))
                found = i;
        if (found)
            ChangeID(found->GetID(), ter->GetID());
    }

    // Copper that no terminal claimed gets a virtual terminal of its own.
    const int terLayer = side ? termPair.layerA : termPair.layerB;
    for (CItemList* list : {&m_Lines, &m_Lands, &m_Surs, &m_Arcs, &m_Holes, &m_Vias}) {
        for (POSITION pos = list->GetHeadPosition(); pos;) {
            CItemBase* item = list->GetNext(pos);
            if (item->GetID() <= m_nNetCount)
                continue;
            const std::uint32_t id = ++m_nNetCount;
            const CDPoint point = ReferencePoint(item);
            CText number(platform::Format("%d", static_cast<int>(id)), point, 0);
            number.SetSize(64);
            number.SetID(id);
            number.SetLayerNo(terLayer);
            CTer* ter = NewTer(point, number);
            ter->SetVirtualTer();
            ter->SetID(id);
            ter->SetLayerNo(terLayer);
            ChangeID(item->GetID(), id);
        }
    }
}

void CPart::GetItemPtr(FloodArray& array, int layer, int holeLayer)
{
    for (CItemBase* item : m_Lines)
        if (item->GetLayerNo() == layer)
            array.lines.push_back(item);
    for (CItemBase* item : m_Lands)
        if (item->GetLayerNo() == layer)
            array.lands.push_back(item);
    for (CItemBase* item : m_Arcs)
        if (item->GetLayerNo() == layer)
            array.arcs.push_back(item);
    for (CItemBase* item : m_Vias)
        array.vias.push_back(item);
    for (CItemBase* item : m_Texts)
        if (item->GetLayerNo() == layer)
            array.texts.push_back(item);
    for (CItemBase* item : m_Holes)
        if (item->GetLayerNo() == holeLayer)
            array.holes.push_back(item);
    for (CItemBase* item : m_Surs)
        if (item->GetLayerNo() == layer)
            array.surs.push_back(item);
}

std::uint32_t CPart::MakeGroup(FloodArray& array, std::uint32_t next)
{
    for (const std::vector<CItemBase*>* kind : {&array.lines, &array.arcs, &array.lands, &array.surs})
        for (CItemBase* item : *kind)
            if (item->GetID() == 0) {
                item->SetID(++next);
                SetIDSub(item, array);
            }
    // A via or hole spreads its id on every layer, also one it was given on an earlier one.
    for (const std::vector<CItemBase*>* kind : {&array.vias, &array.holes})
        for (CItemBase* item : *kind) {
            if (item->GetID() == 0)
                item->SetID(++next);
            SetIDSub(item, array);
        }
    for (CItemBase* item : array.texts)
        if (item->GetID() == 0) {
            item->SetID(++next);
            SetIDSub(item, array);
        }
    return next;
}

void CPart::SetIDSub(CItemBase* start, FloodArray& array)
{
    // Depth first, as a recursion would go, with an explicit stack: each frame keeps the item it
    // spreads from, the id it spreads (which the via step may lower) and where its scan stands.
    // The scan runs through the lines, arcs, lands, surfaces and texts (plain spreading), then the
    // vias, then the holes.
    const std::vector<CItemBase*>* const ranges[] = {&array.lines, &array.arcs, &array.lands, &array.surs,
                                                     &array.texts, &array.vias, &array.holes};
    constexpr int kViaRange = 5;
    constexpr int kHoleRange = 6;
    constexpr int kRangeCount = 7;
    struct Frame
    {
        CItemBase* item;
        std::uint32_t id;
        int range;
        std::size_t index;
    };
    std::vector<Frame> stack;
    stack.push_back({start, start->GetID(), 0, 0});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.range == kRangeCount) {
            stack.pop_back();
            continue;
        }
        const std::vector<CItemBase*>& range = *ranges[f.range];
        if (f.index >= range.size()) {
            ++f.range;
            f.index = 0;
            continue;
        }
        CItemBase* other = range[f.index++];
        CItemBase* item = f.item;
        const std::uint32_t a = f.id;
        if (f.range < kViaRange) {
            if (other->GetID() == 0 && Touches(other, item)) {
                other->SetID(a);
                stack.push_back({other, a, 0, 0});
            }
            continue;
        }
        if (other == item)
            continue;
        const std::uint32_t theirs = other->GetID();
        if (f.range == kViaRange) {
            if (theirs == a || !static_cast<CVia*>(other)->CheckShort(array.wirePos, array.sheetType, item))
                continue;
            if (theirs == 0) {
                other->SetID(a);
                stack.push_back({other, a, 0, 0});
            } else if (theirs < a) {
                ChangeID(a, theirs);
                f.id = theirs;
            } else {
                stack.push_back({other, theirs, 0, 0});
            }
            continue;
        }
        if (f.range == kHoleRange) {
            if (theirs == a)
                continue;
            CHole* hole = static_cast<CHole*>(other);
            const bool touch =
                item->GetKind() == KIND_VIA
                    ? static_cast<CVia*>(item)->CheckShort(array.wirePos, array.sheetType, hole) != 0
                    : hole->CheckShort(item) != 0;
            if (!touch)
                continue;
            if (theirs == 0) {
                hole->SetID(a);
            } else if (theirs < a) {
                // The merged group lives on under the lower id; later holes of this step take it.
                ChangeID(a, theirs);
                f.id = theirs;
            }
            stack.push_back({hole, hole->GetID(), 0, 0});
        }
    }
}

void CPart::ChangeID(std::uint32_t from, std::uint32_t to)
{
    if (from == to)
        return;
    for (CItemList* list : {&m_Lines, &m_Arcs, &m_Lands, &m_Surs, &m_Texts, &m_Vias, &m_Holes})
        for (CItemBase* item : *list)
            if (item->GetID() == from)
                item->SetID(to);
}

bool CPart::CheckTH(CHole* hole, DocumentServices* doc)
{
    if (!hole || !doc)
        return false;
    auto onWiring = [doc](const CItemBase* item) {
        return doc->GetWireLayerPos(item->GetLayerNo(), true) > 0;
    };
    for (CItemBase* item : m_Lines)
        if (onWiring(item) && static_cast<CLine*>(item)->CheckShort(hole))
            return true;
    for (CItemBase* item : m_Arcs)
        if (onWiring(item) && static_cast<CArc*>(item)->CheckShort(hole))
            return true;
    for (CItemBase* item : m_Surs)
        if (onWiring(item) && static_cast<CSur*>(item)->CheckShort(hole))
            return true;
    for (CItemBase* item : m_Texts)
        if (onWiring(item) && static_cast<CText*>(item)->CheckShort(hole))
            return true;
    for (CItemBase* item : m_Lands) {
        CLand* land = static_cast<CLand*>(item);
        const int pos = doc->GetWireLayerPos(land->GetLayerNo(), true);
        const tagTURRET turret = land->GetTurret();
        const bool thermal = turret.shape == TURRET_THERMAL;
        if (pos > 0 && !thermal && land->CheckShort(hole))
            return true;
        // A thermal joins the hole only on a plane layer, through its spokes. The pad's contact
        // test never lets a thermal touch a hole, so the hole counts when it reaches into the
        // thermal's outer circle.
        if (pos < 0 && thermal) {
            double diameter = 0.0, width = 0.0, radius = 0.0, angle = 0.0;
            hole->GetSHoleData(diameter, width, radius, angle);
            const double reach = (turret.size1 + diameter) * 0.5;
            if (land->GetPoint().GetLength(hole->GetPoint()) < reach)
                return true;
        }
    }
    return false;
}

int CPart::GetLayerCount(int layer, int flags, int kind)
{
    auto onLayer = [layer](const CItemList& list) {
        int n = 0;
        for (const CItemBase* item : list)
            if (item->GetLayerNo() == layer)
                ++n;
        return n;
    };
    auto visibleTexts = [layer](const CItemList& list) {
        int n = 0;
        for (const CItemBase* item : list)
            if (item->GetLayerNo() == layer && static_cast<const CText*>(item)->IsDisp())
                ++n;
        return n;
    };
    const int vias = m_Vias.GetCount();
    switch (kind) {
    case 0: {
        int n = (flags & 0x10001) ? vias : 0;
        for (const CItemList* list : {&m_Ters, &m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Holes})
            n += onLayer(*list);
        n += visibleTexts(m_Texts);
        if (m_PartName.IsDisp() && m_PartName.GetLayerNo() == layer)
            ++n;
        for (const CText* text : {&m_RefName, &m_ValName})
            if (!text->GetName().empty() && text->IsDisp() && text->GetLayerNo() == layer)
                ++n;
        return n;
    }
    case ID_INPUT_LAND:
        return ((flags & 0x1) ? vias : 0) + onLayer(m_Lands);
    case ID_INPUT_HOLE:
        return ((flags & 0x10000) ? vias : 0) + onLayer(m_Holes);
    case ID_INPUT_TER:
        return onLayer(m_Ters);
    case ID_INPUT_LINE:
        return onLayer(m_Lines);
    case ID_INPUT_ARC:
        return onLayer(m_Arcs);
    case ID_INPUT_SUR:
        return onLayer(m_Surs);
    case ID_INPUT_TEXT:
        return visibleTexts(m_Texts);
    default:
        return 0;
    }
}
