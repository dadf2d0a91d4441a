// The CAM output driver: entries, the three ways to the code tables, the list files, the output
// folder, the failures it reports, and the output command around it.

#include "cam/CamOutput.h"
#include "app/CamCommands.h"
#include "model/items/Part.h"
#include "platform/J.h"
#include "platform/Profile.h"
#include "tests/cam/CamOutputFixture.h"
#include "tests/support/GerbvCheck.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace testing_support;

TEST(CamOutputEntryTest, FieldsAreTrimmedAndLayersMadeZeroBased)
{
    const CamOutputEntry entry = ParseCamOutputEntry("1:top           : top.gbr      :1, 3,129,0,128");
    EXPECT_TRUE(entry.enabled);
    EXPECT_EQ(entry.name, "top");
    EXPECT_EQ(entry.file, "top.gbr");
    EXPECT_EQ(entry.layers, (std::vector<int>{0, 2, 127, -1}));
    EXPECT_FALSE(ParseCamOutputEntry("0:a:b:1").enabled);
    EXPECT_FALSE(ParseCamOutputEntry(" 1:a:b:1").enabled);
    EXPECT_EQ(ParseCamOutputEntry("1").layers, std::vector<int>{-1});
}

TEST(CamOutputEntryTest, LongHoleFilesTakeTheMarkBeforeTheLastDot)
{
    EXPECT_EQ(LongHoleFileName("board.drl"), "board-lhl.drl");
    EXPECT_EQ(LongHoleFileName("board"), "board-lhl");
    EXPECT_EQ(LongHoleFileName("a.b.drl"), "a.b-lhl.drl");
    EXPECT_EQ(LongHoleFileName(".drl"), ".drl-lhl");
}

class CamOutputTest : public CamOutputFixture
{
protected:
    void SetUp() override
    {
        CamOutputFixture::SetUp();
        AddLine(0, CDPoint(0, 0), CDPoint(10, 0)); // turret 2
        Land(0, CDPoint(10, 10), 1);
        Land(1, CDPoint(20, 10), 3);
        Land(1, CDPoint(30, 10), kSquare);
    }
};

TEST_F(CamOutputTest, AutomaticTablesListTheUsedTurretsOfTheTickedEntries)
{
    CamOutChoice choice = Choice();
    choice.records[0].extended = 0;
    choice.settings.photo.outputs = {"1:top:top.gbr:1", "0:bottom:bottom.gbr:2", "1:none:none.gbr:5"};
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(Written("vtphot.txt"), _J("#タレット番号,Ｄコード # タイプ、外形\r\n") + "  1\t, D11\t" +
                                         _J("# 円形 1.00000\r\n") + "  2\t, D12\t" +
                                         _J("# 円形 0.20000\r\n"));
    EXPECT_TRUE(std::filesystem::exists(InBoard("top.gbr")));
    EXPECT_FALSE(std::filesystem::exists(InBoard("bottom.gbr")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("none.gbr")));
    EXPECT_EQ(messages.Count(), 0u);

    // The plain file, given the statements the list stands for, is what gerbv draws.
    CamFileFormat format;
    CheckWithGerbv(InBoard("plain.gbr"), GerbvPhotoText(Written("top.gbr"), format, Written("vtphot.txt")),
                   "png");
}

struct PlainForm
{
    const char* name;
    char eob;
    int codeType;
};

class PlainPhotoTest : public CamOutputTest, public ::testing::WithParamInterface<PlainForm>
{
};

TEST_P(PlainPhotoTest, EveryBlockEndAndTapeCodeReadsInGerbv)
{
    const PlainForm& form = GetParam();
    AddLine(0, CDPoint(10, 10), CDPoint(20, 15));
    Land(0, CDPoint(5, 20), kDonut);
    CamOutChoice choice = Choice();
    choice.records[0].extended = 0;
    choice.records[0].endOfBlock = form.eob;
    choice.records[0].codeType = form.codeType;
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Count(), 0u);
    CamFileFormat format;
    format.endOfBlock = form.eob;
    format.codeType = form.codeType;
    const std::string text = GerbvPhotoText(Written("top.gbr"), format, Written("vtphot.txt"));
    EXPECT_NE(text.find("G90*"), std::string::npos) << form.name;
    EXPECT_NE(text.find("G71*"), std::string::npos) << form.name;
    const std::string exported = CheckWithGerbv(InBoard(std::string(form.name) + ".gbr"), text, "rs274x");
    EXPECT_EQ(GerbvExportedFlashes(exported).size(), 2u) << exported;
}

