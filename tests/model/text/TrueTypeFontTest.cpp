#include "model/text/TrueTypeFont.h"

#include "model/text/TrueTypeFaces.h"
#include "platform/Fixed.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using platform::FixedToDouble;
using platform::FixedToLong;

void RequireFace(const char* family, const char* package)
{
    const TrueTypeFaceChoice& c = CTrueTypeFaces::Instance().Resolve(family, ANSI_CHARSET, FW_NORMAL, false);
    ASSERT_TRUE(c.face && c.face->family == family)
        << "the face " << family << " is not installed (Debian package " << package << ")";
}

LOGFONTA Request(const std::string& face, std::int32_t height, int charSet = ANSI_CHARSET,
                 int weight = FW_NORMAL, bool italic = false)
{
    LOGFONTA lf;
    lf.SetFaceName(face);
    lf.lfHeight = height;
    lf.lfCharSet = static_cast<std::uint8_t>(charSet);
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    return lf;
}

CTrueTypeFont Arial(std::int32_t height)
{
    return CTrueTypeFont(Request("Arial", height));
}
CTrueTypeFont Gothic(std::int32_t height, int weight = FW_NORMAL, bool italic = false)
{
    return CTrueTypeFont(Request(_J("ＭＳ ゴシック"), height, SHIFTJIS_CHARSET, weight, italic));
}

unsigned Code(const std::string& cp932)
{
    return cp932.size() == 2
               ? unsigned(static_cast<unsigned char>(cp932[0])) << 8 | static_cast<unsigned char>(cp932[1])
               : static_cast<unsigned char>(cp932[0]);
}

std::vector<POINTFX> Points(const TrueTypeOutline& o)
{
    std::vector<POINTFX> points;
    for (const TrueTypeContour& c : o.contours) {
        points.push_back(c.pfxStart);
        for (const TrueTypeCurve& curve : c.curves)
            points.insert(points.end(), curve.apfx.begin(), curve.apfx.end());
    }
    return points;
}

// The form every outline keeps: records of the two kinds, never empty, and every point inside the
// black box.
void ExpectNativeForm(const TrueTypeOutline& o, const GLYPHMETRICS& gm)
{
    for (const TrueTypeContour& c : o.contours) {
        ASSERT_FALSE(c.curves.empty());
        for (const TrueTypeCurve& curve : c.curves) {
            ASSERT_TRUE(curve.wType == TT_PRIM_LINE || curve.wType == TT_PRIM_QSPLINE);
            EXPECT_GE(curve.apfx.size(), curve.wType == TT_PRIM_LINE ? 1u : 2u);
        }
    }
    const double left = gm.gmptGlyphOrigin.x, top = gm.gmptGlyphOrigin.y;
    for (const POINTFX& p : Points(o)) {
        EXPECT_GE(FixedToDouble(p.x), left);
        EXPECT_LE(FixedToDouble(p.x), left + gm.gmBlackBoxX);
        EXPECT_LE(FixedToDouble(p.y), top);
        EXPECT_GE(FixedToDouble(p.y), top - double(gm.gmBlackBoxY));
    }
}

class TrueTypeFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(RequireFace("Liberation Sans", "fonts-liberation2"));
        ASSERT_NO_FATAL_FAILURE(RequireFace("IPAGothic", "fonts-ipafont-gothic"));
    }
};

} // namespace

TEST_F(TrueTypeFontTest, LatinAdvancesAndExtents)
{
    const CTrueTypeFont f = Arial(-200);
    ASSERT_TRUE(f.IsValid());
    EXPECT_EQ(f.GetFamilyName(), "Liberation Sans");
    EXPECT_EQ(f.GetEmHeight(), 200);
    // Measured with FreeType 2.12 and Liberation 2.1; the relations below hold for any version.
    EXPECT_EQ(f.GetCharAdvance('A'), 133);
    EXPECT_EQ(f.GetCharAdvance('W'), 189);
    EXPECT_LT(f.GetCharAdvance('i'), f.GetCharAdvance('W'));
    EXPECT_GT(f.GetCharAdvance(' '), 0);

    const TEXTMETRICA& tm = f.GetTextMetrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 200);
    EXPECT_GT(tm.tmInternalLeading, 0);

    const CSize ab = f.GetTextExtent("AB");
    EXPECT_EQ(ab.cx, f.GetCharAdvance('A') + f.GetCharAdvance('B'));
    EXPECT_EQ(ab.cy, tm.tmHeight);
    EXPECT_EQ(f.GetTextExtent("").cx, 0);

    // Twice the em, twice the advance within a pixel.
    EXPECT_NEAR(Arial(-400).GetCharAdvance('A'), 2 * f.GetCharAdvance('A'), 1);
}

