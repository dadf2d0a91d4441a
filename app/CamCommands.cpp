#include "app/CamCommands.h"

#include "cam/CamOutput.h"
#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

namespace {

constexpr int kPartCountCommand = 32913;

// The board file's folder without the separator that ends it.
std::string BoardFolderOf(const std::string& path)
{
    std::size_t slash = platform::FindLastByte(path, '/');
    const std::size_t backslash = platform::FindLastByte(path, '\\');
    if (slash == std::string::npos || (backslash != std::string::npos && backslash > slash))
        slash = backslash;
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

void OnCamDataOutput(CVELTADoc& doc)
{
    const std::string path = doc.GetDocPathName();
    if (path.empty()) {
        AfxMessageBox(_J("ファイルを保存してください。"), MB_OK);
        return;
    }
    doc.SetToolButton(ID_CAM_DATA_OUTPUT);
    DocumentHost* host = doc.GetHost();

    CamOutChoice choice;
    choice.boardFolder = BoardFolderOf(path);
    doc.ReadCamOut(choice.settings);

    doc.BuildPartList(true);
    const int onBoard = doc.GetBoardSheet(LAYER_MAX)->GetCount(kPartCountCommand);
    if (static_cast<int>(doc.GetPartList().size()) != onBoard &&
        AfxMessageBox(_J("未配置部品があります。実行しますか？"),
                      MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;

    if (!host || !host->RunCamOutDialog(choice, doc))
        return;
    host->SaveProjectBoards();
    WaitCursor wait(host);
    if (platform::GetProfile().GetInt("CAMOut", "SameOut", 1) != 0) {
        // Photo output always runs first.
        for (int kind : {0, 1}) {
            doc.WriteCamOut(kind, choice.settings);
            OutputCamData(doc, kind, choice);
        }
        return;
    }
    doc.WriteCamOut(choice.kind, choice.settings);
    OutputCamData(doc, choice.kind == 1 ? 1 : 0, choice);
}
