// Reading photo-plot and drill text into a layer: formats, units, modal codes, arcs under mirror,
// regions in both polarities, apertures and tools the board's tables answer, and the messages of
// one reading.

#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/model/sheet/SheetGerberItems.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace {

using gerber_test::Items;
using Strings = std::vector<std::string>;

class SheetGerberReadTest : public ::testing::Test
{
protected:
    SheetGerberReadTest()
    {
        platform::SetMessageService(&messages);
        doc.dcodeTurrets = {{10, 1}, {11, 2}, {12, 5}};
    }
    ~SheetGerberReadTest() override { platform::SetMessageService(nullptr); }

    CamReadResult Read(const std::string& text) { return gerber_test::Read(sheet, g, text); }
    Strings ReadItems(const std::string& text)
    {
        last = Read(text);
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

TEST_F(SheetGerberReadTest, FormatStatementsWithAndWithoutZeroLetter)
{
    for (const char* fs : {"%FSLAX24Y24*%", "%FSAX24Y24*%", "%FSLAN2X24Y24*%"}) {
        sheet.DeleteContents();
        g = gerber_test::PhotoSettings();
        EXPECT_EQ(ReadItems(std::string(fs) + "D10*X1000Y2000D02*X2000Y2000D01*M02*"),
                  (Strings{"L(0.1,0.2)(0.2,0.2)#1"}))
            << fs;
        EXPECT_EQ(g.divisor, 10000.0);
    }
}

TEST_F(SheetGerberReadTest, IncrementalCoordinates)
{
    g.absolute = 0;
    g.divisor = 10000.0;
    EXPECT_EQ(ReadItems("D10*X100D02*X100D01*M02*"), (Strings{"L(0.01,0)(0.02,0)#1"}));
}

TEST_F(SheetGerberReadTest, DrawToTheSamePointFlashesOnlyWithThePenDown)
{
    EXPECT_EQ(ReadItems("D11*X1000Y0D02*X1000Y0D01*X1000Y0D01*M02*"), (Strings{"P(1,0)#2"}));
}

TEST_F(SheetGerberReadTest, ModalCodesAfterFlashAndSelection)
{
    // After a flash, coordinates alone move; after a draw and a new aperture they go on drawing.
    EXPECT_EQ(ReadItems("D10*X1000Y0D03*X2000Y0*X0Y0D02*X1000Y0D01*D11*X2000Y0*M02*"),
              (Strings{"L(0,0)(1,0)#1", "L(1,0)(2,0)#2", "P(1,0)#1"}));
}

TEST_F(SheetGerberReadTest, ArcsUnderMirror)
{
    const std::string quarter = "D10*X0Y1000D02*G02X1000Y0I0J-1000D01*M02*";
    EXPECT_EQ(ReadItems(quarter), (Strings{"A(0,0)r1s90e0cw#1"}));
    // Mirrored in x: I is negated with the x values and the ends exchange.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    g.mirrorX = 1;
    EXPECT_EQ(ReadItems(quarter), (Strings{"A(0,0)r1s180e90cw#1"}));
    // Mirrored both ways: the ends stay.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    g.mirrorX = g.mirrorY = 1;
    EXPECT_EQ(ReadItems(quarter), (Strings{"A(0,0)r1s270e180cw#1"}));
    // Unsigned quadrant offsets (G74) under mirror find the same centre.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    g.mirrorX = 1;
    EXPECT_EQ(ReadItems("G74*D10*X0Y1000D02*G02X1000Y0I0J1000D01*M02*"), (Strings{"A(0,0)r1s180e90cw#1"}));
    // Radius only (mode 3).
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    g.arcMode = 3;
    EXPECT_EQ(ReadItems("D10*X0Y1000D02*G02X1000Y0I1000D01*M02*"), (Strings{"A(0,0)r1s90e0cw#1"}));
}

TEST_F(SheetGerberReadTest, ArcModesAndCommentsDoNotDisturbInterpolation)
{
    // G75 and G03 in one block; a comment between G02 and its draw.
    EXPECT_EQ(ReadItems("D10*X1000Y0D02*G75G03X-1000Y0I-1000J0D01*G02*G04 note*X1000Y0I1000J0D01*"
                        "G01*X2000Y0D01*M02*"),
              (Strings{"L(1,0)(2,0)#1", "A(0,0)r1s0e180#1", "A(0,0)r1s180e0cw#1"}));
    EXPECT_EQ(last.messages, Strings{}); // comments are not messages
    // A full circle: start and end meet under G75.
    sheet.DeleteContents();
    EXPECT_EQ(ReadItems("G75*D10*X1000Y0D02*G03X1000Y0I-1000J0D01*M02*"), (Strings{"A(0,0)r1s0e0#1"}));
}

TEST_F(SheetGerberReadTest, RegionsInBothPolarities)
{
    const std::string square = "G36*X0Y0D02*X10000Y0D01*X10000Y10000D01*X0Y10000D01*X0Y0D01*G37*";
    const std::string hole = "G36*X2000Y2000D02*X4000Y2000D01*X4000Y4000D01*X2000Y2000D01*G37*";
    EXPECT_EQ(ReadItems("%LPD*%" + square + "%LPC*%" + hole + "M02*"), (Strings{"S4/0w1"}));
    CSur* sur = sheet.GetHeadSur();
    EXPECT_TRUE(sur->IsNoCont());
    // A clear region with no dark surface since LPD, a clear draw and a clear flash are left out
    // and counted in one message.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    EXPECT_EQ(ReadItems("%LPC*%" + hole + "D10*X0Y0D02*X1000Y0D01*X5000Y5000D03*M02*"), Strings{});
    EXPECT_EQ(last.messages, (Strings{_J("クリア極性の図形 3 個は読み込みませんでした")}));
    // Two contours of one region (split by D02) make two surfaces; the aperture of the draws
    // before the region still draws after it.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    EXPECT_EQ(ReadItems("D11*G36*X0Y0D02*X1000Y0D01*X0Y1000D01*X0Y0D01*X5000Y0D02*X6000Y0D01*X5000Y1000D01*"
                        "X5000Y0D01*G37*X0Y0D02*X9000Y0D01*M02*"),
              (Strings{"L(0,0)(9,0)#2", "S3/0w0", "S3/0w0"}));
    // A region with an arc in its outline.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    EXPECT_EQ(ReadItems("G36*X0Y0D02*X2000Y0D01*G75*G03X0Y0I-1000J0D01*G01*G37*M02*"), (Strings{"S1/1w0"}));
}

