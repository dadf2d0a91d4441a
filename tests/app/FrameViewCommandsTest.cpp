// The board window as the frame drives it: the view drawn in its window, the zoom and display-range
// commands and the frame's zoom step reaching it, the status panes it writes, its item tips, and
// the find commands running through the boards.

#include "app/BoardInput.h"
#include "app/ChildFrame.h"
#include "app/CommandTable.h"
#include "app/VELTAView.h"
#include "dialogs/DlgBpfSel.h"
#include "dialogs/DlgFind.h"
#include "dialogs/DlgMakePart.h"
#include "libui/DialogBuilder.h"
#include "model/items/Part.h"
#include "model/items/Text.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace apptest;

class FrameViewCommandsTest : public AppCommandFixture
{
protected:

    // Opens a board in a shown frame; its view.
    CVELTAView* OpenBoard(const std::string& name)
    {
        const fs::path board = MakeBoard(root / "boards", name);
        if (!app->OpenDocumentFile(Cp(board)))
            return nullptr;
        QApplication::processEvents();
        return frame->ActiveChild() ? frame->ActiveChild()->GetView() : nullptr;
    }
    void StartShown()
    {
        Start();
        frame->resize(900, 700);
        frame->show();
        QApplication::processEvents();
    }

};

// Pixels of the view that are not the black background.
int DrawnPixels(CVELTAView* view)
{
    const QImage image = view->viewport()->grab().toImage();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return drawn;
}

TEST_F(FrameViewCommandsTest, TheBoardIsDrawnAndTheZoomCommandsUseTheFramesStep)
{
    profile.SetInt("Sheet", "ZoomAspect", 50);
    StartShown();
    CVELTAView* view = OpenBoard("zoom.vbd");
    ASSERT_NE(view, nullptr);
    CVELTADoc* doc = view->GetDocument();
    const double whole = view->State().Scale();
    ASSERT_GT(whole, 0.0);
    // The whole board fits the window at first: its tracks are drawn.
    EXPECT_GT(DrawnPixels(view), 100);
    EXPECT_FALSE(doc->GetViewRect().IsRectEmpty());

    for (int id : {32771, 32772, 32773, 32774, 32775, 32776, 32849, 32852})
        EXPECT_TRUE(Enabled(id)) << id;
    frame->OnCommand(32771);
    EXPECT_NEAR(view->State().Scale(), whole * 1.5, whole * 1e-6);
    // The stored view follows the zoom.
    EXPECT_LT(doc->GetViewRect().Width(), 100.0);
    frame->OnCommand(32772);
    EXPECT_NEAR(view->State().Scale(), whole, whole * 1e-6);

    // Display 1 stored, the view zoomed in, display 1 shows the stored range again.
    frame->OnCommand(32853);
    frame->OnCommand(32771);
    frame->OnCommand(32771);
    ASSERT_GT(view->State().Scale(), whole * 2);
    frame->OnCommand(32849);
    EXPECT_NEAR(view->State().Scale(), whole, whole * 0.01);
    // Cleared ranges leave display 1 at the zoom it has.
    frame->OnCommand(32851);
    frame->OnCommand(32771);
    const double zoomed = view->State().Scale();
    frame->OnCommand(32849);
    EXPECT_NEAR(view->State().Scale(), zoomed, zoomed * 0.01);

    // The range command is checked while it waits for its drag.
    frame->OnCommand(32776);
    bool checked = false;
    bool enabled = false;
    ASSERT_TRUE(view->OnUpdateViewCommand(32776, enabled, checked));
    EXPECT_TRUE(checked);
}

TEST_F(FrameViewCommandsTest, TheViewWritesTheFramesStatusPanesAndGivesItemTips)
{
    StartShown();
    CVELTAView* view = OpenBoard("status.vbd");
    ASSERT_NE(view, nullptr);
    frame->SetStatusPaneText(1, QString());
    QTest::mouseMove(view->viewport(), view->viewport()->rect().center());
    QApplication::processEvents();
    EXPECT_FALSE(frame->StatusPaneText(1).isEmpty());
    // The first track runs from (10, 10) to (60, 10).
    EXPECT_FALSE(view->TipTextAt(CDPoint(30, 10)).isEmpty());
    EXPECT_TRUE(view->TipTextAt(CDPoint(95, 75)).isEmpty());
}

TEST_F(FrameViewCommandsTest, FindRunsTheDialogAndSaysAMissAfterAllBoards)
{
    StartShown();
    ASSERT_NE(OpenBoard("one.vbd"), nullptr);
    ASSERT_NE(OpenBoard("two.vbd"), nullptr);
    QMdiSubWindow* active = frame->MdiArea()->activeSubWindow();
    EXPECT_TRUE(Enabled(ID_FIND));
    EXPECT_FALSE(Enabled(ID_FIND_NEXT));

    OnDialog([](QDialog* d) {
        QLineEdit* edit = FindControl<QComboBox>(d, CDlgFind::IdText)->lineEdit();
        edit->setFocus();
        QTest::keyClicks(edit, "R99");
        QTest::mouseClick(FindControl<QAbstractButton>(d, CDialogBuilder::IdOk), Qt::LeftButton);
    });
    frame->OnCommand(ID_FIND);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(platform::Cp932ToQString(messages.Last().text), QString::fromUtf8("R99 は見つかりません"));
    // The search went through the other board and came back to the first.
    EXPECT_EQ(frame->MdiArea()->activeSubWindow(), active);

    // Find next uses the stored text without the dialog.
    EXPECT_TRUE(Enabled(ID_FIND_NEXT));
    frame->OnCommand(ID_FIND_NEXT);
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(platform::Cp932ToQString(messages.Last().text), QString::fromUtf8("R99 は見つかりません"));
}

