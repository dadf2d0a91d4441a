#include "app/ToolBarArt.h"

#include "controls/GfxToolBarImages.h"

#include <QPainter>
#include <QPainterPath>

#include <map>

namespace {

constexpr int kW = 16;
constexpr int kH = 15;

const std::map<int, std::vector<int>>& Bars()
{
    static const std::map<int, std::vector<int>> bars = {
        {128, {57600, 57601, 57603, 32830, 0, 57635, 57634, 57637, 0, 57643, 57644, 0, 57607, 57664}},
        {131, {32841, 0, 32919, 0, 32910, 32915, 32913, 32911, 32917, 32916, 32912, 32914, 32918}},
        {135, {32795, 32806, 0, 57636, 57640, 0, 101, 32843, 0, 32958, 32960, 0, 32942}},
        {134, {32787, 0, 32788, 32794}},
        {133, {32785, 0, 32786}},
        {132, {32771, 32772, 32774, 32776, 32775, 0, 32810}},
        {136,
         {32797, 32807, 32796, 57632, 32801, 32802, 32803, 32834, 32833, 32832, 32940, 32846, 32955, 32956}},
    };
    return bars;
}

const QColor kInk(40, 40, 48);
const QColor kCopper(196, 112, 32);
const QColor kGreen(20, 120, 60);
const QColor kBlue(40, 90, 190);
const QColor kRed(190, 40, 40);
const QColor kPaper(250, 250, 245);

void Page(QPainter& p, QColor fold = kInk)
{
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 14);
    path.lineTo(3, 14);
    path.closeSubpath();
    p.setPen(QPen(fold, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void Folder(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(245, 205, 90));
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 2, 5, 2);
}

void Disk(QPainter& p, int dx = 0, int dy = 0)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawRect(1 + dx, 1 + dy, 12, 12);
    p.setBrush(kPaper);
    p.drawRect(3 + dx, 1 + dy, 8, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(4 + dx, 9 + dy, 6, 4);
}

void Magnifier(QPainter& p, const char* sign)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(kInk, 2.5));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 13.5));
    p.setPen(QPen(kInk, 1.2));
    if (sign[0] == '+' || sign[0] == '-')
        p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (sign[0] == '+')
        p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
}

void Letter(QPainter& p, const QString& text, QColor colour, int px = 9)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(px);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(0, 0, kW, kH), Qt::AlignCenter, text);
}

void Land(QPainter& p, QPointF c, double r)
{
    p.setPen(QPen(kCopper.darker(130), 1));
    p.setBrush(kCopper);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r / 2.5, r / 2.5);
}

void Chip(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(4, 3, 8, 9);
    p.setPen(QPen(QColor(190, 190, 190), 1));
    for (int y = 4; y <= 10; y += 3) {
        p.drawLine(1, y, 3, y);
        p.drawLine(13, y, 15, y);
    }
}

void Table(QPainter& p, QColor accent)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(1, 1, 13, 12);
    p.fillRect(2, 2, 12, 3, accent);
    p.drawLine(1, 5, 14, 5);
    p.drawLine(1, 9, 14, 9);
    p.drawLine(6, 1, 6, 13);
}

