// Texts in photo-plot output and aperture usage: stroke texts as strokes laid out as in their
// conversion to lines, TrueType texts as glyph surfaces of turret 1.

#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"
#include "tests/support/TempStrokeFont.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using testing_support::RequireArial;
using Blocks = std::vector<std::string>;
using Usage = std::array<tagDCODE, TURRET_MAX + 1>;

class TextGerberTest : public ::testing::Test
{
protected:
    TextGerberTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.1, 0.0};
        doc.turretTable[4] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        platform::SetProfile(&profile);
    }
    ~TextGerberTest() override { platform::SetProfile(nullptr); }

    void SetUp() override { ASSERT_TRUE(strokeFont.Open("textgerber", testing_support::kStrokeFontA)); }
    void TearDown() override { strokeFont.Close(); }

    // A stroke text of turret 4: 2 mm cells (1 mm for a single-byte character), 0.5 mm spacing.
    static CText Stroke(const std::string& s, CDPoint at = CDPoint(10, 20))
    {
        CText t(s, at, 4);
        LOGFONTA lf;
        lf.lfHeight = 200;
        lf.lfWidth = 200;
        lf.lfWeight = 50;
        t.SetFontRecord(lf);
        return t;
    }

    // The blocks of the text's conversion to lines, each line written in turn.
    static Blocks ConvertedBlocks(CText& t, bool mirroredLayer)
    {
        CSheet sheet;
        tagLAYER layer = sheet.GetLayer();
        layer.mirror = mirroredLayer ? 1 : 0;
        sheet.SetLayer(layer);
        t.ConvertLine(sheet);
        GerberOutput out;
        for (POSITION pos = sheet.GetFirstLinePos(); pos;)
            sheet.GetNextLine(pos)->DataWriteGerbar(out.ar, out.g, false);
        return out.Blocks();
    }

    static Blocks Written(CText& t, bool mirror)
    {
        GerberOutput out;
        t.DataWriteGerbar(out.ar, out.g, mirror);
        return out.Blocks();
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    testing_support::TempStrokeFont strokeFont;
};

