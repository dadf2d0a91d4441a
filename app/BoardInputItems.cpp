// The clicks of the item input commands: text, chained line with its vias, land, part, via,
// hole, terminal, arc, surface and cutter, and the step back of a chained input.

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
#include "platform/Profile.h"

#include <cmath>
#include <memory>

namespace {

constexpr double kEps = 1e-6;
constexpr int kFloatCopyBit = 0x80;

bool HasLength(const CLine* line)
{
    if (!line)
        return false;
    const CDPoint& s = line->GetStartPoint();
    const CDPoint& e = line->GetEndPoint();
    return std::fabs(e.x - s.x) > kEps || std::fabs(e.y - s.y) > kEps;
}

bool Near(const CDPoint& a, const CDPoint& b)
{
    return std::fabs(a.x - b.x) <= kEps && std::fabs(a.y - b.y) <= kEps;
}

int ProfileInt(const char* section, const char* key, int fallback)
{
    return platform::GetProfile().GetInt(section, key, fallback);
}

CDRect LineRect(const CLine& line)
{
    CDRect r(line.GetStartPoint(), line.GetEndPoint());
    r.NormalizeRect();
    return r;
}

CDRect Union(CDRect a, const CDRect& b)
{
    CDRect u;
    u.UnionRect(&a, &b);
    return u;
}

} // namespace

// --- Floating lines --------------------------------------------------------------------------------

void BoardInput::StartFloatingPair(const CDPoint& point, int turret)
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!sel)
        return;
    m_pFloatLine = sel->NewLine(point, point, turret, 0);
    m_pFloatLine2 = sel->NewLine(point, point, turret, 0);
    if (m_pFloatLine2)
        m_pFloatLine2->ModifyType(kFloatCopyBit, 0);
    m_ptCentre = point;
    m_ptBase = point;
    m_ptEnd = m_ptPrev = m_ptPrev2 = point;
    m_port.InvalidateBoardRect(CDRect(point, 0.1));
}

void BoardInput::StartRadiusLine(const CDPoint& point)
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    m_pFloatLine = sel ? sel->NewLine(point, point, 0, 0) : nullptr;
    m_pFloatLine2 = nullptr;
    m_ptCentre = m_ptBase = m_ptEnd = m_ptPrev = point;
}

void BoardInput::DeleteFloatingLines()
{
    for (CLine** line : {&m_pFloatLine, &m_pFloatLine2}) {
        if (*line) {
            m_port.InvalidateBoardRect((*line)->GetBoundingRect());
            m_doc->DeleteSelectedItem(*line);
            *line = nullptr;
        }
    }
}

void BoardInput::DeleteFloatingItems()
{
    DeleteFloatingLines();
    CItemBase* items[] = {m_pFloatLand, m_pFloatVia, m_pFloatHole, m_pFloatTer, m_pFloatArc, m_pFloatText};
    for (CItemBase* item : items) {
        if (item) {
            m_port.InvalidateBoardRect(item->GetBoundingRect());
            m_doc->DeleteSelectedItem(item);
        }
    }
    m_pFloatLand = nullptr;
    m_pFloatVia = nullptr;
    m_pFloatHole = nullptr;
    m_pFloatTer = nullptr;
    m_pFloatArc = nullptr;
    m_pFloatText = nullptr;
}

bool BoardInput::TakeOverLayer(const CDPoint& point)
{
    int layer = 0;
    CItemBase* hit = HitTest(point, layer, 0, false);
    if (!hit || (hit->GetKind() & (KIND_LINE | KIND_ARC | KIND_SUR)) == 0 || layer >= LAYER_MAX)
        return false;
    const int turret = hit->GetTurretNo();
    DeleteFloatingLines();
    m_doc->SelectLayer(layer);
    m_doc->SetCurrentTurret(turret);
    m_doc->FillTurretCombo(true);
    m_doc->FillLayerCombo(false);
    StartFloatingPair(point, turret);
    return true;
}

