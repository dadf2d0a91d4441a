// The board's CAM code tables: the list-file reader, the tool and turret look-ups, the hit count,
// the aperture choice of CAM input, and the counting on the sheets the writers write.

#include "model/items/Hole.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/document/EditFixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kHoleLayer = 2;

class CamTableTest : public EditFixture
{
protected:
    void Read(const std::string& text, bool photo)
    {
        CArchive file(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
        doc->ReadCodeTable(file, photo);
    }
    const tagDCODE& Aperture(int turret) { return doc->GetDCodeTable()[static_cast<std::size_t>(turret)]; }
    const tagTCODE& Tool(int index) { return doc->GetTCodeTable()[static_cast<std::size_t>(index)]; }
    std::string Code(int index) { return std::string(Tool(index).toolCode.data()); }

    CHole MakeHole(double dia, int shape = 0, double width = 0.0, bool through = true, bool dummy = false)
    {
        CHole hole(CDPoint(10, 10), dia, shape == 0, width, 0.0, 0.0);
        hole.ModifyType(shape | (through ? HOLE_THROUGH : 0) | (dummy ? HOLE_CHECK : 0),
                        HOLE_SHAPE_MASK | HOLE_THROUGH | HOLE_CHECK);
        return hole;
    }
    void SetTool(int index, double dia, int kind, const char* code)
    {
        tagTCODE& tool = doc->GetTCodeTable()[static_cast<std::size_t>(index)];
        tool = tagTCODE{};
        tool.diameter = dia;
        tool.holeType = kind;
        std::snprintf(tool.toolCode.data(), tool.toolCode.size(), "%s", code);
    }
};

TEST_F(CamTableTest, PhotoLinesTakeTheDCodeFromEitherField)
{
    Read("D10 1\n1, D11\r\n  # comment only\n\n2\t,d12 # lower case and a comment\nfoo bar\n", true);
    ASSERT_EQ(Aperture(1).codeCount, 2);
    EXPECT_EQ(Aperture(1).dcodes[0], 10);
    EXPECT_EQ(Aperture(1).dcodes[1], 11);
    EXPECT_EQ(Aperture(2).codeCount, 1);
    EXPECT_EQ(Aperture(2).dcodes[0], 12);
    EXPECT_EQ(doc->FindTurretByDCode(11), 1);
    EXPECT_EQ(doc->FindTurretByDCode(13), -1);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(CamTableTest, BadPhotoLinesAreReportedOneBoxEachAndReadingGoesOn)
{
    Read("D9, 1\nD1000 2\nD20 121\nD21 -1\nD22 3\n", true);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{
                                    _J("Dコード 9 は範囲外です"),
                                    _J("Dコード 1000 は範囲外です"),
                                    _J("タレット番号 121 は範囲外です"),
                                    _J("タレット番号 -1 は範囲外です"),
                                }));
    EXPECT_EQ(Aperture(3).dcodes[0], 22);
}

TEST_F(CamTableTest, AThirtyFourthDCodeOfATurretIsRefused)
{
    std::string text;
    for (int code = 10; code < 44; ++code)
        text += "D" + std::to_string(code) + " 5\n";
    Read(text, true);
    EXPECT_EQ(Aperture(5).codeCount, 33);
    EXPECT_EQ(Aperture(5).dcodes[32], 42);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("Dコード 43 は範囲外です")});
}

TEST_F(CamTableTest, DrillLinesMakeToolsWithKindsFromTheComment)
{
    Read("T1, 0.8\nT02 1.0 TH\nT03,1.2,NTH\nT04, 2.0 LNTH\nT005 2.5, LTH\nT1234 3.0\nX1 0.5\nT0 0.7\n",
         false);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("Tコード 0 は範囲外です")});
    ASSERT_EQ(doc->GetTCodeCount(), 5);
    EXPECT_EQ(Code(0), "T1");
    EXPECT_DOUBLE_EQ(Tool(0).diameter, 0.8);
    EXPECT_EQ(Tool(0).holeType, 1);
    EXPECT_EQ(Tool(1).holeType, 1);
    EXPECT_EQ(Tool(2).holeType, 0);
    EXPECT_EQ(Tool(3).holeType, 16); // "LNTH" holds "NTH" but is a long non-through tool
    EXPECT_EQ(Tool(4).holeType, 17);
    EXPECT_EQ(Code(4), "T005");
}

