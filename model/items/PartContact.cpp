// Part item: the part's copper as copper groups, terminal rectangles, outlines, the solder-resist
// and metal-mask checks and the clearance check between terminal groups.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"

#include <memory>
#include <vector>

namespace {

// A copy of the part for a check: gathering items into copper groups stamps the groups' ids on
// them, which a check must not leave on the part itself.
std::unique_ptr<CPart> CheckCopy(const CPart& part)
{
    auto copy = std::make_unique<CPart>(part);
    copy->SetParent(nullptr);
    for (POSITION pos = copy->GetFirstSurPos(); pos;)
        copy->GetNextSur(pos)->MakeSurLine(false);
    return copy;
}

// The terminal groups 1 .. net count of a part on the layer of a checked sheet.
std::vector<std::unique_ptr<CNetLine>> TerminalGroups(CPart& part, int layer, int wLayer, int attr)
{
    std::vector<std::unique_ptr<CNetLine>> groups;
    for (std::uint32_t id = 1; id <= part.GetNetCount(); ++id) {
        auto group = std::make_unique<CNetLine>(id, wLayer, attr);
        part.GetTerItem(layer, group.get());
        groups.push_back(std::move(group));
    }
    return groups;
}

bool Meets(CDRect a, double grow, const CDRect& b)
{
    a.InflateRect(grow);
    return a.IntersectRect(&b) != 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Copper groups

bool CPart::GetItem(int layer, CNetLine* group)
{
    if (!group)
        return false;
    for (CItemList* list : {&m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Texts})
        for (CItemBase* item : *list)
            if (item->GetLayerNo() == layer)
                group->AddItem(item);
    const int attr = group->GetAttr();
    if (attr & 0x100000)
        for (CItemBase* item : m_Vias)
            if (static_cast<CVia*>(item)->GetTurret(attr, 0, 0) != 0)
                group->AddItem(item);
    return !group->IsEmpty();
}

bool CPart::GetTerItem(int layer, CNetLine* group)
{
    if (!group)
        return false;
    const std::uint32_t id = group->GetID();
    for (CItemList* list : {&m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Texts})
        for (CItemBase* item : *list)
            if (item->GetLayerNo() == layer && item->GetID() == id)
                group->AddItem(item);
    for (CItemList* list : {&m_Vias, &m_Holes})
        for (CItemBase* item : *list)
            if (item->GetID() == id)
                group->AddItem(item);
    return !group->IsEmpty();
}

int CPart::CheckTerNetLine(CNetLine* line, int layer)
{
    if (!line)
        return 0;
    int links = 0;
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        if (!ter->GetItemBoundingRect().IntersectRect(&line->GetBoundingRect()))
            continue;
        CNetLine group(ter->GetID(), line->GetWLayer(), line->GetAttr());
        if (GetTerItem(layer, &group) && group.CheckShortItem(line)) {
            ter->AddTailNetLine(line);
            ++links;
        }
    }
    return links;
}

// ---------------------------------------------------------------------------------------------
// Rectangles and outlines

void CPart::CalcARCBoundRect(const int* layers)
{
    if (GetMountClass() == PART_CARD_EDGE || GetMountClass() == PART_NOT_CIRCUIT) {
        m_rcARC.SetRectEmpty();
        return;
    }
    const std::unique_ptr<CPart> copy = CheckCopy(*this);
    CNetLine group(0, 0, IsSMD() ? static_cast<int>(PLC_SMDOUTLINE) : static_cast<int>(PLC_DIPOUTLINE));
    for (const int* l = layers; l && *l >= 0; ++l)
        copy->GetItem(*l, &group);
    m_rcARC = group.GetBoundingRect();
}

// ---------------------------------------------------------------------------------------------
// Checks

int CPart::CheckResist(DocumentServices* doc)
{
    if (m_Ters.IsEmpty())
        return 1;
    if (!doc)
        return 0;
    const tagPARTLAYER resist = doc->GetPartLayer(PL_RESIST);
    const tagPARTLAYER term = doc->GetPartLayer(PL_TERM);
    const std::unique_ptr<CPart> copy = CheckCopy(*this);
    CNetLine top(0, 0, 0x100002);
    CNetLine bottom(0, 0, 0x100004);
    const bool hasTop = copy->GetItem(resist.layerA, &top);
    const bool hasBottom = copy->GetItem(resist.layerB, &bottom);
    if (!hasTop && !hasBottom)
        return 0;
    const int count = doc->GetWireLayerCount();
    for (POSITION pos = copy->GetFirstTerPos(); pos;) {
        CTer* ter = copy->GetNextTer(pos);
        const bool component = ter->GetLayerNo() == term.layerA;
        CNetLine group(ter->GetID(), component ? 1 : count, component ? 3 : 5);
        copy->GetTerItem(doc->GetWireLayer(component ? 1 : count), &group);
        CNetLine& opening = component ? top : bottom;
        if (!group.GetBoundingRect().IntersectRect(&opening.GetBoundingRect()) ||
            !opening.CheckShortItem(&group))
            return 0;
    }
    return 1;
}

int CPart::CheckMetal(DocumentServices* doc)
{
    return IsSMD() || IsCardEdge() ? CheckResist(doc) : 1;
}

void CPart::DRC_ShortCheck(tagDRCSPEC* drc, CPart* other)
{
    if (!drc || !drc->sheet)
        return;
    CSheet* sheet = drc->sheet;
    const int layer = sheet->GetLayerNo();
    const int wLayer = sheet->GetWLayer();
    const int attr = sheet->GetType();
    const double d = drc->partClearance;

    if (other) {
        if (!Meets(GetNetBoundingRect(), d, other->GetNetBoundingRect()))
            return;
        const std::unique_ptr<CPart> mine = CheckCopy(*this);
        const std::unique_ptr<CPart> theirs = CheckCopy(*other);
        auto left = TerminalGroups(*mine, layer, wLayer, attr);
        auto right = TerminalGroups(*theirs, layer, wLayer, attr);
        for (auto& m : left) {
            if (m->IsEmpty())
                continue;
            for (auto& i : right)
                if (!i->IsEmpty() && Meets(m->GetBoundingRect(), d, i->GetBoundingRect()))
                    m->DRC_ShortCheck(drc, i.get());
        }
        return;
    }

    // The part against itself: its net rectangle is made again from the groups on this layer.
    m_rcNet.SetRectEmpty();
    if (m_nNetCount < 2)
        return;
    const std::unique_ptr<CPart> mine = CheckCopy(*this);
    auto groups = TerminalGroups(*mine, layer, wLayer, attr);
    for (auto& g : groups)
        m_rcNet |= g->GetBoundingRect();
    for (std::size_t m = 0; m + 1 < groups.size(); ++m) {
        if (groups[m]->IsEmpty())
            continue;
        for (std::size_t i = m + 1; i < groups.size(); ++i)
            if (!groups[i]->IsEmpty() && Meets(groups[m]->GetBoundingRect(), d, groups[i]->GetBoundingRect()))
                groups[m]->DRC_ShortCheck(drc, groups[i].get());
    }
}
