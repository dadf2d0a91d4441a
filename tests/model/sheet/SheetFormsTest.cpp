// The two stored forms of a layer sheet: the binary record of the board file and the item text
// form of the clipboard, with their framing, storing rules and failure handling.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "tests/support/PartBoard.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::Bytes;
using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;
constexpr int kVersion = 6;

class SheetFormsTest : public ::testing::Test
{
protected:
    PartBoard board;

    // A sheet in its board place: a layer sheet of layer `layer`, or the via and part sheet.
    std::unique_ptr<CSheet> Place(int layer)
    {
        auto sheet = std::make_unique<CSheet>(layer == PartBoard::kTop ? 1 : 0, 0x3, layer, &board.doc);
        sheet->SetSheetType(layer == LAYER_MAX ? SHEET_BOARD_VIAPART : SHEET_BOARD);
        if (layer == LAYER_MAX)
            sheet->SetWLayer(0);
        return sheet;
    }

    static CSur Square(double x0, double y0, double x1, double y1, int turret)
    {
        CSur sur;
        const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
        for (int i = 0; i < 4; ++i)
            sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], turret, 0));
        sur.SetTurretNo(turret);
        return sur;
    }

    // One item of every kind a layer sheet holds; a part goes into the via and part sheet.
    void FillLayer(CSheet& sheet)
    {
        CLine line(CDPoint(1, 1), CDPoint(5, 1), PartBoard::kTrack, 0);
        line.SetName(std::string("4"), 100, true);
        line.SetArrow(100, -20);
        sheet.NewLine(line);
        sheet.NewArc(CArc(CDPoint(3, 3), 1.5, 0.0, kPi / 2, 0, PartBoard::kTrack));
        sheet.NewLand(CDPoint(7, 2), PartBoard::kPad);
        sheet.NewHole(CDPoint(8, 8), 0.8, true, 0.0, 0.0, 0.0);
        CText stroke("VELTA", CDPoint(2, 9), PartBoard::kTrack);
        LOGFONTA strokeFont{};
        strokeFont.lfHeight = 200;
        strokeFont.lfWidth = 150;
        strokeFont.lfWeight = 30;
        stroke.SetFontRecord(strokeFont);
        sheet.NewText(stroke);
        sheet.NewTer(CDPoint(6, 6), CText("A1", CDPoint(6, 6), 0), 0);
        CSur sur = Square(10, 10, 20, 20, PartBoard::kTrack);
        sur.NewWindow(Square(12, 12, 14, 14, PartBoard::kTrack));
        sur.SetProperty("COC", "1.5 0.5");
        sheet.NewSur(sur);
        sheet.NewVia(CVia(CDPoint(9, 3), 1, &board.doc, 0x3));
    }

    void FillViaParts(CSheet& sheet)
    {
        auto part = std::make_unique<CPart>(CDPoint(30, 20), CDRect(28, 18, 36, 24), 3, 0x640007, 0.0, 0);
        part->SetPartName("DIP8");
        part->SetRefName("U1");
        part->SetValue("74HC00");
        for (CText* t : {part->GetPartNameText(), part->GetRefNameText(), part->GetValNameText()})
            t->SetLayerNo(PartBoard::kSilkTextA);
        part->NewTer(CDPoint(30, 20), CText("1", CDPoint(30, 20), 0))->SetLayerNo(PartBoard::kTermA);
        part->NewLand(CDPoint(30, 20), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part->NewLine(CDPoint(29, 19), CDPoint(33.5, 19), PartBoard::kTrack, 0)
            ->SetLayerNo(PartBoard::kSilkLineA);
        part->NewHole(CDPoint(30, 20), 0.8, true, 0.0, 0.0, 0.0)->SetLayerNo(PartBoard::kHoleA);
        part->NewText(CText("&MAKER&ACME", CDPoint(29, 23), 0))->SetLayerNo(PartBoard::kSilkLineA);
        sheet.NewPart(*part);
        sheet.NewVia(CVia(CDPoint(40, 3), 1, &board.doc, 0x3));
    }

    std::vector<std::uint8_t> Binary(CSheet& sheet)
    {
        CArchive ar(CArchive::store);
        ar.SetDocument(&board.doc);
        sheet.DataWrite(ar, kVersion);
        return ar.Data();
    }

    bool ReadBinary(CSheet& sheet, const std::vector<std::uint8_t>& bytes)
    {
        CArchive ar(CArchive::load, bytes);
        ar.SetDocument(&board.doc);
        const bool matches = sheet.DataRead(ar, kVersion);
        EXPECT_EQ(ar.Remaining(), 0u);
        return matches;
    }

    std::string Text(CSheet& sheet)
    {
        CArchive ar(CArchive::store);
        ar.SetDocument(&board.doc);
        EXPECT_EQ(sheet.SerializeText(ar), -1);
        return std::string(ar.Data().begin(), ar.Data().end());
    }

    // Reads blocks from the text until one reading returns a negative value; the indexes read.
    std::vector<int> ReadText(CSheet& sheet, const std::string& text)
    {
        CArchive ar(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
        ar.SetDocument(&board.doc);
        std::vector<int> indexes;
        for (int i = 0; i < 100; ++i) {
            const int index = sheet.SerializeText(ar);
            indexes.push_back(index);
            if (index < 0)
                break;
        }
        return indexes;
    }
};

// The items of two sheets, kind by kind in list order, by their own equality.
template <class T> void ExpectKindEqual(CSheet& a, CSheet& b, int kind)
{
    ASSERT_EQ(a.GetKindCount(kind), b.GetKindCount(kind)) << "kind " << kind;
    POSITION pa = a.GetFirstItemPos(kind);
    POSITION pb = b.GetFirstItemPos(kind);
    while (pa && pb) {
        T* x = static_cast<T*>(a.GetNextItem(kind, pa));
        T* y = static_cast<T*>(b.GetNextItem(kind, pb));
        if constexpr (std::is_same_v<T, CPart>)
            EXPECT_TRUE(x->Compare(*y)) << "kind " << kind;
        else
            EXPECT_TRUE(*x == *y) << "kind " << kind;
    }
}

void ExpectItemsEqual(CSheet& a, CSheet& b)
{
    ExpectKindEqual<CLine>(a, b, KIND_LINE);
    ExpectKindEqual<CArc>(a, b, KIND_ARC);
    ExpectKindEqual<CLand>(a, b, KIND_LAND);
    ExpectKindEqual<CHole>(a, b, KIND_HOLE);
    ExpectKindEqual<CText>(a, b, KIND_TEXT);
    ExpectKindEqual<CTer>(a, b, KIND_TER);
    ExpectKindEqual<CSur>(a, b, KIND_SUR);
    ExpectKindEqual<CVia>(a, b, KIND_VIA);
    ExpectKindEqual<CPart>(a, b, KIND_PART);
    EXPECT_TRUE(a == b);
}

// ---------------------------------------------------------------------------------------------
// Binary record

TEST_F(SheetFormsTest, EmptySheetIsThreeWordsAndReadsBack)
{
    CSheet empty(0, 0, 5, &board.doc);
    empty.SetSheetType(SHEET_BOARD);
    const std::vector<std::uint8_t> bytes = Binary(empty);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}));

    CSheet back(0, 0, 5, &board.doc);
    back.SetSheetType(SHEET_BOARD);
    EXPECT_TRUE(ReadBinary(back, bytes));
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_EQ(back.GetSheetType(), SHEET_BOARD);
    EXPECT_EQ(back.GetLayerNo(), 5);

    // A non-zero item count with every kind's count 0 is an empty sheet too.
    Bytes noItems;
    noItems.I32(0).I32(5).I32(3);
    for (int i = 0; i < 9; ++i)
        noItems.U32(0);
    CSheet none(0, 0, 5, &board.doc);
    none.SetSheetType(SHEET_BOARD);
    EXPECT_TRUE(ReadBinary(none, noItems.v));
    EXPECT_TRUE(none.IsEmpty());
}

