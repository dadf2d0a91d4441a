// Creating, opening and saving a board: which settings file belongs to it, the backup of the file
// being replaced, the settings file carried along into a new folder, and the file times.

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "document/FileLock.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "platform/Archive.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace docfile;

namespace {

// The document asks the main window to stop its auto-save timer with this message (WM_USER + 3).
constexpr unsigned kMsgAutoSave = 1027;

std::string FirstLine(const fs::path& file, bool& empty)
{
    empty = true;
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string();
    char buf[256];
    ssize_t n;
    do
        n = ::read(fd, buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return std::string();
    empty = false;
    return std::string(buf, static_cast<std::size_t>(n));
}

// Copies src to dst unless dst exists; never leaves a partial dst.
bool CopyNoOverwrite(const fs::path& src, const fs::path& dst)
{
    std::error_code ec;
    if (fs::exists(dst, ec))
        return false;
    std::string name = dst.filename().string();
    name.insert(name.begin(), '.');
    name += ".copy";
    name += std::to_string(::getpid());
    const fs::path temp = dst.parent_path() / name;
    try {
        std::unique_ptr<CArchive> in = CArchive::OpenFile(src, CArchive::load);
        std::unique_ptr<CArchive> out = CArchive::OpenFile(temp, CArchive::store);
        out->Write(in->Data().data(), in->Data().size());
        out->Close();
    } catch (const ArchiveError&) {
        ::unlink(temp.c_str());
        return false;
    }
    // A link fails rather than replace a file that appeared meanwhile.
    const bool linked = ::link(temp.c_str(), dst.c_str()) == 0;
    ::unlink(temp.c_str());
    return linked;
}

} // namespace

void CVELTADoc::LoadSettings()
{
    if (m_pHost)
        m_pHost->SetCurrentDocument(this);
    ReadTurretTable();
    ReadViaTable();
    ReadLayerTable();
    ReadDispLayer();
    ReadPartLayer();
    ReadWireViaLayer();
    ReadContourLayer();
    FillLayerCombo(false);
    FillTurretCombo(true);
    ReadWireLayCount();
    ReadCrossLayer();
    BuildLayerLists();
    ReadGrid();
    ReadDim();
    ReadTextTable();
    ReadLayerPattern();
    ReadDefItems();
    LoadPrintSettings();
    for (std::size_t i = 0; i < LAYER_MAX; ++i) {
        m_selSheets[i].SetType(m_boardSheets[i].GetType()); // also marks the bounds stale
        m_selSheets[i].SetWLayer(m_boardSheets[i].GetWLayer());
    }
    SetCurrentLayer(m_nCurrentLayer);
    m_bForceModified = 0;
}

void CVELTADoc::SetPathName(const std::string& path, bool addToRecent)
{
    m_strPathName = path;
    SetTitle(ToCp932(ToPath(path).filename()));
    if (addToRecent && m_pHost)
        m_pHost->AddToRecentFileList(path);
}

bool CVELTADoc::OnNewDocument()
{
    std::string folder;
    if (!m_strPathName.empty())
        folder = ToCp932(ToPath(m_strPathName).parent_path());
    else
        m_settingFile.SetPath(CBoardSettingFile::InstalledMasterPath());

    const bool mark = !(m_pHost && m_pHost->IsAnyDocumentMarked());
    if (mark)
        m_bNewBoard = 1;
    std::optional<NewDesignChoice> choice =
        m_pHost ? m_pHost->RunNewDesignDialog(folder, this) : std::optional<NewDesignChoice>();
    if (!choice)
        return false;
    if (mark)
        m_pHost->MarkActiveDocument(true);
    m_strFolder = choice->folder;
    m_settingFile.SetPath(ToPath(choice->settingFile));
    m_boardSize = choice->size;
    m_userOrigin = choice->origin;
    WriteSheetSize();
    LoadSettings();

    SetModifiedFlag(false);
    m_nEditCount = 0;
    const std::time_t now = platform::GetClock().Now();
    m_fileTimes.fill(now);
    // A board not yet saved is named after the program with a running number, so its window and
    // the window list tell new boards apart.
    static int untitledCount = 0;
    if (m_strTitle.empty())
        SetTitle("VELTA" + std::to_string(++untitledCount));
    return true;
}

bool CVELTADoc::OnOpenDocument(const std::string& path)
{
    const fs::path file = ToPath(path);
    if (std::string reason; !CanRead(file, reason)) {
        ReportFileError(FileError::Open, path, reason);
        return false;
    }
    const bool addToRecent = !(m_pHost && m_pHost->IsProjectOpen());
    const fs::path folder = file.parent_path();
    m_bProjectNet = 0;

    std::vector<std::string> names;
    std::optional<ProjectWorkEntry> work;
    if (m_pHost && m_pHost->IsProjectOpen())
        work = m_pHost->FindProjectWork(ToCp932(file.filename()));
    if (work) {
        m_bProjectNet = (work->useNetList && !work->netFile.empty()) ? 1 : 0;
        m_project = ProjectWork{work->boardFile, work->netFile, work->partFile};
        std::error_code ec;
        if (!work->settingFile.empty() && fs::is_regular_file(folder / ToPath(work->settingFile), ec))
            names.push_back(work->settingFile);
    } else {
        names = FindSettingFiles(folder);
    }
    if (names.empty()) {
        m_settingFile.SetPath(CBoardSettingFile::InstalledMasterPath());
        AfxMessageBox(_J("基板設計ファイルが見つかりません"));
    } else if (names.size() == 1) {
        m_settingFile.SetPath(folder / ToPath(names.front()));
    } else {
        const int chosen = m_pHost ? m_pHost->RunSettingFileDialog(ToCp932(folder), names, this) : -1;
        if (chosen < 0 || chosen >= static_cast<int>(names.size()))
            return false;
        m_settingFile.SetPath(folder / ToPath(names[static_cast<std::size_t>(chosen)]));
    }

    if (platform::FileTimes times; platform::GetClock().GetFileTimes(file, times)) {
        if (IsReadOnly(file) && m_pHost && m_pHost->TakeAutoSaveFlag())
            AfxMessageBox(_J("読み込み専用ファイルは自動保存の対象外です"));
        m_fileTimes = {times.lastWrite, times.lastAccess, times.creation};
    }

    SetModifiedFlag(true);
    bool ok = false;
    {
        WaitCursor wait(m_pHost);
        bool empty = true;
        const std::string line = FirstLine(file, empty);
        if (empty) {
            // An empty file becomes a new board, set up through the new design dialog.
            wait.End();
            SetPathName(path, addToRecent);
            return OnNewDocument();
        }
        if (line.compare(0, 5, "VELTA") != 0)
            return false;
        const FileLock lock(file, false);
        if (!lock.Held()) {
            ReportFileError(FileError::Open, path, lock.Reason());
            return false;
        }
        try {
            std::unique_ptr<CArchive> ar = CArchive::OpenFile(file, CArchive::load);
            ar->SetDocument(this);
            ok = ReadBoardFile(*ar);
        } catch (const ArchiveError& e) {
            ReportFileError(FileError::Open, path, e.what());
            return false;
        } catch (const std::bad_alloc&) {
            ReportFileError(FileError::Open, path, std::strerror(ENOMEM));
            return false;
        }
    }
    if (!ok)
        return false;

    SetPathName(path, addToRecent);
    ReloadNetFile(true);
    ResetPartBoundRects(3);
    ResetViaBounds();
    m_strFolder = ToCp932(folder);
    SetModifiedFlag(false);
    m_nEditCount = 0;
    return true;
}

CVELTADoc::WriteOutcome CVELTADoc::WriteBoardTo(const std::string& target, bool backup, bool* backedUp)
{
    if (backedUp)
        *backedUp = false;
    const fs::path file = ToPath(target);
    if (std::string reason; !CanCreate(file, reason)) {
        ReportFileError(FileError::Create, target, reason);
        return WriteOutcome::CannotCreate;
    }
    const FileLock lock(file, true);
    if (!lock.Held()) {
        ReportFileError(FileError::Create, target, lock.Reason());
        return WriteOutcome::CannotCreate;
    }
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(file, CArchive::store);
        ar->SetDocument(this);
        if (backup) {
            const fs::path bak = BackupPath(file);
            ar->SetBeforeReplace([bak, backedUp](const fs::path& old) {
                if (MoveToBackup(old, bak) && backedUp)
                    *backedUp = true;
            });
        }
        WriteBoardFile(*ar);
        ar->Close();
    } catch (const ArchiveError& e) {
        ReportFileError(FileError::Save, target, e.what());
        return WriteOutcome::Failed;
    } catch (const std::bad_alloc&) {
        ReportFileError(FileError::Save, target, std::strerror(ENOMEM));
        return WriteOutcome::Failed;
    }
    return WriteOutcome::Written;
}

