#include "app/ProjectDialogHost.h"

#include "app/VELTAApp.h"
#include "platform/qt/QtProfile.h"

int CProjectDialogHost::GetRecentSize()
{
    return m_app.RecentProjects().GetSize();
}

void CProjectDialogHost::ClearRecent()
{
    m_app.ClearRecentList(true);
}

void CProjectDialogHost::AddRecent(const std::string& path)
{
    m_app.RecentProjects().Add(path);
}

void CProjectDialogHost::WriteRecent()
{
    m_app.WriteRecentList(true);
}

void CProjectDialogHost::SetProjectPath(const std::string& path)
{
    m_app.SetProjectPath(path);
}

void CProjectDialogHost::OpenCurrentProject()
{
    m_app.OpenCurrentProject();
}

void CProjectDialogHost::OpenBoardFile(const std::string& path)
{
    m_app.OpenBoardFile(path);
}

std::string CProjectDialogHost::GetNorvaSaveBase()
{
    return platform::QtProfile(QStringLiteral("QEM"), QStringLiteral("NORVA"))
        .GetString("FileSave", "SaveBase");
}
