// The board view's single keys: each key code has one handler that picks its row from the command
// in progress, the busy flag and the selection. Shift and Ctrl come in the flags; a held key
// repeats with kAutoRepeat.

#include "app/BoardInput.h"

#include "app/ViewPort.h"
#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Key codes of the rows.
enum : int
{
    kKeyBackspace = 0x08,
    kKeyEnter = 0x0D,
    kKeyShift = 0x10,
    kKeySpace = 0x20,
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyDelete = 0x2E,
    kKeySlash = 0x2F,
    kKeyApps = 0x5D,
    kKeyPad1 = 0x61,
    kKeyPad9 = 0x69,
    kKeyPadPlus = 0x6B,
    kKeyPadMinus = 0x6D,
    kKeyPadSlash = 0x6F,
    kKeyF5 = 0x74,
    kKeyF6 = 0x75,
    kKeyF7 = 0x76,
    kKeyF8 = 0x77,
    kKeyF11 = 0x7A,
    kKeyF14 = 0x7D,
    kKeyScrollLock = 0x91,
    kKeyOemPlus = 0xBB,
    kKeyOemMinus = 0xBD
};

// Commands the keys run elsewhere (view, frame or document).
enum : int
{
    kEditDelete = 57632,
    kMakePart = 32795,
    kLayerMove = 32809,
    kGridSettings = 32810,
    kMergeSplit = 32961,
    kDivide = 32964,
    kOffset = 32965,
    kChamferC = 32966,
    kChamferR = 32967,
    kTrim = 32968,
    kSurfaceConvert = 32971,
    kRotate = 32803
};

constexpr int kNamed = 0x1000;
constexpr int kClockwise = 0x100;
constexpr int kFloatCopy = 0x80;
constexpr int kNegativeLayer = 0x8;

CDRect Joined(CDRect a, const CDRect& b)
{
    if (a.IsRectNull())
        return b;
    if (b.IsRectNull())
        return a;
    CDRect u;
    u.UnionRect(&a, &b);
    return u;
}

bool IsItemInput(int command)
{
    return command >= BoardInput::kLine && command <= BoardInput::kCutter;
}

} // namespace

void BoardInput::SendViewCommand(int id)
{
    if (m_port.RunCommand(id) || !m_doc)
        return;
    // The view does not take the cutter edits: they are the document's.
    if (id >= kDivide && id <= kTrim && m_doc->CanCutterEdit()) {
        m_doc->OnCutterEdit(id);
        m_port.InvalidateAll();
    }
}

