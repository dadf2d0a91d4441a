// Redrawing the board view: the synthetic board copied into a board document and drawn through
// the view's own drawing routine (layers, parts, selection, cutter lines, grid and origin) into a
// 3840 x 2160 image, fitted and at four times the fitted zoom (a sixteenth of the board), and the
// same after scrolling by a tenth of the window, where only the exposed strip is drawn again.
// VELTA_BENCH_PNG=prefix saves the images, as a user would see the view.

#include "app/VELTAView.h"
#include "bench/SyntheticBoard.h"
#include "document/VELTADoc.h"
#include "model/startup/Startup.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

class BenchView : public CVELTAView
{
public:
    using CVELTAView::CVELTAView;
    using CVELTAView::OnDraw;
};

// The synthetic board as a document on the installed master settings; the synthetic board stays
// the frame, so turrets and vias draw as it defines them.
struct RedrawBoard
{
    explicit RedrawBoard(int scale) : board(scale)
    {
        const auto master = std::filesystem::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf";
        doc.GetSettingFile().SetPath(master.string());
        doc.LoadSettings();
        CDRect all;
        bool first = true;
        for (int layer = 0; layer <= LAYER_MAX; ++layer) {
            CSheet* source = board.GetBoardSheet(layer);
            if (!source || source->IsEmpty())
                continue;
            CSheet* target = doc.GetBoardSheet(layer);
            for (int kind = 1; kind <= KIND_TER; kind <<= 1) {
                for (POSITION pos = source->GetFirstItemPos(kind); pos;)
                    target->StoreCopy(*source->GetNextItem(kind, pos));
            }
            const CDRect r = source->GetBoundingRect();
            all = first ? r : (all | r);
            first = false;
        }
        doc.SetBoardSize(CDSize(all.right + 1.0, all.bottom + 1.0));
        doc.SetUserOrigin(CDPoint(0.0, 0.0));
        doc.SetViewRect(CDRect());
        for (int layer : {bench::SyntheticBoard::kTop, bench::SyntheticBoard::kBottom})
            masterClass[static_cast<std::size_t>(layer)] = doc.GetBoardSheet(layer)->GetLayer().drawClass;
        view = std::make_unique<BenchView>(&doc);
        view->resize(kWidth, kHeight);
        view->OnInitialUpdate();
    }

    bench::SyntheticBoard board;
    CVELTADoc doc;
    std::array<std::uint8_t, 2> masterClass{};
    std::unique_ptr<BenchView> view;
};

RedrawBoard& Board(int scale)
{
    static std::unique_ptr<RedrawBoard> made;
    static int madeScale = 0;
    if (madeScale != scale) {
        made.reset();
        made = std::make_unique<RedrawBoard>(scale);
        madeScale = scale;
    }
    return *made;
}

void Draw(BenchView& view, QImage& image, const QRect& exposed)
{
    QPainter painter(&image);
    painter.fillRect(exposed, Qt::black);
    painter.setClipRect(exposed);
    platform::QPainterDrawContext dc(&painter);
    view.PrepareDC(dc);
    view.OnDraw(dc);
}

// Equal hashes before and after a change of the drawing: the same pixels.
std::uint32_t ImageHash(const QImage& image)
{
    std::uint32_t h = 2166136261u;
    for (int y = 0; y < image.height(); ++y)
        h = bench::Fnv1a(image.constScanLine(y), static_cast<std::size_t>(image.bytesPerLine()), h);
    return h;
}

void Save(const QImage& image, const char* what, int scale)
{
    if (const char* out = std::getenv("VELTA_BENCH_PNG"))
        image.save(QString::fromLocal8Bit(out) + QString::asprintf("-%s-%d.png", what, scale));
}

// The wiring layers drawn filled (class 4) or as the master settings have them (outlined).
void SetWiringClass(RedrawBoard& b, bool filled)
{
    for (int layer : {bench::SyntheticBoard::kTop, bench::SyntheticBoard::kBottom}) {
        const auto index = static_cast<std::size_t>(layer);
        b.doc.GetBoardSheet(layer)->GetLayerPoint()->drawClass = filled ? 4 : b.masterClass[index];
    }
}

// zoom 1: the whole board fitted; zoom 4: a sixteenth of it.
void BM_ViewRedraw(benchmark::State& state)
{
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    const int scale = static_cast<int>(state.range(0));
    const int zoom = static_cast<int>(state.range(1));
    const bool filled = state.range(2) != 0;
    RedrawBoard& b = Board(scale);
    SetWiringClass(b, filled);
    b.view->WholeView();
    b.view->FitToWindow();
    if (zoom > 1) {
        const CSize logical = b.view->State().Logical();
        b.view->ZoomAt(CPoint(logical.cx / 2, logical.cy / 2), zoom, false);
    }
    QImage image(b.view->State().ClientWidth(), b.view->State().ClientHeight(), QImage::Format_RGB32);
    Draw(*b.view, image, image.rect());
    for (auto _ : state)
        Draw(*b.view, image, image.rect());
    Save(image, zoom > 1 ? (filled ? "zoom4-filled" : "zoom4") : (filled ? "fitted-filled" : "fitted"),
         scale);
    state.counters["items"] = static_cast<double>(b.board.ItemCount());
    state.counters["hash"] = static_cast<double>(ImageHash(image));
    platform::SetProfile(nullptr);
}

// Scrolling a zoomed view by a tenth of its width: the pixels move and only the strip they leave
// is drawn.
void BM_ViewScrollStrip(benchmark::State& state)
{
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    RedrawBoard& b = Board(static_cast<int>(state.range(0)));
    SetWiringClass(b, true);
    b.view->FitToWindow();
    const CSize logical = b.view->State().Logical();
    b.view->ZoomAt(CPoint(logical.cx / 2, logical.cy / 2), 4, false);
    QImage image(b.view->State().ClientWidth(), b.view->State().ClientHeight(), QImage::Format_RGB32);
    const int strip = image.width() / 10;
    Draw(*b.view, image, image.rect()); // indexes and glyphs made once
    for (auto _ : state)
        Draw(*b.view, image, QRect(image.width() - strip, 0, strip, image.height()));
    state.counters["hash"] = static_cast<double>(ImageHash(image));
    platform::SetProfile(nullptr);
}

void Views(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"scale", "zoom", "filled"});
    for (int scale : {1, 4, 16}) {
        for (int zoom : {1, 4}) {
            for (int filled : {1, 0})
                b->Args({scale, zoom, filled});
        }
    }
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_ViewRedraw)->Apply(Views);
BENCHMARK(BM_ViewScrollStrip)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The document copies items through the model's registered kinds.
    std::string missing;
    if (!InstallQuarnHooks(&missing))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
