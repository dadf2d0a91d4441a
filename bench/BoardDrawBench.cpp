// Drawing the whole synthetic board into a 3840 x 2160 image through the Qt painter context, as
// the board view draws it: each wiring layer in its colour (surfaces, lines, arcs, lands filled,
// then texts, terminals, the vias, the holes) and the parts on each layer, bottom layer first.
// Views: the whole board, and a tenth of its area about its centre. "Walk" hands every item to
// its drawing, which tests its own visibility; "Indexed" draws only what the sheets' spatial
// indexes find in the view.

#include "bench/SyntheticBoard.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/SheetIndex.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

std::uint32_t ImageHash(const QImage& image)
{
    std::uint32_t h = 2166136261u;
    for (int y = 0; y < image.height(); ++y)
        h = bench::Fnv1a(image.constScanLine(y), static_cast<std::size_t>(image.bytesPerLine()), h);
    return h;
}

bench::SyntheticBoard& Board(int scale)
{
    // One board at a time: the board installs itself as the frame.
    static std::unique_ptr<bench::SyntheticBoard> board;
    static int made = 0;
    if (made != scale) {
        board.reset();
        board = std::make_unique<bench::SyntheticBoard>(scale);
        made = scale;
    }
    return *board;
}

// Maps the board rectangle (millimetres) onto the image as the board view does: a hundred logical
// units per millimetre, y upward, the same scale both ways, the rectangle centred.
void MapView(platform::DrawContext& dc, const CDRect& view)
{
    const double unitsPerPixel =
        std::max(view.Width() * 100.0 / kWidth, std::abs(view.Height()) * 100.0 / kHeight);
    const int window = 10000;
    const int viewport = static_cast<int>(std::lround(window / unitsPerPixel));
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(CSize(window, window));
    dc.SetViewportExt(CSize(viewport, -viewport));
    const CDPoint centre((view.left + view.right) / 2, (view.top + view.bottom) / 2);
    dc.SetWindowOrg(centre.IntPoint());
    dc.SetViewportOrg(CPoint(kWidth / 2, kHeight / 2));
}

// The items of one kind of a sheet, every one or those in the view.
template <class Item, class Fn> void ForEach(CSheet& sheet, int kind, const CDRect* area, Fn&& fn)
{
    if (area) {
        static std::vector<CItemBase*> found;
        found.clear();
        sheet.GetItemsIn(kind, *area, found);
        for (CItemBase* item : found)
            fn(*static_cast<Item*>(item));
        return;
    }
    for (POSITION p = sheet.GetFirstItemPos(kind); p;)
        fn(*static_cast<Item*>(sheet.GetNextItem(kind, p)));
}

void DrawLayer(platform::DrawContext& dc, bench::SyntheticBoard& board, CSheet& sheet, COLORREF colour,
               bool indexed)
{
    const CDRect visible = CSheetIndex::DrawArea(dc);
    const CDRect* area = indexed ? &visible : nullptr;
    const int cls = 4;
    const platform::Pen previousPen = dc.SelectPen(platform::Pen(PS_SOLID, 0, colour));
    dc.SetTextColor(colour);
    const platform::Brush previousBrush = dc.SelectBrush(platform::Brush::Solid(colour));
    const COLORREF previousBk = dc.SetBkColor(RGB(0, 0, 0));
    ForEach<CSur>(sheet, KIND_SUR, area, [&](CSur& s) { s.DrawSur(&dc, cls); });
    ForEach<CLine>(sheet, KIND_LINE, area, [&](CLine& l) { l.DrawLine(&dc, cls); });
    ForEach<CArc>(sheet, KIND_ARC, area, [&](CArc& a) { a.DrawArc(&dc, cls); });
    ForEach<CLand>(sheet, KIND_LAND, area, [&](CLand& l) { l.DrawLand(&dc, cls); });
    dc.SetBkColor(previousBk);
    ForEach<CText>(sheet, KIND_TEXT, area, [&](CText& t) { t.DrawTextA(&dc, cls); });
    ForEach<CTer>(sheet, KIND_TER, area, [&](CTer& t) { t.DrawTer(&dc, 1); });
    CSheet& viaParts = board.ViaParts();
    ForEach<CVia>(viaParts, KIND_VIA, area,
                  [&](CVia& v) { v.DrawVia(&dc, sheet.GetType(), sheet.GetWLayer(), cls, false); });
    dc.SelectStockBrush(BLACK_BRUSH);
    ForEach<CHole>(sheet, KIND_HOLE, area, [&](CHole& h) { h.DrawHole(&dc, cls); });
    ForEach<CPart>(viaParts, KIND_PART, area, [&](CPart& p) {
        p.DrawPart(&dc, cls, sheet.GetLayerNo(), sheet.GetType(), sheet.GetWLayer());
    });
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);
}

