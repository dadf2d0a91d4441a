// Photo-plot output of lines: aperture selection, strokes chained through the writer state, and
// the barbs of arrow heads.

#include "model/items/Line.h"
#include "platform/Numbers.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

class LineGerberTest : public ::testing::Test
{
protected:
    LineGerberTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        frame.dcodes[2] = 5; // written with two digits
    }

    FakeDocument doc;
    FakeFrameServices frame;
    GerberOutput out;
};

TEST_F(LineGerberTest, ChainedLinesShareOneStroke)
{
    CLine first(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    CLine second(CDPoint(10, 0), CDPoint(10, 5), 1, 0);
    CLine backwards(CDPoint(20, 5), CDPoint(10, 5), 1, 0); // ends where the stroke stands
    first.DataWriteGerbar(out.ar, out.g, false);
    second.DataWriteGerbar(out.ar, out.g, false);
    backwards.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(),
              (Blocks{"G54D11", "D02", "X0Y0", "D01", "X10000Y0", "X10000Y5000", "X20000Y5000"}));
    EXPECT_EQ(out.g.currentAperture, 1);
    EXPECT_EQ(out.g.pendingExposure, 1);
    EXPECT_EQ(out.g.prevX, 20.0);
    EXPECT_EQ(out.g.prevY, 5.0);
}

TEST_F(LineGerberTest, ABreakOrAnotherApertureStartsANewStroke)
{
    CLine first(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    CLine apart(CDPoint(0, 3), CDPoint(10, 3), 1, 0);
    CLine wide(CDPoint(10, 3), CDPoint(10, 8), 2, 0);
    first.DataWriteGerbar(out.ar, out.g, false);
    out.Clear();
    apart.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"D02", "X0Y3000", "D01", "X10000Y3000"}));
    out.Clear();
    // The open stroke is closed before the other aperture is selected, even though the line
    // starts where it stands.
    wide.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"D02", "G54D05", "D02", "X10000Y3000", "D01", "X10000Y8000"}));
}

TEST_F(LineGerberTest, LinearInterpolationIsSelectedInTheNextBlock)
{
    out.g.interpolation = 3; // after a counter-clockwise arc
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 1, 0);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D11", "G01D02", "X0Y0", "D01", "X1000Y0"}));
    EXPECT_EQ(out.g.interpolation, 1);
}

TEST_F(LineGerberTest, ArrowBarbsAreStrokesFromTheTip)
{
    // Barbs of 2 mm at +-15 degrees: 2 cos 15 = 1.93185, 2 sin 15 = 0.51764 (whole output units
    // are cut, not rounded).
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    line.SetArrow(200, 200);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(
        out.Blocks(),
        (Blocks{
            "G54D11", "D02",      "X0Y0", "D01",        "X10000Y0", // the line
            "D02",    "X0Y0",     "D01",  "X1931Y517",  "D02",      "X0Y0",     "D01", "X1931Y-517", // start
            "D02",    "X10000Y0", "D01",  "X8068Y-517", "D02",      "X10000Y0", "D01", "X8068Y517",  // end
        }));
}

TEST_F(LineGerberTest, DotsAreNotPlotted)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    line.SetArrow(-100, -100);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"G54D11", "D02", "X0Y0", "D01", "X10000Y0"}));
}

TEST_F(LineGerberTest, OutputTransformAndCodeConversionApply)
{
    out.g.mirrorX = 1;
    out.g.originX = 5.0;
    out.g.endOfBlock = '\r';
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 1, 0);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Text(), "G54D11\r\nD02\r\nX5000Y0\r\nD01\r\nX-5000Y0\r\n");
}

} // namespace

// The select block is the code and "%02d" of the D code, whatever its number of digits or sign.
TEST_F(LineGerberTest, ApertureSelectPrintsTheDCodeAsTwoDigitsAtLeast)
{
    for (const int dcode : {0, 5, 9, 10, 99, 100, 999, 123456, -1, -12}) {
        GerberOutput written;
        frame.dcodes[1] = dcode;
        CLine(CDPoint(0, 0), CDPoint(1, 0), 1, 0).DataWriteGerbar(written.ar, written.g, false);
        EXPECT_EQ(written.Blocks().front(), platform::Format("G54D%02d", dcode)) << dcode;
    }
}
