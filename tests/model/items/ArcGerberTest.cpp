// Photo-plot output of arcs in every arc mode: one record, records split at quarter or half turns,
// line segments; continuation of an open stroke; arcs that their callers mirror and turn.

#include "model/cam/CamWriter.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/startup/Startup.h"
#include "platform/Numbers.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using Blocks = std::vector<std::string>;

constexpr double kPi = std::numbers::pi;

class ArcGerberTest : public ::testing::Test
{
protected:
    ArcGerberTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.3, 0.0};
    }

    static std::vector<std::string> Written(CArc& arc, int arcMode)
    {
        GerberOutput out(arcMode);
        arc.DataWriteGerbar(out.ar, out.g, false);
        return out.Blocks();
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

TEST_F(ArcGerberTest, OneRecordInModesZeroAndOne)
{
    // A quarter circle about (1, 2) from (11, 2) to (1, 12).
    CArc arc(CDPoint(1, 2), 10, 0, kPi / 2, 0, 1);
    // Mode 0: the centre relative to the start; mode 1: relative to the output origin.
    EXPECT_EQ(Written(arc, 0), (Blocks{"D02", "G54D11", "X11000Y2000", "D01", "G03X1000Y12000I-10000J0"}));
    EXPECT_EQ(Written(arc, 1), (Blocks{"D02", "G54D11", "X11000Y2000", "D01", "G03X1000Y12000I1000J2000"}));
}

TEST_F(ArcGerberTest, QuarterRecordsInModeTwo)
{
    // A half circle from 0 to pi gives two quarter records (centre as unsigned offsets).
    CArc ccw(CDPoint(0, 0), 10, 0, kPi, 0, 1);
    EXPECT_EQ(Written(ccw, 2),
              (Blocks{"D02", "G54D11", "X10000Y0", "D01", "G03X0Y10000I10000J0", "X-10000Y0I0J10000"}));
    // Clockwise the same ends pass through the bottom.
    CArc cw(CDPoint(0, 0), 10, 0, kPi, ARC_CW, 1);
    EXPECT_EQ(Written(cw, 2),
              (Blocks{"D02", "G54D11", "X10000Y0", "D01", "G02X0Y-10000I10000J0", "X-10000Y0I0J10000"}));
    // An arc that starts between split points ends its first record at the next one.
    CArc inside(CDPoint(0, 0), 10, kPi / 4, 3 * kPi / 4, 0, 1);
    EXPECT_EQ(Written(inside, 2),
              (Blocks{"D02", "G54D11", "X7071Y7071", "D01", "G03X0Y10000I7071J7071", "X-7071Y7071I0J10000"}));
    // A full circle runs once round: four records.
    CArc circle(CDPoint(0, 0), 10, 0, 0, 0, 1);
    EXPECT_EQ(Written(circle, 2), (Blocks{"D02", "G54D11", "X10000Y0", "D01", "G03X0Y10000I10000J0",
                                          "X-10000Y0I0J10000", "X0Y-10000I10000J0", "X10000Y0I0J10000"}));
}

TEST_F(ArcGerberTest, HalfRecordsWithTheRadiusInModeThree)
{
    CArc circle(CDPoint(0, 0), 5, 0, 0, 0, 1);
    EXPECT_EQ(Written(circle, 3),
              (Blocks{"D02", "G54D11", "X5000Y0", "D01", "G03X-5000Y0I5000", "X5000Y0I5000"}));
    // A half turn that does not start on a split point is cut where it passes one.
    CArc half(CDPoint(0, 0), 5, kPi / 2, 3 * kPi / 2, 0, 1);
    EXPECT_EQ(Written(half, 3),
              (Blocks{"D02", "G54D11", "X0Y5000", "D01", "G03X-5000Y0I5000", "X0Y-5000I5000"}));
}

TEST_F(ArcGerberTest, LineSegmentsInModeFour)
{
    CArc arc(CDPoint(1, 2), 10, 0, kPi / 2, 0, 1);
    const std::vector<CDPoint> points = arc.GetSegmentPoints();
    ASSERT_EQ(points.size(), 9u); // eight steps of about 0.2 radians, then the end point
    Blocks want{"D02", "G54D11", "D02", "X11000Y2000", "D01"};
    for (std::size_t i = 1; i < points.size(); ++i)
        want.push_back(platform::Format("X%dY%d", GerbarIntValue(points[i].x * 1000),
                                        GerbarIntValue(points[i].y * 1000)));
    EXPECT_EQ(Written(arc, 4), want);
    EXPECT_EQ(want.back(), "X1000Y12000");

    // An arc too small for a polyline is one segment from its start to its end.
    CArc tiny(CDPoint(0, 0), 0.04, 0, kPi, 0, 1);
    EXPECT_EQ(Written(tiny, 4), (Blocks{"D02", "G54D11", "D02", "X40Y0", "D01", "X-40Y0"}));
}

TEST_F(ArcGerberTest, ARadiusBelowOneOutputUnitWritesNothing)
{
    CArc arc(CDPoint(0, 0), 0.0009, 0, kPi, 0, 2);
    for (int mode = 0; mode <= 4; ++mode) {
        GerberOutput out(mode);
        arc.DataWriteGerbar(out.ar, out.g, false);
        EXPECT_EQ(out.Text(), "") << "mode " << mode;
        EXPECT_EQ(out.g.currentAperture, -1);
    }
}

TEST_F(ArcGerberTest, AnArcContinuingTheOpenStrokeWritesNoMoveAndNoDraw)
{
    GerberOutput out(0);
    CArc first(CDPoint(0, 0), 10, 0, kPi / 2, 0, 1);
    CArc second(CDPoint(0, 0), 10, kPi / 2, kPi, 0, 1);
    first.DataWriteGerbar(out.ar, out.g, false);
    out.Clear();
    second.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"X-10000Y0I0J-10000"}));

    // A line on from the arc's end continues the stroke too, in linear interpolation.
    out.Clear();
    CLine line(second.GetEndPoint(), CDPoint(-10, -5), 1, 0);
    line.DataWriteGerbar(out.ar, out.g, false);
    EXPECT_EQ(out.Blocks(), (Blocks{"G01X-10000Y-5000"}));

    // In mode 4 an arc always starts a new stroke.
    GerberOutput segments(4);
    first.DataWriteGerbar(segments.ar, segments.g, false);
    segments.Clear();
    CArc tinyNext(CDPoint(0, 10.02), 0.02, 3 * kPi / 2, kPi / 2, 0, 1);
    tinyNext.DataWriteGerbar(segments.ar, segments.g, false);
    EXPECT_EQ(segments.Blocks(), (Blocks{"D02", "D02", "X0Y10000", "D01", "X0Y10040"}));
}

