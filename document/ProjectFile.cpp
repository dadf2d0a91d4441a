#include "document/ProjectFile.h"

#include "document/BoardFileSupport.h"
#include "platform/Archive.h"
#include "platform/FilePath.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// atoi's reading: leading blanks, a sign, digits; anything else stops it. Out-of-range values
// saturate instead of overflowing.
int ReadInt(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void ReadNumberedLine(std::string_view line, ProjectWork& work)
{
    std::size_t pos = 1; // after '['
    const int number = ReadInt(line, pos);
    const std::size_t close = line.find(']');
    const std::string value(close == std::string_view::npos ? std::string_view()
                                                            : Trim(line.substr(close + 1)));
    switch (number) {
    case 1:
        work.boardFile = value;
        break;
    case 2: {
        // Five numbers; the missing ones read 0.
        std::size_t at = 0;
        int numbers[5] = {};
        for (int& n : numbers)
            n = ReadInt(value, at);
        work.useNet = numbers[0] != 0 ? 1 : 0;
        work.netFormat = numbers[1];
        work.spareFlag = numbers[2] != 0 ? 1 : 0;
        break;
    }
    case 3:
        work.settingsFile = value;
        break;
    case 4:
        work.netFile = value;
        break;
    case 5:
        work.partFile = value;
        break;
    case 6:
        work.schematicProject = value;
        break;
    default:
        break;
    }
}

} // namespace

int ReadProjectFile(const std::filesystem::path& path, ProjectWorks& works)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return -1;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    int depth = 0;
    bool inWork = false;
    int count = 0;
    ProjectWorks read{};
    std::size_t start = 0;
    while (start <= text.size() && count < PROJECT_WORK_MAX) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;

        if (line == "{")
            ++depth;
        else if (line == "}")
            --depth;
        if (depth == 0) {
            if (inWork)
                ++count;
            inWork = false;
        }
        if (count >= PROJECT_WORK_MAX)
            break;
        if (StartsWith(line, "[Work"))
            inWork = true;
        if (StartsWith(line, "EndProjectList"))
            break;
        if (inWork && depth == 1 && StartsWith(line, "["))
            ReadNumberedLine(line, read[static_cast<std::size_t>(count)]);
        if (end == text.size())
            break;
    }
    for (int i = 0; i < count; ++i)
        works[static_cast<std::size_t>(i)] = std::move(read[static_cast<std::size_t>(i)]);
    return count;
}

std::string FormatProjectFile(const ProjectWorks& works, int count)
{
    std::string text = "Project File Ver 0.01\r\n";
    count = std::clamp(count, 0, PROJECT_WORK_MAX);
    for (int i = 0; i < count; ++i) {
        const ProjectWork& work = works[static_cast<std::size_t>(i)];
        text += platform::Format("[Work %2d]\r\n{\r\n", i);
        text += "[1] " + work.boardFile + "\r\n";
        text += platform::Format("[2] %d %d %d 0 0\r\n", work.useNet, work.netFormat, work.spareFlag);
        text += "[3] " + work.settingsFile + "\r\n";
        text += "[4] " + work.netFile + "\r\n";
        text += "[5] " + work.partFile + "\r\n";
        text += "[6] " + work.schematicProject + "\r\n";
        text += "}\r\n\r\n";
    }
    text += "EndProjectList\r\n";
    return text;
}

bool WriteProjectFile(const std::filesystem::path& path, const ProjectWorks& works, int count)
{
    if (path.empty() || count <= 0)
        return false;
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(path, CArchive::store);
        ar->WriteString(FormatProjectFile(works, count));
        ar->Close();
        return true;
    } catch (const ArchiveError& e) {
        docfile::ReportFileError(docfile::FileError::Create,
                                 platform::PathToCp932(path).value_or(path.string()), e.what());
        return false;
    }
}
