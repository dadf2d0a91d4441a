// Photo-plot and drill bodies of a mixed layer pinned byte for byte: the writers are tuned for
// speed, and a plot file that changes by one digit is a different board. Each row writes the same
// layer under other CAM settings (units, incremental blocks, transforms, tape codes, line breaks,
// block endings, arc modes); the hashes were taken from the writers before they were tuned.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"
#include "tests/support/TempStrokeFont.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numbers>
#include <ostream>
#include <random>
#include <string>

namespace {

using testing_support::GerberOutput;

std::uint32_t Fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t h = 2166136261u;
    for (const std::uint8_t b : bytes)
        h = (h ^ b) * 16777619u;
    return h;
}

tagTCODE Tool(double diameter, int type, const char* code)
{
    tagTCODE tool;
    tool.diameter = diameter;
    tool.holeType = type;
    tool.hitCount = 1;
    std::strncpy(tool.toolCode.data(), code, tool.toolCode.size() - 1);
    return tool;
}

struct PinRow
{
    const char* name;
    std::function<void(tagGERBAR&)> settings;
    std::uint32_t photo; // hash of the photo-plot body
    std::uint32_t drill; // hash of the drill body
};

class LayerOutputFixture : public ::testing::Test
{
protected:
    LayerOutputFixture()
    {
        platform::SetProfile(&profile);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.1, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 1.2, 0.0};
        doc.turretTable[4] = tagTURRET{TURRET_SQUARE, 1.6, 0.0};
        tagVIA via;
        via.drill = 0.8;
        via.lands.fill(3);
        doc.viaTable[1] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.8;
        doc.SetWireLayers({0});
        doc.tools = {Tool(0.8, HOLE_THROUGH, "T01"), Tool(1.0, HOLE_THROUGH, "T02"), Tool(0.8, 0, "T03"),
                     Tool(3.0, HOLE_THROUGH, "T04")};
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[LAYER_MAX] = &viaParts;
    }
    ~LayerOutputFixture() override { platform::SetProfile(nullptr); }

    void SetUp() override { ASSERT_TRUE(strokeFont.Open("layerpin", testing_support::kStrokeFontA)); }
    void TearDown() override { strokeFont.Close(); }

    // Tracks chained and loose at odd coordinates (halves of the output unit, negatives, far
    // points), lands, arcs both ways and a circle, a filled surface, vias, holes, and texts of
    // both kinds turned, mirrored, framed and overlined.
    void Build()
    {
        std::mt19937 random(11);
        std::uniform_real_distribution<double> coordinate(-80.0, 250.0);
        CDPoint at(0.0005, -0.0015);
        for (int i = 0; i < 60; ++i) {
            const CDPoint next = i % 7 == 0 ? CDPoint(coordinate(random), coordinate(random))
                                            : CDPoint(at.x + 1.2345, at.y + (i % 3 - 1) * 0.0025);
            sheet.NewLine(at, next, 1 + i % 2, 0);
            at = i % 5 == 0 ? CDPoint(coordinate(random), coordinate(random)) : next;
        }
        sheet.NewLine(CDPoint(-1234.5675, 2147.4835), CDPoint(9999.9995, -0.0005), 2, 0);
        for (int i = 0; i < 8; ++i)
            sheet.NewLand(CDPoint(coordinate(random), coordinate(random)), 3 + i % 2);
        constexpr double kPi = std::numbers::pi;
        sheet.NewArc(CArc(CDPoint(7.0005, 12), 5, kPi, 0, ARC_CW, 2));
        sheet.NewArc(CArc(CDPoint(17, -12.0015), 5.25, kPi / 3, 0, 0, 2));
        sheet.NewArc(CArc(CDPoint(30, 10), 3, 0, 0, 0, 1));

        CSheet outline;
        outline.NewLine(CDPoint(40, 40), CDPoint(52.5, 40), 1, 0);
        outline.NewLine(CDPoint(52.5, 40), CDPoint(46, 51.3), 1, 0);
        outline.NewLine(CDPoint(46, 51.3), CDPoint(40, 40), 1, 0);
        if (CSur* sur = sheet.NewSur(&outline, false))
            sur->MakeSurLine(true);

        const char* names[] = {"TP1", "R12", "~RST~", "VCC3V3", "gnd", "A~B", "IC 7", "x"};
        for (int i = 0; i < 16; ++i) {
            CText text(names[i % 8], CDPoint(coordinate(random), coordinate(random)), i % 3 == 0 ? 2 : 0);
            if (text.IsStroke()) {
                LOGFONTA font{};
                font.lfHeight = 150;
                font.lfWidth = 120;
                font.lfWeight = 30;
                text.SetFontRecord(font);
            }
            text.SetSize(100 + 25 * (i % 4));
            if (i % 4 == 1)
                text.SetAngle(kPi / 6 * (i % 5));
            if (i % 5 == 2)
                text.SetType(text.GetType() | TEXT_MIRROR);
            if (i % 6 == 3)
                text.SetType(text.GetType() | TEXT_FRAME);
            sheet.NewText(text);
        }

        for (int i = 0; i < 6; ++i)
            viaParts.NewVia(CVia(CDPoint(coordinate(random), coordinate(random)), 1, &doc, 0x1));

        const double sizes[] = {0.8, 1.0, 0.8, 3.0};
        for (int i = 0; i < 12; ++i) {
            CHole* hole =
                sheet.NewHole(CDPoint(coordinate(random), coordinate(random)), sizes[i % 4], true, 0, 0, 0);
            hole->SetType(hole->GetType() | (i % 4 == 2 ? 0 : HOLE_THROUGH));
        }
    }

    std::uint32_t Body(const PinRow& row, bool photo)
    {
        GerberOutput out;
        out.g.photo = photo ? 1 : 0;
        row.settings(out.g);
        sheet.SerializeGerbar(out.ar, out.g);
        return Fnv1a(out.ar.Data());
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
    platform::MemoryProfile profile;
    testing_support::TempStrokeFont strokeFont;
    CSheet viaParts{0, 0, LAYER_MAX, &doc};
    CSheet sheet{0, 0x1, 0, &doc};
};

