#include "model/cam/CamWriter.h"

#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

// Absolute, metric, scale 1, unit factor 1, '*' ends a block.
tagGERBAR Settings()
{
    tagGERBAR g;
    g.absolute = 1;
    g.metric = 1;
    g.scale = 1.0;
    g.outputFactor = 1.0;
    g.endOfBlock = '*';
    return g;
}

std::string Point(tagGERBAR& g, double x, double y, bool transform = true)
{
    std::string out;
    return FormatGerbarPoint(out, g, x, y, transform);
}

std::string Drill(tagGERBAR& g, double x, double y)
{
    std::string out;
    return FormatDrillPoint(out, g, x, y);
}

std::string Arc(tagGERBAR& g, double x, double y, double cx, double cy)
{
    std::string out;
    return FormatGerbarArc(out, g, x, y, cx, cy);
}

std::string Output(std::string line, const tagGERBAR& g)
{
    ConvertOutputCode(line, g);
    return line;
}

TEST(CamWriterTest, IntegerValueIsTheIntegerPartOfOneDecimal)
{
    EXPECT_EQ(GerbarIntValue(12.96), 13);
    EXPECT_EQ(GerbarIntValue(12.94), 12);
    EXPECT_EQ(GerbarIntValue(-12.96), -13);
    EXPECT_EQ(GerbarIntValue(-0.04), 0);
    EXPECT_EQ(GerbarIntValue(12.5), 12);

    tagGERBAR g = Settings();
    EXPECT_EQ(Point(g, 12.96, -12.96), "X13Y-13*");
    EXPECT_EQ(Point(g, 12.94, -0.04), "X12Y0*");
}

// Coordinates are formatted without the C library: the value must be the one its "%.1f" text
// gives, on ties (x.x5 and x.95 exactly representable or not), huge and odd values too.
TEST(CamWriterTest, IntegerValueEqualsThePrintedOneDecimalText)
{
    const auto printed = [](double v) { return platform::Atoi(platform::Format("%.1f", v)); };
    std::vector<double> values = {
        0.0,           -0.0,      0.05,  -0.05, 0.25,   -0.25,  0.95,
        -0.95,         9.95,      99.95, 12.45, -12.45, 1e9,    -1e9,
        2147483647.95, 3e9,       -3e9,  1e300, -1e300, 5e-324, 1.7976931348623157e308,
        INFINITY,      -INFINITY, NAN};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinate(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) {
        const double v = coordinate(random);
        values.push_back(v);
        values.push_back(std::round(v * 100.0) / 100.0 + (i % 2 ? 0.05 : -0.05)); // near a tie
        values.push_back(std::nextafter(std::round(v) + 0.95, 0.0));
    }
    // Both sides of every rounding edge (x.95) and of the halves, at every magnitude up to the
    // limit of 32 bits and past it.
    for (double whole = 0.0; whole < 5e9; whole = whole * 2.0 + 1.0) {
        for (const double edge : {whole + 0.95, whole + 0.5, whole + 0.05, whole + 1.0}) {
            for (const double sign : {1.0, -1.0}) {
                double at = sign * edge;
                values.push_back(at);
                for (int step = 0; step < 3; ++step) {
                    at = std::nextafter(at, INFINITY);
                    values.push_back(at);
                    values.push_back(-at);
                }
                at = sign * edge;
                for (int step = 0; step < 3; ++step) {
                    at = std::nextafter(at, -INFINITY);
                    values.push_back(at);
                    values.push_back(-at);
                }
            }
        }
    }
    for (const double v : {2147483646.96, 2147483646.94, 2147483647.0, -2147483647.0, -2147483647.96,
                           -2147483648.0, -2147483648.5, 2147483648.0, 4294967296.5})
        values.push_back(v);
    for (const double v : values)
        ASSERT_EQ(GerbarIntValue(v), printed(v)) << platform::Format("%.17g", v);
}