TEST_F(SheetFormsTest, BinaryRecordHasTheKindsInOrderAndEveryKindRoundTrips)
{
    auto layer = Place(PartBoard::kTop);
    FillLayer(*layer);
    auto viaParts = Place(LAYER_MAX);
    FillViaParts(*viaParts);

    // The board file brings the bounds up to date before it writes (texts store their corners).
    layer->GetBoundingRect();
    const std::vector<std::uint8_t> bytes = Binary(*layer);
    // Header, then the line count as the first per-kind count.
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 16);
    EXPECT_EQ(head, (Bytes().I32(SHEET_BOARD).I32(PartBoard::kTop).I32(8).U32(1).v));

    auto layerBack = Place(PartBoard::kTop);
    EXPECT_TRUE(ReadBinary(*layerBack, bytes));
    EXPECT_EQ(layerBack->GetItemCount(), 8);
    ExpectItemsEqual(*layer, *layerBack);
    // Writing again gives the same bytes.
    layerBack->GetBoundingRect();
    const std::vector<std::uint8_t> again = Binary(*layerBack);
    ASSERT_EQ(again.size(), bytes.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        ASSERT_EQ(again[i], bytes[i]) << "byte " << i;

    auto viaPartsBack = Place(LAYER_MAX);
    EXPECT_TRUE(ReadBinary(*viaPartsBack, Binary(*viaParts)));
    ExpectItemsEqual(*viaParts, *viaPartsBack);
}

