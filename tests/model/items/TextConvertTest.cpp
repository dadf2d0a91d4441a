// Texts converted into line items: stroke texts into the strokes of their turret, TrueType texts
// into closed hairline glyph outlines.

#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Fixed.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/TempStrokeFont.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::RequireArial;
constexpr double kPi = std::numbers::pi;
constexpr double kEps = 1e-9;

struct Seg
{
    double x1, y1, x2, y2;
};

std::vector<Seg> LinesOf(CSheet& sheet)
{
    std::vector<Seg> out;
    for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
        const CLine* line = sheet.GetNextLine(pos);
        out.push_back(
            {line->GetStartPoint().x, line->GetStartPoint().y, line->GetEndPoint().x, line->GetEndPoint().y});
    }
    return out;
}

void ExpectSegments(const std::vector<Seg>& got, const std::vector<Seg>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x1, want[i].x1, kEps) << "line " << i;
        EXPECT_NEAR(got[i].y1, want[i].y1, kEps) << "line " << i;
        EXPECT_NEAR(got[i].x2, want[i].x2, kEps) << "line " << i;
        EXPECT_NEAR(got[i].y2, want[i].y2, kEps) << "line " << i;
    }
}

// The same segments turned about a centre.
std::vector<Seg> Turned(std::vector<Seg> segs, const CDPoint& c, double angle)
{
    for (Seg& s : segs) {
        CDPoint a(s.x1, s.y1), b(s.x2, s.y2);
        a.Rotate(c, angle);
        b.Rotate(c, angle);
        s = {a.x, a.y, b.x, b.y};
    }
    return segs;
}

class TextConvertTest : public ::testing::Test
{
protected:
    TextConvertTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        platform::SetProfile(&profile);
    }
    ~TextConvertTest() override { platform::SetProfile(nullptr); }

    void SetUp() override { ASSERT_TRUE(strokeFont.Open("textconvert", testing_support::kStrokeFontA)); }
    void TearDown() override { strokeFont.Close(); }

    // A stroke text with 2 mm cells (1 mm for a single-byte character) and 0.5 mm spacing.
    static CText Stroke(const std::string& s, CDPoint at = CDPoint(10, 20))
    {
        CText t(s, at, 1);
        LOGFONTA lf;
        lf.lfHeight = 200;
        lf.lfWidth = 200;
        lf.lfWeight = 50;
        t.SetFontRecord(lf);
        t.SetID(0x4201);
        return t;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    testing_support::TempStrokeFont strokeFont;
};

// "A" at (10, 20): its cell starts half a spacing right of corner 0, and x and y steps are 1/32 of
// the 2 mm width and height.
const std::vector<Seg> kPlainA = {
    {10.3125, 20.0, 10.75, 22.0},
    {10.75, 22.0, 11.1875, 20.0},
    {10.5, 20.75, 11.0, 20.75},
};

TEST_F(TextConvertTest, StrokeLetterBecomesTheStrokesOfItsCommands)
{
    CText t = Stroke("A");
    // The measured size of one single-byte character: 1 mm wide plus 0.5 mm spacing, 2 mm high.
    EXPECT_NEAR(t.GetRect().cx, 1.5, kEps);
    EXPECT_NEAR(t.GetRect().cy, 2.0, kEps);

    CSheet sheet;
    EXPECT_EQ(t.ConvertLine(sheet), 1);
    ExpectSegments(LinesOf(sheet), kPlainA);
    for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
        const CLine* line = sheet.GetNextLine(pos);
        EXPECT_EQ(line->GetTurretNo(), 1);
        EXPECT_EQ(line->GetID(), 0x4201u);
        EXPECT_NEAR(line->GetLineWidth(), 0.2, kEps);
    }
    // Every stroke stays inside the measured frame.
    for (const Seg& s : LinesOf(sheet)) {
        EXPECT_GE(std::min(s.x1, s.x2), t.GetCorner(0).x);
        EXPECT_LE(std::max(s.x1, s.x2), t.GetCorner(2).x);
        EXPECT_GE(std::min(s.y1, s.y2), t.GetCorner(0).y);
        EXPECT_LE(std::max(s.y1, s.y2), t.GetCorner(2).y);
    }
}

