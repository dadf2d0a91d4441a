// Items drawn offscreen through the Qt painter context: thermal reliefs and land marks as pixels,
// items outside the clip, XOR drawings that undo themselves, texts inside their measured bounds,
// and a sample board with every kind (written as a PNG when VELTA_SAMPLE_PNG names a file).

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/J.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numbers>
#include <span>

using platform::QPainterDrawContext;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

// 40 pixels per millimetre, y upward, the board's origin at the image's bottom left.
constexpr int kPixelsPerMm = 40;

class ItemDrawImageTest : public ::testing::Test
{
protected:
    ItemDrawImageTest() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 2.0, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.5, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_DONUT, 2.0, 1.0};
        doc.turretTable[4] = tagTURRET{TURRET_THERMAL, 2.0, 1.0};
        doc.turretTable[5] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[6] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[7] = tagTURRET{TURRET_ROUND, 1.2, 0.0};
        frame.dims.arrowLength = 200;
        frame.dims.arrowAngle = 15.0 * kPi / 180.0;
    }
    ~ItemDrawImageTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    static void Map(platform::DrawContext& dc, int height)
    {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(100, 100));
        dc.SetViewportExt(CSize(kPixelsPerMm, -kPixelsPerMm));
        dc.SetViewportOrg(CPoint(0, height));
    }

    // Draws on the image through a fresh context with a black hairline pen and a black brush;
    // the painter is clipped to clip when it is given.
    static void Render(QImage& image, const std::function<void(QPainterDrawContext&)>& draw,
                       const QRect& clip = QRect())
    {
        QPainter painter(&image);
        if (!clip.isNull())
            painter.setClipRect(clip);
        {
            QPainterDrawContext dc(&painter);
            Map(dc, image.height());
            dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(0, 0, 0)));
            dc.SelectStockBrush(BLACK_BRUSH);
            draw(dc);
        }
        painter.end();
    }
    static QImage Blank(int w = 400, int h = 400)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
    // The pixel under a board point.
    static QRgb At(const QImage& image, double x, double y)
    {
        return image.pixel(static_cast<int>(std::floor(x * kPixelsPerMm)),
                           static_cast<int>(std::floor(image.height() - y * kPixelsPerMm)));
    }
    static QRgb AtPolar(const QImage& image, const CDPoint& centre, double degrees, double radius)
    {
        const CDPoint p = centre.GetPoint(degrees * kPi / 180.0, radius);
        return At(image, p.x, p.y);
    }
    // Whether any pixel along the ray from centre between the two radii is not white.
    static bool InkAlong(const QImage& image, const CDPoint& centre, double degrees, double from, double to)
    {
        for (double r = from; r <= to; r += 0.005) {
            if (AtPolar(image, centre, degrees, r) != White)
                return true;
        }
        return false;
    }
    // The share of pixels that are not white in the square of half side h about a board point.
    static double InkShare(const QImage& image, double x, double y, double h)
    {
        int ink = 0, all = 0;
        for (double px = x - h; px < x + h; px += 1.0 / kPixelsPerMm) {
            for (double py = y - h; py < y + h; py += 1.0 / kPixelsPerMm) {
                ink += At(image, px, py) != White;
                ++all;
            }
        }
        return all ? static_cast<double>(ink) / all : 0.0;
    }
    static QRect InkBounds(const QImage& image)
    {
        QRect r;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != White)
                    r |= QRect(x, y, 1, 1);
            }
        }
        return r;
    }

    struct Case
    {
        const char* text;
        double angle;
        int mode;
        bool mirror = false; // the text's own mirror bit
    };
    // Draws each text in its mode and compares its ink with its bounding rectangle.
    void ExpectInkInsideMeasuredBounds(std::span<const Case> cases);

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;

private:
    int m_scale = 0;
};

