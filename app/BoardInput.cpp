#include "app/BoardInput.h"

#include "app/ViewPort.h"
#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kChooseCommand = "コマンドを選択してください";
constexpr const char* kRotateHint = "Rキーで回転 X,Yキーで軸反転";

bool IsInputCommand(int command)
{
    return command >= BoardInput::kLine && command <= BoardInput::kCutter;
}

} // namespace

BoardInput::BoardInput(CVELTADoc* document, ViewPort& port)
    : m_nCommand(kLine), m_nInputCommand(kLine), m_doc(document), m_port(port)
{
    // The keys the machine sends itself; the key commands register the rest.
    RegisterKey(0x1B, [this](int) {
        EndCommand();
        return true;
    });
    RegisterKeyCommands();
}

BoardInput::~BoardInput() = default;

void BoardInput::Prompt(const char* utf8)
{
    if (m_port.IsStatusBarVisible())
        m_port.SetPrompt(utf8);
}

CDPoint BoardInput::Snap(const CDPoint& point) const
{
    return m_doc ? m_doc->SnapToGrid(point, m_bSnapItem) : point;
}

CDRect BoardInput::SelectionBounds()
{
    return m_doc ? m_doc->GetItemsRect(2) : CDRect();
}

int BoardInput::CurrentWiringPos()
{
    CSheet* sheet = m_doc ? m_doc->GetCurrentBoardSheet() : nullptr;
    return sheet ? sheet->GetWLayer() : 0;
}

bool BoardInput::IsPlaneSheet(CSheet* sheet) const
{
    // The negative (plane) layer bit: no vias there.
    return sheet && (sheet->GetType() & 0x8) != 0;
}

// --- Commands ------------------------------------------------------------------------------------

void BoardInput::SaveCommand()
{
    if (m_nCommand != kRange)
        m_nSavedCommand = m_nCommand;
}

void BoardInput::RestoreCommand()
{
    m_nCommand = m_nSavedCommand;
    if (m_nCommand == 0 && m_doc && m_doc->IsSelectionEmpty())
        RestoreInputCommand();
}

void BoardInput::RestoreInputCommand()
{
    m_nCommand = m_nInputCommand;
    if (m_doc)
        m_doc->FillLayerCombo(m_nCommand == kArc || m_nCommand == kSurface || m_nCommand == kTerminal);
}

void BoardInput::OnInputCommand(int id)
{
    if (!m_doc || !IsInputCommand(id))
        return;
    if (m_bInputBusy)
        EndCommand();
    if (id != kCutter)
        m_doc->DeleteCutterPath(false);
    m_nInputCommand = id;
    m_nCommand = id;
    if (id == kLine || id == kArc || id == kSurface)
        m_doc->SetCurrentTurret(m_doc->GetDefaultLineTurret());
    else if (id == kLand)
        m_doc->SetCurrentTurret(m_doc->GetDefaultLandTurret());
    else if (id == kVia)
        m_doc->SetCurrentVia(m_doc->GetDefaultVia());
    m_doc->FillTurretCombo(id != kVia);
    m_doc->FillLayerCombo(id == kArc || id == kSurface || id == kTerminal);
    m_port.InvalidateAll();
}

void BoardInput::OnUpdateInputCommand(int id, bool& enabled, bool& checked)
{
    enabled = true;
    if (m_doc && !m_doc->IsSelectionEmpty() && m_nCommand != 0)
        enabled = false;
    if (id == kPart && m_doc && !m_doc->HasPartOnEnabled())
        enabled = false;
    if (id == kVia && m_doc && !m_doc->HasViaOnEnabled())
        enabled = false;
    if (id == kTerminal) {
        CSheet* sheet = m_doc ? m_doc->GetCurrentBoardSheet() : nullptr;
        if (!sheet || (static_cast<std::uint32_t>(sheet->GetType()) & 0x800000u) == 0)
            enabled = false;
    }
    checked = id == m_nCommand && id != kPaste;
}

