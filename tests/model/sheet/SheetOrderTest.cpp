// The layer sheet's sorts of terminals, holes, lines and texts, and the order of lines along a
// cutter path.

#include "model/items/Hole.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/SheetItems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::Items;

class SheetOrderTest : public ::testing::Test
{
protected:
    SheetOrderTest() : frame(&doc) { doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0}; }

    FakeDocument doc;
    FakeFrameServices frame;
    CSheet sheet{SHEET_WORK};
};

// The selection sort as first given, on copies: for each place, the first strictly smallest of the
// rest is exchanged into it.
template <class T> void ReferenceSort(std::vector<T>& items)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::size_t min = i;
        for (std::size_t j = i + 1; j < items.size(); ++j)
            if (items[j] < items[min])
                min = j;
        std::swap(items[i], items[min]);
    }
}

// The same literal sort on item pointers with an order of the caller's, to compare the items
// themselves (equal items may be different ones).
template <class T, class Less> std::vector<T*> ReferenceOrder(std::vector<T*> items, Less less)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::size_t min = i;
        for (std::size_t j = i + 1; j < items.size(); ++j)
            if (less(*items[j], *items[min]))
                min = j;
        std::swap(items[i], items[min]);
    }
    return items;
}

TEST_F(SheetOrderTest, TerminalsSortByTheirLeadingNumber)
{
    EXPECT_EQ(sheet.SortTerNo(), 0);
    for (const char* number : {"10", "2", "A1"})
        sheet.NewTer(CDPoint(0, 0), CText(number, CDPoint(0, 0), 0), 0);
    const POSITION first = sheet.GetFirstTerPos();
    CTer* before = Items<CTer>(sheet, KIND_TER)[2];
    EXPECT_EQ(sheet.SortTerNo(), 1);
    std::vector<std::string> numbers;
    for (CTer* ter : Items<CTer>(sheet, KIND_TER))
        numbers.push_back(ter->GetNo());
    EXPECT_EQ(numbers, (std::vector<std::string>{"A1", "2", "10"}));
    // Items change places between the nodes; a position held before still names the first node.
    POSITION held = first;
    EXPECT_EQ(sheet.GetNextTer(held), before);
}

TEST_F(SheetOrderTest, HolesLinesAndTextsSortAsTheSelectionSortDoes)
{
    std::mt19937 rng(3);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 10; ++round) {
        CSheet work(SHEET_WORK);
        std::vector<CHole> holes;
        std::vector<CText> texts;
        std::vector<CLine> lines;
        for (int i = 0; i < 30; ++i) {
            // Coordinates that differ by less than the texts' tolerance now and then.
            const CDPoint p(pick(5) + (pick(3) == 0 ? 5e-7 : 0.0), pick(5) - (pick(3) == 0 ? 5e-7 : 0.0));
            holes.emplace_back(p, 0.5 + 0.1 * pick(3), pick(2) == 0, 0.0, 0.0, 0.0);
            work.NewHole(holes.back());
            texts.emplace_back("T", p, 0);
            work.NewText(texts.back());
            lines.emplace_back(p, CDPoint(pick(5), pick(5)), 1, 0);
            work.NewLine(lines.back());
        }
        ReferenceSort(holes);
        ReferenceSort(texts);
        ReferenceSort(lines);
        EXPECT_EQ(work.SortHole(), 1);
        EXPECT_EQ(work.SortText(), 1);
        EXPECT_EQ(work.SortLine(), 1);
        const std::vector<CHole*> sortedHoles = Items<CHole>(work, KIND_HOLE);
        const std::vector<CText*> sortedTexts = Items<CText>(work, KIND_TEXT);
        const std::vector<CLine*> sortedLines = Items<CLine>(work, KIND_LINE);
        for (std::size_t i = 0; i < holes.size(); ++i) {
            EXPECT_TRUE(*sortedHoles[i] == holes[i]) << i;
            EXPECT_TRUE(*sortedTexts[i] == texts[i]) << i;
            EXPECT_TRUE(*sortedLines[i] == lines[i]) << i;
        }
    }
}

