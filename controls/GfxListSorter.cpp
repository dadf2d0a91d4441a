#include "controls/GfxListSorter.h"

#include "controls/GfxSortItem.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <numeric>

struct CGfxListSorter::Key
{
    explicit Key(std::string_view text) : item(text) {}
    Key(double v) : item(std::string_view()), value(v) {}
    CGfxSortItem item;
    double value = 0.0;
};

CGfxListSorter::CGfxListSorter(int rowCount, const std::function<std::string(int)>& textOf, bool integer,
                               bool real)
    : m_kind(real      ? KeyKind::Real
             : integer ? KeyKind::Integer
                       : KeyKind::Text)
{
    m_keys.reserve(static_cast<std::size_t>(std::max(rowCount, 0)));
    for (int row = 0; row < rowCount; ++row) {
        const std::string text = textOf(row);
        switch (m_kind) {
        case KeyKind::Real:
            // Compared as doubles, so values beyond 16.16 fixed point keep their order.
            m_keys.emplace_back(platform::Atof(text));
            break;
        case KeyKind::Integer:
            m_keys.emplace_back(static_cast<double>(platform::Atoi(text)));
            break;
        case KeyKind::Text:
            m_keys.emplace_back(std::string_view(text));
            break;
        }
    }
}

CGfxListSorter::~CGfxListSorter() = default;

std::vector<int> CGfxListSorter::Sort(bool ascending) const
{
    std::vector<int> order(m_keys.size());
    std::iota(order.begin(), order.end(), 0);
    if (m_kind == KeyKind::Text) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = CGfxSortItem::Compare(m_keys[a].item, m_keys[b].item);
            return ascending ? c < 0 : c > 0;
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return ascending ? m_keys[a].value < m_keys[b].value : m_keys[a].value > m_keys[b].value;
        });
    }
    return order;
}
