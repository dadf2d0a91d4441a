// Text drawing on the recording context: stroke characters in every mode, frames, overlines,
// mirroring and printing; TrueType texts as text output and as glyph-outline paths.

#include "model/items/Text.h"
#include "model/startup/Startup.h"
#include "model/text/TrueTypeFont.h"
#include "platform/J.h"
#include "platform/Profile.h"
#include "platform/RecordingDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/TempStrokeFont.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

using platform::RecordingDrawContext;
using testing_support::RequireArial;
using Kind = RecordingDrawContext::Kind;

constexpr double kPi = std::numbers::pi;

// '-' across the middle of a single-byte cell: move to x 0, move to y 16, draw to x 16.
const std::string kStrokesDash = " \xB0P";

class TextDrawTest : public ::testing::Test
{
protected:
    TextDrawTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 0.25, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.03, 0.0}; // 3 device units at scale 100
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        // One logical unit per device unit, y upward.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(1, 1));
        dc.SetViewportExt(CSize(1, -1));
        dc.SelectPen(platform::Pen(PS_SOLID, 0, RGB(0, 0, 255)));
        dc.ClearCalls();
    }
    ~TextDrawTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    void SetUp() override
    {
        ASSERT_TRUE(strokeFont.Open("textdraw", std::string("2D   ") + kStrokesDash + "\n"));
    }
    void TearDown() override { strokeFont.Close(); }

    // A stroke text at (10, 20) with 2 mm cells (1 mm for a single-byte character) and 0.5 mm
    // spacing: "-" is a stroke from (10.25, 21) to (11.25, 21).
    static CText Stroke(const std::string& s, int turret = 1)
    {
        CText t(s, CDPoint(10, 20), turret);
        LOGFONTA lf;
        lf.lfHeight = 200;
        lf.lfWidth = 200;
        lf.lfWeight = 50;
        t.SetFontRecord(lf);
        return t;
    }

    std::string Draw(CText& t, int mode)
    {
        dc.ClearCalls();
        t.DrawTextA(&dc, mode);
        EXPECT_EQ(dc.GetPen(), platform::Pen(PS_SOLID, 0, RGB(0, 0, 255)));
        EXPECT_EQ(dc.GetBrush(), platform::StockBrush(WHITE_BRUSH));
        EXPECT_FALSE(dc.InPath());
        return dc.Dump();
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    RecordingDrawContext dc;
    testing_support::TempStrokeFont strokeFont;
    int m_scale = 0;
};

TEST_F(TextDrawTest, StrokeSegmentInEveryMode)
{
    struct Case
    {
        int mode;
        int turret;
        const char* calls;
    };
    const Case cases[] = {
        {1, 1, "MoveTo(1025,2100)\nLineTo(1125,2100)\n"},
        // Round pen, outlined: the two sides at 0.125 mm, then a half circle round each end
        // (counter-clockwise on this y-up mapping).
        {2, 1,
         "MoveTo(1025,2112)\nLineTo(1125,2112)\nMoveTo(1125,2087)\nLineTo(1025,2087)\n"
         "Arc(1112,2087,1137,2112; (1125,2087) (1125,2112))\nArc(1012,2087,1037,2112; (1025,2112) "
         "(1025,2087))\n"},
        {8, 1,
         "MoveTo(1025,2112)\nLineTo(1125,2112)\nMoveTo(1125,2087)\nLineTo(1025,2087)\n"
         "Arc(1112,2087,1137,2112; (1125,2087) (1125,2112))\nArc(1012,2087,1037,2112; (1025,2112) "
         "(1025,2087))\n"},
        // Square pen, outlined: the rectangle reaching 0.125 mm past both ends.
        {2, 2, "Polyline((1012,2112) (1137,2112) (1137,2087) (1012,2087) (1012,2112))\n"},
        // Solid: a geometric pen 2 x trunc(0.125 x 100) wide, round or square caps.
        {4, 1,
         "SelectPen(style=0x10006, width=24, RGB(0,0,255))\nBeginPath()\nMoveTo(1025,2100)\n"
         "LineTo(1125,2100)\nEndPath()\nStrokePath()\nSelectPen(style=0x0, width=0, RGB(0,0,255))\n"},
        {4, 2,
         "SelectPen(style=0x10106, width=24, RGB(0,0,255))\nBeginPath()\nMoveTo(1025,2100)\n"
         "LineTo(1125,2100)\nEndPath()\nStrokePath()\nSelectPen(style=0x0, width=0, RGB(0,0,255))\n"},
        // A pen narrower than 4 device units draws hairlines in every mode.
        {2, 3, "MoveTo(1025,2100)\nLineTo(1125,2100)\n"},
        {4, 3, "MoveTo(1025,2100)\nLineTo(1125,2100)\n"},
        // Other modes draw no segment.
        {16, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " turret " << c.turret);
        CText t = Stroke("-", c.turret);
        EXPECT_EQ(Draw(t, c.mode), c.calls);
    }
}

