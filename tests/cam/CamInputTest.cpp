// CAM input on a board with turrets of every shape. What the output writes reads back: a layer's
// photo file (RS-274-X, or RS-274-D with its aperture list, plain or tape-coded, in every arc mode)
// and the drill file of every hit type with its tool list, read into another layer with the same
// settings, give the same lines, arcs, lands and holes on the same turrets and tools. Apertures the
// tables have no shape for, and drill files that do not state their format.

#include "document/CamInChoice.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "tests/cam/CamOutputFixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kTarget = 5;
// Half a step of the files' three decimals, and a little for the arithmetic.
constexpr double kResolution = 0.0005 + 1e-9;
// An arc's centre, radius and far end follow from several rounded values (the start and the
// centre's offset, or the radius): a few steps.
constexpr double kArcResolution = 0.003;

class CamRoundTripHost : public EditHost
{
public:
    bool RunCamInDialog(CamInChoice& choice) override
    {
        choice = answer;
        return true;
    }
    CamInChoice answer;
};

struct RoundTripCase
{
    const char* name;
    bool drill;
    bool extended;
    int arcMode;
    char endOfBlock;
    int codeType;
    int hitType;
};

// One item as a row of numbers: kind, turret or tool size, then the coordinates.
struct Row
{
    char kind;
    int turret;
    std::vector<double> values;
};

bool Near(const Row& a, const Row& b)
{
    if (a.kind != b.kind || a.turret != b.turret || a.values.size() != b.values.size())
        return false;
    const double tolerance = a.kind == 'A' || a.kind == 'C' ? kArcResolution : kResolution;
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (!(std::fabs(a.values[i] - b.values[i]) <= tolerance))
            return false;
    return true;
}

std::string Print(const std::vector<Row>& rows)
{
    std::string out;
    for (const Row& row : rows) {
        out += row.kind + std::to_string(row.turret);
        for (const double v : row.values)
            out += " " + std::to_string(v);
        out += "\n";
    }
    return out;
}

class CamRoundTripTest : public CamOutputFixture, public ::testing::WithParamInterface<RoundTripCase>
{
protected:
    void SetUp() override
    {
        CamOutputFixture::SetUp();
        CSheet* top = doc->GetBoardSheet(0);
        AddLine(0, CDPoint(0, 0), CDPoint(10, 0)); // turret 2
        top->NewLine(CDPoint(10, 0), CDPoint(12.5, 7.25), 3, 0);
        Land(0, CDPoint(10, 10), 1);
        Land(0, CDPoint(20, 10), 3);
        Land(0, CDPoint(30, 10), kSquare);
        Land(0, CDPoint(40, 10), kDonut);
        Land(0, CDPoint(50, 10), kThermal);
        // Arcs inside one quarter turn, so that every arc mode writes each in one record.
        top->NewArc(CDPoint(60, 60), 5.0, 10.0 * kDegree, 80.0 * kDegree, 0, 2);
        top->NewArc(CDPoint(80, 60), 4.0, 170.0 * kDegree, 100.0 * kDegree, ARC_CW, 3);

        Hole(CDPoint(10, 10), 0.8);
        Hole(CDPoint(20, 10), 0.8);
        Hole(CDPoint(30, 15.5), 1.0);
        Hole(CDPoint(5.125, 40), 3.0);
    }

    static constexpr double kDegree = std::numbers::pi / 180.0;

    std::vector<Row> Rows(int layer)
    {
        std::vector<Row> out;
        CSheet* sheet = doc->GetBoardSheet(layer);
        for (POSITION p = sheet->GetFirstLinePos(); p;) {
            const CLine* line = sheet->GetNextLine(p);
            out.push_back(Row{'L',
                              line->GetTurretNo(),
                              {line->GetStartPoint().x, line->GetStartPoint().y, line->GetEndPoint().x,
                               line->GetEndPoint().y}});
        }
        for (POSITION p = sheet->GetFirstLandPos(); p;) {
            const CLand* land = sheet->GetNextLand(p);
            out.push_back(Row{'P', land->GetTurretNo(), {land->GetPoint().x, land->GetPoint().y}});
        }
        for (POSITION p = sheet->GetFirstArcPos(); p;) {
            const CArc* arc = sheet->GetNextArc(p);
            const CDPoint s = arc->GetStartPoint(), e = arc->GetEndPoint();
            out.push_back(
                Row{arc->IsCW() ? 'C' : 'A',
                    arc->GetTurretNo(),
                    {arc->GetCenter().x, arc->GetCenter().y, arc->GetRadius(), s.x, s.y, e.x, e.y}});
        }
        for (POSITION p = sheet->GetFirstHolePos(); p;) {
            const CHole* hole = sheet->GetNextHole(p);
            out.push_back(Row{'H', 0, {hole->GetPoint().x, hole->GetPoint().y, hole->GetHoleDia()}});
        }
        return out;
    }

