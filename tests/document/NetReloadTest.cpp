// The board's nets from the project's net-list file: when the file is read, where it is looked
// for, what a failed read leaves, the merge of nets that share a node, the binding to terminals
// and the rubber lines.

#include "model/net/Net.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/document/BoardFileFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

class NetReloadTest : public BoardFileFixture
{
protected:
    void SetUp() override
    {
        BoardFileFixture::SetUp();
        platform::SetMessageService(&messages);
        board = NewBoard();
        board->SetPathName(Cp(BoardFolder() / "b.vbd"), false);
        ProjectWorkEntry work;
        work.boardFile = "B.VBD";
        work.netFile = "b.net";
        work.useNetList = true;
        work.netFormat = 9;
        host.project = work;
    }
    void TearDown() override
    {
        board.reset();
        platform::SetMessageService(nullptr);
        BoardFileFixture::TearDown();
    }

    // A placed part with a land and a terminal per pin, on wiring layer 0.
    CPart* AddPart(const std::string& ref, double x, const std::vector<std::string>& pins, CVELTADoc* d = nullptr)
    {
        d = d ? d : board.get();
        CPart part(CDPoint(x, 10), CDRect(x - 1, 9, x + 10, 11), 1, 0, 0.0, 0);
        part.SetRefName(ref.c_str());
        double px = x;
        for (const std::string& pin : pins) {
            part.NewLand(CDPoint(px, 10), 6)->SetLayerNo(0);
            part.NewTer(CDPoint(px, 10), CText(pin.c_str(), CDPoint(px, 10), 0))->SetLayerNo(0);
            px += 5;
        }
        CPart* stored = d->GetBoardSheet(LAYER_MAX)->NewPart(part);
        stored->ModifyType(PART_PLACED, PART_PLACED);
        return stored;
    }
    fs::path NetFile(const std::string& name = "b.net") const { return BoardFolder() / name; }
    void WriteNets(const std::string& text, std::time_t time, const std::string& name = "b.net")
    {
        std::ofstream(NetFile(name), std::ios::binary | std::ios::trunc) << text;
        platform::FileTimes times;
        times.lastWrite = time;
        clock.SetFileTimes(NetFile(name), times);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& net : board->GetNets())
            names.push_back(net->GetNetName());
        return names;
    }
    static CTer* Ter(CPart* part, const std::string& no)
    {
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            if (ter->GetNo() == no)
                return ter;
        }
        return nullptr;
    }

    static constexpr const char* kPads = "*PADS-PCB\n*Net\n*Sig GND U1.7 U2.7\n*Sig VCC U1.14\n*End\n";
    static constexpr const char* kPadsOther = "*PADS-PCB\n*Net\n*Sig SIG U1.7 U2.7\n*End\n";

    platform::RecordingMessages messages;
    std::unique_ptr<CVELTADoc> board;
};

TEST_F(NetReloadTest, AForcedReloadReadsTheNetsBindsTheTerminalsAndDrawsRubberLines)
{
    CPart* u1 = AddPart("U1", 10, {"7", "14"});
    CPart* u2 = AddPart("u2", 40, {"7"});
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);

    EXPECT_EQ(messages.Count(), 0u) << messages.Texts().front();
    EXPECT_TRUE(board->IsNetsOn());
    EXPECT_FALSE(board->IsBusy());
    ASSERT_EQ(Names(), (std::vector<std::string>{"GND", "VCC"}));
    const CNet* gnd = board->GetNetAt(0);
    EXPECT_EQ(gnd->GetID(), 1u);
    EXPECT_EQ(gnd->GetColor(), 0xFFFFFFu);
    EXPECT_EQ(Ter(u1, "7")->GetNetID(), 1u);
    EXPECT_EQ(Ter(u2, "7")->GetNetID(), 1u); // "u2" and "U2" are one reference
    EXPECT_EQ(Ter(u1, "14")->GetNetID(), 2u);
    EXPECT_EQ(gnd->GetNode(1)->GetTer(), Ter(u2, "7"));
    EXPECT_FALSE(gnd->GetRubberLines().empty());
    EXPECT_FALSE(board->GetRubberRect().IsRectNull());
    EXPECT_EQ(board->GetNetName(2), "VCC");
    EXPECT_EQ(board->GetNetName(99), _J("未定義"));
    EXPECT_EQ(board->GetNetAt(2), nullptr);
    EXPECT_EQ(board->GetNetAt(-1), nullptr);
}

