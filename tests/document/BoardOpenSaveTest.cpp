// New, open and save of a board: the settings file that goes with it, backups, failures that leave
// the old file whole, file times and what the windows are asked.

#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "tests/document/BoardFileFixture.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class BoardOpenSaveTest : public BoardFileFixture
{
protected:
    fs::path Saved(const std::string& name = "X.vbd")
    {
        auto board = NewBoard();
        AddItems(*board);
        const fs::path file = BoardFolder() / name;
        EXPECT_TRUE(board->OnSaveDocument(Cp(file)));
        return file;
    }
    // Names in the folder other than the given ones (temporary files left behind, for one).
    static std::vector<std::string> Others(const fs::path& folder, std::vector<std::string> known)
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end())
                found.push_back(name);
        }
        return found;
    }
    std::vector<std::string> Texts() const { return messages.Texts(); }
};

TEST_F(BoardOpenSaveTest, ASaveOverABoardKeepsTheOldOneAsBackup)
{
    const fs::path file = Saved();
    const std::string before = ReadFile(file);
    clock.SetFileTimes(file, platform::FileTimes{5000, 5001, 1234});

    auto board = NewBoard();
    board->GetBoardSheet(2)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    board->SetModifiedFlag(true);
    board->SetEditCount(7);
    ASSERT_TRUE(board->OnSaveDocument(Cp(file)));
    EXPECT_EQ(ReadFile(BoardFolder() / "X.bak"), before);
    EXPECT_NE(ReadFile(file), before);
    std::time_t creation = 0;
    board->GetFileTime(2, &creation);
    EXPECT_EQ(creation, 1234);
    EXPECT_FALSE(board->IsModified());
    EXPECT_EQ(board->GetEditCount(), 0u);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back(), (std::pair<unsigned, unsigned>(1027, 1)));
    EXPECT_EQ(host.waitDepth, 0);
    EXPECT_EQ(Others(BoardFolder(), {"X.vbd", "X.bak", "board.bpf"}), std::vector<std::string>{});

    // Without BackUp nothing is kept.
    fs::remove(BoardFolder() / "X.bak");
    profile.SetInt("FileSave", "BackUp", 0);
    ASSERT_TRUE(board->OnSaveDocument(Cp(file)));
    EXPECT_FALSE(fs::exists(BoardFolder() / "X.bak"));
}

TEST_F(BoardOpenSaveTest, AReadOnlyBackupIsLeftAndTheBoardReplaced)
{
    const fs::path file = Saved();
    const fs::path bak = BoardFolder() / "X.bak";
    WriteFile(bak, "old backup");
    fs::permissions(bak, fs::perms::owner_read | fs::perms::group_read);
    auto board = NewBoard();
    ASSERT_TRUE(board->OnSaveDocument(Cp(file)));
    EXPECT_EQ(ReadFile(bak), "old backup");
    EXPECT_EQ(ReadFile(file).size(), 24u + 8 + 20 + 20 + 36 + 12 * 129 + 4);
}

TEST_F(BoardOpenSaveTest, FailedSavesLeaveTheOldFileAsItWas)
{
    const fs::path file = Saved();
    const std::string before = ReadFile(file);
    auto board = NewBoard();
    AddItems(*board);
    board->GetBoardSheet(3)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    board->SetModifiedFlag(true);
    const std::string cannotCreate = platform::Format(_J("%s に書き込めません。").c_str(), Cp(file).c_str());

    // A read-only board file.
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(board->OnSaveDocument(Cp(file)));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text.substr(0, cannotCreate.size()), cannotCreate);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_TRUE(board->IsModified());
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

    // A read-only folder.
    messages.Clear();
    fs::permissions(BoardFolder(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(board->OnSaveDocument(Cp(file)));
    fs::permissions(BoardFolder(), fs::perms::owner_all);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text.substr(0, cannotCreate.size()), cannotCreate);
    EXPECT_EQ(ReadFile(file), before);

    // A write that fails half-way: the file size limit stops it.
    messages.Clear();
    for (int i = 0; i < 2000; ++i)
        board->GetBoardSheet(4)->NewLine(CDPoint(i, 0), CDPoint(i, 5), 2, 0);
    struct rlimit old
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 8192;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = board->OnSaveDocument(Cp(file));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.Count(), 1u);
    const std::string failed = platform::Format(_J("%s を保存できませんでした。").c_str(), Cp(file).c_str());
    EXPECT_EQ(messages.Last().text.substr(0, failed.size()), failed);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_FALSE(fs::exists(BoardFolder() / "X.bak"));
    EXPECT_EQ(Others(BoardFolder(), {"X.vbd", "board.bpf"}), std::vector<std::string>{});
    EXPECT_TRUE(board->IsModified());
    EXPECT_EQ(host.waitDepth, 0);
}

