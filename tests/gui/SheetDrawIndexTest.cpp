// A layer sheet drawn by DrawSheet, which visits only the items its spatial index finds in view,
// gives the very pixels of every item of the sheet drawn in the sheet's order with the same pens
// and brushes: zoomed in at odd places, at the edges, and zoomed out, outlined and filled, on the
// screen and printed.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
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

#include <random>
#include <string>

using platform::QPainterDrawContext;

namespace {

constexpr COLORREF kColour = RGB(200, 60, 30);
constexpr QRgb kBackground = 0xFF203040; // neither black nor white, which sheets may draw in

struct View
{
    double x0, y0;
    int pixelsPerMm;
};

class SheetDrawIndexTest : public ::testing::TestWithParam<int>
{
protected:
    SheetDrawIndexTest() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.5, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 1.2, 0.0};
        tagVIA via;
        via.drill = 0.4;
        via.lands.fill(1);
        doc.viaTable[1] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.9;
        doc.SetWireLayers({0});
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[LAYER_MAX] = &viaParts;

        std::mt19937 rng(5);
        const auto at = [&] { return std::uniform_real_distribution<double>(0.0, 60.0)(rng); };
        const auto len = [&] { return std::uniform_real_distribution<double>(-4.0, 4.0)(rng); };
        for (int i = 0; i < 300; ++i) {
            const CDPoint p(at(), at());
            sheet.NewLine(p, CDPoint(p.x + len(), p.y + len()), i % 7 == 0 ? 2 : 1, 0);
            if (i % 4 == 0)
                sheet.NewLand(CDPoint(at(), at()), i % 8 == 0 ? 2 : 3);
            if (i % 5 == 0)
                viaParts.NewVia(CVia(CDPoint(at(), at()), 1, &doc, 0x1));
            if (i % 10 == 0) {
                sheet.NewHole(CDPoint(at(), at()), 0.8, true, 0.0, 0.0, 0.0);
                sheet.NewArc(CDPoint(at(), at()), 1.0 + i % 3, 0.3, 2.5, 0, 1);
            }
            if (i % 20 == 0) {
                CText text("U" + std::to_string(i), CDPoint(at(), at()), 0);
                text.SetSize(150);
                sheet.NewText(text);
            }
        }
        // A long line over everything, and a named one.
        sheet.NewLine(CDPoint(-5, 30), CDPoint(65, 33), 1, 0)->SetName("NET1", 120, true);
        tagLAYER layer;
        layer.color = kColour;
        layer.drawClass = static_cast<std::uint8_t>(GetParam());
        sheet.SetLayer(layer);
    }
    ~SheetDrawIndexTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    // Every item of the sheet in its order, as the sheet drew before it had an index.
    void DrawEveryItem(platform::DrawContext& dc)
    {
        const int drawClass = sheet.GetLayer().drawClass;
        const bool filled = drawClass == 4;
        const bool printing = dc.IsPrinting();
        frame.SetDrawMode(printing ? -2 : sheet.GetSheetType());
        const COLORREF colour = sheet.GetColor();
        const platform::Pen oldPen = dc.SelectPen(platform::Pen(PS_SOLID, 0, colour));
        dc.SetTextColor(colour);
        platform::Brush oldBrush;
        COLORREF oldBackground = 0;
        if (filled) {
            oldBrush = dc.SelectBrush(platform::Brush::Solid(colour));
            oldBackground = dc.SetBkColor(RGB(0, 0, 0));
        }
        for (POSITION pos = sheet.GetFirstSurPos(); pos;)
            sheet.GetNextSur(pos)->DrawSur(&dc, drawClass);
        for (POSITION pos = sheet.GetFirstLinePos(); pos;)
            sheet.GetNextLine(pos)->DrawLine(&dc, drawClass);
        for (POSITION pos = sheet.GetFirstArcPos(); pos;)
            sheet.GetNextArc(pos)->DrawArc(&dc, drawClass);
        for (POSITION pos = sheet.GetFirstLandPos(); pos;)
            sheet.GetNextLand(pos)->DrawLand(&dc, drawClass);
        if (filled) {
            dc.SelectBrush(oldBrush);
            dc.SetBkColor(oldBackground);
        }
        for (POSITION pos = sheet.GetFirstTextPos(); pos;)
            sheet.GetNextText(pos)->DrawTextA(&dc, drawClass);
        for (POSITION pos = sheet.GetFirstTerPos(); pos;)
            sheet.GetNextTer(pos)->DrawTer(&dc, 1);
        const platform::Brush previous = dc.SelectBrush(platform::Brush::Solid(colour));
        for (POSITION pos = viaParts.GetFirstViaPos(); pos;)
            viaParts.GetNextVia(pos)->DrawVia(&dc, sheet.GetType(), sheet.GetWLayer(), drawClass, false);
        dc.SelectBrush(previous);
        const platform::Brush beforeHoles =
            filled ? dc.GetBrush() : dc.SelectStockBrush(printing ? WHITE_BRUSH : BLACK_BRUSH);
        for (POSITION pos = sheet.GetFirstHolePos(); pos;)
            sheet.GetNextHole(pos)->DrawHole(&dc, drawClass);
        if (!filled)
            dc.SelectBrush(beforeHoles);
        dc.SelectPen(oldPen);
    }

    QImage Draw(const View& view, bool printing, bool indexed)
    {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter painter(&image);
        {
            QPainterDrawContext dc(&painter,
                                   printing ? QPainterDrawContext::Printing : QPainterDrawContext::None);
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(CSize(100, 100));
            dc.SetViewportExt(CSize(view.pixelsPerMm, -view.pixelsPerMm));
            dc.SetWindowOrg(CDPoint(view.x0, view.y0).IntPoint());
            dc.SetViewportOrg(CPoint(0, image.height()));
            dc.SetBkMode(TRANSPARENT);
            if (indexed)
                sheet.DrawSheet(&dc);
            else
                DrawEveryItem(dc);
        }
        painter.end();
        return image;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    CSheet sheet{1, 0x1, 0, &doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};

private:
    int m_scale = 0;
};

TEST_P(SheetDrawIndexTest, DrawsThePixelsOfEveryItemDrawn)
{
    const View views[] = {
        {-2.0, -2.0, 4},    // the whole sheet
        {-20.0, -10.0, 2},  // the whole sheet small, off centre
        {20.37, 25.11, 40}, // zoomed in: every item many pixels wide
        {0.0, 0.0, 40},     // the corner
        {57.9, 3.3, 40},    // the right edge, items half in view
        {31.0, 28.0, 120},  // closer still, on the long line and its name
    };
    int compared = 0;
    for (const bool printing : {false, true}) {
        for (const View& v : views) {
            const QImage walked = Draw(v, printing, false);
            const QImage indexed = Draw(v, printing, true);
            QImage blank(walked.size(), walked.format());
            blank.fill(kBackground);
            EXPECT_FALSE(walked == blank); // something was drawn
            EXPECT_TRUE(walked == indexed)
                << "view at " << v.x0 << "," << v.y0 << " x" << v.pixelsPerMm << (printing ? " printed" : "");
            ++compared;
        }
    }
    EXPECT_EQ(compared, 12);
}

INSTANTIATE_TEST_SUITE_P(DrawClasses, SheetDrawIndexTest, ::testing::Values(1, 2, 4));

} // namespace
