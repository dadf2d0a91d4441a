#include "tests/support/GerbvCheck.h"

#include "model/cam/CamWriter.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The blocks of restored text, without their '*' and line ends.
std::vector<std::string> Blocks(const std::string& text)
{
    std::vector<std::string> blocks;
    std::string block;
    for (char c : text) {
        if (c == '*') {
            blocks.push_back(block);
            block.clear();
        } else if (c != '\r' && c != '\n') {
            block += c;
        }
    }
    if (!block.empty())
        blocks.push_back(block);
    return blocks;
}

std::string FormatStatements(const CamFileFormat& f)
{
    return platform::Format("%%FSL%cX4%dY4%d*%%\n%%MO%s*%%\n", f.absolute ? 'A' : 'I', f.decimals, f.decimals,
                            f.metric ? "MM" : "IN");
}

double InUnits(double mm, const CamFileFormat& f)
{
    return f.metric ? mm : mm / 25.4;
}

// The rows "code , diameter , kind" of a tool list.
struct ToolRow
{
    std::string code;
    double diameter = 0.0;
};

std::vector<ToolRow> ToolRows(const std::string& list)
{
    std::vector<ToolRow> rows;
    for (const std::string& line : Lines(list)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos)
            continue;
        ToolRow row;
        row.code = line.substr(0, line.find_first_of("\t ,"));
        row.diameter = platform::Atof(line.substr(comma + 1));
        rows.push_back(row);
    }
    return rows;
}

std::vector<GerbvPoint> ExportedPoints(const std::string& text, bool flashes)
{
    // gerbv exports inches: six decimals for RS-274-X, four for drill files.
    const double scale = flashes ? 1e-6 : 1e-4;
    std::vector<GerbvPoint> points;
    for (const std::string& line : Lines(text)) {
        if (flashes && line.find("D03") == std::string::npos)
            continue;
        const std::size_t x = line.find('X');
        const std::size_t y = line.find('Y');
        if (x == std::string::npos || y == std::string::npos || (line[0] == 'G' && line.rfind("G01", 0) != 0))
            continue;
        GerbvPoint p;
        p.x = platform::Atoi(line.substr(x + 1)) * scale * 25.4;
        p.y = platform::Atoi(line.substr(y + 1)) * scale * 25.4;
        points.push_back(p);
    }
    return points;
}

} // namespace

bool HaveGerbv()
{
    return std::system("command -v gerbv >/dev/null 2>&1") == 0;
}

std::string RunGerbv(const fs::path& file, const std::string& format, const fs::path& output, int& status)
{
    const fs::path log = output.string() + ".log";
    std::string command = "gerbv -x " + format + " ";
    if (format == "png")
        command += "--dpi=200 --border=5 --background=#203040 --foreground=#dc2828 ";
    command += "-o '" + output.string() + "' '" + file.string() + "' >'" + log.string() + "' 2>&1";
    status = std::system(command.c_str());
    std::string text = ReadAll(log);
    fs::remove(log);
    return text;
}

std::string GerbvProblems(const std::string& log)
{
    std::string problems;
    for (const std::string& line : Lines(log))
        if (line.find("CRITICAL") != std::string::npos || line.find("WARNING") != std::string::npos ||
            line.find("rror") != std::string::npos || line.find("Unknown") != std::string::npos)
            problems += line + "\n";
    return problems;
}

std::string RestoreBlocks(const std::string& bytes, const CamFileFormat& format)
{
    std::string text = bytes;
    if (const TapeCodeTable* table = GetTapeCodeTable(format.codeType)) {
        for (char& c : text) {
            const char decoded = (*table)[static_cast<unsigned char>(c)];
            if (decoded != ' ')
                c = decoded;
        }
    }
    if (format.endOfBlock == '*')
        return text;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == format.endOfBlock) {
            out += "*\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string GerbvPhotoText(const std::string& bytes, const CamFileFormat& format,
                           const std::string& apertureList)
{
    std::string head = FormatStatements(format);
    for (const std::string& line : Lines(apertureList)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t d = line.find('D');
        const std::size_t hash = line.find('#');
        if (d == std::string::npos || hash == std::string::npos)
            continue;
        const int dcode = platform::Atoi(line.substr(d + 1));
        const std::string rest = line.substr(hash + 1);
        const std::size_t space = rest.rfind(' ');
        const double size = InUnits(platform::Atof(rest.substr(space + 1)), format);
        if (rest.find(_J("角形")) != std::string::npos)
            head += platform::Format("%%ADD%dR,%.4fX%.4f*%%\n", dcode, size, size);
        else if (rest.find(_J("円形中抜")) != std::string::npos)
            head += platform::Format("%%ADD%dC,%.4fX%.4f*%%\n", dcode, size, size * 0.5);
        else
            head += platform::Format("%%ADD%dC,%.4f*%%\n", dcode, size);
    }
    return head + RestoreBlocks(bytes, format);
}