TEST_F(BoardOpenSaveTest, TheSettingsFileFollowsTheBoardIntoAnotherFolder)
{
    const fs::path other = Root() / "other";
    fs::create_directories(other);
    auto board = NewBoard();
    ASSERT_TRUE(board->OnSaveDocument(Cp(other / "A.vbd")));
    EXPECT_EQ(Texts(),
              std::vector<std::string>{_J("基板設計ファイルが見つからないので現在の設定をコピーします")});
    EXPECT_EQ(ReadFile(other / "board.bpf"), ReadFile(Board()));
    EXPECT_EQ(board->GetSettingFile().GetPath(), Board());

    messages.Clear();
    ASSERT_TRUE(board->OnSaveDocument(Cp(other / "A.vbd")));
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(board->GetSettingFile().GetPath(), other / "board.bpf");

    // A copy that cannot be made is reported and the save stands.
    const fs::path third = Root() / "third";
    // A folder holds the copy's name.
    fs::create_directories(third / "board.bpf");
    auto another = NewBoard();
    messages.Clear();
    ASSERT_TRUE(another->OnSaveDocument(Cp(third / "B.vbd")));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{_J("基板設計ファイルが見つからないので現在の設定をコピーします"),
                                        _J("基板設計ファイルのコピーに失敗しました")}));
}

TEST_F(BoardOpenSaveTest, SeveralSettingsFilesAskWhich)
{
    const fs::path file = Saved("A.vbd");
    for (const char* name : {"b.BPF", "C.bpf", "a.bpf"})
        fs::copy_file(Board(), BoardFolder() / name);
    fs::remove(Board());
    host.settingChoice = -1;
    auto cancelled = NewDoc();
    EXPECT_FALSE(cancelled->OnOpenDocument(Cp(file)));
    EXPECT_EQ(host.settingDialogNames, (std::vector<std::string>{"a.bpf", "b.BPF", "C.bpf"}));
    EXPECT_EQ(host.settingDialogFolder, Cp(BoardFolder()));
    EXPECT_EQ(messages.Count(), 0u);

    host.settingChoice = 1;
    auto chosen = NewDoc();
    ASSERT_TRUE(chosen->OnOpenDocument(Cp(file)));
    EXPECT_EQ(chosen->GetSettingFile().GetPath(), BoardFolder() / "b.BPF");
    EXPECT_EQ(host.currentDocument, chosen.get());
}

TEST_F(BoardOpenSaveTest, WithoutASettingsFileTheMasterIsUsed)
{
    const fs::path file = Saved("A.vbd");
    fs::remove(Board());
    auto d = NewDoc();
    ASSERT_TRUE(d->OnOpenDocument(Cp(file)));
    EXPECT_EQ(Texts(), std::vector<std::string>{_J("基板設計ファイルが見つかりません")});
    EXPECT_EQ(d->GetSettingFile().GetPath(), Master());

    // A board from the master saves and reopens.
    messages.Clear();
    ASSERT_TRUE(d->OnSaveDocument(Cp(file)));
    auto again = NewDoc();
    ASSERT_TRUE(again->OnOpenDocument(Cp(file)));
    // The master went along into the board's folder.
    EXPECT_EQ(Texts(),
              std::vector<std::string>{_J("基板設計ファイルが見つからないので現在の設定をコピーします")});
    EXPECT_EQ(again->GetSettingFile().GetPath(), BoardFolder() / "velta.bpf");
    EXPECT_TRUE(*again->GetBoardSheet(LAYER_MAX) == *d->GetBoardSheet(LAYER_MAX));
}

