#include "platform/qt/QPainterDrawContext.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <functional>
#include <limits>
#include <random>
#include <vector>

using namespace platform;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

QRgb Rgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Draws on a white image through a fresh context and hands the image back.
QImage Render(int w, int h, const std::function<void(QPainterDrawContext&)>& draw,
              QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        QPainterDrawContext dc(&painter);
        draw(dc);
    }
    painter.end();
    return image;
}

int CountOf(const QImage& image, QRgb color, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == color;
    }
    return n;
}

// The smallest rectangle around the pixels that are not white (null when there are none).
QRect InkBounds(const QImage& image)
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

LogFont Font(const char* face, int height, int escapement = 0)
{
    LogFont f;
    f.lfHeight = height;
    f.lfEscapement = escapement;
    f.lfWeight = FW_NORMAL;
    f.SetFaceName(face);
    return f;
}

} // namespace

TEST(QPainterDrawContext, StartsWithTheDeviceContextDefaultsAndLeavesThePainterAsFound)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::red, 3));
    painter.setBrush(Qt::green);
    painter.setRenderHint(QPainter::Antialiasing, true);
    {
        QPainterDrawContext dc(&painter, QPainterDrawContext::Printing);
        EXPECT_EQ(dc.GetPen(), StockPen(BLACK_PEN));
        EXPECT_EQ(dc.GetBrush(), StockBrush(WHITE_BRUSH));
        EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
        EXPECT_EQ(dc.GetBkMode(), OPAQUE);
        EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
        EXPECT_EQ(dc.GetPolyFillMode(), ALTERNATE);
        EXPECT_EQ(dc.GetArcDirection(), AD_COUNTERCLOCKWISE);
        EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
        EXPECT_TRUE(dc.IsPrinting());
        EXPECT_EQ(dc.GetMapping().DpiX(), image.logicalDpiX());

        // Each selection hands back the one before, so that a caller can put it back.
        const Pen pen(PS_DOT, 0, RGB(255, 255, 255));
        const Pen oldPen = dc.SelectPen(pen);
        const Brush oldBrush = dc.SelectStockBrush(NULL_BRUSH);
        const int oldRop = dc.SetROP2(R2_XORPEN);
        const LogFont oldFont = dc.SelectFont(Font("Arial", -12));
        dc.MoveTo(1, 1);
        dc.LineTo(8, 8);
        EXPECT_EQ(dc.SelectPen(oldPen), pen);
        EXPECT_EQ(dc.SelectBrush(oldBrush), StockBrush(NULL_BRUSH));
        EXPECT_EQ(dc.SetROP2(oldRop), R2_XORPEN);
        EXPECT_EQ(dc.SelectFont(oldFont), Font("Arial", -12));
        EXPECT_EQ(dc.GetPen(), StockPen(BLACK_PEN));
        EXPECT_EQ(dc.GetBrush(), StockBrush(WHITE_BRUSH));
        EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
        EXPECT_EQ(dc.GetFont(), LogFont());
        // Values the device context refuses change nothing.
        EXPECT_EQ(dc.SetROP2(99), 0);
        EXPECT_EQ(dc.SetBkMode(7), 0);
        EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
        EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    }
    EXPECT_FALSE(QPainterDrawContext(&painter).IsPrinting());
    EXPECT_EQ(painter.pen(), QPen(Qt::red, 3));
    EXPECT_EQ(painter.brush(), QBrush(Qt::green));
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
}

