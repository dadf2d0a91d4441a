#include "platform/TextFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace platform;

namespace {

std::vector<std::string> Lines(std::string data, TextLineReader::Nul nul = TextLineReader::Nul::EndsLine)
{
    TextLineReader reader(std::move(data), nul);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(line.empty());
    return lines;
}

} // namespace

TEST(TextFile, LineEnds)
{
    using V = std::vector<std::string>;
    const std::string nul(1, '\0');
    struct Case
    {
        std::string data;
        V lines;
        V linesNulEndsText;
    };
    const std::vector<Case> cases = {
        {"", {}, {}},
        {"a", {"a"}, {"a"}},
        {"a\n", {"a"}, {"a"}},
        {"a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"a\rb\rc", {"a", "b", "c"}, {"a", "b", "c"}}, // a bare CR takes nothing after it
        {"a\r\rb", {"a", "", "b"}, {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"a\n\r", {"a", ""}, {"a", ""}},
        {"a" + nul + "b\n", {"a", "b"}, {"a"}},
        {nul + "a", {"", "a"}, {}},
        {"a\n" + nul + "b", {"a", "", "b"}, {"a"}},
        {"\x83\x5C\r\n\x95\x5C\n", {"\x83\x5C", "\x95\x5C"}, {"\x83\x5C", "\x95\x5C"}}, // bytes as they are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.data));
        EXPECT_EQ(Lines(c.data), c.lines);
        EXPECT_EQ(Lines(c.data, TextLineReader::Nul::EndsText), c.linesNulEndsText);
    }
}

TEST(TextFile, WritesLinesWithTheChosenEndAndReadsFiles)
{
    TextLineWriter crlf;
    crlf.WriteLine("a");
    crlf.WriteLine("");
    crlf.WriteLine("\x83\x5C");
    EXPECT_EQ(crlf.Data(), "a\r\n\r\n\x83\x5C\r\n");
    TextLineWriter lf("\n");
    lf.WriteLine("x");
    EXPECT_EQ(lf.Data(), "x\n");

    const auto path = std::filesystem::temp_directory_path() / ("velta-textfile-" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary) << crlf.Data();
    auto reader = TextLineReader::FromFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(reader);
    std::string line;
    std::vector<std::string> lines;
    while (reader->ReadLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "\x83\x5C"}));
    EXPECT_FALSE(TextLineReader::FromFile(path));
}
