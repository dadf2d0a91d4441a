// Drawing a net's rubber lines.

#include "model/net/Net.h"

#include "platform/DrawContext.h"

void CNet::DrawNet(platform::DrawContext* dc) const
{
    if (!dc)
        return;
    // Four units of slack so that a line on the rectangle's edge is not cut off.
    CRect r = m_rcBound.IntRect();
    r.left -= 4;
    r.top -= 4;
    r.right += 4;
    r.bottom += 4;
    if (!dc->RectVisible(r))
        return;
    const platform::Pen old = dc->SelectPen(platform::Pen(PS_DOT, 0, m_Color));
    for (const auto& line : m_RubberLines) {
        dc->MoveTo(line->fromPoint.IntPoint());
        dc->LineTo(line->toPoint.IntPoint());
    }
    dc->SelectPen(old);
}
