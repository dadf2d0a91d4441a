#pragma once
// A board view for the input machine without a window: ten pixels a millimetre over a 4000 x 3000
// client area, nothing drawn; it counts repaint requests and records timers, prompts, scrolls and
// commands.

#include "app/ViewPort.h"

#include <set>
#include <string>
#include <vector>

class FakeViewPort : public ViewPort
{
public:
    CDPoint DeviceToBoard(CPoint d) const override { return CDPoint(d.x / 10.0, d.y / 10.0); }
    CPoint BoardToDevice(const CDPoint& b) const override
    {
        return CPoint(static_cast<int>(b.x * 10.0), static_cast<int>(b.y * 10.0));
    }
    CRect ClientRect() const override { return CRect(0, 0, 4000, 3000); }
    CDRect VisibleBoardRect() const override { return CDRect(0, 0, 400, 300); }
    bool HasScrollBar(bool) const override { return bars; }
    int ScrollBarExtent() const override { return 16; }
    void InvalidateBoardRect(const CDRect&) override { ++repaints; }
    void InvalidateAll() override { ++repaints; }
    void ToggleRubberRect(const CRect&) override {}
    void ToggleCrosshair(CPoint) override {}
    bool IsCrosshairUsed() const override { return false; }
    bool IsStatusBarVisible() const override { return statusBar; }
    void SetPrompt(const std::string& text) override { prompt = text; }
    void ShowStatusText(const CDPoint&) override {}
    void ShowTip(CPoint, const std::string&) override {}
    void HideTip() override {}
    void CapturePointer(bool) override {}
    CPoint CursorPoint() const override { return cursor; }
    bool ScrollLine(int dx, int dy) override
    {
        ++scrolls;
        return canScroll && (dx != 0 || dy != 0);
    }
    void ZoomAtDevice(CPoint, double) override {}
    void ZoomAboutCentre(double) override {}
    void ZoomAction(int, CPoint, CPoint) override {}
    double ZoomFactor() const override { return 1.0; }
    void ViewChanged() override {}
    void StartTimer(int timer, int) override { timers.insert(timer); }
    void KillTimer(int timer) override { timers.erase(timer); }
    void ShowPopup(CPoint, const PopupChoice&) override {}
    bool RunCommand(int id) override
    {
        commands.push_back(id);
        return false;
    }
    bool IsSamePad(const CDPoint&, const CDPoint&, bool) override { return false; }
    bool IsOnCopper(int, const CDPoint&) override { return true; }
    void MakeDocumentCurrent() override {}

    long repaints = 0;
    std::set<int> timers;
    std::vector<int> commands;
    std::string prompt;
    CPoint cursor;
    bool bars = false;
    bool canScroll = true;
    bool statusBar = false;
    int scrolls = 0;
};
