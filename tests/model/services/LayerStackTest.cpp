#include "tests/support/FakeDocument.h"

#include <gtest/gtest.h>

namespace {

// A four-layer board: wiring layers 0, 3, 5, 7; TERM on layers 10 and 11.
class LayerStackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.SetWireLayers({0, 3, 5, 7});
        doc.SetPartLayer(PL_TERM, 10, 11);
        doc.SetPartLayer(PL_SILKLINE, 20, 21);
    }
    FakeDocument doc;
};

TEST_F(LayerStackTest, PartLayerCodeRoundTripsPerSide)
{
    for (bool side : {false, true}) {
        const int layer = doc.PartLayerToLayer(0x800000, side, false);
        EXPECT_EQ(layer, side ? 10 : 11);
        EXPECT_EQ(doc.LayerToPartLayer(layer, side), 0x800000u);
        EXPECT_EQ(doc.LayerToPartLayer(layer, !side), 0x800000u | PARTLAYER_OTHER_SIDE);
        EXPECT_EQ(doc.PartLayerToLayer(0x800000u | PARTLAYER_OTHER_SIDE, !side, false), layer);
    }
}

TEST_F(LayerStackTest, WiringPositionsSwapEndsAndClamp)
{
    struct Case
    {
        std::uint32_t code;
        bool side, swap;
        int layer;
    };
    const Case cases[] = {
        {1, false, true, 7}, {4, false, true, 0}, {2, false, true, 3}, {3, false, true, 5},
        {1, true, true, 0},  {7, true, false, 7}, {1, false, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(doc.PartLayerToLayer(c.code, c.side, c.swap), c.layer) << c.code;
}

TEST_F(LayerStackTest, NoneAndUnknownCodes)
{
    EXPECT_EQ(doc.PartLayerToLayer(0, true, false), -1);
    EXPECT_EQ(doc.PartLayerToLayer(0xFFFFFFFFu, true, false), -1);
    EXPECT_EQ(doc.PartLayerToLayer(0x30000, true, false), -1); // two bits: no record
    // Unset layers come back as they stand.
    EXPECT_EQ(doc.PartLayerToLayer(0x10000, true, false), 255);
    // Layers outside the board and ordinary layers come back unchanged.
    EXPECT_EQ(doc.LayerToPartLayer(-1, true), 0xFFFFFFFFu);
    EXPECT_EQ(doc.LayerToPartLayer(128, true), 128u);
    EXPECT_EQ(doc.LayerToPartLayer(40, true), 40u);
    EXPECT_EQ(doc.LayerToPartLayer(5, true), 3u); // third wiring position
}

TEST_F(LayerStackTest, WireLayerPosMarksNegativeLayersAndTermPair)
{
    doc.layerTypeWords[5] = 0x8;
    EXPECT_EQ(doc.GetWireLayerPos(0, false), 1);
    EXPECT_EQ(doc.GetWireLayerPos(5, false), -3);
    EXPECT_EQ(doc.GetWireLayerPos(7, false), 4);
    EXPECT_EQ(doc.GetWireLayerPos(10, false), 0);
    EXPECT_EQ(doc.GetWireLayerPos(10, true), 1);
    EXPECT_EQ(doc.GetWireLayerPos(11, true), 4);
    EXPECT_EQ(doc.GetWireLayerPos(12, true), 0);
    EXPECT_EQ(doc.GetWireLayer(2), 3);
}

TEST_F(LayerStackTest, FindNetLineNeedsAWiringPosition)
{
    int asked = 0;
    doc.findNetLine = [&](int) {
        ++asked;
        return nullptr;
    };
    EXPECT_EQ(doc.FindNetLine(0x100), nullptr);
    EXPECT_EQ(doc.FindNetLine(0x105), nullptr);
    EXPECT_EQ(asked, 0);
    doc.FindNetLine(0x104);
    EXPECT_EQ(asked, 1);
}

} // namespace
