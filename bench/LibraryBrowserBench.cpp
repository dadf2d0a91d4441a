// Part library browser: expanding a large library from its index and without one (the library is
// read and indexed again), and the preview of a part with many terminals.

#include "bench/SyntheticBoard.h"
#include "libui/DlgLibList.h"
#include "model/items/Land.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/library/Library.h"
#include "platform/FilePath.h"
#include "platform/Profile.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

constexpr int kPartsPerScale = 5000;
constexpr int kTerminalsPerScale = 400;

bench::SyntheticBoard& Board()
{
    static bench::SyntheticBoard board(1);
    return board;
}

platform::MemoryProfile& Profile()
{
    static platform::MemoryProfile profile;
    return profile;
}

// A part of a few pads in a row, or one of many terminals for the preview.
CPart MakePart(const std::string& name, int terminals)
{
    const double length = terminals * 2.54;
    CPart part(CDPoint(0, 0), CDRect(-1, -1, length, 1), 0, 0, 0.0, 0);
    part.SetPartName(name.c_str());
    part.SetRefName("U?");
    part.GetPartNameText()->SetLayerNo(bench::SyntheticBoard::kSilkA);
    part.GetRefNameText()->SetLayerNo(bench::SyntheticBoard::kSilkA);
    for (int i = 0; i < terminals; ++i) {
        const CDPoint at(i * 2.54, i % 2 ? 7.62 : 0.0);
        part.NewLand(at, bench::SyntheticBoard::kPad)->SetLayerNo(bench::SyntheticBoard::kTop);
        part.NewTer(at, CText(std::to_string(i + 1), at, 0))->SetLayerNo(bench::SyntheticBoard::kTermA);
    }
    return part;
}

// A library of parts (one package each) in the temporary folder; its path.
std::string MakeLibrary(int parts, int terminals, const char* file)
{
    const std::string path = (std::filesystem::temp_directory_path() / file).string();
    std::filesystem::remove(path);
    CSheet sheet(0, 0, LAYER_MAX, &Board());
    for (int i = 0; i < parts; ++i)
        sheet.NewPart(MakePart("P" + std::to_string(i), terminals));
    CLibrary library;
    library.SetLibraryName(path);
    library.WritePart(&sheet, 1);
    library.SetLibraryList({path});
    library.WriteLibraryList();
    return path;
}

void Expand(benchmark::State& state, bool withIndex)
{
    const int parts = kPartsPerScale * static_cast<int>(state.range(0));
    const std::string path = MakeLibrary(parts, 2, "velta-bench-browser.vlb");
    CLibrary library;
    library.SetLibraryName(path);
    const std::filesystem::path index = platform::Cp932ToPath(library.GetIndexName());
    {
        CDlgLibList first;
        first.SetDocument(&Board());
        first.show();
        first.Tree()->expandItem(first.Tree()->topLevelItem(0));
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (!withIndex)
            std::filesystem::remove(index);
        auto dialog = std::make_unique<CDlgLibList>();
        dialog->SetDocument(&Board());
        dialog->show();
        state.ResumeTiming();
        dialog->Tree()->expandItem(dialog->Tree()->topLevelItem(0));
        benchmark::DoNotOptimize(dialog->Tree()->topLevelItem(0)->childCount());
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
    state.counters["parts"] = parts;
}

void BM_ExpandFromIndex(benchmark::State& state)
{
    Expand(state, true);
}

void BM_ExpandWithoutIndex(benchmark::State& state)
{
    Expand(state, false);
}

void BM_PreviewPart(benchmark::State& state)
{
    const int terminals = kTerminalsPerScale * static_cast<int>(state.range(0));
    MakeLibrary(1, terminals, "velta-bench-preview.vlb");
    CDPoint::SetScale(100);
    CDlgLibList dialog;
    dialog.SetDocument(&Board());
    dialog.show();
    QTreeWidgetItem* top = dialog.Tree()->topLevelItem(0);
    dialog.Tree()->expandItem(top);
    dialog.Tree()->setCurrentItem(top->child(0));
    QImage image(240, 200, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        dialog.DrawPreview(painter, image.rect());
    }
    state.counters["terminals"] = terminals;
}

BENCHMARK(BM_ExpandFromIndex)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandWithoutIndex)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPart)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::SetProfile(&Profile());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::SetProfile(nullptr);
    return 0;
}
