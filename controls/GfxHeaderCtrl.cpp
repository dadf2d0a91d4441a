#include "controls/GfxHeaderCtrl.h"

#include "controls/GfxColumnManager.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

CGfxHeaderCtrl::CGfxHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int CGfxHeaderCtrl::ColumnId(int section) const
{
    if (!model() || section < 0 || section >= count())
        return -1;
    return model()->headerData(section, Qt::Horizontal, Qt::UserRole).toInt();
}

int CGfxHeaderCtrl::SetSortColumn(int column, bool ascending)
{
    const int previous = m_nSortColumn;
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    SetSortState(column, ascending);
    viewport()->update();
    return previous;
}

bool CGfxHeaderCtrl::IsSortAscending(int column) const
{
    const int id = ColumnId(column);
    return id >= 0 && (m_dwSortState & GfxColumnBit(id)) != 0;
}

void CGfxHeaderCtrl::SetSortState(int column, bool ascending)
{
    const int id = ColumnId(column);
    if (id < 0)
        return;
    if (ascending)
        m_dwSortState |= GfxColumnBit(id);
    else
        m_dwSortState &= ~GfxColumnBit(id);
}

void CGfxHeaderCtrl::ApplyFixedWidths()
{
    for (int s = 0; s < count(); ++s) {
        const int id = ColumnId(s);
        const bool fixed = id >= 0 && (m_dwFixed & GfxColumnBit(id));
        setSectionResizeMode(s, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
    }
}

void CGfxHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    painter->setClipRect(rect);
    const QPalette& pal = palette();
    painter->fillRect(rect, pal.color(QPalette::Button));
    // Raised edge of a header button.
    painter->setPen(pal.color(QPalette::Light));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(pal.color(QPalette::Dark));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const QFontMetrics fm(font());
    const int u = std::max(1, fm.horizontalAdvance(QLatin1Char(' ')));
    const QString text = model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString();
    const int format = model()->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
    const int id = ColumnId(logicalIndex);
    const bool mark = logicalIndex == m_nSortColumn && id >= 0 && !(m_dwNoMark & GfxColumnBit(id));

    QRect r = rect;
    if (logicalIndex == m_nPressed)
        r.adjust(1, 2, 1, 0);

    if (m_pImages && text.endsWith(QLatin1String("__"))) {
        const int image = text.left(text.size() - 2).toInt();
        if (image >= 0 && image < static_cast<int>(m_pImages->size())) {
            const QPixmap& pm = (*m_pImages)[static_cast<std::size_t>(image)];
            if (r.width() >= pm.width())
                painter->drawPixmap(r.left() + (r.width() - pm.width()) / 2,
                                    r.top() + (r.height() - pm.height()) / 2, pm);
        }
    } else {
        QRect t = r;
        if (mark)
            t.setRight(t.right() - 6 * u);
        t.adjust(2 * u, 0, -2 * u, 0);
        if (t.width() > 0) {
            Qt::Alignment align = Qt::AlignLeft;
            if (format == LVCFMT_CENTER)
                align = Qt::AlignHCenter;
            else if (format == LVCFMT_RIGHT)
                align = Qt::AlignRight;
            painter->setPen(pal.color(QPalette::ButtonText));
            painter->drawText(t, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine),
                              fm.elidedText(text, Qt::ElideRight, t.width()));
        }
    }

    if (mark) {
        const int R = r.right(), B = r.bottom();
        const QPen light(pal.color(QPalette::Light)), shadow(pal.color(QPalette::Dark));
        if (m_bSortAscending) {
            painter->setPen(light);
            painter->drawLine(R - 4 * u, r.top() + 2 * u - 1, R - 3 * u, B - 2 * u);
            painter->drawLine(R - 3 * u, B - 2 * u, R - 5 * u - 2, B - 2 * u);
            painter->setPen(shadow);
            painter->drawLine(R - 5 * u - 1, B - 2 * u - 1, R - 4 * u, r.top() + 2 * u - 2);
        } else {
            painter->setPen(light);
            painter->drawLine(R - 3 * u, r.top() + 2 * u - 1, R - 4 * u - 1, B - 2 * u + 1);
            painter->setPen(shadow);
            painter->drawLine(R - 4 * u - 1, B - 2 * u, R - 5 * u - 1, r.top() + 2 * u - 1);
            painter->drawLine(R - 5 * u - 1, r.top() + 2 * u - 1, R - 3 * u, r.top() + 2 * u - 1);
        }
    }
    if (m_bDragging && logicalIndex == m_nDragColumn) {
        painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter->fillRect(rect, Qt::white);
    }
    painter->restore();
}

int CGfxHeaderCtrl::DropIndexAt(int x) const
{
    int right = 0;
    for (int s = 0; s < count(); ++s) {
        right += sectionSize(s);
        if (x < right - offset())
            return s;
    }
    return count();
}

void CGfxHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    const int section = logicalIndexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_nPressed = section;
        if (m_bDragColumns && section >= 0) {
            m_bDragArmed = true;
            m_nDragColumn = section;
        }
    }
    QHeaderView::mousePressEvent(event);
    viewport()->update();
}

void CGfxHeaderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        m_bDragArmed = m_bDragging = false;
    } else if (m_bDragArmed && !m_bDragging) {
        m_bDragging = true;
        m_nDropIndex = -1;
        viewport()->update();
    }
    if (m_bDragging) {
        const int drop = DropIndexAt(static_cast<int>(event->position().x()));
        if (drop != m_nDropIndex) {
            m_nDropIndex = drop;
            viewport()->update();
        }
        return; // no resizing or clicking while a column is dragged
    }
    QHeaderView::mouseMoveEvent(event);
}

void CGfxHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    m_nPressed = -1;
    if (m_bDragging) {
        m_bDragging = m_bDragArmed = false;
        int from = m_nDragColumn, to = m_nDropIndex;
        if (to >= 0 && to != from && to != from + 1 && m_pfnDrop) {
            const int sort = m_nSortColumn;
            m_pfnDrop(&from, &to);
            // The sort mark stays on the column it was on.
            const int moved = to > from ? to - 1 : to;
            if (sort == from)
                m_nSortColumn = moved;
            else if (from < sort && sort <= moved)
                m_nSortColumn = sort - 1;
            else if (moved <= sort && sort < from)
                m_nSortColumn = sort + 1;
        }
        viewport()->update();
        return;
    }
    m_bDragArmed = false;
    QHeaderView::mouseReleaseEvent(event);
    viewport()->update();
}

void CGfxHeaderCtrl::paintEvent(QPaintEvent* event)
{
    QHeaderView::paintEvent(event);
    if (!m_bDragging || m_nDropIndex < 0)
        return;
    // Red drop marker at the boundary before the drop column.
    int x = -offset();
    for (int s = 0; s < m_nDropIndex && s < count(); ++s)
        x += sectionSize(s);
    const int h = viewport()->height();
    QPainter p(viewport());
    p.setPen(Qt::red);
    p.setBrush(Qt::red);
    p.drawPolygon(QPolygon({QPoint(x, h - 8), QPoint(x - 3, h - 1), QPoint(x + 3, h - 1)}));
}
