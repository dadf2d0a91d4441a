// CAM data input: a photo-plot or drill file read back into one layer. The board changes only
// after a complete, well-formed reading: a malformed file leaves the layer and its history as they
// were, and the old contents the user chose to replace are deleted only when new items came.

#include "document/CamInChoice.h"
#include "document/CamOutChoice.h"
#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "model/cam/CamReadResult.h"
#include "platform/Archive.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr unsigned kCamInputCommand = 32832;

double ProfileNumber(const std::string& section, const char* key, const char* def)
{
    const std::string text = platform::GetProfile().GetString(section, key, def);
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

tagGERBAR CVELTADoc::MakeCamInRecord(int kind, bool extended)
{
    const platform::Profile& profile = platform::GetProfile();
    const std::string section = std::string("CAMIn") + (kind == 1 ? "\\Drill" : "\\Phot");
    tagGERBAR g;
    g.photo = kind == 1 ? 0 : 1;
    const int eob = profile.GetInt(section, "EOB", 0);
    g.endOfBlock = extended ? '*' : eob == 1 ? '\n' : eob == 2 ? '\r' : '*';
    const int digits = profile.GetInt(section, "Int", 48);
    g.divisor = std::pow(10.0, (digits >> 4) & 15);
    g.intDigits = std::min(digits & 15, 4);
    g.codeType = extended ? 0 : profile.GetInt(section, "Code", 0);
    const int unit = profile.GetInt(section, "UNIT", 0);
    g.metric = (unit & 15) == 0 ? 1 : 0;
    g.absolute = (unit >> 4) == 0 ? 1 : 0;
    g.scale = ProfileNumber(section, "Scale", "1.0f");
    if (!g.metric)
        g.scale *= 25.4;
    // The reader takes file values to millimetres by this factor; the scale rides on it.
    g.fileUnitFactor = g.scale;
    g.offsetX = ProfileNumber(section, "XOff", "0.0f");
    g.offsetY = ProfileNumber(section, "YOff", "0.0f");
    const int mirror = profile.GetInt(section, "Mirror", 0);
    g.mirrorX = (mirror & 1) != 0 ? 1 : 0;
    g.mirrorY = (mirror & 2) != 0 ? 1 : 0;
    static constexpr double kTurns[4] = {0.0, std::numbers::pi / 2.0, std::numbers::pi,
                                         3.0 * std::numbers::pi / 2.0};
    g.angle = kTurns[(mirror >> 2) & 3];
    g.arcMode = extended ? 0 : profile.GetInt(std::string("CAMIn\\Phot"), "Arc", 0);
    g.hitType = profile.GetInt(std::string("CAMIn\\Drill"), "Hit", 0);
    SetStandardCamCodes(g);
    return g;
}

std::unique_ptr<CArchive> CVELTADoc::OpenCamInFile(const std::string& path)
{
    try {
        return CArchive::OpenFile(platform::Cp932ToPath(path), CArchive::load);
    } catch (const ArchiveError&) {
        return nullptr;
    }
}

bool CVELTADoc::ReadCamInFile(const std::string& path, tagGERBAR& g, CSheet& work,
                              std::vector<std::string>& messages)
{
    std::unique_ptr<CArchive> ar = OpenCamInFile(path);
    if (!ar) {
        AfxMessageBox("Data File Open Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ar->SetDocument(this);
    CamReadResult result;
    work.ReadGerbar(*ar, g, result);
    if (!result.wellFormed) {
        const std::string where =
            platform::Format(_J("%d 行目: %s").c_str(), result.line, result.reason.c_str());
        AfxMessageBox(
            platform::Format(_J("CAMデータを読み込めません: %s\n%s").c_str(), path.c_str(), where.c_str()),
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    for (const std::string& message : result.messages)
        messages.push_back(message);
    std::string text;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (std::find(messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(i), messages[i]) !=
            messages.begin() + static_cast<std::ptrdiff_t>(i))
            continue; // each text once
        if (!text.empty())
            text += '\n';
        text += messages[i];
    }
    if (!text.empty())
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    return true;
}

void CVELTADoc::OnCamDataInput()
{
    SetToolButton(kCamInputCommand);
    if (!m_pHost)
        return;
    CamInChoice choice;
    if (!m_pHost->RunCamInDialog(choice))
        return;
    m_pHost->SaveProjectBoards();
    const int layer = choice.layer;
    if (layer < 0 || layer >= LAYER_MAX)
        return;
    CSheet* sheet = GetBoardSheet(layer);
    CSheet* selection = GetSelectionSheet(layer);
    if (IsWiringOrPartLayer(layer) &&
        AfxMessageBox(_J("選択したレイヤは配線層か部品関連レイヤです。強行しますか？"),
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    bool replace = false;
    if (!sheet->IsEmpty() || !selection->IsEmpty()) {
        const int answer = AfxMessageBox(_J("指定レイヤにはデータがあります。削除して読込みますか？"),
                                         MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer == IDCANCEL)
            return;
        replace = answer == IDYES;
    }

    tagGERBAR g = MakeCamInRecord(choice.kind, choice.extended);
    std::unique_ptr<CArchive> table;
    if (!choice.extended) {
        table = OpenCamInFile(choice.tableFile);
        if (!table) {
            AfxMessageBox(_J("変換ファイルが開けません"), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }

    // The tables as they were, for a file that turns out malformed or unreadable.
    const auto apertures = m_apertures;
    const auto strokes = m_dStrokes;
    const auto tools = m_tools;
    const int toolCount = m_nToolCount;
    // The tables' messages join the reading's, shown together at its end.
    std::vector<std::string> tableMessages;
    SetCamMessageSink(&tableMessages);
    if (choice.extended) {
        // The file's own aperture definitions decide.
        ClearDCodeLists();
        ResetDCodeStrokes();
    } else {
        ReadCodeTable(*table, choice.kind == 0);
    }

    CSheet work(SHEET_WORK);
    work.SetDocument(this);
    if (m_pHost)
        m_pHost->BeginWaitCursor();
    const bool read = ReadCamInFile(choice.dataFile, g, work, tableMessages);
    SetCamMessageSink(nullptr);
    if (m_pHost)
        m_pHost->EndWaitCursor();
    if (!read) {
        m_apertures = apertures;
        m_dStrokes = strokes;
        m_tools = tools;
        m_nToolCount = toolCount;
        return;
    }
    if (work.IsEmpty()) {
        AfxMessageBox(
            platform::Format(_J("%s に読み込むデータがありません").c_str(), choice.dataFile.c_str()),
            MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The file's coordinates are relative to the user origin.
    work.OffsetItem(m_userOrigin, 1);

    m_repaintRect = work.GetBoundingRect();
    if (replace) {
        // Selected items go back to the board first, so that the deletion step holds them all.
        if (!selection->IsEmpty())
            EndEdit();
        StoreUndoItem(sheet, layer, 0, 3);
        m_repaintRect |= sheet->DeleteContents();
    }
    StoreUndoItem(&work, layer, 0, replace ? 5 : 1);
    sheet->TakeItems(work);
    SetModifiedFlag(true);
    m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}
