#pragma once
// What the board document asks of the windows around it. The program's frame implements it;
// tests use tests/support/FakeDocumentHost. A document without a host repaints nothing and has
// no printer.

#include "model/geometry/DRect.h"

#include <optional>

class CItemBase;

// The default printer's page in device pixels, for a given orientation and paper.
struct PrinterPage
{
    int pageWidth = 0; // physical page
    int pageHeight = 0;
    int offsetX = 0; // physical offset of the printable area from the page's top-left corner
    int offsetY = 0;
    int printableWidth = 0; // printable area
    int printableHeight = 0;
    int dpiX = 0; // pixels per inch
    int dpiY = 0;
};

class DocumentHost
{
public:
    virtual ~DocumentHost() = default;

    // Asks every view of the document to repaint: hint 0 the item's area, 1 the given area, 2 the
    // board size changed, 3 everything.
    virtual void UpdateAllViews(int hint, const CDRect* area, CItemBase* item) = 0;
    // The default printer's page set to the orientation and paper code (0 leaves the paper); none
    // when there is no printer.
    virtual std::optional<PrinterPage> GetDefaultPrinterPage(bool portrait, int paperCode) = 0;
};