TEST_F(SheetFormsTest, BinaryReadStoresByTheSheetsRules)
{
    // Items written from another layer take the reading sheet's layer; the via and part sheet
    // keeps every item's own layer.
    CSheet work(SHEET_WORK);
    work.SetLayerNo(PartBoard::kTop);
    work.SetSheetType(SHEET_BOARD);
    work.NewLand(CDPoint(1, 1), PartBoard::kPad);
    CLand* onOther = work.NewLand(CDPoint(2, 2), PartBoard::kPad);
    onOther->SetLayerNo(40);
    const std::vector<std::uint8_t> bytes = Binary(work);

    auto sameLayer = Place(PartBoard::kTop);
    EXPECT_TRUE(ReadBinary(*sameLayer, bytes));
    for (POSITION pos = sameLayer->GetFirstLandPos(); pos;) {
        EXPECT_EQ(sameLayer->GetNextLand(pos)->GetLayerNo(), PartBoard::kTop);
    }

    work.SetSheetType(SHEET_BOARD_VIAPART);
    work.SetLayerNo(LAYER_MAX);
    auto viaParts = Place(LAYER_MAX);
    EXPECT_TRUE(ReadBinary(*viaParts, Binary(work)));
    std::vector<int> layers;
    for (POSITION pos = viaParts->GetFirstLandPos(); pos;)
        layers.push_back(viaParts->GetNextLand(pos)->GetLayerNo());
    EXPECT_EQ(layers, (std::vector<int>{PartBoard::kTop, 40}));
}

TEST_F(SheetFormsTest, RecordOfAnotherPlaceIsReadIntoThisPlaceAndReported)
{
    CSheet other(0, 0, 7, &board.doc);
    other.SetSheetType(SHEET_SELECTION);
    other.NewLand(CDPoint(1, 1), PartBoard::kPad);
    const std::vector<std::uint8_t> bytes = Binary(other);

    auto place = Place(PartBoard::kBottom);
    EXPECT_FALSE(ReadBinary(*place, bytes));
    EXPECT_EQ(place->GetSheetType(), SHEET_BOARD);
    EXPECT_EQ(place->GetLayerNo(), PartBoard::kBottom);
    ASSERT_EQ(place->GetItemCount(), 1);
    EXPECT_EQ(place->GetHeadLand()->GetLayerNo(), PartBoard::kBottom);
}