CDPoint BoardInput::LockedCorner(const CDPoint& anchor, const CDPoint& p) const
{
    switch (m_nLockMode) {
    case 1:
        return m_pFloatLine ? m_pFloatLine->LockPoint(p) : p;
    case 2: {
        CDPoint c = m_ptEnd;
        if (m_pFloatLine && m_pFloatLine->IsHVLine(0)) {
            c.x = p.x;
            if (p.x == anchor.x)
                c.y = p.y;
        } else if (m_pFloatLine && m_pFloatLine->IsHVLine(1)) {
            c.y = p.y;
            if (p.y == anchor.y)
                c.x = p.x;
        } else {
            c = p;
            if (std::fabs(c.y - anchor.y) <= std::fabs(c.x - anchor.x))
                c.y = anchor.y;
            else
                c.x = anchor.x;
        }
        return c;
    }
    default:
        return p;
    }
}

void BoardInput::RefreshChainLayer()
{
    m_nLastLayer = m_doc->GetCurrentLayer();
    m_nChainLayer = CurrentWiringPos();
}

// --- Text --------------------------------------------------------------------------------------------

void BoardInput::InputText(const CDPoint& point)
{
    CSheet* board = m_doc->GetCurrentBoardSheet();
    if (!board)
        return;
    if (m_pFloatText && m_bInputBusy) {
        CText placed(*m_pFloatText);
        if (CText* text = board->NewText(placed)) {
            m_doc->StoreUndoForItem(text, 1);
            m_port.InvalidateBoardRect(text->GetBoundingRect());
        }
        return;
    }
    CText text;
    text.SetPoint(point);
    if (text.InputText(m_doc, false, 0) == 0)
        return;
    if (text.GetTurretNo() == 0)
        text.SetTurretNo(m_doc->GetCurrentTurret());
    if (CText* placed = board->NewText(text)) {
        m_port.InvalidateBoardRect(placed->GetBoundingRect());
        m_doc->StoreUndoForItem(placed, 1);
    }
    m_doc->FillLayerCombo(false);
}

// --- Chained line ----------------------------------------------------------------------------------

void BoardInput::InputLine(int flags, const CDPoint& point)
{
    (void)flags;
    if (!m_bInputBusy) {
        m_nSegments = 0;
        StartFloatingPair(point, m_doc->GetCurrentTurret());
        if (ProfileInt("Line", "LineAutoLock", 0) != 0)
            m_nLockMode = ProfileInt("Line", "LineLockMode", 1);
        m_bInputBusy = true;
        m_doc->FillLayerCombo(false);
        RefreshChainLayer();
        return;
    }
    if (!m_pFloatLine)
        return;
    // The click fixes the locked leg as it was drawn last.
    if (!HasLength(m_pFloatLine)) {
        if (m_nSegments == 0)
            TakeOverLayer(point);
        else
            ViaAtChainEnd(point);
        RefreshChainLayer();
        return;
    }
    const CDPoint start = m_pFloatLine->GetStartPoint();
    const CDPoint end = m_pFloatLine->GetEndPoint();
    const CDPoint secondEnd = m_pFloatLine2 ? m_pFloatLine2->GetEndPoint() : end;
    m_port.InvalidateBoardRect(Union(m_pFloatLine->GetBoundingRect(),
                                     m_pFloatLine2 ? m_pFloatLine2->GetBoundingRect() : CDRect(end, 0.0)));
    if (m_pFloatLine2) {
        m_doc->DeleteSelectedItem(m_pFloatLine2);
        m_pFloatLine2 = nullptr;
    }
    ++m_nSegments;
    CSheet* board = m_doc->GetCurrentBoardSheet();
    const int position = CurrentWiringPos();
    int group = 0;
    if (m_nChainLayer != 0 && m_nSegments >= 2 && board && position != 0 && !IsPlaneSheet(board) &&
        position != m_nChainLayer && m_doc->GetWireLayerPos(m_doc->GetWireLayer(m_nChainLayer), false) > 0 &&
        m_doc->CanPlaceVia(start, false)) {
        const int mask = (1 << (position - 1)) | (1 << (m_nChainLayer - 1));
        if (CVia* via = m_doc->GetBoardSheet(LAYER_MAX)->NewVia(start, m_doc->GetCurrentVia(), mask)) {
            m_port.InvalidateBoardRect(via->GetBoundingRect());
            m_doc->StoreUndoItem(via, LAYER_MAX, 0, 1);
            group = 1;
        }
    }
    m_doc->StoreUndoItem(m_pFloatLine, m_doc->GetCurrentLayer(), group, 1);
    const CLine fixed(*m_pFloatLine);
    m_doc->DeselectLine(fixed);
    m_pFloatLine = nullptr;
    m_port.InvalidateBoardRect(CDRect(start, end));

    // Reaching a pad ends the input on a wiring layer when the profile asks for it.
    const bool wiring = position != 0 && !IsPlaneSheet(board);
    if (wiring && ProfileInt("Line", "TerEnd", 0) != 0) {
        bool end_input = false;
        bool fixSecond = false;
        if (m_port.IsSamePad(start, point, false)) {
            end_input = true;
            fixSecond = !Near(point, secondEnd) && m_port.IsSamePad(point, secondEnd, true);
        } else if (!Near(end, secondEnd) && m_port.IsSamePad(secondEnd, start, false)) {
            end_input = true;
            fixSecond = true;
        }
        if (end_input) {
            if (fixSecond && !Near(end, secondEnd)) {
                CLine second(end, secondEnd, fixed.GetTurretNo(), 0);
                if (CLine* line = board->NewLine(second)) {
                    m_doc->StoreUndoItem(line, m_doc->GetCurrentLayer(), 0, 1);
                    m_port.InvalidateBoardRect(line->GetBoundingRect());
                }
            }
            m_bInputBusy = false;
            EndCommand();
            return;
        }
    }
    ContinueChain(end, fixed.GetTurretNo());
}

