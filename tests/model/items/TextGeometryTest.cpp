// Text measuring, frame and bounds, hit tests, overline markers and transforms.

#include "model/items/Text.h"

#include "model/text/TrueTypeFont.h"
#include "platform/J.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kEps = 1e-9;

LOGFONTA StrokeFont(int height, int width, int space)
{
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = space;
    return lf;
}

// A stroke text with 2 mm cells and 0.5 mm spacing: "AB" measures 3 x 2 mm.
CText Stroke(const std::string& s, CDPoint at = CDPoint(10, 20), int origin = TEXT_ORG_BOTTOM_LEFT,
             int turret = 1)
{
    CText t(s, at, turret);
    t.SetFontRecord(StrokeFont(200, 200, 50));
    t.SetOrign(origin);
    return t;
}

// Shows whether the bounds are pending.
class ProbeText : public CText
{
public:
    using CText::CText;
    bool Dirty() const { return m_bDirty; }
};

void ExpectPoint(const CDPoint& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, kEps);
    EXPECT_NEAR(p.y, y, kEps);
}

class TextGeometryTest : public ::testing::Test
{
protected:
    TextGeometryTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        platform::SetProfile(&profile);
    }
    ~TextGeometryTest() override { platform::SetProfile(nullptr); }
    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
};

// --- Overline markers ---