TEST(CamWriterTest, InchesAndUnitFactorAndExtents)
{
    tagGERBAR g = Settings();
    g.metric = 0;
    g.outputFactor = 10000.0;
    g.maxX = g.maxY = -1e300;
    g.minX = g.minY = 1e300;
    EXPECT_EQ(Point(g, 25.4, 0.0), "X10000Y0*");
    // Extents are in output units before the unit factor.
    EXPECT_DOUBLE_EQ(g.maxX, 1.0);
    EXPECT_DOUBLE_EQ(g.minX, 1.0);
    EXPECT_DOUBLE_EQ(g.maxY, 0.0);
    EXPECT_EQ(Point(g, -12.7, 50.8), "X-5000Y20000*");
    EXPECT_DOUBLE_EQ(g.minX, -0.5);
    EXPECT_DOUBLE_EQ(g.maxY, 2.0);
    EXPECT_DOUBLE_EQ(g.prevX, -12.7);
    EXPECT_DOUBLE_EQ(g.prevY, 50.8);
}

TEST(CamWriterTest, OriginOmissionAndDrillOrigin)
{
    tagGERBAR g = Settings();
    g.originX = 10.0;
    g.originY = 10.0;
    EXPECT_EQ(Point(g, 10.0, 10.0), "X0Y0*");
    EXPECT_EQ(Point(g, 10.0, 15.0), "X0Y5*"); // absolute writes both parts
    // The drill writer does not remove the origin.
    EXPECT_EQ(Drill(g, 10.0, 10.0), "X10Y10*");
    EXPECT_EQ(Drill(g, 0.0, 0.0), "X0Y0*");

    g.offsetX = 1.0;
    g.scale = 2.0;
    EXPECT_EQ(Point(g, 12.0, 10.0), "X6Y0*"); // 2 * (2 + 1)
}

TEST(CamWriterTest, IncrementalOmitsZeroParts)
{
    tagGERBAR g = Settings();
    g.absolute = 0;
    g.outputFactor = 100.0;
    EXPECT_EQ(Point(g, 1.0, 2.0), "X100Y200*");
    EXPECT_EQ(Point(g, 1.0, 2.0), "X0Y0*");
    EXPECT_EQ(Point(g, 3.0, 2.0), "X200*");
    EXPECT_EQ(Point(g, 3.0, 1.0), "Y-100*");

    // A drill hit has no X0Y0 form: a hit on the previous point is the ending alone.
    tagGERBAR d = Settings();
    d.absolute = 0;
    EXPECT_EQ(Drill(d, 4.0, 5.0), "X4Y5*");
    EXPECT_EQ(Drill(d, 4.0, 5.0), "*");
}

TEST(CamWriterTest, IncrementalSequenceWithOriginAddsUpToAbsolute)
{
    tagGERBAR inc = Settings();
    inc.absolute = 0;
    inc.outputFactor = 100.0;
    inc.originX = 10.0;
    inc.originY = 10.0;
    inc.offsetX = 0.5;
    tagGERBAR abs = inc;
    abs.absolute = 1;

    EXPECT_EQ(Point(inc, 12.0, 10.0), "X250*");
    EXPECT_EQ(Point(inc, 15.0, 13.0), "X300Y300*");
    EXPECT_EQ(Point(inc, 15.0, 13.0), "X0Y0*");
    EXPECT_EQ(Point(inc, 11.0, 9.0), "X-400Y-400*");

    EXPECT_EQ(Point(abs, 11.0, 9.0), "X150Y-100*"); // 250 + 300 - 400, 300 - 400
}

TEST(CamWriterTest, MirrorAndRotationOnlyWithTransform)
{
    tagGERBAR g = Settings();
    g.mirrorX = 1;
    EXPECT_EQ(Point(g, 5.0, 3.0), "X-5Y3*");
    EXPECT_EQ(Point(g, 5.0, 3.0, false), "X5Y3*");
    g.mirrorX = 0;
    g.mirrorY = 1;
    EXPECT_EQ(Drill(g, 5.0, 3.0), "X5Y-3*");

    g.mirrorY = 0;
    g.angle = std::numbers::pi / 2;
    EXPECT_EQ(Point(g, 5.0, 3.0), "X-3Y5*");
    EXPECT_EQ(Drill(g, 5.0, 3.0), "X-3Y5*");
    // The offset is added after the rotation.
    g.offsetX = 1.0;
    EXPECT_EQ(Point(g, 5.0, 3.0), "X-2Y5*");
}

