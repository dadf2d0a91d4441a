// The mouse move (edge pan, crosshair, gestures, range drag, floating items, tips, wiggle lock),
// the right and middle buttons, the wheel, the focus guard and the timers of the input machine.

#include "app/BoardInput.h"

#include "app/ViewPort.h"
#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Profile.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
// A left drag further than this (pixels, in x or y) starts range selection.
constexpr int kDragSlop = 8;

struct GestureMode
{
    int mode;
    const char* prompt;
};

// The internal mode of a two-button drag by the offset from the press.
GestureMode GestureFor(int dx, int dy)
{
    if (dx < -10) {
        if (dy < -20)
            return {1, "拡大表示します"};
        if (dy > 20)
            return {2, "縮小表示します"};
        return {4, "前回の表示状態にします"};
    }
    if (dx > 10) {
        if (dy < -20)
            return {5, "図面の全体を表示します（全体表示中は前回の画面を表示します）"};
        if (dy > 20)
            return {7, "表示範囲を指定します"};
        return {9, "ズーム操作を取り消します"};
    }
    return {8, "図面のセンター移動"};
}

bool Inside(const CRect& r, CPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

CDRect Union(CDRect a, const CDRect& b)
{
    CDRect u;
    u.UnionRect(&a, &b);
    return u;
}

} // namespace

// --- XOR figures -------------------------------------------------------------------------------------

void BoardInput::DrawCrosshair(bool show, CPoint at)
{
    if (m_bCrosshair) {
        m_port.ToggleCrosshair(m_ptCrosshair);
        m_bCrosshair = false;
    }
    if (show && m_port.IsCrosshairUsed() && Inside(m_port.ClientRect(), at)) {
        m_ptCrosshair = at;
        m_port.ToggleCrosshair(at);
        m_bCrosshair = true;
    }
}

void BoardInput::DrawRubberRect(bool show, CPoint to)
{
    if (m_bRubberRect) {
        m_port.ToggleRubberRect(m_rcRubber);
        m_bRubberRect = false;
    }
    if (!show || (m_nCommand != kRange && m_nCommand != kZoomWindowDrag))
        return;
    if (!Inside(m_port.ClientRect(), to))
        return;
    m_ptRubber = to;
    m_rcRubber = CRect(std::min(m_ptPress.x, to.x), std::min(m_ptPress.y, to.y), std::max(m_ptPress.x, to.x),
                       std::max(m_ptPress.y, to.y));
    m_port.ToggleRubberRect(m_rcRubber);
    m_bRubberRect = true;
}

void BoardInput::RemapRubberPoints()
{
    const bool picking = m_nCommand >= 1 && m_nCommand <= 9;
    if (!((m_nCommand == kRange && !m_bInputBusy) || picking))
        return;
    const bool shown = m_bRubberRect;
    DrawRubberRect(false);
    // The fixed corner stays on its board point; the moving one follows the cursor.
    m_ptPress = m_port.BoardToDevice(m_ptPressBoard);
    if (shown)
        DrawRubberRect(true, m_ptRubber);
}

void BoardInput::OnEraseBackground()
{
    DrawCrosshair(false);
    DrawRubberRect(false);
}

// --- Mouse move ----------------------------------------------------------------------------------------

