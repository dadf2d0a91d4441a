// Drill-tool and aperture-usage tables of a layer sheet.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>

namespace {

using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;

CHole Round(double x, double diameter, bool plated)
{
    CHole hole(CDPoint(x, 0), diameter, true, 0.0, 0.0, 0.0);
    if (plated)
        hole.ModifyType(HOLE_THROUGH, HOLE_THROUGH);
    return hole;
}

CHole Long(double x, double diameter, double width)
{
    return CHole(CDPoint(x, 0), diameter, false, width, diameter * 0.5, 0.0);
}

class SheetCamTest : public ::testing::Test
{
protected:
    SheetCamTest()
    {
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        board.doc.boardSheets[LAYER_MAX] = &viaParts;
        selectionViaParts.SetSheetType(SHEET_SELECT_VIAPART);
        board.doc.selectionSheets[LAYER_MAX] = &selectionViaParts;
    }

    int Collect(CSheet& sheet, int hitLimit = 0)
    {
        sheet.CheckHole(tools.data(), hitLimit, &toolCount);
        return toolCount;
    }

    PartBoard board;
    CSheet viaParts{0, 0, LAYER_MAX, &board.doc};
    CSheet selectionViaParts{0, 0, LAYER_MAX, &board.doc};
    CSheet holeSheet{0, 0x10000, PartBoard::kHoleA, &board.doc};
    CSheet plainSheet{0, 0, PartBoard::kSilkLineA, &board.doc};
    std::array<tagTCODE, 100> tools{};
    int toolCount = 0;
};

struct ToolCase
{
    const char* name;
    CHole a, b;
    int tools;
};

TEST_F(SheetCamTest, ToolsShareOnlyEqualKeys)
{
    const ToolCase cases[] = {
        {"within 1e-6", Round(0, 0.8, true), Round(1, 0.8000005, true), 1},
        {"beyond 1e-6", Round(0, 0.8, true), Round(1, 0.801, true), 2},
        {"plating differs", Round(0, 0.8, true), Round(1, 0.8, false), 2},
        {"long-hole widths differ", Long(0, 1.0, 2.0), Long(1, 1.0, 2.5), 2},
        {"long holes alike", Long(0, 1.0, 2.0), Long(1, 1.0, 2.0), 1},
        {"round holes ignore widths", CHole(CDPoint(0, 0), 1.0, true, 2.0, 0.0, 0.0),
         CHole(CDPoint(1, 0), 1.0, true, 3.0, 0.0, 0.0), 1},
        {"round and long", Round(0, 1.0, false), Long(1, 1.0, 2.0), 2},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSheet sheet(0, 0, PartBoard::kHoleA, &board.doc);
        sheet.NewHole(c.a);
        sheet.NewHole(c.b);
        tools = {};
        toolCount = 0;
        EXPECT_EQ(Collect(sheet), c.tools);
        EXPECT_EQ(tools[0].hitCount + tools[1].hitCount, 2);
        EXPECT_EQ(tools[static_cast<std::size_t>(c.tools)].hitCount, 0);
    }
    EXPECT_EQ(tools[0].holeType, 0);
    EXPECT_EQ(tools[1].holeType, 0x10);
    EXPECT_DOUBLE_EQ(tools[1].width, 2.0);
}

TEST_F(SheetCamTest, HitLimitOpensLaterTools)
{
    for (int i = 0; i < 5; ++i)
        plainSheet.NewHole(Round(i, 0.8, true));
    EXPECT_EQ(Collect(plainSheet, 2), 3);
    EXPECT_EQ(tools[0].hitCount, 2);
    EXPECT_EQ(tools[1].hitCount, 2);
    EXPECT_EQ(tools[2].hitCount, 1);
    EXPECT_DOUBLE_EQ(tools[2].diameter, 0.8);
}

TEST_F(SheetCamTest, FullTableStopsCollection)
{
    for (int i = 0; i < 101; ++i)
        plainSheet.NewHole(Round(i, 0.1 + i * 0.01, false));
    EXPECT_EQ(Collect(plainSheet), 100);
    // Nothing is written past the table.
    EXPECT_EQ(Collect(plainSheet), 100);
    EXPECT_EQ(tools[0].hitCount, 1);
}

TEST_F(SheetCamTest, ViasAndPartHolesOnlyOnTheHoleLayer)
{
    viaParts.NewVia(CVia(CDPoint(5, 5), 1, &board.doc, 0x3));
    CPart part;
    CHole onLayer = Round(0, 1.2, false);
    onLayer.SetLayerNo(PartBoard::kHoleA);
    part.NewHole(onLayer);
    CHole otherLayer = Round(0, 1.5, false);
    otherLayer.SetLayerNo(PartBoard::kHoleB);
    part.NewHole(otherLayer);
    part.NewVia(CVia(CDPoint(7, 7), 1, &board.doc, 0x3));
    viaParts.NewPart(part);
    // NewHole gives the part's own layer; put the layers back as the test wants them.
    CPart* stored = viaParts.GetHeadPart();
    POSITION pos = stored->GetFirstHolePos();
    stored->GetNextHole(pos)->SetLayerNo(PartBoard::kHoleA);
    stored->GetNextHole(pos)->SetLayerNo(PartBoard::kHoleB);

    plainSheet.NewHole(Round(0, 3.0, false));
    EXPECT_EQ(Collect(plainSheet), 1);

    tools = {};
    toolCount = 0;
    EXPECT_EQ(Collect(holeSheet), 2); // the via drill 0.4 (twice) and the part hole 1.2
    EXPECT_DOUBLE_EQ(tools[0].diameter, 0.4);
    EXPECT_EQ(tools[0].hitCount, 2);
    EXPECT_EQ(tools[0].holeType & HOLE_THROUGH, HOLE_THROUGH);
    EXPECT_DOUBLE_EQ(tools[1].diameter, 1.2);
    EXPECT_EQ(tools[1].hitCount, 1);
}

TEST_F(SheetCamTest, TurretUsage)
{
    std::array<tagDCODE, TURRET_MAX + 1> table{};
    CSheet sheet(0, 0, PartBoard::kSilkLineA, &board.doc);
    sheet.NewArc(CArc(CDPoint(0, 0), 1.0, 0.0, 0.0, 0, 5));
    sheet.NewArc(CArc(CDPoint(0, 0), 2.0, 0.0, kPi / 2, 0, 6));
    sheet.NewLine(CDPoint(0, 0), CDPoint(3, 4), 7, 0);
    sheet.NewLand(CDPoint(0, 0), 8);
    sheet.NewLand(CDPoint(1, 0), 8);
    sheet.CheckTurret(table.data());
    EXPECT_NEAR(table[5].drawnLength, 2 * kPi, 1e-9);
    EXPECT_EQ(table[5].drawCount, 1);
    EXPECT_NEAR(table[6].drawnLength, kPi, 1e-9);
    EXPECT_NEAR(table[7].drawnLength, 5.0, 1e-9);
    EXPECT_EQ(table[8].flashCount, 2);
}

TEST_F(SheetCamTest, ResistLayerCountsViasUnlessInTheSecondList)
{
    viaParts.NewVia(CVia(CDPoint(5, 5), 1, &board.doc, 0x3));
    for (int word : {0x100000, 0x100040}) {
        SCOPED_TRACE(word);
        std::array<tagDCODE, TURRET_MAX + 1> table{};
        CSheet resist(1, word, PartBoard::kResistA, &board.doc);
        resist.CheckTurret(table.data());
        EXPECT_EQ(table[PartBoard::kPad].flashCount, word & 0x40 ? 0 : 1);
    }
    // A selection sheet reads the selection's via and part sheet (empty here).
    std::array<tagDCODE, TURRET_MAX + 1> table{};
    CSheet selection(1, 0x100000, PartBoard::kResistA, &board.doc);
    selection.SetSheetType(SHEET_SELECTION);
    selection.CheckTurret(table.data());
    EXPECT_EQ(table[PartBoard::kPad].flashCount, 0);
}

} // namespace
