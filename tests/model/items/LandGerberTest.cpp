// Photo-plot flashes of lands and vias, how a flash ends the stroke mode, and the vias' aperture
// usage.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Via.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

class LandGerberTest : public ::testing::Test
{
protected:
    LandGerberTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[7] = tagTURRET{TURRET_ROUND, 1.6, 0.0};
        doc.turretTable[8] = tagTURRET{TURRET_SQUARE, 1.6, 0.0};
        frame.dcodes[7] = 17;
        frame.dcodes[8] = 5;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    GerberOutput out;
};

TEST_F(LandGerberTest, ALandIsOneFlashThatEndsInTheMoveMode)
{
    CLand a(CDPoint(1, 2), 7);
    CLand b(CDPoint(3, 2), 7);
    CLand c(CDPoint(5, 2), 8);
    a.DataWriteGerbar(out.ar, out.g);
    b.DataWriteGerbar(out.ar, out.g);
    c.DataWriteGerbar(out.ar, out.g);
    // One aperture selection for the two lands of turret 7; after every flash the move code, so
    // that the next coordinate block is a move.
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D17", "X1000Y2000", "D03", "D02", "X3000Y2000", "D03", "D02",
                                    "G54D05", "X5000Y2000", "D03", "D02"}));
    EXPECT_EQ(out.g.pendingExposure, 0);
    EXPECT_EQ(out.g.currentAperture, 8);
}

TEST_F(LandGerberTest, AStrokeFromTheFlashPointIsADraw)
{
    CLand land(CDPoint(1, 2), 7);
    CLine line(CDPoint(1, 2), CDPoint(6, 2), 7, 0);
    land.DataWriteGerbar(out.ar, out.g);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(),
              (Blocks{"G54D17", "X1000Y2000", "D03", "D02", "D02", "X1000Y2000", "D01", "X6000Y2000"}));

    // An arc from the flash point: the draw code comes before its record.
    GerberOutput arcs;
    CArc arc(CDPoint(0, 2), 1, 0, std::numbers::pi, 0, 7);
    land.DataWriteGerbar(arcs.ar, arcs.g);
    arc.DataWriteGerbar(arcs.ar, arcs.g, false);
    EXPECT_EQ(arcs.Blocks(), (Blocks{"G54D17", "X1000Y2000", "D03", "D02", "D01", "G03X-1000Y2000I-1000J0"}));
}

TEST_F(LandGerberTest, AFlashEndsAnOpenStrokeOfTheSameAperture)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 2), 7, 0);
    CLand land(CDPoint(1, 2), 7);
    line.DataWriteGerbar(out.ar, out.g, false);
    out.Clear();
    land.DataWriteGerbar(out.ar, out.g);
    EXPECT_EQ(out.Blocks(), (Blocks{"D02", "X1000Y2000", "D03", "D02"}));
}

TEST_F(LandGerberTest, ViasFlashTheirPhotoLand)
{
    // Group 2 (sheets without 0x2 and 0x4): wired land t5, unwired land t6.
    tagVIA entry{};
    entry.drill = 0.8;
    entry.lands[5] = 7;
    entry.lands[6] = 200; // beyond the aperture table
    doc.viaTable[3] = entry;
    CVia via(CDPoint(4, 5), 3, nullptr, 0x1);

    via.DataWriteGerbar(out.ar, out.g, 0x1, 1); // wired at position 1
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D17", "X4000Y5000", "D03", "D02"}));
    out.Clear();
    via.DataWriteGerbar(out.ar, out.g, 0x1, 2); // unwired: a land byte without an aperture
    EXPECT_EQ(out.Text(), "");

    std::array<tagDCODE, TURRET_MAX + 1> table{};
    via.CheckTurret(table.data(), 0x1, 1);
    via.CheckTurret(table.data(), 0x1, 2);
    EXPECT_EQ(table[7].flashCount, 1);
    for (std::size_t t = 0; t < table.size(); ++t) {
        if (t != 7) {
            EXPECT_EQ(table[t].flashCount, 0) << t;
        }
    }

    entry.lands[5] = 0; // no land on the layer
    doc.viaTable[3] = entry;
    CVia bare(CDPoint(4, 5), 3, nullptr, 0x1);
    out.Clear();
    bare.DataWriteGerbar(out.ar, out.g, 0x1, 1);
    EXPECT_EQ(out.Text(), "");
}

} // namespace
