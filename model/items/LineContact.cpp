// Line contact (does the copper of the line touch another item), clearance against the design rule
// and the outline of the drawn line. Most tests work in the line frame: the plane turned about the
// start by minus the line's angle, in which the line runs from the start along +x.

#include "model/geometry/Geometry.h"
#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;

// A work land standing for a piece of a line's copper: the line's turret, and the line's id so
// that the clearance between two netted items is the netted one.
CLand WorkLand(const CDPoint& at, int turret, std::uint32_t id)
{
    CLand land(at, turret);
    land.SetID(id);
    return land;
}

// A line's angle, the turn into its frame and the x of its end there, worked out by the first
// pad test that gets past the bounds: a pair of lines tests up to four pads against the two lines.
struct LineFrame
{
    explicit LineFrame(CLine& l) : line(l) {}

    void Make()
    {
        if (made)
            return;
        a = line.GetAngle();
        back = contact::Turn(line.GetStartPoint(), -a);
        x2 = back(line.GetEndPoint()).x;
        made = true;
    }

    CLine& line;
    bool made = false;
    double a = 0.0;
    contact::Turn back{CDPoint(), 0.0};
    double x2 = 0.0;
};

// Whether the pad touches the line's copper: the body, or a pad of the line's turret at the
// nearer end.
int PadTouchesLine(LineFrame& frame, CLand* land)
{
    CLine& line = frame.line;
    if (!contact::RectsMeet(line.GetBoundingRect(), land->GetBoundingRect()))
        return 0;
    const CDPoint& p = land->GetPoint();
    const CDPoint& start = line.GetStartPoint();
    const CDPoint& end = line.GetEndPoint();
    if (p == start || p == end)
        return 1;
    frame.Make();
    const CDPoint q = frame.back(p);
    const double x1 = start.x, y1 = start.y, x2 = frame.x2;
    if (line.GetLineWidth() + land->GetBoundingRect().Width() < 2.0 * std::fabs(q.y - y1))
        return 0;
    if (q.x < x1 || q.x > x2) {
        CLand cap(q.x < x1 ? start : end, line.GetTurretNo());
        return cap.CheckShort(land);
    }
    return 1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Contact

bool CLine::Covers(const CDPoint& p)
{
    // The hit test leaves out the right and bottom edges of the bounds; copper exactly at the
    // line's edge touches on every side.
    return CheckPoint(p) || CheckPointBody(p);
}

int CLine::CheckShort(CItemBase* item)
{
    if (!item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE:
        return CheckShort(static_cast<CLine*>(item));
    case KIND_LAND:
        return CheckShort(static_cast<CLand*>(item));
    case KIND_ARC:
        return CheckShort(static_cast<CArc*>(item));
    case KIND_HOLE:
        return CheckShort(static_cast<CHole*>(item));
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckShort(this);
    default:
        return 0;
    }
}

int CLine::CheckShort(CLine* other)
{
    if (!contact::RectsMeet(GetBoundingRect(), other->GetBoundingRect()))
        return 0;
    if (other->m_ptStart == m_ptEnd || other->m_ptEnd == m_ptStart || other->m_ptEnd == m_ptEnd ||
        other->m_ptStart == m_ptStart)
        return 1;

    // The round (or square) ends of each line against the other line.
    LineFrame mine(*this), theirs(*other);
    CLand land(other->m_ptStart, other->m_nTurret);
    if (PadTouchesLine(mine, &land))
        return 1;
    land.SetPoint(other->m_ptEnd);
    if (PadTouchesLine(mine, &land))
        return 1;
    land.SetTurretNo(m_nTurret, false);
    land.SetPoint(m_ptStart);
    if (PadTouchesLine(theirs, &land))
        return 1;
    land.SetPoint(m_ptEnd);
    if (PadTouchesLine(theirs, &land))
        return 1;

    mine.Make();
    const CDPoint s = mine.back(other->m_ptStart), e = mine.back(other->m_ptEnd);
    const double x1 = m_ptStart.x, y1 = m_ptStart.y, x2 = mine.x2;
    if (std::fabs(s.y - e.y) > GEOM_TOLERANCE) {
        if ((e.y - y1) * (s.y - y1) < 0.0) {
            const double x = s.x + (e.x - s.x) * (y1 - s.y) / (e.y - s.y);
            return (x1 <= x && x <= x2) ? 1 : 0;
        }
        return 0;
    }
    if (2.0 * std::fabs(s.y - y1) > GetLineWidth() + other->GetLineWidth())
        return 0;
    return ((x1 <= s.x && s.x <= x2) || (x1 <= e.x && e.x <= x2)) ? 1 : 0;
}

int CLine::CheckShort(CLand* land)
{
    LineFrame frame(*this);
    return PadTouchesLine(frame, land);
}

int CLine::CheckShort(CHole* hole)
{
    if (!contact::RectsMeet(GetBoundingRect(), hole->GetBoundingRect()))
        return 0;
    const CDPoint& p = hole->GetPoint();
    if (p == m_ptStart || p == m_ptEnd)
        return 1;
    double diameter, width, radius, angle;
    hole->GetSHoleData(diameter, width, radius, angle);

    if (hole->IsHole()) {
        LineFrame frame(*this);
        frame.Make();
        const CDPoint q = frame.back(p);
        const double x1 = m_ptStart.x, y1 = m_ptStart.y, x2 = frame.x2;
        if ((GetLineWidth() + diameter) * 0.5 < std::fabs(q.y - y1))
            return 0;
        if (q.x < x1 || q.x > x2) {
            CLand end(q.x < x1 ? m_ptStart : m_ptEnd, m_nTurret);
            return end.CheckShort(hole);
        }
        return 1;
    }

    if (hole->GetHoleShape() == HOLE_LONG) {
        // Two round holes at the end centres and the box between them.
        const double t = (width - diameter) * 0.5;
        for (const double dx : {t, -t}) {
            CDPoint c(p.x + dx, p.y);
            c.Rotate(p, angle);
            CHole end(c, diameter, true, 0.0, 0.0, 0.0);
            if (CheckShort(&end))
                return 1;
        }
        CHole box(p, diameter, false, width - diameter, 0.0, angle);
        box.ModifyType(HOLE_RECT, HOLE_SHAPE_MASK);
        return CheckShort(&box);
    }

    // Rectangular hole: its turned box.
    CDRect wh;
    hole->GetHoleWH(wh);
    CDPoint corners[4] = {wh.TopLeft(), CDPoint(wh.left, wh.bottom), wh.BottomRight(),
                          CDPoint(wh.right, wh.top)};
    for (CDPoint& c : corners)
        c.Rotate(p, angle);
    const double half = GetLineWidth() * 0.5;
    for (int i = 0; i < 4; ++i) {
        const CDPoint& from = corners[i];
        const CDPoint& to = corners[(i + 1) % 4];
        if (CrossAPoint(CLine(from, to, 0, 0)))
            return 1;
        // The copper beside the centre line reaches the edge too.
        if (contact::SegmentDistance(m_ptStart, m_ptEnd, from, to) <= half)
            return 1;
    }
    // A line that ends inside the hole touches it without crossing an edge.
    return (hole->CheckPoint(m_ptStart) || hole->CheckPoint(m_ptEnd)) ? 1 : 0;
}

int CLine::CheckShort(CArc* arc)
{
    if (!contact::RectsMeet(GetBoundingRect(), arc->GetBoundingRect()))
        return 0;
    if (Covers(arc->GetStartPoint()) || Covers(arc->GetEndPoint()) || arc->CheckPoint(m_ptStart) ||
        arc->CheckPoint(m_ptEnd))
        return 1;
    CSheet mine(SHEET_WORK), theirs(SHEET_WORK);
    GetFrameData(&mine, 0.0);
    arc->GetFrameData(&theirs, 0, 0.0);
    return mine.CheckFrameShort(&theirs, nullptr);
}

int CLine::CheckShort(const CDPoint* points, int n)
{
    int segments;
    bool ring = false;
    if (n >= 2) {
        segments = n - 1;
    } else if (n < 0) {
        segments = -n - 1;
        ring = true;
    } else {
        return 0;
    }
    const double half = GetLineWidth() * 0.5;
    const auto touches = [&](const CDPoint& p0, const CDPoint& p1) {
        CDRect r(p0, p1);
        r.NormalizeRect();
        if (!r.IsRectEmpty() && !contact::RectsMeet(r, GetBoundingRect()))
            return false;
        if (Covers(p0) || Covers(p1))
            return true;
        const double a = GetAngle();
        CDPoint s(p0.x - m_ptStart.x, p0.y - m_ptStart.y), e(p1.x - m_ptStart.x, p1.y - m_ptStart.y);
        s.Rotate(-a);
        e.Rotate(-a);
        if (s.y * e.y >= 0.0)
            return false;
        const double x = s.x - s.y * (e.x - s.x) / (e.y - s.y);
        return -half <= x && x <= GetLength() + half;
    };
    for (int i = 0; i < segments; ++i)
        if (touches(points[i], points[i + 1]))
            return 1;
    if (ring && touches(points[-n - 1], points[0]))
        return 1;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Clearance

int CLine::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE: {
        CLine* other = static_cast<CLine*>(item);
        // Lines that are not within the netted clearance of each other are never checked further,
        // whatever their ids.
        if (!contact::RectsMeet(contact::Grown(GetBoundingRect(), drc->netClearance),
                                other->GetBoundingRect()))
            return 0;
        // Touching copper is connected, not a clearance error.
        if (CheckShort(other))
            return 0;
        CLand theirs = WorkLand(other->m_ptStart, other->m_nTurret, other->m_nID);
        if (DRC_ShortCheck(drc, &theirs))
            return 1;
        theirs.SetPoint(other->m_ptEnd);
        if (DRC_ShortCheck(drc, &theirs))
            return 1;
        CLand ours = WorkLand(m_ptStart, m_nTurret, m_nID);
        if (other->DRC_ShortCheck(drc, &ours))
            return 1;
        ours.SetPoint(m_ptEnd);
        if (other->DRC_ShortCheck(drc, &ours))
            return 1;
        // The barb ends of the other line's arrow heads.
        const struct
        {
            const CDPoint& tip;
            const CDPoint& back;
            int code;
        } arrows[2] = {{other->m_ptStart, other->m_ptEnd, other->m_nStartArrow},
                       {other->m_ptEnd, other->m_ptStart, other->m_nEndArrow}};
        for (const auto& arrow : arrows) {
            if (arrow.code <= 0)
                continue;
            CDPoint pts[3] = {arrow.tip, arrow.back, CDPoint()};
            CalcArrowPoint(pts, arrow.code);
            for (int i = 1; i <= 2; ++i) {
                theirs.SetPoint(pts[i]);
                if (DRC_ShortCheck(drc, &theirs))
                    return 1;
            }
        }
        return 0;
    }
    case KIND_LAND:
        return CheckLandClearance(drc, static_cast<CLand*>(item));
    case KIND_ARC:
        return static_cast<CArc*>(item)->DRC_ShortCheck(drc, this);
    case KIND_TEXT:
        return static_cast<CText*>(item)->DRC_ShortCheck(drc, this);
    case KIND_HOLE: {
        CHole* hole = static_cast<CHole*>(item);
        if (hole->DRC_ShortCheck(drc, this))
            return 1;
        const auto shorts = [&](CLine& barb) { return hole->DRC_ShortCheck(drc, &barb) != 0; };
        return stroke::AnyArrowBarb(*this, shorts) ? 1 : 0;
    }
    case KIND_SUR:
        return static_cast<CSur*>(item)->DRC_ShortCheck(drc, this);
    default:
        return 0;
    }
}