void BoardInput::RegisterKeyCommands()
{
    RegisterKey(kKeyBackspace, [this](int) { return KeyBackspace(); });
    RegisterKey(kKeyEnter, [this](int flags) { return KeyClick(false, flags); });
    RegisterKey(kKeyApps, [this](int flags) { return KeyClick(true, flags); });
    RegisterKey(kKeyShift, [this](int flags) { return KeyShift(flags); });
    RegisterKey(kKeySpace, [this](int flags) {
        if (flags & kAutoRepeat)
            return false;
        m_port.ToggleCaption();
        return true;
    });
    RegisterKey(kKeyPageUp, [this](int flags) { return KeyPage(true, flags); });
    RegisterKey(kKeyPageDown, [this](int flags) { return KeyPage(false, flags); });
    for (int key = kKeyLeft; key <= kKeyDown; ++key)
        RegisterKey(key, [this, key](int flags) { return KeyArrow(key, flags); });
    RegisterKey(kKeyDelete, [this](int) { return KeyDelete(); });
    RegisterKey(kKeySlash, [this](int) { return KeySlash(); });
    RegisterKey(kKeyPadSlash, [this](int) { return KeySlash(); });
    RegisterKey('A', [this](int flags) { return KeySwitchArc(flags); });
    RegisterKey('C', [this](int) { return KeyCross(); });
    RegisterKey('D', [this](int) { return KeyD(); });
    RegisterKey('E', [this](int) {
        if (!m_doc || m_bInputBusy || m_doc->CountItems(2, 0) == 0)
            return false;
        SaveCommand();
        m_port.RunCommand(kModify);
        return true;
    });
    RegisterKey('F', [this](int) {
        CSheet* sel = m_doc ? m_doc->GetCurrentSelectionSheet() : nullptr;
        if (!sel || sel->IsEmpty() || m_bInputBusy || m_nArcStep != -1)
            return false;
        m_port.RunCommand(kSurfaceConvert);
        return true;
    });
    RegisterKey('G', [this](int flags) { return KeyG(flags); });
    RegisterKey('H', [this](int) {
        SendViewCommand(kTrim);
        return true;
    });
    RegisterKey('J', [this](int) { return KeyJ(); });
    RegisterKey('L', [this](int) { return KeyL(); });
    RegisterKey('O', [this](int) { return KeyO(); });
    RegisterKey('P', [this](int) {
        if (!m_doc || m_doc->IsSelectionEmpty())
            return false;
        m_port.PostFrameCommand(kMakePart);
        return true;
    });
    RegisterKey('R', [this](int) { return KeyFlipRotate('R'); });
    RegisterKey('X', [this](int) { return KeyFlipRotate('X'); });
    RegisterKey('Y', [this](int) { return KeyFlipRotate('Y'); });
    RegisterKey('S', [this](int) {
        m_port.PostFrameCommand(kMergeSplit);
        return true;
    });
    RegisterKey('T', [this](int) {
        m_bSnapItem = !m_bSnapItem;
        return true;
    });
    RegisterKey('W', [this](int) { return KeyW(); });
    for (int key = kKeyPad1; key <= kKeyPad9; ++key)
        RegisterKey(key, [this, key](int) { return KeyTextOrigin(key); });
    // '+' and '-' from either keyboard; the main keyboard's come as their characters.
    for (int key : {static_cast<int>('+'), static_cast<int>(kKeyPadPlus), static_cast<int>(kKeyOemPlus)})
        RegisterKey(key, [this](int) { return KeyPlusMinus(1); });
    for (int key : {static_cast<int>('-'), static_cast<int>(kKeyPadMinus), static_cast<int>(kKeyOemMinus)})
        RegisterKey(key, [this](int) { return KeyPlusMinus(-1); });
    RegisterKey(kKeyF5, [this](int flags) { return KeyDimension(flags); });
    RegisterKey(kKeyF6, [this](int flags) { return KeyArrowHeads(1, flags); });
    RegisterKey(kKeyF7, [this](int flags) { return KeyArrowHeads(2, flags); });
    RegisterKey(kKeyF8, [this](int) { return KeyPick(); });
    RegisterKey(kKeyF11, [this](int) { return KeyNets(); });
    // The auto-pan switch is the program's own; the keyboard's lock state is not read.
    for (int key : {static_cast<int>(kKeyF14), static_cast<int>(kKeyScrollLock)}) {
        RegisterKey(key, [this](int) {
            m_bAutoPan = !m_bAutoPan;
            if (!m_bAutoPan && m_bPanTimer) {
                m_port.KillTimer(ViewPort::kPanTimer);
                m_bPanTimer = false;
            }
            m_port.ShowStatusText(m_ptCursor);
            return true;
        });
    }
}

// --- Backspace, Enter, Shift, pages, arrows, Delete --------------------------------------------------

bool BoardInput::KeyBackspace()
{
    if (!m_doc || m_nSegments == 0)
        return false;
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    const bool holds = sel && !sel->IsEmpty();
    if (holds && (m_nCommand == kLine || m_nCommand == kSurface)) {
        for (CLine** line : {&m_pFloatLine2, &m_pFloatLine}) {
            if (*line) {
                m_port.InvalidateBoardRect((*line)->GetBoundingRect());
                m_doc->DeleteSelectedItem(*line);
                *line = nullptr;
            }
        }
        StepBackSegment();
        return true;
    }
    if (holds && m_nCommand == kArc) {
        CItemBase* floating = (m_nArcStep == 2 || m_nArcStep == 4) ? static_cast<CItemBase*>(m_pFloatArc)
                                                                   : static_cast<CItemBase*>(m_pFloatLine);
        if (floating) {
            m_port.InvalidateBoardRect(floating->GetBoundingRect());
            m_doc->DeleteSelectedItem(floating);
        }
        if (floating == m_pFloatArc)
            m_pFloatArc = nullptr;
        else
            m_pFloatLine = nullptr;
        StepBackSegment();
        return true;
    }
    CSheet* path = m_doc->GetSelectionSheet(LAYER_MAX);
    if (!holds && m_nCommand == kCutter && path && path->GetCount(kLine) > 0) {
        for (CLine** line : {&m_pFloatLine2, &m_pFloatLine}) {
            if (*line) {
                m_port.InvalidateBoardRect((*line)->GetBoundingRect());
                path->DeleteLine(**line);
                *line = nullptr;
            }
        }
        StepBackSegment();
        return true;
    }
    return false;
}

bool BoardInput::KeyClick(bool right, int flags)
{
    // A click of the button at the cursor, with the modifiers held now.
    const int mods = flags & (MK_SHIFT | MK_CONTROL);
    const CPoint at = m_port.CursorPoint();
    if (right) {
        OnRButtonDown(MK_RBUTTON | mods, at);
        OnRButtonUp(mods, at);
    } else {
        OnLButtonDown(MK_LBUTTON | mods, at);
        OnLButtonUp(mods, at);
    }
    return true;
}

