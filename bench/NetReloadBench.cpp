// Reading a project's net list into the board document: 20,000 nets of 100,000 nodes at scale 1
// (Arg 1, 4, 16 multiply both), read in a few dialects, nets sharing a node merged, and the nets
// bound to the terminals of 500 × scale placed parts of 20 pins. Should grow about linearly.

#include "bench/DocumentBoard.h"
#include "document/DocumentHost.h"
#include "document/NetListReader.h"
#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kNets = 20000, kNodesPerNet = 5, kParts = 500, kPins = 20;

// The net list in a dialect: net k holds five nodes of parts spread over the board, so most nodes
// find a terminal; a few nets share a node with the net before them and are merged.
std::string NetListText(int code, int scale)
{
    const int nets = kNets * scale, parts = kParts * scale;
    std::string text = CNet::MakeHead(code);
    for (int k = 0; k < nets; ++k) {
        CNet net;
        std::string chunk = "N" + std::to_string(k) + ":";
        for (int i = 0; i < kNodesPerNet; ++i) {
            const int n = k * kNodesPerNet + i - (k % 997 == 1 && i == 0 ? 1 : 0);
            chunk += "U" + std::to_string(n % parts + 1) + "(" + std::to_string(n / parts + 1) + "),";
        }
        net.MakeNet(NETDIALECT_CR3000, chunk);
        text += net.MakeString(code, k + 1);
    }
    return text + CNet::MakeTail(code);
}

struct NetBoard
{
    explicit NetBoard(int scale) : doc(std::make_unique<CVELTADoc>())
    {
        std::string missing;
        InstallQuarnHooks(&missing);
        platform::SetMessageService(&messages);
        for (int p = 0; p < kParts * scale; ++p) {
            const double x = (p % 100) * 30.0, y = (p / 100) * 20.0;
            CPart part(CDPoint(x, y), CDRect(x, y, x + 25, y + 5), 1, 0, 0.0, 0);
            part.SetRefName(("U" + std::to_string(p + 1)).c_str());
            for (int pin = 1; pin <= kPins; ++pin) {
                const CDPoint at(x + pin, y);
                part.NewTer(at, CText(std::to_string(pin).c_str(), at, 0))->SetLayerNo(0);
            }
            doc->GetBoardSheet(LAYER_MAX)->NewPart(part)->ModifyType(PART_PLACED, PART_PLACED);
        }
    }
    ~NetBoard() { platform::SetMessageService(nullptr); }

    platform::RecordingMessages messages; // the merge messages, answered at once
    std::unique_ptr<CVELTADoc> doc;
};

void BM_ReadMergeBind(benchmark::State& state)
{
    const int code = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    NetBoard board(scale);
    const std::string text = NetListText(code, scale);
    for (auto _ : state) {
        board.messages.Clear();
        board.doc->ReadNetList(text, code, "bench.net");
        board.doc->BuildPartList(false);
    }
    state.counters["nets"] = static_cast<double>(board.doc->GetNets().size());
    state.counters["merges"] = static_cast<double>(board.messages.Count());
    state.counters["bytes"] = static_cast<double>(text.size());
}

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The same work stage by stage, each stage's CPU time a counter: the file stage (cutting and
// reading the nets), the merge of shared nodes, the binding to the terminals.
void BM_Stages(benchmark::State& state)
{
    const int code = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    NetBoard board(scale);
    const std::string text = NetListText(code, scale);
    double read = 0, merge = 0, bind = 0;
    for (auto _ : state) {
        board.messages.Clear();
        const double t0 = CpuMs();
        CNetListReader::NetList nets = CNetListReader::Read(text, code);
        const double t1 = CpuMs();
        // Runs once: the document starts without nets.
        for (auto& net : nets)
            board.doc->AddNet(std::move(net));
        const double t2 = CpuMs();
        board.doc->MergeSharedNets();
        const double t3 = CpuMs();
        board.doc->BuildPartList(false);
        const double t4 = CpuMs();
        read += t1 - t0;
        merge += t3 - t2;
        bind += t4 - t3;
    }
    state.counters["read_ms"] = read;
    state.counters["merge_ms"] = merge;
    state.counters["bind_ms"] = bind;
}

