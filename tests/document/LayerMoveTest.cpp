// Moving and copying the selection to other layers: where the items land, that vias and parts
// keep their layers, that one undo takes the whole command back and that nothing is recorded for
// a layer moved onto itself.

#include "document/TableChoices.h"
#include "tests/document/EditFixture.h"

#include <functional>

namespace {

class MoveHost : public EditHost
{
public:
    bool RunLayerMoveDialog(LayerMoveChoice& choice) override
    {
        sources = choice.sources;
        if (!answer)
            return false;
        answer(choice);
        return true;
    }
    std::function<void(LayerMoveChoice&)> answer;
    std::vector<int> sources;
};

class LayerMoveTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->SetHost(&moves);
    }
    void TearDown() override
    {
        doc->SetHost(nullptr);
        EditFixture::TearDown();
    }
    // Lines selected on a layer, as a click would leave them: off the board, in the selection.
    void SelectLines(int layer, int count)
    {
        for (int i = 0; i < count; ++i)
            doc->GetSelectionSheet(layer)->NewLine(CDPoint(0, i), CDPoint(5, i), 2, 0);
    }
    void Answer(std::vector<int> targets, bool copy, bool all)
    {
        moves.answer = [=](LayerMoveChoice& c) {
            c.targets = targets;
            c.copy = copy;
            c.allTargets = all;
        };
    }
    std::size_t History() const { return doc->GetUndoHistory().size(); }

    MoveHost moves;
};

TEST_F(LayerMoveTest, DialogGetsTheSelectedLayersAscending)
{
    SelectLines(3, 1);
    SelectLines(0, 1);
    EXPECT_FALSE(doc->OnLayerMove());
    EXPECT_EQ(moves.sources, (std::vector<int>{0, 3}));
    // Cancel: the selection stays as it was.
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(Selected(3), 1);
}

TEST_F(LayerMoveTest, MoveIsOneUndoStep)
{
    SelectLines(0, 2);
    SelectLines(1, 1);
    Answer({2, 3}, false, false);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(OnBoard(2), 2);
    EXPECT_EQ(OnBoard(3), 1);
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_EQ(OnBoard(1), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(OnBoard(2), 0);
    EXPECT_EQ(OnBoard(3), 0);
    EXPECT_FALSE(doc->CanUndo());
}

TEST_F(LayerMoveTest, MoveOntoTheSameLayerRecordsNothing)
{
    SelectLines(0, 2);
    SelectLines(1, 1);
    const std::size_t before = History();
    Answer({0, 2}, false, false);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(2), 1);
    // Only layer 1's records: undo gives layer 1 its line back and leaves layer 0 alone.
    EXPECT_GT(History(), before);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(OnBoard(2), 0);

    SelectLines(3, 1);
    const std::size_t same = History();
    Answer({3}, false, false);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(History(), same);
    EXPECT_EQ(OnBoard(3), 1);
    EXPECT_TRUE(doc->IsSelectionEmpty());
}

TEST_F(LayerMoveTest, CopyPerLayerKeepsTheSourcesAndUndoesAsOne)
{
    SelectLines(0, 2);
    SelectLines(1, 1);
    Answer({2, 1}, true, false);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(OnBoard(2), 2);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(OnBoard(2), 0);
}

TEST_F(LayerMoveTest, CopyToAllTargetsSkipsTheSourceItself)
{
    SelectLines(1, 2);
    Answer({0, 1, 2, 3}, true, true);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 2);
    EXPECT_EQ(OnBoard(2), 2);
    EXPECT_EQ(OnBoard(3), 2);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_EQ(OnBoard(1), 2);
    EXPECT_EQ(OnBoard(3), 0);
}

TEST_F(LayerMoveTest, ViasGoBackToTheBoardAndHiddenSourcesKeepNoCopy)
{
    SelectLines(2, 1);
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    // Layer 2 was hidden after its line was selected.
    for (int set : {0, 2, 5})
        doc->GetSetSheet(set, 2)->GetLayerPoint()->enable = 0;
    doc->BuildLayerLists();
    Answer({3}, false, false);
    ASSERT_TRUE(doc->OnLayerMove());
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(32915), 1);
    EXPECT_EQ(OnBoard(3), 1);
    EXPECT_EQ(Selected(2), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
}

} // namespace
