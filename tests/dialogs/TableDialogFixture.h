#pragma once
// The table dialogs' tests: the dialog fixture with helpers that drive the grid as a user does
// (cells and headers clicked, cells edited in place) and read its cells back.

#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxInPlaceCombo.h"
#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxListCtrl.h"
#include "dialogs/TableDialog.h"
#include "platform/qt/QtText.h"
#include "tests/dialogs/DialogFixture.h"

#include <QApplication>
#include <QTest>
#include <string>

class TableDialogFixture : public DialogFixture
{
protected:
    static void Show(CTableDialog& dialog)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
    }
    // The display column of a column id.
    static int Column(CGfxListCtrl* list, int id)
    {
        for (int c = 0; c < list->GetColumnCount(); ++c)
            if (list->GetColumnSubItem(c) == id)
                return c;
        ADD_FAILURE() << "no column " << id;
        return -1;
    }
    static QPoint CellCentre(CGfxListCtrl* list, int row, int id)
    {
        const QModelIndex index = list->model()->index(row, Column(list, id));
        list->scrollTo(index);
        return list->visualRect(index).center();
    }
    static void ClickCell(CGfxListCtrl* list, int row, int id, Qt::MouseButton button = Qt::LeftButton,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(list->viewport(), button, modifiers, CellCentre(list, row, id));
        QApplication::processEvents();
    }
    static void DoubleClickCell(CGfxListCtrl* list, int row, int id,
                                Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, modifiers, CellCentre(list, row, id));
        QApplication::processEvents();
    }
    static void ClickHeader(CGfxListCtrl* list, int id)
    {
        CGfxHeaderCtrl* header = list->GetHeaderCtrl();
        const int section = Column(list, id);
        const QPoint p(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                       header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        QApplication::processEvents();
    }
    // The cell's text as the grid shows it (UTF-8 for comparisons).
    static QString Cell(CGfxListCtrl* list, int row, int id)
    {
        std::string text;
        list->GetCellText(row, Column(list, id), text);
        return platform::Cp932ToQString(text);
    }
    static QWidget* Editor(CGfxListCtrl* list)
    {
        return list->viewport()->findChild<QWidget*>(QStringLiteral("103"));
    }
    // Selects the row with a click, clicks the cell again to open its text editor, types and
    // commits with Enter.
    static void EditCell(CGfxListCtrl* list, int row, int id, const QString& text)
    {
        ClickCell(list, row, id);
        if (!Editor(list))
            ClickCell(list, row, id);
        auto* edit = qobject_cast<CGfxInPlaceEdit*>(Editor(list));
        ASSERT_NE(edit, nullptr) << "no text editor on " << row << "/" << id;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(edit, c.toLatin1());
            } else {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
        }
        QTest::keyClick(edit, Qt::Key_Return);
        Settle();
    }
    // Opens the drop-down list editor of a cell and picks the choice with the given text.
    static void ChooseInCell(CGfxListCtrl* list, int row, int id, const QString& choice)
    {
        list->SetFocusedRow(row);
        auto* combo = list->EditCellCombo(row, Column(list, id), false, false);
        ASSERT_NE(combo, nullptr);
        const int index = combo->Choices().indexOf(choice);
        ASSERT_GE(index, 0) << choice.toStdString();
        combo->SelectChoice(index);
        QTest::keyClick(combo, Qt::Key_Return);
        Settle();
    }
    // Closed editors are gone before the next one is looked for.
    static void Settle()
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
