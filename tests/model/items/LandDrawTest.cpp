// Land drawing on the recording context: marks of a class-1 layer, outlined and filled pads,
// donuts and thermal reliefs made of ring sectors, brushes put back, visibility.

#include "model/items/Land.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LandDrawTest : public ItemDrawFixture
{
protected:
    LandDrawTest()
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_DONUT, 2.0, 1.0};
        doc.turretTable[4] = tagTURRET{TURRET_THERMAL, 2.0, 1.0};
    }

    std::string Draw(int turret, int mode)
    {
        CLand land(CDPoint(5, 5), turret);
        return Record([&] { land.DrawLand(&dc, mode); });
    }
};

TEST_F(LandDrawTest, EveryShapeInEveryClass)
{
    const std::string nul = kNullBrush;
    const std::string white = kWhiteBrush;
    struct Case
    {
        const char* name;
        int turret;
        int mode;
        std::string calls;
    };
    const Case cases[] = {
        // Marks: a pentagon with a radius line to its top vertex, turned down by bit 0x80.
        {"round mark", 1, 1,
         nul +
             "MoveTo(500,500)\nLineTo(500,550)\nLineTo(452,515)\nLineTo(470,459)\nLineTo(529,459)\n"
             "LineTo(547,515)\nLineTo(500,550)\n" +
             white},
        {"round mark turned down", 1, 0x81,
         nul +
             "MoveTo(500,500)\nLineTo(500,450)\nLineTo(452,484)\nLineTo(470,540)\nLineTo(529,540)\n"
             "LineTo(547,484)\nLineTo(500,450)\n" +
             white},
        {"square mark", 2, 1, nul + "Rectangle(450,450,550,550)\n" + white},
        {"donut mark", 3, 1, nul + "Ellipse(400,400,600,600)\nEllipse(450,450,550,550)\n" + white},
        // A circle with a diagonal cross.
        {"thermal mark", 4, 1,
         nul +
             "Ellipse(400,400,600,600)\nMoveTo(570,570)\nLineTo(429,429)\nMoveTo(429,570)\n"
             "LineTo(570,429)\n" +
             white},
        // Pads: only the filled class keeps the caller's brush.
        {"round outline", 1, 2, nul + "Ellipse(450,450,550,550)\n" + white},
        {"round outline, class 8", 1, 8, nul + "Ellipse(450,450,550,550)\n" + white},
        {"round filled", 1, 4, "Ellipse(450,450,550,550)\n"},
        {"square outline", 2, 2, nul + "Rectangle(450,450,550,550)\n" + white},
        {"square filled", 2, 4, "Rectangle(450,450,550,550)\n"},
        {"donut outline", 3, 8, nul + "Ellipse(400,400,600,600)\nEllipse(450,450,550,550)\n" + white},
        // Nothing for the other classes.
        {"class 0", 1, 0, ""},
        {"class 3", 1, 3, ""},
        {"class 0 turned down", 1, 0x80, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Draw(c.turret, c.mode), c.calls);
    }
}

TEST_F(LandDrawTest, FilledDonutIsFourQuartersOfOnePath)
{
    const std::string calls = Draw(3, 4);
    // The first quarter: the outer arc from 0 to 90 degrees, in to the inner circle, back along it.
    EXPECT_EQ(calls.substr(0, calls.find("MoveTo", 20)),
              "BeginPath()\nMoveTo(600,500)\nPolyBezierTo((600,555) (555,600) (500,600))\nLineTo(500,550)\n"
              "PolyBezierTo((527,550) (550,527) (550,500))\nLineTo(600,500)\n");
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u);
    EXPECT_EQ(dc.Count(Kind::PolyBezierTo), 8u);
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 1u);
    EXPECT_EQ(dc.Count(Kind::SelectBrush), 0u);
    EXPECT_EQ(calls.substr(calls.size() - 30), "EndPath()\nStrokeAndFillPath()\n");
}

TEST_F(LandDrawTest, ThermalIsFourSectorsBetweenDiagonalSpokes)
{
    // Filled: one path. The first sector is centred on 90 degrees; its corner on the outer circle
    // lies a quarter millimetre off the 45-degree spoke's centre line.
    std::string calls = Draw(4, 4);
    EXPECT_EQ(calls.substr(0, 28), "BeginPath()\nMoveTo(550,586)\n");
    EXPECT_EQ(dc.Count(Kind::BeginPath), 1u);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u);
    EXPECT_EQ(dc.Count(Kind::LineTo), 8u);
    EXPECT_EQ(dc.Count(Kind::PolyBezierTo), 8u);
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 1u);

    // Outlined: the same sectors drawn directly with no brush.
    calls = Draw(4, 2);
    EXPECT_EQ(dc.Count(Kind::BeginPath), 0u);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u);
    EXPECT_EQ(calls.substr(0, std::string(kNullBrush).size() + 15),
              std::string(kNullBrush) + "MoveTo(550,586)");
}

TEST_F(LandDrawTest, ThermalWithoutInnerRingOrSizeDrawsNoNonsense)
{
    // Inner diameter 0: the spokes are half the radius wide and the sectors end where their edges
    // meet instead of on an inner circle.
    doc.turretTable[5] = tagTURRET{TURRET_THERMAL, 2.0, 0.0};
    Draw(5, 4);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u);
    EXPECT_EQ(dc.Count(Kind::PolyBezierTo), 4u);
    for (const auto& call : dc.CallsOf(Kind::LineTo)) {
        for (const std::int64_t v : call.args)
            EXPECT_TRUE(v > 300 && v < 700) << call.ToString();
    }
    // No size at all: nothing but the path frame.
    doc.turretTable[6] = tagTURRET{TURRET_THERMAL, 0.0, 0.0};
    Draw(6, 4);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 0u);
}

TEST_F(LandDrawTest, NothingOutsideTheVisibleArea)
{
    // The pad's box grown by two units still reaches a clip box just beside it.
    dc.SetClipBox(CRect(551, 450, 600, 550));
    EXPECT_NE(Draw(1, 4), "");
    dc.SetClipBox(CRect(560, 450, 600, 550));
    EXPECT_EQ(Draw(1, 4), "");
}

} // namespace