TEST_F(TextDrawTest, StrokeCharactersAdvanceAndMirror)
{
    struct Case
    {
        const char* name;
        std::string text;
        int mode;
        bool mirrorBit;
        const char* calls;
    };
    const Case cases[] = {
        // A character without strokes still advances by its width and spacing (1.5 mm).
        {"missing character", "A-", 1, false, "MoveTo(1175,2100)\nLineTo(1275,2100)\n"},
        {"space", " -", 1, false, "MoveTo(1175,2100)\nLineTo(1275,2100)\n"},
        {"repeated", "--", 1, false,
         "MoveTo(1025,2100)\nLineTo(1125,2100)\nMoveTo(1175,2100)\nLineTo(1275,2100)\n"},
        // Mirrored by the view: the cell runs leftward from corner 1 less half a spacing.
        {"mirrored by the view", "-", 0x81, false, "MoveTo(1125,2100)\nLineTo(1025,2100)\n"},
        {"mirror bit", "-", 1, true, "MoveTo(1125,2100)\nLineTo(1025,2100)\n"},
        {"mirrored twice", "-", 0x81, true, "MoveTo(1025,2100)\nLineTo(1125,2100)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CText t = Stroke(c.text);
        if (c.mirrorBit)
            t.SetType(t.GetType() | TEXT_MIRROR);
        EXPECT_EQ(Draw(t, c.mode), c.calls);
    }

    // Turned a quarter about its position: the stroke runs upward from (10, 20.25).
    CText turned = Stroke("-");
    turned.SetAngle(kPi / 2);
    EXPECT_EQ(Draw(turned, 1), "MoveTo(900,2025)\nLineTo(900,2125)\n");
}

TEST_F(TextDrawTest, FrameOverlineAndNotPrintableMark)
{
    // Frame at 0.3 mm plus half the pen: corners (9.575, 19.575) and (11.925, 22.425).
    CText framed = Stroke("-");
    framed.SetType(framed.GetType() | TEXT_FRAME | (3 << TEXT_FRAME_DIST_SHIFT));
    EXPECT_EQ(Draw(framed, 1), "MoveTo(957,1957)\nLineTo(1192,1957)\n"
                               "MoveTo(1192,1957)\nLineTo(1192,2242)\n"
                               "MoveTo(1192,2242)\nLineTo(957,2242)\n"
                               "MoveTo(957,2242)\nLineTo(957,1957)\n"
                               "MoveTo(1025,2100)\nLineTo(1125,2100)\n");

    // The overline of "~-~" is a line of the text's turret along the top edge.
    CText over = Stroke("~-~");
    EXPECT_EQ(Draw(over, 1), "MoveTo(1000,2200)\nLineTo(1150,2200)\nMoveTo(1025,2100)\nLineTo(1125,2100)\n");

    // Not printable: a line through the middle on screen, nothing on paper.
    CText hidden = Stroke("-");
    hidden.Print(0);
    EXPECT_EQ(Draw(hidden, 1),
              "MoveTo(1000,2100)\nLineTo(1150,2100)\nMoveTo(1025,2100)\nLineTo(1125,2100)\n");
    dc.SetPrinting(true);
    EXPECT_EQ(Draw(hidden, 1), "");
    CText printable = Stroke("-");
    EXPECT_NE(Draw(printable, 1), "");
    dc.SetPrinting(false);

    // Hidden, empty or outside the visible area: nothing.
    CText gone = Stroke("-");
    gone.Disp(0);
    EXPECT_EQ(Draw(gone, 1), "");
    CText empty = Stroke("");
    EXPECT_EQ(Draw(empty, 1), "");
    dc.SetClipBox(CRect(0, 0, 500, 500));
    CText far = Stroke("-");
    EXPECT_EQ(Draw(far, 1), "");
}

// --- TrueType ---

TEST_F(TextDrawTest, TrueTypeTextOutputOnTheBaseline)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText t("AB", CDPoint(10, 20), 0);
    t.SetSize(200);
    // Mode 2 without bit 0 becomes mode 1: a light font at the scaled height, written on the
    // baseline, which lies the descent above corner 0.
    const int descent = CTrueTypeFont([] {
                            LOGFONTA lf;
                            lf.SetFaceName("Arial");
                            lf.lfHeight = -200;
                            return lf;
                        }())
                            .GetTextMetrics()
                            .tmDescent;
    ASSERT_GT(descent, 30);
    const std::string calls = Draw(t, 2);
    EXPECT_EQ(calls,
              "SelectFont(\"Arial\", height=-200, width=0, escapement=0, orientation=0, weight=100, "
              "italic=0, underline=0, strikeout=0, charset=0, out=4, clip=0x10, quality=2, pitch=0x20)\n"
              "SetTextAlign(24)\nTextOut(1000," +
                  std::to_string(CDPoint(10, 20 + descent / 100.0).IntPoint().y) +
                  ", \"AB\")\nSetTextAlign(0)\n"
                  "SelectFont(\"\", height=0, width=0, escapement=0, orientation=0, weight=0, italic=0, "
                  "underline=0, strikeout=0, charset=0, out=0, clip=0x0, quality=0, pitch=0x0)\n");
    // The stored font record is not touched by drawing.
    EXPECT_EQ(t.GetFont()->lfHeight, 0);
}

