#include "controls/GfxCategoryManager.h"

#include "platform/Numbers.h"

#include <algorithm>

std::string CGfxCategoryManager::Caption(const GfxCategoryGroup& group)
{
    const int count = static_cast<int>(group.items.size());
    return platform::Format("Categoria: %s (%d element%c)", group.name.c_str(), count,
                            count == 1 ? 'o' : 'i');
}

void CGfxCategoryManager::Build(std::vector<GfxListRow>& rows)
{
    m_items.clear();
    for (const GfxListRow& row : rows)
        if (row.group < 0)
            m_items.push_back(row.data);
    if (m_pfnFill) {
        for (std::intptr_t& data : m_items)
            m_pfnFill(*this, data);
    } else if (m_pfnFillRecordset) {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            m_items[i] = static_cast<std::intptr_t>(i);
        m_pfnFillRecordset(*this);
    }
    Rebuild(rows);
}

void CGfxCategoryManager::Rebuild(std::vector<GfxListRow>& rows) const
{
    rows.clear();
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        rows.push_back(GfxListRow{0, static_cast<int>(g), {}});
        if (m_groups[g].expanded)
            for (std::intptr_t data : m_groups[g].items)
                rows.push_back(GfxListRow{data, -1, {}});
    }
}

void CGfxCategoryManager::RemoveGroups(std::vector<GfxListRow>& rows)
{
    rows.clear();
    for (std::intptr_t data : m_items)
        rows.push_back(GfxListRow{data, -1, {}});
    for (GfxCategoryGroup& group : m_groups)
        group.items.clear();
}

int CGfxCategoryManager::FindGroup(const std::vector<GfxListRow>& rows, int row) const
{
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return -1;
    const int g = rows[static_cast<std::size_t>(row)].group;
    return g >= 0 && g < static_cast<int>(m_groups.size()) ? g : -1;
}

void CGfxCategoryManager::Expand(int group, int row, std::vector<GfxListRow>& rows) const
{
    if (group < 0 || group >= static_cast<int>(m_groups.size()) || row < 0 ||
        row >= static_cast<int>(rows.size()))
        return;
    std::vector<GfxListRow> items;
    for (std::intptr_t data : m_groups[static_cast<std::size_t>(group)].items)
        items.push_back(GfxListRow{data, -1, {}});
    rows.insert(rows.begin() + row + 1, items.begin(), items.end());
}

void CGfxCategoryManager::Collapse(int, int row, std::vector<GfxListRow>& rows) const
{
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return;
    auto first = rows.begin() + row + 1;
    auto last = std::find_if(first, rows.end(), [](const GfxListRow& r) { return r.group >= 0; });
    rows.erase(first, last);
}

bool CGfxCategoryManager::Toggle(int row, std::vector<GfxListRow>& rows)
{
    const int g = FindGroup(rows, row);
    if (g < 0)
        return false;
    GfxCategoryGroup& group = m_groups[static_cast<std::size_t>(g)];
    if (group.expanded)
        Collapse(g, row, rows);
    else
        Expand(g, row, rows);
    group.expanded = !group.expanded;
    return true;
}

int CGfxCategoryManager::InsertItem(std::vector<GfxListRow>& rows, std::intptr_t data)
{
    m_items.push_back(data);
    std::vector<std::size_t> counts;
    for (const GfxCategoryGroup& group : m_groups)
        counts.push_back(group.items.size());
    const std::size_t oldGroups = m_groups.size();
    if (m_pfnFill)
        m_pfnFill(*this, m_items.back());

    int inserted = -1;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (g < oldGroups && m_groups[g].items.size() == counts[g])
            continue;
        auto caption = std::find_if(rows.begin(), rows.end(),
                                    [&](const GfxListRow& r) { return r.group == static_cast<int>(g); });
        if (caption == rows.end()) {
            rows.push_back(GfxListRow{0, static_cast<int>(g), {}});
            continue;
        }
        if (m_groups[g].expanded && !m_groups[g].items.empty()) {
            const auto at = caption - rows.begin() + 1;
            rows.insert(rows.begin() + at, GfxListRow{m_groups[g].items.back(), -1, {}});
            inserted = static_cast<int>(at);
        }
    }
    return inserted;
}
