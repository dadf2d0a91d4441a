// Line drawing on the recording context: thin lines and line types, outlines of round and square
// pens, arrows and dots, the name text, visibility, and the XOR rubber band.

#include "model/items/Line.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <random>
#include <string>
#include <utility>

namespace {

constexpr double kPi = std::numbers::pi;

class LineDrawTest : public ItemDrawFixture
{
protected:
    LineDrawTest()
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 0.25, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        frame.dims.arrowLength = 200;
        frame.dims.arrowAngle = 15.0 * kPi / 180.0;
        frame.dims.dotSize = 100;
    }

    std::string Draw(CLine& line, int mode)
    {
        return Record([&] { line.DrawLine(&dc, mode); });
    }
};

// Round pen 0.25 mm from (1, 1) to (3, 1): sides at y 1.125 and 0.875, half circles as two Bezier
// quarters whose control points lie 0.55228475 x 0.125 along the tangents.
const char* const kRoundOutline = "BeginPath()\nMoveTo(100,112)\nLineTo(300,112)\n"
                                  "PolyBezierTo((306,112) (312,106) (312,100) (312,93) (306,87) (300,87))\n"
                                  "LineTo(100,87)\n"
                                  "PolyBezierTo((93,87) (87,93) (87,100) (87,106) (93,112) (100,112))\n"
                                  "CloseFigure()\nEndPath()\n";