TEST_F(SheetFormsTest, EveryTruncationOfALayerRecordIsRefused)
{
    auto layer = Place(PartBoard::kTop);
    FillLayer(*layer);
    auto viaParts = Place(LAYER_MAX);
    FillViaParts(*viaParts);
    for (CSheet* sheet : {layer.get(), viaParts.get()}) {
        const int place = sheet->GetLayerNo();
        testing_support::ExpectEveryTruncationRefused(Binary(*sheet), [&](CArchive& ar) {
            ar.SetDocument(&board.doc);
            auto read = Place(place);
            try {
                read->DataRead(ar, kVersion);
            } catch (const ArchiveError&) {
                // Nothing half read stays behind.
                EXPECT_TRUE(read->IsEmpty());
                throw;
            }
        });
    }

    // A count that the data cannot hold is refused before anything is read for it.
    Bytes huge;
    huge.I32(0).I32(0).I32(1).U32(0xFFFFFFFFu);
    auto read = Place(PartBoard::kTop);
    CArchive ar(CArchive::load, huge.v);
    EXPECT_THROW(read->DataRead(ar, kVersion), ArchiveError);
}

// ---------------------------------------------------------------------------------------------
// Item text form

TEST_F(SheetFormsTest, TextBlockIsFramedByTheLayerNumberPlusOne)
{
    auto layer = Place(PartBoard::kTop);
    layer->NewLand(CDPoint(1, 2), PartBoard::kPad);
    CLand land(CDPoint(1, 2), PartBoard::kPad);
    land.SetLayerNo(PartBoard::kTop);
    EXPECT_EQ(Text(*layer), "Layer 1 0\n" + land.GetTextLine() + "LayerEnd 1\n");

    auto viaParts = Place(LAYER_MAX);
    viaParts->NewVia(CVia(CDPoint(9, 3), 1, &board.doc, 0x3));
    const std::string text = Text(*viaParts);
    EXPECT_EQ(text.rfind("Layer 129 4\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 13), "LayerEnd 129\n");

    auto empty = Place(PartBoard::kBottom);
    EXPECT_EQ(Text(*empty), "");
    EXPECT_EQ(ReadText(*empty, ""), std::vector<int>{-1});
    EXPECT_TRUE(empty->IsEmpty());
}

TEST_F(SheetFormsTest, TextWritesTheKindsInItsOrderAndEveryKindRoundTrips)
{
    auto layer = Place(PartBoard::kTop);
    FillLayer(*layer);
    const std::string text = Text(*layer);
    // Arcs, holes, lands, lines, surfaces, terminals, texts, vias.
    std::vector<std::size_t> at;
    for (const char* key :
         {"\nArc ", "\nHole ", "\nLand ", "\nLine ", "\nSur ", "\nTer ", "\nText \"VELTA", "\nVia "})
        at.push_back(text.find(key));
    for (std::size_t i = 0; i < at.size(); ++i) {
        ASSERT_NE(at[i], std::string::npos) << i;
        if (i > 0) {
            EXPECT_LT(at[i - 1], at[i]) << i;
        }
    }

    auto back = Place(PartBoard::kTop);
    EXPECT_EQ(ReadText(*back, text), (std::vector<int>{PartBoard::kTop, -1}));
    ExpectItemsEqual(*layer, *back);
    // The surface read from text is filled for its outline, as a stored one is.
    EXPECT_GT(back->GetHeadSur()->GetSurLineCount(), 0);
    EXPECT_EQ(back->GetHeadSur()->GetWndCount(), 1);
    EXPECT_EQ(back->GetHeadSur()->GetProperty("COC"), "1.5 0.5");

    auto viaParts = Place(LAYER_MAX);
    FillViaParts(*viaParts);
    auto partsBack = Place(LAYER_MAX);
    EXPECT_EQ(ReadText(*partsBack, Text(*viaParts)), (std::vector<int>{LAYER_MAX, -1}));
    ExpectItemsEqual(*viaParts, *partsBack);
}

TEST_F(SheetFormsTest, PropertyTextRoundTripsThroughTheTextForm)
{
    // A TrueType text has no pen: its turret, -1 before its first bounds and 0 after, does not
    // tell two copies apart, while a stroke text's pen does.
    CText property("&MAKER&ACME", CDPoint(1, 1), 0);
    EXPECT_EQ(property.GetTurretNo(), -1);
    CSheet work(SHEET_WORK);
    work.SetLayerNo(3);
    work.NewText(property);
    CSheet back(SHEET_WORK);
    back.SetLayerNo(3);
    EXPECT_EQ(ReadText(back, Text(work)), (std::vector<int>{3, -1}));
    ASSERT_EQ(back.GetCount(ID_INPUT_TEXT), 1);
    EXPECT_EQ(back.GetHeadText()->GetTurretNo(), 0);
    EXPECT_TRUE(*back.GetHeadText() == *work.GetHeadText());
    EXPECT_TRUE(back == work);

    CText drawn(property);
    drawn.GetBoundingRect();
    EXPECT_EQ(drawn.GetTurretNo(), 0);
    EXPECT_TRUE(drawn == property);
    EXPECT_EQ(work.DeleteText(drawn), 1);

    CText stroke("A", CDPoint(1, 1), 2);
    CText otherPen(stroke);
    otherPen.SetTurretNo(3, false);
    EXPECT_FALSE(stroke == otherPen);
}

TEST_F(SheetFormsTest, LineEndsOfEveryKindReadAlike)
{
    auto layer = Place(PartBoard::kTop);
    FillLayer(*layer);
    const std::string lf = Text(*layer);
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {lf, crlf, cr, lf + std::string(1, '\0') + "Layer 2 0\n"}) {
        auto back = Place(PartBoard::kTop);
        EXPECT_EQ(ReadText(*back, text), (std::vector<int>{PartBoard::kTop, -1}));
        ExpectItemsEqual(*layer, *back);
    }

    // Bare carriage returns: the byte after each one is the next line's first.
    CSheet bare(SHEET_WORK);
    bare.SetLayerNo(0);
    EXPECT_EQ(ReadText(bare, "Layer 1 0\rLand 1 2 1 0 0 0\rLand 3 4 1 0 0 0\rLayerEnd 1\r"),
              (std::vector<int>{0, -1}));
    EXPECT_EQ(bare.GetCount(ID_INPUT_LAND), 2);

    // A text cut off without its end line: what was read stays, the result is -1.
    CSheet cut(SHEET_WORK);
    cut.SetLayerNo(0);
    EXPECT_EQ(ReadText(cut, "Layer 1 0\nLand 1 2 1 0 0 0\nLand 3 4 1 0 0 0"), std::vector<int>{-1});
    EXPECT_EQ(cut.GetCount(ID_INPUT_LAND), 2);
}

TEST_F(SheetFormsTest, BlocksAreFoundByTheirLayerLines)
{
    // A block numbered 0 is skipped with its items; lines outside blocks are skipped; the end line
    // matches in any case and the index is the layer line's.
    const std::string text = "junk\n"
                             "Layer 0 0\nLand 9 9 1 0 0 0\nLayerEnd 0\n"
                             "  Layer 3 0\nLand 1 1 1 0 0 0\nlayerend 7\n"
                             "Layer 130 4\nLand 2 2 1 0 40 0\nLAYEREND 130\n";
    CSheet sheet(SHEET_WORK);
    sheet.SetLayerNo(2);
    EXPECT_EQ(ReadText(sheet, text), (std::vector<int>{2, 129, -1}));
    std::vector<double> xs;
    for (POSITION pos = sheet.GetFirstLandPos(); pos;)
        xs.push_back(sheet.GetNextLand(pos)->GetPoint().x);
    EXPECT_EQ(xs, (std::vector<double>{1, 2}));
}

TEST_F(SheetFormsTest, NestingOfPartsSurfacesAndWindows)
{
    const std::string text = "Layer 129 4\n"
                             "Part 10 10 8 8 12 12 0 0 0 0 0\n"
                             "Name \"P1\" 10 12 100 8200 0 0 10 0\n"
                             "Font \"Arial\" 120 0 400 0 0 0 0 0 0 0 0\n"
                             "Ref \"R1\" 10 11 100 8 0 0 10 0\n"
                             "Sur 2 0 0 0 0\n"
                             "Line 0 0 4 0 2 0 0 0 0 14 0\n"
                             "Line 4 0 4 3 2 0 0 0 0 14 0\n"
                             "Line 4 3 4.0000005 3 2 0 0 0 0 14 0\n"
                             "Line 4 3 0 0 2 0 0 0 0 14 0\n"
                             "Wnd 2 0 0 0 0\n"
                             "Arc 2 1 0.5 0 360 2 0 0 0 0 14 0\n"
                             "WndEnd\n"
                             "SurEnd\n"
                             "Ter 10 10 0 20 0 0\n"
                             "No \"1\" 10 10 64 14 0 0 20 0\n"
                             "PartEnd\n"
                             "Val \"10k\" 10 9 100 8 0 0 10 0\n"
                             "PartEnd\n"
                             "Name \"stray\" 0 0 100 8 0 0 0 0\n"
                             "Wnd 2 0 0 0 0\n"
                             "LayerEnd 129\n";
    CSheet sheet(SHEET_BOARD_VIAPART);
    sheet.SetLayerNo(LAYER_MAX);
    sheet.SetDocument(&board.doc);
    EXPECT_EQ(ReadText(sheet, text), (std::vector<int>{LAYER_MAX, -1}));
    ASSERT_EQ(sheet.GetItemCount(), 1);
    CPart* part = sheet.GetHeadPart();
    EXPECT_EQ(part->GetPartName(), "P1");
    // The font line after the name applies to the part's name text.
    EXPECT_STREQ(part->GetPartNameText()->GetFont()->lfFaceName, "Arial");
    EXPECT_EQ(part->GetRefName(), "R1");
    // "Val " after the part's end still names the part last read.
    EXPECT_EQ(part->GetValName(), "10k");
    EXPECT_EQ(part->GetTerCount(), 1);
    POSITION pos = part->GetFirstSurPos();
    CSur* sur = part->GetNextSur(pos);
    ASSERT_NE(sur, nullptr);
    // The line of no length is dropped; the window holds its circle.
    EXPECT_EQ(sur->GetLineCount(), 3);
    EXPECT_EQ(sur->GetWndCount(), 1);
    POSITION w = sur->GetFirstWndPos();
    EXPECT_EQ(sur->GetNextWnd(w)->GetArcCount(), 1);
    EXPECT_EQ(sur->GetArcCount(), 0);
}

TEST_F(SheetFormsTest, FontLineFollowsTheTextItBelongsTo)
{
    const std::string text = "Layer 1 0\n"
                             "Text \"A\" 1 1 100 8192 0 0 0 0\n"
                             "Font \"Arial\" 120 0 700 0 0 0 0 0 0 0 0\n"
                             "Land 1 2 1 0 0 0\n"
                             "Font \"Courier\" 120 0 400 0 0 0 0 0 0 0 0\n"
                             "LayerEnd 1\n";
    CSheet sheet(SHEET_WORK);
    sheet.SetLayerNo(0);
    EXPECT_EQ(ReadText(sheet, text), (std::vector<int>{0, -1}));
    ASSERT_EQ(sheet.GetCount(ID_INPUT_TEXT), 1);
    // The last text stays the one a font line applies to until another item ends it ("Via ").
    EXPECT_STREQ(sheet.GetHeadText()->GetFont()->lfFaceName, "Courier");
    EXPECT_TRUE(sheet.GetHeadText()->IsDisp());
}

} // namespace