INSTANTIATE_TEST_SUITE_P(Forms, PlainPhotoTest,
                         ::testing::Values(PlainForm{"star", '*', 0}, PlainForm{"lf", '\n', 0},
                                           PlainForm{"cr", '\r', 0}, PlainForm{"ebcdic", '\n', 1},
                                           PlainForm{"eia", '\n', 2}, PlainForm{"iso", '\n', 3}),
                         [](const ::testing::TestParamInfo<PlainForm>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CamOutputTest, NoTickedEntryStillWritesTheListFile)
{
    CamOutChoice choice = Choice();
    choice.records[0].extended = 0;
    choice.settings.photo.outputs = {"0:top:top.gbr:1"};
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(Written("vtphot.txt"), "");
    EXPECT_TRUE(std::filesystem::exists(InBoard("vtphot.txt")));
}

TEST_F(CamOutputTest, SequentialCodesNumberTheUsedAperturesFromTen)
{
    CamOutChoice choice = Choice();
    choice.settings.photo.outputs = {"1:top:top.gbr:1", "1:bottom:bottom.gbr:2"};
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(Written("vtphot.txt"),
              _J("#タレット番号,Ｄコード # タイプ、外形\r\n") + "  1\t, D10\t" + _J("# 円形 1.00000\r\n") +
                  "  2\t, D11\t" + _J("# 円形 0.20000\r\n") + "  3\t, D12\t" + _J("# 円形 1.60000\r\n") +
                  "  4\t, D13\t" + _J("# 角形 1.20000\r\n"));
    // Each file defines the apertures of its own layers only.
    const std::string top = Written("top.gbr");
    const std::string bottom = Written("bottom.gbr");
    EXPECT_NE(top.find("%ADD10C,1.0000*%"), std::string::npos);
    EXPECT_EQ(top.find("%ADD12"), std::string::npos);
    EXPECT_EQ(bottom.find("%ADD10"), std::string::npos);
    EXPECT_NE(bottom.find("%ADD13R,1.2000X1.2000*%"), std::string::npos);
    EXPECT_NE(bottom.find("G54D13*"), std::string::npos);
    CheckWithGerbv(InBoard("top-check.gbr"), top, "rs274x");
    CheckWithGerbv(InBoard("bottom-check.gbr"), bottom, "rs274x");
}

TEST_F(CamOutputTest, ATableFileGivesTheCodesAndAMissingOneStopsTheKind)
{
    WriteFile(InBoard("codes.apt"), "1, D21\r\n2 , D22\r\n");
    CamOutChoice choice = Choice();
    choice.records[0].extended = 0;
    choice.settings.photoFile = InBoard("codes.apt").string();
    OutputCamData(*doc, 0, choice);
    const std::string top = Written("top.gbr");
    EXPECT_NE(top.find("G54D21*"), std::string::npos) << top;
    EXPECT_NE(top.find("G54D22*"), std::string::npos) << top;
    EXPECT_FALSE(std::filesystem::exists(InBoard("vtphot.txt")));
    EXPECT_EQ(messages.Count(), 0u);

    // A turret the table forgot gets its default code, with a word.
    WriteFile(InBoard("codes.apt"), "1, D21\r\n");
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("タレット 2 のDコードが定義されていません")});
    EXPECT_NE(Written("top.gbr").find("G54D12*"), std::string::npos);

    messages.Clear();
    std::filesystem::remove(InBoard("top.gbr"));
    choice.settings.photoFile = InBoard("gone.apt").string();
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Tool File " + InBoard("gone.apt").string() + " cannot open"});
    EXPECT_FALSE(std::filesystem::exists(InBoard("top.gbr")));
}

