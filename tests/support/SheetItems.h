#pragma once
// The items of one kind on a sheet, in the sheet's own order, as the type the test expects.

#include "model/sheet/Sheet.h"

#include <vector>

namespace testing_support {

template <class T> std::vector<T*> Items(CSheet& sheet, int kind)
{
    std::vector<T*> out;
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        out.push_back(static_cast<T*>(sheet.GetNextItem(kind, pos)));
    return out;
}

} // namespace testing_support