void CVELTADoc::StoreFileTimes(const std::string& path, bool keepCreation)
{
    platform::FileTimes times;
    if (!platform::GetClock().GetFileTimes(ToPath(path), times))
        return;
    m_fileTimes[0] = times.lastWrite;
    m_fileTimes[1] = times.lastAccess;
    // Linux cannot give a file a creation time: the document keeps the one of the file replaced.
    if (!keepCreation)
        m_fileTimes[2] = times.creation != 0 ? times.creation : times.lastWrite;
}

bool CVELTADoc::OnSaveDocument(const std::string& path)
{
    const fs::path file = ToPath(path);
    const bool backup = platform::GetProfile().GetInt("FileSave", "BackUp", 1) != 0;
    bool oldStatus = false;
    std::error_code ec;
    if (backup && fs::is_regular_file(file, ec)) {
        platform::FileTimes old;
        oldStatus = platform::GetClock().GetFileTimes(file, old);
        if (oldStatus && old.creation != 0)
            m_fileTimes[2] = old.creation;
    }

    // The selection goes back on the board before it is written.
    if (m_pHost) {
        for (CSheet& sheet : m_selSheets)
            if (!sheet.IsEmpty())
                m_pHost->EndCommand();
        if (!m_selViaPartSheet.IsEmpty())
            m_pHost->EndCommand();
    }

    bool backedUp = false;
    {
        WaitCursor wait(m_pHost);
        if (WriteBoardTo(path, backup && oldStatus, &backedUp) != WriteOutcome::Written)
            return false;
    }
    StoreFileTimes(path, backedUp);

    // The settings file follows the board into another folder.
    const fs::path boardFolder = file.parent_path();
    if (platform::MbsICmp(ToCp932(boardFolder), ToCp932(m_settingFile.GetPath().parent_path())) != 0) {
        const std::vector<std::string> names = FindSettingFiles(boardFolder);
        if (names.empty()) {
            AfxMessageBox(_J("基板設計ファイルが見つからないので現在の設定をコピーします"));
            const fs::path source = m_settingFile.GetPath() == CBoardSettingFile::InstalledMasterPath()
                                        ? CBoardSettingFile::MasterReadPath()
                                        : m_settingFile.GetPath();
            if (!CopyNoOverwrite(source, boardFolder / m_settingFile.GetPath().filename()))
                AfxMessageBox(_J("基板設計ファイルのコピーに失敗しました"));
        } else {
            m_settingFile.SetPath(boardFolder / ToPath(names.front()));
        }
        LoadSettings();
    }

    ClearModifiedAfterSave();
    return true;
}

