#pragma once
// The windows' side of one board document: its child frame and view, the main frame's combos,
// status bar, marks and auto-save timer, the application's project and recent list, and the
// dialogs the document runs.

#include "document/DocumentHost.h"
#include "document/TableChoices.h"

class BoardInput;
class CChildFrame;
class CMainFrame;
class CVELTAApp;

class FrameDocumentHost : public DocumentHost
{
public:
    FrameDocumentHost(CVELTAApp& app, CMainFrame& frame, CVELTADoc& document);

    // The document's window, once made (null while the board is being opened).
    void SetChildFrame(CChildFrame* child) { m_pChild = child; }

    void UpdateAllViews(int hint, const CDRect* area, CItemBase* item) override;
    std::optional<PrinterPage> GetDefaultPrinterPage(bool portrait, int paperCode) override;
    bool IsFrameMinimised() override;
    void TitleChanged(const std::string& title) override;
    void PostMainMessage(int message, int wParam, int lParam) override;
    bool AskSaveModified() override;
    void FocusActiveView() override;
    void SetLayerCombo(const ComboData& combo) override;
    void SetToolCombo(const ComboData& combo) override;
    void SelectLayerComboItem(int index) override;
    void SelectToolComboItem(int index) override;
    void ShowDropDownMenu(int buttonId, const MenuData& menu, int images) override;
    void MainFrameDropDown(int buttonId) override;
    void SetCurrentDocument(CVELTADoc* doc) override;
    int RunSettingFileDialog(const std::string& folder, const std::vector<std::string>& names,
                             CVELTADoc* doc) override;
    std::optional<std::string> RunSaveAsDialog(const std::string& proposed) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void SetStatusPaneText(int pane, const std::string& text) override;
    bool IsAnyDocumentMarked() override;
    void MarkActiveDocument(bool clearAll) override;
    bool TakeAutoSaveFlag() override;
    void SendMainFrameMessage(unsigned message, unsigned wParam, long lParam) override;
    bool IsProjectOpen() override;
    std::optional<ProjectWorkEntry> FindProjectWork(const std::string& boardFileName) override;
    void AddToRecentFileList(const std::string& path) override;
    void RemoveProjectDocument(const std::string& path) override;
    void ClearActiveDocument(CVELTADoc* doc) override;
    bool StoreVisibleRect(CDRect& rect) override;
    std::optional<NewDesignChoice> RunNewDesignDialog(const std::string& folder, CVELTADoc* doc) override;
    bool RunRegisterPartDialog(std::string& package, std::string& library, bool several) override;
    bool RunMakePartDialog(MakePartChoice& choice) override;
    void ShowFoundPoint(const CDPoint& point) override;

    bool RunWorkAreaDialog(CDSize& size, CDPoint& origin) override;
    bool RunLayerExchangeDialog(std::vector<tagLAYER>& layers, int& first, int& second) override;
    bool RunNetManagerDialog(std::vector<COLORREF>& colours) override;
    bool RunHoleDataDialog(tagHOLEDATA& data, CVELTADoc& doc) override;

    // The board view's input state, as the document's commands ask for it.
    int GetActiveTool() override;
    bool IsInputInProgress() override;
    void EndCommand() override;
    void SetActiveTool(int tool) override;
    bool IsShiftDown() override;
    void SaveProjectBoards() override;
    void OpenTextFile(const std::string& path) override;
    bool RunPartListDialog(PartListChoice& choice) override;
    bool RunCleanUpDialog(CleanUpChoice& choice) override;


    // CAM input
    bool RunCamInDialog(CamInChoice& choice) override;

private:
    // The input machine of this board's view, or null.
    BoardInput* Input() const;

    CVELTAApp& m_app;
    CMainFrame& m_frame;
    CVELTADoc& m_document;
    CChildFrame* m_pChild = nullptr; // observed

public:
    // The table dialogs: grid settings (the basic and attribute-move grids are the document's two
    // marked grids) and part management on the copy of the via and part sheet.
    bool RunGridDialog(std::array<tagGRID, 16>& grids, int& current, bool& shown) override;
    bool RunPartManagerDialog(CSheet& parts) override;

    // CAM output: the output dialog on the board's CAM settings.
    bool RunCamOutDialog(CamOutChoice& choice, CVELTADoc& doc) override;
    // The view's table and layer-move dialogs; the active view's step after a layer change.
    bool RunTurretTableDialog(TurretTableChoice& choice) override;
    bool RunViaTableDialog(ViaTableChoice& choice) override;
    bool RunLayerTableDialog(LayerTableChoice& choice) override;
    bool RunLayerMoveDialog(LayerMoveChoice& choice) override;
    void LayerChanged() override;
    // The design rule check dialog.
    bool RunDrcDialog(DrcChoice& choice, CVELTADoc& doc) override;
};