    // Writes the layers' file with the case's settings and reads it into the target layer with the
    // same settings, as the input dialog stores them.
    void WriteAndRead(const RoundTripCase& c)
    {
        CamOutChoice choice = Choice();
        tagGERBAR& record = choice.records[c.drill ? 1 : 0];
        record.extended = c.extended ? 1 : 0;
        record.arcMode = c.arcMode;
        record.endOfBlock = c.endOfBlock;
        record.codeType = c.codeType;
        record.hitType = c.hitType;
        choice.settings.photo.outputs = {"1:top:top.gbr:1"};
        OutputCamData(*doc, c.drill ? 1 : 0, choice);
        ASSERT_EQ(messages.Count(), 0u) << messages.Last().text;

        const char* section = c.drill ? "CAMIn\\Drill" : "CAMIn\\Phot";
        profile.SetInt(section, "Int", 3 << 4); // AUTO integer digits, three decimals
        profile.SetInt(section, "UNIT", 0);     // millimetres, absolute
        profile.SetInt(section, "EOB", c.endOfBlock == '\n' ? 1 : c.endOfBlock == '\r' ? 2 : 0);
        profile.SetInt(section, "Code", c.codeType);
        profile.SetInt("CAMIn\\Phot", "Arc", c.arcMode);
        profile.SetInt("CAMIn\\Drill", "Hit", c.hitType);

        CamRoundTripHost host;
        host.answer.kind = c.drill ? 1 : 0;
        host.answer.layer = kTarget;
        host.answer.dataFile = InBoard(c.drill ? "board.drl" : "top.gbr").string();
        host.answer.tableFile =
            c.extended ? std::string() : InBoard(c.drill ? "vtdril.txt" : "vtphot.txt").string();
        host.answer.extended = c.extended;
        doc->SetHost(&host);
        doc->OnCamDataInput();
        doc->SetHost(nullptr);
    }
};