TEST_F(ItemDrawImageTest, FilledThermalIsOpenOnTheDiagonals)
{
    const CDPoint centre(5, 5);
    QImage image = Blank();
    CLand land(centre, 4);
    Render(image, [&](QPainterDrawContext& dc) { land.DrawLand(&dc, 4); });

    // On the ring (radius 0.5 to 1.0): copper across the axes, spokes of 0.5 mm on the diagonals.
    for (const double degrees : {0.0, 90.0, 180.0, 270.0}) {
        SCOPED_TRACE(degrees);
        EXPECT_EQ(AtPolar(image, centre, degrees, 0.75), Black);
    }
    for (const double degrees : {45.0, 135.0, 225.0, 315.0}) {
        SCOPED_TRACE(degrees);
        EXPECT_EQ(AtPolar(image, centre, degrees, 0.75), White);
    }
    // Nothing inside the inner circle or beyond the outer one.
    EXPECT_EQ(At(image, 5, 5), White);
    EXPECT_EQ(AtPolar(image, centre, 0, 0.3), White);
    EXPECT_EQ(AtPolar(image, centre, 0, 1.2), White);

    // A donut filled the same way is a whole ring.
    QImage donut = Blank();
    CLand ring(centre, 3);
    Render(donut, [&](QPainterDrawContext& dc) { ring.DrawLand(&dc, 4); });
    for (const double degrees : {0.0, 45.0, 100.0, 225.0, 300.0})
        EXPECT_EQ(AtPolar(donut, centre, degrees, 0.75), Black) << degrees;
    EXPECT_EQ(At(donut, 5, 5), White);
}

TEST_F(ItemDrawImageTest, RoundLandOnAMarkLayerIsAPentagon)
{
    const CDPoint centre(5, 5);
    QImage image = Blank();
    CLand land(centre, 1);
    Render(image, [&](QPainterDrawContext& dc) { land.DrawLand(&dc, 1); });

    // The vertex at the top, the line from the centre to it, and the middle of a side (at 0.809 of
    // the radius) are drawn; a circle of the pad's radius is not.
    EXPECT_EQ(At(image, 5, 5.99), Black);
    EXPECT_EQ(At(image, 5, 5.5), Black);
    const double apothem = std::cos(kPi / 5);
    EXPECT_TRUE(InkAlong(image, centre, 54, apothem - 0.03, apothem + 0.03));
    EXPECT_TRUE(InkAlong(image, centre, 270, apothem - 0.03, apothem + 0.03));
    EXPECT_FALSE(InkAlong(image, centre, 54, 0.1, apothem - 0.05));
    EXPECT_EQ(AtPolar(image, centre, 54, 0.98), White);
    EXPECT_EQ(AtPolar(image, centre, 270, 0.98), White);
    // Its ink ends at the two lower vertices, above where a circle would reach.
    const QRect ink = InkBounds(image);
    EXPECT_EQ(ink.top(), 400 - 6 * kPixelsPerMm);
    EXPECT_NEAR(ink.bottom(), 400 - (5 - apothem) * kPixelsPerMm, 1.5);
    EXPECT_NEAR(ink.width(), 2 * std::sin(2 * kPi / 5) * kPixelsPerMm, 2);

    // Turned down by bit 0x80.
    QImage down = Blank();
    Render(down, [&](QPainterDrawContext& dc) { land.DrawLand(&dc, 0x81); });
    EXPECT_EQ(At(down, 5, 4.01), Black);
    EXPECT_EQ(At(down, 5, 4.5), Black);
    EXPECT_EQ(At(down, 5, 5.5), White);
    EXPECT_NEAR(InkBounds(down).top(), 400 - (5 + apothem) * kPixelsPerMm, 1.5);
}

