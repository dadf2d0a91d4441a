#include "dialogs/TableImages.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap Blank(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Box(QPainter& p, const QColor& edge, const QBrush& fill)
{
    p.setPen(QPen(edge, 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
}

void Check(QPainter& p, const QColor& colour, qreal width)
{
    QPainterPath tick;
    tick.moveTo(4.0, 8.5);
    tick.lineTo(7.0, 11.5);
    tick.lineTo(12.0, 4.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

QPixmap CellImage(int index)
{
    QPixmap pixmap = Blank(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case TABLEIMG_OFF:
        Box(p, QColor(150, 150, 150), QColor(250, 250, 250));
        break;
    case TABLEIMG_ON:
        Box(p, QColor(0, 100, 0), QColor(40, 170, 40));
        Check(p, Qt::white, 2.0);
        break;
    case TABLEIMG_SHOWN:
        Box(p, QColor(110, 110, 110), QColor(225, 225, 225));
        Check(p, QColor(90, 90, 90), 1.6);
        break;
    case TABLEIMG_LOCKED:
        Box(p, QColor(110, 110, 110), QColor(250, 250, 250));
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 3.5, 6, 6), 0, 180 * 16);
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(4.5, 7, 7, 5));
        break;
    case TABLEIMG_MARKED:
        Box(p, QColor(150, 150, 150), QColor(250, 250, 250));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 150, 0));
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
        break;
    case TABLEIMG_CURRENT: {
        // A pencil on red: the layer or grid that is written to.
        Box(p, QColor(140, 0, 0), QColor(215, 30, 30));
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(11.5, 4.5), QPointF(6.0, 10.0));
        QPainterPath tip;
        tip.moveTo(4.0, 12.0);
        tip.lineTo(4.8, 9.2);
        tip.lineTo(6.8, 11.2);
        tip.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(tip);
        break;
    }
    default:
        break;
    }
    return pixmap;
}

QPixmap HeaderImage(int index)
{
    QPixmap pixmap = Blank(11);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 70), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 0.5, 10, 10));
    if (index == 1) {
        QPainterPath tick;
        tick.moveTo(2.5, 5.5);
        tick.lineTo(4.5, 8.0);
        tick.lineTo(8.5, 2.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 120, 0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
    }
    return pixmap;
}

QPixmap GridIcon(int size)
{
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 120), 1.0));
    p.setBrush(QColor(235, 240, 255));
    p.drawRect(QRectF(0.5, 0.5, size - 1, size - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 160));
    const qreal step = (size - 2) / 4.0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            p.drawEllipse(QPointF(1 + step * (i + 0.5), 1 + step * (j + 0.5)), size / 14.0, size / 14.0);
    return pixmap;
}

QPixmap PartIcon(int size)
{
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 150, 40));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(1 * s, (2.5 + 3 * i) * s, 3 * s, 1.5 * s));
        p.drawRect(QRectF(12 * s, (2.5 + 3 * i) * s, 3 * s, 1.5 * s));
    }
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(3.5 * s, 1 * s, 9 * s, 14 * s), 1.2 * s, 1.2 * s);
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QPointF(6 * s, 3.5 * s), 1.1 * s, 1.1 * s);
    return pixmap;
}

QPixmap LayerIcon(int size)
{
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    const QColor colours[3] = {QColor(30, 90, 220), QColor(30, 170, 60), QColor(220, 50, 40)};
    for (int i = 0; i < 3; ++i) {
        const qreal y = (10.0 - 4.0 * i) * s;
        QPainterPath plate;
        plate.moveTo(8 * s, y - 2.5 * s);
        plate.lineTo(15 * s, y);
        plate.lineTo(8 * s, y + 2.5 * s);
        plate.lineTo(1 * s, y);
        plate.closeSubpath();
        p.setPen(QPen(colours[i].darker(160), 0.8 * s));
        p.setBrush(colours[i]);
        p.drawPath(plate);
    }
    return pixmap;
}

} // namespace

const std::vector<QPixmap>& TableCellImages()
{
    // Kept for the life of the process (never destroyed after the application object).
    static const auto* images = [] {
        auto* list = new std::vector<QPixmap>;
        for (int i = 0; i <= TABLEIMG_CURRENT; ++i)
            list->push_back(CellImage(i));
        return list;
    }();
    return *images;
}

const std::vector<QPixmap>& TableHeaderImages()
{
    static const auto* images = new std::vector<QPixmap>{HeaderImage(0), HeaderImage(1)};
    return *images;
}

QIcon TableDialogIcon(int iconId)
{
    QPixmap (*draw)(int) = nullptr;
    switch (iconId) {
    case 189:
        draw = GridIcon;
        break;
    case 192:
        draw = PartIcon;
        break;
    case 194:
        draw = LayerIcon;
        break;
    default:
        return QIcon();
    }
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(draw(size));
    return icon;
}
