#pragma once
// What the board view asks of the frame around it: the status bar panes and the zoom step. The
// child frame implements it; without one the view shows no status.

#include <QString>

class ViewFrame
{
public:
    virtual ~ViewFrame() = default;

    virtual bool IsStatusBarVisible() const = 0;
    virtual QString GetPaneText(int pane) const = 0;
    virtual void SetPaneText(int pane, const QString& text) = 0;
    // The zoom step of the main frame in percent (20 zooms by 1.2).
    virtual int GetZoomPercent() const = 0;
};
