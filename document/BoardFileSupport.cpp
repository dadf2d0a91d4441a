#include "document/BoardFileSupport.h"

#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace docfile {

fs::path ToPath(const std::string& cp932)
{
    return platform::Cp932ToPath(cp932);
}

std::string ToCp932(const fs::path& path)
{
    return platform::PathToCp932(path).value_or(path.string());
}

bool IsReadOnly(const fs::path& file)
{
    struct stat st
    {
    };
    return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

bool CanRead(const fs::path& file, std::string& reason)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st
    {
    };
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!regular)
        reason = std::strerror(EISDIR);
    return regular;
}

bool CanCreate(const fs::path& target, std::string& reason)
{
    struct stat st
    {
    };
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            reason = std::strerror(EISDIR);
            return false;
        }
        if ((st.st_mode & 0222) == 0) {
            reason = std::strerror(EACCES);
            return false;
        }
    }
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        reason = std::strerror(ENOENT);
        return false;
    }
    // A folder without write permission takes no new file, for the super-user neither.
    if ((st.st_mode & 0222) == 0 || ::access(folder.c_str(), W_OK | X_OK) != 0) {
        reason = std::strerror(EACCES);
        return false;
    }
    return true;
}

std::vector<std::string> FindSettingFiles(const fs::path& folder)
{
    return FindFilesByExtension(folder, ".bpf");
}

fs::path BackupPath(const fs::path& board)
{
    std::string text = board.native();
    text.resize(text.size() >= 4 ? text.size() - 4 : text.size());
    return fs::path(text + ".bak");
}

bool MoveToBackup(const fs::path& board, const fs::path& backup)
{
    struct stat st
    {
    };
    if (::lstat(backup.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0)
            return false;
        if (::unlink(backup.c_str()) != 0)
            return false;
    }
    // A second name for the old file: the rename that follows leaves it as the backup alone.
    if (::link(board.c_str(), backup.c_str()) == 0)
        return true;
    std::error_code ec;
    return fs::copy_file(board, backup, fs::copy_options::none, ec);
}

void ReportFileError(FileError kind, const std::string& path, const std::string& reason)
{
    const std::string text = kind == FileError::Open     ? _J("%s を開けませんでした。")
                             : kind == FileError::Create ? _J("%s に書き込めません。")
                                                         : _J("%s を保存できませんでした。");
    std::string message = platform::Format(text.c_str(), path.c_str());
    if (!reason.empty())
        message += "\n" + platform::Utf8ToCp932(reason).value_or(reason);
    AfxMessageBox(message, MB_ICONEXCLAMATION);
}

std::optional<std::string> WriteTextFile(const std::filesystem::path& file, const std::string& text)
{
    const std::string bytes = TextModeBytes(text);
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(file, CArchive::store);
        ar->WriteString(bytes);
        ar->Close();
        return std::nullopt;
    } catch (const ArchiveError& e) {
        return std::string(e.what());
    }
}


// Listings and text-mode bytes of the CAM output.

std::vector<std::string> FindFilesByExtension(const fs::path& folder, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const std::string name = ToCp932(it->path().filename());
        if (name.size() > extension.size() &&
            platform::ToLowerAscii(name.substr(name.size() - extension.size())) == extension)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return platform::MbsICmp(a, b) < 0; });
    return names;
}

std::string TextModeBytes(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

} // namespace docfile
