#include "platform/qt/QtProfile.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class QtProfileTest : public ::testing::Test
{
protected:
    fs::path File(const char* name) const { return fs::path(dir.path().toStdString()) / name; }

    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(QtProfileTest, ValuesSurviveAReload)
{
    const fs::path ini = File("VELTA.ini");
    const std::string gothic = _J("ＭＳ ゴシック");
    const std::vector<std::uint8_t> bytes{0, 1, 0x5C, 0x80, 0xFF, '\n'};
    {
        QtProfile p(ini);
        p.SetInt("FileSave", "UndoCount", 250);
        p.SetInt("FileSave", "Negative", -3);
        p.SetString("Default", "FontJ", gothic);
        p.SetString("Tool", "Editor", "gedit %f, -n");
        p.SetString("Tool", "At", "@ByteArray(no)");
        p.SetBinary("Settings", "Window", bytes);
        p.SetString("Recent\\Files", "File1", "a.vbd");
        // Read back before the file is written, too.
        EXPECT_EQ(p.GetInt("FileSave", "UndoCount", 100), 250);
        EXPECT_EQ(p.GetString("Default", "FontJ"), gothic);
        p.Flush();
    }
    const std::string text = Read(ini);
    EXPECT_NE(text.find("[FileSave]"), std::string::npos) << text;
    EXPECT_NE(text.find("[Recent]"), std::string::npos) << text;
    EXPECT_NE(text.find("Files\\File1=a.vbd"), std::string::npos) << text;

    QtProfile p(ini);
    EXPECT_EQ(p.GetInt("FileSave", "UndoCount", 100), 250);
    EXPECT_EQ(p.GetInt("FileSave", "Negative", 0), -3);
    EXPECT_EQ(p.GetString("FileSave", "UndoCount"), "250");
    EXPECT_EQ(p.GetString("Default", "FontJ"), gothic);
    EXPECT_EQ(p.GetString("Tool", "Editor"), "gedit %f, -n");
    EXPECT_EQ(p.GetString("Tool", "At"), "@ByteArray(no)");
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(p.GetBinary("Tool", "At", out));
    EXPECT_TRUE(p.GetBinary("Settings", "Window", out));
    EXPECT_EQ(out, bytes);
    EXPECT_EQ(p.GetInt("Settings", "Window", 7), 7);
    EXPECT_EQ(p.GetString("Recent\\Files", "File1"), "a.vbd");
    EXPECT_EQ(p.GetString("Default", "FontE", "Arial"), "Arial");
    EXPECT_EQ(p.GetInt("Default", "FontJ", 9), 9);
}

TEST_F(QtProfileTest, KeysAndDeletion)
{
    QtProfile p(File("VELTA.ini"));
    p.SetInt("Recent", "Count", 1);
    p.SetInt("Recent", "Alpha", 1);
    p.SetString("Recent\\Files", "File1", "a");
    p.SetString("Recent\\Files\\Old", "File1", "b");
    p.SetInt("RecentX", "Keep", 1);
    EXPECT_EQ(p.GetKeys("Recent"), (std::vector<std::string>{"Alpha", "Count"}));
    EXPECT_EQ(p.GetKeys("Recent\\Files"), std::vector<std::string>{"File1"});
    EXPECT_TRUE(p.GetKeys("Nothing").empty());

    // A key named like a nested section leaves the section alone.
    p.SetInt("Recent", "Files", 5);
    p.DeleteKey("Recent", "Files");
    EXPECT_FALSE(p.HasKey("Recent", "Files"));
    EXPECT_EQ(p.GetString("Recent\\Files", "File1"), "a");
    EXPECT_EQ(p.GetString("Recent\\Files\\Old", "File1"), "b");
    p.DeleteKey("Recent", "Absent");

    p.DeleteSection("Recent\\Files");
    EXPECT_FALSE(p.HasKey("Recent\\Files", "File1"));
    EXPECT_FALSE(p.HasKey("Recent\\Files\\Old", "File1"));
    EXPECT_TRUE(p.HasKey("Recent", "Count"));
    p.DeleteSection("Recent");
    EXPECT_FALSE(p.HasKey("Recent", "Count"));
    EXPECT_TRUE(p.HasKey("RecentX", "Keep"));
    p.DeleteSection("");
    EXPECT_TRUE(p.HasKey("RecentX", "Keep"));
}

TEST_F(QtProfileTest, HandWrittenValues)
{
    const fs::path ini = File("hand.ini");
    std::ofstream(ini) << "[Default]\n"
                          "Number= 12 \n"
                          "List=a, b\n"
                          "Face=\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA\n" // UTF-8 メイリオ
                          "Smile=\xF0\x9F\x98\x80\n";
    QtProfile p(ini);
    EXPECT_EQ(p.GetInt("Default", "Number", 0), 12);
    EXPECT_EQ(p.GetString("Default", "List"), "a, b");
    EXPECT_EQ(p.GetString("Default", "Face"), _J("メイリオ"));
    // A character CP932 cannot hold gives the default rather than a substitute.
    EXPECT_EQ(p.GetString("Default", "Smile", "def"), "def");
}

TEST_F(QtProfileTest, SiblingProgramsSaveBase)
{
    const fs::path ini = File("NORVA.ini");
    {
        QtProfile norva(ini);
        EXPECT_EQ(norva.GetString("FileSave", "SaveBase"), "");
    }
    std::ofstream(ini) << "[FileSave]\nSaveBase=/home/user/boards\n";
    QtProfile norva(ini);
    EXPECT_EQ(norva.GetString("FileSave", "SaveBase"), "/home/user/boards");
}

TEST(QtProfileStore, ProgramProfileIsTheVeltaIniOfQem)
{
    // Only the location is checked; nothing is written.
    EXPECT_TRUE(QtProfile().FileName().endsWith(QStringLiteral("QEM/VELTA.ini")));
    EXPECT_TRUE(QtProfile(QStringLiteral("QEM"), QStringLiteral("NORVA"))
                    .FileName()
                    .endsWith(QStringLiteral("QEM/NORVA.ini")));
}