void BoardInput::OnMouseMove(int flags, CPoint point)
{
    if (!Inside(m_port.ClientRect(), point) && m_nButtonState == 0)
        return;
    if (EdgePan(flags, point))
        return;
    DrawCrosshair(true, point);
    const CDPoint unsnapped = m_port.DeviceToBoard(point);
    m_ptCursor = unsnapped;
    m_port.ShowStatusText(m_ptCursor);
    if (m_port.IsStatusBarVisible()) {
        if (m_bZoomWindow) {
            Prompt("ズーム表示の開始位置を左クリックで指示");
            return;
        }
        if (m_nCommand == 3)
            Prompt("画面の中心にしたい位置を左クリックで指示");
    }
    if ((flags & 3) == 3 || flags == (MK_LBUTTON | MK_SHIFT | MK_CONTROL)) {
        Gesture(point);
        return;
    }
    if ((flags & MK_LBUTTON) && !m_bInputBusy && m_nCommand > 9 && m_nButtonState != 0 && !m_bIgnoreLeft) {
        if (std::abs(point.x - m_ptPress.x) <= kDragSlop && std::abs(point.y - m_ptPress.y) <= kDragSlop)
            return;
        if (m_nCommand != kRange) {
            m_ptRubber = m_ptPress;
            m_nCommand = kRange;
            Prompt("選択範囲を指定します");
        }
        DrawRubberRect(true, point);
        return;
    }
    if (!m_doc)
        return;
    const CDPoint snapped =
        m_nCommand == kAttrMove ? m_doc->SnapAttrPoint(unsnapped, m_bSnapItem) : Snap(unsnapped);
    m_ptCursor = m_nCommand == kCutter ? unsnapped : snapped;
    m_port.ShowStatusText(m_ptCursor);
    switch (m_nCommand) {
    case kMoveBase:
        return;
    case kZoomWindowDrag:
        DrawRubberRect(true, point);
        Prompt("表示範囲を指定します");
        return;
    case kMoving:
    case kCopying:
    case kPaste:
        MoveSelection(flags, snapped, unsnapped);
        return;
    case kAttrMove:
        if (m_bInputBusy && snapped.IntPoint() != m_ptCentre.IntPoint() && m_doc->CountItems(2, 0) > 0) {
            m_port.InvalidateBoardRect(SelectionBounds());
            const CDSize d = snapped - m_ptCentre;
            m_doc->OffsetSelectionAttr(CDPoint(d.cx, d.cy));
            m_rcSelection = SelectionBounds();
            m_port.InvalidateBoardRect(m_rcSelection);
            m_ptCentre = snapped;
        }
        return;
    default:
        break;
    }
    if (m_bInputBusy)
        MoveFloating(flags, snapped, unsnapped);
    // Item tips.
    if (m_doc->IsSelectionEmpty() && platform::GetProfile().GetInt("Sheet", "TipHelp", 0) != 0) {
        std::string text;
        if (m_doc->GetItemTipText(unsnapped, text))
            m_port.ShowTip(point, text);
        else
            m_port.HideTip();
    }
    if ((flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && m_bInputBusy &&
        (m_nCommand == kLine || m_nCommand == kArc || m_nCommand == kSurface) &&
        platform::GetProfile().GetInt("Line", "MouseLock", 0) != 0)
        Wiggle(unsnapped);
}

bool BoardInput::EdgePan(int flags, CPoint point)
{
    if (!m_bAutoPan)
        return false;
    const bool noButton = (flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0;
    const bool pans = (noButton && m_bInputBusy) || (m_nCommand == kZoomWindowDrag && (flags & MK_LBUTTON)) ||
                      (m_nCommand == kRange && (flags & 3) == MK_LBUTTON && !m_bInputBusy);
    if (!pans)
        return false;
    CRect zone = m_port.ClientRect();
    const int bar = 4 * m_port.ScrollBarExtent();
    if (m_port.HasScrollBar(true)) {
        zone.left += bar;
        zone.right -= bar;
    }
    if (m_port.HasScrollBar(false)) {
        zone.top += bar;
        zone.bottom -= bar;
    }
    if (Inside(zone, point)) {
        if (m_bPanTimer) {
            m_port.KillTimer(ViewPort::kPanTimer);
            m_bPanTimer = false;
        }
        return false;
    }
    DrawCrosshair(false);
    DrawRubberRect(false);
    const int dx = point.x < zone.left ? -1 : point.x >= zone.right ? 1 : 0;
    const int dy = point.y < zone.top ? -1 : point.y >= zone.bottom ? 1 : 0;
    if (m_port.ScrollLine(dx, dy)) {
        if (!m_bPanTimer) {
            m_port.StartTimer(ViewPort::kPanTimer, 300);
            m_bPanTimer = true;
        }
        RemapRubberPoints();
        m_port.InvalidateAll();
    } else if (m_bPanTimer) {
        m_port.KillTimer(ViewPort::kPanTimer);
        m_bPanTimer = false;
    }
    return false;
}

void BoardInput::Gesture(CPoint point)
{
    DrawRubberRect(false);
    const GestureMode g = GestureFor(point.x - m_ptPress.x, point.y - m_ptPress.y);
    m_nCommand = g.mode;
    DrawRubberRect(true, point);
    Prompt(g.prompt);
}

void BoardInput::MoveSelection(int flags, const CDPoint& point, const CDPoint& exact)
{
    if (m_doc->IsSelectionEmpty())
        return;
    if (point.IntPoint() != m_ptCentre.IntPoint()) {
        const CDSize dd = point - m_ptCentre;
        const CDPoint d(dd.cx, dd.cy);
        if (m_bTrackRect == 0) {
            m_port.InvalidateBoardRect(SelectionBounds());
            m_doc->OffsetSelection(d, 0, false);
            m_rcSelection = SelectionBounds();
        } else {
            // Rigid: the rectangle moves with the items, no bounds are gathered.
            m_port.InvalidateBoardRect(m_rcSelection);
            m_doc->OffsetSelection(d, 1, m_nCommand == kPaste);
            m_rcSelection.OffsetRect(d);
        }
        m_bShowNets = false;
        m_port.InvalidateBoardRect(m_rcSelection);
        m_ptCentre = point;
    }
    // Arcs with one end selected follow the exact cursor.
    if (exact == m_ptEnd || m_doc->CountItems(2, kArc) == 0)
        return;
    for (const auto& entry : m_doc->GetDisplayList()) {
        CSheet* sheet = m_doc->GetSelectionSheet(entry.second);
        if (!sheet)
            continue;
        for (POSITION pos = sheet->GetFirstItemPos(KIND_ARC); pos;) {
            auto* arc = static_cast<CArc*>(sheet->GetNextItem(KIND_ARC, pos));
            if (!arc->CheckEdge())
                continue;
            const CDRect before = arc->GetBoundingRect();
            const double start = arc->GetStartAngle();
            const double end = arc->GetEndAngle();
            if (flags & MK_SHIFT) {
                arc->SetCircle();
                if (arc->GetType() & 0x6000)
                    arc->ChangeDimension();
            } else {
                arc->Offset(exact, m_nLockMode);
            }
            if (arc->GetStartAngle() != start || arc->GetEndAngle() != end)
                m_port.InvalidateBoardRect(Union(before, arc->GetBoundingRect()));
        }
    }
    m_rcSelection = SelectionBounds();
    m_ptEnd = exact;
}

void BoardInput::MoveFloating(int flags, const CDPoint& point, const CDPoint& unsnapped)
{
    const bool changed = point.IntPoint() != m_ptCentre.IntPoint();
    switch (m_nCommand) {
    case kLine:
    case kSurface: {
        if (!m_pFloatLine || !m_port.VisibleBoardRect().PtInRect(point) || point == m_ptPrev2)
            return;
        const CDPoint anchor = m_ptCentre;
        const CDPoint corner = LockedCorner(anchor, point);
        m_ptEnd = corner;
        CDRect dirty = Union(m_pFloatLine->GetBoundingRect(),
                             m_pFloatLine2 ? m_pFloatLine2->GetBoundingRect() : CDRect(corner, 0.0));
        if (m_pFloatLine2) {
            m_pFloatLine2->SetStartPoint(corner);
            m_pFloatLine2->SetEndPoint(point);
        }
        m_pFloatLine->SetEndPoint(corner);
        if (m_nCommand == kLine && (m_pFloatLine->GetType() & 0x1000))
            m_pFloatLine->SetDimension(m_doc->GetDimensionStyle());
        dirty = Union(dirty, m_pFloatLine->GetBoundingRect());
        if (m_pFloatLine2)
            dirty = Union(dirty, m_pFloatLine2->GetBoundingRect());
        m_port.InvalidateBoardRect(dirty);
        m_ptPrev = corner;
        m_ptPrev2 = point;
        return;
    }
    case kArc:
        if (!changed && (m_nArcStep % 2) == 1)
            return;
        if ((m_nArcStep % 2) == 0) {
            // The arc ignores the mouse while a button or a modifier is held.
            if (flags != 0 || !m_pFloatArc)
                return;
            m_ptEnd = unsnapped;
            const CDRect before = m_pFloatArc->GetBoundingRect();
            const double end = m_pFloatArc->GetEndAngle();
            m_pFloatArc->SetEndAngle(m_ptEnd, m_nLockMode);
            if (m_pFloatArc->GetEndAngle() != end) {
                m_port.InvalidateBoardRect(Union(before, m_pFloatArc->GetBoundingRect()));
                m_ptCursor = point;
                m_port.ShowStatusText(m_ptCursor);
            }
        } else if (m_pFloatLine && m_port.VisibleBoardRect().PtInRect(point) && point != m_ptEnd) {
            const CDRect before = m_pFloatLine->GetBoundingRect();
            m_pFloatLine->SetEndPoint(point);
            m_port.InvalidateBoardRect(Union(before, m_pFloatLine->GetBoundingRect()));
            m_ptEnd = m_ptPrev = point;
        }
        return;
    case kCutter:
        if (!m_pFloatLine || unsnapped == m_ptEnd)
            return;
        {
            CDRect dirty = m_pFloatLine->GetBoundingRect();
            m_pFloatLine->SetEndPoint(unsnapped);
            dirty = Union(dirty, m_pFloatLine->GetBoundingRect());
            if (m_pFloatLine2 && m_ptCentre != m_ptFirst) {
                dirty = Union(dirty, m_pFloatLine2->GetBoundingRect());
                m_pFloatLine2->SetEndPoint(unsnapped);
                dirty = Union(dirty, m_pFloatLine2->GetBoundingRect());
            }
            m_port.InvalidateBoardRect(dirty);
            m_ptEnd = m_ptPrev = unsnapped;
        }
        return;
    default:
        break;
    }
    if (!changed)
        return;
    const CDSize dd = point - m_ptCentre;
    const CDPoint d(dd.cx, dd.cy);
    CItemBase* item = nullptr;
    switch (m_nCommand) {
    case kLand:
        if (m_pFloatLand) {
            item = m_pFloatLand;
            const CDRect before = item->GetBoundingRect();
            m_pFloatLand->SetPoint(point);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    case kVia:
        if (m_pFloatVia) {
            item = m_pFloatVia;
            const CDRect before = item->GetBoundingRect();
            m_pFloatVia->SetPoint(point);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    case kHole:
        if (m_pFloatHole) {
            item = m_pFloatHole;
            const CDRect before = item->GetBoundingRect();
            m_pFloatHole->SetPoint(point);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    case kText:
        if (m_pFloatText) {
            item = m_pFloatText;
            const CDRect before = item->GetBoundingRect();
            m_pFloatText->SetPoint(point);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    case kPart:
        if (m_pFloatPart) {
            item = m_pFloatPart;
            const CDRect before = item->GetBoundingRect();
            m_pFloatPart->Offset(d, false);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    case kTerminal:
        if (m_pFloatTer) {
            item = m_pFloatTer;
            const CDRect before = item->GetBoundingRect();
            m_pFloatTer->Offset(d);
            m_port.InvalidateBoardRect(Union(before, item->GetBoundingRect()));
        }
        break;
    default:
        break;
    }
    if (item)
        m_ptCentre = point;
}

void BoardInput::Wiggle(const CDPoint& unsnapped)
{
    const CDSize d = unsnapped - m_ptCentre;
    if (d.cx * m_ptLastDelta.x < 0.0)
        m_nWiggle += unsnapped.y < m_ptCentre.y ? 0x1 : 0x10;
    if (d.cy * m_ptLastDelta.y < 0.0)
        m_nWiggle += unsnapped.x < m_ptCentre.x ? 0x100 : 0x1000;
    m_ptLastDelta = CDPoint(d.cx, d.cy);
    if (m_nWiggle & 0x4444) {
        m_nWiggle = 0;
        OnKeyDown('L', 0);
    }
}

// --- Right and middle buttons --------------------------------------------------------------------------

void BoardInput::OnRButtonDown(int flags, CPoint point)
{
    m_bIgnoreLeft = false;
    m_nButtonState = flags;
    m_bZoomWindow = 0;
    if ((flags & 3) == 3) {
        m_nButtonState = 3;
        DrawRubberRect(false);
        if (m_nCommand > 9)
            SaveCommand();
        m_nCommand = kGesture;
        m_port.CapturePointer(true);
    }
    m_ptPress = point;
    m_ptPressBoard = m_port.DeviceToBoard(point);
}

void BoardInput::OnRButtonUp(int flags, CPoint point)
{
    if (flags & MK_LBUTTON)
        return;
    m_port.CapturePointer(false);
    m_bZoomWindow = 0;
    if (m_nButtonState == 3) {
        m_nButtonState = 0;
        if (m_nCommand >= 1 && m_nCommand <= 9) {
            DrawRubberRect(false);
            m_port.ZoomAction(m_nCommand, point, m_ptPress);
        }
        return;
    }
    m_nButtonState = 0;
    if (!m_doc)
        return;
    if (!m_bInputBusy || m_doc->IsSelectionEmpty()) {
        ShowPopupAt(point, flags);
        return;
    }
    m_doc->FillLayerCombo(false);
    const bool pathLine = platform::GetProfile().GetInt("Line", "PathLine", 0) != 0;
    const bool stepBack = pathLine ? (flags & (MK_SHIFT | MK_CONTROL)) == 0 : flags == MK_SHIFT;
    switch (m_nCommand) {
    case kMoving:
    case kCopying:
    case kAttrMove:
    case kText:
    case kPart:
    case kPaste: {
        ViewPort::PopupChoice choice;
        choice.menuId = 152;
        m_port.ShowPopup(point, choice);
        return;
    }
    case kLine:
    case kSurface:
        DeleteFloatingLines();
        if (m_nSegments > 0 && stepBack) {
            StepBackSegment();
            return;
        }
        m_bInputBusy = false;
        if (m_nChainLayer != 0 && m_nSegments > 0 && m_nCommand == kLine)
            SendChainTail();
        m_nInputCommand = m_nCommand;
        m_nSegments = 0;
        m_bSwitchBack = false;
        m_port.InvalidateAll();
        return;
    case kLand:
    case kVia:
    case kHole:
    case kTerminal:
        DeleteFloatingItems();
        m_bInputBusy = false;
        return;
    case kArc:
        DeleteFloatingItems();
        if (m_nSegments > 0 && stepBack) {
            StepBackSegment();
            return;
        }
        m_bInputBusy = false;
        m_nArcStep = -1;
        m_nSegments = 0;
        m_bSwitchBack = false;
        RestoreInputCommand();
        return;
    case kCutter:
        if (m_nSegments > 0 && stepBack) {
            DeleteFloatingLines();
            StepBackSegment();
            return;
        }
        {
            ViewPort::PopupChoice choice;
            choice.menuId = 197;
            m_port.ShowPopup(point, choice);
        }
        return;
    default:
        return;
    }
}

void BoardInput::ShowPopupAt(CPoint point, int /*flags*/)
{
    ViewPort::PopupChoice choice;
    if (m_doc->IsSelectionEmpty()) {
        choice.menuId = 150;
        choice.checked = m_nCommand;
        CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
        choice.cutterSubmenu = m_nCommand == kCutter && board && board->GetFirstItemPos(KIND_LINE) != nullptr;
    } else {
        choice.menuId = 151;
        const int vias = m_doc->CountItems(2, kVia);
        const int parts = m_doc->CountItems(2, kPart);
        if (vias + parts == m_doc->CountItems(2, 0))
            choice.removed.push_back(32809);
        if (!m_doc->CanMakePart())
            choice.removed.push_back(32795);
        if (parts == 0) {
            for (int id : {32806, 32961, 32845, 32805})
                choice.removed.push_back(id);
        }
    }
    m_port.ShowPopup(point, choice);
}

void BoardInput::OnMButtonDown(int flags, CPoint /*point*/)
{
    m_bIgnoreLeft = false;
    m_nButtonState = flags;
}

void BoardInput::OnMButtonUp(int flags, CPoint point)
{
    const int state = m_nButtonState;
    m_nButtonState = 0;
    if (state != MK_MBUTTON || (flags != 0 && flags != MK_SHIFT) || !m_doc)
        return;
    CSheet* work = m_doc->GetCurrentSelectionSheet();
    const bool floating = m_bInputBusy && work && !work->IsEmpty();
    const bool midLock = platform::GetProfile().GetInt("Line", "MidLineLock", 0) != 0;
    if (floating) {
        if (m_nCommand == kLine || m_nCommand == kSurface)
            OnKeyDown(midLock ? 'L' : 'A', 0);
        else if (m_nCommand == kArc)
            OnKeyDown((m_nArcStep == 2 || m_nArcStep == 4) ? (midLock ? 'L' : 'D') : 'A', 0);
        else
            m_port.RunCommand(flags == MK_SHIFT ? kFlipY : kFlipX);
        return;
    }
    if (m_nCommand == kPartNumberClick && flags == 0) {
        OnLButtonDown(MK_LBUTTON | MK_CONTROL, point);
        OnLButtonUp(MK_CONTROL, point);
    } else if (m_nCommand == 0 || m_nCommand == kLine || m_nCommand == kArc) {
        OnKeyDown('R', 0);
    }
}

// --- Wheel ---------------------------------------------------------------------------------------------

void BoardInput::OnMouseWheel(int flags, int delta, CPoint point, bool inside, bool onBar, bool verticalBar)
{
    m_port.HideTip();
    if (flags & MK_MBUTTON)
        m_nButtonState = flags;
    if ((flags & 3) == 3 || !m_doc || delta == 0)
        return;
    const int notches = std::max(1, std::abs(delta) / 120);
    const int sign = delta > 0 ? 1 : -1;
    const int mods = flags & (MK_SHIFT | MK_CONTROL);
    const bool both = m_port.HasScrollBar(true) && m_port.HasScrollBar(false);
    const bool wheelScroll = platform::GetProfile().GetInt("Sheet", "WheelScroll", 0) != 0;
    // Wheel forward scrolls up (or left).
    auto scroll = [&](bool vertical) {
        for (int i = 0; i < notches; ++i)
            m_port.ScrollLine(vertical ? 0 : -sign, vertical ? -sign : 0);
        RemapRubberPoints();
        m_port.ViewChanged();
    };
    if (mods == MK_SHIFT) {
        if (m_doc->IsSelectionEmpty()) {
            if (m_port.HasScrollBar(true) && !m_port.HasScrollBar(false))
                scroll(true);
            else if (m_port.HasScrollBar(false) && !m_port.HasScrollBar(true))
                scroll(false);
            else if (both)
                scroll(wheelScroll);
            return;
        }
        m_doc->StepSelectionNumbers(delta, false);
        m_rcSelection = SelectionBounds();
        if ((m_nCommand >= kLine && m_nCommand <= kVia) || m_nCommand == kSurface)
            m_doc->StepToolCombo(delta > 0, m_nCommand == kVia);
        m_port.InvalidateAll();
        m_port.ShowStatusText(m_ptCursor);
        return;
    }
    if (mods == MK_CONTROL) {
        const double x = 1.0 + platform::GetProfile().GetInt("Sheet", "ZoomAspect", 20) * 0.01;
        DrawCrosshair(false);
        for (int i = 0; i < notches; ++i) {
            const double factor = delta > 0 ? x : 1.0 / x;
            if (inside)
                m_port.ZoomAtDevice(point, factor);
            else
                m_port.ZoomAboutCentre(factor);
        }
        RemapRubberPoints();
        m_port.ViewChanged();
        return;
    }
    if (mods != 0)
        return;
    if (onBar) {
        scroll(verticalBar);
        return;
    }
    if (!m_doc->IsSelectionEmpty() && m_nCommand != kLine && m_nCommand != kArc && m_nCommand != kSurface &&
        m_nCommand != kCutter) {
        RotateSelectionByWheel(delta);
        return;
    }
    if (both) {
        bool vertical = !wheelScroll;
        if (flags & MK_MBUTTON)
            vertical = !vertical;
        scroll(vertical);
    } else if (m_port.HasScrollBar(true)) {
        scroll(true);
    } else if (m_port.HasScrollBar(false)) {
        scroll(false);
    }
}

void BoardInput::RotateSelectionByWheel(int delta)
{
    if (!m_doc || m_doc->IsSelectionEmpty())
        return;
    m_rcSelection = SelectionBounds();
    m_port.InvalidateBoardRect(m_rcSelection);
    CDPoint centre = m_bCentreSet ? m_ptCentre : m_rcSelection.CenterPoint();
    const double angle = (delta >= 1 ? 30.0 : -30.0) * kPi / 180.0;
    if (m_nCommand == kAttrMove) {
        centre = m_doc->SnapAttrPoint(centre, m_bSnapItem);
        m_doc->RotateSelectionText(centre, angle);
    } else {
        centre = Snap(centre);
        m_doc->RotateSelection(centre, angle);
    }
    m_rcSelection = SelectionBounds();
    m_port.InvalidateBoardRect(m_rcSelection);
}

// --- Focus and timers ----------------------------------------------------------------------------------

void BoardInput::OnSetFocus(bool fromKnownWindow)
{
    (void)fromKnownWindow;
    if (m_bFocusTimer)
        m_port.KillTimer(ViewPort::kFocusTimer);
    m_nButtonState = 0;
    // The click that brings the window back acts on nothing until the timer expires.
    m_bIgnoreLeft = true;
    m_port.StartTimer(ViewPort::kFocusTimer, 100);
    m_bFocusTimer = true;
    m_port.MakeDocumentCurrent();
}

void BoardInput::OnKillFocus()
{
    m_port.HideTip();
    DrawCrosshair(false);
    m_bIgnoreLeft = true;
    if (m_bPanTimer) {
        m_port.KillTimer(ViewPort::kPanTimer);
        m_bPanTimer = false;
    }
}

void BoardInput::OnTimer(int timer)
{
    switch (timer) {
    case ViewPort::kFocusTimer:
        m_port.KillTimer(ViewPort::kFocusTimer);
        m_bFocusTimer = false;
        m_bIgnoreLeft = false;
        return;
    case ViewPort::kPanTimer:
        if (!m_bAutoPan) {
            m_port.KillTimer(ViewPort::kPanTimer);
            m_bPanTimer = false;
            return;
        }
        OnMouseMove(m_nButtonState & MK_LBUTTON, m_port.CursorPoint());
        return;
    case ViewPort::kNetTimer:
        if (!m_doc) {
            m_port.KillTimer(ViewPort::kNetTimer);
            m_bNetTimer = false;
            return;
        }
        m_doc->ReloadNetFile(false);
        return;
    default:
        return;
    }
}