TEST(CamWriterTest, ArcCentreByMode)
{
    struct Case
    {
        int mode;
        const char* block;
    };
    // Previous point (10, 0), end (0, 10), centre (0, 0), origin (1, 2), offset (3, 4).
    const Case cases[] = {
        {0, "X2Y12I-10J0*"}, // centre relative to the previous point
        {1, "X2Y12I2J2*"},   // centre with the origin removed and the offset added
        {2, "X2Y12I10J0*"},  // unsigned distances from the previous point
        {3, "X2Y12I0*"},     // the centre's x alone (the radius form)
    };
    for (const Case& c : cases) {
        tagGERBAR g = Settings();
        g.originX = 1.0;
        g.originY = 2.0;
        g.offsetX = 3.0;
        g.offsetY = 4.0;
        g.arcMode = c.mode;
        g.prevX = 10.0;
        g.mirrorX = 1; // arcs arrive transformed: no mirror here
        EXPECT_EQ(Arc(g, 0.0, 10.0, 0.0, 0.0), c.block) << "mode " << c.mode;
        EXPECT_DOUBLE_EQ(g.prevX, 0.0);
        EXPECT_DOUBLE_EQ(g.prevY, 10.0);
    }

    // Radius 5 in inches with unit factor 10000 and scale 2.
    tagGERBAR g = Settings();
    g.metric = 0;
    g.outputFactor = 10000.0;
    g.scale = 2.0;
    g.arcMode = 3;
    EXPECT_EQ(Arc(g, 12.7, 0.0, 5.08, 0.0), "X10000Y0I4000*");

    // Incremental end point, omitted when it did not move in that axis.
    g = Settings();
    g.absolute = 0;
    g.arcMode = 0;
    EXPECT_EQ(Point(g, 10.0, 0.0), "X10*");
    EXPECT_EQ(Arc(g, 0.0, 10.0, 0.0, 0.0), "X-10Y10I-10J0*");
    EXPECT_EQ(Arc(g, 0.0, 10.0, 0.0, 0.0), "I0J-10*");
}

TEST(CamWriterTest, DrillHitEndings)
{
    tagGERBAR g = Settings();
    g.hitType = 2;
    EXPECT_EQ(Drill(g, 1.0, 2.0), "X1Y2M05*");
    g.hitType = 3;
    EXPECT_EQ(Drill(g, 1.0, 2.0), "X1Y2*D03*");
    // With CR blocks both lines are kept.
    g.endOfBlock = '\r';
    EXPECT_EQ(Drill(g, 1.0, 2.0), "X1Y2\r\nD03\r\n");
    g.hitType = 1;
    EXPECT_EQ(Drill(g, 1.0, 2.0), "X1Y2\r\n");
}

TEST(CamWriterTest, OutputLineEndings)
{
    tagGERBAR g = Settings();
    EXPECT_EQ(Output("G54D10*", g), "G54D10*");
    g.lineBreak = 1;
    EXPECT_EQ(Output("G54D10*", g), "G54D10*\r\n");
    EXPECT_EQ(Output("%FSLAX23Y23*MOMM*%", g), "%FSLAX23Y23*\r\nMOMM*\r\n%");
    EXPECT_EQ(Point(g, 1.0, 2.0), "X1Y2*\r\n");

    g.lineBreak = 0;
    g.endOfBlock = '\r';
    EXPECT_EQ(Output("X10Y20\r", g), "X10Y20\r\n");
    EXPECT_EQ(Output("X10Y20\r\n", g), "X10Y20\r\n");
    EXPECT_EQ(Point(g, 10.0, 20.0), "X10Y20\r\n");
}