TEST(QPainterDrawContext, RectangleAndEllipseLeaveOutTheirRightAndBottomEdges)
{
    const COLORREF gray = RGB(128, 128, 128);
    for (const CRect box : {CRect(5, 4, 15, 12), CRect(15, 12, 5, 4)}) {
        const QImage outlined = Render(30, 20, [&](QPainterDrawContext& dc) {
            dc.SelectBrush(Brush::Solid(gray));
            dc.Rectangle(box);
        });
        EXPECT_EQ(InkBounds(outlined), QRect(QPoint(5, 4), QPoint(14, 11)));
        EXPECT_EQ(outlined.pixel(5, 4), Black);
        EXPECT_EQ(outlined.pixel(14, 11), Black);
        EXPECT_EQ(outlined.pixel(14, 7), Black);
        EXPECT_EQ(CountOf(outlined, Rgb(gray)), 8 * 6); // all inside the outline

        const QImage filled = Render(30, 20, [&](QPainterDrawContext& dc) {
            dc.SelectStockPen(NULL_PEN);
            dc.SelectBrush(Brush::Solid(gray));
            dc.Rectangle(box);
        });
        EXPECT_EQ(CountOf(filled, Rgb(gray)), 10 * 8);
        EXPECT_EQ(InkBounds(filled), QRect(QPoint(5, 4), QPoint(14, 11)));
    }

    const QImage ellipse = Render(30, 30, [](QPainterDrawContext& dc) {
        dc.SelectStockBrush(BLACK_BRUSH);
        dc.Ellipse(CRect(2, 2, 23, 23));
    });
    EXPECT_EQ(InkBounds(ellipse), QRect(QPoint(2, 2), QPoint(22, 22)));
    EXPECT_EQ(ellipse.pixel(12, 12), Black);
    EXPECT_EQ(ellipse.pixel(3, 3), White); // a corner of the box is outside the ellipse
    EXPECT_EQ(ellipse.pixel(22, 12), Black);

    const QImage hollow = Render(30, 30, [](QPainterDrawContext& dc) {
        dc.SelectStockBrush(NULL_BRUSH);
        dc.Ellipse(CRect(2, 2, 23, 23));
    });
    EXPECT_EQ(InkBounds(hollow), QRect(QPoint(2, 2), QPoint(22, 22)));
    EXPECT_EQ(hollow.pixel(12, 12), White);
}

TEST(QPainterDrawContext, PolygonsFillByTheFillMode)
{
    // A five-pointed star drawn in one stroke: its centre is enclosed twice.
    const CPoint star[] = {{50, 5}, {76, 90}, {8, 36}, {92, 36}, {24, 90}};
    for (const int mode : {ALTERNATE, WINDING}) {
        const QImage image = Render(100, 100, [&](QPainterDrawContext& dc) {
            dc.SelectStockPen(NULL_PEN);
            dc.SelectStockBrush(BLACK_BRUSH);
            dc.SetPolyFillMode(mode);
            dc.Polygon(star, 5);
        });
        EXPECT_EQ(image.pixel(50, 55) == Black, mode == WINDING);
        EXPECT_EQ(image.pixel(50, 15), Black); // a point of the star
        EXPECT_EQ(image.pixel(50, 95), White);
    }

    // The filled triangle's edge: pixels whose centres lie inside.
    const QImage triangle = Render(20, 20, [](QPainterDrawContext& dc) {
        dc.SelectStockPen(NULL_PEN);
        dc.SelectStockBrush(BLACK_BRUSH);
        const CPoint points[] = {{0, 0}, {10, 0}, {0, 10}};
        dc.Polygon(points, 3);
    });
    EXPECT_EQ(InkBounds(triangle), QRect(0, 0, 10, 10));
    EXPECT_EQ(CountOf(triangle, Black), 10 + 9 + 8 + 7 + 6 + 5 + 4 + 3 + 2 + 1);
}

TEST(QPainterDrawContext, LinesLeaveOutTheirLastPixelAndKeepThePosition)
{
    const QImage image = Render(20, 20, [](QPainterDrawContext& dc) {
        EXPECT_EQ(dc.MoveTo(2, 2), CPoint(0, 0));
        dc.LineTo(12, 2);
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(12, 2));
        const CPoint corner[] = {{2, 5}, {12, 5}, {12, 15}};
        dc.Polyline(corner, 3);
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(12, 2));
    });
    EXPECT_EQ(CountOf(image, Black, QRect(0, 2, 20, 1)), 10);
    EXPECT_EQ(image.pixel(12, 2), White);
    EXPECT_EQ(image.pixel(12, 14), Black);
    EXPECT_EQ(image.pixel(12, 15), White);
}