// Arcs are written as copies that their callers have mirrored and turned: the copy's records,
// segments, arrows and name text are written exactly as those of the same arc placed there by
// hand and written without any output transform.
TEST_F(ArcGerberTest, TransformedCopiesAreWrittenOnce)
{
    ASSERT_TRUE(GetStrokeFontFile().Open(VELTA_BINARY_DIR "/VELTA0.FNT"));
    const auto named = [](CArc arc) {
        arc.SetArrow(200, 150);
        arc.SetName("A", 250, true);
        CText* name = arc.GetNameText();
        LOGFONTA lf;
        lf.lfHeight = 200;
        lf.lfWidth = 200;
        lf.lfWeight = 50;
        name->SetFontRecord(lf);
        name->SetType(name->GetType() | TEXT_STROKE);
        name->SetTurretNo(2, false);
        arc.SetDimension(tagDIMS{200, 15.0 * kPi / 180.0, 0, 100, 250});
        return arc;
    };
    // About (3, 4) from 0.3 to 1.9 radians. Mirrored about x = 1: about (-1, 4), clockwise from
    // pi - 0.3 to pi - 1.9; turned a quarter about (1, 1): about (-2, -1), from 1.5 pi - 0.3 to
    // 1.5 pi - 1.9.
    CArc original = named(CArc(CDPoint(3, 4), 2, 0.3, 1.9, 0, 1));
    CArc byHand = named(CArc(CDPoint(-2, -1), 2, 1.5 * kPi - 0.3, 1.5 * kPi - 1.9, ARC_CW, 1));
    ASSERT_EQ(original.GetName(), byHand.GetName());

    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        GerberOutput turned(mode);
        turned.Transform(1, kPi / 2, 1.0, 1.0);
        original.DataWriteGerbarCopy(turned.ar, turned.g, false);
        EXPECT_EQ(turned.g.mirrorX, 1); // the output settings are back after the arc
        EXPECT_EQ(turned.g.angle, kPi / 2);

        GerberOutput plain(mode);
        plain.Transform(0, 0.0, 1.0, 1.0);
        byHand.DataWriteGerbarCopy(plain.ar, plain.g, false);
        EXPECT_EQ(turned.Blocks(), plain.Blocks());
        EXPECT_GT(turned.Blocks().size(), 40u); // arrows and name strokes included
    }
    // The arc itself is left as it was.
    EXPECT_NEAR(original.GetCenter().x, 3.0, 1e-12);
    EXPECT_FALSE(original.IsCW());
    GetStrokeFontFile().Close();
}

} // namespace