void BoardInput::ViaAtChainEnd(const CDPoint& point)
{
    CSheet* board = m_doc->GetCurrentBoardSheet();
    if (m_nChainLayer == 0 || !board || IsPlaneSheet(board))
        return;
    if (m_doc->CanPlaceVia(point, false)) {
        if (CVia* via = m_doc->GetBoardSheet(LAYER_MAX)->NewVia(point, m_doc->GetCurrentVia(),
                                                                1 << (m_nChainLayer - 1))) {
            m_port.InvalidateBoardRect(via->GetBoundingRect());
            m_doc->StoreUndoForItem(via, 1);
        }
    } else {
        int layer = 0;
        CItemBase* hit = HitTest(point, layer, 0, false);
        if (hit && hit->GetKind() == KIND_VIA && m_doc->GetLastUndoClass() == 5) {
            m_port.InvalidateBoardRect(hit->GetBoundingRect());
            m_doc->PopUndoStep(true, true);
            // The via taken back lands in the selection: it floats no more.
            if (CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX)) {
                for (POSITION pos = sel->GetFirstItemPos(KIND_VIA); pos;) {
                    const POSITION here = pos;
                    sel->GetNextItem(KIND_VIA, pos);
                    sel->DeleteItemAt(KIND_VIA, here);
                }
            }
        }
    }
    DeleteFloatingLines();
    OnKeyDown('C', 0);
    StartFloatingPair(point, m_doc->GetCurrentTurret());
}

// --- Land, via, hole, terminal, part -----------------------------------------------------------------

void BoardInput::InputLand(const CDPoint& point)
{
    CSheet* board = m_doc->GetCurrentBoardSheet();
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!board || !sel)
        return;
    if (m_bInputBusy && m_pFloatLand) {
        const CDRect before = m_pFloatLand->GetBoundingRect();
        if (board->IsDup(m_pFloatLand, kLand, true)) {
            m_doc->SetCurrentTurret(m_pFloatLand->GetTurretNo());
            m_port.InvalidateBoardRect(Union(before, m_pFloatLand->GetBoundingRect()));
            return;
        }
        if (CLand* land = board->NewLand(*m_pFloatLand)) {
            m_doc->StoreUndoForItem(land, 1);
            m_port.InvalidateBoardRect(land->GetBoundingRect());
        }
        return;
    }
    m_pFloatLand = sel->NewLand(point, m_doc->GetCurrentTurret());
    StartFloating(m_pFloatLand, point);
}

