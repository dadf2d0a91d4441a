// CAM reports and drill lists: the filled photo and drill reports of small boards, the edge cases
// of an empty output, flash-only apertures, a template with one tag only and an extension written
// with a dot, the installed HTML template, and both drill-list forms with appending.

#include "cam/CamReports.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

namespace fs = std::filesystem;

// Every keyword of both reports, one per line, so a test sees each value on its own.
const char* const kTemplate =
    "$COMMON$\r\n"
    "T=$TITLE$ N=[$PCBNAME$] F=$PCBFILE$\r\n"
    "$BLOCKIN$\r\n"
    "end\r\n"
    "$COMMON$\r\n"
    "$PHOT$\r\n"
    "$ENGLISH$$FILEEXT& .txt $\r\n"
    "$BLOCKTITLE$|$DATANAME$|$DATAFILE$|$LAYERLIST$|$MIRROR$|$ROTATE$|$SCALE$|"
    "$ORIGINX$|$ORIGINY$|$CHARCODE$|$EOB$|$UNIT$|$VFORMAT$|$ABSINC$\r\n"
    "$BLOCKFOR$[$TURRET$|$DCODE$|$TTYPE$|$TOUTSIZE$|$TINSIZE$|$LANDCOUNT$|$LINECOUNT$|"
    "$LINELEN$]\r\n"
    "$BLOCKNEXT$$LANDTOTAL$|$LINETOTAL$|$LINELENTOTAL$|$DATAAREA$|$DATASIZE$\r\n"
    "$PHOT$\r\n"
    "$DRILL$\r\n"
    "$ENGLISH$$BLOCKTITLE$|$UNIT$|$ABSINC$|$HITFORMAT$\r\n"
    "$BLOCKFOR$[$TOOLNO$|$HOLESIZE$|$HOLECOUNT$|$HOLETYPE$|$HOLECOMMENT$]\r\n"
    "$BLOCKNEXT$$HOLETOTAL$|$DATAAREA$|$DATASIZE$\r\n"
    "$DRILL$\r\n";

// Whether the text holds a date and time in the form 9999/99/99  99:99:99.
bool HasDate(const std::string& text)
{
    const std::string form = "9999/99/99  99:99:99";
    for (std::size_t at = 0; at + form.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; same && i < form.size(); ++i) {
            const char c = text[at + i];
            same = form[i] == '9' ? (c >= '0' && c <= '9') : c == form[i];
        }
        if (same)
            return true;
    }
    return false;
}

class CamReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("velta-camreport-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "program");
        fs::create_directories(root / "user");
        fs::create_directories(root / "out");
        SetProgramFolders(root / "program", root / "user");
        platform::SetMessageService(&messages);
        WriteFile(root / "program" / "TEST.dat", kTemplate);
        doc = std::make_unique<CVELTADoc>();
        settings = StandardSettings();
    }
    void TearDown() override
    {
        doc.reset();
        platform::SetMessageService(nullptr);
        SetProgramFolders({}, {});
        fs::remove_all(root);
    }
    static void WriteFile(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static tagGERBAR StandardSettings()
    {
        tagGERBAR g;
        g.absolute = 1;
        g.metric = 1;
        g.scale = 1.0;
        g.outputFactor = 1000.0;
        g.endOfBlock = '*';
        g.minX = 1.5;
        g.minY = 2.0;
        g.maxX = 30.25;
        g.maxY = 40.0;
        return g;
    }
    std::string Data(const char* name) const { return (root / "out" / name).string(); }

    fs::path root;
    platform::RecordingMessages messages;
    std::unique_ptr<CVELTADoc> doc;
    tagGERBAR settings;
};

TEST_F(CamReportTest, PhotoReportListsUsedAperturesWithTotals)
{
    doc->Turret(1) = {0, 0.2, 0.0};
    doc->Turret(5) = {2, 1.6, 0.8}; // donut, flashed
    doc->Turret(7) = {3, 2.0, 1.2}; // thermal, drawn only: no inner size shown
    ApertureUsage usage{};
    usage[1] = {1, {11}, 3, 0, 12.5};
    usage[5] = {1, {15}, 0, 4, 0.0};
    usage[7] = {2, {20, 21}, 1, 0, 2.25};
    settings.mirrorX = 1;
    settings.angle = M_PI / 2;
    settings.offsetX = -2.5;
    settings.codeType = 2;
    settings.endOfBlock = '\n';
    WritePhotoReport(*doc, settings, {0, 1, 15, -1, 40}, "TOP", "TEST", Data("b.top.gbr"), 1234, usage);
    ASSERT_TRUE(messages.Texts().empty());
    EXPECT_EQ(ReadFile(root / "out" / "b.top.txt"),
              "T=Phot report N=[" + _J("　") +
                  "] F=\r\n"
                  "Phot Data List|TOP|b.top.gbr|  1,   2,  "
                  "16|X|90|1.0000|-2.5000|0.0000|EIA|LF|mm|X000V000Y000V000|Absolute\r\n"
                  "[  1| 11|Circle |0.2000|------|       0|       3|     12.5000]\r\n"
                  "[  5| 15|Dounat |1.6000|0.8000|       4|       0|            ]\r\n"
                  "[  7| 20|Thermal|2.0000|------|       0|       1|      2.2500]\r\n"
                  "4|4|14.7500|min (1.5000, 2.0000)  max (30.2500, 40.0000)|1234\r\n"
                  "end\r\n");
}