TEST(QPainterDrawContext, ArcsRunCounterClockwiseOnTheDeviceUnlessToldOtherwise)
{
    // Quarter from the right-hand point to the top one, on a circle about (20, 20).
    const auto quadrants = [](int direction, bool yUp) {
        const QImage image = Render(41, 41, [&](QPainterDrawContext& dc) {
            if (yUp) {
                dc.SetMapMode(MM_ANISOTROPIC);
                dc.SetWindowExt(CSize(1, 1));
                dc.SetViewportExt(CSize(1, -1));
                dc.SetViewportOrg(CPoint(0, 40));
            }
            dc.SetArcDirection(direction);
            const int top = yUp ? 40 : 0;
            dc.Arc(CRect(0, 0, 41, 41), CPoint(40, 20), CPoint(20, top));
        });
        // Pixels in the upper right, upper left, lower left and lower right quarters.
        return std::vector<int>{
            CountOf(image, Black, QRect(22, 0, 19, 19)), CountOf(image, Black, QRect(0, 0, 19, 19)),
            CountOf(image, Black, QRect(0, 22, 19, 19)), CountOf(image, Black, QRect(22, 22, 19, 19))};
    };
    for (const bool yUp : {false, true}) {
        SCOPED_TRACE(yUp ? "y up" : "y down");
        const auto ccw = quadrants(AD_COUNTERCLOCKWISE, yUp);
        EXPECT_GT(ccw[0], 10);
        EXPECT_EQ(ccw[1] + ccw[2] + ccw[3], 0);
        const auto cw = quadrants(AD_CLOCKWISE, yUp);
        EXPECT_EQ(cw[0], 0);
        EXPECT_GT(cw[1], 10);
        EXPECT_GT(cw[2], 10);
        EXPECT_GT(cw[3], 10);
    }

    // The same start and end ray: the whole ellipse.
    const QImage whole = Render(
        41, 41, [](QPainterDrawContext& dc) { dc.Arc(CRect(0, 0, 41, 41), CPoint(40, 20), CPoint(30, 20)); });
    EXPECT_EQ(InkBounds(whole), QRect(0, 0, 41, 41));
}

TEST(QPainterDrawContext, PathsAreFilledAndStrokedOnlyOnceEnded)
{
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    const auto build = [](QPainterDrawContext& dc) {
        dc.BeginPath();
        dc.MoveTo(5, 5);
        dc.LineTo(35, 5);
        const CPoint curve[] = {{45, 15}, {45, 25}, {35, 35}};
        dc.PolyBezierTo(curve, 3);
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(35, 35));
        dc.LineTo(5, 35);
        dc.CloseFigure();
        dc.EndPath();
    };
    const auto withColours = [&](QPainterDrawContext& dc) {
        dc.SelectPen(Pen(PS_SOLID, 0, red));
        dc.SelectBrush(Brush::Solid(blue));
    };

    const QImage both = Render(50, 40, [&](QPainterDrawContext& dc) {
        withColours(dc);
        build(dc);
        dc.StrokeAndFillPath();
        dc.StrokePath(); // used up: draws nothing more
    });
    EXPECT_EQ(both.pixel(20, 20), Rgb(blue));
    EXPECT_EQ(both.pixel(40, 20), Rgb(blue)); // inside the curve
    EXPECT_EQ(both.pixel(20, 5), Rgb(red));
    EXPECT_EQ(both.pixel(5, 20), Rgb(red)); // the closing edge
    EXPECT_EQ(both.pixel(46, 20), White);

    const QImage filled = Render(50, 40, [&](QPainterDrawContext& dc) {
        withColours(dc);
        build(dc);
        dc.FillPath();
    });
    EXPECT_EQ(CountOf(filled, Rgb(red)), 0);
    EXPECT_EQ(filled.pixel(20, 20), Rgb(blue));

    const QImage stroked = Render(50, 40, [&](QPainterDrawContext& dc) {
        withColours(dc);
        build(dc);
        dc.StrokePath();
    });
    EXPECT_EQ(CountOf(stroked, Rgb(blue)), 0);
    EXPECT_EQ(stroked.pixel(5, 20), Rgb(red));

    const QImage unended = Render(50, 40, [&](QPainterDrawContext& dc) {
        withColours(dc);
        dc.BeginPath();
        dc.MoveTo(5, 5);
        dc.LineTo(35, 5);
        dc.LineTo(35, 35);
        dc.StrokeAndFillPath(); // never ended
        dc.BeginPath();
        dc.Rectangle(CRect(1, 1, 30, 30));
        dc.AbortPath();
        dc.StrokeAndFillPath();
    });
    EXPECT_TRUE(InkBounds(unended).isNull());
}