TEST_P(CamRoundTripTest, TheFileReadsBackToTheSameItems)
{
    const RoundTripCase& c = GetParam();
    WriteAndRead(c);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(messages.Count(), 0u) << messages.Last().text;

    std::vector<Row> expected;
    if (c.drill) {
        expected = Rows(kHoleLayer);
        ASSERT_EQ(expected.size(), 4u);
    } else {
        expected = Rows(0);
        ASSERT_EQ(expected.size(), 9u);
    }
    std::vector<Row> read = Rows(kTarget);
    if (c.drill) {
        // The drill file lists the holes tool by tool.
        const auto byValues = [](const Row& a, const Row& b) { return a.values < b.values; };
        std::sort(expected.begin(), expected.end(), byValues);
        std::sort(read.begin(), read.end(), byValues);
    }
    if (!c.drill && c.arcMode == 4) {
        // Arcs written as segments come back as lines of their turret whose ends lie on the arc,
        // joined end to end from the arc's start to its end.
        std::vector<Row> arcs;
        std::erase_if(expected, [&arcs](const Row& row) {
            if (row.kind != 'A' && row.kind != 'C')
                return false;
            arcs.push_back(row);
            return true;
        });
        for (const Row& arc : arcs) {
            const auto first = std::find_if(read.begin(), read.end(), [&arc](const Row& row) {
                return row.kind == 'L' && row.turret == arc.turret &&
                       std::hypot(row.values[0] - arc.values[3], row.values[1] - arc.values[4]) <=
                           kResolution * 2;
            });
            ASSERT_NE(first, read.end()) << Print(read);
            auto segment = first;
            for (;; ++segment) {
                ASSERT_NE(segment, read.end()) << Print(read);
                for (const int end : {0, 2}) {
                    const double r = std::hypot(segment->values[end] - arc.values[0],
                                                segment->values[end + 1] - arc.values[1]);
                    EXPECT_NEAR(r, arc.values[2], kResolution * 2) << Print(read);
                }
                if (std::hypot(segment->values[2] - arc.values[5], segment->values[3] - arc.values[6]) <=
                    kResolution * 2)
                    break;
            }
            read.erase(first, segment + 1);
        }
    }
    ASSERT_EQ(read.size(), expected.size()) << "read:\n" << Print(read) << "expected:\n" << Print(expected);
    for (std::size_t i = 0; i < read.size(); ++i)
        EXPECT_TRUE(Near(read[i], expected[i])) << i << "\nread:\n"
                                                << Print(read) << "expected:\n"
                                                << Print(expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, CamRoundTripTest,
                         ::testing::Values(RoundTripCase{"ExtendedArcMode0", false, true, 0, '*', 0, 0},
                                           RoundTripCase{"ExtendedArcMode4", false, true, 4, '*', 0, 0},
                                           RoundTripCase{"PlainArcMode0", false, false, 0, '*', 0, 0},
                                           RoundTripCase{"PlainArcMode1", false, false, 1, '*', 0, 0},
                                           RoundTripCase{"PlainArcMode2", false, false, 2, '*', 0, 0},
                                           RoundTripCase{"PlainArcMode3", false, false, 3, '*', 0, 0},
                                           RoundTripCase{"PlainArcMode4", false, false, 4, '*', 0, 0},
                                           RoundTripCase{"PlainLineFeed", false, false, 0, '\n', 0, 0},
                                           RoundTripCase{"PlainCarriageReturn", false, false, 0, '\r', 0, 0},
                                           RoundTripCase{"TapeEbcdic", false, false, 0, '\n', 1, 0},
                                           RoundTripCase{"TapeEia", false, false, 0, '\n', 2, 0},
                                           RoundTripCase{"TapeIso", false, false, 0, '\n', 3, 0},
                                           RoundTripCase{"DrillEveryBlock", true, false, 0, '*', 0, 0},
                                           RoundTripCase{"DrillG81", true, false, 0, '*', 0, 1},
                                           RoundTripCase{"DrillM05", true, false, 0, '*', 0, 2},
                                           RoundTripCase{"DrillD03", true, false, 0, '*', 0, 3}),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(info.param.name);
                         });

// The fixture's board without its items, reading files of other tools.
class CamInputFileTest : public CamOutputFixture
{
protected:
    void Read(int kind, const std::string& text, const std::string& table = std::string())
    {
        const std::filesystem::path data = InBoard(kind == 1 ? "in.drl" : "in.gbr");
        WriteFile(data, text);
        CamRoundTripHost host;
        host.answer.kind = kind;
        host.answer.layer = kTarget;
        host.answer.dataFile = data.string();
        host.answer.extended = table.empty();
        if (!table.empty()) {
            WriteFile(InBoard("table.txt"), table);
            host.answer.tableFile = InBoard("table.txt").string();
        }
        doc->SetHost(&host);
        doc->OnCamDataInput();
        doc->SetHost(nullptr);
    }

    std::vector<std::string> Items()
    {
        std::vector<std::string> out;
        CSheet* sheet = doc->GetBoardSheet(kTarget);
        for (POSITION p = sheet->GetFirstLandPos(); p;) {
            const CLand* land = sheet->GetNextLand(p);
            out.push_back(
                platform::Format("P%g,%g#%d", land->GetPoint().x, land->GetPoint().y, land->GetTurretNo()));
        }
        for (POSITION p = sheet->GetFirstLinePos(); p;) {
            const CLine* line = sheet->GetNextLine(p);
            out.push_back(platform::Format("L%g,%g#%d", line->GetEndPoint().x, line->GetEndPoint().y,
                                           line->GetTurretNo()));
        }
        for (POSITION p = sheet->GetFirstHolePos(); p;) {
            const CHole* hole = sheet->GetNextHole(p);
            out.push_back(
                platform::Format("H%g,%g/%g", hole->GetPoint().x, hole->GetPoint().y, hole->GetHoleDia()));
        }
        return out;
    }
};