bool BoardInput::KeyShift(int flags)
{
    if (!m_bInputBusy)
        return false;
    if (m_nCommand == kArc && m_nArcStep >= 0 && m_nArcStep % 2 == 0 && m_pFloatArc) {
        if (std::fabs(m_pFloatArc->GetStartAngle() - m_pFloatArc->GetEndAngle()) >= 0.001) {
            const CDRect before = m_pFloatArc->GetBoundingRect();
            m_pFloatArc->SetCircle();
            if (m_pFloatArc->GetType() & 0x4000)
                m_pFloatArc->ChangeDimension();
            m_port.InvalidateBoardRect(Joined(before, m_pFloatArc->GetBoundingRect()));
        }
        m_port.ShowStatusText(m_ptCursor);
        return true;
    }
    // A held Shift repeats: the coordinates switch once per press.
    if (!(flags & kAutoRepeat))
        m_port.ToggleRelative();
    m_port.ShowStatusText(m_ptCursor);
    return true;
}

bool BoardInput::KeyPage(bool up, int flags)
{
    if (!m_doc)
        return false;
    if (!(flags & MK_SHIFT)) {
        const double step = 1.0 + m_port.ZoomPercent() * 0.01;
        const double scale = m_doc->GetCoordScale();
        // The zoom point is the cursor in whole logical units.
        const CDPoint at(std::trunc(m_ptCursor.x * scale) / scale, std::trunc(m_ptCursor.y * scale) / scale);
        m_port.ZoomAtBoard(at, up ? step : 1.0 / step);
        m_port.ViewChanged();
        RemapRubberPoints();
        return true;
    }
    if (m_nCommand == kSurface && m_nSegments >= 1)
        return true;
    m_doc->StepSelectionNumbers(up ? 1 : 0, (flags & MK_CONTROL) != 0);
    if (!m_doc->IsSelectionEmpty())
        m_rcSelection = SelectionBounds();
    if (!(flags & MK_CONTROL)) {
        switch (m_nCommand) {
        case kLine:
        case kLand:
        case kPart:
        case kArc:
        case kVia:
        case kSurface:
        case kCutter:
            m_doc->StepToolCombo(up, m_nCommand == kVia);
            break;
        default:
            break;
        }
    }
    m_port.ShowStatusText(m_ptCursor);
    return true;
}

bool BoardInput::KeyArrow(int key, int flags)
{
    if (!m_doc)
        return false;
    const bool attr = m_nCommand == kAttrMove;
    const tagGRID grid = attr ? m_doc->GetGrid(m_doc->GetAttrGrid()) : m_doc->GetGrid(-1);
    const bool horizontal = key == kKeyLeft || key == kKeyRight;
    double step = horizontal ? grid.xPitch : grid.yPitch;
    if (flags & MK_SHIFT)
        step *= m_port.LineDivision();
    auto snap = [this, attr](const CDPoint& p) {
        return attr ? m_doc->SnapAttrPoint(p, false) : m_doc->SnapToGrid(p, false);
    };
    const CDPoint p = snap(m_ptCursor);
    m_port.MoveCursorToBoard(m_ptCursor);
    const double sign = (key == kKeyRight || key == kKeyUp) ? 1.0 : -1.0;
    if (horizontal)
        m_ptCursor.x = p.x + sign * step;
    else
        m_ptCursor.y = p.y + sign * step;
    // The cursor stays on the board.
    const CDSize board = m_doc->GetBoardSize();
    double& c = horizontal ? m_ptCursor.x : m_ptCursor.y;
    const double limit = horizontal ? board.cx : board.cy;
    if (c > limit || c < 0.0) {
        c = c > limit ? limit : 0.0;
        m_ptCursor = snap(m_ptCursor);
    }
    if (m_port.MoveCursorToBoard(m_ptCursor)) {
        m_port.ShowStatusText(m_ptCursor);
        return true;
    }
    DrawCrosshair(false);
    DrawRubberRect(false);
    m_port.ScrollByBoard(horizontal ? sign * step : 0.0, horizontal ? 0.0 : sign * step);
    m_port.ViewChanged();
    RemapRubberPoints();
    m_port.ShowStatusText(m_ptCursor);
    return true;
}

bool BoardInput::KeyDelete()
{
    if (!m_doc || m_doc->CountItems(2, 0) == 0)
        return false;
    // Not while an item floats or a move or copy runs.
    if (IsItemInput(m_nCommand) || m_nCommand == kMoving || m_nCommand == kCopying)
        return false;
    m_port.RunCommand(kEditDelete);
    return true;
}

// --- Locks: L, / and + -----------------------------------------------------------------------------

bool BoardInput::KeySlash()
{
    if (m_nCommand != kLine || m_nLockMode == 0)
        return false;
    m_nLockMode = 2;
    OnKeyDown('L', 0);
    return true;
}

bool BoardInput::KeyL()
{
    if (!m_doc)
        return false;
    if (!m_bInputBusy && m_nCommand == kMoveBase) {
        m_port.RunCommand(kLayerMove);
    } else if (m_bInputBusy && (m_nCommand == kLine || m_nCommand == kSurface)) {
        LockFloatingSegment();
    } else {
        LockArcs();
    }
    m_ptCursor = m_ptEnd;
    m_port.ShowStatusText(m_ptCursor);
    return true;
}

