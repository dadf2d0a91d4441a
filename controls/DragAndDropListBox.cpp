#include "controls/DragAndDropListBox.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

CDragAndDropListBox::CDragAndDropListBox(QWidget* parent) : CDragAndDropListBox(false, parent) {}

CDragAndDropListBox::CDragAndDropListBox(bool checkList, QWidget* parent)
    : QListWidget(parent), m_bCheckList(checkList)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(&m_timer, &QTimer::timeout, this, [this] { ScrollStep(m_bScrollDown); });
}

void CDragAndDropListBox::StopScroll()
{
    m_timer.stop();
    m_nScrollPeriod = 0;
}

void CDragAndDropListBox::AutoScroll(bool down, int distance)
{
    const int itemHeight = std::max(sizeHintForRow(0), 1);
    const int period = 250 / (distance / itemHeight + 1);
    if (period == m_nScrollPeriod && down == m_bScrollDown)
        return;
    m_bScrollDown = down;
    m_nScrollPeriod = period;
    m_timer.start(period);
    ScrollStep(down);
}

void CDragAndDropListBox::ScrollStep(bool down)
{
    QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() <= 0)
        return;
    const int n = count();
    if (down) {
        bar->setValue(bar->value() + 1);
        if (m_nDropIndex != -1) {
            ++m_nDropIndex;
            if (m_bCheckList ? m_nDropIndex >= n : m_nDropIndex == n)
                m_nDropIndex = -1;
        }
    } else if (bar->value() > 0) {
        bar->setValue(bar->value() - 1);
        m_nDropIndex = m_nDropIndex == -1 ? n - 1 : std::max(m_nDropIndex - 1, 0);
    }
    UpdateMarker();
}

void CDragAndDropListBox::SetDrop(int index)
{
    if (index == m_nDropIndex)
        return;
    m_nDropIndex = index;
    UpdateMarker();
}

void CDragAndDropListBox::UpdateMarker()
{
    // The marker stands at the top of the drop item, or under the last item for the end.
    int y = m_nMarkerY;
    if (m_bDragging && count() > 0) {
        const QRect r = m_nDropIndex == -1 ? visualRect(model()->index(count() - 1, 0))
                                           : visualRect(model()->index(m_nDropIndex, 0));
        const int candidate = m_nDropIndex == -1 ? r.bottom() + 1 : r.top() + 1;
        if (candidate >= 0 && candidate < viewport()->height())
            y = candidate;
    }
    m_nMarkerY = m_bDragging ? y : -1;
    viewport()->update();
}

void CDragAndDropListBox::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    m_nDragIndex = m_nDropIndex = m_nMarkerY = -1;
    m_bDragging = false;
    StopScroll();
    if (event->button() != Qt::LeftButton || count() < 2)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    m_nDragIndex = m_nDropIndex = index.row();
    setCurrentRow(index.row());
    m_bDragging = true;
    UpdateMarker();
}

void CDragAndDropListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton) || count() < 2) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int h = viewport()->height();
    if (pos.y() < 0) {
        AutoScroll(false, -pos.y());
        return;
    }
    if (pos.y() >= h) {
        AutoScroll(true, pos.y() - h + 1);
        return;
    }
    StopScroll();
    const QModelIndex index = indexAt(QPoint(viewport()->width() / 2, pos.y()));
    SetDrop(index.isValid() ? index.row() : -1);
}

void CDragAndDropListBox::EndDrag()
{
    StopScroll();
    m_bDragging = false;
    m_nDragIndex = m_nDropIndex = m_nMarkerY = -1;
    viewport()->update();
}

void CDragAndDropListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_bDragging || event->button() != Qt::LeftButton) {
        QListWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_bCheckList)
        QListWidget::mouseReleaseEvent(event); // the check box of the pressed item
    StopScroll();
    m_bDragging = false;
    const QPoint pos = event->position().toPoint();
    const bool inside = viewport()->rect().contains(pos);
    const bool move = inside || (pos.y() >= viewport()->height() && m_nDropIndex == -1) ||
                      (pos.y() < 0 && m_nDropIndex == 0);
    if (move && m_nDragIndex != m_nDropIndex && m_nDragIndex >= 0) {
        const int top = verticalScrollBar()->value();
        QListWidgetItem* item = takeItem(m_nDragIndex); // text, data and check state travel along
        int target;
        if (m_nDropIndex == -1) {
            addItem(item);
            target = count() - 1;
        } else if (m_nDragIndex < m_nDropIndex) {
            target = m_nDropIndex - 1;
            insertItem(target, item);
        } else {
            target = m_nDropIndex;
            insertItem(target, item);
        }
        setCurrentRow(target);
        verticalScrollBar()->setValue(top);
    }
    EndDrag();
    emit selChange();
}

void CDragAndDropListBox::keyPressEvent(QKeyEvent* event)
{
    if (!m_bDragging) {
        QListWidget::keyPressEvent(event);
        return;
    }
    const int n = count();
    QScrollBar* bar = verticalScrollBar();
    int key = event->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && horizontalScrollBar()->maximum() <= 0)
        key = key == Qt::Key_Left ? Qt::Key_Up : Qt::Key_Down;
    int drop = m_nDropIndex;
    switch (key) {
    case Qt::Key_PageUp:
        bar->setValue(std::max(bar->value() - 10, 0));
        drop = std::max((drop == -1 ? n : drop) - 10, 0);
        break;
    case Qt::Key_PageDown:
        bar->setValue(std::min(bar->value() + 10, n - 1));
        if (drop != -1 && (drop += 10) >= n)
            drop = -1;
        break;
    case Qt::Key_End:
        scrollToBottom();
        drop = -1;
        break;
    case Qt::Key_Home:
        scrollToTop();
        drop = 0;
        break;
    case Qt::Key_Up:
        bar->setValue(std::max(bar->value() - 1, 0));
        drop = drop == -1 ? n - 1 : std::max(drop - 1, 0);
        break;
    case Qt::Key_Down:
        bar->setValue(bar->value() + 1);
        if (drop != -1 && ++drop >= n)
            drop = -1;
        break;
    default:
        QListWidget::keyPressEvent(event);
        return;
    }
    m_nDropIndex = drop;
    UpdateMarker();
}

void CDragAndDropListBox::wheelEvent(QWheelEvent* event)
{
    if (!m_bDragging) {
        QListWidget::wheelEvent(event);
        return;
    }
    const bool towardUser = event->angleDelta().y() < 0;
    const bool horizontal = verticalScrollBar()->maximum() <= 0 && horizontalScrollBar()->maximum() > 0;
    const Qt::Key key =
        horizontal ? (towardUser ? Qt::Key_Right : Qt::Key_Left) : (towardUser ? Qt::Key_Down : Qt::Key_Up);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        keyPressEvent(&press);
    }
    event->accept();
}

void CDragAndDropListBox::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (!m_bDragging || m_nMarkerY < 0)
        return;
    QPainter p(viewport());
    p.setPen(QPen(palette().color(QPalette::Text), 2));
    p.drawLine(0, m_nMarkerY, viewport()->width(), m_nMarkerY);
}
