// The option pages inside the real environment settings sheet, shown without a modal loop, with
// the in-memory profile and a board whose settings file the test writes.

#include "app/EnvironmentSheet.h"
#include "controls/GfxListCtrl.h"
#include "dialogs/DlgFileHistory.h"
#include "dialogs/OptCopyInc.h"
#include "dialogs/OptFileSave.h"
#include "dialogs/OptLayer.h"
#include "dialogs/OptLibrary.h"
#include "dialogs/OptLine.h"
#include "dialogs/OptSheet.h"
#include "dialogs/OptTool.h"
#include "libui/CheckListBox.h"
#include "libui/DlgLayerSel.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

namespace {

namespace fs = std::filesystem;

// A board settings file: the master copy with the wiring, contour and cross-layer sections
// replaced.
std::string SettingsWith(const std::string& master, const std::string& wireVia, int count,
                         const std::string& cross)
{
    auto replace = [](std::string text, const std::string& label, const std::string& body) {
        const std::size_t start = text.find("[" + label + "]");
        const std::size_t open = text.find('{', start);
        const std::size_t close = text.find('}', open);
        return text.substr(0, open + 1) + "\r\n" + body + text.substr(close);
    };
    std::string text = replace(master, "WIRE_VIA_LAYER", wireVia);
    text = replace(text, "WIRE_LAY_COUNT", std::to_string(count) + " ;\r\n");
    return replace(text, "CROSS_LAYER", cross);
}

class OptPagesTest : public DialogFixture
{
protected:
    void TearDown() override
    {
        sheet.reset();
        DialogFixture::TearDown();
    }
    // The sheet with one page, shown; the page.
    template <typename Page> Page* Show(int id, CVELTADoc* board = nullptr, RecentListHooks hooks = {})
    {
        sheet = std::make_unique<CEnvironmentSheet>(std::vector<int>{id}, nullptr, board, hooks);
        sheet->show();
        return qobject_cast<Page*>(sheet->Page(0));
    }
    void LoadBoard(const std::string& wireVia, int count, const std::string& cross = "")
    {
        const std::string master = ReadFile(fs::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf");
        const fs::path file = Work() / "board.bpf";
        WriteFile(file, SettingsWith(master, wireVia, count, cross));
        doc->GetSettingFile().SetPath(file.string());
        doc->LoadSettings();
    }

    std::unique_ptr<CEnvironmentSheet> sheet;
};

// ---------------------------------------------------------------------------------------------
// 層属性

const char* const kFourLayers = "1 :   1 :   :  10 :  12 :   8 ;\r\n"
                                "2 :   2 : N :     :  12 :     ;\r\n"
                                "3 :   3 :   :     :  12 :     ;\r\n"
                                "4 :   4 :   :  11,  13 :  12 :   9 ;\r\n";

TEST_F(OptPagesTest, TheLinesOfAFourLayerBoardByteForByte)
{
    LoadBoard(kFourLayers, 4, "  1 :   2 : \"top/bottom\" ;\r\n");
    auto* page = Show<COptLayer>(COptLayer::IDD, doc.get());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Combo(page, COptLayer::IdPosition)->count(), 4);
    EXPECT_EQ(Combo(page, COptLayer::IdPosition)->itemText(0), QString::fromUtf8(" 1:部品面"));
    EXPECT_EQ(Combo(page, COptLayer::IdPosition)->itemText(1), QString::fromUtf8(" 2:内層"));
    EXPECT_EQ(Combo(page, COptLayer::IdPosition)->itemText(3), QString::fromUtf8(" 4:半田面"));
    EXPECT_EQ(Combo(page, COptLayer::IdInner)->count(), 2);
    EXPECT_EQ(Text(page, COptLayer::IdSolderWireList), " 11, 13");
    const std::vector<std::string> expected = {
        "1:  1 : P : 10 : 12 :  8 ;" + _J("        # 先頭が部品面"),
        "2:  2 : N :        : 12 :    ;",
        "3:  3 : P :        : 12 :    ;",
        "4:  4 : P : 11, 13 : 12 :  9 ;" + _J("        # 最後が半田面"),
    };
    EXPECT_EQ(page->WireViaLines(), expected);
    // Applied to the board, the lines read back into the same structure.
    page->OnSetActive();
    sheet->ApplyLayerPage();
    EXPECT_EQ(doc->GetWireLayerCount(), 4);
    EXPECT_EQ(doc->GetWireLayerList(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(doc->GetLayerListText(4, 32), " 11, 13");
    EXPECT_EQ(doc->GetLayerListText(0, 64), " 12");
    ASSERT_EQ(doc->GetCrossLayers().size(), 1u);
    EXPECT_EQ(doc->GetCrossLayers()[0].layer1, 0); // a pair starting at layer 1 survives
}

TEST_F(OptPagesTest, OneWiringLayerCarriesTheComponentSideLists)
{
    LoadBoard("1 :   3 :   :  10 :     :   8 ;\r\n", 1);
    auto* page = Show<COptLayer>(COptLayer::IDD, doc.get());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->WireViaLines(),
              std::vector<std::string>{"1:  3 : P : 10 :   :  8 ;" + _J("        # 先頭が部品面")});
    // Empty lists become the blanks the section's readers expect.
    page->m_lists = {};
    EXPECT_EQ(page->FormatWireViaLine(1), "1:  3 : P :    :   :    ;" + _J("        # 先頭が部品面"));
}

TEST_F(OptPagesTest, PositionsAreEditedThroughTheComboAndRangeErrorsKeepThePosition)
{
    LoadBoard(kFourLayers, 4);
    auto* page = Show<COptLayer>(COptLayer::IDD, doc.get());
    // One step down the list, as the user does (the page may refuse it).
    auto down = [page] {
        Combo(page, COptLayer::IdPosition)->setFocus();
        QTest::keyClick(Combo(page, COptLayer::IdPosition), Qt::Key_Down);
    };
    down();
    EXPECT_EQ(Text(page, COptLayer::IdPositionLayer), "2");
    EXPECT_TRUE(FindControl<QRadioButton>(page, COptLayer::IdNegative)->isChecked());
    Click(page, COptLayer::IdPositive);
    Type(page, COptLayer::IdPositionLayer, "129");
    down();
    EXPECT_EQ(LastMessage(), platform::Cp932ToQString(platform::IntRangeText(1, 128)));
    EXPECT_EQ(Combo(page, COptLayer::IdPosition)->currentIndex(), 1);
    Type(page, COptLayer::IdPositionLayer, "20");
    down();
    EXPECT_EQ(page->m_positionLayer[1], 20);
    EXPECT_EQ(page->m_negative[1], 0);
    EXPECT_EQ(page->FormatWireViaLine(2), "2: 20 : P :        : 12 :    ;");
}

TEST_F(OptPagesTest, GridCellsTakeLayersOneTo128AndAnEmptyCellClearsTheRow)
{
    LoadBoard(kFourLayers, 4, "  5 :   6 : \"silk\" ;\r\n");
    auto* page = Show<COptLayer>(COptLayer::IDD, doc.get());
    ASSERT_NE(page, nullptr);
    auto* cross = FindControl<CGfxListCtrl>(page, COptLayer::IdCrossGrid);
    auto* parts = FindControl<CGfxListCtrl>(page, COptLayer::IdPartGrid);
    auto Edit = [](CGfxListCtrl* grid, int row, int column, const std::string& text) {
        grid->OnEndLabelEdit(row, column, &text);
    };
    auto cell = [](CGfxListCtrl* grid, int row, int column) {
        std::string text;
        grid->GetCellText(row, column, text);
        return text;
    };
    EXPECT_EQ(cell(cross, 0, 2), "  5");
    EXPECT_EQ(cell(cross, 0, 4), "silk");
    EXPECT_EQ(cell(parts, 6, 1), "NOVIA");
    EXPECT_EQ(cell(parts, 0, 2), "  3"); // HOLE of the master file
    for (CGfxListCtrl* grid : {cross, parts}) {
        for (const char* bad : {"0", "129", "x"}) {
            Edit(grid, 0, 2, bad);
            EXPECT_EQ(cell(grid, 0, 2), grid == cross ? "  5" : "  3") << bad;
        }
        Edit(grid, 0, 3, "7");
        EXPECT_EQ(cell(grid, 0, 3), "  7");
        Edit(grid, 0, 4, "  note ");
        EXPECT_EQ(cell(grid, 0, 4), "note");
        Edit(grid, 0, 2, "");
        EXPECT_EQ(cell(grid, 0, 2), "");
        EXPECT_EQ(cell(grid, 0, 3), "");
        EXPECT_EQ(cell(grid, 0, 4), "");
    }
    // The NOVIA row edits the NOVIA record, whatever the board's record order.
    Edit(parts, 6, 2, "40");
    EXPECT_EQ(page->m_partLayers[6].code, static_cast<std::int32_t>(1u << 30));
    EXPECT_EQ(page->m_partLayers[6].layerA, 39);
}

TEST_F(OptPagesTest, AKeepOutListIsChosenInTheLayerSelectionInTickingOrder)
{
    LoadBoard(kFourLayers, 4);
    // The layer selection lists the layers the frame names.
    FakeDocument names;
    FakeFrameServices frame{&names};
    profile.SetInt("Default", "LaySelMode", 0);
    auto* page = Show<COptLayer>(COptLayer::IDD, doc.get());
    bool ticked = false;
    OnDialog([&](QDialog* d) {
        auto* list = FindControl<CCheckListBox>(d, CDlgLayerSel::IdList);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(Text(d, CDlgLayerSel::IdText), " 10");
        for (int row = 0; row < list->count(); ++row) {
            if (list->GetRowData(row) == 4) {
                list->setFocus();
                list->setCurrentRow(row);
                QTest::keyClick(list->viewport(), Qt::Key_Space);
                ticked = true;
            }
        }
        Ok(d);
    });
    Click(page, COptLayer::IdCompWireButton);
    ASSERT_TRUE(ticked);
    EXPECT_EQ(Text(page, COptLayer::IdCompWireList), " 10,  5");
    EXPECT_EQ(page->FormatWireViaLine(1), "1:  1 : P : 10,  5 : 12 :  8 ;" + _J("        # 先頭が部品面"));
    // Inner lines keep the fields lined up with the longer list.
    EXPECT_EQ(page->FormatWireViaLine(2), "2:  2 : N :        : 12 :    ;");
}

TEST_F(OptPagesTest, WithoutABoardTheCountsCannotBeEdited)
{
    auto* page = Show<COptLayer>(COptLayer::IDD);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Enabled(page, COptLayer::IdWireCount));
    EXPECT_FALSE(Enabled(page, COptLayer::IdOutline));
    EXPECT_FALSE(Enabled(page, COptLayer::IdPosition));
    EXPECT_FALSE(Enabled(page, COptLayer::IdInnerButton));
    EXPECT_EQ(Text(page, COptLayer::IdWireCount), "1");
}

// ---------------------------------------------------------------------------------------------
// コピー＆編集

TEST_F(OptPagesTest, OrderRef2NeverStaysOnWhileOrderRefIsOff)
{
    profile.SetInt("CopyIncrement", "OrderRef", 0);
    profile.SetInt("CopyIncrement", "OrderRef2", 1);
    profile.SetInt("CopyIncrement", "PartRef", 25);
    auto* page = Show<COptCopyInc>(COptCopyInc::IDD);
    EXPECT_EQ(State(page, COptCopyInc::IdOrderRef2), Qt::Unchecked);
    EXPECT_FALSE(Enabled(page, COptCopyInc::IdOrderRef2));
    // A value beyond the up-down's range stays as stored.
    EXPECT_EQ(Text(page, COptCopyInc::IdPartRef), "25");
    Click(page, COptCopyInc::IdOrderRef);
    EXPECT_TRUE(Enabled(page, COptCopyInc::IdOrderRef2));
    Click(page, COptCopyInc::IdOrderRef2);
    Click(page, COptCopyInc::IdOrderRef);
    EXPECT_EQ(State(page, COptCopyInc::IdOrderRef2), Qt::Unchecked);
    Click(page, COptCopyInc::IdTextEnable);
    EXPECT_TRUE(Enabled(page, COptCopyInc::IdText));
    Type(page, COptCopyInc::IdText, "-3");
    Ok(sheet.get());
    EXPECT_EQ(profile.GetInt("CopyIncrement", "OrderRef2", -1), 0);
    EXPECT_EQ(profile.GetInt("CopyIncrement", "PartRef", -1), 25);
    EXPECT_EQ(profile.GetInt("CopyIncrement", "Text", 0), -3);
    EXPECT_EQ(profile.GetInt("CopyIncrement", "TextEnable", 0), 1);
}

// ---------------------------------------------------------------------------------------------
// 線入力

TEST_F(OptPagesTest, LineModesFollowTheirAutoSwitches)
{
    profile.SetInt("Line", "ArcLockMode", 2);
    auto* page = Show<COptLine>(COptLine::IDD);
    EXPECT_FALSE(Enabled(page, 1230));
    EXPECT_TRUE(FindControl<QRadioButton>(page, 1235)->isChecked());
    Click(page, COptLine::IdLineAuto);
    EXPECT_TRUE(Enabled(page, 1232));
    EXPECT_FALSE(Enabled(page, 1242));
    Click(page, 1232);
    Ok(sheet.get());
    EXPECT_EQ(profile.GetInt("Line", "LineAutoLock", 0), 1);
    EXPECT_EQ(profile.GetInt("Line", "LineLockMode", 0), 2);
    EXPECT_EQ(profile.GetInt("Line", "SurLockMode", 0), 1);
}

// ---------------------------------------------------------------------------------------------
// ツール

TEST_F(OptPagesTest, PartPlaceIsOneValueBehindTwoBoxes)
{
    auto* page = Show<COptTool>(COptTool::IDD);
    EXPECT_EQ(State(page, COptTool::IdPartPlace), Qt::Checked);
    EXPECT_EQ(State(page, COptTool::IdPartCheck), Qt::Unchecked);
    Click(page, COptTool::IdPartCheck);
    EXPECT_EQ(State(page, COptTool::IdPartPlace), Qt::Unchecked);
    EXPECT_EQ(page->m_nPartPlace, 2);
    Click(page, COptTool::IdPartCheck);
    EXPECT_EQ(page->m_nPartPlace, 0);
    Click(page, COptTool::IdPartPlace);
    EXPECT_EQ(page->m_nPartPlace, 1);
}

TEST_F(OptPagesTest, EditorCommands)
{
    struct Case
    {
        const char* typed;
        const char* stored;
    } cases[] = {{"editor %f", "editor \"%f\""},
                 {"  ed -a %f -b %f ", "ed -a \"%f\" -b \"%f\""},
                 {"editor \"%f\"", "editor \"%f\""},
                 {"%f editor", "%f editor"},
                 {"Notepad.exe", ""},
                 {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(COptTool::EditorCommand(c.typed), c.stored) << c.typed;
    profile.SetString("Tool", "Editor", "NOTEPAD.EXE");
    profile.SetString("Tool", "ExtProg3", "gerbv %f");
    auto* page = Show<COptTool>(COptTool::IDD);
    EXPECT_EQ(Text(page, COptTool::IdEditor), "");
    EXPECT_EQ(Text(page, COptTool::IdFirstExtProg + 2), "gerbv %f");
    Type(page, COptTool::IdFirstExtProg + 11, " tool ");
    Ok(sheet.get());
    EXPECT_EQ(profile.GetString("Tool", "Editor", "x"), "");
    EXPECT_EQ(profile.GetString("Tool", "ExtProg12"), "tool");
    EXPECT_EQ(COptTool::GetExtProg(11), "tool");
    EXPECT_EQ(COptTool::GetExtProg(2), "gerbv %f");
}

// ---------------------------------------------------------------------------------------------
// 保存

TEST_F(OptPagesTest, DeletionRemovesExactlyTheAutoSaveFilesOfTheFolderAndItsSubFolders)
{
    const fs::path folder = Work() / "auto";
    for (const char* name : {"a.bak", "b.vbd", "C.BAK", "keep.txt", "keep.vbdx", "sub/d.bak", "sub/e.VBD",
                             "sub/f.txt", "empty/g.vbd", "sub/deeper/h.bak"}) {
        fs::create_directories((folder / name).parent_path());
        WriteFile(folder / name, "x");
    }
    std::vector<std::string> found;
    for (const fs::path& file : COptFileSave::AutoSaveFiles(folder))
        found.push_back(fs::relative(file, folder).string());
    EXPECT_EQ(found, (std::vector<std::string>{"C.BAK", "a.bak", "b.vbd", "empty/g.vbd", "sub/d.bak", "sub/e.VBD"}));

    profile.SetInt("FileSave", "AutoSave", 1);
    profile.SetInt("FileSave", "FileUpdate", 1);
    profile.SetString("FileSave", "SaveFolder", folder.string() + "/");
    auto* page = Show<COptFileSave>(COptFileSave::IDD);
    EXPECT_EQ(Text(page, COptFileSave::IdSaveFolder), Q(folder));
    ASSERT_TRUE(Enabled(page, COptFileSave::IdDeleteFiles));
    messages.QueueAnswer(IDYES);
    Click(page, COptFileSave::IdDeleteFiles);
    ASSERT_GE(messages.Count(), 1u);
    EXPECT_NE(messages.Entries()[0].text.find(folder.string()), std::string::npos);
    EXPECT_NE(messages.Entries()[0].text.find("\n6 "), std::string::npos);
    EXPECT_EQ(messages.Count(), 1u);
    for (const char* gone : {"a.bak", "b.vbd", "C.BAK", "sub/d.bak", "sub/e.VBD", "empty/g.vbd", "empty"})
        EXPECT_FALSE(fs::exists(folder / gone)) << gone;
    for (const char* kept : {"keep.txt", "keep.vbdx", "sub/f.txt", "sub/deeper/h.bak"})
        EXPECT_TRUE(fs::exists(folder / kept)) << kept;
}

TEST_F(OptPagesTest, SaveFolderEnablingAndTheAbsolutePathCheck)
{
    auto* page = Show<COptFileSave>(COptFileSave::IDD);
    EXPECT_FALSE(Enabled(page, COptFileSave::IdUndoCount));
    Click(page, COptFileSave::IdAutoSave);
    EXPECT_TRUE(Enabled(page, COptFileSave::IdUndoCount));
    EXPECT_FALSE(Enabled(page, COptFileSave::IdSaveFolder));
    Click(page, COptFileSave::IdSaveToFolder);
    EXPECT_TRUE(Enabled(page, COptFileSave::IdSaveFolder));
    EXPECT_FALSE(Enabled(page, COptFileSave::IdDeleteFiles));
    Type(page, COptFileSave::IdSaveFolder, "relative/folder");
    Ok(sheet.get());
    EXPECT_EQ(LastMessage(), QString::fromUtf8("フォルダを絶対パスで指定して下さい。"));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(profile.HasKey("FileSave", "AutoSave"));
    Type(page, COptFileSave::IdSaveFolder, Q(Work()) + "/");
    Type(page, COptFileSave::IdUndoCount, "9");
    Ok(sheet.get());
    EXPECT_EQ(LastMessage(), platform::Cp932ToQString(platform::IntRangeText(10, 32767)));
    Type(page, COptFileSave::IdUndoCount, "250");
    Ok(sheet.get());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(profile.GetString("FileSave", "SaveFolder"), Work().string());
    EXPECT_EQ(profile.GetInt("FileSave", "UndoCount", 0), 250);
    EXPECT_EQ(profile.GetInt("FileSave", "FileUpdate", 0), 1);
}

// ---------------------------------------------------------------------------------------------
// 部品ファイル

TEST_F(OptPagesTest, LibraryEntriesAddedMovedAndCreatedOnOk)
{
    const fs::path existing = Work() / "parts.vlb";
    WriteFile(existing, "");
    profile.SetString("Library File List", "File1", existing.string());
    auto* page = Show<COptLibrary>(COptLibrary::IDD);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Entries(), QStringList{Q(existing)});
    const QString added = Q(Work() / "new");
    page->AddChosenFiles({added, Q(Work() / "old.bkb"), Q(existing).toUpper()});
    EXPECT_EQ(page->Entries(), (QStringList{Q(existing), added + ".vlb"}));
    EXPECT_EQ(LastMessage(), Q(Work() / "old.bkb") + QString::fromUtf8(" はバックアップファイルです"));
    page->AddDroppedFiles({Q(Work() / "x.txt"), Q(Work() / "drop.VLB"), added + ".vlb"});
    EXPECT_EQ(page->Entries().size(), 3);
    EXPECT_FALSE(Enabled(page, COptLibrary::IdDown));
    Click(page, COptLibrary::IdTop);
    EXPECT_EQ(page->Entries().front(), Q(Work() / "drop.VLB"));
    EXPECT_FALSE(Enabled(page, COptLibrary::IdUp));
    Click(page, COptLibrary::IdRemove);
    EXPECT_EQ(page->Entries(), (QStringList{Q(existing), added + ".vlb"}));
    Ok(sheet.get());
    EXPECT_TRUE(fs::exists(Work() / "new.vlb"));
    EXPECT_EQ(profile.GetString("Library File List", "File2"), (Work() / "new.vlb").string());
}

TEST_F(OptPagesTest, AnEmptyLibraryListIsStoredWithAWarning)
{
    profile.SetString("Library File List", "File1", (Work() / "gone" / "x.vlb").string());
    auto* page = Show<COptLibrary>(COptLibrary::IDD);
    Click(page, COptLibrary::IdRemove); // nothing chosen: the button is off
    FindControl<QListWidget>(page, COptLibrary::IdList)->setCurrentRow(0);
    Click(page, COptLibrary::IdRemove);
    Ok(sheet.get());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(LastMessage(), QString::fromUtf8("部品ファイルを登録していないと部品入力はできません"));
    EXPECT_FALSE(profile.HasKey("Library File List", "File1"));
}

TEST_F(OptPagesTest, AMissingLibraryThatCannotBeCreatedIsReported)
{
    const fs::path missing = Work() / "nofolder" / "x.vlb";
    profile.SetString("Library File List", "File1", missing.string());
    Show<COptLibrary>(COptLibrary::IDD);
    Ok(sheet.get());
    EXPECT_EQ(LastMessage(), QString::fromUtf8("ファイル %1 を作成できません").arg(Q(missing)));
    EXPECT_EQ(profile.GetString("Library File List", "File1"), missing.string());
}

// ---------------------------------------------------------------------------------------------
// 全般

TEST_F(OptPagesTest, GeneralPageWritesItsKeysAndResizesTheRecentLists)
{
    profile.SetString("Sheet", "WorkFolder", "/tmp/work/  ");
    profile.SetInt("Sheet", "FMRU", 40);
    profile.SetInt("Sheet", "GridSize", 3);
    std::pair<int, int> sizes{0, 0};
    RecentListHooks hooks;
    hooks.resize = [&](int files, int projects) { sizes = {files, projects}; };
    auto* page = Show<COptSheet>(COptSheet::IDD, nullptr, hooks);
    EXPECT_EQ(Text(page, COptSheet::IdWorkFolder), "/tmp/work");
    EXPECT_EQ(Text(page, COptSheet::IdZoomEdit), "20");
    FindControl<QSlider>(page, COptSheet::IdZoomSlider)->setValue(35);
    EXPECT_EQ(Text(page, COptSheet::IdZoomEdit), "35");
    Click(page, 1164);
    Ok(sheet.get());
    EXPECT_EQ(sizes, std::make_pair(16, 16));
    EXPECT_EQ(profile.GetInt("Sheet", "ZoomAspect", 0), 35);
    EXPECT_EQ(profile.GetInt("Sheet", "Cursor", 0), 2);
    EXPECT_EQ(profile.GetInt("Sheet", "GridSize", 0), 3);
    EXPECT_EQ(profile.GetString("Sheet", "WorkFolder"), "/tmp/work");
}

TEST_F(OptPagesTest, ChangingTheWorkFolderBrowsesFromTheCurrentOne)
{
    fs::create_directories(Work() / "base" / "next");
    profile.SetString("Sheet", "WorkFolder", (Work() / "base").string() + "/");
    auto* page = Show<COptSheet>(COptSheet::IDD);
    QString title;
    QString start;
    OnDialog([&](QDialog* d) {
        auto* browser = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(browser, nullptr);
        title = browser->windowTitle();
        start = browser->directory().absolutePath();
        browser->selectFile(Q(Work() / "base" / "next"));
        static_cast<QDialog*>(browser)->accept();
    });
    Click(page, COptSheet::IdChangeFolder);
    EXPECT_EQ(title, QString::fromUtf8("プロジェクト作成時の基準フォルダの選択してください。"));
    EXPECT_EQ(start, Q(Work() / "base"));
    EXPECT_EQ(Text(page, COptSheet::IdWorkFolder), Q(Work() / "base" / "next"));
    Ok(sheet.get());
    EXPECT_EQ(profile.GetString("Sheet", "WorkFolder"), (Work() / "base" / "next").string());
}

TEST_F(OptPagesTest, FileHistoryButtonRunsTheHistoryDialog)
{
    int writes = 0;
    RecentListHooks hooks;
    hooks.writeLists = [&] { ++writes; };
    auto* page = Show<COptSheet>(COptSheet::IDD, nullptr, hooks);
    OnDialog([](QDialog* d) {
        Type(d, CDlgFileHistory::IdFileCount, "5");
        Type(d, CDlgFileHistory::IdProjectCount, "7");
        Ok(d);
    });
    Click(page, COptSheet::IdFileHistory);
    EXPECT_TRUE(opened);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(page->m_nFileMRU, 5);
    EXPECT_EQ(page->m_nProjectMRU, 7);
}

TEST_F(OptPagesTest, ScreenshotsOfEveryPage)
{
    LoadBoard(kFourLayers, 4, "  1 :   2 : \"top/bottom\" ;\r\n");
    const std::vector<int> ids = {154, 166, 167, 171, 178, 153, 156};
    sheet = std::make_unique<CEnvironmentSheet>(ids, nullptr, doc.get());
    sheet->show();
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) {
        sheet->Tabs()->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_EQ(sheet->CurrentPageId(), ids[static_cast<std::size_t>(i)]);
        EXPECT_EQ(profile.GetInt("Settings", "EnvPage", 0), ids[static_cast<std::size_t>(i)]);
        Shot(sheet.get(), ("OptPage" + std::to_string(ids[static_cast<std::size_t>(i)])).c_str());
    }
    EXPECT_EQ(messages.Count(), 0u);
}

} // namespace
