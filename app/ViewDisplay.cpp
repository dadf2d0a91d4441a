// The board view's edit and display commands on the selection: modify through the item dialogs,
// surface convert and break, closing the cutter path, part-number click mode, the cursor after a
// display range, and the floating item following a change of the current layer.

#include "app/VELTAView.h"

#include "app/BoardInput.h"
#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

#include <type_traits>

namespace {

constexpr int kSelectionSet = 2;
constexpr int kBoardSet = 0;
constexpr int kReplacedSet = 5;
constexpr int kTypeAdded = 1;
constexpr int kTypeRemoved = 3;
constexpr int kTypeReplacement = 5;
constexpr int kSkipSurfaces = 0x80;

} // namespace

bool CVELTAView::IsFloating() const
{
    const BoardInput& in = *m_input;
    return in.m_pFloatLine || in.m_pFloatLine2 || in.m_pFloatLand || in.m_pFloatVia || in.m_pFloatHole ||
           in.m_pFloatTer || in.m_pFloatArc || in.m_pFloatText || in.m_pFloatPart || in.m_pFloatSur;
}

void CVELTAView::OnModify()
{
    CVELTADoc& doc = *document_;
    BoardInput& in = *m_input;
    in.m_rcSelection = doc.GetItemsRect(kSelectionSet);
    CSheet* viaParts = doc.GetSelectionSheet(LAYER_MAX);
    CSheet* edited = nullptr;
    if (viaParts && !viaParts->IsEmpty()) {
        edited = viaParts;
    } else {
        for (const auto& entry : doc.GetDisplayList()) {
            CSheet* sheet = doc.GetSelectionSheet(entry.second);
            if (sheet && !sheet->IsEmpty()) {
                edited = sheet;
                break;
            }
        }
    }
    int result = 0;
    if (edited) {
        in.m_rcSelection = edited->GetBoundingRect();
        result = edited->EditItem();
    }
    bool viaPartsChanged = false;
    // A dialog closed without a change leaves the selection equal to its copy: nothing to record.
    if (!doc.IsSelectionUnchanged()) {
        if (result != 0)
            in.m_rcSelection |= doc.GetItemsRect(kSelectionSet);
        doc.StoreUndo(kReplacedSet, kTypeRemoved);
        doc.StoreUndo(kSelectionSet, kTypeReplacement);
        viaPartsChanged = result != 0 && edited == viaParts;
    }
    in.m_bInputBusy = false;
    InvalidateBoardRect(in.m_rcSelection);
    if (result == 2 && viaParts)
        InvalidateBoardRect(viaParts->GetBoundingRect());
    doc.MoveSetItems(kSelectionSet, kBoardSet, true, viaPartsChanged);
    RestoreInputCommand();
}

void CVELTAView::OnSurfaceConvert()
{
    CVELTADoc& doc = *document_;
    doc.MoveSetItemsOtherLayers(kSelectionSet, kBoardSet, true);
    CSheet* selection = doc.GetCurrentSelectionSheet();
    CSheet* board = doc.GetCurrentBoardSheet();
    if (!selection || !board)
        return;
    if (selection->GetCount(BoardInput::kSurface) > 0) {
        // Break: the surfaces' outlines come back as lines and arcs, one undo step.
        doc.MoveLayerItems(kSkipSurfaces, kSelectionSet, kBoardSet, true);
        doc.StoreUndo(kSelectionSet, kTypeRemoved);
        CSheet pieces;
        for (POSITION pos = selection->GetFirstSurPos(); pos;)
            selection->GetNextSur(pos)->BreakItem(pieces);
        doc.StoreUndoForItem(&pieces, kTypeReplacement);
        *board += pieces;
        doc.ClearSheets(kSelectionSet, false);
        RestoreInputCommand();
        InvalidateAll();
        return;
    }
    // Convert: what does not close into an outline goes back first.
    doc.MoveLayerItemsInFrame(kSelectionSet, kBoardSet, true);
    if (selection->IsEmpty()) {
        InvalidateAll();
        return;
    }
    selection->SetCheck(false);
    doc.StoreUndo(kSelectionSet, kTypeRemoved);
    if (CSur* surface = selection->NewSur(selection, false)) {
        surface->Normalize();
        doc.StoreUndoForItem(surface, kTypeReplacement);
        doc.DeselectSur(*surface);
    }
    doc.ClearSheets(kSelectionSet, false);
    RestoreInputCommand();
    InvalidateAll();
}

