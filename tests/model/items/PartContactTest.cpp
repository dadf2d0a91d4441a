// Part item: its copper as copper groups, terminal links, outline rectangle, the solder-resist and
// metal-mask checks and the clearance check between terminal groups.

#include "model/items/Part.h"

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/net/NetLine.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using testing_support::PartBoard;

class PartContactTest : public ::testing::Test
{
protected:
    PartBoard board;

    // Pads of 1.0 on the top layer at the given x positions, a terminal on each.
    CPart Pads(std::initializer_list<double> xs, int type = PART_SMD)
    {
        CPart part;
        part.SetType(type);
        int n = 1;
        for (double x : xs) {
            part.NewLand(CDPoint(x, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
            const std::string number = std::to_string(n++);
            part.NewTer(CDPoint(x, 0), CText(number, CDPoint(x, 0), 0))->SetLayerNo(PartBoard::kTermA);
        }
        part.ReCalcTerID(&board.doc);
        return part;
    }
    tagDRCSPEC Rule(double clearance)
    {
        tagDRCSPEC drc;
        drc.sheet = &board.topSheet;
        drc.plainClearance = clearance;
        drc.netClearance = clearance;
        drc.partClearance = clearance;
        return drc;
    }
};

TEST_F(PartContactTest, TwoPartsJustInsideAndJustOutsideTheRule)
{
    // Pads of 1.0, clearance 0.2: pads of two parts that touch or overlap are the worst violation.
    struct Case
    {
        double gap;
        bool violation;
    } cases[] = {{-1.0, true}, {-0.5, true}, {-0.1, true},  {0.0, true}, {0.15, true},
                 {0.19, true}, {0.2, false}, {0.21, false}, {0.5, false}};
    for (const Case& c : cases) {
        CPart left = Pads({0.0});
        CPart right = Pads({1.0 + c.gap});
        tagDRCSPEC drc = Rule(0.2);
        left.DRC_ShortCheck(&drc, &right);
        EXPECT_EQ(!drc.errorPoints.empty(), c.violation) << "gap " << c.gap;
        tagDRCSPEC back = Rule(0.2);
        right.DRC_ShortCheck(&back, &left);
        EXPECT_EQ(!back.errorPoints.empty(), c.violation) << "gap " << c.gap << ", the other way";
        // The check leaves the parts' ids as they were.
        POSITION pos = right.GetFirstLandPos();
        EXPECT_EQ(right.GetNextLand(pos)->GetID(), 1u);
    }
}

TEST_F(PartContactTest, OverlappingPadsOfTwoPartsUseTheNettedClearance)
{
    // Terminal pads carry their group ids, so the netted clearance (0.2) holds, not the plain
    // one (0.5): 1.15 apart breaks it, 1.25 apart keeps it, 0.5 and 0.9 apart overlap.
    for (const auto& [distance, violation] :
         {std::pair{0.5, true}, std::pair{0.9, true}, std::pair{1.15, true}, std::pair{1.25, false}}) {
        CPart left = Pads({0.0});
        CPart right = Pads({distance});
        tagDRCSPEC drc = Rule(0.2);
        drc.plainClearance = 0.5;
        left.DRC_ShortCheck(&drc, &right);
        EXPECT_EQ(!drc.errorPoints.empty(), violation) << "pads " << distance << " apart";
    }
}

TEST_F(PartContactTest, APartAgainstItself)
{
    for (const double gap : {0.19, 0.21}) {
        CPart part = Pads({0.0, 1.0 + gap});
        tagDRCSPEC drc = Rule(0.2);
        part.DRC_ShortCheck(&drc, nullptr);
        EXPECT_EQ(!drc.errorPoints.empty(), gap < 0.2) << "gap " << gap;
        EXPECT_FALSE(part.GetNetBoundingRect().IsRectNull());
    }
    CPart single = Pads({0.0});
    tagDRCSPEC drc = Rule(0.2);
    single.DRC_ShortCheck(&drc, nullptr);
    EXPECT_TRUE(drc.errorPoints.empty());
}

TEST_F(PartContactTest, TerminalGroupsAndLinksToBoardGroups)
{
    CPart part = Pads({0.0, 2.54});
    part.NewLine(CDPoint(0, 0), CDPoint(0, 3), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part.ReCalcTerID(&board.doc);
    CNetLine one(1, 0, 0x3);
    EXPECT_TRUE(part.GetTerItem(PartBoard::kTop, &one));
    EXPECT_EQ(one.GetCount(1), 1u);
    EXPECT_EQ(one.GetCount(2), 1u);
    CNetLine none(7, 0, 0x3);
    EXPECT_FALSE(part.GetTerItem(PartBoard::kTop, &none));

    // A board track that touches the first pad links its group to the first terminal only.
    CLine track(CDPoint(-3, 0), CDPoint(0, 0), PartBoard::kTrack, 0);
    track.SetLayerNo(PartBoard::kTop);
    CNetLine board1(0x101, 1, 0x3);
    board1.AddItem(&track);
    EXPECT_EQ(part.CheckTerNetLine(&board1, PartBoard::kTop), 1);
    POSITION pos = part.GetFirstTerPos();
    EXPECT_EQ(part.GetNextTer(pos)->GetHeadNetLine(), &board1);
    EXPECT_EQ(part.GetNextTer(pos)->GetNetCount(), 0);
}

TEST_F(PartContactTest, ResistAndMetalChecks)
{
    // No terminals: passes.
    CPart bare;
    EXPECT_EQ(bare.CheckResist(&board.doc), 1);

    // Terminals but nothing on either resist layer: fails; a DIP part passes the metal check all
    // the same.
    CPart part = Pads({0.0, 2.54});
    EXPECT_EQ(part.CheckResist(&board.doc), 0);
    EXPECT_EQ(part.CheckMetal(&board.doc), 0);
    part.SetType(PART_DIP);
    EXPECT_EQ(part.CheckMetal(&board.doc), 1);
    part.SetType(PART_SMD);

    // An opening over every pad passes; one pad without an opening fails.
    part.NewLand(CDPoint(0, 0), PartBoard::kBigPad)->SetLayerNo(PartBoard::kResistA);
    EXPECT_EQ(part.CheckResist(&board.doc), 0);
    part.NewLand(CDPoint(2.54, 0), PartBoard::kBigPad)->SetLayerNo(PartBoard::kResistA);
    EXPECT_EQ(part.CheckResist(&board.doc), 1);
    EXPECT_EQ(part.CheckMetal(&board.doc), 1);
}

TEST_F(PartContactTest, OutlineRectangleOfTheListedLayers)
{
    CPart part = Pads({0.0, 2.54});
    const int layers[] = {PartBoard::kTop, -1};
    part.CalcARCBoundRect(layers);
    const CDRect rect = part.GetARCBoundingRect();
    EXPECT_NEAR(rect.left, -0.5, 1e-9);
    EXPECT_NEAR(rect.right, 3.04, 1e-9);
    // Gathering did not take the terminal ids away.
    POSITION pos = part.GetFirstLandPos();
    EXPECT_EQ(part.GetNextLand(pos)->GetID(), 1u);

    part.SetType(PART_CARD_EDGE);
    part.CalcARCBoundRect(layers);
    EXPECT_TRUE(part.GetARCBoundingRect().IsRectNull());
}

} // namespace
