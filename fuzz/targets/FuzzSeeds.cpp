// The first inputs of the fuzz targets, written by the project's own writers: a layer of every
// item kind and a placed part of every item kind in both stored forms, a library of such parts
// and its text export, one net in every dialect, and slices of the generated stroke font.

#include "fuzz/targets/FuzzTargets.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/library/Library.h"
#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/support/PartBoard.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>

namespace fuzz {

namespace {

using testing_support::PartBoard;

Bytes FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CSur Square(double x0, double y0, double x1, double y1, int turret)
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], turret, 0));
    sur.SetTurretNo(turret);
    return sur;
}

CText StrokeText(const std::string& string, const CDPoint& at)
{
    CText text(string, at, PartBoard::kTrack);
    LOGFONTA font{};
    font.lfHeight = 200;
    font.lfWidth = 150;
    font.lfWeight = 30;
    text.SetFontRecord(font);
    return text;
}

// A surface with a window, an arc in its outline and a property.
CSur RichSurface(int turret)
{
    CSur sur = Square(10, 10, 20, 20, turret);
    sur.NewArc(CArc(CDPoint(20, 15), 2.0, -std::numbers::pi / 2, std::numbers::pi / 2, 0, turret));
    sur.NewWindow(Square(12, 12, 14, 14, turret));
    sur.SetProperty("COC", "1.5 0.5");
    return sur;
}

// A part of every item kind.
CPart RichPart(const std::string& name, double x)
{
    CPart part(CDPoint(x, 1), CDRect(x - 1, 0, x + 3, 2), 1, 0, 0.0, 0);
    part.SetPartName(name.c_str());
    part.GetPartNameText()->SetLayerNo(PartBoard::kSilkTextA);
    part.SetRefName("U1");
    part.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
    part.NewLand(CDPoint(x, 1), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    part.NewLine(CDPoint(x - 1, 0), CDPoint(x + 3, 0), PartBoard::kTrack, 0)
        ->SetLayerNo(PartBoard::kSilkLineA);
    part.NewTer(CDPoint(x, 1), CText("1", CDPoint(x, 1), 0))->SetLayerNo(PartBoard::kTermA);
    part.NewArc(CArc(CDPoint(x, 3), 1.0, 0.0, std::numbers::pi, 0, PartBoard::kTrack))
        ->SetLayerNo(PartBoard::kSilkLineA);
    part.NewHole(CDPoint(x + 1, 1), 0.8, true, 0.0, 0.0, 0.0)->SetLayerNo(PartBoard::kHoleA);
    part.NewText(StrokeText("PIN1", CDPoint(x, 2)))->SetLayerNo(PartBoard::kSilkTextA);
    part.NewSur(RichSurface(PartBoard::kTrack))->SetLayerNo(PartBoard::kTop);
    part.NewVia(CVia(CDPoint(x + 2, 1), 1, nullptr, 0x3));
    return part;
}

// A wiring layer holding one item of every kind.
void FillLayer(Environment& env, CSheet& sheet)
{
    CLine line(CDPoint(1, 1), CDPoint(5, 1), PartBoard::kTrack, 0);
    line.SetName(std::string("4"), 100, true);
    line.SetArrow(100, -20);
    sheet.NewLine(line);
    sheet.NewArc(CArc(CDPoint(3, 3), 1.5, 0.0, std::numbers::pi / 2, 0, PartBoard::kTrack));
    sheet.NewLand(CDPoint(7, 2), PartBoard::kPad);
    sheet.NewHole(CDPoint(8, 8), 0.8, true, 0.0, 0.0, 0.0);
    sheet.NewText(StrokeText("VELTA", CDPoint(2, 9)));
    sheet.NewText(CText(_J("部品"), CDPoint(2, 12), PartBoard::kTrack));
    sheet.NewTer(CDPoint(6, 6), CText("A1", CDPoint(6, 6), 0), 0);
    sheet.NewSur(RichSurface(PartBoard::kTrack));
    sheet.NewVia(CVia(CDPoint(9, 3), 1, &env.board.doc, 0x3));
}

std::vector<std::unique_ptr<CSheet>> Sheets(Environment& env)
{
    std::vector<std::unique_ptr<CSheet>> sheets;
    auto layer = std::make_unique<CSheet>(1, 0x3, PartBoard::kTop, &env.board.doc);
    layer->SetSheetType(SHEET_BOARD);
    FillLayer(env, *layer);
    sheets.push_back(std::move(layer));
    auto parts = std::make_unique<CSheet>(0, 0x3, LAYER_MAX, &env.board.doc);
    parts->SetSheetType(SHEET_BOARD_VIAPART);
    parts->NewPart(RichPart("SOP8", 1));
    parts->NewVia(CVia(CDPoint(9, 3), 1, &env.board.doc, 0x3));
    sheets.push_back(std::move(parts));
    return sheets;
}

std::vector<Bytes> LayerRecords(Environment& env)
{
    std::vector<Bytes> seeds;
    std::vector<std::unique_ptr<CSheet>> sheets = Sheets(env);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        CArchive ar(CArchive::store);
        ar.SetDocument(&env.board.doc);
        sheets[i]->DataWrite(ar, 6);
        // Version 6 (current) and version 2 (old numbering), in the layer's or the part sheet.
        for (const std::uint8_t version : {std::uint8_t{5}, std::uint8_t{1}}) {
            Bytes seed{static_cast<std::uint8_t>(version | (i == 1 ? 0x80 : 0))};
            seed.insert(seed.end(), ar.Data().begin(), ar.Data().end());
            seeds.push_back(std::move(seed));
        }
    }
    return seeds;
}