void BoardInput::OnEditMove(int id)
{
    m_nCommand = id == kEditCopy ? kCopyBase : id == kAttrMove ? kAttrMove : kMoveBase;
    if (id == kAttrMove && m_doc) {
        m_doc->ResetTextSelection();
        m_doc->SetTextSelection(m_port.VisibleBoardRect());
    }
    Prompt("基準点を左クリックで指示");
}

bool BoardInput::CanSelectAll()
{
    if (!m_doc || m_bInputBusy)
        return false;
    return m_doc->CountItems(0, 0) > 0;
}

void BoardInput::OnSelectAll()
{
    if (!CanSelectAll())
        return;
    m_doc->MoveSetItems(0, 2, true, false);
    m_doc->MoveSetItems(2, 5, false, false);
    if (m_nCommand != kMoveBase && m_nCommand != kCopyBase) {
        SaveCommand();
        m_nCommand = kMoveBase;
    }
    m_port.InvalidateAll();
}

void BoardInput::EndCommand()
{
    if (!m_doc)
        return;
    DrawRubberRect(false);
    const bool hadSelection = !m_doc->IsSelectionEmpty();
    if (hadSelection) {
        if (m_nCommand == kMoveBase || m_nCommand == kMoving || m_nCommand == kCopyBase ||
            m_nCommand == kAttrMove)
            m_doc->MoveSetItems(5, 0, true, false);
        m_bShowNets = false;
        m_doc->ClearSheets(2, m_nCommand == kPaste);
        m_doc->BuildLayerLists();
        m_port.InvalidateAll();
    }
    m_pFloatLine = m_pFloatLine2 = nullptr;
    m_pFloatLand = nullptr;
    m_pFloatVia = nullptr;
    m_pFloatHole = nullptr;
    m_pFloatTer = nullptr;
    m_pFloatArc = nullptr;
    m_pFloatText = nullptr;
    m_pFloatPart = nullptr;
    m_pFloatSur = nullptr;
    if (m_nCommand == kPaste) {
        // The selection that was there before the paste comes back.
        m_doc->MoveSetItems(5, 2, true, false);
        RestoreInputCommand();
        m_bInputBusy = false;
        return;
    }
    if (m_nChainLayer != 0 && m_nSegments > 0 && m_nCommand == kLine)
        SendChainTail();
    m_nArcStep = -1;
    m_bSwitchBack = false;
    RestoreInputCommand();
    m_bInputBusy = false;
    m_nSegments = 0;
}

void BoardInput::SendChainTail()
{
    // A chain that ended on a via goes on from it on the cross layer.
    if (m_doc->GetLastUndoClass() != 5)
        return;
    m_bInputBusy = false;
    OnKeyDown('C', 0);
    m_nChainLayer = CurrentWiringPos();
    m_nLastLayer = m_doc->GetCurrentLayer();
}

// --- Keys ----------------------------------------------------------------------------------------

void BoardInput::RegisterKey(int key, KeyHandler handler)
{
    m_keys[key] = std::move(handler);
}

bool BoardInput::OnKeyDown(int key, int flags)
{
    m_port.HideTip();
    const auto found = m_keys.find(key);
    if (found == m_keys.end() || !found->second)
        return false;
    return found->second(flags);
}

bool BoardInput::OnChar(int ch, bool keypadHeld)
{
    if (ch == '+' || ch == '-' || ch == '/' || ch == ';') {
        if (!keypadHeld)
            OnKeyDown(ch, 0);
        return true;
    }
    if (ch >= '1' && ch <= '9') {
        if (!keypadHeld)
            OnKeyDown((ch & 0x0F) | 0x60, 0);
        return true;
    }
    return false;
}

// --- Hit test ------------------------------------------------------------------------------------