void BoardInput::InputVia(const CDPoint& point)
{
    CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
    CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX);
    if (!board || !sel)
        return;
    if (m_bInputBusy && m_pFloatVia) {
        const CDRect before = m_pFloatVia->GetBoundingRect();
        if (board->IsDup(m_pFloatVia, kVia, true) || !m_doc->CanPlaceVia(m_pFloatVia->GetPoint(), false)) {
            m_port.InvalidateBoardRect(Union(before, m_pFloatVia->GetBoundingRect()));
            return;
        }
        if (CVia* via = board->NewVia(*m_pFloatVia)) {
            m_doc->StoreUndoForItem(via, 1);
            m_port.InvalidateBoardRect(via->GetBoundingRect());
        }
        return;
    }
    m_pFloatVia = sel->NewVia(point, m_doc->GetCurrentVia(), 0);
    StartFloating(m_pFloatVia, point);
}

void BoardInput::InputHole(const CDPoint& point)
{
    CSheet* board = m_doc->GetCurrentBoardSheet();
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!board || !sel)
        return;
    if (m_bInputBusy && m_pFloatHole) {
        if (board->IsDup(m_pFloatHole, kHole, true)) {
            m_port.InvalidateBoardRect(m_pFloatHole->GetBoundingRect());
            return;
        }
        if (CHole* hole = board->NewHole(*m_pFloatHole)) {
            m_doc->StoreUndoForItem(hole, 1);
            m_port.InvalidateBoardRect(hole->GetBoundingRect());
        }
        return;
    }
    if (m_bInputBusy)
        return;
    CHole hole(point, 0.8, true, 0.0, 0.0, 0.0);
    const int result = hole.InputHole(m_doc, false, 0);
    if (result == 1) {
        hole.SetPoint(point);
        m_pFloatHole = sel->NewHole(hole);
        StartFloating(m_pFloatHole, point);
    } else if (result == 2) {
        if (CHole* placed = board->NewHole(hole)) {
            m_doc->StoreUndoForItem(placed, 1);
            m_port.InvalidateBoardRect(placed->GetBoundingRect());
        }
    }
}

void BoardInput::InputTerminal(const CDPoint& point)
{
    CSheet* board = m_doc->GetCurrentBoardSheet();
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!board || !sel)
        return;
    if (m_bInputBusy && m_pFloatTer) {
        const CDRect before = m_pFloatTer->GetBoundingRect();
        CTer probe(*m_pFloatTer);
        if (board->IsDup(&probe, kTerminal, true)) {
            // Numbering goes on from the terminal already there.
            std::string prefix;
            int found = 0;
            int own = 0;
            probe.GetNo(prefix, &found);
            m_pFloatTer->GetNo(prefix, &own);
            if (found > own)
                *m_pFloatTer = probe;
        } else {
            const int wiring =
                m_doc->IsComponentSideLayer(m_doc->GetCurrentLayer()) ? 1 : m_doc->GetWireLayerCount();
            if (!m_port.IsOnCopper(wiring, m_pFloatTer->GetPoint()))
                return;
            if (CTer* ter = board->NewTer(*m_pFloatTer)) {
                m_doc->StoreUndoForItem(ter, 1);
                m_port.InvalidateBoardRect(ter->GetBoundingRect());
            }
        }
        m_doc->IncrementCopyNames(0);
        m_port.InvalidateBoardRect(Union(before, m_pFloatTer->GetBoundingRect()));
        return;
    }
    CText number("1", point, m_doc->GetCurrentTurret());
    m_pFloatTer = sel->NewTer(point, number, 0);
    if (m_pFloatTer)
        m_doc->IncrementCopyNames(0);
    StartFloating(m_pFloatTer, point);
}

