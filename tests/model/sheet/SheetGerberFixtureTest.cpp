// Hand-written files in the forms other tools write (tests/data/gerber), read to the expected
// items; and bad input: every cut of a file, changed bytes, unfinished blocks and parameters,
// absurd numbers and binary data give a message or a malformed result, never a crash or a hang.

#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/model/sheet/SheetGerberItems.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using gerber_test::Items;
using Strings = std::vector<std::string>;

std::string Fixture(const char* name)
{
    std::ifstream in(std::string(VELTA_SOURCE_DIR) + "/tests/data/gerber/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SheetGerberFixtureTest : public ::testing::Test
{
protected:
    SheetGerberFixtureTest()
    {
        platform::SetMessageService(&messages);
        doc.apertureTurrets = {{10, 1}, {11, 7}, {12, 8}, {13, 9}};
    }
    ~SheetGerberFixtureTest() override { platform::SetMessageService(nullptr); }

    Strings ReadItems(const std::string& text)
    {
        sheet.DeleteContents();
        last = gerber_test::Read(sheet, g, text);
        EXPECT_TRUE(last.wellFormed) << last.line << ": " << last.reason;
        return Items(sheet);
    }

    platform::RecordingMessages messages;
    FakeDocument doc;
    FakeFrameServices frame{&doc};
    CSheet sheet{0, 0, 5, &doc};
    tagGERBAR g = gerber_test::PhotoSettings();
    CamReadResult last;
};

TEST_F(SheetGerberFixtureTest, ExtendedGerberWithMacrosRegionsAndBothArcModes)
{
    EXPECT_EQ(ReadItems(Fixture("rs274x-macros-regions.gbr")),
              (Strings{"L(10,10)(20,10)#1", "P(40,10)#7", "P(45,10)#8", "P(50,10)#9", "A(20,20)r10s270e0#1",
                       "A(70,0)r10s180e90cw#1", "S3/1w1"}));
    EXPECT_EQ(doc.apertureDefs,
              (Strings{"D10C,0.250000", "D11R,1.500000X1.500000",
                       "D12ROUNDRECT,0.250000X1.000000X0.600000X-0.375000X0.000000", "D13THERMAL"}));
    ASSERT_EQ(doc.apertureMacros.size(), 2u);
    EXPECT_EQ(doc.apertureMacros[1], "THERMAL,7,0,0,2.000000,1.500000,0.300000,45");
    EXPECT_EQ(doc.apertureMacros[0].substr(0, 10), "ROUNDRECT,");
    // The writing tool's comments are not messages.
    EXPECT_TRUE(last.messages.empty());
}

TEST_F(SheetGerberFixtureTest, PlainGerberWithTheBoardsApertureTable)
{
    // rs274d-apertures.txt is what the board's aperture table holds: D10 round, D11 square.
    doc.dcodeTurrets = {{10, 1}, {11, 7}};
    g.metric = 0;
    g.fileUnitFactor = 25.4;
    g.divisor = 10000.0;
    EXPECT_EQ(ReadItems(Fixture("rs274d.pho")),
              (Strings{"L(2.54,2.54)(12.7,2.54)#1", "P(12.7,12.7)#7", "P(17.78,12.7)#7"}));
    EXPECT_TRUE(last.messages.empty());
}

TEST_F(SheetGerberFixtureTest, DrillFilesOfOtherTools)
{
    g = gerber_test::DrillSettings();
    EXPECT_EQ(ReadItems(Fixture("drill-inch-lz.drl")),
              (Strings{"H(25.4,25.4)0.8128", "H(50.8,25.4)0.8128", "H(76.2,50.8)1.016"}));
    g = gerber_test::DrillSettings();
    EXPECT_EQ(ReadItems(Fixture("drill-metric-tz.drl")),
              (Strings{"H(5,10)0.8", "H(-2.5,10)0.8", "LH(15,3)3w9"}));
    g = gerber_test::DrillSettings();
    EXPECT_EQ(ReadItems(Fixture("drill-decimal.drl")),
              (Strings{"H(10,-5)1", "H(12.54,-5)1", "H(20,-7.5)0.4"}));
    EXPECT_EQ(last.messages, (Strings{_J("ルート加工のデータは読み込みません")}));
    EXPECT_TRUE(doc.apertureDefs.empty());
}

struct BadCase
{
    const char* name;
    std::string text;
    bool wellFormed;
    std::string reasonOrMessage;
};

TEST_F(SheetGerberFixtureTest, BadInputGivesTheMessagesOfTheParts)
{
    const std::vector<BadCase> cases = {
        {"no end of block", "D10*X0Y0D03", false, _J("ブロックの途中でファイルが終わっています")},
        {"unclosed parameter", "%FSLAX24Y24*\nD10*", false,
         _J("パラメータブロックが % で閉じられていません")},
        {"region not closed", "G36*X0Y0D02*X1000Y0D01*X0Y1000D01*M02*", true,
         _J("G36 の領域が G37 で閉じられていません")},
        {"beyond 32 bits", "X99999999999D02*", false, _J("数値 99999999999 が 32 ビットを超えています")},
        {"beyond 10 m", "X2147483647D02*", false, _J("座標が ±10 m を超えています")},
        {"decimal beyond 10 m", "X123456789012.5D02*", false,
         _J("数値 123456789012.5 が 32 ビットを超えています")},
        {"binary", std::string("G04 x*\0\1\2\3", 10), false, _J("テキストファイルではありません")},
        {"step and repeat", "%SRX10000Y10000I1J1*%", false,
         _J("ステップ・アンド・リピートの回数が多すぎます")},
        {"D code 1000", "D1000*", false, _J("Dコード 1000 は範囲外です")},
    };
    for (const BadCase& c : cases) {
        sheet.DeleteContents();
        g = gerber_test::PhotoSettings();
        const CamReadResult result = gerber_test::Read(sheet, g, c.text);
        EXPECT_EQ(result.wellFormed, c.wellFormed) << c.name;
        if (c.wellFormed)
            EXPECT_EQ(result.messages, Strings{c.reasonOrMessage}) << c.name;
        else
            EXPECT_EQ(result.reason, c.reasonOrMessage) << c.name;
    }
    // A drill repeat beyond any board.
    g = gerber_test::DrillSettings();
    EXPECT_FALSE(gerber_test::Read(sheet, g, "T1\nR99999X1\n").wellFormed);
    // A zero-radius arc keeps its chord.
    g = gerber_test::PhotoSettings();
    EXPECT_EQ(ReadItems("D10*X1000Y0D02*G02X2000Y0I0J0D01*M02*"), (Strings{"L(1,0)(2,0)#0"}));
    // A long file without any block end is one malformed block, read in one pass.
    g = gerber_test::PhotoSettings();
    EXPECT_FALSE(gerber_test::Read(sheet, g, std::string(2000000, 'X')).wellFormed);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(SheetGerberFixtureTest, EveryCutAndChangedBytesReadSafely)
{
    for (const char* name : {"rs274x-macros-regions.gbr", "drill-decimal.drl"}) {
        const std::string file = Fixture(name);
        const bool photo = file[0] != 'M';
        const int lines = static_cast<int>(std::count(file.begin(), file.end(), '\n')) + 1;
        auto check = [&](const std::string& text, const std::string& what) {
            sheet.DeleteContents();
            g = photo ? gerber_test::PhotoSettings() : gerber_test::DrillSettings();
            const CamReadResult result = gerber_test::Read(sheet, g, text);
            if (!result.wellFormed) {
                EXPECT_FALSE(result.reason.empty()) << what;
                EXPECT_GE(result.line, 1) << what;
                EXPECT_LE(result.line, lines) << what;
            }
            EXPECT_LE(sheet.GetItemCount(), static_cast<int>(text.size())) << what;
        };
        for (std::size_t cut = 0; cut <= file.size(); ++cut)
            check(file.substr(0, cut), std::string(name) + " cut at " + std::to_string(cut));
        std::mt19937 random(20240201);
        for (int round = 0; round < 300; ++round) {
            std::string changed = file;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int k = 0; k < changes; ++k)
                changed[random() % changed.size()] = static_cast<char>(random() % 256);
            check(changed, std::string(name) + " round " + std::to_string(round));
        }
    }
    EXPECT_EQ(messages.Count(), 0u);
}

} // namespace
