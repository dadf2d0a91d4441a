// Land hit tests, copper contact, the plane contact, clearance and the pad's outline. The pad's
// shape is its turret entry's: round, square (axis-parallel), donut (a ring), thermal (treated as
// a ring or as its outer circle, as each test says).

#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsSquare(const CItemBase& item)
{
    return item.GetTurret().shape == TURRET_SQUARE;
}

bool IsDonut(const CItemBase& item)
{
    return item.GetTurret().shape == TURRET_DONUT;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Hit tests

int CLand::CheckPoint(const CDPoint& p)
{
    const tagTURRET turret = GetTurret();
    const double dx = p.x - m_ptPoint.x, dy = p.y - m_ptPoint.y;
    const double half = turret.size1 * 0.5;
    if (std::fabs(dx) > half || std::fabs(dy) > half)
        return 0;
    if (turret.shape == TURRET_SQUARE)
        return 1;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (turret.shape == TURRET_DONUT || turret.shape == TURRET_THERMAL)
        return (turret.size2 * 0.5 <= d && d <= half) ? 1 : 0;
    return d <= half ? 1 : 0;
}

int CLand::CheckPoint(const CDRect& r)
{
    const tagTURRET turret = GetTurret();
    const bool ring = turret.shape == TURRET_DONUT || turret.shape == TURRET_THERMAL;
    if (!ring && r.PtInRect(m_ptPoint))
        return 1;
    const CDRect& bounds = GetBoundingRect();
    if (!contact::RectsMeet(bounds, r))
        return 0;
    if (turret.shape == TURRET_SQUARE)
        return 1;
    if (!ring) {
        // A round pad meets the rectangle when the rectangle's nearest point lies on it (an edge
        // can cut the pad with no corner on it and the centre outside).
        return contact::DistanceToRect(r, m_ptPoint) <= turret.size1 * 0.5 ? 1 : 0;
    }

    CDRect inside;
    inside.IntersectRect(&bounds, &r);
    if (inside == bounds)
        return 1;
    CSheet outline(SHEET_WORK);
    GetFrameData(&outline, 0.0);
    const CDPoint corners[4] = {r.TopLeft(), CDPoint(r.left, r.bottom), r.BottomRight(),
                                CDPoint(r.right, r.top)};
    for (int i = 0; i < 4; ++i) {
        CLine edge(corners[i], corners[(i + 1) % 4], 0, 0);
        for (POSITION pos = outline.GetFirstArcPos(); pos;)
            if (edge.CrossAPoint(*outline.GetNextArc(pos)))
                return 1;
    }
    for (POSITION pos = outline.GetFirstLinePos(); pos;)
        if (outline.GetNextLine(pos)->CheckShort(corners, -4))
            return 1;
    for (const CDPoint& corner : corners)
        if (CheckPoint(corner))
            return 1;
    return 0;
}

int CLand::CheckItemPoint(CDPoint& p, double tolerance) const
{
    if (!m_ptPoint.NearCheckPoint(p, std::fabs(tolerance)))
        return 0;
    p = m_ptPoint;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Contact

int CLand::CheckShort(CItemBase* item)
{
    if (!item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckShort(this);
    case KIND_LAND:
        return CheckShort(static_cast<CLand*>(item));
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckShort(static_cast<CItemBase*>(this));
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckShort(this);
    case KIND_HOLE:
        return CheckShort(static_cast<CHole*>(item));
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckShort(this);
    default:
        return 0;
    }
}

int CLand::CheckShort(CLand* other)
{
    if (IsTharmal() || other->IsTharmal())
        return 0;
    if (IsSquare(*this))
        return other->CheckPoint(GetBoundingRect());
    if (IsSquare(*other))
        return CheckPoint(other->GetBoundingRect());
    if (!contact::RectsMeet(GetBoundingRect(), other->GetBoundingRect()))
        return 0;
    const double x = m_ptPoint.GetLength(other->m_ptPoint);
    if (x > (GetLineWidth() + other->GetLineWidth()) * 0.5)
        return 0;
    if (!IsDonut(*this) && !IsDonut(*other))
        return 1;
    // The other pad lies wholly inside the donut's opening, or it reaches the ring.
    const CLand& donut = IsDonut(*this) ? *this : *other;
    const CLand& pad = IsDonut(*this) ? *other : *this;
    const double h = pad.GetLineWidth();
    const double g = donut.GetTurret().size2;
    return (x - h * 0.5 <= -g * 0.5 || x + h * 0.5 >= g * 0.5) ? 1 : 0;
}

int CLand::CheckShort(CHole* hole)
{
    if (IsTharmal())
        return 0;
    if (!contact::RectsMeet(GetBoundingRect(), hole->GetBoundingRect()))
        return 0;
    const CDPoint& hp = hole->GetPoint();
    if (CheckPoint(hp))
        return 1;
    double diameter, width, radius, angle;
    hole->GetSHoleData(diameter, width, radius, angle);
    const double x = m_ptPoint.GetLength(hp);
    const bool square = IsSquare(*this);

    if (!square && hole->IsHole()) {
        if (x > (diameter + GetLineWidth()) * 0.5)
            return 0;
        if (!IsDonut(*this))
            return 1;
        const double r = diameter * 0.5, g = GetTurret().size2;
        return (x - r <= -g * 0.5 || x + r >= g * 0.5) ? 1 : 0;
    }

    if (hole->GetHoleShape() == HOLE_LONG) {
        const double t = (width - diameter) * 0.5;
        CHole part(hp, diameter, true, 0.0, 0.0, 0.0);
        if (CheckShort(&part))
            return 1;
        for (const double dx : {t, -t}) {
            CDPoint c(hp.x + dx, hp.y);
            c.Rotate(hp, angle);
            part.SetPoint(c);
            if (CheckShort(&part))
                return 1;
        }
        CHole box(hp, diameter, false, width - diameter, 0.0, angle);
        box.ModifyType(HOLE_RECT, HOLE_SHAPE_MASK);
        return CheckShort(&box);
    }

    CSheet pad(SHEET_WORK), drill(SHEET_WORK);
    GetFrameData(&pad, 0.0);
    hole->GetFrameData(&drill, 0.0);
    if (hole->IsHoleRect()) {
        for (POSITION hpos = drill.GetFirstLinePos(); hpos;) {
            CLine* edge = drill.GetNextLine(hpos);
            for (POSITION pos = pad.GetFirstLinePos(); pos;)
                if (edge->CrossAPoint(*pad.GetNextLine(pos)))
                    return 1;
            for (POSITION pos = pad.GetFirstArcPos(); pos;)
                if (edge->CrossAPoint(*pad.GetNextArc(pos)))
                    return 1;
        }
        CDPoint q = m_ptPoint;
        q.Rotate(hp, -angle);
        q -= hp;
        return (-width * 0.5 <= q.x && q.x <= width * 0.5 && -diameter * 0.5 <= q.y && q.y <= diameter * 0.5)
                   ? 1
                   : 0;
    }
    // A square pad and a round hole.
    for (POSITION pos = pad.GetFirstLinePos(); pos;) {
        CLine* edge = pad.GetNextLine(pos);
        for (POSITION hpos = drill.GetFirstArcPos(); hpos;)
            if (edge->CrossAPoint(*drill.GetNextArc(hpos)))
                return 1;
    }
    return x < diameter * 0.5 ? 1 : 0;
}

int CLand::CheckTHShort(CItemBase* item, tagPOINTFX* where, int mode)
{
    if (!item)
        return 0;
    bool covers = false;
    switch (item->GetKind()) {
    case KIND_LINE:
        covers = static_cast<CLine*>(item)->CheckPoint(m_ptPoint) != 0;
        break;
    case KIND_LAND:
        covers = static_cast<CLand*>(item)->CheckPoint(m_ptPoint) != 0;
        break;
    case KIND_ARC:
        covers = static_cast<CArc*>(item)->CheckPoint(m_ptPoint);
        break;
    case KIND_SUR:
        covers = static_cast<CSur*>(item)->CheckPoint(m_ptPoint, false);
        break;
    default:
        break;
    }
    if (covers) {
        if (where)
            *where = m_ptPoint.FxPoint();
        return 1;
    }
    if (mode == 1)
        return 0;

    CSheet outline(SHEET_WORK), circle(SHEET_WORK);
    switch (item->GetKind()) {
    case KIND_LINE:
        static_cast<CLine*>(item)->GetFrameData(&outline, 0.0);
        break;
    case KIND_LAND:
        static_cast<CLand*>(item)->GetFrameData(&outline, 0.0);
        break;
    case KIND_ARC:
        static_cast<CArc*>(item)->GetFrameData(&outline, 0, 0.0);
        break;
    case KIND_SUR:
        static_cast<CSur*>(item)->GetFrameData(&outline, 0.0);
        break;
    default:
        break;
    }
    // The pad's outer circle, whatever its shape.
    circle.NewArc(m_ptPoint, GetLineWidth() * 0.5, 0.0, 0.0, 0, 0);
    return outline.CheckFrameShort(&circle, where);
}

// ---------------------------------------------------------------------------------------------
// Clearance

int CLand::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->DRC_ShortCheck(drc, this);
    case KIND_ARC:
        return static_cast<CArc*>(item)->DRC_ShortCheck(drc, this);
    case KIND_TEXT:
        return static_cast<CText*>(item)->DRC_ShortCheck(drc, this);
    case KIND_SUR:
        return static_cast<CSur*>(item)->DRC_ShortCheck(drc, this);
    case KIND_LAND:
        break;
    case KIND_HOLE: {
        CHole* hole = static_cast<CHole*>(item);
        if (!contact::RectsMeet(contact::Grown(GetBoundingRect(), drc->holeMargin), hole->GetBoundingRect()))
            return 0;
        // A pad over the hole is as close as it can be; pads wired to the hole are left out by the
        // callers that know the copper groups.
        const double m = drc->holeMargin - contact::kAtRule;
        CHole grown(*hole);
        grown.ResetParent();
        double diameter, width, radius, angle;
        grown.GetSHoleData(diameter, width, radius, angle);
        if (grown.IsHole())
            grown.SetHoleDia(diameter + 2.0 * m);
        else
            grown.SetSHoleData(diameter + 2.0 * m, width + 2.0 * m, radius + m, angle);
        if (!CheckShort(&grown))
            return 0;
        contact::AppendErrorPoints(drc, m_ptPoint, hole->GetPoint());
        return 1;
    }
    default:
        return 0;
    }

    CLand* other = static_cast<CLand*>(item);
    const double c = (GetID() != 0 && other->GetID() != 0) ? drc->netClearance : drc->plainClearance;
    const CDRect& mine = GetBoundingRect();
    const CDRect& theirs = other->GetBoundingRect();
    if (!contact::RectsMeet(contact::Grown(mine, c), theirs))
        return 0;
    // Pads that touch or overlap are closer than any rule: which of them are wired together only
    // the copper groups know, and their checks leave those pairs out.
    const bool square = IsSquare(*this), otherSquare = IsSquare(*other);
    bool violation;
    if (!square && !otherSquare) {
        violation = contact::Closer(m_ptPoint.GetLength(other->m_ptPoint),
                                    (GetLineWidth() + other->GetLineWidth()) * 0.5 + c);
    } else if (!square) {
        // The nearest point of the square pad (its corners included).
        violation = contact::Closer(contact::DistanceToRect(theirs, m_ptPoint), c + GetLineWidth() * 0.5);
    } else if (!otherSquare) {
        violation =
            contact::Closer(contact::DistanceToRect(mine, other->m_ptPoint), c + other->GetLineWidth() * 0.5);
    } else {
        // Two squares: the rectangle grown by the clearance overlaps the other's. The gaps are
        // negative where the pads overlap, so that overlap breaks even a clearance of 0.
        const double dx = std::max(theirs.left - mine.right, mine.left - theirs.right);
        const double dy = std::max(theirs.top - mine.bottom, mine.top - theirs.bottom);
        violation = contact::Closer(dx, c) && contact::Closer(dy, c);
    }
    if (!violation)
        return 0;
    contact::AppendErrorPoints(drc, m_ptPoint, other->m_ptPoint);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Outline

void CLand::GetFrameData(CSheet* sheet, double grow)
{
    if (!sheet)
        return;
    const tagTURRET turret = GetTurret();
    const double r = turret.size1 * 0.5 + grow;
    if (r <= 0.0)
        return;
    const CDPoint& p = m_ptPoint;
    if (turret.shape == TURRET_SQUARE) {
        const CDPoint corners[4] = {CDPoint(p.x - r, p.y - r), CDPoint(p.x + r, p.y - r),
                                    CDPoint(p.x + r, p.y + r), CDPoint(p.x - r, p.y + r)};
        for (int i = 0; i < 4; ++i)
            sheet->NewLine(corners[i], corners[(i + 1) % 4], 0, 0);
    } else if (turret.shape == TURRET_DONUT) {
        const double g = turret.size2 * 0.5 - grow;
        if (r >= g) {
            sheet->NewArc(p, r, 0.0, 0.0, 0, 0);
            if (g > 0.0)
                sheet->NewArc(p, g, 0.0, 0.0, 0, 0);
        } else {
            sheet->NewArc(p, (turret.size1 - turret.size2) * 0.5, 0.0, 0.0, 0, 0);
        }
    } else {
        sheet->NewArc(p, r, 0.0, 0.0, 0, 0);
    }
}