void BoardInput::InputPart(const CDPoint& point)
{
    CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
    CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX);
    if (!board || !sel)
        return;
    if (m_bInputBusy && m_pFloatPart) {
        m_doc->StoreUndoForItem(m_pFloatPart, 1);
        m_doc->MoveSetItems(2, 0, false, false);
        m_ptBase = point;
        m_port.InvalidateBoardRect(m_pFloatPart->GetBoundingRect());
        return;
    }
    std::string reference;
    std::string value;
    int layer = 0;
    if (CItemBase* hit = HitTest(point, layer, 0, false); hit && hit->GetKind() == KIND_PART) {
        reference = static_cast<CPart*>(hit)->GetPartName();
        value = static_cast<CPart*>(hit)->GetValName();
    }
    int result = -1;
    // A negative answer asks again; a bounded number of times, so a part that can never be read
    // does not hang the view.
    for (int tries = 0; tries < 16 && result < 0; ++tries)
        result = m_doc->InputPart(point, reference, value);
    if (result == 1) {
        m_pFloatPart = sel->GetHeadPart();
        if (m_pFloatPart) {
            m_pFloatPart->Offset(
                CDPoint(point.x - m_pFloatPart->GetOrg().x, point.y - m_pFloatPart->GetOrg().y), true);
            m_pFloatPart->ResetBounding();
            m_port.InvalidateBoardRect(m_pFloatPart->GetBoundingRect());
            m_ptCentre = point;
            m_bInputBusy = true;
        }
        m_doc->FillLayerCombo(false);
    } else if (result == 2) {
        if (CPart* typed = sel->GetHeadPart()) {
            if (CPart* placed = board->NewPart(*typed)) {
                m_doc->StoreUndoForItem(placed, 1);
                m_port.InvalidateBoardRect(placed->GetBoundingRect());
            }
            sel->DeleteItem(typed);
        }
    }
}

// --- Arc ---------------------------------------------------------------------------------------------

