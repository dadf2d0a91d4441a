// The board view's side of the single keys: status coordinates, commands posted to the main
// window, zoom and cursor steps, and the caption toggle of Space.

#include "app/MainFrame.h"
#include "app/VELTAApp.h"
#include "app/VELTAView.h"
#include "app/ViewFrame.h"
#include "document/VELTADoc.h"

#include <QPointer>

#include <cmath>

void CVELTAView::ToggleRelative()
{
    m_bRelative = m_bRelative ? 0 : 1;
}

void CVELTAView::PostFrameCommand(int id)
{
    // Posted: the command runs after the key, from the main window's own loop.
    QPointer<CMainFrame> frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    QMetaObject::invokeMethod(
        frame,
        [frame, id] {
            if (frame)
                frame->OnCommand(id);
        },
        Qt::QueuedConnection);
}

int CVELTAView::ZoomPercent() const
{
    return m_frame ? m_frame->GetZoomPercent() : 20;
}

int CVELTAView::LineDivision() const
{
    return State().LineDiv();
}

void CVELTAView::ZoomAtBoard(const CDPoint& point, double factor)
{
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    ZoomAt(CPoint(static_cast<int>(point.x * scale), static_cast<int>(point.y * scale)), factor, true);
}

bool CVELTAView::MoveCursorToBoard(const CDPoint& point)
{
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    return MoveCursorToPoint(CPoint(static_cast<int>(point.x * scale), static_cast<int>(point.y * scale)));
}

void CVELTAView::ScrollByBoard(double dx, double dy)
{
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    ScrollByLogical(static_cast<int>(dx * scale), static_cast<int>(dy * scale), false);
}

void CVELTAView::ToggleCaption()
{
    CVELTAApp* app = GetApp();
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!app || !frame || app->GetProjectPath().empty())
        return;
    // The board's caption gives way to the project's, and back.
    frame->UpdateCaption(frame->windowTitle().startsWith(QStringLiteral("VELTA - ")));
}
