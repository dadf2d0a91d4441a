#pragma once
// The window of one open board: it owns the board document and shows its view. Its title follows
// the document's title rule when minimised or maximised; closing it asks to save, takes the board
// off the project's list of open boards and, after the last board, re-reads the auto-save flag.

#include "app/ViewFrame.h"

#include <QMdiSubWindow>

#include <memory>

class CMainFrame;
class CVELTADoc;
class CVELTAView;
class FrameDocumentHost;
class ViewPrintDialog;

class CChildFrame : public QMdiSubWindow, public ViewFrame
{
    Q_OBJECT

public:
    // Takes the opened document and its host; creates the view.
    CChildFrame(CMainFrame& frame, std::unique_ptr<CVELTADoc> document,
                std::unique_ptr<FrameDocumentHost> host);
    ~CChildFrame() override;

    CVELTADoc* GetDocument() const { return m_pDocument.get(); }
    CVELTAView* GetView() const { return m_pView; }
    // Shows the document's title (CP932) as the window title.
    void ShowTitle(const std::string& title);

    // --- The view's status panes and zoom step: the main frame's.
    bool IsStatusBarVisible() const override;
    QString GetPaneText(int pane) const override;
    void SetPaneText(int pane, const QString& text) override;
    int GetZoomPercent() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CMainFrame& m_frame;
    std::unique_ptr<FrameDocumentHost> m_pHost;
    std::unique_ptr<CVELTADoc> m_pDocument;
    CVELTAView* m_pView = nullptr; // the frame's widget

    std::unique_ptr<ViewPrintDialog> m_pPrintDialog; // the view's print dialog
};
