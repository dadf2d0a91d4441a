// TrueType texts in photo-plot output are written from plain segments: each glyph's outline and
// hatch made without surface items. This pins them byte for byte to the form they replace, kept
// here literally: one surface item per glyph built from its edges (snapped and filled as it is
// made), mirrored, shifted and turned as a work sheet of them would be, and written through the
// surface's own writer; and their aperture usage likewise. Random texts (sizes, angles, mirroring,
// frames, overlines, positions) under several output settings; the largest glyphs have more edges
// than the segment form takes, and go through a surface item in both.

#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;

constexpr std::size_t kSegmentFormEdges = 96;

// Glyph edge counts seen by the literal form.
struct EdgeCounts
{
    int small = 0; // glyphs within the segment form
    int large = 0; // glyphs beyond it
};

// One surface item per glyph, built from its edges laid out upright.
std::vector<std::unique_ptr<CSur>> GlyphSurfaces(CText& text, const CTrueTypeFont& font,
                                                 const std::string& name, CDPoint upright[4],
                                                 EdgeCounts& counts)
{
    const double angle = text.GetAngle();
    for (int i = 0; i < 4; ++i) {
        upright[i] = text.GetCorner(i);
        upright[i].Rotate(text.GetCorner(0), -angle);
    }
    const TEXTMETRICA& tm = font.GetTextMetrics();
    const int cell = tm.tmAscent + tm.tmDescent;
    const double ascentRatio = cell > 0 ? static_cast<double>(tm.tmAscent) / cell : 0.0;
    std::vector<std::unique_ptr<CSur>> glyphs;
    CDPoint at = upright[3];
    for (const platform::Cp932Char c : platform::Chars(name)) {
        std::vector<CLine> edges;
        at.x += text.ForEachGlyphEdge(font, c.code, at, 0.01, ascentRatio,
                                      [&](const CDPoint& a, const CDPoint& b) {
                                          edges.emplace_back(a, b, 1, 0);
                                          edges.back().SetID(text.GetID());
                                      });
        if (edges.empty())
            continue;
        ++(edges.size() > kSegmentFormEdges ? counts.large : counts.small);
        CItemBaseList outline, none;
        for (auto edge = edges.rbegin(); edge != edges.rend(); ++edge)
            outline.AddTail(&*edge);
        glyphs.push_back(std::make_unique<CSur>(outline, none, none, none));
    }
    return glyphs;
}

// The surface form of a TrueType text's aperture usage: the frame's four strokes, then each glyph
// surface counted as made.
void CountThroughSurfaces(CText& text, tagDCODE* table)
{
    if (!text.IsDisp() || !text.IsPrint())
        return;
    text.GetBoundingRect();
    std::vector<std::uint16_t> runs;
    const std::string name = text.GetTrueName(runs);
    if (name.empty())
        return;
    if (text.IsFrame())
        table[text.GetTurretNo()].drawCount += 4;
    const CTrueTypeFont font = text.GetMeasureFont();
    CDPoint upright[4];
    EdgeCounts counts;
    for (const auto& sur : GlyphSurfaces(text, font, name, upright, counts))
        gerber::CountSurfaceAsMade(table, *sur);
}

// The surface form of a TrueType text's output.
void WriteThroughSurfaces(CText& text, CArchive& ar, tagGERBAR& g, bool mirror, EdgeCounts& counts)
{
    if (!text.IsDisp() || !text.IsPrint())
        return;
    text.GetBoundingRect();
    std::vector<std::uint16_t> runs;
    const std::string name = text.GetTrueName(runs);
    if (name.empty())
        return;
    if (text.IsMirror())
        mirror = !mirror;
    const auto writeLine = [&](const CDPoint& a, const CDPoint& b) {
        gerber::WriteStroke(ar, g, a, b, text.GetTurretNo(), gerber::UnboundItem());
    };
    if (text.IsFrame()) {
        CDPoint c[4];
        text.GetGrownFrame(text.GetLineWidth() / 2 + text.GetFrameDist(), c);
        for (int i = 0; i < 4; ++i)
            writeLine(c[i], c[(i + 1) % 4]);
    }
    const CTrueTypeFont font = text.GetMeasureFont();
    std::vector<double> widths;
    std::size_t pos = 0;
    for (const std::uint16_t run : runs) {
        widths.push_back(font.GetTextExtent(name.substr(std::min(pos, name.size()), run)).cx * 0.01);
        pos += run;
    }
    for (const CText::Segment& s : text.GetOverlines(widths, mirror))
        writeLine(s.first, s.second);

    CDPoint upright[4];
    std::vector<std::unique_ptr<CSur>> glyphs = GlyphSurfaces(text, font, name, upright, counts);
    const double angle = text.GetAngle();
    if (mirror) {
        const CDPoint shift(upright[2].x - upright[3].x, 0.0);
        for (const auto& sur : glyphs) {
            sur->MirrorX(upright[3].x, true);
            if (shift.x != 0.0)
                sur->Offset(shift);
        }
    }
    for (const auto& sur : glyphs) {
        sur->Rotate(text.GetCorner(0), angle, true);
        sur->DataWriteGerbar(ar, g);
    }
}

