#include "model/startup/StrokeFontFile.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <sys/file.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class StrokeFontFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velta-strokefont-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        m_font.Close();
        fs::remove_all(m_dir);
    }

    fs::path Write(const std::string& bytes, const char* name = "VELTA0.FNT")
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string Strokes(unsigned code)
    {
        std::string strokes = "unchanged";
        return m_font.GetStrokeData(code, strokes) ? strokes : std::string("<none>");
    }

    fs::path m_dir;
    StrokeFontFile m_font;
};

TEST_F(StrokeFontFileTest, FindsLinesByCodeAndDropsTheLineEnd)
{
    // Stroke bytes from the sixth column, high bytes included; CR LF and LF line ends; the last
    // line without one keeps all its bytes.
    ASSERT_TRUE(m_font.Open(Write("21   \xC0\x80\r\n"
                                  "41   0@\xDF\n"
                                  "889F \x8A\xCB\n"
                                  "8AF0 AB")));
    EXPECT_EQ(Strokes(0x41), "0@\xDF");
    EXPECT_EQ(m_font.LastCode(), 0x41u);
    EXPECT_EQ(Strokes(0x21), "\xC0\x80"); // lower than the last code: read from the top again
    EXPECT_EQ(Strokes(0x889F), "\x8A\xCB");
    EXPECT_EQ(Strokes(0x8AF0), "AB");
    EXPECT_EQ(Strokes(0x8AF0), "AB");
    EXPECT_EQ(StrokeFontFile::ParseCode("8aF0 x"), 0x8AF0u);
    EXPECT_EQ(StrokeFontFile::ParseCode("G1"), 0u);
}

TEST_F(StrokeFontFileTest, SpacesAreNeverLookedUp)
{
    ASSERT_TRUE(m_font.Open(Write("20   AB\n8140 AB\n")));
    EXPECT_EQ(Strokes(0x20), "<none>");
    EXPECT_EQ(Strokes(0x8140), "<none>");
}

TEST_F(StrokeFontFileTest, ShortLinesAreSkipped)
{
    // The first 0x41 line has the code columns but no stroke byte.
    ASSERT_TRUE(m_font.Open(Write("41   \n41\n41   X\n42  Y\n")));
    EXPECT_EQ(Strokes(0x41), "X");
    EXPECT_EQ(Strokes(0x42), "<none>");
}

TEST_F(StrokeFontFileTest, ReadsForwardAndRewindsAfterAMiss)
{
    // Out of order on purpose, to see where the reader stands.
    ASSERT_TRUE(m_font.Open(Write("43   C\n41   A\n45   E\n")));
    EXPECT_EQ(Strokes(0x41), "A");
    // Higher than the last code: reading goes on after 0x41 and misses 0x43.
    EXPECT_EQ(Strokes(0x43), "<none>");
    EXPECT_FALSE(m_font.LastCode());
    // The miss rewound the file.
    EXPECT_EQ(Strokes(0x43), "C");
    EXPECT_EQ(Strokes(0x45), "E");
    m_font.ClearLastCode();
    EXPECT_EQ(Strokes(0x41), "A");
}

TEST_F(StrokeFontFileTest, LongLinesAreReadWhole)
{
    const std::string strokes(1100, '\xC5');
    ASSERT_TRUE(m_font.Open(Write("41   " + strokes + "\n42   Z\n")));
    EXPECT_EQ(Strokes(0x41), strokes);
    EXPECT_EQ(Strokes(0x42), "Z");
}

TEST_F(StrokeFontFileTest, StartUpOpensTheNamedFileOrSaysSo)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);

    ASSERT_TRUE(InitQuarn(Write("41   A\n")));
    std::string strokes;
    EXPECT_TRUE(GetStrokeData(0x41, strokes));
    EXPECT_EQ(strokes, "A");
    EXPECT_EQ(messages.Count(), 0u);

    EXPECT_FALSE(InitQuarn(m_dir / "missing.FNT"));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, "Font file open error !");
    EXPECT_EQ(messages.Last().type & MB_TYPEMASK, MB_OK);
    EXPECT_FALSE(GetStrokeFontFile().IsOpen());
    EXPECT_FALSE(GetStrokeData(0x41, strokes));

    // A writer holding the file locked keeps it from being opened; other readers do not.
    const fs::path path = Write("41   A\n", "LOCKED.FNT");
    const int writer = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(InitQuarn(path));
    EXPECT_EQ(messages.Count(), 2u);
    ::close(writer);
    EXPECT_TRUE(InitQuarn(path));
    StrokeFontFile reader;
    EXPECT_TRUE(reader.Open(path));

    TermQuarn();
    EXPECT_FALSE(GetStrokeFontFile().IsOpen());
    platform::SetMessageService(nullptr);
}

} // namespace
