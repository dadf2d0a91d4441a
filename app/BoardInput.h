#pragma once
// The board view's input machine: every drawing and editing command is a small state machine
// driven by the left button (the press records where and how, the release does the work), with
// the mouse move carrying the floating item, the right and middle buttons, the wheel, the focus
// guard and the timers. Free of toolkit types: it takes button flags (1 left, 2 right, 4 Shift,
// 8 Ctrl, 16 middle), client pixels and key codes, and talks to a ViewPort and the document.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "platform/Types.h"

#include <functional>
#include <map>
#include <string>

class CVELTADoc;
class CItemBase;
class CLine;
class CLand;
class CVia;
class CHole;
class CTer;
class CArc;
class CText;
class CPart;
class CSur;
class CSheet;
class ViewPort;

class BoardInput
{
public:
    enum : int
    {
        MK_LBUTTON = 1,
        MK_RBUTTON = 2,
        MK_SHIFT = 4,
        MK_CONTROL = 8,
        MK_MBUTTON = 16,
        kAutoRepeat = 0x4000 // key flag: a held key repeating
    };
    enum Command : int
    {
        kZoomWindowDrag = 7,
        kGesture = 8,
        kMoveBase = 22,
        kMoving = 23,
        kCopyBase = 25,
        kCopying = 26,
        kCancel = 32799,
        kModify = 32796,
        kEditMove = 32797,
        kEditCopy = 32807,
        kFlipX = 32801,
        kFlipY = 32802,
        kRange = 32783,
        kAttrMove = 32808,
        kPartNumberClick = 32844,
        kLine = 32910,
        kLand = 32911,
        kText = 32912,
        kPart = 32913,
        kArc = 32914,
        kVia = 32915,
        kHole = 32916,
        kSurface = 32917,
        kTerminal = 32918,
        kCutter = 32919,
        kLayerSaveRestore = 32963,
        kPaste = 57637,
        kSelectAll = 57642
    };

    BoardInput(CVELTADoc* document, ViewPort& port);
    ~BoardInput();
    BoardInput(const BoardInput&) = delete;
    BoardInput& operator=(const BoardInput&) = delete;

    // --- Buttons, move, wheel (flags as above, client pixels).
    void OnLButtonDown(int flags, CPoint point);
    void OnLButtonUp(int flags, CPoint point);
    void OnLButtonDblClk(int flags, CPoint point);
    void OnRButtonDown(int flags, CPoint point);
    void OnRButtonUp(int flags, CPoint point);
    void OnMButtonDown(int flags, CPoint point);
    void OnMButtonUp(int flags, CPoint point);
    void OnMouseMove(int flags, CPoint point);
    // delta in 120ths of a notch; inside: the cursor lies in the client area; onBar: on a
    // scroll bar (then vertical tells which).
    void OnMouseWheel(int flags, int delta, CPoint point, bool inside, bool onBar, bool verticalBar);

    // --- Keys: every key-down goes through the dispatcher; handlers are registered by key code.
    // A handler answers whether it took the key; flags carry Shift, Ctrl and kAutoRepeat.
    using KeyHandler = std::function<bool(int flags)>;
    void RegisterKey(int key, KeyHandler handler);
    bool OnKeyDown(int key, int flags);
    // Characters typed on the main keyboard: digits 1 to 9 become keypad keys (0x61..0x69) and
    // '+', '-', '/', ';' key-downs. keypadHeld: a keypad key of that kind is down. False when the
    // character is left to the default handling.
    bool OnChar(int ch, bool keypadHeld);

    // --- Commands.
    void OnInputCommand(int id);
    void OnUpdateInputCommand(int id, bool& enabled, bool& checked);
    void OnEditMove(int id);
    void OnSelectAll();
    bool CanSelectAll();
    void EndCommand();
    void StepBackSegment();
    void SaveCommand();
    void RestoreCommand();
    void RestoreInputCommand();

    // --- Focus, timers, scrolling.
    void OnSetFocus(bool fromKnownWindow);
    void OnKillFocus();
    void OnTimer(int timer);
    void OnEraseBackground();
    // Keeps the rubber rectangle on its board corners after the mapping changed.
    void RemapRubberPoints();

    // The item under a board point: mode 0 the board, 2 the selection, 11 the current work
    // sheet; layer receives the layer of the hit (128 for vias and parts).
    CItemBase* HitTest(const CDPoint& point, int& layer, int mode, bool surfaces);
    // The first surface of the current layer holding m_ptFirst strictly inside.
    CSur* FindSurfaceUnder();
    // Selects the item at a board point; the number selected.
    int SelectAtPoint(const CDPoint& point);

    bool IsAutoPan() const { return m_bAutoPan; }
    void SetAutoPan(bool on) { m_bAutoPan = on; }