void BoardInput::LockFloatingSegment()
{
    m_nLockMode = m_nLockMode >= 2 ? 0 : m_nLockMode + 1;
    if (!m_pFloatLine)
        return;
    // The bend from the cursor end under the new lock.
    switch (m_nLockMode) {
    case 1:
        m_ptEnd = m_pFloatLine->LockPoint(m_ptPrev2);
        break;
    case 2:
        m_ptEnd = m_ptPrev2;
        if (std::fabs(m_ptPrev2.y - m_ptCentre.y) <= std::fabs(m_ptPrev2.x - m_ptCentre.x))
            m_ptEnd.y = m_ptCentre.y;
        else
            m_ptEnd.x = m_ptCentre.x;
        break;
    default:
        m_ptEnd = m_ptPrev2;
        break;
    }
    CDRect dirty = m_pFloatLine->GetBoundingRect();
    if (m_pFloatLine2) {
        dirty = Joined(dirty, m_pFloatLine2->GetBoundingRect());
        m_pFloatLine2->SetStartPoint(m_ptEnd);
        dirty = Joined(dirty, m_pFloatLine2->GetBoundingRect());
    }
    m_ptPrev = m_ptEnd;
    m_pFloatLine->SetEndPoint(m_ptEnd);
    if (m_pFloatLine->GetType() & kNamed)
        m_pFloatLine->SetDimension(m_doc->GetDimensionStyle());
    m_port.InvalidateBoardRect(Joined(dirty, m_pFloatLine->GetBoundingRect()));
}

void BoardInput::LockArcs()
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!sel || sel->GetCount(kArc) == 0)
        return;
    m_nLockMode = m_nLockMode >= 2 ? 0 : m_nLockMode + 1;
    if (m_nCommand == kArc) {
        if (!m_pFloatArc)
            return;
        const CDRect before = m_pFloatArc->GetBoundingRect();
        const double end = m_pFloatArc->GetEndAngle();
        m_pFloatArc->SetEndAngle(m_ptEnd, m_nLockMode);
        if (m_pFloatArc->GetEndAngle() != end)
            m_port.InvalidateBoardRect(Joined(before, m_pFloatArc->GetBoundingRect()));
        return;
    }
    for (POSITION pos = sel->GetFirstArcPos(); pos;) {
        CArc* arc = sel->GetNextArc(pos);
        // One end selected: that end follows the lock.
        if (!arc->CheckEdge())
            continue;
        const CDRect before = arc->GetBoundingRect();
        arc->Offset(m_ptEnd, m_nLockMode);
        m_port.InvalidateBoardRect(Joined(before, arc->GetBoundingRect()));
    }
}

bool BoardInput::KeyPlusMinus(int step)
{
    if (!m_doc)
        return false;
    if (m_nCommand == kPartNumberClick) {
        m_ref.number = std::max(0, m_ref.number + step);
        m_port.ShowStatusText(m_ptCursor);
        return true;
    }
    if (step > 0 && m_nCommand == kLine) {
        // 0 and 2 become 1, 1 becomes 2.
        if (m_nLockMode == 2)
            m_nLockMode = 0;
        OnKeyDown('L', 0);
        return true;
    }
    m_doc->IncrementCopyNames(step);
    if (m_bTrackRect)
        m_rcSelection = SelectionBounds();
    return true;
}

// --- A, C, D ---------------------------------------------------------------------------------------

bool BoardInput::KeySwitchArc(int flags)
{
    if (!m_doc || !m_bInputBusy)
        return false;
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!sel)
        return false;
    m_bSwitchBack = !(flags & MK_SHIFT);
    if (m_nCommand == kLine || m_nCommand == kSurface) {
        m_bShowNets = false;
        if (m_pFloatLine)
            m_port.InvalidateBoardRect(m_pFloatLine->GetBoundingRect());
        if (m_pFloatLine2)
            m_port.InvalidateBoardRect(m_pFloatLine2->GetBoundingRect());
        // The floating pair goes; a radius line from the anchor to the bend floats instead.
        m_doc->ClearSheets(2, false);
        m_pFloatLine2 = nullptr;
        m_pFloatLine = sel->NewLine(m_ptCentre, m_ptEnd, 0, 0);
        if (m_pFloatLine)
            m_port.InvalidateBoardRect(m_pFloatLine->GetBoundingRect());
        m_nArcStep = 3;
        m_nInputCommand = m_nCommand;
        m_nCommand = kArc;
        return true;
    }
    if (m_nCommand != kArc || m_nArcStep != 3 || !m_pFloatLine)
        return false;
    m_pFloatLine->SetTurretNo(m_doc->GetCurrentTurret());
    CLine copy(*m_pFloatLine);
    copy.SetStartPoint(m_ptEnd);
    copy.ModifyType(kFloatCopy, 0);
    m_pFloatLine2 = sel->NewLine(copy);
    m_nArcStep = -1;
    m_bShowNets = false;
    m_ptPrev = m_ptPrev2 = m_ptEnd;
    m_nCommand = (m_nInputCommand == kLine || m_nInputCommand == kSurface) ? m_nInputCommand : kLine;
    m_nInputCommand = kArc;
    m_port.InvalidateBoardRect(m_pFloatLine->GetBoundingRect());
    // One step back and L forward again: the lock stays and applies to the new segment.
    m_nLockMode = m_nLockMode == 0 ? 2 : m_nLockMode - 1;
    OnKeyDown('L', 0);
    return true;
}

