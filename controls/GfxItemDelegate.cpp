#include "controls/GfxItemDelegate.h"

#include "controls/GfxListCtrl.h"
#include "controls/GfxListModel.h"
#include "controls/GfxMenuStyle.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QPainter>

CGfxItemDelegate::CGfxItemDelegate(CGfxListCtrl* grid) : QStyledItemDelegate(grid), m_pGrid(grid) {}

QSize CGfxItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    // Fixed row heights; no text is asked for to measure.
    return {m_pGrid->GetColumnWidth(index.column()), m_pGrid->GetRowHeight()};
}

void CGfxItemDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    CGfxListCtrl* g = m_pGrid;
    const int row = index.row(), column = index.column();
    if (g->IsGroupRow(row))
        return; // painted across the row by the grid
    QRect cell = option.rect;
    cell.setHeight(cell.height() - g->m_nFooterHeight);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = g->palette();
    const QColor grey(128, 128, 128);

    p->save();
    p->setClipRect(option.rect);
    p->fillRect(cell, selected ? g->m_crSelection : g->m_crRowBack);

    if (g->GetCategoryManager() && column == 0) {
        // The gutter of an item row under a group.
        p->fillRect(cell, g->m_crGroup);
        p->setPen(grey);
        p->drawLine(cell.topRight(), cell.bottomRight());
        p->restore();
        return;
    }

    const int id = g->GetColumnSubItem(column);
    const int format = g->m_pModel->Columns()[static_cast<std::size_t>(column)].format;
    std::string bytes;
    g->GetCellText(row, column, bytes);
    QString text = platform::Cp932ToQString(bytes);
    // No character is narrower than a pixel that counts: a huge text is cut before it is measured.
    if (text.size() > 2 * cell.width() + 8)
        text.truncate(2 * cell.width() + 8);

    QColor textColour = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
    QFont font = g->m_fontNormal;
    LXHDREX answer;
    const bool formatted = g->FormatCell(row, column, answer);
    if (formatted)
        g->ApplyFormatFont(answer, font);

    const bool cursor =
        (g->m_dwGfxStyle & GFXLS_CURSOR) && column == g->GetFocusedColumn() && row == g->GetFocusedRow();
    if (cursor && cell.width() > 4) {
        p->fillRect(column == 0 ? cell : cell.adjusted(-1, 0, 0, 0), g->m_crRowBack);
        textColour = pal.color(QPalette::ButtonText);
    }
    if (formatted && (answer.cFormat & GFXFMT_TEXTCOLOR))
        textColour = ToQColor(answer.crText);

    Qt::Alignment align = Qt::AlignLeft;
    if (format == LVCFMT_RIGHT)
        align = Qt::AlignRight;
    else if (format == LVCFMT_CENTER)
        align = Qt::AlignHCenter;

    const bool image = (g->m_dwGfxStyle & GFXLS_IMAGES) && (g->m_masks.image & GfxColumnBit(id));
    if (image) {
        const int n = platform::Atoi(bytes);
        const auto* images = g->m_pCellImages;
        if (images && n >= 0 && n < static_cast<int>(images->size()) && cell.width() > 1) {
            const QPixmap& pm = (*images)[static_cast<std::size_t>(n)];
            const int x = column == 0 ? cell.left() + 2 : cell.left() + (cell.width() - pm.width()) / 2;
            p->drawPixmap(x, cell.top() + (cell.height() - pm.height()) / 2, pm);
        }
    } else if (!text.isEmpty()) {
        const QRect tr = column == 0 ? cell.adjusted(2, 0, -2, 0) : cell.adjusted(6, 0, -6, 0);
        const QFontMetrics fm(font);
        if (column > 0 && formatted && (answer.cFormat & GFXFMT_BKCOLOR)) {
            const int w = std::min(fm.horizontalAdvance(text), tr.width());
            int left = tr.left();
            if (align == Qt::AlignRight)
                left = tr.right() - w;
            else if (align == Qt::AlignHCenter)
                left = tr.left() + (tr.width() - w) / 2;
            p->fillRect(QRect(left - 4, cell.top() + 3, w + 7, cell.height() - 7), ToQColor(answer.crBack));
        }
        p->setFont(font);
        p->setPen(textColour);
        const QString shown = column == 0 ? text : fm.elidedText(text, Qt::ElideRight, tr.width());
        p->drawText(tr, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }
    if (g->m_dwGfxStyle & GFXLS_VGRID) {
        p->setPen(grey);
        p->drawLine(cell.topRight(), cell.bottomRight());
    }
    p->restore();
}