    // --- The input state.
    int m_nCommand;
    int m_nInputCommand;
    int m_nSavedCommand = 0;
    int m_bZoomWindow = 0;
    bool m_bInputBusy = false;
    int m_nButtonState = 0;
    bool m_bIgnoreLeft = false;
    CPoint m_ptPress;
    CDPoint m_ptPressBoard; // m_ptPress on the board: the rubber rectangle's fixed corner
    CPoint m_ptRubber;      // the rubber rectangle's moving corner (client pixels)
    CDPoint m_ptBase;
    CDPoint m_ptEnd;
    CDPoint m_ptPrev;
    CDPoint m_ptPrev2;
    CDPoint m_ptCentre;
    bool m_bCentreSet = false; // m_ptCentre as rotation centre
    CDPoint m_ptFirst;
    CDPoint m_ptCursor;
    CDPoint m_ptLastDelta;
    CDPoint m_ptUnsnapped; // the last release's board point before snapping
    int m_nSegments = 0;
    int m_nChainLayer = 0;
    int m_nLastLayer = 0;
    int m_nLockMode = 0;
    int m_nArcStep = -1;
    int m_nArcDirection = 0;
    bool m_bSwitchBack = false;
    bool m_bSnapItem = false;
    int m_nWiggle = 0;
    int m_bTrackRect = 0;
    bool m_bRubberRect = false;
    bool m_bCrosshair = false;
    CPoint m_ptCrosshair;
    CRect m_rcRubber; // the rectangle drawn last
    bool m_bShowNets = true;
    CDRect m_rcSelection;
    CLine* m_pFloatLine = nullptr;
    CLine* m_pFloatLine2 = nullptr;
    CLand* m_pFloatLand = nullptr;
    CVia* m_pFloatVia = nullptr;
    CHole* m_pFloatHole = nullptr;
    CTer* m_pFloatTer = nullptr;
    CArc* m_pFloatArc = nullptr;
    CText* m_pFloatText = nullptr;
    CPart* m_pFloatPart = nullptr;
    CSur* m_pFloatSur = nullptr;
    bool m_bPanTimer = false;
    bool m_bFocusTimer = false;
    bool m_bNetTimer = false;

private:
    // Release steps.
    void SelectByClick(int flags, const CDPoint& point);
    void MoveStates(int flags, const CDPoint& point);
    void RangeSelection(CPoint point);
    void AttrMoveClick(const CDPoint& point);
    void ItemInput(int flags, const CDPoint& point);
    // Item input commands.
    void InputText(const CDPoint& point);
    void InputLine(int flags, const CDPoint& point);
    void InputLand(const CDPoint& point);
    void InputPart(const CDPoint& point);
    void InputVia(const CDPoint& point);
    void InputHole(const CDPoint& point);
    void InputTerminal(const CDPoint& point);
    void InputArc(int flags, const CDPoint& point);
    void InputSurface(int flags, const CDPoint& point);
    void InputCutter(const CDPoint& point, const CDPoint& snapped);
    void CloseSurface(int flags);
    // A floating pair (current turret, the copy marked 0x80) at the point on the current
    // selection sheet.
    void StartFloatingPair(const CDPoint& point, int turret);
    // After a fixed segment: back to the arcs when the segment was taken between arcs, otherwise
    // the next floating pair from the end.
    void ContinueChain(const CDPoint& end, int turret);
    // A new floating item at the point: the rotation centre, busy while it floats, shown.
    void StartFloating(CItemBase* item, const CDPoint& point);
    // A zero-length floating line with turret 0 at the point (radius line of the arc input).
    void StartRadiusLine(const CDPoint& point);
    // Takes over the layer and turret of a line, arc or surface at the point; true when it did.
    bool TakeOverLayer(const CDPoint& point);
    void DeleteFloatingLines();
    void DeleteFloatingItems();
    // Cross-layer via at the end of a chained line (second click on the end).
    void ViaAtChainEnd(const CDPoint& point);
    void SendChainTail();
    void EndChain();
    void RefreshChainLayer();
    CDPoint LockedCorner(const CDPoint& anchor, const CDPoint& p) const;
    // Mouse move steps.
    bool EdgePan(int flags, CPoint point);
    void Gesture(CPoint point);
    void MoveSelection(int flags, const CDPoint& point, const CDPoint& exact);
    void MoveFloating(int flags, const CDPoint& point, const CDPoint& unsnapped);
    void Wiggle(const CDPoint& unsnapped);
    void RotateSelectionByWheel(int delta);
    void ShowPopupAt(CPoint point, int flags);
    // The XOR figures.
    void DrawCrosshair(bool show, CPoint at = CPoint());
    void DrawRubberRect(bool show, CPoint to = CPoint());
    void Prompt(const char* utf8);
    CDPoint Snap(const CDPoint& point) const;
    CDRect SelectionBounds();
    int CurrentWiringPos();
    bool IsPlaneSheet(CSheet* sheet) const;