TEST(QPainterDrawContext, RegionsCombinePolygonsByExclusiveOr)
{
    Region region;
    region.AddPolygon({{0, 0}, {40, 0}, {40, 40}, {0, 40}});
    region.AddPolygon({{10, 10}, {30, 10}, {30, 30}, {10, 30}}); // a hole
    // Wound twice around: filled by the winding rule.
    region.AddPolygon({{50, 0}, {60, 0}, {60, 10}, {50, 10}, {50, 0}, {60, 0}, {60, 10}, {50, 10}});
    const QImage image = Render(70, 45, [&](QPainterDrawContext& dc) {
        dc.SelectStockBrush(BLACK_BRUSH);
        dc.PaintRegion(region);
    });
    EXPECT_EQ(image.pixel(5, 5), Black);
    EXPECT_EQ(image.pixel(20, 20), White);
    EXPECT_EQ(image.pixel(55, 5), Black);
    EXPECT_EQ(CountOf(image, Black), 40 * 40 - 20 * 20 + 10 * 10);

    // The halftone brush sets every other pixel and leaves the rest, opaque background or not.
    Region square;
    square.AddPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const QImage halftone = Render(10, 10, [&](QPainterDrawContext& dc) {
        dc.SetBkColor(RGB(255, 0, 0));
        dc.FillRegion(square, Brush::Halftone(RGB(0, 0, 0)));
    });
    EXPECT_EQ(CountOf(halftone, Black), 50);
    EXPECT_EQ(CountOf(halftone, White), 50);
    EXPECT_NE(halftone.pixel(0, 0), halftone.pixel(1, 0));
    EXPECT_NE(halftone.pixel(0, 0), halftone.pixel(0, 1));
}

