// The sheet's sorts of lands, terminals, holes, lines and texts, and the ordering of lines along a
// cutter path. All are the selection sort of ItemSort.h, which keeps every position a caller holds
// valid.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/ItemSort.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

// The same sort over keys computed once, for orders given by a number of each item.
template <class Key> int SelectionSortByKey(CItemList& list, std::vector<Key> keys)
{
    if (list.IsEmpty())
        return 0;
    std::vector<POSITION> nodes;
    nodes.reserve(keys.size());
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos))
        nodes.push_back(pos);
    const std::size_t n = nodes.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t min = i;
        for (std::size_t j = i + 1; j < n; ++j)
            if (keys[j] < keys[min])
                min = j;
        if (min != i) {
            std::swap(keys[i], keys[min]);
            list.SwapAt(nodes[i], nodes[min]);
        }
    }
    return 1;
}

} // namespace

int CSheet::SortLand()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CLand>(*ListOf(KIND_LAND));
}

int CSheet::SortTerNo()
{
    InvalidateIndex(); // the lists change order
    CItemList& list = *ListOf(KIND_TER);
    std::vector<std::int32_t> keys;
    keys.reserve(static_cast<std::size_t>(list.GetCount()));
    // A number without leading digits ("A1") counts 0.
    for (CItemBase* item : list)
        keys.push_back(platform::Atoi(static_cast<CTer*>(item)->GetNo()));
    return SelectionSortByKey(list, std::move(keys));
}

int CSheet::SortHole()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CHole>(*ListOf(KIND_HOLE));
}

int CSheet::SortLine()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CLine>(*ListOf(KIND_LINE));
}

int CSheet::SortText()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CText>(*ListOf(KIND_TEXT));
}

int CSheet::SortLinebyFxPoint(const CLine& reference)
{
    InvalidateIndex(); // the lists change order
    CItemList& list = *ListOf(KIND_LINE);
    const int count = list.GetCount();
    if (count == 0)
        return 0;
    if (count == 1)
        return 1;
    // Copies of the lines turned about the reference's start so that the reference runs along +x:
    // each line's recorded crossing then lies at the x of its ratio point. Turning a whole copy of
    // the sheet would turn these lines the same way; the other kinds play no part.
    CLine ref(reference);
    const double angle = ref.GetAngle();
    const CDPoint centre = ref.GetStartPoint();
    std::vector<std::uint32_t> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (CItemBase* item : list) {
        CLine copy(*static_cast<CLine*>(item));
        copy.SetParent(nullptr);
        copy.Rotate(centre, -angle);
        // The 16.16 value as its 32-bit word, compared unsigned (crossings left of the start sort
        // after every crossing right of it).
        const FIXED x = copy.GetFxRatioX();
        keys.push_back((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x.value)) << 16) | x.fract);
    }
    SelectionSortByKey(list, std::move(keys));
    return 1;
}