TEST_F(TrueTypeFontTest, FullWidthCharactersAdvanceOneEm)
{
    for (const int em : {12, 37, 200, 1000}) {
        SCOPED_TRACE(em);
        const CTrueTypeFont f = Gothic(-em);
        EXPECT_EQ(f.GetFamilyName(), "IPAGothic");
        EXPECT_EQ(f.GetCharAdvance(Code(_J("漢"))), em);
        EXPECT_EQ(f.GetCharAdvance(Code(_J("あ"))), em);
        EXPECT_EQ(f.GetTextExtent(_J("漢字")).cx, 2 * em);
        if (em % 2 == 0) {
            EXPECT_EQ(f.GetCharAdvance('A'), em / 2);
            EXPECT_EQ(f.GetCharAdvance(Code(_J("ｱ"))), em / 2);
        }
    }
}

TEST_F(TrueTypeFontTest, CharactersAFaceLacksComeFromTheGothicFace)
{
    const CTrueTypeFont f = Arial(-200);
    EXPECT_EQ(f.GetCharAdvance(Code(_J("漢"))), 200);
    GLYPHMETRICS gm;
    TrueTypeOutline o;
    ASSERT_TRUE(f.GetGlyphOutline(Code(_J("漢")), IdentityMat2(), gm, &o));
    EXPECT_GE(o.contours.size(), 2u);
    EXPECT_EQ(f.GetTextExtent(_J("A漢")).cx, f.GetCharAdvance('A') + 200);
}

TEST_F(TrueTypeFontTest, PositiveHeightIsTheCellHeight)
{
    const int cell = Arial(-200).GetTextMetrics().tmHeight;
    const CTrueTypeFont f = Arial(cell);
    EXPECT_EQ(f.GetEmHeight(), 200);
    EXPECT_EQ(f.GetTextMetrics().tmHeight, cell);
    EXPECT_NEAR(Arial(0).GetTextMetrics().tmHeight, 16, 1);
}

TEST_F(TrueTypeFontTest, CodesWithoutACharacterMeasureAsTheMissingGlyph)
{
    const CTrueTypeFont f = Arial(-200);
    for (const unsigned code : {0x80u, 0xA0u, 0xFDu, 0xFFu, 0x85A0u}) {
        GLYPHMETRICS gm;
        EXPECT_TRUE(f.GetGlyphMetrics(code, gm)) << code;
        EXPECT_GE(gm.gmCellIncX, 0);
    }
}

TEST_F(TrueTypeFontTest, SpaceHasNoOutlineButAdvances)
{
    GLYPHMETRICS gm;
    TrueTypeOutline o;
    ASSERT_TRUE(Arial(-200).GetGlyphOutline(' ', IdentityMat2(), gm, &o));
    EXPECT_TRUE(o.contours.empty());
    EXPECT_EQ(gm.gmBlackBoxX, 1u);
    EXPECT_EQ(gm.gmBlackBoxY, 1u);
    EXPECT_EQ(gm.gmCellIncX, Arial(-200).GetCharAdvance(' '));
    EXPECT_GT(gm.gmCellIncX, 0);
}

