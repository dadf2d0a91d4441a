// Links between terminals and copper groups across the lifetimes of both: a terminal that goes
// away leaves its groups, a copy stands in its source's groups on both sides, a group that goes
// away leaves every terminal that lists it, and items moved off a sheet for undo leave the
// sheet's groups. Under ASan a stale link shows as a use after free.

#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/net/NetLine.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

constexpr std::uint32_t W = 1; // W-layer of the board sheet below

// The number of every terminal the group lists: reads each one, so a freed terminal shows.
std::vector<std::string> TerNumbers(CNetLine& group)
{
    std::vector<std::string> numbers;
    for (auto pos = group.GetFirstTerPos(); pos;)
        numbers.push_back(group.GetNextTer(pos)->GetNo());
    return numbers;
}

// The id of every group the terminal lists: reads each one, so a freed group shows.
std::vector<std::uint32_t> GroupIds(CTer& ter)
{
    std::vector<std::uint32_t> ids;
    for (CTer::NetLinePos pos = ter.GetFirstNetLinePos(); pos;)
        ids.push_back(ter.GetNextNetLine(pos)->GetID());
    return ids;
}

CTer* TerAt(CPart& part, int index)
{
    POSITION pos = part.GetFirstTerPos();
    CTer* ter = nullptr;
    for (int i = 0; i <= index && pos; ++i)
        ter = part.GetNextTer(pos);
    return ter;
}

class LinkLifetimeTest : public ContactTest
{
protected:
    // A part of two terminals, "1" in group a, "2" in groups a and b.
    std::unique_ptr<CPart> LinkedPart()
    {
        auto part = std::make_unique<CPart>();
        part->SetPlaced(1);
        CTer* one = part->NewTer({0, 0}, CText("1", {0, 0}, 0));
        CTer* two = part->NewTer({5, 0}, CText("2", {5, 0}, 0));
        a.AddItem(one);
        a.AddItem(two);
        two->AddTailNetLine(&b);
        return part;
    }

    // Declared first: the groups outlive the parts and terminals of each test.
    CNetLine a{W + 256, 1, 1};
    CNetLine b{W + 512, 1, 1};
};

TEST_F(LinkLifetimeTest, APartThatGoesOrIsReplacedLeavesItsGroups)
{
    auto part = LinkedPart();
    ASSERT_EQ(TerNumbers(a), (std::vector<std::string>{"1", "2"}));

    {
        // As the part dialog does: a linked working copy, edited, assigned back.
        CPart work(*part);
        EXPECT_EQ(TerNumbers(a), (std::vector<std::string>{"1", "2", "1", "2"}));
        TerAt(work, 0)->SetName("A1");
        *part = work;
        // The replaced terminals are gone from the groups; the new ones stand in the same groups.
        EXPECT_EQ(TerNumbers(a), (std::vector<std::string>{"A1", "2", "A1", "2"}));
        EXPECT_EQ(GroupIds(*TerAt(*part, 1)), (std::vector<std::uint32_t>{W + 256, W + 512}));
    }
    EXPECT_EQ(TerNumbers(a), (std::vector<std::string>{"A1", "2"}));
    EXPECT_EQ(TerNumbers(b), (std::vector<std::string>{"2"}));
    EXPECT_EQ(TerAt(*part, 0)->GetHeadNetLine(), &a);

    part.reset();
    EXPECT_EQ(a.GetCount(9), 0u);
    EXPECT_EQ(b.GetCount(9), 0u);
    EXPECT_EQ(a.GetFirstTer(), nullptr);
}

TEST_F(LinkLifetimeTest, TerminalsLeaveTheirGroupsWhenTheirListIsEmptiedOrTheyAreRemoved)
{
    auto part = LinkedPart();
    CTer* two = TerAt(*part, 1);
    two->RemoveAllNetLine();
    EXPECT_EQ(TerNumbers(a), (std::vector<std::string>{"1"}));
    EXPECT_EQ(b.GetCount(9), 0u);

    // A group that lets a terminal go is dropped from the terminal's list as well.
    CTer* one = TerAt(*part, 0);
    a.RemoveItem(one);
    EXPECT_TRUE(one->IsNetEmpty());
}

TEST_F(LinkLifetimeTest, ACopiedTerminalStandsInItsSourcesGroupsOnBothSides)
{
    CTer source({0, 0}, CText("1", {0, 0}, 0), 0);
    CTer elsewhere({9, 9}, CText("9", {9, 9}, 0), 0);
    auto copy = std::make_unique<CTer>(elsewhere);
    {
        CNetLine group(W + 768, 1, 1);
        CNetLine other(W + 1024, 1, 1);
        group.AddItem(&source);
        other.AddItem(copy.get());
        *copy = source; // leaves the other group, joins the source's
        EXPECT_EQ(other.GetCount(9), 0u);
        EXPECT_EQ(TerNumbers(group), (std::vector<std::string>{"1", "1"}));
        EXPECT_EQ(GroupIds(*copy), (std::vector<std::uint32_t>{W + 768}));

        const CTer second(source);
        EXPECT_EQ(group.GetCount(9), 3u);
    }
    // The group went first: neither the source nor the copy points at it any more.
    EXPECT_TRUE(source.IsNetEmpty());
    EXPECT_EQ(GroupIds(*copy), std::vector<std::uint32_t>{});

    // The copy going first leaves the group behind clean.
    CNetLine group(W + 768, 1, 1);
    group.AddItem(&source);
    copy = std::make_unique<CTer>(source);
    copy.reset();
    EXPECT_EQ(TerNumbers(group), (std::vector<std::string>{"1"}));
}

TEST_F(LinkLifetimeTest, ALinkedLineMovedOffForUndoTakesItsGroupAlong)
{
    CSheet top{static_cast<int>(W), 0x3, 0, &doc};
    top.SetSheetType(SHEET_BOARD);
    top.NewLine({50, 0}, {60, 0}, T_LINE, 0);
    CLine* kept = top.NewLine({0, 0}, {10, 0}, T_LINE, 0);
    top.NewLine({10, 0}, {10, 10}, T_LINE, 0);
    top.ResetNetID();
    top.MakeRubberGroup();
    ASSERT_EQ(top.GetNetLineCount(), 2);

    CSheet undo(SHEET_UNDO);
    unsigned counts[10] = {1, 1};
    top.GetItemTail(counts, undo);
    EXPECT_EQ(undo.GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(top.GetKindCount(KIND_LINE), 2);
    // As a deletion does: the group that held the moved line goes whole.
    EXPECT_EQ(top.GetNetLineCount(), 1);
    EXPECT_EQ(kept->GetID(), 0u);

    // Groups walked and freed afterwards touch only live items.
    for (auto pos = top.GetFirstNetLinePos(); pos;) {
        CNetLine* group = top.GetNextNetLine(pos);
        for (auto line = group->GetFirstLinePos(); line;)
            EXPECT_NE(group->GetNextLine(line)->GetID(), 0u);
    }
    top.DeleteContents();
}

} // namespace
