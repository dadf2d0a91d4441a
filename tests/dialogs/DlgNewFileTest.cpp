// New design file dialog: the work area and origin checks, the project folder and the copy of the
// settings file, the folder-given situation with its previews, and the base folder browser.

#include "dialogs/DlgNewFile.h"
#include "dialogs/SettingPathRedirect.h"
#include "libui/NumEdit.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QDir>
#include <QFileDialog>

namespace {

namespace fs = std::filesystem;

class DlgNewFileTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        WriteSettings(Program() / "velta.bpf", "master", "327.00, 327.00 : 25.40, 25.40 ;");
        WriteSettings(Program() / "std.bpf", _J("標準の基板"), "250.00, 160.00 : 5.00, 5.00 ;");
        fs::create_directories(Projects() / "old");
        fs::create_directories(Projects() / "backup");
        WriteSettings(Projects() / "old" / "std.bpf", "old project");
        profile.SetString("Sheet", "WorkFolder", Projects().string());
        profile.SetString("FileSave", "SaveFolder", (Projects() / "backup").string());
        doc->GetSettingFile().SetPath(Program() / "velta.bpf");
    }
    fs::path Projects() const { return Root() / "projects"; }
    static QLineEdit* ProjectEdit(QWidget* d) { return Combo(d, CDlgNewFile::IdProject)->lineEdit(); }
};

TEST_F(DlgNewFileTest, WorkAreaAndOriginLimits)
{
    WriteSettings(Work() / "a.bpf", "a");
    struct Row
    {
        const char* width;
        const char* height;
        const char* x;
        const char* y;
        const char* message; // null: accepted
    };
    const Row rows[] = {
        {"100", "500", "0", "0", nullptr},
        {"99.9", "300", "0", "0", "作業領域は１００～５００ｍｍです"},
        {"200", "500.1", "0", "0", "作業領域は１００～５００ｍｍです"},
        {"200", "300", "100", "150", nullptr},
        {"200", "300", "100.1", "0", "原点は０～作業領域の半分です"},
        {"200", "300", "0", "150.1", "原点は０～作業領域の半分です"},
    };
    for (const Row& row : rows) {
        messages.Clear();
        CDlgNewFile dialog(doc.get());
        dialog.m_workFolder = Q(Work()) + "/";
        dialog.show();
        const std::pair<int, const char*> fields[] = {{CDlgNewFile::IdWidth, row.width},
                                                      {CDlgNewFile::IdHeight, row.height},
                                                      {CDlgNewFile::IdOriginX, row.x},
                                                      {CDlgNewFile::IdOriginY, row.y}};
        for (auto [id, text] : fields) {
            Type(&dialog, id, text);
            // The field refuses a value above its range as it is typed; pasted in by hand.
            if (Text(&dialog, id) != text)
                Edit(&dialog, id)->setText(text);
        }
        Ok(&dialog);
        const std::string context = std::string(row.width) + " " + row.height + " " + row.x + " " + row.y;
        if (row.message) {
            EXPECT_TRUE(dialog.isVisible()) << context;
            ASSERT_EQ(messages.Count(), 1u) << context;
            EXPECT_EQ(messages.Last().text, platform::JLiteral(row.message)) << context;
            // The values stay as typed.
            EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWidth), row.width);
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << context;
            EXPECT_EQ(messages.Count(), 0u) << context;
            EXPECT_DOUBLE_EQ(dialog.m_dWidth, atof(row.width));
            EXPECT_DOUBLE_EQ(dialog.m_dOriginY, atof(row.y));
        }
    }
}

TEST_F(DlgNewFileTest, ANewProjectGetsItsFolderAndAWritableCopyWithTheComment)
{
    fs::permissions(Program() / "std.bpf", fs::perms::owner_read | fs::perms::group_read,
                    fs::perm_options::replace);
    const std::string master = ReadFile(Program() / "std.bpf");
    CDlgNewFile dialog(doc.get());
    dialog.show();
    EXPECT_FALSE(dialog.IsFolderGiven());
    // The work area comes from the document's settings file.
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWidth), "327");
    QComboBox* list = Combo(&dialog, CDlgNewFile::IdList);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), "std.bpf");
    // The first file's comment is shown from the start.
    EXPECT_EQ(PlainText(&dialog, CDlgNewFile::IdComment), QString::fromUtf8("標準の基板"));
    EXPECT_FALSE(Enabled(&dialog, CDialogBuilder::IdOk));

    // The backup folder is not offered as a project.
    auto* projects = Combo(&dialog, CDlgNewFile::IdProject);
    projects->showPopup();
    projects->hidePopup();
    EXPECT_EQ(projects->findText("old"), 0);
    EXPECT_EQ(projects->findText("backup"), -1);

    TypeInto(ProjectEdit(&dialog), QString::fromUtf8("新基板"));
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), Q(Projects()) + QString::fromUtf8("/新基板"));
    EXPECT_TRUE(Enabled(&dialog, CDialogBuilder::IdOk));
    ChooseEntry(&dialog, CDlgNewFile::IdList, 1);
    EXPECT_EQ(PlainText(&dialog, CDlgNewFile::IdComment), "master");
    ChooseEntry(&dialog, CDlgNewFile::IdList, 0);
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWidth), "250");
    EXPECT_EQ(doc->GetSettingFile().GetPath(), Program() / "velta.bpf");
    auto* comment = FindControl<QPlainTextEdit>(&dialog, CDlgNewFile::IdComment);
    comment->selectAll();
    QTest::keyClicks(comment, "my board");
    Shot(&dialog, "newfile");
    Ok(&dialog);

    ASSERT_EQ(dialog.result(), QDialog::Accepted) << LastMessage().toStdString();
    const fs::path copy = Projects() / platform::Cp932ToPath(_J("新基板")) / "std.bpf";
    EXPECT_EQ(dialog.m_result, Q(copy));
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadFile(Program() / "std.bpf"), master);
    {
        CSettingPathRedirect probe(*doc, copy);
        EXPECT_EQ(doc->ReadComment(), "my board");
    }
    EXPECT_EQ(doc->GetSettingFile().GetPath(), Program() / "velta.bpf");
}

