// Part item: terminal groups, virtual terminals, the through-hole test and the per-layer counts.

#include "model/items/Part.h"

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::PartBoard;

class PartTerIDTest : public ::testing::Test
{
protected:
    PartBoard board;

    static CTer* AddPin(CPart& part, const char* number, const CDPoint& p, int padLayer = PartBoard::kTop)
    {
        part.NewLand(p, PartBoard::kPad)->SetLayerNo(padLayer);
        CTer* ter = part.NewTer(p, CText(number, p, 0));
        ter->SetLayerNo(PartBoard::kTermA);
        return ter;
    }
    static std::vector<std::uint32_t> LandIds(CPart& part)
    {
        std::vector<std::uint32_t> ids;
        for (POSITION pos = part.GetFirstLandPos(); pos;)
            ids.push_back(part.GetNextLand(pos)->GetID());
        return ids;
    }
    static std::vector<std::string> TerNumbers(CPart& part)
    {
        std::vector<std::string> out;
        for (POSITION pos = part.GetFirstTerPos(); pos;) {
            CTer* ter = part.GetNextTer(pos);
            out.push_back(ter->GetNo() + "=" + std::to_string(ter->GetID()) +
                          (ter->IsVirtualTer() ? "v" : ""));
        }
        return out;
    }
};

