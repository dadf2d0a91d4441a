#pragma once
// The folder browser of the option pages and of the new design dialog: the desktop's folder
// chooser with a title, starting at the current value. The process's current folder is the same
// afterwards.

#include <QString>

class QWidget;

// How much of the trailing separators of the current value is removed before it is pre-selected.
enum class FolderTrim
{
    AllSeparators, // the work folder
    OneSeparator   // the save folder
};

// True, with the chosen folder, when the user chose one. An empty current value starts at the
// process's current folder.
bool BrowseForFolder(QWidget* parent, const QString& title, const QString& current, QString& chosen,
                     FolderTrim trim = FolderTrim::AllSeparators);
