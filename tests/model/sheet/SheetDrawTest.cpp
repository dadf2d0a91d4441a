// Drawing a layer sheet (recorded calls), its colour under each drawing mode, and the strings that
// texts print with their print keys replaced.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Clock.h"
#include "platform/J.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Kind = platform::RecordingDrawContext::Kind;
constexpr COLORREF kRed = RGB(255, 0, 0);

class SheetDrawTest : public ItemDrawFixture
{
protected:
    SheetDrawTest()
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        tagVIA via;
        via.drill = 0.4;
        via.lands.fill(1);
        doc.viaTable[1] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        doc.SetWireLayers({0});
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[LAYER_MAX] = &viaParts;
        doc.selectionSheets[LAYER_MAX] = &selectionViaParts;
        tagLAYER layer;
        layer.color = kRed;
        layer.drawClass = 2;
        sheet.SetLayer(layer);
        sheet.SetSheetType(SHEET_BOARD);
    }

    void SetClass(int drawClass)
    {
        tagLAYER layer = sheet.GetLayer();
        layer.drawClass = static_cast<std::uint8_t>(drawClass);
        sheet.SetLayer(layer);
    }

    CSheet sheet{1, 0x1, 0, &doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};
    CSheet selectionViaParts{0, 0, LAYER_MAX, &doc};
};

struct ColourCase
{
    int mode;
    bool grey;
    COLORREF layer;
    COLORREF expected;
};

TEST_F(SheetDrawTest, ColourUnderEachMode)
{
    doc.greyLevel = 0x80;
    const ColourCase cases[] = {
        {0, false, kRed, kRed},
        {-3, false, kRed, kRed},
        {8, true, RGB(255, 255, 255), RGB(0x80, 0x80, 0x80)},
        {8, true, kRed, kRed},
        {8, false, RGB(255, 255, 255), 0},
        {-2, false, kRed, 0},
        {2, false, kRed, RGB(255, 255, 255)},
        {5, false, kRed, RGB(255, 255, 255)},
        {-1, false, kRed, RGB(255, 255, 255)},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.mode);
        frame.drawMode = c.mode;
        doc.greyPrint = c.grey;
        tagLAYER layer = sheet.GetLayer();
        layer.color = c.layer;
        sheet.SetLayer(layer);
        EXPECT_EQ(sheet.GetColor(), c.expected);
    }
}

TEST_F(SheetDrawTest, EmptySheetsDrawNothing)
{
    frame.drawMode = 0;
    EXPECT_EQ(Record([&] { sheet.DrawSheet(&dc); }), "");
    EXPECT_EQ(frame.drawMode, 0) << "not even the mode changes";
}

TEST_F(SheetDrawTest, ModeFollowsTheSheetAndThePrinter)
{
    sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), 2, 0);
    struct Case
    {
        int before;
        bool printing, grey;
        int sheetType;
        int after;
    } cases[] = {
        {0, false, false, SHEET_BOARD, 0},    {0, false, false, SHEET_SELECTION, 2},
        {2, false, false, SHEET_REPLACED, 5}, {0, true, false, SHEET_BOARD, -2},
        {0, true, true, SHEET_BOARD, 8},      {-2, false, false, SHEET_SELECTION, -2},
        {-3, true, true, SHEET_BOARD, -3},
    };
    for (const Case& c : cases) {
        frame.drawMode = c.before;
        doc.greyPrint = c.grey;
        dc.SetPrinting(c.printing);
        sheet.SetSheetType(c.sheetType);
        Record([&] { sheet.DrawSheet(&dc); });
        EXPECT_EQ(frame.drawMode, c.after) << c.before << " " << c.sheetType;
    }
}

