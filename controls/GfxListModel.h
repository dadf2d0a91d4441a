#pragma once
// The grid's model: rows are data words (or group caption rows), columns the grid's column
// definitions in display order. Cell texts are asked of the grid's owner when Qt asks for them,
// so only painted rows cost a call.

#include "controls/GfxCategoryManager.h"
#include "controls/GfxColumnManager.h"

#include <QAbstractTableModel>
#include <vector>

class CGfxListCtrl;

class CGfxListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CGfxListModel(CGfxListCtrl* grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    std::vector<GfxListRow>& Rows() { return m_rows; }
    const std::vector<GfxListRow>& Rows() const { return m_rows; }
    std::vector<CGfxColumn>& Columns() { return m_columns; }
    const std::vector<CGfxColumn>& Columns() const { return m_columns; }

    void SetColumns(std::vector<CGfxColumn> columns);
    void InsertRow(int row, GfxListRow value);
    void RemoveRow(int row);
    void MoveColumn(int from, int to);
    // Puts the rows in the given order (old indexes), keeping selection and current row on theirs.
    void Reorder(const std::vector<int>& order);
    // The rows were rebuilt as a whole (categories).
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void RowChanged(int row);

private:
    CGfxListCtrl* m_pGrid;
    std::vector<GfxListRow> m_rows;
    std::vector<CGfxColumn> m_columns;
};