void CVELTAView::OnCloseCutterPath()
{
    BoardInput& in = *m_input;
    // The cutter path lives on the board's via and part sheet.
    if (CSheet* path = document_->GetBoardSheet(LAYER_MAX))
        path->NewLine(in.m_ptCentre, in.m_ptFirst, 0, 0);
    in.EndCommand();
    InvalidateAll();
}

void CVELTAView::OnPartNumberClick()
{
    BoardInput& in = *m_input;
    if (in.m_nCommand == BoardInput::kPartNumberClick) {
        RestoreInputCommand();
        return;
    }
    if (in.m_nCommand != BoardInput::kRange)
        in.m_nSavedCommand = in.m_nCommand;
    in.m_nCommand = BoardInput::kPartNumberClick;
}

void CVELTAView::SnapCursorAfterRange()
{
    const CPoint cursor = CursorPoint();
    if (!document_ || !viewport()->rect().contains(QPoint(cursor.x, cursor.y)))
        return;
    const CDPoint snapped = document_->SnapToGrid(DeviceToBoard(cursor), false);
    m_input->m_ptCursor = snapped;
    const int scale = document_->GetCoordScale();
    MoveCursorToPoint(
        CPoint(platform::TruncateToInt32(snapped.x * scale), platform::TruncateToInt32(snapped.y * scale)));
    ShowStatusText(snapped);
}

void CVELTAView::MoveInputToCurrentLayer()
{
    if (!document_)
        return;
    BoardInput& in = *m_input;
    const int command = in.m_nCommand;
    if (command < BoardInput::kLine || command > BoardInput::kCutter || command == BoardInput::kPart ||
        command == BoardInput::kVia || command == BoardInput::kSurface || command == BoardInput::kCutter)
        return;
    CItemBase* const floating[] = {in.m_pFloatLine, in.m_pFloatLine2, in.m_pFloatLand, in.m_pFloatHole,
                                   in.m_pFloatTer,  in.m_pFloatArc,   in.m_pFloatText};
    CItemBase* first = nullptr;
    for (CItemBase* item : floating)
        if (item && !first)
            first = item;
    if (!first)
        return;
    // The floating items' layer is the layer of the selection sheet that holds them.
    int from = -1;
    for (int layer = 0; layer < LAYER_MAX && from < 0; ++layer)
        if (first->GetSheet() == document_->GetSelectionSheet(layer))
            from = layer;
    const int current = document_->GetCurrentLayer();
    CSheet* target = document_->GetCurrentSelectionSheet();
    if (from < 0 || from == current || !target)
        return;
    CSheet* source = document_->GetSelectionSheet(from);
    CDRect dirty;
    auto move = [&](auto*& item) {
        if (!item)
            return;
        using Item = std::remove_reference_t<decltype(*item)>;
        dirty |= item->GetBoundingRect();
        auto* copy = static_cast<Item*>(target->AddItem(item));
        source->DeleteItem(item);
        item = copy;
        if (item)
            dirty |= item->GetBoundingRect();
    };
    move(in.m_pFloatLine);
    move(in.m_pFloatLine2);
    move(in.m_pFloatLand);
    move(in.m_pFloatText);
    move(in.m_pFloatHole);
    move(in.m_pFloatTer);
    move(in.m_pFloatArc);
    if (!dirty.IsRectNull())
        InvalidateBoardRect(dirty);
    InvalidateAll();
}