TEST(QPainterDrawContext, DrawingTwiceWithXorRestoresTheImage)
{
    const auto scene = [](QPainterDrawContext& dc) {
        dc.SetROP2(R2_XORPEN);
        dc.SelectPen(Pen(PS_DOT, 0, RGB(255, 255, 255)));
        dc.MoveTo(3, 3);
        dc.LineTo(90, 57);
        dc.SelectPen(Pen::FromBrush(PS_SOLID | PS_ENDCAP_ROUND, 7, Brush::Solid(RGB(255, 255, 255))));
        const CPoint zigzag[] = {{10, 50}, {30, 10}, {50, 50}, {70, 10}, {10, 50}};
        dc.Polyline(zigzag, 5);
        dc.SelectPen(Pen(PS_SOLID, 3, RGB(0, 255, 128)));
        dc.SelectBrush(Brush::Solid(RGB(255, 255, 255)));
        dc.Rectangle(CRect(20, 20, 60, 45));
        dc.Ellipse(CRect(40, 5, 95, 60));
        const CPoint triangle[] = {{0, 60}, {50, 0}, {99, 60}};
        dc.Polygon(triangle, 3);
        dc.Arc(CRect(5, 5, 55, 55), CPoint(55, 30), CPoint(5, 30));
        dc.BeginPath();
        dc.MoveTo(60, 40);
        const CPoint curve[] = {{99, 40}, {99, 0}, {60, 0}};
        dc.PolyBezierTo(curve, 3);
        dc.CloseFigure();
        dc.EndPath();
        dc.StrokeAndFillPath();
        Region region;
        region.AddPolygon({{0, 0}, {25, 0}, {25, 25}});
        dc.FillRegion(region, Brush::Halftone(RGB(255, 255, 255)));
    };
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage image(100, 64, format);
        std::mt19937 random(7);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
        }
        const QImage before = image;
        QPainter painter(&image);
        {
            QPainterDrawContext dc(&painter);
            scene(dc);
        }
        painter.end();
        EXPECT_NE(image, before);
        painter.begin(&image);
        {
            QPainterDrawContext dc(&painter);
            scene(dc);
        }
        painter.end();
        EXPECT_EQ(image, before) << format;
    }

    // An outlined and filled figure is combined once: the outline over the fill is not undone.
    const QImage black = [] {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        QPainterDrawContext dc(&painter);
        dc.SetROP2(R2_XORPEN);
        dc.SelectStockPen(WHITE_PEN);
        dc.SelectStockBrush(WHITE_BRUSH);
        dc.Rectangle(CRect(2, 2, 12, 12));
        return image;
    }();
    EXPECT_EQ(CountOf(black, White), 100);
}

TEST(QPainterDrawContext, PenWidthsAreLogicalUnitsUnderAnIsotropicMappingWithYUp)
{
    // Ten logical units to the pixel, logical (0, 0) at the bottom left.
    const auto view = [](QPainterDrawContext& dc) {
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(CSize(1000, 1000));
        dc.SetViewportExt(CSize(100, -100));
        dc.SetViewportOrg(CPoint(0, 100));
    };
    const QImage image = Render(100, 100, [&](QPainterDrawContext& dc) {
        view(dc);
        EXPECT_EQ(dc.LPtoDP(CPoint(100, 900)), CPoint(10, 10));
        dc.SelectPen(Pen(PS_SOLID, 50, RGB(0, 0, 0)));
        dc.MoveTo(200, 300);
        dc.LineTo(800, 300); // device y 70, five pixels wide
        dc.SelectPen(Pen(PS_SOLID, 0, RGB(0, 0, 0)));
        dc.MoveTo(200, 900);
        dc.LineTo(800, 900); // device y 10, one pixel
        dc.SelectPen(Pen::FromBrush(PS_SOLID | PS_ENDCAP_FLAT, 100, Brush::Solid(RGB(0, 0, 0))));
        dc.MoveTo(500, 600);
        dc.LineTo(700, 600); // device y 40, ten pixels, flat ends at x 50 and 70
    });
    EXPECT_EQ(CountOf(image, Black, QRect(50, 60, 1, 20)), 5);
    EXPECT_EQ(image.pixel(50, 70), Black);
    EXPECT_EQ(CountOf(image, Black, QRect(50, 0, 1, 20)), 1);
    EXPECT_EQ(image.pixel(50, 10), Black);
    EXPECT_EQ(CountOf(image, Black, QRect(60, 30, 1, 20)), 10);
    EXPECT_EQ(CountOf(image, Black, QRect(45, 40, 30, 1)), 20);

    // The inside-frame pen keeps a wide outline within the rectangle.
    const QImage framed = Render(100, 100, [&](QPainterDrawContext& dc) {
        view(dc);
        dc.SelectPen(Pen(PS_INSIDEFRAME, 60, RGB(0, 0, 0)));
        dc.SelectStockBrush(NULL_BRUSH);
        dc.Rectangle(CRect(200, 800, 800, 200));
    });
    EXPECT_EQ(InkBounds(framed), QRect(QPoint(20, 20), QPoint(79, 79)));
    EXPECT_EQ(framed.pixel(50, 50), White);
}

