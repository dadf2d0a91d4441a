// The cutter edit commands on the items the cutter path crosses, the selection length and the
// conversion of arcs, surfaces and texts to line segments.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/services/ItemDialogs.h"

#include <cmath>

namespace {

constexpr int ID_CUTTER_DIVIDE = 32964;
constexpr int ID_CUTTER_OFFSET = 32965;
constexpr int ID_CUTTER_CHAMFER = 32966;
constexpr int ID_CUTTER_FILLET = 32967;
constexpr int ID_CUTTER_TRIM = 32968;

struct CutterCommand
{
    int id;
    int kinds;   // kind bits of the targets
    int minimum; // fewest targets the operation needs
    bool asks;   // runs the number dialog
};

constexpr CutterCommand kCommands[] = {
    {ID_CUTTER_CHAMFER, KIND_LINE, 2, true},           {ID_CUTTER_FILLET, KIND_LINE, 2, true},
    {ID_CUTTER_TRIM, KIND_LINE | KIND_ARC, 1, false},  {ID_CUTTER_DIVIDE, KIND_LINE | KIND_ARC, 1, true},
    {ID_CUTTER_OFFSET, KIND_LINE | KIND_ARC, 1, true},
};

const CutterCommand* FindCommand(int id)
{
    for (const CutterCommand& command : kCommands)
        if (command.id == id)
            return &command;
    return nullptr;
}

} // namespace

bool CVELTADoc::CanCutterEdit()
{
    return m_pHost && m_pHost->GetActiveTool() == ID_INPUT_CUTTER &&
           m_viaPartSheet.GetKindCount(KIND_LINE) > 0;
}

void CVELTADoc::DeleteCutterPath(bool selectionOnly)
{
    auto removeLines = [this](CSheet& sheet) {
        for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
            const POSITION here = pos;
            CLine* line = sheet.GetNextLine(pos);
            if (m_pHost)
                m_pHost->UpdateAllViews(0, nullptr, line);
            sheet.DeleteItemAt(KIND_LINE, here);
        }
    };
    removeLines(m_selViaPartSheet);
    if (!selectionOnly)
        removeLines(m_viaPartSheet);
}

void CVELTADoc::OnCutterEdit(int commandId)
{
    const CutterCommand* command = FindCommand(commandId);
    if (!command || m_viaPartSheet.GetKindCount(KIND_LINE) == 0)
        return;
    CSheet& board = *m_pCurrentSheet;
    CSheet& selection = *m_pCurrentSelSheet;
    CSheet& replaced = *m_pCurrentRepSheet;
    // The targets are copies of board items: a command that stops early drops them, so the board
    // keeps exactly one of each.
    auto finish = [&]() {
        selection.DeleteContents();
        replaced.DeleteContents();
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        DeleteCutterPath(false);
        if (m_pHost)
            m_pHost->EndCommand();
    };

    SelectCutterTargets(command->kinds);
    if (selection.GetItemCount() < command->minimum)
        return finish();
    DeleteCutterPath(true);

    double first = 0.0, second = 0.0;
    if (command->asks) {
        ItemDialogs* dialogs = GetItemDialogs();
        NumberInDialogData data;
        data.grid = GetGrid(-1);
        data.hasGrid = commandId != ID_CUTTER_DIVIDE;
        data.unitEnabled = commandId != ID_CUTTER_DIVIDE;
        if (!dialogs || !dialogs->RunNumberInDialog(data))
            return finish();
        first = data.first;
        second = data.second;
    }

    for (POSITION pos = selection.GetFirstLinePos(); pos;)
        board.DeleteLine(*selection.GetNextLine(pos));
    if (command->kinds & KIND_ARC)
        for (POSITION pos = selection.GetFirstArcPos(); pos;)
            board.DeleteArc(*selection.GetNextArc(pos));
    m_repaintRect = selection.GetBoundingRect();
    if (m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);

    replaced.DeleteContents();
    replaced += selection;
    switch (commandId) {
    case ID_CUTTER_CHAMFER:
        selection.CornerItem(first, second);
        break;
    case ID_CUTTER_FILLET:
        selection.CornerRoundItem(second);
        break;
    case ID_CUTTER_TRIM:
        selection.TrimItem();
        break;
    case ID_CUTTER_DIVIDE:
        selection.DivideItem(static_cast<int>(first));
        break;
    case ID_CUTTER_OFFSET:
        selection.OffsetItem(first, static_cast<int>(second));
        break;
    default:
        break;
    }

    if (replaced == selection) {
        board += replaced;
    } else {
        StoreUndoItem(&replaced, m_nCurrentLayer, 0, 3);
        StoreUndoItem(&selection, m_nCurrentLayer, 0, 5);
        board += selection;
        m_repaintRect |= selection.GetBoundingRect();
    }
    finish();
}

double CVELTADoc::GetSelectionLength()
{
    double length = 0.0;
    for (const auto& entry : m_enableList) {
        CSheet& sheet = *GetSetSheet(2, entry.second);
        for (POSITION pos = sheet.GetFirstLinePos(); pos;)
            length += sheet.GetNextLine(pos)->GetLength();
        for (POSITION pos = sheet.GetFirstArcPos(); pos;) {
            CArc* arc = sheet.GetNextArc(pos);
            const double start = arc->GetStartAngle();
            const double end = arc->GetEndAngle();
            if (std::fabs(start - end) >= 0.001)
                length += std::fabs(arc->GetSweep()) * arc->GetRadius();
            else
                length += arc->GetRadius() * 6.283185307179586;
        }
    }
    return length;
}

// ---------------------------------------------------------------------------------------------
// Convert to line

bool CVELTADoc::CanConvertToLine()
{
    if (m_pHost && m_pHost->IsInputInProgress())
        return false;
    CSheet& selection = *m_pCurrentSelSheet;
    return selection.GetKindCount(KIND_TEXT) > 0 || selection.GetKindCount(KIND_ARC) > 0 ||
           selection.GetKindCount(KIND_SUR) > 0 || selection.GetKindCount(KIND_LINE) > 0;
}

void CVELTADoc::OnConvertToLine()
{
    // Only lines, arcs, surfaces and texts stay selected.
    MoveLayerItems(KIND_LINE | KIND_ARC | KIND_SUR | KIND_TEXT, 2, 0, true);
    CSheet& selection = *m_pCurrentSelSheet;
    CSheet before(SHEET_WORK);
    before += selection;
    m_repaintRect = before.GetBoundingRect();
    // Lines alone have nothing to become: no step is recorded.
    const bool onlyLines = selection.GetKindCount(KIND_ARC) == 0 && selection.GetKindCount(KIND_SUR) == 0 &&
                           selection.GetKindCount(KIND_TEXT) == 0;
    if (onlyLines || selection.ConvertLine() == 0)
        return;
    StoreUndoItem(&before, m_nCurrentLayer, 0, 3);
    if (m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    // The converted arcs go too: an arc never stays beside its own segments.
    MoveLayerItems(KIND_LINE, 2, 3, true);
    StoreUndoItem(&selection, m_nCurrentLayer, 0, 5);
    MoveSetItems(2, 0, true, false);
}