TEST_F(CamOutputTest, OutputGoesIntoTheSubFolderMadeForIt)
{
    CamOutChoice choice = Choice();
    choice.settings.photo.folder = "gerber";
    OutputCamData(*doc, 0, choice);
    EXPECT_TRUE(std::filesystem::exists(InBoard("gerber/top.gbr")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("vtphot.txt")));

    WriteFile(InBoard("taken"), "a file");
    choice.settings.photo.folder = "taken";
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("出力フォルダ作成に失敗しました")});
}

TEST_F(CamOutputTest, ReportsOfDataFilesThatDifferOnlyInTheirExtensionKeepIt)
{
    WriteFile(Master().parent_path() / "R.dat",
              "$COMMON$\r\n$BLOCKIN$\r\n$COMMON$\r\n"
              "$PHOT$\r\n$FILEEXT& .txt $\r\n$BLOCKFOR$t$BLOCKNEXT$\r\n$PHOT$\r\n"
              "$DRILL$\r\n$FILEEXT& .txt $\r\n$BLOCKFOR$d$BLOCKNEXT$\r\n$DRILL$\r\n");
    CamOutChoice choice = Choice();
    choice.settings.report = "R";
    choice.settings.photo.outputs = {"1:top:top.gbr:1", "1:bottom:bottom.gbr:2", "0:off:off.gbr:1"};
    choice.settings.drill.outputs = {"1:drill:top.drl:3", "1:off:off.drl:3"};
    OutputCamData(*doc, 0, choice);
    OutputCamData(*doc, 1, choice);
    EXPECT_TRUE(std::filesystem::exists(InBoard("top.gbr.txt")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("top.drl.txt")));
    EXPECT_FALSE(std::filesystem::exists(InBoard("top.txt")));
    // A disabled entry does not count; a name of its own keeps the plain report name.
    EXPECT_TRUE(std::filesystem::exists(InBoard("bottom.txt")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("off.txt")));
}

TEST_F(CamOutputTest, AFileThatCannotBeWrittenIsReportedAndTheNextEntryWritten)
{
    CamOutChoice choice = Choice();
    choice.settings.photo.outputs = {"1:top:missing/top.gbr:1", "1:bottom:bottom.gbr:2"};
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Data File " + InBoard("missing/top.gbr").string() + " cannot open"});
    EXPECT_TRUE(std::filesystem::exists(InBoard("bottom.gbr")));
}

TEST_F(CamOutputTest, AListFileThatCannotBeWrittenIsReportedAndOutputGoesOn)
{
    std::filesystem::create_directories(InBoard("vtphot.txt"));
    CamOutChoice choice = Choice();
    choice.records[0].extended = 0;
    OutputCamData(*doc, 0, choice);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Cannot open " + InBoard("vtphot.txt").string()});
    EXPECT_TRUE(std::filesystem::exists(InBoard("top.gbr")));
}

struct ToolCodeCase
{
    int digits;
    int hitType;
    const char* first;
    const char* second;
};

class ToolCodeTest : public CamOutputFixture, public ::testing::WithParamInterface<ToolCodeCase>
{
};

TEST_P(ToolCodeTest, ToolsAreNumberedByTheDigitsAndTheHitType)
{
    const ToolCodeCase& c = GetParam();
    Hole(CDPoint(10, 10), 0.8);
    Hole(CDPoint(20, 10), 1.0);
    CamOutChoice choice = Choice();
    choice.records[1].toolDigits = static_cast<std::uint8_t>(c.digits);
    choice.records[1].hitType = c.hitType;
    choice.records[1].sequential = 1;
    OutputCamData(*doc, 1, choice);
    EXPECT_EQ(Written("vtdril.txt"),
              std::string(c.first) + "\t, 0.80, NTH\r\n" + c.second + "\t, 1.00, NTH\r\n");
    EXPECT_EQ(std::string(doc->GetTCodeTable()[1].toolCode.data()), c.second);
}

INSTANTIATE_TEST_SUITE_P(Digits, ToolCodeTest,
                         ::testing::Values(ToolCodeCase{2, 0, "T01", "T02"},
                                           ToolCodeCase{3, 1, "T001", "T002"}, ToolCodeCase{0, 2, "T1", "T2"},
                                           ToolCodeCase{2, 3, "D10", "D11"},
                                           ToolCodeCase{3, 3, "D010", "D011"}));

