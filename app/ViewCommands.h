#pragma once
// What the frame asks of a board view beyond its document: commands the view handles, the board
// area it shows, the zoom it starts with. A view that does not implement it gets none of these.

#include "model/geometry/DRect.h"

class ViewCommands
{
public:
    virtual ~ViewCommands() = default;

    // Runs a command the view handles (zoom, edit, input, print); false when it has none for it.
    virtual bool OnViewCommand(int id) = 0;
    // Enable and check state of such a command; false when the view does not handle it.
    virtual bool OnUpdateViewCommand(int id, bool& enabled, bool& checked) = 0;
    // Unless the window is minimised, stores the board area shown and answers true.
    virtual bool StoreVisibleRect(CDRect& rect) = 0;
    // After opening: zoom to the board's stored view rectangle and restart the net-file check.
    virtual void ShowStoredView() = 0;
    // Prints without the print dialog (shell print commands); false when nothing printed.
    virtual bool PrintDirect() = 0;
};
