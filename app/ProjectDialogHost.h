#pragma once
// The application's side of the project dialog: its project history, current project, board
// opening and the sibling program's save folder.

#include "dialogs/DlgProject.h"

class CVELTAApp;

class CProjectDialogHost : public CDlgProject::Host
{
public:
    explicit CProjectDialogHost(CVELTAApp& app) : m_app(app) {}

    int GetRecentSize() override;
    void ClearRecent() override;
    void AddRecent(const std::string& path) override;
    void WriteRecent() override;
    void SetProjectPath(const std::string& path) override;
    void OpenCurrentProject() override;
    void OpenBoardFile(const std::string& path) override;
    std::string GetNorvaSaveBase() override;

private:
    CVELTAApp& m_app;
};