TEST_F(TextDrawTest, TrueTypeEscapementAndHeight)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    const auto font = [&](CText& t, int mode) {
        dc.ClearCalls();
        t.DrawTextA(&dc, mode);
        const auto fonts = dc.CallsOf(Kind::SelectFont);
        EXPECT_EQ(fonts.size(), 2u);
        return fonts.empty() ? RecordingDrawContext::Call{} : fonts.front();
    };
    CText t("AB", CDPoint(10, 20), 0);
    t.SetSize(200);
    t.SetAngle(30.0 * kPi / 180.0);
    EXPECT_EQ(font(t, 1).args[2], 3300); // 360 - 30 degrees, in tenths
    EXPECT_EQ(font(t, 8).args[2], 3300);
    EXPECT_EQ(font(t, 8).args[4], FW_THIN); // without bit 0 TrueType texts draw in mode 1

    // A metafile of the fixed English mapping turns escapements the other way, unless printing
    // or the profile says that bug is gone.
    dc.SetMapMode(MM_HIENGLISH);
    EXPECT_EQ(font(t, 1).args[2], 300);
    profile.SetInt("FileSave", "EMFTextBUG", 1);
    EXPECT_EQ(font(t, 1).args[2], 3300);
    profile.SetInt("FileSave", "EMFTextBUG", 0);
    dc.SetPrinting(true);
    EXPECT_EQ(font(t, 1).args[2], 3300);
    dc.SetPrinting(false);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(CSize(1, 1));
    dc.SetViewportExt(CSize(1, -1));

    // The height follows the coordinate scale; mirrored texts keep the size itself.
    CDPoint::SetScale(50);
    t.SetAngle(0.0);
    EXPECT_EQ(font(t, 1).args[0], -100);
    EXPECT_EQ(font(t, 1).args[2], 0);
    t.SetType(t.GetType() | TEXT_MIRROR);
    EXPECT_EQ(font(t, 1).args[0], -200);
    EXPECT_EQ(font(t, 1).args[2], 0);

    // A Japanese string takes the Japanese default face.
    CText j(_J("日本"), CDPoint(10, 20), 0);
    j.SetSize(200);
    const auto call = font(j, 1);
    EXPECT_EQ(call.text, _J("ＭＳ ゴシック"));
    EXPECT_EQ(call.args[8], SHIFTJIS_CHARSET);
}

