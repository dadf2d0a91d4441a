#pragma once
// The board view of one document window: draws the board on black (paper outlines, the displayed
// layers with their parts, the selection in white, cutter path, rubber lines, grid dots and the
// user origin), keeps the XOR overlay of rubber bands and markers, carries the zoom commands,
// writes the status panes, prints and copies pictures of the board to the clipboard.

#include "app/BoardInput.h"
#include "app/ToolTip2.h"
#include "app/ViewCommands.h"
#include "app/ViewPort.h"
#include "app/ZoomView.h"
#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/services/Records.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CVELTADoc;
class CItemBase;
class CSheet;
class QMenu;
class QPrinter;
class QTimer;
class QWheelEvent;
class ViewFrame;
class ViewPrintDialog;
struct ViewPrintChoice;

namespace platform {
class DrawContext;
class QPainterDrawContext;
} // namespace platform

class CVELTAView : public CZoomView, public ViewCommands, public ViewPort
{
    Q_OBJECT

public:
    // Command ids of the view's own commands.
    enum : int
    {
        ID_ZOOM_IN = 32771,
        ID_ZOOM_OUT = 32772,
        ID_ZOOM_CENTER = 32773,
        ID_ZOOM_PREVIOUS = 32774,
        ID_ZOOM_WHOLE = 32775,
        ID_ZOOM_WINDOW = 32776,
        ID_COPY_BITMAP = 32836,
        ID_COPY_METAFILE = 32837,
        ID_COPY_METAFILE_MONO = 32838,
        ID_COPY_BITMAP_MONO = 32839,
        ID_INPUT_LINE = 32910,
        ID_SHOW_RANGE1 = 32849,
        ID_SHOW_RANGE2 = 32850,
        ID_CLEAR_RANGES = 32851,
        ID_SET_WHOLE_RANGE = 32852,
        ID_SET_RANGE2 = 32854,
        ID_FILE_PRINT = 57607,
        ID_FILE_PRINT_PREVIEW = 57609,
    };

    explicit CVELTAView(CVELTADoc* document, QWidget* parent = nullptr);
    ~CVELTAView() override;

    CVELTADoc* GetDocument() const { return document_; }
    void SetFrame(ViewFrame* frame) { m_frame = frame; }

    // Zoom sizes from the board, then the stored view; creates the tip window.
    void OnInitialUpdate();
    void ZoomToStoredView();
    void StoreVisibleRect();
    void UpdateTrapDistance();

    // --- The frame's commands (zoom, display ranges, pictures, printing).
    bool OnViewCommand(int id) override;
    bool OnUpdateViewCommand(int id, bool& enabled, bool& checked) override;
    bool StoreVisibleRect(CDRect& rect) override;
    void ShowStoredView() override;

    // The input machine of the view's mouse, wheel and keys.
    BoardInput& Input() { return *m_input; }
    // Input commands (32910..32919), cancel, move, copy, attribute move, select all.
    bool OnInputViewCommand(int id);
    bool OnUpdateInputViewCommand(int id, bool& enabled, bool& checked);

    // --- ViewPort.
    CDPoint DeviceToBoard(CPoint device) const override;
    CPoint BoardToDevice(const CDPoint& board) const override;
    CRect ClientRect() const override;
    CDRect VisibleBoardRect() const override;
    bool HasScrollBar(bool vertical) const override;
    int ScrollBarExtent() const override;
    void InvalidateAll() override;
    void ToggleRubberRect(const CRect& rect) override;
    void ToggleCrosshair(CPoint device) override;
    bool IsCrosshairUsed() const override;
    bool IsStatusBarVisible() const override;
    void SetPrompt(const std::string& utf8) override;
    void ShowTip(CPoint device, const std::string& text) override;
    void HideTip() override;
    void CapturePointer(bool capture) override;
    CPoint CursorPoint() const override;
    bool ScrollLine(int dx, int dy) override;
    void ZoomAtDevice(CPoint device, double factor) override;
    void ZoomAboutCentre(double factor) override;
    void ZoomAction(int mode, CPoint device, CPoint press) override;
    double ZoomFactor() const override;
    void ViewChanged() override;
    void StartTimer(int timer, int milliseconds) override;
    void KillTimer(int timer) override;
    void ShowPopup(CPoint device, const PopupChoice& choice) override;
    bool RunCommand(int id) override;
    void MakeDocumentCurrent() override;

    // Board rectangle (millimetres) to repaint, grown by 3 pixels.
    void InvalidateBoardRect(const CDRect& rect) override;

