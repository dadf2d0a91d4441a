#pragma once
// The zoom and scroll arithmetic of the board view, without a window: the whole board in integer
// logical units (y upward) shown as an image of device pixels, scrolled inside the client area.
// The view feeds it the area it has (its size with no scroll bars) and the width of a bar; the
// state decides which bars are needed and where the image sits.

#include "platform/Types.h"

#include <QTransform>

// A view: scroll position and image size, all in device pixels.
struct ZoomViewRect
{
    int scrollX = 0;
    int scrollY = 0;
    int cx = 0;
    int cy = 0;
    bool operator==(const ZoomViewRect&) const = default;
};

class ZoomState
{
public:
    // The largest image side in device pixels.
    static constexpr int kSizeCap = 262140;

    enum ScrollCode
    {
        LineUp,
        LineDown,
        PageUp,
        PageDown,
        ThumbTrack,
        Top,
        Bottom,
        Ignored
    };

    // The room of the client area with no scroll bar shown, and a scroll bar's width.
    void SetArea(int width, int height, int barExtent);
    int AreaWidth() const { return m_areaW; }
    int AreaHeight() const { return m_areaH; }

    // Stores the logical extent and the step divisors (0 means 10), fits the image to the window
    // and makes the fitted view the previous view.
    void SetZoomSizes(int logicalCx, int logicalCy, int pageDiv, int lineDiv);
    void FitToWindow();
    void CenterOnLogical(int x, int y);
    // False when nothing changed (zooming out with no scroll bar shown).
    bool ZoomAt(CPoint logical, double factor);
    bool ZoomCentre(double factor);
    // False for a rectangle of zero width or height, which leaves the view as it is.
    bool ZoomRect(int x1, int y1, int x2, int y2);
    // Only with a scroll bar shown.
    bool WholeView();
    bool PreviousView();
    // The device distance the image moved by (what the window scrolls its pixels by).
    QPoint ScrollByLogical(int dx, int dy);
    // The line division of the zoom sizes (lines per page step).
    int LineDiv() const { return m_nLineDiv; }
    // The new scroll position on one axis for a scroll-bar action; trackPos is the bar's 32-bit
    // tracking position. Nothing moves when the answer equals the old position.
    int ScrollTarget(bool vertical, ScrollCode code, int trackPos) const;
    // Sets one axis's scroll position (clamped); returns the change.
    int SetScroll(bool vertical, int position);
    // A new area: fits when the area is larger than the image both ways. Ignored while the board
    // has no size.
    void Resize(int width, int height, int barExtent);

    bool HasHBar() const { return m_hBar; }
    bool HasVBar() const { return m_vBar; }
    int ClientWidth() const { return m_areaW - (m_vBar ? m_bar : 0); }
    int ClientHeight() const { return m_areaH - (m_hBar ? m_bar : 0); }
    int ScrollX() const { return m_view.scrollX; }
    int ScrollY() const { return m_view.scrollY; }
    int MaxScrollX() const;
    int MaxScrollY() const;
    ZoomViewRect View() const { return m_view; }
    ZoomViewRect Previous() const { return m_prevView; }
    CSize Logical() const { return m_logical; }
    CSize Device() const { return CSize(m_view.cx, m_view.cy); }
    double Zoom() const { return m_dZoom; }
    int PageStep(bool vertical) const { return vertical ? m_pageStepY : m_pageStepX; }
    int LineStep(bool vertical) const { return vertical ? m_lineStepY : m_lineStepX; }

    // Device pixels per logical unit (the same on both axes).
    double Scale() const;
    // Logical to client pixels (y downward), and back.
    QTransform Transform() const;
    QPointF ToDevice(double x, double y) const;
    QPointF ToLogical(double x, double y) const;

private:
    void Steps();
    void UpdateBars();

    int m_nPageDiv = 10;
    int m_nLineDiv = 10;
    CSize m_logical;
    ZoomViewRect m_view;
    int m_pageStepX = 0;
    int m_pageStepY = 0;
    int m_lineStepX = 0;
    int m_lineStepY = 0;
    ZoomViewRect m_prevView;
    double m_dZoom = 1.0;

    int m_areaW = 0;
    int m_areaH = 0;
    int m_bar = 0;
    bool m_hBar = false;
    bool m_vBar = false;
};
