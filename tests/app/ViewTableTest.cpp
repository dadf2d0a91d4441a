// The board view's table and layer-move commands run through the program's frame on an open
// board: what the user does in the turret, via, layer and layer-move dialogs lands on the board,
// Cancel writes nothing, and a floating item follows (or, a via, ignores) a change of layer.

#include "app/BoardInput.h"
#include "app/ChildFrame.h"
#include "app/VELTAView.h"
#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxListCtrl.h"
#include "dialogs/DlgLayer.h"
#include "dialogs/DlgLayerMove.h"
#include "dialogs/DlgTurretTable.h"
#include "dialogs/DlgViaTable.h"
#include "libui/DialogBuilder.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Via.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <fstream>
#include <iterator>

namespace {

using namespace apptest;

class ViewTableTest : public AppCommandFixture
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
    CVELTAView* View() { return frame->ActiveChild() ? frame->ActiveChild()->GetView() : nullptr; }
    bool RunCommand(int id, std::function<void(QDialog*)> steps)
    {
        OnDialog(std::move(steps));
        EXPECT_TRUE(Enabled(id)) << id;
        frame->OnCommand(id);
        return opened;
    }
    std::string SettingsText()
    {
        std::ifstream in(board.parent_path() / "velta.bpf", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void Ok(QDialog* d)
    {
        QTest::mouseClick(FindControl<QAbstractButton>(d, CDialogBuilder::IdOk), Qt::LeftButton);
    }
    static void EditCell(CNumberedTableDialog* d, int row, int id, const char* text)
    {
        int column = -1;
        for (int c = 0; c < d->List()->GetColumnCount(); ++c)
            if (d->List()->GetColumnSubItem(c) == id)
                column = c;
        CGfxInPlaceEdit* edit = d->List()->EditCellText(row, column, false);
        ASSERT_NE(edit, nullptr) << id;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    static void Send(CVELTAView* view, QEvent::Type type, double x, double y, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
    {
        const CPoint device = view->BoardToDevice(CDPoint(x, y));
        const QPoint p(device.x, device.y);
        QMouseEvent event(type, QPointF(p), QPointF(view->viewport()->mapToGlobal(p)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    // A left click on a board point once the view's focus guard is over.
    static void Click(CVELTAView* view, double x, double y)
    {
        QTest::qWait(150);
        Send(view, QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton);
        Send(view, QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton);
    }
    // The first enabled layer other than the current one.
    int OtherLayer(CVELTADoc* doc)
    {
        for (const auto& entry : doc->GetEnableList())
            if (entry.second != doc->GetCurrentLayer())
                return entry.second;
        return -1;
    }
};

TEST_F(ViewTableTest, TurretTableChangesTheTracksThatUseTheEditedTurret)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    const CLine* track = doc->GetBoardSheet(0)->GetHeadLine();
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(track->GetTurretNo(), 2);
    int lines = -1;
    ASSERT_TRUE(RunCommand(CVELTAView::ID_TURRET_SETTINGS, [&](QDialog* d) {
        auto* table = qobject_cast<CDlgTurretTable*>(d);
        ASSERT_NE(table, nullptr);
        lines = table->m_usage[2][CDlgTurretTable::UseLines];
        EditCell(table, 1, 3, "0.75"); // row 1 shows turret 2; column 3 the outer size
        Ok(d);
    }));
    EXPECT_EQ(lines, 5);
    EXPECT_DOUBLE_EQ(doc->Turret(2).size1, 0.75);
    EXPECT_DOUBLE_EQ(track->GetTurret().size1, 0.75);
    EXPECT_NE(SettingsText().find("0.75"), std::string::npos);
}

TEST_F(ViewTableTest, CancelledTablesWriteNothing)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    const std::string before = SettingsText();
    const tagTURRET turret = doc->Turret(2);
    for (int id :
         {CVELTAView::ID_TURRET_SETTINGS, CVELTAView::ID_VIA_SETTINGS, CVELTAView::ID_LAYER_SETTINGS})
        EXPECT_TRUE(RunCommand(id, [](QDialog* d) {
            if (auto* table = qobject_cast<CDlgTurretTable*>(d))
                EditCell(table, 1, 3, "0.5");
            d->reject();
        })) << id;
    EXPECT_EQ(SettingsText(), before);
    EXPECT_DOUBLE_EQ(doc->Turret(2).size1, turret.size1);
}

TEST_F(ViewTableTest, ViaTableSetsTheDefaultVia)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunCommand(CVELTAView::ID_VIA_SETTINGS, [](QDialog* d) {
        FindControl<QLineEdit>(d, CDlgViaTable::IdDefault)->setText("4");
        Ok(d);
    }));
    EXPECT_EQ(doc->GetDefaultVia(), 4);
}

TEST_F(ViewTableTest, LayerSettingsMakeTheChosenLayerCurrentAndAreDisabledWithASelection)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunCommand(CVELTAView::ID_LAYER_SETTINGS, [](QDialog* d) {
        auto* layers = qobject_cast<CDlgLayer*>(d);
        ASSERT_NE(layers, nullptr);
        layers->m_nCurrent = 5;
        Ok(d);
    }));
    EXPECT_EQ(doc->GetCurrentLayer(), 5);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetLayer().display, 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetLayer().enable, 1);
    frame->OnCommand(BoardInput::kSelectAll);
    EXPECT_FALSE(Enabled(CVELTAView::ID_LAYER_SETTINGS));
}

