#include "platform/RecordingDrawContext.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;
using Kind = RecordingDrawContext::Kind;

TEST(DrawValues, StockObjectsAndPensFromBrushes)
{
    EXPECT_EQ(StockPen(BLACK_PEN), Pen(PS_SOLID, 0, RGB(0, 0, 0)));
    EXPECT_EQ(StockPen(WHITE_PEN), Pen(PS_SOLID, 0, RGB(255, 255, 255)));
    EXPECT_EQ(StockPen(NULL_PEN).Style(), PS_NULL);
    EXPECT_EQ(StockBrush(WHITE_BRUSH), Brush::Solid(RGB(255, 255, 255)));
    EXPECT_EQ(StockBrush(BLACK_BRUSH), Brush::Solid(RGB(0, 0, 0)));
    EXPECT_EQ(StockBrush(NULL_BRUSH).style, BS_NULL);
    EXPECT_EQ(StockBrush(HOLLOW_BRUSH), StockBrush(NULL_BRUSH));

    // The wide solid pen of a filled stroke: inside-frame, square ends, the current pen's colour.
    const Pen wide = Pen::FromBrush(PS_INSIDEFRAME | PS_ENDCAP_SQUARE, 40, Brush::Solid(RGB(1, 2, 3)));
    EXPECT_TRUE(wide.IsGeometric());
    EXPECT_EQ(wide.Style(), PS_INSIDEFRAME);
    EXPECT_EQ(wide.EndCap(), PS_ENDCAP_SQUARE);
    EXPECT_EQ(wide.Join(), PS_JOIN_ROUND);
    EXPECT_EQ(wide.width, 40);
    EXPECT_EQ(wide.color, RGB(1, 2, 3));
    EXPECT_EQ(Pen::FromBrush(PS_SOLID, 5, Brush::Null()).Style(), PS_NULL);
}

TEST(DrawValues, RegionBounds)
{
    Region r;
    EXPECT_TRUE(r.IsEmpty());
    r.AddPolygon({{0, 0}, {10, 5}});
    EXPECT_TRUE(r.IsEmpty());
    r.AddPolygon({{-3, 7}, {4, -2}, {8, 20}});
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.Bounds(), CRect(-3, -2, 10, 20));
}

TEST(RecordingDrawContext, StartsWithTheDeviceContextDefaults)
{
    RecordingDrawContext dc;
    EXPECT_EQ(dc.GetPen(), StockPen(BLACK_PEN));
    EXPECT_EQ(dc.GetBrush(), StockBrush(WHITE_BRUSH));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.GetPolyFillMode(), ALTERNATE);
    EXPECT_EQ(dc.GetArcDirection(), AD_COUNTERCLOCKWISE);
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    EXPECT_FALSE(dc.IsPrinting());
    EXPECT_TRUE(RecordingDrawContext(true).IsPrinting());
    EXPECT_TRUE(dc.Calls().empty());
}

TEST(RecordingDrawContext, SelectionsReturnThePreviousSoCallersCanRestore)
{
    RecordingDrawContext dc;
    const Pen pen0 = dc.GetPen();
    const Brush brush0 = dc.GetBrush();

    // An XOR rubber band as the line items draw it.
    const int rop = dc.SetROP2(R2_XORPEN);
    const Pen oldPen = dc.SelectPen(Pen(PS_DOT, 0, RGB(255, 255, 255)));
    const Brush oldBrush = dc.SelectStockBrush(NULL_BRUSH);
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
    EXPECT_EQ(dc.GetPen().Style(), PS_DOT);
    EXPECT_EQ(dc.GetBrush().style, BS_NULL);
    dc.MoveTo(1, 2);
    dc.LineTo(3, 4);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
    dc.SetROP2(rop);

    EXPECT_EQ(dc.GetPen(), pen0);
    EXPECT_EQ(dc.GetBrush(), brush0);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.Dump(), "SetROP2(7)\n"
                         "SelectPen(style=0x2, width=0, RGB(255,255,255))\n"
                         "SelectBrush(style=1, RGB(0,0,0))\n"
                         "MoveTo(1,2)\n"
                         "LineTo(3,4)\n"
                         "SelectBrush(style=0, RGB(255,255,255))\n"
                         "SelectPen(style=0x0, width=0, RGB(0,0,0))\n"
                         "SetROP2(13)\n");

    LogFont font;
    font.lfHeight = -50;
    font.SetFaceName("Arial");
    const LogFont oldFont = dc.SelectFont(font);
    EXPECT_EQ(dc.GetFont(), font);
    EXPECT_EQ(dc.SelectFont(oldFont), font);
    EXPECT_EQ(dc.GetFont(), LogFont());
}

