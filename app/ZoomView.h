#pragma once
// The scrolling base of the board view: a scroll area over a ZoomState. It keeps the scroll bars
// as the state wants them, turns scroll-bar actions into the state's steps, moves the pixels when
// the image scrolls (only the exposed strip is painted again) and maps the board onto the window.

#include "app/ZoomState.h"

#include <QAbstractScrollArea>
#include <QPoint>

#include <optional>

class QPainter;

namespace platform {
class DrawContext;
class QPainterDrawContext;
} // namespace platform

class CZoomView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CZoomView(QWidget* parent = nullptr);

    const ZoomState& State() const { return m_state; }

    void SetZoomSizes(int logicalCx, int logicalCy, int pageDiv, int lineDiv);
    void FitToWindow();
    void CenterOnLogical(int x, int y);
    void ZoomAt(CPoint logical, double factor, bool moveCursor);
    void ZoomCentre(double factor);
    void ZoomRect(int x1, int y1, int x2, int y2);
    void WholeView();
    void PreviousView();
    void ScrollByLogical(int dx, int dy, bool moveCursor);
    // Puts the mouse cursor on a logical point (clamped to the board) while it is over the view:
    // true when it is there. Outside the view the cursor goes to its centre and the answer is
    // false. Where the platform refuses to move the pointer the view keeps the point as its
    // logical cursor until the next real mouse move.
    bool MoveCursorToPoint(CPoint logical);
    // The cursor in client pixels: the logical cursor while one is kept, else the mouse's.
    QPoint CursorPos() const;

    // Sets the screen mapping on a context: logical (0, 0) at the image's bottom-left corner.
    void PrepareDC(platform::DrawContext& dc) const;
    QTransform LogicalToDevice() const { return m_state.Transform(); }
    QPointF DeviceToLogical(QPointF device) const { return m_state.ToLogical(device.x(), device.y()); }
    // The board rectangle (logical units) of the client area.
    QRectF VisibleLogical() const;

protected:
    // Draws the board; the context has the screen mapping and the clip of what is painted.
    virtual void OnDraw(platform::QPainterDrawContext& dc);
    // Called after the view changed its zoom or scroll position.
    virtual void ViewMoved() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // Makes the bars and the window follow the state.
    void SyncBars();

private:
    void OnBarAction(bool vertical, int action);
    int BarExtent() const;

    ZoomState m_state;
    bool m_syncing = false; // the bars are being set from the state
    std::optional<QPoint> m_logicalCursor;
};
