#include "app/VELTAApp.h"

#include "app/ChildFrame.h"
#include "app/FrameDocumentHost.h"
#include "app/MainFrame.h"
#include "app/ProjectDialogHost.h"
#include "app/ShellRegistration.h"
#include "app/SingleInstance.h"
#include "app/VELTAView.h"
#include "app/ViewCommands.h"
#include "dialogs/DlgProject.h"
#include "document/VELTADoc.h"
#include "libui/QtItemDialogs.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <filesystem>

using platform::Cp932ToQString;
using platform::QStringToCp932;

namespace {

CVELTAApp* g_app = nullptr;

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const std::string s = suffix;
    return text.size() >= s.size() && platform::ToLowerAscii(text.substr(text.size() - s.size())) == s;
}

std::filesystem::path ToPath(const std::string& cp932)
{
    return platform::Cp932ToPath(cp932);
}

// Two names of one board file.
bool SamePath(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(ToPath(a), ToPath(b), ec);
}

std::string AbsolutePath(const QString& path)
{
    return QStringToCp932(QFileInfo(path).absoluteFilePath()).value_or(std::string());
}

// The folder a file dialog starts in: "Sheet"/"WorkFolder" unless empty or a single separator.
QString WorkFolder()
{
    const std::string folder = platform::GetProfile().GetString("Sheet", "WorkFolder");
    if (folder.empty() || folder == "\\" || folder == "/")
        return {};
    return Cp932ToQString(folder);
}

} // namespace

CVELTAApp* GetApp()
{
    return g_app;
}

CVELTAApp::CVELTAApp()
{
    g_app = this;
}

CVELTAApp::~CVELTAApp()
{
    m_pFrame.reset();
    if (GetItemDialogs() == m_pItemDialogs.get())
        SetItemDialogs(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

std::optional<int> CVELTAApp::InitInstance(const QStringList& arguments)
{
    // The product name and " Class" name the single instance.
    m_strInstanceName = "VELTA Class";

    bool dde = false;
    QString ddeCommand;
    QString file;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg.compare("/dde", Qt::CaseInsensitive) == 0 || arg == "-dde") {
            dde = true;
            if (i + 1 < arguments.size())
                ddeCommand = arguments[++i];
        } else if (file.isEmpty() && !arg.startsWith('-')) {
            file = arg;
        }
    }

    m_pInstance = std::make_unique<CSingleInstance>(QString::fromStdString(m_strInstanceName));
    if (!m_pInstance->Acquire()) {
        // A later start: hand over the file (as a full path: the first instance has its own
        // current folder) or the shell command, and end.
        InstanceMessage message;
        if (dde && !ddeCommand.isEmpty()) {
            message.code = COPYDATA_COMMAND;
            message.data = QStringToCp932(ddeCommand).value_or(std::string());
        } else {
            message.code = COPYDATA_OPEN;
            message.data = file.isEmpty() ? std::string() : AbsolutePath(file);
            message.data.push_back('\0');
        }
        m_pInstance->Send(message);
        return 0;
    }
    m_pInstance->handler = [this](const InstanceMessage& message) { return OnCopyData(message); };

    platform::Profile& profile = platform::GetProfile();
    m_pRecentFiles = std::make_unique<CRecentFileList>("Recent File List", "File%d",
                                                       profile.GetInt("Sheet", "FMRU", 16), 60);
    m_pRecentFiles->ReadList();
    m_pRecentProjects = std::make_unique<CRecentFileList>("Project File List", "File%d",
                                                          profile.GetInt("Sheet", "PMRU", 16), 60);
    m_pRecentProjects->ReadList();

    // Item edits show the library's dialogs.
    m_pItemDialogs = std::make_unique<QtItemDialogs>();
    SetItemDialogs(m_pItemDialogs.get());

    m_pFrame = std::make_unique<CMainFrame>(*this);

    if (profile.GetInt("Settings", "Shell", 1) != 0)
        RegisterShellFileTypes(QCoreApplication::applicationFilePath());

    const bool shiftHeld = QApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    const std::string path = file.isEmpty() ? std::string() : AbsolutePath(file);
    if (dde) {
        m_pFrame->ShowAtStartup(shiftHeld);
        if (!ddeCommand.isEmpty()) {
            const std::string command = QStringToCp932(ddeCommand).value_or(std::string());
            QTimer::singleShot(0, this, [this, command] { OnDDECommand(command); });
        }
        return std::nullopt;
    }
    if (!path.empty() && !EndsWithNoCase(path, ".vpj")) {
        if (!OpenDocumentFile(path))
            return 1;
    }
    m_pFrame->ShowAtStartup(shiftHeld);

    m_pRecentProjects->ReadList();
    const std::string firstProject =
        m_pRecentProjects->GetCount() > 0 ? m_pRecentProjects->GetEntry(0) : std::string();
    if (EndsWithNoCase(path, ".vpj")) {
        m_strProjectPath = path;
        OpenCurrentProject();
        if (m_pFrame->Children().empty())
            m_strProjectPath = firstProject;
    } else if (EndsWithNoCase(path, ".vbd")) {
        OpenDocumentFile(path);
        m_strProjectPath = firstProject;
    } else if (path.empty()) {
        m_strProjectPath = firstProject;
        if (profile.GetInt("Sheet", "AutoLoad", 1) != 0)
            OpenCurrentProject();
    }
    return std::nullopt;
}

