// The drill file: the holes of the listed layers in tool order, long holes drilled round when
// asked, the end code of each hit type, and gerbv reading every form; a land and a hole at one
// board point come out at one point of the photo and the drill file under every transform.

#include "cam/DrillWriter.h"
#include "cam/PhotoWriter.h"
#include "platform/J.h"
#include "tests/cam/CamOutputFixture.h"
#include "tests/support/GerbvCheck.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

class DrillWriterTest : public CamOutputFixture
{
protected:
    // Runs the drill output of the hole layer and gives the drill file.
    std::string RunDrill(const tagGERBAR& g, CamOutChoice choice)
    {
        choice.records[1] = g;
        OutputCamData(*doc, 1, choice);
        return Written("board.drl");
    }
    std::string RunDrill(const tagGERBAR& g) { return RunDrill(g, Choice()); }
};

TEST(RoundDrillOfShapeTest, SquaresTakeTheFactorRectanglesTheDiagonalSlotsTheWidth)
{
    EXPECT_DOUBLE_EQ(RoundDrillOfShape(1.0, 1.0, true), 1.42);
    EXPECT_DOUBLE_EQ(RoundDrillOfShape(1.0, 2.0, true), 2.23);
    EXPECT_DOUBLE_EQ(RoundDrillOfShape(2.0, 2.0, true), 2.84);
    EXPECT_DOUBLE_EQ(RoundDrillOfShape(0.8, 2.0, false), 2.0);
}

struct HitCase
{
    int hitType;
    char eob;
    const char* end; // the file's last bytes
};

class DrillHitTest : public DrillWriterTest, public ::testing::WithParamInterface<HitCase>
{
};

TEST_P(DrillHitTest, EachHitTypeEndsItsOwnWayAndGerbvReadsTheFile)
{
    const HitCase& c = GetParam();
    Hole(CDPoint(10, 10), 0.8);
    Hole(CDPoint(20, 10), 0.8);
    Hole(CDPoint(30, 10), 1.0);
    tagGERBAR g = Record(false);
    g.hitType = c.hitType;
    g.endOfBlock = c.eob;
    const std::string text = RunDrill(g);
    ASSERT_GE(text.size(), std::string(c.end).size());
    EXPECT_EQ(text.substr(text.size() - std::string(c.end).size()), c.end);
    EXPECT_EQ(messages.Count(), 0u) << messages.Texts()[0];

    const std::string tools = Written("vtdril.txt");
    CamFileFormat format;
    format.endOfBlock = c.eob;
    if (c.hitType == 3) {
        EXPECT_EQ(tools, "D10\t, 0.80, NTH\r\nD11\t, 1.00, NTH\r\n");
        const std::string e = c.eob == '\r' ? std::string("\r\n") : std::string(1, c.eob);
        EXPECT_EQ(text.rfind("G90" + e + "G71" + e + "D02" + e + "G01X0Y0" + e + "D10" + e, 0), 0u) << text;
        const std::string exported =
            CheckWithGerbv(InBoard("d03.gbr"), GerbvD03Text(text, format, tools), "rs274x");
        EXPECT_EQ(GerbvExportedFlashes(exported).size(), 3u);
    } else {
        EXPECT_EQ(tools, "T01\t, 0.80, NTH\r\nT02\t, 1.00, NTH\r\n");
        const std::string exported =
            CheckWithGerbv(InBoard("hits.drl"), GerbvDrillText(text, format, tools), "drill");
        EXPECT_EQ(GerbvExportedHits(exported).size(), 3u) << exported;
    }
}

INSTANTIATE_TEST_SUITE_P(HitTypes, DrillHitTest,
                         ::testing::Values(HitCase{0, '\n', "T02\nX30000Y10000\nM30\n"},
                                           HitCase{0, '*', "M30*"},
                                           HitCase{1, '\n', "X30000Y10000\nG80\nX0Y0\nM02\n"},
                                           HitCase{2, '\r', "X30000Y10000M05\r\nM30\r\n"},
                                           HitCase{1, '\r', "X30000Y10000\r\nG80\r\nX0Y0\r\nM02\r\n"},
                                           HitCase{3, '*', "X30000Y10000*D03*X0Y0*M02*"},
                                           HitCase{3, '\r', "X30000Y10000\r\nD03\r\nX0Y0\r\nM02\r\n"}));

