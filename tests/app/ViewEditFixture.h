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
        tagGRID grid;
        grid.xPitch = grid.yPitch = 1.0;
        doc->SetGrid(0, grid);
        doc->SetCurrentGrid(0);
        const auto& wires = doc->GetWireLayerList();
        ASSERT_GE(wires.size(), 2u);
        top = wires.front();
        bottom = wires.back();
        doc->SelectLayer(top);
        QGuiApplication::clipboard()->clear();
    }

    BoardInput& In() { return view->Input(); }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent event(type, QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), button, buttons,
                          mods);
        QApplication::sendEvent(view->viewport(), &event);
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

    int top = 0;
    int bottom = 0;
};
