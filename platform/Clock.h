#pragma once
// The current time and the times of files, behind one injectable interface so that outputs
// that print dates and the document's file times can be tested with fixed values.
// Times are whole seconds since the epoch (time_t); 0 means "not known".

#include <ctime>
#include <filesystem>
#include <map>

namespace platform {

struct FileTimes
{
    std::time_t lastWrite = 0;
    std::time_t lastAccess = 0;
    std::time_t creation = 0; // the file's birth time where the file system keeps one, else 0
    bool operator==(const FileTimes&) const = default;
};

class Clock
{
public:
    virtual ~Clock() = default;

    virtual std::time_t Now() const = 0;
    // Broken-down local time of t.
    virtual std::tm LocalTime(std::time_t t) const = 0;
    // The times of a file; false (and zero times) when the file's status cannot be read.
    virtual bool GetFileTimes(const std::filesystem::path& path, FileTimes& times) const = 0;

    std::tm LocalNow() const { return LocalTime(Now()); }
};

// The system's clock, local time zone and file system.
class SystemClock : public Clock
{
public:
    std::time_t Now() const override;
    std::tm LocalTime(std::time_t t) const override;
    bool GetFileTimes(const std::filesystem::path& path, FileTimes& times) const override;
};

// A clock for tests: a set time, a fixed offset from UTC for local time (Japan time, nine
// hours, unless set), and file times given per path. Paths without set times are read from
// the file system unless SetFilesFromSystem(false).
class FixedClock : public Clock
{
public:
    explicit FixedClock(std::time_t now = 0, long utcOffsetSeconds = 9 * 3600)
        : m_now(now), m_offset(utcOffsetSeconds)
    {
    }

    void SetNow(std::time_t now) { m_now = now; }
    void Advance(std::time_t seconds) { m_now += seconds; }
    void SetUtcOffset(long seconds) { m_offset = seconds; }
    void SetFileTimes(const std::filesystem::path& path, const FileTimes& times) { m_files[path] = times; }
    void SetFilesFromSystem(bool fromSystem) { m_filesFromSystem = fromSystem; }

    std::time_t Now() const override { return m_now; }
    std::tm LocalTime(std::time_t t) const override;
    bool GetFileTimes(const std::filesystem::path& path, FileTimes& times) const override;

private:
    std::time_t m_now;
    long m_offset;
    std::map<std::filesystem::path, FileTimes> m_files;
    bool m_filesFromSystem = true;
};

// The installed clock; the system clock when none is installed.
Clock& GetClock();
// Installs a clock (not owned; null goes back to the system clock).
void SetClock(Clock* clock);

// The program keeps Japan time (JST-9) unless the environment names a time zone: sets TZ to
// "JST-9" when TZ is unset and makes the C library read it. Returns true when it set TZ.
bool ApplyDefaultTimeZone();

} // namespace platform
