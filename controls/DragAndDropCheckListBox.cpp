#include "controls/DragAndDropCheckListBox.h"

CDragAndDropCheckListBox::CDragAndDropCheckListBox(QWidget* parent) : CDragAndDropListBox(true, parent) {}

QListWidgetItem* CDragAndDropCheckListBox::AddItem(const QString& text, bool checked)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}
