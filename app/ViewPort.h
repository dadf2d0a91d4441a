#pragma once
// What the board view's input machine needs of the window it runs in, free of toolkit types:
// the mapping between client pixels and board millimetres, repainting, the XOR overlay of
// crosshair and rubber rectangle, the status panes, the pointer, popups, timers and the zoom.
// The board view implements it; tests may fake it.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "platform/Types.h"

#include <string>
#include <vector>

class ViewPort
{
public:
    // The view's timers (each board window has its own).
    enum Timer : int
    {
        kFocusTimer = 0, // 100 ms, one shot after the focus came back
        kPanTimer = 1,   // 300 ms, edge panning
        kNetTimer = 2    // 10 s, the net-file check
    };

    virtual ~ViewPort() = default;

    // --- Mapping (device: client pixels; board: millimetres).
    virtual CDPoint DeviceToBoard(CPoint device) const = 0;
    virtual CPoint BoardToDevice(const CDPoint& board) const = 0;
    virtual CRect ClientRect() const = 0;
    // The client area in board units, normalised.
    virtual CDRect VisibleBoardRect() const = 0;
    virtual bool HasScrollBar(bool vertical) const = 0;
    // Width of a scroll bar in pixels.
    virtual int ScrollBarExtent() const = 0;

    // --- Repainting.
    virtual void InvalidateBoardRect(const CDRect& rect) = 0;
    virtual void InvalidateAll() = 0;

    // --- XOR overlay: each call toggles the figure (device pixels).
    virtual void ToggleRubberRect(const CRect& rect) = 0;
    virtual void ToggleCrosshair(CPoint device) = 0;
    virtual bool IsCrosshairUsed() const = 0;

    // --- Status bar (UTF-8 texts).
    virtual bool IsStatusBarVisible() const = 0;
    virtual void SetPrompt(const std::string& utf8) = 0;
    // Cursor position and input state in pane 1.
    virtual void ShowStatusText(const CDPoint& cursor) = 0;

    // --- Item tips.
    virtual void ShowTip(CPoint device, const std::string& text) = 0;
    virtual void HideTip() = 0;

    // --- Pointer and scrolling.
    virtual void CapturePointer(bool capture) = 0;
    virtual CPoint CursorPoint() const = 0;
    // Scrolls one line in each direction given (-1, 0, 1); false when nothing moved.
    virtual bool ScrollLine(int dx, int dy) = 0;
    virtual void ZoomAtDevice(CPoint device, double factor) = 0;
    virtual void ZoomAboutCentre(double factor) = 0;
    // The zoom action of an internal mode at a client point; press is where the drag started.
    virtual void ZoomAction(int mode, CPoint device, CPoint press) = 0;
    virtual double ZoomFactor() const = 0;
    // After a zoom or a scroll the input machine took: visible rectangle, bars, status.
    virtual void ViewChanged() = 0;

    // --- Timers (see Timer).
    virtual void StartTimer(int timer, int milliseconds) = 0;
    virtual void KillTimer(int timer) = 0;

    // --- Popups: the chosen command is run through the view's commands.
    struct PopupChoice
    {
        int menuId = 0;             // 150 input, 151 edit, 152 flip and rotate, 197 cutter
        std::vector<int> removed;   // commands left out
        int checked = 0;            // command shown checked
        bool cutterSubmenu = false; // 150 with the cutter popup under the cutter entry
    };
    virtual void ShowPopup(CPoint device, const PopupChoice& choice) = 0;
    // A command of the view or the frame (flip, modify, layer save and restore); false when none
    // takes it.
    virtual bool RunCommand(int id) = 0;
    // Whether b lies on the pad or via under a (same) or on another one (!same), on the current
    // layer; whether p lies on copper of a wiring layer (1-based position).
    virtual bool IsSamePad(const CDPoint& a, const CDPoint& b, bool same) = 0;
    virtual bool IsOnCopper(int wiringPos, const CDPoint& p) = 0;
    // The view's document becomes the frame's current document.
    virtual void MakeDocumentCurrent() = 0;

    // --- Keyboard commands' services of the window (the defaults do nothing).
    // Shift toggles whether the status coordinates are relative to the input start.
    virtual void ToggleRelative() {}
    // Posts a command to the main window: it runs once the key has been handled.
    virtual void PostFrameCommand(int /*id*/) {}
    // The main frame's zoom step in percent and the zoom view's line division.
    virtual int ZoomPercent() const { return 20; }
    virtual int LineDivision() const { return 10; }
    // Zooms by factor about a board point.
    virtual void ZoomAtBoard(const CDPoint& /*point*/, double /*factor*/) {}
    // Puts the pointer on a board point: true when the point lies in the client area.
    virtual bool MoveCursorToBoard(const CDPoint& /*point*/) { return true; }
    // Scrolls the view by a board distance (x right, y up).
    virtual void ScrollByBoard(double /*dx*/, double /*dy*/) {}
    // Space: the caption shows the project or the board.
    virtual void ToggleCaption() {}
};
