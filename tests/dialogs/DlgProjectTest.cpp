// Project dialog: the project file it writes, byte for byte and read back; choosing, adding,
// removing and dropping works with their limits and refusals; the OK sequence with the project
// history.

#include "dialogs/DlgProject.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include <deque>

namespace {

namespace fs = std::filesystem;

class FakeProjectHost : public CDlgProject::Host
{
public:
    int GetRecentSize() override { return recentSize; }
    void ClearRecent() override { recent.clear(); }
    void AddRecent(const std::string& path) override { recent.insert(recent.begin(), path); }
    void WriteRecent() override { ++writes; }
    void SetProjectPath(const std::string& path) override { projectPath = path; }
    void OpenCurrentProject() override { ++projectOpens; }
    void OpenBoardFile(const std::string& path) override { boards.push_back(path); }
    std::string GetNorvaSaveBase() override { return "/norva/base"; }
    QStringList ChooseFiles(QWidget*, FileMode mode, const QString& folder, const QString& filter) override
    {
        asked.push_back({mode, folder, filter});
        if (answers.empty())
            return {};
        QStringList answer = answers.front();
        answers.pop_front();
        return answer;
    }

    struct Asked
    {
        FileMode mode;
        QString folder;
        QString filter;
    };
    int recentSize = 4;
    std::vector<std::string> recent;
    int writes = 0;
    std::string projectPath;
    int projectOpens = 0;
    std::vector<std::string> boards;
    std::deque<QStringList> answers;
    std::vector<Asked> asked;
};

// Drops reach the dialog as the window system delivers them.
class DropDialog : public CDlgProject
{
public:
    using CDlgProject::CDlgProject;
    using CDlgProject::dropEvent;
};

class DlgProjectTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        WriteFile(Work() / "std.bpf", "\r\n");
        for (const char* board : {"a.vbd", "b.vbd", "c.vbd"})
            WriteFile(Work() / board, "");
        project = Work() / "p.vpj";
        profile.SetString("Project File List", "File1", project.string());
    }

    // A project file of `count` works named w0.vbd, w1.vbd, ...
    void WriteProject(int count, const std::string& norva = std::string())
    {
        ProjectWorks works{};
        for (int i = 0; i < count; ++i) {
            works[static_cast<std::size_t>(i)].boardFile = "w" + std::to_string(i) + ".vbd";
            works[static_cast<std::size_t>(i)].settingsFile = "std.bpf";
            works[static_cast<std::size_t>(i)].schematicProject = norva;
            works[static_cast<std::size_t>(i)].netFormat = i % 18;
        }
        ASSERT_TRUE(WriteProjectFile(project, works, count));
    }
    std::unique_ptr<DropDialog> Open()
    {
        auto dialog = std::make_unique<DropDialog>(host);
        dialog->show();
        return dialog;
    }
    static QListWidget* Works(QWidget* d) { return FindControl<QListWidget>(d, CDlgProject::IdWorks); }
    static QStringList Names(QWidget* d)
    {
        QStringList names;
        for (int i = 0; i < Works(d)->count(); ++i)
            names << Works(d)->item(i)->text();
        return names;
    }
    static void Select(QWidget* d, int row)
    {
        QListWidget* list = Works(d);
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    static void Drop(DropDialog* d, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        d->dropEvent(&drop);
    }
    static QUrl Url(const fs::path& path) { return QUrl::fromLocalFile(Q(path)); }
    QString W(const char* name) const { return Q(Work() / name); }

    FakeProjectHost host;
    fs::path project;
};

