// Operations that change or convert every item of a sheet at once: turret and via changes, end
// marks, moving attribute texts, scaling, turning and mirroring texts, composing a part and
// converting the drawing into plain segments. Moving, mirroring and turning whole items are in
// Sheet.cpp.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Cp932.h"

#include <cmath>

namespace {

template <class T> T& As(CItemBase* item)
{
    return *static_cast<T*>(item);
}

// The attribute texts of a line or an arc with a name move with the selection's texts.
template <class T> void OffsetNameText(T& item, const CDPoint& delta, int namedBit)
{
    if (item.GetType() & namedBit)
        item.GetNameText()->OffsetAttr(delta);
}

// The texts a composed part gives itself, which a drawing of the part only shows as placeholders.
bool IsPartLabel(const std::string& s)
{
    return platform::MbsICmp(s, "Name") == 0 || platform::MbsICmp(s, "Ref") == 0 ||
           platform::MbsICmp(s, "Val") == 0;
}

} // namespace

void CSheet::ChangeTurret(int turret, bool refresh)
{
    if (m_nCount == 0)
        return;
    for (CItemBase* item : *ListOf(KIND_LINE))
        item->SetTurretNo(turret, refresh);
    for (CItemBase* item : *ListOf(KIND_LAND))
        item->SetTurretNo(turret, refresh);
    for (CItemBase* item : *ListOf(KIND_ARC))
        item->SetTurretNo(turret, refresh);
    for (CItemBase* item : *ListOf(KIND_SUR))
        As<CSur>(item).SetTurretNo(turret, refresh);
    // Only the stroke font draws with a pen.
    for (CItemBase* item : *ListOf(KIND_TEXT))
        if (item->GetType() & TEXT_STROKE)
            item->SetTurretNo(turret, refresh);
    ResetBounding();
}

void CSheet::ChangeVia(int via)
{
    for (CItemBase* item : *ListOf(KIND_VIA))
        item->SetViaNo(via, false);
    ResetBounding();
}

void CSheet::SetCheck(bool check)
{
    for (CItemBase* item : *ListOf(KIND_LINE))
        As<CLine>(item).SetCheck(check);
    for (CItemBase* item : *ListOf(KIND_ARC))
        As<CArc>(item).SetCheck(check);
}

void CSheet::OffsetAttr(const CDPoint& delta)
{
    if (m_nCount == 0 || (delta.x == 0.0 && delta.y == 0.0))
        return;
    // Each text moves only when it is marked selected.
    for (CItemBase* item : *ListOf(KIND_LINE))
        OffsetNameText(As<CLine>(item), delta, LINE_NAMED);
    for (CItemBase* item : *ListOf(KIND_ARC))
        OffsetNameText(As<CArc>(item), delta, ARC_NAMED);
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).OffsetAttr(delta);
    for (CItemBase* item : *ListOf(KIND_PART)) {
        CPart& part = As<CPart>(item);
        part.GetPartNameText()->OffsetAttr(delta);
        part.GetRefNameText()->OffsetAttr(delta);
        part.GetValNameText()->OffsetAttr(delta);
        for (POSITION pos = part.GetFirstTextPos(); pos;)
            part.GetNextText(pos)->OffsetAttr(delta);
        for (POSITION pos = part.GetFirstLinePos(); pos;)
            OffsetNameText(*part.GetNextLine(pos), delta, LINE_NAMED);
        for (POSITION pos = part.GetFirstArcPos(); pos;)
            OffsetNameText(*part.GetNextArc(pos), delta, ARC_NAMED);
        part.CalcBoundRect(m_pDoc);
    }
    ResetBounding();
}

void CSheet::ScaleItem(const CDPoint& origin, const CDSize& factors)
{
    if (m_nCount == 0)
        return;
    for (CItemBase* item : *ListOf(KIND_LINE))
        As<CLine>(item).Scale(origin, factors);
    // Pads, vias and terminals keep their size: only their positions scale.
    for (CItemBase* item : *ListOf(KIND_VIA)) {
        As<CVia>(item).Scale(origin, factors);
        item->ResetBounding();
    }
    for (CItemBase* item : *ListOf(KIND_LAND)) {
        As<CLand>(item).Scale(origin, factors);
        item->ResetBounding();
    }
    for (CItemBase* item : *ListOf(KIND_TEXT)) {
        CText& text = As<CText>(item);
        CDPoint p = text.GetPoint();
        p.Scale(origin, factors);
        text.SetPoint(p);
    }
    for (CItemBase* item : *ListOf(KIND_TER)) {
        As<CTer>(item).Scale(origin, factors);
        item->ResetBounding();
    }

    CItemList& arcs = *ListOf(KIND_ARC);
    if (std::fabs(factors.cx - factors.cy) > GEOM_TOLERANCE) {
        // An arc scaled unevenly is no longer an arc: its segments take its place.
        if (!arcs.IsEmpty()) {
            CSheet work(SHEET_WORK);
            for (POSITION pos = arcs.GetHeadPosition(); pos;) {
                const POSITION here = pos;
                CArc& arc = As<CArc>(arcs.GetNext(pos));
                arc.ConvertLine(work);
                RemoveItemAt(KIND_ARC, here);
            }
            work.ScaleItem(origin, factors);
            *this += work;
        }
    } else {
        for (CItemBase* item : arcs)
            As<CArc>(item).Scale(origin, factors);
    }

    for (CItemBase* item : *ListOf(KIND_HOLE))
        As<CHole>(item).Scale(origin, factors);
    for (CItemBase* item : *ListOf(KIND_SUR))
        As<CSur>(item).Scale(origin, factors);
    for (CItemBase* item : *ListOf(KIND_PART))
        As<CPart>(item).Scale(origin, factors);
    ResetBounding();
}

