#pragma once
// Paints the cells of a grid: row and cursor backgrounds, the owner's cell formats, image cells,
// texts and vertical grid lines. Group rows and what spans a whole row are painted by the grid.

#include <QStyledItemDelegate>

class CGfxListCtrl;

class CGfxItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CGfxItemDelegate(CGfxListCtrl* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CGfxListCtrl* m_pGrid;
};
