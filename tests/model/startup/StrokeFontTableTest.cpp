// The stroke font read once into a table answers exactly as a reader that walks the file line by
// line: same lines found, same misses, same bytes, in every order of look-ups. The walking reader
// below is the reference.

#include "model/startup/Startup.h"
#include "model/startup/StrokeFontFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Walks the open file: rewinds when the code is not above the last found one, reads on otherwise,
// and rewinds and forgets the last code after a miss.
class WalkingReader
{
public:
    explicit WalkingReader(const fs::path& path) : m_file(std::fopen(path.c_str(), "rb")) {}
    ~WalkingReader()
    {
        if (m_file)
            std::fclose(m_file);
    }
    WalkingReader(const WalkingReader&) = delete;
    WalkingReader& operator=(const WalkingReader&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    std::optional<unsigned> LastCode() const { return m_lastCode; }
    void ClearLastCode() { m_lastCode.reset(); }

    bool GetStrokeData(unsigned code, std::string& strokes)
    {
        if (code == 0x20 || code == 0x8140)
            return false;
        if (!m_lastCode || *m_lastCode >= code)
            std::rewind(m_file);
        std::string line;
        while (ReadLine(line)) {
            if (line.size() > 5 && StrokeFontFile::ParseCode(line) == code) {
                strokes.assign(line, 5);
                m_lastCode = code;
                return true;
            }
        }
        m_lastCode.reset();
        std::rewind(m_file);
        return false;
    }

private:
    bool ReadLine(std::string& line)
    {
        line.clear();
        int c = std::getc(m_file);
        if (c == EOF)
            return false;
        while (c != EOF && c != '\n') {
            line.push_back(static_cast<char>(c));
            c = std::getc(m_file);
        }
        if (c == '\n' && !line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    std::FILE* m_file;
    std::optional<unsigned> m_lastCode;
};

// Runs the look-ups through both readers; the first difference fails (one failure, not thousands).
void ExpectSameAnswers(const fs::path& path, const std::vector<unsigned>& codes, const char* what)
{
    StrokeFontFile table;
    WalkingReader walker(path);
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(walker.IsOpen());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        // Text drawing forgets the last code before each string: now and then, do the same.
        if (i % 97 == 96) {
            table.ClearLastCode();
            walker.ClearLastCode();
        }
        std::string fromTable = "unchanged";
        std::string fromWalk = "unchanged";
        const bool foundInTable = table.GetStrokeData(codes[i], fromTable);
        const bool foundByWalk = walker.GetStrokeData(codes[i], fromWalk);
        if (foundInTable != foundByWalk || fromTable != fromWalk || table.LastCode() != walker.LastCode()) {
            ADD_FAILURE() << what << ": look-up " << i << " of code " << std::hex << codes[i] << " gives "
                          << foundInTable << " instead of " << foundByWalk;
            return;
        }
    }
}

class StrokeFontTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velta-strokefont-table-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Write(const std::string& bytes, const char* name = "VELTA0.FNT")
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    }

    fs::path m_dir;
};

