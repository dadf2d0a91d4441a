// The whole design rule check on the synthetic board through the document: connectivity from
// scratch, connectivity nets, the reports, copper clearance on both wiring layers, part clearance
// on both sides, marks. Arguments: the board's scale (1, 4, 16).

#include "bench/DocumentBoard.h"
#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "model/items/Land.h"
#include "model/items/Part.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// Answers the check's dialog with the defaults and every report; nothing else is shown.
class CheckHost : public DocumentHost
{
public:
    void UpdateAllViews(int, const CDRect*, CItemBase*) override {}
    std::optional<PrinterPage> GetDefaultPrinterPage(bool, int) override { return std::nullopt; }
    bool RunDrcDialog(DrcChoice& choice, CVELTADoc&) override
    {
        choice.copperMode = 1;
        choice.layers.fill(1);
        choice.componentSide = choice.solderSide = 1;
        choice.reverseNet = choice.reverseIndex = choice.pinCount = 1;
        choice.netFormat = 9;
        choice.viewFiles = 0;
        return true;
    }
};

struct CheckBoard
{
    explicit CheckBoard(int scale) : board(scale)
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        doc = std::make_unique<CVELTADoc>();
        using B = bench::SyntheticBoard;
        bench::MoveIntoDocument(board, *doc);
        for (int index : {PL_DIPOUTLINE, PL_SMDOUTLINE}) {
            tagPARTLAYER& outline = doc->GetLayerStack().partLayers[static_cast<std::size_t>(index)];
            outline.layerA = B::kSilkA;
            outline.layerB = B::kSilkB;
        }
        // The board's parts are on the board: the check lists placed parts only.
        CSheet* viaParts = doc->GetBoardSheet(LAYER_MAX);
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;) {
            CPart* part = viaParts->GetNextPart(pos);
            part->SetType(part->GetType() | PART_PLACED);
        }
        doc->GetBoardSheet(B::kTop)->SetWLayer(1);
        doc->GetBoardSheet(B::kBottom)->SetWLayer(2);
        doc->Turret(10).size1 = 0.5;
        doc->Turret(15).size1 = 0.8;
        doc->BuildLayerLists();
        folder = std::filesystem::temp_directory_path() / ("velta_drc_bench_" + std::to_string(scale));
        std::filesystem::create_directories(folder);
        doc->SetPathName((folder / "board.vbd").string());
        doc->SetHost(&host);
    }
    ~CheckBoard()
    {
        doc.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    bench::SyntheticBoard board;
    CheckHost host;
    std::unique_ptr<CVELTADoc> doc;
    std::filesystem::path folder;
};

// Every "yyyy/mm/dd  hh:mm:ss" becomes "date" (std::regex draws a false warning from GCC 12).
void MaskDates(std::string& bytes)
{
    static constexpr char kForm[] = "0000/00/00  00:00:00";
    constexpr std::size_t n = sizeof(kForm) - 1;
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        bool date = i + n <= bytes.size();
        for (std::size_t k = 0; date && k < n; ++k) {
            const char c = bytes[i + k];
            date = kForm[k] == '0' ? (c >= '0' && c <= '9') : c == kForm[k];
        }
        if (date) {
            out += "date";
            i += n;
        } else {
            out += bytes[i++];
        }
    }
    bytes.swap(out);
}

// What a run left: the marker lands of the output layers and of the undo store in order, the undo
// records, the reports' bytes and the message. It must not change when the check is made faster.
void HashLands(CSheet& sheet, std::uint32_t& h)
{
    for (POSITION pos = sheet.GetFirstLandPos(); pos;) {
        const CLand* land = sheet.GetNextLand(pos);
        const double xy[2] = {land->GetPoint().x, land->GetPoint().y};
        const std::uint32_t words[4] = {land->GetID(), static_cast<std::uint32_t>(land->GetTurretNo()),
                                        static_cast<std::uint32_t>(land->GetLayerNo()),
                                        static_cast<std::uint32_t>(land->GetType())};
        h = bench::Fnv1a(xy, sizeof xy, h);
        h = bench::Fnv1a(words, sizeof words, h);
    }
}

std::uint32_t HashRun(CVELTADoc& doc, const std::filesystem::path& folder, const std::string& message)
{
    std::uint32_t h = 2166136261u;
    for (int layer = 100; layer < LAYER_MAX; ++layer) {
        h = bench::Fnv1a(&layer, sizeof layer, h);
        HashLands(*doc.GetBoardSheet(layer), h);
    }
    HashLands(*doc.GetUndoSheet(), h);
    const std::vector<unsigned>& history = doc.GetUndoHistory();
    h = bench::Fnv1a(history.data(), history.size() * sizeof(unsigned), h);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The reports carry the time of the run.
        MaskDates(bytes);
        h = bench::Fnv1a(name.data(), name.size(), h);
        h = bench::Fnv1a(bytes.data(), bytes.size(), h);
    }
    return bench::Fnv1a(message.data(), message.size(), h);
}

// The runs as the check made them before it was made faster, by the board's scale.
std::uint32_t PinnedRun(std::int64_t scale)
{
    switch (scale) {
    case 1:
        return 121034990u;
    case 4:
        return 4027223753u;
    case 16:
        return 1045608225u;
    default:
        return 0;
    }
}

void BM_DesignRuleCheck(benchmark::State& state)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    CheckBoard b(static_cast<int>(state.range(0)));
    for (auto _ : state)
        b.doc->OnDesignRuleCheck();
    state.counters["marks"] = static_cast<double>(b.doc->GetBoardSheet(114)->GetItemCount());
    const std::string message = messages.Count() > 0 ? messages.Last().text : std::string();
    const std::uint32_t hash = HashRun(*b.doc, b.folder, message);
    state.counters["hash"] = static_cast<double>(hash);
    if (PinnedRun(state.range(0)) != 0 && hash != PinnedRun(state.range(0)))
        state.SkipWithError("the marks, undo records or reports differ from the pinned ones");
    std::string summary = message;
    std::replace(summary.begin(), summary.end(), '\n', ' ');
    state.SetLabel("hash " + std::to_string(hash) + " " + summary);
    platform::SetMessageService(nullptr);
}
BENCHMARK(BM_DesignRuleCheck)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
