#pragma once
// The program's main window: an MDI area of board windows with six tool bars, the status bar
// with its clock, the menus of the one command table, the window position and bar layout kept in
// the profile, the environment sheet, the auto-save timer and the frame services the board model
// asks for the current board.

#include "document/CommandData.h"
#include "model/services/FrameServices.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CChildFrame;
class CVELTAApp;
class CVELTADoc;
class CVELTAView;
class CGfxPopupMenu;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

class CMainFrame : public QMainWindow, public FrameServices
{
    Q_OBJECT

public:
    explicit CMainFrame(CVELTAApp& app);
    ~CMainFrame() override;

    // --- Frame services: answers for the current document ---
    tagTURRET GetTurret(int number) override;
    tagVIA GetVia(int number) override;
    tagLAYER GetLayer(int layer) override;
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int kind) override;
    void SetDrawMode(int mode) override { m_nDrawMode = mode; }
    int GetDrawMode() override { return m_nDrawMode; }
    int GetWireLayerCount() override;
    int GetTurretDCode(int turret) override;
    tagTEXTSIZE GetTextSize(int index) override;
    tagDIMS GetDimensionStyle() override;
    int GetCoordScale() override;
    bool IsLayerDisplayed(int layer) override;
    DocumentServices* GetCurrentDocument() override;

    CVELTADoc* GetCurrentDoc() const { return m_pCurrentDoc; }
    void SetCurrentDoc(CVELTADoc* doc);

    // --- Board windows ---
    QMdiArea* MdiArea() const { return m_pMdi; }
    CChildFrame* ActiveChild() const;
    CVELTADoc* ActiveDocument() const;
    std::vector<CChildFrame*> Children() const;
    void AddChild(CChildFrame* child);
    // Closes the active board window again and again while that changes something.
    void CloseAllBoards();
    // Clears every document's new-board mark; unless clearOnly, marks the active one and returns it.
    CVELTADoc* MarkActiveDocument(bool clearOnly);
    bool IsAnyDocumentMarked() const;
    bool TakeAutoSaveFlag();
    bool ReadAutoSaveFlag();
    // A board window closed: the caption and, after the last one, the auto-save flag.
    void OnChildClosed();

    // --- Commands ---
    QAction* Action(int id) const;
    QToolBar* ToolBar(int barId) const;
    QToolButton* ToolButton(int id) const;
    QComboBox* LayerCombo() const { return m_pLayerCombo; }
    QComboBox* TurretCombo() const { return m_pTurretCombo; }
    void OnCommand(int id);
    // Enable and check state of a command for the current situation.
    bool UpdateCommand(int id, QAction* action);
    void UpdateToolBarStates();
    // Builds the menu bar for a board window (129) or none (128).
    void BuildMenuBar(bool board);
    CGfxPopupMenu& MenuPainter() { return *m_pPainter; }
    // Re-reads "Sheet"/"MenuStyle" and the colours; the menus are made again in the new look.
    void ReloadMenuLook();
    // Fills a menu with the recent projects (151 to 166), or the grey "使用したプロジェクトなし".
    void FillRecentProjectMenu(QMenu* menu);
    // Replaces items 107 to 118 of the menu with the external tools.
    void FillToolsMenu(QMenu* menu);
    // Drop-down menus of tool-bar buttons: the frame's own (32775 zoom, 32843 projects) or the
    // document's, filled into the button's menu.
    void FillDropDown(int buttonId, QMenu* menu);
    void ShowDropDownMenu(int buttonId, const MenuData& data, int images);

    // --- Combos, status bar ---
    void SetLayerCombo(const ComboData& combo);
    void SetToolCombo(const ComboData& combo);
    void SelectLayerComboItem(int index);
    void SelectToolComboItem(int index);
    void SetStatusPaneText(int pane, const QString& text);
    QString StatusPaneText(int pane) const;
    // The zoom step in percent ("Sheet"/"ZoomAspect").
    int GetZoomPercent() const { return m_nZoomPercent; }
    void UpdateStatusPanes();

    // --- Window position and bars ---
    // Shows the window at start-up: the stored position, then the stored bar layout unless Shift
    // is held.
    void ShowAtStartup(bool shiftHeld);
    void SavePlacement();
    // Index of the environment sheet's first page for the stored page id (the second page when
    // none matches).
    static int EnvironmentStartIndex(const std::vector<int>& pageIds, int storedPage);
    std::vector<int> EnvironmentPageIds() const;
    void RunEnvironmentSheet();

    // --- Auto-save timer (user message 1027) ---
    void OnAutoSaveMessage(int wParam);
    bool IsAutoSaveTimerRunning() const;

    // Dropped files, in order.
    void OpenDroppedFiles(const QStringList& paths);
    // The caption: "VELTA - " and the active board's title, or the project while the mouse rests
    // on the menu bar.
    void UpdateCaption(bool overMenuBar = false);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateToolBars();
    void CreateStatusBar();
    void ApplyBarStyles();
    void EnableCombo(QComboBox* combo, bool enabled);
    QMenu* BuildMenu(const struct MenuItemDef& def, QWidget* parent);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnTimerTick();
    void OnAutoSaveTimer();
    void RunExternalTool(int id);
    // Find (the dialog first) or find next on the active board, then through the other boards.
    void FindText(bool next);
    void OpenWebLink(bool support);
    void OnAbout();

    CVELTAApp& m_app;
    int m_nDrawMode = 0;
    int m_nZoomPercent = 20;
    bool m_bAutoSave = false;
    CVELTADoc* m_pCurrentDoc = nullptr; // observed

    QMdiArea* m_pMdi = nullptr;
    std::map<int, QAction*> m_actions;   // owned as children
    std::map<int, QToolBar*> m_toolBars; // by resource id
    QComboBox* m_pLayerCombo = nullptr;
    QComboBox* m_pTurretCombo = nullptr;
    std::vector<QLabel*> m_panes;
    QTimer* m_pClock = nullptr;
    QTimer* m_pAutoSaveTimer = nullptr;
    std::unique_ptr<CGfxPopupMenu> m_pPainter;
    QMenu* m_pDropDownTarget = nullptr; // the button menu the document's drop-down fills
    bool m_bMenuBoard = false;
    bool m_bMenuBuilt = false;

    // The board view that was active last: it is told when another takes over.
    void ActivateBoardView(CVELTAView* view);
    QPointer<CVELTAView> m_pActiveView;
};
