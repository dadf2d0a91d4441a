#pragma once
// A board document on the installed master settings, shown in a board view of a fixed size on the
// offscreen platform, with a frame that answers from the document and a recording status bar.

#include "app/VELTAView.h"
#include "app/ViewFrame.h"
#include "document/VELTADoc.h"
#include "model/services/FrameServices.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMap>
#include <QMouseEvent>

#include <memory>
#include <vector>

// The main frame's answers for the document under test.
class DocFrame : public FrameServices
{
public:
    explicit DocFrame(CVELTADoc* doc) : m_doc(doc), m_previous(GetFrameServices()) { SetFrameServices(this); }
    ~DocFrame() override { SetFrameServices(m_previous); }
    DocFrame(const DocFrame&) = delete;
    DocFrame& operator=(const DocFrame&) = delete;

    tagTURRET GetTurret(int number) override
    {
        return number >= 0 && number <= TURRET_MAX ? m_doc->Turret(number) : tagTURRET{};
    }
    tagVIA GetVia(int number) override
    {
        return number >= 0 && number <= VIA_MAX ? m_doc->Via(number) : tagVIA{};
    }
    tagLAYER GetLayer(int layer) override
    {
        return layer >= 0 && layer < LAYER_MAX ? m_doc->GetLayer(layer) : tagLAYER{};
    }
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int) override { flags.fill(1); }
    void SetDrawMode(int mode) override { drawMode = mode; }
    int GetDrawMode() override { return drawMode; }
    int GetWireLayerCount() override { return m_doc->GetWireLayerCount(); }
    int GetTurretDCode(int turret) override { return turret + 10; }
    tagTEXTSIZE GetTextSize(int index) override { return m_doc->GetTextSizeEntry(index); }
    tagDIMS GetDimensionStyle() override { return m_doc->GetDimensionStyle(); }
    int GetCoordScale() override { return m_doc->GetCoordScale(); }
    bool IsLayerDisplayed(int layer) override { return m_doc->IsDisplayedLayer(layer); }
    DocumentServices* GetCurrentDocument() override { return m_doc; }

    int drawMode = 0;

private:
    CVELTADoc* m_doc;
    FrameServices* m_previous;
};

class RecordingViewFrame : public ViewFrame
{
public:
    bool IsStatusBarVisible() const override { return true; }
    QString GetPaneText(int pane) const override { return panes.value(pane); }
    void SetPaneText(int pane, const QString& text) override
    {
        panes[pane] = text;
        ++writes;
    }
    int GetZoomPercent() const override { return 20; }

    QMap<int, QString> panes;
    int writes = 0;
};

// The view with the print flag reachable.
class TestView : public CVELTAView
{
public:
    using CVELTAView::CVELTAView;
    using CVELTAView::SetPrinting;

    // The device rectangles painted since the last clear.
    std::vector<QRect> painted;

protected:
    void OnDraw(platform::QPainterDrawContext& dc) override
    {
        const CRect clip = dc.LPtoDP(dc.GetClipBox());
        painted.push_back(QRect(QPoint(clip.left, clip.top), QPoint(clip.right, clip.bottom)).normalized());
        CVELTAView::OnDraw(dc);
    }
};

class ViewFixture : public ::testing::Test
{
protected:
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 500;

    void SetUp() override
    {
        platform::SetProfile(&profile);
        platform::SetMessageService(&messages);
        doc = std::make_unique<CVELTADoc>();
        doc->GetSettingFile().SetPath(std::string(VELTA_SOURCE_DIR) + "/resources/velta.bpf");
        doc->LoadSettings();
        doc->SetBoardSize(CDSize(100.0, 50.0));
        doc->SetUserOrigin(CDPoint(10.0, 10.0));
        doc->SetViewRect(CDRect());
        frame = std::make_unique<DocFrame>(doc.get());
        view = std::make_unique<TestView>(doc.get());
        view->SetFrame(&status);
        view->resize(kWidth, kHeight);
        view->OnInitialUpdate();
    }
    void TearDown() override
    {
        view.reset();
        frame.reset();
        doc.reset();
        platform::SetMessageService(nullptr);
        platform::SetProfile(nullptr);
    }

    QImage Grab() { return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The client pixel of a board point (millimetres).
    QPoint Pixel(double x, double y) const
    {
        const QPointF p = view->LogicalToDevice().map(QPointF(x * 100.0, y * 100.0));
        return QPoint(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
    }

    // For input tests: the view replaced by one of class V (a TestView), then the unit grid.
    template <class V> void UseInputView()
    {
        view.reset();
        view = std::make_unique<V>(doc.get());
        view->SetFrame(&status);
        view->resize(kWidth, kHeight);
        view->OnInitialUpdate();
        UseUnitGrid();
    }
    // A 1 mm grid current; `top` and `bottom` the first and last wiring layers, `top` current.
    void UseUnitGrid()
    {
        tagGRID grid;
        grid.xPitch = grid.yPitch = 1.0;
        doc->SetGrid(0, grid);
        doc->SetCurrentGrid(0);
        const auto& wires = doc->GetWireLayerList();
        ASSERT_GE(wires.size(), 2u);
        top = wires.front();
        bottom = wires.back();
        doc->SelectLayer(top);
    }
    BoardInput& In() { return view->Input(); }
    // A mouse event at a client pixel of the view.
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent event(type, QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), button, buttons,
                          mods);
        QApplication::sendEvent(view->viewport(), &event);
    }

    int top = 0;
    int bottom = 0;
    platform::MemoryProfile profile;
    platform::RecordingMessages messages;
    std::unique_ptr<CVELTADoc> doc;
    std::unique_ptr<DocFrame> frame;
    RecordingViewFrame status;
    std::unique_ptr<TestView> view;
};