namespace {

constexpr int kLayerKinds[] = {KIND_TER, KIND_LAND, KIND_LINE, KIND_ARC, KIND_SUR, KIND_HOLE, KIND_TEXT};

bool ItemHolds(CItemBase* item, const CDPoint& p, bool surfaces)
{
    switch (item->GetKind()) {
    case KIND_TER:
        return static_cast<CTer*>(item)->CheckPoint(p) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckPoint(p) != 0;
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckPoint(p) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckPoint(p);
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckPoint(p, !surfaces);
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckPoint(p) != 0;
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckPoint(p) != 0;
    case KIND_VIA:
        return static_cast<CVia*>(item)->CheckPoint(p) != 0;
    default:
        return false;
    }
}

CItemBase* FindIn(CSheet& sheet, int kind, const CDPoint& p, bool surfaces, double tolerance)
{
    std::vector<CItemBase*> found;
    sheet.GetItemsIn(kind, CDRect(p, tolerance), found);
    for (CItemBase* item : found) {
        if (ItemHolds(item, p, surfaces))
            return item;
    }
    return nullptr;
}

} // namespace

CItemBase* BoardInput::HitTest(const CDPoint& point, int& layer, int mode, bool surfaces)
{
    if (!m_doc)
        return nullptr;
    const double tolerance = std::max(m_doc->GetHitTolerance(), 1e-6);
    const int set = mode == 2 ? 2 : 0;
    CSheet* viaParts = m_doc->GetSetSheet(set, LAYER_MAX);
    if (m_nCommand == kPartNumberClick) {
        if (!viaParts)
            return nullptr;
        std::vector<CItemBase*> found;
        viaParts->GetItemsIn(KIND_PART, CDRect(point, tolerance), found);
        layer = LAYER_MAX;
        return found.empty() ? nullptr : found.front();
    }
    if (mode == 11) {
        CSheet* work = m_doc->GetCurrentSelectionSheet();
        if (!work)
            return nullptr;
        for (int kind : kLayerKinds) {
            if (CItemBase* item = FindIn(*work, kind, point, surfaces, tolerance)) {
                layer = m_doc->GetCurrentLayer();
                return item;
            }
        }
        return nullptr;
    }
    if (viaParts && viaParts->GetLayer().display) {
        if (CItemBase* via = FindIn(*viaParts, KIND_VIA, point, surfaces, tolerance)) {
            layer = LAYER_MAX;
            return via;
        }
    }
    for (const auto& entry : m_doc->GetDisplayList()) {
        CSheet* sheet = m_doc->GetSetSheet(set, entry.second);
        if (!sheet)
            continue;
        for (int kind : kLayerKinds) {
            if (CItemBase* item = FindIn(*sheet, kind, point, surfaces, tolerance)) {
                layer = entry.second;
                return item;
            }
        }
    }
    if (viaParts && viaParts->GetLayer().display) {
        std::vector<CItemBase*> parts;
        viaParts->GetItemsIn(KIND_PART, CDRect(point, tolerance), parts);
        for (CItemBase* part : parts) {
            if (part->GetBoundingRect().PtInRect(point)) {
                layer = LAYER_MAX;
                return part;
            }
        }
    }
    return nullptr;
}

CSur* BoardInput::FindSurfaceUnder()
{
    CSheet* sheet = m_doc ? m_doc->GetCurrentBoardSheet() : nullptr;
    if (!sheet)
        return nullptr;
    for (POSITION pos = sheet->GetFirstItemPos(KIND_SUR); pos;) {
        auto* sur = static_cast<CSur*>(sheet->GetNextItem(KIND_SUR, pos));
        if (sur->CheckPoint(m_ptFirst, false) && !sur->GetFrameItem(m_ptFirst))
            return sur;
    }
    return nullptr;
}