void CVELTAApp::ExitInstance()
{
    if (m_pRecentProjects)
        m_pRecentProjects->WriteList();
    m_pInstance.reset();
}

// ---------------------------------------------------------------------------------------------
// Projects

std::string CVELTAApp::GetProjectFolder() const
{
    const std::size_t slash = platform::FindLastByte(m_strProjectPath, '/');
    return slash == std::string::npos ? std::string() : m_strProjectPath.substr(0, slash + 1);
}

void CVELTAApp::OpenCurrentProject()
{
    if (m_strProjectPath.empty())
        return;
    m_bOpeningProject = true;
    m_pFrame->CloseAllBoards();
    ProjectWorks works;
    const int count = ReadProjectFile(ToPath(m_strProjectPath), works);
    if (count > 0) {
        m_pRecentProjects->ReadList();
        m_openProjectDocs.clear();
        const std::string folder = GetProjectFolder();
        for (int i = 0; i < count; ++i) {
            const std::string path = folder + works[static_cast<std::size_t>(i)].boardFile;
            m_openProjectDocs.push_back(path);
            OpenBoardFile(path);
        }
        if (!m_pFrame->Children().empty()) {
            m_pRecentProjects->Add(m_strProjectPath);
            m_pRecentProjects->WriteList();
        }
    }
    m_bOpeningProject = false;
}

void CVELTAApp::OpenProjectWithFallback(const std::string& path)
{
    const std::string previous = m_strProjectPath;
    m_strProjectPath = path;
    OpenCurrentProject();
    if (m_pFrame->Children().empty()) {
        m_strProjectPath = previous;
        OpenCurrentProject();
    }
}

void CVELTAApp::OpenBoardFile(const std::string& path)
{
    if (!path.empty())
        OpenDocumentFile(path);
}

CVELTADoc* CVELTAApp::OpenDocumentFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    for (CChildFrame* child : m_pFrame->Children()) {
        if (SamePath(child->GetDocument()->GetDocPathName(), path)) {
            m_pFrame->MdiArea()->setActiveSubWindow(child);
            return child->GetDocument();
        }
    }
    auto document = std::make_unique<CVELTADoc>();
    auto host = std::make_unique<FrameDocumentHost>(*this, *m_pFrame, *document);
    document->SetHost(host.get());
    if (!document->OnOpenDocument(path))
        return nullptr;
    return ShowDocument(std::move(document), std::move(host));
}

CVELTADoc* CVELTAApp::OnFileNew()
{
    auto document = std::make_unique<CVELTADoc>();
    auto host = std::make_unique<FrameDocumentHost>(*this, *m_pFrame, *document);
    document->SetHost(host.get());
    if (!document->OnNewDocument())
        return nullptr;
    return ShowDocument(std::move(document), std::move(host));
}

CVELTADoc* CVELTAApp::ShowDocument(std::unique_ptr<CVELTADoc> document, std::unique_ptr<FrameDocumentHost> host)
{
    CVELTADoc* doc = document.get();
    auto* child = new CChildFrame(*m_pFrame, std::move(document), std::move(host));
    m_pFrame->AddChild(child);
    if (platform::GetProfile().GetInt("Sheet", "DispMax", 0) != 0)
        child->showMaximized();
    if (auto* view = dynamic_cast<ViewCommands*>(child->GetView()))
        view->ShowStoredView();
    if (child->GetView())
        child->GetView()->setFocus();
    return doc;
}