TEST_F(StrokeFontTableTest, HandMadeFontsGiveTheWalkingReadersAnswers)
{
    const std::string longLine(1100, '\xC5');
    const struct
    {
        const char* what;
        std::string bytes;
    } fonts[] = {
        {"sorted, CR LF and LF, last line without end",
         "21   \xC0\x80\r\n41   0@\xDF\n889F \x8A\xCB\n8AF0 AB"},
        {"spaces present in the file", "20   AB\n41   A\n8140 AB\n"},
        {"short lines", "41   \n41\n41   X\n42  Y\n"},
        {"out of order", "43   C\n41   A\n45   E\n42   B\n"},
        {"one code twice", "41   A\n42   B\n41   Z\n43   C\n42   Y\n"},
        {"a long line", "41   " + longLine + "\n42   Z\n"},
        {"lone CR, CR at the very end, NUL byte", std::string("41   A\rB\n42   \0X\n43   C\r", 24)},
        {"codes that overflow and lower case", "fffffffff1 A\n8aF0 low\nG1   none\n"},
        {"empty file", ""},
        {"only line ends", "\n\r\n\n"},
    };
    // Every code of the files and their neighbours, up and down, in random order.
    std::vector<unsigned> pool = {0x20, 0x21, 0x40,   0x41,   0x42,   0x43,   0x44,       0x45,
                                  0x46, 0x0,  0x8140, 0x889F, 0x8AF0, 0x8AF1, 0xFFFFFFFFu};
    std::mt19937 random(7);
    std::vector<unsigned> codes;
    for (int i = 0; i < 2000; ++i)
        codes.push_back(pool[random() % pool.size()]);
    // Ascending runs too, which read on rather than from the top.
    for (int run = 0; run < 3; ++run)
        codes.insert(codes.end(), {0x21, 0x41, 0x42, 0x43, 0x45, 0x889F, 0x8AF0});
    for (const auto& font : fonts)
        ExpectSameAnswers(Write(font.bytes), codes, font.what);
}

TEST_F(StrokeFontTableTest, GeneratedFontGivesTheWalkingReadersAnswersForEveryGlyph)
{
    const fs::path path = VELTA_BINARY_DIR "/VELTA0.FNT";
    std::ifstream in(path, std::ios::binary);
    std::set<unsigned> present;
    for (std::string line; std::getline(in, line);)
        present.insert(StrokeFontFile::ParseCode(line));
    ASSERT_GT(present.size(), 7000u);

    // Every glyph in file order (one forward pass), then a sample backwards (a restart each time:
    // the walking reader rereads the file, so not all of them), then at random with codes that are
    // not there (misses that rewind) mixed in.
    const std::vector<unsigned> all(present.begin(), present.end());
    std::vector<unsigned> codes = all;
    for (std::size_t i = all.size(); i-- > 0;)
        if (i % 37 == 0)
            codes.push_back(all[i]);
    std::mt19937 random(11);
    for (int i = 0; i < 600; ++i)
        codes.push_back(i % 5 == 0 ? static_cast<unsigned>(random() % 0xFFFF) : all[random() % all.size()]);
    ExpectSameAnswers(path, codes, "generated font");
}

TEST_F(StrokeFontTableTest, AFontChangedOnDiskAfterStartUpChangesNothing)
{
    const fs::path path = Write("41   A\n42   B\n");
    ASSERT_TRUE(InitQuarn(path));
    std::string strokes;
    ASSERT_TRUE(GetStrokeData(0x42, strokes));

    // Rewritten in place (shorter, other strokes), then removed altogether.
    Write("41   Q\n");
    for (int pass = 0; pass < 2; ++pass) {
        GetStrokeFontFile().ClearLastCode();
        EXPECT_TRUE(GetStrokeData(0x41, strokes));
        EXPECT_EQ(strokes, "A");
        EXPECT_TRUE(GetStrokeData(0x42, strokes));
        EXPECT_EQ(strokes, "B");
        EXPECT_FALSE(GetStrokeData(0x43, strokes));
        fs::remove(path);
    }
    TermQuarn();
}

TEST(StrokeFontTable, FindsTheFirstLineOfACodeFromAPosition)
{
    const auto table = StrokeFontTable::Parse("41   A\n42   B\n41   C\n41\n");
    ASSERT_EQ(table->LineCount(), 3u);
    EXPECT_EQ(table->Find(0x41, 0), 0u);
    EXPECT_EQ(table->Find(0x41, 1), 2u);
    EXPECT_EQ(table->Find(0x41, 3), StrokeFontTable::npos);
    EXPECT_EQ(table->Find(0x43, 0), StrokeFontTable::npos);
    EXPECT_EQ(table->Strokes(2), "C");
}

} // namespace
