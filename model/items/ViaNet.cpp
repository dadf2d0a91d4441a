// The via's part in joining copper groups across layers.

#include "model/items/Via.h"

#include "model/items/ContactSupport.h"

#include <algorithm>

int CVia::CheckNet(int layers, std::vector<std::uint32_t>* groups) const
{
    if (!groups)
        return 0;
    // The via's ids in position order, each once.
    std::vector<std::uint32_t> ids;
    for (int k = 1; k <= layers; ++k) {
        const std::uint32_t id = GetLayerID(k);
        if (id != 0 && std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    if (ids.empty())
        return 0;

    std::vector<std::uint32_t>& list = *groups;
    std::size_t begin = 0;
    while (begin < list.size()) {
        // A run may open with the header -1, part id, internal index; its ids follow.
        std::size_t first = begin;
        if (list[begin] == 0xFFFFFFFFu)
            first = std::min(begin + 3, list.size());
        std::size_t end = first;
        while (end < list.size() && list[end] != 0)
            ++end;
        if (contact::JoinGroupRun(list, first, end, ids))
            return 1;
        begin = end + 1;
    }
    if (ids.size() < 2)
        return 0;
    list.insert(list.end(), ids.begin(), ids.end());
    list.push_back(0);
    return 1;
}
