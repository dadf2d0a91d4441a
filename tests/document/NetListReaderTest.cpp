// Net-list import: how each dialect's file is cut into nets, and that every dialect with a reader
// reads back what the dialect engine writes.

#include "document/NetListReader.h"
#include "model/net/Net.h"
#include "model/net/NetDialect.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Nodes = std::vector<std::pair<std::string, std::string>>;
struct NetText
{
    std::uint32_t id;
    std::string name;
    Nodes nodes;
    bool operator==(const NetText&) const = default;
};

std::vector<NetText> Describe(const CNetListReader::NetList& nets)
{
    std::vector<NetText> out;
    for (const auto& net : nets) {
        NetText t{net->GetID(), net->GetNetName(), {}};
        for (const auto& node : net->GetNodes())
            t.nodes.emplace_back(node->GetRefName(), node->GetPinName());
        out.push_back(t);
    }
    return out;
}

std::vector<NetText> Read(const std::string& text, int format)
{
    return Describe(CNetListReader::Read(text, format));
}

struct ExampleCase
{
    const char* what;
    int format;
    std::string text;
    std::vector<NetText> nets;
};

class NetListExamples : public ::testing::TestWithParam<ExampleCase>
{
};

TEST_P(NetListExamples, ReadAsTheDialectMeansIt)
{
    const ExampleCase& c = GetParam();
    EXPECT_EQ(Read(c.text, c.format), c.nets) << c.what;
}

const NetText kGnd{1, "GND", {{"U1", "7"}, {"U2", "7"}}};
const NetText kVcc{2, "VCC", {{"U1", "14"}}};

INSTANTIATE_TEST_SUITE_P(
    Dialects, NetListExamples,
    ::testing::Values(
        ExampleCase{"PADS", 9, "*PADS-PCB\n*Net\n*Sig GND U1.7 U2.7\n*Sig VCC U1.14\n*End\n", {kGnd, kVcc}},
        ExampleCase{"WORK VIEW: a comma at the line end goes on",
                    6,
                    "GND; U1.7 U2.7,\nU3.1\n",
                    {{1, "GND", {{"U1", "7"}, {"U2", "7"}, {"U3", "1"}}}}},
        ExampleCase{"CADVANCE", 13, "$NET_LIST\nnets {\n GND = U1-7, U2-7;\n}\n", {kGnd}},
        ExampleCase{"POWER VIEW, last line without a line feed", 7, "GND ; U1^7, U2^7\nVCC;U1^14", {kGnd, kVcc}},
        ExampleCase{"POWER VIEW header and comment lines",
                    7,
                    "POWER VIEW NETLIST\n  # NOT ; A^1\nGND ; U1^7, U2^7\n",
                    {kGnd}},
        ExampleCase{"CR3000 without a blank after the colon",
                    0,
                    "$CCF\n{\n NET {\n GND:U1(7);\n }\n}\n",
                    {{1, "GND", {{"U1", "7"}}}}},
        ExampleCase{"u1 and U1 are one node", 9, "*PADS-PCB\n*Net\n*Sig GND u1.7 U1.7 U2.7\n*End\n",
                    {{1, "GND", {{"u1", "7"}, {"U2", "7"}}}}},
        ExampleCase{"FutureNet has no reader", 8, "(SIG,,GND,1-1,5,GND\nPIN,1-1,U1,23,7\n)\n", {}},
        ExampleCase{"PCAD has no reader", 17, "GND U1 7\n", {}},
        ExampleCase{"VISULA: the last net before .END", 1,
                    ".HEA\n.ADD_TER U1 7 GND\n.TER U2 7\n.ADD_TER U1 14 VCC\n.TER U2 14\n.END\n",
                    {kGnd, {2, "VCC", {{"U1", "14"}, {"U2", "14"}}}}},
        ExampleCase{"Scicards: the last net before EOS", 12,
                    "NET LIST\nNODENAME GND $\n U1 7 U2 7\nNODENAME VCC $\n U1 14\nEOS\n", {kGnd, kVcc}},
        ExampleCase{"Scicards as the program writes it", 12,
                    "NETLIST\n\nNODENAME GND $\n U1 7 U2 7\nNODENAME VCC $\n U1 14\nEOS\n", {kGnd, kVcc}},
        ExampleCase{"CADLUS: the last net has no line after it", 14, "GND U1 7\nGND U2 7\nVCC U1 14",
                    {kGnd, kVcc}},
        ExampleCase{"ultiBOARD: the last net at the end of the file", 16, "* GND\nU1-7, U2-7\n* VCC\nU1-14",
                    {kGnd, kVcc}},
        ExampleCase{"Calay: a net at offset 0, hierarchical references keep their '/'", 15,
                    "/GND U1(7) U2(7);\n/VCC Utop/Q1(B),\n U1(14);\n",
                    {kGnd, {2, "VCC", {{"Utop/Q1", "B"}, {"U1", "14"}}}}},
        ExampleCase{"Tango: only a '(' that begins a line cuts", 4, "header (x)\n(\nGND\nU1,7\nU2,7\n)\n(\nVCC\nU1,14\n)\n",
                    {kGnd, kVcc}},
        ExampleCase{"PADS-PCB with a !PADS- header line", 10,
                    "!PADS-POWERPCB-V9.0-MILS!\n*NET*\n*SIGNAL* GND\nU1.7 U2.7\n*SIGNAL* VCC\nU1.14\n*END*\n",
                    {kGnd, kVcc}},
        ExampleCase{"a missing marker reads nothing", 9, "*Net\n*Sig GND U1.7\n*End\n", {}},
        // タ ends in '^' and ソ in '\\': neither cuts a name.
        ExampleCase{"CP932 trail bytes are no separators", 7, "N\x83\x5E ; R\x83\x5E" "1^2, \x83\x5C^7\n",
                    {{1, "N\x83\x5E", {{"R\x83\x5E" "1", "2"}, {"\x83\x5C", "7"}}}}}));

