#include "platform/Clock.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

Clock* g_clock = nullptr;

SystemClock* DefaultClock()
{
    static SystemClock clock;
    return &clock;
}

} // namespace

std::time_t SystemClock::Now() const
{
    return std::time(nullptr);
}

std::tm SystemClock::LocalTime(std::time_t t) const
{
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

bool SystemClock::GetFileTimes(const std::filesystem::path& path, FileTimes& times) const
{
    times = FileTimes();
    struct statx st
    {
    };
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_ATIME | STATX_BTIME, &st) != 0)
        return false;
    if (st.stx_mask & STATX_MTIME)
        times.lastWrite = static_cast<std::time_t>(st.stx_mtime.tv_sec);
    if (st.stx_mask & STATX_ATIME)
        times.lastAccess = static_cast<std::time_t>(st.stx_atime.tv_sec);
    if (st.stx_mask & STATX_BTIME)
        times.creation = static_cast<std::time_t>(st.stx_btime.tv_sec);
    return true;
}

std::tm FixedClock::LocalTime(std::time_t t) const
{
    const std::time_t shifted = t + m_offset;
    std::tm tm{};
    gmtime_r(&shifted, &tm);
    tm.tm_isdst = 0;
    return tm;
}

bool FixedClock::GetFileTimes(const std::filesystem::path& path, FileTimes& times) const
{
    const auto it = m_files.find(path);
    if (it != m_files.end()) {
        times = it->second;
        return true;
    }
    if (m_filesFromSystem)
        return SystemClock().GetFileTimes(path, times);
    times = FileTimes();
    return false;
}

Clock& GetClock()
{
    return g_clock ? *g_clock : *DefaultClock();
}

void SetClock(Clock* clock)
{
    g_clock = clock;
}

bool ApplyDefaultTimeZone()
{
    const bool set = std::getenv("TZ") == nullptr;
    if (set)
        setenv("TZ", "JST-9", 0);
    tzset();
    return set;
}

} // namespace platform
