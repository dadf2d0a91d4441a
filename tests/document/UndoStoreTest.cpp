#include "platform/J.h"
#include "tests/document/EditFixture.h"

namespace {

class UndoStoreTest : public EditFixture
{
protected:
    // What the view does to move the selection: record the items as they were, move them,
    // record the replacements, put everything back on the board.
    void MoveSelection(const CDPoint& by)
    {
        doc->OffsetSelection(by, 1, true);
        doc->StoreUndo(5, 3);
        doc->StoreUndo(2, 5);
        doc->MoveAllSheets(2, 0);
        doc->ClearSheets(5, true);
    }
    std::vector<std::pair<int, int>> Records(const std::vector<unsigned>& history) // (layer, group)
    {
        std::vector<std::pair<int, int>> out;
        for (std::size_t i = 0; i + 12 <= history.size(); i += 12)
            out.emplace_back(static_cast<int>(history[i + 10] & 0xFF),
                             static_cast<int>(history[i + 10] >> 8));
        return out;
    }
    std::vector<int> Types(const std::vector<unsigned>& history)
    {
        std::vector<int> out;
        for (std::size_t i = 11; i < history.size(); i += 12)
            out.push_back(static_cast<int>(history[i]));
        return out;
    }
    const std::string& Mark() { return _J(" (更新)"); }
};

TEST_F(UndoStoreTest, MoveOfAViaAndALineIsOneStep)
{
    AddLine(3, CDPoint(1, 1), CDPoint(3, 1));
    AddVia(CDPoint(2, 2));
    doc->SetCurrentLayer(3);
    doc->SelectInRect(CDRect(0, 0, 5, 5));
    ASSERT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_FALSE(doc->CanUndo());
    MoveSelection(CDPoint(10, 0));
    const auto records = Records(doc->GetUndoHistory());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], std::make_pair(3, 0));
    EXPECT_EQ(records[1], std::make_pair(128, 1));
    EXPECT_EQ(Types(doc->GetUndoHistory()), (std::vector<int>{3, 3, 5, 5}));
    EXPECT_EQ(doc->GetUndoHistory()[8], 1u); // line count of the first record
    EXPECT_EQ(doc->GetBoardSheet(3)->GetHeadLine()->GetStartPoint().x, 11.0);

    ASSERT_TRUE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    doc->OnEditUndo();
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    EXPECT_EQ(Types(doc->GetRedoHistory()), (std::vector<int>{3, 3, 5, 5}));
    ASSERT_EQ(OnBoard(3), 1);
    EXPECT_EQ(doc->GetBoardSheet(3)->GetHeadLine()->GetStartPoint().x, 1.0);
    ASSERT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetItemCount(), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadVia()->GetPoint().x, 2.0);
    EXPECT_EQ(doc->GetUndoSheet()->GetItemCount(), 0);

    ASSERT_TRUE(doc->CanRedo());
    doc->OnEditRedo();
    EXPECT_TRUE(doc->GetRedoHistory().empty());
    EXPECT_EQ(Types(doc->GetUndoHistory()), (std::vector<int>{3, 3, 5, 5}));
    EXPECT_EQ(Records(doc->GetUndoHistory())[1], std::make_pair(128, 1));
    ASSERT_EQ(OnBoard(3), 1);
    EXPECT_EQ(doc->GetBoardSheet(3)->GetHeadLine()->GetStartPoint().x, 11.0);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadVia()->GetPoint().x, 12.0);
    EXPECT_EQ(doc->GetRedoSheet()->GetItemCount(), 0);
    EXPECT_EQ(doc->GetUndoSheet()->GetItemCount(), 4);

    // Undo and redo alternate without limit.
    for (int i = 0; i < 3; ++i) {
        doc->OnEditUndo();
        doc->OnEditRedo();
    }
    EXPECT_EQ(doc->GetBoardSheet(3)->GetHeadLine()->GetStartPoint().x, 11.0);
    EXPECT_EQ(OnBoard(3), 1);
}

TEST_F(UndoStoreTest, NewEditEmptiesTheRedoSide)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->GetBoardSheet(0)->NewLine(line);
    doc->StoreUndoForItem(&line, 1);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_FALSE(doc->GetRedoHistory().empty());
    doc->StoreUndoForItem(&line, 1);
    EXPECT_TRUE(doc->GetRedoHistory().empty());
    EXPECT_EQ(doc->GetRedoSheet()->GetItemCount(), 0);
}

TEST_F(UndoStoreTest, CommandsAreGreyWhileAnythingIsSelected)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->StoreUndoForItem(&line, 1);
    EXPECT_TRUE(doc->CanUndo());
    doc->GetSelectionSheet(2)->NewLine(line);
    EXPECT_FALSE(doc->CanUndo());
    doc->ClearSheets(2, true);
    doc->OnEditUndo();
    EXPECT_TRUE(doc->CanRedo());
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    EXPECT_FALSE(doc->CanRedo());
}