int CLine::CheckLandClearance(tagDRCSPEC* drc, CLand* land)
{
    const double c = land->GetID() != 0 ? drc->netClearance : drc->plainClearance;
    const CDRect& landRect = land->GetBoundingRect();
    const double landWidth = contact::Round8(landRect.Width());
    if (!contact::RectsMeet(contact::Grown(landRect, c), GetBoundingRect()))
        return 0;
    // A land on the line is closer than any rule; the copper groups' checks leave out the lands
    // wired to it.

    const double a = GetAngle();
    double h = GetLineWidth() * 0.5;
    if (GetTurret().shape == TURRET_SQUARE && a != 0.0)
        h *= std::fabs(std::sin(a)) + std::fabs(std::cos(a));
    const double limit = c + h;
    const contact::Turn back(m_ptStart, -a), ahead(m_ptStart, a);
    const double x1 = m_ptStart.x, y1 = m_ptStart.y, x2 = back(m_ptEnd).x;
    const CDPoint q = back(land->GetPoint());
    CDPoint foot = ahead(CDPoint(q.x, y1));

    bool violation = false;
    if (land->GetTurret().shape == TURRET_SQUARE) {
        const CDPoint corners[4] = {landRect.TopLeft(), CDPoint(landRect.right, landRect.top),
                                    CDPoint(landRect.left, landRect.bottom), landRect.BottomRight()};
        for (const CDPoint& pad : corners) {
            const CDPoint corner = back(pad);
            if (x1 <= corner.x && corner.x <= x2 && contact::Closer(std::fabs(corner.y - y1), limit)) {
                violation = true;
                break;
            }
        }
        // The corners miss a pad that the line runs through or ends in, with every corner far from
        // its axis; the pad's copper then lies on the line's.
        if (!violation && contact::SegmentMeetsRect(m_ptStart, m_ptEnd, landRect)) {
            violation = true;
            foot = ahead(CDPoint(std::clamp(q.x, x1, x2), y1));
        }
    } else {
        const double reach = landWidth * 0.5 + limit;
        violation = x1 <= q.x && q.x <= x2 && contact::Closer(foot.GetLength(land->GetPoint()), reach);
    }
    if (violation) {
        contact::AppendErrorPoints(drc, land->GetPoint(), foot);
        return 1;
    }

    // The copper at the nearer end, by the land-to-land rule.
    CLand end = WorkLand(q.x >= x2 ? m_ptEnd : m_ptStart, m_nTurret, m_nID);
    if (land->DRC_ShortCheck(drc, &end))
        return 1;

    if (stroke::AnyArrowBarb(*this, [&](CLine& barb) {
            barb.SetID(m_nID);
            return barb.DRC_ShortCheck(drc, land) != 0;
        }))
        return 1;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Outline

void CLine::GetFrameData(CSheet* sheet, double grow)
{
    if (!sheet)
        return;
    const double w = grow + GetLineWidth() * 0.5;
    if ((m_nTurret == 0 && grow == 0.0) || w <= 0.0) {
        sheet->NewLine(m_ptStart, m_ptEnd, 0, 0);
    } else if (GetTurret().shape != TURRET_SQUARE) {
        const double a = GetAngle();
        const CDPoint& s = m_ptStart;
        const double length = FrameEnd(a).x - s.x;
        for (const double dy : {w, -w}) {
            CDPoint from(s.x, s.y + dy), to(s.x + length, s.y + dy);
            from.Rotate(s, a);
            to.Rotate(s, a);
            sheet->NewLine(from, to, 0, 0);
        }
        sheet->NewArc(m_ptStart, w, a + kHalfPi, a - kHalfPi, 0, 0);
        sheet->NewArc(m_ptEnd, w, a - kHalfPi, a + kHalfPi, 0, 0);
    } else {
        double a = GetAngle();
        NormalizeAngle(a);
        const bool axisParallel =
            std::fabs(a) <= GEOM_TOLERANCE || std::fabs(a - kHalfPi) <= GEOM_TOLERANCE ||
            std::fabs(a - kPi) <= GEOM_TOLERANCE || std::fabs(a - 3.0 * kHalfPi) <= GEOM_TOLERANCE;
        CDPoint hull[6];
        int count;
        if (axisParallel) {
            const double l = std::min(m_ptStart.x, m_ptEnd.x) - w, r = std::max(m_ptStart.x, m_ptEnd.x) + w;
            const double t = std::min(m_ptStart.y, m_ptEnd.y) - w, b = std::max(m_ptStart.y, m_ptEnd.y) + w;
            hull[0] = CDPoint(l, t);
            hull[1] = CDPoint(r, t);
            hull[2] = CDPoint(r, b);
            hull[3] = CDPoint(l, b);
            count = 4;
        } else {
            // For a line rising to the right; the other quadrants mirror it.
            const double sx = (m_ptEnd.x >= m_ptStart.x ? 1.0 : -1.0) * w;
            const double sy = (m_ptEnd.y >= m_ptStart.y ? 1.0 : -1.0) * w;
            const CDPoint& s = m_ptStart;
            const CDPoint& e = m_ptEnd;
            hull[0] = CDPoint(s.x - sx, s.y - sy);
            hull[1] = CDPoint(s.x + sx, s.y - sy);
            hull[2] = CDPoint(e.x + sx, e.y - sy);
            hull[3] = CDPoint(e.x + sx, e.y + sy);
            hull[4] = CDPoint(e.x - sx, e.y + sy);
            hull[5] = CDPoint(s.x - sx, s.y + sy);
            count = 6;
        }
        for (int i = 0; i < count; ++i)
            sheet->NewLine(hull[i], hull[(i + 1) % count], 0, 0);
    }

    stroke::ForEachArrowBarb(*this, [&](CLine& barb) { barb.GetFrameData(sheet, grow); });
}

int CLine::ConvertLine(CSheet& sheet)
{
    GetFrameData(&sheet, 0.0);
    return 1;
}