bool BoardInput::CutterChamfer(int commandId)
{
    m_doc->SelectCutterTargets(1);
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    const int n = sel ? sel->GetItemCount() : 0;
    if (sel)
        sel->DeleteContents();
    if (n >= 2) {
        SendViewCommand(commandId);
        return true;
    }
    return false;
}

bool BoardInput::KeyCross()
{
    if (!m_doc)
        return false;
    CSheet* path = m_doc->GetBoardSheet(LAYER_MAX);
    if (m_nCommand == kCutter && path && path->GetCount(kLine) > 0) {
        if (!CutterChamfer(kChamferC)) {
            m_doc->SwitchToCrossLayer();
            m_doc->FillLayerCombo(false);
            m_port.InvalidateAll();
        }
        return true;
    }
    if (m_bInputBusy && m_nCommand != kLine && m_nCommand != kLand && m_nCommand != kText &&
        m_nCommand != kArc && m_nCommand != kHole && m_nCommand != kTerminal)
        return false;
    // A floating pair goes over to the cross layer with the input.
    const bool pair = m_bInputBusy && m_pFloatLine && m_nCommand == kLine;
    const CDPoint anchor = m_ptCentre;
    const int turret = pair ? m_pFloatLine->GetTurretNo() : 0;
    if (pair)
        DeleteFloatingLines();
    m_doc->SwitchToCrossLayer();
    m_doc->FillLayerCombo(false);
    if (pair)
        StartFloatingPair(anchor, turret);
    m_port.InvalidateAll();
    return true;
}

bool BoardInput::KeyD()
{
    if (!m_doc)
        return false;
    if (m_nCommand == kLine || m_nCommand == kSurface) {
        // Bend flip: the corner goes to the other side of the segment.
        if (!m_bInputBusy || m_nLockMode == 0 || m_ptEnd == m_ptPrev2 || !m_pFloatLine || !m_pFloatLine2)
            return false;
        CDRect dirty = Joined(m_pFloatLine->GetBoundingRect(), m_pFloatLine2->GetBoundingRect());
        const CDSize d = m_ptPrev2 - m_ptEnd;
        const CDPoint bend(m_ptCentre.x + d.cx, m_ptCentre.y + d.cy);
        m_ptPrev = bend;
        m_pFloatLine->SetEndPoint(bend);
        if (m_pFloatLine->GetType() & kNamed)
            m_pFloatLine->SetDimension(m_doc->GetDimensionStyle());
        m_pFloatLine2->SetStartPoint(bend);
        m_ptEnd = bend;
        dirty = Joined(dirty, Joined(m_pFloatLine->GetBoundingRect(), m_pFloatLine2->GetBoundingRect()));
        m_port.InvalidateBoardRect(dirty);
        m_port.ShowStatusText(m_ptCursor);
        return true;
    }
    if (m_nCommand == kArc) {
        if (!m_bInputBusy || m_nArcStep < 0 || m_nArcStep % 2 != 0 || !m_pFloatArc)
            return false;
        const CDRect before = m_pFloatArc->GetBoundingRect();
        m_pFloatArc->ModifyType(~m_pFloatArc->GetType() & kClockwise, kClockwise);
        m_nArcDirection = m_pFloatArc->GetType() & kClockwise;
        if (m_pFloatArc->GetType() & kNamed)
            m_pFloatArc->ChangeDimension();
        m_port.InvalidateBoardRect(Joined(before, m_pFloatArc->GetBoundingRect()));
        return true;
    }
    if (m_nCommand == kCutter) {
        SendViewCommand(kDivide);
        return true;
    }
    if (m_doc->CountItems(2, kArc) == 0)
        return false;
    m_rcSelection = CDRect();
    ForSelectedLinesAndArcs(true, [](CItemBase* item) {
        auto* arc = static_cast<CArc*>(item);
        arc->ModifyType(~arc->GetType() & kClockwise, kClockwise);
        if (arc->GetType() & kNamed)
            arc->ChangeDimension();
    });
    return true;
}