bool CVELTAApp::IsProjectDocument(const std::string& path) const
{
    if (path.empty())
        return false;
    for (const std::string& doc : m_openProjectDocs)
        if (platform::MbsICmp(doc, path) == 0)
            return true;
    return false;
}

void CVELTAApp::RemoveProjectDocument(const std::string& path)
{
    if (path.empty())
        return;
    for (auto it = m_openProjectDocs.begin(); it != m_openProjectDocs.end(); ++it) {
        if (platform::MbsICmp(*it, path) == 0) {
            m_openProjectDocs.erase(it);
            return;
        }
    }
}

bool CVELTAApp::FindProjectWork(ProjectWork& out, const std::string& boardName) const
{
    if (m_strProjectPath.empty())
        return false;
    ProjectWorks works;
    const int count = ReadProjectFile(ToPath(m_strProjectPath), works);
    for (int i = 0; i < count; ++i) {
        if (platform::MbsICmp(works[static_cast<std::size_t>(i)].boardFile, boardName) == 0) {
            out = works[static_cast<std::size_t>(i)];
            return true;
        }
    }
    return false;
}

void CVELTAApp::SaveProjectBoards()
{
    if (platform::GetProfile().GetInt("Tool", "AutoSave", 0) == 0 || m_strProjectPath.empty())
        return;
    ProjectWorks works;
    const int count = ReadProjectFile(ToPath(m_strProjectPath), works);
    const std::string folder = GetProjectFolder();
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + works[static_cast<std::size_t>(i)].boardFile;
        for (CChildFrame* child : m_pFrame->Children()) {
            CVELTADoc* doc = child->GetDocument();
            if (platform::MbsICmp(doc->GetDocPathName(), path) == 0 && doc->IsModified())
                doc->DoSave(doc->GetDocPathName(), true);
        }
    }
}

std::optional<std::string> CVELTAApp::PromptProjectFileName(const std::string& proposed, bool open,
                                                            bool useWorkFolder)
{
    const QString filter =
        QString::fromUtf8("基板ファイル (*.vbd);;プロジェクトファイル (*.vpj);;すべてのファイル (*)");
    QString start = Cp932ToQString(proposed);
    if (useWorkFolder && QFileInfo(start).isRelative() && !WorkFolder().isEmpty())
        start = QDir(WorkFolder()).filePath(start);
    QFileDialog dialog(m_pFrame.get(),
                       open ? QString::fromUtf8("開く") : QString::fromUtf8("名前を付けて保存"), start,
                       filter);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("vbd");
    if (!proposed.empty())
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QStringToCp932(dialog.selectedFiles().front());
}

void CVELTAApp::OpenChosenFiles(const QStringList& names)
{
    for (const QString& name : names) {
        if (name.endsWith(".vpj", Qt::CaseInsensitive)) {
            m_strProjectPath = AbsolutePath(name);
            OpenCurrentProject();
            break; // later projects are ignored
        }
    }
    for (const QString& name : names)
        if (name.endsWith(".vbd", Qt::CaseInsensitive))
            OpenDocumentFile(AbsolutePath(name));
}

void CVELTAApp::OnFileOpen()
{
    QFileDialog dialog(
        m_pFrame.get(), QString::fromUtf8("開く"), WorkFolder(),
        QString::fromUtf8(
            "基板ファイル (*.vbd *.VBD);;プロジェクトファイル (*.vpj *.VPJ);;すべてのファイル (*)"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() == QDialog::Accepted)
        OpenChosenFiles(dialog.selectedFiles());
}

void CVELTAApp::OpenTextFile(const std::string& path)
{
    const QString file = Cp932ToQString(path);
    std::string editor = platform::GetProfile().GetString("Tool", "Editor");
    if (platform::MbsICmp(editor, "Notepad.exe") == 0)
        editor.clear();
    if (editor.empty()) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
            return;
    } else {
        // The editor command runs as a list of words, "%f" replaced by the path (or the path added).
        QStringList words = QProcess::splitCommand(Cp932ToQString(editor));
        bool placed = false;
        for (QString& word : words)
            if (word.contains("%f")) {
                word.replace("%f", file);
                placed = true;
            }
        if (!placed)
            words << file;
        if (!words.isEmpty() && QProcess::startDetached(words.front(), words.mid(1)))
            return;
    }
    QMessageBox::critical(m_pFrame.get(), "VELTA", QString::fromUtf8("プログラムを実行できません"));
}

