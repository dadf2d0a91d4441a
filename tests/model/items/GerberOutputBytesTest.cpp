// The items' photo-plot writers finish their bytes without a converted copy where they can; the
// bytes must be those of ConvertOutputCode applied to the whole line, under every output code.
#include "model/items/GerberSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

struct OutputCodeRow
{
    const char* name;
    std::function<void(tagGERBAR&)> settings;
};

void PrintTo(const OutputCodeRow& row, std::ostream* os)
{
    *os << row.name;
}

class GerberOutputBytesTest : public ::testing::TestWithParam<OutputCodeRow>
{
protected:
    GerberOutputBytesTest()
    {
        g.metric = 1;
        g.absolute = 1;
        g.scale = 1.0;
        g.outputFactor = 1000.0;
        g.endOfBlock = '*';
        GetParam().settings(g);
    }

    static std::string Converted(std::string line, const tagGERBAR& g)
    {
        ConvertOutputCode(line, g);
        return line;
    }

    static std::string Bytes(const CArchive& ar)
    {
        return std::string(ar.Data().begin(), ar.Data().end());
    }

    tagGERBAR g;
};

// Lines of the characters blocks are made of, with the ones conversions treat apart ('*', CR,
// LF, a zero byte), short and longer than a stack buffer.
std::vector<std::string> RandomLines(unsigned seed)
{
    std::mt19937 random(seed);
    const std::string alphabet = std::string("XYDGM0123456789-*\r\n%,.", 23) + '\0';
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::vector<std::string> lines = {"", "*", "**", "\r", "\r\n", "X0Y0*", std::string(200, '*')};
    for (const std::size_t length : {1u, 5u, 31u, 32u, 33u, 95u, 96u, 97u, 300u, 1000u})
        for (int copy = 0; copy < 4; ++copy) {
            std::string line;
            for (std::size_t i = 0; i < length; ++i)
                line += alphabet[pick(random)];
            lines.push_back(line);
        }
    return lines;
}

TEST_P(GerberOutputBytesTest, BytesAreTheConvertedLine)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        for (const std::string& line : RandomLines(seed)) {
            CArchive ar(CArchive::store);
            gerber::WriteOutputBytes(ar, g, line.data(), line.size());
            EXPECT_EQ(Bytes(ar), Converted(line, g)) << "seed " << seed << ", " << line.size() << " bytes";
        }
    }
}

TEST_P(GerberOutputBytesTest, CodesArePrintedThenConverted)
{
    for (const std::string& code : {std::string(), std::string("D01"), std::string("G01*"),
                                    std::string("M02\r"), std::string(120, '*')}) {
        CArchive ar(CArchive::store);
        gerber::WriteCode(ar, g, code);
        gerber::WritePrefix(ar, g, code);
        EXPECT_EQ(Bytes(ar), Converted(code + g.endOfBlock, g) + Converted(code, g)) << code;
    }
}

TEST_P(GerberOutputBytesTest, PointsAreTheFormattedBlocks)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-500.0, 500.0);
    tagGERBAR expected = g;
    CArchive ar(CArchive::store);
    std::string wanted;
    std::string block;
    for (int i = 0; i < 200; ++i) {
        const CDPoint p(i % 10 == 0 ? 0.0 : coordinate(random), coordinate(random));
        gerber::WritePoint(ar, g, p);
        wanted += FormatGerbarPoint(block, expected, p.x, p.y, true);
    }
    EXPECT_EQ(Bytes(ar), wanted);
    EXPECT_EQ(g.prevX, expected.prevX);
    EXPECT_EQ(g.prevY, expected.prevY);
}

const OutputCodeRow kRows[] = {
    {"Plain", [](tagGERBAR&) {}},
    {"LineBreaks", [](tagGERBAR& g) { g.lineBreak = 1; }},
    {"LineBreaksIncremental", [](tagGERBAR& g) { g.lineBreak = 1; g.absolute = 0; }},
    {"EndOfBlockCr", [](tagGERBAR& g) { g.endOfBlock = '\r'; }},
    {"EndOfBlockCrWithLineBreaks", [](tagGERBAR& g) { g.endOfBlock = '\r'; g.lineBreak = 1; }},
    {"EndOfBlockLf", [](tagGERBAR& g) { g.endOfBlock = '\n'; g.lineBreak = 1; }},
    {"TapeCodeEbcdic", [](tagGERBAR& g) { g.codeType = 1; g.lineBreak = 1; }},
    {"TapeCodeEia", [](tagGERBAR& g) { g.codeType = 2; }},
    {"TapeCodeIsoCr", [](tagGERBAR& g) { g.codeType = 3; g.endOfBlock = '\r'; }},
};

INSTANTIATE_TEST_SUITE_P(Settings, GerberOutputBytesTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