// --- Round trip through the dialect engine ---

std::vector<std::unique_ptr<CNet>> SampleNets()
{
    std::vector<std::unique_ptr<CNet>> nets;
    auto add = [&nets](const std::string& name, const Nodes& nodes) {
        auto net = std::make_unique<CNet>(name);
        std::string text = name + ":";
        for (const auto& [ref, pin] : nodes)
            text += ref + "(" + pin + "),";
        EXPECT_TRUE(net->MakeNet(NETDIALECT_CR3000, text));
        net->SetID(static_cast<std::uint32_t>(nets.size() + 1));
        nets.push_back(std::move(net));
    };
    add("GND", {{"U1", "7"}, {"U2", "7"}, {"R3", "1"}});
    add("VCC", {{"U1", "14"}, {"C1", "1"}});
    Nodes many;
    for (int i = 1; i <= 12; ++i)
        many.emplace_back("U" + std::to_string(i + 10), std::to_string(i));
    add("DATA0", many);
    add("N\x83\x5E", {{"R\x83\x5C" "1", "2"}, {"R9", "1"}});
    return nets;
}

// The head's placeholders (file name, date) filled in.
std::string FillHead(std::string head)
{
    const char* values[] = {"board.net", "2026/12/11"};
    int next = 0;
    for (std::size_t at = head.find("%s"); at != std::string::npos && next < 2; at = head.find("%s", at)) {
        head.replace(at, 2, values[next]);
        at += std::char_traits<char>::length(values[next++]);
    }
    return head;
}

class NetListRoundTrip : public ::testing::TestWithParam<int>
{
};

TEST_P(NetListRoundTrip, TheReaderReadsWhatTheWriterWrote)
{
    const int code = GetParam();
    const auto nets = SampleNets();
    std::string file = FillHead(CNet::MakeHead(code));
    int number = 0;
    for (const auto& net : nets)
        file += net->MakeString(code, ++number);
    file += CNet::MakeTail(code);
    EXPECT_EQ(Read(file, code), Describe(nets)) << GetNetDialectName(code) << "\n" << file;
}

INSTANTIATE_TEST_SUITE_P(EveryReader, NetListRoundTrip,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16),
                         [](const ::testing::TestParamInfo<int>& info) { return "Dialect" + std::to_string(info.param); });

// --- Bad input ---

TEST(NetListBadInput, JunkAndFilesCutAnywhereNeitherCrashNorHang)
{
    std::string sample;
    for (int code : {0, 1, 9, 10, 12, 13, 15, 16}) {
        sample += FillHead(CNet::MakeHead(code));
        for (const auto& net : SampleNets())
            sample += net->MakeString(code, 1);
        sample += CNet::MakeTail(code);
    }
    std::mt19937 random(7);
    std::string junk(4096, '\0');
    for (char& c : junk)
        c = static_cast<char>(random() & 0xFF);
    const std::string longLine(200000, 'A');
    for (int code = -1; code <= 19; ++code) {
        for (std::size_t cut = 0; cut < sample.size(); cut += 37)
            (void)CNetListReader::Read(sample.substr(0, cut), code);
        (void)CNetListReader::Read(junk, code);
        (void)CNetListReader::Read(longLine, code);
        (void)CNetListReader::Read(std::string("\x83", 1), code);
    }
    SUCCEED();
}

TEST(NetListBlanks, NormalizeBlanksLeavesSingleBlanks)
{
    std::string text = "  A\t\tB\r\n\nC  ";
    CNetListReader::NormalizeBlanks(text);
    EXPECT_EQ(text, " A B C ");
}

} // namespace