void BoardInput::ForSelectedLinesAndArcs(bool arcsOnly, const std::function<void(CItemBase*)>& f)
{
    CDRect old;
    for (const auto& entry : m_doc->GetEnableList()) {
        CSheet* sheet = m_doc->GetSelectionSheet(entry.second);
        if (!sheet || sheet->IsEmpty())
            continue;
        old = Joined(old, sheet->GetBoundingRect());
        for (int kind : {KIND_LINE, KIND_ARC}) {
            if (arcsOnly && kind == KIND_LINE)
                continue;
            for (POSITION pos = sheet->GetFirstItemPos(kind); pos;) {
                CItemBase* item = sheet->GetNextItem(kind, pos);
                f(item);
                item->ResetBounding();
                m_rcSelection = Joined(m_rcSelection, item->GetBoundingRect());
            }
        }
        sheet->InvalidateIndex();
    }
    m_port.InvalidateBoardRect(Joined(old, m_rcSelection));
}

// --- G, J, O, W --------------------------------------------------------------------------------------

bool BoardInput::KeyG(int flags)
{
    if (!m_doc)
        return false;
    CSheet* vias = m_doc->GetSelectionSheet(LAYER_MAX);
    if ((flags & (MK_SHIFT | MK_CONTROL)) && vias && vias->GetCount(kVia) > 0) {
        // The plane layer nearest the bottom (Shift) or the top (Ctrl) of the wiring list.
        const int count = m_doc->GetWireLayerCount();
        int found = 0;
        for (int i = 1; i <= count && found == 0; ++i) {
            const int pos = (flags & MK_SHIFT) ? count + 1 - i : i;
            CSheet* sheet = m_doc->GetBoardSheet(m_doc->GetWireLayer(pos));
            if (sheet && (sheet->GetType() & kNegativeLayer))
                found = pos;
        }
        if (found == 0)
            return true;
        for (POSITION pos = vias->GetFirstViaPos(); pos;) {
            CVia* via = vias->GetNextVia(pos);
            const CDRect before = via->GetBoundingRect();
            via->InvertWire(found);
            via->ResetBounding();
            m_port.InvalidateBoardRect(Joined(before, via->GetBoundingRect()));
        }
        // Not undoable, but the board did change.
        m_doc->SetModifiedFlag(true);
        return true;
    }
    m_doc->OnToolBarDropDown(kGridSettings);
    return true;
}

bool BoardInput::KeyJ()
{
    if (!m_doc)
        return false;
    const CDPoint point = m_doc->SnapToGrid(m_ptCursor, m_bSnapItem);
    int layer = 0;
    CItemBase* hit = HitTest(point, layer, 0, false);
    if (!hit)
        return true;
    CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
    if (!board)
        return true;
    if (hit->GetKind() == KIND_VIA) {
        auto* via = static_cast<CVia*>(hit);
        const CDRect rect = via->GetBoundingRect();
        m_doc->StoreUndoForItem(via, 2);
        const CVia gone(*via);
        if (m_pFloatVia == via)
            m_pFloatVia = nullptr;
        board->DeleteVia(gone);
        m_port.InvalidateBoardRect(rect);
    } else if (m_doc->CanPlaceVia(point, true)) {
        m_pFloatVia =
            board->NewVia(point, m_doc->GetCurrentVia(), static_cast<int>(m_doc->GetViaLayerMask()));
        if (m_pFloatVia) {
            m_doc->StoreUndoForItem(m_pFloatVia, 1);
            m_port.InvalidateBoardRect(m_pFloatVia->GetBoundingRect());
        }
    } else {
        return true;
    }
    if (m_bShowNets)
        m_doc->MakeRubberLines();
    return true;
}

bool BoardInput::KeyO()
{
    if (!m_doc)
        return false;
    if (m_nCommand == kCutter) {
        SendViewCommand(kOffset);
        return true;
    }
    CSheet* viaParts = m_doc->GetSelectionSheet(LAYER_MAX);
    if (m_doc->CountItems(2, 0) != 1 || !viaParts || viaParts->GetCount(kPart) != 1)
        return false;
    CPart* part = viaParts->GetHeadPart();
    m_pFloatPart = part;
    if (!part || (part->GetType() & 0x80))
        return true;
    const int layer = m_doc->PartLayerToLayer(0x2000000, (part->GetType() & 0x10) == 0, false);
    // GetNextOrg moves the part's origin to the next point: read the origin first.
    const CDPoint origin = part->GetOrg();
    const CDPoint next = part->GetNextOrg(layer);
    const CDSize offset = origin - next;
    const CDRect before = part->GetBoundingRect();
    part->Offset(CDPoint(offset.cx, offset.cy), false);
    m_rcSelection.OffsetRect(offset.cx, offset.cy);
    m_port.InvalidateBoardRect(Joined(before, part->GetBoundingRect()));
    return true;
}

