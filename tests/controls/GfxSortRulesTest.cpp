#include "controls/GfxListSorter.h"
#include "controls/GfxSortItem.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase
{
    std::string text, prefix;
    int number;
    std::string suffix;
};

TEST(GfxSortItem, SplitsPrefixNumberSuffix)
{
    const std::vector<SplitCase> cases = {
        {"R12", "R", 12, ""},
        {"12A", "", 12, "A"},
        {"A1B2C", "A1B", 2, "C"},
        {"a?b", "a", 0, "b"},
        {"a?1?b", "a", 0, "1?b"},
        {"", "", 0, ""},
        {"ABC", "ABC", 0, ""},
        {"007", "", 7, ""},
        {"U3-", "U", 3, "-"},
        {"C99999999999", "C", 2147483647, ""}, // a run too long for an int saturates
        {"\x83\x5c"
         "5",
         "\x83\x5c", 5, ""}, // double-byte prefix
    };
    for (const SplitCase& c : cases) {
        const CGfxSortItem item(c.text);
        EXPECT_EQ(item.m_strPrefix, c.prefix) << c.text;
        EXPECT_EQ(item.m_nNumber, c.number) << c.text;
        EXPECT_EQ(item.m_strSuffix, c.suffix) << c.text;
    }
}

struct OrderCase
{
    std::string a, b;
    int sign; // of Compare(a, b)
};

TEST(GfxSortItem, ComparesNaturallyIgnoringCase)
{
    const std::vector<OrderCase> cases = {
        {"A9", "A10", -1}, {"a9", "A9", 0}, {"R2", "C10", 1}, {"12A", "12b", -1},
        {"9A", "12A", -1}, {"", "A", -1},   {"x", "X", 0},
    };
    for (const OrderCase& c : cases) {
        const int r = CGfxSortItem::Compare(CGfxSortItem(c.a), CGfxSortItem(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(GfxSortItem, FoldsFullWidthLettersInPrefixes)
{
    // Full-width A and a fold together, so the numbers decide.
    const std::string upper = _J("Ａ") + "10", lower = _J("ａ") + "9";
    EXPECT_GT(CGfxSortItem::Compare(CGfxSortItem(upper), CGfxSortItem(lower)), 0);
}

std::vector<std::string> Sorted(const std::vector<std::string>& texts, bool integer, bool real,
                                bool ascending)
{
    CGfxListSorter sorter(
        static_cast<int>(texts.size()), [&](int row) { return texts[row]; }, integer, real);
    std::vector<std::string> out;
    for (int row : sorter.Sort(ascending))
        out.push_back(texts[static_cast<std::size_t>(row)]);
    return out;
}

struct SortCase
{
    const char* name;
    std::vector<std::string> texts;
    bool integer, real, ascending;
    std::vector<std::string> expected;
};

TEST(GfxListSorter, SortsByKeyKind)
{
    const std::vector<SortCase> cases = {
        {"text", {"A10", "a2", "A9", "B1"}, false, false, true, {"a2", "A9", "A10", "B1"}},
        {"text descending", {"A10", "a2", "A9", "B1"}, false, false, false, {"B1", "A10", "A9", "a2"}},
        {"integer", {"10", "9", "-3", "x"}, true, false, true, {"-3", "x", "9", "10"}},
        {"real", {"10", "1.5", "1.25", "-0.5"}, false, true, true, {"-0.5", "1.25", "1.5", "10"}},
        // Beyond the 16.16 fixed-point range the order holds, since keys are doubles.
        {"real large", {"70000.5", "40000", "1e6"}, false, true, true, {"40000", "70000.5", "1e6"}},
        {"real wins", {"2.5", "2.25"}, true, true, true, {"2.25", "2.5"}},
        {"stable", {"b", "a", "B"}, false, false, true, {"a", "b", "B"}},
        {"empty", {}, false, false, true, {}},
    };
    for (const SortCase& c : cases)
        EXPECT_EQ(Sorted(c.texts, c.integer, c.real, c.ascending), c.expected) << c.name;
}

TEST(GfxListSorter, AsksEachRowOnce)
{
    int calls = 0;
    CGfxListSorter sorter(
        50,
        [&](int row) {
            ++calls;
            return "R" + std::to_string(50 - row);
        },
        false, false);
    const std::vector<int> order = sorter.Sort(true);
    EXPECT_EQ(calls, 50);
    EXPECT_EQ(order.front(), 49);
    EXPECT_EQ(order.back(), 0);
}

} // namespace