void DrawBoard(QImage& image, bench::SyntheticBoard& board, const CDRect& view, bool indexed,
               unsigned flags = platform::QPainterDrawContext::None)
{
    image.fill(Qt::black);
    QPainter painter(&image);
    platform::QPainterDrawContext dc(&painter, flags);
    MapView(dc, view);
    dc.SetBkMode(TRANSPARENT);
    DrawLayer(dc, board, board.Layer(bench::SyntheticBoard::kBottom), RGB(40, 90, 220), indexed);
    DrawLayer(dc, board, board.Layer(bench::SyntheticBoard::kTop), RGB(220, 60, 30), indexed);
}

// The whole board fitted into the image (part 1), or the image showing a tenth of the board's area
// about its centre (part 10).
CDRect View(bench::SyntheticBoard& board, int part)
{
    CDRect all = board.Layer(bench::SyntheticBoard::kTop).GetBoundingRect();
    all |= board.Layer(bench::SyntheticBoard::kBottom).GetBoundingRect();
    all |= board.ViaParts().GetBoundingRect();
    const CDPoint c((all.left + all.right) / 2, (all.top + all.bottom) / 2);
    if (part <= 1)
        return all;
    const double area = all.Width() * std::abs(all.Height()) / part;
    const double hw = std::sqrt(area * kWidth / kHeight) / 2;
    const double hh = hw * kHeight / kWidth;
    return CDRect(c.x - hw, c.y - hh, c.x + hw, c.y + hh);
}

void Run(benchmark::State& state, bool indexed, unsigned flags = platform::QPainterDrawContext::None)
{
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    const int scale = CDPoint::GetScale();
    CDPoint::SetScale(100);
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    const CDRect view = View(board, static_cast<int>(state.range(1)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    DrawBoard(image, board, view, indexed, flags); // fonts, glyphs, indexes and stamps made once
    for (auto _ : state)
        DrawBoard(image, board, view, indexed, flags);
    // VELTA_BENCH_PNG=prefix writes prefix-walk-1-10.png and so on, for comparing the images.
    if (const char* out = std::getenv("VELTA_BENCH_PNG")) {
        image.save(QString::fromLocal8Bit(out) +
                   QString::asprintf("-%s%s-%d-%d.png", indexed ? "indexed" : "walk",
                                     flags & platform::QPainterDrawContext::NoStamps ? "-painter" : "",
                                     static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    }
    state.counters["items"] = static_cast<double>(board.ItemCount());
    // Equal hashes before and after a change of the drawing: the same pixels.
    state.counters["hash"] = static_cast<double>(ImageHash(image));
    CDPoint::SetScale(scale);
    platform::SetProfile(nullptr);
}

void BM_BoardDrawWalk(benchmark::State& state)
{
    Run(state, false);
}

void BM_BoardDrawIndexed(benchmark::State& state)
{
    Run(state, true);
}

// Building the three sheets' indexes afresh, and asking them for every item in a view.
// Every figure through the painter, without stamps: the drawing stamps are compared with.
void BM_BoardDrawPainter(benchmark::State& state)
{
    Run(state, true, platform::QPainterDrawContext::NoStamps);
}

void BM_SheetIndexBuild(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    std::vector<CItemBase*> found;
    for (auto _ : state) {
        for (CSheet* sheet : board.Sheets()) {
            sheet->InvalidateIndex();
            found.clear();
            sheet->GetItemsIn(KIND_LINE, CDRect(0, 0, 1, 1), found);
        }
    }
}

void BM_SheetIndexQuery(benchmark::State& state)
{
    bench::SyntheticBoard& board = Board(static_cast<int>(state.range(0)));
    const CDRect view = View(board, static_cast<int>(state.range(1)));
    std::vector<CItemBase*> found;
    for (auto _ : state) {
        found.clear();
        for (CSheet* sheet : board.Sheets())
            sheet->GetItemsIn(0x1FF, view, found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
}

void Views(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"scale", "part"});
    for (int scale : {1, 4, 16}) {
        for (int part : {1, 10})
            b->Args({scale, part});
    }
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_BoardDrawWalk)->Apply(Views);
BENCHMARK(BM_BoardDrawIndexed)->Apply(Views);
BENCHMARK(BM_BoardDrawPainter)->Apply(Views);
BENCHMARK(BM_SheetIndexBuild)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetIndexQuery)->Apply(Views);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