// The points of the path's figures: each MoveTo starts one.
std::vector<std::vector<CPoint>> Figures(const RecordingDrawContext& dc)
{
    std::vector<std::vector<CPoint>> figures;
    for (const auto& c : dc.Calls()) {
        if (c.kind == Kind::MoveTo)
            figures.emplace_back();
        if ((c.kind == Kind::MoveTo || c.kind == Kind::LineTo) && !figures.empty())
            figures.back().emplace_back(static_cast<int>(c.args[0]), static_cast<int>(c.args[1]));
    }
    return figures;
}

TEST_F(TextDrawTest, TrueTypeGlyphOutlinePaths)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    struct Case
    {
        int mode;
        bool mirror;
        Kind use;
    };
    for (const Case c : {Case{3, false, Kind::StrokePath}, Case{5, false, Kind::FillPath},
                         Case{1, true, Kind::StrokeAndFillPath}, Case{3, true, Kind::StrokePath}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " mirror " << c.mirror);
        CText t("O", CDPoint(10, 20), 0);
        t.SetSize(200);
        if (c.mirror)
            t.SetType(t.GetType() | TEXT_MIRROR);
        Draw(t, c.mode);
        // A solid brush in the pen's colour for the path, then the path used once.
        const auto brushes = dc.CallsOf(Kind::SelectBrush);
        ASSERT_EQ(brushes.size(), 2u);
        EXPECT_EQ(brushes[0].args, (std::vector<std::int64_t>{BS_SOLID, RGB(0, 0, 255)}));
        EXPECT_EQ(dc.Count(Kind::BeginPath), 1u);
        EXPECT_EQ(dc.Count(Kind::EndPath), 1u);
        EXPECT_EQ(dc.Count(c.use), 1u);
        EXPECT_EQ(dc.Count(Kind::TextOut), 0u);
        // The O's two contours, each closed, inside the text's frame (in hundredths).
        const auto figures = Figures(dc);
        ASSERT_EQ(figures.size(), 2u);
        const CDRect r = t.GetBoundingRect();
        for (const auto& f : figures) {
            EXPECT_EQ(f.front(), f.back());
            EXPECT_GT(f.size(), 16u);
            for (const CPoint& p : f) {
                EXPECT_GE(p.x, static_cast<int>(r.left * 100) - 1);
                EXPECT_LE(p.x, static_cast<int>(r.right * 100) + 1);
                EXPECT_GE(p.y, static_cast<int>(r.top * 100) - 1);
                EXPECT_LE(p.y, static_cast<int>(r.bottom * 100) + 1);
            }
        }
    }
}

TEST_F(TextDrawTest, TurnedGlyphsFollowTheAngle)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText upright("L", CDPoint(10, 20), 0);
    upright.SetSize(200);
    Draw(upright, 3);
    const auto flat = Figures(dc);
    CText turned = upright;
    turned.SetAngle(kPi / 2);
    Draw(turned, 3);
    const auto up = Figures(dc);
    ASSERT_EQ(flat.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    // Every point of the upright L turned a quarter about the position, within a unit or two of
    // hinting.
    ASSERT_EQ(flat[0].size(), up[0].size());
    for (std::size_t i = 0; i < flat[0].size(); ++i) {
        const CPoint& a = flat[0][i];
        const CPoint& b = up[0][i];
        EXPECT_NEAR(b.x, 1000 - (a.y - 2000), 2) << i;
        EXPECT_NEAR(b.y, 2000 + (a.x - 1000), 2) << i;
    }
}

