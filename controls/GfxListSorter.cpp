#include "controls/GfxListSorter.h"

#include "controls/GfxSortItem.h"
#include "platform/Numbers.h"

#include <algorithm>

struct CGfxListSorter::TextKey
{
    CGfxSortItem item;
    int row;
};

CGfxListSorter::CGfxListSorter(int rowCount, const std::function<std::string(int)>& textOf, bool integer,
                               bool real)
    : m_kind(real      ? KeyKind::Real
             : integer ? KeyKind::Integer
                       : KeyKind::Text)
{
    const auto n = static_cast<std::size_t>(std::max(rowCount, 0));
    if (m_kind == KeyKind::Text)
        m_textKeys.reserve(n);
    else
        m_numberKeys.reserve(n);
    for (int row = 0; row < rowCount; ++row) {
        const std::string text = textOf(row);
        switch (m_kind) {
        case KeyKind::Real:
            // Compared as doubles, so values beyond 16.16 fixed point keep their order.
            m_numberKeys.push_back(NumberKey{platform::Atof(text), row});
            break;
        case KeyKind::Integer:
            m_numberKeys.push_back(NumberKey{static_cast<double>(platform::Atoi(text)), row});
            break;
        case KeyKind::Text:
            m_textKeys.push_back(TextKey{CGfxSortItem(text), row});
            break;
        }
    }
}

CGfxListSorter::~CGfxListSorter() = default;

std::vector<int> CGfxListSorter::Sort(bool ascending)
{
    std::vector<int> order;
    if (m_kind == KeyKind::Text) {
        std::stable_sort(m_textKeys.begin(), m_textKeys.end(),
                         [ascending](const TextKey& a, const TextKey& b) {
                             const int c = CGfxSortItem::Compare(a.item, b.item);
                             return ascending ? c < 0 : c > 0;
                         });
        order.reserve(m_textKeys.size());
        for (const TextKey& k : m_textKeys)
            order.push_back(k.row);
    } else {
        std::stable_sort(m_numberKeys.begin(), m_numberKeys.end(),
                         [ascending](const NumberKey& a, const NumberKey& b) {
                             return ascending ? a.value < b.value : a.value > b.value;
                         });
        order.reserve(m_numberKeys.size());
        for (const NumberKey& k : m_numberKeys)
            order.push_back(k.row);
    }
    return order;
}
