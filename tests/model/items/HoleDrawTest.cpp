// Hole drawing on the recording context: round holes filled or as marked outlines, rectangular
// holes turned, long holes as a path of two half circles, visibility.

#include "model/items/Hole.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

class HoleDrawTest : public ItemDrawFixture
{
protected:
    std::string Draw(CHole& hole, int mode)
    {
        return Record([&] { hole.DrawHole(&dc, mode); });
    }
};

TEST_F(HoleDrawTest, RoundHolesFilledOrMarkedByKind)
{
    CHole hole(CDPoint(5, 5), 1.0, true, 0.0, 0.0, 0.0);
    // Without mode bit 0x4 the caller's brush fills it.
    EXPECT_EQ(Draw(hole, 2), "Ellipse(450,450,550,550)\n");
    EXPECT_EQ(Draw(hole, 1), "Ellipse(450,450,550,550)\n");

    struct Case
    {
        const char* name;
        int kind;
        std::string marks;
    };
    const Case cases[] = {
        {"plain", 0, ""},
        {"test coupon: a bar", HOLE_TEST, "MoveTo(450,500)\nLineTo(550,500)\n"},
        {"dummy: a cross", HOLE_CHECK,
         "MoveTo(450,500)\nLineTo(550,500)\nMoveTo(500,450)\nLineTo(500,550)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hole.SetType(c.kind);
        EXPECT_EQ(Draw(hole, 4), "Arc(450,450,550,550; (550,500) (550,500))\n" + c.marks);
    }
}

TEST_F(HoleDrawTest, RectangularHoleIsItsTurnedBox)
{
    // 2 wide, 1 high, turned a quarter round: the corners (left, top), (left, bottom), (right,
    // bottom), (right, top) of the unturned box land on the upright box.
    CHole hole(CDPoint(5, 5), 1.0, false, 2.0, 0.1, std::numbers::pi / 2);
    ASSERT_TRUE(hole.IsHoleRect());
    EXPECT_EQ(Draw(hole, 2), "Polygon((550,400) (450,400) (450,600) (550,600))\n");
    EXPECT_EQ(Draw(hole, 4), "Polyline((550,400) (450,400) (450,600) (550,600) (550,400))\n");
}

TEST_F(HoleDrawTest, LongHoleIsTwoHalfCirclesJoinedByItsEdges)
{
    // Diameter 1 and width 3: end centres 1 mm either side, Bezier control points 0.276 along
    // the tangents.
    CHole hole(CDPoint(5, 5), 1.0, false, 3.0, 0.5, 0.0);
    const std::string path = "BeginPath()\nMoveTo(400,550)\n"
                             "PolyBezierTo((372,550) (350,527) (350,500) (350,472) (372,450) (400,450))\n"
                             "LineTo(600,450)\n"
                             "PolyBezierTo((627,450) (650,472) (650,500) (650,527) (627,550) (600,550))\n"
                             "CloseFigure()\nEndPath()\n";
    EXPECT_EQ(Draw(hole, 2), path + "StrokeAndFillPath()\n");
    EXPECT_EQ(Draw(hole, 4), path + "StrokePath()\n");

    // Turned a quarter round the slot stands upright.
    CHole upright(CDPoint(5, 5), 1.0, false, 3.0, 0.5, std::numbers::pi / 2);
    Draw(upright, 4);
    const auto moves = dc.CallsOf(Kind::MoveTo);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].args, (std::vector<std::int64_t>{450, 400}));
}

TEST_F(HoleDrawTest, NothingOutsideTheVisibleArea)
{
    CHole hole(CDPoint(5, 5), 1.0, true, 0.0, 0.0, 0.0);
    dc.SetClipBox(CRect(551, 450, 600, 550));
    EXPECT_NE(Draw(hole, 2), "");
    dc.SetClipBox(CRect(560, 450, 600, 550));
    EXPECT_EQ(Draw(hole, 2), "");
}

} // namespace
