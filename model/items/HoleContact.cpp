// Hole hit tests, snapping, copper contact, the clearance between holes, the design-rule check and
// the merging of the hole's wire ids into connected groups. Round holes are circles; long holes two
// circles of the diameter joined by a box of width width - diameter; rectangular holes their
// turned box (the corner radius plays no part).

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

// A scratch round hole.
CHole RoundHole(const CDPoint& at, double diameter)
{
    return CHole(at, diameter, true, 0.0, 0.0, 0.0);
}

// A scratch rectangular hole (whatever the ratio of its sizes).
CHole BoxHole(const CDPoint& at, double height, double width, double radius, double angle)
{
    CHole box(at, height, false, width, radius, angle);
    box.ModifyType(HOLE_RECT, HOLE_SHAPE_MASK);
    return box;
}

// The point at dx along the hole's axis from its position.
CDPoint AlongAxis(const CDPoint& position, double dx, double angle)
{
    CDPoint c(position.x + dx, position.y);
    c.Rotate(position, angle);
    return c;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Hit tests

int CHole::CheckPoint(const CDPoint& p)
{
    // The box's edges belong to the hole.
    if (!contact::PtInRectClosed(GetBoundingRect(), p))
        return 0;
    if (p.GetLength(m_ptPoint) <= m_dDia * 0.5)
        return 1;
    if (IsHole())
        return 0;
    const double angle = m_dAngle;
    if (GetHoleShape() == HOLE_LONG) {
        const double t = (m_dWidth - m_dDia) * 0.5;
        CHole end = RoundHole(AlongAxis(m_ptPoint, t, angle), m_dDia);
        if (end.CheckPoint(p))
            return 1;
        end.SetPoint(AlongAxis(m_ptPoint, -t, angle));
        if (end.CheckPoint(p))
            return 1;
        CHole box = BoxHole(m_ptPoint, m_dDia, m_dWidth - m_dDia, m_dRadius, angle);
        return box.CheckPoint(p);
    }
    CDPoint q = p;
    q -= m_ptPoint;
    q.Rotate(-angle);
    return (-m_dWidth * 0.5 <= q.x && q.x <= m_dWidth * 0.5 && -m_dDia * 0.5 <= q.y && q.y <= m_dDia * 0.5)
               ? 1
               : 0;
}

int CHole::CheckPoint(const CDRect& r)
{
    const CDRect& bounds = GetBoundingRect();
    if (!contact::RectsMeet(bounds, r))
        return 0;
    CDRect inside;
    inside.IntersectRect(&bounds, &r);
    if (inside == bounds)
        return 1;
    const CDPoint corners[4] = {r.TopLeft(), CDPoint(r.left, r.bottom), r.BottomRight(),
                                CDPoint(r.right, r.top)};
    for (const CDPoint& corner : corners)
        if (CheckPoint(corner))
            return 1;
    CSheet outline(SHEET_WORK);
    GetFrameData(&outline, 0.0);
    for (int i = 0; i < 4; ++i) {
        CLine edge(corners[i], corners[(i + 1) % 4], 0, 0);
        for (POSITION pos = outline.GetFirstLinePos(); pos;)
            if (edge.CrossAPoint(*outline.GetNextLine(pos)))
                return 1;
        for (POSITION pos = outline.GetFirstArcPos(); pos;)
            if (edge.CrossAPoint(*outline.GetNextArc(pos)))
                return 1;
    }
    return 0;
}

int CHole::CheckItemPoint(CDPoint& p, double tolerance)
{
    if (tolerance < 0.0) {
        if (!CheckPoint(p))
            return 0;
        p = m_ptPoint;
        return 1;
    }
    CDPoint snap = m_ptPoint;
    if (!IsHole()) {
        // The position or the end centre on the side of the click.
        const double angle = GetAngle();
        const double t = (m_dWidth - m_dDia) * 0.5;
        CDPoint q = p;
        q.Rotate(m_ptPoint, -angle);
        const double u = q.x - m_ptPoint.x;
        if (u < -t * 0.5)
            snap = AlongAxis(m_ptPoint, -t, angle);
        else if (u > t * 0.5)
            snap = AlongAxis(m_ptPoint, t, angle);
    }
    if (!snap.NearCheckPoint(p, tolerance))
        return 0;
    p = snap;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Contact

int CHole::CheckShort(CItemBase* item)
{
    if (!item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckShort(this);
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckShort(this);
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckShort(static_cast<CItemBase*>(this));
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckShort(this);
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckShort(this);
    case KIND_HOLE: {
        CHole* other = static_cast<CHole*>(item);
        if (!contact::RectsMeet(GetBoundingRect(), other->GetBoundingRect()))
            return 0;
        if (!IsHole() || !other->IsHole())
            return 1;
        return m_ptPoint.GetLength(other->m_ptPoint) <= (m_dDia + other->m_dDia) * 0.5 ? 1 : 0;
    }
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Clearance between holes

namespace {

// Gap between the edges of a round hole (centre c, diameter d) and a long or rectangular hole.
double RoundToShaped(const CDPoint& c, double d, CHole& shaped)
{
    double diameter, width, radius, angle;
    shaped.GetSHoleData(diameter, width, radius, angle);
    const CDPoint& q = shaped.GetPoint();
    CDPoint local = c;
    local.Rotate(q, -angle);
    local -= q;
    const double cx = std::fabs(local.x), cy = std::fabs(local.y);
    if (2.0 * cx <= width)
        return cy - (d + diameter) * 0.5;
    if (shaped.GetHoleShape() == HOLE_LONG) {
        // Beyond the end: the end's half circle about the end centre.
        const double t = (width - diameter) * 0.5;
        return std::hypot(cx - t, cy) - (d + diameter) * 0.5;
    }
    // Beyond the end of the box: the distance to its nearest point.
    const double dx = cx - width * 0.5;
    const double dy = std::max(cy - diameter * 0.5, 0.0);
    return std::hypot(dx, dy) - d * 0.5;
}

} // namespace

double CHole::GetClearance(CItemBase* item)
{
    if (!item || item->GetKind() != KIND_HOLE)
        return -1.0;
    CHole* other = static_cast<CHole*>(item);
    GetBoundingRect();
    other->GetBoundingRect();
    if (IsHole() && other->IsHole())
        return m_ptPoint.GetLength(other->m_ptPoint) - (m_dDia + other->m_dDia) * 0.5;
    if (IsHole())
        return RoundToShaped(m_ptPoint, m_dDia, *other);
    if (other->IsHole())
        return RoundToShaped(other->m_ptPoint, other->m_dDia, *this);

    // Both shaped: the round holes at each one's ends against the other, the smallest gap.
    double smallest = 0.0;
    bool first = true;
    CHole* pair[2][2] = {{this, other}, {other, this}};
    for (auto& [hole, against] : pair) {
        const double t =
            hole->GetHoleShape() == HOLE_LONG ? (hole->m_dWidth - hole->m_dDia) * 0.5 : hole->m_dWidth * 0.5;
        for (const double dx : {-t, t}) {
            const double gap =
                RoundToShaped(AlongAxis(hole->m_ptPoint, dx, hole->GetAngle()), hole->m_dDia, *against);
            if (first || gap < smallest)
                smallest = gap;
            first = false;
        }
    }
    // Outlines that cross cannot be measured this way.
    CSheet mine(SHEET_WORK), theirs(SHEET_WORK);
    GetFrameData(&mine, 0.0);
    other->GetFrameData(&theirs, 0.0);
    for (POSITION pos = mine.GetFirstLinePos(); pos;) {
        CLine* edge = mine.GetNextLine(pos);
        for (POSITION opos = theirs.GetFirstLinePos(); opos;)
            if (edge->CrossAPoint(*theirs.GetNextLine(opos)))
                return -1.0;
    }
    return smallest;
}

int CHole::CheckClearance(CItemBase* item, double distance)
{
    return GetClearance(item) >= distance ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Design-rule check

int CHole::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LAND:
        return static_cast<CLand*>(item)->DRC_ShortCheck(drc, this);
    case KIND_ARC:
        return static_cast<CArc*>(item)->DRC_ShortCheck(drc, this);
    case KIND_TEXT:
        return static_cast<CText*>(item)->DRC_ShortCheck(drc, this);
    case KIND_SUR:
        return static_cast<CSur*>(item)->DRC_ShortCheck(drc, this);
    case KIND_HOLE: {
        CHole* other = static_cast<CHole*>(item);
        if (!contact::RectsMeet(contact::Grown(other->GetBoundingRect(), drc->holeToHole), GetBoundingRect()))
            return 0;
        if (!IsHole() || !other->IsHole())
            return 1;
        return m_ptPoint.GetLength(other->m_ptPoint) <= (m_dDia + other->m_dDia) * 0.5 ? 1 : 0;
    }
    case KIND_LINE:
        return CheckLineClearance(drc, static_cast<CLine*>(item));
    default:
        return 0;
    }
}

int CHole::CheckLineClearance(tagDRCSPEC* drc, CLine* line)
{
    // A line over the centre is wired to the hole. A hole is no copper: a line that only crosses
    // its edge is a fault.
    if (line->CheckPoint(m_ptPoint))
        return 0;
    const double m = drc->holeMargin;
    if (!contact::RectsMeet(contact::Grown(GetBoundingRect(), m), line->GetBoundingRect()))
        return 0;

    // The line's copper as a pad at the foot of the perpendicular, then at its ends.
    CLand land;
    land.SetTurretNo(line->GetTurretNo(), false);
    int r = 0;
    CDPoint foot = m_ptPoint;
    if (line->CrossPoint(&foot)) {
        land.SetPoint(foot);
        r = land.DRC_ShortCheck(drc, this);
    }
    if (!r) {
        land.SetPoint(line->GetStartPoint());
        r = land.DRC_ShortCheck(drc, this);
    }
    if (!r) {
        land.SetPoint(line->GetEndPoint());
        r = land.DRC_ShortCheck(drc, this);
    }

    const double angle = GetAngle();
    if (!r && GetHoleShape() == HOLE_LONG) {
        const double t = (m_dWidth - m_dDia) * 0.5;
        for (const double dx : {t, -t}) {
            CHole end = RoundHole(AlongAxis(m_ptPoint, dx, angle), m_dDia);
            if ((r = end.DRC_ShortCheck(drc, line)) != 0)
                break;
        }
        if (!r) {
            CHole box = BoxHole(m_ptPoint, m_dDia, m_dWidth - m_dDia, 0.0, angle);
            r = box.DRC_ShortCheck(drc, line);
        }
    }
    if (!r && IsHoleRect()) {
        // The corners of the box grown by the margin; a corner that the line covers is a violation
        // (tested a hair inside, so that a line exactly at the margin passes).
        CDRect wh, inner;
        GetHoleWH(wh);
        inner = wh;
        wh.InflateRect(m);
        inner.InflateRect(m - contact::kAtRule);
        const CDPoint corners[4] = {wh.TopLeft(), CDPoint(wh.left, wh.bottom), wh.BottomRight(),
                                    CDPoint(wh.right, wh.top)};
        const CDPoint tested[4] = {inner.TopLeft(), CDPoint(inner.left, inner.bottom), inner.BottomRight(),
                                   CDPoint(inner.right, inner.top)};
        for (int i = 0; i < 4; ++i) {
            CDPoint corner = corners[i], probe = tested[i];
            corner.Rotate(m_ptPoint, angle);
            probe.Rotate(m_ptPoint, angle);
            if (line->CheckPoint(probe)) {
                contact::AppendErrorPoints(drc, m_ptPoint, corner);
                r = 1;
                break;
            }
        }
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// Wire ids into connected groups

namespace {

// Words of a group run that are ids: a run may open with the header -1, part id, internal index.
std::size_t RunIdStart(const std::vector<std::uint32_t>& groups, std::size_t begin, std::size_t end)
{
    if (begin < end && groups[begin] == 0xFFFFFFFFu)
        return std::min(begin + 3, end);
    return begin;
}

} // namespace

int CHole::CheckNet(int layers, std::vector<std::uint32_t>* groups)
{
    if (layers == 1)
        return 1;
    if (!groups)
        return 0;
    std::vector<std::uint32_t> ids;
    for (int layer = 1; layer <= layers; ++layer) {
        const std::uint32_t id = GetLayerID(layer);
        if (id != 0)
            ids.push_back(id);
    }
    if (ids.empty())
        return 0;
    // The hole's own id leads when the layers do not hold it (an id of 0 would end the run).
    if (m_nID != 0 && std::find(ids.begin(), ids.end(), m_nID) == ids.end())
        ids.insert(ids.begin(), m_nID);

    std::vector<std::uint32_t>& list = *groups;
    std::size_t begin = 0;
    while (begin < list.size()) {
        std::size_t end = begin;
        while (end < list.size() && list[end] != 0)
            ++end;
        if (contact::JoinGroupRun(list, RunIdStart(list, begin, end), end, ids))
            return 1;
        begin = end + 1;
    }
    list.insert(list.end(), ids.begin(), ids.end());
    list.push_back(0);
    return 1;
}
