// Drawing every sheet of the synthetic board (see SyntheticBoard.h) into a 1920 x 1080 image, set
// against drawing the same items alone with one pen and brush: the sheet's own work (colour, pens,
// brushes, print keys) should add less than a tenth. Also the manufacturing tables of the board's
// layers (drill tools and aperture usage), which should stay under 50 ms at scale 1.

#include "bench/SyntheticBoard.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/qt/QPainterDrawContext.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// The board fitted into the image, y upward.
void Map(platform::DrawContext& dc, bench::SyntheticBoard& board)
{
    CDRect bounds = board.Layer(bench::SyntheticBoard::kTop).GetBoundingRect();
    const double side = std::max(bounds.right, bounds.top) * 100.0 + 1.0;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(CSize(static_cast<int>(side), static_cast<int>(side)));
    dc.SetViewportExt(CSize(kHeight, -kHeight));
    dc.SetViewportOrg(CPoint(0, kHeight));
}

QImage& Image()
{
    static QImage image(kWidth, kHeight, QImage::Format_RGB32);
    return image;
}

// Equal hashes before and after a change of the drawing: the same pixels.
double ImageHash()
{
    const QImage& image = Image();
    std::uint32_t h = 2166136261u;
    for (int y = 0; y < image.height(); ++y)
        h = bench::Fnv1a(image.constScanLine(y), static_cast<std::size_t>(image.bytesPerLine()), h);
    return static_cast<double>(h);
}

void Render(bench::SyntheticBoard& board, const std::function<void(platform::DrawContext&)>& draw)
{
    QImage& image = Image();
    image.fill(Qt::black);
    QPainter painter(&image);
    {
        platform::QPainterDrawContext dc(&painter);
        Map(dc, board);
        dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(255, 255, 255)));
        dc.SelectStockBrush(BLACK_BRUSH);
        draw(dc);
    }
    painter.end();
}

void BM_DrawSheet(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    const auto drawAll = [&](platform::DrawContext& dc) {
        for (CSheet* sheet : board.Sheets())
            sheet->DrawSheet(&dc);
    };
    Render(board, drawAll); // the sheets' indexes are made once, as for a view drawn again
    for (auto _ : state)
        Render(board, drawAll);
    state.SetItemsProcessed(state.iterations() * board.ItemCount());
    state.counters["hash"] = ImageHash();
}

// The same items drawn one by one in the sheet's order, with the pen and brush set once.
void BM_DrawItemsAlone(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Render(board, [&](platform::DrawContext& dc) {
            for (CSheet* sheet : board.Sheets()) {
                const int mode = sheet->GetLayer().drawClass;
                for (POSITION pos = sheet->GetFirstSurPos(); pos;)
                    sheet->GetNextSur(pos)->DrawSur(&dc, mode);
                for (POSITION pos = sheet->GetFirstLinePos(); pos;)
                    sheet->GetNextLine(pos)->DrawLine(&dc, mode);
                for (POSITION pos = sheet->GetFirstArcPos(); pos;)
                    sheet->GetNextArc(pos)->DrawArc(&dc, mode);
                for (POSITION pos = sheet->GetFirstLandPos(); pos;)
                    sheet->GetNextLand(pos)->DrawLand(&dc, mode);
                for (POSITION pos = sheet->GetFirstTextPos(); pos;)
                    sheet->GetNextText(pos)->DrawTextA(&dc, mode);
                for (POSITION pos = sheet->GetFirstTerPos(); pos;)
                    sheet->GetNextTer(pos)->DrawTer(&dc, 1);
                if (sheet->GetType() & 0x1) {
                    CSheet& viaParts = board.ViaParts();
                    for (POSITION pos = viaParts.GetFirstViaPos(); pos;)
                        viaParts.GetNextVia(pos)->DrawVia(&dc, sheet->GetType(), sheet->GetWLayer(), mode,
                                                          false);
                }
                for (POSITION pos = sheet->GetFirstHolePos(); pos;)
                    sheet->GetNextHole(pos)->DrawHole(&dc, mode);
            }
        });
    }
    state.SetItemsProcessed(state.iterations() * board.ItemCount());
}

void BM_CamTables(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    // The board's layers as the output sees them, plus a hole layer that collects the drills.
    CSheet holeLayer(0, 0x10000, bench::SyntheticBoard::kHoleA, &board);
    holeLayer.SetSheetType(SHEET_BOARD);
    std::vector<CSheet*> layers = {&board.Layer(bench::SyntheticBoard::kTop),
                                   &board.Layer(bench::SyntheticBoard::kBottom), &holeLayer};
    int tools = 0;
    for (auto _ : state) {
        std::array<tagTCODE, 100> toolTable{};
        std::array<tagDCODE, TURRET_MAX + 1> apertures{};
        tools = 0;
        for (CSheet* sheet : layers) {
            sheet->CheckTurret(apertures.data());
            sheet->CheckHole(toolTable.data(), 0, &tools);
        }
        benchmark::DoNotOptimize(apertures);
    }
    state.counters["tools"] = tools;
    state.SetItemsProcessed(state.iterations() * board.ItemCount());
}

BENCHMARK(BM_DrawSheet)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawItemsAlone)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CamTables)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Texts need the font machinery of a GUI application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