std::vector<Bytes> ItemTexts(Environment& env)
{
    std::vector<Bytes> seeds;
    for (const std::unique_ptr<CSheet>& sheet : Sheets(env)) {
        CArchive ar(CArchive::store);
        ar.SetDocument(&env.board.doc);
        sheet->SerializeText(ar);
        seeds.push_back(ar.Data());
    }
    return seeds;
}

// A library of two packages of rich parts; with text, its text export instead.
Bytes Library(Environment& env, bool text)
{
    const std::string path = env.PathOf("seed.vlb");
    std::filesystem::remove(path);
    CLibrary lib;
    lib.SetLibraryName(path);
    CPart a = RichPart("SOP8", 1), b = RichPart("QFP", 5);
    CSheet sheet;
    sheet.SetDocument(&env.board.doc);
    sheet.NewPart(a);
    sheet.NewPart(b);
    lib.WritePart(&sheet, 1);
    if (!text)
        return FileBytes(path);
    lib.ReadFile();
    lib.WriteAsciiFile(env.PathOf("seed.txt"), &env.board.doc);
    return FileBytes(env.PathOf("seed.txt"));
}

// One net of every dialect with a reader, as its writer writes it, behind the dialect byte.
std::vector<Bytes> NetLists()
{
    struct Net : CNet
    {
        using CNet::CNet;
        using CNet::SetRefPin;
    };
    Net net("GND");
    for (const auto& [ref, pin] : {std::pair{"U1", "7"}, {"U2", "14"}, {"R100", "2"}, {"IC10", "A3"}})
        net.SetRefPin(ref, pin);
    std::vector<Bytes> seeds;
    for (int selector = 0; selector < kNetDialects; ++selector) {
        const std::string text = net.MakeString(NetDialectOf(static_cast<std::uint8_t>(selector)), 1);
        Bytes seed{static_cast<std::uint8_t>(selector)};
        seed.insert(seed.end(), text.begin(), text.end());
        seeds.push_back(std::move(seed));
    }
    return seeds;
}

// Runs of lines of the stroke font: its beginning, and runs from the middle and the end, where
// the double-byte characters are.
std::vector<Bytes> StrokeFonts(const std::string& file)
{
    std::vector<Bytes> seeds;
    if (file.empty())
        return seeds;
    const Bytes all = FileBytes(file);
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == '\n' && i + 1 < all.size())
            starts.push_back(i + 1);
    const auto slice = [&](std::size_t first, std::size_t count) {
        const std::size_t begin = starts[std::min(first, starts.size() - 1)];
        const std::size_t end = first + count < starts.size() ? starts[first + count] : all.size();
        seeds.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(begin),
                           all.begin() + static_cast<std::ptrdiff_t>(end));
    };
    slice(0, 40);
    slice(starts.size() / 2, 20);
    slice(starts.size() - std::min<std::size_t>(starts.size(), 10), 10);
    return seeds;
}

} // namespace

std::vector<Bytes> Seeds(Environment& env, const std::string& target, const std::string& strokeFontFile)
{
    const std::string name = target;
    if (name == "layer-record")
        return LayerRecords(env);
    if (name == "item-text")
        return ItemTexts(env);
    if (name == "library-file")
        return {Library(env, false)};
    if (name == "text-library")
        return {Library(env, true)};
    if (name == "net-list")
        return NetLists();
    if (name == "stroke-font")
        return StrokeFonts(strokeFontFile);
    return {};
}

} // namespace fuzz
