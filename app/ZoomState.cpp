#include "app/ZoomState.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using platform::TruncateToInt32;

void ZoomState::SetArea(int width, int height, int barExtent)
{
    m_areaW = std::max(0, width);
    m_areaH = std::max(0, height);
    m_bar = std::max(0, barExtent);
}

void ZoomState::SetZoomSizes(int logicalCx, int logicalCy, int pageDiv, int lineDiv)
{
    m_logical = CSize(logicalCx, logicalCy);
    m_nPageDiv = pageDiv ? pageDiv : 10;
    m_nLineDiv = lineDiv ? lineDiv : 10;
    FitToWindow();
    UpdateBars();
    m_prevView = m_view;
}

void ZoomState::Steps()
{
    m_pageStepX = m_view.cx / m_nPageDiv;
    m_pageStepY = m_view.cy / m_nPageDiv;
    m_lineStepX = m_pageStepX / m_nLineDiv;
    m_lineStepY = m_pageStepY / m_nLineDiv;
}

void ZoomState::FitToWindow()
{
    m_view = ZoomViewRect{0, 0, m_areaW, m_areaH};
    if (m_logical.cx <= 0 || m_logical.cy <= 0)
        m_view = ZoomViewRect{}; // nothing to show
    else if (m_areaW > 0 && m_areaH > 0) {
        // The isotropic mapping shortens the axis on which a logical unit would be longer.
        const double sx = static_cast<double>(m_areaW) / m_logical.cx;
        const double sy = static_cast<double>(m_areaH) / m_logical.cy;
        if (sx > sy)
            m_view.cx = std::max(1, static_cast<int>(std::lround(m_logical.cx * sy)));
        else if (sy > sx)
            m_view.cy = std::max(1, static_cast<int>(std::lround(m_logical.cy * sx)));
    }
    Steps();
    UpdateBars();
}

int ZoomState::MaxScrollX() const
{
    return std::max(0, m_view.cx - ClientWidth());
}

int ZoomState::MaxScrollY() const
{
    return std::max(0, m_view.cy - ClientHeight());
}

void ZoomState::UpdateBars()
{
    int availW = m_areaW;
    int availH = m_areaH;
    m_hBar = m_vBar = false;
    if (availW <= 0 || availH <= 0) {
        m_view.scrollX = m_view.scrollY = 0;
        return;
    }
    // Showing one bar takes room from the other axis, which may then need its bar too.
    for (int pass = 0; pass < 2; ++pass) {
        if (!m_hBar && m_view.cx > availW) {
            m_hBar = true;
            availH -= m_bar;
        }
        if (!m_vBar && m_view.cy > availH) {
            m_vBar = true;
            availW -= m_bar;
        }
    }
    const auto place = [](int& scroll, int device, int client) {
        if (device < client)
            scroll = -(client - device) / 2; // a smaller image sits in the middle
        else
            scroll = std::clamp(scroll, 0, device - client);
    };
    place(m_view.scrollX, m_view.cx, ClientWidth());
    place(m_view.scrollY, m_view.cy, ClientHeight());
}

void ZoomState::CenterOnLogical(int x, int y)
{
    if (m_logical.cx <= 0 || m_logical.cy <= 0)
        return;
    const double ix = static_cast<double>(x) * m_view.cx / m_logical.cx;
    const double iy = m_view.cy - static_cast<double>(y) * m_view.cy / m_logical.cy;
    if (m_hBar)
        m_view.scrollX = std::clamp(TruncateToInt32(ix) - ClientWidth() / 2, 0, MaxScrollX());
    if (m_vBar)
        m_view.scrollY = std::clamp(TruncateToInt32(iy) - ClientHeight() / 2, 0, MaxScrollY());
}

bool ZoomState::ZoomAt(CPoint logical, double factor)
{
    if (m_view.cx <= 0 || m_view.cy <= 0 || !(factor > 0.0))
        return false;
    if (factor <= 1.0 && !m_hBar && !m_vBar)
        return false;
    m_dZoom = factor;
    m_prevView = m_view;
    double cx = m_prevView.cx * factor;
    double cy = m_prevView.cy * factor;
    if (cx > kSizeCap || cy > kSizeCap) {
        const double scale = static_cast<double>(kSizeCap) / std::max(m_prevView.cx, m_prevView.cy);
        cx = m_prevView.cx * scale;
        cy = m_prevView.cy * scale;
        m_dZoom = scale;
    }
    m_view.cx = std::max(1, TruncateToInt32(cx));
    m_view.cy = std::max(1, TruncateToInt32(cy));
    Steps();
    if (m_view.cx < m_areaW && m_view.cy < m_areaH)
        FitToWindow();
    UpdateBars();
    CenterOnLogical(logical.x, logical.y);
    return true;
}

