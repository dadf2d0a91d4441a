#include "libui/CheckListBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Takes the row boxes' clicks and keys from the view so that they follow the list's own cycle.
class CheckCycleDelegate : public QStyledItemDelegate
{
public:
    explicit CheckCycleDelegate(CCheckListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (!(index.flags() & Qt::ItemIsUserCheckable) || !(index.flags() & Qt::ItemIsEnabled))
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                return false;
            QStyleOptionViewItem opt(option);
            initStyleOption(&opt, index);
            const QWidget* widget = option.widget;
            QStyle* style = widget ? widget->style() : QApplication::style();
            const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
            if (!box.contains(mouse->position().toPoint()))
                return false;
            if (event->type() == QEvent::MouseButtonRelease)
                m_list->CycleRow(index.row());
            return true;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Space && key != Qt::Key_Select)
                return false;
            m_list->CycleRow(index.row());
            return true;
        }
        default:
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        }
    }

private:
    CCheckListBox* m_list;
};

Qt::CheckState ToCheckState(int state, bool triState)
{
    if (state == 1)
        return Qt::Checked;
    return state != 0 && triState ? Qt::PartiallyChecked : Qt::Unchecked;
}

} // namespace

CCheckListBox::CCheckListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CheckCycleDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int CCheckListBox::AddRow(const QString& text, int data, int state)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setData(Qt::UserRole, data);
    item->setCheckState(ToCheckState(state, m_triState));
    return count() - 1;
}

int CCheckListBox::GetCheck(int row) const
{
    const QListWidgetItem* it = item(row);
    if (!it)
        return 0;
    switch (it->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void CCheckListBox::SetCheck(int row, int state)
{
    if (QListWidgetItem* it = item(row))
        it->setCheckState(ToCheckState(state, m_triState));
}

int CCheckListBox::GetRowData(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->data(Qt::UserRole).toInt() : 0;
}

int CCheckListBox::NextState(int state) const
{
    if (m_triState)
        return (state + 1) % 3;
    return state == 1 ? 0 : 1;
}

void CCheckListBox::CycleRow(int row)
{
    if (!item(row))
        return;
    SetCheck(row, NextState(GetCheck(row)));
    emit checkChanged(row);
}

int CCheckListBox::WidestRowWidth() const
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(item(row)->text()));
    const int box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return widest + 6 + box + 8 + scroll + 2 * frameWidth();
}
