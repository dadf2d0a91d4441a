// The hole list and the drill tool table: plating from copper and parts, the selection, the tool
// order by kind, and the undo step of a plating change.

#include "model/items/Hole.h"
#include "tests/document/EditFixture.h"

#include <array>
#include <random>

namespace {

constexpr int kHoleLayer = 2;

class HoleListTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->GetBoardSheet(0)->SetWLayer(1);
        doc->GetBoardSheet(1)->SetWLayer(2);
        doc->GetBoardSheet(kHoleLayer)->ModifyType(0x10000, 0);
        flags.fill(0);
        flags[kHoleLayer] = 1;
    }

    CHole* AddHole(CDPoint at, double size, int shape = 0, bool through = false)
    {
        CHole hole(at, size, shape == 0, shape == 0 ? 0.0 : size * 2.0, shape == HOLE_LONG ? size * 0.5 : 0.1,
                   0.0);
        hole.ModifyType(shape | (through ? HOLE_THROUGH : 0), HOLE_SHAPE_MASK | HOLE_THROUGH);
        return doc->GetBoardSheet(kHoleLayer)->NewHole(hole);
    }

    std::vector<CHole*> Holes(CSheet& sheet)
    {
        std::vector<CHole*> out;
        for (POSITION pos = sheet.GetFirstHolePos(); pos;)
            out.push_back(sheet.GetNextHole(pos));
        return out;
    }

    std::array<int, LAYER_MAX> flags{};
};

TEST_F(HoleListTest, CopperOnAWiringLayerPlatesTheHoleAndTheBoardKeepsIt)
{
    AddLand(0, CDPoint(10, 10));
    CHole* onCopper = AddHole(CDPoint(10, 10), 0.8);
    CHole* bare = AddHole(CDPoint(50, 50), 0.8, 0, true);

    CSheet out;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &out, 240), 2);
    const std::vector<CHole*> holes = Holes(out);
    ASSERT_EQ(holes.size(), 2u);
    // Through holes sort first.
    EXPECT_TRUE(holes[0]->IsThroughHole());
    EXPECT_EQ(holes[0]->GetPoint(), CDPoint(10, 10));
    EXPECT_FALSE(holes[1]->IsThroughHole());
    // The board's own holes carry what was found.
    EXPECT_TRUE(onCopper->IsThroughHole());
    EXPECT_FALSE(bare->IsThroughHole());
}

// The plating found through the items near each hole is the one the layers' own test gives when
// it looks at every item: copper of either wiring layer, a via's land, or nothing.
TEST_F(HoleListTest, PlatingFoundNearTheHoleIsTheLayersOwnAnswer)
{
    std::mt19937 rng(5);
    auto coordinate = [&rng] { return static_cast<double>(rng() % 2000) / 100.0; };
    for (int item = 0; item < 40; ++item) {
        const CDPoint a(coordinate(), coordinate());
        AddLine(static_cast<int>(rng() % 2), a, CDPoint(a.x + coordinate() / 4.0, a.y - coordinate() / 4.0));
        AddLand(static_cast<int>(rng() % 2), CDPoint(coordinate(), coordinate()));
        if (item % 4 == 0)
            AddVia(CDPoint(coordinate(), coordinate()));
    }
    std::vector<CHole*> board;
    // Vias away from the copper, with holes on them, beside them and clear of them.
    for (int k = 0; k < 10; ++k) {
        AddVia(CDPoint(5.0 * k, 30.0));
        board.push_back(AddHole(CDPoint(5.0 * k + (k % 3) * 0.6, 30.0), 0.4, 0, k % 2 == 0));
    }
    for (int i = 0; i < 150; ++i)
        board.push_back(AddHole(CDPoint(coordinate(), coordinate()),
                                0.3 + static_cast<double>(rng() % 12) / 10.0, i % 7 == 0 ? HOLE_LONG : 0,
                                rng() % 2 == 0));
    std::vector<bool> expected;
    int plated = 0;
    for (CHole* hole : board) {
        const bool any = doc->GetBoardSheet(0)->CheckHoleOnItem(hole, true) ||
                         doc->GetBoardSheet(1)->CheckHoleOnItem(hole, true);
        expected.push_back(any);
        plated += any ? 1 : 0;
    }
    // Both answers occur, so the comparison shows something.
    EXPECT_GT(plated, 10);
    EXPECT_LT(plated, 150);

    CSheet out;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &out, 240), 160 + 20);
    for (std::size_t i = 0; i < board.size(); ++i)
        EXPECT_EQ(board[i]->IsThroughHole(), expected[i]) << i;
}

TEST_F(HoleListTest, APlatingChangeIsOneUndoStepAndNoChangeRecordsNothing)
{
    AddLand(0, CDPoint(10, 10));
    AddLand(1, CDPoint(20, 10));
    AddHole(CDPoint(10, 10), 0.8);
    AddHole(CDPoint(20, 10), 1.0);
    AddHole(CDPoint(50, 50), 0.8, 0, true);
    doc->SetModifiedFlag(false);

    CSheet out;
    doc->MakeHoleList(flags.data(), &out, 240);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->CanUndo());
    const std::size_t recorded = doc->GetUndoHistory().size();

    CSheet again;
    doc->MakeHoleList(flags.data(), &again, 240);
    EXPECT_EQ(doc->GetUndoHistory().size(), recorded);

    doc->OnEditUndo();
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->IsModified());
    int through = 0;
    for (CHole* hole : Holes(*doc->GetBoardSheet(kHoleLayer)))
        through += hole->IsThroughHole() ? 1 : 0;
    EXPECT_EQ(through, 1); // the one at (50, 50) as it was
    EXPECT_EQ(doc->GetBoardSheet(kHoleLayer)->GetKindCount(KIND_HOLE), 3);
}

