// The layer sheet's copper groups and net ids: ids for touching copper, groups from ids, the repair
// after loading, id compaction, and what storing, merging and deleting items do to groups.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kViaNo = 1;
constexpr std::uint32_t W = 1; // W-layer of the top board sheet (wiring position 1, layer 0)

class SheetNetTest : public ContactTest
{
protected:
    SheetNetTest()
    {
        tagVIA via;
        via.drill = 0.6;
        // Lands of the first (sheet bits 0x2) and last (0x4) wiring layers: wired and unwired.
        via.lands[0] = via.lands[10] = T_PAD1;
        via.lands[1] = via.lands[11] = T_PAD;
        doc.viaTable[kViaNo] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        top.SetSheetType(SHEET_BOARD);
        bottom.SetSheetType(SHEET_BOARD);
        viaPart.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[0] = &top;
        doc.boardSheets[1] = &bottom;
        doc.boardSheets[LAYER_MAX] = &viaPart;
        doc.currentLayer = 5; // no hole sheet
    }

    static CNetLine* Find(CSheet& sheet, int id)
    {
        for (auto pos = sheet.GetFirstNetLinePos(); pos;) {
            CNetLine* g = sheet.GetNextNetLine(pos);
            if (g->GetID() == static_cast<std::uint32_t>(id))
                return g;
        }
        return nullptr;
    }
    static std::vector<std::uint32_t> LineIds(CSheet& sheet)
    {
        std::vector<std::uint32_t> ids;
        for (POSITION pos = sheet.GetFirstLinePos(); pos;)
            ids.push_back(sheet.GetNextLine(pos)->GetID());
        return ids;
    }
    static std::vector<std::uint32_t> GroupIds(CSheet& sheet)
    {
        std::vector<std::uint32_t> ids;
        for (auto pos = sheet.GetFirstNetLinePos(); pos;)
            ids.push_back(sheet.GetNextNetLine(pos)->GetID());
        return ids;
    }
    // Groups of copper without ids, as a check makes them.
    void Connect(CSheet& sheet)
    {
        sheet.ResetNetID();
        sheet.MakeRubberGroup();
    }

    // Declared before the via and part sheet, which unlinks its vias from them when it goes first.
    CSheet top{1, 0x3, 0, &doc};    // wiring, first layer
    CSheet bottom{2, 0x5, 1, &doc}; // wiring, last layer
    CSheet viaPart{0, 0, LAYER_MAX, &doc};
};

// --- Ids ---

TEST_F(SheetNetTest, TouchingCopperSharesOneIdInListOrder)
{
    // Two chains that touch each other, then a separate line.
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    top.NewLine({20, 20}, {30, 20}, T_LINE, 0);
    top.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    top.NewLine({10, 10}, {20, 20}, T_LINE, 0);
    top.NewLine({50, 0}, {60, 0}, T_LINE, 0);
    EXPECT_EQ(top.MakeGroup(), W + 512);
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>{W + 256, W + 256, W + 256, W + 256, W + 512}));
}

TEST_F(SheetNetTest, ViasTakeTheIdOfTheirTrackOrOpenTheirOwnGroupLast)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CVia* onTrack = viaPart.NewVia({10, 0}, kViaNo, 0x1);
    CVia* alone = viaPart.NewVia({40, 40}, kViaNo, 0x1);
    top.NewLine({30, 0}, {35, 0}, T_LINE, 0);
    top.MakeGroup();
    EXPECT_EQ(onTrack->GetLayerID(1), W + 256);
    EXPECT_NE(onTrack->GetID(), 0u); // an own id from the via and part sheet
    EXPECT_EQ(alone->GetLayerID(1), W + 768);
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>{W + 256, W + 512}));
}

TEST_F(SheetNetTest, ATrackThroughAViaJoinsTheOtherTrackOnThatLayer)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    viaPart.NewVia({10, 0}, kViaNo, 0x1);
    top.NewLine({10.3, 0}, {20, 0}, T_LINE, 0); // reaches the via's land, not the first track
    top.MakeGroup();
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>{W + 256, W + 256}));
}