TEST_F(CamTableTest, TheHundredAndFirstToolIsRefusedWithItsNumber)
{
    std::string text;
    for (int n = 1; n <= 101; ++n)
        text += "T" + std::to_string(n) + " 1.0\n";
    Read(text, false);
    EXPECT_EQ(doc->GetTCodeCount(), 100);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("Tコード 101 は範囲外です")});
}

TEST_F(CamTableTest, ReadingEitherKindEmptiesBothTables)
{
    Read("D10 1\n", true);
    Read("T1 0.8\n", false);
    EXPECT_EQ(Aperture(1).codeCount, 0);
    Read("D10 1\n", true);
    EXPECT_EQ(doc->GetTCodeCount(), 0);
}

TEST_F(CamTableTest, TCodeSizeIsTheFirstToolWithTheNumber)
{
    Read("T01 0.8\nD1 1.0\nT1 1.2\n", false);
    EXPECT_DOUBLE_EQ(doc->GetTCodeSize(1), 0.8);
    EXPECT_DOUBLE_EQ(doc->GetTCodeSize(2), 0.0);
}

TEST_F(CamTableTest, FindTCodeMatchesDiameterAndKind)
{
    SetTool(0, 0.8, 0, "T01");
    SetTool(1, 0.8, 1, "T02");
    SetTool(2, 1.42, 1, "T03");
    SetTool(3, 1.0, 17, "T04");
    CHole plated = MakeHole(0.8);
    CHole bare = MakeHole(0.8, 0, 0.0, false);
    CHole square = MakeHole(1.0, HOLE_RECT, 1.0);
    CHole slot = MakeHole(1.0, HOLE_LONG, 2.0);
    CHole rect = MakeHole(1.0, HOLE_RECT, 2.0);
    EXPECT_EQ(doc->FindTCode(&plated, false), 1);
    EXPECT_EQ(doc->FindTCode(&bare, false), 0);
    EXPECT_EQ(doc->FindTCode(&square, false), 2); // a square of side 1.0 is drilled by 1.42
    EXPECT_EQ(doc->FindTCode(&slot, false), 3);
    EXPECT_EQ(doc->FindTCode(&rect, false), 3); // a rectangle looks for a long tool
    EXPECT_EQ(messages.Count(), 0u);

    CHole missing = MakeHole(0.6, HOLE_LONG, 1.0, false);
    EXPECT_EQ(doc->FindTCode(&missing, true), 0);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(doc->FindTCode(&missing, false), 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("穴径 0.6mm LNTHのTコードが定義されていません")});
}

TEST_F(CamTableTest, DummyHolesCountOncePerRunOnOneTool)
{
    SetTool(0, 0.8, 1, "T01");
    SetTool(1, 1.0, 1, "T02");
    CSheet run(SHEET_WORK);
    for (int i = 0; i < 3; ++i)
        run.NewHole(MakeHole(0.8, 0, 0.0, true, true));
    doc->CountToolHits(run);
    EXPECT_EQ(Tool(0).hitCount, 2);

    SetTool(0, 0.8, 1, "T01");
    CSheet alternating(SHEET_WORK);
    for (int i = 0; i < 4; ++i)
        alternating.NewHole(MakeHole(i % 2 ? 1.0 : 0.8, 0, 0.0, true, true));
    alternating.NewHole(MakeHole(1.0));
    doc->CountToolHits(alternating);
    EXPECT_EQ(Tool(0).hitCount, 2);
    EXPECT_EQ(Tool(1).hitCount, 3);
}