bool BoardInput::KeyW()
{
    if (!m_doc)
        return false;
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    CSheet* board = m_doc->GetCurrentBoardSheet();
    if (!sel || !board || sel->IsEmpty() || m_bInputBusy || m_nArcStep != -1 ||
        sel->GetCount(kSurface) != sel->GetItemCount())
        return false;
    // before: the selection and the containers as they were; after: the containers with windows.
    CSheet before(SHEET_WORK);
    CSheet after(SHEET_WORK);
    before = *sel;
    // t holds r when their union is t itself.
    auto contains = [](CSur* outer, CDRect r) {
        CDRect t = outer->GetBoundingRect();
        CDRect u;
        u.UnionRect(&t, &r);
        return u == t;
    };
    std::vector<CSur> skipped;
    for (POSITION pos = sel->GetFirstSurPos(); pos;) {
        CSur* s = sel->GetNextSur(pos);
        const CDRect r = s->GetBoundingRect();
        CSur* target = nullptr;
        for (POSITION p = after.GetFirstSurPos(); p && !target;) {
            CSur* t = after.GetNextSur(p);
            if (contains(t, r))
                target = t;
        }
        if (!target) {
            CSur* container = nullptr;
            for (POSITION p = board->GetFirstSurPos(); p && !container;) {
                CSur* t = board->GetNextSur(p);
                if (contains(t, r))
                    container = t;
            }
            if (!container) {
                skipped.push_back(*s);
                continue;
            }
            before.NewSur(*container);
            target = after.NewSur(*container);
            const CSur gone(*container);
            m_port.InvalidateBoardRect(container->GetBoundingRect());
            board->DeleteSur(gone);
        }
        if (target) {
            target->NewWindow(*s);
            target->ResetBounding();
        }
    }
    if (after.IsEmpty())
        return true;
    // A surface that fits in no other one is not lost: it goes back to the board as it was, so
    // the step only holds the surfaces that became windows and their containers.
    for (const CSur& sur : skipped)
        before.DeleteSur(sur);
    m_doc->StoreUndoForItem(&before, 3);
    m_doc->StoreUndoForItem(&after, 5);
    m_port.InvalidateBoardRect(after.GetBoundingRect());
    *board += after;
    m_doc->ClearSheets(2, false);
    for (const CSur& sur : skipped)
        board->NewSur(sur);
    m_pFloatSur = nullptr;
    RestoreInputCommand();
    m_port.InvalidateAll();
    return true;
}

// --- R, X, Y; keypad; F5 to F11 -----------------------------------------------------------------------

bool BoardInput::KeyFlipRotate(int key)
{
    if (!m_doc)
        return false;
    if (key == 'R' && m_nCommand == kCutter) {
        CSheet* path = m_doc->GetBoardSheet(LAYER_MAX);
        if (path && path->GetCount(kLine) > 0 && CutterChamfer(kChamferR))
            return true;
    }
    if (m_doc->CountItems(2, 0) == 0 || m_nCommand == kLine || m_nCommand == kArc || m_nCommand == kSurface)
        return false;
    m_port.RunCommand(key == 'R'   ? static_cast<int>(kRotate)
                      : key == 'X' ? static_cast<int>(kFlipX)
                                   : static_cast<int>(kFlipY));
    return true;
}

bool BoardInput::KeyTextOrigin(int key)
{
    if (!m_doc || m_nCommand == kTerminal)
        return false;
    const CDRect old = SelectionBounds();
    const int also = m_nCommand == kAttrMove ? 1 : 0;
    for (const auto& entry : m_doc->GetDisplayList()) {
        CSheet* sheet = m_doc->GetSelectionSheet(entry.second);
        if (sheet && !sheet->IsEmpty() && sheet != m_doc->GetSelectionSheet(LAYER_MAX)) {
            sheet->ChangeTextOrg(key, also);
            sheet->InvalidateIndex();
        }
    }
    if (CSheet* viaParts = m_doc->GetSelectionSheet(LAYER_MAX)) {
        viaParts->ChangeTextOrg(key, also);
        viaParts->InvalidateIndex();
    }
    m_doc->ResetPartBoundRects(2);
    m_rcSelection = SelectionBounds();
    m_port.InvalidateBoardRect(Joined(old, m_rcSelection));
    return true;
}

