#pragma once
// The board view on a 1 mm grid with real mouse events, and the helpers the edit, paste and
// part-number tests share.

#include "tests/app/ViewFixture.h"

#include "app/BoardInput.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>

#include <vector>

class ViewEditFixture : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        UseUnitGrid();
        QGuiApplication::clipboard()->clear();
    }

    void Click(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPoint p = Pixel(x, y);
        Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods);
        Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
    }
    void Move(double x, double y) { Send(QEvent::MouseMove, Pixel(x, y), Qt::NoButton, Qt::NoButton); }

    CLine* AddLine(int layer, CDPoint a, CDPoint b)
    {
        return static_cast<CLine*>(doc->GetBoardSheet(layer)->StoreCopy(CLine(a, b, 10, 0)));
    }
    // Everything on the board selected, in the move's base-point state.
    void SelectAll()
    {
        view->OnViewCommand(BoardInput::kSelectAll);
        ASSERT_FALSE(doc->IsSelectionEmpty());
    }
    // Start points of a sheet's lines, by x.
    static std::vector<CDPoint> LineStarts(CSheet& sheet)
    {
        std::vector<CDPoint> starts;
        for (POSITION pos = sheet.GetFirstItemPos(KIND_LINE); pos;)
            starts.push_back(static_cast<CLine*>(sheet.GetNextItem(KIND_LINE, pos))->GetStartPoint());
        std::sort(starts.begin(), starts.end(), [](const CDPoint& a, const CDPoint& b) { return a.x < b.x; });
        return starts;
    }
    std::size_t UndoWords() const { return doc->GetUndoHistory().size(); }
};