TEST_F(CamTableTest, ATurretWithoutDCodeGetsItsDefaultAndAWarningOnlyWhenAsked)
{
    EXPECT_EQ(doc->GetTurretDCode(3), 13);
    EXPECT_EQ(Aperture(3).dcodes[0], 13);
    EXPECT_EQ(messages.Count(), 0u);
    doc->SetWarnMissingDCode(true);
    EXPECT_EQ(doc->GetTurretDCode(4), 14);
    EXPECT_EQ(doc->GetTurretDCode(4), 14);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("タレット 4 のDコードが定義されていません")});
    Read("D30 5\n", true);
    EXPECT_EQ(doc->GetTurretDCode(5), 30);
    EXPECT_EQ(doc->GetTurretDCode(500), 510); // past the table: the default, nothing stored
}

TEST_F(CamTableTest, CountAperturesUsesTheSheetsTheWriterWrites)
{
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0)); // turret 2
    AddLand(0, CDPoint(5, 5));                 // turret 1
    AddLand(1, CDPoint(6, 6));
    const int layers[] = {0, -1};
    doc->CountApertures(layers, true);
    EXPECT_EQ(Aperture(2).drawCount, 1);
    EXPECT_DOUBLE_EQ(Aperture(2).drawnLength, 10.0);
    EXPECT_EQ(Aperture(1).flashCount, 1);

    // With something selected on the layer only the selection is written, and counted.
    CLand* chosen = AddLand(0, CDPoint(7, 7));
    doc->SelectItem(chosen, 0);
    doc->CountApertures(layers, true);
    EXPECT_EQ(Aperture(2).drawCount, 0);
    EXPECT_EQ(Aperture(1).flashCount, 1);
    // Without clearing the counts add up; the D-code lists stay either way.
    doc->GetTurretDCode(1);
    doc->CountApertures(layers, false);
    EXPECT_EQ(Aperture(1).flashCount, 2);
    EXPECT_EQ(Aperture(1).dcodes[0], 11);
}

TEST_F(CamTableTest, CollectToolsFindsPlatingAndDropsItOnAOneLayerBoard)
{
    doc->GetBoardSheet(0)->SetWLayer(1);
    doc->GetBoardSheet(1)->SetWLayer(2);
    doc->GetBoardSheet(kHoleLayer)->ModifyType(0x10000, 0);
    AddLand(0, CDPoint(10, 10));
    CHole onCopper = MakeHole(0.8, 0, 0.0, false);
    doc->GetBoardSheet(kHoleLayer)->NewHole(onCopper);
    CHole bare = MakeHole(1.0, 0, 0.0, false);
    bare.SetPoint(CDPoint(50, 50));
    doc->GetBoardSheet(kHoleLayer)->NewHole(bare);
    const int layers[] = {kHoleLayer, -1};
    doc->CollectTools(layers, 0, true);
    ASSERT_EQ(doc->GetTCodeCount(), 2);
    EXPECT_EQ(Tool(0).holeType, 1);
    EXPECT_EQ(Tool(1).holeType, 0);

    doc->GetLayerStack().wireCount = 1;
    doc->CollectTools(layers, 0, true);
    EXPECT_EQ(Tool(0).holeType, 0);
}

struct ApertureCase
{
    const char* definition;
    bool inch;
    int turret;
    int strokeMode;
    double halfLength;
    const char* message; // empty: none
};

class ApertureChoiceTest : public CamTableTest, public ::testing::WithParamInterface<ApertureCase>
{
protected:
    void SetUp() override
    {
        CamTableTest::SetUp();
        // 10 circle 0.5, 11 circle 1.0, 12 square 0.5, 13 square 1.0, 14 donut 2.0/1.0,
        // 15 thermal 2.0/1.0, 16 thermal 3.0/2.0.
        const tagTURRET turrets[] = {{0, 0.5, 0},   {0, 1.0, 0},   {1, 0.5, 0},  {1, 1.0, 0},
                                     {2, 2.0, 1.0}, {3, 2.0, 1.0}, {3, 3.0, 2.0}};
        for (int n = 0; n <= 120; ++n)
            doc->Turret(n) = tagTURRET{0, 9.0 + n, 0};
        for (int i = 0; i < 7; ++i)
            doc->Turret(10 + i) = turrets[i];
        doc->ResetDCodeStrokes();
    }
};

