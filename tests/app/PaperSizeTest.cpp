#include "app/PaperSize.h"

#include <gtest/gtest.h>

// The print settings' paper codes; the B codes are the JIS sizes Japanese printers use, and the
// page the document measures must be the page the view prints on.
TEST(PaperSizeTest, CodesGiveTheirPages)
{
    const struct
    {
        int code;
        QPageSize::PageSizeId id;
    } rows[] = {{70, QPageSize::A6}, {11, QPageSize::A5},    {9, QPageSize::A4},     {8, QPageSize::A3},
                {66, QPageSize::A2}, {88, QPageSize::JisB6}, {13, QPageSize::JisB5}, {12, QPageSize::JisB4}};
    for (const auto& row : rows) {
        const std::optional<QPageSize> size = PageSizeOf(row.code);
        ASSERT_TRUE(size) << row.code;
        EXPECT_EQ(size->id(), row.id) << row.code;
    }
    EXPECT_FALSE(PageSizeOf(0));
    EXPECT_FALSE(PageSizeOf(999));
}
