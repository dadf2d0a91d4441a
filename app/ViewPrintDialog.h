#pragma once
// The print dialog as the board view uses it: it edits the board's print settings and answers
// with the orientation, the paper and the layers of each page. The program's dialog implements
// it; tests answer with fixed choices.

#include "document/OutputSettings.h"

#include <vector>

struct ViewPrintChoice
{
    bool portrait = true;
    int paperCode = 0; // a printer paper code; 0 leaves the printer's paper
    int pageCount = 1;
    // The 0-based layers of each page (page 1 first); a page whose list is empty or starts with -1
    // prints the displayed layers.
    std::vector<std::vector<int>> pageLayers;
};

class ViewPrintDialog
{
public:
    virtual ~ViewPrintDialog() = default;
    // Runs the dialog on the print settings (edited in place on OK); false when cancelled.
    virtual bool Run(tagPRINTSET& settings, bool preview, ViewPrintChoice& choice) = 0;
};