TEST_F(NetReloadTest, EachNodeTakesTheFirstMatchingTerminalOfThePartList)
{
    // Two terminals numbered 7 on U1 and a second part also called U1: every one of them takes the
    // net, the node keeps the last, and U2's node is still bound (the search ends only once every
    // node has a terminal, not after as many terminals as nodes).
    CPart* first = AddPart("U1", 10, {"7", "7"});
    CPart* second = AddPart("U1", 60, {"7"});
    CPart* u2 = AddPart("U2", 40, {"7"});
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    const CNet* gnd = board->GetNetAt(0);
    std::vector<CTer*> sevens;
    for (CPart* part : {first, second})
        for (POSITION pos = part->GetFirstTerPos(); pos;)
            sevens.push_back(part->GetNextTer(pos));
    ASSERT_EQ(sevens.size(), 3u);
    EXPECT_EQ(gnd->GetNode(0)->GetTer(), sevens[2]);
    for (CTer* ter : sevens)
        EXPECT_EQ(ter->GetNetID(), 1u);
    EXPECT_EQ(gnd->GetNode(1)->GetTer(), Ter(u2, "7"));
    EXPECT_EQ(Ter(u2, "7")->GetNetID(), 1u);
}

TEST_F(NetReloadTest, WithoutTheBoardInTheProjectNothingChanges)
{
    WriteNets(kPads, 1000);
    host.project->boardFile = "other.vbd";
    board->ReloadNetFile(true);
    host.project.reset();
    board->ReloadNetFile(true);
    EXPECT_TRUE(board->GetNets().empty());
    EXPECT_FALSE(board->IsNetsOn());
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(NetReloadTest, TheQuestionComesOnlyWhenTheFileChangedAndNoStoresTheTime)
{
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    ASSERT_EQ(Names().size(), 2u);

    // Unchanged: no question, nothing read.
    WriteNets(kPadsOther, 1000);
    board->ReloadNetFile(false);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(Names().size(), 2u);

    // Newer, answered No: the nets stay and the same time asks nothing again.
    WriteNets(kPadsOther, 1010);
    messages.QueueAnswer(IDNO);
    board->ReloadNetFile(false);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("ネットファイルが更新されています。再読込みしますか？"));
    EXPECT_EQ(messages.Last().type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(Names().size(), 2u);
    board->ReloadNetFile(false);
    EXPECT_EQ(messages.Count(), 1u);

    // Changed again, answered Yes: read.
    WriteNets(kPadsOther, 1020);
    messages.QueueAnswer(IDYES);
    board->ReloadNetFile(false);
    EXPECT_EQ(messages.Count(), 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"SIG"}));
}

TEST_F(NetReloadTest, AForcedReloadReadsAnUnchangedFile)
{
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    WriteNets(kPadsOther, 1000);
    board->ReloadNetFile(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"SIG"}));
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(NetReloadTest, ASelectionOrABusyDocumentDefersTheReload)
{
    WriteNets(kPads, 1000);
    board->GetSelectionSheet(0)->NewLine(CDPoint(1, 1), CDPoint(2, 2), 2, 0);
    board->ReloadNetFile(true);
    EXPECT_TRUE(board->GetNets().empty());
    board->GetSelectionSheet(0)->DeleteContents();
    board->SetBusy(true);
    board->ReloadNetFile(true);
    EXPECT_TRUE(board->GetNets().empty());
    board->SetBusy(false);
    board->ReloadNetFile(true);
    EXPECT_EQ(Names().size(), 2u);
}

TEST_F(NetReloadTest, NetsNotInUseKeepTheNetsWithoutRubberLinesOrColours)
{
    AddPart("U1", 10, {"7", "14"});
    AddPart("U2", 40, {"7"});
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    board->GetNets().front()->SetColor(0x0000FF);
    ASSERT_EQ(board->GetNetColor(1), 0x0000FFu);

    host.project->useNetList = false;
    WriteNets(kPadsOther, 2000);
    board->ReloadNetFile(true);
    EXPECT_FALSE(board->IsNetsOn());
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(board->GetNetColor(1), 0xFFFFFFu);
    board->MakeRubberLines();
    EXPECT_TRUE(board->GetRubberRect().IsRectNull());
    // Timer and activation reloads do nothing until a forced one.
    host.project->useNetList = true;
    board->ReloadNetFile(false);
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(NetReloadTest, TheFileIsFoundBesideTheSchematicProject)
{
    fs::create_directories(BoardFolder() / "sch");
    WriteNets(kPadsOther, 1000);
    WriteNets(kPads, 1000, "sch/b.net");
    host.project->schematicProject = Cp(BoardFolder() / "sch" / "top.npj");
    board->ReloadNetFile(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"GND", "VCC"}));
    // A Windows path that is not there resolves beside the board.
    host.project->schematicProject = "C:\\work\\sch\\top.npj";
    board->ReloadNetFile(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"SIG"}));
}