TEST_F(SheetDrawTest, OrderPensAndBrushes)
{
    for (int drawClass : {2, 4}) {
        SCOPED_TRACE(drawClass);
        SetClass(drawClass);
        sheet.DeleteContents();
        viaParts.DeleteContents();
        sheet.NewHole(CHole(CDPoint(9, 9), 1.0, true, 0, 0, 0));
        sheet.NewText(CText("T", CDPoint(6, 6), 2));
        sheet.NewLand(CDPoint(3, 3), 1);
        sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), 2, 0);
        viaParts.NewVia(CVia(CDPoint(7, 7), 1, &doc, 0x1));
        frame.drawMode = 0;
        dc.SetBkColor(RGB(1, 2, 3));
        dc.ClearCalls();
        sheet.DrawSheet(&dc);
        ExpectRestored();
        EXPECT_EQ(dc.GetBkColor(), RGB(1, 2, 3));
        const auto& calls = dc.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().kind, Kind::SelectPen);
        EXPECT_EQ(calls.front().args, (std::vector<std::int64_t>{PS_SOLID, 0, kRed}));
        // The filled class selects the colour brush before any item; the vias take a colour brush
        // after the texts; on screen the holes take the black stock brush last.
        std::vector<std::vector<std::int64_t>> brushes;
        for (const auto& call : dc.CallsOf(Kind::SelectBrush))
            brushes.push_back(call.args);
        const std::vector<std::int64_t> colourBrush = {BS_SOLID, kRed}, blackBrush = {BS_SOLID, 0};
        ASSERT_GE(brushes.size(), 2u);
        if (drawClass == 4) {
            EXPECT_EQ(brushes[0], colourBrush);
            EXPECT_EQ(dc.Count(Kind::SetBkColor), 2u);
        } else {
            const auto via = std::find(brushes.rbegin(), brushes.rend(), colourBrush);
            const auto hole = std::find(brushes.rbegin(), brushes.rend(), blackBrush);
            ASSERT_NE(via, brushes.rend());
            ASSERT_NE(hole, brushes.rend());
            EXPECT_LT(hole, via) << "holes after vias";
        }
        std::size_t lastText = 0, firstVia = calls.size();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].kind == Kind::SelectFont || calls[i].kind == Kind::TextOut)
                lastText = i;
            if (calls[i].kind == Kind::SelectBrush && calls[i].args == colourBrush && i > 0 &&
                firstVia == calls.size() && (drawClass != 4 || i > 1))
                firstVia = i;
        }
        EXPECT_LT(lastText, firstVia) << "texts before vias";
        EXPECT_EQ(calls.back().kind, Kind::SelectPen) << "the caller's pen comes back last";
    }
}

TEST_F(SheetDrawTest, DrawingOrder)
{
    sheet.NewHole(CHole(CDPoint(9, 9), 1.0, true, 0, 0, 0));
    sheet.NewText(CText("T", CDPoint(6, 6), 0));
    sheet.NewLand(CDPoint(3, 3), 1);
    sheet.NewLine(CDPoint(0, 0), CDPoint(5, 0), 2, 0);
    viaParts.NewVia(CVia(CDPoint(7, 7), 1, &doc, 0x1));
    Record([&] { sheet.DrawSheet(&dc); });
    const auto& calls = dc.Calls();
    auto find = [&](Kind kind, std::vector<std::int64_t> args, std::size_t from) {
        for (std::size_t i = from; i < calls.size(); ++i) {
            if (calls[i].kind == kind && (args.empty() || calls[i].args == args))
                return i;
        }
        ADD_FAILURE() << "missing " << platform::RecordingDrawContext::KindName(kind) << "\n" << dc.Dump();
        return calls.size();
    };
    // Line, land, text, via (with the colour brush), hole (with the black stock brush), then the
    // caller's pen and brush back.
    const std::size_t line = find(Kind::StrokePath, {}, 0);
    const std::size_t land = find(Kind::Ellipse, {250, 250, 350, 350}, line);
    const std::size_t text = find(Kind::TextOut, {}, land);
    const std::size_t viaBrush = find(Kind::SelectBrush, {BS_SOLID, kRed}, text);
    const std::size_t via = find(Kind::Ellipse, {650, 650, 750, 750}, viaBrush);
    const std::size_t holeBrush = find(Kind::SelectBrush, {BS_SOLID, 0}, via);
    const std::size_t hole = find(Kind::Ellipse, {850, 850, 950, 950}, holeBrush);
    EXPECT_LT(hole, calls.size() - 1);
    EXPECT_EQ(calls.back().kind, Kind::SelectPen);
}

TEST_F(SheetDrawTest, HolesUseTheWhiteBrushWhenPrinting)
{
    sheet.NewHole(CHole(CDPoint(9, 9), 1.0, true, 0, 0, 0));
    dc.SetPrinting(true);
    Record([&] { sheet.DrawSheet(&dc); });
    std::vector<std::vector<std::int64_t>> brushes;
    for (const auto& call : dc.CallsOf(Kind::SelectBrush))
        brushes.push_back(call.args);
    ASSERT_FALSE(brushes.empty());
    EXPECT_EQ(brushes.front(), (std::vector<std::int64_t>{BS_SOLID, RGB(255, 255, 255)}));
}

