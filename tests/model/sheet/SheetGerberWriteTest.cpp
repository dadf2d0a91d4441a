// The layer's photo-plot and drill bodies: tool selects over the sorted holes, the drill cycle
// blocks, slot tools, dummy holes, the vias a layer shows and texts that print as nothing.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

tagTCODE Tool(double diameter, int type, const char* code)
{
    tagTCODE tool;
    tool.diameter = diameter;
    tool.holeType = type;
    tool.hitCount = 1;
    std::strncpy(tool.toolCode.data(), code, tool.toolCode.size() - 1);
    return tool;
}

class SheetGerberWriteTest : public ::testing::Test
{
protected:
    SheetGerberWriteTest()
    {
        platform::SetMessageService(&messages);
        doc.tools = {Tool(0.8, HOLE_THROUGH, "T01"), Tool(1.0, HOLE_THROUGH, "T02"), Tool(0.8, 0, "T03")};
        doc.boardSheets[LAYER_MAX] = &viaParts;
    }
    ~SheetGerberWriteTest() override { platform::SetMessageService(nullptr); }

    CHole* AddHole(double x, double diameter, bool plated, int extraType = 0)
    {
        CHole* hole = sheet.NewHole(CDPoint(x, 0), diameter, true, 0, 0, 0);
        hole->SetType(hole->GetType() | (plated ? HOLE_THROUGH : 0) | extraType);
        return hole;
    }

    Blocks Drill(int hitType)
    {
        GerberOutput out;
        out.g.photo = 0;
        out.g.hitType = hitType;
        sheet.SerializeGerbar(out.ar, out.g);
        return out.Blocks();
    }

    platform::RecordingMessages messages;
    FakeDocument doc;
    FakeFrameServices frame{&doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};
    CSheet sheet{0, 0x1, 0, &doc};
};

TEST_F(SheetGerberWriteTest, ListOrderDecidesTheToolSelects)
{
    AddHole(1, 0.8, true);
    AddHole(2, 0.8, true);
    AddHole(3, 1.0, true);
    AddHole(4, 0.8, false);
    EXPECT_EQ(Drill(0), (Blocks{"T01", "X1000Y0", "X2000Y0", "T02", "X3000Y0", "T03", "X4000Y0"}));
}

TEST_F(SheetGerberWriteTest, DrillCycleAndDSelects)
{
    AddHole(1, 0.8, true);
    AddHole(2, 0.8, true);
    AddHole(3, 1.0, true);
    // The cycle starts with the first tool; every later tool is changed inside G80 / X0Y0 / M01.
    EXPECT_EQ(Drill(1),
              (Blocks{"T01", "G81", "X1000Y0", "X2000Y0", "G80", "X0Y0", "M01", "T02", "G81", "X3000Y0"}));
    // Hits at D03 select with "D" and write no cycle blocks.
    EXPECT_EQ(Drill(3), (Blocks{"D01", "X1000Y0", "D03", "X2000Y0", "D03", "D02", "X3000Y0", "D03"}));
}

TEST_F(SheetGerberWriteTest, ShapedHolesOfOneSizeShareARoundTool)
{
    // A long hole 1.0 x 3.0 is drilled with 3.0; a rectangular hole of width 2.0 with 2.0 x 1.42.
    sheet.NewHole(CDPoint(1, 0), 1.0, false, 3.0, 0.5, 0);
    sheet.NewHole(CDPoint(2, 0), 3.0, true, 0, 0, 0);
    CHole* rect = sheet.NewHole(CDPoint(3, 0), 1.0, false, 2.0, 0.1, 0);
    ASSERT_TRUE(rect->IsHoleRect());
    sheet.NewHole(CDPoint(4, 0), 2.84, true, 0, 0, 0);
    sheet.NewHole(CDPoint(5, 0), 2.85, true, 0, 0, 0);
    int selects = 0;
    for (const std::string& block : Drill(0))
        selects += block[0] == 'T';
    EXPECT_EQ(selects, 3);
}

TEST_F(SheetGerberWriteTest, OneDummyHolePerToolRunIsWrittenLast)
{
    AddHole(1, 0.8, true);
    AddHole(2, 0.8, true, HOLE_CHECK);
    AddHole(3, 0.8, true);
    AddHole(4, 0.8, true, HOLE_CHECK);
    AddHole(5, 1.0, true);
    AddHole(6, 1.0, true, HOLE_CHECK);
    EXPECT_EQ(Drill(0), (Blocks{"T01", "X1000Y0", "X3000Y0", "X2000Y0", "T02", "X5000Y0", "X6000Y0"}));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("捨て穴 (4.00,0.00)　は出力されません"));
}

TEST_F(SheetGerberWriteTest, EmptySheetWritesNoDrillBody)
{
    EXPECT_TRUE(Drill(1).empty());
}

TEST_F(SheetGerberWriteTest, LayersShowTheirViaLands)
{
    for (int k = 0; k < 15; ++k)
        doc.viaTable[1].lands[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(20 + k);
    viaParts.NewVia(CDPoint(1, 1), 1, 0);
    auto photo = [&](int typeWord) {
        CSheet layer(0, typeWord, 0, &doc);
        GerberOutput out;
        out.g.photo = 1;
        layer.SerializeGerbar(out.ar, out.g);
        return out.Text();
    };
    // The resist layer flashes the via's resist land (land 7: turret 27, D37).
    EXPECT_NE(photo(0x100000).find("G54D37*"), std::string::npos) << photo(0x100000);
    EXPECT_NE(photo(0x1).find("D03*"), std::string::npos);
    // A layer of a wiring layer's second list shows no vias, nor does a plain layer.
    EXPECT_EQ(photo(0x41).find("D03"), std::string::npos);
    EXPECT_EQ(photo(0x100040).find("D03"), std::string::npos);
    EXPECT_EQ(photo(0x0).find("D03"), std::string::npos);
}

TEST_F(SheetGerberWriteTest, TextsThatPrintAsNothingAreLeftOut)
{
    doc.title.clear(); // an untitled board without a name: "&PATH&" prints as nothing
    CText text("&PATH&", CDPoint(0, 0), 1);
    ASSERT_TRUE(sheet.GetPrintProperty(&text).empty());
    sheet.NewText(text);
    sheet.NewLand(CDPoint(1, 1), 2);
    GerberOutput out;
    out.g.photo = 1;
    sheet.SerializeGerbar(out.ar, out.g);
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D12", "X1000Y1000", "D03", "D02"}));
}

TEST(SheetGerberCodeConvTest, LinesAreFinishedAsTheWritersFinishThem)
{
    tagGERBAR g;
    g.lineBreak = 1;
    std::string line = "G75*G01*";
    CSheet::CodeConv(line, g);
    EXPECT_EQ(line, "G75*\r\nG01*\r\n");
    // A line far longer than any buffer the record writer keeps.
    std::string longLine(5000, '*');
    CSheet::CodeConv(longLine, g);
    EXPECT_EQ(longLine.size(), 15000u);
}

} // namespace