// Line breaks are put in place in the line's own buffer: the same text as a '*' followed by CR LF
// written out character by character, for random lines of stars, letters and line ends.
TEST(CamWriterTest, LineBreaksMatchTheCharacterByCharacterText)
{
    std::mt19937 random(7);
    const std::string alphabet = "**XY09\r\n%D";
    tagGERBAR g = Settings();
    g.lineBreak = 1;
    for (int i = 0; i < 500; ++i) {
        std::string line(random() % 40, ' ');
        for (char& c : line)
            c = alphabet[random() % alphabet.size()];
        std::string literal;
        for (const char c : line) {
            literal.push_back(c);
            if (c == '*')
                literal.append("\r\n");
        }
        EXPECT_EQ(Output(line, g), literal) << line;
    }
}

TEST(CamWriterTest, TapeCodeOutput)
{
    tagGERBAR g = Settings();
    g.codeType = 3;
    EXPECT_EQ(Output("X103 ", g), std::string("\xD8\xB1\x30\x33\x00", 5));
    // A character that no entry holds is left as it is.
    EXPECT_EQ(Output("x*", g), "x*");
    // The line break option applies to plain text only.
    g.lineBreak = 1;
    EXPECT_EQ(Output("G*", g), "\x47*");

    g.codeType = 1;
    g.endOfBlock = '\r';
    EXPECT_EQ(Point(g, 1.0, 2.0), "\xE7\xF1\xE8\xF2\x0D\x25");
    g.codeType = 2;
    EXPECT_EQ(Point(g, 1.0, 2.0), "\x37\x01\x38\x02\x80\xFF");
}

TEST(CamWriterTest, TapeCodeTables)
{
    EXPECT_EQ(kTapeCodeEbcdic[0x56], ')');
    EXPECT_EQ(kTapeCodeEbcdic[0xC9], 'I');
    EXPECT_EQ(kTapeCodeEbcdic[0xCA], ' ');
    EXPECT_EQ(kTapeCodeEbcdic[0xE2], 'S');
    EXPECT_EQ(kTapeCodeEbcdic[0xE9], 'Z');
    EXPECT_EQ(kTapeCodeEbcdic[0xF9], '9');
    EXPECT_EQ(kTapeCodeEbcdic[0x26], '\x17');
    EXPECT_EQ(kTapeCodeEia[0x5C], '\\');
    EXPECT_EQ(kTapeCodeEia[0x2A], '\b');
    EXPECT_EQ(kTapeCodeEia[0xFF], '\n');
    EXPECT_EQ(kTapeCodeIso[0xFF], '\x17');
    EXPECT_EQ(kTapeCodeIso[0x88], '\b');
    EXPECT_EQ(kTapeCodeIso[0x31], ' ');
    EXPECT_EQ(GetTapeCodeTable(0), nullptr);
    EXPECT_EQ(GetTapeCodeTable(4), nullptr);

    auto countOf = [](const TapeCodeTable& t) {
        int n = 0;
        for (char c : t)
            n += c != ' ';
        return n;
    };
    EXPECT_EQ(countOf(kTapeCodeEbcdic), 64);
    EXPECT_EQ(countOf(kTapeCodeEia), 48);
    EXPECT_EQ(countOf(kTapeCodeIso), 50);
}

TEST(CamWriterTest, InputCodes)
{
    tagGERBAR g = Settings();
    char plain[] = "x10y20*\0z";
    ConvertInputCode(plain, sizeof plain - 1, g);
    EXPECT_EQ(std::string(plain, sizeof plain - 1), std::string("X10Y20*\0z", 9));

    // Tape input turns back into the characters that the output wrote, byte by byte.
    for (int type = 1; type <= 3; ++type) {
        g.codeType = type;
        g.endOfBlock = '\r';
        std::string block = Point(g, 12.0, -3.0);
        ConvertInputCode(block.data(), block.size(), g);
        EXPECT_EQ(block, "X12Y-3\r\n") << "code type " << type;
    }
    g.codeType = 3;
    char tape[] = "\x00\xB1";
    ConvertInputCode(tape, 2, g);
    EXPECT_EQ(std::string(tape, 2), " 1");
}

} // namespace
