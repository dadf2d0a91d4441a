#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::Atof;
using platform::Atoi;
using platform::Format;
using platform::Scan;
using platform::Strtod;
using platform::Strtol;

// (result, expected) pairs, computed afresh so that they can be re-run under another locale.
std::vector<std::pair<std::string, std::string>> FormatCases()
{
    return {
        {Format("%.8f", 1.5), "1.50000000"},
        {Format("%.8f", -0.000000004), "-0.00000000"},
        {Format("%.8G", 0.1), "0.1"},
        {Format("%.8G", 123456789.0), "1.2345679E+08"},
        {Format("%G", 1e-5), "1E-05"},
        {Format("%G", 2.5), "2.5"},
        {Format("%#.8G", 1.0), "1.0000000"},
        {Format("%+#.8G", 25.4), "+25.400000"},
        {Format("%#5G", 2.0), "2.00000"},
        {Format("%.1f", 12.96), "13.0"},
        {Format("% 8.3f", -1.5), "  -1.500"},
        {Format("%6.2f|%.4f", 3.14159, 0.5), "  3.14|0.5000"},
        {Format("%02d:%02d", 5, 12), "05:12"},
        {Format("%3d|%7d", -7, 42), " -7|     42"},
        {Format("%d", static_cast<std::int32_t>(0xFFFFFFFFu)), "-1"},
        // A long is printed as the 32-bit long the files were written with.
        {Format("%ld", 4294967295L), "-1"},
        {Format("%8ld", 123L), "     123"},
        {Format("%lu|%lx", 0x100000005UL, 0x1FFFFFFFFUL), "5|ffffffff"},
        {Format("%lld", -9000000000LL), "-9000000000"},
        {Format("%4u|%5u", 7u, 65535u), "   7|65535"},
        {Format("%X %x %o", 0xBEEFu, 255u, 8u), "BEEF ff 10"},
        {Format("%*d|%-*d|%.*f", 4, 1, 3, 2, 2, 0.125), "   1|2  |0.12"},
        {Format("%-6s|%6s|", "ab", "cd"), "ab    |    cd|"},
        {Format("%c%%%s", 'A', "\x82\xA0"), "A%\x82\xA0"},
        {Format("%hd %hhu", 70000, 257), "4464 1"},
        {Format("Land %.8f %.8f %d %d %d %d\n", 1.0, -2.5, 3, 0x401, 1, 7),
         "Land 1.00000000 -2.50000000 3 1025 1 7\n"},
        {Format("%s", std::string(1000, 'z').c_str()), std::string(1000, 'z')},
        {Format("no conversions"), "no conversions"},
    };
}

std::vector<std::pair<double, double>> ParseCases()
{
    double x = 0, y = 0;
    int n = Scan(" 1.25 -2e1", "%lf %lf", &x, &y);
    double comma = 0;
    Scan("1,5", "%lf", &comma);
    return {
        {Atof(" +1.5e3xyz"), 1500},
        {Atof("-.5"), -0.5},
        {Atof("3.75"), 3.75},
        {x, 1.25},
        {y, -20},
        {double(n), 2},
        {comma, 1},
    };
}

TEST(NumbersTest, FormatCases)
{
    for (const auto& [got, want] : FormatCases())
        EXPECT_EQ(got, want);
}

TEST(NumbersTest, RoundedOneDecimalThenAtoi)
{
    const std::pair<double, int> cases[] = {{12.96, 13}, {12.94, 12}, {-12.96, -13}, {-0.04, 0}, {0.05, 0}};
    for (const auto& [value, want] : cases)
        EXPECT_EQ(Atoi(Format("%.1f", value)), want) << value;
}

