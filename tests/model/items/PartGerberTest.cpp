// Photo-plot output and aperture usage of parts, and the aperture usage of a layer with every kind
// of item counted item by item.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "tests/support/GerberOutput.h"
#include "tests/support/PartBoard.h"
#include "tests/support/TempStrokeFont.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::GerberOutput;
using testing_support::PartBoard;
using Blocks = std::vector<std::string>;
using Usage = std::array<tagDCODE, TURRET_MAX + 1>;

constexpr double kPi = std::numbers::pi;
constexpr int kTop = PartBoard::kTop;
constexpr int kTopType = 0x3; // the top sheet's type word: wiring layer of the first group

// A stroke name text of turret 4 on an arc or line, made an angle or length dimension.
void StrokeName(CText* name)
{
    LOGFONTA lf;
    lf.lfHeight = 200;
    lf.lfWidth = 200;
    lf.lfWeight = 50;
    name->SetFontRecord(lf);
    name->SetType(name->GetType() | TEXT_STROKE);
    name->SetTurretNo(PartBoard::kBigPad, false);
}

template <class T> T OnLayer(T item, int layer)
{
    item.SetLayerNo(layer);
    return item;
}

CArc DimensionArc(const CDPoint& centre, double radius, double start, double end, int type)
{
    CArc arc(centre, radius, start, end, type, PartBoard::kTrack);
    arc.SetArrow(200, 150);
    arc.SetName("A", 250, true);
    StrokeName(arc.GetNameText());
    arc.SetDimension(tagDIMS{200, 15.0 * kPi / 180.0, 0, 100, 250});
    return arc;
}

class PartGerberTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(GetStrokeFontFile().Open(VELTA_BINARY_DIR "/VELTA0.FNT")); }
    void TearDown() override { GetStrokeFontFile().Close(); }

    PartBoard board;
};

// The output is mirrored about x = 1 and turned a quarter about (1, 1): the board point (x, y)
// lands on (2 - y, 2 - x). The part's arcs are written once transformed in every arc mode: its
// output is that of the same items placed there by hand and written untransformed.
TEST_F(PartGerberTest, MirroredAndTurnedPartWritesItsArcsOnce)
{
    CPart part;
    part.NewLand(OnLayer(CLand(CDPoint(3, 4), PartBoard::kPad), kTop));
    part.NewLine(OnLayer(CLine(CDPoint(3, 4), CDPoint(5, 4), PartBoard::kTrack, 0), kTop));
    part.NewArc(OnLayer(CArc(CDPoint(3, 4), 2, 0.3, 1.9, 0, PartBoard::kTrack), kTop));
    part.NewArc(OnLayer(DimensionArc(CDPoint(6, 2), 1.5, 0, kPi / 2, 0), kTop));
    CArc offLayer(CDPoint(0, 0), 1, 0, 1, 0, PartBoard::kTrack);
    offLayer.SetLayerNo(PartBoard::kSilkLineA);
    part.NewArc(offLayer);

    CLand land(CDPoint(-2, -1), PartBoard::kPad);
    CLine line(CDPoint(-2, -1), CDPoint(-2, -3), PartBoard::kTrack, 0);
    CArc arc(CDPoint(-2, -1), 2, 1.5 * kPi - 0.3, 1.5 * kPi - 1.9, ARC_CW, PartBoard::kTrack);
    CArc dimension = DimensionArc(CDPoint(0, -4), 1.5, 1.5 * kPi, kPi, ARC_CW);

    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        GerberOutput turned(mode);
        turned.Transform(1, kPi / 2, 1, 1);
        part.DataWriteGerbar(turned.ar, turned.g, kTop, kTopType, 0, false);

        GerberOutput plain(mode);
        plain.Transform(0, 0.0, 1, 1);
        land.DataWriteGerbar(plain.ar, plain.g);
        line.DataWriteGerbar(plain.ar, plain.g, false);
        arc.DataWriteGerbar(plain.ar, plain.g, false);
        dimension.DataWriteGerbar(plain.ar, plain.g, false);

        EXPECT_EQ(turned.Blocks(), plain.Blocks());
        EXPECT_GT(turned.Blocks().size(), 50u); // the dimension's arrows and angle text included
    }
}