TEST_F(CamReportTest, EmptyOutputGivesNoBlocksZeroTotalsAndDashedArea)
{
    settings.minX = settings.minY = 1e300;
    settings.maxX = settings.maxY = -1e300;
    settings.metric = 0;
    settings.absolute = 0;
    settings.outputFactor = 0.0;
    settings.mirrorY = 1;
    settings.angle = 0.3;
    WritePhotoReport(*doc, settings, {}, "EMPTY", "TEST", Data("e.gbr"), 0, ApertureUsage{});
    const std::string text = ReadFile(root / "out" / "e.txt");
    EXPECT_NE(text.find("|e.gbr||Y|17.19|1.0000|0.0000|0.0000|ASCII|*|inch|X000Y000|Incremental\r\n"
                        "0|0|0.0000|min (--.----, --.----) max (--.----, --.----)|0\r\n"),
              std::string::npos)
        << text;
}

TEST_F(CamReportTest, PhotoReportListsTheAperturesCountedForTheFile)
{
    doc->Turret(3) = {1, 0.5, 0.0};
    CSheet* sheet = doc->GetBoardSheet(2);
    ASSERT_NE(sheet, nullptr);
    sheet->NewLine(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    const int layers[] = {2, -1};
    doc->CountApertures(layers, true);
    WritePhotoReport(*doc, settings, {2}, "L3", "TEST", Data("l3.gbr"), 10);
    const std::string text = ReadFile(root / "out" / "l3.txt");
    // The document gives a turret without a code list its number plus 10.
    EXPECT_NE(text.find("[  3| 13|Square |0.5000|------|       0|       1|     10.0000]\r\n"),
              std::string::npos)
        << text;
}

TEST_F(CamReportTest, DrillReportListsToolsWithHitsAndLongHoleComments)
{
    auto& tools = doc->GetTCodeTable();
    auto tool = [](double dia, int kind, int hits, const char* code) {
        tagTCODE t;
        t.diameter = dia;
        t.holeType = kind;
        t.hitCount = hits;
        std::strncpy(t.toolCode.data(), code, t.toolCode.size() - 1);
        return t;
    };
    tools[0] = tool(0.8, HOLE_THROUGH, 12, "T01");
    tools[1] = tool(1.0, 0, 0, "T02"); // no hits: not listed
    tools[2] = tool(3.2, 0, 2, "T03");
    tools[3] = tool(1.2, HOLE_THROUGH | HOLE_LONG, 1, "T104");
    settings.longHoleMode = 3;
    settings.hitType = 1;
    WriteDrillReport(*doc, settings, {0, 1}, "DRILL", "TEST", Data("b.drl"), 77);
    EXPECT_EQ(ReadFile(root / "out" / "b.html"), "T=Drill report N=[" + _J("　") +
                                                    "] F=\r\n"
                                                    "Drill Data List|mm|Absolute|G81 Hit Type\r\n"
                                                    "[T01| 0.80|      12|TH |]\r\n"
                                                    "[T03| 3.20|       2|NTH|]\r\n"
                                                    "[T104| 1.20|       1|TH |for Oval (Edges+Center)]\r\n"
                                                    "15|min (1.5000, 2.0000)  max (30.2500, 40.0000)|77\r\n"
                                                    "end\r\n");
}

TEST_F(CamReportTest, JapaneseWordsAndTheInstalledTemplate)
{
    fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "resources" / "VTHTML.dat", root / "program" / "VTHTML.dat");
    auto& tools = doc->GetTCodeTable();
    tools[0].diameter = 2.0;
    tools[0].holeType = HOLE_LONG;
    tools[0].hitCount = 1;
    settings.longHoleMode = 4;
    WriteDrillReport(*doc, settings, {0}, "DRILL", "VTHTML", Data("j.drl"), 5);
    ASSERT_TRUE(messages.Texts().empty());
    const std::string html = ReadFile(root / "out" / "j.html");
    for (const std::string& piece : {_J("ドリル出力レポート"), _J("ドリルデータリスト"),
                                     _J("長穴用 （Ｎ点）"), _J("ミリ"), _J("絶対座標"), _J("CRヒットタイプ")})
        EXPECT_NE(html.find(piece), std::string::npos);
    EXPECT_EQ(html.find('$'), std::string::npos) << "every keyword of the template is filled";
    EXPECT_TRUE(HasDate(html)) << "the date as 9999/99/99  99:99:99";

    doc->Turret(0) = {0, 0.3, 0.0};
    ApertureUsage usage{};
    usage[0] = {1, {10}, 0, 2, 0.0};
    WritePhotoReport(*doc, settings, {0}, "TOP", "VTHTML", Data("j.gbr"), 5, usage);
    const std::string photo = ReadFile(root / "out" / "j.html");
    EXPECT_NE(photo.find(_J("  円形  ")), std::string::npos);
    EXPECT_EQ(photo.find('$'), std::string::npos);
}