TEST_F(HoleListTest, AGatheringThatChangesNothingLeavesTheBoardUnmodified)
{
    AddHole(CDPoint(50, 50), 0.8);
    doc->SetModifiedFlag(false);
    CSheet out;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &out, 240), 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(HoleListTest, OneWiringLayerMakesEveryHoleNonThroughViasToo)
{
    doc->GetLayerStack().wireCount = 1;
    AddLand(0, CDPoint(10, 10));
    AddHole(CDPoint(10, 10), 0.8, 0, true);
    AddVia(CDPoint(30, 30));

    CSheet out;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &out, 240), 2);
    for (CHole* hole : Holes(out))
        EXPECT_FALSE(hole->IsThroughHole());
}

TEST_F(HoleListTest, ViasCountOnlyOnHoleLayersAndForRoundOrAllKinds)
{
    AddVia(CDPoint(30, 30));
    CSheet all;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &all, 240), 1);
    EXPECT_TRUE(Holes(all)[0]->IsThroughHole());
    CSheet slots;
    EXPECT_EQ(doc->MakeHoleList(flags.data(), &slots, HOLE_LONG), 0);
    std::array<int, LAYER_MAX> other{};
    other[5] = 1;
    CSheet none;
    EXPECT_EQ(doc->MakeHoleList(other.data(), &none, 0), 0);
}

TEST_F(HoleListTest, WithASelectionOnlySelectedHolesAreGathered)
{
    AddHole(CDPoint(10, 10), 0.8);
    CHole* chosen = AddHole(CDPoint(20, 20), 1.2);
    AddVia(CDPoint(30, 30));
    doc->SelectItem(chosen, kHoleLayer);

    CSheet out;
    ASSERT_EQ(doc->MakeHoleList(flags.data(), &out, 240), 1);
    EXPECT_DOUBLE_EQ(Holes(out)[0]->GetHoleDia(), 1.2);
}

TEST_F(HoleListTest, APartThatWiresTheHolePlatesIt)
{
    // A part whose land on wiring layer 0 lies on the board's hole.
    CPart part;
    CLand land(CDPoint(40, 40), 1);
    land.SetLayerNo(0);
    part.NewLand(land);
    part.ModifyType(PART_PLACED, 0);
    doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    doc->BuildPartList(true);
    AddHole(CDPoint(40, 40), 0.6);

    CSheet out;
    ASSERT_EQ(doc->MakeHoleList(flags.data(), &out, 0), 1);
    EXPECT_TRUE(Holes(out)[0]->IsThroughHole());
}

TEST_F(HoleListTest, AllKindsListRoundThenSlotThenRectangularTools)
{
    AddHole(CDPoint(10, 10), 1.0, HOLE_RECT);
    AddHole(CDPoint(20, 10), 0.5, HOLE_LONG);
    AddHole(CDPoint(30, 10), 0.9);
    AddHole(CDPoint(40, 10), 0.7);
    AddHole(CDPoint(50, 10), 0.7);

    EXPECT_EQ(doc->MakeTCodeTable(flags.data(), 240), 4);
    const auto& tools = doc->GetTCodeTable();
    EXPECT_EQ(tools[0].holeType & HOLE_SHAPE_MASK, 0);
    EXPECT_EQ(tools[1].holeType & HOLE_SHAPE_MASK, 0);
    EXPECT_EQ(tools[2].holeType & HOLE_SHAPE_MASK, HOLE_LONG);
    EXPECT_EQ(tools[3].holeType & HOLE_SHAPE_MASK, HOLE_RECT);
    EXPECT_EQ(tools[0].hitCount + tools[1].hitCount, 3);
    EXPECT_EQ(tools[4].hitCount, 0);
}

TEST_F(HoleListTest, EqualSizesOfDifferentPlatingMakeTwoTools)
{
    AddLand(0, CDPoint(10, 10));
    AddHole(CDPoint(10, 10), 0.8);
    AddHole(CDPoint(50, 50), 0.8);
    EXPECT_EQ(doc->MakeTCodeTable(flags.data(), 240), 2);
    const auto& tools = doc->GetTCodeTable();
    EXPECT_NE(tools[0].holeType & HOLE_THROUGH, tools[1].holeType & HOLE_THROUGH);
}

TEST_F(HoleListTest, AKindWithoutHolesClearsTheTable)
{
    AddHole(CDPoint(10, 10), 0.8);
    EXPECT_EQ(doc->MakeTCodeTable(flags.data(), 240), 1);
    EXPECT_EQ(doc->MakeTCodeTable(flags.data(), HOLE_RECT), 0);
    EXPECT_EQ(doc->GetTCodeTable()[0].hitCount, 0);
    EXPECT_EQ(doc->GetTCodeCount(), 0);
}

} // namespace
