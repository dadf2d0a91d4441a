// The part list and clean-up commands as the frame runs them: enabled only while nothing is
// selected, their dialogs shown, the files written beside the board.

#include "app/ChildFrame.h"
#include "dialogs/DlgClean.h"
#include "dialogs/DlgPartList.h"
#include "libui/DialogBuilder.h"
#include "model/items/Line.h"
#include "platform/Messages.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace apptest;

class ToolListCommandsTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        platform::SetMessageService(&messages);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        platform::SetMessageService(nullptr);
    }
    CVELTADoc* OpenBoard()
    {
        board = MakeBoard(root / "boards", "list.vbd");
        if (!app->OpenDocumentFile(Cp(board)))
            return nullptr;
        QApplication::processEvents();
        return frame->ActiveDocument();
    }
    static void OnDialog(std::function<void(QDialog*)> steps)
    {
        QTimer::singleShot(0, [steps] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                steps(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
    }
    static void Click(QDialog* d, int id)
    {
        auto* button = FindControl<QAbstractButton>(d, id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
    }
    bool Enabled(int id) { return frame->UpdateCommand(id, frame->Action(id)); }

    platform::RecordingMessages messages;
    fs::path board;
};

TEST_F(ToolListCommandsTest, CleanUpRunsItsDialogAndTidiesTheBoard)
{
    profile.SetInt("CleanSection", "View", 0);
    Start();
    frame->show();
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    CSheet* sheet = doc->GetBoardSheet(0);
    sheet->NewLine(CDPoint(10, 10), CDPoint(60, 10), 2, 0); // a copy of the board's first track
    const int before = sheet->GetItemCount();
    EXPECT_TRUE(Enabled(32956));
    bool shown = false;
    OnDialog([&shown](QDialog* d) {
        shown = qobject_cast<CDlgClean*>(d) != nullptr;
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32956);
    EXPECT_TRUE(shown);
    EXPECT_EQ(sheet->GetItemCount(), before - 1);
    EXPECT_TRUE(fs::exists(root / "boards" / "list.clean.log"));
    EXPECT_TRUE(doc->CanUndo());

    // With something selected the command is not offered.
    doc->SelectItem(sheet->GetHeadLine(), 0);
    EXPECT_FALSE(Enabled(32956));
    EXPECT_FALSE(Enabled(32955));
}

TEST_F(ToolListCommandsTest, PartListRunsItsDialogAndWritesTheChosenFiles)
{
    profile.SetInt("Tool", "PListView", 0);
    Start();
    frame->show();
    ASSERT_NE(OpenBoard(), nullptr);
    EXPECT_TRUE(Enabled(32955));
    OnDialog([](QDialog* d) {
        Click(d, CDlgPartList::IdPlace);
        Click(d, CDlgPartList::IdBom);
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32955);
    EXPECT_TRUE(fs::exists(root / "boards" / "list.loc"));
    EXPECT_TRUE(fs::exists(root / "boards" / "list.loc.csv"));
    EXPECT_TRUE(fs::exists(root / "boards" / "list.csv"));
    EXPECT_FALSE(fs::exists(root / "boards" / "list.plt"));
}

} // namespace