TEST(QPainterDrawContext, StyledLinesFillTheirGapsOnlyWithAnOpaqueBackground)
{
    const COLORREF red = RGB(255, 0, 0);
    for (const int mode : {OPAQUE, TRANSPARENT}) {
        const QImage image = Render(60, 5, [&](QPainterDrawContext& dc) {
            dc.SetBkMode(mode);
            dc.SetBkColor(red);
            dc.SelectPen(Pen(PS_DASH, 0, RGB(0, 0, 0)));
            dc.MoveTo(0, 2);
            dc.LineTo(60, 2);
        });
        const int black = CountOf(image, Black);
        EXPECT_GT(black, 20);
        EXPECT_LT(black, 60);
        EXPECT_EQ(CountOf(image, Rgb(red)), mode == OPAQUE ? 60 - black : 0);
    }
}

TEST(QPainterDrawContext, TextLandsInsideItsExtents)
{
    struct Case
    {
        const char* face;
        const char* text;
        int height;
        unsigned align;
    };
    const Case cases[] = {
        {"Arial", "Hg VELTA 42", -60, TA_LEFT | TA_TOP},
        {"Arial", "Hg VELTA 42", 60, TA_RIGHT | TA_BASELINE},
        {"IPAGothic", "\x95\x94\x95\x69 Ab", -80, TA_CENTER | TA_BOTTOM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CSize extent;
        TextMetrics tm;
        const CPoint at(1500, 300);
        const QImage image = Render(600, 100, [&](QPainterDrawContext& dc) {
            // Five logical units to the pixel, y up.
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(CSize(5, 5));
            dc.SetViewportExt(CSize(1, -1));
            dc.SetViewportOrg(CPoint(0, 100));
            dc.SetBkMode(TRANSPARENT);
            dc.SelectFont(Font(c.face, c.height * 5));
            dc.SetTextAlign(c.align);
            extent = dc.GetTextExtent(c.text);
            tm = dc.GetTextMetrics();
            dc.TextOut(at, c.text);
        });
        EXPECT_EQ(extent.cy, tm.tmHeight);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        if (c.height > 0)
            EXPECT_NEAR(tm.tmHeight, c.height * 5, 5); // a positive height is the cell's
        else
            EXPECT_GT(tm.tmHeight, -c.height * 5); // a negative one is the em's

        // The extent box in pixels, placed by the alignment about (300, 40).
        const double w = extent.cx / 5.0;
        const double ascent = tm.tmAscent / 5.0;
        const double h = extent.cy / 5.0;
        double left = 300;
        if ((c.align & TA_CENTER) == TA_CENTER)
            left -= w / 2;
        else if (c.align & TA_RIGHT)
            left -= w;
        double top = 40;
        if ((c.align & TA_BASELINE) == TA_BASELINE)
            top -= ascent;
        else if (c.align & TA_BOTTOM)
            top -= h;
        const QRect box = QRectF(left, top, w, h).toAlignedRect().adjusted(-1, -1, 1, 1);
        const QRect ink = InkBounds(image);
        ASSERT_FALSE(ink.isNull());
        EXPECT_TRUE(box.contains(ink))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height() << " box "
            << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
        EXPECT_GT(ink.width(), box.width() * 3 / 4);
    }
}

TEST(QPainterDrawContext, TextTurnsByTheEscapementAndFillsItsCellWhenOpaque)
{
    CSize extent;
    const QImage image = Render(100, 200, [&](QPainterDrawContext& dc) {
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkColor(RGB(0, 0, 255));
        dc.SelectFont(Font("Arial", -30, 900));
        extent = dc.GetTextExtent("VELTA");
        dc.TextOut(CPoint(20, 180), "VELTA"); // runs upward from (20, 180), its top to the left
    });
    const QRect ink = InkBounds(image);
    // The opaque cell: the extent turned a quarter counter-clockwise.
    EXPECT_NEAR(ink.left(), 20, 1);
    EXPECT_NEAR(ink.width(), extent.cy, 2);
    EXPECT_NEAR(ink.bottom(), 179, 1);
    EXPECT_NEAR(ink.height(), extent.cx, 2);
    EXPECT_GT(CountOf(image, qRgb(0, 0, 255)), ink.width() * ink.height() / 2);
    EXPECT_GT(CountOf(image, Black), 50);
}

TEST(QPainterDrawContext, LeftHandedAnglesTurnTheOtherWayUnderAMappingWithYUp)
{
    // A quarter turn written at the image's centre: counter-clockwise on the device the text runs
    // upward with its top to the left, so its cell lies right of and above the point; clockwise
    // it runs downward, left of and below it. Angles relative to the handedness turn clockwise
    // only where the mapping flips an axis; flipping both keeps the device's turn.
    struct Case
    {
        const char* name;
        CSize viewport;
        bool leftHanded;
        bool clockwise;
    };
    const Case cases[] = {
        {"y down", CSize(1, 1), false, false},
        {"y down, left-handed angles", CSize(1, 1), true, false},
        {"y up", CSize(1, -1), false, false},
        {"y up, left-handed angles", CSize(1, -1), true, true},
        {"x left, left-handed angles", CSize(-1, 1), true, true},
        {"both flipped, left-handed angles", CSize(-1, -1), true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSize extent;
        CPoint moved;
        const QImage image = Render(200, 200, [&](QPainterDrawContext& dc) {
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(CSize(1, 1));
            dc.SetViewportExt(c.viewport);
            dc.SetViewportOrg(CPoint(100, 100));
            dc.SetBkMode(TRANSPARENT);
            LogFont f = Font("Arial", -30, 900);
            if (c.leftHanded)
                f.lfClipPrecision = CLIP_LH_ANGLES;
            dc.SelectFont(f);
            extent = dc.GetTextExtent("VELTA");
            dc.SetTextAlign(TA_UPDATECP);
            dc.MoveTo(0, 0);
            dc.TextOut(CPoint(0, 0), "VELTA");
            moved = dc.LPtoDP(dc.GetCurrentPosition());
        });
        const QRect ink = InkBounds(image);
        ASSERT_FALSE(ink.isNull());
        EXPECT_NEAR(ink.height(), extent.cx, 3);
        if (c.clockwise) {
            EXPECT_LE(ink.right(), 100);
            EXPECT_GE(ink.left(), 100 - extent.cy);
            EXPECT_GE(ink.top(), 99);
            EXPECT_NEAR(moved.y, 100 + extent.cx, 1); // the current position follows the text
        } else {
            EXPECT_GE(ink.left(), 99);
            EXPECT_LE(ink.right(), 100 + extent.cy);
            EXPECT_LE(ink.bottom(), 100);
            EXPECT_NEAR(moved.y, 100 - extent.cx, 1);
        }
        EXPECT_EQ(moved.x, 100);
    }
}

TEST(QPainterDrawContext, RectVisibleAgainstThePaintersClip)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(QRect(50, 20, 100, 60));
    {
        QPainterDrawContext dc(&painter);
        // Board-like view: 10 logical units to the pixel, y up from the bottom of the image.
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(CSize(2000, 1000));
        dc.SetViewportExt(CSize(200, -100));
        dc.SetViewportOrg(CPoint(0, 100));
        EXPECT_EQ(dc.GetClipBox(), CRect(500, 200, 1500, 800));
        struct Case
        {
            CRect r;
            bool visible;
        };
        const Case cases[] = {
            {CRect(600, 300, 700, 400), true},
            {CRect(700, 400, 600, 300), true}, // either orientation
            {CRect(0, 0, 2000, 1000), true},   // surrounds the clip
            {CRect(0, 300, 490, 400), false},
            {CRect(1500, 300, 1600, 400), false},
            {CRect(600, 810, 700, 900), false},
            {CRect(600, 0, 700, 190), false},
            {CRect(1000, 500, 1000, 500), true}, // a bare point inside
            {CRect(-100000000, 500, 100000000, 500), true},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(dc.RectVisible(c.r), c.visible)
                << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
        }

        // Nothing lands outside the clip, however far out the figure reaches.
        dc.SelectPen(Pen(PS_SOLID, 30, RGB(0, 0, 0)));
        dc.MoveTo(-2000000000, 500);
        dc.LineTo(2000000000, 500);
        dc.SelectStockBrush(BLACK_BRUSH);
        dc.Rectangle(CRect(-2000000000, 2000000000, 1000, 100));
    }
    painter.end();
    EXPECT_EQ(InkBounds(image), QRect(50, 20, 100, 60));
    EXPECT_EQ(image.pixel(100, 50), Black);

    // Figures at the ends of the coordinate range, unscaled.
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    const auto far = [](QPainterDrawContext& dc) {
        dc.SetROP2(R2_XORPEN);
        dc.SelectPen(Pen(PS_SOLID, 5, RGB(255, 255, 255)));
        dc.SelectStockBrush(WHITE_BRUSH);
        dc.Rectangle(CRect(lo, lo, hi, hi));
        dc.Ellipse(CRect(lo, lo, hi, hi));
        dc.Arc(CRect(lo, lo, hi, hi), CPoint(hi, 0), CPoint(0, lo));
        const CPoint points[] = {{lo, lo}, {hi, 5}, {5, hi}};
        dc.Polygon(points, 3);
        dc.MoveTo(lo, 10);
        dc.LineTo(hi, 10);
        EXPECT_FALSE(dc.RectVisible(CRect(hi - 1, hi - 1, hi, hi)));
    };
    QImage twice = Render(20, 20, far);
    EXPECT_GT(CountOf(twice, Black), 0);
    {
        QPainter again(&twice);
        QPainterDrawContext dc(&again);
        far(dc);
    }
    EXPECT_EQ(CountOf(twice, White), 400);
}

TEST(QPainterDrawContext, TextCanMoveTheCurrentPosition)
{
    Render(300, 60, [](QPainterDrawContext& dc) {
        dc.SelectFont(Font("Arial", -20));
        const CSize extent = dc.GetTextExtent("AB");
        dc.SetTextAlign(TA_UPDATECP | TA_LEFT);
        dc.MoveTo(10, 30);
        dc.TextOut(CPoint(200, 5), "AB"); // the given point is not used
        EXPECT_NEAR(dc.GetCurrentPosition().x, 10 + extent.cx, 1);
        EXPECT_EQ(dc.GetCurrentPosition().y, 30);
        dc.SetTextAlign(TA_UPDATECP | TA_CENTER);
        dc.TextOut(CPoint(0, 0), "AB");
        EXPECT_NEAR(dc.GetCurrentPosition().x, 10 + extent.cx, 1);
    });
}

namespace {

int g_warnings = 0;

void CountWarnings(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings;
}

} // namespace

TEST(QPainterDrawContext, DrawsOnVectorDevicesWithoutRasterOperations)
{
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(200, 100));
    svg.setViewBox(QRect(0, 0, 200, 100));
    g_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountWarnings);
    {
        QPainter painter(&svg);
        QPainterDrawContext dc(&painter);
        EXPECT_FALSE(dc.RectVisible(CRect(250, 10, 260, 20)));
        EXPECT_TRUE(dc.RectVisible(CRect(150, 10, 160, 20)));
        dc.SetROP2(R2_XORPEN); // drawn as a copy: a vector device has no pixels to combine
        dc.SelectBrush(Brush::Solid(RGB(0, 0, 255)));
        dc.Rectangle(CRect(10, 10, 90, 60));
        dc.SelectFont(Font("Arial", -20));
        dc.TextOut(CPoint(100, 40), "VELTA");
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_warnings, 0);
    const QByteArray out = buffer.data();
    EXPECT_TRUE(out.contains("<path") || out.contains("<rect") || out.contains("<polygon"));
    EXPECT_TRUE(out.contains("#0000ff")) << out.constData();
}