TEST_F(CamOutputFixture, AOneLayerBoardDrillsNothingThrough)
{
    AddLand(0, CDPoint(10, 10));
    Hole(CDPoint(10, 10), 0.8);
    OutputCamData(*doc, 1, Choice());
    EXPECT_EQ(Written("vtdril.txt"), "T01\t, 0.80, TH\r\n");
    doc->GetLayerStack().wireCount = 1;
    OutputCamData(*doc, 1, Choice());
    EXPECT_EQ(Written("vtdril.txt"), "T01\t, 0.80, NTH\r\n");
}

// --- the command ---

class CamCommandHost : public EditHost
{
public:
    bool RunCamOutDialog(CamOutChoice& choice, CVELTADoc&) override
    {
        ++runs;
        choice = answer;
        return accept;
    }
    void SaveProjectBoards() override { ++saves; }

    CamOutChoice answer;
    bool accept = true;
    int runs = 0;
    int saves = 0;
};

class CamCommandTest : public CamOutputTest
{
protected:
    void SetUp() override
    {
        CamOutputTest::SetUp();
        doc->SetHost(&camHost);
        camHost.answer = Choice();
        Hole(CDPoint(10, 10), 0.8);
        WriteFile(Board(), ReadFile(Board()) + Section("CAM_REPORT", " VTHTML ;\r\n") +
                               Section("CAM_OUT_PHOT", "X: 1 ;\r\n") + Section("CAM_OUT_DRIL", "X: 0 ;\r\n"));
    }
    void TearDown() override
    {
        doc->SetHost(nullptr);
        CamOutputTest::TearDown();
    }
    CamCommandHost camHost;
};

TEST_F(CamCommandTest, AnUnsavedBoardIsRefused)
{
    doc->SetPathName(std::string());
    OnCamDataOutput(*doc);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("ファイルを保存してください。")});
    EXPECT_EQ(camHost.runs, 0);
}

TEST_F(CamCommandTest, SameOutputWritesBothKindsAndTheSettingsOtherwiseTheShownKindOnly)
{
    OnCamDataOutput(*doc);
    EXPECT_EQ(camHost.runs, 1);
    EXPECT_EQ(camHost.saves, 1);
    EXPECT_TRUE(std::filesystem::exists(InBoard("top.gbr")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("board.drl")));
    EXPECT_NE(ReadFile(Board()).find("[CAM_OUT_PHOT]"), std::string::npos);
    EXPECT_NE(ReadFile(Board()).find("[CAM_OUT_DRIL]"), std::string::npos);

    std::filesystem::remove(InBoard("top.gbr"));
    std::filesystem::remove(InBoard("board.drl"));
    profile.SetInt("CAMOut", "SameOut", 0);
    camHost.answer.kind = 1;
    OnCamDataOutput(*doc);
    EXPECT_FALSE(std::filesystem::exists(InBoard("top.gbr")));
    EXPECT_TRUE(std::filesystem::exists(InBoard("board.drl")));

    camHost.accept = false;
    std::filesystem::remove(InBoard("board.drl"));
    OnCamDataOutput(*doc);
    EXPECT_FALSE(std::filesystem::exists(InBoard("board.drl")));
}

TEST_F(CamCommandTest, UnplacedPartsAreAskedAbout)
{
    CPart part;
    part.ModifyType(0, PART_PLACED); // not placed
    doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    messages.QueueAnswer(IDNO);
    OnCamDataOutput(*doc);
    ASSERT_EQ(messages.Count(), 1u) << ::testing::PrintToString(messages.Texts());
    EXPECT_EQ(messages.Last().text, _J("未配置部品があります。実行しますか？"));
    EXPECT_EQ(messages.Last().type, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    EXPECT_EQ(camHost.runs, 0);

    messages.QueueAnswer(IDYES);
    OnCamDataOutput(*doc);
    EXPECT_EQ(camHost.runs, 1);
}

} // namespace