TEST_F(TrueTypeFontTest, OutlineOfOHasTwoClosedContoursInsideItsBlackBox)
{
    for (const CTrueTypeFont& f : {Arial(-200), Gothic(-200), Arial(-13)}) {
        SCOPED_TRACE(f.GetFamilyName());
        GLYPHMETRICS gm;
        TrueTypeOutline o;
        ASSERT_TRUE(f.GetGlyphOutline('O', IdentityMat2(), gm, &o));
        EXPECT_EQ(o.contours.size(), 2u);
        EXPECT_EQ(gm.gmCellIncX, f.GetCharAdvance('O'));
        EXPECT_EQ(gm.gmCellIncY, 0);
        GLYPHMETRICS metricsOnly;
        ASSERT_TRUE(f.GetGlyphMetrics('O', metricsOnly));
        EXPECT_EQ(metricsOnly, gm);
        ExpectNativeForm(o, gm);
    }
}

TEST_F(TrueTypeFontTest, OtherGlyphsKeepTheNativeForm)
{
    for (const CTrueTypeFont& f : {Arial(-200), Gothic(-200)})
        for (const std::string& s :
             {std::string("A"), std::string("g"), std::string("@"), _J("漢"), _J("あ")}) {
            SCOPED_TRACE(f.GetFamilyName() + " " + s);
            GLYPHMETRICS gm;
            TrueTypeOutline o;
            ASSERT_TRUE(f.GetGlyphOutline(Code(s), IdentityMat2(), gm, &o));
            EXPECT_FALSE(o.contours.empty());
            ExpectNativeForm(o, gm);
        }
}

TEST_F(TrueTypeFontTest, QuarterTurnIsTheOutlineTurned)
{
    for (const std::string& s : {std::string("O"), std::string("A"), _J("漢")}) {
        SCOPED_TRACE(s);
        const CTrueTypeFont f = Gothic(-200);
        GLYPHMETRICS gm, turnedGm;
        TrueTypeOutline o, turned;
        ASSERT_TRUE(f.GetGlyphOutline(Code(s), IdentityMat2(), gm, &o));
        ASSERT_TRUE(f.GetGlyphOutline(Code(s), RotationMat2(std::acos(-1.0) / 2), turnedGm, &turned));

        TrueTypeOutline expected = o;
        const auto turn = [](POINTFX& p) {
            const POINTFX q = p;
            p.x = platform::LongToFixed(-FixedToLong(q.y));
            p.y = q.x;
        };
        for (TrueTypeContour& c : expected.contours) {
            turn(c.pfxStart);
            for (TrueTypeCurve& curve : c.curves)
                for (POINTFX& p : curve.apfx)
                    turn(p);
        }
        EXPECT_EQ(turned, expected);
        EXPECT_EQ(turnedGm.gmCellIncX, 0);
        EXPECT_EQ(turnedGm.gmCellIncY, gm.gmCellIncX);
        EXPECT_EQ(turnedGm.gmBlackBoxX, gm.gmBlackBoxY);
        EXPECT_EQ(turnedGm.gmBlackBoxY, gm.gmBlackBoxX);
        ExpectNativeForm(turned, turnedGm);
    }
}

TEST_F(TrueTypeFontTest, MissingBoldAndItalicAreMadeFromTheOutline)
{
    const unsigned kan = Code(_J("漢"));
    GLYPHMETRICS plain, bold, italic;
    ASSERT_TRUE(Gothic(-200).GetGlyphMetrics(kan, plain));
    ASSERT_TRUE(Gothic(-200, FW_BOLD).GetGlyphMetrics(kan, bold));
    ASSERT_TRUE(Gothic(-200, FW_NORMAL, true).GetGlyphMetrics(kan, italic));
    EXPECT_GT(bold.gmCellIncX, plain.gmCellIncX);
    EXPECT_GT(bold.gmBlackBoxX, plain.gmBlackBoxX);
    EXPECT_EQ(italic.gmCellIncX, plain.gmCellIncX);
    // Slanted to the right: the top leans past the upright glyph's right edge.
    EXPECT_GT(italic.gmptGlyphOrigin.x + int(italic.gmBlackBoxX),
              plain.gmptGlyphOrigin.x + int(plain.gmBlackBoxX));
    EXPECT_EQ(Gothic(-200, FW_NORMAL, true).GetTextMetrics().tmItalic, 1);
}