void Draw(QPainter& p, int id)
{
    switch (id) {
    case 57600: // new
        Page(p);
        p.setPen(QPen(QColor(230, 170, 0), 1.5));
        p.drawLine(QPointF(11, 9), QPointF(15, 13));
        p.drawLine(QPointF(15, 9), QPointF(11, 13));
        return;
    case 57601:
        Folder(p);
        return;
    case 57603:
        Disk(p);
        return;
    case 32830: // save all
        p.scale(0.8, 0.8);
        Disk(p, 6, 6);
        Disk(p, 0, 0);
        return;
    case 57635: // cut
        p.setPen(QPen(kInk, 1.3));
        p.drawLine(4, 1, 10, 10);
        p.drawLine(11, 1, 5, 10);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 9.5, 4, 4));
        p.drawEllipse(QRectF(9.5, 9.5, 4, 4));
        return;
    case 57634: // copy
        p.translate(-2, -1);
        Page(p);
        p.translate(4, 2);
        Page(p, kBlue);
        return;
    case 57637: // paste
        p.setPen(QPen(QColor(120, 80, 20), 1));
        p.setBrush(QColor(205, 160, 90));
        p.drawRect(1, 2, 10, 12);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 1, 4, 3);
        p.translate(5, 4);
        p.scale(0.65, 0.7);
        Page(p);
        return;
    case 57643:
    case 57644: { // undo, redo
        if (id == 57644) {
            p.translate(kW, 0);
            p.scale(-1, 1);
        }
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 9), 90 * 16, -200 * 16);
        p.setBrush(kBlue);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(0.5, 3), QPointF(6, 0), QPointF(6, 6.5)}));
        return;
    }
    case 57607: // print
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(170, 170, 180));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(kPaper);
        p.drawRect(4, 10, 8, 4);
        return;
    case 57664:
        Letter(p, "?", kBlue, 13);
        return;
    case 32841: // trap
        p.setPen(QPen(kRed, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 2.5, 10, 10));
        p.drawLine(8, 0, 8, 15);
        p.drawLine(0, 7, 16, 7);
        return;
    case 32919: // cutter path
        p.setPen(QPen(kRed, 1.5, Qt::DashLine));
        p.drawLine(1, 13, 14, 2);
        p.setPen(QPen(kInk, 1));
        p.drawLine(2, 4, 7, 4);
        p.drawLine(9, 11, 14, 11);
        return;
    case 32910: // line
        p.setPen(QPen(kCopper, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(2, 12, 7, 7);
        p.drawLine(7, 7, 14, 7);
        return;
    case 32915: // via
        p.setPen(QPen(kGreen.darker(120), 1));
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(8, 7.5), 6, 6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 7.5), 2.2, 2.2);
        return;
    case 32913:
        Chip(p);
        return;
    case 32911:
        Land(p, QPointF(8, 7.5), 6);
        return;
    case 32917: // surface
        p.setPen(QPen(kCopper.darker(130), 1));
        p.setBrush(QBrush(kCopper, Qt::Dense4Pattern));
        p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(2, 3), QPoint(9, 1), QPoint(14, 6), QPoint(12, 13)}));
        return;
    case 32916: // hole
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 7.5), 5.5, 5.5);
        p.setPen(QPen(kInk, 1));
        p.drawLine(8, 4, 8, 11);
        p.drawLine(4, 7, 12, 7);
        return;
    case 32912:
        Letter(p, "A", kInk, 13);
        return;
    case 32914: // arc
        p.setPen(QPen(kCopper, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2, 3, 12, 16), 20 * 16, 140 * 16);
        return;
    case 32918: // terminal
        Land(p, QPointF(5, 7.5), 3.5);
        p.setPen(QPen(kInk, 1));
        p.drawLine(9, 7, 15, 7);
        Letter(p, "", kInk);
        return;
    case 32795: // make part
        Chip(p);
        p.setPen(QPen(QColor(230, 170, 0), 1.5));
        p.drawLine(QPointF(8, 4), QPointF(8, 11));
        p.drawLine(QPointF(4.5, 7.5), QPointF(11.5, 7.5));
        return;
    case 32806: // explode part
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(60, 60, 70));
        p.drawRect(1, 1, 5, 5);
        p.drawRect(10, 1, 5, 5);
        p.drawRect(1, 9, 5, 5);
        p.drawRect(10, 9, 5, 5);
        return;
    case 57636:
    case 57640: // find, find next
        Magnifier(p, "");
        if (id == 57640) {
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({QPointF(10, 0), QPointF(16, 3.5), QPointF(10, 7)}));
        }
        return;
    case 101: // environment
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(170, 170, 185));
        p.drawEllipse(QPointF(8, 7.5), 6, 6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 7.5), 2.5, 2.5);
        for (int a = 0; a < 360; a += 45) {
            p.save();
            p.translate(8, 7.5);
            p.rotate(a);
            p.fillRect(QRectF(-1, -7.5, 2, 2.5), QColor(120, 120, 135));
            p.restore();
        }
        return;
    case 32843: // project
        Folder(p);
        p.translate(5, 4);
        p.scale(0.6, 0.65);
        Chip(p);
        return;
    case 32958:
        Table(p, kCopper);
        return; // part manager
    case 32960: // net manager
        p.setPen(QPen(QColor(220, 60, 140), 1.2));
        p.drawLine(3, 3, 13, 6);
        p.drawLine(13, 6, 6, 12);
        Land(p, QPointF(3, 3), 2.2);
        Land(p, QPointF(13, 6), 2.2);
        Land(p, QPointF(6, 12), 2.2);
        return;
    case 32942: // tool select
        p.setPen(QPen(QColor(100, 100, 110), 2.5));
        p.drawLine(3, 13, 10, 6);
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(150, 150, 160));
        p.drawEllipse(QPointF(11, 4.5), 3.5, 3.5);
        return;
    case 32787:
    case 32788:
        Table(p, kCopper);
        Land(p, QPointF(11, 11), 3);
        return; // turret
    case 32794:
        Table(p, kGreen);
        return; // via table
    case 32785:
    case 32786: // layers
        for (int i = 0; i < 3; ++i) {
            const QColor c[] = {kCopper, kGreen, kBlue};
            p.setPen(QPen(c[i].darker(130), 1));
            p.setBrush(c[i]);
            p.drawPolygon(QPolygon(
                {QPoint(1, 9 - 3 * i), QPoint(8, 6 - 3 * i), QPoint(15, 9 - 3 * i), QPoint(8, 12 - 3 * i)}));
        }
        return;
    case 32771:
        Magnifier(p, "+");
        return;
    case 32772:
        Magnifier(p, "-");
        return;
    case 32774: // previous view
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(4, 1, 10, 9);
        p.setPen(QPen(kBlue, 2));
        p.drawLine(2, 11, 9, 11);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(0, 11), QPointF(4, 7.5), QPointF(4, 14.5)}));
        return;
    case 32776: // zoom window
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 13, 12);
        p.setPen(QPen(kInk, 1));
        p.drawLine(8, 8, 15, 15);
        return;
    case 32775: // whole view
        p.setPen(QPen(kGreen.darker(150), 1));
        p.setBrush(QColor(30, 110, 60));
        p.drawRect(2, 3, 12, 9);
        p.setPen(QPen(kCopper, 1));
        p.drawLine(4, 6, 8, 6);
        p.drawLine(8, 6, 11, 9);
        p.setPen(QPen(kInk, 1));
        p.drawLine(0, 0, 3, 0);
        p.drawLine(0, 0, 0, 3);
        p.drawLine(15, 14, 12, 14);
        p.drawLine(15, 14, 15, 11);
        return;
    case 32810: // grid
        p.setPen(QPen(kInk, 1));
        for (int x = 2; x <= 14; x += 4)
            for (int y = 2; y <= 14; y += 4)
                p.drawPoint(x, y);
        p.setPen(QPen(kBlue, 1));
        p.drawLine(2, 2, 14, 2);
        p.drawLine(2, 2, 2, 14);
        return;
    case 32797:
        Letter(p, "↔", kInk, 12);
        return;
    case 32807:
        Letter(p, "⧉", kInk, 12);
        return;
    case 32796:
        Letter(p, "✎", kInk, 12);
        return;
    case 57632:
        Letter(p, "✕", kRed, 12);
        return;
    case 32801:
        Letter(p, "⇆", kInk, 12);
        return;
    case 32802:
        Letter(p, "⇅", kInk, 12);
        return;
    case 32803:
        Letter(p, "↻", kInk, 12);
        return;
    case 32834:
        Letter(p, "12", kInk, 8);
        return;
    case 32833:
        Letter(p, "G↑", kGreen, 8);
        return;
    case 32832:
        Letter(p, "G↓", kBlue, 8);
        return;
    case 32940:
        Letter(p, "DRC", kRed, 6);
        return;
    case 32846:
        Letter(p, "Ø", kInk, 12);
        return;
    case 32955:
        Table(p, kBlue);
        return;
    case 32956:
        Letter(p, "≡", kInk, 13);
        return;
    default:
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(2, 2, 11, 10);
        return;
    }
}

} // namespace

