#pragma once
// Walks over the items of a sheet shared by the sheet's operations.

#include "model/sheet/Sheet.h"

#include <vector>

class CPart;

// The items of one kind as a list of their own type: for edits that add or remove items of the
// sheet while they walk it.
template <class T> std::vector<T*> ListItems(CSheet& sheet, int kind)
{
    std::vector<T*> out;
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        out.push_back(static_cast<T*>(sheet.GetNextItem(kind, pos)));
    return out;
}

// Calls f with each item of one kind, as its own type, in list order.
template <class T, class F> void ForEach(CSheet& sheet, int kind, F&& f)
{
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        f(static_cast<T*>(sheet.GetNextItem(kind, pos)));
}

// The via and part sheet of the sheet's document, or null.
CSheet* ViaPartSheet(CSheet& sheet);
// The placed parts of the document: those of the via and part sheet.
std::vector<CPart*> PlacedParts(CSheet& sheet);
