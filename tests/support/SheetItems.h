#pragma once
// Helpers of sheet tests: the items of one kind on a sheet, and a plain sheet on the part board.

#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <vector>

namespace testing_support {

// The items of one kind on a sheet, in the sheet's own order, as the type the test expects.
template <class T> std::vector<T*> Items(CSheet& sheet, int kind)
{
    std::vector<T*> out;
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        out.push_back(static_cast<T*>(sheet.GetNextItem(kind, pos)));
    return out;
}

// A plain sheet of the part board's component-side wiring layer.
class BoardSheetTest : public ::testing::Test
{
protected:
    PartBoard board;
    CSheet sheet{0, 0x1, PartBoard::kTop, &board.doc};
};

} // namespace testing_support
