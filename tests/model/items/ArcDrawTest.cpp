// Arc drawing on the recording context: the centre line in both directions and in a line type,
// the outline of a wide arc, the wide stroke, arrows, dots, the name text and visibility.

#include "model/items/Arc.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;

class ArcDrawTest : public ItemDrawFixture
{
protected:
    ArcDrawTest()
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 0.5, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        frame.dims.arrowLength = 200;
        frame.dims.arrowAngle = 15.0 * kPi / 180.0;
    }

    std::string Draw(CArc& arc, int mode)
    {
        return Record([&] { arc.DrawArc(&dc, mode); });
    }
};

TEST_F(ArcDrawTest, BodyInEveryMode)
{
    // A quarter circle of radius 2 about (4, 4) from (6, 4) to (4, 6), 0.5 mm wide.
    const std::string quarter = "Arc(200,200,600,600; (600,400) (400,600))\n";
    const std::string outline = "Arc(175,175,625,625; (600,400) (400,600))\n"  // outer edge
                                "Arc(375,575,425,625; (400,625) (400,575))\n"  // round end
                                "Arc(575,375,625,425; (575,400) (625,400))\n"  // round start
                                "Arc(225,225,575,575; (600,400) (400,600))\n"; // inner edge
    struct Case
    {
        const char* name;
        int turret;
        int type;
        double end;
        int mode;
        std::string calls;
    };
    const Case cases[] = {
        {"centre line", 1, 0, kPi / 2, 1, quarter},
        {"mirror bit ignored", 1, 0, kPi / 2, 0x81, quarter},
        // Clockwise: the device's counter-clockwise arc from the end to the start.
        {"clockwise", 1, ARC_CW, kPi / 2, 1, "Arc(200,200,600,600; (400,600) (600,400))\n"},
        {"full circle", 1, 0, 0.0, 1, "Arc(200,200,600,600; (600,400) (600,400))\n"},
        {"dotted", 1, 0x200, kPi / 2, 1,
         "SelectPen(style=0x2, width=0, RGB(0,128,0))\n" + quarter +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        {"dash-dot", 1, 0x600, kPi / 2, 1,
         "SelectPen(style=0x3, width=0, RGB(0,128,0))\n" + quarter +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        {"outline", 1, 0, kPi / 2, 2, outline},
        {"outline, class 8", 1, 0, kPi / 2, 8, outline},
        // A full circle has no ends to round off.
        {"outlined ring", 1, 0, 0.0, 2,
         "Arc(175,175,625,625; (600,400) (600,400))\nArc(225,225,575,575; (600,400) (600,400))\n"},
        // Filled: a geometric pen as wide as the line, its ends as the turret's shape.
        {"wide", 1, 0, kPi / 2, 4,
         "SelectPen(style=0x10006, width=50, RGB(0,128,0))\n" + quarter +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        {"wide, square ends", 2, 0, kPi / 2, 4,
         "SelectPen(style=0x10106, width=50, RGB(0,128,0))\n" + quarter +
             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n"},
        // Turret 0 or no width: always the centre line.
        {"turret 0", 0, 0, kPi / 2, 4, quarter},
        {"no width", 3, 0, kPi / 2, 2, quarter},
        {"other class", 1, 0, kPi / 2, 16, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArc arc(CDPoint(4, 4), 2.0, 0.0, c.end, c.type, c.turret);
        EXPECT_EQ(Draw(arc, c.mode), c.calls);
    }

    // The inner edge goes when the line is wider than the arc's diameter.
    CArc tight(CDPoint(4, 4), 0.2, 0.0, kPi / 2, 0, 1);
    Draw(tight, 2);
    EXPECT_EQ(dc.Count(Kind::Arc), 3u);
}

TEST_F(ArcDrawTest, ArrowsDotsAndName)
{
    CArc arc(CDPoint(4, 4), 2.0, 0.0, kPi / 2, 0, 3);
    arc.SetArrow(200, -100);
    const std::string calls = Draw(arc, 1);
    // The barbs leave the start (6, 4) along the sweep; the dot of radius 0.25 sits on the end.
    const auto moves = dc.CallsOf(Kind::MoveTo);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].args, (std::vector<std::int64_t>{600, 400}));
    EXPECT_EQ(moves[1].args, (std::vector<std::int64_t>{600, 400}));
    const auto barbs = dc.CallsOf(Kind::LineTo);
    ASSERT_EQ(barbs.size(), 2u);
    for (const auto& barb : barbs) {
        EXPECT_LT(barb.args[0], 600) << barb.ToString();
        EXPECT_GT(barb.args[1], 500) << barb.ToString();
    }
    EXPECT_EQ(calls.substr(calls.size() - 42), "Arc(375,575,425,625; (425,600) (425,600))\n");

    // Barbs follow the arc's class.
    CArc wide(CDPoint(4, 4), 2.0, 0.0, kPi / 2, 0, 1);
    wide.SetArrow(0, 200);
    Draw(wide, 2);
    EXPECT_EQ(dc.Count(Kind::StrokePath), 2u);

    // The name text comes last, in mode 1.
    CArc named(CDPoint(4, 4), 2.0, 0.0, kPi / 2, 0, 1);
    named.SetName(std::string("90"), 250, true);
    ASSERT_FALSE(named.IsNameEmpty());
    const std::string withName = Draw(named, 2);
    EXPECT_EQ(dc.Count(Kind::TextOut), 1u);
    EXPECT_LT(withName.find("Arc(225,225,575,575"), withName.find("TextOut"));
}

TEST_F(ArcDrawTest, NothingOutsideTheVisibleArea)
{
    CArc arc(CDPoint(4, 4), 2.0, 0.0, kPi / 2, 0, 1);
    dc.SetClipBox(CRect(590, 590, 700, 700));
    EXPECT_NE(Draw(arc, 1), "");
    dc.SetClipBox(CRect(700, 700, 800, 800));
    EXPECT_EQ(Draw(arc, 1), "");
}

} // namespace