TEST_F(UndoStoreTest, LastUndoClass)
{
    CSheet three(SHEET_WORK);
    for (int i = 0; i < 3; ++i)
        three.NewLine(CDPoint(i, 0), CDPoint(i, 1), 2, 0);
    doc->StoreUndoItem(&three, 0, 0, 1);
    EXPECT_EQ(doc->GetLastUndoClass(), 1);
    EXPECT_EQ(doc->GetLastUndoLayer(), 0);
    CSheet mixed(SHEET_WORK);
    mixed.NewLine(CDPoint(0, 0), CDPoint(0, 1), 2, 0);
    mixed.NewArc(CDPoint(5, 5), 1.0, 0.0, 1.0, 0, 2);
    doc->StoreUndoItem(&mixed, 2, 0, 1);
    EXPECT_EQ(doc->GetLastUndoClass(), 0);
    EXPECT_EQ(doc->GetLastUndoLayer(), 2);
    CLand land(CDPoint(1, 1), 1);
    doc->StoreUndoItem(&land, 0, 0, 3);
    EXPECT_EQ(doc->GetLastUndoClass(), 0); // not an addition
}

TEST_F(UndoStoreTest, TitleMarkFollowsTheSavedState)
{
    doc->SetTitle("BOARD1");
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1");
    EXPECT_FALSE(doc->IsModified());
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->GetBoardSheet(0)->NewLine(line);
    doc->StoreUndoForItem(&line, 1);
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1" + Mark());
    EXPECT_TRUE(doc->IsModified());
    doc->GetBoardSheet(0)->NewLine(CLine(CDPoint(0, 5), CDPoint(1, 5), 2, 0));
    doc->StoreUndoForItem(&line, 1);
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1" + Mark()); // once
    doc->OnEditUndo();
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(host.titles.back(), "BOARD1");
    // Saved after one step: undoing below the save is modified again, and so is a different edit
    // of the same history length.
    doc->OnEditRedo();
    doc->SetModifiedFlag(false);
    doc->SetTitle("");
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1");
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1" + Mark());
    doc->StoreUndoForItem(&line, 1);
    EXPECT_EQ(doc->GetUndoHistory().size(), 12u);
    EXPECT_TRUE(doc->IsModified());
    // A forced mark stays until the save.
    doc->PopUndoStep(true, true);
    doc->SetModifiedFlag(false);
    doc->SetModifiedFlag(true);
    doc->SetTitle("");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetDocTitle(), "BOARD1" + Mark());
    EXPECT_EQ(doc->SaveModified(), true);
    EXPECT_EQ(host.questions, 1);
    doc->SetModifiedFlag(false);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(host.questions, 1);
}

TEST_F(UndoStoreTest, FullPathTitleAndMinimisedFrame)
{
    doc->SetPathName("/boards/a.vbd");
    doc->SetTitle("a.vbd");
    EXPECT_EQ(doc->GetDocTitle(), "/boards/a.vbd");
    profile.SetInt("Sheet", "FullPath", 0);
    doc->SetTitle("a.vbd");
    EXPECT_EQ(doc->GetDocTitle(), "a.vbd");
    host.minimised = true;
    doc->SetTitle("b.vbd");
    EXPECT_EQ(doc->GetDocTitle(), "b.vbd");
    doc->SetTitle("");
    EXPECT_EQ(doc->GetDocTitle(), "b.vbd");
}

TEST_F(UndoStoreTest, HundredthStepPostsTheAutoSaveMessage)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->StoreUndoForItem(&line, 1);
    EXPECT_TRUE(host.posts.empty()); // auto-save off
    EXPECT_EQ(doc->GetEditCount(), 0u);
    profile.SetInt("FileSave", "AutoSave", 1);
    for (int i = 1; i < 100; ++i)
        doc->StoreUndoForItem(&line, 1);
    EXPECT_TRUE(host.posts.empty());
    doc->StoreUndoForItem(&line, 5); // replacements are not counted
    EXPECT_TRUE(host.posts.empty());
    doc->StoreUndoForItem(&line, 1);
    ASSERT_EQ(host.posts.size(), 1u);
    EXPECT_EQ(host.posts[0].message, 1027);
    EXPECT_EQ(host.posts[0].wParam, 0);
    // Nothing and less than nothing: the first edit asks.
    for (int limit : {0, -5}) {
        host.posts.clear();
        doc->ResetEditCount();
        profile.SetInt("FileSave", "UndoCount", limit);
        doc->StoreUndoForItem(&line, 1);
        EXPECT_EQ(host.posts.size(), 1u) << limit;
    }
}