TEST_F(NetReloadTest, AMissingFileIsReportedAndKeepsTheOldNets)
{
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    fs::remove(NetFile());
    board->ReloadNetFile(true);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_NE(messages.Last().text.find(Cp(NetFile())), std::string::npos);
    EXPECT_NE(messages.Last().text.find(_J("を開けませんでした")), std::string::npos);
    EXPECT_FALSE(board->IsNetsOn());
    EXPECT_FALSE(board->IsBusy());
    EXPECT_EQ(Names().size(), 2u);
}

TEST_F(NetReloadTest, AFileWithoutNetsIsReportedAndKeepsTheOldNets)
{
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    WriteNets("*PADS-PCB\n*Net\nnothing here\n", 2000);
    board->ReloadNetFile(true);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text,
              platform::Format(_J("ネットリスト %s にネットが見つかりません（%s 形式）").c_str(), Cp(NetFile()).c_str(), "PADS"));
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_TRUE(board->IsNetsOn());
}

TEST_F(NetReloadTest, DialectsWithoutAReaderRunOnlyTheTail)
{
    AddPart("U1", 10, {"7", "14"});
    AddPart("U2", 40, {"7"});
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    board->GetNets().front()->SetColor(0x00FF00);
    for (int format : {8, 17}) {
        host.project->netFormat = format;
        WriteNets("(SIG,,GND,1-1,5,GND\n)\n", 2000);
        board->ReloadNetFile(true);
        EXPECT_EQ(Names(), (std::vector<std::string>{"GND", "VCC"}));
        EXPECT_EQ(board->GetNets().front()->GetColor(), 0x00FF00u);
        EXPECT_FALSE(board->GetRubberRect().IsRectNull());
    }
    EXPECT_EQ(messages.Count(), 2u);
}

TEST_F(NetReloadTest, NoPlacedPartGivesNoRubberLine)
{
    CPart* loose = AddPart("U1", 10, {"7"});
    loose->ModifyType(0, PART_PLACED);
    WriteNets(kPads, 1000);
    board->ReloadNetFile(true);
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_TRUE(board->GetPartList().empty());
    EXPECT_TRUE(board->GetRubberRect().IsRectNull());
    EXPECT_TRUE(board->GetNetAt(0)->GetRubberLines().empty());
}

TEST_F(NetReloadTest, TwoNetsSharingANodeBecomeTheFirstOne)
{
    WriteNets("*PADS-PCB\n*Net\n*Sig A U1.3 R1.1\n*Sig B R2.2 u1.3\n*Sig C R5.1\n*End\n", 1000);
    board->ReloadNetFile(true);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("AとBがU1(3)で同じネットになりました"));
    ASSERT_EQ(Names(), (std::vector<std::string>{"A", "C"}));
    const CNet* a = board->GetNetAt(0);
    EXPECT_EQ(a->GetID(), 1u);
    EXPECT_EQ(a->GetNodeCount(), 3);
    EXPECT_EQ(board->GetNetAt(1)->GetID(), 3u);
}

// --- The merge against the literal restart loop ---

using NetList = std::vector<std::unique_ptr<CNet>>;

// Takes the first net, takes over every later net sharing a node, and starts again from the head
// after any merge.
void LiteralMerge(NetList& nets)
{
    for (std::size_t i = 0; i < nets.size();) {
        CNet* net = nets[i].get();
        net->DupCorrection();
        bool merged = false;
        for (std::size_t j = i + 1; j < nets.size();) {
            if (net->DupCorrection(nets[j].get())) {
                nets.erase(nets.begin() + static_cast<std::ptrdiff_t>(j));
                merged = true;
            } else {
                ++j;
            }
        }
        i = merged ? 0 : i + 1;
    }
}

std::vector<std::string> Dump(const NetList& nets)
{
    std::vector<std::string> out;
    for (const auto& net : nets) {
        std::string s = std::to_string(net->GetID()) + " " + net->GetNetName() + ":";
        for (const auto& node : net->GetNodes())
            s += " " + node->GetRefName() + "/" + node->GetPinName();
        out.push_back(s);
    }
    return out;
}

