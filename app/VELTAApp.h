#pragma once
// The application: start-up as a single instance, the current project and its boards, opening
// boards into windows, the recent board and project lists, and the application's commands.

#include "app/InstanceMessage.h"
#include "app/RecentFileList.h"
#include "document/ProjectFile.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class CSingleInstance;
class CVELTADoc;
class FrameDocumentHost;
class QtItemDialogs;

class CVELTAApp : public QObject
{
    Q_OBJECT

public:
    CVELTAApp();
    ~CVELTAApp() override;

    // Start-up with the command line (program name excluded): the exit code when the program is to
    // end at once (a second instance, a board that cannot be opened), none when the window is up.
    std::optional<int> InitInstance(const QStringList& arguments);
    // Writes the recent project list; releases the single-instance lock.
    void ExitInstance();

    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
    const std::string& GetInstanceName() const { return m_strInstanceName; }

    // --- Projects ---
    void SetProjectPath(const std::string& path) { m_strProjectPath = path; }
    std::string GetProjectPath() const { return m_strProjectPath; }
    // The current project's folder with its trailing separator.
    std::string GetProjectFolder() const;
    bool IsOpeningProject() const { return m_bOpeningProject; }
    void OpenCurrentProject();
    // Opens `path` as the current project; when no board opens, the previous project is opened
    // again.
    void OpenProjectWithFallback(const std::string& path);
    void OpenBoardFile(const std::string& path);
    // Opens a board into a new window, or activates it when it is open; null on failure.
    CVELTADoc* OpenDocumentFile(const std::string& path);
    // A new board through the new design dialog in a window of its own; null on Cancel.
    CVELTADoc* OnFileNew();
    bool IsProjectDocument(const std::string& path) const;
    void RemoveProjectDocument(const std::string& path);
    bool FindProjectWork(ProjectWork& out, const std::string& boardName) const;
    void SaveProjectBoards();
    // The file dialog of Save As; the chosen path (CP932) or none.
    std::optional<std::string> PromptProjectFileName(const std::string& proposed, bool open,
                                                     bool useWorkFolder);
    // File > Open with the chosen names: the first project, then every board.
    void OpenChosenFiles(const QStringList& names);
    void OnFileOpen();
    void OpenTextFile(const std::string& path);
    void OnFilePrintSetup();

    // --- Recent lists ---
    CRecentFileList& RecentFiles() { return *m_pRecentFiles; }
    CRecentFileList& RecentProjects() { return *m_pRecentProjects; }
    void AddToRecentFileList(const std::string& path);
    void ClearRecentList(bool projects);
    void ResizeRecentList(bool projects, int size);
    void WriteRecentList(bool projects);

    // --- Messages of a second start and of the shell ---
    int OnCopyData(const InstanceMessage& message);
    bool OnDDECommand(const std::string& command);

    // Brings the main window forward.
    void BringToFront();

    // Tools > project: the project dialog; after OK the first entry of the project history is the
    // current project and the active board reloads its net list.
    void OnProject();

private:
    // Puts an opened or new document into a board window of the frame.
    CVELTADoc* ShowDocument(std::unique_ptr<CVELTADoc> document, std::unique_ptr<FrameDocumentHost> host);
    std::string m_strInstanceName;
    std::string m_strProjectPath;
    bool m_bOpeningProject = false;
    std::vector<std::string> m_openProjectDocs;
    std::unique_ptr<CRecentFileList> m_pRecentFiles;
    std::unique_ptr<CRecentFileList> m_pRecentProjects;
    std::unique_ptr<CSingleInstance> m_pInstance;
    std::unique_ptr<QtItemDialogs> m_pItemDialogs;
    std::unique_ptr<CMainFrame> m_pFrame;
};

// The application object of the running program, or null.
CVELTAApp* GetApp();
