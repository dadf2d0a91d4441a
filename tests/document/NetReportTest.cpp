// The check reports of the design rule check: their names beside the board, the reverse net list
// in every dialect read back as nets, the net compare, the pin count check and the net index.

#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "platform/Cp932.h"
#include "tests/document/DrcTestHost.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

class NetReportTest : public DrcFixture
{
protected:
    // Reports only: no clearance check.
    void Report(std::function<void(DrcChoice&)> more)
    {
        Run([more](DrcChoice& c) {
            c.copperMode = 0;
            c.componentSide = c.solderSide = 0;
            c.pinCount = 0;
            more(c);
        });
    }
    // Parts R1 (pins 1, 2), R2 (1, 2) and U1 (1..3) at x 0, 20 and 40; tracks join R1.1-R2.1-U1.1
    // and R1.2-U1.2; R2.2 and U1.3 touch no track.
    void ThreeParts()
    {
        const std::vector<CDPoint> two = {CDPoint(0, 0), CDPoint(0, 5)};
        AddPart("R1", CDPoint(0, 0), 0.0, two);
        AddPart("R2", CDPoint(20, 0), 0.0, two);
        AddPart("U1", CDPoint(40, 0), 0.0, {CDPoint(0, 0), CDPoint(0, 5), CDPoint(0, 10)});
        AddLine(0, CDPoint(0, 0), CDPoint(40, 0));
        AddLine(0, CDPoint(0, 5), CDPoint(0, 8)); // round R2.2
        AddLine(0, CDPoint(0, 8), CDPoint(40, 8));
        AddLine(0, CDPoint(40, 8), CDPoint(40, 5));
    }
    // The board's nets read from a PADS file beside it, nets on.
    void NetsOn(const std::string& nets)
    {
        WriteFile(folder / "board.net", "*PADS-PCB\n*Net\n" + nets + "*End\n");
        ProjectWorkEntry work;
        work.boardFile = "board.VBD";
        work.netFile = "board.net";
        work.useNetList = true;
        work.netFormat = NETDIALECT_PADS;
        drcHost.project = work;
        doc->ReloadNetFile(true);
        ASSERT_TRUE(doc->IsNetsOn());
    }
    // The nets as sets of "REF.PIN", upper case.
    static std::set<std::set<std::string>> NodeSets(const std::vector<const CNet*>& nets)
    {
        std::set<std::set<std::string>> out;
        for (const CNet* net : nets) {
            std::set<std::string> nodes;
            for (const auto& node : net->GetNodes())
                nodes.insert(platform::ToUpperAscii(node->GetRefName() + "." + node->GetPinName()));
            out.insert(nodes);
        }
        return out;
    }
};

TEST_F(NetReportTest, ReportsAreNamedAfterTheBoardAndOpenedWhenAsked)
{
    ThreeParts();
    Report([](DrcChoice& c) {
        c.reverseNet = c.reverseIndex = c.pinCount = c.netCompare = 1;
        c.netFormat = NETDIALECT_PADS;
    });
    EXPECT_TRUE(Exists("board.drn"));
    EXPECT_TRUE(Exists("board.log"));
    EXPECT_TRUE(Exists("board.nix"));
    // The nets are off: no compare, whatever its flag.
    EXPECT_FALSE(Exists("board.crp"));
    ASSERT_EQ(drcHost.opened.size(), 3u);
    EXPECT_EQ(drcHost.opened[0], (folder / "board.drn").string());
    EXPECT_EQ(drcHost.opened[2], (folder / "board.nix").string());
    EXPECT_EQ(Read("board.log").rfind("#\r\n# File : " + (folder / "board.log").string() + "\r\n", 0), 0u);
}

TEST_F(NetReportTest, ReverseNetListOfEveryDialectReadsBackAsTheConnectivity)
{
    ThreeParts();
    const std::set<std::set<std::string>> expected = {{"R1.1", "R2.1", "U1.1"}, {"R1.2", "U1.2"}};
    std::vector<int> disagree;
    for (int format = 0; format < 18; ++format) {
        Report([format](DrcChoice& c) {
            c.reverseNet = 1;
            c.netFormat = format;
        });
        const std::string text = Read("board.drn");
        CVELTADoc reader;
        platform::RecordingMessages quiet;
        platform::SetMessageService(&quiet);
        const bool read = reader.ReadNetList(text, format, "board.drn");
        platform::SetMessageService(&messages);
        std::vector<const CNet*> nets;
        for (const auto& net : reader.GetNets())
            nets.push_back(net.get());
        if (!read || NodeSets(nets) != expected)
            disagree.push_back(format);
    }
    // "FutureNet(NETC)" and "PCAD" are written by part and pin, a form the reader of those
    // dialects does not take back; every other dialect gives the connectivity again.
    EXPECT_EQ(disagree, (std::vector<int>{8, 17})) << "dialects whose export does not read back";
}

