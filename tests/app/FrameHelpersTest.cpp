// The shared helpers of the frame and view, under a German locale (decimal comma): numbers the
// program writes and reads stay in the "C" form.

#include "document/FrameHelpers.h"
#include "controls/ColorBlend.h"
#include "document/NumberText.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <numbers>
#include <string>

namespace {

class GermanLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            FAIL() << "de_DE.UTF-8 is not installed (tools/setup generates it)";
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, saved.c_str());
        std::setlocale(LC_NUMERIC, "C");
    }
    std::string saved;
};

TEST_F(GermanLocale, NumbersForTheUser)
{
    const struct
    {
        double value;
        const char* text;
    } numbers[] = {{2.5, "2.5"}, {3, "3.0"}, {1e-12, "0.0"}, {123456789, "123456789.0"}, {-0.25, "-0.25"}};
    for (const auto& n : numbers) {
        char buffer[64];
        FormatNumberToBuffer(buffer, n.value);
        EXPECT_STREQ(buffer, n.text) << n.value;
    }
    char point[128];
    FormatPointText(point, 1.5, -2);
    EXPECT_STREQ(point, "1.5, -2.0");
    EXPECT_EQ(platform::TrimNumberText("-0.000"), "0");
    EXPECT_EQ(platform::TrimNumberText("12.500"), "12.5");
    EXPECT_EQ(platform::TrimNumberText("100"), "100");
    EXPECT_EQ(FormatSheetSizeText(100, 80, false), "100.000-80.0000");
    EXPECT_EQ(FormatSheetSizeText(-1.5, 2, true), "-1.50000x2.00000");
}

TEST_F(GermanLocale, SeparatorsAndAngles)
{
    EXPECT_EQ(CountSeparators("a,b;c,d", ','), 1);
    EXPECT_EQ(CountSeparators("\"a;b\",c", ','), 1);
    EXPECT_EQ(CountSeparators("\"a,#b\",c", ','), 1);
    EXPECT_EQ(CountSeparators("a;b;c#;d", ';'), 2);
    EXPECT_EQ(CountSeparators("", ','), 0);

    constexpr double pi = std::numbers::pi;
    EXPECT_DOUBLE_EQ(NormalizeAngleDegrees(-pi / 2), -90);
    EXPECT_DOUBLE_EQ(NormalizeAngleDegrees(3 * pi / 2), -90);
    EXPECT_DOUBLE_EQ(NormalizeAngleDegrees(pi), 180);
    EXPECT_DOUBLE_EQ(NormalizeAngleDegrees(2 * pi - 1e-7), 0);
    EXPECT_DOUBLE_EQ(NormalizeAngleDegrees(pi / 4), 45);
}

TEST_F(GermanLocale, GroupsOfValues)
{
    std::vector<std::uint32_t> groups = {1, 2, 0, 3, 0, 2, 4, 0};
    MergeOverlappingGroups(groups);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{3, 0, 1, 2, 4, 0}));

    // Later repeats go at every length, two values included.
    const struct
    {
        std::vector<std::uint32_t> in, out;
    } repeats[] = {{{7, 7}, {7}}, {{1, 2, 1, 3, 2}, {1, 2, 3}}, {{5}, {5}}, {{}, {}}};
    for (const auto& r : repeats) {
        std::vector<std::uint32_t> v = r.in;
        RemoveDuplicateValues(v);
        EXPECT_EQ(v, r.out);
    }
    std::vector<std::uint32_t> dst;
    FilterGroupsByLowByte(0x01, {0x101, 0x101, 0, 0x101, 0x201, 0x302, 0}, dst);
    EXPECT_EQ(dst, (std::vector<std::uint32_t>{0x101, 0x201, 0}));

    EXPECT_EQ(BlendColorToWhite(0x000000, 0.5), 0x7F7F7FU);
    EXPECT_EQ(BlendColorToWhite(0x123456, 0), 0x123456U);
    EXPECT_EQ(BlendColorToWhite(0x123456, 1.5), 0x123456U);
}

} // namespace
