#include "controls/GfxColumnManager.h"

#include "controls/GfxListCtrl.h"
#include "platform/Numbers.h"

#include <algorithm>

int CGfxColumnManager::AddColumn(int id, const std::string& caption, const std::string& text2, int format,
                                 int width, std::uint32_t flags, int image, const std::string& imageText)
{
    m_columns.push_back(CGfxColumn{id, format, width, image, flags, caption, text2, imageText});
    return static_cast<int>(m_columns.size()) - 1;
}

int CGfxColumnManager::FindColumn(int id) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool CGfxColumnManager::SetColumnOrder(int count, const int* ids)
{
    m_order.clear();
    if (count < 1 || !ids)
        return false;
    m_order.assign(ids, ids + count);
    return true;
}

GfxColumnLayout CGfxColumnManager::BuildLayout() const
{
    GfxColumnLayout layout;
    GfxColumnMasks& m = layout.masks;
    for (int id : m_order) {
        const int index = FindColumn(id);
        if (index < 0)
            continue;
        CGfxColumn column = m_columns[static_cast<std::size_t>(index)];
        const std::uint32_t bit = GfxColumnBit(id);
        const std::uint32_t f = column.flags;
        if (f & GFXCOL_DROPLIST)
            m.dropList |= bit;
        if (f & GFXCOL_DROPEDIT)
            m.dropEdit |= bit;
        if (f & GFXCOL_TEXTEDIT)
            m.textEdit |= bit;
        if (f & GFXCOL_SORTINT)
            m.intSort |= bit;
        if (f & GFXCOL_SORTREAL)
            m.realSort |= bit;
        if (f & GFXCOL_SORTABLE)
            m.sortState |= bit;
        if (f & GFXCOL_IMAGE)
            m.image |= bit;
        if (f & GFXCOL_NOSORTMARK)
            m.noMark |= bit;
        if (f & GFXCOL_FIXEDWIDTH)
            m.fixedWidth |= bit;
        if (f & GFXCOL_HEADERIMAGE)
            column.caption = platform::Format("%d__", column.image);
        layout.columns.push_back(std::move(column));
    }
    return layout;
}

bool CGfxColumnManager::InsertColumns(CGfxListCtrl* list) const
{
    if (!list || !list->GetHeaderCtrl())
        return false;
    list->SetColumnLayout(BuildLayout());
    return true;
}

bool CGfxColumnManager::ReadHeaderLayout(const CGfxListCtrl* list)
{
    if (!list || !list->GetHeaderCtrl())
        return false;
    std::vector<std::pair<int, int>> idWidths;
    for (int c = 0; c < list->GetColumnCount(); ++c)
        idWidths.emplace_back(list->GetColumnSubItem(c), list->GetColumnWidth(c));
    ReadLayout(idWidths);
    return true;
}

void CGfxColumnManager::ReadLayout(const std::vector<std::pair<int, int>>& idWidths)
{
    if (m_order.size() < idWidths.size())
        m_order.resize(idWidths.size(), 0);
    for (std::size_t i = idWidths.size(); i-- > 0;) {
        const auto [id, width] = idWidths[i];
        m_order[i] = id;
        if (int index = FindColumn(id); index >= 0)
            m_columns[static_cast<std::size_t>(index)].width = width;
    }
}
