// The outline of a hole as line and arc items of turret 0, grown on every side: the geometric tests
// of holes and lands build it in scratch sheets.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/sheet/Sheet.h"

#include <numbers>

void CHole::GetFrameData(CSheet* sheet, double grow)
{
    if (!sheet)
        return;
    const double h = m_dDia * 0.5 + grow;
    if (h <= 0.0)
        return;
    const CDPoint& p = m_ptPoint;
    const double angle = GetAngle();
    if (IsHole()) {
        sheet->NewArc(p, h, 0.0, 0.0, 0, 0);
        return;
    }
    if (GetHoleShape() != HOLE_LONG) {
        // The turned box; the corner radius is not drawn.
        const double w = m_dWidth * 0.5 + grow;
        CDPoint corners[4] = {CDPoint(p.x - w, p.y - h), CDPoint(p.x + w, p.y - h), CDPoint(p.x + w, p.y + h),
                              CDPoint(p.x - w, p.y + h)};
        for (CDPoint& c : corners)
            c.Rotate(p, angle);
        for (int i = 0; i < 4; ++i)
            sheet->NewLine(corners[i], corners[(i + 1) % 4], 0, 0);
        return;
    }
    // Long hole: two straight sides and two half circles about the end centres.
    const double e = (m_dWidth * 0.5 + grow) - h;
    CDPoint corners[4] = {CDPoint(p.x - e, p.y - h), CDPoint(p.x + e, p.y - h), CDPoint(p.x + e, p.y + h),
                          CDPoint(p.x - e, p.y + h)};
    for (CDPoint& c : corners)
        c.Rotate(p, angle);
    sheet->NewLine(corners[0], corners[1], 0, 0);
    sheet->NewLine(corners[2], corners[3], 0, 0);
    constexpr double kHalfPi = std::numbers::pi / 2.0;
    CArc left(CDPoint(p.x - e, p.y), h, kHalfPi, -kHalfPi, 0, 0);
    CArc right(CDPoint(p.x + e, p.y), h, -kHalfPi, kHalfPi, 0, 0);
    left.Rotate(p, angle);
    right.Rotate(p, angle);
    sheet->NewArc(left);
    sheet->NewArc(right);
}