// The project's work for the board: its net list in use, in the bench's dialect.
class NetHost : public DocumentHost
{
public:
    void UpdateAllViews(int, const CDRect*, CItemBase*) override {}
    std::optional<PrinterPage> GetDefaultPrinterPage(bool, int) override { return std::nullopt; }
    std::optional<ProjectWorkEntry> FindProjectWork(const std::string&) override { return work; }
    ProjectWorkEntry work;
};

// The reload as the program runs it, nets on, on the synthetic board (copper, vias and 500 × scale
// parts U1, U2, ... of eight pins): first the copper groups of the wiring layers on their own
// (groups_ms), then the forced reload of the net file (reload_ms: file, nets, merge, binding and
// rubber lines over the built groups), then the rubber lines alone once more (rubber_ms).
void BM_Reload(benchmark::State& state)
{
    const int code = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    std::string missing;
    InstallQuarnHooks(&missing);
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    bench::SyntheticBoard synthetic(scale);
    auto doc = std::make_unique<CVELTADoc>();
    bench::MoveIntoDocument(synthetic, *doc);
    doc->GetBoardSheet(bench::SyntheticBoard::kTop)->SetWLayer(1);
    doc->GetBoardSheet(bench::SyntheticBoard::kBottom)->SetWLayer(2);
    doc->BuildLayerLists();
    for (POSITION pos = doc->GetBoardSheet(LAYER_MAX)->GetFirstPartPos(); pos;)
        doc->GetBoardSheet(LAYER_MAX)->GetNextPart(pos)->ModifyType(PART_PLACED, PART_PLACED);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velta_net_bench_" + std::to_string(code) + "_" + std::to_string(scale));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "board.net", std::ios::binary | std::ios::trunc) << NetListText(code, scale);
    NetHost host;
    host.work.boardFile = "board.vbd";
    host.work.netFile = "board.net";
    host.work.useNetList = true;
    host.work.netFormat = code;
    doc->SetPathName((folder / "board.vbd").string());
    doc->SetHost(&host);
    double groups = 0, reload = 0, rubber = 0;
    for (auto _ : state) {
        const double t0 = CpuMs();
        for (const std::uint8_t layer : doc->GetLayerStack().wireLayers)
            doc->GetBoardSheet(layer)->MakeRubberGroup();
        const double t1 = CpuMs();
        doc->ReloadNetFile(true);
        const double t2 = CpuMs();
        doc->MakeRubberLines();
        const double t3 = CpuMs();
        groups += t1 - t0;
        reload += t2 - t1;
        rubber += t3 - t2;
    }
    std::size_t lines = 0;
    for (const auto& net : doc->GetNets())
        lines += net->GetRubberLines().size();
    state.counters["groups_ms"] = groups;
    state.counters["reload_ms"] = reload;
    state.counters["rubber_ms"] = rubber;
    state.counters["nets"] = static_cast<double>(doc->GetNets().size());
    state.counters["rubber_lines"] = static_cast<double>(lines);
    doc.reset();
    platform::SetMessageService(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void Dialects(benchmark::internal::Benchmark* b)
{
    for (int code : {NETDIALECT_CR3000, NETDIALECT_PADS, NETDIALECT_CADLUS, NETDIALECT_ULTIBOARD})
        for (int scale : {1, 4, 16})
            b->Args({code, scale});
}

} // namespace

BENCHMARK(BM_ReadMergeBind)->Apply(Dialects)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Stages)->Apply(Dialects)->Unit(benchmark::kMillisecond)->Iterations(1);
// One dialect: the synthetic board of each scale is slow to build.
BENCHMARK(BM_Reload)->Args({NETDIALECT_PADS, 1})->Args({NETDIALECT_PADS, 4})->Args({NETDIALECT_PADS, 16})->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
