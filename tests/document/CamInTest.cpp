// The CAM input command: the reading settings built from the profile, the layer questions, one
// undo step for the new items (two when old ones are replaced), the user origin, and a board left
// as it was by a malformed, empty or unreadable file.

#include "document/CamInChoice.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "tests/document/EditFixture.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr int kLayer = 2; // neither a wiring nor a part layer
constexpr char kPhot[] = "CAMIn\\Phot";
constexpr char kDrill[] = "CAMIn\\Drill";

const char kTwoFlashes[] = "%FSLAX33Y33*%\n%MOMM*%\n%ADD10C,0.5*%\nD10*\nX1000Y2000D03*\nX3000Y2000D03*\n"
                           "X1000Y2000D02*\nX3000Y4000D01*\nM02*\n";

class CamInHost : public EditHost
{
public:
    bool RunCamInDialog(CamInChoice& choice) override
    {
        ++runs;
        if (!answer)
            return false;
        choice = *answer;
        return true;
    }
    void SaveProjectBoards() override { ++saves; }

    std::optional<CamInChoice> answer;
    int runs = 0;
    int saves = 0;
};

class CamInTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->SetHost(&camHost);
        doc->SetUserOrigin(CDPoint(0.0, 0.0));
    }

    // A choice of an extended photo file with the given text on the layer.
    void Choose(const std::string& text, int layer = kLayer, bool extended = true)
    {
        const auto path = Board().parent_path() / "in.gbr";
        WriteFile(path, text);
        CamInChoice choice;
        choice.kind = 0;
        choice.layer = layer;
        choice.dataFile = path.string();
        choice.extended = extended;
        camHost.answer = choice;
    }

    std::vector<CDPoint> Lands(int layer)
    {
        std::vector<CDPoint> out;
        CSheet* sheet = doc->GetBoardSheet(layer);
        for (POSITION p = sheet->GetFirstLandPos(); p;)
            out.push_back(sheet->GetNextLand(p)->GetPoint());
        return out;
    }

    // Undo records: twelve words each.
    std::size_t Steps() const { return doc->GetUndoHistory().size() / 12; }

    CamInHost camHost;
};

struct RecordCase
{
    const char* section;
    int intCode, unit, mirror;
    const char* scale;
    bool extended;
    double divisor;
    bool metric, absolute;
    double unitFactor, angle;
    bool mirrorX, mirrorY;
};

class CamInRecordTest : public CamInTest, public ::testing::WithParamInterface<RecordCase>
{
};

TEST_P(CamInRecordTest, SettingsComeFromTheKindsProfileSection)
{
    const RecordCase& c = GetParam();
    profile.SetInt(c.section, "Int", c.intCode);
    profile.SetInt(c.section, "UNIT", c.unit);
    profile.SetInt(c.section, "Mirror", c.mirror);
    profile.SetString(c.section, "Scale", c.scale);
    profile.SetInt(c.section, "EOB", 2);
    profile.SetInt(c.section, "Code", 2);
    profile.SetString(c.section, "XOff", "1.5f");
    profile.SetInt(kPhot, "Arc", 3);
    profile.SetInt(kDrill, "Hit", 2);
    const bool drill = std::string(c.section) == kDrill;
    const tagGERBAR g = CVELTADoc::MakeCamInRecord(drill ? 1 : 0, c.extended);
    EXPECT_EQ(g.photo, drill ? 0 : 1);
    EXPECT_DOUBLE_EQ(g.divisor, c.divisor);
    EXPECT_EQ(g.metric != 0, c.metric);
    EXPECT_EQ(g.absolute != 0, c.absolute);
    EXPECT_NEAR(g.fileUnitFactor, c.unitFactor, 1e-9);
    EXPECT_NEAR(g.angle, c.angle, 1e-12);
    EXPECT_EQ(g.mirrorX != 0, c.mirrorX);
    EXPECT_EQ(g.mirrorY != 0, c.mirrorY);
    EXPECT_DOUBLE_EQ(g.offsetX, 1.5);
    EXPECT_EQ(g.endOfBlock, c.extended ? '*' : '\r');
    EXPECT_EQ(g.codeType, c.extended ? 0 : 2);
    EXPECT_EQ(g.arcMode, c.extended ? 0 : 3);
    EXPECT_EQ(g.hitType, 2);
    EXPECT_EQ(g.drawCode + g.moveCode + g.flashCode + g.linearCode + g.cwCode + g.ccwCode + g.endCode,
              "D01D02D03G01G02G03M00");
}

INSTANTIATE_TEST_SUITE_P(
    Profile, CamInRecordTest,
    ::testing::Values(
        // "Int" 48: three decimals; 64: four. "UNIT" 17: inches and incremental, scale x 25.4.
        RecordCase{kPhot, 48, 0, 0, "1.0f", true, 1000.0, true, true, 1.0, 0.0, false, false},
        RecordCase{kPhot, 64, 17, 1, "2.0f", false, 10000.0, false, false, 50.8, 0.0, true, false},
        RecordCase{kDrill, 0x24, 1, 2 + 4, "0.5", false, 100.0, false, true, 12.7, std::numbers::pi / 2.0,
                   false, true},
        RecordCase{kDrill, 0x50, 16, 3 + 12, "1", false, 100000.0, true, false, 1.0,
                   3.0 * std::numbers::pi / 2.0, true, true},
        RecordCase{kPhot, 48, 0, 8, "1.0f", true, 1000.0, true, true, 1.0, std::numbers::pi, false, false}));

