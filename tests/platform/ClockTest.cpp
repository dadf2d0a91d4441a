#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

fs::path TempFile(const char* name)
{
    return fs::temp_directory_path() / ("velta-clock-" + std::to_string(getpid()) + "-" + name);
}

// Keeps TZ as the test found it.
class TimeZoneGuard
{
public:
    TimeZoneGuard()
    {
        if (const char* tz = std::getenv("TZ"))
            m_saved = tz;
    }
    ~TimeZoneGuard()
    {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_saved;
};

} // namespace

TEST(FixedClock, LocalTimeIsJapanTimeUnlessSet)
{
    // 2024-02-29 15:30:45 UTC is a Thursday.
    const std::time_t t = 1709220645;
    FixedClock clock(t);
    EXPECT_EQ(clock.Now(), t);
    const std::tm jst = clock.LocalNow();
    EXPECT_EQ(jst.tm_year, 124);
    EXPECT_EQ(jst.tm_mon, 2); // March: 00:30 the next day in Japan
    EXPECT_EQ(jst.tm_mday, 1);
    EXPECT_EQ(jst.tm_hour, 0);
    EXPECT_EQ(jst.tm_min, 30);
    EXPECT_EQ(jst.tm_sec, 45);
    EXPECT_EQ(jst.tm_wday, 5);
    EXPECT_EQ(jst.tm_yday, 60);

    clock.SetUtcOffset(0);
    clock.Advance(60);
    const std::tm utc = clock.LocalNow();
    EXPECT_EQ(utc.tm_mday, 29);
    EXPECT_EQ(utc.tm_hour, 15);
    EXPECT_EQ(utc.tm_min, 31);
}

TEST(FixedClock, FileTimesAsSetOrFromTheSystem)
{
    FixedClock clock(1000);
    const FileTimes set{100, 200, 50};
    clock.SetFileTimes("/board/a.vbd", set);
    FileTimes got;
    EXPECT_TRUE(clock.GetFileTimes("/board/a.vbd", got));
    EXPECT_EQ(got, set);

    const fs::path missing = TempFile("missing");
    got = set;
    EXPECT_FALSE(clock.GetFileTimes(missing, got));
    EXPECT_EQ(got, FileTimes());

    const fs::path real = TempFile("real");
    std::ofstream(real) << "x";
    EXPECT_TRUE(clock.GetFileTimes(real, got));
    EXPECT_NE(got.lastWrite, 0);
    clock.SetFilesFromSystem(false);
    EXPECT_FALSE(clock.GetFileTimes(real, got));
    EXPECT_EQ(got, FileTimes());
    fs::remove(real);
}

TEST(SystemClock, ReadsWriteAndAccessTimesOfAFile)
{
    const fs::path path = TempFile("times");
    std::ofstream(path) << "board";
    struct timespec times[2];
    times[0].tv_sec = 1600000000; // access
    times[0].tv_nsec = 0;
    times[1].tv_sec = 1500000000; // write
    times[1].tv_nsec = 500000000;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    SystemClock clock;
    FileTimes got;
    ASSERT_TRUE(clock.GetFileTimes(path, got));
    EXPECT_EQ(got.lastWrite, 1500000000);
    EXPECT_EQ(got.lastAccess, 1600000000);
    // The birth time is the file system's, or 0 where it keeps none; never later than now.
    EXPECT_LE(got.creation, std::time(nullptr));

    fs::remove(path);
    EXPECT_FALSE(clock.GetFileTimes(path, got));
    EXPECT_EQ(got, FileTimes());
}

TEST(ClockAccessor, SystemClockUnlessOneIsInstalled)
{
    const std::time_t before = std::time(nullptr);
    EXPECT_GE(GetClock().Now(), before);
    FixedClock fixed(42);
    SetClock(&fixed);
    EXPECT_EQ(GetClock().Now(), 42);
    SetClock(nullptr);
    EXPECT_GE(GetClock().Now(), before);
}

TEST(DefaultTimeZone, JapanOnlyWhenTheEnvironmentNamesNone)
{
    TimeZoneGuard guard;
    const std::time_t epoch = 0;
    std::tm tm{};

    unsetenv("TZ");
    EXPECT_TRUE(ApplyDefaultTimeZone());
    EXPECT_STREQ(std::getenv("TZ"), "JST-9");
    localtime_r(&epoch, &tm);
    EXPECT_EQ(tm.tm_hour, 9);

    setenv("TZ", "UTC0", 1);
    EXPECT_FALSE(ApplyDefaultTimeZone());
    EXPECT_STREQ(std::getenv("TZ"), "UTC0");
    localtime_r(&epoch, &tm);
    EXPECT_EQ(tm.tm_hour, 0);
    EXPECT_EQ(SystemClock().LocalTime(epoch).tm_hour, 0);
}