TEST_F(NetReportTest, NetCompareMatchesNodeForNodeAndReportsASplitNet)
{
    ThreeParts();
    NetsOn("*Sig A R1.1 R2.1 U1.1\n*Sig B R1.2 U1.2\n");
    Report([](DrcChoice& c) { c.netCompare = 1; });
    std::string crp = Read("board.crp");
    EXPECT_NE(crp.find("Total Net Count(s)         2\r\nAll Net List Matching\r\n"), std::string::npos) << crp;

    // A net the copper splits in two stays unmatched and is explained.
    NetsOn("*Sig A R1.1 R2.1 U1.1 R1.2 U1.2\n");
    Report([](DrcChoice& c) { c.netCompare = 1; });
    crp = Read("board.crp");
    EXPECT_NE(crp.find("        A ->\r\n"), std::string::npos) << crp;
    EXPECT_NE(crp.find("Unmatched Net Count(s)         1\r\n"), std::string::npos) << crp;
    EXPECT_EQ(crp.find("All Net List Matching"), std::string::npos);
}

TEST_F(NetReportTest, NetIndexBreaksTheLineAfterTheFifthTerminal)
{
    std::vector<CDPoint> five, six;
    for (int i = 0; i < 6; ++i)
        (i < 5 ? five : six).push_back(CDPoint(0, i * 3.0));
    six.insert(six.begin(), five.begin(), five.end());
    AddPart("U5", CDPoint(0, 0), 0.0, five);
    AddPart("U6", CDPoint(30, 0), 0.0, six);
    Report([](DrcChoice& c) { c.reverseIndex = 1; });
    const std::string nix = Read("board.nix");
    const std::string open = "(     OPEN), ";
    EXPECT_NE(nix.find("    U5 :   1" + open + "  2" + open + "  3" + open + "  4" + open +
                       "  5(     OPEN);\r\n\r\n"),
              std::string::npos)
        << nix;
    EXPECT_NE(nix.find("    U6 :   1" + open + "  2" + open + "  3" + open + "  4" + open + "  5(     OPEN),\r\n" +
                       "           6(     OPEN);\r\n\r\n"),
              std::string::npos)
        << nix;
}

TEST_F(NetReportTest, PinCountCheckNamesEvenPackagesWhoseLastTwoPinsAreFree)
{
    // Part type 0x4: the packages the check looks at.
    auto pins = [](int count) {
        std::vector<CDPoint> at;
        for (int i = 0; i < count; ++i)
            at.push_back(CDPoint(0, i * 2.0));
        return at;
    };
    const int type = PART_PLACED | PART_SMD | 0x4;
    CPart* u14 = AddPart("U14", CDPoint(0, 0), 0.0, pins(14), type);
    CPart* u15 = AddPart("U15", CDPoint(20, 0), 0.0, pins(15), type);
    CPart* last = AddPart("U16", CDPoint(40, 0), 0.0, pins(14), type);
    AddPart("U17", CDPoint(60, 0), 0.0, pins(14), PART_PLACED | PART_SMD);
    // Copper under every pin but the last two of U14 and U15 and the last one of U16.
    auto wire = [this](CPart* part, int upTo) {
        const CDPoint o = part->GetOrg();
        AddLine(0, o, CDPoint(o.x, o.y + (upTo - 1) * 2.0));
    };
    wire(u14, 12);
    wire(u15, 13);
    wire(last, 13);
    Report([](DrcChoice& c) { c.pinCount = 1; });
    const std::string log = Read("board.log");
    EXPECT_NE(log.find("Pin counter warning! Check package    U14\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("U15"), std::string::npos);
    EXPECT_EQ(log.find("U16"), std::string::npos);
    EXPECT_EQ(log.find("U17"), std::string::npos) << "not a package the check looks at";
}

} // namespace