TEST_F(DlgNewFileTest, TheMasterIsCopiedAsTheUserEditedIt)
{
    WriteSettings(Root() / "user" / "velta.bpf", "edited master");
    CDlgNewFile dialog(doc.get());
    dialog.show();
    TypeInto(ProjectEdit(&dialog), "p3");
    ChooseEntry(&dialog, CDlgNewFile::IdList, 1);
    EXPECT_EQ(PlainText(&dialog, CDlgNewFile::IdComment), "edited master");
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    CSettingPathRedirect probe(*doc, Projects() / "p3" / "velta.bpf");
    EXPECT_EQ(doc->ReadComment(), "edited master");
    EXPECT_EQ(ReadFile(Projects() / "p3" / "velta.bpf"), ReadFile(Root() / "user" / "velta.bpf"));
}

TEST_F(DlgNewFileTest, AnExistingProjectFolderAsksAndYesLeavesItsFileUntouched)
{
    const std::string before = ReadFile(Projects() / "old" / "std.bpf");
    CDlgNewFile dialog(doc.get());
    dialog.show();
    TypeInto(ProjectEdit(&dialog), "old");
    messages.QueueAnswer(IDNO);
    Ok(&dialog);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("既存のプロジェクトフォルダに追加しますか？"));
    EXPECT_EQ(messages.Last().type & MB_TYPEMASK, MB_YESNO);
    EXPECT_TRUE(dialog.isVisible());

    messages.QueueAnswer(IDYES);
    Ok(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_result, Q(Projects() / "old" / "std.bpf"));
    EXPECT_EQ(ReadFile(Projects() / "old" / "std.bpf"), before);
}

TEST_F(DlgNewFileTest, FolderAndCopyFailuresKeepTheDialogOpen)
{
    struct Row
    {
        const char* base;
        bool removeSource;
        const char* message;
    };
    const Row rows[] = {{"missing/deeper", false, "プロジェクトフォルダ作成に失敗しました"},
                        {"projects", true, "基板設計ファイルのコピーに失敗しました"}};
    for (const Row& row : rows) {
        messages.Clear();
        profile.SetString("Sheet", "WorkFolder", (Root() / row.base).string());
        CDlgNewFile dialog(doc.get());
        dialog.show();
        TypeInto(ProjectEdit(&dialog), "p1");
        if (row.removeSource)
            fs::remove(Program() / "std.bpf");
        Ok(&dialog);
        EXPECT_TRUE(dialog.isVisible()) << row.base;
        ASSERT_EQ(messages.Count(), 1u) << row.base;
        EXPECT_EQ(messages.Last().text, platform::JLiteral(row.message));
        EXPECT_EQ(ProjectEdit(&dialog)->text(), "p1");
    }
}

TEST_F(DlgNewFileTest, EditingTheWorkFolderMovesTheBaseFolder)
{
    CDlgNewFile dialog(doc.get());
    dialog.show();
    TypeInto(ProjectEdit(&dialog), "Board1");
    struct Row
    {
        QString typed;
        QString shown;
    };
    const Row rows[] = {
        // Ending in the project name (in any case): the folder above it is the base.
        {Q(Root() / "a" / "BOARD1"), Q(Root() / "a" / "Board1")},
        {Q(Root() / "b"), Q(Root() / "b" / "Board1")},
        {Q(Root() / "c") + "/", Q(Root() / "c" / "Board1")},
    };
    for (const Row& row : rows) {
        Type(&dialog, CDlgNewFile::IdWorkFolder, row.typed);
        QTest::keyClick(Edit(&dialog, CDlgNewFile::IdWorkFolder), Qt::Key_Return);
        EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), row.shown) << row.typed.toStdString();
    }
    // Opening the project list shows the base folder alone until a project is chosen.
    Combo(&dialog, CDlgNewFile::IdProject)->showPopup();
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), Q(Root() / "c") + "/");
    Combo(&dialog, CDlgNewFile::IdProject)->hidePopup();
}

