#include "document/OutputSettings.h"
#include "platform/J.h"
#include "tests/document/DocFixture.h"

namespace {

class MasterFileTest : public DocFixture
{
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        InstallMaster();
        doc->GetSettingFile().SetPath(Master());
    }
};

TEST_F(MasterFileTest, LoadsWithoutAMessage)
{
    ReadTables();
    tagCAMOUT cam;
    doc->ReadCamOut(cam);
    tagHOLEDATA holes;
    doc->ReadHoleData(holes);
    tagDRCSET drc;
    doc->ReadDrcCheck(drc);
    tagPARTLISTSET parts;
    doc->ReadPartList(parts);
    const std::string comment = doc->ReadComment();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});

    // A plain two-sided board.
    EXPECT_EQ(doc->GetWireLayerList(), (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(doc->GetWireLayerCount(), 2);
    EXPECT_EQ(doc->GetLayer(0).name, _J("部品面"));
    EXPECT_EQ(doc->GetLayer(1).name, _J("半田面"));
    EXPECT_EQ(doc->GetBoardSheet(0)->GetType() & 0xFF, 0x1 | 0x2);
    EXPECT_EQ(doc->GetBoardSheet(1)->GetType() & 0xFF, 0x1 | 0x4);
    EXPECT_EQ(doc->GetBoardSheet(9)->GetType() & 0xFF, 0x20 | 0x2); // first via list, resist of side 1
    const tagPARTLAYER hole = doc->GetPartLayer(PL_HOLE);
    EXPECT_EQ(hole.layerA, hole.layerB);
    for (int i = 0; i < PART_LAYER_COUNT; ++i) {
        const tagPARTLAYER rec = doc->GetPartLayer(i);
        EXPECT_EQ(static_cast<std::uint32_t>(rec.code), kPartLayerCodes[static_cast<std::size_t>(i)]) << i;
        EXPECT_LT(rec.layerA, LAYER_MAX) << i;
        EXPECT_LT(rec.layerB, LAYER_MAX) << i;
    }
    EXPECT_EQ(doc->GetContourLayers(), (std::pair<int, int>{29, 29}));
    EXPECT_EQ(drc.outputLayer, 114);
    EXPECT_NE(doc->GetLayer(114).name.find("DRC"), std::string::npos);
    for (int shape : {TURRET_ROUND, TURRET_SQUARE, TURRET_DONUT, TURRET_THERMAL}) {
        bool found = false;
        for (int n = 1; n <= TURRET_MAX; ++n)
            found = found || (doc->Turret(n).shape == shape && doc->Turret(n).size1 > 0.0);
        EXPECT_TRUE(found) << shape;
    }
    EXPECT_GT(doc->Via(1).drill, 0.0);
    EXPECT_GT(doc->GetGrid(-1).xPitch, 0.0);
    EXPECT_FALSE(comment.empty());
    EXPECT_EQ(cam.GetCamReport(), "VTHTML");
    EXPECT_EQ(doc->GetBoardSize().cx, 327.0);
}

// Every writer gives the master's own bytes back: the master is written in the writers' formats.
TEST_F(MasterFileTest, WritersReproduceTheMaster)
{
    ReadTables();
    tagCAMOUT cam;
    doc->ReadCamOut(cam);
    tagHOLEDATA holes;
    doc->ReadHoleData(holes);
    tagDRCSET drc;
    doc->ReadDrcCheck(drc);
    tagPARTLISTSET parts;
    doc->ReadPartList(parts);
    tagPRINTSET print;
    doc->ReadPrintSettings(print);
    const std::string comment = doc->ReadComment();
    const std::string original = ReadFile(Master());

    std::filesystem::copy_file(Master(), Board());
    doc->GetSettingFile().SetPath(Board());
    EXPECT_TRUE(doc->WriteTurretTable());
    EXPECT_TRUE(doc->WriteViaTable());
    EXPECT_TRUE(doc->WriteLayerTable());
    EXPECT_TRUE(doc->WriteDispLayer());
    EXPECT_TRUE(doc->WriteCrossLayer(doc->GetCrossLayers()));
    EXPECT_TRUE(doc->WriteContourLayer(29, 29));
    EXPECT_TRUE(doc->WriteGrid());
    EXPECT_TRUE(doc->WriteLayerPattern());
    EXPECT_TRUE(doc->WriteSheetSize());
    EXPECT_TRUE(doc->WriteDefItems());
    EXPECT_TRUE(doc->WriteComment(comment));
    EXPECT_TRUE(doc->WriteCamOut(0, cam));
    EXPECT_TRUE(doc->WriteCamOut(1, cam));
    EXPECT_TRUE(doc->WritePrintSettings(print));
    EXPECT_TRUE(doc->WriteHoleData(holes));
    EXPECT_TRUE(doc->WriteDrcCheck(drc));
    EXPECT_TRUE(doc->WritePartList(parts));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
    EXPECT_TRUE(ReadFile(Board()) == original);
}

} // namespace