TEST_F(NetReloadTest, TheIndexedMergeMatchesTheRestartLoopOnRandomLists)
{
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        NetList reference;
        const int count = 2 + static_cast<int>(random() % 30);
        const int pool = 3 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            auto net = std::make_unique<CNet>();
            std::string text = "N" + std::to_string(i) + ":";
            const int nodes = static_cast<int>(random() % 4);
            for (int k = 0; k < nodes; ++k) {
                const int n = static_cast<int>(random() % static_cast<unsigned>(pool));
                text += std::string(random() % 2 ? "u" : "U") + std::to_string(n % 7) + "(" + std::to_string(n / 7) + "),";
            }
            net->MakeNet(0, text);
            net->SetID(static_cast<std::uint32_t>(i + 1));
            reference.push_back(std::move(net));
        }
        auto d = NewDoc();
        for (const auto& net : reference)
            d->AddNet(std::make_unique<CNet>(*net));

        messages.Clear();
        LiteralMerge(reference);
        const std::vector<std::string> expectedMessages = messages.Texts();
        messages.Clear();
        d->MergeSharedNets();
        NetList merged;
        for (int i = 0; d->GetNetAt(i); ++i)
            merged.push_back(std::make_unique<CNet>(*d->GetNetAt(i)));
        ASSERT_EQ(Dump(merged), Dump(reference)) << "round " << round;
        ASSERT_EQ(messages.Texts(), expectedMessages) << "round " << round;
    }
}

// Terminals offered to each net in part-list order until every node has one, as the literal loop
// offers them; the indexed binding must bind the same terminals and give the same net IDs.
void LiteralBind(CVELTADoc& doc)
{
    for (CPart* part : doc.GetPartList())
        for (POSITION pos = part->GetFirstTerPos(); pos;)
            part->GetNextTer(pos)->SetNetID(0);
    for (int i = 0; CNet* net = doc.GetNetAt(i); ++i) {
        net->ResetPartTer();
        auto allBound = [net] {
            return std::all_of(net->GetNodes().begin(), net->GetNodes().end(),
                               [](const auto& node) { return node->GetTer() != nullptr; });
        };
        for (CPart* part : doc.GetPartList())
            for (POSITION pos = part->GetFirstTerPos(); pos && !allBound();)
                net->SetPartTer(part->GetNextTer(pos));
    }
}

// Which terminal each node holds and which net each terminal took, by the terminals' list order.
std::vector<std::string> Binding(CVELTADoc& doc)
{
    std::vector<CTer*> ters;
    std::vector<std::string> out;
    for (CPart* part : doc.GetPartList())
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            ters.push_back(part->GetNextTer(pos));
            out.push_back("ter " + std::to_string(ters.size() - 1) + " net " + std::to_string(ters.back()->GetNetID()));
        }
    for (int i = 0; const CNet* net = doc.GetNetAt(i); ++i)
        for (const auto& node : net->GetNodes()) {
            const auto at = std::find(ters.begin(), ters.end(), node->GetTer());
            out.push_back(net->GetNetName() + " " + node->GetRefName() + "/" + node->GetPinName() + " -> " +
                          (at == ters.end() ? "none" : std::to_string(at - ters.begin())));
        }
    return out;
}

TEST_F(NetReloadTest, TheIndexedBindingMatchesTheLiteralLoopOnRandomBoards)
{
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        auto d = NewDoc();
        // References repeat in either case, pins repeat on a part.
        const int parts = 1 + static_cast<int>(random() % 8);
        for (int p = 0; p < parts; ++p) {
            std::vector<std::string> pins;
            for (int n = static_cast<int>(random() % 5); n > 0; --n)
                pins.push_back(std::to_string(random() % 4));
            AddPart((random() % 2 ? "u" : "U") + std::to_string(random() % 4), 10.0 * p, pins, d.get());
        }
        const int count = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            auto net = std::make_unique<CNet>();
            std::string text = "N" + std::to_string(i) + ":";
            for (int k = static_cast<int>(random() % 5); k > 0; --k)
                text += std::string(random() % 2 ? "u" : "U") + std::to_string(random() % 5) + "(" +
                        std::to_string(random() % 5) + "),";
            net->MakeNet(0, text);
            net->SetID(static_cast<std::uint32_t>(i + 1));
            d->AddNet(std::move(net));
        }
        d->MergeSharedNets();
        d->BuildPartList(false);
        const std::vector<std::string> indexed = Binding(*d);
        LiteralBind(*d);
        ASSERT_EQ(indexed, Binding(*d)) << "round " << round;
    }
}

} // namespace