int BoardInput::SelectAtPoint(const CDPoint& point)
{
    int layer = 0;
    CItemBase* item = HitTest(point, layer, 0, false);
    if (!item)
        return 0;
    m_doc->SelectItem(item, layer);
    m_port.InvalidateBoardRect(SelectionBounds());
    return m_doc->CountItems(2, 0);
}

// --- Left button ---------------------------------------------------------------------------------

void BoardInput::OnLButtonDown(int flags, CPoint point)
{
    if (m_bIgnoreLeft) {
        m_nButtonState = 0;
        return;
    }
    m_nButtonState = (flags & 0xC) == 0xC ? 3 : flags;
    m_port.CapturePointer(true);
    if ((m_nButtonState & 3) == 3) {
        m_nButtonState = 3;
        m_bZoomWindow = 0;
        if (m_nCommand > 9)
            SaveCommand();
        m_nCommand = kGesture;
    } else if (m_bZoomWindow) {
        m_bZoomWindow = 0;
        SaveCommand();
        m_nCommand = kZoomWindowDrag;
    }
    m_ptPress = point;
    m_ptPressBoard = m_port.DeviceToBoard(point);
    m_ptRubber = point;
}

void BoardInput::OnLButtonUp(int flags, CPoint point)
{
    if ((flags & MK_RBUTTON) || m_nButtonState == 0)
        return;
    m_port.CapturePointer(false);
    if (!m_doc) {
        m_nButtonState = 0;
        return;
    }
    const CDPoint unsnapped = m_port.DeviceToBoard(point);
    m_ptUnsnapped = unsnapped;
    const CDPoint board = Snap(unsnapped);
    if (m_nCommand >= 1 && m_nCommand <= 9) {
        DrawRubberRect(false);
        m_port.ZoomAction(m_nCommand, point, m_ptPress);
        m_nButtonState = 0;
        return;
    }
    if (m_nCommand == kPartNumberClick) {
        OnPartNumberClick(unsnapped, flags);
        m_nButtonState = 0;
        return;
    }
    const bool selectionEmpty = m_doc->IsSelectionEmpty();
    if (m_nArcStep < 0 && !m_bInputBusy && m_nCommand != kMoving && m_nCommand != kCopying &&
        m_nCommand != kRange && m_nCommand != kPaste && (flags & (MK_SHIFT | MK_CONTROL)) != 0) {
        SelectByClick(flags, board);
    } else if ((flags & MK_CONTROL) && (m_nCommand == kMoving || m_nCommand == kPaste)) {
        if (m_nCommand == kPaste) {
            m_doc->StoreUndo(5, 2);
            m_doc->ClearSheets(5, true);
        } else if (!m_doc->IsSelectionUnchanged()) {
            // The move so far is kept: recorded like a finished move, so that undo can bring the
            // originals back (they would otherwise be lost with the replaced-items set).
            m_doc->StoreUndo(5, 3);
            m_doc->StoreUndo(2, 5);
            m_doc->ClearSheets(5, true);
        }
        m_nCommand = kCopyBase;
        MoveStates(flags, board);
    } else if (m_nCommand == kMoveBase || m_nCommand == kMoving || m_nCommand == kCopyBase ||
               m_nCommand == kCopying) {
        MoveStates(flags, board);
    } else if (m_nCommand == kPaste) {
        DropPaste();
    } else if (m_nCommand == kRange) {
        RangeSelection(point);
    } else if (m_nCommand == kAttrMove) {
        AttrMoveClick(board);
    } else if (IsInputCommand(m_nCommand)) {
        // A click that finds the selection out of step with the busy flag places nothing.
        if (selectionEmpty == m_bInputBusy) {
            m_nButtonState = 0;
            return;
        }
        ItemInput(flags, board);
    }
    m_nButtonState = 0;
}

