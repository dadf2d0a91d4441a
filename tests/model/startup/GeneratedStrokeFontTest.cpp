// The stroke-font file that the build generates beside the program: every character it must
// hold, and the rules of the format that the reader relies on.

#include "model/startup/Startup.h"
#include "model/startup/StrokeFontFile.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kFontPath = VELTA_BINARY_DIR "/VELTA0.FNT";

struct FontLine
{
    unsigned code = 0;
    std::string text; // without the line end
};

std::vector<FontLine> ReadLines(std::string& data)
{
    std::ifstream in(kFontPath, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::vector<FontLine> lines;
    std::istringstream stream(data);
    for (std::string line; std::getline(stream, line);)
        lines.push_back({StrokeFontFile::ParseCode(line), line});
    return lines;
}

// Shift-JIS codes of the characters of JIS X 0208 (the EUC-JP table holds exactly those).
std::set<unsigned> JisX0208Codes()
{
    std::set<unsigned> codes;
    iconv_t cd = iconv_open("UTF-32LE", "EUC-JP");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return codes;
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            char in[2] = {static_cast<char>(0xA0 + row), static_cast<char>(0xA0 + cell)};
            char out[8];
            char* inp = in;
            char* outp = out;
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1))
                continue;
            const unsigned lead = static_cast<unsigned>((row - 1) / 2 + (row <= 62 ? 0x81 : 0xC1));
            const unsigned trail =
                static_cast<unsigned>(row % 2 ? cell + 0x3F + (cell >= 64 ? 1 : 0) : cell + 0x9E);
            codes.insert(lead << 8 | trail);
        }
    }
    iconv_close(cd);
    return codes;
}

// Runs a character's stroke commands; false (with the reason) when a drawn point leaves the
// character's cell or nothing is drawn.
bool StrokesStayInCell(const std::string& strokes, int maxX, std::string& why)
{
    int x = 0, y = 0;
    int penX = 0, penY = 0;
    int draws = 0;
    auto drawTo = [&](int nx, int ny) {
        if (penX < 0 || penX > maxX || nx < 0 || nx > maxX || penY < 0 || penY > 32 || ny < 0 || ny > 32) {
            why = "segment (" + std::to_string(penX) + "," + std::to_string(penY) + ")-(" +
                  std::to_string(nx) + "," + std::to_string(ny) + ") leaves the cell";
            return false;
        }
        penX = nx;
        penY = ny;
        ++draws;
        return true;
    };
    for (unsigned char b : strokes) {
        if (b == 0 || b == '\n' || b == '\r' || b == 0x1A) {
            why = "byte " + std::to_string(b) + " among the strokes";
            return false;
        }
        if (b < 64) {
            x = b - 32;
            penX = x;
            penY = y;
        } else if (b < 96) {
            x = b - 64;
            if (!drawTo(x, y))
                return false;
        } else if (b < 128) {
            x = b - 96;
        } else if (b < 192) {
            y = b - 160;
            penX = x;
            penY = y;
        } else {
            y = b - 192;
            if (!drawTo(x, y))
                return false;
        }
    }
    if (draws == 0)
        why = "nothing is drawn";
    return draws > 0;
}

TEST(GeneratedStrokeFontTest, HoldsEveryCharacterInTheFormat)
{
    std::string data;
    const std::vector<FontLine> lines = ReadLines(data);
    ASSERT_FALSE(lines.empty()) << kFontPath << " is missing or empty";
    ASSERT_EQ(data.back(), '\n');

    std::set<unsigned> expected;
    for (unsigned c = 0x21; c <= 0x7E; ++c)
        expected.insert(c);
    for (unsigned c = 0xA1; c <= 0xDF; ++c)
        expected.insert(c);
    const std::set<unsigned> jis = JisX0208Codes();
    ASSERT_EQ(jis.size(), 6879u);
    expected.insert(jis.begin(), jis.end());
    expected.erase(0x8140);

    std::set<unsigned> found;
    unsigned previous = 0;
    int failures = 0;
    for (const FontLine& line : lines) {
        const bool wide = line.code > 0xFF;
        char head[8];
        std::snprintf(head, sizeof head, wide ? "%04X " : "%02X   ", line.code);
        std::string why;
        if (line.text.size() + 1 > 1022)
            why = "line longer than 1022 characters";
        else if (line.text.size() < 6 || line.text.compare(0, 5, head) != 0)
            why = "code columns are not \"" + std::string(head) + "\" followed by strokes";
        else if (line.code <= previous)
            why = "codes out of order";
        else
            StrokesStayInCell(line.text.substr(5), wide ? 31 : 16, why);
        if (!why.empty() && ++failures <= 10)
            ADD_FAILURE() << "character " << head << ": " << why;
        previous = line.code;
        found.insert(line.code);
    }
    EXPECT_EQ(failures, 0);

    std::vector<unsigned> missing, extra;
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(),
                        std::back_inserter(missing));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    EXPECT_TRUE(missing.empty()) << missing.size() << " characters missing, the first " << std::hex
                                 << missing.front();
    EXPECT_TRUE(extra.empty()) << extra.size() << " unexpected characters, the first " << std::hex
                               << extra.front();
}

TEST(GeneratedStrokeFontTest, ReaderFindsEveryCharacterInOnePass)
{
    std::string data;
    const std::vector<FontLine> lines = ReadLines(data);
    ASSERT_FALSE(lines.empty());
    ASSERT_TRUE(InitQuarn(kFontPath));
    StrokeFontFile& font = GetStrokeFontFile();
    std::string strokes;
    int failures = 0;
    for (const FontLine& line : lines) {
        if (!font.GetStrokeData(line.code, strokes) || strokes != line.text.substr(5))
            ++failures;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(font.GetStrokeData(0x20, strokes));
    EXPECT_FALSE(font.GetStrokeData(0x8140, strokes));
    // Back to a lower code after the last one.
    EXPECT_TRUE(font.GetStrokeData(0x41, strokes));
    TermQuarn();
}

} // namespace
