// The main frame as a user meets it: bars, menus, status panes, the environment sheet, the window
// position, projects and recent lists, and the frame services the board model asks.

#include "app/ChildFrame.h"
#include "app/CommandTable.h"
#include "app/EnvironmentSheet.h"
#include "app/RecentFileList.h"
#include "app/WindowPlacement.h"
#include "document/FrameHelpers.h"
#include "platform/Cp932.h"
#include "platform/qt/QtText.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

using namespace apptest;

std::vector<int> BarCommands(QToolBar* bar)
{
    std::vector<int> ids;
    for (QAction* action : bar->actions())
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
    return ids;
}

class MainFrameTest : public AppFixture
{
};

TEST_F(MainFrameTest, BarsCarryTheirCommandsInOrder)
{
    Start();
    EXPECT_EQ(BarCommands(frame->ToolBar(132)),
              (std::vector<int>{32771, 32772, 32774, 32776, 32775, 0, 32810}));
    EXPECT_EQ(BarCommands(frame->ToolBar(133)), (std::vector<int>{32785, 0, 32786}));
    EXPECT_EQ(BarCommands(frame->ToolBar(128)).size(), 14u);
    EXPECT_EQ(BarCommands(frame->ToolBar(131)).size(), 13u);
    EXPECT_EQ(BarCommands(frame->ToolBar(135)).size(), 13u);
    // The combos start disabled, at their widths.
    EXPECT_FALSE(frame->LayerCombo()->isEnabled());
    EXPECT_EQ(frame->LayerCombo()->width(), 200);
    EXPECT_EQ(frame->TurretCombo()->width(), 100);
    // Nine status panes; the board size is empty without a board.
    EXPECT_EQ(frame->statusBar()->findChildren<QLabel*>().size(), 9);
    EXPECT_TRUE(frame->StatusPaneText(2).isEmpty());
    EXPECT_FALSE(frame->StatusPaneText(8).isEmpty());
}

TEST_F(MainFrameTest, NoKeyOfTheViewIsAnActionShortcut)
{
    Start();
    for (const CommandInfo& info : GetCommandTable()) {
        QAction* action = frame->Action(info.id);
        ASSERT_NE(action, nullptr) << info.id;
        if (info.viewKey) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << info.id;
        }
    }
    for (int id : {57603, 57601, 57643, 57640})
        EXPECT_FALSE(frame->Action(id)->shortcut().isEmpty()) << id;
}

TEST_F(MainFrameTest, ExternalToolsMenu)
{
    Start();
    const auto menuTexts = [this] {
        QMenu menu;
        menu.addAction("x")->setData(ID_TOOL_FIRST);
        frame->FillToolsMenu(&menu);
        std::vector<std::pair<int, QString>> items;
        for (QAction* a : menu.actions())
            items.emplace_back(a->isEnabled() ? a->data().toInt() : -a->data().toInt(), a->text());
        return items;
    };
    profile.SetString("Tool", "ExtProg1", "");
    profile.SetString("Tool", "ExtProg2", "*x");
    profile.SetString("Tool", "ExtProg3", "/usr/bin/grep");
    EXPECT_EQ(menuTexts(), (std::vector<std::pair<int, QString>>{{109, "grep\tCtrl+F3"}}));
    profile.SetString("Tool", "ExtProg3", "");
    EXPECT_EQ(menuTexts(),
              (std::vector<std::pair<int, QString>>{{-107, QString::fromUtf8("外部プログラム")}}));
}

TEST_F(MainFrameTest, RecentProjectItems)
{
    EXPECT_EQ(RecentProjectMenuText(0, "W/A&B.vpj", "W"), "&1 A&&B");
    EXPECT_EQ(RecentProjectMenuText(9, "/p/ten.VPJ", "W"), "&0 /p/ten");
    EXPECT_EQ(RecentProjectMenuText(1, "W/sub/x.vpj", "W/"), "&2 sub/x");
    // A double-byte character whose trail byte is '&' (0x26 never is one) stays whole; doubled '&'
    // stays a pair.
    const std::string kana = platform::Utf8ToCp932("ソ&").value();
    EXPECT_EQ(RecentProjectMenuText(0, "W/" + kana + ".vpj", "W"), "&1 " + kana.substr(0, 2) + "&&");

    Start();
    QMenu menu;
    frame->FillRecentProjectMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), QString::fromUtf8("使用したプロジェクトなし"));
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    profile.SetString("Project File List", "File1", "/w/A&B.vpj");
    profile.SetString("Sheet", "WorkFolder", "/w");
    frame->FillRecentProjectMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "&1 A&&B");
    EXPECT_EQ(menu.actions()[0]->data().toInt(), 151);
}