void BoardInput::InputArc(int flags, const CDPoint& point)
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!sel)
        return;
    if (!m_bInputBusy || m_nArcStep < 0) {
        m_nSegments = 0;
        StartRadiusLine(point);
        if (ProfileInt("Line", "ArcAutoLock", 0) != 0)
            m_nLockMode = ProfileInt("Line", "ArcLockMode", 0);
        m_bInputBusy = m_pFloatLine != nullptr;
        m_nArcStep = 1;
        m_nArcDirection = 0;
        m_doc->FillLayerCombo(false);
        RefreshChainLayer();
        return;
    }
    if (m_nArcStep == 1 || m_nArcStep == 3) {
        if (!HasLength(m_pFloatLine))
            return;
        m_pFloatLine->SetTurretNo(m_doc->GetCurrentTurret());
        const CLine radius(*m_pFloatLine);
        m_pFloatArc = sel->NewArc(radius, m_nArcStep == 1);
        if (m_pFloatArc)
            m_pFloatArc->ModifyType(m_nArcDirection, 0x100);
        m_doc->DeleteSelectedItem(m_pFloatLine);
        m_pFloatLine = nullptr;
        m_port.InvalidateBoardRect(LineRect(radius));
        if (m_pFloatArc)
            m_port.InvalidateBoardRect(m_pFloatArc->GetBoundingRect());
        if (m_nArcStep == 1)
            m_ptFirst = point;
        m_ptCentre = m_nArcStep == 1 ? radius.GetStartPoint() : radius.GetEndPoint();
        ++m_nArcStep;
        return;
    }
    if (!m_pFloatArc)
        return;
    const CDRect before = m_pFloatArc->GetBoundingRect();
    if (flags & MK_SHIFT)
        m_pFloatArc->SetCircle();
    else
        m_pFloatArc->SetEndAngle(m_ptUnsnapped, m_nLockMode);
    if (m_pFloatArc->GetType() & 0x4000)
        m_pFloatArc->ChangeDimension();
    ++m_nSegments;
    CArc* arc = m_pFloatArc;
    m_pFloatArc = nullptr;
    const CDPoint arcEnd = arc->GetEndPoint();
    m_port.InvalidateBoardRect(Union(before, arc->GetBoundingRect()));
    if (!m_bSwitchBack) {
        if (CSur* sur = FindSurfaceUnder()) {
            m_doc->StoreUndoForItem(sur, 3);
            CSur window;
            window.SetTurretNo(sur->GetTurretNo());
            window.NewArc(*arc);
            sur->NewWindow(window);
            sur->MakeSurLine(false);
            m_doc->StoreUndoForItem(sur, 5);
            m_port.InvalidateBoardRect(sur->GetBoundingRect());
            sel->DeleteContents();
        } else {
            m_doc->StoreUndoForItem(arc, 1);
            m_doc->DeselectArc(CArc(*arc));
        }
        StartRadiusLine(arcEnd);
        m_pFloatLine->SetEndPoint(point);
        m_nArcStep = 3;
        m_nInputCommand = kArc;
        return;
    }
    m_bSwitchBack = false;
    m_doc->StoreUndoForItem(arc, 1);
    const CArc fixed(*arc);
    m_doc->DeselectArc(fixed);
    RestoreInputCommand();
    m_nArcStep = -1;
    if (m_nCommand == kSurface && flags != MK_SHIFT && Near(arcEnd, m_ptFirst) &&
        (m_nSegments > 1 || std::fabs(fixed.GetStartAngle() - fixed.GetEndAngle()) < 0.001)) {
        CloseSurface(flags);
        return;
    }
    StartFloatingPair(arcEnd, m_doc->GetCurrentTurret());
    if (ProfileInt("Line", "LineAutoLock", 0) != 0)
        m_nLockMode = ProfileInt("Line", "LineLockMode", 1);
    m_nInputCommand = kArc;
}

// --- Surface -----------------------------------------------------------------------------------------

void BoardInput::InputSurface(int flags, const CDPoint& point)
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    if (!sel)
        return;
    if (!m_bInputBusy) {
        m_nSegments = 0;
        StartFloatingPair(point, m_doc->GetCurrentTurret());
        m_ptFirst = point;
        if (ProfileInt("Line", "SurAutoLock", 0) != 0)
            m_nLockMode = ProfileInt("Line", "SurLockMode", 1);
        m_bInputBusy = true;
        m_doc->FillLayerCombo(false);
        RefreshChainLayer();
        return;
    }
    if (!HasLength(m_pFloatLine)) {
        if (m_nSegments == 0)
            TakeOverLayer(point);
        RefreshChainLayer();
        return;
    }
    const CDPoint end = m_pFloatLine->GetEndPoint();
    if (m_pFloatLine2) {
        m_port.InvalidateBoardRect(m_pFloatLine2->GetBoundingRect());
        m_doc->DeleteSelectedItem(m_pFloatLine2);
        m_pFloatLine2 = nullptr;
    }
    ++m_nSegments;
    m_doc->StoreUndoItem(m_pFloatLine, m_doc->GetCurrentLayer(), 0, 1);
    const CLine fixed(*m_pFloatLine);
    m_doc->DeselectLine(fixed);
    m_pFloatLine = nullptr;
    m_port.InvalidateBoardRect(CDRect(fixed.GetStartPoint(), end));
    const bool closes =
        Near(end, m_ptFirst) && (m_nSegments > 2 || (m_nSegments > 0 && sel->GetCount(kLine) != 0));
    if (closes) {
        CloseSurface(flags);
        return;
    }
    ContinueChain(end, fixed.GetTurretNo());
}

void BoardInput::StartFloating(CItemBase* item, const CDPoint& point)
{
    m_ptCentre = point;
    m_bInputBusy = item != nullptr;
    if (item)
        m_port.InvalidateBoardRect(item->GetBoundingRect());
    m_doc->FillLayerCombo(false);
}

