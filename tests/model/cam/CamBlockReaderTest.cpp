#include "model/cam/CamBlockReader.h"

#include "model/cam/CamWriter.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// The blocks of a file joined by '|', a parameter block marked by a leading '%', and a failure
// as "!line".
std::string Cut(const std::string& text, bool photo, int codeType = 0, char endOfBlock = 0)
{
    CArchive ar(CArchive::load, Bytes(text));
    tagGERBAR g;
    g.codeType = codeType;
    g.endOfBlock = endOfBlock;
    CamBlockReader reader(ar, g, photo);
    std::string out;
    CamBlockReader::Block block;
    for (;;) {
        const CamBlockReader::Status status = reader.Next(block);
        if (status == CamBlockReader::kEnd)
            break;
        if (!out.empty())
            out += '|';
        if (status == CamBlockReader::kMalformed) {
            out += "!" + std::to_string(reader.FailLine());
            break;
        }
        if (block.parameter)
            out += '%';
        out += block.text;
    }
    return out;
}

std::string Repeat(const std::string& part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

struct CutCase
{
    const char* name;
    std::string text;
    bool photo;
    std::string blocks;
};

TEST(CamBlockReaderTest, FilesCutIntoBlocksAsTheyStandOrUpperCased)
{
    // Runs of 50 and 100 blocks: a letter or byte to be found then stands inside a later run of
    // bytes or in the last bytes of the file.
    const std::string blocks50 = Repeat("X1Y2D01|", 49) + "X1Y2D01";
    const std::string blocks100 = Repeat("X1Y2D01|", 99) + "X1Y2D01";
    const std::vector<CutCase> cases = {
        {"upper case", "G01*X1Y2D01*\r\nM02*", true, "G01|X1Y2D01|M02"},
        {"lower case", "g01*x1y2d01*\r\nm02*", true, "G01|X1Y2D01|M02"},
        {"lower case in a parameter block", "%fslax33y33*%\nd10*", true, "%FSLAX33Y33*|D10"},
        {"line ends inside a lower-case block", "x1\r\ny2d01*", true, "X1Y2D01"},
        {"lower case far on", Repeat("X1Y2D01*", 50) + "x1y2d01*" + Repeat("X1Y2D01*", 49), true,
         blocks50 + "|" + blocks50},
        {"lower case at the end", Repeat("X1Y2D01*", 100) + "x1y2d01*", true, blocks100 + "|X1Y2D01"},
        {"one lower-case letter unended at the very end", Repeat("X1Y2D01*", 100) + "M02*d", true,
         blocks100 + "|M02|!1"},
        {"tab, form feed, vertical tab and end-of-file mark are text", "G01*\t\f\v\x1a\nM02*", true,
         "G01|M02"},
        {"characters beyond seven bits are text", "G04 \xe5\x9b\xb3*M02*", true, "G04 \xe5\x9b\xb3|M02"},
        {"a byte no text holds", "g01*\nx1*\n\x01", true, "!3"},
        {"a zero byte after a lower-case letter", std::string("g01*\nx1*\0y2*", 12), true, "!2"},
        {"a byte no text holds far on", Repeat("X1Y2D01*\n", 100) + "\x1f", true, "!101"},
        {"a byte no text holds inside a later run", Repeat("X1Y2D01*\n", 30) + "\x1b" + Repeat("X1*\n", 20),
         true, "!31"},
        {"a byte no text holds as a run's last byte", Repeat("X1Y2D01*\n", 7) + "\x02" + Repeat("X1*\n", 20),
         true, "!8"},
        {"drill, lower case and comments", "m48\nt1c0.5;tool one\n%\nx1y2\n", false, "M48|T1C0.5|%|X1Y2"},
        {"drill, a byte no text holds", "M48\nT1\n\x7f\x03", false, "!3"},
        {"empty", "", true, ""},
    };
    for (const CutCase& c : cases)
        EXPECT_EQ(Cut(c.text, c.photo), c.blocks) << c.name;
    // Blocks ended by a line end drop the other line end inside them.
    EXPECT_EQ(Cut("X1\nY2\rM02\r", true, 0, '\r'), "X1Y2|M02");
    EXPECT_EQ(Cut("X1\rY2\nM02\n", true, 0, '\n'), "X1Y2|M02");
    EXPECT_EQ(Cut("X1\rY2", true, 0, '\n'), "!1");
}

TEST(CamBlockReaderTest, TapeCodesAreTranslatedNotUpperCased)
{
    for (const int codeType : {1, 2, 3}) {
        // Not every tape code has '*': blocks end with CR, as punched tapes have them.
        tagGERBAR g;
        g.codeType = codeType;
        g.endOfBlock = '\r';
        std::string text = "G01\rX1Y2D01\rM02\r";
        ConvertOutputCode(text, g);
        EXPECT_EQ(Cut(text, true, codeType, '\r'), "G01|X1Y2D01|M02") << codeType;
    }
}

TEST(CamBlockReaderTest, TheFileIsTakenFromWhereTheArchiveStands)
{
    const std::string text = "HEADER\nx1y2d03*M02*";
    CArchive ar(CArchive::load, Bytes(text));
    std::string line;
    ASSERT_TRUE(ar.ReadString(line));
    tagGERBAR g;
    CamBlockReader reader(ar, g, true);
    EXPECT_EQ(reader.Size(), text.size() - 7);
    EXPECT_EQ(ar.Remaining(), 0u);
    CamBlockReader::Block block;
    ASSERT_EQ(reader.Next(block), CamBlockReader::kBlock);
    EXPECT_EQ(block.text, "X1Y2D03");
    EXPECT_EQ(block.start, 0u);
    // The blocks stay readable after the archive has been read to its end.
    ASSERT_EQ(reader.Next(block), CamBlockReader::kBlock);
    EXPECT_EQ(block.text, "M02");
    EXPECT_EQ(reader.Next(block), CamBlockReader::kEnd);

    CArchive storing(CArchive::store);
    storing.WriteString("X1Y2D03*");
    storing.Seek(0); // bytes stand before it, but it cannot be read from
    EXPECT_THROW((CamBlockReader{storing, g, true}), std::logic_error);
}

} // namespace
