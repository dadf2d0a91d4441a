#include "fuzz/targets/FuzzTargets.h"

#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/library/Library.h"
#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "platform/Archive.h"

#include <unistd.h>

#include <array>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>

namespace fuzz {

namespace {

// The dialects that have a reader.
constexpr std::array<int, kNetDialects> kReadDialects = {
    NETDIALECT_CR3000,   NETDIALECT_VISULA,   NETDIALECT_ECAD,      NETDIALECT_COMPUTER_VISION,
    NETDIALECT_TANGO,    NETDIALECT_TELESIS,  NETDIALECT_WORK_VIEW, NETDIALECT_POWER_VIEW,
    NETDIALECT_PADS,     NETDIALECT_PADS_PCB, NETDIALECT_PADS_2000, NETDIALECT_SCICARDS,
    NETDIALECT_CADVANCE, NETDIALECT_CADLUS,   NETDIALECT_CALAY,     NETDIALECT_ULTIBOARD};

// A sheet in its board place: a wiring layer's sheet, or the via and part sheet (which fills the
// surfaces of the parts stored into it).
std::unique_ptr<CSheet> BoardSheet(Environment& env, bool viaParts)
{
    using testing_support::PartBoard;
    const int layer = viaParts ? LAYER_MAX : PartBoard::kTop;
    auto sheet = std::make_unique<CSheet>(viaParts ? 0 : 1, 0x3, layer, &env.board.doc);
    sheet->SetSheetType(viaParts ? SHEET_BOARD_VIAPART : SHEET_BOARD);
    return sheet;
}

// What the program does with a sheet it has read: bounds (texts measured, parts laid out), and
// both stored forms written again.
void UseSheet(Environment& env, CSheet& sheet)
{
    sheet.GetBoundingRect();
    CArchive binary(CArchive::store);
    binary.SetDocument(&env.board.doc);
    sheet.DataWrite(binary, 6);
    CArchive text(CArchive::store);
    text.SetDocument(&env.board.doc);
    sheet.SerializeText(text);
}

// Layer record: the first byte picks the version (1..6) and the sheet, the rest is the record.
void LayerRecord(Environment& env, const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return;
    const int version = 1 + data[0] % 6;
    std::unique_ptr<CSheet> sheet = BoardSheet(env, (data[0] & 0x80) != 0);
    CArchive ar(CArchive::load, Bytes(data + 1, data + size));
    ar.SetDocument(&env.board.doc);
    try {
        sheet->DataRead(ar, version);
    } catch (const ArchiveError&) {
        return;
    }
    UseSheet(env, *sheet);
}

// Item text form, as the clipboard gives it.
void ItemText(Environment& env, const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<CSheet> sheet = BoardSheet(env, false);
    CArchive ar(CArchive::load, Bytes(data, data + size));
    ar.SetDocument(&env.board.doc);
    try {
        sheet->SerializeText(ar);
    } catch (const ArchiveError&) {
        return;
    }
    UseSheet(env, *sheet);
}

// Library file: every package loaded into a work sheet and into the via and part sheet, the
// index outline, and the text-library export.
void LibraryFile(Environment& env, const std::uint8_t* data, std::size_t size)
{
    CLibrary lib;
    lib.SetLibraryName(env.WriteFile("fuzz.vlb", data, size));
    if (lib.ReadFile() != 1)
        return;
    CSheet work;
    work.SetDocument(&env.board.doc);
    lib.ReadPart(&work);
    std::unique_ptr<CSheet> viaParts = BoardSheet(env, true);
    lib.ReadPart(viaParts.get());
    CSheet outline;
    outline.SetDocument(&env.board.doc);
    lib.ReadPartOutline(&outline);
    lib.WriteAsciiFile(env.PathOf("export.txt"), &env.board.doc);
}

// Text library: imported into a library that does not exist yet.
void TextLibrary(Environment& env, const std::uint8_t* data, std::size_t size)
{
    const std::string input = env.WriteFile("fuzz.txt", data, size);
    std::error_code ec;
    std::filesystem::remove(env.PathOf("import.vlb"), ec);
    CLibrary lib;
    lib.SetLibraryName(env.PathOf("import.vlb"));
    lib.ReadAsciiFile(input, &env.board.doc);
}

// Net list: the first byte picks the dialect, the rest is one net's text; the net is written
// again in its dialect.
void NetList(Environment&, const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return;
    const int code = NetDialectOf(data[0]);
    CNet net;
    net.MakeNet(code, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    net.MakeString(code, 1);
}

// Stroke-font file: opened as the program's font; the characters of its lines looked up, and a
// text of some of them (and of characters it may lack) converted to lines.
void StrokeFont(Environment& env, const std::uint8_t* data, std::size_t size)
{
    if (!InitQuarn(env.WriteFile("VELTA0.FNT", data, size)))
        return;
    std::string text = "AZaz09#";
    std::size_t begin = 0;
    for (int lines = 0; begin < size && lines < 64; ++lines) {
        std::size_t end = begin;
        while (end < size && data[end] != '\n')
            ++end;
        const unsigned code =
            StrokeFontFile::ParseCode(std::string(reinterpret_cast<const char*>(data + begin), end - begin));
        std::string strokes;
        GetStrokeData(code, strokes);
        if (code > 0x20 && code < 0x7F)
            text += static_cast<char>(code);
        else if (code >= 0x8140 && code <= 0xFCFC && (code & 0xFF) >= 0x40)
            text += std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        begin = end + 1;
    }
    CText stroke(text, CDPoint(1, 1), testing_support::PartBoard::kTrack);
    LOGFONTA font{};
    font.lfHeight = 200;
    font.lfWidth = 150;
    font.lfWeight = 30;
    stroke.SetFontRecord(font);
    CSheet sheet;
    stroke.ConvertLine(sheet);
    TermQuarn();
}

} // namespace

int NetDialectOf(std::uint8_t selector)
{
    return kReadDialects[selector % kReadDialects.size()];
}

Environment::Environment()
{
    platform::SetMessageService(&messages);
    platform::SetProfile(&profile);
    std::random_device rd;
    m_dir = std::filesystem::temp_directory_path() /
            ("velta-fuzz-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(m_dir);
}

Environment::~Environment()
{
    platform::SetMessageService(nullptr);
    platform::SetProfile(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

std::string Environment::PathOf(const std::string& name) const
{
    return (m_dir / name).string();
}

std::string Environment::WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

const std::vector<Target>& Targets()
{
    static const std::vector<Target> targets = {
        {"layer-record", LayerRecord}, {"item-text", ItemText}, {"library-file", LibraryFile},
        {"text-library", TextLibrary}, {"net-list", NetList},   {"stroke-font", StrokeFont},
    };
    return targets;
}

const Target* FindTarget(const std::string& name)
{
    for (const Target& target : Targets())
        if (name == target.name)
            return &target;
    return nullptr;
}

} // namespace fuzz
