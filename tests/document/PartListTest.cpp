// The part list command's four files: headers, rows, origins and mirror, sides, the angle check,
// unplaced parts, totals, the bill of materials' groups, and the output folder.

#include "document/VELTADoc.h"
#include "platform/Clock.h"
#include "platform/J.h"
#include "tests/document/ToolCommandHost.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

namespace {

namespace fs = std::filesystem;

class PartListTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        WriteFile(Board(), Section("GRID", "") + Section("DISP_LAYER", "") + Section("LAYER_TABLE", "") +
                               Section("PART_LIST", "PLACE : 0 ;\r\n"));
        doc->SetHost(&listHost);
        platform::SetClock(&clock);
        folder = Board().parent_path();
        doc->SetPathName((folder / "test.VBD").string());
        doc->SetUserOrigin(CDPoint(0.0, 0.0));
    }
    void TearDown() override
    {
        platform::SetClock(nullptr);
        EditFixture::TearDown();
    }

    CPart* Place(const std::string& ref, CDPoint at, int type = PART_PLACED,
                 const std::string& name = "R1608", const std::string& value = "10k", double degrees = 0.0)
    {
        CPart part;
        part.GetRefNameText()->SetName(ref);
        part.GetPartNameText()->SetName(name);
        part.GetValNameText()->SetName(value);
        part.SetOrg(at);
        part.SetAngle(degrees * std::numbers::pi / 180.0);
        part.SetType(type);
        return doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    }
    // Runs the command with the choice the test makes in the dialog.
    void Run(std::function<void(PartListChoice&)> choose)
    {
        listHost.partList = std::move(choose);
        doc->OnPartList();
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // The file's lines after the four header lines, CR LF taken off.
    std::vector<std::string> Body(const std::string& name, std::size_t skip = 4) const
    {
        std::vector<std::string> lines;
        std::string text = Read(name);
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos)
                end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        if (lines.size() >= skip)
            lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(skip));
        return lines;
    }

    ToolCommandHost listHost;
    platform::FixedClock clock{1700000000};
    fs::path folder;
};

TEST_F(PartListTest, ABoardWithoutPlacedPartsWritesHeadersAndZeroTotals)
{
    Run([](PartListChoice& c) {
        c.place = 1;
        c.bom = 1;
        c.partList = 1;
    });
    const std::string loc = Read("test.loc");
    const std::string header =
        "#\r\n# File : " + (folder / "test.loc").string() + "\r\n# Date : 2023/11/15  07:13:20\r\n#\r\n";
    EXPECT_EQ(loc,
              header + "  Ref   :C/S:    X    ,    Y    :  Angle \r\n\r\nTotal     0 [C=   0][S=   0]\r\n");
    EXPECT_EQ(Read("test.csv"), _J("使用部品数, 0") + "\r\n");
    EXPECT_EQ(Body("test.plt"),
              std::vector<std::string>{"    Part Name        :  Ref   :        Value         : Term No."});
    EXPECT_EQ(Body("test.loc.csv"),
              (std::vector<std::string>{_J("  SYN-no, X座標, Y座標, 配置面, 角度, 部品名, 値"), "",
                                        "Total     0 [A=   0][B=   0]"}));
    EXPECT_EQ(listHost.saves, 1);
    // Without the view option nothing is opened.
    EXPECT_TRUE(listHost.opened.empty());
}

TEST_F(PartListTest, SolderSideCoordinatesFollowTheMirrorFromTheSolderOrigin)
{
    Place("R1", CDPoint(10.0, 20.0), PART_PLACED | 0x10);
    for (int mirror : {1, 0}) {
        Run([mirror](PartListChoice& c) {
            c.place = 1;
            c.solderOriginX = 100.0;
            c.mirrorX = mirror;
            c.mirrorY = 0;
        });
        const std::vector<std::string> body = Body("test.loc");
        ASSERT_GE(body.size(), 2u);
        EXPECT_EQ(body[1], mirror ? "     R1 : S :   90.000 ,   20.000 :    0.00;"
                                  : "     R1 : S :  -90.000 ,   20.000 :    0.00;");
    }
}