void BoardInput::ContinueChain(const CDPoint& end, int turret)
{
    if (m_bSwitchBack) {
        // One line segment taken in the middle of arcs: back to the arcs.
        m_bSwitchBack = false;
        m_nCommand = kArc;
        m_nArcStep = 3;
        StartRadiusLine(end);
        m_bInputBusy = true;
        RefreshChainLayer();
        return;
    }
    StartFloatingPair(end, turret);
    m_nInputCommand = m_nCommand;
    RefreshChainLayer();
}

void BoardInput::CloseSurface(int flags)
{
    CSheet* sel = m_doc->GetCurrentSelectionSheet();
    sel->DeleteContents();
    m_pFloatLine = m_pFloatLine2 = nullptr;
    // The outline's segments come back from the board into the selection sheet.
    for (int i = 0; i < m_nSegments; ++i)
        m_doc->PopUndoStep(true, false);
    sel = m_doc->GetCurrentSelectionSheet();
    m_pFloatSur = sel->NewSur(sel, true);
    if (m_pFloatSur) {
        if (CSur* outer = FindSurfaceUnder()) {
            m_doc->StoreUndoForItem(outer, 3);
            outer->NewWindow(*m_pFloatSur);
            outer->MakeSurLine(false);
            m_doc->StoreUndoForItem(outer, 5);
            m_port.InvalidateBoardRect(outer->GetBoundingRect());
        } else {
            if ((flags & 0xC) == MK_CONTROL)
                m_pFloatSur->ModifyType(0x8000, 0);
            m_doc->StoreUndoForItem(m_pFloatSur, 1);
            m_port.InvalidateBoardRect(m_pFloatSur->GetBoundingRect());
            m_doc->DeselectSur(CSur(*m_pFloatSur));
        }
    }
    sel->DeleteContents();
    m_pFloatSur = nullptr;
    m_nSegments = 0;
    m_bInputBusy = false;
    m_doc->FillLayerCombo(true);
    m_nInputCommand = kSurface;
}

// --- Cutter ------------------------------------------------------------------------------------------

void BoardInput::InputCutter(const CDPoint& point, const CDPoint& snapped)
{
    CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
    CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX);
    if (!board || !sel)
        return;
    if (!m_bInputBusy) {
        int layer = 0;
        CItemBase* hit = HitTest(point, layer, 0, true);
        if (hit && (hit->GetKind() & (KIND_LINE | KIND_ARC | KIND_SUR)) != 0 && layer < LAYER_MAX &&
            m_doc->SplitItemAtPoint(hit, hit->GetKind() == KIND_LINE ? snapped : point, layer)) {
            m_ptBase = snapped;
            m_ptCentre = snapped;
            m_rcSelection = SelectionBounds();
            m_bTrackRect = 0;
            m_nCommand = kMoving;
            m_bInputBusy = true;
            m_port.InvalidateAll();
            return;
        }
        m_nSegments = 0;
        m_ptFirst = point;
        m_ptCentre = m_ptBase = m_ptEnd = m_ptPrev = point;
        m_pFloatLine = sel->NewLine(point, point, 0, 0);
        m_pFloatLine2 = sel->NewLine(point, point, 0, 0);
        if (m_pFloatLine2)
            m_pFloatLine2->ModifyType(kFloatCopyBit, 0);
        m_bInputBusy = true;
        return;
    }
    if (!HasLength(m_pFloatLine))
        return;
    ++m_nSegments;
    const CLine path(*m_pFloatLine);
    board->NewLine(path);
    m_doc->DeleteSelectedItem(m_pFloatLine);
    m_pFloatLine = sel->NewLine(path.GetEndPoint(), path.GetEndPoint(), 0, 0);
    if (m_pFloatLine2)
        m_pFloatLine2->SetEndPoint(path.GetEndPoint());
    m_ptCentre = m_ptBase = m_ptEnd = m_ptPrev = path.GetEndPoint();
    m_port.InvalidateBoardRect(LineRect(path));
}