TEST_F(SheetGerberReadTest, UnknownCodesAreReportedOnce)
{
    EXPECT_EQ(ReadItems("D15*X0Y0D03*D15*X1000Y0D03*D15*X2000Y0D03*M02*"),
              (Strings{"P(0,0)#1", "P(1,0)#1", "P(2,0)#1"}));
    EXPECT_EQ(last.messages, (Strings{_J("D15 コードはテーブルにありません")}));
}

TEST_F(SheetGerberReadTest, FlashBeforeAnyApertureUsesTurretOne)
{
    EXPECT_EQ(ReadItems("X0Y0D03*M02*"), (Strings{"P(0,0)#1"}));
}

TEST_F(SheetGerberReadTest, OneUnitStateAndDecimalValues)
{
    // MO and G70 both say inches: the factor is applied once.
    EXPECT_EQ(ReadItems("%FSLAX24Y24*%%MOIN*%G70*D10*X10000Y0D02*X20000Y0D01*G71*X-1.5Y0D01*M02*"),
              (Strings{"L(25.4,0)(50.8,0)#1", "L(50.8,0)(-1.5,0)#1"}));
    // An aperture macro whose name holds MO changes no unit, and reaches the aperture service.
    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    doc.apertureTurrets[20] = 7;
    EXPECT_EQ(ReadItems("%FSLAX33Y33*%%MOMM*%%AMMOUSE*1,1,0.5,0,0*%%ADD20MOUSE*%D20*X10000Y0D03*M02*"),
              (Strings{"P(10,0)#7"}));
    EXPECT_EQ(doc.apertureDefs, (Strings{"D20MOUSE"}));
    EXPECT_EQ(doc.apertureMacros, (Strings{"MOUSE,1,1,0.5,0,0"}));
}

TEST_F(SheetGerberReadTest, TrailingZeroOmission)
{
    EXPECT_EQ(ReadItems("%FSTAX24Y24*%D10*X01Y005D02*X02Y005D01*M02*"), (Strings{"L(1,0.5)(2,0.5)#1"}));
}

TEST_F(SheetGerberReadTest, StretchedFlashesStepAndRepeatAndTheFinalTransform)
{
    doc.strokes[12] = tagDSTROKE{5, 1, 0.5};
    EXPECT_EQ(ReadItems("D12*X1000Y0D03*M02*"), (Strings{"L(0.5,0)(1.5,0)#5"}));

    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    EXPECT_EQ(ReadItems("%SRX2Y2I10J5*%D10*X0Y0D03*%SR*%X1000Y1000D03*M02*"),
              (Strings{"P(0,0)#1", "P(10,0)#1", "P(0,5)#1", "P(10,5)#1", "P(1,1)#1"}));

    sheet.DeleteContents();
    g = gerber_test::PhotoSettings();
    g.angle = std::numbers::pi / 2;
    g.offsetX = 1.0;
    EXPECT_EQ(ReadItems("D10*X1000Y0D03*M02*"), (Strings{"P(1,1)#1"}));
}

TEST_F(SheetGerberReadTest, ParametersBeyondTheModelAreSaidOnce)
{
    EXPECT_EQ(ReadItems("%TF.FileFunction,Copper,L1,Top*%%TA.AperFunction,SMDPad*%%OFA0B0*%%SFA1B1*%"
                        "%OFA1.0B0*%%OFA2.0B0*%%IR90*%D10*X0Y0D03*%TD*%M02*"),
              (Strings{"P(0,0)#1"}));
    EXPECT_EQ(last.messages, (Strings{_J("パラメータ OF は読み込みでは無視します"),
                                      _J("パラメータ IR は読み込みでは無視します")}));
}