TEST_F(MainFrameTest, WindowPositionNeedsTenNumbers)
{
    EXPECT_TRUE(ParseWindowPos("0,1,-1,-1,-1,-1,10,20,800,600").has_value());
    EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,10,20,800").has_value());
    EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,10,20,800,600,5").has_value());
    EXPECT_FALSE(ParseWindowPos("0,1,a,-1,-1,-1,10,20,800,600").has_value());
    EXPECT_FALSE(ParseWindowPos("").has_value());
    const WindowPlacement w = ParseWindowPos("2,3,-1,-1,-1,-1,10,20,800,600").value();
    EXPECT_EQ(FormatWindowPos(w), "2,3,-1,-1,-1,-1,10,20,800,600");

    profile.SetString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,10,20,800");
    Start();
    EXPECT_EQ(frame->size(), QSize(1024, 768));
}

TEST_F(MainFrameTest, WindowPositionComesBackOnTheScreen)
{
    profile.SetString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,5000,5000,5400,5300");
    Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(frame->geometry())) << frame->geometry().x() << "," << frame->geometry().y();
    EXPECT_EQ(frame->size(), QSize(400, 300));
    frame->SavePlacement();
    EXPECT_TRUE(ParseWindowPos(profile.GetString("Settings", "WindowPos")).has_value());
    EXPECT_EQ(profile.GetInt("Settings", "BarVer", 0), 1);
}