TEST_F(CamInputFileTest, EachApertureWithoutATurretShapeIsSaidOnceHoweverOftenUsed)
{
    // BOX reaches 0.5 by 0.25: the 1.2 square covers it before the 1.6 circle. RING reaches 0.75:
    // only the 1.6 circle. ODD's size is an expression, so no turret can be said to cover it.
    Read(0, "%FSLAX33Y33*%\n%MOMM*%\n"
            "%AMBOX*21,1,1.0,0.5,0,0,0*%\n"
            "%AMRING*1,1,$1,0,0*1,0,$2,0,0*%\n"
            "%AMODD*1,1,$1+1,0,0*%\n"
            "%AMTHERMAL80*7,0,0,2.0,1.2,0.4,45*%\n"
            "%ADD10C,0.2*%\n%ADD11BOX*%\n%ADD12RING,1.5X0.5*%\n%ADD13BOX*%\n%ADD14ODD,1*%\n"
            "%ADD15THERMAL80*%\n%ADD16P,1.0X6*%\n"
            "D11*\nX1000Y0D03*\nX2000Y0D03*\nX3000Y0D03*\nD12*\nX4000Y0D03*\nX5000Y0D03*\n"
            "D13*\nX6000Y0D03*\nD14*\nX7000Y0D03*\nX8000Y0D03*\nD15*\nX9000Y0D03*\nD16*\nX10000Y0D03*\n"
            "D11*\nX11000Y0D03*\nD10*\nX0Y0D02*\nX0Y1000D01*\nM02*\n");
    EXPECT_EQ(Items(),
              (std::vector<std::string>{"P1,0#4", "P2,0#4", "P3,0#4", "P4,0#3", "P5,0#3", "P6,0#4", "P7,0#1",
                                        "P8,0#1", "P9,0#6", "P10,0#1", "P11,0#4", "L0,1#2"}));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("アパーチャ BOX にはタレット4を使用しました") + "\n" +
                                        _J("アパーチャ RING にはタレット3を使用しました") + "\n" +
                                        _J("アパーチャ ODD に合うタレットがありません") + "\n" +
                                        _J("アパーチャ D16P,1.0X6 にはタレット1を使用しました"));
}

struct DrillDigitsCase
{
    const char* name;
    int intCode; // the dialog's "Int": integer digits in bits 0-3, decimals in bits 4-7
    const char* header;
    const char* first;
    const char* second;
};

class CamInputDrillDigitsTest : public CamInputFileTest, public ::testing::WithParamInterface<DrillDigitsCase>
{
};

TEST_P(CamInputDrillDigitsTest, AFileWithoutItsFormatTakesTheDialogsDigits)
{
    const DrillDigitsCase& c = GetParam();
    profile.SetInt("CAMIn\\Drill", "Int", c.intCode);
    Read(1, std::string(c.header) + "T01\nX01Y0015\nX1Y2\nM30\n", "T01\t, 0.80, NTH\r\n");
    EXPECT_EQ(Items(), (std::vector<std::string>{c.first, c.second}));
}

INSTANTIATE_TEST_SUITE_P(
    Digits, CamInputDrillDigitsTest,
    ::testing::Values(
        // AUTO: leading zeros left out, the number counts from its last digit.
        DrillDigitsCase{"Auto", 0x30, "", "H0.001,0.015/0.8", "H0.001,0.002/0.8"},
        // Two integer digits: trailing zeros left out, the number padded to 2 + 3 digits.
        DrillDigitsCase{"TwoDigits", 0x32, "", "H1,0.15/0.8", "H10,20/0.8"},
        DrillDigitsCase{"FourDigits", 0x24, "", "H100,15/0.8", "H1000,2000/0.8"},
        // A header that states its unit states its format: the dialog's digits do not apply.
        DrillDigitsCase{"HeaderStatesIt", 0x32, "M48\nMETRIC\n%\n", "H0.001,0.015/0.8", "H0.001,0.002/0.8"},
        DrillDigitsCase{"HeaderKeepsLeadingZeros", 0x24, "M48\nMETRIC,LZ,000.000\n%\n", "H10,1.5/0.8",
                        "H100,200/0.8"}),
    [](const ::testing::TestParamInfo<DrillDigitsCase>& info) { return std::string(info.param.name); });

} // namespace