TEST_F(ItemDrawImageTest, ItemsOutsideTheClipDrawNothing)
{
    // Every kind at (7, 7) and beyond; the painter only lets the lower left 3 mm through.
    const QRect clip(0, 400 - 3 * kPixelsPerMm, 3 * kPixelsPerMm, 3 * kPixelsPerMm);
    CLand land(CDPoint(7, 7), 4);
    CLine line(CDPoint(6, 7), CDPoint(9, 7), 5, 0);
    line.SetArrow(200, -100);
    CArc arc(CDPoint(7, 7), 1.5, 0.0, kPi, 0, 5);
    CHole hole(CDPoint(7, 7), 1.0, false, 3.0, 0.5, 0.3);
    CTer ter(CDPoint(7, 7), CText("1", CDPoint(7, 7), 0), 0);
    CText text("TEXT", CDPoint(6, 6), 0);
    const auto drawAll = [&](QPainterDrawContext& dc) {
        for (const int mode : {1, 2, 4}) {
            land.DrawLand(&dc, mode);
            line.DrawLine(&dc, mode);
            arc.DrawArc(&dc, mode);
            hole.DrawHole(&dc, mode);
        }
        ter.DrawTer(&dc, 1);
        text.DrawTextA(&dc, 1);
    };
    QImage clipped = Blank();
    Render(clipped, drawAll, clip);
    EXPECT_TRUE(InkBounds(clipped).isNull());

    // The same drawing without the clip does leave ink, and an item reaching into the clip draws
    // there.
    QImage open = Blank();
    Render(open, drawAll);
    EXPECT_FALSE(InkBounds(open).isNull());
    QImage reaching = Blank();
    CLine across(CDPoint(1, 1), CDPoint(9, 1), 5, 0);
    Render(
        reaching, [&](QPainterDrawContext& dc) { across.DrawLine(&dc, 4); }, clip);
    EXPECT_EQ(At(reaching, 2, 1), Black);
    EXPECT_EQ(At(reaching, 5, 1), White);
}

TEST_F(ItemDrawImageTest, XorDrawingTwiceRestoresTheImage)
{
    QImage image = Blank();
    {
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, 200, 400), QColor(200, 120, 40));
        painter.fillRect(QRect(100, 100, 250, 120), QColor(30, 60, 220));
    }
    const QImage before = image.copy();

    CLand thermal(CDPoint(3, 3), 4);
    CLand pentagon(CDPoint(6, 3), 1);
    CLine track(CDPoint(1, 6), CDPoint(8, 7), 5, 0);
    track.SetArrow(200, -100);
    CArc arc(CDPoint(5, 5), 2.0, 0.3, 2.5, 0, 5);
    CHole slot(CDPoint(7, 8), 1.0, false, 3.0, 0.5, 0.5);
    CTer ter(CDPoint(2, 8), CText("", CDPoint(2, 8), 0), 0);
    CLine bottom(CDPoint(1, 1), CDPoint(4, 1), 6, 0), right(CDPoint(4, 1), CDPoint(4, 4), 6, 0),
        top(CDPoint(4, 4), CDPoint(1, 4), 6, 0), left(CDPoint(1, 4), CDPoint(1, 1), 6, 0);
    CItemBaseList lines;
    for (CLine* l : {&bottom, &right, &top, &left})
        lines.AddTail(l);
    const CItemBaseList none;
    CSur sur(lines, none, none, none);

    const auto drawAll = [&](QPainterDrawContext& dc) {
        thermal.DrawLand(&dc, 4);
        pentagon.DrawLand(&dc, 1);
        track.DrawLine(&dc, 4);
        arc.DrawArc(&dc, 2);
        arc.DrawArc(&dc, 4);
        slot.DrawHole(&dc, 2);
        ter.DrawTer(&dc, 0);
        sur.DrawSur(&dc, 4);
        sur.DrawSur(&dc, 2);
    };
    Render(image, [&](QPainterDrawContext& dc) {
        dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(255, 255, 255)));
        dc.SelectStockBrush(WHITE_BRUSH);
        dc.SetROP2(R2_XORPEN);
        drawAll(dc);
    });
    EXPECT_NE(image, before);
    Render(image, [&](QPainterDrawContext& dc) {
        dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(255, 255, 255)));
        dc.SelectStockBrush(WHITE_BRUSH);
        dc.SetROP2(R2_XORPEN);
        drawAll(dc);
    });
    EXPECT_EQ(image, before);

    // The line's own rubber band does the same.
    Render(image, [&](QPainterDrawContext& dc) {
        track.DrawLine(&dc, CDPoint(9, 2), 4);
        track.DrawLine(&dc, CDPoint(9, 2), 4);
    });
    EXPECT_EQ(image, before);
}