bool BoardInput::KeyDimension(int flags)
{
    if (!m_doc)
        return false;
    const tagDIMS style = m_doc->GetDimensionStyle();
    const bool shift = (flags & MK_SHIFT) != 0;
    auto toggle = [&style, shift](CItemBase* item) {
        if (item->GetKind() == KIND_LINE) {
            auto* line = static_cast<CLine*>(item);
            if (line->GetType() & kNamed) {
                line->ModifyType(0, 0x7000);
            } else {
                line->ModifyType(shift ? 0x5000 : 0x3000, shift ? 0x2000 : 0x4000);
                line->SetDimension(style);
            }
        } else if (item->GetKind() == KIND_ARC) {
            auto* arc = static_cast<CArc*>(item);
            if (arc->GetType() & kNamed) {
                arc->ModifyType(0, 0x5000);
            } else {
                arc->ModifyType(0x5000, 0);
                arc->SetDimension(style);
            }
        }
    };
    if (m_bInputBusy && (m_nCommand == kLine || m_nCommand == kArc)) {
        CItemBase* item = m_pFloatLine;
        if (m_nCommand == kArc && (m_nArcStep == 2 || m_nArcStep == 4))
            item = m_pFloatArc;
        if (!item)
            return false;
        const CDRect before = item->GetBoundingRect();
        toggle(item);
        item->ResetBounding();
        if (m_nCommand == kLine)
            m_rcSelection = item->GetBoundingRect();
        m_port.InvalidateBoardRect(Joined(before, item->GetBoundingRect()));
        return true;
    }
    if (m_nCommand == kArc || m_nCommand == kSurface ||
        m_doc->CountItems(2, kLine) + m_doc->CountItems(2, kArc) == 0)
        return false;
    ForSelectedLinesAndArcs(false, toggle);
    return true;
}

bool BoardInput::KeyArrowHeads(int which, int flags)
{
    if (!m_doc)
        return false;
    const tagDIMS style = m_doc->GetDimensionStyle();
    const bool dot = (flags & MK_SHIFT) != 0;
    auto set = [&style, which, dot](CItemBase* item) {
        if (item->GetKind() == KIND_LINE)
            static_cast<CLine*>(item)->SetArrow(which, style, dot);
        else if (item->GetKind() == KIND_ARC)
            static_cast<CArc*>(item)->SetArrow(which, style, dot);
    };
    if (m_bInputBusy && m_nCommand == kLine && m_pFloatLine) {
        const CDRect before = m_pFloatLine->GetBoundingRect();
        set(m_pFloatLine);
        m_pFloatLine->ResetBounding();
        m_port.InvalidateBoardRect(Joined(before, m_pFloatLine->GetBoundingRect()));
        return true;
    }
    if (m_nCommand == kArc) {
        if (!m_bInputBusy || m_nArcStep < 0 || m_nArcStep % 2 != 0 || !m_pFloatArc)
            return false;
        const CDRect before = m_pFloatArc->GetBoundingRect();
        set(m_pFloatArc);
        m_pFloatArc->ResetBounding();
        m_port.InvalidateBoardRect(Joined(before, m_pFloatArc->GetBoundingRect()));
        return true;
    }
    if (m_nCommand == kSurface || m_doc->CountItems(2, kLine) + m_doc->CountItems(2, kArc) == 0)
        return false;
    ForSelectedLinesAndArcs(false, set);
    return true;
}

bool BoardInput::KeyPick()
{
    if (!m_doc)
        return false;
    const bool empty = m_doc->IsSelectionEmpty();
    if (m_nCommand == kRange && empty)
        return false;
    if (!empty) {
        if (m_bInputBusy)
            return false;
        OnEditMove(kAttrMove);
        const CPoint at = m_port.BoardToDevice(m_rcPick.CenterPoint());
        OnLButtonDown(MK_LBUTTON, at);
        OnLButtonUp(0, at);
        return true;
    }
    // The pick square: 10 pixels round the cursor, never left of or above the client area.
    const CPoint c = m_port.CursorPoint();
    const CPoint a(std::max(0, c.x - 10), std::max(0, c.y - 10));
    const CPoint b(c.x + 10, c.y + 10);
    const CDPoint p = m_port.DeviceToBoard(a);
    const CDPoint q = m_port.DeviceToBoard(b);
    m_rcPick = CDRect(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y));
    m_doc->SelectTextsInRect(m_rcPick);
    if (m_doc->IsSelectionEmpty())
        return true;
    if (m_nCommand != kAttrMove) {
        SaveCommand();
        m_nCommand = kAttrMove;
    }
    m_ptCentre = m_ptBase = m_doc->SnapAttrPoint(m_ptCursor, false);
    m_bInputBusy = true;
    m_doc->ResetTextSelection();
    m_doc->SetTextSelection(m_rcPick);
    Prompt("Rキーで回転 X,Yキーで軸反転");
    m_port.InvalidateAll();
    return true;
}

bool BoardInput::KeyNets()
{
    if (!m_doc || !m_doc->IsNetsOn())
        return false;
    if (m_bShowNets) {
        m_port.InvalidateBoardRect(m_doc->GetRubberRect());
        m_bShowNets = false;
        return true;
    }
    m_doc->MakeRubberLines();
    if (m_doc->GetRubberRect().IsRectEmpty())
        return true;
    m_bShowNets = true;
    m_port.InvalidateBoardRect(m_doc->GetRubberRect());
    return true;
}
