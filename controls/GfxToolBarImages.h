#pragma once
// Tool-bar image strips by resource id: one image per non-zero command of the bar, left to right.
// The controls' own strips (the edit commands of the cell editors, the check marks) are drawn at
// run time; the program registers the strips of its tool bars.

#include <QPixmap>
#include <vector>

struct GfxToolBar
{
    int imageWidth = 16;
    int imageHeight = 15;
    std::vector<int> commands; // 0 = separator, no image
    QPixmap strip;
};

class CGfxToolBarImages
{
public:
    static void Register(int id, GfxToolBar bar);
    // The strip of a tool bar, null when none is known.
    static const GfxToolBar* Find(int id);
    // Image n of a strip; null when out of range.
    static QPixmap Image(const GfxToolBar& bar, int n);
};

// Commands of the edit menus.
enum GfxEditCommand
{
    ID_EDIT_COPY = 0xE122,
    ID_EDIT_CUT = 0xE123,
    ID_EDIT_PASTE = 0xE125,
    ID_EDIT_UNDO = 0xE12B
};

// Strips the controls bring: the cell editors' edit commands in the program and in the library,
// and the menu's mark images (image 0 the check mark).
enum GfxToolBarId
{
    IDR_GFX_EDIT = 130,
    IDR_GFX_EDIT_LIBRARY = 323,
    IDB_GFX_MARKS = 145
};
