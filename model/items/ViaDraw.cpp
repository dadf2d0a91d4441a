// Via drawing: the land the via has on the layer being drawn, or its drilled hole in drill view.

#include "model/items/Via.h"

#include "model/items/Land.h"
#include "platform/DrawContext.h"

namespace {

constexpr int kDrillView = 0x10000;

CRect Grown(const CRect& r, int d)
{
    return CRect(r.left - d, r.top - d, r.right + d, r.bottom + d);
}

} // namespace

void CVia::DrawVia(platform::DrawContext* dc, int bits, int layer, int mode, bool force)
{
    if (!dc)
        return;
    if (!dc->RectVisible(Grown(GetBoundingRect().IntRect(), 2)) && !force)
        return;

    if (bits & kDrillView) {
        const double radius = GetVia().drill / 2;
        const CRect box = CDRect(m_ptPoint, radius).IntRect();
        if (!dc->RectVisible(Grown(box, 2)))
            return;
        if (!(mode & 0x4)) {
            // The pen stays off the fill: the outline below is drawn once, so that an XOR drawing
            // toggles it once too.
            const platform::Brush previousBrush =
                dc->SelectStockBrush(dc->IsPrinting() ? WHITE_BRUSH : BLACK_BRUSH);
            const platform::Pen previousPen = dc->SelectStockPen(NULL_PEN);
            dc->Ellipse(box);
            dc->SelectPen(previousPen);
            dc->SelectBrush(previousBrush);
        }
        const CPoint on = CDPoint(m_ptPoint.x + radius, m_ptPoint.y).IntPoint();
        dc->Arc(box, on, on);
        const CPoint centre = m_ptPoint.IntPoint();
        if (m_nType & (VIA_TEST_HOLE | VIA_CHECK_HOLE)) {
            dc->MoveTo(box.left, centre.y);
            dc->LineTo(box.right, centre.y);
        }
        if (m_nType & VIA_CHECK_HOLE) {
            dc->MoveTo(centre.x, box.top);
            dc->LineTo(centre.x, box.bottom);
        }
        return;
    }

    // The land of the layer's group: the resist land, else the wiring pair or the plain pair,
    // whose first land is for a via wired on this layer.
    int turret;
    const int group = (bits & VIA_SHEET_GROUP1) ? 0 : (bits & VIA_SHEET_GROUP3) ? 10 : 5;
    if (bits & VIA_SHEET_RESIST) {
        turret = LandTurret(group + 2);
    } else {
        const int pair = group + ((bits & VIA_SHEET_WIRING) ? 3 : 0);
        turret = LandTurret(CheckWire(layer) ? pair : pair + 1);
    }
    if (turret != 0)
        CLand(m_ptPoint, turret).DrawLand(dc, mode);
}
