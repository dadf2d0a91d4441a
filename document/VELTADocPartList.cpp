// The part list command: the part list file (.plt), the placement list (.loc) and its values form
// (.loc.csv), and the bill of materials (.csv), written for the placed parts of the board.

#include "document/VELTADoc.h"

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "document/FrameHelpers.h"
#include "document/WaitCursor.h"
#include "model/items/Part.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <utility>

namespace {

constexpr unsigned kPartListCommand = 32955;
constexpr int kSolderSide = 0x10;
// References on one line of the bill of materials: the first and 250 more.
constexpr int kReferencesPerLine = 251;

// The board's folder: the path up to its last separator.
std::string BoardFolder(const std::string& path)
{
    const std::string name = platform::StoredFileName(path);
    std::string folder = path.substr(0, path.size() - name.size());
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

// The name and value of a part as the bill of materials groups them: ASCII letters folded.
std::string FoldedKey(const CPart* part)
{
    return platform::ToLowerAscii(part->GetPartName()) + '\0' + platform::ToLowerAscii(part->GetValName());
}

} // namespace

struct CVELTADoc::PlacementRow
{
    CPart* part;
    char side; // 'C', 'S' or 'N'
    CDPoint at;
    double degrees;
};

bool CVELTADoc::IsListedPart(CPart* part, const PartListChoice& choice) const
{
    return part->IsCircuit() || choice.cardEdge || choice.nonCircuit;
}

std::vector<CVELTADoc::PlacementRow> CVELTADoc::PlacementRows(const PartListChoice& choice)
{
    std::vector<PlacementRow> rows;
    auto add = [&](CPart* part, char side) {
        CDPoint at = part->GetOrg();
        ToUserOrigin(at, 0);
        if (side == 'S') {
            at.x = choice.mirrorX ? choice.solderOriginX - at.x : at.x - choice.solderOriginX;
            at.y = choice.mirrorY ? choice.solderOriginY - at.y : at.y - choice.solderOriginY;
        } else if (side == 'C' && !choice.bySide) {
            at.x -= choice.partOriginX;
            at.y -= choice.partOriginY;
        }
        rows.push_back({part, side, at, NormalizeAngleDegrees(part->GetAngle())});
    };
    auto sideOf = [](CPart* part) { return (part->GetType() & kSolderSide) ? 'S' : 'C'; };
    if (choice.bySide) {
        for (char pass : {'C', 'S'})
            for (CPart* part : m_partList)
                if (IsListedPart(part, choice) && sideOf(part) == pass)
                    add(part, pass);
    } else {
        for (CPart* part : m_partList)
            if (IsListedPart(part, choice))
                add(part, sideOf(part));
    }
    if (choice.unplaced) {
        for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
            CPart* part = m_viaPartSheet.GetNextPart(pos);
            if (!(part->GetType() & PART_PLACED) && IsListedPart(part, choice))
                add(part, 'N');
        }
    }
    return rows;
}

void CVELTADoc::WritePlacementLists(const std::string& folder, const PartListChoice& choice)
{
    const std::vector<PlacementRow> rows = PlacementRows(choice);
    unsigned counts[3] = {}; // C, S, N
    for (const PlacementRow& row : rows)
        ++counts[row.side == 'C' ? 0 : row.side == 'S' ? 1 : 2];
    const unsigned total = counts[0] + counts[1] + counts[2];

    const std::string locPath = MakeOutputPathIn(folder, ".loc");
    std::string loc;
    WriteReportHeader(loc, locPath);
    loc += "  Ref   :C/S:    X    ,    Y    :  Angle \n";
    for (const PlacementRow& row : rows) {
        const char* ref = row.part->GetRefName().c_str();
        const double placed = row.part->GetAngle();
        const double terminals = row.part->GetAngleTer();
        if (choice.checkAngle && std::fabs(placed - terminals) > 1e-6)
            loc += platform::Format(" %6s : %c : % 8.3f , % 8.3f : % 7.2f;  # NG %7.2f;\n", ref, row.side,
                                    row.at.x, row.at.y, NormalizeAngleDegrees(terminals), row.degrees);
        else
            loc += platform::Format(" %6s : %c : % 8.3f , % 8.3f : % 7.2f;\n", ref, row.side, row.at.x,
                                    row.at.y, row.degrees);
    }
    if (choice.unplaced)
        loc +=
            platform::Format("\nTotal %5u [C=%4u][S=%4u][N=%4u]\n", total, counts[0], counts[1], counts[2]);
    else
        loc += platform::Format("\nTotal %5u [C=%4u][S=%4u]\n", total, counts[0], counts[1]);
    if (WriteReportFile(locPath, loc) && choice.view)
        m_pHost->OpenTextFile(locPath);

    const std::string csvPath = MakeOutputPathIn(folder, ".loc.csv");
    std::string csv;
    WriteReportHeader(csv, csvPath);
    csv += _J("  SYN-no, X座標, Y座標, 配置面, 角度, 部品名, 値\n");
    for (const PlacementRow& row : rows) {
        const char letter = row.side == 'C' ? 'A' : row.side == 'S' ? 'B' : '-';
        csv += platform::Format(" %6s,% 8.3f,% 8.3f,%c,% 7.2f,%s,%s\n", row.part->GetRefName().c_str(),
                                row.at.x, row.at.y, letter, row.degrees, row.part->GetPartName().c_str(),
                                row.part->GetValName().c_str());
    }
    if (choice.unplaced)
        csv +=
            platform::Format("\nTotal %5u [A=%4u][B=%4u][N=%4u]\n", total, counts[0], counts[1], counts[2]);
    else
        csv += platform::Format("\nTotal %5u [A=%4u][B=%4u]\n", total, counts[0], counts[1]);
    if (WriteReportFile(csvPath, csv) && choice.view)
        m_pHost->OpenTextFile(csvPath);
}