    // Zoom commands 32771 to 32776 and the zoom actions of the internal modes 1 to 8.
    // The modifiers and whether PageDown is held when the command runs (the whole-view toggle
    // remembers the view under Ctrl alone or Ctrl+Shift+PageDown).
    void OnZoomCommand(int id, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool pageDownHeld = false);
    void DoZoomAction(CPoint logical, int mode, CPoint dragStart = CPoint());
    void SaveCommand();
    void RestoreCommand();
    void RestoreInputCommand();
    int GetCommand() const;
    void SetCommand(int command);
    bool IsZoomWindow() const;

    // Status panes from the cursor's board position (millimetres).
    void ShowStatusText(const CDPoint& cursor) override;
    void ShowPrompt();

    // Input queries on the current layer (points in millimetres): whether b lies on the same pad
    // or via as a (same) or on another one (!same); whether p lies on copper of a wiring layer
    // (1-based index into the wiring-layer list).
    bool IsSamePad(const CDPoint& a, const CDPoint& b, bool same) override;
    bool IsOnCopper(int wiringIndex, const CDPoint& p) override;

    // --- XOR overlay: each call toggles the figure; drawing it twice takes it away.
    // Rubber rectangle in client pixels.
    void DrawFocusRect(int l, int t, int r, int b);
    // The selection drawn by XOR (mode as DrawSelectionXor).
    void ToggleSelectionXor(int mode);
    // Draws the selection sheets (mode 10: the first layer's and the via and part selection;
    // other non-zero modes: every displayed layer's) or, with mode 0, the displayed board layers.
    void DrawSelectionXor(platform::DrawContext& dc, int mode);
    int XorCount() const { return static_cast<int>(m_xor.size()); }

    // The whole drawing of the board onto a context prepared with a mapping.
    void DrawBoard(platform::QPainterDrawContext& dc);
    bool IsPrinting() const { return m_bPrinting != 0; }

    // --- Item tips: the text the document gives for a board point (millimetres).
    CToolTip2& Tip() { return m_tip; }
    QString TipTextAt(const CDPoint& point) const;

    // --- Printing.
    void SetPrintDialog(ViewPrintDialog* dialog) { m_printDialog = dialog; }
    // The print or preview command: the dialog first, then the job. False when nothing printed.
    bool OnFilePrint(bool preview);
    // Prints to the printer given with the choices of the last dialog (no dialog).
    bool PrintTo(QPrinter& printer);
    // The choices the next job prints with when no dialog runs (the pages and their layers).
    void SetPrintChoice(const ViewPrintChoice& choice);
    // Prints without the dialog, with the board's print settings, to the default printer.
    bool PrintDirect() override;

    // --- Pictures of the board for the clipboard.
    void OnCopyImage(int id, bool shift);
    QImage MakeBitmap(int id);
    // The SVG picture and its board rectangle (logical units).
    QByteArray MakeMetafile(int id, bool shift, CRect* picture = nullptr);
    bool CanCopyImage(int id) const;

protected:
    // A print job is drawing: screen paints draw nothing meanwhile.
    void SetPrinting(bool printing) { m_bPrinting = printing ? 1 : 0; }
    void OnDraw(platform::QPainterDrawContext& dc) override;
    void ViewMoved() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // --- Input: Qt events into the input machine's terms.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Runs a popup menu at a global position; the chosen command id or 0 (tests replace it).
    virtual int ExecPopup(QMenu& menu, const QPoint& global);

private:
    struct XorEntry
    {
        QString key;
        std::function<void(platform::DrawContext&)> draw;
    };
    void ToggleXor(const QString& key, std::function<void(platform::DrawContext&)> draw);
    void PaintXor(platform::QPainterDrawContext& dc);

    void DrawOutlines(platform::DrawContext& dc);
    void DrawLayers(platform::DrawContext& dc, bool selection);
    // The parts of a via and part sheet on a layer, with the layer record's class and mirror.
    void DrawPartsOn(platform::DrawContext& dc, CSheet& viaParts, CSheet& layerSheet, const tagLAYER& record,
                     COLORREF colour, int penWidth);
    void DrawCutterLines(platform::DrawContext& dc);
    void DrawGrid(platform::QPainterDrawContext& dc);
    // Single-pixel dots of the grid (millimetres, at unitsPerMm logical units a millimetre) over
    // area (logical units); the pitch grows fivefold while dots would be closer than minPixels.
    // Mirrored: the columns run from the other side.
    static void DrawGridDots(platform::QPainterDrawContext& dc, const tagGRID& grid, double unitsPerMm,
                             const QRectF& area, QColor colour, int minPixels, bool mirrored);
    void DrawPrinted(platform::QPainterDrawContext& dc, const std::vector<int>& layers);
    std::vector<int> DisplayedLayersBottomUp() const;
    void WholeViewToggle(Qt::KeyboardModifiers modifiers, bool pageDownHeld);
    // Display 1 or 2 (slot 1 or 2 of the stored ranges).
    void ShowRange(int slot);
    double ZoomStep() const;
    CRect MetafileRect(bool shift) const;