TEST_F(TrueTypeFontTest, FontsStayUsableWhenTheirSizeLeavesTheCache)
{
    const CTrueTypeFont early = Arial(-123);
    const std::int32_t advance = early.GetCharAdvance('A');
    for (int h = 1; h <= 200; ++h)
        Arial(-1000 - h).GetCharAdvance('A');
    EXPECT_EQ(early.GetCharAdvance('W'), Arial(-123).GetCharAdvance('W'));
    EXPECT_EQ(early.GetCharAdvance('A'), advance);
}

TEST(TrueTypeFont, WithoutAFaceEverythingIsEmpty)
{
    const CTrueTypeFont none;
    EXPECT_FALSE(none.IsValid());
    GLYPHMETRICS gm;
    TrueTypeOutline o;
    EXPECT_FALSE(none.GetGlyphOutline('A', IdentityMat2(), gm, &o));
    EXPECT_FALSE(none.GetGlyphMetrics('A', gm));
    EXPECT_EQ(none.GetTextExtent("AB"), CSize());
    EXPECT_EQ(none.GetTextMetrics().tmHeight, 0);
    EXPECT_EQ(none.GetFamilyName(), "");
}

// --- The native form made from FreeType outlines ---

namespace {

struct RawPoint
{
    double x; // pixels
    double y;
    char tag;
};

TrueTypeOutline Convert(const std::vector<std::vector<RawPoint>>& contours)
{
    std::vector<FT_Vector> points;
    std::vector<char> tags;
    std::vector<short> ends;
    for (const auto& c : contours) {
        for (const RawPoint& p : c) {
            points.push_back({std::lround(p.x * 64), std::lround(p.y * 64)});
            tags.push_back(p.tag);
        }
        ends.push_back(static_cast<short>(points.size() - 1));
    }
    FT_Outline o{};
    o.n_contours = static_cast<short>(ends.size());
    o.n_points = static_cast<short>(points.size());
    o.points = points.data();
    o.tags = tags.data();
    o.contours = ends.data();
    return ConvertFreeTypeOutline(o);
}

POINTFX Px(double x, double y)
{
    return platform::MakePointFx(x, y);
}

constexpr char ON = FT_CURVE_TAG_ON;
constexpr char OFF = FT_CURVE_TAG_CONIC;
constexpr char CUBIC = FT_CURVE_TAG_CUBIC;

} // namespace

TEST(TrueTypeNativeOutline, RecordsFollowTheRunsOfPoints)
{
    // on, off, off, on, on: one spline through two control points, then a line; the closing line
    // back to the start has no record.
    const TrueTypeOutline a = Convert({{{0, 0, ON}, {1, 2, OFF}, {3, 2, OFF}, {4, 0, ON}, {4, -1, ON}}});
    ASSERT_EQ(a.contours.size(), 1u);
    EXPECT_EQ(a.contours[0].pfxStart, Px(0, 0));
    ASSERT_EQ(a.contours[0].curves.size(), 2u);
    EXPECT_EQ(a.contours[0].curves[0], (TrueTypeCurve{TT_PRIM_QSPLINE, {Px(1, 2), Px(3, 2), Px(4, 0)}}));
    EXPECT_EQ(a.contours[0].curves[1], (TrueTypeCurve{TT_PRIM_LINE, {Px(4, -1)}}));

    // Starting off the curve: the contour starts at its first on-curve point, and the spline that
    // wraps round ends at the start.
    const TrueTypeOutline b = Convert({{{0, 5, OFF}, {5, 5, ON}, {5, 0, OFF}}});
    ASSERT_EQ(b.contours.size(), 1u);
    EXPECT_EQ(b.contours[0].pfxStart, Px(5, 5));
    ASSERT_EQ(b.contours[0].curves.size(), 1u);
    EXPECT_EQ(b.contours[0].curves[0], (TrueTypeCurve{TT_PRIM_QSPLINE, {Px(5, 0), Px(0, 5), Px(5, 5)}}));

    // No point on the curve: the start is the implied midpoint of the last and first points.
    const TrueTypeOutline c = Convert({{{0, 0, OFF}, {2, 0, OFF}, {2, 2, OFF}, {0, 2, OFF}}});
    ASSERT_EQ(c.contours.size(), 1u);
    EXPECT_EQ(c.contours[0].pfxStart, Px(0, 1));
    EXPECT_EQ(c.contours[0].curves[0],
              (TrueTypeCurve{TT_PRIM_QSPLINE, {Px(0, 0), Px(2, 0), Px(2, 2), Px(0, 2), Px(0, 1)}}));

    // A one-point contour is left out; the next contour still follows.
    const TrueTypeOutline d = Convert({{{7, 7, ON}}, {{0, 0, ON}, {1, 0, ON}, {1, 1, ON}}});
    ASSERT_EQ(d.contours.size(), 1u);
    EXPECT_EQ(d.contours[0].pfxStart, Px(0, 0));
    EXPECT_EQ(d.contours[0].curves, (std::vector<TrueTypeCurve>{{TT_PRIM_LINE, {Px(1, 0), Px(1, 1)}}}));
}

