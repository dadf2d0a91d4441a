#pragma once
// The selection sort of an item list: for every node from the head, the smallest of the rest (the
// first of equals) is exchanged into it. The item orders use tolerances, so a library sort could
// not promise a consistent result; and exchanging the item pointers of two nodes keeps every
// position a caller holds valid.

#include "model/sheet/ItemList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
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
// key at the lowest position, which a tournament tree over the positions finds in log n, so the
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
    // Equal keys share a rank; a tree entry is the rank above the position, so the least entry is
    // the least key at the lowest position.
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
    std::size_t leaves = 1;
    while (leaves < n)
        leaves *= 2;
    constexpr std::uint64_t kSettled = ~std::uint64_t{0};
    std::vector<std::uint64_t> tree(2 * leaves, kSettled);
    for (std::size_t i = 0; i < n; ++i)
        tree[leaves + i] = rank[i] << 32 | i;
    for (std::size_t at = leaves - 1; at >= 1; --at)
        tree[at] = std::min(tree[2 * at], tree[2 * at + 1]);
    auto set = [&tree, leaves](std::size_t position, std::uint64_t value) {
        std::size_t at = leaves + position;
        tree[at] = value;
        for (at /= 2; at >= 1; at /= 2)
            tree[at] = std::min(tree[2 * at], tree[2 * at + 1]);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t min = static_cast<std::size_t>(tree[1] & 0xFFFFFFFFu);
        // Place i is settled; the item that was there moves to the minimum's place.
        if (min != i) {
            list.SwapAt(nodes[i], nodes[min]);
            set(min, rank[i] << 32 | min);
            rank[min] = rank[i];
        }
        set(i, kSettled);
    }
    return 1;
}