TEST_F(PartListTest, BySideKeepsComponentPartsInUserCoordinatesAndListsThemFirst)
{
    doc->SetUserOrigin(CDPoint(1.0, 2.0));
    Place("R2", CDPoint(5.0, 5.0), PART_PLACED | 0x10);
    Place("R1", CDPoint(11.0, 22.0));
    Run([](PartListChoice& c) {
        c.place = 1;
        c.bySide = 1;
        c.partOriginX = 50.0;
        c.partOriginY = 60.0;
        c.mirrorX = 0;
    });
    const std::vector<std::string> body = Body("test.loc");
    ASSERT_GE(body.size(), 5u);
    EXPECT_EQ(body[1], "     R1 : C :   10.000 ,   20.000 :    0.00;");
    EXPECT_EQ(body[2], "     R2 : S :    4.000 ,    3.000 :    0.00;");
    EXPECT_EQ(body[4], "Total     2 [C=   1][S=   1]");
    const std::vector<std::string> csv = Body("test.loc.csv");
    EXPECT_EQ(csv[1], "     R1,  10.000,  20.000,A,   0.00,R1608,10k");
}

TEST_F(PartListTest, AnglesUnplacedPartsAndTheTerminalAngleCheck)
{
    Place("Q1", CDPoint(0.0, 0.0), PART_PLACED, "SOT23", "2SC", 270.0);
    Place("U9", CDPoint(3.0, 4.0), 0, "SOP8", "LM358", 90.0);
    Run([](PartListChoice& c) {
        c.place = 1;
        c.unplaced = 1;
        c.checkAngle = 1;
    });
    const std::vector<std::string> body = Body("test.loc");
    ASSERT_GE(body.size(), 5u);
    // No terminals: the terminal angle is 0, so a turned part is marked with its own angle.
    EXPECT_EQ(body[1], "     Q1 : C :    0.000 ,    0.000 :    0.00;  # NG  -90.00;");
    EXPECT_EQ(body[2], "     U9 : N :    3.000 ,    4.000 :    0.00;  # NG   90.00;");
    EXPECT_EQ(body[4], "Total     2 [C=   1][S=   0][N=   1]");
    const std::vector<std::string> csv = Body("test.loc.csv");
    EXPECT_EQ(csv[1], "     Q1,   0.000,   0.000,A, -90.00,SOT23,2SC");
    EXPECT_EQ(csv[2], "     U9,   3.000,   4.000,-,  90.00,SOP8,LM358");
    EXPECT_EQ(csv[4], "Total     2 [A=   1][B=   0][N=   1]");
}

TEST_F(PartListTest, NonCircuitPartsAreLeftOutUnlessAnOutPartSwitchIsOn)
{
    Place("R1", CDPoint(1.0, 1.0));
    Place("TP1", CDPoint(2.0, 2.0), PART_PLACED | 0x3, "TP", "");
    Run([](PartListChoice& c) {
        c.place = 1;
        c.bom = 1;
        c.cardEdge = 0;
        c.nonCircuit = 0;
    });
    EXPECT_EQ(Body("test.loc").back(), "Total     1 [C=   1][S=   0]");
    EXPECT_EQ(Body("test.csv", 0)[0], _J("使用部品数, 1"));
    Run([](PartListChoice& c) {
        c.place = 1;
        c.cardEdge = 1;
    });
    EXPECT_EQ(Body("test.loc").back(), "Total     2 [C=   2][S=   0]");
}