TEST_F(PartGerberTest, ViasAfterThePendingLineOnLayersThatShowThem)
{
    CPart part;
    part.NewLand(OnLayer(CLand(CDPoint(1, 1), PartBoard::kBigPad), kTop));
    part.NewVia(CVia(CDPoint(5, 5), 1, nullptr, 0x1));
    const auto written = [&](int layerType, int viaArg) {
        GerberOutput out;
        out.g.pendingLine = "G04 VIAS";
        out.g.pendingLineFlag = 1;
        part.DataWriteGerbar(out.ar, out.g, kTop, layerType, viaArg, false);
        EXPECT_EQ(out.g.pendingLineFlag, 0);
        return out.Blocks();
    };
    // Via 1 has the pad turret in every land byte.
    EXPECT_EQ(written(kTopType, 1), (Blocks{"G54D14", "X1000Y1000", "D03", "D02", "G04 VIAS", "G54D11",
                                            "X5000Y5000", "D03", "D02"}));
    // No vias without a wiring position (unless on a resist layer), none on a layer with 0x40;
    // the pending line comes last then.
    const Blocks landOnly{"G54D14", "X1000Y1000", "D03", "D02", "G04 VIAS"};
    EXPECT_EQ(written(kTopType, 0), landOnly);
    EXPECT_EQ(written(kTopType | 0x40, 1), landOnly);
    EXPECT_EQ(written(0x100000, 0).size(), 9u);
}

// Usage tables, item by item. The stroke font holds only "A": three strokes of known length.
class ApertureUsageTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(strokeFont.Open("usage", testing_support::kStrokeFontA)); }
    void TearDown() override { strokeFont.Close(); }

    // A stroke "A" of turret 4, 2 mm cells: three strokes in a usage cell 2.5 mm wide.
    static CText LetterA(const CDPoint& at, int extraType = 0)
    {
        CText t("A", at, PartBoard::kBigPad);
        StrokeName(&t);
        t.SetType(t.GetType() | extraType);
        return t;
    }
    static double LetterLength() { return 2 * std::hypot(7 * 2.5 / 32, 2.0) + 8 * 2.5 / 32; }

    static CSur Square(double x, double y, bool noFill)
    {
        CSur sur;
        const CDPoint p[4] = {CDPoint(x, y), CDPoint(x + 2, y), CDPoint(x + 2, y + 2), CDPoint(x, y + 2)};
        for (int i = 0; i < 4; ++i)
            sur.AddLine(std::make_unique<CLine>(p[i], p[(i + 1) % 4], PartBoard::kThermal, 0));
        sur.SetTurretNo(PartBoard::kThermal, true);
        if (noFill)
            sur.ModifyType(SUR_NOFILL, SUR_NOFILL);
        return sur;
    }

    // The count of one layer sheet, kind by kind: the vias and parts of the via and part lists,
    // then the sheet's lands, lines (with their name texts), surfaces, arcs (a circle whole, with
    // their name texts) and free texts.
    static void CountLayer(Usage& table, CSheet& sheet, std::vector<CVia*> vias, std::vector<CPart*> parts)
    {
        const int type = sheet.GetType();
        if ((type & 0x100001) && !(type & 0x40)) {
            for (CVia* via : vias)
                via->CheckTurret(table.data(), type, sheet.GetWLayer());
        }
        for (CPart* part : parts)
            part->CheckTurret(table.data(), sheet.GetLayerNo(), type, sheet.GetWLayer());
        const auto count = [&](int turret, double length) {
            if (turret >= 0 && turret <= TURRET_MAX) {
                ++table[turret].drawCount;
                table[turret].drawnLength += length;
            }
        };
        for (POSITION pos = sheet.GetFirstLandPos(); pos;) {
            const int turret = sheet.GetNextLand(pos)->GetTurretNo();
            if (turret >= 0 && turret <= TURRET_MAX)
                ++table[turret].flashCount;
        }
        for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
            CLine* line = sheet.GetNextLine(pos);
            count(line->GetTurretNo(), line->GetLength());
            if (!line->IsNameEmpty())
                line->GetNameText()->CheckTurret(table.data());
        }
        for (POSITION pos = sheet.GetFirstSurPos(); pos;)
            sheet.GetNextSur(pos)->CheckTurret(table.data());
        for (POSITION pos = sheet.GetFirstArcPos(); pos;) {
            CArc* arc = sheet.GetNextArc(pos);
            const bool circle = std::fabs(arc->GetStartAngle() - arc->GetEndAngle()) < 0.001;
            count(arc->GetTurretNo(), arc->GetRadius() * (circle ? 2 * kPi : arc->GetAngle()));
            if (!arc->IsNameEmpty())
                arc->GetNameText()->CheckTurret(table.data());
        }
        for (POSITION pos = sheet.GetFirstTextPos(); pos;)
            sheet.GetNextText(pos)->CheckTurret(table.data());
    }

    PartBoard board;
    testing_support::TempStrokeFont strokeFont;
};

