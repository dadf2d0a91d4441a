// The cached part list and the bounds of the board's parts and vias.

#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

void CVELTADoc::BuildPartList(bool plain)
{
    m_partList.clear();
    bool allUnnamed = true; // every part listed so far has an empty reference
    for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_viaPartSheet.GetNextPart(pos);
        if ((part->GetType() & PART_PLACED) == 0)
            continue;
        const bool unnamed = part->GetRefName().empty();
        if (!plain && unnamed && !allUnnamed)
            continue;
        part->ResetTerDisNetID();
        m_partList.push_back(part);
        allUnnamed = allUnnamed && unnamed;
    }
    if (!plain)
        SetNetTerminals();
}

namespace {

struct RefKey
{
    std::string prefix;
    std::string suffix;
    int number = 0;
};

// As CPart::CompareRef: prefix without case, then number, then suffix without case. Each is a
// total order, so this orders the keys strictly and weakly.
int CompareKeys(const RefKey& a, const RefKey& b)
{
    if (int c = platform::MbsICmp(a.prefix, b.prefix))
        return c;
    if (a.number != b.number)
        return a.number < b.number ? -1 : 1;
    return platform::MbsICmp(a.suffix, b.suffix);
}

} // namespace

void CVELTADoc::SortPartsByRef()
{
    WaitCursor wait(m_pHost);
    // The order a selection sort gives (the first smallest of the rest swapped into place), which
    // is also how parts with equal references end up: each reference split once, the references
    // ranked by a sort, and the first smallest of the rest found in a tree of minima.
    const std::size_t n = m_partList.size();
    if (n < 2)
        return;
    std::vector<RefKey> keys(n);
    for (std::size_t i = 0; i < n; ++i)
        m_partList[i]->GetRefName(keys[i].prefix, keys[i].suffix, keys[i].number);
    std::vector<std::size_t> byKey(n);
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::sort(byKey.begin(), byKey.end(),
              [&](std::size_t a, std::size_t b) { return CompareKeys(keys[a], keys[b]) < 0; });
    std::vector<std::size_t> rank(n, 0); // equal references share a rank
    for (std::size_t k = 1; k < n; ++k)
        rank[byKey[k]] = rank[byKey[k - 1]] + (CompareKeys(keys[byKey[k - 1]], keys[byKey[k]]) != 0 ? 1 : 0);

    // Minimum (rank, position) over the positions not yet settled.
    using Entry = std::pair<std::size_t, std::size_t>;
    const Entry settled{SIZE_MAX, SIZE_MAX};
    std::size_t leaves = 1;
    while (leaves < n)
        leaves *= 2;
    std::vector<Entry> tree(2 * leaves, settled);
    std::vector<std::size_t> from(n); // the part now at a position: its index before sorting
    for (std::size_t pos = 0; pos < n; ++pos) {
        tree[leaves + pos] = {rank[pos], pos};
        from[pos] = pos;
    }
    for (std::size_t k = leaves - 1; k >= 1; --k)
        tree[k] = std::min(tree[2 * k], tree[2 * k + 1]);
    auto set = [&](std::size_t pos, Entry entry) {
        std::size_t k = leaves + pos;
        tree[k] = entry;
        for (k /= 2; k >= 1; k /= 2)
            tree[k] = std::min(tree[2 * k], tree[2 * k + 1]);
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::size_t smallest = tree[1].second;
        if (smallest != i) {
            std::swap(m_partList[i], m_partList[smallest]);
            std::swap(from[i], from[smallest]);
            set(smallest, {rank[from[smallest]], smallest});
        }
        set(i, settled);
    }
}

void CVELTADoc::ResetPartBoundRects(int set)
{
    if (set == 0 || set == 3)
        m_viaPartSheet.ResetPartBoundRect();
    if (set == 2 || set == 6 || set == 3)
        m_selViaPartSheet.ResetPartBoundRect();
    if (set == 5 || set == 3)
        m_repViaPartSheet.ResetPartBoundRect();
}

void CVELTADoc::ResetViaBounds()
{
    for (CSheet* sheet : {&m_viaPartSheet, &m_selViaPartSheet})
        for (POSITION pos = sheet->GetFirstViaPos(); pos;)
            sheet->GetNextVia(pos)->ResetBounding();
}
