#include "app/ChildFrame.h"

#include "app/FrameDocumentHost.h"
#include "app/MainFrame.h"
#include "app/PrintDialogAdapter.h"
#include "app/ToolBarArt.h"
#include "app/VELTAApp.h"
#include "app/VELTAView.h"
#include "document/VELTADoc.h"
#include "platform/FilePath.h"
#include "platform/qt/QtText.h"

#include <QCloseEvent>
#include <QStatusBar>
#include <QTimer>

using platform::Cp932ToQString;
using platform::QStringToCp932;

CChildFrame::CChildFrame(CMainFrame& frame, std::unique_ptr<CVELTADoc> document,
                         std::unique_ptr<FrameDocumentHost> host)
    : m_frame(frame), m_pHost(std::move(host)), m_pDocument(std::move(document))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QPixmap::fromImage(DocumentIconImage(16, false))));
    m_pView = new CVELTAView(m_pDocument.get(), this);
    setWidget(m_pView);
    m_pView->SetFrame(this);
    m_pView->OnInitialUpdate();
    m_pPrintDialog = std::make_unique<CPrintDialogAdapter>(this);
    m_pView->SetPrintDialog(m_pPrintDialog.get());
    m_pHost->SetChildFrame(this);
    ShowTitle(m_pDocument->GetDocTitle());
    resize(640, 480);
}

CChildFrame::~CChildFrame()
{
    // The view observes the document: it goes first; the frame forgets the document.
    delete widget();
    if (m_frame.GetCurrentDoc() == m_pDocument.get())
        m_frame.SetCurrentDoc(nullptr);
    if (m_pDocument)
        m_pDocument->SetHost(nullptr);
}

void CChildFrame::ShowTitle(const std::string& title)
{
    setWindowTitle(Cp932ToQString(title));
    m_frame.UpdateCaption();
}

bool CChildFrame::IsStatusBarVisible() const
{
    return m_frame.statusBar()->isVisible();
}

QString CChildFrame::GetPaneText(int pane) const
{
    return m_frame.StatusPaneText(pane);
}

void CChildFrame::SetPaneText(int pane, const QString& text)
{
    m_frame.SetStatusPaneText(pane, text);
}

int CChildFrame::GetZoomPercent() const
{
    return m_frame.GetZoomPercent();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_pDocument) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // The project forgets the board even when the user keeps it open, as the project list did.
    if (CVELTAApp* app = GetApp())
        app->RemoveProjectDocument(m_pDocument->GetDocPathName());
    if (!m_pDocument->SaveModified()) {
        event->ignore();
        return;
    }
    m_pDocument->OnCloseDocument();
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) {
        // The frame looks at the remaining boards once this one is gone.
        CMainFrame* frame = &m_frame;
        QTimer::singleShot(0, frame, [frame] { frame->OnChildClosed(); });
        if (frame->GetCurrentDoc() == m_pDocument.get())
            frame->SetCurrentDoc(nullptr);
    }
}

void CChildFrame::changeEvent(QEvent* event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_pDocument)
        return;
    if (isMinimized()) {
        const std::string path = m_pDocument->GetDocPathName();
        if (!path.empty())
            m_pDocument->SetTitle(
                platform::PathToCp932(platform::Cp932ToPath(path).filename()).value_or(path));
    } else {
        m_pDocument->SetTitle(std::string());
        if (isMaximized())
            m_frame.SetCurrentDoc(m_pDocument.get());
    }
    m_frame.UpdateCaption();
}
