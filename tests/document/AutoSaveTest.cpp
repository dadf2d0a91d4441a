// Auto-save: when a board is written, where, and what it leaves changed.

#include "document/ProgramFolder.h"
#include "platform/J.h"
#include "tests/document/BoardFileFixture.h"

namespace {

namespace fs = std::filesystem;

class AutoSaveTest : public BoardFileFixture
{
protected:
    void SetUp() override
    {
        BoardFileFixture::SetUp();
        profile.SetInt("FileSave", "UndoCount", 10);
    }
    std::unique_ptr<CVELTADoc> SavedBoard(const fs::path& file)
    {
        auto board = NewBoard();
        AddItems(*board);
        EXPECT_TRUE(board->OnSaveDocument(Cp(file)));
        board->SetPathName(Cp(file));
        board->SetFolder(Cp(file.parent_path()));
        host.messages.clear();
        messages.Clear();
        return board;
    }
};

TEST_F(AutoSaveTest, WritesAtTheThresholdOnceNothingIsSelected)
{
    const fs::path file = BoardFolder() / "A.vbd";
    auto board = SavedBoard(file);
    fs::remove(file);
    board->SetModifiedFlag(true);
    board->SetEditCount(9);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(host.panes.empty());

    board->SetEditCount(10);
    board->GetSelectionSheet(5)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_FALSE(fs::exists(file));
    board->GetSelectionSheet(5)->DeleteContents();

    EXPECT_TRUE(board->AutoSave());
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(board->GetEditCount(), 0u);
    EXPECT_FALSE(board->IsModified());
    EXPECT_EQ(host.panes, (std::vector<std::pair<int, std::string>>{{0, _J("自動保存中")}}));
    EXPECT_EQ(host.messages, (std::vector<std::pair<unsigned, unsigned>>{{1027, 1}}));
    ASSERT_EQ(board->GetTextProperties().size(), 1u);
    EXPECT_EQ(board->GetTextProperties()[0], "&BPF&" + Cp(Board()));

    // The entry is added once.
    board->SetEditCount(10);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_EQ(board->GetTextProperties().size(), 1u);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(AutoSaveTest, TheDefaultThresholdIsOneHundred)
{
    profile.DeleteKey("FileSave", "UndoCount");
    const fs::path file = BoardFolder() / "A.vbd";
    auto board = SavedBoard(file);
    fs::remove(file);
    board->SetEditCount(99);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_FALSE(fs::exists(file));
    board->SetEditCount(100);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(AutoSaveTest, ACopyGoesIntoTheBackupFolderTree)
{
    const fs::path work = Root() / "Work" / "Proj";
    fs::create_directories(work);
    auto board = SavedBoard(work / "A.vbd");
    const std::string own = ReadFile(work / "A.vbd");
    profile.SetInt("FileSave", "FileUpdate", 1);
    profile.SetString("FileSave", "SaveFolder", Cp(Root() / "Save") + "//");
    board->SetModifiedFlag(true);
    board->SetEditCount(10);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_TRUE(fs::exists(Root() / "Save" / "Proj" / "A.vbd"));
    EXPECT_EQ(ReadFile(work / "A.vbd"), own);
    EXPECT_TRUE(board->IsModified());
    EXPECT_EQ(board->GetEditCount(), 0u);
    EXPECT_EQ(board->GetDocPathName(), Cp(work / "A.vbd"));

    // A tree that cannot be made: the message, nothing written.
    WriteFile(Root() / "Blocked", "a file");
    profile.SetString("FileSave", "SaveFolder", Cp(Root() / "Blocked"));
    board->SetEditCount(10);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("バックアップフォルダ作成に失敗しました")});
    EXPECT_EQ(board->GetEditCount(), 10u);

    // No folder set: nothing written.
    profile.SetString("FileSave", "SaveFolder", "");
    EXPECT_TRUE(board->AutoSave());
}

TEST_F(AutoSaveTest, UntitledBoardsGoBesideTheProgramAndStayModified)
{
    auto board = NewBoard();
    board->SetTitle(std::string("VELTA1 ") + _J("(更新)"));
    board->SetModifiedFlag(true);
    board->SetEditCount(10);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_TRUE(fs::exists(GetProgramFolder() / "VELTA1.vbd"));
    EXPECT_TRUE(board->IsModified());
    EXPECT_EQ(board->GetDocPathName(), "");

    auto unnamed = NewBoard();
    auto second = NewBoard();
    for (CVELTADoc* d : {unnamed.get(), second.get(), unnamed.get()}) {
        d->SetEditCount(10);
        EXPECT_TRUE(d->AutoSave());
    }
    std::vector<std::string> saved;
    for (const auto& entry : fs::directory_iterator(GetProgramFolder()))
        if (entry.path().filename().string().rfind("Sav", 0) == 0 && entry.path().extension() == ".vbd")
            saved.push_back(entry.path().filename().string());
    EXPECT_EQ(saved.size(), 2u);
}

TEST_F(AutoSaveTest, AReadOnlyTargetIsNotWritten)
{
    const fs::path file = BoardFolder() / "A.vbd";
    auto board = SavedBoard(file);
    const std::string before = ReadFile(file);
    fs::permissions(file, fs::perms::owner_read);
    board->SetEditCount(10);
    board->GetBoardSheet(7)->NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
    EXPECT_FALSE(board->AutoSave());
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_FALSE(fs::exists(BoardFolder() / "A.bak"));

    // With a backup kept, the old file becomes it.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(board->AutoSave());
    EXPECT_EQ(ReadFile(BoardFolder() / "A.bak"), before);
}

} // namespace
