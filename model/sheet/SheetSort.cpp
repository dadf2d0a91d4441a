// The layer sheet's sorts. Each is a selection sort: for every node from the head, the smallest of
// the rest (the first of equals) is exchanged into it. The comparisons use tolerances, so a library
// sort could not promise a consistent order; and exchanging the item pointers of two nodes keeps
// every position a caller holds valid.

#include "model/items/Land.h"
#include "model/sheet/Sheet.h"

namespace {

template <class T> int SelectionSort(CItemList& list)
{
    if (list.IsEmpty())
        return 0;
    for (POSITION node = list.GetHeadPosition(); node;) {
        POSITION min = node;
        POSITION scan = node;
        list.GetNext(scan);
        while (scan) {
            const POSITION at = scan;
            const T* item = static_cast<const T*>(list.GetNext(scan));
            if (*item < *static_cast<const T*>(list.GetAt(min)))
                min = at;
        }
        if (!(min == node))
            list.SwapAt(node, min);
        list.GetNext(node);
    }
    return 1;
}

} // namespace

int CSheet::SortLand()
{
    return SelectionSort<CLand>(*ListOf(KIND_LAND));
}
