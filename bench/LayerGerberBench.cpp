// Photo-plot output of one copper layer of the synthetic board: its tracks, lands and texts (a
// third of them stroke texts, the rest TrueType glyph surfaces) and the vias' lands on it; the
// layer's whole body written by the sheet, and read back.

#include "bench/SyntheticBoard.h"
#include "model/cam/CamReadResult.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "tests/model/sheet/SheetGerberItems.h"
#include "tests/support/GerberOutput.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

template <typename Write> void Run(benchmark::State& state, Write write)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    CSheet& top = board.Layer(bench::SyntheticBoard::kTop);
    std::size_t bytes = 0;
    std::uint32_t hash = 0;
    for (auto _ : state) {
        testing_support::GerberOutput out;
        write(board, top, out);
        bytes = out.ar.Data().size();
        state.PauseTiming();
        hash = bench::Fnv1a(out.ar.Data().data(), out.ar.Data().size());
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    // Equal hashes before and after a change of the writers: the same bytes.
    state.counters["hash"] = static_cast<double>(hash);
    state.SetComplexityN(state.range(0));
}

void BM_LayerGerber(benchmark::State& state)
{
    Run(state, [](bench::SyntheticBoard& board, CSheet& top, testing_support::GerberOutput& out) {
        for (POSITION p = top.GetFirstLinePos(); p;)
            top.GetNextLine(p)->DataWriteGerbar(out.ar, out.g, false);
        for (POSITION p = top.GetFirstLandPos(); p;)
            top.GetNextLand(p)->DataWriteGerbar(out.ar, out.g);
        for (POSITION p = top.GetFirstTextPos(); p;)
            top.GetNextText(p)->DataWriteGerbar(out.ar, out.g, false);
        CSheet& vias = board.ViaParts();
        for (POSITION p = vias.GetFirstViaPos(); p;)
            vias.GetNextVia(p)->DataWriteGerbar(out.ar, out.g, VIA_SHEET_WIRING, bench::SyntheticBoard::kTop);
    });
}

void BM_LayerGerberTexts(benchmark::State& state)
{
    Run(state, [](bench::SyntheticBoard&, CSheet& top, testing_support::GerberOutput& out) {
        for (POSITION p = top.GetFirstTextPos(); p;)
            top.GetNextText(p)->DataWriteGerbar(out.ar, out.g, false);
    });
}

// The layer's whole photo-plot body through the sheet: vias, placed parts, lands, lines,
// surfaces, arcs and texts.
void BM_LayerPhotoBody(benchmark::State& state)
{
    Run(state, [](bench::SyntheticBoard&, CSheet& top, testing_support::GerberOutput& out) {
        out.g.photo = 1;
        top.SerializeGerbar(out.ar, out.g);
    });
}

// The top layer's photo body behind a header of its own, as a file to read back.
std::vector<std::uint8_t> PhotoFile(bench::SyntheticBoard& board)
{
    testing_support::GerberOutput out;
    out.g.photo = 1;
    out.ar.WriteString("%FSLAX33Y33*%\r\n%MOMM*%\r\nG75*\r\nG01*\r\n");
    board.Layer(bench::SyntheticBoard::kTop).SerializeGerbar(out.ar, out.g);
    out.ar.WriteString("M02*\r\n");
    return out.ar.Data();
}

// That body read back into a work sheet.
void BM_LayerPhotoRead(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    const std::vector<std::uint8_t> file = PhotoFile(board);
    int items = 0;
    for (auto _ : state) {
        CArchive ar(CArchive::load, file);
        auto sheet = std::make_unique<CSheet>();
        tagGERBAR g = gerber_test::PhotoSettings();
        CamReadResult result;
        sheet->ReadGerbar(ar, g, result);
        items = sheet->GetItemCount();
        // Freeing the items read is not part of reading; BM_LayerPhotoReadAndFree counts it.
        state.PauseTiming();
        sheet.reset();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(file.size());
    state.counters["items"] = items;
    state.SetComplexityN(state.range(0));
}

// The same read with the sheet freed inside the timed loop.
void BM_LayerPhotoReadAndFree(benchmark::State& state)
{
    bench::SyntheticBoard board(static_cast<int>(state.range(0)));
    const std::vector<std::uint8_t> file = PhotoFile(board);
    for (auto _ : state) {
        CArchive ar(CArchive::load, file);
        CSheet sheet;
        tagGERBAR g = gerber_test::PhotoSettings();
        CamReadResult result;
        sheet.ReadGerbar(ar, g, result);
        benchmark::DoNotOptimize(sheet.GetItemCount());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_LayerPhotoBody)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LayerPhotoRead)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LayerPhotoReadAndFree)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LayerGerber)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LayerGerberTexts)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK_MAIN();
