#pragma once
// The images of the table dialogs, drawn here so that every state reads at a glance at its small
// size: image list 143 (16 px cell images), image list 144 (11 px header images) and the small
// window icons of the grid (189), part management (192) and layer (194) dialogs.

#include <QIcon>
#include <QPixmap>
#include <vector>

// Cell image indexes of image list 143.
enum TableCellImage
{
    TABLEIMG_OFF = 0,    // hidden, not placed
    TABLEIMG_ON = 1,     // shown and enabled, placed
    TABLEIMG_SHOWN = 2,  // shown, not enabled
    TABLEIMG_LOCKED = 3, // kept for the list's order: a locked entry
    TABLEIMG_MARKED = 4, // kept for the list's order: a marked entry
    TABLEIMG_CURRENT = 5 // the current layer or grid
};

// Image list 143: six 16 x 16 images with the indexes above.
const std::vector<QPixmap>& TableCellImages();
// Image list 144: 11 x 11 header images; index 1 is the show/place column's header.
const std::vector<QPixmap>& TableHeaderImages();
// The small icon of a dialog (189, 192 or 194); a null icon for another id.
QIcon TableDialogIcon(int iconId);
