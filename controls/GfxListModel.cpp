#include "controls/GfxListModel.h"

#include "controls/GfxListCtrl.h"
#include "platform/qt/QtText.h"

CGfxListModel::CGfxListModel(CGfxListCtrl* grid) : QAbstractTableModel(grid), m_pGrid(grid) {}

int CGfxListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CGfxListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CGfxListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    std::string text;
    m_pGrid->GetCellText(index.row(), index.column(), text);
    return platform::Cp932ToQString(text);
}

QVariant CGfxListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_columns.size()))
        return {};
    const CGfxColumn& c = m_columns[static_cast<std::size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return platform::Cp932ToQString(c.caption);
    case Qt::UserRole:
        return c.id;
    case Qt::TextAlignmentRole:
        return c.format;
    default:
        return {};
    }
}

void CGfxListModel::SetColumns(std::vector<CGfxColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void CGfxListModel::InsertRow(int row, GfxListRow value)
{
    row = std::clamp(row, 0, static_cast<int>(m_rows.size()));
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, std::move(value));
    endInsertRows();
}

void CGfxListModel::RemoveRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CGfxListModel::MoveColumn(int from, int to)
{
    const int n = static_cast<int>(m_columns.size());
    if (from < 0 || from >= n || to < 0 || to > n || to == from || to == from + 1)
        return;
    beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to);
    CGfxColumn c = m_columns[static_cast<std::size_t>(from)];
    m_columns.erase(m_columns.begin() + from);
    m_columns.insert(m_columns.begin() + (to > from ? to - 1 : to), std::move(c));
    endMoveColumns();
}

void CGfxListModel::Reorder(const std::vector<int>& order)
{
    if (order.size() != m_rows.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    std::vector<GfxListRow> rows;
    rows.reserve(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRow[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        rows.push_back(std::move(m_rows[static_cast<std::size_t>(order[i])]));
    }
    m_rows = std::move(rows);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(index(newRow[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CGfxListModel::RowChanged(int row)
{
    if (row >= 0 && row < static_cast<int>(m_rows.size()) && !m_columns.empty())
        emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
}