TEST_P(ApertureChoiceTest, PicksTheNearestTurretOfTheShape)
{
    const ApertureCase& c = GetParam();
    tagGERBAR g;
    g.metric = c.inch ? 0 : 1;
    g.divisor = 1000.0;
    const std::vector<std::string> macros = {"OTHER,1,1,0.5,0,0", "THERMAL15,7,0,0,2.0,1.0,0.5,45",
                                             "TH16,7,0,0,3.0,2.0,0.5,45"};
    EXPECT_EQ(doc->AssignGerberAperture(c.definition, macros, &g), c.turret);
    const std::string dcode(c.definition + 1, std::strspn(c.definition + 1, "0123456789"));
    const tagDSTROKE stroke = doc->GetDCodeStroke(std::atoi(dcode.c_str()));
    EXPECT_EQ(stroke.mode, c.strokeMode);
    EXPECT_NEAR(stroke.halfLength, c.halfLength, 1e-9);
    if (c.turret >= 0) {
        EXPECT_EQ(doc->FindTurretByDCode(std::atoi(dcode.c_str())), c.turret);
    }
    const std::vector<std::string> expected =
        *c.message ? std::vector<std::string>{platform::JLiteral(c.message)} : std::vector<std::string>{};
    EXPECT_EQ(messages.Texts(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, ApertureChoiceTest,
    ::testing::Values(
        ApertureCase{"D20C,1.0", false, 11, 0, 0.0, ""},
        ApertureCase{"D21C,0.9", false, 11, 0, 0.0, "D21C,0.9 にタレット11(1.000000)を使用しました"},
        ApertureCase{"D22C,0.03937", true, 11, 0, 0.0, "D22C,0.03937 にタレット11(1.000000)を使用しました"},
        ApertureCase{"D23R,0.5X2.5", false, 12, 2, 1.0, ""},
        ApertureCase{"D24O,3.0X1.0", false, 11, 1, 1.0, ""},
        ApertureCase{"D25R,1.0X1.0", false, 13, 0, 0.0, ""},
        ApertureCase{"D26C,2.0X1.0", false, 14, 0, 0.0, ""},
        ApertureCase{"D27THERMAL15", false, 15, 0, 0.0, ""}, ApertureCase{"D28TH16", false, 16, 0, 0.0, ""},
        ApertureCase{"D29P,1.0", false, -1, 0, 0.0, ""}, ApertureCase{"D9C,1.0", false, -1, 0, 0.0, ""},
        ApertureCase{"X10C,1.0", false, -1, 0, 0.0, ""}, ApertureCase{"D30NOMACRO", false, -1, 0, 0.0, ""}));

TEST_F(ApertureChoiceTest, NoTurretOfTheShapeIsReported)
{
    for (int n = 0; n <= 120; ++n)
        if (doc->Turret(n).shape == 2)
            doc->Turret(n).shape = 0;
    tagGERBAR g;
    g.metric = 1;
    EXPECT_EQ(doc->AssignGerberAperture("D20C,2.0X1.0", {}, &g), -1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("2.0X1.0タレットが見つかりません。")});
}

TEST_F(ApertureChoiceTest, MessagesGoToTheSinkWhileOneIsSet)
{
    std::vector<std::string> sink;
    doc->SetCamMessageSink(&sink);
    tagGERBAR g;
    g.metric = 1;
    doc->AssignGerberAperture("D21C,0.9", {}, &g);
    doc->SetCamMessageSink(nullptr);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(sink.size(), 1u);
}

} // namespace
