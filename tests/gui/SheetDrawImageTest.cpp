// Layer sheets drawn offscreen through the Qt painter context: a board sheet in its layer colour,
// a selection sheet in white, printing with and without grey, a monochrome copy in black and a
// filled layer. Each image is also written to /tmp/velta-sheet-*.png for a look.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <string>

using platform::QPainterDrawContext;

namespace {

constexpr int kPixelsPerMm = 20;
constexpr int kSize = 400;
constexpr QRgb kBackground = 0xFF203040; // a dark view background, neither black nor white
constexpr COLORREF kRed = RGB(220, 40, 40);

class SheetDrawImageTest : public ::testing::Test
{
protected:
    SheetDrawImageTest() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 2.0, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.6, 0.0};
        tagVIA via;
        via.drill = 0.8;
        via.lands.fill(1);
        doc.viaTable[1] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 1.0;
        doc.SetWireLayers({0});
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[LAYER_MAX] = &viaParts;
        doc.greyLevel = 0x80;

        sheet.NewLine(CDPoint(2, 2), CDPoint(18, 2), 2, 0);
        sheet.NewLine(CDPoint(2, 2), CDPoint(2, 18), 2, 0);
        sheet.NewLand(CDPoint(10, 10), 1);
        sheet.NewHole(CHole(CDPoint(14, 14), 1.0, true, 0, 0, 0));
        viaParts.NewVia(CVia(CDPoint(6, 14), 1, &doc, 0x1));
        SetLayer(kRed, 2);
    }
    ~SheetDrawImageTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    void SetLayer(COLORREF colour, int drawClass)
    {
        tagLAYER layer;
        layer.color = colour;
        layer.drawClass = static_cast<std::uint8_t>(drawClass);
        sheet.SetLayer(layer);
    }

    QImage Draw(const char* name, bool printing)
    {
        QImage image(kSize, kSize, QImage::Format_RGB32);
        image.fill(printing ? QColor(Qt::white).rgb() : kBackground);
        QPainter painter(&image);
        {
            QPainterDrawContext dc(&painter,
                                   printing ? QPainterDrawContext::Printing : QPainterDrawContext::None);
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(CSize(100, 100));
            dc.SetViewportExt(CSize(kPixelsPerMm, -kPixelsPerMm));
            dc.SetViewportOrg(CPoint(0, kSize));
            dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(0, 255, 0)));
            dc.SelectStockBrush(WHITE_BRUSH);
            sheet.DrawSheet(&dc);
            EXPECT_EQ(dc.GetPen(), platform::Pen(PS_SOLID, 0, RGB(0, 255, 0)));
            EXPECT_EQ(dc.GetBrush(), platform::StockBrush(WHITE_BRUSH));
        }
        painter.end();
        image.save(QString("/tmp/velta-sheet-%1.png").arg(name));
        return image;
    }

    static QRgb At(const QImage& image, double x, double y)
    {
        return image.pixel(static_cast<int>(std::floor(x * kPixelsPerMm)),
                           static_cast<int>(std::floor(kSize - y * kPixelsPerMm)));
    }
    // Whether a pixel of the colour lies within two pixels of the board point.
    static bool Near(const QImage& image, double x, double y, QRgb colour)
    {
        const int px = static_cast<int>(std::floor(x * kPixelsPerMm));
        const int py = static_cast<int>(std::floor(kSize - y * kPixelsPerMm));
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                if (image.valid(px + dx, py + dy) && image.pixel(px + dx, py + dy) == colour)
                    return true;
            }
        }
        return false;
    }
    static QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    CSheet sheet{1, 0x1, 0, &doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};

private:
    int m_scale = 0;
};

TEST_F(SheetDrawImageTest, BoardSheetInItsColour)
{
    sheet.SetSheetType(SHEET_BOARD);
    frame.drawMode = 0;
    const QImage image = Draw("board", false);
    EXPECT_TRUE(Near(image, 10, 2.3, Rgb(kRed))) << "a track's outline";
    EXPECT_TRUE(Near(image, 7, 14, Rgb(kRed))) << "the via's land";
    EXPECT_EQ(At(image, 14, 14), qRgb(0, 0, 0)) << "a hole in black on screen";
    EXPECT_EQ(At(image, 10, 16), kBackground);
}

TEST_F(SheetDrawImageTest, SelectionSheetInWhite)
{
    sheet.SetSheetType(SHEET_SELECTION);
    frame.drawMode = 0;
    const QImage image = Draw("selection", false);
    EXPECT_TRUE(Near(image, 10, 2.3, qRgb(255, 255, 255)));
    EXPECT_FALSE(Near(image, 10, 2.3, Rgb(kRed)));
    EXPECT_EQ(frame.drawMode, SHEET_SELECTION);
}

TEST_F(SheetDrawImageTest, PrintingWithAndWithoutGrey)
{
    sheet.SetSheetType(SHEET_BOARD);
    SetLayer(RGB(255, 255, 255), 2);
    frame.drawMode = 0;
    doc.greyPrint = true;
    QImage grey = Draw("print-grey", true);
    EXPECT_TRUE(Near(grey, 10, 2.3, qRgb(0x80, 0x80, 0x80)));
    EXPECT_EQ(At(grey, 14, 14), qRgb(255, 255, 255)) << "a hole in white when printing";

    frame.drawMode = 0;
    doc.greyPrint = false;
    QImage black = Draw("print-black", true);
    EXPECT_TRUE(Near(black, 10, 2.3, qRgb(0, 0, 0)));
    EXPECT_FALSE(Near(black, 10, 2.3, qRgb(0x80, 0x80, 0x80)));
}

TEST_F(SheetDrawImageTest, MonochromeCopyInBlack)
{
    sheet.SetSheetType(SHEET_SELECTION);
    frame.drawMode = -2;
    const QImage image = Draw("mono", false);
    EXPECT_EQ(frame.drawMode, -2);
    EXPECT_TRUE(Near(image, 10, 2.3, qRgb(0, 0, 0)));
}

TEST_F(SheetDrawImageTest, FilledClass)
{
    sheet.SetSheetType(SHEET_BOARD);
    SetLayer(kRed, 4);
    frame.drawMode = 0;
    const QImage outlined = [&] {
        SetLayer(kRed, 2);
        return Draw("outlined", false);
    }();
    SetLayer(kRed, 4);
    const QImage filled = Draw("filled", false);
    // Inside the land but off its outline: filled only in class 4.
    EXPECT_EQ(At(filled, 10.2, 10.2), Rgb(kRed));
    EXPECT_NE(At(outlined, 10.2, 10.2), At(filled, 10.2, 10.2));
}

} // namespace
