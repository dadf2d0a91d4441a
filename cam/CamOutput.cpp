// The CAM output driver: the aperture or tool table made automatically, numbered in order or read
// from the user's table file; the list file vtphot.txt or vtdril.txt beside the board; then each
// ticked entry's file written and reported.

#include "cam/CamOutput.h"

#include "cam/CamReports.h"
#include "cam/DrillWriter.h"
#include "cam/PhotoWriter.h"
#include "document/BoardFileSupport.h"
#include "document/VELTADoc.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kPhoto = 0;
constexpr int kDrill = 1;
constexpr int kHitD03 = 3;
constexpr int kThrough = 0x1;
constexpr int kLong = 0x10;
constexpr int kRect = 0x20;
constexpr int kShapeBits = 0xF0;
constexpr int kMaxDecimals = 5;

std::string Trim(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool IsThroughTool(const tagTCODE& tool)
{
    return (tool.holeType & kThrough) != 0;
}

const std::string& ShapeName(int shape)
{
    switch (shape) {
    case 1:
        return _J("角形");
    case 2:
        return _J("円形中抜");
    case 3:
        return _J("サーマル");
    default:
        return _J("円形");
    }
}

// The aperture list: one row per used turret with its output D code.
std::string PhotoList(CVELTADoc& doc, bool assigned)
{
    std::string text;
    auto& apertures = doc.GetDCodeTable();
    for (int t = 0; t < CVELTADoc::APERTURE_MAX; ++t) {
        const tagDCODE& entry = apertures[static_cast<std::size_t>(t)];
        if (entry.drawCount == 0 && entry.flashCount == 0)
            continue;
        if (text.empty())
            text = _J("#タレット番号,Ｄコード # タイプ、外形\n");
        const tagTURRET turret = doc.GetTurretEntry(t);
        const int dcode = assigned && entry.codeCount > 0 ? entry.dcodes[0] : t + 10;
        text += platform::Format("%3d\t, D%d\t# %s %.5f\n", t, dcode, ShapeName(turret.shape).c_str(),
                                 turret.size1);
    }
    return text;
}

// Codes for the tools in table order, the long tools made as the long-hole method wants them,
// and the tool list.
std::string MakeToolList(CVELTADoc& doc, const tagGERBAR& g)
{
    const char* number = g.toolDigits == 2 ? "%02d" : g.toolDigits == 3 ? "%03d" : "%d";
    const bool d03 = g.hitType == kHitD03;
    const std::string prefix = d03 ? "D" : "T";
    const int first = d03 ? 10 : 1;
    auto& tools = doc.GetTCodeTable();
    const int count = std::clamp(doc.GetTCodeCount(), 0, CVELTADoc::TOOL_TABLE_MAX);
    std::string text;
    for (int i = 0; i < count; ++i) {
        tagTCODE& tool = tools[static_cast<std::size_t>(i)];
        const std::string code = prefix + platform::Format(number, i + first);
        tool.toolCode.fill('\0');
        std::copy_n(code.begin(), std::min(code.size(), tool.toolCode.size() - 1), tool.toolCode.begin());
        if (tool.diameter <= 0.0)
            continue;
        std::string kindName = IsThroughTool(tool) ? "TH" : "NTH";
        const bool rect = (tool.holeType & kRect) != 0;
        if ((tool.holeType & kLong) || (rect && g.rectAsLong)) {
            if (g.longHoleMode != 0) {
                tool.holeType = (tool.holeType & ~kShapeBits) | kLong;
                kindName = "L" + kindName;
                tool.radius = tool.diameter * 0.5;
            } else {
                tool.diameter = RoundDrillOfShape(tool.diameter, tool.width, rect);
                tool.width = 0.0;
                tool.radius = 0.0;
                // The holes are drilled round, so the tool they look up is a round one.
                tool.holeType &= ~kShapeBits;
            }
        }
        text += platform::Format((prefix + number + "\t, %.2f, %s\n").c_str(), i + first, tool.diameter,
                                 kindName.c_str());
    }
    return text;
}

void WriteListFile(const std::string& path, const std::string& text)
{
    if (docfile::WriteTextFile(docfile::ToPath(path), text))
        AfxMessageBox(platform::Format("Cannot open %s", path.c_str()), MB_OK);
}

std::vector<CamOutputEntry> EnabledEntries(const std::vector<std::string>& lines)
{
    std::vector<CamOutputEntry> entries;
    for (const std::string& line : lines) {
        CamOutputEntry entry = ParseCamOutputEntry(line);
        if (entry.enabled)
            entries.push_back(std::move(entry));
    }
    return entries;
}

// The aperture usage of each entry, counted once per output: the table pass and the entry's own
// file and report take the same counts (nothing in between changes the layers).
class EntryUsage
{
public:
    explicit EntryUsage(std::size_t entries) : m_saved(entries) {}

    // Makes the document's usage that of entry `index` alone.
    void Load(CVELTADoc& doc, std::size_t index, const CamOutputEntry& entry)
    {
        auto& table = doc.GetDCodeTable();
        Counts& saved = m_saved[index];
        if (saved.empty()) {
            doc.CountApertures(entry.layers.data(), true);
            saved.reserve(table.size());
            for (const tagDCODE& e : table)
                saved.push_back({e.drawCount, e.flashCount, e.drawnLength});
            return;
        }
        for (std::size_t t = 0; t < table.size(); ++t) {
            table[t].drawCount = saved[t].drawCount;
            table[t].flashCount = saved[t].flashCount;
            table[t].drawnLength = saved[t].drawnLength;
        }
    }

    // Makes the document's usage that of all entries together (the table pass).
    void LoadAll(CVELTADoc& doc, const std::vector<CamOutputEntry>& entries)
    {
        if (entries.empty())
            return; // nothing counted, nothing changed
        for (std::size_t i = 0; i < entries.size(); ++i)
            Load(doc, i, entries[i]);
        auto& table = doc.GetDCodeTable();
        for (std::size_t t = 0; t < table.size(); ++t) {
            table[t].drawCount = 0;
            table[t].flashCount = 0;
            table[t].drawnLength = 0.0;
            for (const Counts& saved : m_saved) {
                table[t].drawCount += saved[t].drawCount;
                table[t].flashCount += saved[t].flashCount;
                table[t].drawnLength += saved[t].drawnLength;
            }
        }
    }

private:
    struct Count
    {
        int drawCount;
        int flashCount;
        double drawnLength;
    };
    using Counts = std::vector<Count>;
    std::vector<Counts> m_saved;
};

// Writes one data file through `write` and its report through `report`; false when the file
// could not be written (reported).
template <typename Write, typename Report>
bool WriteDataFile(const std::string& path, Write write, Report report)
{
    std::unique_ptr<CArchive> ar = CArchive::OpenFile(docfile::ToPath(path), CArchive::store);
    write(*ar);
    const std::uint64_t length = ar->Data().size();
    try {
        ar->Close();
    } catch (const ArchiveError&) {
        AfxMessageBox(platform::Format("Data File %s cannot open", path.c_str()), MB_OK);
        return false;
    }
    report(length);
    return true;
}

} // namespace