    CVELTADoc* document_; // observed; the child frame owns both
    ViewFrame* m_frame = nullptr;
    ViewPrintDialog* m_printDialog = nullptr;

    std::uint8_t m_bViewChanged = 0;
    std::uint8_t m_bRelative = 0;
    std::uint8_t m_bPrinting = 0;
    std::array<CDRect, 3> m_rcViews{};
    CToolTip2 m_tip;
    int m_nCursorKind = 0;
    QString m_strRefPrefix = QStringLiteral("U");
    QString m_strRefSuffix;
    int m_nRefNumber = 0;
    std::vector<int> m_printLayers{-1};
    std::uint8_t m_bMarkerShown = 0;

    std::vector<XorEntry> m_xor;
    std::unique_ptr<BoardInput> m_input;
    // The focus guard, edge pan and net-file timers (ViewPort::Timer order).
    std::array<QTimer*, 3> m_timers{};
    int m_wheelRest = 0; // wheel angle not yet a whole notch (120ths)
    void SetUpInput();
    // A wheel event at a point relative to the client area.
    void HandleWheel(QWheelEvent& event, QPoint local);
    static int ButtonFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    QString m_prompt;

    // The print job: page layers by page (1-based index - 1), print settings of the job.
    std::vector<std::vector<int>> m_pageLayers;
    bool m_pagesCarryLayers = false;

    // Keyboard commands: the window's side of the single keys.
public:
    void ToggleRelative() override;
    void PostFrameCommand(int id) override;
    int ZoomPercent() const override;
    int LineDivision() const override;
    void ZoomAtBoard(const CDPoint& point, double factor) override;
    bool MoveCursorToBoard(const CDPoint& point) override;
    void ScrollByBoard(double dx, double dy) override;
    void ToggleCaption() override;
    bool IsRelative() const { return m_bRelative != 0; }
    // Edit commands (clipboard, delete, flip and rotate, numeric move), document updates and
    // activation.
public:
    enum : int
    {
        ID_EDIT_DELETE = 57632,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
        ID_FLIP_X = 32801,
        ID_FLIP_Y = 32802,
        ID_ROTATE = 32803,
        ID_NUMERIC_MOVE = 32834
    };
    // The edit commands and their enable rules; false for another command.
    bool OnEditViewCommand(int id);
    bool OnUpdateEditViewCommand(int id, bool& enabled, bool& checked);
    // Cut (57635) or copy (57634) of the selection to the clipboard.
    void OnEditCutCopy(bool cut);
    // Paste: shift and whether the command came from Shift+Insert decide whether the items keep
    // their layers (see PasteKeepsLayers).
    void OnEditPaste(bool shift, bool fromShiftInsert);
    static bool PasteKeepsLayers(bool shift, bool fromShiftInsert) { return !shift || fromShiftInsert; }
    void OnFlipRotate(int id, bool shift);
    void OnNumericMove();
    bool CanPaste() const;
    // A change in the document: hint 0 an item or sheet (object), 2 the board size, 3 everything,
    // others the document's repaint rectangle.
    void OnUpdate(int hint, const CDRect* area, CItemBase* object);
    // The window became active (lists, combos, nets, the net-file watch) or inactive.
    void OnActivateView(bool activate);

private:
    void SetUpEditKeys();
    // Table, layer-move, edit and display commands of the view.
public:
    enum : int
    {
        ID_LAYER_SETTINGS = 32786,
        ID_TURRET_SETTINGS = 32788,
        ID_VIA_SETTINGS = 32794,
        ID_MODIFY = 32796,
        ID_LAYER_MOVE = 32809,
        ID_TRAP = 32841,
        ID_PART_NUMBER_CLICK = 32844,
        ID_CLOSE_CUTTER = 32970,
        ID_SURFACE_CONVERT = 32971,
    };
    // The commands above; false for another id.
    bool OnTableDisplayCommand(int id);
    bool OnUpdateTableDisplayCommand(int id, bool& enabled, bool& checked);
    void OnTurretSettings();
    void OnViaSettings();
    void OnLayerSettings();
    void OnLayerMove();
    void OnModify();
    void OnSurfaceConvert();
    void OnCloseCutterPath();
    void OnPartNumberClick();
    // The floating item of a land, text, hole, terminal, line or arc input goes over to the
    // current layer after the layer changed.
    void MoveInputToCurrentLayer();

private:
    // Something of an input floats.
    bool IsFloating() const;
    // After a display range: the cursor's board point snapped to the grid becomes the current
    // point, the cursor follows it while it is over the view, and the status panes are refreshed.
    void SnapCursorAfterRange();
};