TEST_F(ItemDrawImageTest, TextsRenderInsideTheirMeasuredBounds)
{
    const Case cases[] = {
        {"Wig 123", 0.0, 1}, {"Wig 123", 0.0, 4}, {"Wig 123", 0.0, 2}, {"Ag", kPi, 1}, {"Ag", kPi, 4},
    };
    ExpectInkInsideMeasuredBounds(cases);
}

// Turned texts turn counter-clockwise with the board's y upward, as their measured frames do: as
// text output (modes without bit 0 become mode 1), as glyph-outline paths (bit 0 with bit 1 or 2),
// and mirrored (always a glyph path), by the text's bit or by the view's.
TEST_F(ItemDrawImageTest, TurnedTextsRenderInsideTheirMeasuredBounds)
{
    const Case cases[] = {
        {"ABCDEFG", kPi / 6, 1},
        {"Ag", kPi / 2, 2},
        {"Ag", kPi / 2, 4},
        {_J("日本語の基板").c_str(), kPi / 6, 1},
        {"ABCDEFG", kPi / 6, 5},
        {"ABCDEFG", kPi / 6, 3},
        {"Ag", kPi / 2, 5},
        {_J("日本語の基板").c_str(), kPi / 2, 5},
        {"ABCDEFG", kPi / 6, 1, true},
        {"ABCDEFG", kPi / 2, 0x81},
        {_J("日本語の基板").c_str(), kPi / 6, 5, true},
    };
    ExpectInkInsideMeasuredBounds(cases);
}

void ItemDrawImageTest::ExpectInkInsideMeasuredBounds(std::span<const Case> cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " mode " + std::to_string(c.mode));
        CText text(c.text, CDPoint(2, 4), 0);
        text.SetSize(150);
        text.SetAngle(c.angle);
        if (c.mirror)
            text.SetType(text.GetType() | TEXT_MIRROR);
        QImage image = Blank(600, 400);
        CRect bounds;
        Render(image, [&](QPainterDrawContext& dc) {
            text.DrawTextA(&dc, c.mode);
            bounds = dc.LPtoDP(text.GetBoundingRect().IntRect());
        });
        const QRect ink = InkBounds(image);
        ASSERT_FALSE(ink.isNull());
        const QRect measured =
            QRect(QPoint(std::min(bounds.left, bounds.right), std::min(bounds.top, bounds.bottom)),
                  QPoint(std::max(bounds.left, bounds.right), std::max(bounds.top, bounds.bottom)))
                .adjusted(-1, -1, 1, 1);
        EXPECT_TRUE(measured.contains(ink))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height()
            << " measured " << measured.x() << "," << measured.y() << " " << measured.width() << "x"
            << measured.height();
        // The text fills a fair part of its box.
        EXPECT_GT(ink.width() * ink.height(), measured.width() * measured.height() / 4);
    }
}

