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
class CSheet;

// Board file: create, open, save, auto-save
#include "model/geometry/DPoint.h"
#include "model/geometry/DSize.h"

#include <string>
#include <vector>

class CVELTADoc;
struct PartListChoice;
struct CleanUpChoice;
struct CamOutChoice;
struct DrcChoice;
struct tagHOLEDATA;

// What the new design dialog hands back on OK.
struct NewDesignChoice
{
    std::string folder;      // CP932, without trailing separator
    std::string settingFile; // CP932, full path of the board settings file
    CDSize size;
    CDPoint origin;
};

// The make-part dialog's data: the strings of the selection's name, reference and value texts go
// in (a text not found is absent) with the number of selected terminals; on OK the edited strings,
// the block numbering and the part's type word come back. CP932.
struct MakePartChoice
{
    std::string name;
    std::optional<std::string> reference;
    std::optional<std::string> value;
    int terminals = 0;
    unsigned blockNumber = 0;
    int blockCount = 0;
    int typeWord = 0;
};

// One work of the current project, as the document needs it when it opens that work's board.
struct ProjectWorkEntry
{
    std::string boardFile;   // CP932, relative to the project folder
    std::string settingFile; // the work's board settings file (its second file name)
    std::string netFile;
    std::string partFile;
    bool useNetList = false; // the work's first flag