TEST_F(MainFrameTest, EnvironmentSheetStartsOnTheStoredPage)
{
    Start();
    const std::vector<int> ids = frame->EnvironmentPageIds();
    EXPECT_EQ(ids, (std::vector<int>{154, 166, 167, 171, 178, 153})); // no layer page without a board
    EXPECT_EQ(CMainFrame::EnvironmentStartIndex(ids, 156), 1);
    EXPECT_EQ(CMainFrame::EnvironmentStartIndex(ids, 153), 5);
    CEnvironmentSheet sheet(ids, frame);
    sheet.SetStartIndex(CMainFrame::EnvironmentStartIndex(ids, 156));
    EXPECT_EQ(sheet.CurrentPageId(), 166);
    EXPECT_EQ(sheet.windowTitle(), QString::fromUtf8("環境設定"));
    EXPECT_EQ(sheet.Tabs()->tabText(0), QString::fromUtf8("全般"));

    MakeBoard(root / "b", "a.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(root / "b" / "a.vbd")));
    EXPECT_EQ(frame->EnvironmentPageIds().back(), 156);
}

TEST_F(MainFrameTest, FrameServicesWithoutABoard)
{
    Start();
    const tagTURRET hairline = frame->GetTurret(-1);
    EXPECT_EQ(hairline.shape, 0);
    EXPECT_DOUBLE_EQ(hairline.size1, 0.01);
    EXPECT_DOUBLE_EQ(hairline.size2, 0.0);
    const tagTURRET none = frame->GetTurret(121);
    EXPECT_EQ(none.shape, 0);
    EXPECT_EQ(none.size1, 0.0);
    EXPECT_EQ(frame->GetTurret(5).size1, 0.0);
    EXPECT_EQ(frame->GetCoordScale(), 100);
    EXPECT_EQ(frame->GetWireLayerCount(), 0);
    EXPECT_EQ(frame->GetTextSize(99).height, 0.0);
    EXPECT_EQ(frame->GetVia(70).drill, 0.0);
    EXPECT_EQ(frame->GetLayer(200).name, "");
    std::array<std::uint32_t, LAYER_MAX> flags{};
    frame->GetLayerFlags(flags, 0);
    EXPECT_TRUE(std::all_of(flags.begin(), flags.end(), [](std::uint32_t f) { return f == 1; }));
    EXPECT_EQ(GetFrameServices(), frame);
}

TEST_F(MainFrameTest, FrameServicesAnswerForTheOpenBoardWithinTheTables)
{
    Start();
    const fs::path board = MakeBoard(root / "b", "a.vbd");
    CVELTADoc* doc = app->OpenDocumentFile(Cp(board));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(frame->GetCurrentDoc(), doc);
    EXPECT_DOUBLE_EQ(frame->GetTurret(-1).size1, 0.01);
    EXPECT_EQ(frame->GetTurret(121).size1, 0.0);
    EXPECT_EQ(frame->GetTurret(1).size1, doc->GetTurretEntry(1).size1);
    EXPECT_EQ(frame->GetVia(70).drill, 0.0);
    EXPECT_EQ(frame->GetTextSize(99).height, 0.0);
    EXPECT_EQ(frame->GetTextSize(-3).height, doc->GetTextSize(0).height);
    EXPECT_EQ(frame->GetCoordScale(), doc->GetCoordScale());
    std::array<std::uint32_t, LAYER_MAX> flags{};
    flags[0] = 1;
    frame->GetLayerFlags(flags, 32910);
    EXPECT_EQ(flags[0], 1u); // the tracks of layer 0
    EXPECT_EQ(flags[1], 0u);
    // The board's size shows in the status bar; the combos are filled and enabled.
    frame->UpdateStatusPanes();
    const CDSize size = doc->GetBoardSize();
    EXPECT_EQ(frame->StatusPaneText(2).toStdString(), FormatSheetSizeText(size.cx, size.cy, false));
    EXPECT_TRUE(frame->LayerCombo()->isEnabled());
    EXPECT_GT(frame->LayerCombo()->count(), 0);
}

TEST_F(MainFrameTest, ChoosingTwoProjectsOpensTheFirstOnly)
{
    Start();
    const fs::path a = MakeBoard(root / "p", "a.vbd");
    const fs::path b = MakeBoard(root / "p", "b.vbd");
    WriteText(root / "p" / "one.vpj",
              "Project File Ver 0.01\n[Work  0]\n{\n[1] a.vbd\n[3] velta.bpf\n}\nEndProjectList\n");
    WriteText(root / "p" / "two.vpj",
              "Project File Ver 0.01\n[Work  0]\n{\n[1] b.vbd\n[3] velta.bpf\n}\nEndProjectList\n");
    app->OpenChosenFiles({QString::fromStdString((root / "p" / "one.vpj").string()),
                          QString::fromStdString((root / "p" / "two.vpj").string())});
    ASSERT_EQ(BoardCount(), 1);
    EXPECT_EQ(frame->ActiveDocument()->GetDocPathName(), Cp(a));
    EXPECT_EQ(app->GetProjectPath(), Cp(root / "p" / "one.vpj"));
    // The project went to its recent list; its board did not go to the board list.
    EXPECT_EQ(profile.GetString("Project File List", "File1"), Cp(root / "p" / "one.vpj"));
    EXPECT_EQ(profile.GetString("Recent File List", "File1"), "");
    EXPECT_TRUE(app->IsProjectDocument(Cp(a)));
    ProjectWork work;
    EXPECT_TRUE(app->FindProjectWork(work, "A.VBD"));
    EXPECT_FALSE(app->FindProjectWork(work, "b.vbd"));

    // Closing the board takes it off the project's list of open boards.
    frame->ActiveChild()->close();
    QApplication::processEvents();
    EXPECT_EQ(BoardCount(), 0);
    EXPECT_FALSE(app->IsProjectDocument(Cp(a)));
    (void)b;
}

TEST_F(MainFrameTest, AProjectWhoseBoardsFailLeavesTheRecentListAlone)
{
    Start();
    profile.SetString("Project File List", "File1", "/old/x.vpj");
    WriteText(root / "p" / "bad.vpj", "[Work 0]\n{\n[1] missing.vbd\n}\n");
    app->SetProjectPath(Cp(root / "p" / "bad.vpj"));
    app->OpenCurrentProject();
    EXPECT_EQ(BoardCount(), 0);
    EXPECT_EQ(profile.GetString("Project File List", "File1"), "/old/x.vpj");
    EXPECT_EQ(profile.GetString("Project File List", "File2"), "");
}

TEST_F(MainFrameTest, ABoardOpenedByItselfEntersTheRecentList)
{
    Start();
    const fs::path board = MakeBoard(root / "b", "a.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(board)));
    EXPECT_EQ(profile.GetString("Recent File List", "File1"), Cp(board));
    // Opening it again activates the open window.
    ASSERT_TRUE(app->OpenDocumentFile(Cp(board)));
    EXPECT_EQ(BoardCount(), 1);
    EXPECT_EQ(frame->windowTitle(), "VELTA - " + frame->ActiveChild()->windowTitle());
}

TEST_F(MainFrameTest, StartingWithAProjectOpensItsBoardsAndNoEmptyBoard)
{
    const fs::path a = MakeBoard(root / "p", "a.vbd");
    WriteText(root / "p" / "one.vpj", "[Work 0]\n{\n[1] a.vbd\n[3] velta.bpf\n}\n");
    Start({QString::fromStdString((root / "p" / "one.vpj").string())});
    ASSERT_EQ(BoardCount(), 1);
    EXPECT_EQ(frame->ActiveDocument()->GetDocPathName(), Cp(a));
}

TEST_F(MainFrameTest, AutoLoadOpensTheLastProject)
{
    MakeBoard(root / "p", "a.vbd");
    WriteText(root / "p" / "one.vpj", "[Work 0]\n{\n[1] a.vbd\n[3] velta.bpf\n}\n");
    profile.SetString("Project File List", "File1", Cp(root / "p" / "one.vpj"));
    profile.SetInt("Sheet", "AutoLoad", 1);
    Start();
    EXPECT_EQ(BoardCount(), 1);
    EXPECT_EQ(app->GetProjectPath(), Cp(root / "p" / "one.vpj"));
}

TEST_F(MainFrameTest, AutoSaveTimerFollowsTheDocumentsMessages)
{
    Start();
    frame->OnAutoSaveMessage(0);
    EXPECT_TRUE(frame->IsAutoSaveTimerRunning());
    frame->OnAutoSaveMessage(1);
    EXPECT_FALSE(frame->IsAutoSaveTimerRunning());
    profile.SetInt("FileSave", "AutoSave", 1);
    EXPECT_TRUE(frame->ReadAutoSaveFlag());
    EXPECT_TRUE(frame->TakeAutoSaveFlag());
    EXPECT_FALSE(frame->TakeAutoSaveFlag());
}

TEST_F(MainFrameTest, MenusFollowTheBoardWindows)
{
    Start();
    const auto titles = [this] {
        QStringList list;
        for (QAction* a : frame->menuBar()->actions())
            list << a->text();
        return list;
    };
    EXPECT_EQ(titles().size(), 4);
    const fs::path board = MakeBoard(root / "b", "a.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(board)));
    EXPECT_EQ(titles().size(), 8);
    EXPECT_TRUE(frame->UpdateCommand(ID_FILE_SAVE, nullptr));
    EXPECT_TRUE(frame->UpdateCommand(32832, nullptr)); // CAM input, enabled with a board open
    frame->OnCommand(ID_CLOSE_ALL);
    QApplication::processEvents();
    EXPECT_EQ(BoardCount(), 0);
    EXPECT_EQ(titles().size(), 4);
    EXPECT_FALSE(frame->UpdateCommand(ID_FILE_SAVE, nullptr));
}

// Pictures of the program for a person to look at: written when VELTA_SCREENSHOT_DIR names a
// folder (run under Xvfb with QT_QPA_PLATFORM=xcb for the real window system).
TEST_F(MainFrameTest, Screenshots)
{
    QTemporaryDir temporary;
    QString folder = qEnvironmentVariable("VELTA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        folder = temporary.path();
    profile.SetString("Project File List", "File1", "/home/user/boards/A&B.vpj");
    profile.SetString("Tool", "ExtProg3", "/usr/bin/grep");
    Start();
    frame->resize(1100, 760);
    const fs::path board = MakeBoard(root / "boards", "sample.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(board)));
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(folder + "/velta-window.png"));
    frame->ActiveChild()->showMaximized();
    QApplication::processEvents();
    for (bool flat : {false, true}) {
        profile.SetInt("Sheet", "MenuStyle", flat ? 1 : 0);
        frame->ReloadMenuLook();
        QApplication::processEvents();
        QImage shot = frame->grab().toImage();
        // Open a menu (edit, then tools) and paint it where it drops.
        QAction* edit = frame->menuBar()->actions().at(flat ? 5 : 1);
        QMenu* menu = edit->menu();
        const QPoint at = frame->menuBar()->actionGeometry(edit).bottomLeft();
        menu->popup(frame->menuBar()->mapToGlobal(at));
        QApplication::processEvents();
        QPainter p(&shot);
        p.drawPixmap(frame->mapFromGlobal(menu->mapToGlobal(QPoint(0, 0))), menu->grab());
        p.end();
        menu->hide();
        EXPECT_TRUE(shot.save(folder + (flat ? "/velta-flat.png" : "/velta-classic.png")));
    }
}

} // namespace

namespace {

using namespace apptest;

class ShellWindowsTest : public AppFixture
{
};

TEST_F(ShellWindowsTest, BarLayoutIsKeptUnlessShiftIsHeld)
{
    Start();
    frame->ToolBar(131)->hide();
    frame->SavePlacement();
    frame->ToolBar(131)->show();
    frame->ShowAtStartup(true);
    EXPECT_TRUE(frame->ToolBar(131)->isVisible());
    frame->ShowAtStartup(false);
    EXPECT_FALSE(frame->ToolBar(131)->isVisible());
    // A damaged layout is ignored.
    frame->ToolBar(131)->show();
    profile.SetBinary("ToolBar", "State", {1, 2, 3, 4, 5});
    frame->ShowAtStartup(false);
    EXPECT_TRUE(frame->ToolBar(131)->isVisible());
    // The bar command toggles the bar and its check follows.
    QAction* toggle = frame->Action(32789);
    frame->OnCommand(32789);
    frame->UpdateCommand(32789, toggle);
    EXPECT_FALSE(frame->ToolBar(131)->isVisible());
    EXPECT_FALSE(toggle->isChecked());
}

TEST_F(ShellWindowsTest, DroppedFilesOpenInOrder)
{
    Start();
    const fs::path a = MakeBoard(root / "p", "a.vbd");
    const fs::path b = MakeBoard(root / "q", "b.vbd");
    WriteText(root / "p" / "one.vpj", "[Work 0]\n{\n[1] a.vbd\n[3] velta.bpf\n}\n");
    const QString project = QString::fromStdString((root / "p" / "one.vpj").string());
    const QString board = QString::fromStdString(b.string());
    // A board before the project is closed again when the project opens its boards.
    frame->OpenDroppedFiles({board, project});
    ASSERT_EQ(BoardCount(), 1);
    EXPECT_EQ(frame->ActiveDocument()->GetDocPathName(), Cp(a));
    frame->CloseAllBoards();
    QApplication::processEvents();
    frame->OpenDroppedFiles({project, board});
    EXPECT_EQ(BoardCount(), 2);
}

TEST_F(ShellWindowsTest, ChildFrameTitlesAndTheLastClose)
{
    Start();
    const fs::path a = MakeBoard(root / "p", "a.vbd");
    CVELTADoc* doc = app->OpenDocumentFile(Cp(a));
    ASSERT_NE(doc, nullptr);
    CChildFrame* child = frame->ActiveChild();
    EXPECT_EQ(child->windowTitle().toStdString(), Cp(a)); // "Sheet"/"FullPath" shows the path
    child->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(doc->GetDocTitle(), "a.vbd");
    child->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(doc->GetDocTitle(), Cp(a));

    // Closing the last board re-reads the auto-save flag; the frame forgets the board.
    profile.SetInt("FileSave", "AutoSave", 1);
    frame->TakeAutoSaveFlag();
    child->close();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(BoardCount(), 0);
    EXPECT_EQ(frame->GetCurrentDoc(), nullptr);
    EXPECT_TRUE(frame->TakeAutoSaveFlag());
}

TEST_F(ShellWindowsTest, CaptionShowsTheProjectWhileTheMouseRestsOnTheMenuBar)
{
    Start();
    app->SetProjectPath("/w/proj.vpj");
    frame->UpdateCaption(true);
    EXPECT_EQ(frame->windowTitle(), "/w/proj.vpj");
    profile.SetInt("Sheet", "FullPath", 0);
    frame->UpdateCaption(true);
    EXPECT_EQ(frame->windowTitle(), "proj");
    frame->UpdateCaption(false);
    EXPECT_EQ(frame->windowTitle(), "VELTA");
}

} // namespace