std::string GerbvDrillText(const std::string& bytes, const CamFileFormat& format, const std::string& toolList)
{
    std::string head = "M48\n";
    head += format.metric ? "METRIC,TZ\n" : "INCH,TZ\n";
    head += platform::Format(";FILE_FORMAT=%d:%d\n", format.metric ? 4 : 2, format.decimals);
    if (!format.absolute)
        head += "ICI,ON\n";
    for (const ToolRow& row : ToolRows(toolList))
        head += platform::Format("%sC%.4f\n", row.code.c_str(), InUnits(row.diameter, format));
    head += "%\n";
    // gerbv knows no canned cycle and no M05 hit: the cycle codes and the move that ends a cycle
    // go, an M05 hit is a plain hit, and the G81 file's M02 is the end of the program.
    std::string lines;
    bool afterCycleEnd = false;
    for (std::string block : Blocks(RestoreBlocks(bytes, format))) {
        if (block == "G81")
            continue;
        if (block == "G80") {
            afterCycleEnd = true;
            continue;
        }
        if (afterCycleEnd && block == "X0Y0") {
            afterCycleEnd = false;
            continue;
        }
        afterCycleEnd = false;
        if (block.size() > 3 && block.compare(block.size() - 3, 3, "M05") == 0)
            block.erase(block.size() - 3);
        if (block == "M02")
            block = "M30";
        lines += block + "\n";
    }
    return head + lines;
}

std::string GerbvD03Text(const std::string& bytes, const CamFileFormat& format, const std::string& toolList)
{
    std::string head = FormatStatements(format);
    for (const ToolRow& row : ToolRows(toolList))
        head += platform::Format("%%ADD%dC,%.4f*%%\n", platform::Atoi(row.code.substr(1)),
                                 InUnits(row.diameter, format));
    // A D03 hit is a coordinate block that positions and a D03 block that drills there; a Gerber
    // reader keeps D03 modal, so each pair becomes one flash and every other coordinate block a
    // move.
    const std::vector<std::string> blocks = Blocks(RestoreBlocks(bytes, format));
    std::string body;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::string& block = blocks[i];
        const bool coordinates = !block.empty() && (block[0] == 'X' || block[0] == 'Y');
        if (coordinates && i + 1 < blocks.size() && blocks[i + 1] == "D03") {
            body += block + "D03*\n";
            ++i;
        } else if (coordinates) {
            body += block + "D02*\n";
        } else {
            body += block + "*\n";
        }
    }
    return head + body;
}

std::vector<GerbvPoint> GerbvExportedFlashes(const std::string& rs274x)
{
    return ExportedPoints(rs274x, true);
}

std::vector<GerbvPoint> GerbvExportedHits(const std::string& drill)
{
    return ExportedPoints(drill, false);
}

std::string CheckWithGerbv(const fs::path& file, const std::string& text, const std::string& format)
{
    EXPECT_TRUE(HaveGerbv()) << "gerbv is not installed (tools/setup installs it)";
    std::ofstream(file, std::ios::binary) << text;
    const fs::path output = file.string() + "." +
                            (format == "png"     ? "png"
                             : format == "drill" ? "drl"
                                                 : "gbr");
    int status = 0;
    const std::string log = RunGerbv(file, format, output, status);
    EXPECT_EQ(status, 0) << log;
    EXPECT_EQ(GerbvProblems(log), "") << file << "\n" << text.substr(0, 2000);
    EXPECT_TRUE(fs::exists(output)) << file;
    return format == "png" ? std::string() : ReadAll(output);
}

} // namespace testing_support
