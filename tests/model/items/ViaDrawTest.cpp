// Via drawing on the recording context: the land each kind of layer gives, wired or not, the
// drill view with its hole marks, visibility and the force flag.

#include "model/items/Land.h"
#include "model/items/Via.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ViaDrawTest : public ItemDrawFixture
{
protected:
    ViaDrawTest()
    {
        // Land turret byte i is turret i + 1, a round pad whose size tells them apart.
        tagVIA entry;
        entry.drill = 1.0;
        for (int i = 0; i < 15; ++i) {
            entry.lands[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
            doc.turretTable[static_cast<std::size_t>(i + 1)] = tagTURRET{TURRET_ROUND, 0.5 + 0.1 * i, 0.0};
        }
        doc.viaTable[1] = entry;
        entry.lands[6] = 0; // no unwired land on plain layers
        doc.viaTable[2] = entry;
        doc.viaDisplay = 1.0;
    }

    std::string Draw(CVia& via, int bits, int layer, int mode, bool force = false)
    {
        return Record([&] { via.DrawVia(&dc, bits, layer, mode, force); });
    }
    std::string Land(int turret, int mode)
    {
        CLand land(CDPoint(5, 5), turret);
        return Record([&] { land.DrawLand(&dc, mode); });
    }
};

TEST_F(ViaDrawTest, LandByLayerKindAndWiring)
{
    struct Case
    {
        const char* name;
        int bits;
        int layer;
        int mask;
        int turret;
    };
    const Case cases[] = {
        {"plain, wired", 0x1, 1, 0b1, 6},
        {"plain, unwired", 0x1, 1, 0b0, 7},
        {"first group, wired", 0x2, 1, 0b1, 1},
        {"first group, unwired", 0x2, 1, 0b0, 2},
        {"third group, wired", 0x4, 1, 0b1, 11},
        {"third group, unwired", 0x4, 1, 0b0, 12},
        {"wiring pair, wired", 0x8, 1, 0b1, 9},
        {"wiring pair, unwired", 0x8, 1, 0b0, 10},
        {"first group's wiring pair", 0x2 | 0x8, 1, 0b1, 4},
        {"first group's wiring pair, unwired", 0x2 | 0x8, 1, 0b0, 5},
        {"third group's wiring pair", 0x4 | 0x8, 3, 0b100, 14},
        {"resist land", 0x100000 | 0x8, 1, 0b1, 8},
        {"first group's resist land", 0x100000 | 0x2, 1, 0b0, 3},
        {"third group's resist land", 0x100000 | 0x4, 1, 0b0, 13},
        {"wired on another position", 0x1, 1, 0b100, 7},
        {"wired on position 3", 0x1, 3, 0b100, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVia via(CDPoint(5, 5), 1, &doc, c.mask);
        const std::string expected = Land(c.turret, 2);
        ASSERT_NE(expected, "");
        EXPECT_EQ(Draw(via, c.bits, c.layer, 2), expected);
    }

    // A turret byte of 0: no land on that layer.
    CVia via(CDPoint(5, 5), 2, &doc, 0);
    EXPECT_EQ(Draw(via, 0x1, 1, 4), "");
    EXPECT_NE(Draw(via, 0x2, 1, 4), "");
}

TEST_F(ViaDrawTest, DrillViewShowsTheHole)
{
    CVia via(CDPoint(5, 5), 1, &doc, 0b1);
    const std::string outline = "Arc(450,450,550,550; (550,500) (550,500))\n";
    const std::string fill = "SelectPen(style=0x5, width=0, RGB(0,0,0))\nEllipse(450,450,550,550)\n"
                             "SelectPen(style=0x0, width=0, RGB(0,128,0))\n";
    // Filled black on screen, white when printing, unless the layer fills its pads anyway.
    EXPECT_EQ(Draw(via, 0x10001, 1, 2), "SelectBrush(style=0, RGB(0,0,0))\n" + fill + kWhiteBrush + outline);
    dc.SetPrinting(true);
    EXPECT_EQ(Draw(via, 0x10001, 1, 2), std::string(kWhiteBrush) + fill + kWhiteBrush + outline);
    dc.SetPrinting(false);
    EXPECT_EQ(Draw(via, 0x10001, 1, 4), outline);

    struct Case
    {
        const char* name;
        int type;
        std::string marks;
    };
    const Case cases[] = {
        {"test hole: a bar", VIA_TEST_HOLE, "MoveTo(450,500)\nLineTo(550,500)\n"},
        {"check hole: a cross", VIA_CHECK_HOLE,
         "MoveTo(450,500)\nLineTo(550,500)\nMoveTo(500,450)\nLineTo(500,550)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        via.SetType(c.type);
        EXPECT_EQ(Draw(via, 0x10001, 1, 4), outline + c.marks);
    }
}

TEST_F(ViaDrawTest, VisibilityAndForce)
{
    CVia via(CDPoint(5, 5), 1, &doc, 0b1);
    dc.SetClipBox(CRect(700, 700, 800, 800));
    EXPECT_EQ(Draw(via, 0x1, 1, 2), "");
    EXPECT_EQ(Draw(via, 0x10001, 1, 2), "");

    // Bounds that miss the visible area (no size from the document) but a land that lies in it:
    // only a forced drawing shows it.
    doc.viaDisplay = 0.0;
    CVia loose(CDPoint(5, 5), 1, &doc, 0b1);
    dc.SetClipBox(CRect(400, 400, 600, 600));
    EXPECT_EQ(Draw(loose, 0x1, 1, 2), "");
    EXPECT_EQ(Draw(loose, 0x1, 1, 2, true), Land(6, 2));
}

} // namespace
