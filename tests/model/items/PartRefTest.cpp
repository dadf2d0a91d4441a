// Part item: the part name, reference and value texts, reference splitting, numbering, checking and
// ordering, text search, properties and showing or hiding the three texts.

#include "model/items/Part.h"

#include "model/items/Line.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testing_support::PartBoard;

class PartRefTest : public ::testing::Test
{
protected:
    PartBoard board;

    static CPart WithRef(const char* ref)
    {
        CPart part;
        part.SetRefName(ref);
        return part;
    }
};

TEST_F(PartRefTest, ReferencesSplitIntoPrefixNumberAndSuffix)
{
    struct Case
    {
        const char* ref;
        int result;
        const char* prefix;
        int number;
        const char* suffix;
    } cases[] = {
        {"R12A", 1, "R", 12, "A"}, {"U1B2", 1, "U1B", 2, ""}, {"12A", 1, "", 12, "A"}, {"12", 1, "", 12, ""},
        {"IC", 1, "IC", 0, ""},    {"R?", 1, "R", 0, ""},     {"C?b", 1, "C", 0, "b"}, {"R0", 1, "R", 0, ""},
    };
    for (const Case& c : cases) {
        const CPart part = WithRef(c.ref);
        std::string prefix = "x", suffix = "x";
        int number = -7;
        EXPECT_EQ(part.GetRefName(prefix, suffix, number), c.result) << c.ref;
        EXPECT_EQ(prefix, c.prefix) << c.ref;
        EXPECT_EQ(number, c.number) << c.ref;
        EXPECT_EQ(suffix, c.suffix) << c.ref;
    }
    // An empty reference leaves the outputs alone.
    const CPart empty;
    std::string prefix = "p", suffix = "s";
    int number = 5;
    EXPECT_EQ(empty.GetRefName(prefix, suffix, number), 0);
    EXPECT_EQ(prefix, "p");
    EXPECT_EQ(number, 5);
}

TEST_F(PartRefTest, NumberCheckAndShortReference)
{
    struct Case
    {
        const char* ref;
        int number;
        bool check;
        const char* shortRef;
    } cases[] = {{"R12A", 12, true, "R12"}, {"12", 12, false, "12"},  {"R", 0, false, "R"},
                 {"R?", -1, false, "R?"},   {"R12", 12, true, "R12"}, {"12A", 12, true, "12"},
                 {"R0", 0, true, "R0"},     {"", -1, false, ""}};
    for (const Case& c : cases) {
        const CPart part = WithRef(c.ref);
        EXPECT_EQ(part.GetRefNo(), c.number) << c.ref;
        EXPECT_EQ(part.RefCheck(), c.check) << c.ref;
        EXPECT_EQ(part.GetRefNameA(), c.shortRef) << c.ref;
    }
}

TEST_F(PartRefTest, NumberingChangesOnlyWhatItMay)
{
    struct Case
    {
        const char* ref;
        int number, force;
        const char* expected;
    } cases[] = {{"R3", 5, 0, "R3"},   {"R3", 5, 1, "R5"},     {"R?", 5, 0, "R5"}, {"C7b", 0, 0, "C?b"},
                 {"C7b", 0, 1, "C?b"}, {"U1B2", 9, 1, "U1B9"}, {"", 4, 1, ""}};
    for (const Case& c : cases) {
        CPart part = WithRef(c.ref);
        part.SetRefNo(c.number, c.force);
        EXPECT_EQ(part.GetRefName(), c.expected) << c.ref << " " << c.number;
    }

    CPart part = WithRef("R?");
    part.IncRefName(1);
    EXPECT_EQ(part.GetRefName(), "R1");
    ASSERT_EQ(part.SetPlaced(1), 1);
    part.IncRefName(-1);
    EXPECT_EQ(part.GetRefName(), "R?");
    EXPECT_FALSE(part.IsPlaced());
    part = WithRef("R9");
    part.IncRefName(3);
    EXPECT_EQ(part.GetRefName(), "R12");
}

TEST_F(PartRefTest, PlacedFlagNeedsANumber)
{
    CPart unnumbered = WithRef("IC?");
    EXPECT_EQ(unnumbered.SetPlaced(1), 0);
    EXPECT_FALSE(unnumbered.IsPlaced());
    CPart bare = WithRef("IC");
    EXPECT_EQ(bare.SetPlaced(1), 1);
    EXPECT_TRUE(bare.IsPlaced());
    EXPECT_EQ(bare.SetPlaced(0), 1);
    EXPECT_FALSE(bare.IsPlaced());

    // Making the reference unnumbered unplaces the part.
    CPart placed = WithRef("R4");
    placed.SetPlaced(1);
    placed.SetRefName("R?");
    EXPECT_FALSE(placed.IsPlaced());
}