TEST_F(TextGeometryTest, TrueNameAndOverlineRuns)
{
    struct Case
    {
        std::string text;
        std::string name;
        std::vector<std::uint16_t> runs;
    };
    const std::string times = _J("×"); // its trail byte is '~' and is no marker
    const Case cases[] = {
        {"ABC", "ABC", {}},
        {"A~B~C", "ABC", {1, 1}},
        {"AB~CD", "ABCD", {2, 2}},
        {"~RESET~", "RESET", {0, 5}},
        {"~CS", "CS", {0, 2}},
        {"2" + times + "3", "2" + times + "3", {}},
        {"~" + times + "~", times, {0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CText t(c.text, CDPoint(0, 0), 0);
        std::vector<std::uint16_t> runs;
        EXPECT_EQ(t.GetTrueName(runs), c.name);
        EXPECT_EQ(runs, c.runs);
    }
}

TEST_F(TextGeometryTest, RevBlockExchangesOverlinedAndPlainRuns)
{
    const std::string times = _J("×");
    const std::pair<std::string, std::string> cases[] = {
        {"ABC", "ABC"},      {"A~B~C", "~A~B~C~"},
        {"~A~B", "A~B~"},    {"~AB", "AB"}, // the unmatched tilde is closed first, so the whole overline goes
        {"AB~CD", "~AB~CD"}, {"X" + times, "X" + times},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        CText t(in, CDPoint(0, 0), 0);
        EXPECT_EQ(t.SetRevBlock(), out);
        EXPECT_EQ(t.GetName(), in);
    }
}

// --- Stroke measuring ---

TEST_F(TextGeometryTest, StrokeMeasuring)
{
    const std::string degree = _J("°");
    const struct
    {
        std::string text;
        double w, h;
    } cases[] = {
        {"AB", 3.0, 2.0},
        {_J("日"), 2.5, 2.0},
        {"A~B~", 3.0, 2.0},       // markers take no room
        {"1" + degree, 3.0, 2.0}, // a trailing degree sign measures as one single-byte character
        {degree + "1", 2.5 + 1.5, 2.0},
        {"", 0.0, 0.0},
        {"~~", 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CDSize size = Stroke(c.text).GetRect();
        EXPECT_NEAR(size.cx, c.w, kEps);
        EXPECT_NEAR(size.cy, c.h, kEps);
    }
}

// --- Frame and bounds ---

TEST_F(TextGeometryTest, HiddenOrEmptyTextHasNoExtent)
{
    for (int which = 0; which < 2; ++which) {
        CText t = Stroke(which ? "" : "AB");
        if (!which)
            t.Disp(0);
        const CDRect r = t.GetBoundingRect();
        EXPECT_TRUE(r.IsRectNull());
        for (int i = 0; i < 4; ++i)
            ExpectPoint(t.GetCorner(i), 10, 20);
        EXPECT_EQ(t.CheckPoint(CDPoint(10, 20)), 0);
        EXPECT_EQ(t.CheckPoint(CDRect(0, 0, 100, 100)), 0);
        CDPoint p(10, 20);
        EXPECT_EQ(t.CheckItemPoint(p, 5.0), 0);
        EXPECT_EQ(t.SetTextSel(CDRect(0, 0, 100, 100)), 0);
        EXPECT_EQ(t.IsTextSel(), 0);
    }
}

TEST_F(TextGeometryTest, OriginCodesPlaceTheFrame)
{
    // Frame 3 x 2 mm; the offset of corner 0 from the position for each origin code.
    const struct
    {
        int origin;
        double dx, dy;
    } cases[] = {{0, 0, -2},    {2, -3, -2}, {6, -1.5, -2}, {8, 0, 0},      {10, -3, 0},
                 {14, -1.5, 0}, {24, 0, -1}, {26, -3, -1},  {30, -1.5, -1}, {5, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.origin);
        CText t = Stroke("AB", CDPoint(10, 20), c.origin);
        t.GetBoundingRect();
        ExpectPoint(t.GetCorner(0), 10 + c.dx, 20 + c.dy);
        ExpectPoint(t.GetCorner(1), 13 + c.dx, 20 + c.dy);
        ExpectPoint(t.GetCorner(2), 13 + c.dx, 22 + c.dy);
        ExpectPoint(t.GetCorner(3), 10 + c.dx, 22 + c.dy);
    }
    // Centre code: the position is the frame's centre; bottom right: the position is corner 1.
    CText centre = Stroke("AB", CDPoint(10, 20), TEXT_ORG_CENTER);
    centre.GetBoundingRect();
    ExpectPoint(centre.GetCorner(0).GetCenter(centre.GetCorner(2)), 10, 20);
    CText right = Stroke("AB", CDPoint(10, 20), TEXT_ORG_BOTTOM_RIGHT);
    right.GetBoundingRect();
    ExpectPoint(right.GetCorner(1), 10, 20);
}

TEST_F(TextGeometryTest, BoundsGrowByPenAndFrame)
{
    // Stroke without frame: half the pen (0.2 mm) round the frame.
    CText plain = Stroke("AB");
    CDRect r = plain.GetBoundingRect();
    EXPECT_NEAR(r.left, 9.9, kEps);
    EXPECT_NEAR(r.top, 19.9, kEps);
    EXPECT_NEAR(r.right, 13.1, kEps);
    EXPECT_NEAR(r.bottom, 22.1, kEps);
    ExpectPoint(plain.GetCorner(0), 10, 20); // the corners themselves never grow

    // Stroke with a 1 mm frame: frame distance plus the whole pen width.
    CText framed = Stroke("AB");
    framed.ModifyType(TEXT_FRAME | (10 << TEXT_FRAME_DIST_SHIFT), TEXT_FRAME_DIST_MASK);
    r = framed.GetBoundingRect();
    EXPECT_NEAR(r.left, 8.8, kEps);
    EXPECT_NEAR(r.right, 14.2, kEps);
    EXPECT_NEAR(r.top, 18.8, kEps);
    EXPECT_NEAR(r.bottom, 23.2, kEps);

    // Turned by 90 degrees: the grown frame turns with the text.
    CText turned = Stroke("AB");
    turned.SetAngle(kPi / 2);
    r = turned.GetBoundingRect();
    EXPECT_NEAR(r.left, 10 - 2 - 0.1, kEps);
    EXPECT_NEAR(r.right, 10 + 0.1, kEps);
    EXPECT_NEAR(r.top, 20 - 0.1, kEps);
    EXPECT_NEAR(r.bottom, 23.1, kEps);
}

// --- Hit tests ---

TEST_F(TextGeometryTest, PointHitIsInclusiveOnTheFrame)
{
    CText t = Stroke("AB");
    EXPECT_EQ(t.CheckPoint(CDPoint(11, 21)), 1);
    EXPECT_EQ(t.CheckPoint(CDPoint(10, 21)), 1);   // left edge
    EXPECT_EQ(t.CheckPoint(CDPoint(13, 22)), 1);   // top right corner
    EXPECT_EQ(t.CheckPoint(CDPoint(9.95, 21)), 0); // in the pen margin, off the frame
    EXPECT_EQ(t.CheckPoint(CDPoint(14, 21)), 0);

    // Turned by 45 degrees: the bounding box's corner region lies off the turned frame.
    CText turned = Stroke("AB");
    turned.SetAngle(kPi / 4);
    const CDRect box = turned.GetBoundingRect();
    const CDPoint offFrame(box.right - 0.05, box.top + 0.05);
    ASSERT_TRUE(box.PtInRect(offFrame));
    EXPECT_EQ(turned.CheckPoint(offFrame), 0);
    const CDPoint middle = turned.GetCorner(0).GetCenter(turned.GetCorner(2));
    EXPECT_EQ(turned.CheckPoint(middle), 1);
}

TEST_F(TextGeometryTest, RectangleHit)
{
    CText t = Stroke("AB");
    EXPECT_EQ(t.CheckPoint(CDRect(12, 21, 20, 30)), 1);
    EXPECT_EQ(t.CheckPoint(CDRect(20, 21, 30, 30)), 0);

    CText turned = Stroke("AB");
    turned.SetAngle(kPi / 4);
    const CDRect box = turned.GetBoundingRect();
    // A small rectangle in the corner of the bounding box misses the turned frame.
    EXPECT_EQ(turned.CheckPoint(CDRect(box.right - 0.1, box.top, box.right, box.top + 0.1)), 0);
    EXPECT_EQ(turned.CheckPoint(CDRect(9, 19, 10.5, 20.5)), 1);
}

TEST_F(TextGeometryTest, SnapPrefersCornersThenCentreThenEdges)
{
    CText t = Stroke("AB"); // frame (10, 20)-(13, 22), centre (11.5, 21)
    CDPoint p(11.4, 21.0);
    EXPECT_EQ(t.CheckItemPoint(p, 0.2), 1);
    ExpectPoint(p, 11.5, 21);

    // Near the bottom edge's midpoint but within reach of corner 0 too: the corner wins.
    p = CDPoint(11.0, 20.1);
    EXPECT_EQ(t.CheckItemPoint(p, 1.2), 1);
    ExpectPoint(p, 10, 20);

    p = CDPoint(11.45, 20.05);
    EXPECT_EQ(t.CheckItemPoint(p, 0.2), 1);
    ExpectPoint(p, 11.5, 20);

    p = CDPoint(12.0, 21.0);
    EXPECT_EQ(t.CheckItemPoint(p, 0.1), 0);
    ExpectPoint(p, 12, 21);
    p = CDPoint(30, 30);
    EXPECT_EQ(t.CheckItemPoint(p, 100), 0); // outside the bounds
}

TEST_F(TextGeometryTest, PartialSelection)
{
    CText t = Stroke("AB");
    EXPECT_EQ(t.SetTextSel(CDRect(50, 50, 60, 60)), 0);
    EXPECT_EQ(t.SetTextSel(CDRect(12, 21, 20, 30)), 1);
    EXPECT_NE(t.IsTextSel(), 0);
    t.ResetTextSel();
    EXPECT_EQ(t.IsTextSel(), 0);
}

// --- Transforms ---

TEST_F(TextGeometryTest, OffsetMovesPositionCornersAndMarksOwner)
{
    ProbeText owner("owner", CDPoint(0, 0), 1);
    owner.SetFontRecord(StrokeFont(200, 200, 50));
    CText t = Stroke("AB");
    t.SetParent(&owner);
    t.GetBoundingRect();
    owner.GetBoundingRect();
    ASSERT_FALSE(owner.Dirty());
    t.Offset(CDPoint(1, -1));
    EXPECT_TRUE(owner.Dirty());
    ExpectPoint(t.GetPoint(), 11, 19);
    ExpectPoint(t.GetCorner(0), 11, 19);
    EXPECT_NEAR(t.GetBoundingRect().left, 10.9, kEps);

    t.SetPoint(CDPoint(0, 0));
    ExpectPoint(t.GetPoint(), 0, 0);
    ExpectPoint(t.GetCorner(2), 3, 2);

    // A hidden text moves its position only.
    CText hidden = Stroke("AB");
    hidden.Disp(0);
    hidden.Offset(CDPoint(5, 5));
    ExpectPoint(hidden.GetPoint(), 15, 25);
}

TEST_F(TextGeometryTest, SelectedOnlyTransformsNeedTheMark)
{
    CText t = Stroke("AB");
    t.OffsetAttr(CDPoint(1, 1));
    t.MirrorXText(0);
    t.MirrorYText(0);
    ExpectPoint(t.GetPoint(), 10, 20);
    EXPECT_EQ(t.GetOrign(), 8);

    t.SetTextSel(CDRect(0, 0, 100, 100));
    t.OffsetAttr(CDPoint(1, 1));
    ExpectPoint(t.GetPoint(), 11, 21);
    t.MirrorXText(0);
    ExpectPoint(t.GetPoint(), -11, 21);
    EXPECT_EQ(t.GetOrign(), 10);
    t.MirrorYText(0);
    ExpectPoint(t.GetPoint(), -11, -21);
    EXPECT_EQ(t.GetOrign(), 2);
}

TEST_F(TextGeometryTest, MirrorExchangesOriginParts)
{
    const std::pair<int, int> xCases[] = {{0, 2},   {2, 0}, {8, 10},  {10, 8}, {24, 26},
                                          {26, 24}, {6, 6}, {14, 14}, {30, 30}};
    for (const auto& [from, to] : xCases) {
        SCOPED_TRACE(from);
        CText t = Stroke("AB", CDPoint(3, 4), from);
        t.MirrorX(1.0, true);
        EXPECT_EQ(t.GetOrign(), to);
        ExpectPoint(t.GetPoint(), -1, 4);
        EXPECT_DOUBLE_EQ(t.GetAngle(), 2 * kPi); // 2 pi minus 0, not normalised
        EXPECT_EQ(t.IsMirror(), 0);
    }
    const std::pair<int, int> yCases[] = {{0, 8},  {8, 0},   {2, 10},  {10, 2}, {6, 14},
                                          {14, 6}, {24, 24}, {26, 26}, {30, 30}};
    for (const auto& [from, to] : yCases) {
        SCOPED_TRACE(from);
        CText t = Stroke("AB", CDPoint(3, 4), from);
        t.SetAngle(kPi / 2);
        t.MirrorY(1.0, true);
        EXPECT_EQ(t.GetOrign(), to);
        ExpectPoint(t.GetPoint(), 3, -2);
        EXPECT_DOUBLE_EQ(t.GetAngle(), 1.5 * kPi);
    }
    // Without flip only the position moves.
    CText t = Stroke("AB", CDPoint(3, 4), 8);
    t.MirrorX(0.0, false);
    EXPECT_EQ(t.GetOrign(), 8);
    EXPECT_DOUBLE_EQ(t.GetAngle(), 0.0);
    ExpectPoint(t.GetPoint(), -3, 4);
}

TEST_F(TextGeometryTest, RotateTurnsPositionAndAngle)
{
    CText t = Stroke("AB", CDPoint(2, 0));
    t.SetAngle(1.5 * kPi);
    t.Rotate(CDPoint(0, 0), kPi);
    ExpectPoint(t.GetPoint(), -2, 0);
    EXPECT_NEAR(t.GetAngle(), 0.5 * kPi, kEps);

    CText own("own", CDPoint(0, 0), 0);
    own.SetType(TEXT_OWN_FONT | 8);
    own.Rotate(CDPoint(0, 0), 30.0 * kPi / 180.0);
    EXPECT_EQ(own.GetFont()->lfEscapement, 300);
}

// --- TrueType measuring with the installed faces ---

// The face a text without its own font gets, and the family it must resolve to here.
void RequireFace(const std::string& face, std::uint8_t charSet, const std::string& family,
                 const char* package)
{
    LOGFONTA lf;
    lf.SetFaceName(face);
    lf.lfCharSet = charSet;
    lf.lfHeight = -200;
    const CTrueTypeFont font(lf);
    ASSERT_TRUE(font.IsValid()) << "no TrueType face found for " << face << "; install " << package;
    ASSERT_EQ(font.GetFamilyName(), family)
        << "these measurements need the face " << family << " (Debian package " << package << ")";
}

TEST_F(TextGeometryTest, TrueTypeAsciiTextWithLiberationSans)
{
    RequireFace("Arial", 0, "Liberation Sans", "fonts-liberation2");
    CText t("ABC 123", CDPoint(0, 0), 0);
    t.SetSize(200); // 2 mm: one glyph unit per hundredth of a millimetre
    const CDSize size = t.GetRect();
    EXPECT_NEAR(size.cy, 2.0, kEps);
    // Advances at 200 pixels per em (design widths x 200 / 2048, hinted to whole pixels):
    // A, B 133; C 144; space 56; digits 111 each.
    EXPECT_NEAR(size.cx, (133 + 133 + 144 + 56 + 111 * 3) * 0.01, kEps);
    EXPECT_EQ(t.GetRect(), size); // stable

    CDRect r = t.GetBoundingRect();
    EXPECT_NEAR(r.right - r.left, size.cx, kEps);
    EXPECT_NEAR(r.bottom - r.top, 2.0, kEps);
}

TEST_F(TextGeometryTest, TrueTypeJapaneseTextWithIpaGothic)
{
    RequireFace(_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, "IPAGothic", "fonts-ipafont-gothic");
    // Full-width characters of the Gothic face are one em wide; the half-width katakana half.
    CText t(_J("日本語ｶﾅ"), CDPoint(0, 0), 0);
    t.SetSize(300);
    const CDSize size = t.GetRect();
    EXPECT_NEAR(size.cx, (3 * 300 + 2 * 150) * 0.01, kEps);
    EXPECT_NEAR(size.cy, 3.0, kEps);
    EXPECT_EQ(t.GetRect(), size);
}

TEST_F(TextGeometryTest, TrueTypeFacesComeFromTheProfile)
{
    RequireFace("Arial", 0, "Liberation Sans", "fonts-liberation2");
    RequireFace(_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, "IPAGothic", "fonts-ipafont-gothic");
    CText t("MM", CDPoint(0, 0), 0);
    t.SetSize(200);
    const double arial = t.GetRect().cx;
    profile.SetString("Default", "FontE", _J("ＭＳ ゴシック"));
    const double gothic = t.GetRect().cx;
    EXPECT_NEAR(gothic, 2.0, kEps); // half-width letters of the Gothic face: half an em each
    EXPECT_NE(arial, gothic);
}

TEST_F(TextGeometryTest, OwnItalicFontAddsHalfTheLastAdvance)
{
    RequireFace("Arial", 0, "Liberation Sans", "fonts-liberation2");
    CText t("AB", CDPoint(0, 0), 0);
    t.SetType(TEXT_OWN_FONT | 8);
    t.SetSize(200);
    LOGFONTA lf;
    lf.SetFaceName("Arial");
    t.SetFontRecord(lf);
    const double upright = t.GetRect().cx;
    lf.lfItalic = 1;
    t.SetFontRecord(lf);
    EXPECT_NEAR(t.GetRect().cx, upright + (133 / 2) * 0.01, kEps);

    // Measuring keeps the stored record at the text's size and printability.
    t.Print(0);
    t.GetBoundingRect();
    EXPECT_EQ(t.GetFont()->lfHeight, -200);
    EXPECT_EQ(t.GetFont()->lfStrikeOut, 1);
}

} // namespace
