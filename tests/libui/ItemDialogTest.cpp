// The rule of the turret and table fields while the user types.

#include "libui/ItemDialog.h"

#include <gtest/gtest.h>

namespace {

TEST(ItemDialogTest, TableFieldTakesTypedNumbersAndTheMarker)
{
    struct Row
    {
        const char* text;
        bool taken;
        int value;
    };
    const Row rows[] = {
        {"12", true, 12},
        {"0", true, 0},
        {"120", true, 120},
        {"121", false, 5},
        {"500", false, 5},
        {"-1", true, -1},
        {"***", false, 5},
        {"*", false, 5},
        {"", false, 5},
        {" \t", false, 5},
        // Not a number: read as 0, taken because text is left after the marker; the check at OK
        // refuses such a field.
        {"*7", true, 0},
        {" 7", true, 7},
        {"abc", true, 0},
    };
    for (const Row& row : rows) {
        int value = 5;
        EXPECT_EQ(ReadTableField(QString::fromLatin1(row.text), 120, value), row.taken) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
}

} // namespace