TEST_F(DlgProjectTest, AWorkAddedHereIsWrittenByteForByteAndReadsBack)
{
    auto d = Open();
    EXPECT_EQ(Combo(d.get(), CDlgProject::IdSettings)->currentText(), "std.bpf");
    EXPECT_FALSE(Enabled(d.get(), CDialogBuilder::IdOk)); // no work yet
    host.answers.push_back({W("a.vbd")});
    Click(d.get(), CDlgProject::IdAdd);
    ASSERT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(host.asked[0].mode, CDlgProject::Host::OpenMany);
    EXPECT_EQ(host.asked[0].folder, Q(Work()) + "/");
    EXPECT_EQ(Names(d.get()), QStringList{"a.vbd"});
    Shot(d.get(), "DlgProject");
    Ok(d.get());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(project), "Project File Ver 0.01\r\n"
                                 "[Work  0]\r\n{\r\n[1] a.vbd\r\n[2] 0 0 0 0 0\r\n[3] std.bpf\r\n"
                                 "[4] \r\n[5] \r\n[6] \r\n}\r\n\r\n"
                                 "EndProjectList\r\n");
    EXPECT_EQ(host.recent, std::vector<std::string>{project.string()});
    EXPECT_EQ(host.writes, 1);
    ProjectWorks read{};
    ASSERT_EQ(ReadProjectFile(project, read), 1);
    EXPECT_EQ(read[0].boardFile, "a.vbd");
    EXPECT_EQ(read[0].settingsFile, "std.bpf");
    EXPECT_EQ(read[0].netFile, "");
    EXPECT_EQ(read[0].useNet, 0);
}

TEST_F(DlgProjectTest, WorkHeadersAndEveryFieldReadBack)
{
    ProjectWorks works{};
    for (int i = 0; i < 11; ++i) {
        ProjectWork& w = works[static_cast<std::size_t>(i)];
        w.boardFile = _J("基板") + std::to_string(i) + ".vbd";
        w.settingsFile = "s.bpf";
        w.netFile = "n.net";
        w.partFile = "p.cmp";
        w.schematicProject = "/x/" + _J("表") + ".npj";
        w.spareFlag = static_cast<std::uint8_t>(i % 2);
        w.useNet = 1;
        w.netFormat = 17;
    }
    const std::string text = FormatProjectFile(works, 11);
    EXPECT_NE(text.find("[Work  0]\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Work  9]\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Work 10]\r\n"), std::string::npos);
    EXPECT_NE(text.find("[2] 1 17 1 0 0\r\n"), std::string::npos);
    ASSERT_TRUE(WriteProjectFile(project, works, 11));
    ProjectWorks read{};
    ASSERT_EQ(ReadProjectFile(project, read), 11);
    for (int i = 0; i < 11; ++i) {
        const ProjectWork& a = works[static_cast<std::size_t>(i)];
        const ProjectWork& b = read[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::tie(a.boardFile, a.settingsFile, a.netFile, a.partFile, a.schematicProject,
                           a.spareFlag, a.useNet, a.netFormat),
                  std::tie(b.boardFile, b.settingsFile, b.netFile, b.partFile, b.schematicProject,
                           b.spareFlag, b.useNet, b.netFormat))
            << i;
    }
    // Nothing is written without a path or works; an unwritable place is reported.
    EXPECT_FALSE(WriteProjectFile(project, works, 0));
    EXPECT_FALSE(WriteProjectFile(Root() / "missing" / "q.vpj", works, 1));
    EXPECT_EQ(messages.Count(), 1u);
}

TEST_F(DlgProjectTest, ChoosingTheProjectFile)
{
    struct Row
    {
        const char* chosen;
        const char* path; // the project path afterwards
        bool refused;
    };
    const Row rows[] = {
        {"old.bak", "", true},
        {"board.VBD", "", true},
        {"set.bpf", "", true},
        {"fresh", "fresh.vpj", false},
        {"fresh.vpj", "fresh.vpj", false},
        {"p.vpj", "p.vpj", false}, // an existing project keeps its name
    };
    WriteProject(1);
    for (const Row& row : rows) {
        messages.Clear();
        auto d = Open();
        host.answers.push_back({W(row.chosen)});
        Click(d.get(), CDlgProject::IdProjectBrowse);
        EXPECT_EQ(host.asked.back().mode, CDlgProject::Host::OpenOrCreate);
        // Without a work folder the chooser starts in the documents folder.
        EXPECT_EQ(host.asked.back().folder,
                  QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        const QString expected = *row.path ? W(row.path) : QString();
        EXPECT_EQ(d->m_strProject, expected.toStdString()) << row.chosen;
        EXPECT_EQ(Combo(d.get(), CDlgProject::IdProject)->currentText(), expected) << row.chosen;
        if (row.refused) {
            ASSERT_EQ(messages.Count(), 1u) << row.chosen;
            EXPECT_EQ(messages.Last().text, _J("指定されたファイルのファイル拡張子は使用できません。"));
        } else {
            EXPECT_EQ(messages.Count(), 0u) << row.chosen;
        }
    }
}

TEST_F(DlgProjectTest, FilesFromAnotherFolderAreRefused)
{
    fs::create_directories(Root() / "other");
    WriteFile(Root() / "other" / "x.vbd", "");
    auto d = Open();
    host.answers.push_back({Q(Root() / "other" / "x.vbd")});
    Click(d.get(), CDlgProject::IdAdd);
    EXPECT_TRUE(Names(d.get()).isEmpty());
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("プロジェクトファイルと同じフォルダのファイルを選択してください。"));
    // Dropped files stop at the first from another folder; only boards not yet listed are taken.
    messages.Clear();
    Drop(d.get(), {Url(Work() / "b.vbd"), Url(Work() / "std.bpf"), Url(Work() / "b.vbd"),
                   Url(Root() / "other" / "x.vbd"), Url(Work() / "c.vbd")});
    EXPECT_EQ(Names(d.get()), QStringList{"b.vbd"});
    EXPECT_EQ(messages.Count(), 1u);
    // Adding a board already listed adds nothing.
    host.answers.push_back({W("b.vbd"), W("a.vbd")});
    Click(d.get(), CDlgProject::IdAdd);
    EXPECT_EQ(Names(d.get()), (QStringList{"b.vbd", "a.vbd"}));
    EXPECT_EQ(Works(d.get())->currentRow(), 1);
}