TEST_F(TextConvertTest, StrokeTextPlacementMirrorAndRotation)
{
    // Mirrored about the frame's middle (x = 10.75): the cell runs leftward from corner 1.
    const std::vector<Seg> mirroredA = {
        {11.1875, 20.0, 10.75, 22.0},
        {10.75, 22.0, 10.3125, 20.0},
        {11.0, 20.75, 10.5, 20.75},
    };
    struct Case
    {
        const char* name;
        std::string text;
        bool mirrorBit;
        bool mirroredLayer;
        double angle;
        std::vector<Seg> want;
    };
    std::vector<Seg> twice = kPlainA;
    for (Seg s : kPlainA) // the second character one advance (1.5 mm) further, strokes reused
        twice.push_back({s.x1 + 1.5, s.y1, s.x2 + 1.5, s.y2});
    std::vector<Seg> afterMissing; // "BA": B has no strokes but still advances
    for (Seg s : kPlainA)
        afterMissing.push_back({s.x1 + 1.5, s.y1, s.x2 + 1.5, s.y2});
    std::vector<Seg> afterSpace; // " A": the space is never looked up and advances too
    for (Seg s : kPlainA)
        afterSpace.push_back({s.x1 + 1.5, s.y1, s.x2 + 1.5, s.y2});
    const Case cases[] = {
        {"plain", "A", false, false, 0.0, kPlainA},
        {"mirror bit", "A", true, false, 0.0, mirroredA},
        {"mirrored layer", "A", false, true, 0.0, mirroredA},
        {"mirror bit on a mirrored layer", "A", true, true, 0.0, kPlainA},
        {"turned 90 degrees", "A", false, false, kPi / 2, Turned(kPlainA, CDPoint(10, 20), kPi / 2)},
        {"turned 30 degrees", "A", false, false, kPi / 6, Turned(kPlainA, CDPoint(10, 20), kPi / 6)},
        {"repeated", "AA", false, false, 0.0, twice},
        {"missing character", "BA", false, false, 0.0, afterMissing},
        {"space", " A", false, false, 0.0, afterSpace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CText t = Stroke(c.text);
        if (c.mirrorBit)
            t.SetType(t.GetType() | TEXT_MIRROR);
        t.SetAngle(c.angle);
        CSheet sheet;
        tagLAYER layer;
        layer.mirror = c.mirroredLayer ? 1 : 0;
        sheet.SetLayer(layer);
        EXPECT_EQ(t.ConvertLine(sheet), 1);
        ExpectSegments(LinesOf(sheet), c.want);
    }
}

TEST_F(TextConvertTest, FrameAndOverlinesComeFirst)
{
    // "~A~": A overlined. Frame distance 0.3 mm, grown by that and half the 0.2 mm pen.
    CText t = Stroke("~A~");
    t.SetType(t.GetType() | TEXT_FRAME | (3 << TEXT_FRAME_DIST_SHIFT));
    CSheet sheet;
    EXPECT_EQ(t.ConvertLine(sheet), 1);
    std::vector<Seg> want = {
        {9.6, 19.6, 11.9, 19.6}, {11.9, 19.6, 11.9, 22.4}, {11.9, 22.4, 9.6, 22.4},
        {9.6, 22.4, 9.6, 19.6},  {10.0, 22.0, 11.5, 22.0}, // the overline along the top edge
    };
    want.insert(want.end(), kPlainA.begin(), kPlainA.end());
    ExpectSegments(LinesOf(sheet), want);

    // Mirrored, the overline runs leftward from corner 2.
    CText m = Stroke("A~A");
    m.SetType(m.GetType() | TEXT_MIRROR);
    CSheet mirrored;
    m.ConvertLine(mirrored);
    const std::vector<Seg> lines = LinesOf(mirrored);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_NEAR(lines[0].x1, 11.5, kEps); // corner 2 (13, 22) less the first run (1.5 mm)
    EXPECT_NEAR(lines[0].x2, 10.0, kEps);
    EXPECT_NEAR(lines[0].y1, 22.0, kEps);
}

TEST_F(TextConvertTest, HiddenOrEmptyTextsAddNothingButNotPrintableOnesConvert)
{
    CSheet sheet;
    CText hidden = Stroke("A");
    hidden.Disp(0);
    EXPECT_EQ(hidden.ConvertLine(sheet), 0);
    CText empty = Stroke("");
    EXPECT_EQ(empty.ConvertLine(sheet), 0);
    EXPECT_TRUE(sheet.IsEmpty());

    CText notPrinted = Stroke("A");
    notPrinted.Print(0);
    EXPECT_EQ(notPrinted.ConvertLine(sheet), 1);
    EXPECT_EQ(sheet.GetItemCount(), 3);
}

// Splits consecutive lines into closed loops: each line starts where the one before ended, and a
// loop ends with the line that returns to the loop's first point.
std::vector<std::vector<Seg>> Loops(const std::vector<Seg>& lines, std::string& fault)
{
    std::vector<std::vector<Seg>> loops;
    std::vector<Seg> current;
    const auto same = [](double ax, double ay, double bx, double by) {
        return std::abs(ax - bx) < 1e-9 && std::abs(ay - by) < 1e-9;
    };
    for (const Seg& s : lines) {
        if (!current.empty() && !same(current.back().x2, current.back().y2, s.x1, s.y1)) {
            fault = "a line does not start where the one before it ended";
            return loops;
        }
        current.push_back(s);
        if (same(s.x2, s.y2, current.front().x1, current.front().y1)) {
            loops.push_back(current);
            current.clear();
        }
    }
    if (!current.empty())
        fault = "the last loop is open";
    return loops;
}

TEST_F(TextConvertTest, TrueTypeLetterBecomesClosedHairlineOutlines)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText t("O", CDPoint(10, 20), 0);
    t.SetSize(200);
    t.SetID(0x77);
    const CDSize size = t.GetRect();
    t.GetBoundingRect();

    CSheet sheet;
    EXPECT_EQ(t.ConvertLine(sheet), 1);
    const std::vector<Seg> lines = LinesOf(sheet);
    std::string fault;
    const auto loops = Loops(lines, fault);
    EXPECT_EQ(fault, "");
    ASSERT_EQ(loops.size(), 2u); // the outer and the inner contour of the O
    for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
        const CLine* line = sheet.GetNextLine(pos);
        EXPECT_EQ(line->GetTurretNo(), 0);
        EXPECT_EQ(line->GetID(), 0x77u);
    }
    // Inside the measured frame, and filling most of it.
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const Seg& s : lines) {
        for (const auto& [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    EXPECT_GT(minX, 10.0);
    EXPECT_LT(maxX, 10.0 + size.cx);
    EXPECT_GT(minY, 20.0);
    EXPECT_LT(maxY, 22.0);
    EXPECT_GT(maxX - minX, 0.7 * size.cx);
    EXPECT_GT(maxY - minY, 1.2); // cap height of a 2 mm em
    // The inner loop lies inside the outer one.
    const auto box = [](const std::vector<Seg>& loop) {
        CDRect r(loop[0].x1, loop[0].y1, loop[0].x1, loop[0].y1);
        for (const Seg& s : loop) {
            r.left = std::min(r.left, s.x1);
            r.right = std::max(r.right, s.x1);
            r.top = std::min(r.top, s.y1);
            r.bottom = std::max(r.bottom, s.y1);
        }
        return r;
    };
    const CDRect a = box(loops[0]), b = box(loops[1]);
    const CDRect& outer = a.Width() > b.Width() ? a : b;
    const CDRect& inner = a.Width() > b.Width() ? b : a;
    EXPECT_GT(inner.left, outer.left);
    EXPECT_LT(inner.right, outer.right);
    EXPECT_GT(inner.top, outer.top);
    EXPECT_LT(inner.bottom, outer.bottom);
}

TEST_F(TextConvertTest, TrueTypeTextTurnedAndMirroredStaysInItsFrame)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    struct Case
    {
        double angle;
        bool mirror;
    };
    for (const Case c : {Case{0.0, true}, Case{kPi / 2, false}, Case{kPi / 6, true}}) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " mirror " << c.mirror);
        CText t("Fb", CDPoint(5, 5), 0);
        t.SetSize(300);
        t.SetOrign(TEXT_ORG_CENTER);
        t.SetAngle(c.angle);
        if (c.mirror)
            t.SetType(t.GetType() | TEXT_MIRROR);
        t.GetBoundingRect();
        CSheet sheet;
        ASSERT_EQ(t.ConvertLine(sheet), 1);
        ASSERT_FALSE(sheet.IsEmpty());
        // In the frame's own axes every point lies inside the frame.
        const CDPoint c0 = t.GetCorner(0);
        const double w = t.GetCorner(0).GetLength(t.GetCorner(1));
        double minU = 1e9, maxU = -1e9;
        for (const Seg& s : LinesOf(sheet)) {
            for (CDPoint p : {CDPoint(s.x1, s.y1), CDPoint(s.x2, s.y2)}) {
                p.Rotate(c0, -c.angle);
                EXPECT_GT(p.x, c0.x - 1e-6);
                EXPECT_LT(p.x, c0.x + w + 1e-6);
                EXPECT_GT(p.y, c0.y - 1e-6);
                EXPECT_LT(p.y, c0.y + 3.0 + 1e-6);
                minU = std::min(minU, p.x - c0.x);
                maxU = std::max(maxU, p.x - c0.x);
            }
        }
        // The F's stem: near the left edge upright, near the right edge mirrored.
        CSheet upright;
        CText plain("F", CDPoint(0, 0), 0);
        plain.SetSize(300);
        plain.ConvertLine(upright);
        double stem = 1e9;
        for (const Seg& s : LinesOf(upright))
            stem = std::min(stem, s.x1);
        if (c.mirror)
            EXPECT_NEAR(maxU, w - stem, 0.02);
        else
            EXPECT_NEAR(minU, stem, 0.02);
    }
}