TEST_F(SheetDrawTest, ViasOnlyOnLayersThatShowThem)
{
    viaParts.NewVia(CVia(CDPoint(7, 7), 1, &doc, 0x1));
    for (int word : {0x1, 0x10000, 0x100000, 0x41, 0x0}) {
        SCOPED_TRACE(word);
        CSheet layer(1, word, 3, &doc);
        layer.SetSheetType(SHEET_BOARD);
        const std::string calls = Record([&] { layer.DrawSheet(&dc); });
        const bool shown = !(word & 0x40) && (word & 0x110001);
        EXPECT_EQ(dc.Count(Kind::SelectBrush) > 0, shown) << calls;
    }
}

TEST_F(SheetDrawTest, PrintedTexts)
{
    sheet.NewText(CText("", CDPoint(0, 0), 2));
    sheet.NewText(CText("&title&", CDPoint(0, 5), 2));
    dc.SetPrinting(false);
    Record([&] { sheet.DrawSheet(&dc); });
    const std::size_t onScreen = dc.Calls().size();
    dc.SetPrinting(true);
    Record([&] { sheet.DrawSheet(&dc); });
    EXPECT_LT(dc.Calls().size(), onScreen + 1) << "the empty text is not printed";
}

struct PropertyCase
{
    std::string text;
    std::string printed;
};

TEST_F(SheetDrawTest, PrintProperties)
{
    platform::FixedClock clock(1700000000, 9 * 3600); // 2023-11-15 07:13:20 JST
    platform::SetClock(&clock);
    setenv("LC_ALL", "C", 1);
    doc.title = "board.vbd";
    doc.pathName = "/home/u/boards/board.vbd";
    doc.boardWidth = 100.0;
    doc.boardHeight = 80.5;
    doc.userOriginX = 1.0;
    doc.userOriginY = -2.25;
    doc.fileTimes = {1600000000, 1650000000, 1500000000};
    const PropertyCase cases[] = {
        {"plain", "plain"},
        {"one & only", "one & only"},
        {"&TITLE&", "board.vbd"},
        {"&title&", "&title&"},
        {"&PATH& &FILE&", "/home/u/boards/board.vbd board.vbd"},
        {"&SIZE&", "100.00- 80.50"},
        {"&ORG&", "  1.00, -2.25"},
        {"&DATE&%Y-%m-%d", "2023-11-15"},
        {"&date&%Y", "2023"},
        {"&DATE&%Y/%#m/%#d &TIME&%H:%M", "2023/11/15 07:13"},
        {"&TIME&%#H", "7"},
        {"&FDATE&%Y &CDATE&%Y &ADATE&%Y", "2020 2017 2022"},
        {"&DATE&%Q%", "%Q%"},
        {"&DATE&", ""},
        {"&NONE& &DATE&%y", "&NONE& 23"},
        {"&DATE&%Y&", "2023&"},
        {"&&DATE&%y", "&&DATE&%y"},
    };
    for (const PropertyCase& c : cases) {
        CText text(c.text, CDPoint(), 0);
        EXPECT_EQ(sheet.GetPrintProperty(&text), c.printed) << c.text;
    }
    // A board never saved prints its title as the path.
    doc.pathName.clear();
    CText path("&PATH&|&FILE&", CDPoint(), 0);
    EXPECT_EQ(sheet.GetPrintProperty(&path), "board.vbd|board.vbd");
    CText author("&AUTHOR&", CDPoint(), 0);
    EXPECT_FALSE(sheet.GetPrintProperty(&author).empty());
    platform::SetClock(nullptr);
    unsetenv("LC_ALL");
}

TEST_F(SheetDrawTest, DatesFollowTheUserTimeLocaleInCp932)
{
    platform::FixedClock clock(1678000000, 9 * 3600); // 2023-03-05 JST
    platform::SetClock(&clock);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    CText month("&DATE&%B", CDPoint(), 0);
    // "März": the a with diaeresis has no CP932 code and is dropped.
    EXPECT_EQ(sheet.GetPrintProperty(&month), "Mrz");
    CText jp(_J("&DATE&%Y年%#m月"), CDPoint(), 0);
    EXPECT_EQ(sheet.GetPrintProperty(&jp), _J("2023年3月"));
    platform::SetClock(nullptr);
    unsetenv("LC_ALL");
}

} // namespace
