// Surface attributes that reach every outline item (turret, layer), the bounding rectangle and the
// transforms.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include <cmath>

namespace {

template <class T> T* As(CItemBase* item)
{
    return static_cast<T*>(item);
}

// The item base's turret of one outline item: a different number is taken (with its entry); the
// same number is only re-read when asked.
void SetItemTurret(CItemBase* item, int turret, bool refresh)
{
    if (item->GetTurretNo() != turret)
        item->SetTurretNo(turret, false);
    else if (refresh)
        item->SetTurretNo(turret, true);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Attributes

void CSur::PushTurret(int turret, bool refresh)
{
    for (CItemBase* item : m_Lines)
        SetItemTurret(item, turret, refresh);
    for (CItemBase* item : m_Arcs)
        SetItemTurret(item, turret, refresh);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->PushTurret(turret, refresh);
    SetItemTurret(this, turret, refresh);
    MarkDirty();
}

void CSur::SetTurretNo(int turret, bool refresh)
{
    if (!refresh && turret == m_nTurret)
        return;
    for (CItemBase* item : m_Lines)
        SetItemTurret(item, turret, refresh);
    for (CItemBase* item : m_Arcs)
        SetItemTurret(item, turret, refresh);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->SetTurretNo(turret, refresh);
    SetItemTurret(this, turret, refresh);
    MarkDirty();
    MakeSurLine(true);
}

void CSur::SetLayerNo(int layer)
{
    for (CItemBase* item : m_Lines)
        item->SetLayerNo(layer);
    for (CItemBase* item : m_Arcs)
        item->SetLayerNo(layer);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->SetLayerNo(layer);
    m_nLayer = layer;
}

void CSur::CalcBoundingRect()
{
    CDRect rect;
    for (CItemBase* item : m_Lines)
        rect |= item->GetBoundingRect();
    for (CItemBase* item : m_Arcs)
        rect |= item->GetBoundingRect();
    SetBoundingRect(rect);
    CopyAreaRect();
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CSur::Offset(const CDPoint& d)
{
    if (m_nType & SUR_EDGE) {
        // Stretching: only the marked ends move; the fill stays where it was.
        for (CItemBase* item : m_Lines) {
            CLine* line = As<CLine>(item);
            if (line->CheckSelect())
                line->Offset(d);
        }
        for (CItemBase* item : m_Arcs) {
            CArc* arc = As<CArc>(item);
            if (arc->CheckSelect())
                arc->OffsetInc(d);
        }
        for (CItemBase* item : m_Windows) {
            CSur* window = As<CSur>(item);
            window->m_nType |= SUR_EDGE;
            window->Offset(d);
        }
    } else {
        CItemBase::Offset(d);
        for (CItemBase* item : m_Lines)
            As<CLine>(item)->Offset(d);
        for (CItemBase* item : m_Arcs)
            As<CArc>(item)->Offset(d, 0);
        for (CItemBase* item : m_Windows)
            As<CSur>(item)->Offset(d);
        for (CItemBase* item : m_SurLines)
            As<CLine>(item)->Offset(d);
    }
    MarkDirty();
}

void CSur::RotateFillLines(const CDPoint& centre, double angle)
{
    for (CItemBase* item : m_SurLines)
        As<CLine>(item)->Rotate(centre, angle);
}

void CSur::Rotate(const CDPoint& centre, double angle, bool fill)
{
    if (angle == 0.0 || (m_nType & SUR_EDGE))
        return;
    for (CItemBase* item : m_Lines)
        As<CLine>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Arcs)
        As<CArc>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->Rotate(centre, angle, true);
    if (fill && !IsNoCont())
        RotateFillLines(centre, angle);
    MarkDirty();
}

void CSur::MirrorX(double x, bool fill)
{
    if (m_nType & SUR_EDGE)
        return;
    CItemBase::MirrorX(x);
    for (CItemBase* item : m_Lines)
        As<CLine>(item)->MirrorX(x);
    for (CItemBase* item : m_Arcs)
        As<CArc>(item)->MirrorX(x);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->MirrorX(x, true);
    if (fill && !IsNoCont())
        for (CItemBase* item : m_SurLines)
            As<CLine>(item)->MirrorX(x);
    MarkDirty();
}

void CSur::MirrorY(double y, bool fill)
{
    if (m_nType & SUR_EDGE)
        return;
    CItemBase::MirrorY(y);
    for (CItemBase* item : m_Lines)
        As<CLine>(item)->MirrorY(y);
    for (CItemBase* item : m_Arcs)
        As<CArc>(item)->MirrorY(y);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->MirrorY(y, true);
    if (fill && !IsNoCont())
        for (CItemBase* item : m_SurLines)
            As<CLine>(item)->MirrorY(y);
    MarkDirty();
}

void CSur::Scale(const CDPoint& origin, const CDSize& factors)
{
    const bool edge = (m_nType & SUR_EDGE) != 0;
    for (CItemBase* item : m_Lines) {
        CLine* line = As<CLine>(item);
        if (!edge || line->CheckSelect())
            line->Scale(origin, factors);
    }
    if (std::fabs(factors.cx - factors.cy) <= GEOM_TOLERANCE) {
        for (CItemBase* item : m_Arcs) {
            CArc* arc = As<CArc>(item);
            if (!edge || arc->CheckSelect())
                arc->Scale(origin, factors);
        }
    } else {
        // An arc scaled unevenly is no arc any more: it becomes its scaled segments.
        for (POSITION pos = m_Arcs.GetHeadPosition(); pos;) {
            const POSITION here = pos;
            CArc* arc = As<CArc>(m_Arcs.GetNext(pos));
            if (edge && !arc->CheckSelect())
                continue;
            CSheet segments(SHEET_WORK);
            arc->ConvertLine(segments);
            const int layer = arc->GetLayerNo();
            m_Arcs.RemoveAt(here);
            for (POSITION seg = segments.GetFirstLinePos(); seg;) {
                auto line = std::make_unique<CLine>(*segments.GetNextLine(seg));
                line->Scale(origin, factors);
                line->SetLayerNo(layer);
                line->SetParent(this);
                m_Lines.AddTail(std::move(line));
            }
        }
    }
    for (CItemBase* item : m_Windows) {
        CSur* window = As<CSur>(item);
        if (edge)
            window->m_nType |= SUR_EDGE;
        window->Scale(origin, factors);
    }
    MarkDirty();
}