TEST_F(TextConvertTest, GlyphPolygonsTakeTwoPointsPerQuadraticPiece)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText t("O", CDPoint(0, 0), 0);
    t.SetSize(200);
    const CTrueTypeFont font = t.GetMeasureFont();
    GLYPHMETRICS gm;
    TrueTypeOutline outline;
    ASSERT_TRUE(font.GetGlyphOutline('O', IdentityMat2(), gm, &outline));
    // One point for the start, one per line point and two per quadratic piece (a record of n
    // control points has n - 1 pieces); every point begins one edge (the last closes the polygon)
    // unless it repeats the point before.
    std::size_t points = 0;
    std::size_t pieces = 0;
    for (const TrueTypeContour& c : outline.contours) {
        ++points;
        for (const TrueTypeCurve& curve : c.curves) {
            if (curve.wType == TT_PRIM_QSPLINE) {
                points += 2 * (curve.apfx.size() - 1);
                pieces += curve.apfx.size() - 1;
            } else {
                points += curve.apfx.size();
            }
        }
    }
    ASSERT_GT(pieces, 8u); // an O is made of curves

    CSheet sheet;
    const double advance = t.MakeSurChar(&sheet, font, 'O', CDPoint(0, 2), 0.01, 0.8, 5);
    EXPECT_NEAR(advance, gm.gmCellIncX * 0.01, kEps);
    const std::vector<Seg> lines = LinesOf(sheet);
    EXPECT_LE(lines.size(), points);
    EXPECT_GE(lines.size() + outline.contours.size(), points); // at most one repeat per contour
    for (POSITION pos = sheet.GetFirstLinePos(); pos;)
        EXPECT_EQ(sheet.GetNextLine(pos)->GetTurretNo(), 5);

    // Each contour's start point is placed at corner + glyph point x scale, the baseline 0.8 of the
    // 2 mm size below the top.
    const CDPoint start(platform::FixedToDouble(outline.contours[0].pfxStart.x),
                        platform::FixedToDouble(outline.contours[0].pfxStart.y));
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines[0].x1, start.x * 0.01, kEps);
    EXPECT_NEAR(lines[0].y1, 2.0 + start.y * 0.01 - 1.6, kEps);

    // A space has no outline: no lines, but its advance.
    CSheet spaceSheet;
    EXPECT_GT(t.MakeSurChar(&spaceSheet, font, ' ', CDPoint(0, 2), 0.01, 0.8, 0), 0.0);
    EXPECT_TRUE(spaceSheet.IsEmpty());
}