CamOutputEntry ParseCamOutputEntry(const std::string& line)
{
    CamOutputEntry entry;
    const std::vector<std::string> fields = platform::Split(line, ':');
    entry.enabled = !line.empty() && line[0] == '1';
    if (fields.size() > 1)
        entry.name = Trim(fields[1]);
    if (fields.size() > 2)
        entry.file = Trim(fields[2]);
    if (fields.size() > 3) {
        for (const std::string& number : platform::Split(fields[3], ',')) {
            if (Trim(number).empty())
                continue;
            const int layer = platform::Atoi(number);
            if (layer >= 1 && layer <= LAYER_MAX)
                entry.layers.push_back(layer - 1);
        }
    }
    entry.layers.push_back(-1);
    return entry;
}

std::string LongHoleFileName(const std::string& name)
{
    const std::size_t dot = platform::FindLastByte(name, '.');
    if (dot == std::string::npos || dot == 0)
        return name + "-lhl";
    return name.substr(0, dot) + "-lhl" + name.substr(dot);
}

// Outputs of one choice whose reports would share a name (data files that differ only in their
// extension) keep the data file's extension in the report's name.
static bool ReportNameShared(const CamOutChoice& choice, const std::string& file)
{
    const std::string base = CutExtension(file);
    int count = 0;
    for (const tagCAMOUTKIND* kind : {&choice.settings.photo, &choice.settings.drill}) {
        const bool drill = kind == &choice.settings.drill;
        for (const std::string& line : kind->outputs) {
            const CamOutputEntry entry = ParseCamOutputEntry(line);
            if (!entry.enabled)
                continue;
            count += CutExtension(entry.file) == base ? 1 : 0;
            if (drill && choice.records[kDrill].holeSplit != 0)
                count += CutExtension(LongHoleFileName(entry.file)) == base ? 1 : 0;
        }
    }
    return count > 1;
}