    std::string schematicProject{}; // the net list lies beside it when set
    int netFormat = 0;              // the net list's dialect
    bool spareFlag = false;
};

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
    // The active (or, on saving, the first) view ends its command; deselecting is the document's.
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
    // --- Board file: create, open, save, auto-save ---
    // Without windows nothing is asked: dialogs answer Cancel, the frame holds no marks, no project
    // is open and the document has no view.

    // The main frame's current document (the one the frame services answer for) becomes doc.
    virtual void SetCurrentDocument(CVELTADoc* doc) { (void)doc; }
    // The new design dialog on the proposed folder (CP932, may be empty); none on Cancel.
    virtual std::optional<NewDesignChoice> RunNewDesignDialog(const std::string& folder, CVELTADoc* doc)
    {
        (void)folder;
        (void)doc;
        return std::nullopt;
    }
    // The settings file choice among the names (CP932 file names in the folder): the index chosen,
    // or -1 on Cancel.
    virtual int RunSettingFileDialog(const std::string& folder, const std::vector<std::string>& names,
                                     CVELTADoc* doc)
    {
        (void)folder;
        (void)names;
        (void)doc;
        return -1;
    }
    // The save-as dialog proposing a path (CP932); the chosen path, or none on Cancel.
    virtual std::optional<std::string> RunSaveAsDialog(const std::string& proposed)
    {
        (void)proposed;
        return std::nullopt;
    }
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // Text of a pane of the main frame's status bar.
    virtual void SetStatusPaneText(int pane, const std::string& text)
    {
        (void)pane;
        (void)text;
    }
    // Whether an open document carries the new-board mark; clearing the marks of all of them.
    virtual bool IsAnyDocumentMarked() { return false; }
    virtual void MarkActiveDocument(bool clearAll) { (void)clearAll; }
    // The main frame's auto-save flag, cleared by taking it.
    virtual bool TakeAutoSaveFlag() { return false; }
    // Message to the main window (1027 with wParam 1 after a save: the frame stops its auto-save timer).
    virtual void SendMainFrameMessage(unsigned message, unsigned wParam, long lParam)
    {
        (void)message;
        (void)wParam;
        (void)lParam;
    }
    // The current project: whether one is open, and its work whose board file name is the given one
    // (compared without regard to case).
    virtual bool IsProjectOpen() { return false; }
    virtual std::optional<ProjectWorkEntry> FindProjectWork(const std::string& boardFileName)
    {
        (void)boardFileName;
        return std::nullopt;
    }
    virtual void AddToRecentFileList(const std::string& path) { (void)path; }
    // The board leaves the project's list of open boards; the frame forgets it as its active one.
    virtual void RemoveProjectDocument(const std::string& path) { (void)path; }
    virtual void ClearActiveDocument(CVELTADoc* doc) { (void)doc; }
    // The first view of the document: unless its frame is minimised, stores the board area it shows
    // and answers true; ends its current command (which puts the selection back on the board).
    virtual bool StoreVisibleRect(CDRect& rect)
    {
        (void)rect;
        return false;
    }

    // --- Document commands: dialogs of the part, layer and board commands ---
    // Each answers false (Cancel) where the dialog is not there, so its command does nothing.
    // The make-part dialog on the collected texts (see MakePartChoice).
    virtual bool RunMakePartDialog(MakePartChoice& choice)
    {
        (void)choice;
        return false;
    }
    // The registration dialog: package name (preset) and library file (CP932).
    virtual bool RunRegisterPartDialog(std::string& package, std::string& library, bool several)
    {
        (void)package;
        (void)library;
        (void)several;
        return false;
    }
    // The work area dialog on the board size and the user origin.
    virtual bool RunWorkAreaDialog(CDSize& size, CDPoint& origin)
    {
        (void)size;
        (void)origin;
        return false;
    }
    // The part manager on a copy of the board's via and part sheet.
    virtual bool RunPartManagerDialog(CSheet& parts)
    {
        (void)parts;
        return false;
    }
    // The net manager: one colour per net of the net list, in list order.
    virtual bool RunNetManagerDialog(std::vector<COLORREF>& colours)
    {
        (void)colours;
        return false;
    }
    // The layer exchange dialog on copies of the 128 layer records: the two layers to swap.
    virtual bool RunLayerExchangeDialog(std::vector<tagLAYER>& layers, int& first, int& second)
    {
        (void)layers;
        (void)first;
        (void)second;
        return false;
    }
    // Whether Shift is held while a command runs.
    virtual bool IsShiftDown() { return false; }
    // The active view's tool becomes the selection tool (22) or another command id.
    virtual void SetActiveTool(int tool) { (void)tool; }
    // Finding text: restores a minimised frame, moves the cursor onto the board point when the
    // view shows it, otherwise scrolls the view to it.
    virtual void ShowFoundPoint(const CDPoint& point) { (void)point; }
    // The tool tool bar's first drop-down button (other than 32843) takes the command and its icon.
    virtual void SetToolButton(unsigned id) { (void)id; }

    // --- Lists, clean-up checks and hole chart ---
    // The project's modified boards saved when the profile asks; each Tools command calls it after
    // its dialog's OK.
    virtual void SaveProjectBoards() {}
    // A text file the program wrote, opened for the user.
    virtual void OpenTextFile(const std::string& path) { (void)path; }
    // The part list dialog on the choices: false on Cancel.
    virtual bool RunPartListDialog(PartListChoice& choice)
    {
        (void)choice;
        return false;
    }
    // The clean-up dialog: false on Cancel.
    virtual bool RunCleanUpDialog(CleanUpChoice& choice)
    {
        (void)choice;
        return false;
    }
    // The hole-data dialog on the settings of section HOLE_DATA, its hole-size rows following the
    // document's drill tool table: false on Cancel.
    virtual bool RunHoleDataDialog(tagHOLEDATA& data, CVELTADoc& doc)
    {
        (void)data;
        (void)doc;
        return false;
    }
    // --- CAM output ---
    // The CAM output dialog on the board's settings: false on Cancel.
    virtual bool RunCamOutDialog(CamOutChoice& choice, CVELTADoc& doc)
    {
        (void)choice;
        (void)doc;
        return false;
    }

    // --- CAM input ---
    // The CAM input dialog (it writes the reading settings to the profile on OK): false on Cancel.
    virtual bool RunCamInDialog(struct CamInChoice& choice)
    {
        (void)choice;
        return false;
    }

    // --- View table and layer-move commands ---
    // The turret table, via table, layer settings and layer move dialogs on the choices (see
    // document/TableChoices.h): true on OK with the edited values.
    virtual bool RunTurretTableDialog(struct TurretTableChoice& choice)
    {
        (void)choice;
        return false;
    }
    virtual bool RunViaTableDialog(struct ViaTableChoice& choice)
    {
        (void)choice;
        return false;
    }
    virtual bool RunLayerTableDialog(struct LayerTableChoice& choice)
    {
        (void)choice;
        return false;
    }
    virtual bool RunLayerMoveDialog(struct LayerMoveChoice& choice)
    {
        (void)choice;
        return false;
    }

    // --- Design rule check ---
    // The design rule check dialog on the run's settings: false on Cancel.
    virtual bool RunDrcDialog(DrcChoice& choice, CVELTADoc& doc)
    {
        (void)choice;
        (void)doc;
        return false;
    }
};
