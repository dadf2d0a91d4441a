#pragma once
// The table dialogs' tests: cell texts as the grid shows them and cell edits typed into the grid's
// own editor.

#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxListCtrl.h"
#include "dialogs/NumberedTableDialog.h"
#include "tests/dialogs/DialogFixture.h"

class NumberedTableFixture : public DialogFixture
{
protected:
    // The text of the cell in the column with this id.
    static std::string Cell(CNumberedTableDialog* d, int row, int id)
    {
        std::string out;
        d->List()->GetCellText(row, DisplayColumn(d, id), out);
        return out;
    }
    static int DisplayColumn(CNumberedTableDialog* d, int id)
    {
        for (int column = 0; column < d->List()->GetColumnCount(); ++column)
            if (d->List()->GetColumnSubItem(column) == id)
                return column;
        return -1;
    }
    static void EditCell(CNumberedTableDialog* d, int row, int id, const char* text)
    {
        CGfxInPlaceEdit* edit = d->List()->EditCellText(row, DisplayColumn(d, id), false);
        ASSERT_NE(edit, nullptr) << id;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    static std::vector<std::string> Captions(CNumberedTableDialog* d)
    {
        std::vector<std::string> captions;
        for (const CGfxColumn& column : d->List()->GetColumnManager()->BuildLayout().columns)
            captions.push_back(column.caption);
        return captions;
    }
    // The colour the grid draws a cell's text in, when its owner gives one.
    static std::optional<COLORREF> TextColour(CNumberedTableDialog* d, int row)
    {
        LXHDREX request;
        request.nCode = GFXREQ_FORMAT;
        request.nItem = row;
        request.lParam = d->List()->GetItemData(row);
        if (!d->List()->RequestCell(&request) || !(request.cFormat & GFXFMT_TEXTCOLOR))
            return std::nullopt;
        return request.crText;
    }
    static void RightClick(CNumberedTableDialog* d, int row)
    {
        QRect rect;
        ASSERT_TRUE(d->List()->GetCellRect(row, 1, &rect));
        QTest::mouseClick(d->List()->viewport(), Qt::RightButton, Qt::NoModifier, rect.center());
    }
};
