// Plane (negative) layers: a plane is copper everywhere except where items are drawn. Its copper
// regions are found by filling one negative surface over the plane's extent, whose outline is the
// outlines of the drawn items, and numbering the connected fill strips; vias and holes on the
// plane take the id of the region under them. Also the windows that a surface leaves around pads.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/PlaneRegions.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetItems.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The outer outline of a plane's frame lies this far outside its items.
constexpr double kFrameMargin = 0.5;
// Windows around pads are this much wider than half the surface's line width.
constexpr double kWindowGap = 0.2;

// The items of one sheet that cut a plane, copied into the target: lines, arcs, surfaces, texts
// and the lands that are not connection lands.
void CopyPlaneItems(CSheet& from, CSheet& target)
{
    for (int kind : {KIND_LINE, KIND_ARC, KIND_SUR, KIND_TEXT})
        ForEach<CItemBase>(from, kind, [&](CItemBase* item) { target.StoreCopy(*item); });
    ForEach<CLand>(from, KIND_LAND, [&](CLand* land) {
        if (!land->IsTharmal())
            target.StoreCopy(*land);
    });
}

// Whether an item of a plane's work sheet draws its outline into the plane's frame: lines, arcs
// and texts with an aperture, every surface, land and hole.
bool DrawsOutline(CItemBase* item)
{
    switch (item->GetKind()) {
    case KIND_LINE:
    case KIND_ARC:
    case KIND_TEXT:
        return item->GetTurretNo() > 0;
    default:
        return true;
    }
}

void AddFrameData(CItemBase* item, CSheet& outlines)
{
    switch (item->GetKind()) {
    case KIND_LINE:
        static_cast<CLine*>(item)->GetFrameData(&outlines, 0.0);
        break;
    case KIND_ARC:
        static_cast<CArc*>(item)->GetFrameData(&outlines, 0, 0.0);
        break;
    case KIND_SUR:
        static_cast<CSur*>(item)->GetFrameData(&outlines, 0.0);
        break;
    case KIND_TEXT:
        static_cast<CText*>(item)->GetFrameData(&outlines, 0.0);
        break;
    case KIND_LAND:
        static_cast<CLand*>(item)->GetFrameData(&outlines, 0.0);
        break;
    case KIND_HOLE:
        static_cast<CHole*>(item)->GetFrameData(&outlines, 0.0);
        break;
    default:
        break;
    }
}