TEST_F(SheetNetTest, NextIdAndRenaming)
{
    CLand land({0, 0}, T_PAD);
    top.SetNetIDCounter(W + 256);
    top.SetNextNetID(&land);
    EXPECT_EQ(land.GetID(), W + 512);
    EXPECT_EQ(top.GetNetIDCounter(), W + 512);
    top.SetNextNetID(&bottom); // a sheet: the counter starts again
    EXPECT_EQ(top.GetNetIDCounter(), 0u);
}

// --- Groups ---

TEST_F(SheetNetTest, GroupsAreBuiltFromIdsAndNewCopperJoinsTheGroupItTouches)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    top.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    top.NewLine({50, 0}, {60, 0}, T_LINE, 0);
    Connect(top);
    ASSERT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 256, W + 512}));
    EXPECT_EQ(Find(top, W + 256)->GetCount(1), 2u);
    EXPECT_EQ(top.GetNetIDCounter(), W + 512);

    // A track that bridges both groups: the first absorbs the second and the new track.
    top.NewLine({10, 10}, {50, 0}, T_LINE, 0);
    top.MakeRubberGroup();
    ASSERT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 256}));
    EXPECT_EQ(Find(top, W + 256)->GetCount(1), 4u);
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>(4, W + 256)));
    EXPECT_EQ(top.GetNetIDCounter(), W + 256); // the absorbed group had the last id

    // A track that touches nothing makes a group of its own.
    top.NewLine({90, 90}, {95, 90}, T_LINE, 0);
    top.MakeRubberGroup();
    EXPECT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 256, W + 512}));
}

TEST_F(SheetNetTest, ResetClearsEveryIdAndDeletesTheGroups)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CVia* via = viaPart.NewVia({10, 0}, kViaNo, 0x1);
    CHole* hole = top.NewHole({30, 0}, 0.6, true, 0, 0, 0);
    hole->SetLayerID(0x501, 1);
    hole->SetID(0x501);
    Connect(top);
    ASSERT_EQ(top.GetNetLineCount(), 1);
    ASSERT_NE(via->GetLayerID(1), 0u);

    viaPart.ResetNetID();
    EXPECT_EQ(via->GetLayerID(1), 0u);
    EXPECT_EQ(via->GetID(), 0u);
    top.ResetNetID();
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(hole->GetID(), 0u);
    EXPECT_EQ(hole->GetLayerID(1), 0u);
    EXPECT_EQ(top.GetNetLineCount(), 0);
    EXPECT_EQ(top.GetNetIDCounter(), W);
}

TEST_F(SheetNetTest, GroupsAreRebuiltFromLoadedIds)
{
    CLine* a = top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CLine* b = top.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    CLine* c = top.NewLine({50, 0}, {60, 0}, T_LINE, 0);
    CLine* d = top.NewLine({70, 0}, {80, 0}, T_LINE, 0);
    CVia* via = viaPart.NewVia({10, 10}, kViaNo, 0x1);
    a->SetID(W + 0x300);
    b->SetID(W + 0x300);
    c->SetID(W + 0x900);
    d->SetID(0x100); // 256 or less: no id
    via->SetLayerID(W + 0x300, 1);
    top.CorrectID2NetLine();
    EXPECT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 0x300, W + 0x900}));
    EXPECT_EQ(Find(top, W + 0x300)->GetCount(1), 2u);
    EXPECT_EQ(Find(top, W + 0x300)->GetCount(5), 1u);
    EXPECT_EQ(d->GetID(), 0u);
    EXPECT_EQ(top.GetNetIDCounter(), W + 0x900);
}

TEST_F(SheetNetTest, ALayerMovedInTheStackGetsItsIdsRewrittenOnLoad)
{
    CLine* a = top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CVia* via = viaPart.NewVia({10, 0}, kViaNo, 0x1);
    a->SetID(0x302); // made when the layer was W-layer 2
    via->SetLayerID(0x302, 1);
    EXPECT_EQ(top.GetWLayerFromID(), 2u);
    top.CorrectID2NetLine();
    EXPECT_EQ(a->GetID(), 0x301u);
    EXPECT_EQ(GroupIds(top), (std::vector<std::uint32_t>{0x301}));
    // The vias' ids were of the old layer: they are not taken into the groups.
    EXPECT_EQ(Find(top, 0x301)->GetCount(5), 0u);

    CSheet empty(3, 0x1, 2, &doc);
    EXPECT_EQ(empty.GetWLayerFromID(), 3u);
}

