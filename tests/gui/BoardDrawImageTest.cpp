// A sheet drawn through its spatial index gives the very pixels of a sheet drawn item by item:
// zoomed in (every item many pixels wide) over views at odd places, and zoomed out over the whole
// sheet. Figures drawn from stamps give the very pixels of figures drawn through the painter.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetIndex.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using platform::QPainterDrawContext;

namespace {

class BoardDrawImageTest : public ::testing::Test
{
protected:
    BoardDrawImageTest() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.5, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 1.2, 0.0};
        std::mt19937 rng(11);
        const auto at = [&] { return std::uniform_real_distribution<double>(0.0, 60.0)(rng); };
        const auto len = [&] { return std::uniform_real_distribution<double>(-4.0, 4.0)(rng); };
        for (int i = 0; i < 400; ++i) {
            const CDPoint p(at(), at());
            sheet.NewLine(p, CDPoint(p.x + len(), p.y + len()), i % 7 == 0 ? 2 : 1, 0);
            if (i % 4 == 0)
                sheet.NewLand(CDPoint(at(), at()), i % 8 == 0 ? 2 : 3);
            if (i % 10 == 0)
                sheet.NewHole(CDPoint(at(), at()), 0.8, true, 0.0, 0.0, 0.0);
            if (i % 20 == 0) {
                CText text("R" + std::to_string(i), CDPoint(at(), at()), 0);
                text.SetSize(150);
                sheet.NewText(text);
            }
        }
        // A long line over everything.
        sheet.NewLine(CDPoint(-5, 30), CDPoint(65, 33), 1, 0);
        // Tracks as a router lays them, on a 0.05 mm grid in eight directions and a few lengths,
        // so that many have the same shape on the device.
        const auto snap = [](double v) { return std::round(v * 20.0) / 20.0; };
        const int dirs[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        for (int i = 0; i < 600; ++i) {
            const CDPoint p(snap(at()), snap(at()));
            const int* d = dirs[rng() % 8];
            const double length = 0.5 + static_cast<double>(rng() % 4) * 0.7;
            sheet.NewLine(p, CDPoint(snap(p.x + d[0] * length), snap(p.y + d[1] * length)),
                          i % 5 == 0 ? 2 : 1, 0);
            if (i % 3 == 0)
                sheet.NewLand(CDPoint(snap(at()), snap(at())), i % 6 == 0 ? 2 : 3);
        }
        // Arcs of a few radii and eighth turns, either way round, full circles among them, thin
        // and wide: many of one shape on the device, at places that round differently.
        constexpr double eighth = 0.7853981633974483;
        for (int i = 0; i < 400; ++i) {
            const CDPoint c = i % 2 ? CDPoint(snap(at()), snap(at())) : CDPoint(at(), at());
            const double radius = 0.4 + static_cast<double>(rng() % 2) * 0.35;
            const double start = static_cast<double>(rng() % 4) * 2 * eighth;
            const double end = i % 7 == 0 ? start : start + static_cast<double>(1 + rng() % 6) * eighth;
            sheet.NewArc(c, radius, start, end, i % 3 == 0 ? ARC_CW : 0, i % 4 == 0 ? 0 : 1);
        }
        // Arcs on a whole-millimetre grid, where the closer views put them on the device alike:
        // the same boxes and starts with different ends and ways round.
        for (int i = 0; i < 60; ++i) {
            const double start = static_cast<double>(i % 4) * 2 * eighth;
            sheet.NewArc(CDPoint(21.0 + i % 10, 24.5 + i / 10), i % 2 ? 0.6 : 0.35, start,
                         start + static_cast<double>(1 + i % 5) * eighth, i % 3 == 0 ? ARC_CW : 0, 1);
        }
    }
    ~BoardDrawImageTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    template <class Item, class Fn> void Items(int kind, const CDRect* area, Fn&& fn)
    {
        if (area) {
            std::vector<CItemBase*> found;
            sheet.GetItemsIn(kind, *area, found);
            for (CItemBase* item : found)
                fn(*static_cast<Item*>(item));
            return;
        }
        for (POSITION p = sheet.GetFirstItemPos(kind); p;)
            fn(*static_cast<Item*>(sheet.GetNextItem(kind, p)));
    }

    // The sheet filled in one colour (lines, arcs, lands, texts, then the holes in black), the board
    // point (x0, y0) at the image's bottom left, pixelsPerMm pixels to the millimetre.
    // flags go to the context; cls is the drawing class of lines and lands; an image of format
    // other than RGB32, a painter moved by shift and a clip stand for the places a view draws on.
    QImage Draw(double x0, double y0, int pixelsPerMm, bool indexed,
                unsigned flags = QPainterDrawContext::None, int cls = 4,
                QImage::Format format = QImage::Format_RGB32, QPoint shift = QPoint(), QRect clip = QRect())
    {
        QImage image(320, 240, format);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(shift);
        if (!clip.isNull())
            painter.setClipRect(clip);
        {
            QPainterDrawContext dc(&painter, flags);
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(CSize(100, 100));
            dc.SetViewportExt(CSize(pixelsPerMm, -pixelsPerMm));
            dc.SetWindowOrg(CDPoint(x0, y0).IntPoint());
            dc.SetViewportOrg(CPoint(0, image.height()));
            const COLORREF colour = RGB(200, 60, 30);
            dc.SelectPen(platform::Pen(PS_SOLID, 0, colour));
            dc.SelectBrush(platform::Brush::Solid(colour));
            dc.SetTextColor(colour);
            const CDRect visible = CSheetIndex::DrawArea(dc);
            const CDRect* area = indexed ? &visible : nullptr;
            Items<CLine>(KIND_LINE, area, [&](CLine& l) { l.DrawLine(&dc, cls); });
            Items<CArc>(KIND_ARC, area, [&](CArc& a) { a.DrawArc(&dc, cls); });
            Items<CLand>(KIND_LAND, area, [&](CLand& l) { l.DrawLand(&dc, cls); });
            Items<CText>(KIND_TEXT, area, [&](CText& t) { t.DrawTextA(&dc, 4); });
            dc.SelectStockBrush(BLACK_BRUSH);
            Items<CHole>(KIND_HOLE, area, [&](CHole& h) { h.DrawHole(&dc, 4); });
        }
        painter.end();
        return image;
    }

