#include "document/BoardSettingFile.h"

#include "document/ProgramFolder.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace {

constexpr const char* kMasterName = "velta.bpf";

std::string PathText(const std::filesystem::path& path)
{
    return platform::PathToCp932(path).value_or(path.string());
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsTrimmedEmpty(const std::string& line)
{
    for (char c : line) {
        if (!IsBlank(c) && c != '\r' && c != '\n' && c != '\v' && c != '\f')
            return false;
    }
    return true;
}

// The last character of a CP932 text is the single byte c (never the trail byte of a double-byte
// character: '}' and '\\' can be one).
bool EndsWithChar(const std::string& s, char c)
{
    const std::size_t pos = platform::LastCharPos(s);
    return pos != std::string::npos && pos + 1 == s.size() && s[pos] == c;
}

// The whole file replaced in one step: a temporary file renamed over it once complete.
bool WriteWholeFile(const std::filesystem::path& path, const std::string& data)
{
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(path, CArchive::store);
        ar->WriteString(data);
        ar->Close();
        return true;
    } catch (const ArchiveError& e) {
        AfxMessageBox(platform::Format(_J("%s に書き込めません。").c_str(), PathText(path).c_str()) + "\n" +
                          e.what(),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

struct RawLine
{
    std::size_t start = 0; // first byte of the line
    std::size_t end = 0;   // byte after the line's text
    std::size_t next = 0;  // first byte of the next line
};

// Lines as TextLineReader sees them (LF, CR LF or a bare CR ends a line), with their offsets.
std::vector<RawLine> SplitLines(const std::string& data)
{
    std::vector<RawLine> lines;
    std::size_t pos = 0;
    while (pos < data.size()) {
        RawLine line;
        line.start = pos;
        std::size_t i = pos;
        while (i < data.size() && data[i] != '\n' && data[i] != '\r')
            ++i;
        line.end = i;
        if (i < data.size() && data[i] == '\r')
            ++i;
        if (i < data.size() && data[i] == '\n' && (i == line.end || data[i - 1] == '\r'))
            ++i;
        line.next = i;
        lines.push_back(line);
        pos = i;
    }
    return lines;
}

} // namespace

std::string CBoardSettingFile::CleanLine(const std::string& raw, std::size_t* lastPos)
{
    std::string out;
    out.reserve(raw.size());
    std::size_t last = std::string::npos;
    bool inQuotes = false;
    bool afterBackslash = false;
    for (platform::Cp932Char ch : platform::Chars(raw)) {
        const char c = raw[ch.pos];
        if (!ch.IsDoubleByte()) {
            if (c == '"' && !afterBackslash)
                inQuotes = !inQuotes;
            else if (!inQuotes && c == '#')
                break;
            else if (!inQuotes && (IsBlank(c) || c == '\r' || c == '\n')) {
                afterBackslash = false;
                continue;
            }
        }
        afterBackslash = !ch.IsDoubleByte() && c == '\\';
        out.append(raw, ch.pos, ch.width);
        last = ch.pos + ch.width - 1;
    }
    if (lastPos)
        *lastPos = last;
    return out;
}

std::filesystem::path CBoardSettingFile::InstalledMasterPath()
{
    return GetProgramFolder() / kMasterName;
}

std::filesystem::path CBoardSettingFile::UserMasterPath()
{
    return GetUserDataFolder() / kMasterName;
}

std::filesystem::path CBoardSettingFile::MasterReadPath()
{
    std::error_code ec;
    const std::filesystem::path user = UserMasterPath();
    if (std::filesystem::is_regular_file(user, ec))
        return user;
    return InstalledMasterPath();
}

bool CBoardSettingFile::IsMasterPath(const std::filesystem::path& path) const
{
    const std::string text = path.lexically_normal().string();
    for (const std::filesystem::path& master : {InstalledMasterPath(), UserMasterPath()}) {
        if (platform::MbsICmp(text, master.lexically_normal().string()) == 0)
            return true;
    }
    return false;
}

CBoardSettingFile::Outcome CBoardSettingFile::ReadFrom(const std::filesystem::path& file)
{
    std::filesystem::path source = file;
    if (IsMasterPath(file))
        source = MasterReadPath();
    std::optional<platform::TextLineReader> reader = platform::TextLineReader::FromFile(source);
    if (!reader) {
        AfxMessageBox(platform::Format(_J("ファイルが開けません %s").c_str(), PathText(file).c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
        return Outcome::Unreadable;
    }

    // The next line that carries anything once blanks and comments are gone.
    auto readLine = [&reader](std::string& line) {
        std::string raw;
        while (reader->ReadLine(raw)) {
            if (IsTrimmedEmpty(raw))
                continue;
            line = CleanLine(raw);
            if (!line.empty())
                return true;
        }
        return false;
    };

    const std::string labelLine = "[" + m_label + "]";
    std::string line;
    bool found = false;
    while (readLine(line)) {
        if (platform::ToLowerAscii(line) == platform::ToLowerAscii(labelLine)) {
            found = true;
            break;
        }
    }
    if (!found)
        return Outcome::Missing;

    m_entries.clear();
    if (!readLine(line) || line[0] != '{') {
        AfxMessageBox(platform::Format(_J("基板設定ファイル[%s]が異常です").c_str(), m_label.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
        return Outcome::Missing;
    }
    std::string entry;
    bool complete = false;
    while (readLine(line)) {
        const bool last = EndsWithChar(line, '}');
        if (last)
            line.pop_back();
        entry += line;
        if (!entry.empty() && entry.back() == ';') {
            while (!entry.empty() && entry.back() == ';')
                entry.pop_back();
            if (!entry.empty())
                m_entries.push_back(entry);
            entry.clear();
        }
        if (last) {
            complete = true;
            break;
        }
    }
    if (!complete) {
        AfxMessageBox(platform::Format(_J("%s 基板設定ファイルが異常です").c_str(), m_label.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
        return Outcome::Missing;
    }
    return m_entries.empty() ? Outcome::Missing : Outcome::Found;
}

bool CBoardSettingFile::ReadSection()
{
    m_entries.clear();
    const Outcome outcome = ReadFrom(m_path);
    if (outcome == Outcome::Found)
        return true;
    if (outcome == Outcome::Unreadable)
        return false;
    m_entries.clear();
    AfxMessageBox(
        platform::Format(_J("基板設定ファイルにラベル[%s]が見つかりません").c_str(), m_label.c_str()),
        MB_OK | MB_ICONEXCLAMATION);
    if (IsMasterPath(m_path)) {
        AfxMessageBox(_J("マスターの基板設定ファイルが壊れているか古いです"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // Once from the master; its own failure is reported as the master's, and the board's path is
    // kept whatever the master held.
    const std::filesystem::path own = m_path;
    m_path = InstalledMasterPath();
    const bool result = ReadSection();
    m_path = own;
    return result;
}

int CBoardSettingFile::SplitText(const std::string& entry, std::vector<std::string>& fields)
{
    fields.clear();
    std::string s = entry;
    if (!s.empty() && s.back() == ':')
        s += ':';
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] == '"') {
            const std::size_t close = s.find('"', pos + 1);
            if (close == std::string::npos) {
                fields.push_back(s.substr(pos + 1));
                break;
            }
            fields.push_back(s.substr(pos + 1, close - pos - 1));
            pos = close + 1;
            if (pos < s.size() && s[pos] == ':')
                ++pos;
        } else if (s[pos] == ':') {
            fields.emplace_back();
            ++pos;
        } else {
            std::size_t colon = s.find(':', pos);
            if (colon == std::string::npos)
                colon = s.size();
            fields.push_back(s.substr(pos, colon - pos));
            pos = colon + 1;
        }
    }
    return static_cast<int>(fields.size());
}

int CBoardSettingFile::SplitEntry(int index, std::vector<std::string>& fields) const
{
    if (index < 0 || index >= GetEntryCount()) {
        fields.clear();
        return 0;
    }
    return SplitText(m_entries[static_cast<std::size_t>(index)], fields);
}

void CBoardSettingFile::ReportFormatError(int index) const
{
    AfxMessageBox(platform::Format("BPF [%s] Format Error %d", m_label.c_str(), index + 1),
                  MB_OK | MB_ICONEXCLAMATION);
}

void CBoardSettingFile::NormalizeLayerList(std::string& list)
{
    std::string out;
    for (const std::string& token : platform::Split(list, ',')) {
        const int n = platform::Atoi(token);
        if (n >= 1 && n <= 128)
            out += platform::Format("%3d,", n);
    }
    if (!out.empty())
        out.pop_back();
    list = out;
}

bool CBoardSettingFile::WriteSection(const std::string& body)
{
    std::filesystem::path target = m_path;
    std::optional<std::string> data;
    if (IsMasterPath(m_path)) {
        // The installed master stays as installed: edits go to the per-user copy, made from the
        // master the first time.
        target = UserMasterPath();
        data = platform::ReadFileBytes(MasterReadPath());
        if (data) {
            std::error_code ec;
            std::filesystem::create_directories(target.parent_path(), ec);
        }
    } else {
        data = platform::ReadFileBytes(m_path);
    }
    if (!data) {
        AfxMessageBox(platform::Format(_J("ファイルが開けません %s").c_str(), PathText(m_path).c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    // The section is found as the reader finds it: the first label line, its '{' line and the
    // first line after it that ends with '}'.
    const std::string labelLine = "[" + m_label + "]";
    const std::string searched = "\r\n" + labelLine;
    enum class State
    {
        Label,
        Brace,
        Close
    } state = State::Label;
    std::size_t bodyStart = 0;
    std::size_t closePos = std::string::npos;
    bool broken = false;
    for (const RawLine& line : SplitLines(*data)) {
        const std::string raw = data->substr(line.start, line.end - line.start);
        std::size_t last = std::string::npos;
        const std::string text = CleanLine(raw, &last);
        if (text.empty())
            continue;
        if (state == State::Label) {
            if (platform::ToLowerAscii(text) == platform::ToLowerAscii(labelLine))
                state = State::Brace;
        } else if (state == State::Brace) {
            if (text[0] != '{') {
                broken = true;
                break;
            }
            bodyStart = line.next;
            state = State::Close;
        } else if (EndsWithChar(text, '}')) {
            closePos = line.start + last;
            break;
        }
    }
    if (state != State::Label && (broken || closePos == std::string::npos)) {
        AfxMessageBox(platform::Format("BPF Format Error %s", searched.c_str()), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (state == State::Close) {
        std::string text = data->substr(0, bodyStart);
        if (!text.empty() && text.back() != '\n' && text.back() != '\r')
            text += "\r\n";
        text += body;
        text.append(*data, closePos, std::string::npos);
        return WriteWholeFile(target, text);
    }
    if (!WriteWholeFile(target,
                        *data + platform::Format("%s\r\n{\r\n%s}\r\n", searched.c_str(), body.c_str())))
        return false;
    AfxMessageBox(
        platform::Format(_J("基板設定ファイルにラベル %s が見つかりません\n").c_str(), searched.c_str()),
        MB_OK | MB_ICONEXCLAMATION);
    return false;
}