class LayerOutputPinTest : public LayerOutputFixture, public ::testing::WithParamInterface<PinRow>
{
};

class LayerUsagePinTest : public LayerOutputFixture
{
};

void PrintTo(const PinRow& row, std::ostream* os)
{
    *os << row.name;
}

TEST_P(LayerOutputPinTest, BodiesKeepTheirBytes)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    Build();
    const PinRow& row = GetParam();
    GerberOutput sample;
    sample.g.photo = 1;
    sheet.SerializeGerbar(sample.ar, sample.g);
    ASSERT_GT(sample.Blocks().size(), 3000u); // tracks, arcs, the surface's fill and every glyph
    EXPECT_EQ(Body(row, true), row.photo) << platform::Format("photo 0x%08x", Body(row, true));
    EXPECT_EQ(Body(row, false), row.drill) << platform::Format("drill 0x%08x", Body(row, false));
}

// The aperture usage of the same layer (counts and drawn lengths to the last bit): the usage
// pass builds the texts' glyphs as the output does.
TEST_F(LayerUsagePinTest, UsageKeepsItsCounts)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    Build();
    std::array<tagDCODE, TURRET_MAX + 1> table{};
    sheet.CheckTurret(table.data());
    std::vector<std::uint8_t> bytes;
    for (const tagDCODE& entry : table) {
        const auto add = [&](const void* p, std::size_t n) {
            const auto* b = static_cast<const std::uint8_t*>(p);
            bytes.insert(bytes.end(), b, b + n);
        };
        add(&entry.drawCount, sizeof entry.drawCount);
        add(&entry.flashCount, sizeof entry.flashCount);
        add(&entry.drawnLength, sizeof entry.drawnLength);
    }
    EXPECT_GT(table[1].drawCount, 1000); // the glyphs' outlines and fill
    EXPECT_EQ(Fnv1a(bytes), 0x4147e502u) << platform::Format("usage 0x%08x", Fnv1a(bytes));
}

// clang-format off
const PinRow kRows[] = {
    {"MillimetresAbsolute", [](tagGERBAR&) {}, 0x6c1d8666u, 0xd7ba23f6u},
    {"Inches", [](tagGERBAR& g) { g.metric = 0; g.outputFactor = 10000.0; }, 0x1c964ff5u, 0xcdaa080cu},
    {"Incremental", [](tagGERBAR& g) { g.absolute = 0; }, 0xd4e1a779u, 0xcdc6b1f9u},
    {"OriginOffsetScale", [](tagGERBAR& g) { g.originX = 3.3335; g.originY = -7.25; g.offsetX = 0.5; g.scale = 1.5; }, 0xd934b62au, 0xd6e44772u},
    {"MirroredAndTurned", [](tagGERBAR& g) { g.mirrorX = 1; g.angle = std::numbers::pi / 2; g.originX = 10.0; }, 0xca3341b0u, 0x7f620e50u},
    {"TurnedOdd", [](tagGERBAR& g) { g.angle = 0.3; g.mirrorY = 1; }, 0xd83f4c3fu, 0x163d5bcbu},
    {"TapeCodeEia", [](tagGERBAR& g) { g.codeType = 2; }, 0x6bbc2c03u, 0x268d60d6u},
    {"TapeCodeIso", [](tagGERBAR& g) { g.codeType = 3; g.endOfBlock = 0x0D; }, 0x976ed116u, 0x3f74fae4u},
    {"LineBreaks", [](tagGERBAR& g) { g.lineBreak = 1; }, 0x522460aeu, 0x8038070au},
    {"CarriageReturnEnding", [](tagGERBAR& g) { g.endOfBlock = 0x0D; }, 0x433ab7c2u, 0x5cbb8998u},
    {"ArcModes", [](tagGERBAR& g) { g.arcMode = 2; g.hitType = 1; }, 0x369a40b3u, 0x3693dc36u},
    {"ArcModeRadius", [](tagGERBAR& g) { g.arcMode = 3; g.hitType = 3; }, 0x01c5d0d1u, 0x2ec74890u},
    {"ArcSegments", [](tagGERBAR& g) { g.arcMode = 4; g.hitType = 2; g.metric = 0; g.outputFactor = 1000.0; }, 0x20d1beceu, 0x40be1c46u},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Settings, LayerOutputPinTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<PinRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
