// The board's nets from the project's net-list file: when to read it, where it lies, the read and
// the small net queries.

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "document/FileLock.h"
#include "document/NetListReader.h"
#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "platform/Clock.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>

namespace fs = std::filesystem;
using docfile::FileError;
using docfile::ReportFileError;

namespace {

// The whole file; false when it cannot be read to its end.
bool ReadWholeFile(std::ifstream& in, std::string& text)
{
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), size);
    return in.gcount() == size;
}

} // namespace

void CVELTADoc::SetNetsOn(bool on)
{
    m_bProjectNet = on ? 1 : 0;
    m_bNetColoring = on;
}

std::string CVELTADoc::GetNetFilePath() const
{
    const fs::path board = docfile::ToPath(m_strPathName);
    fs::path folder = board.parent_path();
    if (!m_project.schematicProject.empty())
        folder = platform::ResolveStoredPath(m_project.schematicProject, folder).parent_path();
    const std::string& name = m_project.netFile;
    fs::path file;
    if (platform::IsWindowsPath(name) || platform::Cp932ToPath(name).is_absolute())
        file = platform::ResolveStoredPath(name, folder);
    else
        file = folder / platform::Cp932ToPath(name);
    return docfile::ToCp932(file);
}

void CVELTADoc::ReloadNetFile(bool force)
{
    // A selection defers the reload: the view's timer tries again.
    if (m_bBusy || (!force && !IsNetsOn()) || !IsSelectionEmpty())
        return;
    const BusyScope busy(*this);
    if (!m_pHost || m_strPathName.empty())
        return;
    const std::optional<ProjectWorkEntry> work =
        m_pHost->FindProjectWork(docfile::ToCp932(docfile::ToPath(m_strPathName).filename()));
    if (!work)
        return;
    m_project.boardFile = work->boardFile;
    m_project.settingsFile = work->settingFile;
    m_project.netFile = work->netFile;
    m_project.partFile = work->partFile;
    m_project.schematicProject = work->schematicProject;
    m_project.spareFlag = work->spareFlag ? 1 : 0;
    m_project.useNet = work->useNetList ? 1 : 0;
    m_project.netFormat = work->netFormat;
    SetNetsOn(work->useNetList && !work->netFile.empty());
    if (!IsNetsOn())
        return;

    const std::string path = GetNetFilePath();
    const fs::path file = docfile::ToPath(path);
    std::string reason;
    if (!docfile::CanRead(file, reason)) {
        ReportFileError(FileError::Open, path, reason);
        SetNetsOn(false);
        return;
    }
    // Other writers are kept out while the file is read.
    const FileLock lock(file, false);
    std::ifstream in(file, std::ios::binary);
    if (!lock.Held() || !in) {
        ReportFileError(FileError::Open, path, lock.Held() ? std::strerror(errno) : lock.Reason());
        SetNetsOn(false);
        return;
    }
    platform::FileTimes times;
    if (!platform::GetClock().GetFileTimes(file, times))
        return;
    bool read = force;
    if (!force) {
        if (!IsNetFileNewer(times.lastWrite))
            return;
        read = AfxMessageBox(_J("ネットファイルが更新されています。再読込みしますか？"),
                             MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    // Yes or No: the question comes again only after the file changes once more.
    SetNetFileTime(times.lastWrite);
    if (!read)
        return;

    WaitCursor wait(m_pHost);
    std::string text;
    try {
        if (!ReadWholeFile(in, text)) {
            wait.End();
            ReportFileError(FileError::Open, path, std::strerror(EIO));
            SetNetsOn(false);
            return;
        }
    } catch (const std::bad_alloc&) {
        wait.End();
        ReportFileError(FileError::Open, path, std::strerror(ENOMEM));
        SetNetsOn(false);
        return;
    }
    wait.End();
    ReadNetList(text, m_project.netFormat, path);
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

bool CVELTADoc::ReadNetList(const std::string& text, int format, const std::string& path)
{
    CNetListReader::NetList nets = CNetListReader::Read(text, format);
    if (nets.empty()) {
        AfxMessageBox(platform::Format(_J("ネットリスト %s にネットが見つかりません（%s 形式）").c_str(), path.c_str(),
                                       GetNetDialectName(format)));
        // Dialects without a reader still bind and draw the nets the board has.
        if (!CNetListReader::HasReader(format))
            BindNets();
        return false;
    }
    m_nets = std::move(nets);
    BindNets();
    for (const auto& net : m_nets)
        net->SetColor(0xFFFFFF);
    return true;
}

void CVELTADoc::BindNets()
{
    MergeSharedNets();
    m_partList.clear();
    MakeRubberLines();
}

CNet* CVELTADoc::GetNetAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_nets.size())
        return nullptr;
    return m_nets[static_cast<std::size_t>(index)].get();
}

std::string CVELTADoc::GetNetName(int id) const
{
    for (const auto& net : m_nets)
        if (net->GetID() == static_cast<std::uint32_t>(id))
            return net->GetNetName();
    return _J("未定義");
}