TEST_F(PartRefTest, ReferencesOrderByPrefixNumberAndSuffix)
{
    std::vector<CPart> parts;
    for (const char* ref : {"R10", "c2", "r2", "R2b", "R2a", "", "C10", "U1"})
        parts.push_back(WithRef(ref));
    std::vector<const CPart*> order;
    for (const CPart& p : parts)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(),
                     [](const CPart* a, const CPart* b) { return a->CompareRef(b) < 0; });
    std::vector<std::string> refs;
    for (const CPart* p : order)
        refs.push_back(p->GetRefName());
    // An empty reference counts as an empty prefix with number 0.
    EXPECT_EQ(refs, (std::vector<std::string>{"", "c2", "C10", "r2", "R2a", "R2b", "R10", "U1"}));

    const CPart r10 = WithRef("R10");
    EXPECT_LT(r10.CompareRef("R", "", 2), 0);
    EXPECT_EQ(r10.CompareRef("r", "", 10), 0);
    EXPECT_GT(r10.CompareRef("S", "", 1), 0);
    EXPECT_EQ(CPart().CompareRef("", "", 0), 0);
}

TEST_F(PartRefTest, SettersTakeWholeTextsOrStrings)
{
    CPart part;
    CText ref("U7", CDPoint(3, 4), 0);
    ref.SetLayerNo(PartBoard::kSilkTextA);
    part.SetRefName(ref);
    EXPECT_EQ(part.GetRefName(), "U7");
    EXPECT_EQ(part.GetRefNameText()->GetPoint(), CDPoint(3, 4));
    EXPECT_EQ(part.GetRefNameText()->GetLayerNo(), PartBoard::kSilkTextA);
    EXPECT_EQ(part.GetRefNameText()->GetParent(), &part);

    part.GetValNameText()->Print(0);
    part.SetValue("10k");
    EXPECT_EQ(part.GetValName(), "10k");
    EXPECT_TRUE(part.GetValNameText()->IsPrint());
    part.SetPartName("SOT23");
    EXPECT_EQ(part.GetPartName(), "SOT23");
}

TEST_F(PartRefTest, SearchAndProperties)
{
    CPart part;
    part.SetPartName("DIP8");
    part.SetRefName("U1");
    part.SetValue("NE555");
    part.NewText(CText("MAKER=ACME", CDPoint(1, 1), 0));
    CText prop;
    prop.SetPropaty("Height", "2.5");
    part.NewText(prop);
    EXPECT_EQ(part.FindString("MAKER="), "ACME");
    EXPECT_EQ(part.FindString("none"), "");
    EXPECT_EQ(part.GetProperty("HEIGHT"), "2.5");
    EXPECT_EQ(part.GetProperty(""), "");
    EXPECT_EQ(part.GetProperty("Width"), "");

    CDPoint at;
    EXPECT_TRUE(part.Find(at, "555", 0, 0, 0, 0x7));
    // The free texts are searched only when the named texts did not hit.
    EXPECT_TRUE(part.Find(at, "ACME", 0, 0, 0, 0x27));
    EXPECT_FALSE(part.Find(at, "ACME", 0, 0, 0, 0x7));
    CLine named(CDPoint(0, 0), CDPoint(5, 0), PartBoard::kTrack, 0);
    named.SetName(std::string("LEN"), 100, true);
    part.NewLine(named);
    EXPECT_TRUE(part.Find(at, "LEN", 0, 0, 0, 0x100));
}

TEST_F(PartRefTest, HidingTheNameOfAPartWithNothingElseKeepsItVisible)
{
    CPart part;
    part.SetPartName("DIP8");
    part.GetPartNameText()->SetPoint(CDPoint(2, 3));
    part.SetDisp(0, 2, 2);
    EXPECT_TRUE(part.GetPartNameText()->IsDisp());
    EXPECT_EQ(part.GetBoundingRect(), part.GetPartNameText()->GetBoundingRect());

    // With a reference to show, the name may go.
    part.SetRefName("U1");
    part.SetDisp(0, 1, 0);
    EXPECT_FALSE(part.GetPartNameText()->IsDisp());
    EXPECT_TRUE(part.GetRefNameText()->IsDisp());
    // An empty value is always shown.
    EXPECT_TRUE(part.GetValNameText()->IsDisp());
}

} // namespace