TEST_F(PartListTest, TheBillOfMaterialsGroupsByFoldedNameAndValueWith251ReferencesALine)
{
    for (int n = 1; n <= 300; ++n)
        Place("C" + std::to_string(n), CDPoint(n, 0.0), PART_PLACED, "C1608", "0.1u");
    Place("R1", CDPoint(0.0, 5.0), PART_PLACED, "r1608", "10K");
    Place("R2", CDPoint(1.0, 5.0), PART_PLACED, "R1608", "10k");
    Run([](PartListChoice& c) { c.bom = 1; });
    const std::vector<std::string> lines = Body("test.csv", 0);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], _J("使用部品数, 302"));
    auto references = [](const std::string& line) {
        return static_cast<int>(std::count(line.begin(), line.end(), ',')) - 1;
    };
    EXPECT_EQ(lines[1].substr(0, 13), "C1608,0.1u,C1");
    EXPECT_EQ(references(lines[1]), 251 + 1); // a full line keeps its last comma
    EXPECT_EQ(lines[2].substr(0, 15), "C1608,0.1u,C252");
    EXPECT_EQ(references(lines[2]), 49);
    EXPECT_EQ(lines[3], "r1608,10K,R1,R2");
}

TEST_F(PartListTest, OutputFolderIsMadeOneLevelAndFilesAreOpenedWhenAsked)
{
    Place("R1", CDPoint(1.0, 1.0));
    Run([](PartListChoice& c) {
        c.partList = 1;
        c.outputFolder = "out";
        c.view = 1;
    });
    EXPECT_TRUE(fs::exists(folder / "out" / "test.plt"));
    EXPECT_EQ(listHost.opened, std::vector<std::string>{(folder / "out" / "test.plt").string()});
    EXPECT_EQ(Body("out/test.plt")[1], "               R1608 :     R1 :                  10k :    0");
    // The settings are kept and offered again.
    Run([](PartListChoice&) {});
    EXPECT_EQ(listHost.offered.outputFolder, "out");
    EXPECT_EQ(listHost.offered.baseFolder, folder.string());
    EXPECT_FALSE(doc->IsBusy());
}

TEST_F(PartListTest, AFolderThatCannotBeMadeWritesNothingAndKeepsTheSettings)
{
    Place("R1", CDPoint(1.0, 1.0));
    Run([](PartListChoice& c) {
        c.partList = 1;
        c.outputFolder = "missing/deeper";
    });
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("出力フォルダ作成に失敗しました"));
    EXPECT_FALSE(fs::exists(folder / "missing"));
    EXPECT_FALSE(fs::exists(folder / "test.plt"));
    tagPARTLISTSET stored;
    doc->ReadPartList(stored);
    EXPECT_EQ(stored.folder, "");
}

TEST_F(PartListTest, CancelWritesNothing)
{
    doc->OnPartList();
    EXPECT_EQ(listHost.saves, 0);
    EXPECT_FALSE(fs::exists(folder / "test.plt"));
    EXPECT_FALSE(doc->IsBusy());
}

TEST_F(PartListTest, AFileThatCannotBeWrittenIsReportedAndTheNextGoesOn)
{
    Place("R1", CDPoint(1.0, 1.0));
    fs::create_directory(folder / "test.plt"); // a folder where the file would go
    Run([](PartListChoice& c) {
        c.partList = 1;
        c.bom = 1;
    });
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_NE(messages.Last().text.find("test.plt"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder / "test.csv"));
}

TEST(ReportNames, TheBoardExtensionIsReplacedInAnyCase)
{
    CVELTADoc doc;
    doc.SetPathName("/b/board.VBD");
    EXPECT_EQ(doc.MakeOutputPath(".log"), "/b/board.log");
    EXPECT_EQ(doc.MakeOutputPathIn("/x", ".csv"), "/x/board.csv");
    EXPECT_EQ(doc.MakeOutputPathIn("", ".csv"), "/b/board.csv");
    doc.SetPathName("/b/board.dat");
    EXPECT_EQ(doc.MakeOutputPath(".log"), "/b/board.dat.log");
}

} // namespace