TEST_F(SheetNetTest, GarbageCollectionRenumbersOnlyMoreThanTenGroups)
{
    std::vector<CLine*> lines;
    for (int i = 0; i < 11; ++i) {
        CLine* line = top.NewLine({i * 10.0, 0}, {i * 10.0 + 1, 0}, T_LINE, 0);
        // Ids up to W + 20 x 256, in no particular order.
        line->SetID(W + 256u * static_cast<std::uint32_t>(i == 3 ? 20 : (i * 7) % 11 + 1 + (i > 5 ? 9 : 0)));
        lines.push_back(line);
    }
    top.CorrectID2NetLine();
    ASSERT_EQ(top.GetNetLineCount(), 11);
    ASSERT_EQ(top.GetNetIDCounter(), W + 20 * 256);
    top.GerbageNetLine();
    std::vector<std::uint32_t> expected;
    for (std::uint32_t k = 1; k <= 11; ++k)
        expected.push_back(W + 256 * k);
    EXPECT_EQ(GroupIds(top), expected);
    EXPECT_EQ(top.GetNetIDCounter(), W + 11 * 256);
    for (CLine* line : lines)
        EXPECT_TRUE(Find(top, static_cast<int>(line->GetID())) != nullptr);

    // Ten groups: nothing at all.
    CSheet ten(1, 0x1, 0, &doc);
    ten.SetSheetType(SHEET_BOARD);
    for (int i = 0; i < 10; ++i)
        ten.NewLine({i * 10.0, 0}, {i * 10.0 + 1, 0}, T_LINE, 0)->SetID(W + 256u * (2u * i + 3));
    ten.CorrectID2NetLine();
    ten.GerbageNetLine();
    EXPECT_EQ(GroupIds(ten).back(), W + 256u * 21);
}

TEST_F(SheetNetTest, SortingGroupsAgreesWithThePlainSelectionSort)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        CSheet sheet(1, 0x1, 0, &doc);
        const int n = 1 + static_cast<int>(rng() % 60);
        std::vector<CNetLine*> plain;
        for (int i = 0; i < n; ++i) {
            CNetLine g(W + 256u * static_cast<std::uint32_t>(rng() % 15), 1, 1);
            plain.push_back(sheet.NewNetLine(g));
        }
        // The selection sort as written: the first strictly smallest of the rest comes forward.
        for (std::size_t i = 0; i < plain.size(); ++i) {
            std::size_t best = i;
            for (std::size_t j = i + 1; j < plain.size(); ++j)
                if (plain[j]->GetID() < plain[best]->GetID())
                    best = j;
            std::swap(plain[i], plain[best]);
        }
        auto first = sheet.GetFirstNetLinePos();
        EXPECT_EQ(sheet.SortNetLine(), 1);
        std::vector<CNetLine*> sorted;
        for (auto pos = sheet.GetFirstNetLinePos(); pos;)
            sorted.push_back(sheet.GetNextNetLine(pos));
        ASSERT_EQ(sorted, plain) << "round " << round;
        EXPECT_TRUE(first == sheet.GetFirstNetLinePos()); // nodes stay where they were
    }
    CSheet none(1, 0x1, 0, &doc);
    EXPECT_EQ(none.SortNetLine(), 0);
}

// --- Terminals ---