    static int Ink(const QImage& image)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) != 0xFFFFFFFF;
        return n;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    CSheet sheet{SHEET_WORK};

private:
    int m_scale = 0;
};

TEST_F(BoardDrawImageTest, IndexedDrawingGivesTheSamePixels)
{
    struct View
    {
        double x0, y0;
        int pixelsPerMm;
    };
    const View views[] = {
        {-2.0, -2.0, 4},    // the whole sheet: lines a pixel or two wide
        {-20.0, -10.0, 2},  // the whole sheet small, off centre
        {20.37, 25.11, 40}, // zoomed in: every item many pixels wide
        {0.0, 0.0, 40},     // the corner
        {57.9, 3.3, 40},    // the right edge, items half in view
        {31.0, 28.0, 120},  // closer still, on the long line
    };
    for (const View& v : views) {
        SCOPED_TRACE(::testing::Message() << v.x0 << "," << v.y0 << " at " << v.pixelsPerMm);
        const QImage walked = Draw(v.x0, v.y0, v.pixelsPerMm, false);
        const QImage indexed = Draw(v.x0, v.y0, v.pixelsPerMm, true);
        EXPECT_GT(Ink(walked), 500);
        EXPECT_TRUE(walked == indexed);
    }
}

TEST_F(BoardDrawImageTest, StampsGiveThePixelsOfThePainter)
{
    struct Case
    {
        double x0, y0;
        int pixelsPerMm;
        int cls; // 1: thin lines, 2: outlines, 4: filled
        QImage::Format format;
        QPoint shift; // the painter's own translation
        QRect clip;   // the painter's clip (null: none)
    };
    const Case cases[] = {
        {-2.0, -2.0, 4, 4, QImage::Format_RGB32, {}, {}},    // the whole sheet: tracks a pixel or two
        {-20.0, -10.0, 2, 4, QImage::Format_RGB32, {}, {}},  // smaller than a pixel or two
        {10.0, 12.0, 13, 4, QImage::Format_RGB32, {}, {}},   // a tenth of the sheet
        {20.37, 25.11, 40, 4, QImage::Format_RGB32, {}, {}}, // every item many pixels wide
        {31.0, 28.0, 120, 4, QImage::Format_RGB32, {}, {}},  // closer still: figures too big to stamp
        {-2.0, -2.0, 4, 2, QImage::Format_RGB32, {}, {}},    // outlines only
        {10.0, 12.0, 13, 2, QImage::Format_RGB32, {}, {}},
        {-2.0, -2.0, 4, 1, QImage::Format_RGB32, {}, {}}, // thin lines
        {10.0, 12.0, 13, 1, QImage::Format_RGB32, {}, {}},
        {-2.0, -2.0, 4, 4, QImage::Format_ARGB32_Premultiplied, {}, {}},
        {10.0, 12.0, 13, 4, QImage::Format_ARGB32, {7, -5}, {}},
        {-2.0, -2.0, 4, 4, QImage::Format_RGB32, {-3, 4}, QRect(31, 17, 200, 150)}, // figures cut by the clip
        {10.0, 12.0, 13, 1, QImage::Format_RGB32, {}, QRect(0, 0, 160, 240)},
        // Figures cut on every side of the clip, thin and wide, the clip past the image's edges.
        {10.0, 12.0, 13, 4, QImage::Format_RGB32, {}, QRect(45, 33, 101, 77)},
        {20.37, 25.11, 40, 4, QImage::Format_RGB32, {5, 3}, QRect(60, 40, 150, 120)},
        {20.37, 25.11, 40, 2, QImage::Format_ARGB32_Premultiplied, {}, QRect(-10, 100, 400, 50)},
        {10.0, 12.0, 13, 2, QImage::Format_RGB32, {-4, 0}, QRect(100, -20, 60, 300)},
        {-2.0, -2.0, 4, 4, QImage::Format_RGB32, {}, QRect(150, 0, 12, 240)}, // a column a few pixels wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x0 << "," << c.y0 << " at " << c.pixelsPerMm << " class "
                                          << c.cls << " format " << c.format);
        const QImage painted = Draw(c.x0, c.y0, c.pixelsPerMm, true, QPainterDrawContext::NoStamps, c.cls,
                                    c.format, c.shift, c.clip);
        EXPECT_GT(Ink(painted), 500);
        // Twice: stamps are made while the first drawing runs and kept for the next.
        for (int pass = 0; pass < 2; ++pass) {
            const QImage stamped = Draw(c.x0, c.y0, c.pixelsPerMm, true, QPainterDrawContext::None, c.cls,
                                        c.format, c.shift, c.clip);
            EXPECT_TRUE(painted == stamped) << "pass " << pass;
        }
    }
}

} // namespace