TEST_F(DrillWriterTest, LongHolesDrilledRoundFindTheirToolsAndLongToolsKeepTheirShape)
{
    Hole(CDPoint(10, 10), 1.0, HOLE_RECT, 1.0);
    Hole(CDPoint(20, 10), 1.0, HOLE_RECT, 2.0);
    Hole(CDPoint(30, 10), 0.8, HOLE_LONG, 2.0);
    tagGERBAR g = Record(false);
    g.endOfBlock = '\n';
    g.rectAsLong = 1;
    const std::string text = RunDrill(g);
    EXPECT_EQ(messages.Count(), 0u) << messages.Texts()[0];
    const std::string tools = Written("vtdril.txt");
    EXPECT_NE(tools.find("\t, 1.42, NTH"), std::string::npos) << tools;
    EXPECT_NE(tools.find("\t, 2.23, NTH"), std::string::npos) << tools;
    EXPECT_NE(tools.find("\t, 2.00, NTH"), std::string::npos) << tools;
    const std::string exported =
        CheckWithGerbv(InBoard("round.drl"), GerbvDrillText(text, CamFileFormat{0, '\n'}, tools), "drill");
    EXPECT_EQ(GerbvExportedHits(exported).size(), 3u);
}

TEST_F(DrillWriterTest, LongHolesKeptLongHaveLongToolsAndAreDrilledAsTheMethodSays)
{
    Hole(CDPoint(30, 10), 0.8, HOLE_LONG, 2.0);
    tagGERBAR g = Record(false);
    g.endOfBlock = '\n';
    g.longHoleMode = 2;
    const std::string slots = RunDrill(g);
    EXPECT_EQ(messages.Count(), 0u) << messages.Texts()[0];
    EXPECT_EQ(Written("vtdril.txt"), "T01\t, 0.80, LNTH\r\n");
    EXPECT_EQ(slots, "T01\nX29400Y10000\nX30600Y10000\nM30\n");
}

TEST_F(DrillWriterTest, CircularOnlyWithoutLongHolesStillWritesAWholeFile)
{
    Hole(CDPoint(10, 10), 1.0, HOLE_LONG, 2.0);
    tagGERBAR g = Record(false);
    g.hitType = 3;
    g.holeSplit = 1;
    const std::string text = RunDrill(g);
    EXPECT_EQ(text, "G90*G71*D02*G01X0Y0*X0Y0*M02*");
}

TEST_F(DrillWriterTest, SplitOutputWritesTheLongHolesAgainBesideTheFile)
{
    Hole(CDPoint(10, 10), 0.8);
    Hole(CDPoint(20, 10), 1.0, HOLE_LONG, 2.0);
    tagGERBAR g = Record(false);
    g.endOfBlock = '\n';
    g.holeSplit = 1;
    g.longHoleMode = 1;
    CamOutChoice choice = Choice();
    choice.settings.drill.outputs = {"1:drill:board.drl:3", "1:again:other:3"};
    RunDrill(g, choice);
    EXPECT_EQ(Written("board.drl"), "T01\nX10000Y10000\nM30\n");
    EXPECT_EQ(Written("board-lhl.drl"), "T02\nX20000Y10000\nM30\n");
    // The next entry splits the same way.
    EXPECT_EQ(Written("other"), "T01\nX10000Y10000\nM30\n");
    EXPECT_EQ(Written("other-lhl"), "T02\nX20000Y10000\nM30\n");
}

TEST_F(DrillWriterTest, DummyHolesCountInTheHits)
{
    Hole(CDPoint(10, 10), 0.8);
    CHole* dummy = Hole(CDPoint(20, 10), 0.8);
    dummy->ModifyType(HOLE_CHECK, HOLE_CHECK);
    tagGERBAR g = Record(false);
    g.endOfBlock = '\n';
    RunDrill(g);
    EXPECT_EQ(doc->GetTCodeTable()[0].hitCount, 2);
}

// --- a land and a hole at one board point ---

struct CoincidenceCase
{
    const char* name;
    double originX, originY;
    bool absolute;
    bool metric;
    double offsetX, offsetY;
    int mirrorX;
    double angle;
};