TEST_F(DlgNewFileTest, TheProjectNameTakesAtMost32Characters)
{
    CDlgNewFile dialog(doc.get());
    dialog.show();
    TypeInto(ProjectEdit(&dialog), QString(40, QLatin1Char('a')));
    EXPECT_EQ(ProjectEdit(&dialog)->text(), QString(32, QLatin1Char('a')));
    TypeInto(ProjectEdit(&dialog), "../escape");
    Ok(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Last().text, _J("プロジェクトフォルダ作成に失敗しました"));
    EXPECT_FALSE(fs::exists(Root() / "escape"));
}

TEST_F(DlgNewFileTest, WithAFolderGivenPreviewsLeaveTheDocumentAsItWas)
{
    WriteSettings(Work() / "a.bpf", "board a", "200.00, 300.00 : 10.00, 20.00 ;");
    WriteSettings(Work() / "b.bpf", "board b", "400.00, 450.00 : 30.00, 40.00 ;");
    doc->GetSettingFile().SetPath(Work() / "a.bpf");
    CDlgNewFile dialog(doc.get());
    dialog.m_workFolder = Q(Work()) + "/";
    dialog.show();
    Shot(&dialog, "newfile-folder");
    EXPECT_TRUE(dialog.IsFolderGiven());
    EXPECT_EQ(ProjectEdit(&dialog)->text(), "work");
    EXPECT_TRUE(ProjectEdit(&dialog)->isReadOnly());
    EXPECT_TRUE(Edit(&dialog, CDlgNewFile::IdWorkFolder)->isReadOnly());
    EXPECT_FALSE(Enabled(&dialog, CDlgNewFile::IdChangeBase));
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), Q(Work()));
    EXPECT_EQ(PlainText(&dialog, CDlgNewFile::IdComment), "board a");
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWidth), "200");

    ChooseEntry(&dialog, CDlgNewFile::IdList, 1);
    EXPECT_EQ(PlainText(&dialog, CDlgNewFile::IdComment), "board b");
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWidth), "400");
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdOriginY), "40");
    EXPECT_EQ(doc->GetSettingFile().GetPath(), Work() / "a.bpf");
    EXPECT_DOUBLE_EQ(doc->GetBoardSize().cx, 200.0);
    dialog.reject();
    EXPECT_DOUBLE_EQ(doc->GetBoardSize().cy, 300.0);
    EXPECT_DOUBLE_EQ(doc->GetUserOrigin().x, 10.0);

    OnDialog([](QDialog* d) {
        ChooseEntry(d, CDlgNewFile::IdList, 1);
        Ok(d);
    });
    const std::optional<NewDesignChoice> choice = CDlgNewFile::Run(nullptr, Work().string(), doc.get());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->folder, Work().string());
    EXPECT_EQ(choice->settingFile, (Work() / "b.bpf").string());
    EXPECT_DOUBLE_EQ(choice->size.cx, 400.0);
    EXPECT_DOUBLE_EQ(choice->origin.y, 40.0);
}

TEST_F(DlgNewFileTest, ChangingTheBaseFolderBrowsesAndKeepsTheCurrentFolder)
{
    fs::create_directories(Root() / "elsewhere");
    const QString cwd = QDir::currentPath();
    CDlgNewFile dialog(doc.get());
    dialog.show();
    TypeInto(ProjectEdit(&dialog), "p2");
    QString title;
    QString start;
    OnDialog([&](QDialog* d) {
        auto* browser = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(browser, nullptr);
        title = browser->windowTitle();
        start = browser->directory().absolutePath();
        browser->setDirectory(Q(Root() / "elsewhere"));
        browser->selectFile(Q(Root() / "elsewhere"));
        static_cast<QDialog*>(browser)->accept();
    });
    Click(&dialog, CDlgNewFile::IdChangeBase);
    EXPECT_TRUE(opened);
    EXPECT_EQ(title, QString::fromUtf8("プロジェクトフォルダの基準を選択してください。"));
    EXPECT_EQ(start, Q(Projects()));
    EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), Q(Root() / "elsewhere") + "/p2");
    EXPECT_EQ(QDir::currentPath(), cwd);
}

} // namespace

TEST_F(DlgNewFileTest, WithoutADocumentsFolderProjectsGoUnderHome)
{
    const fs::path home = Root() / "home";
    fs::create_directories(home);
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(home.string()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / ".config").string()));
    profile.SetString("Sheet", "WorkFolder", "");
    {
        CDlgNewFile dialog(doc.get());
        dialog.show();
        TypeInto(ProjectEdit(&dialog), QString::fromUtf8("新基板"));
        // The project folder is made one level below the base folder, which must exist.
        EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder), Q(home) + QString::fromUtf8("/新基板"));
    }
    fs::create_directories(home / "Documents");
    {
        CDlgNewFile dialog(doc.get());
        dialog.show();
        TypeInto(ProjectEdit(&dialog), QString::fromUtf8("新基板"));
        EXPECT_EQ(Text(&dialog, CDlgNewFile::IdWorkFolder),
                  Q(home / "Documents") + QString::fromUtf8("/新基板"));
    }
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
}