// The layers whose holes' plating the tool table's gathering finds: the first entry's, as
// CollectTools finds it only when it starts the table.
static std::array<bool, LAYER_MAX> PlatingFoundOf(const std::vector<CamOutputEntry>& entries)
{
    std::array<bool, LAYER_MAX> found{};
    if (!entries.empty())
        for (const int* layer = entries.front().layers.data(); *layer >= 0; ++layer)
            if (*layer < LAYER_MAX)
                found[static_cast<std::size_t>(*layer)] = true;
    return found;
}

// Whether the plating of every listed layer's holes was found.
static bool PlatingKnown(const std::array<bool, LAYER_MAX>& found, const CamOutputEntry& entry)
{
    for (const int* layer = entry.layers.data(); *layer >= 0; ++layer)
        if (*layer < LAYER_MAX && !found[static_cast<std::size_t>(*layer)])
            return false;
    return true;
}

void OutputCamData(CVELTADoc& doc, int kind, const CamOutChoice& choice)
{
    const bool photo = kind == kPhoto;
    const tagCAMOUT& settings = choice.settings;
    const tagCAMOUTKIND& kindSettings = photo ? settings.photo : settings.drill;
    tagGERBAR g = choice.records[photo ? kPhoto : kDrill];
    g.photo = photo ? 1 : 0;
    const int decimals = std::clamp(kindSettings.number, 0, kMaxDecimals);
    g.outputFactor = std::pow(10.0, decimals);
    const std::string& boardFolder = choice.boardFolder;
    const std::vector<CamOutputEntry> entries = EnabledEntries(kindSettings.outputs);
    const std::string tableFile = photo ? settings.photoFile : choice.drillTable;

    const bool sequential = photo ? g.extended != 0 : g.sequential != 0;
    EntryUsage usage(entries.size());
    // The layers whose holes' plating the tool table found: nothing on the board changes while
    // the files are written, so gathering their holes again would find the same.
    std::array<bool, LAYER_MAX> platingFound{};
    doc.SetWarnMissingDCode(false);
    if (tableFile.empty() && !sequential) {
        doc.ClearCamTables();
        if (photo) {
            usage.LoadAll(doc, entries);
        } else {
            bool clear = true;
            for (const CamOutputEntry& entry : entries) {
                doc.CollectTools(entry.layers.data(), g.holeKind, clear);
                clear = false;
            }
            platingFound = PlatingFoundOf(entries);
        }
        const std::string list = photo ? PhotoList(doc, false) : MakeToolList(doc, g);
        WriteListFile(JoinPath(boardFolder, photo ? "vtphot.txt" : "vtdril.txt"), list);
    } else if (sequential) {
        doc.ClearDCodeLists();
        if (!photo) {
            doc.GetTCodeTable().fill(tagTCODE{});
            doc.SetTCodeCount(0);
        }
        if (photo) {
            usage.LoadAll(doc, entries);
        } else {
            bool clear = true;
            for (const CamOutputEntry& entry : entries) {
                doc.CollectTools(entry.layers.data(), g.holeKind, clear);
                clear = false;
            }
            platingFound = PlatingFoundOf(entries);
        }
        std::string list;
        if (photo) {
            int next = 10;
            auto& apertures = doc.GetDCodeTable();
            for (int t = 0; t < CVELTADoc::APERTURE_MAX; ++t) {
                const tagDCODE& entry = apertures[static_cast<std::size_t>(t)];
                if (entry.drawCount != 0 || entry.flashCount != 0)
                    doc.AddTurretDCode(t, next++);
            }
            list = PhotoList(doc, true);
        } else {
            list = MakeToolList(doc, g);
        }
        WriteListFile(JoinPath(boardFolder, photo ? "vtphot.txt" : "vtdril.txt"), list);
    } else {
        std::unique_ptr<CArchive> file;
        try {
            file = CArchive::OpenFile(docfile::ToPath(tableFile), CArchive::load);
        } catch (const ArchiveError&) {
            AfxMessageBox(platform::Format("Tool File %s cannot open", tableFile.c_str()), MB_OK);
            return;
        }
        doc.ReadCodeTable(*file, photo);
        doc.SetWarnMissingDCode(photo);
    }

    doc.GetUserOrigin(g.originX, g.originY);

    std::string folder = boardFolder;
    if (!kindSettings.folder.empty()) {
        folder = JoinPath(folder, kindSettings.folder);
        std::error_code error;
        const std::filesystem::path path = docfile::ToPath(folder);
        if (!std::filesystem::is_directory(path, error)) {
            std::filesystem::create_directories(path, error);
            if (error || !std::filesystem::is_directory(path, error)) {
                AfxMessageBox(_J("出力フォルダ作成に失敗しました"), MB_OK);
                doc.SetWarnMissingDCode(false);
                return;
            }
        }
    }

    auto clearHits = [&doc] {
        for (tagTCODE& tool : doc.GetTCodeTable())
            tool.hitCount = 0;
    };
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const CamOutputEntry& entry = entries[index];
        const std::string path = JoinPath(folder, entry.file);
        const std::vector<int> layers(entry.layers.begin(), entry.layers.end() - 1);
        usage.Load(doc, index, entry);
        clearHits();
        if (photo) {
            WriteDataFile(
                path, [&](CArchive& ar) { WritePhotoData(doc, ar, g, entry.layers.data(), decimals); },
                [&](std::uint64_t length) {
                    WritePhotoReport(doc, g, layers, entry.name, settings.report, path, length,
                                     ReportNameShared(choice, entry.file));
                });
            continue;
        }
        const int listMode = (settings.drillYes1 ? 1 : 0) | (settings.drillYes2 ? 2 : 0);
        WriteDataFile(
            path,
            [&](CArchive& ar) {
                WriteDrillData(doc, ar, g, entry.layers.data(), listMode, settings.drillText1,
                               settings.drillText2, path, PlatingKnown(platingFound, entry));
            },
            [&](std::uint64_t length) {
                WriteDrillReport(doc, g, layers, entry.name, settings.report, path, length,
                                 ReportNameShared(choice, entry.file));
            });
        if (g.holeSplit != 0) {
            // The long holes once more, alone, in a file of their own; the next entry still gets
            // the split the user chose.
            tagGERBAR longG = g;
            longG.holeSplit = 2;
            clearHits();
            const std::string longPath = JoinPath(folder, LongHoleFileName(entry.file));
            const std::string longName = LongHoleFileName(entry.name);
            WriteDataFile(
                longPath,
                [&](CArchive& ar) {
                    WriteDrillData(doc, ar, longG, entry.layers.data(), 0, std::string(), std::string(),
                                   longPath, PlatingKnown(platingFound, entry));
                },
                [&](std::uint64_t length) {
                    WriteDrillReport(doc, longG, layers, longName, settings.report, longPath, length,
                                     ReportNameShared(choice, LongHoleFileName(entry.file)));
                });
        }
    }
    doc.SetWarnMissingDCode(false);
}