void CSheet::RotateText(const CDPoint& centre, double angle)
{
    // Only name texts that have been made: one made later starts as a fresh text.
    for (CItemBase* item : *ListOf(KIND_LINE))
        if (CText* name = As<CLine>(item).HeldNameText())
            name->Rotate(centre, angle);
    for (CItemBase* item : *ListOf(KIND_ARC))
        if (CText* name = As<CArc>(item).HeldNameText())
            name->Rotate(centre, angle);
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).Rotate(centre, angle);
    for (CItemBase* item : *ListOf(KIND_PART))
        As<CPart>(item).RotateText(centre, angle);
    ResetBounding();
}

void CSheet::MirrorXText(double x)
{
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).MirrorXText(x);
    for (CItemBase* item : *ListOf(KIND_PART))
        As<CPart>(item).MirrorXText(x);
    ResetBounding();
}

void CSheet::MirrorYText(double y)
{
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).MirrorYText(y);
    for (CItemBase* item : *ListOf(KIND_PART))
        As<CPart>(item).MirrorYText(y);
    ResetBounding();
}

void CSheet::MakePart(CPart& part)
{
    for (CItemBase* item : *ListOf(KIND_LINE)) {
        CLine& line = As<CLine>(item);
        line.SetCheck(true);
        line.GetBoundingRect();
        part.NewLine(line);
    }
    for (CItemBase* item : *ListOf(KIND_TER)) {
        item->GetBoundingRect();
        part.NewTer(As<CTer>(item));
    }
    for (CItemBase* item : *ListOf(KIND_TEXT)) {
        CText& text = As<CText>(item);
        if (IsPartLabel(text.GetName()))
            continue;
        if (text.IsPropaty())
            text.SetPropaty(text.GetPropatyName(), text.GetPropatyVal());
        text.GetBoundingRect();
        part.NewText(text);
    }
    for (CItemBase* item : *ListOf(KIND_ARC)) {
        CArc& arc = As<CArc>(item);
        arc.SetCheck(3, false);
        arc.GetBoundingRect();
        part.NewArc(arc);
    }
    for (CItemBase* item : *ListOf(KIND_LAND)) {
        item->GetBoundingRect();
        part.NewLand(As<CLand>(item));
    }
    for (CItemBase* item : *ListOf(KIND_SUR)) {
        item->GetBoundingRect();
        if (CSur* copy = part.NewSur(As<CSur>(item)))
            copy->MakeSurLine(false);
    }
    for (CItemBase* item : *ListOf(KIND_VIA)) {
        item->GetBoundingRect();
        part.NewVia(As<CVia>(item));
    }
    for (CItemBase* item : *ListOf(KIND_HOLE)) {
        CHole& hole = As<CHole>(item);
        // A part's hole is plated exactly when the part's own copper reaches it.
        hole.ModifyType(0, 0x6);
        if (part.CheckTH(&hole, m_pDoc))
            hole.ModifyType(0x1, 0);
        hole.GetBoundingRect();
        part.NewHole(hole);
    }
    part.GetPartNameText()->Disp(1);
    part.GetRefNameText()->Disp(1);
    part.GetValNameText()->Disp(1);
    part.ResetBounding();
}

int CSheet::ConvertLine()
{
    CSheet work(SHEET_WORK);
    work.SetLayer(m_layer);
    int converted = 0;
    CItemList& lines = *ListOf(KIND_LINE);
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        CLine& line = As<CLine>(lines.GetNext(pos));
        if (line.ConvertLine(work)) {
            ++converted;
            RemoveItemAt(KIND_LINE, here);
        }
    }
    for (CItemBase* item : *ListOf(KIND_ARC))
        if (As<CArc>(item).ConvertLine(work))
            ++converted;
    for (CItemBase* item : *ListOf(KIND_SUR))
        if (As<CSur>(item).ConvertLine(work))
            ++converted;
    for (CItemBase* item : *ListOf(KIND_TEXT))
        if (As<CText>(item).ConvertLine(work))
            ++converted;
    *this += work;
    return converted;
}
