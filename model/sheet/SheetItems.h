#pragma once
// The items of one kind of a sheet as a list of their own type: for edits that add or remove
// items of the sheet while they walk it.

#include "model/sheet/Sheet.h"

#include <vector>

template <class T> std::vector<T*> ListItems(CSheet& sheet, int kind)
{
    std::vector<T*> out;
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        out.push_back(static_cast<T*>(sheet.GetNextItem(kind, pos)));
    return out;
}