// A surface whose outline is the lines and arcs of the sheet.
CSur SurfaceOf(CSheet& outline)
{
    CItemBaseList lines, arcs, unused, texts;
    ForEach<CItemBase>(outline, KIND_LINE, [&](CItemBase* line) { lines.AddTail(line); });
    ForEach<CItemBase>(outline, KIND_ARC, [&](CItemBase* arc) { arcs.AddTail(arc); });
    return CSur(lines, arcs, unused, texts);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Regions under points

std::uint32_t CSheet::GetNegaTharmal(CDPoint point)
{
    return PlaneRegions(*this).At(point);
}

// ---------------------------------------------------------------------------------------------
// Plane items and regions

void CSheet::GetNegaLayerItem(CSheet* target)
{
    if (!target || target == this)
        return;
    if (!(m_nType & (0x10000 | 0x10)))
        CopyPlaneItems(*this, *target);
    if (m_nSheetType != SHEET_BOARD_VIAPART || !target->IsNega() || !m_pDoc)
        return;
    CSheet parts(target->GetWLayer(), target->GetType(), m_pDoc->GetWireLayer(target->GetWLayer()), m_pDoc);
    for (CPart* part : PlacedParts(*this))
        part->CorrectItem(&parts, 0, 0);
    CopyPlaneItems(parts, *target);
}

int CSheet::CalcNegaFrame(CSheet* frame)
{
    if (!frame || m_nCount == 0)
        return 0;

    // 1. The outer outline around everything on the sheet.
    CDRect extent = GetBoundingRect();
    extent.InflateRect(kFrameMargin);
    CSur sur(0);
    sur.ModifyType(SUR_NEGA, SUR_NEGA);
    const CDPoint corners[4] = {CDPoint(extent.left, extent.top), CDPoint(extent.right, extent.top),
                                CDPoint(extent.right, extent.bottom), CDPoint(extent.left, extent.bottom)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(corners[i], corners[(i + 1) % 4], 0, 0));

    // 2. Ids again: surfaces (not circles) and donut lands each their own, the rest none.
    m_nNetID = static_cast<std::uint32_t>(m_nWLayer);
    for (int kind : {KIND_LINE, KIND_ARC, KIND_HOLE, KIND_TEXT})
        ForEach<CItemBase>(*this, kind, [](CItemBase* item) { item->SetID(0); });
    ForEach<CSur>(*this, KIND_SUR, [&](CSur* item) {
        if (item->IsCircle())
            item->SetID(0);
        else
            SetNextNetID(item);
    });
    ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) {
        if (land->GetTurret().shape == TURRET_DONUT)
            SetNextNetID(land);
        else
            land->SetID(0);
    });
    const std::uint32_t mark = m_nNetID;

    // 3. Groups of touching items; an item that touches nothing cannot part the plane and goes.
    m_nType &= ~(0x8 | 0x1);
    MakeGroup();
    CorrectID2NetLine();
    std::vector<CItemBase*> lone;
    for (auto pos = m_netLines.GetHeadPosition(); pos;) {
        CNetLine* group = m_netLines.GetNext(pos);
        if (group->GetCount(0) == 1 && group->GetID() > mark)
            if (CItemBase* item = group->GetHeadItem())
                lone.push_back(item);
    }
    for (auto pos = m_netLines.GetHeadPosition(); pos;)
        m_netLines.GetNext(pos)->DeleteContents();
    m_netLines.RemoveAll();
    for (CItemBase* item : lone)
        if (CItemList* list = ListOf(item->GetKind()))
            if (const POSITION pos = list->Find(item))
                RemoveItemAt(item->GetKind(), pos);

    // 4. The outlines of what is left join the outer outline.
    CSheet outlines;
    for (int kind : {KIND_LINE, KIND_ARC, KIND_SUR, KIND_TEXT, KIND_LAND, KIND_HOLE})
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) {
            if (DrawsOutline(item))
                AddFrameData(item, outlines);
        });
    ForEach<CLine>(outlines, KIND_LINE, [&](CLine* line) { sur.AddLine(std::make_unique<CLine>(*line)); });
    ForEach<CArc>(outlines, KIND_ARC, [&](CArc* arc) { sur.NewArc(*arc); });

    // 5. The fill of the copy in the frame sheet, less the strips at the border and under items.
    CSur* stored = frame->NewSur(sur);
    if (!stored)
        return 0;
    if (stored->GetSurLineCount() == 0)
        stored->MakeSurLine(true);
    stored->CutSurLine(nullptr);
    for (int kind : {KIND_LINE, KIND_ARC, KIND_SUR, KIND_LAND, KIND_HOLE, KIND_TEXT})
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) { stored->CutSurLine(item); });
    std::vector<CLine*> outer;
    for (POSITION pos = stored->GetFirstLinePos(); pos && outer.size() < 4;)
        outer.push_back(stored->GetNextLine(pos));
    for (CLine* line : outer)
        stored->DeleteItem(line);

    // 6. The connected strips are the regions.
    return stored->MakeSurLineGroup(static_cast<unsigned>(m_nWLayer));
}

void CSheet::CalcNegaFrame2(CSheet* frame)
{
    CSheet work(m_nWLayer, m_nType, m_nLayer, m_pDoc);
    GetNegaLayerItem(&work);
    if (CSheet* viaPart = ViaPartSheet(*this))
        viaPart->GetNegaLayerItem(&work);
    work.CalcNegaFrame(frame);
}

