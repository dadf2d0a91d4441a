// Saving and opening the synthetic board (see SyntheticBoard.h) as a board file with a matching
// settings file, through the document's own save and open, at 1, 4 and 16 times the base board.
// Each should stay well under 150 ms at 1x and grow about as n log n.

#include "bench/SyntheticBoard.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "platform/FilePath.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Cp(const fs::path& p)
{
    return platform::PathToCp932(p).value_or(p.string());
}

// A folder with the installed master beside a "program", and a board folder holding the synthetic
// board saved with its own settings file.
class BoardFiles
{
public:
    explicit BoardFiles(int scale)
        : m_root(fs::temp_directory_path() /
                 ("velta-bench-file-" + std::to_string(::getpid()) + "-" + std::to_string(scale)))
    {
        platform::SetMessageService(&m_messages);
        platform::SetProfile(&m_profile);
        fs::remove_all(m_root);
        fs::create_directories(m_root / "program");
        fs::create_directories(m_root / "user");
        fs::create_directories(m_root / "board");
        SetProgramFolders(m_root / "program", m_root / "user");
        const fs::path master = fs::path(__FILE__).parent_path().parent_path() / "resources" / "velta.bpf";
        fs::copy_file(master, m_root / "program" / "velta.bpf");
        fs::copy_file(master, m_root / "board" / "board.bpf");

        doc = std::make_unique<CVELTADoc>();
        doc->GetSettingFile().SetPath(m_root / "board" / "board.bpf");
        doc->LoadSettings();
        {
            bench::SyntheticBoard board(scale);
            items = board.ItemCount();
            // The settings that match the synthetic board: its turrets, via and size.
            for (int t = 1; t <= 4; ++t)
                doc->Turret(t) = board.GetTurretEntry(t);
            doc->Via(1) = board.GetViaEntry(1);
            const double side = 300.0 * std::sqrt(static_cast<double>(scale));
            doc->SetBoardSize(CDSize(side, side));
            doc->WriteTurretTable();
            doc->WriteViaTable();
            doc->WriteSheetSize();
            doc->LoadSettings();
            *doc->GetBoardSheet(bench::SyntheticBoard::kTop) += board.Layer(bench::SyntheticBoard::kTop);
            *doc->GetBoardSheet(bench::SyntheticBoard::kBottom) +=
                board.Layer(bench::SyntheticBoard::kBottom);
            *doc->GetBoardSheet(LAYER_MAX) += board.ViaParts();
        }
        file = Cp(m_root / "board" / "synthetic.vbd");
    }
    ~BoardFiles()
    {
        doc.reset();
        SetProgramFolders({}, {});
        platform::SetProfile(nullptr);
        platform::SetMessageService(nullptr);
        fs::remove_all(m_root);
    }
    BoardFiles(const BoardFiles&) = delete;
    BoardFiles& operator=(const BoardFiles&) = delete;

    std::unique_ptr<CVELTADoc> doc;
    std::string file;
    long items = 0;

private:
    fs::path m_root;
    platform::RecordingMessages m_messages;
    platform::MemoryProfile m_profile;
};

void BM_SaveBoard(benchmark::State& state)
{
    BoardFiles files(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!files.doc->OnSaveDocument(files.file))
            state.SkipWithError("save failed");
    state.counters["bytes"] = static_cast<double>(fs::file_size(platform::Cp932ToPath(files.file)));
    state.SetComplexityN(files.items);
}

void BM_OpenBoard(benchmark::State& state)
{
    BoardFiles files(static_cast<int>(state.range(0)));
    if (!files.doc->OnSaveDocument(files.file))
        state.SkipWithError("save failed");
    files.doc.reset();
    for (auto _ : state) {
        auto doc = std::make_unique<CVELTADoc>();
        if (!doc->OnOpenDocument(files.file))
            state.SkipWithError("open failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(files.items);
}

BENCHMARK(BM_SaveBoard)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_OpenBoard)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

} // namespace

BENCHMARK_MAIN();