TEST_F(ItemDrawImageTest, SampleBoardWithEveryKind)
{
    // 24 x 15 mm.
    QImage image = Blank(960, 600);
    const auto pen = [](QPainterDrawContext& dc, COLORREF c) {
        dc.SelectPen(platform::Pen(PS_SOLID, 0, c));
        dc.SelectBrush(platform::Brush::Solid(c));
    };
    const COLORREF copper = RGB(200, 60, 30);
    const COLORREF silk = RGB(30, 110, 30);
    const COLORREF drill = RGB(0, 0, 0);
    const COLORREF pour = RGB(40, 90, 200);

    // Surfaces: a pour with a window (filled), and a hatched one (outlined).
    CLine b1(CDPoint(11, 1), CDPoint(19, 1), 6, 0), b2(CDPoint(19, 1), CDPoint(19, 6), 6, 0),
        b3(CDPoint(19, 6), CDPoint(11, 6), 6, 0), b4(CDPoint(11, 6), CDPoint(11, 1), 6, 0);
    CItemBaseList lines;
    for (CLine* l : {&b1, &b2, &b3, &b4})
        lines.AddTail(l);
    const CItemBaseList none;
    CSur filled(lines, none, none, none);
    {
        CArc hole(CDPoint(15, 3.5), 1.2, 0.0, 0.0, 0, 6);
        CItemBaseList arcs;
        arcs.AddTail(&hole);
        filled.NewWindow(CSur(none, arcs, none, none));
    }
    CLine h1(CDPoint(11, 8), CDPoint(15, 8), 5, 0), h2(CDPoint(15, 8), CDPoint(15, 11), 5, 0);
    CArc h3(CDPoint(13, 11), 2.0, 0.0, kPi, 0, 5);
    CLine h4(CDPoint(11, 11), CDPoint(11, 8), 5, 0);
    CItemBaseList hatchLines;
    for (CLine* l : {&h1, &h2, &h4})
        hatchLines.AddTail(l);
    CItemBaseList hatchArcs;
    hatchArcs.AddTail(&h3);
    CSur hatched(hatchLines, hatchArcs, none, none);

    // Tracks, a dimension line, arcs.
    CLine track(CDPoint(1, 13), CDPoint(8, 13), 5, 0);
    CLine bend(CDPoint(8, 13), CDPoint(9.5, 11.5), 5, 0);
    CLine dimension(CDPoint(1, 14.3), CDPoint(8, 14.3), 6, 0);
    dimension.SetArrow(150, 150);
    dimension.SetName("7", 150, true);
    CLine dotted(CDPoint(1, 10), CDPoint(8, 10), 0, 0x200);
    dotted.SetArrow(-100, -100);
    CArc trackArc(CDPoint(17, 11), 2.0, 0.0, kPi * 1.2, 0, 5);
    CArc outlineArc(CDPoint(17, 11), 1.0, kPi, kPi * 0.2, ARC_CW, 5);
    CArc dimensionArc(CDPoint(17, 11), 3.0, 0.1, 1.4, 0, 6);
    dimensionArc.SetArrow(120, -80);

    // Lands of every shape in the three classes, holes, a via, a terminal, a text.
    std::vector<std::unique_ptr<CLand>> lands;
    for (int shape = 0; shape < 4; ++shape)
        lands.push_back(std::make_unique<CLand>(CDPoint(1.5 + 2.5 * shape, 7), 1 + shape));
    CHole round(CDPoint(1.5, 7), 0.6, true, 0, 0, 0);
    CHole dummy(CDPoint(1.5, 4), 0.8, true, 0, 0, 0);
    dummy.SetType(HOLE_CHECK);
    CHole slot(CDPoint(4.5, 4), 0.6, false, 1.8, 0.3, 0.6);
    CHole rect(CDPoint(7.5, 4), 0.8, false, 1.4, 0.1, 0.3);
    tagVIA entry;
    entry.drill = 0.5;
    entry.lands.fill(7);
    doc.viaTable[1] = entry;
    doc.viaDisplay = 0.6;
    CVia via(CDPoint(9.5, 1.5), 1, &doc, 0b1);
    CVia drilled(CDPoint(9.5, 1.5), 1, &doc, 0b1);
    drilled.SetType(VIA_CHECK_HOLE);
    CTer ter(CDPoint(6, 1.5), CText("A10", CDPoint(6.2, 1.7), 0), 0);
    CText label(_J("VELTA 基板"), CDPoint(1, 1), 0);
    label.SetSize(120);

    // A part: two pads with their terminals on layer 1, its outline and reference on layer 2.
    CPart part;
    {
        CText ref("R1", CDPoint(20.6, 4.3), 0);
        ref.SetLayerNo(2);
        ref.SetSize(80);
        part.SetRefName(ref);
        for (const double x : {21.0, 23.0}) {
            CLand pad(CDPoint(x, 3), 2);
            pad.SetLayerNo(1);
            part.NewLand(pad);
            CTer ter(CDPoint(x, 3), CText(x < 22 ? "1" : "2", CDPoint(x - 0.2, 1.4), 0), 0);
            ter.SetLayerNo(1);
            part.NewTer(ter);
        }
        const CDPoint corners[] = {CDPoint(20, 2), CDPoint(24, 2), CDPoint(24, 4), CDPoint(20, 4)};
        for (int i = 0; i < 4; ++i) {
            CLine side(corners[i], corners[(i + 1) % 4], 6, 0);
            side.SetLayerNo(2);
            part.NewLine(side);
        }
    }

    Render(image, [&](QPainterDrawContext& dc) {
        pen(dc, copper);
        part.DrawPart(&dc, 4, 1, 0x1, 1);
        pen(dc, silk);
        part.DrawPart(&dc, 1, 2, 0, 0);
        pen(dc, pour);
        filled.DrawSur(&dc, 4);
        hatched.DrawSur(&dc, 2);
        pen(dc, copper);
        track.DrawLine(&dc, 4);
        bend.DrawLine(&dc, 4);
        trackArc.DrawArc(&dc, 4);
        outlineArc.DrawArc(&dc, 2);
        for (std::size_t i = 0; i < lands.size(); ++i) {
            lands[i]->DrawLand(&dc, 4);
            CLand outlined(lands[i]->GetPoint() + CDPoint(0, -3), lands[i]->GetTurretNo());
            // On a marks layer the lands sit beside the holes.
            CLand mark(lands[i]->GetPoint() + CDPoint(1.2, 3), lands[i]->GetTurretNo());
            if (i < 4)
                mark.DrawLand(&dc, 1);
            outlined.DrawLand(&dc, 2);
        }
        via.DrawVia(&dc, 0x1, 1, 4, false);
        pen(dc, silk);
        dimension.DrawLine(&dc, 1);
        dotted.DrawLine(&dc, 1);
        dimensionArc.DrawArc(&dc, 1);
        ter.DrawTer(&dc, 1);
        label.DrawTextA(&dc, 1);
        pen(dc, drill);
        dc.SelectStockBrush(BLACK_BRUSH);
        round.DrawHole(&dc, 2);
        dummy.DrawHole(&dc, 4);
        slot.DrawHole(&dc, 2);
        rect.DrawHole(&dc, 4);
        drilled.DrawVia(&dc, 0x10001, 1, 4, false);
    });

    // Every kind left ink where it stands.
    EXPECT_NEAR(InkShare(image, 12.5, 2.5, 0.5), 0.5, 0.1); // filled surface, in halftone
    EXPECT_EQ(InkShare(image, 15, 3.5, 0.5), 0.0);          // its window
    EXPECT_NE(At(image, 4, 13), White);                     // track
    EXPECT_NE(At(image, 19, 11), White);                    // arc track
    EXPECT_NE(At(image, 1.5, 7.7), White);                  // round land around its hole
    EXPECT_EQ(At(image, 1.5, 7), Black);                    // the hole in it
    EXPECT_NE(At(image, 9.5, 1.5 + 0.55), White);           // via land
    EXPECT_NE(At(image, 23, 3.6), White);                   // a pad of the part
    EXPECT_NE(At(image, 22, 4), White);                     // its outline
    if (const char* path = std::getenv("VELTA_SAMPLE_PNG")) {
        EXPECT_TRUE(image.save(QString::fromLocal8Bit(path)));
    }
}

} // namespace
