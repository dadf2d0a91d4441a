// Items answer from the tables of their own board. Two boards are open with different turret, via,
// D-code and dimension tables; the frame's current board is the first. Items stored on
// the second board, the one that is not active, must measure and write with the second board's
// tables, also when they were made while the first was current (read from a file, pasted).

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

constexpr int kLayer = 3;

class ItemBoardTablesTest : public ::testing::Test
{
protected:
    ItemBoardTablesTest() : frame(&active)
    {
        active.turretTable[0] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        inactive.turretTable[0] = tagTURRET{TURRET_ROUND, 0.6, 0.0};
        active.turretTable[7] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        inactive.turretTable[7] = tagTURRET{TURRET_SQUARE, 2.0, 0.0};
        active.turretTable[8] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        inactive.turretTable[8] = tagTURRET{TURRET_ROUND, 1.5, 0.0};
        active.dcodes[7] = 17;
        inactive.dcodes[7] = 27;
        frame.dcodes[7] = 17;
        // Via 1: wired land t5 on layers without sheet bits (turret 7 on the first board, 8 on the
        // second).
        active.viaTable[1].drill = 0.4;
        active.viaTable[1].lands[5] = 7;
        inactive.viaTable[1].drill = 0.6;
        inactive.viaTable[1].lands[5] = 8;
        active.viaLand = active.viaDisplay = active.viaOuter = 0.5;
        inactive.viaLand = inactive.viaDisplay = inactive.viaOuter = 1.25;
        active.dims.arrowAngle = 0.25;
        inactive.dims.arrowAngle = 0.5;
        frame.dims.arrowAngle = 0.25;
    }

    FakeDocument active;
    FakeDocument inactive;
    FakeFrameServices frame;
    CSheet activeBoard{0, 0x1, kLayer, &active};
    CSheet inactiveBoard{0, 0x1, kLayer, &inactive};
    GerberOutput out;
};

TEST_F(ItemBoardTablesTest, BoundsComeFromTheItemsOwnBoard)
{
    // Made while the first board is current, then stored on each board.
    const CLine made(CDPoint(0, 0), CDPoint(10, 0), 7, 0);
    ASSERT_EQ(made.GetLineWidth(), 1.0);
    CLine* onActive = activeBoard.NewLine(made);
    CLine* onInactive = inactiveBoard.NewLine(made);
    EXPECT_EQ(onActive->GetLineWidth(), 1.0);
    EXPECT_EQ(onInactive->GetLineWidth(), 2.0);
    EXPECT_EQ(onInactive->GetTurret().shape, TURRET_SQUARE);
    EXPECT_NEAR(onActive->GetBoundingRect().Height(), 1.0, 1e-9);
    EXPECT_NEAR(onInactive->GetBoundingRect().Height(), 2.0, 1e-9);

    // Without a turret, measuring gives the item turret 0 of its own board.
    CLine* bare = inactiveBoard.NewLine(CLine(CDPoint(0, 5), CDPoint(4, 5), -1, 0));
    EXPECT_NEAR(bare->GetBoundingRect().Height(), 0.6, 1e-9);
    EXPECT_EQ(bare->GetTurretNo(), 0);
    bare->SetTurretNo(8);
    EXPECT_EQ(bare->GetLineWidth(), 1.5);

    // A via measures with its own board's via size and carries its own board's via entry.
    CVia* via = inactiveBoard.NewVia(CVia(CDPoint(20, 20), 1, nullptr, 0x1));
    EXPECT_NEAR(via->GetBoundingRect().Width(), 2.5, 1e-9);
    EXPECT_EQ(via->GetVia().drill, 0.6);
    CVia* activeVia = activeBoard.NewVia(CVia(CDPoint(20, 20), 1, nullptr, 0x1));
    EXPECT_NEAR(activeVia->GetBoundingRect().Width(), 1.0, 1e-9);

    // So do the items of a part stored on the board.
    CPart part;
    part.NewLine(CDPoint(0, 0), CDPoint(1, 0), 7, 0);
    part.NewLand(CDPoint(0, 0), 8);
    CPart* stored = inactiveBoard.NewPart(part);
    POSITION pos = stored->GetFirstLinePos();
    EXPECT_EQ(stored->GetNextLine(pos)->GetLineWidth(), 2.0);
    pos = stored->GetFirstLandPos();
    EXPECT_EQ(stored->GetNextLand(pos)->GetTurret().size1, 1.5);

    // An item on no board still asks the frame's current board.
    CLine loose(CDPoint(0, 0), CDPoint(1, 0), 8, 0);
    EXPECT_EQ(loose.GetLineWidth(), 0.5);
}

TEST_F(ItemBoardTablesTest, GerberOutputUsesTheItemsOwnBoard)
{
    CLand* land = inactiveBoard.NewLand(CLand(CDPoint(1, 2), 7));
    land->DataWriteGerbar(out.ar, out.g);
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D27", "X1000Y2000", "D03", "D02"}));

    GerberOutput lines;
    CLine* line = inactiveBoard.NewLine(CLine(CDPoint(0, 0), CDPoint(3, 0), 7, 0));
    line->DataWriteGerbar(lines.ar, lines.g, false);
    ASSERT_FALSE(lines.Blocks().empty());
    EXPECT_EQ(lines.Blocks().front(), "G54D27");

    // The via's land on a wired layer: turret 8 of the second board's via entry (D code 18), not
    // turret 7 of the first board's.
    GerberOutput vias;
    CVia* via = inactiveBoard.NewVia(CVia(CDPoint(4, 5), 1, nullptr, 0x1));
    via->DataWriteGerbar(vias.ar, vias.g, 0x1, 1);
    EXPECT_EQ(vias.Blocks(), (Blocks{"G54D18", "X4000Y5000", "D03", "D02"}));

    // The same items on the active board write the first board's codes.
    GerberOutput current;
    activeBoard.NewLand(CLand(CDPoint(1, 2), 7))->DataWriteGerbar(current.ar, current.g);
    EXPECT_EQ(current.Blocks().front(), "G54D17");
}

TEST_F(ItemBoardTablesTest, DimensionArrowsUseTheItemsOwnStyle)
{
    CLine dimension(CDPoint(0, 0), CDPoint(10, 0), 8, 0);
    dimension.SetArrow(200, 0);
    CLine* onInactive = inactiveBoard.NewLine(dimension);
    CLine* onActive = activeBoard.NewLine(dimension);
    CLine barbs[2];
    onInactive->GetStartArrowLine(&barbs[0], &barbs[1]);
    const CDPoint inactiveBarb = barbs[0].GetEndPoint();
    onActive->GetStartArrowLine(&barbs[0], &barbs[1]);
    const CDPoint activeBarb = barbs[0].GetEndPoint();
    // Barbs of length 2 at the style's arrow angle from the line.
    EXPECT_NEAR(inactiveBarb.y, 2.0 * std::sin(0.5), 1e-9);
    EXPECT_NEAR(activeBarb.y, 2.0 * std::sin(0.25), 1e-9);
}

} // namespace