std::uint32_t CSheet::MakeGroupNega()
{
    const int layer = m_nWLayer;
    CSheet* viaPart = ViaPartSheet(*this);
    const std::vector<CPart*> parts = PlacedParts(*this);

    // The holes on the plane, with the parts' items of this layer gathered once for all of them.
    std::vector<CHole*> holes;
    if (m_pDoc) {
        CSheet partItems(m_nWLayer, m_nType, m_nLayer, m_pDoc);
        GetPartItems(partItems, 0);
        std::vector<CHole*> all;
        m_pDoc->CollectHoles(all, true);
        for (CHole* hole : all)
            if (CheckHoleOnItem(hole, true, &partItems))
                holes.push_back(hole);
    }

    CSheet work(m_nWLayer, m_nType, m_nLayer, m_pDoc);
    GetNegaLayerItem(&work);
    if (viaPart)
        viaPart->GetNegaLayerItem(&work);
    for (CHole* hole : holes)
        work.NewHole(*hole);
    CSheet frame(m_nWLayer, m_nType, m_nLayer, m_pDoc);
    const int regions = work.CalcNegaFrame(&frame);

    auto wiredVias = [&](auto&& give) {
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->CheckWire(layer) && via->GetLayerID(layer) == 0)
                    give(via);
            });
    };
    auto partVias = [&](auto&& give) {
        for (CPart* part : parts)
            for (POSITION pos = part->GetFirstViaPos(); pos;) {
                CVia* via = part->GetNextVia(pos);
                if (via->CheckWire(layer) && via->GetLayerID(layer) == 0)
                    give(via);
            }
    };

    if (regions > 1) {
        const PlaneRegions under(frame);
        wiredVias([&](CVia* via) {
            if (const std::uint32_t id = under.At(via->GetPoint()))
                via->SetLayerID(id, layer);
            if (via->GetID() == 0)
                viaPart->SetNextNetID(via);
        });
        for (CHole* hole : holes)
            if (const std::uint32_t id = under.At(hole->GetPoint())) {
                hole->SetLayerID(id, layer);
                if (hole->GetID() == 0)
                    hole->SetID(id);
            }
        partVias([&](CVia* via) {
            if (const std::uint32_t id = under.At(via->GetPoint()))
                via->SetLayerID(id, layer);
        });
        return m_nNetID;
    }

    if (m_nNetID < 256)
        m_nNetID = static_cast<std::uint32_t>(layer) + 256u;
    wiredVias([&](CVia* via) {
        via->SetLayerID(m_nNetID, layer);
        if (via->GetID() == 0)
            viaPart->SetNextNetID(via);
    });
    for (CHole* hole : holes)
        hole->SetLayerID(m_nNetID, layer);
    partVias([&](CVia* via) { via->SetLayerID(m_nNetID, layer); });
    return m_nNetID;
}

// ---------------------------------------------------------------------------------------------
// Windows of a surface

void CSheet::MakeWindow(CSur* surface, CSur& result)
{
    if (!surface || !(m_nType & (0x1 | 0x10)))
        return;
    surface->MakeSurLine(false);
    const double grow = surface->GetLineWidth() / 2.0 + kWindowGap;

    std::vector<CLand> lands;
    ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) { lands.push_back(*land); });
    if (CSheet* viaPart = ViaPartSheet(*this))
        ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
            CLand land = GetLandImage(via, true);
            if (land.GetTurretNo() != 0)
                lands.push_back(land);
        });
    for (CPart* part : PlacedParts(*this))
        for (POSITION pos = part->GetFirstLandPos(); pos;) {
            CLand* land = part->GetNextLand(pos);
            if (land->GetLayerNo() == m_nLayer)
                lands.push_back(*land);
        }

    for (CLand& land : lands) {
        if (!surface->CheckPoint(land.GetPoint(), false))
            continue;
        CSheet outline;
        land.GetFrameData(&outline, grow);
        result.NewWindow(SurfaceOf(outline));
    }
}