TEST_F(ViewTableTest, LayerMoveTakesTheSelectedTracksToTheTypedLayer)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(Enabled(CVELTAView::ID_LAYER_MOVE)); // nothing selected
    frame->OnCommand(BoardInput::kSelectAll);
    ASSERT_TRUE(RunCommand(CVELTAView::ID_LAYER_MOVE, [](QDialog* d) {
        ASSERT_NE(qobject_cast<CDlgLayerMove*>(d), nullptr);
        EXPECT_EQ(FindControl<QLineEdit>(d, CDlgLayerMove::IdSource)->text().trimmed(), "1");
        FindControl<QLineEdit>(d, CDlgLayerMove::IdTarget)->setText("3");
        Ok(d);
    }));
    EXPECT_EQ(doc->GetBoardSheet(2)->GetCount(BoardInput::kLine), 5);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetCount(BoardInput::kLine), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetBoardSheet(0)->GetCount(BoardInput::kLine), 5);
    EXPECT_EQ(doc->GetBoardSheet(2)->GetCount(BoardInput::kLine), 0);
}

TEST_F(ViewTableTest, LayerMoveOntoTheSameLayerRecordsNothing)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    const std::size_t history = doc->GetUndoHistory().size();
    frame->OnCommand(BoardInput::kSelectAll);
    ASSERT_TRUE(RunCommand(CVELTAView::ID_LAYER_MOVE, [](QDialog* d) {
        FindControl<QLineEdit>(d, CDlgLayerMove::IdTarget)->setText("1");
        Ok(d);
    }));
    EXPECT_EQ(doc->GetUndoHistory().size(), history);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetCount(BoardInput::kLine), 5);
    EXPECT_TRUE(doc->IsSelectionEmpty());
}

TEST_F(ViewTableTest, ALayerChangeLeavesAFloatingViaAndTakesAFloatingLand)
{
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    CVELTAView* view = View();
    ASSERT_NE(view, nullptr);
    BoardInput& input = view->Input();

    frame->OnCommand(BoardInput::kVia);
    Click(view, 40, 40);
    ASSERT_NE(input.m_pFloatVia, nullptr);
    const CDPoint at = input.m_pFloatVia->GetPoint();
    const int other = OtherLayer(doc);
    ASSERT_GE(other, 0);
    doc->OnLayerComboCloseUp(other);
    ASSERT_EQ(doc->GetCurrentLayer(), other);
    ASSERT_NE(input.m_pFloatVia, nullptr);
    EXPECT_EQ(input.m_pFloatVia->GetPoint(), at);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetCount(BoardInput::kVia), 1);

    frame->OnCommand(BoardInput::kCancel);
    frame->OnCommand(BoardInput::kLand);
    Click(view, 30, 30);
    ASSERT_NE(input.m_pFloatLand, nullptr);
    const int from = doc->GetCurrentLayer();
    const int to = OtherLayer(doc);
    ASSERT_GE(to, 0);
    doc->OnLayerComboCloseUp(to);
    ASSERT_NE(input.m_pFloatLand, nullptr);
    EXPECT_EQ(doc->GetSelectionSheet(to)->GetCount(BoardInput::kLand), 1);
    EXPECT_EQ(doc->GetSelectionSheet(from)->GetCount(BoardInput::kLand), 0);
    EXPECT_EQ(input.m_pFloatLand->GetSheet(), doc->GetSelectionSheet(to));
}

} // namespace
