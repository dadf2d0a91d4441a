// Reading project files: the works, their numbered lines and what damaged files give.

#include "document/ProjectFile.h"
#include "app/RecentFileList.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace apptest;

struct ProjectCase
{
    const char* name;
    std::string text;
    int count;
};

std::string Work(int n, const std::string& board, const std::string& numbers = "0 0 0 0 0")
{
    return "[Work " + std::to_string(n) + "]\n{\n[1] " + board + "\n[2] " + numbers +
           "\n[3] velta.bpf\n[4] " + board + ".net\n[5] parts.cmp\n[6] /x/sch.npj\n}\n";
}

class ProjectFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("velta-project-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    int Read(const std::string& text, ProjectWorks& works)
    {
        const fs::path file = folder / "p.vpj";
        WriteText(file, text);
        return ReadProjectFile(file, works);
    }

    fs::path folder;
};

TEST_F(ProjectFileTest, CountsWorksAsTheBracesClose)
{
    std::string seventy = "Project File Ver 0.01\n";
    for (int i = 0; i < 70; ++i)
        seventy += Work(i, "b" + std::to_string(i) + ".vbd");
    seventy += "EndProjectList\n";
    const ProjectCase cases[] = {
        {"two works", "Project File Ver 0.01\n" + Work(0, "a.vbd") + Work(1, "b.vbd") + "EndProjectList\n",
         2},
        {"end between works", Work(0, "a.vbd") + "EndProjectList\n" + Work(1, "b.vbd"), 1},
        {"closing brace missing at the end", Work(0, "a.vbd") + "[Work 1]\n{\n[1] b.vbd\n", 1},
        {"blanks and tabs before lines", " \t[Work 0]\n\t{\n  [1] a.vbd  \n\t}\n", 1},
        {"seventy works read as 64", seventy, 64},
        {"garbage", std::string("\x01\x02\xff\xfe garbage\n}}}\n{{\n"), 0},
        {"CR LF lines", "[Work 0]\r\n{\r\n[1] a.vbd\r\n}\r\n", 1},
        {"empty file", "", 0},
    };
    for (const ProjectCase& c : cases) {
        ProjectWorks works;
        EXPECT_EQ(Read(c.text, works), c.count) << c.name;
    }
}

TEST_F(ProjectFileTest, ReadsTheFieldsOfAWork)
{
    ProjectWorks works;
    ASSERT_EQ(Read(Work(0, "main.vbd", "1 7 0 0 0"), works), 1);
    EXPECT_EQ(works[0].boardFile, "main.vbd");
    EXPECT_EQ(works[0].useNet, 1);
    EXPECT_EQ(works[0].netFormat, 7);
    EXPECT_EQ(works[0].spareFlag, 0);
    EXPECT_EQ(works[0].settingsFile, "velta.bpf");
    EXPECT_EQ(works[0].netFile, "main.vbd.net");
    EXPECT_EQ(works[0].partFile, "parts.cmp");
    EXPECT_EQ(works[0].schematicProject, "/x/sch.npj");

    ASSERT_EQ(Read(Work(0, "x.vbd", "0 3 1"), works), 1);
    EXPECT_EQ(works[0].useNet, 0);
    EXPECT_EQ(works[0].netFormat, 3);
    EXPECT_EQ(works[0].spareFlag, 1);
}

TEST_F(ProjectFileTest, IgnoresNumberedLinesOutsideAWorkOrTooDeep)
{
    ProjectWorks works;
    const std::string text = "[1] outside.vbd\n[Work 0]\n{\n[1] a.vbd\n{\n[1] deep.vbd\n}\n[9] other\n}\n";
    ASSERT_EQ(Read(text, works), 1);
    EXPECT_EQ(works[0].boardFile, "a.vbd");
}

TEST_F(ProjectFileTest, KeepsWhatIsValidInDamagedLines)
{
    ProjectWorks works;
    // Missing numbers read 0; a huge line is read whole; a name ending in the byte 0x5C (the trail
    // byte of a double-byte character) keeps it.
    const std::string huge(200000, 'x');
    const std::string name = "\x83\x5C.vbd"; // a katakana whose trail byte is a backslash
    const std::string text = "[Work 0]\n{\n[1] " + name + "\n[2] 1\n[4] " + huge + "\n[5]\n[x] y\n}\n";
    ASSERT_EQ(Read(text, works), 1);
    EXPECT_EQ(works[0].boardFile, name);
    EXPECT_EQ(works[0].useNet, 1);
    EXPECT_EQ(works[0].netFormat, 0);
    EXPECT_EQ(works[0].netFile, huge);
    EXPECT_EQ(works[0].partFile, "");
}

TEST_F(ProjectFileTest, AMissingFileLeavesTheRecordsAlone)
{
    ProjectWorks works;
    works[0].boardFile = "kept.vbd";
    EXPECT_EQ(ReadProjectFile(folder / "missing.vpj", works), -1);
    EXPECT_EQ(works[0].boardFile, "kept.vbd");
}

} // namespace

namespace {

TEST(RecentFileListTest, KeepsNewestFirstWithinItsSize)
{
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    CRecentFileList list("Recent File List", "File%d", 40, 60); // more than 16 counts as 16
    EXPECT_EQ(list.GetSize(), 16);
    for (int i = 0; i < 20; ++i)
        list.Add("/b/" + std::to_string(i) + ".vbd");
    list.Add("/B/5.vbd");
    EXPECT_EQ(list.GetCount(), 16);
    EXPECT_EQ(list.GetEntry(0), "/B/5.vbd");
    EXPECT_EQ(list.GetEntry(1), "/b/19.vbd");
    list.WriteList();
    EXPECT_EQ(profile.GetString("Recent File List", "File1"), "/B/5.vbd");
    CRecentFileList again("Recent File List", "File%d", 4, 60);
    again.ReadList();
    EXPECT_EQ(again.GetCount(), 4);

    // Long names keep their file name and lose folders in the middle.
    const std::string deep = "/home/user/" + std::string(80, 'd') + "/board.vbd";
    const std::string shown = CRecentFileList::ShortenPath(deep, 60);
    EXPECT_LE(shown.size(), 60u);
    EXPECT_EQ(shown.substr(shown.size() - 10), "/board.vbd");
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(CRecentFileList::ShortenPath("/a/b.vbd", 60), "/a/b.vbd");
    platform::SetProfile(nullptr);
}

} // namespace