bool ZoomState::ZoomCentre(double factor)
{
    if (factor > 1.0 && (m_view.cx >= kSizeCap || m_view.cy >= kSizeCap))
        return false;
    const QPointF centre = ToLogical(ClientWidth() / 2.0, ClientHeight() / 2.0);
    return ZoomAt(CPoint(TruncateToInt32(centre.x()), TruncateToInt32(centre.y())), factor);
}

bool ZoomState::ZoomRect(int x1, int y1, int x2, int y2)
{
    if (x1 == x2 || y1 == y2)
        return false;
    const double s = Scale();
    if (!(s > 0.0))
        return false;
    const double w = ClientWidth() / s;
    const double h = ClientHeight() / s;
    const double factor =
        std::min(h / std::abs(static_cast<double>(y2) - y1), w / std::abs(static_cast<double>(x2) - x1));
    const CPoint centre(TruncateToInt32((static_cast<double>(x1) + x2) / 2),
                        TruncateToInt32((static_cast<double>(y1) + y2) / 2));
    return ZoomAt(centre, factor);
}

bool ZoomState::WholeView()
{
    if (!m_hBar && !m_vBar)
        return false;
    m_prevView = m_view;
    m_dZoom = 1.0;
    FitToWindow();
    UpdateBars();
    return true;
}

bool ZoomState::PreviousView()
{
    if (m_prevView.cx == 0 || m_prevView.cy == 0 || m_prevView == m_view)
        return false;
    std::swap(m_view, m_prevView);
    Steps();
    UpdateBars();
    return true;
}

QPoint ZoomState::ScrollByLogical(int dx, int dy)
{
    if (m_logical.cx <= 0 || m_logical.cy <= 0)
        return QPoint();
    const ZoomViewRect before = m_view;
    if (m_hBar) {
        const auto shift = static_cast<std::int64_t>(m_view.cx) * dx / m_logical.cx;
        m_view.scrollX = static_cast<int>(std::clamp<std::int64_t>(m_view.scrollX + shift, 0, MaxScrollX()));
    }
    if (m_vBar) {
        const auto shift = static_cast<std::int64_t>(m_view.cy) * dy / m_logical.cy;
        m_view.scrollY = static_cast<int>(std::clamp<std::int64_t>(m_view.scrollY - shift, 0, MaxScrollY()));
    }
    return QPoint(before.scrollX - m_view.scrollX, before.scrollY - m_view.scrollY);
}

int ZoomState::ScrollTarget(bool vertical, ScrollCode code, int trackPos) const
{
    const int pos = vertical ? m_view.scrollY : m_view.scrollX;
    const int max = vertical ? MaxScrollY() : MaxScrollX();
    std::int64_t target = pos;
    switch (code) {
    case LineUp:
        target = static_cast<std::int64_t>(pos) - LineStep(vertical);
        break;
    case LineDown:
        target = static_cast<std::int64_t>(pos) + LineStep(vertical);
        break;
    case PageUp:
        target = static_cast<std::int64_t>(pos) - PageStep(vertical);
        break;
    case PageDown:
        target = static_cast<std::int64_t>(pos) + PageStep(vertical);
        break;
    case ThumbTrack:
        target = trackPos;
        break;
    case Top:
        target = 0;
        break;
    case Bottom:
        target = max;
        break;
    case Ignored:
        return pos;
    }
    if (!(vertical ? m_vBar : m_hBar))
        return pos;
    return static_cast<int>(std::clamp<std::int64_t>(target, 0, max));
}

int ZoomState::SetScroll(bool vertical, int position)
{
    if (!(vertical ? m_vBar : m_hBar))
        return 0;
    int& scroll = vertical ? m_view.scrollY : m_view.scrollX;
    const int before = scroll;
    scroll = std::clamp(position, 0, vertical ? MaxScrollY() : MaxScrollX());
    return scroll - before;
}

void ZoomState::Resize(int width, int height, int barExtent)
{
    SetArea(width, height, barExtent);
    if (m_logical.cx <= 0 || m_logical.cy <= 0)
        return;
    if (m_areaW > m_view.cx && m_areaH > m_view.cy)
        FitToWindow();
    UpdateBars();
}

double ZoomState::Scale() const
{
    if (m_logical.cx <= 0 || m_logical.cy <= 0)
        return 0.0;
    return std::min(static_cast<double>(m_view.cx) / m_logical.cx,
                    static_cast<double>(m_view.cy) / m_logical.cy);
}

QTransform ZoomState::Transform() const
{
    const double s = Scale();
    return QTransform(s, 0.0, 0.0, -s, -m_view.scrollX, static_cast<double>(m_view.cy) - m_view.scrollY);
}

QPointF ZoomState::ToDevice(double x, double y) const
{
    return Transform().map(QPointF(x, y));
}

QPointF ZoomState::ToLogical(double x, double y) const
{
    const double s = Scale();
    if (!(s > 0.0))
        return QPointF();
    return QPointF((x + m_view.scrollX) / s, (static_cast<double>(m_view.cy) - m_view.scrollY - y) / s);
}
