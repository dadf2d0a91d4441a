#include "model/input/FormulaList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FormulaListTest, ListsAreCountedAndReadWithEmptyItemsInPlace)
{
    struct Row
    {
        const char* text;
        const char* normal;
        int count;
        int maximum;
        bool ok;
        std::vector<double> values; // what the array holds afterwards (starting as 9s)
        const char* message;
    };
    const Row rows[] = {
        {"1..2", "1,2", 2, 8, true, {1, 2, 9}, ""},
        {"5,,", "5,,", 1, 8, true, {5, 9, 9}, ""},
        {"1,,3", "1,,3", 3, 8, true, {1, 0, 3}, ""},
        {",5", ",5", 2, 8, true, {0, 5, 9}, ""},
        {"1,2,3", "1,2,3", 3, 2, true, {1, 2, 9}, ""},
        {"1,1/0,3", "1,1/0,3", 3, 8, false, {1, 9, 9}, "(Division by zero)"},
        {"", "", 0, 8, false, {9, 9, 9}, ""},
        {",,,", ",,,", 0, 8, false, {9, 9, 9}, ""},
        {"2*3", "2*3", 1, 8, true, {6, 9, 9}, ""},
        {"1...5", "1,.5", 2, 8, true, {1, 0.5, 9}, ""},
        {"1,Q", "1,Q", 2, 8, false, {1, 9, 9}, "\x83\x47\x83\x89\x81\x5B\x88\xCA\x92\x75 1!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::string normal = CFormulaList::Normalize(row.text);
        EXPECT_EQ(normal, row.normal);
        EXPECT_EQ(CFormulaList::Count(normal), row.count);
        CFormulaParser parser;
        std::vector<double> values(3, 9.0);
        std::string message = "x";
        EXPECT_EQ(CFormulaList::Evaluate(parser, normal, values.data(), row.maximum, message), row.ok);
        EXPECT_EQ(values, row.values);
        EXPECT_EQ(message, row.message);
    }
}

TEST(FormulaListTest, CommaPositionsAndShownValues)
{
    EXPECT_EQ(CFormulaList::CommaPosition("1,2", 2), 0u);
    EXPECT_EQ(CFormulaList::CommaPosition("1,2,3", 2), 4u);
    EXPECT_EQ(CFormulaList::CommaPosition(",,", 2), 2u);
    EXPECT_EQ(CFormulaList::CommaPosition("12,3", 1), 3u);

    const std::pair<double, const char*> shown[] = {
        {1.5, "1.5"},     {2.0, "2"}, {1e8, "100000000"},         {0.000012345, "0.00001234"},
        {-0.25, "-0.25"}, {0.0, "0"}, {123456789.0, "123456790"},
    };
    for (const auto& [value, text] : shown)
        EXPECT_EQ(CFormulaList::Format(value), text) << value;
}

} // namespace