TEST_F(UndoStoreTest, PopUndoStepPutsItemsBackIntoTheSelection)
{
    EXPECT_EQ(doc->PopUndoStep(true, true), -1);
    CLine a(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    CLine b(CDPoint(0, 1), CDPoint(1, 1), 2, 0);
    doc->GetBoardSheet(2)->NewLine(a);
    doc->GetBoardSheet(2)->NewLine(b);
    doc->StoreUndoItem(&a, 2, 0, 3);
    doc->StoreUndoItem(&b, 2, 0, 5);
    EXPECT_EQ(doc->PopUndoStep(true, true), 3);
    EXPECT_EQ(Selected(2), 1);
    EXPECT_EQ(doc->GetSelectionSheet(2)->GetHeadLine()->GetStartPoint().y, 1.0);
    EXPECT_EQ(OnBoard(2), 1);
    EXPECT_EQ(doc->GetCurrentLayer(), 2);
    EXPECT_EQ(doc->PopUndoStep(false, true), 3);
    EXPECT_EQ(OnBoard(2), 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    // A deletion step is refused and left as it is.
    doc->StoreUndoItem(&a, 2, 0, 2);
    EXPECT_EQ(doc->PopUndoStep(true, true), -1);
    EXPECT_EQ(doc->GetUndoHistory().size(), 12u);
}

TEST_F(UndoStoreTest, PartsOnlyRecordGoesBackToTheViaAndPartSheets)
{
    CPart part(CDPoint(5, 5), CDRect(4, 4, 6, 6), 1, 0, 0.0, 0);
    part.NewLand(CDPoint(5, 5), 1)->SetLayerNo(0);
    doc->SetCurrentLayer(1);
    doc->StoreUndoItem(&part, LAYER_MAX, 0, 1);
    doc->PopUndoStep(false, false);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetKindCount(KIND_PART), 1);
    EXPECT_EQ(doc->GetCurrentLayer(), 1);
    EXPECT_EQ(doc->GetCurrentBoardSheet(), doc->GetBoardSheet(1));
}

TEST_F(UndoStoreTest, UndoOfADeletedPartPutsItBack)
{
    CPart part(CDPoint(5, 5), CDRect(4, 4, 6, 6), 1, 0, 0.0, 0);
    part.NewLand(CDPoint(5, 5), 1)->SetLayerNo(0);
    doc->StoreUndoItem(&part, LAYER_MAX, 0, 2);
    doc->OnEditUndo();
    ASSERT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 1);
    EXPECT_FALSE(doc->GetBoardSheet(LAYER_MAX)->GetHeadPart()->GetBoundingRect().IsRectNull());
    EXPECT_EQ(Types(doc->GetRedoHistory()), (std::vector<int>{1}));
    doc->OnEditRedo();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 0);
}

TEST_F(UndoStoreTest, RestoreTakesTheFirstEqualItemOfEachOnce)
{
    // Two equal lines on the board, one changed since: undoing the addition of two equal lines
    // takes the two equal ones, in list order, and leaves the changed one.
    CSheet* board = doc->GetBoardSheet(2);
    board->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0)->SetCheck(1, true);
    board->NewLine(CDPoint(0, 0), CDPoint(2, 0), 2, 0);
    board->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    board->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0)->SetCheck(2, true);
    CSheet added(SHEET_WORK);
    added.NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    added.NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    added.NewLine(CDPoint(5, 5), CDPoint(6, 6), 2, 0); // no longer on the board
    doc->StoreUndoItem(&added, 2, 0, 1);
    doc->OnEditUndo();
    ASSERT_EQ(OnBoard(2), 2);
    EXPECT_EQ(board->GetHeadLine()->GetEndPoint().x, 2.0);
    EXPECT_TRUE(board->GetTailLine(0)->CheckEndEdge());
}

TEST_F(UndoStoreTest, EmptyHistoriesDoNothing)
{
    doc->OnEditUndo();
    doc->OnEditRedo();
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_EQ(doc->GetLastUndoClass(), 0);
    EXPECT_EQ(doc->GetLastUndoLayer(), -1);
    doc->StoreUndo(7, 1);
    doc->StoreUndo(0, 1); // an empty board records nothing
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(UndoStoreTest, RecordsOfNoBoardLayerAreTakenSafely)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    doc->StoreUndoItem(&line, 200, 0, 1);
    doc->OnEditUndo();
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    doc->OnEditRedo();
    EXPECT_EQ(doc->PopUndoStep(true, false), 1);
    EXPECT_EQ(doc->GetCurrentLayer(), 0);
}

TEST_F(UndoStoreTest, RecordsCoverAllLayersInDisplayOrder)
{
    // Shown layers in display order, then the hidden ones: a hidden layer's items are recorded too.
    for (int set : {0, 2, 5})
        doc->GetSetSheet(set, 3)->GetLayerPoint()->display = 0;
    doc->GetSetSheet(0, 1)->GetLayerPoint()->order = 9;
    doc->BuildLayerLists();
    for (int layer : {3, 1, 0, 40})
        doc->GetBoardSheet(layer)->NewLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0));
    doc->StoreUndo(0, 1);
    EXPECT_EQ(Records(doc->GetUndoHistory()),
              (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {3, 2}, {40, 3}}));
    // A selection on a hidden layer is a selection: the commands stay grey.
    doc->GetSelectionSheet(3)->NewLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0));
    EXPECT_FALSE(doc->IsSelectionEmpty());
    EXPECT_FALSE(doc->CanUndo());
}

} // namespace