TEST(TrueTypeNativeOutline, CubicPiecesBecomeCloseQuadraticPieces)
{
    // A circle of radius 100 pixels from four cubic arcs.
    const double r = 100;
    const double k = r * 0.5522847498;
    const TrueTypeOutline o = Convert({{{r, 0, ON},
                                        {r, k, CUBIC},
                                        {k, r, CUBIC},
                                        {0, r, ON},
                                        {-k, r, CUBIC},
                                        {-r, k, CUBIC},
                                        {-r, 0, ON},
                                        {-r, -k, CUBIC},
                                        {-k, -r, CUBIC},
                                        {0, -r, ON},
                                        {k, -r, CUBIC},
                                        {r, -k, CUBIC}}});
    ASSERT_EQ(o.contours.size(), 1u);
    const TrueTypeContour& c = o.contours[0];
    EXPECT_EQ(c.pfxStart, Px(r, 0));
    ASSERT_GT(c.curves.size(), 4u);
    EXPECT_EQ(c.curves.back().apfx.back(), c.pfxStart);
    POINTFX from = c.pfxStart;
    for (const TrueTypeCurve& curve : c.curves) {
        ASSERT_EQ(curve.wType, TT_PRIM_QSPLINE);
        ASSERT_EQ(curve.apfx.size(), 2u);
        const double x0 = FixedToDouble(from.x), y0 = FixedToDouble(from.y);
        const double x1 = FixedToDouble(curve.apfx[0].x), y1 = FixedToDouble(curve.apfx[0].y);
        const double x2 = FixedToDouble(curve.apfx[1].x), y2 = FixedToDouble(curve.apfx[1].y);
        for (const double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            const double u = 1 - t;
            const double x = u * u * x0 + 2 * u * t * x1 + t * t * x2;
            const double y = u * u * y0 + 2 * u * t * y1 + t * t * y2;
            EXPECT_NEAR(std::hypot(x, y), r, 0.1) << t;
        }
        from = curve.apfx[1];
    }
}

TEST(TrueTypeNativeOutline, CubicFaceOutlinesAreQuadratic)
{
    const TrueTypeFaceChoice& nimbus =
        CTrueTypeFaces::Instance().Resolve("Nimbus Sans", ANSI_CHARSET, FW_NORMAL, false);
    ASSERT_TRUE(nimbus.face && nimbus.face->family == "Nimbus Sans")
        << "the face Nimbus Sans is not installed (Debian package fonts-urw-base35)";
    ASSERT_FALSE(FT_IS_SFNT(nimbus.face->face) && FT_HAS_GLYPH_NAMES(nimbus.face->face) &&
                 nimbus.face->file.ends_with(".ttf"))
        << "Nimbus Sans is expected as a PostScript-outline face";
    const CTrueTypeFont f(nimbus, -200);
    GLYPHMETRICS gm;
    TrueTypeOutline o;
    ASSERT_TRUE(f.GetGlyphOutline('O', IdentityMat2(), gm, &o));
    EXPECT_EQ(o.contours.size(), 2u);
    ExpectNativeForm(o, gm);
    for (const TrueTypeContour& c : o.contours)
        for (const TrueTypeCurve& curve : c.curves)
            EXPECT_EQ(curve.wType == TT_PRIM_QSPLINE ? curve.apfx.size() : 2u, 2u);
}
