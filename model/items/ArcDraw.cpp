// Arc drawing: the centre line in its line type, the outline of a wide arc, the wide arc as one
// stroke of a pen as wide as the line, arrow heads and dots, and the name text.

#include "model/items/Arc.h"

#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "platform/DrawContext.h"

#include <utility>

void CArc::DrawArc(platform::DrawContext* dc, int mode)
{
    if (!dc)
        return;
    if (!dc->RectVisible(GetBoundingRect().IntRect()))
        return;
    const double h = GetLineWidth() / 2;
    if (m_nTurret == 0 || h == 0.0)
        mode = 1;

    // The device draws arcs counter-clockwise: a clockwise arc is passed from its end to its start.
    // A full circle passes one point twice, so that rounding cannot leave it a sliver.
    const bool circle = IsCircle();
    double fromAngle = m_dStartAngle;
    double toAngle = m_dEndAngle;
    if (IsCW())
        std::swap(fromAngle, toAngle);
    const CPoint from = GetPoint(fromAngle).IntPoint();
    const CPoint to = circle ? from : GetPoint(toAngle).IntPoint();
    const auto circleBox = [&](double radius) { return CDRect(m_ptCenter, radius).IntRect(); };

    switch (mode & ~0x80) {
    case 1: {
        const int lineType = GetLineType();
        if (lineType != 0) {
            platform::Pen pen = dc->GetPen();
            pen.style = (pen.style & ~PS_STYLE_MASK) | stroke::LineTypePenStyle(lineType, pen.Style());
            const platform::Pen previous = dc->SelectPen(pen);
            dc->Arc(circleBox(m_dRadius), from, to);
            dc->SelectPen(previous);
        } else {
            dc->Arc(circleBox(m_dRadius), from, to);
        }
        break;
    }
    case 2:
    case 8:
        // Outer edge, the round ends, inner edge. A full circle has no ends to close.
        dc->Arc(circleBox(m_dRadius + h), from, to);
        if (!circle) {
            const CDPoint fromPoint = GetPoint(fromAngle);
            const CDPoint toPoint = GetPoint(toAngle);
            dc->Arc(CDRect(toPoint, h).IntRect(), GetPoint(toAngle, m_dRadius + h).IntPoint(),
                    GetPoint(toAngle, m_dRadius - h).IntPoint());
            dc->Arc(CDRect(fromPoint, h).IntRect(), GetPoint(fromAngle, m_dRadius - h).IntPoint(),
                    GetPoint(fromAngle, m_dRadius + h).IntPoint());
        }
        if (m_dRadius - h > 0.0)
            dc->Arc(circleBox(m_dRadius - h), from, to);
        break;
    case 4: {
        const int cap = GetTurret().shape == TURRET_SQUARE ? PS_ENDCAP_SQUARE : PS_ENDCAP_ROUND;
        const int width = static_cast<int>(GetLineWidth() * CDPoint::GetScale());
        const platform::Pen pen =
            platform::Pen::FromBrush(PS_INSIDEFRAME | cap, width, platform::Brush::Solid(dc->GetPen().color));
        const platform::Pen previous = dc->SelectPen(pen);
        dc->Arc(circleBox(m_dRadius), from, to);
        dc->SelectPen(previous);
        break;
    }
    default:
        break;
    }

    DrawArrow(dc, mode);
    if (m_nType & ARC_NAMED)
        Name().DrawTextA(dc, 1);
}

void CArc::DrawArrow(platform::DrawContext* dc, int mode)
{
    for (const int end : {1, 2}) {
        const int code = end == 1 ? m_nStartArrow : m_nEndArrow;
        if (code > 0) {
            CLine first;
            CLine second;
            if (end == 1)
                GetStartArrowLine(&first, &second);
            else
                GetEndArrowLine(&first, &second);
            first.DrawLine(dc, mode);
            second.DrawLine(dc, mode);
        } else if (code < 0) {
            const CDPoint tip = end == 1 ? GetStartPoint() : GetEndPoint();
            const CRect box = CDRect(tip, GetDotRadius(code)).IntRect();
            const CPoint on(box.right, box.top + (box.bottom - box.top) / 2);
            dc->Arc(box, on, on);
        }
    }
}
