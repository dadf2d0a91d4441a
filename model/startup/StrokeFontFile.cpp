#include "model/startup/StrokeFontFile.h"

#include <sys/file.h>

#include <limits>

StrokeFontFile::~StrokeFontFile()
{
    Close();
}

bool StrokeFontFile::Open(const std::filesystem::path& path)
{
    Close();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    // Deny writers: a process that locks the file for writing makes the open fail, other readers
    // share it.
    if (::flock(::fileno(file), LOCK_SH | LOCK_NB) != 0) {
        std::fclose(file);
        return false;
    }
    m_file = file;
    m_lastCode.reset();
    return true;
}

void StrokeFontFile::Close()
{
    if (m_file) {
        std::fclose(m_file); // releases the lock
        m_file = nullptr;
    }
    m_lastCode.reset();
}

unsigned StrokeFontFile::ParseCode(const std::string& line)
{
    unsigned long long code = 0;
    for (char c : line) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        code = code * 16 + static_cast<unsigned>(digit);
        if (code > std::numeric_limits<unsigned>::max())
            return std::numeric_limits<unsigned>::max();
    }
    return static_cast<unsigned>(code);
}

bool StrokeFontFile::ReadLine(std::string& line)
{
    line.clear();
    int c = std::getc(m_file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n') {
        line.push_back(static_cast<char>(c));
        c = std::getc(m_file);
    }
    // Only the line end is removed; the last line may have none.
    if (c == '\n' && !line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

void StrokeFontFile::Rewind()
{
    std::rewind(m_file);
}

bool StrokeFontFile::GetStrokeData(unsigned code, std::string& strokes)
{
    if (code == 0x20 || code == 0x8140 || !m_file)
        return false;
    if (!m_lastCode || *m_lastCode >= code)
        Rewind();
    std::string line;
    while (ReadLine(line)) {
        // A line needs the code columns and at least one stroke byte.
        if (line.size() > kStrokeColumn && ParseCode(line) == code) {
            strokes.assign(line, kStrokeColumn);
            m_lastCode = code;
            return true;
        }
    }
    m_lastCode.reset();
    Rewind();
    return false;
}