TEST_F(BoardOpenSaveTest, AProjectBoardNamesItsSettingsFileAndStaysOffTheRecentList)
{
    const fs::path file = Saved("P.vbd");
    fs::copy_file(Board(), BoardFolder() / "proj.bpf");
    host.project = ProjectWorkEntry{"p.vbd", "proj.bpf", "p.net", "", true};
    // The project's net list is read on open; a missing one would turn the nets off.
    std::ofstream(BoardFolder() / "p.net") << "$CCF\n{\nNET {\nGND:R1(1);\n}\n}\n";
    auto d = NewDoc();
    ASSERT_TRUE(d->OnOpenDocument(Cp(file)));
    EXPECT_EQ(d->GetSettingFile().GetPath(), BoardFolder() / "proj.bpf");
    EXPECT_TRUE(d->IsProjectNetList());
    EXPECT_TRUE(host.recent.empty());

    host.project.reset();
    auto plain = NewDoc();
    fs::remove(BoardFolder() / "proj.bpf");
    ASSERT_TRUE(plain->OnOpenDocument(Cp(file)));
    EXPECT_FALSE(plain->IsProjectNetList());
    EXPECT_EQ(host.recent, std::vector<std::string>{Cp(file)});

    plain->OnCloseDocument();
    EXPECT_EQ(host.removedFromProject, std::vector<std::string>{Cp(file)});
    EXPECT_EQ(host.clearedActive, plain.get());
}

TEST_F(BoardOpenSaveTest, AnEmptyFileRunsTheNewDesignDialog)
{
    const fs::path file = BoardFolder() / "E.vbd";
    WriteFile(file, "");
    auto cancelled = NewDoc();
    EXPECT_FALSE(cancelled->OnOpenDocument(Cp(file)));
    ASSERT_EQ(host.newDesignFolders.size(), 1u);
    EXPECT_EQ(host.newDesignFolders[0], Cp(BoardFolder()));

    host.newDesign = NewDesignChoice{Cp(BoardFolder()), Cp(Board()), CDSize(150, 120), CDPoint(5, 6)};
    clock.SetNow(1800000000);
    auto d = NewDoc();
    ASSERT_TRUE(d->OnOpenDocument(Cp(file)));
    EXPECT_EQ(d->GetBoardSize().cx, 150.0);
    EXPECT_EQ(d->GetBoardSize().cy, 120.0);
    EXPECT_EQ(d->GetUserOrigin().x, 5.0);
    EXPECT_FALSE(d->IsModified());
    EXPECT_TRUE(d->IsNewBoardMarked());
    EXPECT_EQ(host.marksCleared, 1);
    for (int which = 0; which < 3; ++which) {
        std::time_t t = 0;
        d->GetFileTime(which, &t);
        EXPECT_EQ(t, 1800000000);
    }
    EXPECT_NE(ReadFile(Board()).find("150.00, 120.00 : 5.00, 6.00"), std::string::npos);
}

TEST_F(BoardOpenSaveTest, ANewBoardStartsOnTheMaster)
{
    host.anyMarked = true;
    auto cancelled = NewDoc();
    EXPECT_FALSE(cancelled->OnNewDocument());
    EXPECT_EQ(cancelled->GetSettingFile().GetPath(), Master());
    EXPECT_EQ(host.newDesignFolders, std::vector<std::string>{""});
    EXPECT_FALSE(cancelled->IsNewBoardMarked());
}

TEST_F(BoardOpenSaveTest, NewBoardsAreNamedWithARunningNumber)
{
    host.newDesign = NewDesignChoice{Cp(BoardFolder()), Cp(Board()), CDSize(150, 120), CDPoint(0, 0)};
    auto first = NewDoc();
    ASSERT_TRUE(first->OnNewDocument());
    auto second = NewDoc();
    ASSERT_TRUE(second->OnNewDocument());
    const std::string a = first->GetDocTitle();
    const std::string b = second->GetDocTitle();
    ASSERT_EQ(a.rfind("VELTA", 0), 0u) << a;
    ASSERT_EQ(b.rfind("VELTA", 0), 0u) << b;
    EXPECT_EQ(std::stoi(b.substr(5)), std::stoi(a.substr(5)) + 1);
    EXPECT_TRUE(first->GetDocPathName().empty());
}