TEST_F(PartTerIDTest, TerminalsAreSortedAndClaimTheirCopper)
{
    CPart part;
    AddPin(part, "2", CDPoint(2.54, 0));
    AddPin(part, "1", CDPoint(0, 0));
    part.NewLine(CDPoint(2.54, 0), CDPoint(2.54, 3), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part.ReCalcTerID(&board.doc);
    EXPECT_EQ(TerNumbers(part), (std::vector<std::string>{"1=1", "2=2"}));
    EXPECT_EQ(part.GetNetCount(), 2u);
    EXPECT_EQ(LandIds(part), (std::vector<std::uint32_t>{2, 1}));
    POSITION pos = part.GetFirstLinePos();
    EXPECT_EQ(part.GetNextLine(pos)->GetID(), 2u);
}

TEST_F(PartTerIDTest, JoinedPadsEndWithTheLastClaim)
{
    CPart part;
    AddPin(part, "1", CDPoint(0, 0));
    AddPin(part, "2", CDPoint(2.54, 0));
    part.NewLine(CDPoint(0, 0), CDPoint(2.54, 0), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part.ReCalcTerID(&board.doc);
    EXPECT_EQ(LandIds(part), (std::vector<std::uint32_t>{2, 2}));
    EXPECT_EQ(part.GetNetCount(), 2u);
    EXPECT_EQ(TerNumbers(part), (std::vector<std::string>{"1=1", "2=2"}));
}

TEST_F(PartTerIDTest, UnclaimedCopperGetsAVirtualTerminalAgainOnEveryRun)
{
    CPart part;
    AddPin(part, "1", CDPoint(0, 0));
    part.NewLine(CDPoint(5, 5), CDPoint(6, 5), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kBottom);
    part.ReCalcTerID(&board.doc);
    ASSERT_EQ(TerNumbers(part), (std::vector<std::string>{"1=1", "2=2v"}));
    EXPECT_EQ(part.GetNetCount(), 2u);
    POSITION pos = part.GetFirstTerPos();
    part.GetNextTer(pos);
    CTer* virt = part.GetNextTer(pos);
    EXPECT_EQ(virt->GetPoint(), CDPoint(5, 5));
    EXPECT_EQ(virt->GetLayerNo(), PartBoard::kTermA);
    EXPECT_EQ(virt->GetNoText()->GetSize(), 64);
    pos = part.GetFirstLinePos();
    EXPECT_EQ(part.GetNextLine(pos)->GetID(), 2u);

    // A second run makes the same terminal again, not a third one.
    part.ReCalcTerID(&board.doc);
    EXPECT_EQ(TerNumbers(part), (std::vector<std::string>{"1=1", "2=2v"}));
    EXPECT_EQ(part.GetNetCount(), 2u);
    pos = part.GetFirstLinePos();
    EXPECT_EQ(part.GetNextLine(pos)->GetID(), 2u);

    // On the other side a virtual terminal stands on the other TERM layer.
    CPart other;
    other.SetType(PART_OTHER_SIDE);
    other.NewLine(CDPoint(5, 5), CDPoint(6, 5), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kBottom);
    other.ReCalcTerID(&board.doc);
    pos = other.GetFirstTerPos();
    EXPECT_EQ(other.GetNextTer(pos)->GetLayerNo(), PartBoard::kTermB);
}

TEST_F(PartTerIDTest, ViasCarryGroupsAcrossLayersAndPlaneLayersStayOut)
{
    CPart part;
    AddPin(part, "1", CDPoint(0, 0));
    // Top pad, track to a via, bottom track from the via.
    part.NewLine(CDPoint(0, 0), CDPoint(3, 0), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part.NewVia(CVia(CDPoint(3, 0), 1, nullptr, 0x3));
    CLine* bottom = part.NewLine(CDPoint(3, 0), CDPoint(3, 4), PartBoard::kTrack, 0);
    bottom->SetLayerNo(PartBoard::kBottom);
    part.ReCalcTerID(&board.doc);
    EXPECT_EQ(bottom->GetID(), 1u);
    EXPECT_EQ(part.GetTerCount(), 1);

    // The bottom layer as a plane: its copper takes no part.
    board.doc.layerTypeWords[PartBoard::kBottom] |= 0x8;
    board.bottomSheet.SetType(board.bottomSheet.GetType() | 0x8);
    part.ReCalcTerID(&board.doc);
    EXPECT_EQ(bottom->GetID(), 0u);
    EXPECT_EQ(part.GetTerCount(), 1);
}

TEST_F(PartTerIDTest, HolesArePlatedWhereCopperTouchesThem)
{
    struct Case
    {
        int turret;
        bool plane;
        bool plated;
    } cases[] = {
        {PartBoard::kPad, false, true},
        {PartBoard::kThermal, false, false},
        {PartBoard::kThermal, true, true},
    };
    for (const Case& c : cases) {
        PartBoard b;
        if (c.plane)
            b.doc.layerTypeWords[PartBoard::kBottom] |= 0x8;
        CPart part;
        part.NewLand(CDPoint(0, 0), c.turret)->SetLayerNo(PartBoard::kBottom);
        // A hole that reaches into the thermal's copper ring.
        CHole* hole = part.NewHole(CDPoint(0, 0), 1.2, true, 0, 0, 0);
        hole->SetLayerNo(PartBoard::kHoleA);
        EXPECT_EQ(part.CheckTH(hole, &b.doc), c.plated) << c.turret << " " << c.plane;
        part.ReCalcTerID(&b.doc);
        EXPECT_EQ(hole->IsThroughHole(), c.plated) << c.turret << " " << c.plane;
    }
    // A silk line over a hole does not plate it.
    CPart silk;
    silk.NewLine(CDPoint(-1, 0), CDPoint(1, 0), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kSilkLineA);
    CHole* hole = silk.NewHole(CDPoint(0, 0), 0.6, true, 0, 0, 0);
    EXPECT_FALSE(silk.CheckTH(hole, &board.doc));
}

TEST_F(PartTerIDTest, CountsPerLayerAndKind)
{
    CPart part;
    AddPin(part, "1", CDPoint(0, 0));
    AddPin(part, "2", CDPoint(2, 0));
    part.NewLine(CDPoint(0, 0), CDPoint(2, 0), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part.NewVia(CVia(CDPoint(5, 0), 1, nullptr, 0x3));
    part.NewText(CText("hidden", CDPoint(0, 0), 0))->SetLayerNo(PartBoard::kTop);
    part.NewText(CText("shown", CDPoint(0, 0), 0))->SetLayerNo(PartBoard::kTop);
    POSITION pos = part.GetFirstTextPos();
    part.GetNextText(pos)->Disp(0);
    part.SetPartName("P");
    part.GetPartNameText()->SetLayerNo(PartBoard::kTop);
    part.GetRefNameText()->SetLayerNo(PartBoard::kTop); // empty: not counted

    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0, 0), 2 + 1 + 1 + 1);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0x1, 0), 2 + 1 + 1 + 1 + 1);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0x1, ID_INPUT_LAND), 3);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0x0, ID_INPUT_LAND), 2);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0x10000, ID_INPUT_HOLE), 1);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTermA, 0, ID_INPUT_TER), 2);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0, ID_INPUT_LINE), 1);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0, ID_INPUT_TEXT), 1);
    EXPECT_EQ(part.GetLayerCount(PartBoard::kTop, 0, ID_INPUT_VIA), 0);
}

} // namespace