void CVELTAApp::OnFilePrintSetup()
{
    QPrinter printer;
    QPageSetupDialog dialog(&printer, m_pFrame.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (CChildFrame* child : m_pFrame->Children())
        child->GetDocument()->LoadPrintSettings();
}

// ---------------------------------------------------------------------------------------------
// Recent lists

void CVELTAApp::AddToRecentFileList(const std::string& path)
{
    // Boards a project opens stay out of the list.
    if (m_bOpeningProject)
        return;
    m_pRecentFiles->ReadList();
    m_pRecentFiles->Add(path);
    m_pRecentFiles->WriteList();
}

void CVELTAApp::ClearRecentList(bool projects)
{
    CRecentFileList& list = projects ? *m_pRecentProjects : *m_pRecentFiles;
    list.Clear();
    list.WriteList();
}

void CVELTAApp::ResizeRecentList(bool projects, int size)
{
    CRecentFileList& list = projects ? *m_pRecentProjects : *m_pRecentFiles;
    list.WriteList();
    list.SetSize(size);
    list.ReadList();
    list.WriteList();
}

void CVELTAApp::WriteRecentList(bool projects)
{
    (projects ? *m_pRecentProjects : *m_pRecentFiles).WriteList();
}

// ---------------------------------------------------------------------------------------------
// Messages of a second start and of the shell

void CVELTAApp::BringToFront()
{
    if (m_pFrame->isMinimized())
        m_pFrame->showNormal();
    m_pFrame->show();
    m_pFrame->raise();
    m_pFrame->activateWindow();
}

int CVELTAApp::OnCopyData(const InstanceMessage& message)
{
    switch (message.code) {
    case COPYDATA_PING:
        return 1;
    case COPYDATA_PROJECT:
        return m_strProjectPath.empty() ? 0 : 1;
    case COPYDATA_OPEN: {
        BringToFront();
        const std::string path = CopyDataPath(message.data);
        // The sender waits for the answer only; the board opens once it has it.
        QTimer::singleShot(0, this, [this, path] {
            if (EndsWithNoCase(path, ".vbd"))
                OpenDocumentFile(path);
            else if (EndsWithNoCase(path, ".vpj"))
                OpenProjectWithFallback(path);
        });
        return 1;
    }
    case COPYDATA_COMMAND: {
        if (!ParseShellCommand(message.data))
            return 0;
        const std::string command = message.data;
        QTimer::singleShot(0, this, [this, command] { OnDDECommand(command); });
        return 1;
    }
    default:
        return 0;
    }
}

bool CVELTAApp::OnDDECommand(const std::string& command)
{
    const std::optional<ShellCommand> parsed = ParseShellCommand(command);
    if (!parsed)
        return false;
    if (parsed->kind == ShellCommandKind::Open) {
        if (parsed->path.empty())
            return true;
        BringToFront();
        if (EndsWithNoCase(parsed->path, ".vpj")) {
            OpenProjectWithFallback(parsed->path);
            return true;
        }
        if (OpenDocumentFile(parsed->path) && EndsWithNoCase(parsed->path, ".vbd") &&
            m_strProjectPath.empty()) {
            m_pRecentProjects->ReadList();
            if (m_pRecentProjects->GetCount() > 0)
                m_strProjectPath = m_pRecentProjects->GetEntry(0);
        }
        return true;
    }
    // Print and print-to: open the board and print it without the print dialog.
    CVELTADoc* doc = OpenDocumentFile(parsed->path);
    if (!doc)
        return false;
    for (CChildFrame* child : m_pFrame->Children())
        if (child->GetDocument() == doc)
            if (auto* view = dynamic_cast<ViewCommands*>(child->GetView())) {
                view->PrintDirect();
                return true;
            }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The project dialog

void CVELTAApp::OnProject()
{
    m_pFrame->MarkActiveDocument(false);
    CProjectDialogHost host(*this);
    CDlgProject dialog(host, m_pFrame.get());
    const bool accepted = dialog.DoModal() == QDialog::Accepted;
    m_pFrame->MarkActiveDocument(true);
    // "全部開く" may have closed and opened boards: the active board is asked for again.
    CVELTADoc* doc = m_pFrame->ActiveDocument();
    if (accepted) {
        const std::string first = platform::GetProfile().GetString("Project File List", "File1");
        if (!first.empty())
            m_strProjectPath = first;
        if (doc)
            doc->ReloadNetFile(true);
    }
    if (doc)
        doc->ReloadNetFile(false);
}
