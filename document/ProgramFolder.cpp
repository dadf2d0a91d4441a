#include "document/ProgramFolder.h"

#include <QStandardPaths>
#include <QString>

#include <system_error>

namespace {

std::filesystem::path g_programFolder;
std::filesystem::path g_userDataFolder;

std::filesystem::path WithTrailingSeparator(std::filesystem::path folder)
{
    if (!folder.empty() && folder.filename() != "")
        folder += std::filesystem::path::preferred_separator;
    return folder;
}

} // namespace

std::filesystem::path GetProgramFolder()
{
    if (!g_programFolder.empty())
        return g_programFolder;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return WithTrailingSeparator(std::filesystem::current_path(ec));
    return WithTrailingSeparator(exe.parent_path());
}

std::filesystem::path GetUserDataFolder()
{
    if (!g_userDataFolder.empty())
        return g_userDataFolder;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return WithTrailingSeparator(std::filesystem::path(folder.toStdString()));
}

void SetProgramFolders(const std::filesystem::path& programFolder,
                       const std::filesystem::path& userDataFolder)
{
    g_programFolder = programFolder.empty() ? programFolder : WithTrailingSeparator(programFolder);
    g_userDataFolder = userDataFolder.empty() ? userDataFolder : WithTrailingSeparator(userDataFolder);
}
