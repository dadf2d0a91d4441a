#include "model/input/ResizeLayout.h"

#include <gtest/gtest.h>

namespace {

ResizeRow Row(int id, ResizeBorder l, ResizeBorder t, ResizeBorder r, ResizeBorder b)
{
    return ResizeRow{id, l, t, r, b};
}

// Dialog 0..200 x 0..100 grown to 0..400 x 0..300.
const CRect Before(0, 0, 200, 100);
const CRect After(0, 0, 400, 300);

CRect Compute(const ResizeRow& row, const CRect& initial)
{
    CResizeLayout layout;
    layout.Init(Before, {row}, {initial});
    return layout.Compute(After, {initial}, {true}, false)[0].rect;
}

TEST(ResizeLayoutTest, EachRuleTypeGivesExactIntegers)
{
    struct Case
    {
        const char* name;
        ResizeRow row;
        CRect expected;
    };
    const CRect initial(10, 20, 60, 40);
    const Case cases[] = {
        {"fixed to the dialog's near edges", Row(1, {1, 0, 1}, {1, 0, 2}, {1, 0, 1}, {1, 0, 2}), initial},
        {"fixed to the far edges (stretch)", Row(1, {1, 0, 1}, {1, 0, 2}, {1, 0, 3}, {1, 0, 4}),
         CRect(10, 20, 260, 240)},
        {"proportional", Row(1, {2, 0, 1}, {2, 0, 2}, {2, 0, 1}, {2, 0, 2}), CRect(20, 60, 120, 120)},
        // 75 * 400 / 200 = 150, measured from the centre 200.
        {"proportional to the centre", Row(1, {2, 0, 5}, {1, 0, 2}, {3, 0, 0}, {4, 0, 0}),
         CRect(200 + (10 - 100) * 400 / 200, 20, 200 + (10 - 100) * 400 / 200 + 50, 40)},
        {"keep width and height", Row(1, {1, 0, 3}, {1, 0, 4}, {3, 0, 0}, {4, 0, 0}),
         CRect(210, 220, 260, 240)},
        {"unknown rule type", Row(1, {9, 0, 1}, {0, 0, 2}, {1, 0, 9}, {1, 0, 2}), CRect(0, 0, 60, 40)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Compute(c.row, initial), c.expected) << c.name;

    // Integer division truncates toward zero: 7 * 3 / 2.
    CResizeLayout odd;
    odd.Init(CRect(0, 0, 2, 2), {Row(1, {2, 0, 1}, {1, 0, 2}, {3, 0, 0}, {4, 0, 0})}, {CRect(7, 0, 8, 1)});
    EXPECT_EQ(odd.Compute(CRect(0, 0, 3, 3), {}, {true}, false)[0].rect, CRect(10, 0, 11, 1));
    // A reference of no size counts as one.
    odd.Init(CRect(0, 0, 0, 0), {Row(1, {2, 0, 1}, {1, 0, 2}, {3, 0, 0}, {4, 0, 0})}, {CRect(7, 0, 8, 1)});
    EXPECT_EQ(odd.Compute(CRect(0, 0, 3, 3), {}, {true}, false)[0].rect, CRect(21, 0, 22, 1));
}

TEST(ResizeLayoutTest, RowsFollowEarlierRowsAndLeaveUnknownEdgesInPlace)
{
    CResizeLayout layout;
    // 10 stretches; 11 sits below 10 at a fixed distance; 12 names a later row and an unknown one.
    layout.Init(Before,
                {Row(10, {1, 0, 1}, {1, 0, 2}, {1, 0, 3}, {1, 0, 4}),
                 Row(11, {1, 10, 1}, {1, 10, 4}, {1, 10, 3}, {4, 0, 0}),
                 Row(12, {1, 13, 1}, {1, 99, 2}, {1, 0, 3}, {1, 0, 2}),
                 Row(13, {1, 0, 1}, {1, 0, 2}, {1, 0, 1}, {1, 0, 2})},
                {CRect(10, 10, 190, 60), CRect(10, 65, 100, 90), CRect(5, 5, 50, 50), CRect(0, 0, 5, 5)});
    const CRect now12(6, 7, 8, 9);
    const auto out =
        layout.Compute(After, {CRect(), CRect(), now12, CRect()}, {true, true, true, true}, false);
    EXPECT_EQ(out[0].rect, CRect(10, 10, 390, 260));
    EXPECT_EQ(out[1].rect, CRect(10, 265, 300, 290));
    EXPECT_EQ(out[2].rect, CRect(6, 7, 250, 50));
    EXPECT_EQ(CResizeLayout::FollowTopRight(CRect(150, 5, 190, 25), Before, After), CRect(350, 5, 390, 25));
}

TEST(ResizeLayoutTest, OverlappedRowsHideUntilTheDialogGrowsAgain)
{
    CResizeLayout layout;
    // A field of fixed width and one tied to the dialog's right edge: they meet when it shrinks.
    layout.Init(Before,
                {Row(1, {1, 0, 1}, {1, 0, 2}, {3, 0, 0}, {4, 0, 0}),
                 Row(2, {1, 0, 3}, {1, 0, 2}, {1, 0, 3}, {4, 0, 0})},
                {CRect(10, 10, 90, 30), CRect(110, 10, 190, 30)});
    auto out = layout.Compute(CRect(0, 0, 150, 100), {}, {true, true}, true);
    EXPECT_FALSE(out[0].hidden);
    EXPECT_TRUE(out[1].hidden);
    EXPECT_EQ(out[1].rect, CRect());
    // Not hidden without the switch, nor when the earlier one is not shown.
    EXPECT_FALSE(layout.Compute(CRect(0, 0, 150, 100), {}, {true, true}, false)[1].hidden);
    EXPECT_FALSE(layout.Compute(CRect(0, 0, 150, 100), {}, {false, true}, true)[1].hidden);
    out = layout.Compute(CRect(0, 0, 300, 100), {}, {true, true}, true);
    EXPECT_FALSE(out[0].hidden || out[1].hidden);
    EXPECT_EQ(out[1].rect, CRect(210, 10, 290, 30));
}

} // namespace