    CVELTADoc* m_doc;
    ViewPort& m_port;
    std::map<int, KeyHandler> m_keys;
    bool m_bAutoPan = false;

    // Keyboard commands: one handler per key row, registered by RegisterKeyCommands.
public:
    CDRect m_rcPick; // the pick square of the last F8 press (board units)

private:
    void RegisterKeyCommands();
    bool KeyBackspace();
    bool KeyClick(bool right, int flags);
    bool KeyShift(int flags);
    bool KeyPage(bool up, int flags);
    bool KeyArrow(int key, int flags);
    bool KeyDelete();
    bool KeySlash();
    bool KeySwitchArc(int flags);
    bool KeyCross();
    bool KeyD();
    bool KeyG(int flags);
    bool KeyJ();
    bool KeyL();
    bool KeyO();
    bool KeyFlipRotate(int key);
    bool KeyW();
    bool KeyTextOrigin(int key);
    bool KeyPlusMinus(int step);
    bool KeyDimension(int flags);
    bool KeyArrowHeads(int which, int flags);
    bool KeyPick();
    bool KeyNets();
    // A command sent to the view; the cutter edits the view leaves go on to the document.
    void SendViewCommand(int id);
    // Steps the lock of the floating segment (line and surface input) or of the selected arcs.
    void LockFloatingSegment();
    void LockArcs();
    // The cutter path's C and R: the crossed items are chosen; true when the chamfer ran.
    bool CutterChamfer(int commandId);
    // Runs f on every selected line and arc of the enabled layers; the union of their old and
    // new rectangles is repainted and m_rcSelection grows by the new ones.
    void ForSelectedLinesAndArcs(bool arcsOnly, const std::function<void(CItemBase*)>& f);
    // Edit commands on the selection (delete, cut and copy, paste, flip and rotate, numeric move)
    // and the part-number clicks.
public:
    enum : int
    {
        kFlipRotate = 32803,
        kNumericMove = 32834,
        kEditDelete = 57632,
        kEditCopyClip = 57634,
        kEditCut = 57635
    };
    // What the coordinate dialog gave: the vector, the target point or the two scale factors
    // (millimetres), the angle in degrees, relative or absolute, repeat and name step, scale.
    struct NumericMoveValues
    {
        CDPoint point;
        double angleDeg = 0.0;
        bool relative = true;
        int repeat = 1;
        int nameStep = 0;
        bool scale = false;
    };
    // The reference part of the part-number clicks (CP932 texts).
    struct PartReference
    {
        std::string prefix = "U";
        std::string suffix;
        int number = 0;
        int unit = 0;  // element index when the package has two or more elements, else 0
        int units = 0; // element count
        std::string value;
        std::string name;
    };

    // No input busy and something selected (cut, copy and the other selection commands).
    bool CanEditSelection();
    // Delete: in 22, 25 and attribute move with a selection.
    bool CanDeleteSelection();
    // Flip, rotate and the numeric move: the command below 28, an input command, attribute move or
    // paste, with a selection.
    bool CanFlipRotate();
    bool CanPaste() const { return m_doc && !m_bInputBusy; }
    // Cut and copy after the clipboard took the selection's text: a cut deletes the selection (one
    // undo step), a copy puts it back onto the board. A failed write (written false) only ends.
    void EndClipboardWrite(bool cut, bool written);
    void DeleteSelection();
    // The selection as the clipboard's text: each displayed layer's selection sheet, then the via
    // and part sheet; empty when nothing is selected.
    std::string SelectionText();
    // Paste of item text: the previous selection gives way; the layers read go to their own
    // selection sheets (keepLayers) or the current layer's, and float centred on the snapped
    // cursor. False when the text held no complete layer (nothing pasted, the previous selection
    // back).
    bool PasteText(const std::string& text, bool keepLayers);
    // Flip (32801, 32802) or rotate (32803; shift: the other way) about the selection's centre.
    void FlipRotate(int id, bool shift);
    void NumericMove(const NumericMoveValues& values);
    // A click while pasting drops the pasted items.
    void DropPaste();
    bool m_bHadSelection = false;

    // Part-number click at a board point (flags MK_CONTROL: take the part as reference).
    void OnPartNumberClick(const CDPoint& point, int flags);
    PartReference m_ref;

private:
    // Back onto the board (every layer's selection with everyLayer), with the move's undo pair
    // when record and something changed; the input command comes back.
    void FinishSelectionEdit(bool record, bool everyLayer = false);
    // The selection deleted as one undo step; the input command comes back.
    void RemoveSelection();
    CDRect m_rcTurned; // the selection's bounds after the last turn about a kept centre
};