TEST_F(LineDrawTest, BodyInEveryMode)
{
    struct Case
    {
        const char* name;
        int turret;
        int lineType;
        int mode;
        std::string calls;
    };
    const std::string thin = "MoveTo(100,100)\nLineTo(300,100)\n";
    const Case cases[] = {
        {"thin", 1, 0, 1, thin},
        {"mirror bit ignored", 1, 0, 0x81, thin},
        {"dotted", 1, LINE_DOTTED, 1,
         "SelectPen(style=0x2, width=0, RGB(0,128,0))\n" + thin +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        {"dash-dot-dot", 1, LINE_DASHDOTDOT, 1,
         "SelectPen(style=0x4, width=0, RGB(0,128,0))\n" + thin +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        {"outlined", 1, 0, 2, std::string(kRoundOutline) + "StrokePath()\n"},
        {"outlined, class 8", 1, 0, 8, std::string(kRoundOutline) + "StrokePath()\n"},
        {"filled", 1, 0, 4, std::string(kRoundOutline) + "StrokeAndFillPath()\n"},
        // A line type shows only in mode 1.
        {"dotted outline", 1, LINE_DOTTED, 2, std::string(kRoundOutline) + "StrokePath()\n"},
        // A square pen: the hull of the end squares, a rectangle along an axis.
        {"square pen", 2, 0, 4,
         "BeginPath()\nMoveTo(87,87)\nLineTo(312,87)\nLineTo(312,112)\nLineTo(87,112)\nCloseFigure()\n"
         "EndPath()\nStrokeAndFillPath()\n"},
        // Without width always thin.
        {"no width", 0, 0, 4, thin},
        {"other mode", 1, 0, 16, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLine line(CDPoint(1, 1), CDPoint(3, 1), c.turret, c.lineType);
        EXPECT_EQ(Draw(line, c.mode), c.calls);
    }

    // A square pen on a diagonal: the hexagon of the two squares.
    CLine diagonal(CDPoint(1, 1), CDPoint(3, 3), 2, 0);
    Draw(diagonal, 2);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 1u);
    EXPECT_EQ(dc.Count(Kind::LineTo), 5u);
}

// The round outline as the plain form builds it: every point through CDPoint::IntPoint.
std::string LiteralRoundOutline(const CDPoint& from, const CDPoint& to, double width)
{
    const double h = width / 2;
    const double a = from.GetAngle(to);
    const CDPoint d(std::cos(a), std::sin(a));
    const CDPoint n(-d.y, d.x);
    const double k = 0.55228475 * h;
    const auto at = [&](const CDPoint& c, double along, double side) {
        const CPoint p = CDPoint(c.x + d.x * along + n.x * side, c.y + d.y * along + n.y * side).IntPoint();
        return std::to_string(p.x) + "," + std::to_string(p.y);
    };
    const auto curve = [&](const CDPoint& c, std::initializer_list<std::pair<double, double>> steps) {
        std::string s = "PolyBezierTo(";
        for (const auto& [along, side] : steps)
            s += (s.back() == '(' ? "(" : " (") + at(c, along, side) + ")";
        return s + ")\n";
    };
    return "BeginPath()\nMoveTo(" + at(from, 0, h) + ")\nLineTo(" + at(to, 0, h) + ")\n" +
           curve(to, {{k, h}, {h, k}, {h, 0}, {h, -k}, {k, -h}, {0, -h}}) + "LineTo(" + at(from, 0, -h) + ")\n" +
           curve(from, {{-k, -h}, {-h, -k}, {-h, 0}, {-h, k}, {-k, h}, {0, h}}) + "CloseFigure()\nEndPath()\n";
}

// Random round-pen lines at several coordinate scales, on a router's grid and off it, near zero,
// negative and far out (where the scaled coordinate is held to the 32-bit range): the outline's
// points are those of the plain form.
TEST_F(LineDrawTest, RoundOutlinePointsAsThePlainFormGivesThem)
{
    struct Case
    {
        const char* name;
        unsigned seed;
        int scale;
        double spread;
        double grid; // 0: anywhere
    };
    const Case cases[] = {
        {"router grid", 1, 100, 300.0, 0.05}, {"anywhere", 2, 100, 300.0, 0.0},
        {"near zero", 3, 100, 0.5, 0.0},      {"fine scale", 4, 10000, 50.0, 0.0},
        {"coarse scale", 5, 1, 3000.0, 0.0},  {"beyond the range", 6, 100, 4.0e7, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDPoint::SetScale(c.scale);
        dc.SetViewportExt(CSize(1, -1));
        std::mt19937 rng(c.seed);
        const auto coordinate = [&] {
            const double v = std::uniform_real_distribution<double>(-c.spread, c.spread)(rng);
            return c.grid > 0 ? std::round(v / c.grid) * c.grid : v;
        };
        for (int i = 0; i < 200; ++i) {
            const int turret = rng() % 2 ? 1 : 3; // round pens
            const CDPoint from(coordinate(), coordinate());
            const CDPoint to(from.x + coordinate() / 50, from.y + coordinate() / 50);
            if (from == to)
                continue;
            CLine line(from, to, turret, 0);
            EXPECT_EQ(Draw(line, 2), LiteralRoundOutline(from, to, doc.turretTable[turret].size1) + "StrokePath()\n")
                << i;
        }
    }
}

TEST_F(LineDrawTest, NothingOutsideTheVisibleAreaOrForAMarkedPoint)
{
    CLine line(CDPoint(1, 1), CDPoint(3, 1), 1, 0);
    // The bounds grown by 4 mm still reach a clip box just beyond them.
    dc.SetClipBox(CRect(650, 0, 700, 50));
    EXPECT_NE(Draw(line, 1), "");
    dc.SetClipBox(CRect(800, 0, 900, 50));
    EXPECT_EQ(Draw(line, 1), "");
    dc.ClearClipBox();

    CLine point(CDPoint(1, 1), CDPoint(1, 1), 1, 0);
    EXPECT_NE(Draw(point, 1), "");
    point.SetType(point.GetType() | 0x80);
    EXPECT_EQ(Draw(point, 1), "");
}

TEST_F(LineDrawTest, ArrowHeadsDotsAndName)
{
    CLine line(CDPoint(1, 1), CDPoint(11, 1), 1, 0);
    line.SetArrow(200, -100);
    const std::string calls = Draw(line, 1);
    // Barbs of 2 mm at 15 degrees either side of the line from the start, then a dot of 0.5 mm
    // radius round the end.
    const double c = 1 + 2 * std::cos(15.0 * kPi / 180.0);
    const double s = 2 * std::sin(15.0 * kPi / 180.0);
    const CPoint b1 = CDPoint(c, 1 + s).IntPoint();
    const CPoint b2 = CDPoint(c, 1 - s).IntPoint();
    const auto point = [](const CPoint& p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
    EXPECT_EQ(calls, "MoveTo(100,100)\nLineTo(1100,100)\n"
                     "MoveTo(100,100)\nLineTo(" +
                         point(b1) +
                         ")\n"
                         "MoveTo(100,100)\nLineTo(" +
                         point(b2) +
                         ")\n"
                         "Arc(1050,50,1150,150; (1150,100) (1150,100))\n");
    EXPECT_EQ(b1.x, 293);

    // Barbs are drawn in the line's mode.
    CLine wide(CDPoint(1, 1), CDPoint(11, 1), 1, 0);
    wide.SetArrow(0, 200);
    Draw(wide, 4);
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 3u);

    // The name text follows, drawn in mode 1.
    CLine named(CDPoint(1, 1), CDPoint(11, 1), 1, 0);
    named.SetName("10", 250, true);
    Draw(named, 2);
    EXPECT_EQ(dc.Count(Kind::StrokePath), 1u);
    EXPECT_EQ(dc.Count(Kind::TextOut), 1u);
    dc.ClearCalls();
    named.DrawName(&dc);
    EXPECT_EQ(dc.Count(Kind::TextOut), 1u);
    EXPECT_EQ(dc.Count(Kind::BeginPath), 0u);
}

TEST_F(LineDrawTest, RubberBandInXor)
{
    CLine line(CDPoint(1, 1), CDPoint(3, 1), 1, LINE_DASHED);
    dc.ClearCalls();
    line.DrawLine(&dc, CDPoint(5, 1), 1);
    ExpectRestored();
    EXPECT_EQ(dc.Dump(), "SetROP2(7)\nSelectPen(style=0x1, width=0, RGB(255,255,255))\n"
                         "MoveTo(100,100)\nLineTo(500,100)\n"
                         "SelectPen(style=0x0, width=0, RGB(0,128,0))\nSetROP2(13)\n");

    // Filled: a solid white pen and the white stock brush for the path.
    dc.ClearCalls();
    line.DrawLine(&dc, CDPoint(3, 1), 4);
    ExpectRestored();
    const auto pens = dc.CallsOf(Kind::SelectPen);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[0].args, (std::vector<std::int64_t>{PS_SOLID, 0, RGB(255, 255, 255)}));
    const auto brushes = dc.CallsOf(Kind::SelectBrush);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[0].args, (std::vector<std::int64_t>{BS_SOLID, RGB(255, 255, 255)}));
    EXPECT_EQ(dc.Count(Kind::FillPath), 1u);
    EXPECT_EQ(dc.Count(Kind::PolyBezierTo), 2u);

    // Turret 0 draws thin; the arrows follow the moving end.
    CLine arrow(CDPoint(1, 1), CDPoint(3, 1), 0, 0);
    arrow.SetArrow(0, 200);
    dc.ClearCalls();
    arrow.DrawLine(&dc, CDPoint(1, 5), 4);
    ExpectRestored();
    EXPECT_EQ(dc.Count(Kind::BeginPath), 0u);
    const auto moves = dc.CallsOf(Kind::MoveTo);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[1].args, (std::vector<std::int64_t>{100, 500})); // barbs from the moving end
}

} // namespace