TEST_F(ApertureUsageTest, ALayerWithEveryKindCountsWhatItsItemsWrite)
{
    CSheet& sheet = board.topSheet;
    sheet.NewLand(CLand(CDPoint(0, 0), PartBoard::kPad));
    sheet.NewLand(CLand(CDPoint(0, 0), 130)); // beyond the table
    sheet.NewLine(CLine(CDPoint(0, 0), CDPoint(3, 4), PartBoard::kTrack, 0));
    CLine dimension(CDPoint(0, 10), CDPoint(10, 10), PartBoard::kTrack, 0);
    dimension.SetArrow(200, 200);
    dimension.SetName(std::string("A"), 250, true);
    StrokeName(dimension.GetNameText());
    sheet.NewLine(dimension);
    sheet.NewArc(CArc(CDPoint(20, 0), 1, 2.0, 2.0, 0, PartBoard::kTrack)); // a circle
    sheet.NewArc(CArc(CDPoint(20, 0), 2, 0, kPi, 0, PartBoard::kTrack));
    sheet.NewSur(Square(30, 0, true)); // no fill: only its outline counts
    sheet.NewText(LetterA(CDPoint(40, 0), TEXT_FRAME));
    CText unprinted = LetterA(CDPoint(40, 5));
    unprinted.Print(0);
    sheet.NewText(unprinted);

    CVia via(CDPoint(50, 0), 1, nullptr, 0x1); // pad turret on every land byte
    tagVIA odd = board.doc.viaTable[1];
    odd.lands.fill(200);
    board.doc.viaTable[2] = odd;
    CVia oddVia(CDPoint(55, 0), 2, nullptr, 0x1);

    CPart part;
    part.NewLand(OnLayer(CLand(CDPoint(60, 0), PartBoard::kBigPad), kTop));
    part.NewLine(OnLayer(CLine(CDPoint(60, 0), CDPoint(61, 0), PartBoard::kTrack, 0), kTop));
    part.NewLine(OnLayer(CLine(CDPoint(60, 0), CDPoint(70, 0), PartBoard::kTrack, 0), PartBoard::kSilkLineA));
    part.NewArc(OnLayer(CArc(CDPoint(60, 0), 3, 1.0, 1.0005, 0, PartBoard::kTrack), kTop)); // a circle
    part.NewSur(OnLayer(Square(60, 5, true), kTop));
    part.NewText(OnLayer(LetterA(CDPoint(60, 10)), kTop));
    CText ref = LetterA(CDPoint(60, 12));
    ref.SetLayerNo(kTop);
    part.SetRefName(ref);
    part.NewVia(CVia(CDPoint(65, 5), 1, nullptr, 0x1));

    Usage table{};
    CountLayer(table, sheet, {&via, &oddVia}, {&part});

    const double letter = LetterLength();
    // Flashes: the land, the board via and the part's via on the pad; the part's land.
    EXPECT_EQ(table[PartBoard::kPad].flashCount, 3);
    EXPECT_EQ(table[PartBoard::kBigPad].flashCount, 1);
    // Strokes of the track: two lines and two arcs of the sheet, a line and a circle of the part.
    EXPECT_EQ(table[PartBoard::kTrack].drawCount, 6);
    EXPECT_NEAR(table[PartBoard::kTrack].drawnLength, 5.0 + 10.0 + 2 * kPi + 2 * kPi + 1.0 + 6 * kPi, 1e-9);
    // The outlines of the two surfaces without fill.
    EXPECT_EQ(table[PartBoard::kThermal].drawCount, 8);
    EXPECT_NEAR(table[PartBoard::kThermal].drawnLength, 16.0, 1e-9);
    // Letters: the dimension's name, the free text with its frame, the part's text and reference.
    EXPECT_EQ(table[PartBoard::kBigPad].drawCount, 4 * 3 + 4);
    EXPECT_NEAR(table[PartBoard::kBigPad].drawnLength, 4 * letter, 1e-9);
    for (int t = 5; t <= TURRET_MAX; ++t) {
        EXPECT_EQ(table[t].drawCount + table[t].flashCount, 0) << t;
    }
    EXPECT_EQ(table[0].drawCount + table[0].flashCount, 0);

    // A layer that shows no vias counts neither the board's nor the part's.
    Usage noVias{};
    sheet.SetType(kTopType | 0x40);
    CountLayer(noVias, sheet, {&via}, {&part});
    EXPECT_EQ(noVias[PartBoard::kPad].flashCount, 1);
}

TEST_F(ApertureUsageTest, FilledSurfacesCountTheFillThatIsWritten)
{
    CSur filled = Square(0, 0, false);
    filled.MakeSurLine(true);
    ASSERT_GT(filled.GetSurLineCount(), 0);
    Usage table{};
    filled.CheckTurret(table.data());
    EXPECT_EQ(table[PartBoard::kThermal].drawCount, 4 + filled.GetSurLineCount());

    // Every counted stroke is written: one draw code per fill line, and the outline as one
    // stroke of four draws.
    GerberOutput out;
    filled.DataWriteGerbar(out.ar, out.g);
    int draws = 0;
    for (const std::string& b : out.Blocks())
        draws += b == "D01";
    EXPECT_EQ(draws, 1 + filled.GetSurLineCount());
}

} // namespace
