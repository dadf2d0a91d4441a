#pragma once
// The program's own images: tool-bar strips (one 16 x 15 image per command, drawn here), the
// program and project icons, registered with the menu painter at start-up.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <vector>

// Buttons of a tool bar (0 = separator): 128 main, 131 input, 132 zoom, 133 layer, 134 turret,
// 135 tools, 136 further commands the menus show with images.
const std::vector<int>& ToolBarButtons(int barId);
// Registers the strips of all bars with the menu painter's image store (once).
void RegisterToolBarImages();
// The 16 x 15 image of a command; a plain frame for a command without its own picture.
QPixmap CommandImage(int commandId);
// Icon 128 (the program) and the board and project document icons, at the given size.
QImage ProgramIconImage(int size);
QImage DocumentIconImage(int size, bool project);
QIcon ProgramIcon();
