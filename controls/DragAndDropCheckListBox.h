#pragma once
// The drag-and-drop list with a check box on every item; a moved item keeps its check state.

#include "controls/DragAndDropListBox.h"

class CDragAndDropCheckListBox : public CDragAndDropListBox
{
    Q_OBJECT

public:
    explicit CDragAndDropCheckListBox(QWidget* parent = nullptr);
    // Appends a checkable item.
    QListWidgetItem* AddItem(const QString& text, bool checked = false);
};
