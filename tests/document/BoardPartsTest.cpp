// The cached part list.

#include "tests/document/BoardFileFixture.h"

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

} // namespace
