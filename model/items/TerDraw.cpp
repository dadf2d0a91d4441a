// Terminal drawing: a cross at the pin and, when asked, its number.

#include "model/items/Ter.h"

#include "platform/DrawContext.h"

void CTer::DrawTer(platform::DrawContext* dc, int withText)
{
    if (!dc)
        return;
    const CRect area = GetBoundingRect().IntRect();
    if (!dc->RectVisible(area) || IsVirtualTer())
        return;
    const CPoint p = m_ptPoint.IntPoint();
    dc->MoveTo(p.x - 10, p.y - 10);
    dc->LineTo(p.x + 10, p.y + 10);
    dc->MoveTo(p.x + 10, p.y - 10);
    dc->LineTo(p.x - 10, p.y + 10);
    if (withText)
        m_NoText.DrawTextA(dc, 1);
}