TEST_F(CamReportTest, OneTagTemplateDotExtensionAndMissingTemplate)
{
    // A drill section written once only: the frame alone, to the path with a bare dot.
    WriteFile(root / "program" / "ONCE.dat", "$COMMON$\nhead $TITLE$\n$BLOCKIN$\ntail\n$COMMON$\n$DRILL$\n");
    WriteDrillReport(*doc, settings, {0}, "D", "ONCE", Data("once.drl"), 1);
    EXPECT_EQ(ReadFile(root / "out" / "once."), "head " + _J("ドリル出力レポート") + "\r\ntail\r\n");

    WriteDrillReport(*doc, settings, {0}, "D", "NONE", Data("x.drl"), 1);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Texts()[0], (root / "program" / "NONE.dat").string() + _J(" が開けません"));
    // A data file named with a leading dot only keeps its whole name.
    EXPECT_EQ(CutExtension("/a.b/.drl"), "/a.b/.drl");
    EXPECT_EQ(CutExtension("/a.b/c"), "/a.b/c");
    EXPECT_EQ(CutExtension("/a/c.x.drl"), "/a/c.x");
}

class DrillListTest : public CamReportTest
{
protected:
    CHole* Add(CSheet& sheet, double x, double y, double dia, int shape = 0, bool through = true,
               double width = 0.0, double radius = 0.0, double angle = 0.0)
    {
        CHole* hole = sheet.NewHole(CDPoint(x, y), dia, shape == 0, width, radius, angle);
        hole->ModifyType(shape | (through ? HOLE_THROUGH : 0), HOLE_SHAPE_MASK | HOLE_THROUGH);
        return hole;
    }
};

const std::string kRule(75, '=');

