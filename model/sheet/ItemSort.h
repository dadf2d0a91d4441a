#pragma once
// The selection sort of an item list: for every node from the head, the smallest of the rest (the
// first of equals) is exchanged into it. The item orders use tolerances, so a library sort could
// not promise a consistent result; and exchanging the item pointers of two nodes keeps every
// position a caller holds valid.

#include "model/sheet/ItemList.h"

// Sorts a list of T items by less(a, b); 0 for an empty list, else 1.
template <class T, class Less> int SelectionSort(CItemList& list, Less less)
{
    if (list.IsEmpty())
        return 0;
    for (POSITION node = list.GetHeadPosition(); node;) {
        POSITION min = node;
        POSITION scan = node;
        list.GetNext(scan);
        while (scan) {
            const POSITION at = scan;
            T* item = static_cast<T*>(list.GetNext(scan));
            if (less(*item, *static_cast<T*>(list.GetAt(min))))
                min = at;
        }
        if (!(min == node))
            list.SwapAt(node, min);
        list.GetNext(node);
    }
    return 1;
}

// Sorts a list of T items by their operator<.
template <class T> int SelectionSort(CItemList& list)
{
    return SelectionSort<T>(list, [](T& a, T& b) { return a < b; });
}
