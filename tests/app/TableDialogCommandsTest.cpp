// The grid settings and part management commands of the program running their table dialogs on
// an open board: what the user does in the dialog lands on the board.

#include "app/ChildFrame.h"
#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxListCtrl.h"
#include "dialogs/DlgGrid.h"
#include "dialogs/DlgPartManager.h"
#include "libui/DialogBuilder.h"
#include "model/items/Part.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

using namespace apptest;

class TableDialogCommandsTest : public AppCommandFixture
{
protected:
    CVELTADoc* OpenBoard()
    {
        Start();
        frame->resize(900, 700);
        frame->show();
        QApplication::processEvents();
        return OpenBoardFile("table.vbd");
    }
    // Runs steps on the modal dialog the command opens; true when one opened.
    bool RunCommand(int id, std::function<void(QDialog*)> steps)
    {
        OnDialog(std::move(steps));
        EXPECT_TRUE(Enabled(id));
        frame->OnCommand(id);
        return opened;
    }
    static QPoint CellCentre(CGfxListCtrl* list, int row, int id)
    {
        for (int c = 0; c < list->GetColumnCount(); ++c)
            if (list->GetColumnSubItem(c) == id)
                return list->visualRect(list->model()->index(row, c)).center();
        return QPoint();
    }
    static void Ok(QDialog* d)
    {
        QTest::mouseClick(FindControl<QAbstractButton>(d, CDialogBuilder::IdOk), Qt::LeftButton);
    }

};

TEST_F(TableDialogCommandsTest, GridSettingsSetTheCurrentAndTheBasicGridOfTheBoard)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunCommand(32810, [](QDialog* d) {
        auto* grid = qobject_cast<CDlgGrid*>(d);
        ASSERT_NE(grid, nullptr);
        CGfxListCtrl* list = grid->List();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                          CellCentre(list, 5, CDlgGrid::ColShow));
        QLineEdit* base = FindControl<QLineEdit>(d, CDlgGrid::IdBase);
        base->setText("7");
        Ok(d);
    }));
    EXPECT_EQ(doc->GetCurrentGrid(), 5);
    EXPECT_EQ(doc->GetMarkedGrids().first, 6);
    EXPECT_TRUE(doc->GetGrid(5).marked);
    // The settings file holds the new current grid (flags 2) and the basic grid (bit 0x10).
    std::ifstream in(doc->GetSettingFile().GetPath(), std::ios::binary);
    const std::string settings((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto flagsOf = [&settings](int number) {
        const std::size_t at = settings.find(platform::Format("\r\n%3d : ", number), settings.find("[GRID]"));
        if (at == std::string::npos)
            return -1;
        const std::size_t end = settings.find(" : \"", at);
        return std::atoi(settings.substr(settings.rfind(": ", end - 1) + 2).c_str());
    };
    EXPECT_EQ(flagsOf(6), 2);
    EXPECT_EQ(flagsOf(7) & 0x10, 0x10);
    EXPECT_EQ(messages.Count(), 0u);

    // Cancel leaves the board as it was.
    ASSERT_TRUE(RunCommand(32810, [](QDialog* d) {
        CGfxListCtrl* list = qobject_cast<CDlgGrid*>(d)->List();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                          CellCentre(list, 1, CDlgGrid::ColShow));
        d->reject();
    }));
    EXPECT_EQ(doc->GetCurrentGrid(), 5);
}

TEST_F(TableDialogCommandsTest, PartManagementPlacesThePartsOfTheBoardAsOneUndoStep)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    for (const char* ref : {"R1", "R2", "U?"}) {
        CPart part(CDPoint(10, 10), CDRect(9, 9, 11, 11), 1, 0, 0.0, 0);
        part.SetRefName(ref);
        part.SetPartName("DIP8");
        doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    }
    ASSERT_TRUE(RunCommand(32958, [](QDialog* d) {
        auto* manager = qobject_cast<CDlgPartManager*>(d);
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(FindControl<QLineEdit>(d, CDlgPartManager::IdTotal)->text(), "3");
        CGfxHeaderCtrl* header = manager->List()->GetHeaderCtrl();
        const int section = 1;
        ASSERT_EQ(manager->List()->GetColumnSubItem(section), CDlgPartManager::ColPlaced);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                                 header->height() / 2));
        EXPECT_EQ(FindControl<QLineEdit>(d, CDlgPartManager::IdUnplaced)->text(), "1");
        Ok(d);
    }));
    CSheet* parts = doc->GetBoardSheet(LAYER_MAX);
    ASSERT_EQ(parts->GetCount(32913), 3);
    EXPECT_TRUE(parts->GetPart(0)->IsPlaced());
    EXPECT_TRUE(parts->GetPart(1)->IsPlaced());
    EXPECT_FALSE(parts->GetPart(2)->IsPlaced());
    EXPECT_TRUE(doc->CanUndo());
    doc->OnEditUndo();
    EXPECT_FALSE(doc->GetBoardSheet(LAYER_MAX)->GetPart(0)->IsPlaced());
}

} // namespace
