#include "controls/GfxToolBarImages.h"

#include <QPainter>
#include <map>

namespace {

// Simple drawn images for the edit commands: cut, copy, paste, undo.
QPixmap DrawEditStrip(const QColor& accent)
{
    QPixmap strip(16 * 4, 15);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen ink(QColor(40, 40, 40), 1.2);
    // Cut: two blades and their rings.
    p.setPen(ink);
    p.drawLine(QPointF(5, 1), QPointF(10, 9));
    p.drawLine(QPointF(11, 1), QPointF(6, 9));
    p.setPen(QPen(accent, 1.4));
    p.drawEllipse(QPointF(5, 11.5), 2.3, 2.3);
    p.drawEllipse(QPointF(11, 11.5), 2.3, 2.3);
    // Copy: two sheets.
    p.translate(16, 0);
    p.setPen(ink);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 8, 9));
    p.setBrush(QColor(230, 240, 255));
    p.setPen(QPen(accent, 1.2));
    p.drawRect(QRectF(5.5, 4.5, 8, 9));
    // Paste: a board with a sheet.
    p.translate(16, 0);
    p.setPen(ink);
    p.setBrush(QColor(200, 160, 90));
    p.drawRect(QRectF(1.5, 2.5, 10, 11));
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(4.5, 1, 4, 3));
    p.setBrush(Qt::white);
    p.setPen(QPen(accent, 1.2));
    p.drawRect(QRectF(7.5, 6.5, 7, 7.5));
    // Undo: a bent arrow.
    p.translate(16, 0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, 1.8));
    p.drawArc(QRectF(3, 3, 10, 9), 90 * 16, -200 * 16);
    p.setBrush(accent);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(1, 3.5), QPointF(7, 0.5), QPointF(7, 6.5)}));
    return strip;
}

QPixmap DrawMarkStrip()
{
    QPixmap strip(16, 15);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setPen(QPen(Qt::black, 2));
    p.drawPolyline(QPolygon({QPoint(4, 7), QPoint(7, 10), QPoint(12, 4)}));
    return strip;
}

std::map<int, GfxToolBar>& Registry()
{
    static std::map<int, GfxToolBar> bars;
    if (bars.empty()) {
        const std::vector<int> edit = {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_EDIT_UNDO};
        bars[IDR_GFX_EDIT] = GfxToolBar{16, 15, edit, DrawEditStrip(QColor(30, 90, 200))};
        bars[IDR_GFX_EDIT_LIBRARY] = GfxToolBar{16, 15, edit, DrawEditStrip(QColor(20, 140, 60))};
        bars[IDB_GFX_MARKS] = GfxToolBar{16, 15, {}, DrawMarkStrip()};
    }
    return bars;
}

} // namespace

void CGfxToolBarImages::Register(int id, GfxToolBar bar)
{
    Registry()[id] = std::move(bar);
}

const GfxToolBar* CGfxToolBarImages::Find(int id)
{
    const auto& bars = Registry();
    const auto it = bars.find(id);
    return it == bars.end() ? nullptr : &it->second;
}

QPixmap CGfxToolBarImages::Image(const GfxToolBar& bar, int n)
{
    if (n < 0 || bar.imageWidth <= 0 || (n + 1) * bar.imageWidth > bar.strip.width())
        return {};
    return bar.strip.copy(n * bar.imageWidth, 0, bar.imageWidth, bar.imageHeight);
}
