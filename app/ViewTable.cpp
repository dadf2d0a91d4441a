// The board view's table commands (turrets, vias, layers) and the move or copy of the selection
// to other layers, with the dispatch of the view's table, edit and display commands.

#include "app/VELTAView.h"

#include "app/BoardInput.h"
#include "document/VELTADoc.h"

bool CVELTAView::OnTableDisplayCommand(int id)
{
    if (!document_)
        return false;
    switch (id) {
    case ID_TURRET_SETTINGS:
        OnTurretSettings();
        return true;
    case ID_VIA_SETTINGS:
        OnViaSettings();
        return true;
    case ID_LAYER_SETTINGS:
        OnLayerSettings();
        return true;
    case ID_LAYER_MOVE:
        OnLayerMove();
        return true;
    case ID_MODIFY:
        OnModify();
        return true;
    case ID_SURFACE_CONVERT:
        OnSurfaceConvert();
        return true;
    case ID_CLOSE_CUTTER:
        OnCloseCutterPath();
        return true;
    case ID_TRAP:
        m_input->m_bSnapItem = !m_input->m_bSnapItem;
        return true;
    case ID_PART_NUMBER_CLICK:
        OnPartNumberClick();
        return true;
    default:
        return false;
    }
}

bool CVELTAView::OnUpdateTableDisplayCommand(int id, bool& enabled, bool& checked)
{
    const BoardInput& input = *m_input;
    CVELTADoc* doc = document_;
    switch (id) {
    case ID_TURRET_SETTINGS:
    case ID_VIA_SETTINGS:
        enabled = doc != nullptr;
        return true;
    case ID_LAYER_SETTINGS:
        enabled = doc && input.m_nCommand != BoardInput::kTerminal && doc->IsSelectionEmpty();
        return true;
    case ID_MODIFY:
        enabled = doc && !input.m_bInputBusy && !doc->IsSelectionEmpty();
        return true;
    case ID_LAYER_MOVE:
        // Vias and parts keep their layers: a selection of nothing else has nothing to move.
        enabled = doc && !IsFloating() && input.m_nCommand == BoardInput::kMoveBase &&
                  !doc->IsSelectionEmpty() &&
                  doc->CountItems(2, BoardInput::kVia) + doc->CountItems(2, BoardInput::kPart) !=
                      doc->CountItems(2, 0);
        return true;
    case ID_SURFACE_CONVERT: {
        const CSheet* selection = doc ? doc->GetCurrentSelectionSheet() : nullptr;
        enabled = selection && !selection->IsEmpty() && !IsFloating() && input.m_nArcStep == -1;
        return true;
    }
    case ID_CLOSE_CUTTER:
        enabled =
            doc && input.m_nCommand == BoardInput::kCutter && input.m_bInputBusy && input.m_nSegments > 1;
        return true;
    case ID_TRAP:
        enabled = doc != nullptr;
        checked = input.m_bSnapItem;
        return true;
    case ID_PART_NUMBER_CLICK:
        enabled = doc && doc->IsSelectionEmpty() && doc->CountItems(0, BoardInput::kPart) > 1;
        checked = input.m_nCommand == BoardInput::kPartNumberClick;
        return true;
    default:
        return false;
    }
}

void CVELTAView::OnTurretSettings()
{
    if (document_->OnTurretTable())
        InvalidateAll();
}

void CVELTAView::OnViaSettings()
{
    if (document_->OnViaTable())
        InvalidateAll();
}

void CVELTAView::OnLayerSettings()
{
    if (document_->OnLayerTable())
        InvalidateAll();
}

void CVELTAView::OnLayerMove()
{
    if (!document_->OnLayerMove())
        return;
    RestoreInputCommand();
    InvalidateAll();
}
