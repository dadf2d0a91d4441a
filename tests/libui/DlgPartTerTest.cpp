// Part terminal dialog: its columns by mount class and board, its rows, and the edits of names,
// via numbers and inner-layer connections.

#include "libui/DlgPartTer.h"
#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxListCtrl.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "platform/J.h"
#include "tests/support/ItemDialogFixture.h"
#include "tests/support/PartBoard.h"

#include <string>
#include <vector>

namespace {

using testing_support::PartBoard;

class DlgPartTerTest : public ItemDialogFixture
{
protected:
    // A through-hole part with terminals of the given ids; the first two carry vias (number 1)
    // wired on every layer.
    CPart Dip(const std::vector<unsigned>& ids, int type = PART_DIP)
    {
        CPart part(CDPoint(0, 0), CDRect(-1, -1, 10, 1), 0, 0, 0.0, 0);
        part.SetType(type);
        double x = 0;
        for (unsigned id : ids) {
            CTer* ter = part.NewTer(CDPoint(x, 0), CText(std::to_string(id), CDPoint(x, 0), 0));
            ter->SetID(id);
            if (x < 5) {
                CVia via(CDPoint(x, 0), 1, board.doc.viaTable[1], &board.doc, 0xF);
                part.NewVia(via)->SetID(id);
            }
            x += 2.54;
        }
        return part;
    }
    static std::vector<std::string> Captions(CDlgPartTer* d)
    {
        std::vector<std::string> captions;
        for (const CGfxColumn& column : d->List()->GetColumnManager()->BuildLayout().columns)
            captions.push_back(column.caption);
        return captions;
    }
    static std::string Cell(CDlgPartTer* d, int row, int column)
    {
        std::string out;
        d->List()->GetCellText(row, column, out);
        return out;
    }
    static void EditCell(CDlgPartTer* d, int row, int column, const char* text)
    {
        CGfxInPlaceEdit* edit = d->List()->EditCellText(row, column, false);
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        if (!*text)
            QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Runs the dialog on the part with the steps; whether it was confirmed.
    bool Run(CPart& part, std::function<void(CDlgPartTer*)> steps, bool ok = true)
    {
        OnDialog([steps, ok](QDialog* d) {
            steps(qobject_cast<CDlgPartTer*>(d));
            if (ok)
                Ok(d);
        });
        return CDlgPartTer::Run(part, &board.doc);
    }

    PartBoard board;
};

TEST_F(DlgPartTerTest, ColumnsFollowMountClassLayersAndNets)
{
    CPart smd = Dip({1, 2}, PART_SMD);
    Run(smd, [](CDlgPartTer* d) {
        EXPECT_EQ(Captions(d), (std::vector<std::string>{"", "ID", _J("端子")}));
    });
    board.doc.netsOn = true;
    Run(smd, [](CDlgPartTer* d) {
        EXPECT_EQ(Captions(d), (std::vector<std::string>{"", "ID", _J("端子"), _J("ネット")}));
    });
    board.doc.netsOn = false;

    board.doc.SetWireLayers({PartBoard::kTop, 2, 3, PartBoard::kBottom});
    CPart dip = Dip({1, 2, 3});
    Run(dip, [](CDlgPartTer* d) {
        EXPECT_EQ(Captions(d), (std::vector<std::string>{"", "ID", _J("端子"), _J("ビア"), "2", "3"}));
        EXPECT_EQ(Cell(d, 0, 3), "1");
        EXPECT_EQ(Cell(d, 0, 4), "1");
        EXPECT_EQ(Cell(d, 2, 3), "--"); // no via
        EXPECT_EQ(Cell(d, 2, 4), "");
        Shot(d, "part-terminals-dip");
    });
}

TEST_F(DlgPartTerTest, RowsAreTheRealTerminalsByTheirIds)
{
    CPart part = Dip({9, 2, 5, 7});
    POSITION pos = part.GetFirstTerPos();
    for (int i = 0; i < 3; ++i)
        part.GetNextTer(pos);
    part.GetNextTer(pos)->ModifyType(TER_VIRTUAL, TER_VIRTUAL);
    Run(part, [](CDlgPartTer* d) {
        EXPECT_EQ(d->RowIds(), (std::vector<int>{2, 5, 9}));
        EXPECT_EQ(d->List()->GetItemCount(), 3);
        EXPECT_EQ(Cell(d, 0, 1), "2");
        EXPECT_EQ(Cell(d, 2, 2), "9");
    });
}

TEST_F(DlgPartTerTest, EditsRenameTerminalsAndSetViasOrRestoreThem)
{
    board.doc.SetWireLayers({PartBoard::kTop, 2, 3, PartBoard::kBottom});
    CPart part = Dip({1, 2, 3});
    EXPECT_TRUE(Run(part, [](CDlgPartTer* d) {
        d->List()->setFocus();
        EditCell(d, 0, 2, "  A1 ");
        EXPECT_EQ(Cell(d, 0, 2), "A1");
        EditCell(d, 1, 2, "");
        EXPECT_EQ(Cell(d, 1, 2), "2");
        EditCell(d, 0, 3, "65");
        EXPECT_EQ(Cell(d, 0, 3), "1");
        EditCell(d, 0, 3, "abc");
        EXPECT_EQ(Cell(d, 0, 3), "1");
        EditCell(d, 0, 3, "-1");
        EXPECT_EQ(Cell(d, 0, 3), "1");
        EditCell(d, 2, 3, "5"); // no via: stays "--"
        EXPECT_EQ(Cell(d, 2, 3), "--");
        EditCell(d, 1, 3, "64");
        EXPECT_EQ(Cell(d, 1, 3), "64");
        // A click on a layer cell switches the via's connection on that layer.
        QTest::mouseClick(d->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          d->List()->visualRect(d->List()->model()->index(1, 5)).center());
        QApplication::processEvents();
        EXPECT_EQ(Cell(d, 1, 5), "0");
        EXPECT_EQ(Cell(d, 1, 4), "1");
    }));
    EXPECT_EQ(part.GetTerName(1), "A1");
    EXPECT_EQ(part.GetTerName(2), "2");
    EXPECT_EQ(part.GetTerViaNo(1), 1);
    EXPECT_EQ(part.GetTerViaNo(2), 64);
    EXPECT_FALSE(part.IsViaTH(2, 3));
    EXPECT_TRUE(part.IsViaTH(2, 2));

    // Cancel leaves the part as it was.
    EXPECT_FALSE(Run(
        part, [](CDlgPartTer* d) { EditCell(d, 0, 2, "Z"); }, false));
    EXPECT_EQ(part.GetTerName(1), "A1");
}

} // namespace