TEST_F(CamInTest, CancelledDialogChangesNothing)
{
    doc->OnCamDataInput();
    EXPECT_EQ(camHost.runs, 1);
    EXPECT_EQ(camHost.saves, 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(CamInTest, ReadsIntoTheLayerMovedByTheUserOriginAsOneUndoStep)
{
    doc->SetUserOrigin(CDPoint(10.0, 20.0));
    Choose(kTwoFlashes);
    doc->OnCamDataInput();
    EXPECT_EQ(camHost.saves, 1);
    const std::vector<CDPoint> lands = Lands(kLayer);
    ASSERT_EQ(lands.size(), 2u);
    EXPECT_NEAR(lands[0].x + lands[1].x, 11.0 + 13.0, 1e-9);
    EXPECT_NEAR(lands[0].y, 22.0, 1e-9);
    EXPECT_EQ(OnBoard(kLayer), 3);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_TRUE(doc->IsModified());
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(kLayer), 0);
}

TEST_F(CamInTest, ExistingItemsAreReplacedKeptOrLeftByTheAnswer)
{
    for (int answer : {IDYES, IDNO, IDCANCEL}) {
        SCOPED_TRACE(answer);
        doc->GetBoardSheet(kLayer)->DeleteContents();
        AddLand(kLayer, CDPoint(50.0, 50.0));
        const std::size_t before = Steps();
        Choose(kTwoFlashes);
        messages.Clear();
        messages.QueueAnswer(answer);
        doc->OnCamDataInput();
        ASSERT_GE(messages.Count(), 1u);
        EXPECT_EQ(messages.Entries()[0].text, _J("指定レイヤにはデータがあります。削除して読込みますか？"));
        EXPECT_EQ(messages.Entries()[0].type & 0xF0Fu, static_cast<unsigned>(MB_YESNOCANCEL | MB_DEFBUTTON2));
        const std::size_t steps = Steps() - before;
        if (answer == IDYES) {
            EXPECT_EQ(OnBoard(kLayer), 3);
            EXPECT_GE(steps, 2u); // the deletion and the addition
            doc->OnEditUndo();
            doc->OnEditUndo();
            EXPECT_EQ(Lands(kLayer).size(), 1u);
            EXPECT_EQ(Lands(kLayer)[0].x, 50.0);
        } else if (answer == IDNO) {
            EXPECT_EQ(OnBoard(kLayer), 4);
            EXPECT_EQ(steps, 1u);
        } else {
            EXPECT_EQ(OnBoard(kLayer), 1);
            EXPECT_EQ(steps, 0u);
        }
    }
}

TEST_F(CamInTest, WiringLayerAsksFirstAndNoEndsTheCommand)
{
    Choose(kTwoFlashes, 0);
    messages.QueueAnswer(IDNO);
    doc->OnCamDataInput();
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("選択したレイヤは配線層か部品関連レイヤです。強行しますか？"));
    EXPECT_EQ(OnBoard(0), 0);
    messages.QueueAnswer(IDYES);
    doc->OnCamDataInput();
    EXPECT_EQ(OnBoard(0), 3);
}

TEST_F(CamInTest, MalformedEmptyAndUnreadableFilesLeaveTheBoardAsItWas)
{
    const std::string path = (Board().parent_path() / "in.gbr").string();
    const struct
    {
        const char* text; // null: no file at all
        bool extended;
        bool table;
        std::string message;
    } cases[] = {
        {"%FSLAX33Y33*%\n%MOMM*%\n%ADD10C,0.5*%\nD10*\nX1000Y2000D03*\nX99999999999Y0D03*\nM02*\n", true,
         false, platform::Format(_J("CAMデータを読み込めません: %s\n%s").c_str(), path.c_str(), "")},
        {"%FSLAX33Y33*%\n%MOMM*%\nG04 nothing here*\nM02*\n", true, false,
         platform::Format(_J("%s に読み込むデータがありません").c_str(), path.c_str())},
        {nullptr, true, false, "Data File Open Error"},
        {kTwoFlashes, false, false, _J("変換ファイルが開けません")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        doc->GetBoardSheet(kLayer)->DeleteContents();
        AddLand(kLayer, CDPoint(50.0, 50.0));
        const std::size_t before = Steps();
        Choose(c.text ? c.text : "", kLayer, c.extended);
        if (!c.text)
            std::filesystem::remove(path);
        camHost.answer->tableFile = (Board().parent_path() / "missing.txt").string();
        messages.Clear();
        messages.QueueAnswer(IDYES);
        doc->OnCamDataInput();
        ASSERT_EQ(messages.Count(), 2u);
        EXPECT_EQ(messages.Last().text.substr(0, c.message.size()), c.message);
        EXPECT_EQ(messages.Entries().size(), 2u);
        EXPECT_EQ(Lands(kLayer).size(), 1u);
        EXPECT_EQ(Steps(), before);
    }
}

TEST_F(CamInTest, MessagesOfOneReadingAreShownOnceTogether)
{
    // Two unknown D codes, each used twice: each named once, in one box.
    Choose("%FSLAX33Y33*%\n%MOMM*%\nD77*\nX1000Y2000D03*\nD78*\nX3000Y2000D03*\nD77*\nX0Y0D03*\n"
           "D78*\nX1Y1D03*\nM02*\n");
    doc->OnCamDataInput();
    ASSERT_EQ(messages.Count(), 1u);
    const std::string& text = messages.Last().text;
    EXPECT_NE(text.find("77"), std::string::npos);
    EXPECT_NE(text.find("78"), std::string::npos);
    EXPECT_EQ(text.find("77"), text.rfind("77"));
    EXPECT_EQ(OnBoard(kLayer), 4);
}

} // namespace
