#include "platform/FilePath.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

const std::string kSo = "\x83\x5C";   // ソ
const std::string kHyou = "\x95\x5C"; // 表
const std::string kNou = "\x94\x5C";  // 能

class FilePathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velta-filepath-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

    fs::path m_dir;
};

} // namespace

TEST_F(FilePathTest, ConvertsNamesBothWays)
{
    const std::string name = kSo + kHyou + kNou + ".vbd";
    const fs::path path = Cp932ToPath(name);
    EXPECT_EQ(path.native(), "ソ表能.vbd");
    EXPECT_EQ(PathToCp932(path), name);
    EXPECT_EQ(PathToCp932(fs::path("/tmp/a b/c.txt")), "/tmp/a b/c.txt");

    // A file with such a name is found through the converted path.
    Touch(m_dir / path);
    EXPECT_TRUE(fs::exists(m_dir / Cp932ToPath(name)));

    // Names CP932 cannot hold, or only by another character, are refused.
    EXPECT_FALSE(PathToCp932(fs::path("ÿ.txt")));
    EXPECT_FALSE(PathToCp932(fs::path("a\xC3")));  // not UTF-8
    EXPECT_FALSE(PathToCp932(fs::path("¥.txt")));  // would come back as "\\.txt"
    EXPECT_FALSE(PathToCp932(fs::path("〜.txt"))); // would come back as the full-width tilde
}

TEST_F(FilePathTest, StoredNamesSplitOutsideDoubleByteCharacters)
{
    struct Case
    {
        std::string stored;
        bool windows;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"C:\\work\\" + kSo + ".vbd", true, kSo + ".vbd"}, {"d:" + kHyou + ".vpj", true, kHyou + ".vpj"},
        {"\\\\server\\share\\" + kNou, true, kNou},        {"sub\\" + kSo + kHyou, true, kSo + kHyou},
        {kSo + kHyou + kNou, false, kSo + kHyou + kNou}, // 0x5C only as trail bytes
        {"/home/u/" + kSo + ".vbd", false, kSo + ".vbd"},  {"board.vbd", false, "board.vbd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(IsWindowsPath(c.stored), c.windows);
        EXPECT_EQ(StoredFileName(c.stored), c.name);
    }
}

TEST_F(FilePathTest, MissingWindowsPathResolvesBesideTheFolder)
{
    const std::string name = kSo + kNou + ".vbd";
    const fs::path beside = m_dir / Cp932ToPath(name);
    EXPECT_EQ(ResolveStoredPath("C:\\old\\" + kHyou + "\\" + name, m_dir), beside);
    EXPECT_EQ(ResolveStoredPath("old\\" + name, m_dir), beside);

    // A path that exists is taken as it is; a Linux path that does not exist is left alone.
    Touch(beside);
    const std::optional<std::string> stored = PathToCp932(beside);
    ASSERT_TRUE(stored);
    EXPECT_EQ(ResolveStoredPath(*stored, "/elsewhere"), beside);
    EXPECT_EQ(ResolveStoredPath("/no/such/" + name, m_dir), fs::path("/no/such") / Cp932ToPath(name));
    EXPECT_EQ(ResolveStoredPath("", m_dir), fs::path());
    EXPECT_EQ(ResolveStoredPath("C:\\folder\\", m_dir), fs::path("C:\\folder\\"));
}
