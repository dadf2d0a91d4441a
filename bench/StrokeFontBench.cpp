// Stroke-font look-ups as text drawing makes them: the reader forgets the last code before each
// string, then looks up its characters in turn. The font has about 7,000 characters (single-byte
// and JIS X 0208 double-byte codes, as the generated font) times the argument, so the figures show
// how a look-up grows with the font. Opening reads the whole font once.

#include "model/startup/StrokeFontFile.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

// A sorted font file of `count` characters with 60 stroke bytes each; its codes go to `codes`.
std::filesystem::path WriteFont(int count, std::vector<unsigned>& codes)
{
    const auto path =
        std::filesystem::temp_directory_path() /
        ("velta-bench-font-" + std::to_string(::getpid()) + "-" + std::to_string(count) + ".FNT");
    std::ofstream out(path, std::ios::binary);
    const std::string strokes(60, '\xC8');
    char code[16];
    codes.clear();
    for (unsigned c = 0x21; codes.size() < static_cast<std::size_t>(count); ++c) {
        if (c == 0x7F)
            c = 0x8140 + 1; // double-byte codes follow the single-byte ones
        std::snprintf(code, sizeof code, "%-5X", c);
        out << code << strokes << "\r\n";
        codes.push_back(c);
    }
    return path;
}

void BM_StrokeLookups(benchmark::State& state)
{
    std::vector<unsigned> codes;
    const auto path = WriteFont(7000 * static_cast<int>(state.range(0)), codes);
    StrokeFontFile font;
    if (!font.Open(path)) {
        state.SkipWithError("font did not open");
        return;
    }
    // Strings of 12 characters at random from the font.
    std::mt19937 random(3);
    std::vector<std::vector<unsigned>> strings(1000);
    for (auto& s : strings)
        for (int i = 0; i < 12; ++i)
            s.push_back(codes[random() % codes.size()]);
    std::string strokes;
    long found = 0;
    for (auto _ : state) {
        for (const auto& s : strings) {
            font.ClearLastCode();
            for (unsigned c : s)
                found += font.GetStrokeData(c, strokes);
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * 12000);
    std::filesystem::remove(path);
}

void BM_StrokeFontOpen(benchmark::State& state)
{
    std::vector<unsigned> codes;
    const auto path = WriteFont(7000 * static_cast<int>(state.range(0)), codes);
    for (auto _ : state) {
        StrokeFontFile font;
        benchmark::DoNotOptimize(font.Open(path));
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_StrokeLookups)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeFontOpen)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