TEST_F(SheetNetTest, TerminalsAreLinkedToTheGroupsTheirPadsTouch)
{
    // A part of two terminals: pad 1 under one track, pad 2 under two tracks that do not touch
    // each other.
    CPart* part = viaPart.NewPart(CPart());
    for (std::uint32_t id : {1u, 2u}) {
        const CDPoint at((id - 1) * 5.0, 0);
        CLand* pad = part->NewLand(at, T_PAD1);
        pad->SetLayerNo(0);
        pad->SetID(id);
        part->NewTer(at, CText(std::to_string(id), at, 0))->SetID(id);
    }
    top.NewLine({0, 0}, {0, 10}, T_LINE, 0);
    top.NewLine({5, 0.4}, {5, 10}, T_LINE, 0);
    top.NewLine({5.4, 0}, {10, 0}, T_LINE, 0);
    Connect(top);
    ASSERT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 256, W + 512, W + 768}));

    std::vector<std::uint32_t> shorted;
    top.SetTerNetID(part, &shorted);
    POSITION pos = part->GetFirstTerPos();
    CTer* first = part->GetNextTer(pos);
    CTer* second = part->GetNextTer(pos);
    EXPECT_EQ(first->GetDisNetID(), W + 256);
    EXPECT_EQ(second->GetDisNetID(), W + 512);
    EXPECT_EQ(first->GetNetCount(), 1);
    EXPECT_EQ(second->GetNetCount(), 2);
    EXPECT_EQ(Find(top, W + 768)->GetFirstTer(), second); // linked both ways
    // The two groups under one terminal are shorted together through it.
    EXPECT_EQ(shorted, (std::vector<std::uint32_t>{W + 512, W + 768, 0}));
    // The part's pads keep their terminal ids.
    POSITION padPos = part->GetFirstLandPos();
    EXPECT_EQ(part->GetNextLand(padPos)->GetID(), 1u);

    // Deleting the part from the via and part sheet unlinks its terminals from the groups.
    CNetLine* group = Find(top, W + 768);
    EXPECT_EQ(viaPart.DeletePart(CPart(*part)), 1);
    EXPECT_EQ(group->GetCount(9), 0u);
}

// --- Storing, merging and deleting ---

TEST_F(SheetNetTest, DeletingALineOfABoardSheetDeletesItsWholeGroup)
{
    CLine* a = top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CLine* b = top.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    CLine* c = top.NewLine({50, 0}, {60, 0}, T_LINE, 0);
    CVia* via = viaPart.NewVia({10, 10}, kViaNo, 0x1);
    Connect(top);
    ASSERT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 256, W + 512}));
    ASSERT_EQ(via->GetLayerID(1), W + 256);

    const CLine gone(*a);
    EXPECT_EQ(top.DeleteLine(gone), 1);
    EXPECT_EQ(GroupIds(top), (std::vector<std::uint32_t>{W + 512}));
    EXPECT_EQ(b->GetID(), 0u); // the rest of the group lost the id with it
    EXPECT_EQ(via->GetLayerID(1), 0u);
    EXPECT_EQ(c->GetID(), W + 512);
    EXPECT_EQ(top.GetNetIDCounter(), W + 512);

    // Deleting the last group's line takes the counter back.
    EXPECT_EQ(top.DeleteLine(CLine(*c)), 1);
    EXPECT_EQ(top.GetNetLineCount(), 0);
    EXPECT_EQ(top.GetNetIDCounter(), W + 256);
}

TEST_F(SheetNetTest, DeletingALineOfASelectionSheetLeavesTheGroups)
{
    CSheet selection(1, 0x1, 0, &doc);
    selection.SetSheetType(SHEET_SELECTION);
    CLine* a = selection.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    CLine* b = selection.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    a->SetID(W + 256);
    b->SetID(W + 256);
    selection.CorrectID2NetLine();
    ASSERT_EQ(selection.GetNetLineCount(), 1);
    CNetLine* group = selection.GetHeadNetLine();
    group->RemoveItem(a); // the group no longer refers to the line that goes

    EXPECT_EQ(selection.DeleteLine(CLine(*a)), 1);
    EXPECT_EQ(selection.GetNetLineCount(), 1);
    EXPECT_EQ(b->GetID(), W + 256);
    EXPECT_EQ(group->GetCount(1), 1u);
}

TEST_F(SheetNetTest, DeletingAViaTakesItOutOfTheGroupsOfEveryWiringLayer)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    bottom.NewLine({10, 0}, {20, 0}, T_LINE, 0);
    CVia* via = viaPart.NewVia({10, 0}, kViaNo, 0x3);
    Connect(top);
    Connect(bottom);
    ASSERT_EQ(top.GetHeadNetLine()->GetCount(5), 1u);
    ASSERT_EQ(bottom.GetHeadNetLine()->GetCount(5), 1u);
    EXPECT_EQ(viaPart.DeleteVia(CVia(*via)), 1);
    EXPECT_EQ(top.GetHeadNetLine()->GetCount(5), 0u);
    EXPECT_EQ(bottom.GetHeadNetLine()->GetCount(5), 0u);
    EXPECT_EQ(top.GetHeadNetLine()->GetCount(1), 1u); // the groups themselves stay
}

