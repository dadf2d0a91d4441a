// Photo-plot output and aperture usage of surfaces: outline, arcs written once transformed,
// windows and fill as strokes; the no-fill bit.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;
using Usage = std::array<tagDCODE, TURRET_MAX + 1>;

constexpr double kPi = std::numbers::pi;

class SurGerberTest : public ::testing::Test
{
protected:
    SurGerberTest() : frame(&doc)
    {
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.3, 0.0};
    }

    // A "D": the chord from (-5, 0) to (5, 0) and the upper half circle of radius 5, with a 2 x 1
    // window inside (drawn with turret 3, then given the surface's turret).
    static void DShape(CSur& sur, bool noFill)
    {
        sur.AddLine(std::make_unique<CLine>(CDPoint(-5, 0), CDPoint(5, 0), 2, 0));
        sur.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5, 0, kPi, 0, 2));
        CSur window;
        const CDPoint w[4] = {CDPoint(-1, 1), CDPoint(1, 1), CDPoint(1, 2), CDPoint(-1, 2)};
        for (int i = 0; i < 4; ++i)
            window.AddLine(std::make_unique<CLine>(w[i], w[(i + 1) % 4], 3, 0));
        sur.NewWindow(window);
        sur.SetTurretNo(2, true); // the window takes the surface's turret too
        if (noFill) {
            sur.ModifyType(SUR_NOFILL, SUR_NOFILL);
            sur.DeleteSurLine();
        } else {
            sur.MakeSurLine(true);
        }
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

TEST_F(SurGerberTest, OutlineArcWindowThenFill)
{
    CSur bare;
    DShape(bare, true);
    // The window carries a fill of its own (its turret was set): it lies in the cut-out and is
    // not written.
    POSITION wpos = bare.GetFirstWndPos();
    ASSERT_GT(bare.GetNextWnd(wpos)->GetSurLineCount(), 0);
    GerberOutput out;
    bare.DataWriteGerbar(out.ar, out.g);
    EXPECT_EQ(out.Blocks(), (Blocks{
                                "G54D12",
                                "D02",
                                "X-5000Y0",
                                "D01",
                                "X5000Y0",             // the chord
                                "G03X-5000Y0I-5000J0", // the arc goes on
                                "G01D02",
                                "X-1000Y1000",
                                "D01",
                                "X1000Y1000", // the window
                                "X1000Y2000",
                                "X-1000Y2000",
                                "X-1000Y1000",
                            }));

    // With its fill the same outline, then one stroke per fill line.
    CSur filled;
    DShape(filled, false);
    ASSERT_GT(filled.GetSurLineCount(), 10);
    GerberOutput full;
    filled.DataWriteGerbar(full.ar, full.g);
    const Blocks blocks = full.Blocks();
    ASSERT_GT(blocks.size(), out.Blocks().size());
    EXPECT_EQ(Blocks(blocks.begin(), blocks.begin() + static_cast<long>(out.Blocks().size())), out.Blocks());
    const auto draws =
        std::count(blocks.begin() + static_cast<long>(out.Blocks().size()), blocks.end(), "D01");
    EXPECT_EQ(draws, filled.GetSurLineCount());

    // A surface without fill writes none, even when fill lines were left in it.
    filled.ModifyType(SUR_NOFILL, SUR_NOFILL);
    GerberOutput again;
    filled.DataWriteGerbar(again.ar, again.g);
    EXPECT_EQ(again.Blocks(), out.Blocks());
}

TEST_F(SurGerberTest, MirroredAndTurnedOutputTransformsEveryPointOnce)
{
    // Written with the output mirrored about x = 2 and turned by 30 degrees about (2, -1), the
    // surface gives the blocks of the same surface mirrored and turned by hand and written
    // plainly.
    CSur sur;
    DShape(sur, false);
    ASSERT_GT(sur.GetSurLineCount(), 10);
    GerberOutput turned;
    turned.Transform(1, kPi / 6, 2, -1);
    sur.DataWriteGerbar(turned.ar, turned.g);

    CSur byHand; // built the same way: a copy would not take the fill
    DShape(byHand, false);
    byHand.MirrorX(2, true);
    byHand.Rotate(CDPoint(2, -1), kPi / 6, true);
    GerberOutput plain;
    plain.Transform(0, 0.0, 2, -1);
    byHand.DataWriteGerbar(plain.ar, plain.g);
    EXPECT_EQ(turned.Blocks(), plain.Blocks());
    // The output's settings are the same after the surface.
    EXPECT_EQ(turned.g.mirrorX, 1);
    EXPECT_EQ(turned.g.angle, kPi / 6);
}

TEST_F(SurGerberTest, UsageCountsOutlineWindowsAndTheFillThatIsWritten)
{
    CSur sur;
    DShape(sur, false);
    Usage table{};
    sur.CheckTurret(table.data());

    // The fill of a fresh generation. The window's fill lies in the cut-out: it is not written and
    // so not counted.
    CSur scratch(sur);
    scratch.MakeSurLine(true);
    double fillLength = 0.0;
    for (POSITION pos = scratch.GetFirstSurLinePos(); pos;)
        fillLength += scratch.GetNextSurLine(pos)->GetLength();

    const int outlineCount = 1 + 1 + 4;
    const double outlineLength = 10.0 + 5.0 * kPi + 6.0;
    EXPECT_EQ(table[2].drawCount, outlineCount + scratch.GetSurLineCount());
    EXPECT_NEAR(table[2].drawnLength, outlineLength + fillLength, 1e-9);
    EXPECT_EQ(table[2].flashCount, 0);

    // Without fill only the outline counts.
    CSur bare;
    DShape(bare, true);
    Usage outlineOnly{};
    bare.CheckTurret(outlineOnly.data());
    EXPECT_EQ(outlineOnly[2].drawCount, outlineCount);
    EXPECT_NEAR(outlineOnly[2].drawnLength, outlineLength, 1e-9);
}

TEST_F(SurGerberTest, FullCirclesCountWholeAndTurretsBeyondTheTableAreIgnored)
{
    CSur circle;
    circle.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 2, 1.0, 1.0005, 0, 2)); // closer than 0.001
    circle.ModifyType(SUR_NOFILL, SUR_NOFILL);
    CSur odd;
    odd.AddLine(std::make_unique<CLine>(CDPoint(0, 0), CDPoint(1, 0), 130, 0));
    odd.ModifyType(SUR_NOFILL, SUR_NOFILL);
    Usage table{};
    circle.CheckTurret(table.data());
    odd.CheckTurret(table.data());
    EXPECT_EQ(table[2].drawCount, 1);
    EXPECT_NEAR(table[2].drawnLength, 4.0 * kPi, 1e-12);
    for (std::size_t t = 0; t < table.size(); ++t) {
        if (t != 2) {
            EXPECT_EQ(table[t].drawCount, 0) << t;
        }
    }
}

} // namespace