struct GlyphRow
{
    const char* name;
    unsigned seed;
    std::function<void(tagGERBAR&)> settings;
};

void PrintTo(const GlyphRow& row, std::ostream* os)
{
    *os << row.name;
}

class TextGlyphGerberTest : public ::testing::TestWithParam<GlyphRow>
{
protected:
    TextGlyphGerberTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.1, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        platform::SetProfile(&profile);
    }
    ~TextGlyphGerberTest() override { platform::SetProfile(nullptr); }

    // Random TrueType texts: curved and straight glyphs, spaces, overline marks, sizes from a
    // fraction of a millimetre to large ones, right angles, odd angles and angles within a hair
    // of the axes, both mirror flags, frames, positions with odd fractions.
    static std::vector<CText> Texts(unsigned seed)
    {
        std::mt19937 random(seed);
        const std::string alphabet = "O0S8@&gBQR%a e~iIl1.-W#";
        const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        const auto real = [&](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(random);
        };
        const double angles[] = {
            0.0, 0.0, std::numbers::pi / 2, std::numbers::pi, 1e-7, std::numbers::pi / 2 + 3e-7};
        std::vector<CText> texts;
        for (int i = 0; i < 24; ++i) {
            std::string name;
            for (int n = 1 + pick(6); n > 0; --n)
                name += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
            CText text(name, CDPoint(real(-150.0, 150.0), real(-150.0, 150.0)), 0);
            text.SetTurretNo(3, false); // the pen of frames and overlines
            const int sizes[] = {35, 100, 120, 250, 700, 2500};
            text.SetSize(sizes[pick(6)]);
            text.SetAngle(pick(3) == 0 ? real(-7.0, 7.0) : angles[pick(6)]);
            if (pick(3) == 0)
                text.SetType(text.GetType() | TEXT_MIRROR);
            if (pick(4) == 0)
                text.SetType(text.GetType() | TEXT_FRAME | (pick(5) << TEXT_FRAME_DIST_SHIFT));
            texts.push_back(text);
        }
        return texts;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
};

TEST_P(TextGlyphGerberTest, SegmentsWriteTheSurfacesBytes)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    const GlyphRow& row = GetParam();
    for (const bool layerMirror : {false, true}) {
        SCOPED_TRACE(layerMirror ? "mirrored layer" : "layer as is");
        std::vector<CText> texts = Texts(row.seed);
        std::vector<CText> literal = texts;
        GerberOutput written, expected;
        row.settings(written.g);
        row.settings(expected.g);
        EdgeCounts counts;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            ASSERT_FALSE(texts[i].IsStroke());
            texts[i].DataWriteGerbar(written.ar, written.g, layerMirror);
            WriteThroughSurfaces(literal[i], expected.ar, expected.g, layerMirror, counts);
        }
        EXPECT_GT(counts.small, 20);
        EXPECT_GT(counts.large, 0); // the surface item's part is taken too
        EXPECT_GT(expected.ar.Data().size(), 20000u);
        EXPECT_TRUE(written.ar.Data() == expected.ar.Data())
            << "written " << written.ar.Data().size() << " bytes, surfaces " << expected.ar.Data().size();
        EXPECT_EQ(written.g.prevX, expected.g.prevX);
        EXPECT_EQ(written.g.prevY, expected.g.prevY);
        EXPECT_EQ(written.g.maxX, expected.g.maxX);
        EXPECT_EQ(written.g.minY, expected.g.minY);
    }
}

// The aperture usage of the same texts: counts and drawn lengths to the last bit.
TEST_P(TextGlyphGerberTest, SegmentsCountTheSurfacesUsage)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    std::vector<CText> texts = Texts(GetParam().seed);
    std::vector<CText> literal = texts;
    std::array<tagDCODE, TURRET_MAX + 1> counted{}, expected{};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i].CheckTurret(counted.data());
        CountThroughSurfaces(literal[i], expected.data());
    }
    EXPECT_GT(expected[1].drawCount, 1000);
    for (std::size_t turret = 0; turret < counted.size(); ++turret) {
        SCOPED_TRACE(turret);
        EXPECT_EQ(counted[turret].drawCount, expected[turret].drawCount);
        EXPECT_EQ(counted[turret].flashCount, expected[turret].flashCount);
        EXPECT_EQ(counted[turret].drawnLength, expected[turret].drawnLength);
    }
}

// clang-format off
const GlyphRow kRows[] = {
    {"Plain", 1, [](tagGERBAR&) {}},
    {"Incremental", 2, [](tagGERBAR& g) { g.absolute = 0; }},
    {"InchesScaled", 3, [](tagGERBAR& g) { g.metric = 0; g.outputFactor = 10000.0; g.scale = 1.25; }},
    {"OutputMirroredAndTurned", 4, [](tagGERBAR& g) { g.mirrorX = 1; g.angle = 0.4; g.originX = 3.0005; }},
    {"OutputTurnedRight", 5, [](tagGERBAR& g) { g.angle = std::numbers::pi / 2; g.mirrorY = 1; }},
    {"LineBreaksAndOtherSeed", 6, [](tagGERBAR& g) { g.lineBreak = 1; }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, TextGlyphGerberTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<GlyphRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