TEST_F(SheetGerberReadTest, MessagesOfOneReadingFormOneBox)
{
    sheet.SerializeGerbar(*std::make_unique<CArchive>(CArchive::load, std::vector<std::uint8_t>{}), g);
    EXPECT_EQ(messages.Count(), 0u);
    const std::string text = "G04 first*G04 second*D15*X0Y0D03*M02*";
    CArchive ar(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
    sheet.SerializeGerbar(ar, g);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("D15 コードはテーブルにありません"));
}

TEST_F(SheetGerberReadTest, DCodesBeyondTheTableAreRefused)
{
    const CamReadResult result = Read("D10*X0Y0D03*\nD1000*X1000Y0D03*M02*");
    EXPECT_FALSE(result.wellFormed);
    EXPECT_EQ(result.line, 2);
    EXPECT_EQ(result.reason, _J("Dコード 1000 は範囲外です"));
    sheet.DeleteContents();
    EXPECT_FALSE(Read("%ADD1234C,0.5*%M02*").wellFormed);
}

class SheetDrillReadTest : public SheetGerberReadTest
{
protected:
    SheetDrillReadTest()
    {
        g = gerber_test::DrillSettings();
        doc.toolSizes = {{1, 0.8}, {2, 1.0}};
    }
};

TEST_F(SheetDrillReadTest, HitTypeZeroRepeatsAndEndOfProgram)
{
    EXPECT_EQ(ReadItems("T1\nX1000Y0\nX1000Y0\nT2\nX1000Y0\nM30\nX2000Y0\n"),
              (Strings{"H(1,0)0.8", "H(1,0)1"}));
}

TEST_F(SheetDrillReadTest, HitTypesOneTwoAndThree)
{
    g.hitType = 1;
    EXPECT_EQ(ReadItems("T1\nX1000Y0\nG81\nX2000Y0\nX3000Y0\nG80\nX4000Y0\nM30\n"),
              (Strings{"H(2,0)0.8", "H(3,0)0.8"}));
    sheet.DeleteContents();
    g = gerber_test::DrillSettings();
    g.hitType = 2;
    // An M05 before any tool makes no hole.
    EXPECT_EQ(ReadItems("X500Y0M05\nT2\nX1000Y0\nX2000Y0M05\nM30\n"), (Strings{"H(2,0)1"}));
    sheet.DeleteContents();
    g = gerber_test::DrillSettings();
    g.hitType = 3;
    doc.toolSizes[10] = 0.8;
    EXPECT_EQ(ReadItems("D10\nX1000Y0\nD03\nD03\nD15\nX2000Y0\nD03\nM30\n"),
              (Strings{"H(1,0)0.8", "H(2,0)1"}));
    EXPECT_EQ(last.messages, (Strings{_J("D15 コードはテーブルにありません")}));
}

TEST_F(SheetDrillReadTest, ToolsOfTheFileUnloadingAndUnknownTools)
{
    EXPECT_EQ(
        ReadItems(
            "M48\nMETRIC,TZ\nT1C0.6\n%\nT1\nX10000Y5000\nT0\nX20000Y0\nT9\nX3000Y0\nT9\nX4000Y0\nM30\n"),
        (Strings{"H(10,5)0.6", "H(3,0)1", "H(4,0)1"}));
    EXPECT_EQ(last.messages, (Strings{_J("T9 コードはテーブルにありません")}));
}

TEST_F(SheetDrillReadTest, HeaderFormatsSlotsRepeatsAndRoutes)
{
    // Inch with leading zeros kept (trailing zeros left out), 2.4 digits.
    EXPECT_EQ(ReadItems("M48\nINCH,LZ\nT1C0.0315\n%\nT1\nX01Y02\nM30\n"), (Strings{"H(25.4,50.8)0.8001"}));
    sheet.DeleteContents();
    g = gerber_test::DrillSettings();
    EXPECT_EQ(ReadItems("M48\nMETRIC,LZ,000.00\n%\nT2\nX01Y-0005\nM30\n"), (Strings{"H(10,-0.5)1"}));
    sheet.DeleteContents();
    g = gerber_test::DrillSettings();
    EXPECT_EQ(ReadItems("M48\n;comment\nMETRIC\nT1C1.0\n%\nG05\nT1\nX1.0Y1.0G85X5.0Y1.0\nX10.Y0.\nR02X1.0Y0\n"
                        "G00X20.0Y0\nM15\nG01X30.0Y0\nM16\nG05\nX0Y0\nM30\n"),
              (Strings{"LH(3,1)1w5", "H(10,0)1", "H(11,0)1", "H(12,0)1", "H(0,0)1"}));
    EXPECT_EQ(last.messages, (Strings{_J("ルート加工のデータは読み込みません")}));
}

} // namespace