TEST(RecordingDrawContext, RecordsFiguresPathsRegionsAndText)
{
    RecordingDrawContext dc;
    const CPoint square[] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    dc.Polyline(square, 5);
    dc.Polygon(square, 4);
    dc.Rectangle(CRect(1, 2, 3, 4));
    dc.Ellipse(CRect(-5, -5, 5, 5));
    dc.Arc(CRect(-5, -5, 5, 5), CPoint(5, 0), CPoint(5, 0));
    dc.BeginPath();
    dc.MoveTo(0, 0);
    const CPoint bezier[] = {{1, 1}, {2, 2}, {3, 0}};
    dc.PolyBezierTo(bezier, 3);
    dc.CloseFigure();
    dc.EndPath();
    dc.StrokeAndFillPath();
    Region region;
    region.AddPolygon({{0, 0}, {4, 0}, {4, 4}});
    region.AddPolygon({{1, 1}, {2, 1}, {2, 2}});
    dc.FillRegion(region, Brush::Halftone());
    dc.PaintRegion(region);
    dc.TextOut(CPoint(7, 8), _J("部品"));

    EXPECT_EQ(dc.Dump(), "Polyline((0,0) (0,10) (10,10) (10,0) (0,0))\n"
                         "Polygon((0,0) (0,10) (10,10) (10,0))\n"
                         "Rectangle(1,2,3,4)\n"
                         "Ellipse(-5,-5,5,5)\n"
                         "Arc(-5,-5,5,5; (5,0) (5,0))\n"
                         "BeginPath()\n"
                         "MoveTo(0,0)\n"
                         "PolyBezierTo((1,1) (2,2) (3,0))\n"
                         "CloseFigure()\n"
                         "EndPath()\n"
                         "StrokeAndFillPath()\n"
                         "FillRegion(style=3, RGB(0,0,0); [(0,0) (4,0) (4,4)] [(1,1) (2,1) (2,2)])\n"
                         "PaintRegion([(0,0) (4,0) (4,4)] [(1,1) (2,1) (2,2)])\n"
                         "TextOut(7,8, \"" +
                             _J("部品") + "\")\n");
    EXPECT_EQ(dc.Count(Kind::MoveTo), 1u);
    const auto texts = dc.CallsOf(Kind::TextOut);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, _J("部品"));
    EXPECT_EQ(texts[0].args, (std::vector<std::int64_t>{7, 8}));

    dc.ClearCalls();
    EXPECT_TRUE(dc.Calls().empty());
}

TEST(RecordingDrawContext, CurrentPositionAndPathState)
{
    RecordingDrawContext dc;
    EXPECT_EQ(dc.MoveTo(5, 6), CPoint(0, 0));
    dc.LineTo(7, 8);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(7, 8));
    const CPoint line[] = {{100, 100}, {200, 200}};
    dc.Polyline(line, 2); // a polyline neither uses nor moves the position
    dc.Polygon(line, 2);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(7, 8));
    const CPoint bezier[] = {{1, 1}, {2, 2}, {3, 9}};
    dc.PolyBezierTo(bezier, 3);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(3, 9));
    const CPoint ragged[] = {{4, 4}, {5, 5}, {6, 6}, {7, 7}};
    dc.PolyBezierTo(ragged, 4); // the odd point is no segment
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(6, 6));
    dc.Polyline(bezier, -1); // a negative count draws nothing
    EXPECT_EQ(dc.Calls().back().args.size(), 0u);

    EXPECT_FALSE(dc.InPath());
    dc.BeginPath();
    EXPECT_TRUE(dc.InPath());
    dc.EndPath();
    EXPECT_TRUE(dc.InPath());
    dc.StrokePath();
    EXPECT_FALSE(dc.InPath());
    dc.BeginPath();
    dc.AbortPath();
    EXPECT_FALSE(dc.InPath());
    dc.BeginPath();
    dc.EndPath();
    dc.FillPath();
    EXPECT_FALSE(dc.InPath());
}