// With y upward, a turned text turns counter-clockwise about its position like its frame: each
// glyph outline point, and each character's place along the advance, is the upright text's point
// turned about the position; a mirrored text too.
TEST_F(TextDrawTest, TurnedGlyphPathsTurnCounterClockwiseAboutThePosition)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    struct Case
    {
        double degrees;
        bool mirror;
    };
    for (const Case c : {Case{30, false}, Case{90, false}, Case{30, true}, Case{90, true}}) {
        SCOPED_TRACE(testing::Message() << c.degrees << " degrees, mirror " << c.mirror);
        CText upright("LT", CDPoint(10, 20), 0);
        upright.SetSize(200);
        if (c.mirror)
            upright.SetType(upright.GetType() | TEXT_MIRROR);
        Draw(upright, 3);
        const auto flat = Figures(dc);
        CText turned = upright;
        const double a = c.degrees * kPi / 180.0;
        turned.SetAngle(a);
        Draw(turned, 3);
        const auto figures = Figures(dc);
        ASSERT_EQ(flat.size(), 2u);
        ASSERT_EQ(figures.size(), flat.size());
        for (std::size_t f = 0; f < flat.size(); ++f) {
            ASSERT_EQ(figures[f].size(), flat[f].size());
            for (std::size_t i = 0; i < flat[f].size(); ++i) {
                const double dx = flat[f][i].x - 1000;
                const double dy = flat[f][i].y - 2000;
                EXPECT_NEAR(figures[f][i].x, 1000 + dx * std::cos(a) - dy * std::sin(a), 2) << f << " " << i;
                EXPECT_NEAR(figures[f][i].y, 2000 + dx * std::sin(a) + dy * std::cos(a), 2) << f << " " << i;
            }
        }
    }
}

// Text output of a turned text: the escapement counts the angle clockwise (it is read against the
// y-up mapping's handedness), and the baseline lies the descent from corner 0 toward the turned
// frame's top.
TEST_F(TextDrawTest, TurnedTextOutputStartsOnTheTurnedBaseline)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    LOGFONTA lf;
    lf.SetFaceName("Arial");
    lf.lfHeight = -200;
    const double descent = CTrueTypeFont(lf).GetTextMetrics().tmDescent / 100.0;
    struct Case
    {
        double degrees;
        int escapement;
    };
    for (const Case c : {Case{30, 3300}, Case{90, 2700}}) {
        SCOPED_TRACE(c.degrees);
        CText t("AB", CDPoint(10, 20), 0);
        t.SetSize(200);
        const double a = c.degrees * kPi / 180.0;
        t.SetAngle(a);
        Draw(t, 1);
        const auto fonts = dc.CallsOf(Kind::SelectFont);
        ASSERT_EQ(fonts.size(), 2u);
        EXPECT_EQ(fonts[0].args[2], c.escapement);
        EXPECT_EQ(fonts[0].args[10], CLIP_LH_ANGLES);
        const auto out = dc.CallsOf(Kind::TextOut);
        ASSERT_EQ(out.size(), 1u);
        // Corner 0 is the position (origin bottom left); the top of the frame lies toward
        // a + 90 degrees.
        EXPECT_NEAR(out[0].args[0], (10 - descent * std::sin(a)) * 100, 1);
        EXPECT_NEAR(out[0].args[1], (20 + descent * std::cos(a)) * 100, 1);
    }
}

TEST_F(TextDrawTest, GlyphPointsInTheBlackBox)
{
    GLYPHMETRICS gm;
    gm.gmBlackBoxX = 10;
    gm.gmBlackBoxY = 20;
    gm.gmptGlyphOrigin = CPoint(2, 18);
    POINTFX p;
    p.x = FIXED{0x8000, 5}; // 5.5
    p.y = FIXED{0, 3};
    CDPoint out;
    CText::FromGGOPoint(&out, p, gm, false);
    EXPECT_DOUBLE_EQ(out.x, 3.5);
    EXPECT_DOUBLE_EQ(out.y, -15.0);
    CText::FromGGOPoint(&out, p, gm, true);
    EXPECT_DOUBLE_EQ(out.x, 6.5); // the same distance from the box's right edge
    EXPECT_DOUBLE_EQ(out.y, -15.0);
}

} // namespace