TEST_F(FrameViewCommandsTest, NewIsEnabledWithoutABoardAndCancelOpensNothing)
{
    StartShown();
    const int before = BoardCount();
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
    OnDialog([](QDialog* d) { d->reject(); });
    frame->OnCommand(ID_FILE_NEW);
    EXPECT_TRUE(opened);
    EXPECT_EQ(BoardCount(), before);
}

TEST_F(FrameViewCommandsTest, OpeningABoardBesideTwoSettingFilesAsksWhichOne)
{
    StartShown();
    const fs::path board = MakeBoard(root / "two", "choose.vbd");
    fs::copy_file(root / "two" / "velta.bpf", root / "two" / "other.bpf");
    bool asked = false;
    OnDialog([&asked](QDialog* d) {
        asked = true;
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_EQ(app->OpenDocumentFile(Cp(board)), nullptr);
    EXPECT_TRUE(asked);
    EXPECT_EQ(BoardCount(), 0);

    OnDialog([](QDialog* d) {
        auto* list = FindControl<QComboBox>(d, CDlgBpfSel::IdList);
        list->setFocus();
        while (list->currentText() != "other.bpf" && list->currentIndex() + 1 < list->count())
            QTest::keyClick(list, Qt::Key_Down);
        QTest::mouseClick(FindControl<QAbstractButton>(d, CDialogBuilder::IdOk), Qt::LeftButton);
    });
    CVELTADoc* doc = app->OpenDocumentFile(Cp(board));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetSettingFile().GetPath().filename(), "other.bpf");
}

TEST_F(FrameViewCommandsTest, TheShellPrintCommandOpensTheBoardAndPrintsThroughItsView)
{
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests' print server must show no printer";
    StartShown();
    const fs::path board = MakeBoard(root / "print", "print.vbd");
    EXPECT_TRUE(app->OnDDECommand("[print(\"" + Cp(board) + "\")]"));
    EXPECT_EQ(BoardCount(), 1);
    // Without a printer the view says so instead of printing nothing silently.
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(platform::Cp932ToQString(messages.Last().text), QString::fromUtf8("使用できるプリンターがありません"));
}

TEST_F(FrameViewCommandsTest, MakePartRunsTheDialogAndNamesThePartAsTyped)
{
    StartShown();
    CVELTAView* view = OpenBoard("part.vbd");
    ASSERT_NE(view, nullptr);
    CVELTADoc* doc = frame->ActiveDocument();
    // The command needs the selection tool and a selection with one "Name" text.
    view->Input().OnInputCommand(BoardInput::kMoveBase);
    EXPECT_FALSE(Enabled(32795));
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    doc->GetLayerStack().partLayers[PL_TERM].layerA = 0;
    doc->GetSelectionSheet(2)->NewText(CText("Name", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(0)->NewTer(CDPoint(3, 1), CText("1", CDPoint(3, 1), 0), 0);
    doc->GetSelectionSheet(0)->NewTer(CDPoint(5, 1), CText("2", CDPoint(5, 1), 0), 0);
    ASSERT_TRUE(Enabled(32795));

    // Cancel makes nothing.
    OnDialog([](QDialog*) {});
    frame->OnCommand(32795);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 0);

    QString shownName;
    QString shownTerminals;
    OnDialog([&](QDialog* d) {
        auto* name = FindControl<QLineEdit>(d, CDlgMakePart::IdName);
        shownName = name->text();
        shownTerminals = FindControl<QLabel>(d, CDlgMakePart::IdTerminals)->text();
        name->selectAll();
        QTest::keyClicks(name, "CN2");
        QTest::mouseClick(FindControl<QAbstractButton>(d, CDialogBuilder::IdOk), Qt::LeftButton);
    });
    frame->OnCommand(32795);
    EXPECT_EQ(shownName, "Name");
    EXPECT_EQ(shownTerminals, "2");
    CSheet* board = doc->GetBoardSheet(LAYER_MAX);
    ASSERT_EQ(board->GetKindCount(KIND_PART), 1);
    EXPECT_EQ(board->GetHeadPart()->GetPartName(), "CN2");
    EXPECT_EQ(board->GetHeadPart()->GetTerCount(), 2);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
}

// With VELTA_SCREENSHOT_DIR set: a sample board there (for the program itself to open) and the
// window showing it, whole and zoomed in.
TEST_F(FrameViewCommandsTest, Screenshots)
{
    QTemporaryDir temporary;
    QString folder = qEnvironmentVariable("VELTA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        folder = temporary.path();
    MakeBoard(fs::path(folder.toStdString()), "sample.vbd");
    StartShown();
    CVELTAView* view = OpenBoard("shot.vbd");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(frame->grab().save(folder + "/board-window.png"));
    frame->OnCommand(32771);
    frame->OnCommand(32771);
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(folder + "/board-zoomed.png"));
}

} // namespace