TEST(RecordingDrawContext, RectVisibleAgainstTheClipBox)
{
    RecordingDrawContext dc;
    EXPECT_TRUE(dc.RectVisible(CRect(1000000, 1000000, 1000001, 1000001)));

    dc.SetClipBox(CRect(0, 100, 100, 0)); // given upside down, as under a y-up mapping
    EXPECT_EQ(dc.GetClipBox(), CRect(0, 0, 100, 100));
    struct Case
    {
        CRect r;
        bool visible;
    };
    const Case cases[] = {
        {CRect(10, 10, 20, 20), true},     {CRect(20, 20, 10, 10), true}, // either orientation
        {CRect(-50, -50, 150, 150), true},                                // surrounds the clip
        {CRect(-10, 10, 0, 20), false},   // touches the left edge from outside
        {CRect(100, 10, 110, 20), false}, // starts at the right edge, which is outside
        {CRect(99, 10, 110, 20), true},    {CRect(50, 120, 60, 130), false},
        {CRect(50, 50, 50, 50), true},    // a bare point inside
        {CRect(30, 100, 40, 100), false}, // a flat rectangle on the bottom edge
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dc.RectVisible(c.r), c.visible)
            << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
    }
    dc.ClearClipBox();
    EXPECT_TRUE(dc.RectVisible(CRect(-10, 10, 0, 20)));
}

TEST(RecordingDrawContext, TextMeasuresFromTheSelectedFont)
{
    RecordingDrawContext dc;
    TextMetrics tm = dc.GetTextMetrics();
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);

    LogFont font;
    font.lfHeight = -50;
    dc.SelectFont(font);
    tm = dc.GetTextMetrics();
    EXPECT_EQ(tm.tmHeight, 50);
    EXPECT_EQ(tm.tmDescent, 10);
    EXPECT_EQ(tm.tmAscent, 40);
    EXPECT_EQ(dc.GetTextExtent("AB"), CSize(50, 50));
    // A double-byte character is twice as wide as a single-byte one.
    EXPECT_EQ(dc.GetTextExtent(_J("部") + "A"), CSize(75, 50));
    EXPECT_EQ(dc.GetTextExtent(""), CSize(0, 50));

    font.lfWidth = 10;
    dc.SelectFont(font);
    EXPECT_EQ(dc.GetTextExtent("ABC").cx, 30);
}

TEST(RecordingDrawContext, MappingFollowsTheViewsSetUp)
{
    // The board view: isotropic, y upward, logical (0, 0) at the bottom left of the image.
    RecordingDrawContext dc;
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(CSize(20000, 10000));
    dc.SetViewportExt(CSize(800, -600));
    dc.SetViewportOrg(CPoint(0, 400));
    EXPECT_EQ(dc.GetViewportExt(), CSize(800, -400));
    EXPECT_EQ(dc.LPtoDP(CPoint(0, 0)), CPoint(0, 400));
    EXPECT_EQ(dc.LPtoDP(CPoint(20000, 10000)), CPoint(800, 0));
    EXPECT_EQ(dc.DPtoLP(CPoint(400, 200)), CPoint(10000, 5000));
    EXPECT_EQ(dc.LPtoDP(CSize(250, 250)), CSize(10, 10));
    EXPECT_EQ(dc.Count(Kind::SetViewportExt), 1u);
}
