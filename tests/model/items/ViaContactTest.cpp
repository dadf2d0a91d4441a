// A via's land on each wiring layer: the layered hit test and copper contact with lines, lands and
// other vias, the clearance of that land, and no contact where the via has no land.

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Via.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace testing_support;

// On a wiring sheet (type bits 0x8) a wired via shows land t8, an unwired one land t9.
constexpr int kWiringBits = VIA_SHEET_WIRING;

class ViaContactTest : public ContactTest
{
protected:
    ViaContactTest()
    {
        tagVIA entry;
        entry.drill = 0.3;
        entry.lands[8] = T_PAD; // wired
        entry.lands[9] = 0;     // unwired: no land
        doc.viaTable[1] = entry;
    }

    // A via at the origin wired on the wiring positions of the mask.
    CVia Via(int mask, double x = 0.0)
    {
        CVia via(CDPoint(x, 0), 1, &doc, mask);
        via.SetID(0x380);
        return via;
    }

    // The wiring position of a board layer, as the layer sheet has it from the document.
    int Position(int layer) { return doc.GetWireLayerPos(layer, false); }
};

struct ViaLineCase
{
    const char* name;
    int mask;
    int layer;
    double y; // the track runs along y from x = -5 to 5
    int contact;
    int violation;
};

TEST_F(ViaContactTest, ViaAgainstLine)
{
    // The via's 0.5 pad and a 0.25 track, clearance 0.25: touching at 0.375, the rule ends at 0.625.
    // A track over the land breaks the rule too (the copper groups' checks leave out wired pairs).
    const std::vector<ViaLineCase> cases = {
        {"wired layer, over the land", 0b01, 0, 0.25, 1, 1},
        {"wired layer, touching", 0b01, 0, 0.375, 1, 1},
        {"wired layer, just inside", 0b01, 0, 0.5, 0, 1},
        {"wired layer, exactly at", 0b01, 0, 0.625, 0, 0},
        {"wired layer, just outside", 0b01, 0, 0.75, 0, 0},
        {"unwired layer: no land, no contact", 0b01, 1, 0.0, 0, 0},
        {"unwired layer, just inside: no land", 0b01, 1, 0.5, 0, 0},
        {"wired on both layers, second layer", 0b11, 1, 0.375, 1, 1},
        {"wired on both layers, second layer, inside", 0b11, 1, 0.5, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVia via = Via(c.mask);
        CLine track(CDPoint(-5, c.y), CDPoint(5, c.y), T_LINE, 0);
        track.SetID(0x101);
        track.SetLayerNo(c.layer);
        const int pos = Position(c.layer);
        EXPECT_EQ(via.CheckShort(pos, kWiringBits, &track), c.contact);
        // The clearance of the via on that layer is the clearance of its land there.
        tagDRCSPEC drc = rule;
        int violation = 0;
        if (via.GetTurret(kWiringBits, pos, 1) != 0) {
            CLand land = via.GetLand(kWiringBits, pos, 1);
            violation = land.DRC_ShortCheck(&drc, &track);
        }
        EXPECT_EQ(violation, c.violation);
        EXPECT_EQ(drc.errorPoints,
                  c.violation ? Words(CDPoint(0, 0), CDPoint(0, c.y)) : std::vector<std::uint32_t>{});
    }
}

TEST_F(ViaContactTest, ViaAgainstViaAndLand)
{
    CVia a = Via(0b01);
    CVia b = Via(0b01, 0.5);
    EXPECT_EQ(a.CheckShort(Position(0), kWiringBits, &b), 1);
    EXPECT_EQ(a.CheckShort(Position(1), kWiringBits, &b), 0);
    CVia apart = Via(0b01, 0.625);
    EXPECT_EQ(a.CheckShort(Position(0), kWiringBits, &apart), 0);
    // The other via's own land on the layer counts: unwired there, it has none.
    CVia other = Via(0b10, 0.5);
    EXPECT_EQ(a.CheckShort(Position(0), kWiringBits, &other), 0);

    CLand pad(CDPoint(0.5, 0), T_PAD);
    EXPECT_EQ(a.CheckShort(Position(0), kWiringBits, &pad), 1);
    EXPECT_EQ(a.CheckShort(Position(1), kWiringBits, &pad), 0);
    EXPECT_EQ(a.CheckShort(Position(0), kWiringBits, nullptr), 0);
}

TEST_F(ViaContactTest, LayeredHitTest)
{
    CVia via = Via(0b01);
    EXPECT_EQ(via.CheckPoint(Position(0), kWiringBits, CDPoint(0.25, 0)), 1);
    EXPECT_EQ(via.CheckPoint(Position(0), kWiringBits, CDPoint(0.26, 0)), 0);
    EXPECT_EQ(via.CheckPoint(Position(1), kWiringBits, CDPoint(0, 0)), 0); // no land there
    EXPECT_EQ(via.CheckPoint(Position(0), 0x1, CDPoint(0, 0)), 0);         // no land chosen for plain bits
}

} // namespace
