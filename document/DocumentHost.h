#pragma once
// What the board document asks of the windows around it. The program's frame implements it;
// tests use tests/support/FakeDocumentHost. A document without a host repaints nothing and has
// no printer.

#include "model/geometry/DRect.h"

#include <optional>

// Editing services: title, menus, combos and the active view
#include "document/CommandData.h"
#include "model/services/Records.h"

#include <array>
#include <string>

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

    // --- Editing services: title, menus, combos and the active view ---
    // These have answers of a frame without windows, so a host that shows none need not care.
    // Whether the board's frame window is minimised.
    virtual bool IsFrameMinimised() { return false; }
    // The document's title changed: the frame shows it and refreshes the window menu.
    virtual void TitleChanged(const std::string& /*title*/) {}
    // Posts a message to the main window (1027 with 0: start the auto-save timer).
    virtual void PostMainMessage(int /*message*/, int /*wParam*/, int /*lParam*/) {}
    // The framework's save-if-modified question for the document: false cancels the close.
    virtual bool AskSaveModified() { return true; }
    // The active view's current input tool (a command id, 22 selection, 0 none) and whether an
    // input is in progress.
    virtual int GetActiveTool() { return 0; }
    virtual bool IsInputInProgress() { return false; }
    // The active view ends its command (deselecting is the document's).
    virtual void EndCommand() {}
    // The active view's step after the current layer changed, and the focus back to it.
    virtual void LayerChanged() {}
    virtual void FocusActiveView() {}
    // New contents of the layer combo and of the tool (turret or via) combo; a new selection.
    virtual void SetLayerCombo(const ComboData& /*combo*/) {}
    virtual void SetToolCombo(const ComboData& /*combo*/) {}
    virtual void SelectLayerComboItem(int /*index*/) {}
    virtual void SelectToolComboItem(int /*index*/) {}
    // The grid dialog on a copy of the 16 entries, the current index and the shown flag: true on
    // OK with the edited values.
    virtual bool RunGridDialog(std::array<tagGRID, 16>& /*grids*/, int& /*current*/, bool& /*shown*/)
    {
        return false;
    }
    // Shows a pop-up menu under a tool-bar button (or at the cursor when its tool bar is hidden);
    // images names the tool bar whose icons the items take (0: none).
    virtual void ShowDropDownMenu(int /*buttonId*/, const MenuData& /*menu*/, int /*images*/) {}
    // A drop-down button the document has no menu for: the main frame's own builder.
    virtual void MainFrameDropDown(int /*buttonId*/) {}
};