void CVELTADoc::WriteBillOfMaterials(const std::string& folder, const PartListChoice& choice)
{
    std::vector<CPart*> parts;
    for (CPart* part : m_partList)
        if (IsListedPart(part, choice))
            parts.push_back(part);
    m_partList.clear(); // the list is consumed, as the groups take its parts
    std::string text = platform::Format(_J("使用部品数, %d\n").c_str(), static_cast<int>(parts.size()));

    // Groups by name and value without regard to letter case, in the order of their first part.
    std::map<std::string, std::size_t> groupOf;
    std::vector<std::vector<CPart*>> groups;
    for (CPart* part : parts) {
        auto [it, added] = groupOf.emplace(FoldedKey(part), groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(part);
    }
    for (const std::vector<CPart*>& group : groups) {
        std::string line;
        int onLine = 0;
        for (CPart* part : group) {
            if (onLine == kReferencesPerLine) {
                text += line + "\n";
                line.clear();
                onLine = 0;
            }
            if (onLine == 0)
                line = part->GetPartName() + "," + part->GetValName() + ",";
            line += part->GetRefName() + ",";
            ++onLine;
        }
        while (!line.empty() && line.back() == ',')
            line.pop_back();
        if (!line.empty())
            text += line + "\n";
    }
    const std::string path = MakeOutputPathIn(folder, ".csv");
    if (WriteReportFile(path, text) && choice.view)
        m_pHost->OpenTextFile(path);
}

void CVELTADoc::OnPartList()
{
    SetToolButton(kPartListCommand);
    if (!m_pHost)
        return;
    // The net file is not reloaded while the lists are being made.
    BusyScope busy(*this);

    tagPARTLISTSET settings;
    ReadPartList(settings);
    PartListChoice choice;
    choice.baseFolder = BoardFolder(m_strPathName);
    choice.outputFolder = settings.folder;
    choice.partOriginX = settings.partOriginX;
    choice.partOriginY = settings.partOriginY;
    choice.solderOriginX = settings.sheetOriginX;
    choice.solderOriginY = settings.sheetOriginY;
    choice.bySide = settings.place ? 1 : 0;
    choice.mirrorX = settings.xFlag ? 1 : 0;
    choice.mirrorY = settings.yFlag ? 1 : 0;
    choice.cardEdge = settings.outPart1 ? 1 : 0;
    choice.nonCircuit = settings.outPart2 ? 1 : 0;
    if (!m_pHost->RunPartListDialog(choice))
        return;

    m_pHost->SaveProjectBoards();
    BuildPartList(true);
    std::string folder = choice.baseFolder;
    if (choice.partList || choice.place || choice.bom) {
        SortPartsByRef();
        if (!choice.outputFolder.empty()) {
            folder += "/" + choice.outputFolder;
            const std::filesystem::path made = docfile::ToPath(folder);
            std::error_code ec;
            if (!std::filesystem::is_directory(made, ec) && !std::filesystem::create_directory(made, ec)) {
                AfxMessageBox(_J("出力フォルダ作成に失敗しました"), MB_OK | MB_ICONEXCLAMATION);
                return;
            }
        }
    }
    settings.folder = choice.outputFolder;
    settings.partOriginX = choice.partOriginX;
    settings.partOriginY = choice.partOriginY;
    settings.sheetOriginX = choice.solderOriginX;
    settings.sheetOriginY = choice.solderOriginY;
    settings.place = choice.bySide != 0;
    settings.xFlag = choice.mirrorX != 0;
    settings.yFlag = choice.mirrorY != 0;
    settings.outPart1 = choice.cardEdge != 0;
    settings.outPart2 = choice.nonCircuit != 0;
    WritePartList(settings);

    WaitCursor wait(m_pHost);
    if (choice.partList) {
        const std::string path = MakeOutputPathIn(folder, ".plt");
        std::string text;
        WriteReportHeader(text, path);
        text += "    Part Name        :  Ref   :        Value         : Term No.\n";
        for (CPart* part : m_partList)
            if (IsListedPart(part, choice))
                text += platform::Format("%20s : %6s : %20s : %4d\n", part->GetPartName().c_str(),
                                         part->GetRefName().c_str(), part->GetValName().c_str(),
                                         part->GetTerCount());
        if (WriteReportFile(path, text) && choice.view)
            m_pHost->OpenTextFile(path);
    }
    if (choice.place)
        WritePlacementLists(folder, choice);
    if (choice.bom)
        WriteBillOfMaterials(folder, choice);
    BuildPartList(true);
}