TEST_F(DlgProjectTest, SixtyFourWorksStopAddingBrowsingAndDrops)
{
    WriteProject(PROJECT_WORK_MAX);
    auto d = Open();
    EXPECT_EQ(Works(d.get())->count(), PROJECT_WORK_MAX);
    host.answers.push_back({W("a.vbd")});
    Click(d.get(), CDlgProject::IdAdd);
    Click(d.get(), CDlgProject::IdNorvaBrowse);
    EXPECT_TRUE(host.asked.empty());
    Drop(d.get(), {Url(Work() / "a.vbd")});
    EXPECT_EQ(Works(d.get())->count(), PROJECT_WORK_MAX);
    EXPECT_EQ(d->m_nWorks, PROJECT_WORK_MAX);
}

TEST_F(DlgProjectTest, OkNeedsWorksAndASettingsFile)
{
    auto d = Open();
    d->accept(); // the button is disabled; the handler refuses too
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(fs::exists(project));
    d.reset();
    // A folder without settings files.
    fs::remove(Work() / "std.bpf");
    d = Open();
    host.answers.push_back({W("a.vbd")});
    Click(d.get(), CDlgProject::IdAdd);
    EXPECT_EQ(Names(d.get()), QStringList{"a.vbd"});
    EXPECT_FALSE(Enabled(d.get(), CDialogBuilder::IdOk));
    EXPECT_FALSE(Enabled(d.get(), CDlgProject::IdOpenAll));
    d->accept();
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(fs::exists(project));
}

TEST_F(DlgProjectTest, RemovingSelectsTheWorkThatMovedUpOrTheNewLast)
{
    WriteProject(4);
    auto d = Open();
    Select(d.get(), 3);
    Click(d.get(), CDlgProject::IdRemove);
    EXPECT_EQ(Names(d.get()), (QStringList{"w0.vbd", "w1.vbd", "w2.vbd"}));
    EXPECT_EQ(Works(d.get())->currentRow(), 2);
    Select(d.get(), 1);
    Click(d.get(), CDlgProject::IdRemove);
    EXPECT_EQ(Names(d.get()), (QStringList{"w0.vbd", "w2.vbd"}));
    EXPECT_EQ(Works(d.get())->currentRow(), 1);
    // The net group shows the work that moved up.
    EXPECT_EQ(Combo(d.get(), CDlgProject::IdFormat)->currentIndex(), 2);
    EXPECT_EQ(d->m_nWorks, 2);
}

