// Arc contact, clearance and outline: whether the arc's copper touches another item, whether it
// comes closer to one than the design rule allows, the outline of the wide stroke as hairline arcs
// and lines, and the rectangle hit test that is built on that outline.

#include "model/items/Arc.h"

#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// Ends this far apart (squared) get a closing segment in the clearance walk.
constexpr double kCloseDistance2 = 0.0001;

// The type an outline arc keeps: the direction and line type, without name or chaining marks
// (the outline carries no name text).
constexpr int kOutlineTypeDrop = ARC_NAMED | ARC_AUTO_SIZE | ARC_AUTO_ANGLE | ARC_SWAPPED;

} // namespace

// ---------------------------------------------------------------------------------------------
// Rectangle hit test

bool CArc::CheckPoint(const CDRect& r)
{
    if (!GetBoundingRect().IntersectRect(&r))
        return false;
    if (r.PtInRect(GetStartPoint()) || r.PtInRect(GetEndPoint()))
        return true;
    const CDPoint corners[4] = {CDPoint(r.left, r.top), CDPoint(r.right, r.top), CDPoint(r.right, r.bottom),
                                CDPoint(r.left, r.bottom)};
    for (const CDPoint& c : corners)
        if (CheckPoint(c))
            return true;

    // The stroke's outline against the four sides: a side that crosses it meets the stroke.
    CSheet outline(SHEET_WORK);
    GetFrameData(&outline, 0, 0.0);
    for (int i = 0; i < 4; ++i) {
        CLine side(corners[i], corners[(i + 1) % 4], 0, 0);
        POSITION pos = outline.GetFirstArcPos();
        while (pos)
            if (side.CrossAPoint(*outline.GetNextArc(pos)))
                return true;
        pos = outline.GetFirstLinePos();
        while (pos)
            if (side.CrossAPoint(*outline.GetNextLine(pos)))
                return true;
    }
    // A name text left behind by an arc that lost its name is not shown, so it is not hit.
    return (m_nType & ARC_NAMED) && Name().CheckPoint(r) != 0;
}

// ---------------------------------------------------------------------------------------------
// Copper contact

