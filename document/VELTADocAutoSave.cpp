// Auto-save: a board edited often enough is written again, over its own file or as a copy into a
// backup folder tree.

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "model/items/Text.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace docfile;

namespace {

constexpr unsigned kMsgAutoSave = 1027; // WM_USER + 3: the frame stops its auto-save timer

// The folder untitled boards are written into: the program's, or the per-user data folder when
// the program's takes no files.
fs::path UntitledFolder()
{
    const fs::path program = GetProgramFolder();
    if (::access(program.c_str(), W_OK | X_OK) == 0)
        return program;
    const fs::path user = GetUserDataFolder();
    std::error_code ec;
    fs::create_directories(user, ec);
    return user;
}

bool MakeFolder(const fs::path& folder)
{
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return true;
    return fs::create_directory(folder, ec) && !ec;
}

bool EndsWithVbd(const std::string& name)
{
    return name.size() >= 4 && platform::ToLowerAscii(name.substr(name.size() - 4)) == ".vbd";
}

} // namespace

std::string CVELTADoc::TitleWithoutMark() const
{
    // The update mark and the blank before it.
    const std::string mark = _J("(更新)");
    std::string title = m_strTitle;
    if (title.size() >= mark.size() && title.compare(title.size() - mark.size(), mark.size(), mark) == 0) {
        title.resize(title.size() - mark.size());
        if (!title.empty())
            title.resize(platform::LastCharPos(title));
    }
    return title;
}

bool CVELTADoc::AutoSave()
{
    // A board in the middle of an edit is not written.
    if (!IsSelectionEmpty())
        return true;
    platform::Profile& profile = platform::GetProfile();
    const int threshold = profile.GetInt("FileSave", "UndoCount", 100);
    if (m_nEditCount < static_cast<unsigned>(std::max(threshold, 0)))
        return true;

    if (m_pHost) {
        m_pHost->SendMainFrameMessage(kMsgAutoSave, 1, 0);
        m_pHost->SetStatusPaneText(0, _J("自動保存中"));
    }

    std::string target = m_strPathName;
    if (target.empty()) {
        std::string name = TitleWithoutMark();
        if (name.empty()) {
            static std::atomic<long> counter{0};
            if (m_nAutoSaveNumber == 0)
                m_nAutoSaveNumber = ++counter;
            name = platform::Format("Sav%ld.vbd", m_nAutoSaveNumber);
        }
        target = ToCp932(UntitledFolder() / ToPath(name));
    }

    const bool copy = profile.GetInt("FileSave", "FileUpdate", 0) != 0;
    if (copy) {
        std::string root = profile.GetString("FileSave", "SaveFolder");
        while (!root.empty() && (root.back() == '/' || root.back() == '\\') &&
               platform::LastCharPos(root) == root.size() - 1)
            root.pop_back();
        if (root.empty())
            return true;
        const fs::path rootPath = ToPath(root);
        const fs::path sub = rootPath / ToPath(m_strFolder).filename();
        if (!MakeFolder(rootPath) || !MakeFolder(sub)) {
            AfxMessageBox(_J("バックアップフォルダ作成に失敗しました"));
            return true;
        }
        target = ToCp932(sub / ToPath(target).filename());
    }
    if (!EndsWithVbd(target))
        target += ".vbd";

    const fs::path file = ToPath(target);
    const bool backup = profile.GetInt("FileSave", "BackUp", 1) != 0;
    bool oldStatus = false;
    std::error_code ec;
    if (backup && fs::exists(file, ec)) {
        platform::FileTimes old;
        if (!platform::GetClock().GetFileTimes(file, old) || IsReadOnly(file))
            return false;
        oldStatus = true;
        if (old.creation != 0 && !copy)
            m_fileTimes[2] = old.creation;
    }

    // The settings file is named in the board file, once.
    bool named = false;
    for (const std::string& entry : m_textProperties)
        if (entry.find("&BPF&") != std::string::npos)
            named = true;
    if (!named) {
        CText property;
        property.SetPropaty("BPF", ToCp932(m_settingFile.GetPath()));
        m_textProperties.insert(m_textProperties.begin(), property.GetName());
    }

    bool backedUp = false;
    if (WriteBoardTo(target, backup && oldStatus, &backedUp) != WriteOutcome::Written)
        return false;

    if (!copy) {
        if (!m_strPathName.empty()) {
            m_nSavedUndoPos = static_cast<int>(m_undoHistory.size());
            SetModifiedFlag(false);
            m_bForceModified = 0;
            SetTitle(TitleWithoutMark());
        }
        StoreFileTimes(target, backedUp);
    }
    m_nEditCount = 0;
    return true;
}