TEST(NumbersTest, UserLocaleChangesNothing)
{
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    bool switched = false;
    for (const char* name : names)
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    ASSERT_TRUE(switched) << "no German locale installed (tools/setup generates de_DE.UTF-8)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5"); // the locale is really in effect for the plain C library

    auto formats = FormatCases();
    auto parses = ParseCases();
    std::setlocale(LC_NUMERIC, saved.c_str());
    for (const auto& [got, want] : formats)
        EXPECT_EQ(got, want);
    for (const auto& [got, want] : parses)
        EXPECT_EQ(got, want);
}

TEST(NumbersTest, ParseCases)
{
    for (const auto& [got, want] : ParseCases())
        EXPECT_EQ(got, want);

    struct Case
    {
        const char* text;
        double value;
        std::ptrdiff_t end;
    };
    const Case cases[] = {
        {" +1.5e3xyz", 1500, 7}, {"abc", 0, 0}, {"12abc", 12, 2},   {"-.5", -0.5, 3}, {"5.", 5, 2},
        {"1.5e", 1.5, 3},        {"1e+", 1, 1}, {"2E-2x", 0.02, 4}, {".", 0, 0},      {"+-1", 0, 0},
        {"0x10", 0, 1},          {"inf", 0, 0}, {"nan", 0, 0},      {"1,5", 1, 1},    {"", 0, 0},
        {" \t\n-3", -3, 5},      {"- 3", 0, 0}, {"007.50", 7.5, 6},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(Strtod(c.text, &end), c.value) << c.text;
        EXPECT_EQ(end - c.text, c.end) << c.text;
        EXPECT_EQ(Atof(c.text), c.value) << c.text;
    }
    EXPECT_EQ(Atof(std::string_view("12.5", 2)), 12); // a view ends where it ends
    EXPECT_EQ(Atof("1e400"), HUGE_VAL);
    EXPECT_TRUE(std::signbit(Atof("-0")));
}

TEST(NumbersTest, IntegerParseCases)
{
    struct Case
    {
        const char* text;
        std::int32_t value;
        std::ptrdiff_t end;
    };
    const Case cases[] = {
        {" +42x", 42, 4},
        {"-17.9", -17, 3},
        {"abc", 0, 0},
        {"12abc", 12, 2},
        {"", 0, 0},
        {" - 5", 0, 0},
        {"2147483647", 2147483647, 10},
        {"2147483648", std::numeric_limits<std::int32_t>::max(), 10},
        {"-2147483648", std::numeric_limits<std::int32_t>::min(), 11},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min(), 21},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(Strtol(c.text, &end), c.value) << c.text;
        EXPECT_EQ(end - c.text, c.end) << c.text;
        EXPECT_EQ(Atoi(c.text), c.value) << c.text;
    }
}

TEST(NumbersTest, ScanLikeSscanf)
{
    char keyword[16] = {};
    double x = 0, y = 0;
    int turret = 0, type = 0, layer = 0, id = 0;
    EXPECT_EQ(Scan("Land 1.5 -2.25 3 1025 1 -7", "%15s %lf %lf %d %d %d %d", keyword, &x, &y, &turret, &type,
                   &layer, &id),
              7);
    EXPECT_STREQ(keyword, "Land");
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -2.25);
    EXPECT_EQ(id, -7);

    double v = 0;
    char rest[8] = {};
    EXPECT_EQ(Scan("3.5  ", "%lf%7s", &v, rest), 1); // a number with only blanks after it
    EXPECT_EQ(Scan("3.5mm", "%lf%7s", &v, rest), 2);
    EXPECT_EQ(Scan("x", "%d", &turret), 0);
    EXPECT_EQ(Scan("", "%d", &turret), EOF);
}

TEST(NumbersTest, TruncateToInt32)
{
    EXPECT_EQ(platform::TruncateToInt32(1.9), 1);
    EXPECT_EQ(platform::TruncateToInt32(-1.9), -1);
    EXPECT_EQ(platform::TruncateToInt32(3e9), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(platform::TruncateToInt32(-3e9), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(platform::TruncateToInt32(std::nan("")), 0);
}

} // namespace