int CArc::CheckShort(CItemBase* item)
{
    if (!item)
        return 0;
    switch (item->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckShort(this);
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

namespace {

// A pad (land or hole) against the arc: near the stroke within the sweep, or else touching a land
// of the arc's turret at either end (round ends).
template <class Pad> int ArcTouchesPad(CArc& arc, Pad* pad)
{
    // Rectangles that only share an edge still hold copper that touches.
    const CDRect padRect = pad->GetBoundingRect();
    if (!contact::RectsMeet(arc.GetBoundingRect(), padRect))
        return 0;
    const double reach = (padRect.Width() + arc.GetLineWidth()) / 2.0;
    const CDPoint& centre = arc.GetCenter();
    const double d = pad->GetPoint().GetLength(centre);
    if (d > arc.GetRadius() + reach || d < arc.GetRadius() - reach)
        return 0;
    if (arc.CheckAngle(centre.GetAngle(pad->GetPoint())))
        return 1;
    CLand end(arc.GetStartPoint(), arc.GetTurretNo());
    if (end.CheckShort(pad))
        return 1;
    end.SetPoint(arc.GetEndPoint());
    return end.CheckShort(pad) ? 1 : 0;
}

} // namespace

int CArc::CheckShort(CLand* land)
{
    return ArcTouchesPad(*this, land);
}

int CArc::CheckShort(CHole* hole)
{
    return ArcTouchesPad(*this, hole);
}

int CArc::CheckShort(CArc* other)
{
    if (!contact::RectsMeet(GetBoundingRect(), other->GetBoundingRect()))
        return 0;
    // The stroke walked as chords of this arc's turret (an arc too small for the polyline as one
    // chord from its start to its end), each tested against the other arc.
    const std::vector<CDPoint> points = GetSegmentPoints();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        CLine chord(points[i], points[i + 1], m_nTurret, 0);
        if (chord.CheckShort(other))
            return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Clearance

int CArc::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item)
        return 0;
    const int kind = item->GetKind();
    if (kind == KIND_TEXT)
        return static_cast<CText*>(item)->DRC_ShortCheck(drc, this);
    if (kind == KIND_SUR)
        return static_cast<CSur*>(item)->DRC_ShortCheck(drc, this);
    if (kind != KIND_LINE && kind != KIND_LAND && kind != KIND_ARC && kind != KIND_HOLE)
        return 0;

    CDRect reach = item->GetBoundingRect();
    reach.InflateRect(kind == KIND_HOLE ? drc->holeMargin : drc->netClearance);
    if (!GetBoundingRect().IntersectRect(&reach))
        return 0;
    // Strokes that touch are connected copper, as two touching lines are (taken for the whole arc,
    // so that the chords beside the joint do not report it). A hole is no copper: only a stroke
    // over its centre is wired to it. A pad is judged by the line rule, chord by chord.
    if (kind == KIND_HOLE ? CheckPoint(static_cast<CHole*>(item)->GetPoint())
                          : (kind != KIND_LAND && CheckShort(item)))
        return 0;

    const std::vector<CDPoint> points = GetSegmentPoints();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        CLine chord(points[i], points[i + 1], m_nTurret, 0);
        chord.SetID(m_nID);
        if (chord.DRC_ShortCheck(drc, item))
            return 1;
    }
    const CDPoint end = GetEndPoint();
    const CDPoint& last = points.back();
    const double dx = end.x - last.x, dy = end.y - last.y;
    if (dx * dx + dy * dy > kCloseDistance2) {
        CLine closing(last, end, m_nTurret, 0);
        if (closing.DRC_ShortCheck(drc, item))
            return 1;
    }

    const auto shorts = [&](CLine& barb) { return barb.DRC_ShortCheck(drc, item) != 0; };
    return stroke::AnyArrowBarb(*this, shorts) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Outline

void CArc::GetFrameData(CSheet* sheet, int flag, double grow)
{
    if (!sheet)
        return;
    double h = m_nTurret == 0 ? grow : grow + GetLineWidth() / 2.0;
    if (!(h > 0.0))
        h = 0.0;
    const int type = m_nType & ~kOutlineTypeDrop;
    sheet->NewArc(m_ptCenter, m_dRadius + h, m_dStartAngle, m_dEndAngle, type, 0);

    if (flag == 0 && h > 0.0) {
        const double inner = m_dRadius - h;
        if (inner > 1e-6)
            sheet->NewArc(m_ptCenter, inner, m_dStartAngle, m_dEndAngle, type, 0);
        if (!IsCircle()) {
            // Half circles round the ends, on the side away from the sweep.
            const double s = m_dStartAngle, e = m_dEndAngle;
            if (IsCW()) {
                sheet->NewArc(GetStartPoint(), h, s, s + kPi, 0, 0);
                sheet->NewArc(GetEndPoint(), h, e + kPi, e, 0, 0);
            } else {
                sheet->NewArc(GetStartPoint(), h, s + kPi, s, 0, 0);
                sheet->NewArc(GetEndPoint(), h, e, e + kPi, 0, 0);
            }
        }
    }

    for (int end = 1; end <= 2; ++end) {
        const int code = end == 1 ? m_nStartArrow : m_nEndArrow;
        if (code > 0) {
            CDPoint pts[3];
            CalcArrowPoint(end, pts);
            CLine(pts[0], pts[1], m_nTurret, 0).GetFrameData(sheet, grow);
            CLine(pts[0], pts[2], m_nTurret, 0).GetFrameData(sheet, grow);
        } else if (code < 0) {
            const double radius = grow + GetDotRadius(code);
            if (radius > 0.0)
                sheet->NewArc(end == 1 ? GetStartPoint() : GetEndPoint(), radius, 0.0, 0.0, 0, 0);
        }
    }
}