// --- Step back ---------------------------------------------------------------------------------------

void BoardInput::StepBackSegment()
{
    if (!m_doc)
        return;
    const CDPoint cursor = m_port.DeviceToBoard(m_port.CursorPoint());
    if (m_nCommand == kCutter) {
        CSheet* board = m_doc->GetBoardSheet(LAYER_MAX);
        CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX);
        if (!board || !sel || m_nSegments <= 0)
            return;
        unsigned counts[TURRET_MAX + 1] = {};
        counts[0] = 1;
        counts[1] = 1;
        CSheet tail(SHEET_WORK);
        board->GetItemTail(counts, tail);
        CLine* last = tail.GetHeadLine();
        if (!last)
            return;
        const CDPoint start = last->GetStartPoint();
        m_pFloatLine = sel->NewLine(start, cursor, 0, 0);
        m_pFloatLine2 = sel->NewLine(m_ptFirst, start, 0, 0);
        if (m_pFloatLine2)
            m_pFloatLine2->ModifyType(kFloatCopyBit, 0);
        m_ptCentre = m_ptBase = start;
        --m_nSegments;
        m_port.InvalidateAll();
        return;
    }
    int cls = m_doc->GetLastUndoClass();
    if (cls == 5) {
        m_doc->PopUndoStep(true, true);
        if (CSheet* sel = m_doc->GetSelectionSheet(LAYER_MAX)) {
            for (POSITION pos = sel->GetFirstItemPos(KIND_VIA); pos;) {
                const POSITION here = pos;
                sel->GetNextItem(KIND_VIA, pos);
                sel->DeleteItemAt(KIND_VIA, here);
            }
        }
        cls = m_doc->GetLastUndoClass();
    }
    if (cls == 1) {
        if (m_nCommand == kArc) {
            m_nCommand = m_nInputCommand == kArc ? kLine : m_nInputCommand;
            m_bSwitchBack = false;
            m_nArcStep = -1;
        }
        m_doc->PopUndoStep(true, false);
        CSheet* sel = m_doc->GetCurrentSelectionSheet();
        m_pFloatLine = sel ? sel->GetHeadLine() : nullptr;
        if (!m_pFloatLine) {
            m_bInputBusy = false;
            return;
        }
        m_ptCentre = m_ptBase = m_pFloatLine->GetStartPoint();
        m_ptEnd = m_pFloatLine->GetEndPoint();
        const CDPoint corner = LockedCorner(m_ptCentre, cursor);
        m_pFloatLine->SetEndPoint(corner);
        m_pFloatLine2 = sel->NewLine(corner, cursor, m_pFloatLine->GetTurretNo(), 0);
        if (m_pFloatLine2)
            m_pFloatLine2->ModifyType(kFloatCopyBit, 0);
        m_ptEnd = m_ptPrev = corner;
        m_ptPrev2 = cursor;
    } else if (cls == 4) {
        if (m_nCommand != kArc) {
            m_nInputCommand = m_nCommand;
            m_nCommand = kArc;
            m_bSwitchBack = true;
        }
        m_doc->PopUndoStep(true, false);
        CSheet* sel = m_doc->GetCurrentSelectionSheet();
        m_pFloatArc = sel ? sel->GetHeadArc() : nullptr;
        if (!m_pFloatArc) {
            m_bInputBusy = false;
            return;
        }
        m_nArcStep = 2;
        m_pFloatArc->SetEndAngle(cursor, m_nLockMode);
    } else {
        m_bInputBusy = false;
        return;
    }
    --m_nSegments;
    if (m_nSegments > 0) {
        const int last = m_doc->GetLastUndoClass();
        if (last == 1 || last == 4)
            m_nChainLayer = std::abs(m_doc->GetWireLayerPos(m_doc->GetLastUndoLayer(), true));
    }
    m_nLastLayer = m_doc->GetCurrentLayer();
    m_bInputBusy = true;
    m_port.ShowStatusText(cursor);
    m_port.InvalidateAll();
}