TEST_F(TextConvertTest, GlyphOutlineMakesOneSurfaceWithBothContours)
{
    ASSERT_NO_FATAL_FAILURE(RequireArial());
    CText t("O", CDPoint(10, 20), 0);
    t.SetSize(200);
    t.GetBoundingRect();
    const CTrueTypeFont font = t.GetMeasureFont();
    const TEXTMETRICA& tm = font.GetTextMetrics();
    const double ascentRatio = static_cast<double>(tm.tmAscent) / (tm.tmAscent + tm.tmDescent);

    // The glyph built for output (turret 1) in its own sheet, then one surface made of it.
    CSheet glyph;
    t.MakeSurChar(&glyph, font, 'O', t.GetCorner(3), 0.01, ascentRatio, 1);
    const int lines = glyph.GetKindCount(KIND_LINE);
    ASSERT_GT(lines, 0);
    CSheet work;
    CSur* sur = work.NewSur(&glyph, true);
    ASSERT_NE(sur, nullptr);
    EXPECT_EQ(work.GetKindCount(KIND_SUR), 1);
    EXPECT_EQ(sur->GetLineCount(), lines); // both contours in the one outline
    EXPECT_EQ(sur->GetArcCount(), 0);
    EXPECT_EQ(sur->GetWndCount(), 0);
    EXPECT_EQ(sur->GetTurretNo(), 1);

    // The outline chains into two closed loops: the O and its counter.
    CItemBaseList chain;
    sur->CalcLineList(chain);
    int loops = 0;
    for (CItemBase* item : chain)
        loops += (item->GetType() & SUR_CHAIN_FIRST) != 0;
    sur->ResetModify();
    EXPECT_EQ(chain.GetCount(), lines);
    EXPECT_EQ(loops, 2);
}

} // namespace