// The sorts over keys move the very items the literal scan moves, ties included.
TEST_F(SheetOrderTest, TerminalsWithManyEqualNumbersMoveAsTheSelectionSortMovesThem)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        CSheet work(SHEET_WORK);
        const int count = static_cast<int>(rng() % 70);
        const int spread = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < count; ++i) {
            const std::string number =
                std::to_string(static_cast<int>(rng() % static_cast<unsigned>(spread)));
            work.NewTer(CDPoint(i, 0), CText(number.c_str(), CDPoint(0, 0), 0), 0);
        }
        const std::vector<CTer*> expected = ReferenceOrder(Items<CTer>(work, KIND_TER), [](CTer& a, CTer& b) {
            return std::stoi(a.GetNo()) < std::stoi(b.GetNo());
        });
        EXPECT_EQ(work.SortTerNo(), count > 0 ? 1 : 0);
        EXPECT_EQ(Items<CTer>(work, KIND_TER), expected) << "round " << round;
    }
}

// Hole lists of every shape and plating, with sizes within the order's tolerance of one another,
// equal holes and equal x + y: the sort leaves the very items where the literal scan with the
// hole order leaves them. Sizes that chain (a near b near c, a not near c) and values that are
// not numbers make the order no strict weak order, and the literal result still holds.
TEST_F(SheetOrderTest, HolesMoveAsTheSelectionSortMovesThem)
{
    struct Case
    {
        const char* name;
        std::vector<double> offsets; // added to the base sizes
        bool oddValues;              // now and then a size or a coordinate that is not a number
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {"clean classes", {0.0, 4e-7, 3e-6}, false},
        {"exact sizes", {0.0}, false},
        {"chained sizes", {-6e-7, 0.0, 6e-7}, false},
        {"odd values", {0.0, 5e-7}, true},
    };
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const double bases[] = {0.3, 0.5, 0.8, 1.0};
    for (const Case& c : cases) {
        for (int round = 0; round < 30; ++round) {
            CSheet work(SHEET_WORK);
            const int count = pick(120);
            auto size = [&] {
                if (c.oddValues && pick(40) == 0)
                    return pick(2) == 0 ? nan : inf;
                return bases[pick(4)] +
                       c.offsets[static_cast<std::size_t>(pick(static_cast<int>(c.offsets.size())))];
            };
            for (int i = 0; i < count; ++i) {
                // Small whole coordinates so that x + y ties often, now and then one a hair off.
                CDPoint p(pick(4), pick(4) + (pick(5) == 0 ? 1e-9 : 0.0));
                if (c.oddValues && pick(40) == 0)
                    p.x = nan;
                const int shape = pick(3);
                const double dia = size();
                CHole hole(p, dia, shape == 0, shape == 0 ? 0.0 : size(), shape == 1 ? dia * 0.5 : size(),
                           0.0);
                if (pick(2) == 0)
                    hole.SetLayerID(1, 1 + pick(2));
                work.NewHole(hole);
            }
            const std::vector<CHole*> expected =
                ReferenceOrder(Items<CHole>(work, KIND_HOLE), [](CHole& a, CHole& b) { return a < b; });
            EXPECT_EQ(work.SortHole(), count > 0 ? 1 : 0);
            EXPECT_EQ(Items<CHole>(work, KIND_HOLE), expected) << c.name << " round " << round;
        }
    }
}

TEST_F(SheetOrderTest, LinesFollowTheReferenceLineFromItsStart)
{
    const CLine reference(CDPoint(0, 0), CDPoint(10, 10), 1, 0);
    EXPECT_EQ(sheet.SortLinebyFxPoint(reference), 0);
    CLine* lone = sheet.NewLine(CDPoint(0, 5), CDPoint(5, 0), 1, 0);
    lone->SetFxRatio(CDPoint(2.5, 2.5));
    EXPECT_EQ(sheet.SortLinebyFxPoint(reference), 1);
    EXPECT_EQ(sheet.GetHeadLine(), lone);

    // Lines crossing the diagonal at 7, 2.5 and 5 (along x and y), given in that order.
    CSheet cut(SHEET_WORK);
    const double crossings[] = {7.0, 2.5, 5.0};
    for (double c : crossings) {
        CLine* line = cut.NewLine(CDPoint(c - 1, c + 1), CDPoint(c + 1, c - 1), 1, 0);
        line->SetFxRatio(CDPoint(c, c));
    }
    EXPECT_EQ(cut.SortLinebyFxPoint(reference), 1);
    std::vector<double> order;
    for (CLine* line : Items<CLine>(cut, KIND_LINE))
        order.push_back(line->GetStartPoint().x + 1);
    EXPECT_EQ(order, (std::vector<double>{2.5, 5.0, 7.0}));
}

} // namespace