void BoardInput::SelectByClick(int flags, const CDPoint& point)
{
    int layer = 0;
    bool selected = false;
    if (CItemBase* hit = HitTest(point, layer, 2, false)) {
        if (flags & MK_CONTROL)
            m_doc->DeselectItem(hit, layer);
        else
            m_doc->DeselectChain(point, layer, false);
        m_port.InvalidateAll();
        if (m_doc->IsSelectionEmpty()) {
            RestoreInputCommand();
            Prompt(kChooseCommand);
        }
        return;
    }
    CItemBase* hit = HitTest(point, layer, 0, false);
    if (!hit)
        return;
    if (flags & MK_CONTROL) {
        CItemBase* copy = m_doc->SelectItem(hit, layer);
        if (copy && copy->GetKind() == KIND_LINE)
            static_cast<CLine*>(copy)->SetCheck(true);
        else if (copy && copy->GetKind() == KIND_ARC)
            static_cast<CArc*>(copy)->SetCheck(true);
        selected = copy != nullptr;
    } else if (hit->GetKind() == KIND_LINE) {
        auto* line = static_cast<CLine*>(hit);
        const CDPoint start = line->GetStartPoint();
        const CDPoint end = line->GetEndPoint();
        selected = m_doc->SelectChain(start, layer, false);
        selected = m_doc->SelectChain(end, layer, false) || selected;
    } else if (hit->GetKind() == KIND_ARC) {
        selected = m_doc->SelectChain(static_cast<CArc*>(hit)->GetStartPoint(), layer, false);
    } else {
        selected = m_doc->SelectItem(hit, layer) != nullptr;
    }
    if (selected) {
        m_ptBase = point;
        if (m_nCommand != kCopyBase)
            m_nCommand = kMoveBase;
        m_port.InvalidateAll();
    }
}

void BoardInput::MoveStates(int /*flags*/, const CDPoint& point)
{
    switch (m_nCommand) {
    case kMoveBase:
        if (m_doc->IsSelectionEmpty()) {
            RestoreInputCommand();
            return;
        }
        Prompt(kRotateHint);
        m_rcSelection = SelectionBounds();
        m_ptBase = point;
        m_ptCentre = point;
        m_bInputBusy = true;
        m_bTrackRect = m_doc->IsSelectionMarked(true) ? 0 : 1;
        m_nCommand = kMoving;
        return;
    case kMoving:
        if (!m_doc->IsSelectionUnchanged()) {
            m_doc->StoreUndo(5, 3);
            m_doc->StoreUndo(2, 5);
        }
        m_doc->MoveSetItems(2, 0, true, false);
        m_doc->ClearSheets(5, true);
        m_doc->BuildLayerLists();
        m_bInputBusy = false;
        m_port.InvalidateAll();
        RestoreInputCommand();
        return;
    case kCopyBase:
        Prompt(kRotateHint);
        m_doc->MoveSetItems(2, 0, false, false);
        m_doc->SetSelectionCheck();
        m_doc->IncrementCopyNames(1);
        m_rcSelection = SelectionBounds();
        m_ptBase = point;
        m_ptCentre = point;
        m_bInputBusy = true;
        m_nCommand = kCopying;
        m_port.InvalidateAll();
        return;
    case kCopying: {
        const CDRect bounds = SelectionBounds();
        if (point != m_ptCentre || bounds != m_rcSelection) {
            const CDSize d = point - m_ptCentre;
            m_doc->OffsetSelection(CDPoint(d.cx, d.cy), 0, false);
            m_ptCentre = point;
        }
        m_doc->StoreUndo(2, 1);
        m_doc->MoveSetItems(2, 0, false, false);
        m_doc->IncrementCopyNames(1);
        m_rcSelection = SelectionBounds();
        m_port.InvalidateAll();
        return;
    }
    default:
        return;
    }
}

