#include "model/startup/StrokeFontFile.h"

#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <new>
#include <unistd.h>

std::shared_ptr<const StrokeFontTable> StrokeFontTable::Parse(std::string_view bytes)
{
    auto table = std::make_shared<StrokeFontTable>();
    table->m_strokes.reserve(bytes.size());
    table->m_lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        // Only the line end is removed; the last line may have none.
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // A line needs the code columns and at least one stroke byte.
        if (line.size() > kStrokeColumn) {
            const std::string_view strokes = line.substr(kStrokeColumn);
            table->m_lines.push_back({ParseCode(line), table->m_strokes.size(), strokes.size()});
            table->m_strokes.append(strokes);
        }
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    table->m_index.reserve(table->m_lines.size());
    for (std::size_t i = 0; i < table->m_lines.size(); ++i)
        table->m_index.emplace_back(table->m_lines[i].code, static_cast<std::uint32_t>(i));
    std::sort(table->m_index.begin(), table->m_index.end());
    return table;
}

std::size_t StrokeFontTable::Find(unsigned code, std::size_t from) const
{
    if (from >= m_lines.size())
        return npos;
    const auto it = std::lower_bound(m_index.begin(), m_index.end(),
                                     std::make_pair(code, static_cast<std::uint32_t>(from)));
    return (it != m_index.end() && it->first == code) ? it->second : npos;
}

unsigned StrokeFontTable::ParseCode(std::string_view line)
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

StrokeFontFile::~StrokeFontFile()
{
    Close();
}

namespace {

// The whole file from a descriptor; false on a read error.
bool ReadAll(int fd, std::string& bytes)
{
    struct stat info;
    if (::fstat(fd, &info) == 0 && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

bool StrokeFontFile::Open(const std::filesystem::path& path)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Deny writers: a process that locks the file for writing makes the open fail, other readers
    // share it.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    try {
        std::string bytes;
        if (!ReadAll(fd, bytes)) {
            ::close(fd);
            return false;
        }
        m_table = StrokeFontTable::Parse(bytes);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    m_next = 0;
    m_lastCode.reset();
    return true;
}

void StrokeFontFile::Close()
{
    if (m_lockFd >= 0) {
        ::close(m_lockFd); // releases the lock
        m_lockFd = -1;
    }
    m_table.reset();
    m_next = 0;
    m_lastCode.reset();
}

bool StrokeFontFile::GetStrokeData(unsigned code, std::string& strokes)
{
    if (code == 0x20 || code == 0x8140 || !m_table)
        return false;
    if (!m_lastCode || *m_lastCode >= code)
        m_next = 0;
    const std::size_t line = m_table->Find(code, m_next);
    if (line == StrokeFontTable::npos) {
        m_lastCode.reset();
        m_next = 0;
        return false;
    }
    strokes.assign(m_table->Strokes(line));
    m_lastCode = code;
    m_next = line + 1;
    return true;
}