void CVELTADoc::ClearModifiedAfterSave()
{
    SetModifiedFlag(false); // also clears the forced flag and records the saved position
    m_nEditCount = 0;
    if (m_pHost)
        m_pHost->SendMainFrameMessage(kMsgAutoSave, 1, 0);
}

bool CVELTADoc::DoSave(const std::string& path, bool replace)
{
    std::string name = path;
    if (name.empty()) {
        // The proposed name: the title up to the first character a file name should not carry.
        // A title showing the full path (Sheet/FullPath) would be cut at its first separator, so a
        // saved board proposes its own file name instead.
        std::string title =
            m_strPathName.empty() ? m_strTitle : ToCp932(ToPath(m_strPathName).filename());
        for (std::size_t pos = 0; pos < title.size();) {
            const platform::Cp932Char ch = platform::CharAt(title, pos);
            if (ch.width == 1 && std::strchr(" #%;/\\", title[pos]) != nullptr) {
                title.resize(pos);
                break;
            }
            pos += ch.width;
        }
        // A title that is already a board's file name keeps its one extension.
        if (title.size() < 4 || platform::ToLowerAscii(title.substr(title.size() - 4)) != ".vbd")
            title += ".vbd";
        const std::string proposed =
            m_strFolder.empty() ? title : ToCp932(ToPath(m_strFolder) / ToPath(title));
        std::optional<std::string> chosen = m_pHost ? m_pHost->RunSaveAsDialog(proposed) : std::nullopt;
        if (!chosen || chosen->empty())
            return false;
        name = *chosen;
    }
    bool saved;
    {
        // Writes go through a temporary file: a failed save leaves no partial file to remove.
        WaitCursor wait(m_pHost);
        saved = OnSaveDocument(name);
    }
    if (!saved)
        return false;
    if (replace)
        SetPathName(name, true);
    return true;
}

bool CVELTADoc::DoFileSave()
{
    if (m_strPathName.empty() || IsReadOnly(ToPath(m_strPathName)))
        return DoSave(std::string(), true);
    return DoSave(m_strPathName, true);
}

void CVELTADoc::OnCloseDocument()
{
    if (!m_pHost)
        return;
    m_pHost->RemoveProjectDocument(m_strPathName);
    m_pHost->ClearActiveDocument(this);
}
