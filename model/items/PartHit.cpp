// Part item: hit tests, snapping and the id of the item under a point.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"

#include <functional>
#include <vector>

namespace {

// Whether an item of the part's lists is hit at p by its own test.
int HitPoint(CItemBase* item, const CDPoint& p)
{
    switch (item->GetKind()) {
    case KIND_TER:
        return static_cast<CTer*>(item)->CheckPoint(p);
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckPoint(p);
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckPoint(p);
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckPoint(p) ? 1 : 0;
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckPoint(p, false) ? 1 : 0;
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckPoint(p);
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckPoint(p);
    case KIND_VIA:
        return static_cast<CVia*>(item)->CheckPoint(p);
    default:
        return 0;
    }
}

int HitRect(CItemBase* item, const CDRect& r)
{
    switch (item->GetKind()) {
    case KIND_TER:
        return static_cast<CTer*>(item)->CheckPoint(r);
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckPoint(r);
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckPoint(r) ? 1 : 0;
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckPoint(r) ? 1 : 0;
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckPoint(r);
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckPoint(r);
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckPoint(r);
    case KIND_VIA:
        return static_cast<CVia*>(item)->CheckPoint(r);
    default:
        return 0;
    }
}

int SnapPoint(CItemBase* item, CDPoint& p, double distance)
{
    switch (item->GetKind()) {
    case KIND_TER:
        return static_cast<CTer*>(item)->CheckItemPoint(p);
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckItemPoint(p, distance);
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckItemPoint(p, distance);
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckItemPoint(p, distance);
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckItemPoint(p, distance);
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckItemPoint(p, distance);
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckItemPoint(p, distance);
    case KIND_VIA:
        return static_cast<CVia*>(item)->CheckItemPoint(p, distance);
    default:
        return 0;
    }
}

} // namespace

int CPart::CheckPoint(const CDPoint& p, int layer)
{
    if (layer < 0 || !GetBoundingRect().PtInRect(p))
        return 0;
    for (CItemBase* item : m_Vias)
        if (HitPoint(item, p))
            return 1;
    for (CItemList* list : {&m_Ters, &m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Holes, &m_Texts})
        for (CItemBase* item : *list)
            if (item->GetLayerNo() == layer && HitPoint(item, p))
                return 1;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (text->GetLayerNo() == layer && text->CheckPoint(p))
            return 1;
    return 0;
}

int CPart::CheckPoint(const CDRect& r, int layer)
{
    GetBoundingRect();
    for (CItemBase* item : m_Vias)
        if (HitRect(item, r))
            return 1;
    for (CItemList* list : {&m_Ters, &m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Holes, &m_Texts})
        for (CItemBase* item : *list)
            if (item->GetLayerNo() == layer && HitRect(item, r))
                return 1;
    for (CText* text : {&m_RefName, &m_ValName, &m_PartName})
        if (text->GetLayerNo() == layer && text->CheckPoint(r))
            return 1;
    return 0;
}

int CPart::CheckItemPoint(CDPoint& p, int layer, double distance)
{
    if (!GetBoundingRect().PtInRect(p))
        return 0;
    constexpr std::size_t kMaxCandidates = 10;
    std::vector<CDPoint> candidates;
    auto offer = [&](CItemBase* item) {
        if (candidates.size() >= kMaxCandidates)
            return;
        CDPoint q = p;
        if (SnapPoint(item, q, distance))
            candidates.push_back(q);
    };
    auto onLayer = [layer](const CItemBase* item) { return layer < 0 || item->GetLayerNo() == layer; };
    if (layer < 0)
        for (CItemBase* item : m_Vias)
            offer(item);
    for (CItemBase* item : m_Ters)
        offer(item);
    for (CItemList* list : {&m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Holes, &m_Texts})
        for (CItemBase* item : *list)
            if (onLayer(item))
                offer(item);
    for (CText* text : {&m_RefName, &m_ValName, &m_PartName})
        if (onLayer(text))
            offer(text);
    if (candidates.empty())
        return 0;
    const CDPoint given = p;
    std::size_t best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i)
        if (candidates[i].GetLength(given) < candidates[best].GetLength(given))
            best = i;
    p = candidates[best];
    return 1;
}

std::uint32_t CPart::GetPointItemID(const CDPoint& p, int layer, int viaPos, int viaMode)
{
    if (layer < 0 || !GetBoundingRect().PtInRect(p))
        return 0;
    for (CItemBase* item : m_Vias)
        if (static_cast<CVia*>(item)->CheckPoint(viaPos, viaMode, p))
            return item->GetID();
    for (CItemList* list : {&m_Ters, &m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Holes, &m_Texts})
        for (CItemBase* item : *list)
            if (item->GetLayerNo() == layer && HitPoint(item, p))
                return item->GetID();
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (text->GetLayerNo() == layer && text->CheckPoint(p))
            return text->GetID();
    return 0;
}
