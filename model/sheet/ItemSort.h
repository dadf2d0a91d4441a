#pragma once
// The selection sort of an item list: for every node from the head, the smallest of the rest (the
// first of equals) is exchanged into it. The item orders use tolerances, so a library sort could
// not promise a consistent result; and exchanging the item pointers of two nodes keeps every
// position a caller holds valid.

#include "model/sheet/ItemList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

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

// The same selection sort over keys computed once, one per item in list order. Key's operator<
// must be a strict weak order; then the scan's "first strictly smallest of the rest" is the least
// key at the lowest position, which a heap of positions per key finds without a scan, so the
// exchanges, and with them the order, are the scan's own.
template <class Key> int SelectionSortByKey(CItemList& list, const std::vector<Key>& keys)
{
    if (list.IsEmpty())
        return 0;
    // A list in order already stays as it is: every scan finds its own node the least.
    if (std::is_sorted(keys.begin(), keys.end()))
        return 1;
    std::vector<POSITION> nodes;
    nodes.reserve(keys.size());
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos))
        nodes.push_back(pos);
    const std::size_t n = nodes.size();
    // Equal keys share a rank.
    std::vector<std::uint32_t> byKey(n);
    for (std::size_t i = 0; i < n; ++i)
        byKey[i] = static_cast<std::uint32_t>(i);
    std::sort(byKey.begin(), byKey.end(),
              [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    std::vector<std::uint64_t> rank(n);
    std::uint64_t current = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && keys[byKey[i - 1]] < keys[byKey[i]])
            ++current;
        rank[byKey[i]] = current;
    }
    // The unsettled positions of each rank, as a min-heap in that rank's stretch of one array
    // (positions in list order at first, which already is one). At place i the least entry is the
    // lowest position of the least rank left; the item moved out of place i is its own rank's lowest
    // position, since every unsettled position lies after i, and takes the minimum's place.
    std::vector<std::uint32_t> start(static_cast<std::size_t>(current) + 2, 0);
    for (std::size_t i = 0; i < n; ++i)
        ++start[static_cast<std::size_t>(rank[i]) + 1];
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<std::uint32_t> heaps(n);
    std::vector<std::uint32_t> end(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        heaps[end[static_cast<std::size_t>(rank[i])]++] = static_cast<std::uint32_t>(i);
    const std::greater<std::uint32_t> later;
    std::size_t least = 0; // the least rank with positions left
    for (std::size_t i = 0; i < n; ++i) {
        while (end[least] == start[least])
            ++least;
        std::uint32_t* const top = heaps.data() + start[least];
        const std::size_t min = top[0];
        std::pop_heap(top, heaps.data() + end[least], later);
        --end[least];
        // Place i is settled; the item that was there moves to the minimum's place.
        if (min != i) {
            list.SwapAt(nodes[i], nodes[min]);
            const std::size_t moved = static_cast<std::size_t>(rank[i]);
            std::uint32_t* const own = heaps.data() + start[moved];
            std::pop_heap(own, heaps.data() + end[moved], later);
            heaps[end[moved] - 1] = static_cast<std::uint32_t>(min);
            std::push_heap(own, heaps.data() + end[moved], later);
            rank[min] = rank[i];
        }
    }
    return 1;
}
