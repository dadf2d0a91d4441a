#include "app/ZoomView.h"

#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

CZoomView::CZoomView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnBarAction(false, action); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnBarAction(true, action); });
    m_state.SetArea(width(), height(), BarExtent());
}

int CZoomView::BarExtent() const
{
    return std::max(verticalScrollBar()->sizeHint().width(), horizontalScrollBar()->sizeHint().height());
}

void CZoomView::SetZoomSizes(int logicalCx, int logicalCy, int pageDiv, int lineDiv)
{
    m_state.SetArea(width(), height(), BarExtent());
    m_state.SetZoomSizes(logicalCx, logicalCy, pageDiv, lineDiv);
    SyncBars();
}

void CZoomView::FitToWindow()
{
    m_state.FitToWindow();
    SyncBars();
}

void CZoomView::CenterOnLogical(int x, int y)
{
    m_state.CenterOnLogical(x, y);
    SyncBars();
}

void CZoomView::ZoomAt(CPoint logical, double factor, bool moveCursor)
{
    if (factor <= 1.0 && moveCursor)
        MoveCursorToPoint(logical);
    if (!m_state.ZoomAt(logical, factor))
        return;
    SyncBars();
    if (moveCursor)
        MoveCursorToPoint(logical);
}

void CZoomView::ZoomCentre(double factor)
{
    if (m_state.ZoomCentre(factor))
        SyncBars();
}

void CZoomView::ZoomRect(int x1, int y1, int x2, int y2)
{
    if (m_state.ZoomRect(x1, y1, x2, y2))
        SyncBars();
}

void CZoomView::WholeView()
{
    if (m_state.WholeView())
        SyncBars();
}

void CZoomView::PreviousView()
{
    if (m_state.PreviousView())
        SyncBars();
}

void CZoomView::ScrollByLogical(int dx, int dy, bool moveCursor)
{
    const QPoint moved = m_state.ScrollByLogical(dx, dy);
    if (!moved.isNull()) {
        m_syncing = true;
        horizontalScrollBar()->setValue(m_state.ScrollX());
        verticalScrollBar()->setValue(m_state.ScrollY());
        m_syncing = false;
        viewport()->scroll(moved.x(), moved.y());
        ViewMoved();
    }
    if (moveCursor) {
        const QPointF here = DeviceToLogical(CursorPos());
        MoveCursorToPoint(CPoint(static_cast<int>(here.x()) + dx, static_cast<int>(here.y()) + dy));
    }
}

bool CZoomView::MoveCursorToPoint(CPoint logical)
{
    const QRect client = viewport()->rect();
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    if (!client.adjusted(-1, -1, 1, 1).contains(mouse)) {
        QCursor::setPos(viewport()->mapToGlobal(client.center()));
        return false;
    }
    const CSize size = m_state.Logical();
    logical.x = std::clamp(logical.x, 0, std::max(0, size.cx - 1));
    logical.y = std::clamp(logical.y, 0, std::max(0, size.cy - 1));
    const QPointF device = m_state.ToDevice(logical.x, logical.y);
    const QPoint target(static_cast<int>(std::lround(device.x())), static_cast<int>(std::lround(device.y())));
    // The clip box of the window in logical units, its edges included.
    if (!VisibleLogical().contains(QPointF(logical.x, logical.y)))
        return false;
    const QPoint global = viewport()->mapToGlobal(target);
    if (QCursor::pos() != global)
        QCursor::setPos(global);
    // Some platforms do not let programs move the pointer.
    if (QCursor::pos() != global)
        m_logicalCursor = target;
    else
        m_logicalCursor.reset();
    return true;
}

QPoint CZoomView::CursorPos() const
{
    if (m_logicalCursor)
        return *m_logicalCursor;
    return viewport()->mapFromGlobal(QCursor::pos());
}

void CZoomView::PrepareDC(platform::DrawContext& dc) const
{
    const CSize logical = m_state.Logical();
    const CSize device = m_state.Device();
    if (logical.cx <= 0 || logical.cy <= 0 || device.cx <= 0 || device.cy <= 0)
        return;
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(logical);
    dc.SetViewportExt(CSize(device.cx, -device.cy));
    dc.SetViewportOrg(CPoint(-m_state.ScrollX(), device.cy - m_state.ScrollY()));
}

QRectF CZoomView::VisibleLogical() const
{
    const QPointF a = m_state.ToLogical(0, m_state.ClientHeight());
    const QPointF b = m_state.ToLogical(m_state.ClientWidth(), 0);
    return QRectF(a, b).normalized();
}

void CZoomView::OnDraw(platform::QPainterDrawContext&) {}

void CZoomView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::black);
    painter.setClipRegion(event->region());
    platform::QPainterDrawContext dc(&painter);
    PrepareDC(dc);
    OnDraw(dc);
}

void CZoomView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_syncing)
        return;
    const CSize logical = m_state.Logical();
    if (logical.cx <= 0 || logical.cy <= 0) {
        m_state.SetArea(width(), height(), BarExtent());
        return;
    }
    m_state.Resize(width(), height(), BarExtent());
    SyncBars();
}

void CZoomView::SyncBars()
{
    m_syncing = true;
    setHorizontalScrollBarPolicy(m_state.HasHBar() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(m_state.HasVBar() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, m_state.HasHBar() ? m_state.MaxScrollX() : 0);
    v->setRange(0, m_state.HasVBar() ? m_state.MaxScrollY() : 0);
    h->setPageStep(std::max(1, m_state.ClientWidth()));
    v->setPageStep(std::max(1, m_state.ClientHeight()));
    h->setSingleStep(std::max(1, m_state.LineStep(false)));
    v->setSingleStep(std::max(1, m_state.LineStep(true)));
    h->setValue(std::max(0, m_state.ScrollX()));
    v->setValue(std::max(0, m_state.ScrollY()));
    m_syncing = false;
    viewport()->update();
    ViewMoved();
}

void CZoomView::OnBarAction(bool vertical, int action)
{
    ZoomState::ScrollCode code = ZoomState::Ignored;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = ZoomState::LineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = ZoomState::LineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = ZoomState::PageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = ZoomState::PageDown;
        break;
    case QAbstractSlider::SliderMove:
        code = ZoomState::ThumbTrack;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = ZoomState::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = ZoomState::Bottom;
        break;
    default:
        break;
    }
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    // The slider has taken Qt's own step already; the state's step replaces it.
    bar->setSliderPosition(m_state.ScrollTarget(vertical, code, bar->sliderPosition()));
}

void CZoomView::scrollContentsBy(int, int)
{
    if (m_syncing)
        return;
    const int dx = m_state.SetScroll(false, horizontalScrollBar()->value());
    const int dy = m_state.SetScroll(true, verticalScrollBar()->value());
    if (dx == 0 && dy == 0)
        return;
    // The pixels already drawn move; only the strip uncovered is painted.
    viewport()->scroll(-dx, -dy);
    if (platform::GetProfile().GetInt("Sheet", "Scroll", 0) != 0)
        viewport()->repaint();
    ViewMoved();
}

void CZoomView::mouseMoveEvent(QMouseEvent* event)
{
    m_logicalCursor.reset();
    QAbstractScrollArea::mouseMoveEvent(event);
}