class CoincidenceTest : public CamOutputFixture, public ::testing::WithParamInterface<CoincidenceCase>
{
};

TEST_P(CoincidenceTest, TheLandAndTheHoleMeetInGerbv)
{
    const CoincidenceCase& c = GetParam();
    const CDPoint at(30.0, 20.0);
    Land(0, at, 1);
    Hole(at, 0.8);
    Land(0, CDPoint(5.0, 5.0), 1);
    doc->SetUserOrigin(CDPoint(c.originX, c.originY));

    CamOutChoice choice = Choice();
    const int decimals = c.metric ? 3 : 4;
    for (tagGERBAR& g : choice.records) {
        g.absolute = c.absolute ? 1 : 0;
        g.metric = c.metric ? 1 : 0;
        g.offsetX = c.offsetX;
        g.offsetY = c.offsetY;
        g.mirrorX = static_cast<std::uint8_t>(c.mirrorX);
        g.angle = c.angle;
    }
    choice.records[1].endOfBlock = '\n';
    choice.settings.photo.number = decimals;
    choice.settings.drill.number = decimals;
    choice.settings.photo.outputs = {"1:top:top.gbr:1"};
    choice.settings.drill.outputs = {"1:drill:board.drl:3"};
    OutputCamData(*doc, 0, choice);
    OutputCamData(*doc, 1, choice);
    EXPECT_EQ(messages.Count(), 0u) << messages.Texts()[0];

    const std::string photo = CheckWithGerbv(InBoard("top.gbr"), Written("top.gbr"), "rs274x");
    CamFileFormat format;
    format.endOfBlock = '\n';
    format.absolute = c.absolute;
    format.metric = c.metric;
    format.decimals = decimals;
    const std::string drill = CheckWithGerbv(
        InBoard("drill.drl"), GerbvDrillText(Written("board.drl"), format, Written("vtdril.txt")), "drill");
    const std::vector<GerbvPoint> flashes = GerbvExportedFlashes(photo);
    const std::vector<GerbvPoint> hits = GerbvExportedHits(drill);
    ASSERT_EQ(flashes.size(), 2u) << photo;
    ASSERT_EQ(hits.size(), 1u) << drill;
    // gerbv's drill export keeps a tenth of a thousandth of an inch.
    const bool first = std::hypot(flashes[0].x - hits[0].x, flashes[0].y - hits[0].y) <
                       std::hypot(flashes[1].x - hits[0].x, flashes[1].y - hits[0].y);
    const GerbvPoint land = first ? flashes[0] : flashes[1];
    EXPECT_NEAR(land.x, hits[0].x, 0.003) << c.name;
    EXPECT_NEAR(land.y, hits[0].y, 0.003) << c.name;
    if (c.mirrorX == 0 && c.angle == 0.0) {
        EXPECT_NEAR(land.x, at.x - c.originX + c.offsetX, 0.003);
        EXPECT_NEAR(land.y, at.y - c.originY + c.offsetY, 0.003);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, CoincidenceTest,
    ::testing::Values(CoincidenceCase{"plain", 0, 0, true, true, 0, 0, 0, 0.0},
                      CoincidenceCase{"inch origin", 25.4, 25.4, true, false, 0, 0, 0, 0.0},
                      CoincidenceCase{"odd origin", 12.5, -7.25, true, true, 0, 0, 0, 0.0},
                      CoincidenceCase{"incremental", 25.4, 25.4, false, true, 0, 0, 0, 0.0},
                      CoincidenceCase{"incremental inch", 12.5, -7.25, false, false, 0, 0, 0, 0.0},
                      CoincidenceCase{"offset", 25.4, 25.4, true, true, 3.0, -2.0, 0, 0.0},
                      CoincidenceCase{"mirror", 25.4, 25.4, true, true, 0, 0, 1, 0.0},
                      CoincidenceCase{"rotation", 12.5, -7.25, true, true, 0, 0, 0, std::numbers::pi / 2},
                      CoincidenceCase{"everything", 12.5, -7.25, false, false, 1.0, 2.0, 1,
                                      std::numbers::pi}),
    [](const ::testing::TestParamInfo<CoincidenceCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

} // namespace