TEST_F(SheetNetTest, AViaCopiedIntoTheViaAndPartSheetLosesItsLayerIds)
{
    CVia via({5, 5}, kViaNo, &doc, 0x3);
    via.SetID(0x1234);
    via.SetLayerID(0x301, 1);
    via.SetLayerID(0x402, 2);
    CVia* stored = viaPart.NewVia(via);
    EXPECT_EQ(stored->GetLayerID(1), 0u);
    EXPECT_EQ(stored->GetLayerID(2), 0u);
    EXPECT_EQ(stored->GetWireLay(), 0x3); // the wiring stays

    auto* added = static_cast<CVia*>(viaPart.AddItem(&via));
    EXPECT_EQ(added->GetLayerID(1), 0u);
    EXPECT_EQ(added->GetID(), 0u);
    EXPECT_EQ(via.GetLayerID(1), 0x301u); // the caller's via is untouched

    // A selection sheet keeps what it is given.
    CSheet selection(SHEET_SELECTION);
    selection.SetWLayer(1);
    auto* kept = static_cast<CVia*>(selection.AddItem(&via));
    EXPECT_EQ(kept->GetLayerID(1), 0x301u);
    EXPECT_EQ(kept->GetID(), 0x1234u);
}

TEST_F(SheetNetTest, ItemsAddedToABoardSheetArriveWithoutIds)
{
    CLine line({0, 0}, {1, 0}, T_LINE, 0);
    line.SetID(0x901);
    EXPECT_EQ(top.AddItem(&line)->GetID(), 0u);
    CHole hole({3, 3}, 0.5, true, 0, 0, 0);
    hole.SetID(0x901);
    hole.SetLayerID(0x901, 1);
    auto* stored = static_cast<CHole*>(top.AddItem(&hole));
    EXPECT_EQ(stored->GetID(), 0u);
    EXPECT_EQ(stored->GetLayerID(1), 0u);
    EXPECT_FALSE(stored->IsThroughHole());

    // Merging a sheet into a board sheet resets the other sheet's ids first.
    CSheet other;
    CLine* theirs = other.NewLine({5, 5}, {6, 5}, T_LINE, 0);
    theirs->SetID(0x701);
    top += other;
    EXPECT_EQ(theirs->GetID(), 0u);
    EXPECT_EQ(other.GetDocument(), &doc);
    EXPECT_EQ(LineIds(top), (std::vector<std::uint32_t>{0, 0}));
}

TEST_F(SheetNetTest, EmptyingABoardSheetUnlinksTheTerminalsOfItsGroups)
{
    CTer ter; // outlives the sheet's groups
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    Connect(top);
    CNetLine* group = top.GetHeadNetLine();
    ter.AddTailNetLine(group);
    ASSERT_EQ(group->GetCount(9), 1u);
    top.DeleteContents();
    EXPECT_TRUE(ter.IsNetEmpty());
    EXPECT_EQ(top.GetNetLineCount(), 0);
}

TEST_F(SheetNetTest, HolesOnCopperOfAPositiveLayer)
{
    top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    top.NewLand({20, 0}, T_MM);
    CHole onLine({5, 0}, 0.4, true, 0, 0, 0);
    CHole onLand({20.2, 0}, 0.4, true, 0, 0, 0);
    CHole apart({5, 5}, 0.4, true, 0, 0, 0);
    EXPECT_TRUE(top.CheckHoleOnItem(&onLine, false));
    EXPECT_TRUE(top.CheckHoleOnItem(&onLand, false));
    EXPECT_FALSE(top.CheckHoleOnItem(&apart, false));
    viaPart.NewVia({5, 5}, kViaNo, 0x1);
    EXPECT_TRUE(top.CheckHoleOnItem(&apart, true)); // on a via's land
    CSheet noLayer(0, 0x1, 3, &doc);
    EXPECT_FALSE(noLayer.CheckHoleOnItem(&onLine, true));

    EXPECT_TRUE(top.CheckPoint(CDPoint(5, 0)));
    EXPECT_FALSE(top.CheckPoint(CDPoint(5, 3)));
}

} // namespace