TEST_F(TextGerberTest, StrokeTextsAreWrittenAsTheirConversionLaysThemOut)
{
    struct Case
    {
        const char* name;
        std::string text;
        int extraType;
        double angle;
    };
    const Case cases[] = {
        {"plain", "AA", 0, 0.0},
        {"overline and frame", "~A~A", TEXT_FRAME | (3 << TEXT_FRAME_DIST_SHIFT), 0.0},
        {"turned", "A A", TEXT_FRAME, std::numbers::pi / 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CText t = Stroke(c.text);
        t.SetType(t.GetType() | c.extraType);
        t.SetAngle(c.angle);
        const Blocks written = Written(t, false);
        EXPECT_EQ(written, ConvertedBlocks(t, false));
        EXPECT_EQ(written.front(), "G54D14");
        // Mirrored by the argument: as converted on a mirrored layer.
        EXPECT_EQ(Written(t, true), ConvertedBlocks(t, true));
    }
    // A text that is mirrored itself and written mirrored comes out unmirrored.
    CText plain = Stroke("A");
    CText own = Stroke("A");
    own.SetType(own.GetType() | TEXT_MIRROR);
    EXPECT_EQ(Written(own, true), Written(plain, false));
    EXPECT_NE(Written(own, false), Written(plain, false));
}

TEST_F(TextGerberTest, HiddenNotPrintableAndEmptyTextsWriteAndCountNothing)
{
    CText hidden = Stroke("A");
    hidden.Disp(0);
    CText unprinted = Stroke("A");
    unprinted.SetType(unprinted.GetType() | TEXT_FRAME);
    unprinted.Print(0);
    CText empty = Stroke("~~");
    for (CText* t : {&hidden, &unprinted, &empty}) {
        EXPECT_EQ(Written(*t, false), Blocks{});
        Usage table{};
        t->CheckTurret(table.data());
        EXPECT_EQ(table[4].drawCount, 0);
    }
    // The conversion still converts a text that is not printed.
    CSheet sheet;
    EXPECT_EQ(unprinted.ConvertLine(sheet), 1);
    EXPECT_GT(sheet.GetCount(0), 0);
}

TEST_F(TextGerberTest, StrokeUsageCountsFrameAndStrokesInCellsOfTheFullAdvance)
{
    // The usage cell of "A" is 2.5 mm wide (width + spacing) and 2 mm high: x steps of 2.5/32.
    const double slant = std::hypot(7 * 2.5 / 32, 2.0);
    const double perChar = 2 * slant + 8 * 2.5 / 32;
    CText t = Stroke("AxA"); // "x" has no strokes
    t.SetType(t.GetType() | TEXT_FRAME);
    t.SetAngle(1.0); // lengths do not depend on the angle or the mirroring
    t.SetType(t.GetType() | TEXT_MIRROR);
    Usage table{};
    t.CheckTurret(table.data());
    EXPECT_EQ(table[4].drawCount, 4 + 2 * 3);
    EXPECT_NEAR(table[4].drawnLength, 2 * perChar, 1e-12);
    EXPECT_EQ(table[4].flashCount, 0);

    // A turret beyond the table counts nothing.
    CText odd = Stroke("A");
    odd.SetTurretNo(125, false);
    Usage none{};
    odd.CheckTurret(none.data());
    for (const tagDCODE& entry : none)
        EXPECT_EQ(entry.drawCount, 0);
}

TEST_F(TextGerberTest, TrueTypeGlyphsAreSurfacesOfTurretOne)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText t("O", CDPoint(10, 20), 0);
    t.SetSize(200);
    t.SetType(t.GetType() | TEXT_FRAME);
    t.SetTurretNo(4, false); // the frame's pen
    t.GetBoundingRect();

    const Blocks blocks = Written(t, false);
    Blocks selects;
    for (const std::string& b : blocks)
        if (b.rfind("G54D", 0) == 0)
            selects.push_back(b);
    EXPECT_EQ(selects, (Blocks{"G54D14", "G54D11"})); // the frame, then the glyph
    EXPECT_GT(blocks.size(), 60u);                    // outline and hatch of the O

    Usage table{};
    t.CheckTurret(table.data());
    EXPECT_EQ(table[4].drawCount, 4);
    EXPECT_EQ(table[4].drawnLength, 0.0);
    // The glyph's outline edges and its hatch lines.
    CSheet outline;
    CText hairline(t);
    hairline.SetType(hairline.GetType() & ~TEXT_FRAME);
    ASSERT_EQ(hairline.ConvertLine(outline), 1);
    EXPECT_GT(table[1].drawCount, outline.GetCount(0));
    double perimeter = 0.0;
    for (POSITION pos = outline.GetFirstLinePos(); pos;)
        perimeter += outline.GetNextLine(pos)->GetLength();
    EXPECT_GT(table[1].drawnLength, perimeter);

    // Turned and mirrored, the glyph's strokes stay inside the text's frame.
    CText turned("O", CDPoint(10, 20), 0);
    turned.SetSize(200);
    turned.SetAngle(std::numbers::pi / 6);
    const CDRect box = turned.GetBoundingRect();
    for (const bool mirror : {false, true}) {
        int points = 0;
        for (const std::string& b : Written(turned, mirror)) {
            const std::size_t x = b.find('X');
            const std::size_t y = b.find('Y');
            if (x == std::string::npos || y == std::string::npos || b.find('I') != std::string::npos)
                continue;
            const double px = std::stoi(b.substr(x + 1, y - x - 1)) / 1000.0;
            const double py = std::stoi(b.substr(y + 1)) / 1000.0;
            EXPECT_GE(px, box.left - 0.01) << b;
            EXPECT_LE(px, box.right + 0.01) << b;
            EXPECT_GE(py, box.top - 0.01) << b;
            EXPECT_LE(py, box.bottom + 0.01) << b;
            ++points;
        }
        EXPECT_GT(points, 40) << mirror;
    }
}

} // namespace