TEST_F(DrillListTest, CircularFormGroupsByDiameterThreeToALine)
{
    doc->SetUserOrigin(CDPoint(10, 10));
    CSheet holes;
    for (int i = 0; i < 4; ++i)
        Add(holes, 10 + i, 12.5, 0.8);
    Add(holes, 0, 0, 0.8, 0, false);
    Add(holes, 5, 5, 2.0, HOLE_LONG, true, 4.0); // a slot: not in this form
    WriteDrillList(*doc, holes, Data("b.drl"), "hst", true, false);
    EXPECT_EQ(ReadFile(root / "out" / "b.hst"),
              kRule + "\r\n Hole Diameter = 0.80 mm for Through hole\r\n" + kRule + "\r\n" +
                  "[  1]    0.000,   2.500 [  2]    1.000,   2.500 [  3]    2.000,   2.500 \r\n"
                  "[  4]    3.000,   2.500 \r\n\r\n" +
                  kRule + "\r\n Hole Diameter = 0.80 mm for Non-Through hole\r\n" + kRule + "\r\n" +
                  "[  1]  -10.000, -10.000 \r\n");
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(DrillListTest, LongFormAppendsToTheCircularListOfTheSameName)
{
    doc->SetUserOrigin(CDPoint(0, 0));
    CSheet holes;
    Add(holes, 1, 2, 0.8);
    Add(holes, 5, 5, 1.0, HOLE_LONG, true, 3.0, 0.0, M_PI);
    Add(holes, 6, 5, 1.0, HOLE_LONG, true, 3.0, 0.0, -M_PI / 2);
    Add(holes, 7, 5, 1.0, HOLE_LONG, true, 3.0, 0.0, 0.0);
    Add(holes, 8, 5, 1.0, HOLE_RECT, false, 2.0, 0.25, 3 * M_PI / 2);
    WriteDrillList(*doc, holes, Data("b.drl"), "lst", true, false);
    WriteDrillList(*doc, holes, Data("b.drl"), "lst", false, true);
    EXPECT_EQ(ReadFile(root / "out" / "b.lst"),
              kRule + "\r\n Hole Diameter = 0.80 mm for Through hole\r\n" + kRule + "\r\n" +
                  "[  1]    1.000,   2.000 \r\n" + kRule +
                  "\r\nOval Width 3.0mm  Hight 1.0mm for Through hole\r\n" + kRule + "\r\n" +
                  "[  1]    5.000,   5.000  180.00    [  2]    6.000,   5.000 -90.00    \r\n" +
                  "[  3]    7.000,   5.000   0.00    \r\n\r\n" + kRule +
                  "\r\nRectangle Width 2.0mm  Hight 1.0mm  Corner 0.25mm for Non-Through hole\r\n" + kRule +
                  "\r\n" + "[  1]    8.000,   5.000 -90.00    \r\n");

    // Without append the file starts anew.
    WriteDrillList(*doc, holes, Data("b.drl"), "lst", true, false);
    EXPECT_EQ(ReadFile(root / "out" / "b.lst").substr(0, 78), kRule + "\r\n ");
    EXPECT_EQ(ReadFile(root / "out" / "b.lst").find("Oval"), std::string::npos);
}

// Rows are made without printf: every coordinate must come out as "% 8.3f" prints it, ties (an
// exact half of the last place), signed zeros, tiny negatives, large and far values included.
TEST_F(DrillListTest, RowsAreWhatPrintfMakesOfEveryCoordinate)
{
    doc->SetUserOrigin(CDPoint(0, 0));
    std::vector<double> values = {0.0,          -0.0,      1e-9,          -1e-9,         0.0005,
                                  -0.0005,      0.0015,    2.0005,        1234.5675,     -1234.5675,
                                  99999.9995,   1e6 + 0.0625, 123456789.0625, -98765432.4375, 1e15,
                                  -1e15,        0.9995,    -0.9995,       9.9995,        99.9995};
    for (int k = -48; k <= 48; ++k)
        values.push_back(k / 16.0); // halves of the third place: 0.0625, 0.1875, ...
    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(-2000.0, 2000.0);
    for (int i = 0; i < 200; ++i)
        values.push_back(i % 2 ? spread(random) : std::round(spread(random) * 1000.0) / 1000.0 + 0.0005);
    CSheet holes;
    for (std::size_t i = 0; i < values.size(); ++i)
        Add(holes, values[i], values[values.size() - 1 - i], 0.8);
    Add(holes, 0.0625, -0.0625, 1.0, HOLE_LONG, true, 3.0, 0.0, 0.0);
    Add(holes, -0.1875, 2.0005, 1.0, HOLE_LONG, true, 3.0, 0.0, -1e-12);
    WriteDrillList(*doc, holes, Data("p.drl"), "hst", true, false);
    WriteDrillList(*doc, holes, Data("p.drl"), "hst", false, true);

    std::string rows;
    char row[128];
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::snprintf(row, sizeof row, "[%3d] % 8.3f,% 8.3f ", static_cast<int>(i + 1), values[i],
                      values[values.size() - 1 - i]);
        rows += row;
        if ((i + 1) % 3 == 0)
            rows += "\r\n";
    }
    const std::string text = ReadFile(root / "out" / "p.hst");
    const std::string header = kRule + "\r\n Hole Diameter = 0.80 mm for Through hole\r\n" + kRule + "\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.substr(header.size(), rows.size()), rows);
    EXPECT_NE(text.find("[  1]    0.062,  -0.062   0.00    [  2]   -0.188,   2.001  -0.00    \r\n"),
              std::string::npos);
}

TEST_F(DrillListTest, UnwritableListIsReportedAndAnEmptyNameSparesTheDrillFile)
{
    doc->SetUserOrigin(CDPoint(0, 0));
    CSheet holes;
    Add(holes, 1, 2, 0.8);
    const std::string missing = (root / "nowhere" / "b.drl").string();
    WriteDrillList(*doc, holes, missing, "hst", true, false);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Texts()[0],
              "Drill List File " + (root / "nowhere" / "b.hst").string() + " cannot open");

    WriteFile(root / "out" / "k.drl", "M48\r\n");
    WriteDrillList(*doc, holes, Data("k.drl"), "", true, false);
    EXPECT_EQ(ReadFile(root / "out" / "k.drl"), "M48\r\n");
    EXPECT_TRUE(fs::exists(root / "out" / "k.hst"));
}

} // namespace
