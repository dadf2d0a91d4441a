#pragma once
// The width a list needs for its widest entry, measured in the control's own font: the drop-down
// widths of combo boxes and the widths of list columns.

#include <QStringList>

class QComboBox;
class QFont;
class QListWidget;

int GetWidestItemWidth(const QStringList& texts, const QFont& font);
// checkList adds the room of the check boxes.
int GetWidestItemWidth(const QListWidget& list, bool checkList = false);
// Adds a scroll bar's width when the entries do not fit the dropped list.
int GetWidestItemWidth(const QComboBox& combo);
