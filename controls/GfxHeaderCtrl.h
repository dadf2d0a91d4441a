#pragma once
// The grid's column header: painted sections (caption or image, sort mark, pressed look), the sort
// column with each column's last direction, and fixed-width columns that cannot be resized.

#include <QHeaderView>
#include <QPixmap>
#include <cstdint>
#include <functional>
#include <vector>

class CGfxHeaderCtrl : public QHeaderView
{
    Q_OBJECT

public:
    explicit CGfxHeaderCtrl(QWidget* parent = nullptr);

    // Makes column the sort column with that direction; returns the previous sort column.
    int SetSortColumn(int column, bool ascending);
    int GetSortColumn() const { return m_nSortColumn; }
    // The direction of the column's last sort, kept by column id.
    bool IsSortAscending(int column) const;
    void SetSortState(int column, bool ascending);

    void SetImageList(const std::vector<QPixmap>* images) { m_pImages = images; }
    // The column id of a section (its header data).
    int ColumnId(int section) const;

    // Column dragging: off unless switched on; the callback moves the column and may change both
    // indexes.
    void SetDropCallback(std::function<void(int* from, int* to)> callback)
    {
        m_pfnDrop = std::move(callback);
    }
    bool m_bDragColumns = false;

    std::uint32_t m_dwSortState = 0; // bit per column id: last sort ascending
    std::uint32_t m_dwNoMark = 0;    // bit per column id: never a sort mark
    std::uint32_t m_dwFixed = 0;     // bit per column id: fixed width

    // Fixed-width sections take no resize cursor and no double-click sizing.
    void ApplyFixedWidths();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int DropIndexAt(int x) const;

    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
    const std::vector<QPixmap>* m_pImages = nullptr;
    int m_nPressed = -1;
    bool m_bDragArmed = false;
    bool m_bDragging = false;
    int m_nDragColumn = -1;
    int m_nDropIndex = -1;
    std::function<void(int*, int*)> m_pfnDrop;
};