TEST_F(BoardOpenSaveTest, FilesThatAreNoBoards)
{
    // Missing: the failed-to-open message.
    const fs::path missing = BoardFolder() / "none.vbd";
    auto d = NewDoc();
    EXPECT_FALSE(d->OnOpenDocument(Cp(missing)));
    ASSERT_EQ(messages.Count(), 1u);
    const std::string failed = platform::Format(_J("%s を開けませんでした。").c_str(), Cp(missing).c_str());
    EXPECT_EQ(messages.Last().text.substr(0, failed.size()), failed);

    // Another file's header: refused without a word.
    messages.Clear();
    const fs::path text = BoardFolder() / "text.vbd";
    WriteFile(text, "Project File Ver 0.01\n");
    auto other = NewDoc();
    EXPECT_FALSE(other->OnOpenDocument(Cp(text)));
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(BoardOpenSaveTest, AReadOnlyBoardIsAnnouncedWhileAutoSaveIsOn)
{
    const fs::path file = Saved();
    fs::permissions(file, fs::perms::owner_read);
    host.autoSaveFlag = true;
    auto d = NewDoc();
    ASSERT_TRUE(d->OnOpenDocument(Cp(file)));
    EXPECT_EQ(Texts(), std::vector<std::string>{_J("読み込み専用ファイルは自動保存の対象外です")});
    EXPECT_FALSE(host.autoSaveFlag);

    // Saving it asks for another name.
    host.saveAs = Cp(BoardFolder() / "copy.vbd");
    ASSERT_TRUE(d->DoFileSave());
    EXPECT_EQ(host.saveAsProposals, std::vector<std::string>{Cp(BoardFolder() / "X.vbd")});
    EXPECT_EQ(d->GetDocPathName(), Cp(BoardFolder() / "copy.vbd"));
    EXPECT_TRUE(fs::exists(BoardFolder() / "copy.vbd"));
}

TEST_F(BoardOpenSaveTest, SaveAsProposesTheTitleCutAtTheFirstOddCharacter)
{
    auto board = NewBoard();
    board->SetFolder(Cp(BoardFolder()));
    board->SetTitle("VELTA1 #2");
    EXPECT_FALSE(board->DoFileSave());
    EXPECT_EQ(host.saveAsProposals, std::vector<std::string>{Cp(BoardFolder() / "VELTA1.vbd")});
    // A trail byte 0x5C inside a double-byte character does not cut.
    host.saveAsProposals.clear();
    board->SetTitle(_J("表示"));
    EXPECT_FALSE(board->DoSave("", true));
    EXPECT_EQ(host.saveAsProposals, std::vector<std::string>{Cp(BoardFolder()) + "/" + _J("表示") + ".vbd"});
}

TEST_F(BoardOpenSaveTest, ABoardLockedByAnotherProgramIsNeitherReadNorReplaced)
{
    const fs::path file = Saved();
    const std::string before = ReadFile(file);
    const int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    auto d = NewDoc();
    EXPECT_FALSE(d->OnOpenDocument(Cp(file)));
    auto board = NewBoard();
    EXPECT_FALSE(board->OnSaveDocument(Cp(file)));
    ::close(fd);
    ASSERT_EQ(messages.Count(), 2u);
    const std::string failed = platform::Format(_J("%s を開けませんでした。").c_str(), Cp(file).c_str());
    const std::string cannot = platform::Format(_J("%s に書き込めません。").c_str(), Cp(file).c_str());
    EXPECT_EQ(messages.Entries()[0].text.substr(0, failed.size()), failed);
    EXPECT_EQ(messages.Entries()[1].text.substr(0, cannot.size()), cannot);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_TRUE(NewDoc()->OnOpenDocument(Cp(file)));
}

TEST_F(BoardOpenSaveTest, TheSelectionIsPutBackBeforeWritingAndACopyKeepsThePath)
{
    auto board = NewBoard();
    board->GetSelectionSheet(3)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    board->GetSelectionSheet(9)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    board->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(3, 3), 1, 0);
    board->SetPathName(Cp(BoardFolder() / "A.vbd"), false);
    ASSERT_TRUE(board->DoSave(Cp(BoardFolder() / "copy.vbd"), false));
    EXPECT_EQ(host.endCommands, 3);
    EXPECT_EQ(board->GetDocPathName(), Cp(BoardFolder() / "A.vbd"));
    EXPECT_TRUE(fs::exists(BoardFolder() / "copy.vbd"));
    EXPECT_GT(host.waitCursors, 0);
    EXPECT_EQ(host.waitDepth, 0);
}

} // namespace
