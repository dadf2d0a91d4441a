#include "model/input/NumberRule.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberRuleTest, TextsAreClassifiedAgainstTheRange)
{
    CNumberRule rule;
    rule.minimum = 10;
    rule.maximum = 100;
    struct Row
    {
        const char* text;
        int check;  // as a given text
        int typing; // as the field's own text while typing
    };
    const Row rows[] = {
        {"+", 3, 3},   {"-", 3, 3},   {".", 3, 3},     {"", 2, 2},    {"abc", 2, 2},   {"1a", 2, 2},
        {"15", 0, 0},  {"15 ", 0, 0}, {" 15", 0, 0},   {"1", 1, 0},   {"0", 1, 0},     {"-1", 1, 1},
        {"101", 1, 1}, {"100", 0, 0}, {"1.", 1, 0},    {"1e1", 0, 0}, {"0x10", 2, 2},  {"inf", 2, 2},
        {"nan", 2, 2}, {"--1", 2, 2}, {"1e999", 2, 2}, {"+-", 2, 2},  {"10.5.", 2, 2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(rule.CheckText(row.text), row.check) << row.text;
        EXPECT_EQ(rule.CheckText(row.text, true), row.typing) << row.text;
    }
    EXPECT_EQ(CNumberRule::CheckMessage(CNumberRule::OutOfRange), "Given value is out of range.\n");
    EXPECT_EQ(CNumberRule::CheckMessage(CNumberRule::NotANumber), "Characters must be a number.\n");
    EXPECT_EQ(CNumberRule::CheckMessage(CNumberRule::Partial), "");
    EXPECT_EQ(rule.CheckText(std::string("15\0x", 4)), 2);
}

TEST(NumberRuleTest, DecimalsOnlyGrow)
{
    CNumberRule rule;
    EXPECT_EQ(rule.FormatValue(3), "3");
    EXPECT_EQ(rule.GetFormat(0.25), "%.2f");
    EXPECT_EQ(rule.FormatValue(1), "1.00");
    EXPECT_EQ(rule.GetFormat(1e-5), "%.2f"); // "1E-05" has no point
    EXPECT_EQ(rule.FormatValue(0.5), "0.50");
    EXPECT_EQ(rule.FormatValue(0.125), "0.125");
    EXPECT_EQ(rule.FormatValue(2), "2.000");
    EXPECT_EQ(rule.decimals, 3);
}

TEST(NumberRuleTest, StepsHitZeroExactlyAndClampOrWrap)
{
    CNumberRule rule;
    rule.step = 0.1;
    EXPECT_EQ(rule.StepValue(0.1, -1, false), 0.0);
    rule.minimum = 0;
    rule.maximum = 100;
    rule.step = 1;
    struct Row
    {
        double value;
        int count;
        bool wrap;
        double result;
    };
    const Row rows[] = {
        {100, 1, false, 100}, {100, 1, true, 0},   {0, -1, false, 0},  {0, -1, true, 100},
        {50, 3, false, 53},   {50, -60, false, 0}, {99, 1, true, 100},
    };
    for (const Row& row : rows)
        EXPECT_EQ(rule.StepValue(row.value, row.count, row.wrap), row.result)
            << row.value << " " << row.count;
}

} // namespace