const std::vector<int>& ToolBarButtons(int barId)
{
    static const std::vector<int> none;
    const auto it = Bars().find(barId);
    return it == Bars().end() ? none : it->second;
}

QPixmap CommandImage(int commandId)
{
    QImage image(kW, kH, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Draw(p, commandId);
    p.end();
    return QPixmap::fromImage(image);
}

void RegisterToolBarImages()
{
    for (const auto& [id, buttons] : Bars()) {
        if (CGfxToolBarImages::Find(id))
            continue;
        GfxToolBar bar;
        bar.imageWidth = kW;
        bar.imageHeight = kH;
        bar.commands = buttons;
        int count = 0;
        for (int c : buttons)
            count += c != 0 ? 1 : 0;
        QImage strip(kW * count, kH, QImage::Format_ARGB32_Premultiplied);
        strip.fill(Qt::transparent);
        QPainter p(&strip);
        int n = 0;
        for (int c : buttons) {
            if (c == 0)
                continue;
            p.drawPixmap(n++ * kW, 0, CommandImage(c));
        }
        p.end();
        bar.strip = QPixmap::fromImage(strip);
        CGfxToolBarImages::Register(id, std::move(bar));
    }
}

QImage DocumentIconImage(int size, bool project)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    // A green board with copper tracks; a project shows two boards stacked.
    const auto board = [&p](QPointF at) {
        p.setPen(QPen(QColor(10, 70, 35), 1.5));
        p.setBrush(QColor(30, 120, 65));
        p.drawRoundedRect(QRectF(at, QSizeF(34, 28)), 3, 3);
        p.setPen(QPen(QColor(220, 150, 50), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at + QPointF(6, 8), at + QPointF(16, 8));
        p.drawLine(at + QPointF(16, 8), at + QPointF(24, 16));
        p.drawLine(at + QPointF(24, 16), at + QPointF(30, 16));
        p.drawLine(at + QPointF(6, 20), at + QPointF(20, 20));
        p.setPen(QPen(QColor(160, 100, 30), 1));
        p.setBrush(QColor(235, 175, 70));
        for (QPointF c : {QPointF(6, 8), QPointF(30, 16), QPointF(6, 20), QPointF(20, 20)})
            p.drawEllipse(at + c, 2.6, 2.6);
    };
    if (project) {
        board(QPointF(10, 4));
        board(QPointF(4, 16));
    } else {
        board(QPointF(7, 10));
    }
    return image;
}

QImage ProgramIconImage(int size)
{
    QImage image = DocumentIconImage(size, false);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(7, 10, 34, 28), Qt::AlignCenter, "V");
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}