void BoardInput::RangeSelection(CPoint point)
{
    DrawRubberRect(false);
    const CDPoint a = m_port.DeviceToBoard(m_ptPress);
    const CDPoint b = m_port.DeviceToBoard(point);
    CDRect rect(a, b);
    rect.NormalizeRect();
    if (!rect.IsRectEmpty())
        m_doc->SelectInRect(rect);
    if (!m_doc->IsSelectionEmpty()) {
        if (m_nCommand == kRange)
            m_nCommand = kMoveBase;
        m_port.InvalidateAll();
    } else {
        RestoreInputCommand();
        Prompt(kChooseCommand);
    }
    m_doc->FillLayerCombo(false);
}

void BoardInput::AttrMoveClick(const CDPoint& point)
{
    if (!m_bInputBusy) {
        Prompt(kRotateHint);
        m_ptBase = point;
        m_ptCentre = point;
        m_bInputBusy = true;
        return;
    }
    const CDSize d = point - m_ptCentre;
    m_doc->OffsetSelectionAttr(CDPoint(d.cx, d.cy));
    if (!m_doc->IsSelectionUnchanged()) {
        m_doc->StoreUndo(5, 3);
        m_doc->StoreUndo(2, 5);
    }
    m_doc->MoveSetItems(2, 0, true, false);
    m_doc->ClearSheets(5, true);
    m_bInputBusy = false;
    m_port.InvalidateAll();
    RestoreInputCommand();
    Prompt(kChooseCommand);
}

// --- Double click ----------------------------------------------------------------------------------

void BoardInput::OnLButtonDblClk(int flags, CPoint point)
{
    if (!m_doc || flags != MK_LBUTTON || m_nCommand == kPart || m_nCommand == kPartNumberClick)
        return;
    if ((m_nCommand == kMoveBase || m_nCommand == kMoving) && !m_doc->IsSelectionUnchanged())
        return;
    if (m_bInputBusy && !m_doc->IsSelectionEmpty()) {
        switch (m_nCommand) {
        case kLine:
        case kSurface:
            if (m_pFloatLine && m_pFloatLine->GetStartPoint() == m_pFloatLine->GetEndPoint()) {
                if (m_nSegments > 0) {
                    OnLButtonDown(MK_LBUTTON, point);
                    OnLButtonUp(MK_LBUTTON, point);
                    return;
                }
                DeleteFloatingLines();
            } else {
                return;
            }
            break;
        case kLand:
        case kVia:
        case kHole:
        case kTerminal:
            DeleteFloatingItems();
            break;
        case kArc:
            if (m_nSegments > 0)
                return;
            DeleteFloatingItems();
            m_nArcStep = -1;
            break;
        case kCutter:
            if (m_pFloatLine && m_pFloatLine->GetStartPoint() == m_pFloatLine->GetEndPoint())
                DeleteFloatingLines();
            return;
        default:
            break;
        }
    }
    m_doc->MoveSetItems(2, 0, true, false);
    if (m_nCommand == kMoving)
        RestoreInputCommand();
    const CDPoint board = m_doc->SnapToGrid(m_port.DeviceToBoard(point), false);
    m_nButtonState = 0;
    m_bInputBusy = false;
    if (SelectAtPoint(board) == 1) {
        SaveCommand();
        m_port.RunCommand(kModify);
        m_doc->MoveSetItems(2, 0, true, false);
    }
    m_port.InvalidateAll();
}

// --- Item input dispatch -----------------------------------------------------------------------------

void BoardInput::ItemInput(int flags, const CDPoint& point)
{
    switch (m_nCommand) {
    case kText:
        InputText(point);
        break;
    case kLine:
        InputLine(flags, point);
        break;
    case kLand:
        InputLand(point);
        break;
    case kPart:
        InputPart(point);
        break;
    case kVia:
        InputVia(point);
        break;
    case kHole:
        InputHole(point);
        break;
    case kTerminal:
        InputTerminal(point);
        break;
    case kArc:
        InputArc(flags, point);
        break;
    case kSurface:
        InputSurface(flags, point);
        break;
    case kCutter:
        InputCutter(m_ptUnsnapped, point);
        break;
    default:
        break;
    }
}
