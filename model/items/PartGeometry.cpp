// Part item: moving, scaling, turning and mirroring with everything the part holds, its
// rectangles, the orientation its terminals give and the "COC" area.

#include "model/geometry/Geometry.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// a within 1e-6 of b, the half-open way the board compares coordinates.
bool Near(double a, double b)
{
    return b - GEOM_TOLERANCE <= a && a < b + GEOM_TOLERANCE;
}

bool OnLayers(const CItemBase* item, const int* layers)
{
    for (const int* l = layers; l && *l >= 0; ++l)
        if (item->GetLayerNo() == *l)
            return true;
    return false;
}

// The rectangle a member adds to a copper group of that type word (work layer 0): a line without
// width a little less than its bounds, a via the land it shows there or else its drill.
CDRect GroupRect(CItemBase* item, int attr)
{
    switch (item->GetKind()) {
    case KIND_LINE: {
        CDRect r = item->GetBoundingRect();
        if (item->GetLineWidth() == 0.0)
            r.DeflateRect(0.025);
        return r;
    }
    case KIND_VIA: {
        const CVia* via = static_cast<const CVia*>(item);
        const int turret = via->GetTurret(attr, 0, 1);
        if (turret != 0) {
            CLand land(via->GetPoint(), turret);
            return land.GetBoundingRect();
        }
        CHole hole = via->GetHole();
        return hole.GetBoundingRect();
    }
    default:
        return item->GetBoundingRect();
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Transforms

void CPart::Offset(const CDPoint& delta, bool force)
{
    if ((m_nType & PART_MOVE_LOCK) && !force)
        return;
    for (CDPoint& p : m_ptArea)
        p += delta;
    m_ptOrg += delta;
    m_PartName.Offset(delta);
    if (!m_RefName.GetName().empty())
        m_RefName.Offset(delta);
    if (!m_ValName.GetName().empty())
        m_ValName.Offset(delta);
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->Offset(delta);
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->Offset(delta, 0);
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->Offset(delta);
    for (CItemBase* item : m_Texts)
        static_cast<CText*>(item)->Offset(delta);
    for (CItemBase* item : m_Lands)
        static_cast<CLand*>(item)->Offset(delta);
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->Offset(delta);
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->Offset(delta);
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->Offset(delta);
    // The terminal rectangles moved along; their union is made again when next asked for.
    m_rcNet.SetRectEmpty();
    MarkDirty();
}

void CPart::Scale(const CDPoint& centre, const CDSize& factors, bool force)
{
    if ((m_nType & PART_MOVE_LOCK) && !force)
        return;
    CDPoint target = m_ptOrg;
    target.Scale(centre, factors);
    Offset(CDPoint(target.x - m_ptOrg.x, target.y - m_ptOrg.y), true);
}

void CPart::Scale(double factor)
{
    const CDSize factors(factor, factor);
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->Scale(m_ptOrg, factors);
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->Scale(m_ptOrg, factors);
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->Scale(m_ptOrg, factors);
    for (CItemBase* item : m_Lands) {
        CLand* land = static_cast<CLand*>(item);
        CDPoint p = land->GetPoint();
        p.Scale(m_ptOrg, factor);
        land->SetPoint(p);
    }
    m_rcNet.SetRectEmpty();
    MarkDirty();
}

void CPart::Rotate(const CDPoint& centre, double angle, bool force)
{
    if ((m_nType & PART_ROTATE_LOCK) && !force)
        return;
    double a = m_dAngle + angle;
    NormalizeAngle(a);
    m_dAngle = a;
    m_ptOrg.Rotate(centre, angle);
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (!text->GetName().empty())
            text->Rotate(centre, angle);
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->Rotate(centre, angle, true);
    for (CItemBase* item : m_Texts)
        static_cast<CText*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Lands)
        static_cast<CLand*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->Rotate(centre, angle);
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->Rotate(centre, angle);
    m_rcNet.SetRectEmpty();
    MarkDirty();
}

void CPart::Rotate(int angle)
{
    Rotate(m_ptOrg, static_cast<double>(angle), false);
}

void CPart::MirrorX(double x)
{
    m_ptOrg.x = 2.0 * x - m_ptOrg.x;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        text->MirrorX(x, true);
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->MirrorX(x);
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->MirrorX(x);
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->MirrorX(x, true);
    for (CItemBase* item : m_Texts)
        static_cast<CText*>(item)->MirrorX(x, true);
    for (CItemBase* item : m_Lands)
        static_cast<CLand*>(item)->MirrorX(x);
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->MirrorX(x);
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->MirrorX(x);
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->MirrorX(x);
    m_rcNet.SetRectEmpty();
    MarkDirty();
}

void CPart::MirrorY(double y)
{
    m_ptOrg.y = 2.0 * y - m_ptOrg.y;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        text->MirrorY(y, true);
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->MirrorY(y);
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->MirrorY(y);
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->MirrorY(y, true);
    for (CItemBase* item : m_Texts)
        static_cast<CText*>(item)->MirrorY(y, true);
    for (CItemBase* item : m_Lands)
        static_cast<CLand*>(item)->MirrorY(y);
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->MirrorY(y);
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->MirrorY(y);
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->MirrorY(y);
    m_rcNet.SetRectEmpty();
    MarkDirty();
}

namespace {

// The named and free texts of a part that carry the partial-selection mark.
template <class Fn> void ForSelectedTexts(CText* named[3], CItemList& texts, Fn fn)
{
    for (int i = 0; i < 3; ++i)
        if (named[i]->IsTextSel())
            fn(*named[i]);
    for (CItemBase* item : texts) {
        CText* text = static_cast<CText*>(item);
        if (text->IsTextSel())
            fn(*text);
    }
}

} // namespace

void CPart::RotateText(const CDPoint& centre, double angle)
{
    CText* named[3] = {&m_PartName, &m_RefName, &m_ValName};
    const std::uint32_t terCount = static_cast<std::uint32_t>(m_Ters.GetCount());
    ForSelectedTexts(named, m_Texts, [&](CText& text) {
        text.Rotate(centre, angle);
        if (text.GetID() != 0 && text.GetID() <= terCount)
            m_rcNet.SetRectEmpty();
    });
    MarkDirty();
}

void CPart::MirrorXText(double x)
{
    CText* named[3] = {&m_PartName, &m_RefName, &m_ValName};
    const std::uint32_t terCount = static_cast<std::uint32_t>(m_Ters.GetCount());
    ForSelectedTexts(named, m_Texts, [&](CText& text) {
        text.MirrorXText(x);
        if (text.GetID() != 0 && text.GetID() <= terCount)
            m_rcNet.SetRectEmpty();
    });
    MarkDirty();
}

void CPart::MirrorYText(double y)
{
    CText* named[3] = {&m_PartName, &m_RefName, &m_ValName};
    const std::uint32_t terCount = static_cast<std::uint32_t>(m_Ters.GetCount());
    ForSelectedTexts(named, m_Texts, [&](CText& text) {
        text.MirrorYText(y);
        if (text.GetID() != 0 && text.GetID() <= terCount)
            m_rcNet.SetRectEmpty();
    });
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Rectangles

void CPart::CalcBoundingRect()
{
    // A part on a layer sheet of a board measures only what the board shows.
    CSheet* sheet = GetSheet<CSheet>();
    if (sheet && sheet->GetSheetType() != SHEET_WORK && sheet->GetDocument()) {
        CalcBoundRect(sheet->GetDocument());
        return;
    }
    CDRect rect;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        rect |= text->GetBoundingRect();
    for (CItemList* list : {&m_Lines, &m_Arcs, &m_Surs, &m_Texts, &m_Lands, &m_Holes, &m_Vias, &m_Ters})
        for (CItemBase* item : *list)
            rect |= item->GetBoundingRect();
    SetBoundingRect(rect);
    CopyAreaRect();
}

void CPart::CalcBoundRect(DocumentServices* doc)
{
    if (!doc) {
        // Without a board every layer counts.
        CalcBoundingRect();
        m_bDirty = false;
        return;
    }
    std::vector<std::uint8_t> layers;
    doc->GetDispLayers(layers);
    CalcBoundRect(layers);
}

void CPart::CalcBoundRect(const std::vector<std::uint8_t>& layers)
{
    CDRect rect;
    for (const std::uint8_t layer : layers) {
        for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
            if (text->GetLayerNo() == layer)
                rect |= text->GetBoundingRect();
        for (CItemList* list : {&m_Lines, &m_Arcs, &m_Surs, &m_Texts, &m_Lands, &m_Holes, &m_Ters})
            for (CItemBase* item : *list)
                if (item->GetLayerNo() == layer)
                    rect |= item->GetBoundingRect();
    }
    for (CItemBase* item : m_Vias)
        rect |= item->GetBoundingRect();
    SetBoundingRect(rect);
    CopyAreaRect();
    m_bDirty = false;
}

const CDRect& CPart::GetNetBoundingRect()
{
    if (m_rcNet.IsRectNull())
        for (CItemBase* item : m_Ters)
            m_rcNet |= static_cast<CTer*>(item)->GetItemBoundingRect();
    return m_rcNet;
}

void CPart::CalcNetBoundRect(DocumentServices* doc)
{
    // Each terminal's rectangle covers its group on every wiring layer: the copper of the layer that
    // carries its id, and its vias and holes.
    if (doc) {
        const int count = doc->GetWireLayerCount();
        for (CItemBase* item : m_Ters) {
            CTer* ter = static_cast<CTer*>(item);
            const std::uint32_t id = ter->GetID();
            CDRect rect;
            for (int w = 1; w <= count; ++w) {
                const int layer = doc->GetWireLayer(w);
                const CSheet* sheet = layer >= 0 && layer < LAYER_MAX ? doc->GetBoardSheet(layer) : nullptr;
                const int attr = sheet ? sheet->GetType() : 0;
                for (CItemList* list : {&m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Texts})
                    for (CItemBase* member : *list)
                        if (member->GetLayerNo() == layer && member->GetID() == id)
                            rect |= GroupRect(member, attr);
                for (CItemList* list : {&m_Vias, &m_Holes})
                    for (CItemBase* member : *list)
                        if (member->GetID() == id)
                            rect |= GroupRect(member, attr);
            }
            ter->SetItemBoundingRect(rect);
        }
    }
    m_rcNet.SetRectEmpty();
    GetNetBoundingRect();
}

void CPart::GetOutLineData(const int* layers, CSheet& sheet, double grow)
{
    for (CItemBase* item : m_Lines)
        if (OnLayers(item, layers))
            static_cast<CLine*>(item)->GetFrameData(&sheet, grow);
    for (CItemBase* item : m_Arcs)
        if (OnLayers(item, layers))
            static_cast<CArc*>(item)->GetFrameData(&sheet, 0, grow);
    for (CItemBase* item : m_Lands)
        if (OnLayers(item, layers))
            static_cast<CLand*>(item)->GetFrameData(&sheet, grow);
    for (CItemBase* item : m_Surs)
        if (OnLayers(item, layers))
            static_cast<CSur*>(item)->GetFrameData(&sheet, grow);
    for (CItemBase* item : m_Texts)
        if (OnLayers(item, layers))
            static_cast<CText*>(item)->GetFrameData(&sheet, grow);
}

double CPart::GetAngleTer()
{
    const int count = m_Ters.GetCount();
    double angle = 0.0;
    if (count >= 2) {
        const CDPoint o = m_ptOrg;
        const CTer* lowest = nullptr;
        for (const CItemBase* item : m_Ters)
            if (!lowest || item->GetID() < lowest->GetID())
                lowest = static_cast<const CTer*>(item);
        const CDPoint p = lowest->GetPoint();
        auto quadrant = [&o](const CDPoint& q) {
            if (Near(q.x, o.x) || Near(q.y, o.y))
                return std::atan2(o.y - q.y, o.x - q.x);
            if (q.x < o.x)
                return q.y < o.y ? 0.0 : 3.0 * kPi / 2.0;
            return q.y < o.y ? kPi / 2.0 : kPi;
        };
        if (count >= 4) {
            angle = quadrant(p);
        } else if (count == 3) {
            const CTer* aligned = nullptr;
            for (const CItemBase* item : m_Ters) {
                const CDPoint& q = static_cast<const CTer*>(item)->GetPoint();
                if (Near(q.x, o.x) || Near(q.y, o.y)) {
                    aligned = static_cast<const CTer*>(item);
                    break;
                }
            }
            if (!aligned)
                angle = quadrant(p);
            else if (Near(aligned->GetPoint().x, o.x))
                angle = o.y >= aligned->GetPoint().y ? kPi : 0.0;
            else
                angle = o.x < aligned->GetPoint().x ? 3.0 * kPi / 2.0 : kPi / 2.0;
        } else if (Near(p.x, o.x)) {
            angle = o.y < p.y ? 3.0 * kPi / 2.0 : kPi / 2.0;
        } else if (std::fabs(o.y - p.y) > GEOM_TOLERANCE) {
            angle = std::atan2(o.y - p.y, o.x - p.x);
        } else {
            angle = o.x < p.x ? kPi : 0.0;
        }
    }
    if (!IsPartSide()) {
        angle += kPi;
        NormalizeAngle(angle);
    }
    return angle;
}

double CPart::GetCOCArea(int layer, CDRect& rect)
{
    for (CItemBase* item : m_Surs) {
        CSur* sur = static_cast<CSur*>(item);
        if (sur->GetLayerNo() != layer)
            continue;
        rect = sur->GetBoundingRect();
        const std::string value = sur->GetProperty("COC");
        const std::size_t blank = value.find(' ');
        if (blank == std::string::npos)
            return 0.0;
        return platform::Atof(value.substr(0, blank));
    }
    rect.SetRectEmpty();
    return 0.0;
}
