// The cached part list.

#include "tests/document/BoardFileFixture.h"

#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

class BoardPartsTest : public BoardFileFixture
{
protected:
    CPart* AddPart(CVELTADoc& d, const std::string& ref, bool placed, double x)
    {
        CPart part(CDPoint(x, 10), CDRect(x - 1, 9, x + 1, 11), 1, 0, 0.0, 0);
        if (!ref.empty())
            part.SetRefName(ref.c_str());
        part.NewTer(CDPoint(x, 10), CText("1", CDPoint(x, 10), 0))->SetLayerNo(0);
        CPart* stored = d.GetBoardSheet(LAYER_MAX)->NewPart(part);
        stored->ModifyType(placed ? PART_PLACED : 0, PART_PLACED);
        return stored;
    }
    static std::vector<std::string> Refs(CVELTADoc& d)
    {
        std::vector<std::string> refs;
        for (CPart* p : d.GetPartList())
            refs.push_back(p->GetRefName());
        return refs;
    }
};

TEST_F(BoardPartsTest, ThePartListHoldsThePlacedParts)
{
    auto board = NewBoard();
    AddPart(*board, "R10", true, 10);
    AddPart(*board, "", true, 20);
    AddPart(*board, "C2", false, 30);
    AddPart(*board, "R2", true, 40);
    AddPart(*board, "c1", true, 50);

    board->BuildPartList(true);
    EXPECT_EQ(Refs(*board), (std::vector<std::string>{"R10", "", "R2", "c1"}));
    // Without plain, an unnamed part joins only a list of unnamed parts.
    board->BuildPartList(false);
    EXPECT_EQ(Refs(*board), (std::vector<std::string>{"R10", "R2", "c1"}));
    board->SortPartsByRef();
    EXPECT_EQ(Refs(*board), (std::vector<std::string>{"c1", "R2", "R10"}));
    EXPECT_EQ(host.waitDepth, 0);
    EXPECT_GT(host.waitCursors, 0);

    auto unnamed = NewBoard();
    AddPart(*unnamed, "", true, 10);
    AddPart(*unnamed, "", true, 20);
    unnamed->BuildPartList(false);
    EXPECT_EQ(unnamed->GetPartList().size(), 2u);
}


// Reference pools: equal references in different cases and spellings, so the sort's handling of
// equal keys shows, and plain distinct ones.
struct RefPool
{
    const char* name;
    unsigned seed;
    int parts;
    std::vector<std::string> refs;
};

void PrintTo(const RefPool& pool, std::ostream* out)
{
    *out << pool.name;
}

class SortPartsByRefPools : public BoardFileFixture, public ::testing::WithParamInterface<RefPool>
{};

TEST_P(SortPartsByRefPools, OrderEqualsTheSelectionSort)
{
    const RefPool& pool = GetParam();
    std::mt19937 random(pool.seed);
    for (int round = 0; round < 5; ++round) {
        auto board = NewBoard();
        for (int i = 0; i < pool.parts; ++i) {
            CPart part(CDPoint(i, 10), CDRect(i - 1, 9, i + 1, 11), 1, 0, 0.0, 0);
            const std::string& ref = pool.refs[random() % pool.refs.size()];
            if (!ref.empty())
                part.SetRefName(ref.c_str());
            CPart* stored = board->GetBoardSheet(LAYER_MAX)->NewPart(part);
            stored->ModifyType(PART_PLACED, PART_PLACED);
        }
        board->BuildPartList(true);
        // The selection sort the list was sorted with before, word for word.
        std::vector<CPart*> expected = board->GetPartList();
        const std::size_t n = expected.size();
        for (std::size_t i = 0; i + 1 < n; ++i) {
            std::size_t smallest = i;
            for (std::size_t j = i + 1; j < n; ++j)
                if (expected[j]->CompareRef(expected[smallest]) < 0)
                    smallest = j;
            if (smallest != i)
                std::swap(expected[i], expected[smallest]);
        }
        board->SortPartsByRef();
        ASSERT_EQ(board->GetPartList(), expected) << pool.name << ", round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(
    BoardPartsTest, SortPartsByRefPools,
    ::testing::Values(
        RefPool{"case and spelling", 1, 60, {"R1", "r1", "R01", "R1A", "r1a", "R1a", "C2", "c2", "R10", "", "R?", "r?"}},
        RefPool{"few references", 2, 200, {"U1", "u1", "U2"}},
        RefPool{"one reference", 3, 40, {"X5"}},
        RefPool{"wide letters", 4, 120,
                {"\x82\x60" "1", "\x82\x81" "1", "\x83\x9f" "3", "\x83\xbf" "3", "Q1", "q1", "Q1\x82\x60", "Q1\x82\x81", "[1", "_1"}},
        RefPool{"distinct", 5, 300, {"R1", "R2", "R3", "R4", "C1", "C2", "U10", "U9", "J1", "TP1", "TP2", "D1", "D2", "L1", "Q1"}}));

} // namespace