TEST_F(DlgProjectTest, EveryWorkGetsTheSettingsFileAndTheNorvaPath)
{
    WriteFile(Work() / "two.bpf", "\r\n");
    WriteFile(Work() / "sch.npj", "");
    WriteProject(3, "/old/sch.npj");
    auto d = Open();
    EXPECT_EQ(Text(d.get(), CDlgProject::IdNorva), "/old/sch.npj");
    host.answers.push_back({W("sch.npj")});
    Click(d.get(), CDlgProject::IdNorvaBrowse);
    EXPECT_EQ(host.asked.back().folder, "/norva/base");
    ChooseEntry(d.get(), CDlgProject::IdSettings, 1);
    EXPECT_EQ(Combo(d.get(), CDlgProject::IdSettings)->currentText(), "two.bpf");
    Ok(d.get());
    ASSERT_EQ(d->result(), QDialog::Accepted);
    ProjectWorks read{};
    ASSERT_EQ(ReadProjectFile(project, read), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(read[static_cast<std::size_t>(i)].settingsFile, "two.bpf");
        EXPECT_EQ(read[static_cast<std::size_t>(i)].schematicProject, W("sch.npj").toStdString());
    }
}

TEST_F(DlgProjectTest, EachWorkKeepsItsOwnNetSettings)
{
    WriteProject(2);
    WriteFile(Work() / "one.net", "");
    auto d = Open();
    Select(d.get(), 0);
    Click(d.get(), CDlgProject::IdUseNet);
    EXPECT_TRUE(Enabled(d.get(), CDlgProject::IdFormat));
    ChooseEntry(d.get(), CDlgProject::IdFormat, 9);
    host.answers.push_back({W("one.net")});
    Click(d.get(), CDlgProject::IdNetBrowse);
    EXPECT_EQ(host.asked.back().mode, CDlgProject::Host::OpenOne);
    EXPECT_EQ(Text(d.get(), CDlgProject::IdNetFile), "one.net");
    // Another work shows its own values; switching does not carry the first one's over.
    Select(d.get(), 1);
    EXPECT_EQ(Combo(d.get(), CDlgProject::IdFormat)->currentIndex(), 1);
    EXPECT_EQ(State(d.get(), CDlgProject::IdUseNet), Qt::Unchecked);
    EXPECT_FALSE(Enabled(d.get(), CDlgProject::IdFormat));
    Select(d.get(), 0);
    EXPECT_EQ(Combo(d.get(), CDlgProject::IdFormat)->currentIndex(), 9);
    Ok(d.get());
    ProjectWorks read{};
    ASSERT_EQ(ReadProjectFile(project, read), 2);
    EXPECT_EQ(read[0].useNet, 1);
    EXPECT_EQ(read[0].netFormat, 9);
    EXPECT_EQ(read[0].netFile, "one.net");
    EXPECT_EQ(read[1].useNet, 0);
    EXPECT_EQ(read[1].netFormat, 1);
}

TEST_F(DlgProjectTest, AMissingProjectIsOfferedForRemovalFromTheHistory)
{
    WriteProject(1);
    profile.SetString("Project File List", "File2", W("gone.vpj").toStdString());
    auto d = Open();
    QComboBox* combo = Combo(d.get(), CDlgProject::IdProject);
    ASSERT_EQ(combo->count(), 2);
    messages.QueueAnswer(IDYES);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("プロジェクトファイルが存在しません\n履歴から除外しますか？"));
    EXPECT_EQ(combo->count(), 1);
    EXPECT_TRUE(d->m_strProject.empty());
    EXPECT_FALSE(Enabled(d.get(), CDlgProject::IdAdd));
    // The NORVA field tells of a missing file.
    messages.Clear();
    Type(d.get(), CDlgProject::IdNorva, "/nowhere/x.npj");
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Edit(d.get(), CDlgProject::IdNorva), &left);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("ＮＯＲＶＡプロジェクトファイルが見つかりません。"));
}

TEST_F(DlgProjectTest, OpenAndOpenAll)
{
    WriteProject(2);
    auto d = Open();
    Select(d.get(), 1);
    Click(d.get(), CDlgProject::IdOpen);
    EXPECT_EQ(host.boards, std::vector<std::string>{(Work() / "w1.vbd").string()});
    Click(d.get(), CDlgProject::IdOpenAll);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(host.projectPath, project.string());
    EXPECT_EQ(host.projectOpens, 1);
}

TEST_F(DlgProjectTest, ADamagedProjectFileOpensWithoutHarm)
{
    WriteFile(project,
              std::string("[Work 0]\r\n{\r\n[2] 1 99999999999 -7\r\n[1]\xff\x81\r\n{\r\n{\r\n}\0junk", 44));
    auto d = Open();
    EXPECT_LE(Works(d.get())->count(), 1);
    EXPECT_TRUE(d->isVisible());
}

} // namespace
